#pragma once
// Internal: the status objects of OO-API calls. FbStatus raises DatabaseError from the call that
// fails, so no call can go unchecked; FbQuietStatus is for the few calls whose failure has a
// fallback of its own (closing a cursor of a lost connection, a ping), which look at failed().
#include "data/Database.h"
#include "data/FbPtr.h"
#include <firebird/Interface.h>

class RaisingStatusWrapper : public Firebird::BaseStatusWrapper<RaisingStatusWrapper> {
public:
    explicit RaisingStatusWrapper(Firebird::IStatus* s) : BaseStatusWrapper(s) {}
    static void checkException(RaisingStatusWrapper* status) {
        if (status->dirty && (status->getState() & Firebird::IStatus::STATE_ERRORS)) throwStatus(status);
    }
};

template <typename Wrapper> class BasicFbStatus {
public:
    BasicFbStatus() : m_status(fbMaster()->getStatus()), m_wrap(m_status) {}
    ~BasicFbStatus() { m_status->dispose(); }
    BasicFbStatus(const BasicFbStatus&) = delete;
    BasicFbStatus& operator=(const BasicFbStatus&) = delete;
    Wrapper* operator&() { return &m_wrap; }
    bool failed() { return m_wrap.getState() & Firebird::IStatus::STATE_ERRORS; }

private:
    Firebird::IStatus* m_status;
    Wrapper m_wrap;
};

using FbStatus = BasicFbStatus<RaisingStatusWrapper>;
using FbQuietStatus = BasicFbStatus<Firebird::CheckStatusWrapper>;

#pragma once
// Internal: a status object for one OO-API call sequence that raises DatabaseError.
#include "data/Database.h"
#include <firebird/Interface.h>

class FbStatus {
public:
    FbStatus() : m_status(fbMaster()->getStatus()), m_wrap(m_status) {}
    ~FbStatus() { m_status->dispose(); }
    FbStatus(const FbStatus&) = delete;
    FbStatus& operator=(const FbStatus&) = delete;
    Firebird::CheckStatusWrapper* operator&() { return &m_wrap; }
    bool failed() { return m_wrap.getState() & Firebird::IStatus::STATE_ERRORS; }
    // Makes the object reusable for the next call.
    void reset() { m_wrap.clearException(); }
    void check() {
        if (failed()) throwStatus(&m_wrap);
    }

private:
    Firebird::IStatus* m_status;
    Firebird::CheckStatusWrapper m_wrap;
};

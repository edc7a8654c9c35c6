#pragma once
// Internal: a move-only owner of one object of the database client's OO API. The object is
// released (reference-counted objects) or disposed (builders, status objects) when the owner
// goes, on every path, errors included. Calls that end an object themselves (close, free,
// detach, commit, rollback) go through end() or endOrRelease(), so it is never freed twice.
#include <type_traits>
#include <utility>

namespace Firebird {
class IDisposable;
}

template <typename T> class FbPtr {
public:
    FbPtr() = default;
    explicit FbPtr(T* p) : m_p(p) {}
    ~FbPtr() { reset(); }
    FbPtr(FbPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    FbPtr& operator=(FbPtr&& o) noexcept {
        if (this != &o) {
            reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }
    FbPtr(const FbPtr&) = delete;
    FbPtr& operator=(const FbPtr&) = delete;

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    void reset(T* p = nullptr) {
        if (m_p) freeObject(m_p);
        m_p = p;
    }
    // Gives the object up without freeing it (a connection that is gone took it along).
    T* disown() { return std::exchange(m_p, nullptr); }
    // Ends the object with a call that frees it when it succeeds. When the call raises, the
    // object stays owned, and is released when the owner goes.
    template <typename End> void end(End&& endCall) {
        if (!m_p) return;
        endCall(m_p);
        m_p = nullptr;
    }
    // As end(), for calls given a status that does not raise: a failed end (a broken
    // connection) releases the object, and the caller learns of it by the return value.
    template <typename Status, typename End> bool endOrRelease(End&& endCall) {
        if (!m_p) return true;
        Status st;
        endCall(m_p, &st);
        const bool ok = !st.failed();
        if (!ok) freeObject(m_p);
        m_p = nullptr;
        return ok;
    }

private:
    static void freeObject(T* p) {
        if constexpr (std::is_base_of_v<Firebird::IDisposable, T>)
            p->dispose();
        else
            p->release();
    }
    T* m_p = nullptr;
};

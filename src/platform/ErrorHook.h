#pragma once
// The one place where errors that escape a user action end. Before the main window exists
// the hook is a plain message box; the main window installs the error report.
#include <QString>
#include <exception>
#include <functional>
#include <utility>

using ErrorHookFn = std::function<void(std::exception_ptr)>;

// Installs a hook; returns the previous one. An empty function restores the default.
ErrorHookFn installErrorHook(ErrorHookFn hook);
// Reports an exception through the hook; SilentAbort is ignored.
void reportException(std::exception_ptr e);
// Text of an exception for messages.
QString exceptionText(std::exception_ptr e);

// Runs f and reports anything it throws: for event handlers, so that no exception crosses
// the event loop.
template <class F> bool guarded(F&& f) {
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        reportException(std::current_exception());
        return false;
    }
}

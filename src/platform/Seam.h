#pragma once
// Shared machinery of the replaceable platform services (dialogs, clock, OS facts, shell,
// processes). Each service has a global accessor that returns the installed implementation or
// the default one, an install function that returns the previously installed one, and a scoped
// installer built from this template.
#include <QString>

// Installs a service implementation for the lifetime of the object and restores the previous
// one afterwards. Usage: `ScriptedDialogs dlg; ScopedDialogs use(dlg);`.
template <class Service, Service* (*Install)(Service*)> class ScopedSeam {
public:
    explicit ScopedSeam(Service& service) : m_previous(Install(&service)) {}
    ~ScopedSeam() { Install(m_previous); }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Service* m_previous;
};

namespace seam_detail {
// True inside the test suites (CTV_TEST set, or the offscreen platform where nobody can answer a
// modal window). The default implementations of services that would block, open a browser or
// end processes refuse to act there and stop the program with a clear message instead.
bool runningUnderTest();
// Stops the program with "<what> without an installed test double: <detail>".
[[noreturn]] void refuseUnderTest(const char* what, const QString& detail);
} // namespace seam_detail

#include "platform/Signals.h"
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_fds[2] = {-1, -1};
std::function<void()> g_fn;
QSocketNotifier* g_notifier = nullptr;

void onSignal(int) {
    // Only async-signal-safe work here: one byte down the pipe wakes the event loop.
    const char b = 1;
    [[maybe_unused]] ssize_t n = ::write(g_fds[0], &b, 1);
}
} // namespace

void aoReceberSigterm(std::function<void()> fn) {
    g_fn = std::move(fn);
    if (!g_fn) {
        std::signal(SIGTERM, SIG_DFL);
        return;
    }
    if (g_fds[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_fds) != 0) return;
        g_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(g_notifier, &QSocketNotifier::activated, [] {
            char buf[16];
            [[maybe_unused]] ssize_t n = ::read(g_fds[1], buf, sizeof buf);
            if (g_fn) g_fn();
        });
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
}

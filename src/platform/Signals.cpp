#include "platform/Signals.h"
#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <chrono>
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
std::atomic<int> g_limiteMs{15000};
std::atomic<bool> g_prazoCorrendo{false};
int g_fds[2] = {-1, -1};
std::function<void()> g_fn;
QSocketNotifier* g_notifier = nullptr;
bool g_bloqueados = false;

void onSignal(int) {
    sinalizaTermino();
}

sigset_t sinaisDeTermino() {
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGTERM);
    sigaddset(&s, SIGINT);
    return s;
}
} // namespace

void defineLimiteDeTermino(int ms) {
    g_limiteMs = ms;
}

void limitaTempoDeSaida(int codigo) {
    if (g_prazoCorrendo.exchange(true)) return;
    const int ms = g_limiteMs.load();
    std::thread([ms, codigo] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        ::_exit(codigo);
    }).detach();
}

void bloqueiaSinaisDeTermino() {
    // Every thread started from now on (the database engine's, the toolkit's) inherits the
    // block, so the signal never interrupts their work; one thread of ours waits for it.
    sigset_t s = sinaisDeTermino();
    pthread_sigmask(SIG_BLOCK, &s, nullptr);
    g_bloqueados = true;
    std::thread([] {
        sigset_t w = sinaisDeTermino();
        bool pedido = false;
        for (;;) {
            int sig = 0;
            if (sigwait(&w, &sig) != 0) continue;
            // The second request: the program did not manage to end, so it ends now.
            if (pedido) ::_exit(0);
            pedido = true;
            sinalizaTermino();
            limitaTempoDeSaida(0);
        }
    }).detach();
}

void sinalizaTermino() {
    // Only async-signal-safe work here: one byte down the pipe wakes the event loop.
    if (g_fds[0] < 0) return;
    const char b = 1;
    [[maybe_unused]] ssize_t n = ::write(g_fds[0], &b, 1);
}

void aoReceberSigterm(std::function<void()> fn) {
    g_fn = std::move(fn);
    if (!g_fn) {
        if (!g_bloqueados) std::signal(SIGTERM, SIG_DFL);
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
    if (g_bloqueados) return;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
}

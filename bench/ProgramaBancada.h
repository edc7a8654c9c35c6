#pragma once
// The program as the screen benchmarks run it, offscreen: scripted dialogs, the site's program
// path, a session of the administrators' group, the main window connected through the site's
// settings file and the two data modules. Torn down in the reverse order.
#include "app/Programa.h"
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include "platform/Dialogs.h"
#include "platform/OsFacts.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <memory>

class ProgramaBancada {
public:
    ProgramaBancada(const QString& site, const QString& login)
        : m_usaDialogs(dialogs), m_usaOs(preparaOs(site)) {
        TSessaoUsuario& s = sessaoUsuario();
        s.codusuario = 1;
        s.grupousuario = -1;
        s.loginusuario = login;
        s.Nm_usuario = "Bancada";
        const QStringList inis = QDir(site + "/Dados").entryList({"*.ini", "*.INI"}, QDir::Files);
        if (!inis.isEmpty()) s.localarquivoiniteste = site + "/Dados/" + inis.first();
        m_programa = std::make_unique<Programa>([] {});
        m_principal = m_programa->principal();
        m_principal->resize(1280, 800);
        m_principal->show();
        pump();
    }
    ~ProgramaBancada() {
        m_programa->fechaTelas();
        pump();
        m_programa.reset();
    }
    ProgramaBancada(const ProgramaBancada&) = delete;
    ProgramaBancada& operator=(const ProgramaBancada&) = delete;

    TfrmMenuPrincipal* principal() const { return m_principal; }
    bool conectado() const { return m_principal->IBSolution.connected(); }
    // Runs the event loop until the status bar's record count, counted beside the list, has
    // arrived, then paints the status bar (unless the caller leaves that to the event loop).
    void esperaContagem(bool pintaBarra = true) const {
        // Sleeps until the answer is posted, as the event loop does, instead of spinning beside
        // the counting thread.
        while (m_principal->barraRegistro().contagemPendente())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (pintaBarra) m_principal->statusBar()->grab();
    }
    // Runs what the event loop would: posted events, and the deletion of closed windows, which
    // processEvents() alone leaves for a loop that is not running here. Windows kept alive would
    // follow the data module's lists and slow every later measure down.
    static void pump() {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    ScriptedDialogs dialogs;

private:
    FakeOsFacts& preparaOs(const QString& site) {
        // The program file as an installed site has it: the about window shows its date.
        const QString exe = site + "/Sistema/cortivandela";
        if (!QFile::exists(exe)) {
            QFile f(exe);
            f.open(QIODevice::WriteOnly);
        }
        m_os.setExecutablePath(exe);
        return m_os;
    }

    ScopedDialogs m_usaDialogs;
    FakeOsFacts m_os;
    ScopedOsFacts m_usaOs;
    std::unique_ptr<Programa> m_programa;
    TfrmMenuPrincipal* m_principal = nullptr;
};

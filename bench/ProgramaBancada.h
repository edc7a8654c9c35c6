#pragma once
// The program as the screen benchmarks run it, offscreen: scripted dialogs, the site's program
// path, a session of the administrators' group, the main window connected through the site's
// settings file and the two data modules. Torn down in the reverse order.
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include "data/UndmLookup.h"
#include "data/UndmPadrao.h"
#include "platform/Dialogs.h"
#include "platform/OsFacts.h"
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
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
        m_principal = std::make_unique<TfrmMenuPrincipal>();
        m_principal->requestEnd = [] {};
        m_lookup = std::make_unique<TdmLookUp>(&m_principal->IBSolution, &m_principal->IBTransaction);
        m_padrao = std::make_unique<TdmPadrao>(&m_principal->IBSolution, &m_principal->IBTransaction,
                                               m_lookup.get());
        setDmLookUp(m_lookup.get());
        setDmPadrao(m_padrao.get());
        m_principal->resize(1280, 800);
        m_principal->show();
        pump();
    }
    ~ProgramaBancada() {
        for (QMdiSubWindow* w : m_principal->mdi->subWindowList())
            w->close();
        pump();
        setDmPadrao(nullptr);
        m_padrao.reset();
        setDmLookUp(nullptr);
        m_lookup.reset();
        m_principal.reset();
    }
    ProgramaBancada(const ProgramaBancada&) = delete;
    ProgramaBancada& operator=(const ProgramaBancada&) = delete;

    TfrmMenuPrincipal* principal() const { return m_principal.get(); }
    bool conectado() const { return m_principal->IBSolution.connected(); }
    static void pump() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    ScriptedDialogs dialogs;

private:
    FakeOsFacts& preparaOs(const QString& site) {
        m_os.setExecutablePath(site + "/Sistema/cortivandela");
        return m_os;
    }

    ScopedDialogs m_usaDialogs;
    FakeOsFacts m_os;
    ScopedOsFacts m_usaOs;
    std::unique_ptr<TfrmMenuPrincipal> m_principal;
    std::unique_ptr<TdmLookUp> m_lookup;
    std::unique_ptr<TdmPadrao> m_padrao;
};

#pragma once
// The running program of a screen test: a user's session, then the main window with its frame
// and data modules (built and torn down in order by Programa), shown at a fixed size. Fixtures
// derive from it beside their database base and call abrePrograma/fechaPrograma.
#include "app/Programa.h"
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QTest>
#include <memory>

class ProgramaAberto {
protected:
    // Logs `nome` in as user `usuario` of group `grupo`, on the connection settings file `ini`.
    void abrePrograma(int usuario, int grupo, const QString& nome, const QString& ini,
                      const QString& nomeGrupo = QString()) {
        fechaPrograma();
        TSessaoUsuario& s = sessaoUsuario();
        s = TSessaoUsuario{};
        s.codusuario = usuario;
        s.grupousuario = grupo;
        s.loginusuario = nome.toLower();
        s.Nm_usuario = nome;
        s.Nm_GrupoUsusario = nomeGrupo;
        s.localarquivoiniteste = ini;
        programa = std::make_unique<Programa>([this] { ++endRequests; });
        main = programa->principal();
        lookup = programa->lookup();
        padrao = programa->padrao();
        main->resize(1100, 700);
        main->show();
        QApplication::processEvents();
    }

    // Closes the open screens (each with its own close handling), then the program.
    void fechaPrograma() {
        if (!programa) return;
        programa->fechaTelas();
        pump();
        main = nullptr;
        lookup = nullptr;
        padrao = nullptr;
        programa.reset();
        pump();
    }

    static void pump() {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // The status bar's record count once the server has answered it: the count runs beside the
    // list and is shown when it arrives.
    QString contagemMostrada() {
        QDeadlineTimer prazo(10000);
        while (main && main->barraRegistro().contagemPendente() && !prazo.hasExpired())
            QTest::qWait(2);
        return main ? main->status(0) : QString();
    }

    std::unique_ptr<Programa> programa;
    TfrmMenuPrincipal* main = nullptr;
    TdmLookUp* lookup = nullptr;
    TdmPadrao* padrao = nullptr;
    int endRequests = 0;
};

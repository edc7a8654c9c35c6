// The error report in the running program: the main window installs it, the log names the
// active screen, and a restart-flagged report drops the connection and ends the program cleanly
// with its screens open.
#include "AppFixture.h"
#include "FrameworkFixture.h"
#include "lab/UnTipoAnalise.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/Processes.h"
#include "screens/controls/DBEdit.h"
#include "support/ExibeJanela.h"
#include "support/UnErroSistema.h"

#include <QPushButton>
#include <QTest>

namespace {

class ErroNaTela : public FrameworkTest {
protected:
    QStringList logLines() const {
        QFile f(s_db->folder() + "/Avisos do Sistema.log");
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }
    FakeProcesses procs;
    ScopedProcesses useProcs{procs};
    int shown = 0;
    ScopedExibeJanela presenter{[this](QDialog& d) {
        ++shown;
        d.show();
        QTest::mouseClick(static_cast<TfrmErroSistema&>(d).BitBtn3, Qt::LeftButton);
    }};
};

TEST_F(ErroNaTela, ARestartFlaggedReportOnAnOpenScreenEndsTheProgramCleanly) {
    QFile::remove(s_db->folder() + "/Avisos do Sistema.log");
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    auto* tela = main->findChild<TfrmTipoAnalise*>("frmTipoAnalise");
    ASSERT_TRUE(tela);
    ASSERT_TRUE(tela->dsPadrao.dataSet()->active());
    // An error escaping an event handler of the screen reaches the hook.
    guarded([] { throw AppError("Access violation at address 00401234"); });
    EXPECT_EQ(shown, 1);
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(log[3].contains(" - " + tela->windowTitle() + " - ")) << log[3].toStdString();
    EXPECT_FALSE(main->IBSolution.connected());
    EXPECT_EQ(endRequests, 1);
    // The end of the program frees screens, data modules and the main window.
    logout();
    EXPECT_FALSE(main);
}

TEST_F(ErroNaTela, ARestartWritesTheLogoffAndTellsWhichScreensLoseTheirChangesBeforeEnding) {
    s_db->exec("delete from sis_log_login");
    s_db->exec(
        "update or insert into sis_usuario (id_usuario, nm_usuario, id_gr_usuario, nm_acesso, ds_senha) "
        "values (1, 'Maria', 2, 'MARIA', 'x') matching (id_usuario)");
    s_db->exec("insert into sis_log_login (id_log_login, id_usuario, id_gr_usuario, nm_aplicativo, dh_login) "
               "values (1, 1, 2, 'Nexmoro Cortivandela', current_timestamp)");
    main->it_iidLogLogin = 1;
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    auto* tela = main->findChild<TfrmTipoAnalise*>("frmTipoAnalise");
    ASSERT_TRUE(tela);
    main->bttMostrarTodosClick();
    tela->edtNome->setFocus();
    QTest::keyClicks(tela->edtNome, " pendente");
    ASSERT_EQ(tela->dsPadrao.dataSet()->state(), DataSetState::Edit);
    dialogs.clear();
    guarded([] { throw AppError("Access violation at address 00401234"); });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(dialogs.texts(),
              QStringList{"O sistema será finalizado. As alterações não salvas da tela Tipo de Ánalise serão "
                          "perdidas."_q});
    EXPECT_EQ(s_db->scalar("select count(*) from sis_log_login where dh_logoff is not null").toInt(), 1);
    EXPECT_EQ(
        s_db->scalar("select count(*) from tab_tp_analise where nm_tp_analise like '% pendente'").toInt(), 0);
    EXPECT_EQ(tela->dsPadrao.dataSet()->state(), DataSetState::Browse);
    EXPECT_FALSE(main->IBSolution.connected());
    EXPECT_EQ(endRequests, 1);
    // The end of the program asks nothing more and writes no second logoff.
    dialogs.clear();
    logout();
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join("|").toStdString();
}

TEST_F(ErroNaTela, AnErrorOutsideAnyScreenLogsAnEmptyCaption) {
    QFile::remove(s_db->folder() + "/Avisos do Sistema.log");
    reportException(std::make_exception_ptr(AppError("Dataset not in edit or insert mode")));
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(logLines().value(3).endsWith(
        QString::fromUtf8(" -  -  - Algo Inesperado Aconteceu. Não foi possível concluir sua ação agora.")))
        << logLines().value(3).toStdString();
    EXPECT_TRUE(main->IBSolution.connected());
    // Once the main window is gone the plain message box is back.
    logout();
    reportException(std::make_exception_ptr(AppError("depois")));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(dialogs.lastMessage().text, "depois");
}

} // namespace

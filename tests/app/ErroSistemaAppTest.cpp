// The error report in the running program: the main window installs it, the log names the
// active screen, and a restart-flagged report drops the connection and ends the program cleanly
// with its screens open.
#include "FrameworkFixture.h"
#include "lab/UnTipoAnalise.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/Processes.h"
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

// The update steps inside the login window's start: a workstation that is up to date starts
// without a word; a site without the updater is told and the start ends.
#include "AppFixture.h"
#include "app/UnTelaAtualizador.h"
#include "platform/Shell.h"
#include "support/UnMensagemConfirmarGenerica.h"
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class StartUpdate : public AppSite {
protected:
    void SetUp() override {
        AppSite::SetUp();
        writeSite();
        QDir(site.path()).mkpath("Update");
    }
    void place(const QString& name, const QDateTime& when) {
        const QString path = site.filePath("Update/" + name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("x");
        f.close();
        f.open(QIODevice::ReadWrite);
        f.setFileTime(when, QFileDevice::FileModificationTime);
    }
    RecordingShell shell;
    ScopedShell useShell{shell};
};

TEST_F(StartUpdate, AnUpToDateWorkstationStartsQuietly) {
    place("nexmoroAtualizador.exe", exeTime);
    place("cortivandela", exeTime);
    auto frm = makeSplash();
    InstalaAtualizacao(*frm);
    frm->FormShow();
    EXPECT_EQ(dlg.messageCount(), 0) << dlg.texts().join("\n").toStdString();
    EXPECT_EQ(endRequests, 0);
    EXPECT_EQ(caminhosAtualizacao().pastaAtualizacao, site.filePath("Update"));
    EXPECT_TRUE(shell.programs().empty());
    EXPECT_TRUE(shell.started().empty());
    EXPECT_EQ(versaoERP(), "Versao Inicial");
}

TEST_F(StartUpdate, ASiteWithoutTheUpdaterIsToldAndTheStartEnds) {
    place("cortivandela", exeTime);
    auto frm = makeSplash();
    InstalaAtualizacao(*frm);
    frm->FormShow();
    ASSERT_GE(dlg.messageCount(), 1);
    EXPECT_EQ(
        dlg.messages()[0].text,
        "Não foi encontrado o nexmoro Atualizador no Servidor. Entre em contato com o suporte técnico da nexmoro."_q);
    EXPECT_GE(endRequests, 1);
    EXPECT_TRUE(frm->endRequested());
}

// A newer copy in the update folder, through the real start of the login window: the five-second
// notice stands in front and the login cannot be used meanwhile, and the updater starts only
// after the test connection has let the database go (the program it restarts must open it).
TEST_F(StartUpdate, TheNoticeBlocksTheLoginAndTheDatabaseIsFreeBeforeTheHandOver) {
    addGroup(2, "Laboratório"_q);
    addUser(1, "MARIA", "segredo", "Maria", 2);
    place("nexmoroAtualizador.exe", exeTime);
    place("cortivandela", exeTime.addDays(1));
    auto frm = makeSplash();
    InstalaAtualizacao(*frm);
    int handOvers = 0;
    // As installed, but the process is not ended here: the test counts the hand-over.
    frm->updateSteps.updater = [&](Database& db) {
        AmbienteAtualizacao a;
        a.solicitaFim = [&] { frm->SolicitaFimAplicacao(); };
        a.encerraImediatamente = [&] { ++handOvers; };
        a.verificaScript = [](Database& d) { VerificaScript(d); };
        AtualizaSistema(db, 1, a);
    };
    struct Watch : RecordingShell {
        TfrmSplash* splash = nullptr;
        int attachedAtStart = -1;
        bool openProgram(const QString& program, const QString& parameters) override {
            attachedAtStart = splash->IBD_Teste.connected() ? 1 : 0;
            return RecordingShell::openProgram(program, parameters);
        }
    } watch;
    watch.splash = frm.get();
    ScopedShell useWatch{watch};
    struct DuringNotice : FixedClock {
        std::function<void()> action;
        void sleepMs(int ms) override {
            if (ms == 5000 && action) action();
            FixedClock::sleepMs(ms);
        }
    } pause;
    ScopedClock usePause{pause};
    bool noticeShown = false, noticeModal = false, noticeOnTop = false, loginEnabled = true;
    pause.action = [&] {
        TfrmMensagemConfirmarGenerica* aviso = frmMensagemConfirmarGenerica();
        noticeShown = aviso && aviso->isVisible();
        noticeModal = aviso && aviso->windowModality() == Qt::ApplicationModal;
        noticeOnTop = aviso && (aviso->windowFlags() & Qt::WindowStaysOnTopHint);
        loginEnabled = frm->bttEntrar->isEnabled();
        // The user tries to log in meanwhile: types the name and password, presses Enter and
        // clicks "Entrar".
        QTest::keyClicks(frm->meUsuario, "MARIA");
        QTest::keyClicks(frm->meSenha, "segredo");
        QTest::keyClick(frm->meSenha, Qt::Key_Return);
        QTest::mouseClick(frm->bttEntrar, Qt::LeftButton);
    };
    frm->show();
    frm->FormShow();
    EXPECT_TRUE(noticeShown);
    EXPECT_TRUE(noticeModal);
    EXPECT_TRUE(noticeOnTop);
    EXPECT_FALSE(loginEnabled);
    EXPECT_FALSE(frm->logado());
    EXPECT_EQ(db.scalar("select count(*) from SIS_LOG_LOGIN").toInt(), 0);
    EXPECT_EQ(frm->meUsuario->text(), "");
    ASSERT_EQ(watch.programs().size(), 1u);
    EXPECT_EQ(watch.attachedAtStart, 0);
    EXPECT_EQ(handOvers, 1);
    EXPECT_FALSE(frm->IBD_Teste.connected());
}

TEST_F(StartUpdate, TheFinishedScriptUpdateIsReportedFirst) {
    place("nexmoroAtualizador.exe", exeTime);
    place("cortivandela", exeTime);
    QFile script(site.filePath("Sistema/Atualiza.sh"));
    script.open(QIODevice::WriteOnly);
    script.close();
    auto frm = makeSplash();
    InstalaAtualizacao(*frm);
    frm->FormShow();
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "Seu sistema foi atualizado com uma nova versão."_q);
    EXPECT_FALSE(script.exists());
}

} // namespace

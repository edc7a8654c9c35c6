// The update steps inside the login window's start: a workstation that is up to date starts
// without a word; a site without the updater is told and the start ends.
#include "AppFixture.h"
#include "app/UnTelaAtualizador.h"
#include "platform/Shell.h"

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

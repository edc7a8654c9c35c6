#include "AppFixture.h"
#include "app/UnLocalArquivoIni.h"
#include <QLabel>

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

namespace {

class LocalIniTest : public ::testing::Test {
protected:
    void SetUp() override {
        sessaoUsuario() = TSessaoUsuario{};
        facts.setExecutablePath(dir.filePath("Sistema/cortivandela"));
        QDir(dir.path()).mkpath("Dados");
        frm = new TfrmLocalIni;
    }
    void TearDown() override { delete frm.data(); }
    QString dados(const QString& file) const { return dir.filePath("Dados/" + file); }
    static void touch(const QString& file) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
    }
    void confirm(const QString& text) {
        frm->fe->setText(text);
        frm->findChild<QPushButton*>("bttPesquisar")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir dir;
    FakeOsFacts facts;
    ScopedOsFacts useFacts{facts};
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs{dlg};
    QPointer<TfrmLocalIni> frm;
};

TEST_F(LocalIniTest, WindowAndFileDialog) {
    EXPECT_EQ(frm->windowTitle(), "Conexão com o Banco de Dados"_q);
    EXPECT_TRUE(frm->fe->isReadOnly());
    // No text of the window is cut off.
    for (QLabel* l : frm->findChildren<QLabel*>()) {
        if (!l->text().isEmpty()) {
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->objectName().toStdString();
        }
    }
    dlg.queueFile(dados("BASE.fdb"));
    frm->findChild<QToolButton*>("feButton")->click();
    ASSERT_EQ(dlg.fileCalls().size(), 1u);
    EXPECT_EQ(dlg.fileCalls()[0].startDir, dir.filePath("Sistema"));
    EXPECT_EQ(dlg.fileCalls()[0].filter, "Banco de Dados ( *.fdb )|*.fdb|Todos os Arquivos|*");
    EXPECT_EQ(frm->fe->text(), dados("BASE.fdb"));
    // Cancelling the dialog keeps the name chosen before.
    frm->findChild<QToolButton*>("feButton")->click();
    EXPECT_EQ(frm->fe->text(), dados("BASE.fdb"));
}

TEST_F(LocalIniTest, EmptyFieldIsRefusedAndTheWindowStays) {
    confirm("");
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "Banco de Dados não informado !"_q);
    EXPECT_EQ(dlg.lastMessage().caption, "Aviso do Sistema");
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Warning);
    EXPECT_FALSE(frm.isNull());
    EXPECT_TRUE(sessaoUsuario().localarquivoiniteste.isEmpty());
}

TEST_F(LocalIniTest, UnquotedNameFindsTheSettingsFileBesideIt) {
    touch(dados("BASE.ini"));
    confirm(dados("BASE.fdb"));
    EXPECT_EQ(dlg.messageCount(), 0);
    EXPECT_EQ(sessaoUsuario().localarquivoiniteste, dados("BASE.ini"));
    EXPECT_TRUE(frm.isNull()) << "the window closes and releases itself";
}

TEST_F(LocalIniTest, QuotedNameLeadsToTheSameFile) {
    touch(dados("BASE.ini"));
    confirm('"' + dados("BASE.fdb") + '"');
    EXPECT_EQ(sessaoUsuario().localarquivoiniteste, dados("BASE.ini"));
    EXPECT_TRUE(frm.isNull());
}

TEST_F(LocalIniTest, PlainReadingWinsWhenBothCandidatesExist) {
    // For an unquoted name the quoted reading drops two more characters: BAS + ini.
    touch(dados("BASini"));
    touch(dados("BASE.ini"));
    confirm(dados("BASE.fdb"));
    EXPECT_EQ(sessaoUsuario().localarquivoiniteste, dados("BASE.ini"));
    EXPECT_EQ(TfrmLocalIni::candidatoA(dados("BASE.fdb")), dados("BASini"));
}

TEST_F(LocalIniTest, NoSettingsFileExplainsWhatWasSought) {
    confirm(dados("BASE.fdb"));
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "Arquivo de iniciliazação do Banco de Dados não Encontrado !\r"_q +
                                          dados("BASE") +
                                          ".ini\rSolicite auxílio do Administrador do Sistema");
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Warning);
    EXPECT_FALSE(frm.isNull());
    EXPECT_TRUE(sessaoUsuario().localarquivoiniteste.isEmpty());
}

TEST_F(LocalIniTest, VeryShortNamesAreReadAsNothing) {
    EXPECT_EQ(TfrmLocalIni::candidatoA("a"), "ini");
    EXPECT_EQ(TfrmLocalIni::candidatoB("\"\""), "ini");
    confirm("ab");
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_TRUE(dlg.lastMessage().text.contains("Encontrado !\r.ini\r"));
}

} // namespace

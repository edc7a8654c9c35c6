// The satisfaction survey: the answer file's name and line, the grade buttons driven as a user
// drives them, and where the shared data folder is found.
#include "SupportFixture.h"
#include "support/UnPesquisaSatisfacaoNexmoro.h"

#include <QKeyEvent>
#include <QLabel>

namespace {

class Pesquisa : public SupportSite {
protected:
    void SetUp() override {
        SupportSite::SetUp();
        frm = std::make_unique<TfrmPesquisaSatisfacaoNexmoro>();
        frm->it_iIdUsuario = 1;
        frm->it_sNomeUsuario = "MARIA";
        frm->it_sNomeGrupoUsuario = "Laboratório"_q;
        frm->it_sCNPJEmpresa = "11222333000181";
        frm->solicitaFim = [this] { ++endRequests; };
        frm->show();
        QApplication::setActiveWindow(frm.get());
    }
    QStringList answers() const {
        return QDir(site.filePath("Dados/PESQUISA")).entryList({"PQS_*.txt"}, QDir::Files);
    }
    QByteArray answer() const {
        QFile f(site.filePath("Dados/PESQUISA/") + answers().value(0));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    // Typed key by key; letters outside ASCII arrive as the text of a key event.
    void type(const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(frm->mmComentario, QString(c));
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(frm->mmComentario, &press);
        }
    }
    std::unique_ptr<TfrmPesquisaSatisfacaoNexmoro> frm;
};

TEST(PesquisaArquivo, NameAndLineFollowTheCollectorsFormat) {
    RespostaPesquisa r;
    r.momento = QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3));
    r.cnpj = "11222333000181";
    r.login = "MARIA";
    r.grupo = "Laboratório"_q;
    r.ip = "192.168.0.15";
    r.executavel = "cortivandela";
    r.nota = 4;
    r.aleatorio = 7;
    EXPECT_EQ(NomeArquivoPesquisa("/s/Dados/", r),
              "/s/Dados/PESQUISA/PQS_11222333000181_15_0007_05032024090703.txt");
    EXPECT_EQ(LinhaPesquisa(r),
              "|05/03/2024 09:07:03|11222333000181|MARIA|Laboratório|192.168.0.15|cortivandela|4||"_q);
    r.ip = "10.0.0.1234";
    EXPECT_TRUE(NomeArquivoPesquisa("/s/", r).contains("_123_0007_"));
    EXPECT_EQ(LimpaQuebrasLinha("a\r\nb\nc\r\n"), "a bc ");
}

TEST_F(Pesquisa, ShowingGreetsTheUserAndFocusesLeavingWithoutAnswer) {
    EXPECT_EQ(frm->windowTitle(), "Pesquisa de Satisfação nexmoro"_q);
    EXPECT_EQ(frm->lblTitulo->text(), "Olá, MARIA."_q);
    EXPECT_EQ(frm->it_sIPComputador, "192.168.0.15");
    EXPECT_EQ(QApplication::focusWidget(), frm->btnSair);
    EXPECT_EQ(frm->size(), QSize(529, 433));
}

TEST_F(Pesquisa, GradeFourWithoutCommentAnsweredNoWritesAnEmptyComment) {
    dlg.queueAnswer(MsgAnswer::No);
    QTest::mouseClick(frm->btnNaoGostei, Qt::LeftButton);
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(dlg.lastMessage().buttons, MsgButtons::YesNo);
    EXPECT_FALSE(frm->isVisible());
    ASSERT_EQ(answers().size(), 1);
    EXPECT_EQ(
        answer(),
        QByteArray(
            "|15/03/2024 10:30:00|11222333000181|MARIA|Laborat\xf3rio|192.168.0.15|cortivandela|4||\r\n"));
    EXPECT_EQ(frm->it_sNomeArquivo, site.filePath("Dados/PESQUISA/") + answers().first());
    EXPECT_TRUE(answers().first().startsWith("PQS_11222333000181_15_"));
    EXPECT_TRUE(answers().first().endsWith("_15032024103000.txt"));
    EXPECT_TRUE(QFileInfo(site.filePath("Dados/PESQUISA/ERRO")).isDir());
}

TEST_F(Pesquisa, GradeFourWithoutCommentAnsweredYesAsksForTheComment) {
    dlg.queueAnswer(MsgAnswer::Yes);
    QTest::mouseClick(frm->btnNaoGostei, Qt::LeftButton);
    EXPECT_TRUE(frm->isVisible());
    EXPECT_TRUE(answers().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), frm->mmComentario);
    type("Demorou");
    QTest::mouseClick(frm->btnNaoGostei, Qt::LeftButton);
    EXPECT_EQ(dlg.messageCount(), 1); // with a comment nobody asks
    EXPECT_TRUE(answer().endsWith("|4|Demorou|\r\n"));
}

TEST_F(Pesquisa, ATwoLineCommentBecomesOneLineAndAPipeStays) {
    frm->mmComentario->setFocus();
    type("Gostei das telas");
    QTest::keyClick(frm->mmComentario, Qt::Key_Return);
    type("e do | relatório"_q);
    QTest::mouseClick(frm->btnGosteiMuito, Qt::LeftButton);
    EXPECT_TRUE(answer().endsWith("|3|Gostei das telas e do | relat\xf3rio|\r\n")) << answer().toStdString();
}

TEST_F(Pesquisa, TheMakersOwnCompanyWritesNothing) {
    frm->it_sCNPJEmpresa = kCNPJNexmoro;
    QTest::mouseClick(frm->btnGostei, Qt::LeftButton);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(answers().isEmpty());
}

TEST_F(Pesquisa, LeavingWithoutAnswerWritesNothing) {
    QTest::mouseClick(frm->btnSair, Qt::LeftButton);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_FALSE(QFileInfo::exists(site.filePath("Dados/PESQUISA")));
}

TEST_F(Pesquisa, AFailureToWriteKeepsTheWindowOpenSilently) {
    QFile blocker(site.filePath("Dados/PESQUISA"));
    blocker.open(QIODevice::WriteOnly);
    blocker.close();
    QTest::mouseClick(frm->btnMaisOuMenos, Qt::LeftButton);
    EXPECT_TRUE(frm->isVisible());
    EXPECT_EQ(dlg.messageCount(), 0);
    QTest::mouseClick(frm->btnSair, Qt::LeftButton);
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(Pesquisa, ACommentTheFileCannotHoldIsRefusedWithAMessage) {
    frm->mmComentario->setPlainText("Ótimo \u263A"_q);
    QTest::mouseClick(frm->btnGostei, Qt::LeftButton);
    EXPECT_TRUE(frm->isVisible());
    EXPECT_TRUE(dlg.lastMessage().text.contains("\u263A"_q));
    EXPECT_TRUE(answers().isEmpty());
}

TEST_F(Pesquisa, TheHelpPictureOpensTheTutorial) {
    QString tela;
    int topico = 0;
    frm->abreTutorial = [&](const QString& t, int n) {
        tela = t;
        topico = n;
    };
    QTest::mouseClick(frm->Image2, Qt::LeftButton);
    EXPECT_EQ(tela, "frmPesquisaSatisfacaoNexmoro");
    EXPECT_EQ(topico, 1);
}

TEST_F(Pesquisa, TheCompanyDocumentComesFromTheParameterRow) {
    EXPECT_EQ(RetornaCNPJEmpresa(principal->IBSolution), "11222333000181");
}

TEST_F(Pesquisa, TheDataFolderComesFromTheSettingsBesideTheExecutable) {
    // Beside the executable, the folder Dados of the parent.
    EXPECT_EQ(RetornaPastaDados({}), site.filePath("Dados") + "/");
    // This program's settings file names the connection settings file.
    QDir(site.path()).mkpath("Servidor/Dados");
    IniFile(site.filePath("Servidor/Dados/BASE.ini")).writeString("Database", "name", "x");
    IniFile(programSettingsPath(exePath))
        .writeString("IniServidor", "nomearquivo", site.filePath("Servidor/Dados/BASE.ini"));
    EXPECT_EQ(RetornaPastaDados({}), site.filePath("Servidor/Dados") + "/");
    // The maker's business program's settings win, whatever their letter case.
    QDir(site.path()).mkpath("Outro");
    IniFile(site.filePath("Outro/C.ini")).writeString("Database", "name", "x");
    IniFile(site.filePath("Sistema/NexmoroTalvena.INI"))
        .writeString("IniServidor", "nomearquivo", site.filePath("Outro/C.ini"));
    EXPECT_EQ(RetornaPastaDados({}), site.filePath("Outro") + "/");
    EXPECT_EQ(dlg.messageCount(), 0);
    // Naming a file that is not there.
    QFile::remove(site.filePath("Outro/C.ini"));
    int fim = 0;
    RetornaPastaDados([&] { ++fim; });
    EXPECT_EQ(dlg.lastMessage().text,
              "Não foi encontrado o arquivo de inicialização dentro da pasta nexmoro Talvena"_q);
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Error);
    EXPECT_EQ(fim, 1);
}

TEST_F(Pesquisa, WithoutSettingsOrADataFolderTheUserIsTold) {
    QDir(site.filePath("Dados")).removeRecursively();
    int fim = 0;
    RetornaPastaDados([&] { ++fim; });
    EXPECT_EQ(dlg.lastMessage().text, "Não foi encontrado a pasta Dados no servidor"_q);
    EXPECT_EQ(fim, 1);
    // The grade then writes nothing and the window stays open.
    QTest::mouseClick(frm->btnGostei, Qt::LeftButton);
    EXPECT_TRUE(frm->isVisible());
    EXPECT_EQ(endRequests, 1);
}

} // namespace

// The laboratory settings: the report's standing text edited as rich text without the main
// toolbar, saved by "Fechar" into its own column only, and the parameter row never added or removed.
#include "AnaliseFixture.h"
#include "lab/UnConfiguracoesGerais.h"
#include "platform/RtfCodec.h"
#include "screens/controls/DBRichEdit.h"
#include <QCheckBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>

namespace {

class ConfiguracoesGeraisTest : public AnaliseTest {
protected:
    using Tela = TfrmConfiguracoesGerais;
    Tela* abreTela() { return abre<Tela>("frmConfiguracoesGerais"); }
    QVariant parametro(const char* coluna) {
        return scalar(QString("select %1 from tab_parametro").arg(coluna));
    }
    // The menu item, as the user reaches the screen.
    void abrePeloMenu() {
        QAction* item = main->findChild<QAction*>("ConfiguraesGerais1");
        ASSERT_TRUE(item);
        EXPECT_EQ(item->text(), QString::fromUtf8("Configurações do Cortivandela"));
        item->trigger();
        pump();
    }
};

TEST_F(ConfiguracoesGeraisTest, ClosingWithoutTypingWritesNothingAndBringsTheToolbarBack) {
    s_db->exec("update tab_parametro set tx_laudo_tecnico = null");
    abrePeloMenu();
    auto* t = main->findChild<Tela*>("frmConfiguracoesGerais");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), QString::fromUtf8("Configurações do Cortivandela"));
    EXPECT_FALSE(main->tb1->isVisible());
    clica(t->BitBtn1);
    pump();
    EXPECT_FALSE(main->findChild<Tela*>("frmConfiguracoesGerais"));
    EXPECT_TRUE(main->tb1->isVisible());
    EXPECT_EQ(dialogs.messageCount(), 0);
    EXPECT_EQ(scalar("select count(*) from tab_parametro where tx_laudo_tecnico is null").toInt(), 1);
}

TEST_F(ConfiguracoesGeraisTest, TheTextIsSavedAloneWhateverOthersChangedInTheRow) {
    Tela* t = abreTela();
    clica(t->DBRichEdit1);
    digita("Amostras coletadas pelo cliente.");
    tecla(Qt::Key_A, Qt::ControlModifier);
    // A cancelled font dialog changes nothing; a chosen font goes to the selection.
    const QFont antes = t->DBRichEdit1->textCursor().charFormat().font();
    dialogs.queueFont(std::nullopt);
    clica(t->btnTipoFonte);
    EXPECT_EQ(t->DBRichEdit1->textCursor().charFormat().font(), antes);
    EXPECT_EQ(dialogs.fontCalls().back().family(), "Tahoma");
    EXPECT_EQ(dialogs.fontCalls().back().pointSize(), 8);
    QFont negrito(QStringLiteral("DejaVu Sans"), 11);
    negrito.setBold(true);
    dialogs.queueFont(negrito);
    clica(t->btnTipoFonte);
    // The dialog remembers the last font chosen.
    dialogs.queueFont(std::nullopt);
    clica(t->btnTipoFonte);
    EXPECT_EQ(dialogs.fontCalls().back().family(), "DejaVu Sans");
    // Bullet and indent twice: back as they were; once more: kept.
    clica(t->btnNumerar);
    EXPECT_TRUE(t->DBRichEdit1->textCursor().currentList());
    clica(t->btnNumerar);
    EXPECT_FALSE(t->DBRichEdit1->textCursor().currentList());
    clica(t->btnIdentar);
    clica(t->btnIdentar);
    EXPECT_EQ(t->DBRichEdit1->textCursor().blockFormat().textIndent(), 0.0);
    clica(t->btnNumerar);

    // Meanwhile another application changes the row.
    s_db->exec("update tab_parametro set nm_empresa = 'Hidrolab Campinas', st_confirma_sair = 'N', no_fone = "
               "'(19) 3251-0000'");
    clica(t->BitBtn1);
    pump();
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_FALSE(main->findChild<Tela*>("frmConfiguracoesGerais"));
    EXPECT_EQ(parametro("nm_empresa").toString(), "Hidrolab Campinas");
    EXPECT_EQ(parametro("st_confirma_sair").toString(), "N");
    EXPECT_EQ(parametro("no_fone").toString(), "(19) 3251-0000");
    QTextDocument lido;
    RtfCodec::read(parametro("tx_laudo_tecnico").toString(), lido);
    EXPECT_EQ(lido.toPlainText(), "Amostras coletadas pelo cliente.");
    EXPECT_TRUE(lido.begin().textList());
    EXPECT_TRUE(lido.begin().begin().fragment().charFormat().font().bold());
    EXPECT_EQ(lido.begin().begin().fragment().charFormat().font().pointSize(), 11);
}

TEST_F(ConfiguracoesGeraisTest, TheParameterRowIsNeverAddedOrRemoved) {
    Tela* t = abreTela();
    clica(t->DBRichEdit1);
    tecla(Qt::Key_F2);
    EXPECT_NE(ds(t)->state(), DataSetState::Insert);
    tecla(Qt::Key_F5);
    EXPECT_EQ(scalar("select count(*) from tab_parametro").toInt(), 1);
    EXPECT_EQ(dialogs.messageCount(), 0);
    // The toolbar comes back while another screen is the active one.
    abre<TfrmCadastrodeAnalise>("frmCadastrodeAnalise");
    EXPECT_TRUE(main->tb1->isVisible());
    main->mdi->setActiveSubWindow(t->subWindow());
    pump();
    EXPECT_FALSE(main->tb1->isVisible());
}

} // namespace

TEST_F(ConfiguracoesGeraisTest, TheReportOptionsStartOffAndAreStoredInTheProgramsOwnSettingsAsTicked) {
    abrePeloMenu();
    auto* t = main->findChild<Tela*>("frmConfiguracoesGerais");
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->chkMarcaForaFaixa->isChecked());
    EXPECT_FALSE(t->chkGraficosTendencia->isChecked());
    const QVariant laudo = parametro("tx_laudo_tecnico");
    // Ticked with the keyboard, as a user would: stored at once, the parameter row untouched.
    t->chkMarcaForaFaixa->setFocus();
    tecla(Qt::Key_Space);
    EXPECT_EQ(scalar("select valor from sis_ctv_parametro where chave = 'LAUDO_MARCA_FORA_FAIXA'").toString(),
              "S");
    EXPECT_TRUE(
        scalar("select valor from sis_ctv_parametro where chave = 'LAUDO_GRAFICOS_TENDENCIA'").isNull());
    tecla(Qt::Key_Tab);
    tecla(Qt::Key_Space);
    tecla(Qt::Key_Space);
    EXPECT_EQ(
        scalar("select valor from sis_ctv_parametro where chave = 'LAUDO_GRAFICOS_TENDENCIA'").toString(),
        "N");
    clica(t->BitBtn1);
    pump();
    EXPECT_EQ(parametro("tx_laudo_tecnico"), laudo);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    // Opened again: as stored.
    abrePeloMenu();
    t = main->findChild<Tela*>("frmConfiguracoesGerais");
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->chkMarcaForaFaixa->isChecked());
    EXPECT_FALSE(t->chkGraficosTendencia->isChecked());
}

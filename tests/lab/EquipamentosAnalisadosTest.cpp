// The analysed-equipment screen: the texts of the equipment's latest earlier collection beside the
// current ones, the rich-text tools of both editors (font dialog, bullets, indent, Ctrl+N), what is
// stored, the size labels and the clear buttons.
#include "AnaliseFixture.h"
#include "data/SqlText.h"
#include "platform/RtfCodec.h"
#include "screens/controls/DBRichEdit.h"
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QToolButton>

namespace {

class EquipamentosAnalisadosTest : public AnaliseTest {
protected:
    void SetUp() override {
        AnaliseTest::SetUp();
        // The history of boiler 01: December, February (analysis 1) and April; the analysis worked on
        // is of March.
        analise(5, "2023-12-10");
        amostra(50, 5, 1, RtfCodec::fromPlainText("Comentário de dezembro"),
                RtfCodec::fromPlainText("Obs dez"));
        s_db->exec("update mov_analise_equipamento set tx_comentario = " +
                   sql::quoted(RtfCodec::fromPlainText(QString::fromUtf8("Comentário de fevereiro"))) +
                   ", tx_obs = " + sql::quoted(RtfCodec::fromPlainText("Obs fev")) +
                   " where id_analise_equipamento = 1");
        analise(6, "2024-04-20");
        amostra(60, 6, 1, RtfCodec::fromPlainText("Comentário de abril"));
        analise(7, "2024-03-10");
        amostra(70, 7, 1);
    }

    // The registration screen on analysis 7, then its sample through "Consultar Resultados".
    Equipamentos* abreAmostra() {
        Cadastro* t = abreNaAnalise(7);
        clica(t->btnConsultar);
        pump();
        Equipamentos* e = telaEquipamentos();
        EXPECT_TRUE(e);
        return e;
    }

    static QString texto(QTextEdit* e) { return e->toPlainText(); }
    // Whether a text column of sample 70 is null in the database.
    bool nulo(const char* coluna) {
        return scalar(QString("select count(*) from mov_analise_equipamento where id_analise_equipamento = "
                              "70 and %1 "
                              "is null")
                          .arg(coluna))
                   .toInt() == 1;
    }
    // Selects the whole text of an editor with the keyboard.
    static void selecionaTudo(QTextEdit* e) {
        clica(e);
        tecla(Qt::Key_A, Qt::ControlModifier);
    }
};

TEST_F(EquipamentosAnalisadosTest, PreviousTextsComeFromTheLatestEarlierCollection) {
    Equipamentos* e = abreAmostra();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->windowTitle(), "Equipamentos Analisados");
    EXPECT_EQ(e->edtColetaAnterior->text(), "01/02/2024");
    EXPECT_EQ(texto(e->DBRichEdit2), QString::fromUtf8("Comentário de fevereiro"));
    EXPECT_EQ(texto(e->DBRichEdit1), "Obs fev");
    EXPECT_TRUE(e->DBRichEdit1->isReadOnly());
    EXPECT_TRUE(e->DBRichEdit2->isReadOnly());
    EXPECT_EQ(e->idAnaliseAnterior(), 1);
    // Another equipment of the client, never sampled before: nothing earlier.
    e->RxDBLookupCombo1->setFocus();
    while (e->RxDBLookupCombo1->currentText() != "Caldeira 03")
        tecla(Qt::Key_Down);
    EXPECT_EQ(e->edtColetaAnterior->text(), "");
    EXPECT_EQ(texto(e->DBRichEdit2), "");
    EXPECT_EQ(texto(e->DBRichEdit1), "");
    EXPECT_EQ(e->idAnaliseAnterior(), 0);
}

TEST_F(EquipamentosAnalisadosTest, TheCommentIsWrittenWithFormattingAndStoredAsRtf) {
    Equipamentos* e = abreAmostra();
    ASSERT_TRUE(e);
    clicaAba(e->pcTextos, 1);
    EXPECT_EQ(e->lblTamanhoComentario->text(), "(Tamanho: 0)");
    EXPECT_FALSE(e->btnLimparConteudoComentarioAtual->isEnabled());
    clica(e->DBRichEdit3);
    digita("Alcalinidade alta");
    EXPECT_EQ(ds(e)->state(), DataSetState::Edit);

    // Ctrl+N: bold on, then off.
    selecionaTudo(e->DBRichEdit3);
    tecla(Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(textorico::estiloSomenteNegrito(*e->DBRichEdit3));
    tecla(Qt::Key_N, Qt::ControlModifier);
    EXPECT_FALSE(e->DBRichEdit3->textCursor().charFormat().font().bold());

    // The font dialog starts at 10 points and its choice goes to the selection.
    QFont escolhida(QStringLiteral("DejaVu Serif"), 14);
    escolhida.setBold(true);
    escolhida.setItalic(true);
    dialogs.queueFont(escolhida);
    clica(e->btnTipoFonte);
    ASSERT_EQ(dialogs.fontCalls().size(), 1u);
    EXPECT_EQ(dialogs.fontCalls().back().pointSize(), 10);
    EXPECT_EQ(QApplication::focusWidget(), e->DBRichEdit3);
    QTextCharFormat f = e->DBRichEdit3->textCursor().charFormat();
    EXPECT_EQ(f.font().family(), "DejaVu Serif");
    EXPECT_TRUE(f.font().bold());
    EXPECT_TRUE(f.font().italic());
    // Bold and italic is not "bold only": Ctrl+N adds bold, which changes nothing.
    tecla(Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(e->DBRichEdit3->textCursor().charFormat().font().bold());
    // A cancelled dialog leaves the selection as it was.
    dialogs.queueFont(std::nullopt);
    clica(e->btnTipoFonte);
    f = e->DBRichEdit3->textCursor().charFormat();
    EXPECT_EQ(f.font().family(), "DejaVu Serif");
    EXPECT_EQ(f.font().pointSize(), 14);

    // Bullet and indent, each twice.
    clica(e->btnNumerar);
    EXPECT_TRUE(e->DBRichEdit3->textCursor().currentList());
    clica(e->btnNumerar);
    EXPECT_FALSE(e->DBRichEdit3->textCursor().currentList());
    clica(e->btnIdentar);
    EXPECT_NEAR(e->DBRichEdit3->textCursor().blockFormat().textIndent(), textorico::recuoPrimeiraLinha(),
                0.01);
    clica(e->btnIdentar);
    EXPECT_EQ(e->DBRichEdit3->textCursor().blockFormat().textIndent(), 0.0);
    clica(e->btnIdentar);

    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    const QString guardado =
        scalar("select tx_comentario from mov_analise_equipamento where id_analise_equipamento = 70")
            .toString();
    EXPECT_TRUE(RtfCodec::isRtf(guardado));
    QTextDocument lido;
    RtfCodec::read(guardado, lido);
    EXPECT_EQ(lido.toPlainText(), "Alcalinidade alta");
    const QTextCharFormat fl = lido.begin().begin().fragment().charFormat();
    EXPECT_TRUE(fl.font().bold());
    EXPECT_TRUE(fl.font().italic());
    EXPECT_EQ(fl.font().pointSize(), 14);
    EXPECT_NEAR(lido.begin().blockFormat().textIndent(), textorico::recuoPrimeiraLinha(), 0.1);
    EXPECT_EQ(e->lblTamanhoComentario->text(), RotuloTamanho(int(guardado.size())));
    EXPECT_TRUE(e->btnLimparConteudoComentarioAtual->isEnabled());
    // The observation was not touched.
    EXPECT_TRUE(nulo("tx_obs"));

    // "Limpar Conteúdo (1)" empties the comment and saves, without a question.
    clica(e->btnLimparConteudoComentarioAtual);
    EXPECT_EQ(dialogs.messageCount(), 0);
    EXPECT_TRUE(nulo("tx_comentario"));
    EXPECT_EQ(ds(e)->state(), DataSetState::Browse);
    EXPECT_EQ(e->lblTamanhoComentario->text(), "(Tamanho: 0)");
    EXPECT_FALSE(e->btnLimparConteudoComentarioAtual->isEnabled());
    EXPECT_EQ(texto(e->DBRichEdit3), "");
}

TEST_F(EquipamentosAnalisadosTest, ACharacterTheDatabaseCannotHoldIsRefusedAsTypedOrPastedInTheComment) {
    Equipamentos* e = abreAmostra();
    ASSERT_TRUE(e);
    clicaAba(e->pcTextos, 1);
    clica(e->DBRichEdit3);
    digita("pH 7,5 ");
    digita(QString::fromUtf8("✓"));
    EXPECT_EQ(texto(e->DBRichEdit3), "pH 7,5 ");
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text,
              QString::fromUtf8("O campo \"Comentário Atual (para impressão no laudo)\" contém o caractere "
                                "\"✓\", que não pode ser gravado. Use apenas letras, números e símbolos do "
                                "alfabeto latino."));
    EXPECT_EQ(e->DBRichEdit3->textCursor().position(), 7);
    // Pasted: refused whole; the Windows-1252 signs of the other programs are taken.
    QApplication::clipboard()->setText(QString::fromUtf8("dentro do ideal → manter"));
    tecla(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(texto(e->DBRichEdit3), "pH 7,5 ");
    EXPECT_EQ(dialogs.messageCount(), 2);
    QApplication::clipboard()->setText(QString::fromUtf8("– “ideal” €"));
    tecla(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(texto(e->DBRichEdit3), QString::fromUtf8("pH 7,5 – “ideal” €"));
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 2) << dialogs.texts().join('|').toStdString();
    QTextDocument lido;
    RtfCodec::read(
        scalar("select tx_comentario from mov_analise_equipamento where id_analise_equipamento = 70")
            .toString(),
        lido);
    EXPECT_EQ(lido.toPlainText(), QString::fromUtf8("pH 7,5 – “ideal” €"));
}

TEST_F(EquipamentosAnalisadosTest, TheObservationToolsAndItsCancelledFontDialog) {
    Equipamentos* e = abreAmostra();
    ASSERT_TRUE(e);
    clicaAba(e->pcTextos, 0);
    clica(e->DBRichEdit4);
    digita("Frasco recebido aberto");
    selecionaTudo(e->DBRichEdit4);
    const QFont antes = e->DBRichEdit4->textCursor().charFormat().font();
    dialogs.queueFont(std::nullopt);
    clica(e->BitBtn1);
    EXPECT_EQ(e->DBRichEdit4->textCursor().charFormat().font(), antes);
    EXPECT_EQ(QApplication::focusWidget(), e->DBRichEdit4);
    // Ctrl+N is the comment editor's only.
    tecla(Qt::Key_N, Qt::ControlModifier);
    EXPECT_FALSE(e->DBRichEdit4->textCursor().charFormat().font().bold());
    clica(e->BitBtn2);
    EXPECT_TRUE(e->DBRichEdit4->textCursor().currentList());
    clica(e->BitBtn3);
    tecla(Qt::Key_F3);
    QTextDocument lido;
    RtfCodec::read(
        scalar("select tx_obs from mov_analise_equipamento where id_analise_equipamento = 70").toString(),
        lido);
    EXPECT_EQ(lido.toPlainText(), "Frasco recebido aberto");
    EXPECT_TRUE(lido.begin().textList());
    // Leaving the editor refreshes its size label.
    EXPECT_NE(e->lblTamanhoObs->text(), "(Tamanho: 0)");
    EXPECT_TRUE(e->btnLimparConteudoObservacaoAtual->isEnabled());
}

TEST_F(EquipamentosAnalisadosTest, SizeLabelsCountTheStoredTextWithBrazilianDigitGroups) {
    s_db->exec(
        QString("update mov_analise_equipamento set tx_comentario = '%1' where id_analise_equipamento = 70")
            .arg(QString(1234, 'x')));
    Equipamentos* e = abreAmostra();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->lblTamanhoComentario->text(), "(Tamanho: 1.234)");
    EXPECT_TRUE(e->btnLimparConteudoComentarioAtual->isEnabled());
    EXPECT_EQ(e->lblTamanhoObs->text(), "(Tamanho: 0)");
    EXPECT_FALSE(e->btnLimparConteudoObservacaoAtual->isEnabled());
    EXPECT_EQ(RotuloTamanho(1234567), "(Tamanho: 1.234.567)");
}

} // namespace

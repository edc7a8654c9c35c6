// The formula page of "Tipo de Análise": checked as it is typed, tried on sample values, saved,
// and applied again to the samples of a period.
#include "AnaliseFixture.h"
#include "Pinturas.h"
#include "lab/ResultadosCalculados.h"
#include "lab/UnTipoAnalise.h"
#include "screens/controls/DBDateEdit.h"
#include "support/UnProgressoGeral.h"
#include <QHash>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class TipoAnaliseFormulaTest : public AnaliseTest {
protected:
    void SetUp() override {
        AnaliseTest::SetUp();
        s_db->exec("delete from sis_ctv_formula");
        s_db->exec("insert into sis_ctv_formula values (1, 'PH', null)");
        s_db->exec("insert into sis_ctv_formula values (2, 'COND', null)");
        s_db->exec("insert into tab_resultado_ideal values (5, 5, 1, 'Até 20')");
        // March: a sample without the calculated value, one with a stale one, one that lacks an
        // input but holds a value; May lies outside the period recomputed.
        analise(7, "2024-03-10");
        amostra(70, 7, 1);
        resultado(1, 70, 1, "8.1");
        resultado(2, 70, 2, "2500");
        amostra(71, 7, 3);
        resultado(3, 71, 1, "7");
        resultado(4, 71, 2, "1000");
        resultado(5, 71, 5, "99");
        amostra(72, 7, 4);
        resultado(6, 72, 1, "7");
        resultado(7, 72, 5, "1");
        analise(8, "2024-05-02");
        amostra(80, 8, 1);
        resultado(8, 80, 1, "7");
        resultado(9, 80, 2, "1000");
    }

    TfrmTipoAnalise* abreNoTipo(int id) {
        auto* t = abre<TfrmTipoAnalise>("frmTipoAnalise");
        t->edtNome->setFocus();
        if (ds(t)->isEmpty()) tecla(Qt::Key_F7);
        tecla(Qt::Key_Home, Qt::AltModifier);
        while (ds(t)->fieldByName("ID_TP_ANALISE")->asInteger() != id && !ds(t)->eof())
            tecla(Qt::Key_Right, Qt::AltModifier);
        EXPECT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), id);
        return t;
    }
    static void digitaEm(QWidget* campo, const QString& texto) {
        campo->setFocus();
        QTest::mouseClick(campo, Qt::LeftButton);
        QTest::keyClick(campo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(campo, Qt::Key_Backspace);
        if (auto* le = qobject_cast<QLineEdit*>(campo); le && !le->inputMask().isEmpty())
            QTest::keyClick(campo, Qt::Key_Home);
        digita(texto);
    }
};

TEST_F(TipoAnaliseFormulaTest, TheFormulaIsCheckedAsTypedTriedSavedAndRecomputedOverAPeriod) {
    TfrmTipoAnalise* t = abreNoTipo(5);
    EXPECT_EQ(t->edtFormula->toPlainText(), "");
    EXPECT_EQ(t->lblVerificacao->text(), "Tipo medido (sem fórmula).");

    digitaEm(t->edtCodigo, "PH");
    EXPECT_EQ(t->lblVerificacao->text(), "O código \"PH\" já é do tipo de análise \"Análise 1\".");
    digitaEm(t->edtCodigo, "IDX");
    digitaEm(t->edtFormula, "PH * 2 +");
    EXPECT_EQ(t->lblVerificacao->text(),
              "Erro de sintaxe na posição 9: a fórmula termina antes de se completar.");
    digita(" CA");
    EXPECT_EQ(t->lblVerificacao->text(),
              "Código desconhecido \"CA\" na posição 10: nenhum tipo de análise tem esse código.");
    digitaEm(t->edtFormula, "PH * 2 + IDX");
    EXPECT_EQ(t->lblVerificacao->text(),
              "A fórmula usa o próprio código \"IDX\" (posição 10): um tipo calculado "
              "não pode depender de si mesmo.");
    // On two lines.
    digitaEm(t->edtFormula, "PH * 2 +");
    tecla(Qt::Key_Return);
    digita("COND / 1000");
    EXPECT_EQ(t->lblVerificacao->text(), "Fórmula válida.");

    // Trying it.
    digitaEm(t->edtTeste, "PH=8; COND=2500,5");
    EXPECT_EQ(t->lblTeste->text(), "Resultado: 18,5005");
    digitaEm(t->edtTeste, "PH=8");
    EXPECT_EQ(t->lblTeste->text(), "Não calculado: falta o valor de \"Análise 2\" (COND).");
    digitaEm(t->edtTeste, "PH=oito");
    EXPECT_EQ(t->lblTeste->text(),
              "Valor de teste não reconhecido: \"PH=oito\" (escreva CÓDIGO=valor; ...).");

    clica(t->btnSalvarFormula);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(
        scalar("select cd_tp_analise || ': ' || tx_formula from sis_ctv_formula where id_tp_analise = 5")
            .toString(),
        "IDX: PH * 2 +\nCOND / 1000");
    EXPECT_FALSE(t->formulaAlterada());

    // The code of an input that a formula reads cannot change.
    tecla(Qt::Key_Home, Qt::AltModifier);
    ASSERT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), 1);
    EXPECT_EQ(t->edtCodigo->text(), "PH");
    digitaEm(t->edtCodigo, "PHX");
    EXPECT_EQ(t->lblVerificacao->text(), "O código \"PH\" não pode mudar: a fórmula de \"Análise 5\" o usa.");
    clica(t->btnSalvarFormula);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.texts().last(), "O código \"PH\" não pode mudar: a fórmula de \"Análise 5\" o usa.");
    EXPECT_EQ(scalar("select cd_tp_analise from sis_ctv_formula where id_tp_analise = 1").toString(), "PH");
    // Leaving the record with the change asks; "Não" drops it.
    dialogs.queueAnswer(MsgAnswer::No);
    tecla(Qt::Key_End, Qt::AltModifier);
    ASSERT_EQ(dialogs.messageCount(), 2);
    EXPECT_EQ(dialogs.texts().last(),
              "A fórmula de \"Análise 1\" foi alterada e não foi salva. Salvar a fórmula?");

    // Recomputing March.
    abreNoTipo(5);
    digitaEm(t->dtInicio, "01032024");
    digitaEm(t->dtFim, "31032024");
    clica(t->btnRecalcular);
    ASSERT_EQ(dialogs.messageCount(), 3);
    EXPECT_EQ(dialogs.texts().last(),
              "Recálculo concluído: 1 análise(s) examinada(s), 3 valor(es) alterado(s).");
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500", "5=18.7"}));
    EXPECT_EQ(resultados(71), QStringList({"1=7", "2=1000", "5=15"}));
    EXPECT_EQ(resultados(72), QStringList({"1=7"}))
        << "a value without its inputs is removed, not kept wrong";
    EXPECT_EQ(resultados(80), QStringList({"1=7", "2=1000"})) << "outside the period";
    EXPECT_FALSE(frmProgressoGeral()) << "the progress window is closed";

    // Again: nothing left to change.
    const Recalculo r = recalculaFormula(s_db->db, 5, QDate(2024, 1, 1), QDate(2024, 12, 31));
    EXPECT_EQ(r.analises, scalar("select count(*) from mov_analise where dt_coleta between '2024-01-01' and "
                                 "'2024-12-31' and id_tp_equipamento = 1")
                              .toInt());
    EXPECT_EQ(r.valoresAlterados, 1); // the May sample only
    EXPECT_EQ(resultados(80), QStringList({"1=7", "2=1000", "5=15"}));

    // "Recalcular" on a measured type is the user's slip: told as such, no error report.
    // The keyboard came back to the screen when the progress window closed.
    ASSERT_TRUE(QApplication::focusWidget());
    tecla(Qt::Key_Home, Qt::AltModifier);
    while (ds(t)->fieldByName("ID_TP_ANALISE")->asInteger() != 3 && !ds(t)->eof())
        tecla(Qt::Key_Right, Qt::AltModifier);
    ASSERT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), 3);
    const int antes = dialogs.messageCount();
    clica(t->btnRecalcular);
    ASSERT_EQ(dialogs.messageCount(), antes + 1);
    EXPECT_EQ(dialogs.texts().last(), "Este tipo de análise não é calculado: não há o que recalcular.");
    EXPECT_FALSE(frmProgressoGeral()) << "the progress window is closed";

    // A character the database cannot hold is refused as it is typed; the formula stays.
    digitaEm(t->edtFormula, "PH + 1");
    digita(QString::fromUtf8("日"));
    ASSERT_EQ(dialogs.messageCount(), antes + 2);
    EXPECT_TRUE(dialogs.texts().last().startsWith("O campo \"Fórmula\""))
        << dialogs.texts().last().toStdString();
    EXPECT_EQ(t->edtFormula->toPlainText(), "PH + 1");
}

// Todos fills the record and the count follows it: the controls that show something new are
// painted again, not the whole screen each time something inside asks for a new layout. The
// verdict's colour follows what was typed.
TEST_F(TipoAnaliseFormulaTest, TodosAndTypingRepaintWhatChangedNotTheWholeScreen) {
    auto* t = abre<TfrmTipoAnalise>("frmTipoAnalise");
    t->edtNome->setFocus();
    QLabel* rotulo = qobject_cast<QLabel*>(t->edtNome->parentWidget()->layout()->itemAt(0)->widget());
    ASSERT_TRUE(rotulo && rotulo->buddy() == t->edtNome);
    QCoreApplication::processEvents();
    Pinturas pinturas;
    tecla(Qt::Key_F7);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.005");
    QCoreApplication::processEvents();
    EXPECT_GT(pinturas.de(t->edtNome), 0) << "the first record's name is shown";
    EXPECT_EQ(pinturas.de(rotulo), 0) << "the caption above it was painted again";

    pinturas.zera();
    t->edtFormula->setFocus();
    QCoreApplication::processEvents();
    digitaEm(t->edtFormula, "COND * 2 +");
    QCoreApplication::processEvents();
    pinturas.para();
    EXPECT_EQ(t->lblVerificacao->styleSheet(), "color: #b00000;");
    EXPECT_GT(pinturas.de(t->lblVerificacao), 0);
    EXPECT_EQ(pinturas.de(rotulo), 0);
    digita(" COND");
    EXPECT_EQ(t->lblVerificacao->text(), "Fórmula válida.");
    EXPECT_EQ(t->lblVerificacao->styleSheet(), "color: #006000;");
}

} // namespace

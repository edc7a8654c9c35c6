// Calculated analysis types in the results window: the cell follows the values typed, cannot be
// typed into, stays empty with the reason when an input is missing, and is stored by the save.
#include "AnaliseFixture.h"
#include "data/FaixaIdeal.h"
#include "lab/GravacaoResultados.h"
#include "lab/MarcaFaixaResultado.h"
#include "lab/UnResultadosTodasAmostras.h"
#include "lab/unResultadoAnalise.h"
#include <QPushButton>

namespace {

class ResultadoCalculadoTest : public AnaliseTest {
protected:
    void SetUp() override {
        AnaliseTest::SetUp();
        s_db->exec("delete from sis_ctv_formula");
        s_db->exec("insert into sis_ctv_formula values (1, 'PH', null)");
        s_db->exec("insert into sis_ctv_formula values (2, 'COND', null)");
        // "Análise 5": a calculated type of the boiler.
        s_db->exec("insert into sis_ctv_formula values (5, 'IDX', 'PH * 2 + COND / 1000')");
        s_db->exec("insert into tab_resultado_ideal values (5, 5, 1, 'Até 20')");
        analise(7, "2024-03-10");
        amostra(70, 7, 1);
        resultado(6, 70, 1, "8.1");
        resultado(7, 70, 2, "2500");
        resultado(8, 70, 5, "99"); // stale: typed by hand before the type was calculated
    }

    void naJanela(std::function<void(TfrmResultadoAnalise&)> passos) {
        Cadastro* t = abreNaAnalise(7);
        clica(t->btnConsultar);
        pump();
        Equipamentos* e = telaEquipamentos();
        ASSERT_TRUE(e);
        noDialogo<TfrmResultadoAnalise>(std::move(passos));
        clica(e->btnConsultar);
        pump();
        EXPECT_TRUE(m_dialogoVisto);
    }
    static void digitaValor(const QString& valor) {
        if (valor.isEmpty()) {
            tecla(Qt::Key_Space);
            tecla(Qt::Key_Backspace);
        } else {
            digita(valor);
        }
        tecla(Qt::Key_Return);
        QApplication::processEvents();
    }
    static QString dica(TfrmResultadoAnalise& d, int linha) {
        return d.DBGrid1->model()->index(linha, 3).data(Qt::ToolTipRole).toString();
    }
};

TEST_F(ResultadoCalculadoTest, TheCellFollowsTheTypedInputsAndTheSaveStoresIt) {
    naJanela([](TfrmResultadoAnalise& d) {
        // Rows: Análise 1 (PH), 2 (COND), 3, 5 (IDX).
        ASSERT_EQ(d.DBGrid1->model()->rowCount(), 4);
        EXPECT_EQ(celula(d.DBGrid1, 3, 0), "Análise 5");
        EXPECT_EQ(celula(d.DBGrid1, 3, 3), "18,70") << "computed from the stored inputs, not the stale 99";
        EXPECT_FALSE(d.DBGrid1->model()->flags(d.DBGrid1->model()->index(3, 3)) & Qt::ItemIsEditable);
        EXPECT_TRUE(d.DBGrid1->model()->flags(d.DBGrid1->model()->index(2, 3)) & Qt::ItemIsEditable);
        EXPECT_EQ(dica(d, 3), "Calculado pela fórmula: PH * 2 + COND / 1000");
        EXPECT_EQ(dica(d, 0), "");

        digitaValor("8,25");
        EXPECT_EQ(celula(d.DBGrid1, 3, 3), "19,00");
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 1) << "Enter still goes on to the next row";
        digitaValor("");
        EXPECT_EQ(celula(d.DBGrid1, 3, 3), "") << "a missing input leaves it empty";
        EXPECT_EQ(dica(d, 3), "Não calculado: falta o valor de \"Análise 2\" (COND).");
        tecla(Qt::Key_Up);
        digitaValor("3000");
        EXPECT_EQ(celula(d.DBGrid1, 3, 3).left(5), "19,50");
        // The computed value is judged against its ideal result like a typed one ("Até 20").
        EXPECT_EQ(d.marcaFaixa->posicao(3), PosicaoFaixa::Dentro);
        // Typing on the calculated cell changes nothing.
        tecla(Qt::Key_Down);
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 3);
        digita("5");
        tecla(Qt::Key_Return);
        EXPECT_EQ(celula(d.DBGrid1, 3, 3), "19,50");
        clica(d.btnSalvar);
    });
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(resultados(70), QStringList({"1=8.25", "2=3000", "5=19.5"}));

    // A changed input of the saved sample: the same save recomputes it; a removed input removes it.
    naJanela([](TfrmResultadoAnalise& d) {
        digitaValor("7,5");
        clica(d.btnSalvar);
    });
    EXPECT_EQ(resultados(70), QStringList({"1=7.5", "2=3000", "5=18"}));
    naJanela([](TfrmResultadoAnalise& d) {
        digitaValor("");
        clica(d.btnSalvar);
    });
    EXPECT_EQ(resultados(70), QStringList({"2=3000"}));
}

// Whoever saves the results (this window, another grid) stores the computed value, not the one
// given for the calculated type.
TEST_F(ResultadoCalculadoTest, TheSaveComputesWhateverWasGiven) {
    const auto celula = [](int tipo, QVariant lido, QVariant novo) {
        return CelulaResultado{70, tipo, lido, novo, "Caldeira 01"};
    };
    GravacaoResultados(s_db->db).grava(
        {celula(1, 8.1, 7.0), celula(2, 2500.0, 1500.0), celula(3, {}, {}), celula(5, 99.0, 123.0)});
    EXPECT_EQ(resultados(70), QStringList({"1=7", "2=1500", "5=15.5"}));
    // A fault of the domain leaves it out, never a wrong number.
    s_db->exec("update sis_ctv_formula set tx_formula = 'COND / (PH - 7)' where id_tp_analise = 5");
    GravacaoResultados(s_db->db).grava(
        {celula(1, 7.0, 7.0), celula(2, 1500.0, 1500.0), celula(5, 15.5, 123.0)});
    EXPECT_EQ(resultados(70), QStringList({"1=7", "2=1500"}));
    // The saturation index's ideal on the demo site is a signed range.
    const std::optional<FaixaIdeal> lsi = LeFaixaIdeal("-0,5 a 1,0");
    ASSERT_TRUE(lsi);
    EXPECT_EQ(lsi->minimo, -0.5);
    EXPECT_EQ(PosicaoNaFaixa(*lsi, -0.8), PosicaoFaixa::Abaixo);
}

// The grid of every sample computes each sample's column on its own; the save stores the
// computed values with the typed ones, in the audit trail like them.
TEST_F(ResultadoCalculadoTest, EachSampleOfTheOneGridIsComputedFromItsOwnColumn) {
    amostra(71, 7, 3);
    resultado(9, 71, 1, "7");
    Cadastro* t = abreNaAnalise(7);
    noDialogo<TfrmResultadosTodasAmostras>([](TfrmResultadosTodasAmostras& d) {
        const int a0 = TfrmResultadosTodasAmostras::colunaAtual(0),
                  a1 = TfrmResultadosTodasAmostras::colunaAtual(1);
        ASSERT_EQ(celula(d.dbgResultados, 3, 0), "Análise 5");
        EXPECT_EQ(celula(d.dbgResultados, 3, a0), "18,70");
        EXPECT_EQ(celula(d.dbgResultados, 3, a1), "");
        EXPECT_EQ(d.dbgResultados->model()->index(3, a1).data(Qt::ToolTipRole).toString(),
                  "Não calculado: falta o valor de \"Análise 2\" (COND).");
        EXPECT_FALSE(d.dbgResultados->model()->flags(d.dbgResultados->model()->index(3, a0)) &
                     Qt::ItemIsEditable);
        // To the second sample's COND.
        tecla(Qt::Key_Tab);
        ASSERT_EQ(d.dbgResultados->currentIndex().column(), a1);
        tecla(Qt::Key_Down);
        digitaValor("1000");
        EXPECT_EQ(celula(d.dbgResultados, 3, a1), "15,00");
        EXPECT_EQ(celula(d.dbgResultados, 3, a0), "18,70");
        clica(d.btnSalvar);
    });
    clica(t->btnResultadosAmostras);
    pump();
    EXPECT_TRUE(m_dialogoVisto);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500", "5=18.7"}));
    EXPECT_EQ(resultados(71), QStringList({"1=7", "2=1000", "5=15"}));
    EXPECT_EQ(scalar("select count(*) from sis_ctv_auditoria where id_analise_equipamento = 71 and "
                     "id_tp_analise = 5")
                  .toInt(),
              1);
}

} // namespace

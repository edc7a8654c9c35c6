// The results window of a sample: every analysis type of the equipment type with its ideal result,
// the value of the equipment's latest earlier collection and the current value; typing and saving
// replaces the sample's results, all or nothing.
#include "AnaliseFixture.h"
#include "lab/unResultadoAnalise.h"
#include <QLabel>
#include <QPushButton>

namespace {

class ResultadoAnaliseTest : public AnaliseTest {
protected:
    void SetUp() override {
        AnaliseTest::SetUp();
        // Boiler 01: December, February (analysis 1, sample 1), April; the sample worked on is of March.
        analise(5, "2023-12-10");
        amostra(50, 5, 1);
        resultado(1, 50, 1, "7.0");
        resultado(2, 50, 2, "3000");
        resultado(3, 1, 1, "7.8");
        resultado(4, 1, 3, "0");
        analise(6, "2024-04-20");
        amostra(60, 6, 1);
        resultado(5, 60, 1, "9.9");
        analise(7, "2024-03-10");
        amostra(70, 7, 1);
        resultado(6, 70, 1, "8.1");
        resultado(7, 70, 2, "2500");
    }

    // Opens the results of sample 70 and runs the steps in the window.
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
    static QString linha(TfrmResultadoAnalise& d, int r) {
        QStringList c;
        for (int i = 0; i < 4; ++i)
            c << celula(d.DBGrid1, r, i);
        return c.join(" | ");
    }
    // Types a value into the "Resultado Atual" cell of the current row and ends it with Enter
    // (an empty text clears the cell).
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
};

TEST_F(ResultadoAnaliseTest, EachTypeShowsItsIdealThePreviousCollectionsValueAndTheCurrentOne) {
    naJanela([](TfrmResultadoAnalise& d) {
        EXPECT_EQ(d.windowTitle(), "Resultado das Análises");
        EXPECT_EQ(d.lblEquipamento->text(), "Equipamento: Caldeira 01");
        ASSERT_EQ(d.DBGrid1->model()->rowCount(), 3);
        EXPECT_EQ(linha(d, 0), "Análise 1 | 7,0 a 8,5 | 7,80 | 8,10");
        EXPECT_EQ(linha(d, 1), QString::fromUtf8("Análise 2 | Máx. 3.500 |  | 2.500,00"));
        EXPECT_EQ(linha(d, 2), "Análise 3 | Ausente | 0,00 | ");
        EXPECT_EQ(d.DBGrid1->model()->headerData(3, Qt::Horizontal).toString(), "Resultado Atual");
        // Only the current value can be typed.
        EXPECT_FALSE(d.DBGrid1->model()->flags(d.DBGrid1->model()->index(0, 2)) & Qt::ItemIsEditable);
        EXPECT_TRUE(d.DBGrid1->model()->flags(d.DBGrid1->model()->index(0, 3)) & Qt::ItemIsEditable);
        d.btnCancelar->click();
    });
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500"}));
}

TEST_F(ResultadoAnaliseTest, SavingReplacesTheResultsAndAnEmptyValueRemovesOne) {
    naJanela([](TfrmResultadoAnalise& d) {
        // Enter goes down the rows, and stays on the last.
        EXPECT_EQ(QApplication::focusWidget(), d.DBGrid1);
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 0);
        digitaValor("8,25");
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 1);
        digitaValor("");
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 2);
        digitaValor("0,5");
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 2);
        clica(d.btnSalvar);
    });
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(resultados(70), QStringList({"1=8.25", "3=0.5"}));
    // New keys after the largest one left (the sample's old ones are gone); the other samples keep
    // theirs.
    EXPECT_EQ(
        scalar(
            "select min(id_analise_resultado) from mov_analise_resultado where id_analise_equipamento = 70")
            .toInt(),
        6);
    EXPECT_EQ(resultados(1), QStringList({"1=7.8", "3=0"}));

    // Every value cleared: the sample has no results left.
    naJanela([](TfrmResultadoAnalise& d) {
        digitaValor("");
        tecla(Qt::Key_Down);
        digitaValor("");
        clica(d.btnSalvar);
    });
    EXPECT_EQ(resultados(70), QStringList());
}

TEST_F(ResultadoAnaliseTest, AFailureWhileSavingKeepsTheOldResults) {
    s_db->exec("create or alter exception e_resultado 'valor recusado pelo teste'");
    s_db->exec("create or alter trigger trg_resultado for mov_analise_resultado before insert as begin if "
               "(new.vl_resultado = 666) then exception e_resultado; end");
    naJanela([this](TfrmResultadoAnalise& d) {
        digitaValor("8,3");
        digitaValor("2600");
        digitaValor("666");
        clica(d.btnSalvar);
        // The window stays open with what was typed.
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(dialogs.lastMessage().text.contains("valor recusado pelo teste"))
            << dialogs.texts().join('|').toStdString();
        EXPECT_EQ(linha(d, 2), "Análise 3 | Ausente | 0,00 | 666,00");
        clica(d.btnCancelar);
    });
    s_db->exec("drop trigger trg_resultado");
    s_db->exec("drop exception e_resultado");
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500"}));
}

TEST_F(ResultadoAnaliseTest, AValueThatIsNoNumberIsRefusedInTheGrid) {
    naJanela([this](TfrmResultadoAnalise& d) {
        digitaValor("abc");
        EXPECT_EQ(dialogs.messageCount(), 1);
        EXPECT_EQ(linha(d, 0), "Análise 1 | 7,0 a 8,5 | 7,80 | 8,10");
        // The refused value's cell stays the current one: the value typed next lands there.
        digitaValor("8,3");
        EXPECT_EQ(linha(d, 0), "Análise 1 | 7,0 a 8,5 | 7,80 | 8,30");
        clica(d.btnSalvar);
    });
    EXPECT_EQ(resultados(70), QStringList({"1=8.3", "2=2500"}));
}

TEST_F(ResultadoAnaliseTest, ATypeEnteredTwiceForTheEquipmentTypeIsOneRow) {
    s_db->exec("insert into tab_resultado_ideal values (9, 1, 1, '6,5 a 9,0')");
    const QVariant auditoria = scalar("select max(id_auditoria) from sis_ctv_auditoria");
    naJanela([](TfrmResultadoAnalise& d) {
        EXPECT_EQ(d.DBGrid1->model()->rowCount(), 3);
        clica(d.btnSalvar);
    });
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500"}));
    // Nothing changed, nothing written: the results keep their rows and the trail has no row.
    EXPECT_EQ(scalar("select min(id_analise_resultado) from mov_analise_resultado where "
                     "id_analise_equipamento = 70")
                  .toInt(),
              6);
    EXPECT_EQ(scalar("select max(id_auditoria) from sis_ctv_auditoria"), auditoria);
}

} // namespace

// The sort builder through its real window: offered fields, row rule, the worked example,
// removing the ordering, blank and stray boxes.
#include "SearchFixture.h"
#include "search/UnOrdena.h"
#include <QCheckBox>
#include <QPushButton>

namespace {

TEST(OrdenaSqlTest, OrderingReplacedRemovedOrAppended) {
    const QString S = "select * from mov_analise where 0=0 order by DT_COLETA desc";
    EXPECT_EQ(MontaOrdenacaoSQL(S, false, {{"DT_COLETA", false}, {"ID_CLIENTE", true}}),
              "select * from mov_analise where 0=0  order by DT_COLETA asc ,ID_CLIENTE desc ");
    EXPECT_EQ(MontaOrdenacaoSQL("select * from cad_pessoa where 0=0 order by NM_PESQUISA", true, {}),
              "select * from cad_pessoa where 0=0 ");
    EXPECT_EQ(MontaOrdenacaoSQL("select * from t where 0=0 ", true, {}), "select * from t where 0=0 ");
    EXPECT_EQ(MontaOrdenacaoSQL("select * from t where 0=0 ", false, {{"A", false}}),
              "select * from t where 0=0  order by A asc ");
    // Boxes holding only blanks add nothing: the ordering goes away.
    EXPECT_EQ(MontaOrdenacaoSQL(S, false, {}), "select * from mov_analise where 0=0 ");
}

class OrdenaTest : public SearchTest {
protected:
    void ordena(std::function<void(TfrmOrdena&)> passos) {
        noDialogo<TfrmOrdena>(std::move(passos));
        QTest::mouseClick(main->bttOrdena, Qt::LeftButton);
        pump();
        EXPECT_TRUE(dialogoVisto());
    }
};

TEST_F(OrdenaTest, OffersEveryLabelledFieldAndTheRowRule) {
    TfrmAmostraTeste* t = abre();
    todos();
    ordena([this](TfrmOrdena& d) {
        EXPECT_EQ(d.windowTitle(), "Ordenar");
        // Blobs and key columns are offered too; a key and its lookup share one entry.
        EXPECT_EQ(d.cb1->rotulos(),
                  QStringList({"Código", "Nome", "Frascos", "Medida", "Fator", "Coleta", "Registro", "Hora",
                               "Urgente", "Cliente", "UF", "Observação", "Estado"}));
        EXPECT_EQ(d.cb2->toolTip(), "Selecione o Campo para Ordenar");
        for (QCheckBox* k : {d.ckbOrdem1, d.ckbOrdem2, d.ckbOrdem3}) {
            EXPECT_EQ(k->text(), "Ordem inversa");
            EXPECT_FALSE(k->isChecked());
        }
        substitui(d.cb1, "Nome");
        substitui(d.cb3, "Nome");
        // Typed, the label is not chosen yet; leaving the box chooses it.
        EXPECT_EQ(d.cb1->currentText(), "Nome");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(d.cb1->currentText(), "");
        EXPECT_EQ(d.cb3->currentText(), "Nome");
        EXPECT_EQ(d.cb1->rotulos().size(), 13);
        substitui(d.cb1, "Frascos");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(foco(), d.ckbOrdem1);
        tecla(Qt::Key_Space);
        QTest::mouseClick(d.bttAplicar, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
    });
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(" order by NO_FRASCOS desc ,NM_AMOSTRA asc "))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00051", "00044", "00042", "00043", "00050"}));
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.005");
}

TEST_F(OrdenaTest, ReproducesTheAnalysisListExample) {
    s_db->exec("delete from mov_analise");
    Query q(&main->IBSolution, nullptr, "IBQ_Mov_Analise");
    q.setSqlText("select * from mov_analise order by DT_COLETA desc");
    q.defineField("DT_COLETA").displayLabel = "Data Coleta";
    q.defineLookupField("lkCliente", "Cliente", 40, "ID_CLIENTE", &lookup->IBQ_Pessoas, "ID_PESSOA",
                        "NM_PESQUISA");
    auto* t = new TfrmCadastroPadrao("frmAnaliseTeste", &q);
    main->abreTela(t);
    pump();
    q.setSqlText("select * from mov_analise where 0=0 order by DT_COLETA desc");
    q.open();
    noDialogo<TfrmOrdena>([this](TfrmOrdena& d) {
        substitui(d.cb1, "Data Coleta");
        substitui(d.cb2, "Cliente");
        QTest::mouseClick(d.ckbOrdem2, Qt::LeftButton);
        QTest::mouseClick(d.bttOrdena, Qt::LeftButton);
    });
    main->bttOrdenaClick();
    pump();
    EXPECT_EQ(q.sqlText(), "select * from mov_analise where 0=0  order by DT_COLETA asc ,ID_CLIENTE desc ");
    EXPECT_TRUE(q.active());
    main->bttFecharClick();
    pump();
}

TEST_F(OrdenaTest, EmptyBoxesRemoveTheOrderingOrLeaveTheStatementAlone) {
    TfrmAmostraTeste* t = abre();
    todos();
    ordena([](TfrmOrdena& d) { QTest::mouseClick(d.bttOrdena, Qt::LeftButton); });
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(" where 0=0  ")) << t->qAmostra.sqlText().toStdString();
    EXPECT_FALSE(t->qAmostra.sqlText().contains("order by"));
    const QString semOrdem = t->qAmostra.sqlText();
    ordena([](TfrmOrdena& d) { QTest::mouseClick(d.bttOrdena, Qt::LeftButton); });
    EXPECT_EQ(t->qAmostra.sqlText(), semOrdem);
    EXPECT_TRUE(t->qAmostra.active());
    EXPECT_EQ(codigos(t->qAmostra).size(), 5);
}

TEST_F(OrdenaTest, BlankAndStrayBoxes) {
    TfrmAmostraTeste* t = abre();
    todos();
    ordena([this](TfrmOrdena& d) {
        substitui(d.cb1, "   ");
        substitui(d.cb2, "Código");
        QTest::mouseClick(d.ckbOrdem2, Qt::LeftButton);
        QTest::mouseClick(d.bttOrdena, Qt::LeftButton);
    });
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(" order by CD_AMOSTRA desc "))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra).first(), "00051");
    EXPECT_EQ(dialogs.messageCount(), 0);
    // A text that is not a label never reaches the statement.
    const QString antes = t->qAmostra.sqlText();
    ordena([this](TfrmOrdena& d) {
        substitui(d.cb1, "Sem campo");
        tecla(Qt::Key_O, Qt::AltModifier);
        EXPECT_TRUE(d.isVisible());
    });
    EXPECT_EQ(t->qAmostra.sqlText(), antes);
    EXPECT_EQ(dialogs.messageCount(), 1);
    EXPECT_TRUE(dialogs.lastMessage().text.startsWith("O campo \"Sem campo\""))
        << dialogs.lastMessage().text.toStdString();
}

TEST_F(OrdenaTest, ALabelThatTypingCompletesClearsNoOtherRow) {
    TfrmAmostraTeste* t = abre();
    todos();
    ordena([this](TfrmOrdena& d) {
        substitui(d.cb1, "Frascos");
        tecla(Qt::Key_Tab);
        // "F" completes to "Frascos", the field of row 1, on the way to "Fator".
        QTest::mouseClick(d.cb2->lineEdit(), Qt::LeftButton);
        digita("F");
        EXPECT_EQ(d.cb2->currentText(), "Frascos");
        digita("at");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(d.cb1->currentText(), "Frascos");
        EXPECT_EQ(d.cb2->currentText(), "Fator");
        QTest::mouseClick(d.bttOrdena, Qt::LeftButton);
    });
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(" order by NO_FRASCOS asc ,VL_FATOR asc "))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00050", "00043", "00042", "00044", "00051"}));
}

} // namespace

// The ideal-results screen: choices from the type lists, required columns, duplicate pairs
// accepted, names and choices read again when the screen becomes active.
#include "LabFixture.h"
#include "lab/UnResultadoIdeal.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBLookupCombo.h"

class ResultadoIdealTest : public LabTest {
protected:
    TfrmResultadoIdeal* abreTela() { return abre<TfrmResultadoIdeal>("frmResultadoIdeal"); }
    // Chooses the n-th entry (1 = first by name) of a drop-down.
    static void escolhe(DBLookupCombo* c, int n) {
        c->setFocus();
        tecla(Qt::Key_Home);
        for (int i = 1; i < n; ++i)
            tecla(Qt::Key_Down);
    }
    // One result typed from the form: equipment type, analysis type and text, then F3.
    void novo(TfrmResultadoIdeal* t, int equipamento, int analise, const QString& texto) {
        t->DBEdit1->setFocus();
        tecla(Qt::Key_F2);
        escolhe(t->lkTipoEquipamento, equipamento);
        escolhe(t->lkTipoAnalise, analise);
        substitui(t->DBEdit1, texto);
        tecla(Qt::Key_F3);
    }
};

TEST_F(ResultadoIdealTest, ChoicesComeFromTheTypeListsAndDuplicatePairsAreAccepted) {
    TfrmResultadoIdeal* t = abreTela();
    EXPECT_EQ(t->windowTitle(), "Resultados Ideais");
    EXPECT_EQ(t->lkTipoEquipamento->count(), 2);
    EXPECT_EQ(t->lkTipoEquipamento->itemText(0), "Caldeira");
    EXPECT_EQ(t->lkTipoAnalise->count(), 5);
    EXPECT_EQ(t->lkTipoEquipamento->dropDownCount(), 8);
    novo(t, 1, 2, "7,0 a 8,5");
    EXPECT_EQ(t->dsPadrao.dataSet()->state(), DataSetState::Browse);
    novo(t, 1, 2, "Máx. 9,0");
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(
        scalar("select count(*) from tab_resultado_ideal where id_tp_equipamento = 1 and id_tp_analise = 2")
            .toInt(),
        2);
    EXPECT_EQ(scalar("select max(id_resultado_ideal) from tab_resultado_ideal").toInt(), 2);
    // Both rows are listed, with the names of their types.
    tecla(Qt::Key_F7);
    tecla(Qt::Key_F12);
    pump(); // the grid fetches what it shows
    ASSERT_EQ(t->DBGrid1->model()->rowCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(celula(t->DBGrid1, r, 0), "Análise 2");
        EXPECT_EQ(celula(t->DBGrid1, r, 1), "Caldeira");
    }
    EXPECT_EQ(t->DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), "Tipo de Análise");
    EXPECT_EQ(t->DBGrid1->model()->headerData(2, Qt::Horizontal).toString(), "Resultado Ideal");
}

TEST_F(ResultadoIdealTest, EveryColumnIsRequired) {
    TfrmResultadoIdeal* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F2);
    escolhe(t->lkTipoAnalise, 1);
    substitui(t->DBEdit1, "Ausente");
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.texts(), QStringList{"O campo \"Tipo de Equipamento\" deve ser preenchido."});
    EXPECT_EQ(t->dsPadrao.dataSet()->state(), DataSetState::Insert);
    escolhe(t->lkTipoEquipamento, 2);
    substitui(t->DBEdit1, "");
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.lastMessage().text, "O campo \"Resultado Ideal\" deve ser preenchido.");
    EXPECT_EQ(scalar("select count(*) from tab_resultado_ideal").toInt(), 0);
    substitui(t->DBEdit1, "< 0,1");
    tecla(Qt::Key_F3);
    EXPECT_EQ(
        scalar("select ds_resultado_ideal from tab_resultado_ideal where id_tp_equipamento = 2").toString(),
        "< 0,1");
}

TEST_F(ResultadoIdealTest, ActivationReadsTheTypesAgain) {
    s_db->exec("insert into tab_resultado_ideal values (1, 1, 1, '10,5 a 11,5')");
    TfrmResultadoIdeal* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F7);
    tecla(Qt::Key_F12);
    EXPECT_EQ(celula(t->DBGrid1, 0, 0), "Análise 1");
    // Another workstation renames a type and adds one.
    s_db->exec("update tab_tp_analise set nm_tp_analise = 'pH' where id_tp_analise = 1");
    s_db->exec("insert into tab_tp_equipamento values (3, 'Osmose Reversa', null)");
    EXPECT_EQ(celula(t->DBGrid1, 0, 0), "Análise 1");
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    main->abreTelaRegistrada("frmResultadoIdeal");
    pump();
    EXPECT_EQ(celula(t->DBGrid1, 0, 0), "pH");
    EXPECT_EQ(t->lkTipoEquipamento->count(), 3);
    EXPECT_EQ(t->lkTipoEquipamento->itemText(1), "Osmose Reversa");
}

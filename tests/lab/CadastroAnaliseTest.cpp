// The analysis registration screen: the samples added through the analysed-equipment screen
// (the analysis saved first, the screen waiting), the type kept once samples exist, the refusal
// for a client without equipment of the type, the removal with its question and renumbering, the
// numbering itself, the company choice of the prints and the tutorial link.
#include "AnaliseFixture.h"
#include "data/DataContext.h"
#include "platform/IniFile.h"
#include "platform/Shell.h"
#include "platform/report/ReportPreview.h"
#include "reports/UnDadosLaudo.h"
#include "screens/controls/DBEdit.h"
#include "search/UnPesquisaPessoaComercio.h"
#include <QCheckBox>
#include <QFileInfo>
#include <QPushButton>
#include <QToolButton>

namespace {

class CadastroAnaliseTest : public AnaliseTest {
protected:
    // "page/sample" of every sample of the analysis, by key.
    QStringList numeracao(int analise) {
        QStringList r;
        Query q(&s_db->db, &s_db->tr);
        q.setSqlText(
            QString("select no_pagina, no_amostra from mov_analise_equipamento where id_analise = %1 order "
                    "by id_analise_equipamento")
                .arg(analise));
        q.open();
        for (q.first(); !q.eof(); q.next())
            r << q.field(0)->asString() + "/" + q.field(1)->asString();
        q.close();
        return r;
    }
    // Selects the row of the sample list holding that sample.
    void selecionaAmostra(Cadastro* t, int idAmostra) {
        DataSet* lista = t->dsConsultaEquipAnalisados.dataSet();
        for (int i = 0; i < lista->recordCount(); ++i)
            if (lista->valueAt(i, lista->fieldByName("ID_ANALISE_EQUIPAMENTO")).toInt() == idAmostra)
                clicaLinha(t->dbgDados, i);
        ASSERT_EQ(lista->fieldByName("ID_ANALISE_EQUIPAMENTO")->asInteger(), idAmostra);
    }
};

TEST_F(CadastroAnaliseTest, NineSamplesFillPagesOfFourAndARemovalRenumbersTheRest) {
    analise(2, "2024-03-01");
    // Keys out of the order of insertion: the numbering follows the keys.
    for (int k : {28, 20, 21, 22, 23, 24, 25, 26, 27})
        amostra(k, 2, k - 17);
    NumeraPaginasAmostras(2);
    EXPECT_EQ(numeracao(2), QStringList({"1/1", "1/2", "1/3", "1/4", "2/1", "2/2", "2/3", "2/4", "3/1"}));
    EXPECT_TRUE(
        scalar("select no_pagina from mov_analise_equipamento where id_analise_equipamento = 1").isNull());

    Cadastro* t = abreNaAnalise(2);
    EXPECT_EQ(t->dbgDados->model()->rowCount(), 9);
    selecionaAmostra(t, 21);
    // "Não" keeps the sample.
    dialogs.queueAnswer(MsgAnswer::No);
    clica(t->btnExcluir);
    EXPECT_EQ(dialogs.lastMessage().text, "Deseja Excluir este Registro?");
    EXPECT_EQ(dialogs.lastMessage().caption, "Aviso do Sistema");
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.lastMessage().buttons, MsgButtons::YesNo);
    EXPECT_EQ(scalar("select count(*) from mov_analise_equipamento where id_analise = 2").toInt(), 9);
    // "Sim" removes it; the others close the gap.
    resultado(1, 21, 1, "7.5");
    dialogs.queueAnswer(MsgAnswer::Yes);
    clica(t->btnExcluir);
    EXPECT_EQ(
        scalar("select count(*) from mov_analise_equipamento where id_analise_equipamento = 21").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from mov_analise_resultado").toInt(), 0);
    EXPECT_EQ(numeracao(2), QStringList({"1/1", "1/2", "1/3", "1/4", "2/1", "2/2", "2/3", "2/4"}));
    EXPECT_EQ(t->dbgDados->model()->rowCount(), 8);
    EXPECT_EQ(dialogs.messageCount(), 2);
}

TEST_F(CadastroAnaliseTest, ANewAnalysisIsSavedBeforeItsFirstSampleWhichThenLocksTheType) {
    Cadastro* t = abreCadastro();
    EXPECT_EQ(t->windowTitle(), "Cadastro de Análise");
    EXPECT_FALSE(t->btnExcluir->isEnabled());
    EXPECT_FALSE(t->btnConsultar->isEnabled());
    EXPECT_FALSE(t->BitBtn1->isEnabled());
    EXPECT_FALSE(t->BTImpRelPreench->isEnabled());
    t->dtColeta->setFocus();
    tecla(Qt::Key_F2);
    ASSERT_EQ(ds(t)->state(), DataSetState::Insert);
    // A new analysis can be printed: it is saved first.
    EXPECT_TRUE(t->BitBtn1->isEnabled());
    digita("10032024");
    t->dtRecebimento->setFocus();
    t->dtRecebimento->setCursorPosition(0);
    digita("11032024");
    // The client through the search.
    noDialogo<TfrmPesquisaPessoaComercio>([](TfrmPesquisaPessoaComercio& d) {
        substitui(d.findChild<QLineEdit*>("mskCodigo"), "30");
        tecla(Qt::Key_Return);
    });
    clica(t->btnPesquisaPessoa);
    pump();
    EXPECT_EQ(t->lkCliente->currentText(), "HOTEL SERRA AZUL");
    t->lkRepresentante->setFocus();
    tecla(Qt::Key_Down);
    EXPECT_EQ(t->lkRepresentante->currentText(), "CARLOS MENDES");
    t->lkResponsavel->setFocus();
    tecla(Qt::Key_Down);
    t->lkTipoEquipamento->setFocus();
    tecla(Qt::Key_Down);
    EXPECT_EQ(t->lkTipoEquipamento->currentText(), "Caldeira");

    clica(t->btnIncluir);
    pump();
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(scalar("select count(*) from mov_analise where id_analise = 2 and id_cliente = 30 and "
                     "id_tp_equipamento = 1 and dt_coleta = '2024-03-10'")
                  .toInt(),
              1);
    Equipamentos* e = telaEquipamentos();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->iIdAnalise, 2);
    EXPECT_EQ(ds(e)->state(), DataSetState::Insert);
    // The registration screen waits.
    EXPECT_FALSE(t->isEnabled());
    EXPECT_FALSE(t->subWindow()->isEnabled());
    EXPECT_EQ(main->telaAtiva(), e);

    // Only the client's boilers are offered.
    EXPECT_EQ(e->RxDBLookupCombo1->count(), 10);
    e->RxDBLookupCombo1->setFocus();
    tecla(Qt::Key_Down);
    EXPECT_EQ(e->RxDBLookupCombo1->currentText(), "Caldeira 01");
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(scalar("select id_analise from mov_analise_equipamento where id_equipamento_cli = 1 and "
                     "id_analise_equipamento = 2")
                  .toInt(),
              2);
    clica(e->btnFechar);
    pump();
    EXPECT_FALSE(telaEquipamentos());
    EXPECT_TRUE(t->isEnabled());
    EXPECT_EQ(main->telaAtiva(), t);
    EXPECT_EQ(celula(t->dbgDados, 0, 0), "Caldeira 01");
    EXPECT_FALSE(t->lkTipoEquipamento->isEnabled());
    EXPECT_TRUE(t->btnExcluir->isEnabled());
    EXPECT_TRUE(t->btnConsultar->isEnabled());

    // Removing the last sample frees the type again.
    dialogs.queueAnswer(MsgAnswer::Yes);
    clica(t->btnExcluir);
    EXPECT_EQ(t->dbgDados->model()->rowCount(), 0);
    EXPECT_TRUE(t->lkTipoEquipamento->isEnabled());
    EXPECT_FALSE(t->btnExcluir->isEnabled());
    EXPECT_FALSE(t->btnConsultar->isEnabled());
}

TEST_F(CadastroAnaliseTest, AnImpossibleDateIsRefusedBySaveAndANewRecordIsTypedFromTheMasksStart) {
    Cadastro* t = abreNaAnalise(1);
    auto coleta = [this] {
        return scalar("select dt_coleta from mov_analise where id_analise = 1").toDate();
    };
    // 31/02/2024 typed over the collection date and saved with F3, then with "Salvar": refused,
    // the record stays in edit with what was typed.
    substitui(t->dtColeta, "31022024");
    EXPECT_EQ(t->dtColeta->displayText(), "31/02/2024");
    tecla(Qt::Key_F3);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Data inválida");
    EXPECT_EQ(ds(t)->state(), DataSetState::Edit);
    EXPECT_EQ(t->dtColeta->displayText(), "31/02/2024");
    EXPECT_EQ(foco(), t->dtColeta);
    clica(main->bttSalvar);
    EXPECT_EQ(dialogs.messageCount(), 2);
    EXPECT_EQ(ds(t)->state(), DataSetState::Edit);
    EXPECT_EQ(coleta(), QDate(2024, 2, 1));
    // Leaving the screen asks, and "Sim" meets the same refusal: the screen stays.
    dialogs.queueAnswer(MsgAnswer::Yes);
    tecla(Qt::Key_Escape);
    pump();
    EXPECT_EQ(dialogs.messageCount(), 4);
    EXPECT_EQ(dialogs.lastMessage().text, "Data inválida");
    ASSERT_EQ(main->findChild<Cadastro*>("frmCadastrodeAnalise"), t);
    // Corrected, the date is saved.
    substitui(t->dtColeta, "29022024");
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 4);
    EXPECT_EQ(coleta(), QDate(2024, 2, 29));

    // F2 with the cursor after the date: the empty mask takes the next date from its start.
    t->dtColeta->setFocus();
    t->dtColeta->end(false);
    tecla(Qt::Key_F2);
    ASSERT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(foco(), t->dtColeta);
    EXPECT_EQ(t->dtColeta->displayText(), DBDateEdit::emptyMask());
    EXPECT_EQ(t->dtColeta->cursorPosition(), 0);
    digita("05032024");
    EXPECT_EQ(t->dtColeta->displayText(), "05/03/2024");
    EXPECT_EQ(ds(t)->fieldByName("DT_COLETA")->asDate(), QDate(2024, 3, 5));
    tecla(Qt::Key_F6);
    EXPECT_EQ(dialogs.messageCount(), 4) << dialogs.texts().join('|').toStdString();
}

TEST_F(CadastroAnaliseTest, AClickThatLeavesAnImpossibleDateSavesNothingAndOpensNothing) {
    amostra(2, 1, 3);
    Cadastro* t = abreNaAnalise(1);
    selecionaAmostra(t, 2);
    // "Consultar Resultados" saves the analysis first: clicked with 31/02/2024 in the collection
    // date, the date is refused, nothing is saved and the sample's screen does not open.
    substitui(t->dtColeta, "31022024");
    clica(t->btnConsultar);
    pump();
    EXPECT_EQ(dialogs.texts(), QStringList{"Data inválida"});
    EXPECT_FALSE(telaEquipamentos());
    EXPECT_EQ(scalar("select dt_coleta from mov_analise where id_analise = 1").toDate(), QDate(2024, 2, 1));
    EXPECT_EQ(foco(), t->dtColeta);
    // The next click acts.
    clica(t->btnConsultar);
    pump();
    EXPECT_TRUE(telaEquipamentos());
    EXPECT_EQ(dialogs.messageCount(), 1) << dialogs.texts().join('|').toStdString();
    if (Equipamentos* e = telaEquipamentos()) clica(e->btnFechar);
    pump();
}

TEST_F(CadastroAnaliseTest, AClientWithEquipmentOfOtherTypesOnlyIsRefused) {
    analise(2, "2024-03-01", 31, 1);
    Cadastro* t = abreNaAnalise(2);
    clica(t->btnIncluir);
    pump();
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Não existem equipamentos cadastrados para este Cliente");
    EXPECT_EQ(dialogs.lastMessage().caption, "Aviso do Sistema");
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_FALSE(telaEquipamentos());
    EXPECT_TRUE(t->isEnabled());
}

TEST_F(CadastroAnaliseTest, ConsultingOpensTheChosenSampleAmongItsAnalysisSamplesOnly) {
    amostra(2, 1, 3);
    analise(2, "2024-03-01");
    amostra(3, 2, 4);
    Cadastro* t = abreNaAnalise(1);
    ASSERT_EQ(t->dbgDados->model()->rowCount(), 2);
    selecionaAmostra(t, 2);
    // A double click on the list consults too.
    const QRect r = t->dbgDados->visualRect(t->dbgDados->currentIndex());
    QTest::mouseDClick(t->dbgDados->viewport(), Qt::LeftButton, {}, r.center());
    pump();
    Equipamentos* e = telaEquipamentos();
    ASSERT_TRUE(e);
    EXPECT_EQ(ds(e)->fieldByName("ID_ANALISE_EQUIPAMENTO")->asInteger(), 2);
    EXPECT_EQ(e->RxDBLookupCombo1->currentText(), "Caldeira 03");
    // Todos lists the samples of this analysis, not those of the others.
    e->RxDBLookupCombo1->setFocus();
    tecla(Qt::Key_F7);
    ds(e)->fetchAll();
    EXPECT_EQ(ds(e)->recordCount(), 2);
    clica(e->btnFechar);
    pump();
    EXPECT_TRUE(t->isEnabled());
    EXPECT_FALSE(telaEquipamentos());
}

TEST_F(CadastroAnaliseTest, RemovingASampleKeepsTheAnalysisListWhole) {
    // More analyses than a first fetch reads, all older than analysis 1.
    s_db->exec(
        "execute block as declare i int = 0; begin while (i < 450) do begin insert into mov_analise "
        "(id_analise, dt_coleta, dt_recebimento, id_cliente, id_representante, id_responsavel_tecnico, "
        "id_tp_equipamento) values (100 + :i, dateadd(-:i - 30 day to date '2024-01-01'), date "
        "'2024-01-01', 30, 32, 32, 1); i = i + 1; end end");
    amostra(2, 1, 3);
    Cadastro* t = abreNaAnalise(1);
    ASSERT_LT(ds(t)->recordCount(), 451);
    selecionaAmostra(t, 2);
    dialogs.queueAnswer(MsgAnswer::Yes);
    clica(t->btnExcluir);
    EXPECT_EQ(t->dbgDados->model()->rowCount(), 1);
    ds(t)->fetchAll();
    EXPECT_EQ(ds(t)->recordCount(), 451);
}

TEST_F(CadastroAnaliseTest, TheClientDropDownOffersEveryPersonByNameAndFollowsTheList) {
    Cadastro* t = abreNaAnalise(1);
    EXPECT_EQ(t->lkCliente->currentText(), "HOTEL SERRA AZUL");
    QStringList nomes;
    for (int i = 0; i < t->lkCliente->count(); ++i)
        nomes << t->lkCliente->itemText(i);
    EXPECT_EQ(nomes,
              QStringList({"CARLOS MENDES", "HIDROLAB CAMPINAS", "HOTEL SERRA AZUL",
                           QString::fromUtf8("JOÃO VENDAS"), QString::fromUtf8("LATICÍNIOS BOA VISTA")}));
    t->lkCliente->setFocus();
    tecla(Qt::Key_Down);
    EXPECT_EQ(t->lkCliente->currentText(), QString::fromUtf8("JOÃO VENDAS"));
    EXPECT_EQ(ds(t)->state(), DataSetState::Edit);
    EXPECT_EQ(ds(t)->fieldByName("ID_CLIENTE")->asInteger(), 33);
    tecla(Qt::Key_F6);
    EXPECT_EQ(t->lkCliente->currentText(), "HOTEL SERRA AZUL");
    // A person registered meanwhile is offered once the list is read again (on activation).
    s_db->exec(
        "insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa) values (40, '40', 'ACADEMIA "
        "NOVA', 'Academia Nova')");
    TdmLookUp::reabre(lookup->IBQ_Pessoas);
    EXPECT_EQ(t->lkCliente->count(), 6);
    EXPECT_EQ(t->lkCliente->itemText(0), "ACADEMIA NOVA");
    EXPECT_EQ(t->lkCliente->currentText(), "HOTEL SERRA AZUL");
}

TEST_F(CadastroAnaliseTest, TheCompanyOfThePrintsFollowsTheBoxAndTheTutorialIsASiteSetting) {
    IniFile(QFileInfo(exe).absolutePath() + "/Suporte.ini")
        .writeString("Web", "SiteTutoriais", "https://blog.exemplo.test/");
    RecordingShell shell;
    ScopedShell usaShell(shell);
    Cadastro* t = abreNaAnalise(1);
    EXPECT_FALSE(t->chkImprimirLogomarcaRodape->isChecked());
    EXPECT_FALSE(t->lkEmpresa->isEnabled());
    clica(t->chkImprimirLogomarcaRodape);
    EXPECT_TRUE(t->lkEmpresa->isEnabled());
    t->lkEmpresa->setFocus();
    tecla(Qt::Key_Down);
    EXPECT_EQ(t->lkEmpresa->currentText(), "HIDROLAB CAMPINAS");
    clica(t->chkImprimirLogomarcaRodape);
    EXPECT_FALSE(t->lkEmpresa->isEnabled());
    EXPECT_EQ(t->lkEmpresa->currentText(), "HIDROLAB CAMPINAS");

    EXPECT_EQ(t->imgTutorial->toolTip(),
              QString::fromUtf8(
                  "TUTORIAL: Como Imprimir logomarca, assinatura e rodapé no laudo técnico do laboratório"));
    clica(t->imgTutorial);
    EXPECT_EQ(shell.opened(),
              QStringList{"https://blog.exemplo.test/2026/04/tutorial-como-imprimir-logomarca.html"});
}

TEST_F(CadastroAnaliseTest, BothPrintsNumberTheSamplesAndShowTheirReportWithTheScreensChoices) {
    analise(2, "2024-03-01");
    for (int k : {20, 21, 22, 23, 24})
        amostra(k, 2, k - 17);
    ScriptedReportPreview preview;
    ScopedReportPreview usaPreview(preview);
    Cadastro* t = abreNaAnalise(2);
    EXPECT_TRUE(t->BitBtn1->isEnabled());
    clica(t->BitBtn1);
    ASSERT_EQ(preview.count(), 1) << dialogs.texts().join("|").toStdString();
    EXPECT_GE(preview.last().pageCount, 1);
    // The samples got their blocks of four, and the list shows them.
    EXPECT_EQ(numeracao(2), QStringList({"1/1", "1/2", "1/3", "1/4", "2/1"}));
    EXPECT_EQ(t->dsConsultaEquipAnalisados.dataSet()->recordCount(), 5);
    EXPECT_TRUE(t->BitBtn1->isEnabled());
    EXPECT_EQ(t->cdsRelatorio.recordCount(), 0);
    clica(t->BTImpRelPreench);
    ASSERT_EQ(preview.count(), 2);
    // The fill-in sheet prints each block on its own page.
    EXPECT_GE(preview.last().pageCount, 2);
    EXPECT_TRUE(t->BTImpRelPreench->isEnabled());
    EXPECT_EQ(t->TipoImpresao, "1");
}

} // namespace

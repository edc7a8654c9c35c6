// The data modules on the full schema: every edit query opens and writes through its update
// object, the data-module rules on client equipment and analysed equipment, the parameter
// row's save, and the lookup columns.
#include "DatabaseSuite.h"
#include "QtPrinters.h"
#include "data/DataContext.h"
#include "data/UndmPadrao.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include <gtest/gtest.h>

namespace {

class DataModuleTest : public DatabaseSuite<DataModuleTest> {
protected:
    static void SetUpTestSuite() {
        DatabaseSuite::SetUpTestSuite();
        s_db->exec("insert into tab_parametro (id_parametro, nm_empresa, nm_contato, tx_laudo_tecnico) "
                   "values (1, 'Hidrolab', 'Ana', '{\\rtf1 texto}')");
        s_db->exec("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, ct_cliente) "
                   "values (10, '00010', 'Usina Boa Vista', 'Usina Boa Vista S/A', 'S')");
        s_db->exec(
            "insert into tab_tp_equipamento (id_tp_equipamento, nm_tp_equipamento) values (1, 'Caldeira')");
        s_db->exec("insert into tab_tp_analise (id_tp_analise, nm_tp_analise) values (1, 'pH')");
        for (auto [id, ds] :
             {std::pair{-245, "Proposta Aprovada"}, {-246, "Aguardando Orçamento"}, {-247, "Recusada"}})
            s_db->exec(QString("insert into tab_opcao_tabela (id_opcao_tabela, id_tabela, ds_opcao_tabela) "
                               "values (%1, 75, '%2')")
                           .arg(id)
                           .arg(QString::fromUtf8(ds)));
    }
    void SetUp() override {
        lookup = std::make_unique<TdmLookUp>(&s_db->db, &s_db->tr);
        dm = std::make_unique<TdmPadrao>(&s_db->db, &s_db->tr, lookup.get());
        for (Query* q : lookup->lists())
            q->open();
    }
    void save(Query& q) {
        q.post();
        q.applyUpdates();
        s_db->tr.commitRetaining();
    }
    std::unique_ptr<TdmLookUp> lookup;
    std::unique_ptr<TdmPadrao> dm;
    FixedClock clock{QDateTime(QDate(2026, 3, 10), QTime(9, 0))};
    ScopedClock clockScope{clock};
    ScriptedDialogs dialogs;
    ScopedDialogs dialogScope{dialogs};
};

TEST_F(DataModuleTest, EveryEditQueryOpensOnTheSchema) {
    for (Query* q : dm->editQueries()) {
        q->open();
        EXPECT_TRUE(q->active()) << q->name().toStdString();
        q->close();
    }
    for (Query* q : lookup->lists())
        EXPECT_TRUE(q->active()) << q->name().toStdString();
}

TEST_F(DataModuleTest, NewClientEquipmentStartsAwaitingWithTheSituationDate) {
    Query& q = dm->IBQ_Equipamento_Cli;
    q.open();
    q.insert();
    EXPECT_EQ(q.fieldByName("ID_SITAUCAO_EQUIPAMENTO")->asInteger(), -246);
    q.fieldByName("ID_EQUIPAMENTO_CLI")->setValue(1);
    q.fieldByName("ID_CLIENTE")->setValue(10);
    q.fieldByName("ID_TP_EQUIPAMENTO")->setValue(1);
    q.fieldByName("NM_EQUIPAMENTO")->setValue("Caldeira 1");
    save(q);
    EXPECT_EQ(q.fieldByName("DT_SITUACAO_EQUIPAMENTO")->asDate(), QDate(2026, 3, 10));
    EXPECT_EQ(q.fieldByName("lkSituacaoEquipamento")->asString(), "Aguardando Orçamento");
    EXPECT_EQ(q.fieldByName("lkPessoa")->asString(), "Usina Boa Vista");

    // Saving again without changing the situation keeps the date; a change moves it.
    clock.setToday(QDate(2026, 4, 2));
    q.edit();
    q.fieldByName("NM_EQUIPAMENTO")->setValue("Caldeira principal");
    save(q);
    EXPECT_EQ(q.fieldByName("DT_SITUACAO_EQUIPAMENTO")->asDate(), QDate(2026, 3, 10));
    q.edit();
    q.fieldByName("ID_SITAUCAO_EQUIPAMENTO")->setValue(-245);
    save(q);
    EXPECT_EQ(
        s_db->scalar("select dt_situacao_equipamento from tab_equipamento_cli where id_equipamento_cli = 1")
            .toDate(),
        QDate(2026, 4, 2));
}

TEST_F(DataModuleTest, RefusedSituationNeedsANonBlankObservation) {
    s_db->exec(
        "insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, nm_equipamento, "
        "id_sitaucao_equipamento) values (2, 10, 1, 'Torre', -246)");
    Query& q = dm->IBQ_Equipamento_Cli;
    q.open();
    ASSERT_TRUE(q.locate("ID_EQUIPAMENTO_CLI", 2));
    q.edit();
    q.fieldByName("ID_SITAUCAO_EQUIPAMENTO")->setValue(-247);
    q.fieldByName("TX_OBS_SITUACAO_EQUIP")->setValue("   ");
    EXPECT_THROW(q.post(), SilentAbort);
    EXPECT_EQ(dialogs.lastMessage().text, "Informe o campo de Observações da Situação do Orçamento");
    EXPECT_EQ(q.state(), DataSetState::Edit);
    EXPECT_EQ(q.fieldByName("ID_SITAUCAO_EQUIPAMENTO")->asInteger(), -247);
    q.fieldByName("TX_OBS_SITUACAO_EQUIP")->setValue("Cliente optou por outro fornecedor");
    save(q);
    EXPECT_EQ(
        s_db->scalar("select id_sitaucao_equipamento from tab_equipamento_cli where id_equipamento_cli = 2")
            .toInt(),
        -247);
}

TEST_F(DataModuleTest, NewAnalysedEquipmentBelongsToTheScreensAnalysis) {
    s_db->exec(
        "insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, ct_represent, ct_funcionario) "
        "values (11, '00011', 'Rep', 'Representante', 'S', 'S')");
    s_db->exec(
        "insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, nm_equipamento) "
        "values (3, 10, 1, 'Caldeira 3')");
    s_db->exec("insert into mov_analise values (40, '01.03.2026', '02.03.2026', null, null, 10, 11, 11, 1)");
    int refreshed = 0;
    dm->analiseDaTelaEquipamentos = [] { return 40; };
    dm->atualizaTamanhoTextos = [&] { ++refreshed; };
    Query& q = dm->IBQ_EquipAnalisados;
    q.open();
    q.insert();
    q.fieldByName("ID_ANALISE_EQUIPAMENTO")->setValue(1);
    q.fieldByName("ID_EQUIPAMENTO_CLI")->setValue(3);
    save(q);
    EXPECT_EQ(s_db->scalar("select id_analise from mov_analise_equipamento where id_analise_equipamento = 1")
                  .toInt(),
              40);
    EXPECT_TRUE(s_db->scalar("select no_pagina from mov_analise_equipamento where id_analise_equipamento = 1")
                    .isNull());
    EXPECT_EQ(refreshed, 1);
    lookup->IBQ_EquipamentoCliente.close();
    lookup->IBQ_EquipamentoCliente.open();
    EXPECT_EQ(q.fieldByName("lkEquipamentoCliente")->asString(), "Caldeira 3");
}

TEST_F(DataModuleTest, ParameterRowSaveKeepsWhatOthersChangedMeanwhile) {
    Query& q = dm->IBQ_ConfGerais;
    q.open();
    // Another application changes a column after our read.
    Database other;
    other.setDatabaseName(s_db->path);
    other.connect();
    {
        Transaction t(&other);
        Query x(&other, &t);
        x.setSqlText("update tab_parametro set nm_contato = 'Bruno'");
        x.execSQL();
        t.commit();
    }
    s_db->tr.commitRetaining();
    q.edit();
    q.fieldByName("TX_LAUDO_TECNICO")->setValue("{\\rtf1 novo texto}");
    save(q);
    EXPECT_EQ(s_db->scalar("select nm_contato from tab_parametro").toString(), "Bruno");
    EXPECT_EQ(s_db->scalar("select tx_laudo_tecnico from tab_parametro").toString(), "{\\rtf1 novo texto}");
    other.disconnect();
}

TEST_F(DataModuleTest, IdealResultsShowTheTypeNamesAndFollowRenames) {
    s_db->exec("insert into tab_resultado_ideal values (1, 1, 1, '7,0 a 8,5')");
    Query& q = dm->IBQ_ResultadoIdeal;
    q.open();
    EXPECT_EQ(q.fieldByName("lkTipoAnalise")->asString(), "pH");
    EXPECT_EQ(q.fieldByName("lkTipoEquipamento")->asString(), "Caldeira");
    s_db->exec("update tab_tp_analise set nm_tp_analise = 'pH a 25 °C' where id_tp_analise = 1");
    TdmLookUp::reabre(lookup->IBQ_TipoAnalise);
    EXPECT_EQ(q.fieldByName("lkTipoAnalise")->asString(), "pH a 25 °C");
}

} // namespace

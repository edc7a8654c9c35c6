// The audit trail that the database keeps of the laboratory's analyses, samples and results:
// one row per changed column, written in the change's own transaction, with who made it (the
// program's session context, or the database user of an application that sets none), and rows
// that nobody changes or deletes except an administrator archiving old ones.
#include "TestDb.h"
#include "data/Query.h"
#include "data/Statement.h"
#include <gtest/gtest.h>

namespace {

class AuditoriaTest : public ::testing::Test {
protected:
    void SetUp() override {
        base.exec("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa) values (30, '30', "
                  "'HOTEL SERRA AZUL', 'Hotel')");
        base.exec("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa) values (32, '32', "
                  "'CARLOS MENDES', 'Carlos')");
        base.exec("insert into tab_tp_equipamento values (1, 'Caldeira', 'x')");
        base.exec("insert into tab_tp_analise values (1, 'pH')");
        for (int i : {1, 2})
            base.exec(QString("insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, "
                              "id_tp_equipamento, nm_equipamento) values (%1, 30, 1, 'Caldeira 0%1')")
                          .arg(i));
        programa.setDatabaseName(base.path);
        programa.setSessionContext({{"CTV_ID_USUARIO", "7"},
                                    {"CTV_LOGIN", "maria"},
                                    {"CTV_ESTACAO", "maria@bancada-3 (10.0.0.7)"},
                                    {"CTV_APLICATIVO", "Nexmoro Cortivandela"}});
        programa.connect();
    }
    // Runs statements in one transaction of the connection, committed or rolled back.
    static void transacao(Database& db, const QStringList& sqls, bool confirma = true) {
        Transaction tr(&db);
        tr.start();
        for (const QString& s : sqls) {
            Statement st(&db, &tr);
            st.prepare(s);
            st.execute();
        }
        if (confirma)
            tr.commit();
        else
            tr.rollback();
    }
    // "table key column op old>new user login" of every audit row, in order.
    QStringList linhas(const QString& extra = QString()) {
        QStringList r;
        Query q(&base.db, &base.tr);
        q.setSqlText("select nm_tabela, id_registro, nm_coluna, tp_operacao, cast(tx_valor_anterior as "
                     "varchar(60)), cast(tx_valor_novo as varchar(60)), id_usuario, nm_login" +
                     extra + " from sis_ctv_auditoria order by id_auditoria");
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            QStringList c;
            for (int i = 0; i < q.fieldCount(); ++i)
                c << q.field(i)->asString();
            r << c.join(' ');
        }
        q.close();
        return r;
    }
    TestDb base;
    Database programa;
};

TEST_F(AuditoriaTest, EveryChangeOfAnAuditedColumnIsRecordedWithWhoMadeIt) {
    transacao(
        programa,
        {"insert into mov_analise (id_analise, dt_coleta, dt_recebimento, id_cliente, id_representante, "
         "id_responsavel_tecnico, id_tp_equipamento) values (5, '2024-03-10', '2024-03-11', 30, 32, 32, 1)",
         "insert into mov_analise_equipamento (id_analise_equipamento, id_analise, id_equipamento_cli, "
         "tx_comentario) values (50, 5, 1, 'limpa')",
         "insert into mov_analise_resultado values (500, 1, 50, 7.25)"});
    const QStringList insercoes = linhas();
    EXPECT_EQ(insercoes,
              QStringList({"MOV_ANALISE 5 DT_COLETA I  2024-03-10 7 maria",
                           "MOV_ANALISE 5 DT_RECEBIMENTO I  2024-03-11 7 maria",
                           "MOV_ANALISE 5 ID_CLIENTE I  30 - HOTEL SERRA AZUL 7 maria",
                           "MOV_ANALISE 5 ID_RESPONSAVEL_TECNICO I  32 - CARLOS MENDES 7 maria",
                           "MOV_ANALISE_EQUIPAMENTO 50 ID_EQUIPAMENTO_CLI I  1 - Caldeira 01 7 maria",
                           "MOV_ANALISE_EQUIPAMENTO 50 TX_COMENTARIO I  limpa 7 maria",
                           "MOV_ANALISE_RESULTADO 500 VL_RESULTADO I  7.2500 7 maria"}));

    // Changes: the columns that changed only (the page numbers are not audited, an update that
    // writes the same value is no change).
    transacao(programa,
              {"update mov_analise set dt_envio = '2024-03-20', id_responsavel_tecnico = 30, "
               "dt_coleta = '2024-03-10' where id_analise = 5",
               "update mov_analise_equipamento set no_pagina = 1, no_amostra = 1, tx_obs = 'interna', "
               "id_equipamento_cli = 2 where id_analise_equipamento = 50",
               "update mov_analise_resultado set vl_resultado = 7.25 where id_analise_resultado = 500",
               "update mov_analise_resultado set vl_resultado = 8 where id_analise_resultado = 500"});
    // Deletes: what the row held.
    transacao(programa, {"delete from mov_analise_resultado where id_analise_resultado = 500",
                         "delete from mov_analise_equipamento where id_analise_equipamento = 50"});
    EXPECT_EQ(linhas().mid(insercoes.size()),
              QStringList(
                  {"MOV_ANALISE 5 DT_ENVIO A  2024-03-20 7 maria",
                   "MOV_ANALISE 5 ID_RESPONSAVEL_TECNICO A 32 - CARLOS MENDES 30 - HOTEL SERRA AZUL 7 maria",
                   "MOV_ANALISE_EQUIPAMENTO 50 ID_EQUIPAMENTO_CLI A 1 - Caldeira 01 2 - Caldeira 02 7 maria",
                   "MOV_ANALISE_EQUIPAMENTO 50 TX_OBS A  interna 7 maria",
                   "MOV_ANALISE_RESULTADO 500 VL_RESULTADO A 7.2500 8.0000 7 maria",
                   "MOV_ANALISE_RESULTADO 500 VL_RESULTADO E 8.0000  7 maria",
                   "MOV_ANALISE_EQUIPAMENTO 50 ID_EQUIPAMENTO_CLI E 2 - Caldeira 02  7 maria",
                   "MOV_ANALISE_EQUIPAMENTO 50 TX_COMENTARIO E limpa  7 maria",
                   "MOV_ANALISE_EQUIPAMENTO 50 TX_OBS E interna  7 maria"}));
    // Where from, and which analysis and sample each row belongs to.
    EXPECT_EQ(base.scalar("select count(*) from sis_ctv_auditoria where nm_estacao = 'maria@bancada-3 "
                          "(10.0.0.7)' and nm_processo = 'Nexmoro Cortivandela' and nm_usuario_banco = "
                          "'SYSDBA' and id_analise = 5")
                  .toInt(),
              16);
    EXPECT_EQ(base.scalar("select ds_referencia from sis_ctv_auditoria where nm_tabela = "
                          "'MOV_ANALISE_RESULTADO' and tp_operacao = 'I'")
                  .toString(),
              "Caldeira 01 / pH");
}

TEST_F(AuditoriaTest, AnotherApplicationIsKnownByItsDatabaseUserAndAFailedChangeLeavesNoRow) {
    base.exec(
        "insert into mov_analise (id_analise, dt_coleta, dt_recebimento, id_cliente, id_representante, "
        "id_responsavel_tecnico, id_tp_equipamento) values (5, '2024-03-10', '2024-03-11', 30, 32, 32, 1)");
    EXPECT_EQ(linhas(", nm_usuario_banco").first(), "MOV_ANALISE 5 DT_COLETA I  2024-03-10   SYSDBA");
    const int antes = linhas().size();
    // Rolled back, or refused half-way: no audit row either.
    transacao(programa, {"update mov_analise set dt_envio = '2024-03-20' where id_analise = 5"}, false);
    EXPECT_THROW(
        transacao(programa, {"update mov_analise set dt_avaliacao = '2024-03-12' where id_analise = 5",
                             "insert into mov_analise (id_analise, dt_coleta, dt_recebimento, "
                             "id_cliente, id_representante, id_responsavel_tecnico, id_tp_equipamento) "
                             "values (5, '2024-03-10', '2024-03-11', 30, 32, 32, 1)"}),
        DatabaseError);
    EXPECT_EQ(linhas().size(), antes);
    // The session context is the connection's: set again on a new attachment.
    programa.disconnect();
    programa.connect();
    transacao(programa, {"update mov_analise set dt_envio = '2024-03-21' where id_analise = 5"});
    EXPECT_EQ(linhas().last(), "MOV_ANALISE 5 DT_ENVIO A  2024-03-21 7 maria");
}

TEST_F(AuditoriaTest, AuditRowsAreNeverChangedAndOnlyOldOnesAreArchived) {
    base.exec(
        "insert into mov_analise (id_analise, dt_coleta, dt_recebimento, id_cliente, id_representante, "
        "id_responsavel_tecnico, id_tp_equipamento) values (5, '2024-03-10', '2024-03-11', 30, 32, 32, 1)");
    base.exec("insert into sis_ctv_auditoria (id_auditoria, nm_tabela, id_registro, nm_coluna, tp_operacao, "
              "dh_alteracao) values (-1, 'MOV_ANALISE', 4, 'DT_ENVIO', 'A', dateadd(-400 day to "
              "current_timestamp))");
    const int total = linhas().size();
    for (const QString& s : {QString("update sis_ctv_auditoria set nm_login = 'outro'"),
                             QString("delete from sis_ctv_auditoria")}) {
        try {
            transacao(programa, {s});
            ADD_FAILURE() << s.toStdString();
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(e.message().contains("não podem ser modificadas nem excluídas"))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(linhas().size(), total);
    // The administrator's archive: in a transaction that says so, rows older than a year go.
    transacao(base.db,
              {"select rdb$set_context('USER_TRANSACTION', 'CTV_ARQUIVA_AUDITORIA', 'S') from "
               "rdb$database",
               "delete from sis_ctv_auditoria where dh_alteracao < dateadd(-365 day to current_timestamp)"});
    EXPECT_EQ(linhas().size(), total - 1);
    EXPECT_THROW(
        transacao(base.db, {"select rdb$set_context('USER_TRANSACTION', 'CTV_ARQUIVA_AUDITORIA', 'S') "
                            "from rdb$database",
                            "delete from sis_ctv_auditoria"}),
        DatabaseError);
}

} // namespace

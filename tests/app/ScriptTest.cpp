#include "AppFixture.h"
#include "data/DatabaseError.h"
#include "data/ParametrosProprios.h"
#include "data/Schema.h"

namespace {

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        versaoERP().clear();
        scriptRodado().clear();
    }
    bool hasColumn(TestDb& t, const QString& column) {
        return !t.scalar("select 1 from rdb$relation_fields where rdb$relation_name = 'TAB_PARAMETRO' and "
                         "rdb$field_name = '" +
                         column + "'")
                    .isNull();
    }
};

const QString kOldParametro = kAppTestSchema;
const QString kWithColumns = QStringLiteral(R"(
CREATE TABLE TAB_PARAMETRO (ID_PARAMETRO INTEGER NOT NULL PRIMARY KEY, SCRIPT_RODADO INTEGER, VERSAO_ERP VARCHAR(30));
CREATE TABLE MOV_LOG_ATUALIZACAO (ID_LOG_ATUALIZACAO INTEGER NOT NULL PRIMARY KEY, NO_LOG_ATUALIZACAO INTEGER NOT NULL);
)");

TEST_F(ScriptTest, MigratesAnOlderDatabaseAndReadsTheLevelOnTheNextCall) {
    TestDb t(kOldParametro);
    t.exec("insert into TAB_PARAMETRO (ID_PARAMETRO) values (1)");
    t.exec("insert into MOV_LOG_ATUALIZACAO values (1, 30)");
    t.exec("insert into MOV_LOG_ATUALIZACAO values (2, 112)");
    t.exec("insert into MOV_LOG_ATUALIZACAO values (3, 45)");
    // The routine connects by itself, as at start-up after the test connection was dropped.
    t.db.disconnect();

    VerificaScript(t.db);
    EXPECT_TRUE(t.db.connected());
    EXPECT_EQ(versaoERP(), "Versao Inicial");
    EXPECT_EQ(scriptRodado(), "") << "the level is not read on the migration path";
    ASSERT_TRUE(hasColumn(t, "SCRIPT_RODADO"));
    ASSERT_TRUE(hasColumn(t, "VERSAO_ERP"));
    EXPECT_EQ(t.scalar("select script_rodado from tab_parametro").toInt(), 112);
    EXPECT_EQ(t.scalar("select versao_erp from tab_parametro").toString(), "Versao Inicial");

    // Committed: another connection sees the new columns and values.
    Database other;
    other.setDatabaseName(t.path);
    other.connect();
    Transaction otherTr(&other);
    other.setDefaultTransaction(&otherTr);
    VerificaScript(other);
    EXPECT_EQ(versaoERP(), "Versao Inicial");
    EXPECT_EQ(scriptRodado(), "112");
}

TEST_F(ScriptTest, EmptyUpdateLogLeavesTheLevelNull) {
    TestDb t(kOldParametro);
    t.exec("insert into TAB_PARAMETRO (ID_PARAMETRO) values (1)");
    VerificaScript(t.db);
    EXPECT_TRUE(t.scalar("select script_rodado from tab_parametro").isNull());
    scriptRodado() = "stale";
    VerificaScript(t.db);
    EXPECT_EQ(versaoERP(), "Versao Inicial");
    EXPECT_EQ(scriptRodado(), "");
}

TEST_F(ScriptTest, ExistingColumnsAreOnlyRead) {
    TestDb t(kWithColumns);
    t.exec("insert into TAB_PARAMETRO values (1, 57, NULL)");
    VerificaScript(t.db);
    EXPECT_EQ(versaoERP(), "Versao Inicial");
    EXPECT_EQ(scriptRodado(), "57");
    EXPECT_TRUE(t.scalar("select versao_erp from tab_parametro").isNull()) << "nothing is written";

    t.exec("update TAB_PARAMETRO set VERSAO_ERP = '2.14.7'");
    VerificaScript(t.db);
    EXPECT_EQ(versaoERP(), "2.14.7");
}

TEST_F(ScriptTest, VersionColumnWithoutLevelColumnFails) {
    TestDb t(
        QStringLiteral("CREATE TABLE TAB_PARAMETRO (ID_PARAMETRO INTEGER NOT NULL, VERSAO_ERP VARCHAR(30));"
                       "CREATE TABLE MOV_LOG_ATUALIZACAO (NO_LOG_ATUALIZACAO INTEGER);"));
    t.exec("insert into TAB_PARAMETRO values (1, 'X')");
    EXPECT_THROW(VerificaScript(t.db), DatabaseError);
}

TEST_F(ScriptTest, MissingUpdateLogTableFails) {
    TestDb t(QStringLiteral("CREATE TABLE TAB_PARAMETRO (ID_PARAMETRO INTEGER NOT NULL);"));
    EXPECT_THROW(VerificaScript(t.db), DatabaseError);
}

TEST_F(ScriptTest, WorksOnTheSchemaOfNewSites) {
    TestDb t; // schema/
    if (t.scalar("select count(*) from TAB_PARAMETRO").toInt() == 0)
        t.exec("insert into TAB_PARAMETRO (ID_PARAMETRO) values (1)");
    VerificaScript(t.db);
    EXPECT_EQ(versaoERP(), "Versao Inicial");
    VerificaScript(t.db);
    EXPECT_EQ(versaoERP(), "Versao Inicial");
}

// The program's own tables on a site created before they existed, on a site where the scripts
// stopped half-way, and on a new site, which lists them as run.
TEST_F(ScriptTest, OwnTablesReachExistingSitesOnceAndCompleteAHalfRunScript) {
    const QStringList proprios = scriptsProprios();
    ASSERT_FALSE(proprios.isEmpty()) << "the scripts are embedded in the program";
    ASSERT_EQ(proprios.first(), "50_cortivandela.sql");

    TestDb antigo(kWithColumns);
    // Half-run: the parameter table exists, the list of scripts does not.
    antigo.exec("CREATE TABLE SIS_CTV_PARAMETRO (CHAVE VARCHAR(60) NOT NULL, VALOR VARCHAR(1000), "
                "CONSTRAINT PK_SIS_CTV_PARAMETRO PRIMARY KEY (CHAVE))");
    antigo.exec("insert into SIS_CTV_PARAMETRO values ('X', 'mantido')");
    antigo.tr.commit();
    antigo.db.disconnect();
    // The scripts on the laboratory's tables wait for them: this database has none.
    QStringList podem;
    for (const QString& n : proprios)
        if (tabelasRequeridas(textoScriptProprio(n)).isEmpty()) podem << n;
    ASSERT_FALSE(podem.contains("51_auditoria.sql"));
    EXPECT_EQ(VerificaEsquemaProprio(antigo.db), podem);
    EXPECT_EQ(leParametroProprio(antigo.db, "X"), "mantido") << "an existing table is kept with its rows";
    EXPECT_EQ(antigo.scalar("select count(*) from SIS_CTV_SCRIPT").toInt(), podem.size());
    EXPECT_TRUE(VerificaEsquemaProprio(antigo.db).isEmpty()) << "each script runs once";

    TestDb novo; // schema/
    EXPECT_TRUE(VerificaEsquemaProprio(novo.db).isEmpty()) << "a new site already has them";

    EXPECT_EQ(leParametroProprio(novo.db, "NADA", "padrão"), "padrão");
    EXPECT_FALSE(leParametroProprioLogico(novo.db, "MARCA"));
    gravaParametroProprioLogico(novo.db, "MARCA", true);
    gravaParametroProprio(novo.db, "TEXTO", "ação");
    gravaParametroProprio(novo.db, "TEXTO", "ações");
    EXPECT_TRUE(leParametroProprioLogico(novo.db, "MARCA"));
    EXPECT_EQ(leParametroProprio(novo.db, "TEXTO"), "ações");
}

TEST_F(ScriptTest, OwnScriptSkipsOnlyObjectsThatExist) {
    TestDb t(kWithColumns);
    EXPECT_TRUE(objetoJaExiste(t.db, "create table tab_parametro (x integer)"));
    EXPECT_FALSE(objetoJaExiste(t.db, "CREATE TABLE NOVA (X INTEGER)"));
    EXPECT_TRUE(objetoJaExiste(t.db, "ALTER TABLE TAB_PARAMETRO ADD VERSAO_ERP VARCHAR(30)"));
    EXPECT_FALSE(objetoJaExiste(t.db, "ALTER TABLE TAB_PARAMETRO ADD OUTRA INTEGER"));
    EXPECT_FALSE(objetoJaExiste(t.db, "CREATE SEQUENCE GEN_NOVO"));
    EXPECT_FALSE(
        objetoJaExiste(t.db, "CREATE UNIQUE DESCENDING INDEX IX_NOVO ON TAB_PARAMETRO (VERSAO_ERP)"));
    EXPECT_FALSE(objetoJaExiste(t.db, "update tab_parametro set versao_erp = null"));

    // A script that fails stops there and is not listed; the next run completes it.
    aplicaScriptProprio(t.db, "50_cortivandela.sql", textoScriptProprio("50_cortivandela.sql"));
    const QString falha = "CREATE TABLE SIS_T1 (X INTEGER);\nINSERT INTO SIS_NADA VALUES (1);\n";
    EXPECT_THROW(aplicaScriptProprio(t.db, "59_teste.sql", falha), DatabaseError);
    EXPECT_TRUE(t.scalar("select 1 from SIS_CTV_SCRIPT where NM_SCRIPT = '59_teste.sql'").isNull());
    aplicaScriptProprio(t.db, "59_teste.sql",
                        "CREATE TABLE SIS_T1 (X INTEGER);\nINSERT INTO SIS_T1 VALUES (1);\n");
    EXPECT_EQ(t.scalar("select count(*) from SIS_T1").toInt(), 1);
    EXPECT_FALSE(t.scalar("select 1 from SIS_CTV_SCRIPT where NM_SCRIPT = '59_teste.sql'").isNull());
}

} // namespace

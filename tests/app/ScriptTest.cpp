#include "AppFixture.h"
#include "data/DatabaseError.h"

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

} // namespace

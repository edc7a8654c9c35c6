#include "AppFixture.h"
#include "app/UnFuncaoNexmoro.h"

namespace {

class FuncaoNexmoroTest : public AppSite {
protected:
    void SetUp() override {
        AppSite::SetUp();
        addGroup(1, "Laboratorio");
        addUser(5, "ana", "s1", "Ana Souza", 1);
        addUser(6, "d'avila", "x", "Joao D'Avila", 0);
    }
};

TEST_F(FuncaoNexmoroTest, UserLookupsQuoteTheirText) {
    EXPECT_EQ(RetornaIdUsuario("ana", db.db), 5);
    EXPECT_EQ(RetornaIdUsuario("d'avila", db.db), 6);
    EXPECT_EQ(RetornaIdUsuario("ninguem", db.db), 0);
    EXPECT_EQ(RetornaIdUsuario("' or '1'='1", db.db), 0);
    EXPECT_EQ(RetornaIdUsuario(QString(200, 'a'), db.db), 0);
    EXPECT_EQ(RetornaLoginUsuario(6, db.db), "d'avila");
    EXPECT_EQ(RetornaLoginUsuario(99, db.db), "");
    EXPECT_EQ(RetornaNomeGrupoUsuario(5, db.db), "Laboratorio");
    EXPECT_EQ(RetornaNomeGrupoUsuario(6, db.db), "") << "user without group";
}

TEST_F(FuncaoNexmoroTest, WindowsLoginFlagIsOnOnlyForCapitalS) {
    EXPECT_FALSE(LoginUsuarioWindows(db.db)) << "null";
    db.exec("update TAB_PARAMETRO set ST_LOGIN_USUARIO_WINDOWS = 's'");
    EXPECT_FALSE(LoginUsuarioWindows(db.db));
    db.exec("update TAB_PARAMETRO set ST_LOGIN_USUARIO_WINDOWS = 'S'");
    EXPECT_TRUE(LoginUsuarioWindows(db.db));
    db.exec("delete from TAB_PARAMETRO");
    EXPECT_FALSE(LoginUsuarioWindows(db.db)) << "no parameter row";
}

TEST_F(FuncaoNexmoroTest, SessionFactsComeFromTheWorkstation) {
    EXPECT_EQ(RetornaUsuarioWindows(), "maria");
    EXPECT_EQ(RetornaIPComputador(), "10.1.2.3");
}

TEST_F(FuncaoNexmoroTest, LoginLogRowsAreNumberedAndCommitted) {
    db.exec("insert into SIS_LOG_LOGIN (ID_LOG_LOGIN, ID_USUARIO) values (41, 5)");
    const int id = GravaLogLogin(5, 1, "Nexmoro Cortivandela", db.db);
    EXPECT_EQ(id, 42);
    clock.setNow(QDateTime(QDate(2024, 3, 15), QTime(10, 31, 5)));
    EXPECT_EQ(GravaLogLogin(6, 0, "App d'outro", db.db), 43);

    // Seen from another connection: both rows are committed.
    Database other;
    other.setDatabaseName(db.path);
    other.connect();
    Transaction tr(&other);
    other.setDefaultTransaction(&tr);
    Query q(&other);
    q.setSqlText("select * from SIS_LOG_LOGIN where ID_LOG_LOGIN >= 42 order by ID_LOG_LOGIN");
    q.open();
    q.fetchAll();
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldByName("ID_USUARIO")->asInteger(), 5);
    EXPECT_EQ(q.fieldByName("ID_GR_USUARIO")->asInteger(), 1);
    EXPECT_EQ(q.fieldByName("NM_APLICATIVO")->asString(), "Nexmoro Cortivandela");
    EXPECT_EQ(q.fieldByName("DH_LOGIN")->asDateTime(), QDateTime(QDate(2024, 3, 15), QTime(10, 30, 0)));
    EXPECT_TRUE(q.fieldByName("DH_LOGOFF")->isNull());
    EXPECT_EQ(q.fieldByName("CD_IP")->asString(), "10.1.2.3");
    q.next();
    EXPECT_EQ(q.fieldByName("NM_APLICATIVO")->asString(), "App d'outro");
    q.close();
    tr.commit();

    clock.setNow(QDateTime(QDate(2024, 3, 15), QTime(18, 2, 9)));
    GravaLogLogoff(42, db.db);
    q.setSqlText("select DH_LOGOFF from SIS_LOG_LOGIN where ID_LOG_LOGIN = 42");
    q.open();
    EXPECT_EQ(q.fieldByName("DH_LOGOFF")->asDateTime(), QDateTime(QDate(2024, 3, 15), QTime(18, 2, 9)));
    EXPECT_TRUE(db.scalar("select DH_LOGOFF from SIS_LOG_LOGIN where ID_LOG_LOGIN = 43").isNull());
}

TEST_F(FuncaoNexmoroTest, FirstLoginLogRowGetsOne) {
    EXPECT_EQ(GravaLogLogin(5, 1, "X", db.db), 1);
}

} // namespace

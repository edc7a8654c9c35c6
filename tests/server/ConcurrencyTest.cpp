// Two clients on the Firebird server: nowait conflicts fail at once and leave nothing
// half-written; a max+1 key collision is refused by the primary key and a fresh key saves; a
// later change of a column another client changed since it was read is refused, not written.
#include "data/KeyAllocation.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/UpdateSql.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// The test command starts a server and names it here; without it the suite is skipped.
QString server() {
    return qEnvironmentVariable("CTV_SERVER");
}
QString serverFolder() {
    return qEnvironmentVariable("CTV_SERVER_DIR", "/var/lib/ctv-test");
}

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (server().isEmpty()) GTEST_SKIP() << "CTV_SERVER not set (the test command starts the server)";
        // ctest runs the cases in parallel: each gets its own database.
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path =
            QString("%1/%2-%3.fdb").arg(serverFolder(), info->name()).arg(QCoreApplication::applicationPid());
        QFile::remove(path);
        Database creator;
        creator.setDatabaseName(server() + ":" + path);
        creator.create();
        applyScript(
            creator,
            "create table tab_tp_analise (id_tp_analise integer not null,"
            " nm_tp_analise varchar(50) not null, constraint pk_tab_tp_analise primary key (id_tp_analise));"
            "insert into tab_tp_analise values (1, 'pH');");
        creator.disconnect();
        for (auto* c : {&a, &b}) {
            c->db.setDatabaseName(server() + ":" + path);
            c->db.connect();
            c->tr.setDatabase(&c->db);
            c->db.setDefaultTransaction(&c->tr);
        }
    }
    void TearDown() override {
        for (auto* c : {&a, &b})
            c->db.disconnect();
        if (!path.isEmpty()) QFile::remove(path);
    }
    struct Client {
        Database db;
        Transaction tr;
    };
    static void run(Client& c, const QString& sql) {
        Query q(&c.db);
        q.setSqlText(sql);
        q.execSQL();
    }
    static QVariant scalar(Client& c, const QString& sql) {
        Query q(&c.db);
        q.setSqlText(sql);
        q.open();
        return q.field(0)->value();
    }
    // A screen's edit query with its update object.
    struct Screen {
        Query q;
        UpdateSql u{"IBU_TipoAnalise"};
        explicit Screen(Client& c) : q(&c.db) {
            q.setSqlText("select * from tab_tp_analise");
            q.setCachedUpdates(true);
            u.insertSql = QStringList{"insert into tab_tp_analise (ID_TP_ANALISE, NM_TP_ANALISE)",
                                      "values (:ID_TP_ANALISE, :NM_TP_ANALISE)"};
            u.modifySql =
                QStringList{"update tab_tp_analise set ID_TP_ANALISE = :ID_TP_ANALISE,",
                            " NM_TP_ANALISE = :NM_TP_ANALISE where ID_TP_ANALISE = :OLD_ID_TP_ANALISE"};
            q.setUpdateObject(&u);
            q.open();
        }
    };
    QString path;
    Client a, b;
};

TEST_F(ServerTest, NowaitConflictFailsAtOnceAndWritesNothing) {
    run(a, "update tab_tp_analise set nm_tp_analise = 'pH (A)' where id_tp_analise = 1");
    Screen s(b);
    s.q.edit();
    s.q.fieldByName("NM_TP_ANALISE")->setValue("pH (B)");
    s.q.post();
    QElapsedTimer t;
    t.start();
    try {
        s.q.applyUpdates();
        FAIL() << "the second writer should have been refused";
    } catch (const DatabaseError& e) {
        EXPECT_LT(t.elapsed(), 2000);
        EXPECT_TRUE(e.message().contains("update conflicts with concurrent update"))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("deadlock"));
        EXPECT_TRUE(e.hasCode(335544336));
    }
    // B's change is still in its cache, nothing of it reached the table.
    EXPECT_TRUE(s.q.updatesPending());
    a.tr.commitRetaining();
    b.tr.commitRetaining();
    EXPECT_EQ(scalar(b, "select nm_tp_analise from tab_tp_analise where id_tp_analise = 1").toString(),
              "pH (A)");
}

TEST_F(ServerTest, KeyCollisionIsRefusedAndAFreshKeySaves) {
    Screen sa(a), sb(b);
    Query ida(&a.db), idb(&b.db);
    // Both clients compute the same next key before either writes.
    const int ka = AdicionaID(ida, "TAB_TP_ANALISE", "ID_TP_ANALISE");
    const int kb = AdicionaID(idb, "TAB_TP_ANALISE", "ID_TP_ANALISE");
    ASSERT_EQ(ka, kb);
    sa.q.insert();
    sa.q.fieldByName("ID_TP_ANALISE")->setValue(ka);
    sa.q.fieldByName("NM_TP_ANALISE")->setValue("Dureza");
    sa.q.post();
    sa.q.applyUpdates();
    a.tr.commitRetaining();

    sb.q.insert();
    sb.q.fieldByName("ID_TP_ANALISE")->setValue(kb);
    sb.q.fieldByName("NM_TP_ANALISE")->setValue("Cloretos");
    sb.q.post();
    try {
        sb.q.applyUpdates();
        FAIL() << "the duplicate key should have been refused";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains("violation of PRIMARY or UNIQUE KEY constraint"))
            << e.message().toStdString();
    }
    sb.q.reopenPostedRecord();
    ASSERT_EQ(sb.q.state(), DataSetState::Insert);
    sb.q.fieldByName("ID_TP_ANALISE")->setValue(AdicionaID(idb, "TAB_TP_ANALISE", "ID_TP_ANALISE"));
    sb.q.post();
    sb.q.applyUpdates();
    b.tr.commitRetaining();
    EXPECT_EQ(scalar(a, "select count(*) from tab_tp_analise").toInt(), 3);
    EXPECT_EQ(scalar(a, "select nm_tp_analise from tab_tp_analise where id_tp_analise = 3").toString(),
              "Cloretos");
}

TEST_F(ServerTest, ALaterChangeOfAColumnTheOtherClientChangedIsRefusedNotWritten) {
    Screen sa(a), sb(b);
    for (Screen* s : {&sa, &sb})
        s->u.setColumns("tab_tp_analise", "ID_TP_ANALISE", {"ID_TP_ANALISE", "NM_TP_ANALISE"});
    sa.q.edit();
    sa.q.fieldByName("NM_TP_ANALISE")->setValue("pH (A)");
    sa.q.post();
    sa.q.applyAndCommit();
    sb.q.edit();
    sb.q.fieldByName("NM_TP_ANALISE")->setValue("pH (B)");
    sb.q.post();
    EXPECT_THROW(sb.q.applyAndCommit(), RecordConflict);
    EXPECT_EQ(scalar(b, "select nm_tp_analise from tab_tp_analise where id_tp_analise = 1").toString(),
              "pH (A)");
    // Read again, the change goes over the value now current.
    sb.q.reopenPostedRecord();
    ASSERT_EQ(sb.q.rereadEditedRow(), Query::RowReread::Found);
    sb.q.takeDatabaseRow(true);
    sb.q.post();
    sb.q.applyAndCommit();
    EXPECT_EQ(scalar(a, "select nm_tp_analise from tab_tp_analise where id_tp_analise = 1").toString(),
              "pH (B)");
}

} // namespace

// One save is one record, written and committed all or nothing: a commit that fails leaves
// the database without the record and gives it back to the user; a lost connection is known
// and re-attached; a plain commit leaves open lists whole; a modify writes only what changed
// and only over the values it read; a list still being read holds each row once.
#include "DatabaseSuite.h"
#include "data/Query.h"
#include "data/UpdateSql.h"
#include <QSet>
#include <gtest/gtest.h>

namespace {

const char* kScript = R"(
create table equip (id integer not null primary key, nome varchar(30), obs varchar(30), qt integer,
  txt blob sub_type text);
create exception e_falha_commit 'commit recusado pelo teste';
set term ^;
create trigger trg_falha_commit on transaction commit as
begin
  if (rdb$get_context('USER_SESSION', 'FALHAR_COMMIT') = '1') then exception e_falha_commit;
end^
set term ;^
)";

struct Client {
    Database db;
    Transaction tr;
    UpdateSql u{"IBU_Equip"};
    std::unique_ptr<Query> q;
    explicit Client(const QString& path) {
        db.setDatabaseName(path);
        db.connect();
        tr.setDatabase(&db);
        db.setDefaultTransaction(&tr);
        q = std::make_unique<Query>(&db, nullptr, "IBQ_Equip");
        q->setSqlText("select * from equip order by id");
        q->setCachedUpdates(true);
        u.insertSql =
            QStringList{"insert into equip (id, nome, obs, qt, txt) values (:id, :nome, :obs, :qt, :txt)"};
        u.deleteSql = QStringList{"delete from equip where id = :OLD_ID"};
        u.modifySql = QStringList{"update equip set id = :id, nome = :nome, obs = :obs, qt = :qt",
                                  "where id = :OLD_ID"};
        u.setColumns("equip", "ID", {"ID", "NOME", "OBS", "QT", "TXT"});
        q->setUpdateObject(&u);
    }
    void run(const QString& sql) {
        Query x(&db);
        x.setSqlText(sql);
        x.execSQL();
    }
    void falharCommit(bool on) {
        Query x(&db);
        x.setSqlText(
            QString("select rdb$set_context('USER_SESSION', 'FALHAR_COMMIT', '%1') from rdb$database")
                .arg(on ? 1 : 0));
        x.open();
        x.close();
    }
    // Save as the toolbar does: post, write and commit; on failure the record goes back.
    void save() {
        q->post();
        try {
            q->applyAndCommit();
        } catch (...) {
            q->reopenPostedRecord();
            throw;
        }
    }
};

class SaveAtomicityTest : public DatabaseSuite<SaveAtomicityTest> {
public:
    static QString script() { return kScript; }

protected:
    void SetUp() override {
        s_db->exec("delete from equip");
        for (int i = 1; i <= 3; ++i)
            s_db->exec(
                QString("insert into equip (id, nome, obs, qt) values (%1, 'Caldeira %1', 'obs %1', %1)")
                    .arg(i));
        c = std::make_unique<Client>(s_db->path);
        c->q->open();
        c->q->fetchAll();
    }
    void TearDown() override { c.reset(); }
    int count(const QString& where) { return s_db->scalar("select count(*) from equip " + where).toInt(); }
    std::unique_ptr<Client> c;
};

TEST_F(SaveAtomicityTest, AFailedCommitOfANewRecordGivesItBackAndTheListHoldsOnlyTheDatabasesRows) {
    Query& q = *c->q;
    q.insert();
    q.fieldByName("ID")->setValue(10);
    q.fieldByName("NOME")->setValue("Torre nova");
    c->falharCommit(true);
    EXPECT_THROW(c->save(), DatabaseError);
    EXPECT_EQ(q.state(), DataSetState::Insert);
    EXPECT_EQ(q.fieldByName("NOME")->asString(), "Torre nova");
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_FALSE(q.updatesPending());
    c->falharCommit(false);
    EXPECT_EQ(count("where id = 10"), 0);
    // The user saves again once the cause is gone.
    c->save();
    EXPECT_EQ(count("where id = 10 and nome = 'Torre nova'"), 1);
    EXPECT_EQ(q.recordCount(), 4);
}

TEST_F(SaveAtomicityTest, AFailedCommitOfAChangeKeepsTheOldRowAndTheUsersValues) {
    Query& q = *c->q;
    q.first();
    q.edit();
    q.fieldByName("NOME")->setValue("Alterada");
    c->falharCommit(true);
    EXPECT_THROW(c->save(), DatabaseError);
    EXPECT_EQ(q.state(), DataSetState::Edit);
    EXPECT_EQ(q.fieldByName("NOME")->asString(), "Alterada");
    c->falharCommit(false);
    EXPECT_EQ(count("where id = 1 and nome = 'Caldeira 1'"), 1);
    // Nothing of the failed save is left in the transaction to be committed by another write.
    c->run("update equip set qt = 7 where id = 3");
    c->run("commit retain");
    EXPECT_EQ(count("where nome = 'Alterada'"), 0);
    c->save();
    EXPECT_EQ(count("where id = 1 and nome = 'Alterada'"), 1);
}

TEST_F(SaveAtomicityTest, ALostConnectionIsKnownAndTheNextActionAttachesAgain) {
    Query& q = *c->q;
    const int att = [&] {
        Query x(&c->db);
        x.setSqlText("select current_connection from rdb$database");
        x.open();
        return x.field(0)->asInteger();
    }();
    s_db->exec(QString("delete from mon$attachments where mon$attachment_id = %1").arg(att));
    q.last();
    q.edit();
    q.fieldByName("OBS")->setValue("depois da queda");
    EXPECT_THROW(c->save(), DatabaseError);
    EXPECT_FALSE(c->db.connected());
    EXPECT_EQ(q.state(), DataSetState::Edit);
    EXPECT_EQ(q.recordCount(), 3);
    c->save();
    EXPECT_TRUE(c->db.connected());
    EXPECT_EQ(count("where obs = 'depois da queda'"), 1);
}

TEST_F(SaveAtomicityTest, APlainCommitLeavesAPartlyReadListWhole) {
    for (int i = 4; i <= 400; ++i)
        s_db->exec(QString("insert into equip (id, nome, obs, qt) values (%1, 'E%1', null, %1)").arg(i));
    Query& q = *c->q;
    q.close();
    q.open();
    ASSERT_LT(q.recordCount(), 400);
    ASSERT_TRUE(q.canFetchMore());
    c->run("update equip set qt = 0 where id = 1");
    c->run("commit");
    q.last();
    EXPECT_EQ(q.recordCount(), 400);
    EXPECT_EQ(q.fieldByName("ID")->asInteger(), 400);
    EXPECT_EQ(count("where id = 1 and qt = 0"), 1);
}

TEST_F(SaveAtomicityTest, TwoWorkstationsChangingDifferentColumnsKeepBothChanges) {
    Client other(s_db->path);
    other.q->open();
    Query& a = *c->q;
    Query& b = *other.q;
    a.first();
    b.first();
    a.edit();
    a.fieldByName("NOME")->setValue("Nome de A");
    c->save();
    b.edit();
    b.fieldByName("QT")->setValue(42);
    other.save();
    EXPECT_EQ(count("where id = 1 and nome = 'Nome de A' and qt = 42 and obs = 'obs 1'"), 1);
    // A change that changes nothing writes nothing.
    a.edit();
    a.fieldByName("QT")->setValue(1);
    a.fieldByName("QT")->setValue(a.fieldByName("QT")->oldValue());
    c->save();
    EXPECT_EQ(count("where id = 1 and qt = 42"), 1);
}

TEST_F(SaveAtomicityTest, AStaleChangeInTheCacheIsNeverWrittenByTheNextSave) {
    Query& q = *c->q;
    q.first();
    q.edit();
    q.fieldByName("NOME")->setValue("Esquecida");
    q.post(); // left in the cache by some path
    q.next();
    q.edit();
    q.fieldByName("NOME")->setValue("Salva");
    c->save();
    EXPECT_EQ(count("where nome = 'Esquecida'"), 0);
    EXPECT_EQ(count("where id = 2 and nome = 'Salva'"), 1);
    EXPECT_FALSE(q.updatesPending());
}

TEST_F(SaveAtomicityTest, ARecordSavedWhileTheListIsStillBeingReadIsListedOnce) {
    for (int i = 4; i <= 300; ++i)
        s_db->exec(QString("insert into equip (id, nome, qt) values (%1, 'E%1', %1)").arg(i));
    Query& q = *c->q;
    q.close();
    q.open();
    ASSERT_TRUE(q.canFetchMore());
    q.insert();
    q.fieldByName("ID")->setValue(1000);
    q.fieldByName("NOME")->setValue("Nova");
    c->save();
    q.first();
    q.edit();
    q.fieldByName("NOME")->setValue("Primeira");
    c->save();
    // The cursor, still open in the same transaction, meets both rows again.
    q.fetchAll();
    EXPECT_EQ(q.recordCount(), count(""));
    QSet<int> ids;
    for (int r = 0; r < q.recordCount(); ++r)
        ids.insert(q.valueAt(r, q.fieldByName("ID")).toInt());
    EXPECT_EQ(ids.size(), q.recordCount());
    EXPECT_TRUE(ids.contains(1000));
}

TEST_F(SaveAtomicityTest, AColumnAnotherWorkstationChangedSinceItWasReadIsNeverOverwrittenUnseen) {
    s_db->exec("update equip set obs = null, txt = 'lido' where id = 1");
    Client other(s_db->path);
    c->q->close();
    c->q->open();
    other.q->open();
    other.q->fetchAll();
    Query& a = *c->q;
    Query& b = *other.q;
    const int obs = a.fieldByName("OBS")->index(), txt = a.fieldByName("TXT")->index();
    // A column read as empty (null-safe) and a text blob.
    for (const char* col : {"OBS", "TXT"}) {
        a.edit();
        a.fieldByName(col)->setValue("de A");
        c->save();
        b.edit();
        b.fieldByName(col)->setValue("de B");
        try {
            other.save();
            FAIL() << col << ": the later change overwrote the earlier one";
        } catch (const RecordConflict& e) {
            EXPECT_EQ(e.kind(), UpdateKind::Modify);
        }
        EXPECT_EQ(b.state(), DataSetState::Edit);
        EXPECT_EQ(b.fieldByName(col)->asString(), "de B");
        EXPECT_EQ(count(QString("where id = 1 and %1 = 'de A'").arg(col)), 1) << col;
        if (QString(col) == "OBS") b.cancel();
    }
    // B sees the values now current and writes its change over them.
    ASSERT_EQ(b.rereadEditedRow(), Query::RowReread::Found);
    EXPECT_EQ(b.databaseRowValue(obs).toString(), "de A");
    EXPECT_EQ(b.databaseRowValue(txt).toString(), "de A");
    EXPECT_EQ(b.changedColumns(), std::vector<int>{txt});
    b.takeDatabaseRow(true);
    EXPECT_EQ(b.fieldByName("OBS")->asString(), "de A");
    EXPECT_EQ(b.fieldByName("TXT")->asString(), "de B");
    other.save();
    EXPECT_EQ(count("where id = 1 and obs = 'de A' and txt = 'de B'"), 1);
    // A record deleted meanwhile: its change and its delete find no row and say so.
    s_db->exec("delete from equip where id = 2");
    b.next();
    b.edit();
    b.fieldByName("NOME")->setValue("Removida");
    EXPECT_THROW(other.save(), RecordConflict);
    EXPECT_EQ(b.rereadEditedRow(), Query::RowReread::Gone);
    b.cancel();
    b.remove();
    try {
        b.applyAndCommit();
        FAIL() << "deleting a row that is gone passed as done";
    } catch (const RecordConflict& e) {
        EXPECT_EQ(e.kind(), UpdateKind::Delete);
    }
    EXPECT_EQ(count(""), 2);
}

} // namespace

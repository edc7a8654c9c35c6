// The dataset contract on a real embedded database: states, events, cached updates
// through update objects, blobs, chunked fetch, locate, refresh, lookups.
#include "DatabaseSuite.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "data/SqlText.h"
#include "data/UpdateSql.h"
#include <gtest/gtest.h>

namespace {

const char* kScript = R"(
create table tab_tp_analise (id_tp_analise integer not null primary key, nm_tp_analise varchar(50) not null,
  tx_obs blob sub_type text, img blob, vl numeric(15,4), dt date);
create table tab_grupo (id_grupo integer not null primary key, nm_grupo varchar(60));
)";

class DataSetTest : public DatabaseSuite<DataSetTest> {
public:
    static QString script() { return kScript; }

protected:
    void SetUp() override {
        s_db->exec("delete from tab_tp_analise");
        s_db->exec("delete from tab_grupo");
        for (int i = 1; i <= 5; ++i)
            s_db->exec(
                QString("insert into tab_tp_analise (id_tp_analise, nm_tp_analise) values (%1, 'Analise %1')")
                    .arg(i));
        q = std::make_unique<Query>(&s_db->db, nullptr, "IBQ_TipoAnalise");
        q->setSqlText("select * from tab_tp_analise order by id_tp_analise");
        q->setCachedUpdates(true);
        upd.modifySql = QStringList{"update tab_tp_analise set", "  ID_TP_ANALISE = :ID_TP_ANALISE,",
                                    "  NM_TP_ANALISE = :NM_TP_ANALISE, TX_OBS = :TX_OBS, IMG = :IMG",
                                    "where ID_TP_ANALISE = :OLD_ID_TP_ANALISE"};
        upd.insertSql = QStringList{"insert into tab_tp_analise (ID_TP_ANALISE, NM_TP_ANALISE, TX_OBS, IMG)",
                                    "values (:ID_TP_ANALISE, :NM_TP_ANALISE, :TX_OBS, :IMG)"};
        upd.deleteSql = QStringList{"delete from tab_tp_analise where ID_TP_ANALISE = :OLD_ID_TP_ANALISE"};
        q->setUpdateObject(&upd);
    }
    void save() {
        q->post();
        q->applyUpdates();
        s_db->tr.commitRetaining();
    }
    std::unique_ptr<Query> q;
    UpdateSql upd{"IBU_TipoAnalise"};
};

TEST_F(DataSetTest, StatesAndEventsFollowTheEditCycle) {
    std::vector<QString> log;
    DataSource ds("dsPadrao", q.get());
    ds.onStateChange = [&] { log.push_back("state:" + dataSetStateName(q->state())); };
    q->afterInsert = [&](DataSet& d) {
        log.push_back("afterInsert");
        d.fieldByName("NM_TP_ANALISE")->setValue("Nova");
    };
    q->beforePost = [&](DataSet&) { log.push_back("beforePost"); };
    q->open();
    EXPECT_EQ(q->state(), DataSetState::Browse);
    q->insert();
    EXPECT_EQ(q->state(), DataSetState::Insert);
    q->fieldByName("ID_TP_ANALISE")->setValue(6);
    q->post();
    EXPECT_EQ(q->state(), DataSetState::Browse);
    EXPECT_EQ(q->fieldByName("NM_TP_ANALISE")->asString(), "Nova");
    q->edit();
    q->cancel();
    std::vector<QString> want{"state:browse", "state:insert", "afterInsert", "beforePost",
                              "state:browse", "state:edit",   "state:browse"};
    EXPECT_EQ(log, want);
}

TEST_F(DataSetTest, SettingAFieldOutsideEditIsRefused) {
    q->open();
    try {
        q->fieldByName("NM_TP_ANALISE")->setValue("x");
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("O registro não está em edição."));
    }
}

TEST_F(DataSetTest, RequiredFieldNamesItsLabelOnPost) {
    q->defineField("NM_TP_ANALISE").displayLabel = "Tipo de Análise";
    q->open();
    q->insert();
    q->fieldByName("ID_TP_ANALISE")->setValue(9);
    try {
        q->post();
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("O campo \"Tipo de Análise\" deve ser preenchido."));
    }
    EXPECT_EQ(q->state(), DataSetState::Insert);
}

TEST_F(DataSetTest, CachedInsertModifyDeleteGoThroughTheUpdateObject) {
    q->open();
    q->insert();
    q->fieldByName("ID_TP_ANALISE")->setValue(10);
    q->fieldByName("NM_TP_ANALISE")->setValue("pH");
    q->post();
    // Posted, not written yet.
    EXPECT_EQ(s_db->scalar("select count(*) from tab_tp_analise where id_tp_analise = 10").toInt(), 0);
    q->applyUpdates();
    EXPECT_EQ(s_db->scalar("select nm_tp_analise from tab_tp_analise where id_tp_analise = 10").toString(),
              "pH");

    // Changing the key itself: the OLD_ value finds the row.
    ASSERT_TRUE(q->locate("ID_TP_ANALISE", 3));
    q->edit();
    q->fieldByName("ID_TP_ANALISE")->setValue(30);
    q->fieldByName("NM_TP_ANALISE")->setValue("D'Água");
    save();
    EXPECT_EQ(s_db->scalar("select count(*) from tab_tp_analise where id_tp_analise = 3").toInt(), 0);
    EXPECT_EQ(s_db->scalar("select nm_tp_analise from tab_tp_analise where id_tp_analise = 30").toString(),
              "D'Água");

    ASSERT_TRUE(q->locate("ID_TP_ANALISE", 1));
    q->remove();
    EXPECT_TRUE(q->updatesPending());
    q->applyUpdates();
    EXPECT_FALSE(q->updatesPending());
    EXPECT_EQ(s_db->scalar("select count(*) from tab_tp_analise where id_tp_analise = 1").toInt(), 0);
}

TEST_F(DataSetTest, CancelUpdatesBringsADeletedRowBack) {
    q->open();
    q->fetchAll();
    ASSERT_TRUE(q->locate("ID_TP_ANALISE", 2));
    q->remove();
    EXPECT_EQ(q->recordCount(), 4);
    q->cancelUpdates();
    EXPECT_EQ(q->recordCount(), 5);
    EXPECT_EQ(q->fieldByName("ID_TP_ANALISE")->asInteger(), 2);
}

TEST_F(DataSetTest, FailedApplyWritesNothingAndTheRecordCanBeSavedAgain) {
    q->open();
    q->insert();
    q->fieldByName("ID_TP_ANALISE")->setValue(2); // collides with an existing key
    q->fieldByName("NM_TP_ANALISE")->setValue("Dureza");
    q->post();
    EXPECT_THROW(q->applyUpdates(), DatabaseError);
    q->reopenPostedRecord();
    EXPECT_EQ(q->state(), DataSetState::Insert);
    EXPECT_EQ(q->fieldByName("NM_TP_ANALISE")->asString(), "Dureza");
    EXPECT_FALSE(q->updatesPending());
    q->fieldByName("ID_TP_ANALISE")->setValue(6);
    save();
    EXPECT_EQ(s_db->scalar("select nm_tp_analise from tab_tp_analise where id_tp_analise = 6").toString(),
              "Dureza");
    EXPECT_EQ(s_db->scalar("select nm_tp_analise from tab_tp_analise where id_tp_analise = 2").toString(),
              "Analise 2");
}

TEST_F(DataSetTest, TextAndBinaryBlobsRoundTrip) {
    QByteArray bin;
    for (int i = 0; i < 100000; ++i)
        bin.append(char(i % 251));
    QString text = "{\\rtf1 Observação com acentuação}\nsegunda linha";
    q->open();
    q->edit();
    q->fieldByName("TX_OBS")->setValue(text);
    q->fieldByName("IMG")->setValue(bin);
    save();
    Query r(&s_db->db);
    r.setSqlText("select tx_obs, img from tab_tp_analise where id_tp_analise = 1");
    r.open();
    EXPECT_EQ(r.fieldByName("TX_OBS")->asString(), text);
    EXPECT_EQ(r.fieldByName("IMG")->asBytes(), bin);
    EXPECT_EQ(r.fieldByName("TX_OBS")->kind(), FieldKind::Memo);
    EXPECT_EQ(r.fieldByName("IMG")->kind(), FieldKind::Blob);
}

TEST_F(DataSetTest, FetchesInChunksAndLocatesBeyondTheFetchedRows) {
    for (int i = 6; i <= 500; ++i)
        s_db->exec(
            QString("insert into tab_tp_analise (id_tp_analise, nm_tp_analise) values (%1, 'A%1')").arg(i));
    q->open();
    EXPECT_EQ(q->recordCount(), 1);
    EXPECT_TRUE(q->canFetchMore());
    EXPECT_EQ(q->fetchMore(100), 100);
    EXPECT_EQ(q->recordCount(), 101);
    ASSERT_TRUE(q->locate("NM_TP_ANALISE", "a450", {true, false}));
    EXPECT_EQ(q->fieldByName("ID_TP_ANALISE")->asInteger(), 450);
    q->last();
    EXPECT_EQ(q->recordCount(), 500);
    EXPECT_TRUE(q->eof());
    EXPECT_FALSE(q->canFetchMore());
}

TEST_F(DataSetTest, NavigationFlags) {
    q->open();
    EXPECT_TRUE(q->bof());
    q->next();
    q->next();
    EXPECT_FALSE(q->bof());
    q->last();
    q->next();
    EXPECT_TRUE(q->eof());
    EXPECT_EQ(q->fieldByName("ID_TP_ANALISE")->asInteger(), 5);
    q->first();
    q->prior();
    EXPECT_TRUE(q->bof());
    EXPECT_EQ(q->fieldByName("ID_TP_ANALISE")->asInteger(), 1);
}

TEST_F(DataSetTest, MovingAwayPostsAChangedRecordAndCancelsAnUntouchedOne) {
    q->open();
    q->edit();
    q->next();
    EXPECT_FALSE(q->updatesPending());
    q->edit();
    q->fieldByName("NM_TP_ANALISE")->setValue("mudou");
    q->next();
    EXPECT_TRUE(q->updatesPending());
}

TEST_F(DataSetTest, RefreshSeesOtherWritesAndKeepsThePosition) {
    q->open();
    ASSERT_TRUE(q->locate("ID_TP_ANALISE", 4));
    s_db->exec("update tab_tp_analise set nm_tp_analise = 'Renomeada' where id_tp_analise = 4");
    q->refresh();
    EXPECT_EQ(q->fieldByName("ID_TP_ANALISE")->asInteger(), 4);
    EXPECT_EQ(q->fieldByName("NM_TP_ANALISE")->asString(), "Renomeada");
}

TEST_F(DataSetTest, CommitRetainKeepsTheTransactionActive) {
    Query x(&s_db->db);
    x.setSqlText("insert into tab_grupo values (1, 'G')");
    x.execSQL();
    x.setSqlText("commit retain");
    x.execSQL();
    EXPECT_TRUE(s_db->tr.active());
    x.setSqlText("commit");
    x.execSQL();
    EXPECT_FALSE(s_db->tr.active());
    EXPECT_EQ(s_db->scalar("select count(*) from tab_grupo").toInt(), 1);

    // A "commit" typed while a list still fetches from the transaction keeps its cursor: the
    // list goes on to its last row. A commit asked of the transaction itself ends it, and the
    // list keeps the rows it holds, marked as cut short.
    q->open();
    ASSERT_TRUE(q->canFetchMore());
    x.setSqlText("insert into tab_grupo values (2, 'H')");
    x.execSQL();
    x.setSqlText("commit");
    x.execSQL();
    EXPECT_TRUE(s_db->tr.active());
    q->fetchAll();
    EXPECT_EQ(q->recordCount(), 5);
    EXPECT_FALSE(q->rowsCutShort());

    q->close();
    q->open();
    ASSERT_TRUE(q->canFetchMore());
    s_db->tr.commit();
    EXPECT_FALSE(s_db->tr.active());
    EXPECT_FALSE(q->canFetchMore());
    EXPECT_EQ(q->recordCount(), 1);
    EXPECT_TRUE(q->rowsCutShort());
    EXPECT_EQ(s_db->scalar("select count(*) from tab_grupo").toInt(), 2);
}

TEST_F(DataSetTest, NamedParametersAndQuotedText) {
    Query x(&s_db->db);
    QString hostile = "O'Brien '; delete from tab_grupo; --";
    x.setSqlText("insert into tab_grupo values (7, " + sql::quoted(hostile) + ")");
    x.execSQL();
    x.setSqlText("select nm_grupo from tab_grupo where id_grupo = :ID and nm_grupo <> ':naoparam'");
    EXPECT_EQ(x.paramNames(), QStringList{"ID"});
    x.setParam("id", 7);
    x.open();
    EXPECT_EQ(x.fieldByName("NM_GRUPO")->asString(), hostile);
}

TEST_F(DataSetTest, LookupFieldResolvesThroughTheList) {
    s_db->exec("insert into tab_grupo values (3, 'Terceiro')");
    Query list(&s_db->db, nullptr, "IBQ_Grupos");
    list.setSqlText("select id_grupo, nm_grupo from tab_grupo order by nm_grupo");
    list.open();
    Query main(&s_db->db);
    main.setSqlText("select id_tp_analise, id_tp_analise as id_grupo from tab_tp_analise order by 1");
    main.defineLookupField("lkGrupo", "Grupo", 30, "ID_GRUPO", &list, "ID_GRUPO", "NM_GRUPO");
    main.open();
    Field* lk = main.fieldByName("lkGrupo");
    EXPECT_EQ(lk->fieldClass(), FieldClass::Lookup);
    EXPECT_TRUE(lk->value().isNull());
    main.setRecNo(2);
    EXPECT_EQ(lk->asString(), "Terceiro");
}

// A list opened again with the same text runs the statement it prepared before: with the new
// values of its parameters, the rows committed since, and on another transaction once it has
// one. The names of many rows, read by key in one statement whose key list is padded, are each
// the name of their own key.
TEST_F(DataSetTest, AListOpenedAgainRunsItsStatementWithNewParametersAndRows) {
    Query x(&s_db->db);
    const QString texto = "select id_tp_analise from tab_tp_analise where id_tp_analise <= :ATE order by 1";
    x.setSqlText(texto);
    x.setParam("ATE", 2);
    x.open();
    x.fetchAll();
    EXPECT_EQ(x.recordCount(), 2);
    s_db->exec("insert into tab_tp_analise (id_tp_analise, nm_tp_analise) values (0, 'Zero')");
    x.setSqlText(texto);
    x.setParam("ATE", 3);
    x.open();
    x.fetchAll();
    EXPECT_EQ(x.recordCount(), 4);
    Transaction outra(&s_db->db);
    x.close();
    x.setTransaction(&outra);
    x.open();
    x.fetchAll();
    EXPECT_EQ(x.recordCount(), 4);
    EXPECT_TRUE(outra.active());
    outra.commit();

    for (int g = 1; g <= 3; ++g)
        s_db->exec(QString("insert into tab_grupo values (%1, 'Grupo %1')").arg(g));
    Query list(&s_db->db, nullptr, "IBQ_Grupos");
    list.setSqlText("select id_grupo, nm_grupo from tab_grupo order by nm_grupo");
    list.open();
    Query main(&s_db->db);
    // Six rows, keys 0 (no group), 1, 2, 3, 4 (no group), 5 (no group): three keys with a name.
    main.setSqlText("select id_tp_analise, id_tp_analise as id_grupo from tab_tp_analise order by 1");
    main.defineLookupField("lkGrupo", "Grupo", 30, "ID_GRUPO", &list, "ID_GRUPO", "NM_GRUPO");
    main.open();
    main.fetchAll();
    ASSERT_EQ(main.recordCount(), 6);
    const Field* lk = main.fieldByName("lkGrupo");
    for (int row = 0; row < 6; ++row) {
        const QVariant v = main.valueAt(row, lk);
        if (row >= 1 && row <= 3)
            EXPECT_EQ(v.toString(), QString("Grupo %1").arg(row)) << row;
        else
            EXPECT_TRUE(v.isNull()) << row;
    }
}

TEST_F(DataSetTest, FieldOriginNamesTableAndColumn) {
    q->open();
    EXPECT_EQ(q->field(0)->origin(), "\"TAB_TP_ANALISE\".\"ID_TP_ANALISE\"");
    EXPECT_EQ(q->fieldByName("NM_TP_ANALISE")->size(), 50);
    EXPECT_EQ(q->fieldByName("NM_TP_ANALISE")->fieldClass(), FieldClass::StringColumn);
    EXPECT_EQ(q->fieldByName("VL")->fieldClass(), FieldClass::BCD);
}

TEST(MemTableTest, HoldsRowsOfItsOwnFields) {
    MemTable t("cdsRelatorio");
    t.addFieldDef("NO_PAGINA", FieldKind::Integer);
    t.addFieldDef("NM_TP_ANALISE", FieldKind::String, 50);
    t.addFieldDef("VL", FieldKind::Double);
    t.createDataSet();
    for (int i = 0; i < 3; ++i) {
        t.append();
        t.fieldByName("NO_PAGINA")->setValue(i);
        t.fieldByName("NM_TP_ANALISE")->setValue(QString("pH %1").arg(i));
        t.fieldByName("VL")->setValue(7.25 + i);
        t.post();
    }
    EXPECT_EQ(t.recordCount(), 3);
    t.first();
    EXPECT_EQ(t.fieldByName("NM_TP_ANALISE")->asString(), "pH 0");
    EXPECT_EQ(t.fieldByName("NM_TP_ANALISE")->fieldClass(), FieldClass::String);
    t.last();
    EXPECT_DOUBLE_EQ(t.fieldByName("VL")->asFloat(), 9.25);
    t.emptyDataSet();
    EXPECT_TRUE(t.isEmpty());
}

TEST(SqlTextTest, ParsingSkipsQuotesAndComments) {
    auto p = sql::parseNamedParams("select ':x' from t where a = :A -- :B\n and \"c:d\" = :C /* :E */");
    EXPECT_EQ(p.names, (QStringList{"A", "C"}));
    EXPECT_EQ(sql::quoted("it's"), "'it''s'");
    EXPECT_EQ(sql::commitKind(" Commit  Retain "), sql::CommitKind::CommitRetain);
    EXPECT_EQ(sql::commitKind("commit"), sql::CommitKind::Commit);
    auto parts =
        sql::splitScript("create table a (x int);\nSET TERM ^ ;\ncreate procedure p as begin x = 1; end^\n"
                         "SET TERM ; ^\ninsert into a values (';');");
    ASSERT_EQ(parts.size(), 3);
    EXPECT_TRUE(parts[1].startsWith("create procedure p"));
    EXPECT_TRUE(parts[1].contains("x = 1;"));
}

TEST(SqlTextTest, ClausesAreFoundOutsideQuotedTextCommentsAndSubqueries) {
    // A filter's value holding the words of the clauses.
    const QString s = "select * from tst  where UPPER(NM) like UPPER('recorder where order by from%') and "
                      "\"order by\" = 1 -- order by x\n order by\n  CD desc";
    EXPECT_EQ(sql::clausePos(s, "from"), 9);
    EXPECT_EQ(sql::clausePos(s, "where"), 19);
    EXPECT_EQ(s.mid(sql::clausePos(s, "order by")), "order by\n  CD desc");
    EXPECT_EQ(sql::beforeClause(s, "order by"), s.left(s.lastIndexOf("order by")));
    EXPECT_EQ(sql::fromClause("select * from t", "order by"), "");
    // Whole words only, in the framework's lower case unless told otherwise; a subquery's
    // clauses are its own.
    EXPECT_EQ(sql::clausePos("select recorder, dt_from from t", "order"), -1);
    EXPECT_EQ(sql::clausePos("select * from t", "order"), -1);
    EXPECT_EQ(sql::clausePos("select (select max(x) from u where u.a = t.a) m from t where 1=1", "from"), 48);
    EXPECT_EQ(sql::clausePos("select (select max(x) from u where u.a = t.a) m from t where 1=1", "where"),
              55);
    EXPECT_EQ(sql::clausePos("SELECT A FROM T WHERE B = 'x'", "where"), -1);
    EXPECT_EQ(sql::clausePos("SELECT A FROM T WHERE B = 'it''s where'", "WHERE", Qt::CaseInsensitive), 16);
    EXPECT_EQ(sql::clausePos("select 'a' from t where 0=0 ", "where", Qt::CaseSensitive, 25), -1);
}

// The statements the lists derive from their own: the count of the rows, every row shown, the
// statement cut into its clauses and one more condition joined, all by the statement's own
// clauses, never by a filter value's words or a subquery's.
TEST(SqlTextTest, StatementsDerivedFromAListKeepToItsOwnClauses) {
    const QString s =
        "select (select max(x) from u where u.a = t.a) m from t  where NM = 'recorder where order by' "
        "order by NM";
    EXPECT_EQ(sql::fromPart(s), "from t  where NM = 'recorder where order by' ");
    EXPECT_EQ(sql::countStatement(s, "total"),
              " select count(*) as total from t  where NM = 'recorder where order by' ");
    EXPECT_EQ(sql::countStatement("select 1", "total"), "");
    EXPECT_EQ(
        sql::showAllStatement(s, "where ID = 2", "order by NM desc"),
        "select (select max(x) from u where u.a = t.a) m from t   where 0=0  and  ID = 2 order by NM desc");
    EXPECT_EQ(sql::showAllStatement("select * from t where 0=1 ", "", ""), "select * from t  where 0=0 ");
    const sql::Clauses c = sql::splitClauses(s);
    EXPECT_EQ(c.head, "select (select max(x) from u where u.a = t.a) m from t  ");
    EXPECT_EQ(c.where, "where NM = 'recorder where order by' ");
    EXPECT_EQ(c.orderBy, "order by NM");
    EXPECT_EQ(sql::conditionJoin(c.head), " where ");
    EXPECT_EQ(sql::conditionJoin(s), " and ");
}

} // namespace

// The fixed false condition is known only where it decides the statement: a conjunct of its own
// condition, never inside quoted text, a subquery or beside an "or".
TEST(SqlTextTest, TheFixedFalseConditionIsKnownOnlyWhereItDecides) {
    using sql::conditionAlwaysFalse;
    EXPECT_TRUE(conditionAlwaysFalse("select * from mov_analise where 0=1 order by DT_COLETA desc"));
    EXPECT_TRUE(conditionAlwaysFalse("select * from t where id = 7 and  0=1 \n order by a"));
    EXPECT_TRUE(conditionAlwaysFalse("select * from t where 0 = 1  and  id_analise = 7"));
    EXPECT_FALSE(conditionAlwaysFalse("select * from t where 0=0 order by a"));
    EXPECT_FALSE(conditionAlwaysFalse("select * from t where nm = ' 0=1 ' order by a"));
    EXPECT_FALSE(conditionAlwaysFalse("select * from t where id in (select id from u where 0=1)"));
    EXPECT_FALSE(conditionAlwaysFalse("select * from t where 0=1 or id = 7"));
    EXPECT_FALSE(conditionAlwaysFalse("select * from t where 10=1"));
    EXPECT_FALSE(conditionAlwaysFalse("select * from t"));
    EXPECT_TRUE(sql::selectsAggregate("select count(*) as total from t where 0=1"));
    EXPECT_TRUE(sql::selectsAggregate("select MAX (id) from t"));
    EXPECT_FALSE(sql::selectsAggregate("select id_count, maxima from t where 0=1"));
    EXPECT_FALSE(sql::selectsAggregate("select * from t where id = (select max(id) from t)"));
}

// Key allocation: largest key plus one, next negative key, the table of a field origin.
#include "data/KeyAllocation.h"
#include "DatabaseSuite.h"
#include <gtest/gtest.h>

namespace {

class KeyAllocationTest : public DatabaseSuite<KeyAllocationTest> {
public:
    static QString script() { return "create table t (id integer not null primary key, nm varchar(10));"; }

protected:
    void SetUp() override { s_db->exec("delete from t"); }
    void keys(std::initializer_list<int> ids) {
        for (int id : ids)
            s_db->exec(QString("insert into t values (%1, 'x')").arg(id));
    }
    Query q{&s_db->db};
};

TEST_F(KeyAllocationTest, NextKeyIsLargestPlusOneOrOne) {
    EXPECT_EQ(AdicionaID(q, "t", "id"), 1);
    keys({1, 2, 7});
    EXPECT_EQ(AdicionaID(q, "t", "id"), 8);
    EXPECT_EQ(ProximoID("t", "id", s_db->db), 8);
    s_db->exec("delete from t");
    keys({-3, -1});
    EXPECT_EQ(AdicionaID(q, "t", "id"), 1);
    EXPECT_EQ(ProximoID("t", "id", s_db->db), 1);
}

TEST_F(KeyAllocationTest, NegativeKeysCountDownFromMinusOne) {
    EXPECT_EQ(AdicionaIDNegativo(q, "t", "id"), -1);
    keys({5, 9});
    EXPECT_EQ(AdicionaIDNegativo(q, "t", "id"), -1);
    keys({-1, -4, 3});
    EXPECT_EQ(AdicionaIDNegativo(q, "t", "id"), -5);
}

TEST(KeyOriginTest, TableComesFromTheQuotedOrigin) {
    EXPECT_EQ(tableOfOrigin("\"TAB_TP_ANALISE\".\"ID_TP_ANALISE\""), "TAB_TP_ANALISE");
    EXPECT_EQ(tableOfOrigin("\"TAB_TAREFA\".\"ID_TAREFA\""), "TAB_TAREFA");
}

} // namespace

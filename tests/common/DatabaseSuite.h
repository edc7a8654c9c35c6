#pragma once
// One fresh embedded database shared by every test of a suite: created before the suite's first
// test and removed after its last. A suite derives as `class X : public DatabaseSuite<X>`; a
// public `static QString script()` of its own gives the tables (without one the database gets
// the whole schema/). A suite that adds rows extends SetUpTestSuite and calls this one first.
#include "TestDb.h"
#include <QString>
#include <gtest/gtest.h>
#include <initializer_list>

template <class Suite> class DatabaseSuite : public ::testing::Test {
protected:
    static QString script() { return QString(); }
    static void SetUpTestSuite() { s_db = new TestDb(Suite::script()); }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }
    // Empties the tables in the order given: those that refer to others first.
    static void clearTables(std::initializer_list<const char*> tables) {
        for (const char* t : tables)
            s_db->exec(QString("delete from %1").arg(QLatin1String(t)));
    }

    static inline TestDb* s_db = nullptr;
};

// What crosses the boundary to the database is stored exactly as given or refused with a
// message naming the field: Windows-1252 text, numbers within their column, real dates, whole
// statement texts, keys at the limit of their column.
#include "DatabaseSuite.h"
#include "data/KeyAllocation.h"
#include "data/Query.h"
#include "data/UpdateSql.h"
#include "platform/Cp1252.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

const char* kScript = R"(
create table cliente (id integer not null primary key, nome varchar(20), obs blob sub_type text,
  qt integer, pequeno smallint, vl numeric(15,2), taxa double precision, dt date, dh timestamp);
create table grande (id bigint not null primary key);
)";

class ValueBoundaryTest : public DatabaseSuite<ValueBoundaryTest> {
public:
    static QString script() { return kScript; }

protected:
    void SetUp() override {
        s_db->exec("delete from cliente");
        s_db->exec("delete from grande");
        s_db->exec("insert into cliente (id, nome) values (1, 'Um')");
        q = std::make_unique<Query>(&s_db->db, nullptr, "IBQ_Cliente");
        q->setSqlText("select * from cliente order by id");
        q->setCachedUpdates(true);
        q->defineField("NOME").displayLabel = "Nome do Cliente";
        q->defineField("QT").displayLabel = "Quantidade";
        q->defineField("VL").displayLabel = "Valor";
        q->defineField("DT").displayLabel = "Data";
        u.insertSql = QStringList{"insert into cliente (id, nome, obs, qt, pequeno, vl, taxa, dt, dh)",
                                  "values (:id, :nome, :obs, :qt, :pequeno, :vl, :taxa, :dt, :dh)"};
        u.setColumns("cliente", "ID", {"ID", "NOME", "OBS", "QT", "PEQUENO", "VL", "TAXA", "DT", "DH"});
        q->setUpdateObject(&u);
        q->open();
    }
    // The refusal of setting `value` into `field` of the current record, or "" when it was taken.
    QString refusal(const char* field, const QVariant& value) {
        if (!q->editing()) q->edit();
        try {
            q->fieldByName(field)->setValue(value);
            return {};
        } catch (const AppError& e) {
            return e.message();
        }
    }
    // Hex of the bytes the database holds for column `col` of row 1.
    QString bytesOf(const QString& col) {
        return s_db
            ->scalar("select cast(" + col + " as varchar(40) character set octets) from cliente where id = 1")
            .toString();
    }
    std::unique_ptr<Query> q;
    UpdateSql u{"IBU_Cliente"};
};

TEST(Cp1252Test, EveryByteRoundTripsAndOnlyForeignCharactersAreRefused) {
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = cp1252::decode(all);
    EXPECT_EQ(cp1252::firstUnencodable(text), -1);
    EXPECT_EQ(cp1252::encode(text), all);
    EXPECT_EQ(cp1252::decode(QByteArray("\x80\x96\x93\x94")), QString::fromUtf8("€–“”"));
    EXPECT_EQ(cp1252::firstUnencodable(QString::fromUtf8("Lodz Łódź")), 5);
    EXPECT_EQ(cp1252::firstUnencodable(QString::fromUtf8("a日")), 1);
    // A character beyond the basic plane is named whole in the message.
    const QString emoji = QString::fromUtf8("ok 😀");
    EXPECT_TRUE(cp1252::refusal("O campo \"X\"", emoji, cp1252::firstUnencodable(emoji))
                    .contains(QString::fromUtf8("😀")));
}

TEST_F(ValueBoundaryTest, WindowsTextIsStoredAsTheOtherProgramsStoreItAndForeignTextIsRefused) {
    q->edit();
    q->fieldByName("NOME")->setValue(QString::fromUtf8("€ – “ok”"));
    q->fieldByName("OBS")->setValue(QString::fromUtf8("Memória: ‰ • ™"));
    q->applyAndCommit();
    // The bytes are those of Windows-1252, as the Windows programs of the database write them.
    EXPECT_EQ(bytesOf("nome"), cp1252::decode(QByteArray("\x80 \x96 \x93ok\x94")));
    Query back(&s_db->db);
    back.setSqlText("select nome, obs from cliente where id = 1");
    back.open();
    EXPECT_EQ(back.fieldByName("NOME")->asString(), QString::fromUtf8("€ – “ok”"));
    EXPECT_EQ(back.fieldByName("OBS")->asString(), QString::fromUtf8("Memória: ‰ • ™"));

    const QString m = refusal("NOME", QString::fromUtf8("Łódź"));
    EXPECT_TRUE(m.contains("Nome do Cliente")) << m.toStdString();
    EXPECT_TRUE(m.contains(QString::fromUtf8("\"Ł\""))) << m.toStdString();
    EXPECT_TRUE(refusal("OBS", QString::fromUtf8("texto 日本")).contains("OBS"));
    // Nothing of the refused value is in the record.
    EXPECT_EQ(q->fieldByName("NOME")->asString(), QString::fromUtf8("€ – “ok”"));
    // Parameters and statement text are refused the same way, never stored as "?".
    Query p(&s_db->db);
    p.setSqlText("update cliente set nome = :nome where id = 1");
    p.setParam("nome", QString::fromUtf8("a日"));
    EXPECT_THROW(p.execSQL(), AppError);
    p.setSqlText(QString::fromUtf8("update cliente set nome = 'a日' where id = 1"));
    EXPECT_THROW(p.execSQL(), AppError);
    EXPECT_EQ(s_db->scalar("select count(*) from cliente where nome containing '?'").toInt(), 0);
}

TEST_F(ValueBoundaryTest, TextLongerThanItsColumnIsRefusedWithItsWidth) {
    const QString m = refusal("NOME", QString(21, 'x'));
    EXPECT_TRUE(m.contains("Nome do Cliente") && m.contains("20") && m.contains("21")) << m.toStdString();
    EXPECT_TRUE(refusal("NOME", QString(20, 'x')).isEmpty());
}

TEST_F(ValueBoundaryTest, NumbersOutsideTheirColumnAreRefusedNeverWrapped) {
    EXPECT_TRUE(refusal("QT", 99999999999LL).contains("Quantidade"));
    EXPECT_TRUE(refusal("QT", "99999999999").contains("fora do intervalo"));
    EXPECT_TRUE(refusal("QT", 2147483648.0).contains("fora do intervalo"));
    EXPECT_TRUE(refusal("QT", 2147483647).isEmpty());
    EXPECT_TRUE(refusal("QT", -2147483648LL).isEmpty());
    EXPECT_FALSE(refusal("PEQUENO", 40000).isEmpty());
    EXPECT_TRUE(refusal("VL", 1e17).contains("Valor"));
    EXPECT_FALSE(refusal("VL", std::nan("")).isEmpty());
    EXPECT_FALSE(refusal("TAXA", std::numeric_limits<double>::infinity()).isEmpty());
    // A fraction into a whole-number column is refused, not rounded.
    EXPECT_TRUE(refusal("QT", "1,5").contains("inteiro")) << refusal("QT", "1,5").toStdString();
    EXPECT_FALSE(refusal("QT", 1.5).isEmpty());
    EXPECT_TRUE(refusal("QT", "2").isEmpty());
    EXPECT_TRUE(refusal("VL", "1.234,56").isEmpty());
    EXPECT_DOUBLE_EQ(q->fieldByName("VL")->asFloat(), 1234.56);
    EXPECT_TRUE(refusal("VL", 9.2e14).isEmpty());
}

TEST_F(ValueBoundaryTest, ANumberWrittenAsTextIsReadTheBrazilianWayOrRefusedNeverCut) {
    EXPECT_TRUE(refusal("VL", "1.000").isEmpty());
    EXPECT_DOUBLE_EQ(q->fieldByName("VL")->asFloat(), 1000.0);
    EXPECT_TRUE(refusal("QT", "1.000").isEmpty());
    EXPECT_EQ(q->fieldByName("QT")->asInteger(), 1000);
    EXPECT_TRUE(refusal("TAXA", "-1.234.567,125").isEmpty());
    EXPECT_DOUBLE_EQ(q->fieldByName("TAXA")->asFloat(), -1234567.125);
    EXPECT_TRUE(refusal("VL", "12,50").isEmpty());
    // The other notation, a grouping that is none, more decimals than the column keeps.
    const QString outra = refusal("VL", "1,234.56");
    EXPECT_TRUE(outra.contains("Valor") && outra.contains("1.234,56")) << outra.toStdString();
    EXPECT_FALSE(refusal("TAXA", "1.5").isEmpty());
    EXPECT_FALSE(refusal("QT", "1.00").isEmpty());
    EXPECT_FALSE(refusal("QT", "1.000,5").isEmpty());
    const QString casas = refusal("VL", "1,234");
    EXPECT_TRUE(casas.contains("2 casas decimais")) << casas.toStdString();
    EXPECT_DOUBLE_EQ(q->fieldByName("VL")->asFloat(), 12.5);
    // Parameters read text the same way, and the database gets the whole number.
    Query p(&s_db->db);
    p.setSqlText("update cliente set vl = :vl, qt = :qt where id = 1");
    p.setParam("vl", "1.234,56");
    p.setParam("qt", "9.000");
    p.execSQL();
    EXPECT_EQ(s_db->scalar("select vl from cliente where id = 1").toDouble(), 1234.56);
    EXPECT_EQ(s_db->scalar("select qt from cliente where id = 1").toInt(), 9000);
    p.setParam("vl", "1,234.56");
    EXPECT_THROW(p.execSQL(), AppError);
}

TEST_F(ValueBoundaryTest, ATextIsReadAsADateOnlyWhenItIsOneRealDate) {
    EXPECT_FALSE(codec::parseDateText("29/02/2023").isValid());
    EXPECT_EQ(codec::parseDateText("29/02/2024"), QDate(2024, 2, 29));
    EXPECT_EQ(codec::parseDateText("01/02/24"), QDate(2024, 2, 1));
    EXPECT_EQ(codec::parseDateText("1/12/2024"), QDate(2024, 12, 1));
    EXPECT_EQ(codec::parseDateText("31.12.1999"), QDate(1999, 12, 31));
    EXPECT_EQ(codec::parseDateText("2024-03-05"), QDate(2024, 3, 5));
    EXPECT_FALSE(codec::parseDateText("01/02/2024xyz").isValid());
    EXPECT_FALSE(codec::parseDateText("01/02-2024").isValid());
    EXPECT_FALSE(codec::parseDateText("32/01/2024").isValid());
    EXPECT_EQ(codec::parseDateTimeText("05/03/2024 14:30"), QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
    EXPECT_FALSE(codec::parseDateTimeText("05/03/2024 25:00").isValid());
    EXPECT_TRUE(refusal("DT", "29/02/2023").contains("Data"));
    EXPECT_TRUE(refusal("DT", "29/02/2024").isEmpty());
    EXPECT_EQ(q->fieldByName("DT")->asDate(), QDate(2024, 2, 29));
}

TEST_F(ValueBoundaryTest, StatementTextTravelsWholeWithItsLength) {
    // Cut at the NUL the statement would return a row: it is refused instead.
    Query s(&s_db->db);
    s.setSqlText(QString("select id from cliente") + QChar(0) + " where 1 = 0");
    EXPECT_THROW(s.open(), AppError);
    s.setSqlText(QString("select id from cliente where nome = '") + QString(3000, 'x') + "'");
    s.open();
    EXPECT_TRUE(s.isEmpty());
}

TEST_F(ValueBoundaryTest, KeysKeepTheirColumnWidthAndStopAtItsLimit) {
    Query id(&s_db->db);
    s_db->exec("insert into cliente (id) values (2147483646)");
    EXPECT_EQ(AdicionaID(id, "cliente", "id"), 2147483647);
    s_db->exec("insert into cliente (id) values (2147483647)");
    try {
        AdicionaID(id, "cliente", "id");
        FAIL() << "a key beyond INTEGER was allocated";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains("cliente")) << e.message().toStdString();
    }
    s_db->exec("insert into grande values (2147483647)");
    EXPECT_EQ(AdicionaID(id, "grande", "id"), 2147483648LL);
    s_db->exec("insert into grande values (5000000000)");
    EXPECT_EQ(AdicionaID(id, "grande", "id"), 5000000001LL);
    EXPECT_EQ(ProximoID("grande", "id", s_db->db), 5000000001LL);
    s_db->exec("insert into cliente (id) values (-2147483648)");
    EXPECT_THROW(AdicionaIDNegativo(id, "cliente", "id"), AppError);
}

} // namespace

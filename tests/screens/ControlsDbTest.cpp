// Data-aware controls on a real embedded database: the grid's chunked fetching of a long list,
// lookups over long and reopened lists, and a memo bound to a column of limited size.
#include "DatabaseSuite.h"
#include "QtPrinters.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "platform/Dialogs.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/DBMemo.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

const char* kScript = R"(
create table tab_item (id_item integer not null primary key, nm_item varchar(40), dt_item date);
create table tab_tp (id_tp integer not null primary key, nm_tp varchar(30) not null);
)";

class ControlsDbTest : public DatabaseSuite<ControlsDbTest> {
public:
    static QString script() { return kScript; }

protected:
    static void SetUpTestSuite() {
        DatabaseSuite::SetUpTestSuite();
        s_db->exec("execute block as declare i integer = 1; begin "
                   "while (i <= 5000) do begin "
                   "insert into tab_item values (:i, 'Item ' || :i, dateadd(:i day to date '2020-01-01')); "
                   "i = i + 1; end end");
    }
    void SetUp() override {
        s_db->exec("delete from tab_tp");
        s_db->exec("insert into tab_tp values (1, 'Bomba')");
        s_db->exec("insert into tab_tp values (2, 'Motor')");
    }
};

TEST_F(ControlsDbTest, GridFetchesALargeListInChunks) {
    Query q(&s_db->db, nullptr, "IBQ_Item");
    q.setSqlText("select * from tab_item order by id_item");
    q.open();
    DataSource src("dsPadrao", &q);
    QWidget form;
    form.resize(400, 300);
    DBGrid grid(&form, &src, "DBGrid1");
    grid.resize(400, 300);
    DBGridModel* m = grid.gridModel();
    EXPECT_EQ(m->rowCount(), q.recordCount());
    EXPECT_LT(m->rowCount(), 10);
    form.show();
    settle();
    // Showing fills the visible rows and no more.
    const int shown = m->rowCount();
    EXPECT_GE(shown, 10);
    EXPECT_LE(shown, 1 + m->fetchChunk());
    EXPECT_TRUE(q.canFetchMore());
    EXPECT_EQ(q.recordCount(), shown);
    // Each fetch inserts its chunk once.
    QSignalSpy inserted(m, &QAbstractItemModel::rowsInserted);
    m->fetchMore(QModelIndex());
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), shown);
    EXPECT_EQ(inserted[0][2].toInt(), shown + m->fetchChunk() - 1);
    EXPECT_EQ(m->rowCount(), shown + m->fetchChunk());
    settle();
    // Scrolling to the end asks for the next chunk.
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    settle();
    EXPECT_EQ(m->rowCount(), shown + 2 * m->fetchChunk());
    EXPECT_LT(q.recordCount(), 5000);
    EXPECT_EQ(m->index(0, 1).data().toString(), "Item 1");
    EXPECT_EQ(m->index(0, 2).data().toString(), "02/01/2020");
    // Reopened under a shown grid, the list holds what its opening read: the grid following
    // the first record (the only one, then) fetches no chunk of its own.
    q.close();
    q.open();
    EXPECT_LT(q.recordCount(), m->fetchChunk());
    settle();
    EXPECT_GE(m->rowCount(), 10);
    // The last record brings every row, and the grid follows it there.
    q.last();
    EXPECT_EQ(m->rowCount(), 5000);
    EXPECT_EQ(grid.currentIndex().row(), 4999);
    EXPECT_FALSE(m->canFetchMore(QModelIndex()));
}

TEST_F(ControlsDbTest, TypingFindsAnEntryOfALongListBeyondTheRowsRead) {
    Query itens(&s_db->db, nullptr, "IBQ_Itens");
    itens.setSqlText("select id_item, nm_item from tab_item order by id_item");
    itens.open();
    MemTable rec{"IBQ_Rec"};
    rec.addFieldDef("ID_ITEM", FieldKind::Integer);
    rec.createDataSet();
    rec.append();
    rec.post();
    DataSource src("dsRec", &rec);
    QWidget form;
    DBLookupCombo lk(&form, &src, "ID_ITEM", &itens, "ID_ITEM", "NM_ITEM");
    form.show();
    QApplication::setActiveWindow(&form);
    lk.setFocus();
    settle();
    ASSERT_TRUE(itens.canFetchMore());
    QTest::keyClicks(&lk, "item 4321");
    EXPECT_EQ(lk.currentText(), "Item 4321");
    EXPECT_EQ(rec.fieldByName("ID_ITEM")->asInteger(), 4321);

    // Typing reads the list only as far as the entry found.
    itens.close();
    itens.open();
    rec.edit();
    rec.fieldByName("ID_ITEM")->setValue(4999);
    rec.post();
    DBLookupCombo outro(&form, &src, "ID_ITEM", &itens, "ID_ITEM", "NM_ITEM");
    outro.show();
    outro.setFocus();
    settle();
    ASSERT_EQ(outro.currentText(), "Item 4999");
    ASSERT_TRUE(itens.canFetchMore());
    QTest::keyClicks(&outro, "item 1234");
    EXPECT_EQ(outro.currentText(), "Item 1234");
    EXPECT_EQ(rec.fieldByName("ID_ITEM")->asInteger(), 1234);
    EXPECT_TRUE(itens.canFetchMore());
    EXPECT_LT(itens.recordCount(), 5000);
}

TEST_F(ControlsDbTest, AMemoRefusesWhatItsColumnCannotHoldAsTypedOrPasted) {
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs{dlg};
    Query itens(&s_db->db, nullptr, "IBQ_Itens");
    itens.setSqlText("select * from tab_item where id_item = 7");
    itens.open();
    DataSource src("dsItem", &itens);
    QWidget form;
    auto* rotulo = new QLabel("&Descrição:", &form);
    DBMemo memo(&form, &src, "NM_ITEM", "dbmDescricao");
    rotulo->setBuddy(&memo);
    form.show();
    QApplication::setActiveWindow(&form);
    memo.setFocus();
    settle();
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Space);
    QTest::sendKeyEvent(QTest::Click, &memo, Qt::Key_unknown, QString::fromUtf8("€"), Qt::NoModifier);
    EXPECT_EQ(itens.fieldByName("NM_ITEM")->asString(), "Item 7 €");
    QTest::sendKeyEvent(QTest::Click, &memo, Qt::Key_unknown, QString::fromUtf8("日"), Qt::NoModifier);
    EXPECT_EQ(memo.toPlainText(), "Item 7 €");
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text,
              QString::fromUtf8("O campo \"Descrição\" contém o caractere \"日\", que "
                                "não pode ser gravado. Use apenas letras, números e "
                                "símbolos do alfabeto latino."));
    EXPECT_EQ(memo.textCursor().position(), 8);
    QApplication::clipboard()->setText(QString(40, 'x'));
    QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo.toPlainText(), "Item 7 €");
    ASSERT_EQ(dlg.messageCount(), 2);
    EXPECT_EQ(
        dlg.lastMessage().text,
        QString::fromUtf8("O campo \"Descrição\" aceita no máximo 40 caracteres (foram informados 48)."));
    EXPECT_EQ(itens.fieldByName("NM_ITEM")->asString(), "Item 7 €");
    itens.cancel();
}

TEST_F(ControlsDbTest, LookupReflectsAReopenedList) {
    Query types(&s_db->db, nullptr, "IBQ_TipoEquipamento");
    types.setSqlText("select id_tp, nm_tp from tab_tp order by nm_tp");
    types.open();
    MemTable rec{"IBQ_Rec"};
    rec.addFieldDef("ID_TP", FieldKind::Integer);
    rec.createDataSet();
    rec.append();
    rec.fieldByName("ID_TP")->setValue(3);
    rec.post();
    DataSource src("dsPadrao", &rec);
    QWidget form;
    DBLookupCombo lk(&form, &src, "ID_TP", &types, "ID_TP", "NM_TP");
    lk.setEmptyText("<Nenhuma>");
    EXPECT_EQ(lk.count(), 3);
    EXPECT_EQ(lk.currentText(), ""); // key 3 is not in the list yet
    s_db->exec("insert into tab_tp values (3, 'Compressor')");
    s_db->exec("update tab_tp set nm_tp = 'Motor Elétrico' where id_tp = 2");
    types.close();
    EXPECT_EQ(lk.count(), 1); // a closed list offers only the empty entry
    types.open();
    ASSERT_EQ(lk.count(), 4);
    EXPECT_EQ(lk.itemText(1), "Bomba");
    EXPECT_EQ(lk.itemText(2), "Compressor");
    EXPECT_EQ(lk.itemText(3), "Motor Elétrico");
    EXPECT_EQ(lk.currentText(), "Compressor");
}

} // namespace

// A long list is read only as far as it is needed: up to the record's key, as far as a move of
// the choice reaches, or whole for End.
TEST_F(ControlsDbTest, ALongListIsReadAsFarAsTheKeyOrTheUserNeeds) {
    auto registro = [](MemTable& rec, const QVariant& id) {
        rec.addFieldDef("ID_ITEM", FieldKind::Integer);
        rec.createDataSet();
        rec.append();
        rec.fieldByName("ID_ITEM")->setValue(id);
        rec.post();
    };
    QWidget form;
    Query itens(&s_db->db, nullptr, "IBQ_Itens");
    itens.setSqlText("select id_item, nm_item from tab_item order by id_item");
    itens.open();
    MemTable vazio{"IBQ_Vazio"};
    registro(vazio, QVariant());
    DataSource dsVazio("dsVazio", &vazio);
    DBLookupCombo semChave(&form, &dsVazio, "ID_ITEM", &itens, "ID_ITEM", "NM_ITEM");
    EXPECT_TRUE(itens.canFetchMore());
    QTest::keyClick(&semChave, Qt::Key_End);
    EXPECT_EQ(vazio.fieldByName("ID_ITEM")->asInteger(), 5000);
    EXPECT_EQ(semChave.currentText(), "Item 5000");

    itens.close();
    itens.open();
    MemTable rec{"IBQ_Rec"};
    registro(rec, 4321);
    DataSource src("dsRec", &rec);
    DBLookupCombo comChave(&form, &src, "ID_ITEM", &itens, "ID_ITEM", "NM_ITEM");
    EXPECT_EQ(comChave.currentText(), "Item 4321");
    // The key's name was read by itself: the list keeps only its first page until the user
    // moves the choice, which reads the list as far as the key's place and the next entry.
    EXPECT_TRUE(itens.canFetchMore());
    EXPECT_LT(itens.recordCount(), 1000);
    QTest::keyClick(&comChave, Qt::Key_Down);
    EXPECT_GT(itens.recordCount(), 4322);
    EXPECT_TRUE(itens.canFetchMore()) << "the rest of the list is not read";
    EXPECT_EQ(comChave.count(), itens.recordCount()) << "the key is shown in its place only";
    EXPECT_EQ(rec.fieldByName("ID_ITEM")->asInteger(), 4322);
    EXPECT_EQ(comChave.currentText(), "Item 4322");
}

// Dropped down, a long list shows its first rows and reads on as the user scrolls to its end;
// the entry chosen there is written to the record.
TEST_F(ControlsDbTest, ADroppedDownLongListReadsOnAsItIsScrolled) {
    QWidget form;
    Query itens(&s_db->db, nullptr, "IBQ_Itens");
    itens.setSqlText("select id_item, nm_item from tab_item order by id_item");
    itens.open();
    MemTable rec{"IBQ_Rec"};
    rec.addFieldDef("ID_ITEM", FieldKind::Integer);
    rec.createDataSet();
    rec.append();
    rec.post();
    DataSource src("dsRec", &rec);
    DBLookupCombo combo(&form, &src, "ID_ITEM", &itens, "ID_ITEM", "NM_ITEM");
    form.show();
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_F4);
    QAbstractItemView* lista = combo.view();
    ASSERT_TRUE(lista->isVisible());
    EXPECT_LT(itens.recordCount(), 1000) << "the drop-down does not read the whole list";
    int leituras = 0;
    while (itens.canFetchMore() && leituras++ < 50) {
        const int antes = itens.recordCount();
        QTest::keyClick(lista, Qt::Key_End);
        QApplication::processEvents();
        ASSERT_GT(itens.recordCount(), antes) << "reaching the end of the rows read reads on";
        EXPECT_EQ(combo.count(), itens.recordCount());
    }
    EXPECT_FALSE(itens.canFetchMore());
    QTest::keyClick(lista, Qt::Key_End);
    QTest::keyClick(lista, Qt::Key_Return);
    EXPECT_FALSE(lista->isVisible());
    EXPECT_EQ(rec.fieldByName("ID_ITEM")->asInteger(), 5000);
    EXPECT_EQ(combo.currentText(), "Item 5000");
}

// A page of rows shows the names of a long list without reading it: each name is read by its
// key. Two people of one name are told apart in the drop-down by the list's code.
TEST_F(ControlsDbTest, NamesOfALongListAreReadByKeyAndSharedNamesShowTheirCode) {
    Query itens(&s_db->db, nullptr, "IBQ_Itens");
    itens.setSqlText(
        "select id_item, case when id_item <= 2 then 'Adriana Almeida' else nm_item end as nm_item, "
        "100000 + id_item as cd_item from tab_item order by 2, 1");
    itens.open();
    MemTable rec{"IBQ_Rec"};
    rec.addFieldDef("ID_ITEM", FieldKind::Integer);
    rec.defineLookupField("lkItem", "Item", 40, "ID_ITEM", &itens, "ID_ITEM", "NM_ITEM");
    rec.createDataSet();
    for (int id : {4321, 777, 2, 99999}) {
        rec.append();
        rec.fieldByName("ID_ITEM")->setValue(id);
        rec.post();
    }
    DataSource src("dsRec", &rec);
    QWidget form;
    form.resize(400, 300);
    DBGrid grid(&form, &src, "DBGrid1");
    grid.resize(400, 300);
    form.show();
    settle();
    grid.viewport()->grab();
    QStringList nomes;
    for (int r = 0; r < rec.recordCount(); ++r)
        nomes << grid.gridModel()->index(r, 1).data().toString();
    EXPECT_EQ(nomes, QStringList({"Item 4321", "Item 777", "Adriana Almeida", ""}));
    EXPECT_TRUE(itens.canFetchMore());
    EXPECT_LT(itens.recordCount(), 1000);

    rec.first();
    rec.moveBy(2);
    DBLookupCombo lk(&form, &src, "ID_ITEM", &itens, "ID_ITEM", "NM_ITEM");
    EXPECT_EQ(lk.currentText(), "Adriana Almeida — 100002");
    EXPECT_EQ(lk.itemText(0), "Adriana Almeida — 100001");
    EXPECT_EQ(lk.itemText(2), "Item 10");
    // A list read again forgets the names read by key: a renamed row shows its new name.
    s_db->exec("update tab_item set nm_item = 'Item Renomeado' where id_item = 4321");
    rec.first();
    EXPECT_EQ(rec.fieldByName("lkItem")->asString(), "Item 4321");
    itens.close();
    itens.open();
    EXPECT_EQ(rec.fieldByName("lkItem")->asString(), "Item Renomeado");
    s_db->exec("update tab_item set nm_item = 'Item 4321' where id_item = 4321");
}

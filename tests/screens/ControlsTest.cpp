// Data-aware controls driven through QTest offscreen on in-memory tables: the controls' own
// behaviour (ControlsDbTest.cpp drives them on a real database).
#include "QtPrinters.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "screens/controls/DBCheckBox.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/DBMemo.h"
#include "screens/controls/DBText.h"
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A form with a record table: ID, NM (20), VL (money), DT, ST (flag), TX (text), ID_TP (key).
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_prevHook = installErrorHook([this](std::exception_ptr e) { errors << exceptionText(e); });
        mt.addFieldDef("ID", FieldKind::Integer);
        mt.addFieldDef("NM", FieldKind::String, 20);
        mt.addFieldDef("VL", FieldKind::BCD);
        mt.addFieldDef("DT", FieldKind::Date);
        mt.addFieldDef("ST", FieldKind::FixedChar, 1);
        mt.addFieldDef("TX", FieldKind::Memo);
        mt.addFieldDef("ID_TP", FieldKind::Integer);
        mt.defineField("VL").displayFormat = "#,##0.00";
        mt.defineField("NM").displayLabel = "Nome";
        mt.createDataSet();
        addRow(1, "Ana", 1234.5, QDate(2024, 3, 15), "S", "primeira", 2);
        addRow(2, "Bruno", QVariant(), QVariant(), "N", QVariant(), QVariant());
        addRow(3, "Carla", 7, QDate(2023, 12, 1), QVariant(), "terceira", 99);
        mt.first();

        list.addFieldDef("ID_TP", FieldKind::Integer);
        list.addFieldDef("NM_TP", FieldKind::String, 30);
        list.createDataSet();
        for (auto [id, nm] : {std::pair{1, "Bomba"}, {2, "Motor"}, {3, "Redutor"}}) {
            list.append();
            list.fieldByName("ID_TP")->setValue(id);
            list.fieldByName("NM_TP")->setValue(nm);
            list.post();
        }
        form.resize(500, 400);
    }
    void TearDown() override { installErrorHook(m_prevHook); }

    void addRow(int id, const QVariant& nm, const QVariant& vl, const QVariant& dt, const QVariant& st,
                const QVariant& tx, const QVariant& tp) {
        mt.append();
        mt.fieldByName("ID")->setValue(id);
        mt.fieldByName("NM")->setValue(nm);
        mt.fieldByName("VL")->setValue(vl);
        mt.fieldByName("DT")->setValue(dt);
        mt.fieldByName("ST")->setValue(st);
        mt.fieldByName("TX")->setValue(tx);
        mt.fieldByName("ID_TP")->setValue(tp);
        mt.post();
    }
    // The screen's rule for a group without the right to edit.
    void refuseEdits() {
        ds.onStateChange = [this] {
            if (mt.state() == DataSetState::Edit) {
                mt.cancel();
                warn("Usuário sem permissão para alterar !");
                throw SilentAbort();
            }
        };
    }
    QVariant value(const char* name) const { return mt.fieldByName(name)->value(); }
    // Shows the form with the controls made so far (focus needs a visible, active window).
    void showForm() {
        form.show();
        QApplication::setActiveWindow(&form);
        settle();
    }

    MemTable mt{"IBQ_Teste"};
    MemTable list{"IBQ_TipoEquipamento"};
    DataSource ds{"dsPadrao", &mt};
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs{dlg};
    QStringList errors;
    ErrorHookFn m_prevHook;
    QWidget form;
};

// ---------------------------------------------------------------- DBEdit

TEST_F(ControlsTest, EditShowsDisplayTextAndFollowsTheRecord) {
    DBEdit nm(&form, &ds, "NM", "edtNome");
    DBEdit vl(&form, &ds, "VL");
    EXPECT_EQ(nm.objectName(), "edtNome");
    EXPECT_EQ(nm.text(), "Ana");
    // The column's width limits what is typed or pasted (a longer text is refused whole).
    QString longo(21, 'x');
    int pos = 0;
    ASSERT_TRUE(nm.validator());
    EXPECT_EQ(nm.validator()->validate(longo, pos), QValidator::Invalid);
    EXPECT_EQ(vl.text(), "1.234,50");
    QSignalSpy changed(&nm, &QLineEdit::textChanged);
    mt.next();
    EXPECT_EQ(nm.text(), "Bruno");
    EXPECT_EQ(vl.text(), "");
    EXPECT_EQ(changed.count(), 1); // screens' change handlers see record moves
    mt.edit();                     // a value set by code shows at once

    mt.fieldByName("NM")->setValue("Beto");
    EXPECT_EQ(nm.text(), "Beto");
    mt.close();
    EXPECT_EQ(nm.text(), "");
    EXPECT_TRUE(nm.isReadOnly());
}

TEST_F(ControlsTest, TypingEntersEditAndWritesEveryChange) {
    DBEdit nm(&form, &ds, "NM");
    showForm();
    nm.setFocus();
    nm.end(false);
    QTest::keyClicks(&nm, "ne");
    EXPECT_EQ(mt.state(), DataSetState::Edit);
    EXPECT_EQ(value("NM"), "Anane");
    // Saving from a key or the toolbar with the focus still here posts what is shown.
    mt.post();
    EXPECT_EQ(nm.text(), "Anane");
    EXPECT_EQ(mt.valueAt(0, mt.fieldByName("NM")), "Anane");
    // Emptying the edit stores null, not an empty text.
    nm.selectAll();
    QTest::keyClick(&nm, Qt::Key_Delete);
    EXPECT_TRUE(value("NM").isNull());
}

TEST_F(ControlsTest, NumberEditKeepsTypedTextAndRefusesWhatIsNoNumber) {
    DBEdit vl(&form, &ds, "VL");
    DBEdit other(&form, &ds, "NM");
    showForm();
    vl.setFocus();
    vl.selectAll();
    QTest::keyClicks(&vl, "12,");
    EXPECT_EQ(vl.text(), "12,");
    EXPECT_DOUBLE_EQ(value("VL").toDouble(), 12.0);
    QTest::keyClicks(&vl, "5");
    EXPECT_DOUBLE_EQ(value("VL").toDouble(), 12.5);
    QTest::keyClicks(&vl, "x"); // refused by the edit: not a character of a number
    EXPECT_EQ(vl.text(), "12,5");
    // A half-typed sign is never written: meanwhile the field holds its value from before this
    // edit, and leaving the edit says so and shows that value again.
    vl.selectAll();
    QTest::keyClicks(&vl, "-");
    EXPECT_DOUBLE_EQ(value("VL").toDouble(), 1234.5);
    other.setFocus(Qt::TabFocusReason);
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "'-' não é um valor numérico válido");
    EXPECT_EQ(vl.text(), "1234,50");
    EXPECT_DOUBLE_EQ(value("VL").toDouble(), 1234.5);
    vl.setFocus();
    vl.selectAll();
    QTest::keyClicks(&vl, "7,5");
    other.setFocus(Qt::TabFocusReason);
    mt.post();
    EXPECT_EQ(vl.text(), "7,50");
}

TEST_F(ControlsTest, ANumberIsReadTheBrazilianWayAndNeverCut) {
    DBEdit vl(&form, &ds, "VL");
    DBEdit id(&form, &ds, "ID");
    DBEdit other(&form, &ds, "NM");
    showForm();
    // The dot groups thousands, in a whole-number field too.
    vl.setFocus();
    vl.selectAll();
    QTest::keyClicks(&vl, "1.000");
    other.setFocus(Qt::TabFocusReason);
    EXPECT_DOUBLE_EQ(value("VL").toDouble(), 1000.0);
    id.setFocus();
    id.selectAll();
    QTest::keyClicks(&id, "2.500");
    other.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(value("ID").toInt(), 2500);
    EXPECT_EQ(dlg.messageCount(), 0) << dlg.texts().join("|").toStdString();
    // "1,234.56" typed into a field of four decimals: the dot after the comma is no character
    // of a number, and more decimals than the field keeps are refused, not rounded away.
    vl.setFocus();
    vl.selectAll();
    QTest::keyClicks(&vl, "1,234.56");
    EXPECT_EQ(vl.text(), "1,23456");
    other.setFocus(Qt::TabFocusReason);
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_TRUE(dlg.lastMessage().text.contains("4 casas decimais")) << dlg.lastMessage().text.toStdString();
    EXPECT_DOUBLE_EQ(value("VL").toDouble(), 1000.0);
}

TEST_F(ControlsTest, ReadOnlyEditsChangeNothing) {
    mt.fieldByName("ID")->setReadOnly(true);
    DBEdit id(&form, &ds, "ID");
    DBEdit nm(&form, &ds, "NM");
    nm.setReadOnly(true);
    DBEdit unknown(&form, &ds, "NAO_EXISTE");
    for (DBEdit* e : {&id, &nm, &unknown}) {
        EXPECT_TRUE(e->isReadOnly());
        QTest::keyClicks(e, "9");
    }
    EXPECT_EQ(mt.state(), DataSetState::Browse);
    EXPECT_EQ(id.text(), "1");
    nm.setReadOnly(false);
    EXPECT_FALSE(nm.isReadOnly());
}

// ---------------------------------------------------------------- refused edits

TEST_F(ControlsTest, RefusedEditLeavesEveryControlOnTheOldValue) {
    refuseEdits();
    DBEdit nm(&form, &ds, "NM");
    DBMemo tx(&form, &ds, "TX");
    DBCheckBox st(&form, &ds, "ST", "Comercial");
    DBDateEdit dt(&form, &ds, "DT");
    DBLookupCombo tp(&form, &ds, "ID_TP", &list, "ID_TP", "NM_TP");

    nm.end(false);
    QTest::keyClicks(&nm, "X");
    EXPECT_EQ(nm.text(), "Ana");
    tx.moveCursor(QTextCursor::End);
    QTest::keyClicks(&tx, "X");
    EXPECT_EQ(tx.toPlainText(), "primeira");
    QTest::keyClick(&st, Qt::Key_Space);
    EXPECT_TRUE(st.isChecked());
    dt.setCursorPosition(0);
    QTest::keyClicks(&dt, "0");
    EXPECT_EQ(dt.displayText(), "15/03/2024");
    QTest::keyClick(&tp, Qt::Key_Down);
    EXPECT_EQ(tp.currentText(), "Motor");

    EXPECT_EQ(mt.state(), DataSetState::Browse);
    EXPECT_EQ(value("NM"), "Ana");
    EXPECT_EQ(value("TX"), "primeira");
    EXPECT_EQ(value("ST"), "S");
    EXPECT_EQ(value("DT").toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(value("ID_TP"), 2);
    EXPECT_EQ(dlg.texts(), QStringList(5, "Usuário sem permissão para alterar !"));
    EXPECT_TRUE(errors.isEmpty()); // the abort is silent
}

// ---------------------------------------------------------------- DBMemo, DBText, DBCheckBox

TEST_F(ControlsTest, MemoAndTextShowTheFieldAndMemoWrites) {
    DBMemo tx(&form, &ds, "TX", "dbmMensagem");
    DBText label(&form, &ds, "VL");
    EXPECT_EQ(tx.toPlainText(), "primeira");
    EXPECT_EQ(label.text(), "1.234,50");
    tx.moveCursor(QTextCursor::End);
    QTest::keyClicks(&tx, " linha");
    EXPECT_EQ(mt.state(), DataSetState::Edit);
    EXPECT_EQ(value("TX"), "primeira linha");
    mt.post();
    mt.next();
    EXPECT_EQ(tx.toPlainText(), "");
    EXPECT_EQ(label.text(), "");
    mt.prior();
    EXPECT_EQ(tx.toPlainText(), "primeira linha");
    // Unbound, the memo shows nothing and writes nothing.
    tx.setDataSource(nullptr);
    EXPECT_EQ(tx.toPlainText(), "");
    QTest::keyClicks(&tx, "livre");
    EXPECT_EQ(value("TX"), "primeira linha");
    EXPECT_EQ(mt.state(), DataSetState::Browse);
}

TEST_F(ControlsTest, CheckBoxHoldsSOrN) {
    DBCheckBox st(&form, &ds, "ST", "Comercial", "ckbComercial");
    EXPECT_TRUE(st.isChecked());
    QTest::keyClick(&st, Qt::Key_Space);
    EXPECT_FALSE(st.isChecked());
    EXPECT_EQ(mt.state(), DataSetState::Edit);
    EXPECT_EQ(value("ST"), "N");
    QTest::keyClick(&st, Qt::Key_Space);
    EXPECT_EQ(value("ST"), "S");
    mt.post();
    mt.next(); // "N"
    EXPECT_FALSE(st.isChecked());
    mt.next(); // null
    EXPECT_FALSE(st.isChecked());
    QTest::keyClick(&st, Qt::Key_Space);
    EXPECT_EQ(value("ST"), "S");
    mt.fieldByName("ST")->setValue("s"); // any case of the checked value
    EXPECT_TRUE(st.isChecked());
}

// ---------------------------------------------------------------- DBDateEdit

TEST_F(ControlsTest, DateEditMaskNullAndTypedDates) {
    DBDateEdit dt(&form, &ds, "DT", "dtProposta");
    EXPECT_EQ(dt.displayText(), "15/03/2024");
    mt.next();
    EXPECT_EQ(dt.displayText(), DBDateEdit::emptyMask());
    dt.setCursorPosition(0);
    QTest::keyClicks(&dt, "0102202");
    EXPECT_EQ(mt.state(), DataSetState::Edit);
    EXPECT_TRUE(value("DT").isNull()); // incomplete: nothing written yet
    QTest::keyClicks(&dt, "5");
    EXPECT_EQ(value("DT").toDate(), QDate(2025, 2, 1));
    // The blank mask is null.
    dt.selectAll();
    QTest::keyClick(&dt, Qt::Key_Delete);
    EXPECT_EQ(dt.displayText(), "  /  /    ");
    EXPECT_TRUE(value("DT").isNull());
}

TEST_F(ControlsTest, InvalidDateGivesMessageAndKeepsOldValue) {
    DBDateEdit dt(&form, &ds, "DT");
    DBEdit other(&form, &ds, "NM");
    showForm();
    dt.setFocus();
    dt.setCursorPosition(0);
    QTest::keyClicks(&dt, "31022024"); // passes the valid 31/03/2024 on the way
    EXPECT_EQ(dt.displayText(), "31/02/2024");
    EXPECT_EQ(value("DT").toDate(), QDate(2024, 3, 15)); // what a save now would store
    other.setFocus(Qt::TabFocusReason);
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "Data inválida");
    EXPECT_EQ(dt.displayText(), "15/03/2024");
    // An incomplete date, confirmed with Enter.
    dt.setFocus();
    dt.setCursorPosition(6);
    QTest::keyClicks(&dt, "20");
    dt.setSelection(8, 2);
    QTest::keyClick(&dt, Qt::Key_Delete);
    EXPECT_EQ(dt.displayText(), "15/03/20  ");
    QTest::keyClick(&dt, Qt::Key_Return);
    EXPECT_EQ(dlg.messageCount(), 2);
    EXPECT_EQ(dt.displayText(), "15/03/2024");
    EXPECT_EQ(value("DT").toDate(), QDate(2024, 3, 15));
}

TEST_F(ControlsTest, CalendarButtonChoosesADay) {
    DBDateEdit dt(&form, &ds, "DT");
    dt.resize(140, 24);
    showForm();
    QTest::mouseClick(dt.calendarButton(), Qt::LeftButton);
    ASSERT_TRUE(dt.calendarVisible());
    QCalendarWidget* cal = dt.calendar();
    EXPECT_EQ(cal->selectedDate(), QDate(2024, 3, 15));
    cal->setSelectedDate(QDate(2024, 3, 20));
    emit cal->activated(cal->selectedDate());
    EXPECT_FALSE(dt.calendarVisible());
    EXPECT_EQ(dt.displayText(), "20/03/2024");
    EXPECT_EQ(value("DT").toDate(), QDate(2024, 3, 20));
    EXPECT_EQ(mt.state(), DataSetState::Edit);
}

TEST_F(ControlsTest, FreeDateFieldKeepsItsLastValidDate) {
    DBDateEdit from(&form, "dtInicial");
    DBEdit other(&form, nullptr, QString());
    showForm();
    from.setDate(QDate(2024, 1, 31));
    EXPECT_EQ(from.displayText(), "31/01/2024");
    QSignalSpy edited(&from, &DBDateEdit::dateEdited);
    from.setFocus();
    from.setCursorPosition(0);
    QTest::keyClicks(&from, "10");
    EXPECT_EQ(from.date(), QDate(2024, 1, 10));
    ASSERT_FALSE(edited.isEmpty());
    EXPECT_EQ(edited.last()[0].toDate(), QDate(2024, 1, 10));
    other.setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(dlg.texts().isEmpty());
    from.setFocus();
    from.setCursorPosition(3);
    QTest::keyClicks(&from, "13"); // month 13
    other.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(dlg.texts(), QStringList{"Data inválida"});
    EXPECT_EQ(from.date(), QDate(2024, 1, 10));
    EXPECT_EQ(edited.last()[0].toDate(), QDate(2024, 1, 10));
}

// ---------------------------------------------------------------- DBLookupCombo

TEST_F(ControlsTest, LookupShowsEmptyTextPicksKeysAndClears) {
    DBLookupCombo tp(&form, &ds, "ID_TP", &list, "ID_TP", "NM_TP", "lkTipoEquipamento");
    tp.setEmptyText("<Nenhuma>");
    tp.setDropDownCount(8);
    EXPECT_EQ(tp.dropDownCount(), 8);
    ASSERT_EQ(tp.count(), 4);
    EXPECT_EQ(tp.itemText(0), "<Nenhuma>");
    EXPECT_EQ(tp.currentText(), "Motor");
    QSignalSpy changed(&tp, &DBLookupCombo::keyChanged);
    mt.next(); // null key
    EXPECT_EQ(tp.currentText(), "<Nenhuma>");
    EXPECT_TRUE(tp.keyValue().isNull());
    EXPECT_EQ(changed.count(), 1);
    mt.next(); // key 99: not in the list
    EXPECT_EQ(tp.currentIndex(), -1);
    EXPECT_EQ(tp.currentText(), "");
    mt.prior();
    QTest::keyClick(&tp, Qt::Key_Down);
    EXPECT_EQ(mt.state(), DataSetState::Edit);
    EXPECT_EQ(value("ID_TP"), 1);
    EXPECT_EQ(tp.currentText(), "Bomba");
    QTest::keyClick(&tp, Qt::Key_Up); // the empty entry clears the key
    EXPECT_TRUE(value("ID_TP").isNull());
    EXPECT_EQ(tp.currentText(), "<Nenhuma>");
}

TEST_F(ControlsTest, LookupOnALookupFieldAndAsFreeChoice) {
    MemTable rec{"IBQ_Rec"};
    rec.addFieldDef("ID_TP", FieldKind::Integer);
    rec.defineLookupField("lkTipo", "Tipo", 30, "ID_TP", &list, "ID_TP", "NM_TP");
    rec.createDataSet();
    rec.append();
    rec.fieldByName("ID_TP")->setValue(3);
    rec.post();
    DataSource src("dsRec", &rec);
    DBLookupCombo lk(&form, &src, "lkTipo");
    EXPECT_EQ(lk.currentText(), "Redutor");
    QTest::keyClick(&lk, Qt::Key_Up);
    EXPECT_EQ(rec.fieldByName("ID_TP")->value(), 2);

    DBLookupCombo free(&form, nullptr, QString(), &list, "ID_TP", "NM_TP", "lkRepresentante");
    free.setEmptyText("<TODOS>");
    EXPECT_EQ(free.currentText(), "<TODOS>");
    free.setKeyValue(3);
    EXPECT_EQ(free.currentText(), "Redutor");
    QTest::keyClick(&free, Qt::Key_Home);
    EXPECT_TRUE(free.keyValue().isNull());
}

TEST_F(ControlsTest, TypingIntoALookupSearchesPastBlanksAndSpaceOpensTheListOnlyFirst) {
    MemTable tipos{"IBQ_TipoAnalise"};
    tipos.addFieldDef("ID_TP", FieldKind::Integer);
    tipos.addFieldDef("NM_TP", FieldKind::String, 30);
    tipos.createDataSet();
    int id = 10;
    for (const char* nm : {"Cloretos", "Dureza Cálcica", "Dureza Magnésio", "Dureza Total", "Ferro"}) {
        tipos.append();
        tipos.fieldByName("ID_TP")->setValue(id++);
        tipos.fieldByName("NM_TP")->setValue(QString::fromUtf8(nm));
        tipos.post();
    }
    DBLookupCombo lk(&form, &ds, "ID_TP", &tipos, "ID_TP", "NM_TP", "lkTipo");
    showForm();
    lk.setFocus();
    QTest::keyClicks(&lk, "Dureza M");
    EXPECT_EQ(lk.currentText(), "Dureza Magnésio");
    EXPECT_EQ(value("ID_TP").toInt(), 12);
    EXPECT_EQ(mt.state(), DataSetState::Edit);
    EXPECT_FALSE(lk.view()->isVisible());
    // Letter case and accents aside; a letter no entry continues with is ignored.
    QTest::keyClick(&lk, Qt::Key_Backspace);
    QTest::keyClick(&lk, Qt::Key_Backspace);
    QTest::keyClicks(&lk, " TOTx");
    EXPECT_EQ(lk.currentText(), "Dureza Total");
    EXPECT_EQ(lk.typedSearch(), "Dureza TOT");
    // Leaving the drop-down ends the search: a space typed first opens the list.
    QWidget outro(&form);
    outro.setFocusPolicy(Qt::StrongFocus);
    outro.show();
    outro.setFocus();
    lk.setFocus();
    settle();
    EXPECT_EQ(lk.typedSearch(), "");
    QTest::keyClicks(&lk, "dureza c");
    EXPECT_EQ(value("ID_TP").toInt(), 11);
    outro.setFocus();
    lk.setFocus();
    QTest::keyClick(&lk, Qt::Key_Space);
    EXPECT_TRUE(lk.view()->isVisible());
    lk.hidePopup();
    EXPECT_EQ(value("ID_TP").toInt(), 11);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(ControlsTest, ReadOnlyLookupIgnoresKeysAndWheelButPassesTab) {
    DBLookupCombo tp(&form, &ds, "ID_TP", &list, "ID_TP", "NM_TP", "lkTipoEquipamento");
    DBEdit nm(&form, &ds, "NM");
    showForm();
    tp.setReadOnly(true);
    tp.setFocus();
    settle();
    ASSERT_TRUE(tp.hasFocus());
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_B})
        QTest::keyClick(QApplication::focusWidget(), k);
    QWheelEvent wheel(QPointF(5, 5), tp.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&tp, &wheel);
    EXPECT_EQ(mt.state(), DataSetState::Browse);
    EXPECT_EQ(value("ID_TP"), 2);
    EXPECT_EQ(tp.currentText(), "Motor");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(nm.hasFocus());

    // A read-only field makes the combo read-only whatever the screen chose.
    tp.setReadOnly(false);
    mt.fieldByName("ID_TP")->setReadOnly(true);
    tp.setFocus();
    settle();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(value("ID_TP"), 2);
    mt.fieldByName("ID_TP")->setReadOnly(false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(value("ID_TP"), 3);
}

// ---------------------------------------------------------------- lifetime

TEST_F(ControlsTest, ControlsOutliveTheirDataSource) {
    auto src = std::make_unique<DataSource>("dsTemp", &mt);
    auto edit = std::make_unique<DBEdit>(&form, src.get(), "NM");
    auto grid = std::make_unique<DBGrid>(&form, src.get());
    EXPECT_EQ(edit->text(), "Ana");
    auto own = std::make_unique<MemTable>("IBQ_Pessoas");
    own->addFieldDef("ID_TP", FieldKind::Integer);
    own->addFieldDef("NM_TP", FieldKind::String, 30);
    own->createDataSet();
    auto combo = std::make_unique<DBLookupCombo>(&form, src.get(), "ID_TP", own.get(), "ID_TP", "NM_TP");
    src.reset(); // members of a screen die before its child widgets
    own.reset();
    mt.next();
    EXPECT_EQ(edit->dataSource(), nullptr);
    combo->setDataSource(&ds); // links again, without the destroyed list
    EXPECT_EQ(combo->listDataSet(), nullptr);
    EXPECT_EQ(combo->count(), 0);
    edit.reset();
    grid.reset();
    combo.reset();
}

// ---------------------------------------------------------------- DBGrid on an in-memory table

TEST_F(ControlsTest, GridColumnsTitlesAndCells) {
    mt.fieldByName("TX")->setVisible(false);
    DBGrid grid(&form, &ds, "DBGrid1");
    DBGridModel* m = grid.gridModel();
    ASSERT_EQ(m->columnCount(), 6); // every visible field
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Nome");
    EXPECT_EQ(m->index(0, 2).data().toString(), "1.234,50");
    EXPECT_EQ(m->index(0, 3).data().toString(), "15/03/2024");
    EXPECT_EQ(m->index(1, 3).data().toString(), "");
    grid.setColumns({{"DT", "Data", 90}, {"NM", "", 0}});
    ASSERT_EQ(m->columnCount(), 2);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Data");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Nome");
    EXPECT_EQ(grid.columnWidth(0), 90);
    // Read-only list options.
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_TRUE(grid.tabKeyNavigation());
    EXPECT_TRUE(grid.showGrid());
    EXPECT_FALSE(grid.horizontalHeader()->isHidden());
    EXPECT_FALSE(grid.verticalHeader()->isHidden());
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    // The row indicator marks the current record.
    EXPECT_FALSE(m->headerData(0, Qt::Vertical).toString().isEmpty());
    EXPECT_TRUE(m->headerData(1, Qt::Vertical).toString().isEmpty());
}

TEST_F(ControlsTest, GridFollowsTheRecordAndClicksMoveIt) {
    DBGrid grid(&form, &ds, "DBGrid1");
    grid.setColumns({{"ID", "", 60}, {"NM", "", 120}});
    grid.resize(300, 200);
    showForm();
    EXPECT_EQ(grid.currentIndex().row(), 0);
    mt.last();
    EXPECT_EQ(grid.currentIndex().row(), 2);
    QRect r = grid.visualRect(grid.gridModel()->index(1, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(mt.recNo(), 1);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(mt.recNo(), 0);
    int clicks = 0;
    grid.onDblClick = [&] { ++clicks; };
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, GridStaysOnARecordThatCannotBePosted) {
    DBGrid grid(&form, &ds, "DBGrid1");
    grid.resize(300, 200);
    showForm();
    mt.beforePost = [](DataSet&) { throw AppError("Campo 'Nome' deve ter um valor"); };
    mt.edit();
    mt.fieldByName("NM")->setValue(QVariant());
    QRect r = grid.visualRect(grid.gridModel()->index(2, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(errors, QStringList{"Campo 'Nome' deve ter um valor"});
    EXPECT_EQ(mt.recNo(), 0);
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(mt.state(), DataSetState::Edit);
}

TEST_F(ControlsTest, GridRowsFollowPostsDeletesAndReopen) {
    DBGrid grid(&form, &ds);
    DBGridModel* m = grid.gridModel();
    QSignalSpy inserted(m, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(m, &QAbstractItemModel::rowsRemoved);
    addRow(4, "Davi", 1, QDate(2024, 1, 1), "S", QVariant(), 1);
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(grid.currentIndex().row(), 3);
    mt.first();
    mt.remove();
    EXPECT_EQ(m->rowCount(), 3);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(m->index(0, 1).data().toString(), "Bruno");
    mt.close();
    EXPECT_EQ(m->rowCount(), 0);
    mt.open();
    EXPECT_EQ(m->rowCount(), 0);
    EXPECT_EQ(m->columnCount(), 7);
}

TEST_F(ControlsTest, GridCancelsAnUntouchedInsertWhenLeft) {
    DBGrid grid(&form, &ds);
    DBEdit other(&form, &ds, "NM");
    other.move(0, 300);
    showForm();
    grid.setFocus();
    mt.insert();
    other.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(mt.state(), DataSetState::Browse);
    EXPECT_EQ(mt.recordCount(), 3);
    grid.setFocus();
    mt.insert();
    mt.fieldByName("NM")->setValue("Nova");
    other.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(mt.state(), DataSetState::Insert);
}

TEST_F(ControlsTest, EditableGridColumnRefusesTextThatIsNoNumber) {
    DBGrid grid(&form, &ds);
    grid.setColumns({{"NM", "", 0, true}, {"VL", "Resultado Atual", 100}});
    grid.setReadOnly(false);
    DBGridModel* m = grid.gridModel();
    EXPECT_FALSE(m->flags(m->index(1, 0)) & Qt::ItemIsEditable);
    ASSERT_TRUE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m->setData(m->index(1, 1), "abc"));
    EXPECT_EQ(dlg.texts(), QStringList{"'abc' não é um valor numérico válido"});
    EXPECT_EQ(mt.state(), DataSetState::Browse);
    EXPECT_TRUE(m->setData(m->index(1, 1), "3,25"));
    EXPECT_EQ(mt.recNo(), 1);
    EXPECT_DOUBLE_EQ(value("VL").toDouble(), 3.25);
    mt.next(); // moving on posts the row
    EXPECT_DOUBLE_EQ(mt.valueAt(1, mt.fieldByName("VL")).toDouble(), 3.25);
}

} // namespace

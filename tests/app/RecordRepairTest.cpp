// Record screens driven the way a user drives them (keys and clicks on the focused widgets):
// one key press is one action, "Não" discards, a failed save gives the record back, closing
// always works, a refused delete says why, a screen is one class plus one registration, and
// the desktop's end request closes without questions.
#include "AppFixture.h"
#include "FrameworkFixture.h"
#include "lab/UnTipoAnalise.h"
#include "platform/QtTranslations.h"
#include "platform/Signals.h"
#include "screens/ScreenRegistry.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBText.h"
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <csignal>

namespace {

// A screen of the test's own, over the equipment types, with two more data sources: one it
// owns and one that only a control uses. Its show changes the SQL of both lists.
class TelaTeste : public TfrmCadastroPadrao {
public:
    TelaTeste() : TfrmCadastroPadrao("frmTelaTeste", &dmPadrao()->IBQ_TipoEquipamento) {
        setWindowTitle("Tela de Teste");
        TdmPadrao* dm = dmPadrao();
        dsProdutos.setDataSet(&dm->IBQ_ProdutoEquipamento);
        dsConsulta.setDataSet(&dm->IBQ_ConsultaProdutoEquip);
        edtNome = new DBEdit(pagFicha, &dsPadrao, "NM_TP_EQUIPAMENTO", "edtNome");
        edtNome->move(10, 10);
        new DBText(pagFicha, &dsConsulta, "NM_PRODUTO_BASE", "lblProduto");
        montaGrade({{"NM_TP_EQUIPAMENTO", "Tipo", 200}});
    }
    void FormShow() override {
        TfrmCadastroPadrao::FormShow();
        TdmPadrao* dm = dmPadrao();
        dm->IBQ_ProdutoEquipamento.setSqlText(
            "select * from tab_produto_equipamento where id_tp_equipamento = 1");
        dm->IBQ_ConsultaProdutoEquip.setSqlText("select 1 as um from rdb$database");
    }
    DataSource dsProdutos{"dsProdutos", this};
    DataSource dsConsulta{"dsConsulta"}; // no owner: found through the control bound to it
    DBEdit* edtNome = nullptr;
};

class RecordRepairTest : public FrameworkTest {
protected:
    TfrmTipoAnalise* open() {
        main->abreTelaRegistrada("frmTipoAnalise");
        pump();
        auto* t = main->findChild<TfrmTipoAnalise*>("frmTipoAnalise");
        EXPECT_NE(t, nullptr);
        if (t) {
            main->bttMostrarTodosClick();
            t->edtNome->setFocus();
            pump();
        }
        return t;
    }
    DataSet* ds(TfrmTipoAnalise* t) { return t->dsPadrao.dataSet(); }
    QString nome(int id) {
        return s_db
            ->scalar(QString("select nm_tp_analise from tab_tp_analise where id_tp_analise = %1").arg(id))
            .toString();
    }
    int rows(const QString& where = "") {
        return s_db->scalar("select count(*) from tab_tp_analise " + where).toInt();
    }
    int countOf(const QString& text) { return int(dialogs.texts().count(text)); }
    // Characters outside ASCII, delivered to the focused widget as an input method delivers them.
    void digita(const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &release);
        }
    }
    void typeInto(QWidget* w, const QString& text) {
        w->setFocus();
        QTest::keyClicks(w, text);
    }
    void mainConnection(const QString& sql) {
        Query q(&main->IBSolution);
        q.setSqlText(sql);
        q.open();
        q.close();
    }
};

TEST_F(RecordRepairTest, OneF5PressInTheGridDeletesOneRecord) {
    TfrmTipoAnalise* t = open();
    QTest::keyClick(t->edtNome, Qt::Key_F12);
    ASSERT_EQ(t->pc->currentIndex(), 1);
    t->DBGrid1->setFocus();
    dialogs.queueAnswers({MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes});
    QTest::keyClick(t->DBGrid1, Qt::Key_F5);
    EXPECT_EQ(countOf("Excluir este registro ?"), 1);
    EXPECT_EQ(rows(), 4);
    EXPECT_EQ(ds(t)->recordCount(), 4);
    // The other keys too: one press, one action.
    QTest::keyClick(t->DBGrid1, Qt::Key_F12);
    typeInto(t->edtNome, "X");
    dialogs.clear();
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    QTest::keyClick(t->edtNome, Qt::Key_F2);
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join("|").toStdString();
}

TEST_F(RecordRepairTest, NaoDiscardsTheChangeOnEveryPathThatAsks) {
    TfrmTipoAnalise* t = open();
    const QString original1 = nome(1), original2 = nome(2);
    // A move.
    typeInto(t->edtNome, " alterada");
    ASSERT_EQ(ds(t)->state(), DataSetState::Edit);
    dialogs.queueAnswer(MsgAnswer::No);
    QTest::keyClick(t->edtNome, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(dialogs.lastMessage().text, "Salvar alterações ?"_q);
    EXPECT_EQ(ds(t)->recNo(), 1);
    EXPECT_FALSE(ds(t)->updatesPending());
    // The next save writes only its own record.
    typeInto(t->edtNome, " salva");
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(nome(1), original1);
    EXPECT_EQ(nome(2), original2 + " salva");
    // The view switch.
    typeInto(t->edtNome, "!");
    dialogs.queueAnswer(MsgAnswer::No);
    QTest::keyClick(t->edtNome, Qt::Key_F12);
    EXPECT_EQ(t->pc->currentIndex(), 1);
    EXPECT_EQ(nome(2), original2 + " salva");
    // A click on another row of the grid while a change is pending.
    ds(t)->edit();
    ds(t)->fieldByName("NM_TP_ANALISE")->setValue("Pela grade");
    dialogs.queueAnswer(MsgAnswer::No);
    const QRect cell = t->DBGrid1->visualRect(t->DBGrid1->model()->index(3, 0));
    QTest::mouseClick(t->DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(ds(t)->recNo(), 3);
    EXPECT_EQ(rows("where nm_tp_analise = 'Pela grade'"), 0);
    EXPECT_FALSE(ds(t)->updatesPending());
    // Show all.
    QTest::keyClick(t->DBGrid1, Qt::Key_F12);
    typeInto(t->edtNome, "?");
    dialogs.queueAnswer(MsgAnswer::No);
    QTest::keyClick(t->edtNome, Qt::Key_F7);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    // Closing.
    typeInto(t->edtNome, "#");
    dialogs.queueAnswer(MsgAnswer::No);
    QTest::keyClick(t->edtNome, Qt::Key_Escape);
    pump();
    EXPECT_EQ(rows("where nm_tp_analise like '%!%' or nm_tp_analise like '%?%' or nm_tp_analise like '%#%'"),
              0);
    EXPECT_EQ(main->findChild<TfrmTipoAnalise*>("frmTipoAnalise"), nullptr);
}

TEST_F(RecordRepairTest, ASaveWhoseCommitFailsGivesTheRecordBackAndSavesOnceTheCauseIsGone) {
    s_db->exec("create or alter exception e_falha_commit 'commit recusado pelo teste'");
    s_db->exec(
        "create or alter trigger trg_falha_commit on transaction commit as begin "
        "if (rdb$get_context('USER_SESSION', 'FALHAR_COMMIT') = '1') then exception e_falha_commit; end");
    login(2); // a connection made after the trigger exists
    TfrmTipoAnalise* t = open();
    QTest::keyClick(t->edtNome, Qt::Key_F2);
    typeInto(t->edtNome, "Nova por F3");
    mainConnection("select rdb$set_context('USER_SESSION', 'FALHAR_COMMIT', '1') from rdb$database");
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_TRUE(dialogs.lastMessage().text.contains("commit recusado pelo teste"))
        << dialogs.lastMessage().text.toStdString();
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(t->edtNome->text(), "Nova por F3");
    EXPECT_EQ(ds(t)->recordCount(), 5);
    mainConnection("select rdb$set_context('USER_SESSION', 'FALHAR_COMMIT', null) from rdb$database");
    EXPECT_EQ(rows("where nm_tp_analise = 'Nova por F3'"), 0);
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(rows("where nm_tp_analise = 'Nova por F3'"), 1);
    s_db->exec("drop trigger trg_falha_commit");
}

TEST_F(RecordRepairTest, TypedTextTheDatabaseCannotHoldIsRefusedAsItIsTyped) {
    TfrmTipoAnalise* t = open();
    t->edtNome->clear();
    typeInto(t->edtNome, "Ferro");
    // A key whose text is a character outside the database's alphabet (as an input method gives it).
    digita("日"_q);
    EXPECT_EQ(t->edtNome->text(), "Ferro");
    EXPECT_TRUE(dialogs.lastMessage().text.contains("Tipo de Análise"_q))
        << dialogs.lastMessage().text.toStdString();
    digita(" €"_q);
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(rows("where nm_tp_analise = 'Ferro €'"_q), 1);
}

TEST_F(RecordRepairTest, PastedTextTheColumnCannotHoldIsRefusedWholeNamingTheWidths) {
    TfrmTipoAnalise* t = open();
    const QString antes = t->edtNome->text();
    // Pasted over the whole name, 51 characters into a column of 50: nothing of it is taken.
    QApplication::clipboard()->setText(QString(51, 'a'));
    QTest::keyClick(t->edtNome, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(t->edtNome, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(t->edtNome->text(), antes);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text,
              "O campo \"Tipo de Análise\" aceita no máximo 50 caracteres (foram informados 51)."_q);
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    // A paste that fits is taken; a letter typed past the width gets the same message.
    QApplication::clipboard()->setText(QString(50, 'b'));
    QTest::keyClick(t->edtNome, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(t->edtNome, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(t->edtNome->text(), QString(50, 'b'));
    QTest::keyClick(t->edtNome, Qt::Key_C);
    EXPECT_EQ(t->edtNome->text(), QString(50, 'b'));
    EXPECT_EQ(dialogs.messageCount(), 2);
    EXPECT_EQ(dialogs.lastMessage().text,
              "O campo \"Tipo de Análise\" aceita no máximo 50 caracteres (foram informados 51)."_q);
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(rows("where nm_tp_analise = '" + QString(50, 'b') + "'"), 1);
    EXPECT_EQ(dialogs.messageCount(), 2);
}

TEST_F(RecordRepairTest, AnUnwritableSettingsFileNeverBlocksClosingAndIsToldOnce) {
    QFile::remove(settingsPath());
    QDir().mkpath(settingsPath()); // a folder where the file should be: nothing can be written
    for (int i = 0; i < 2; ++i) {
        TfrmTipoAnalise* t = open();
        ASSERT_TRUE(t);
        QTest::keyClick(t->edtNome, Qt::Key_F12);
        QTest::keyClick(t->DBGrid1, Qt::Key_Escape);
        pump();
        EXPECT_EQ(main->findChild<TfrmTipoAnalise*>("frmTipoAnalise"), nullptr);
    }
    int avisos = 0;
    for (const QString& m : dialogs.texts())
        avisos += m.contains("posições das telas"_q);
    EXPECT_EQ(avisos, 1) << dialogs.texts().join("|").toStdString();
    main->close();
    EXPECT_EQ(endRequests, 1);
    QDir(settingsPath()).removeRecursively();
}

TEST_F(RecordRepairTest, ARefusedDeleteSaysWhichTableUsesTheRecord) {
    s_db->exec("delete from tab_resultado_ideal");
    s_db->exec("delete from tab_tp_equipamento");
    s_db->exec(
        "insert into tab_tp_equipamento (id_tp_equipamento, nm_tp_equipamento) values (1, 'Caldeira')");
    s_db->exec("insert into tab_resultado_ideal values (1, 1, 1, '7,0 a 8,0')");
    TfrmTipoAnalise* t = open();
    dialogs.queueAnswer(MsgAnswer::Yes);
    QTest::keyClick(t->edtNome, Qt::Key_F5);
    const auto& m = dialogs.lastMessage();
    EXPECT_TRUE(m.text.contains("TAB_RESULTADO_IDEAL")) << m.text.toStdString();
    EXPECT_EQ(m.caption, "Aviso do Sistema");
    EXPECT_EQ(rows("where id_tp_analise = 1"), 1);
    EXPECT_EQ(ds(t)->recordCount(), 5);
    EXPECT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), 1);
    s_db->exec("delete from tab_resultado_ideal");
}

TEST_F(RecordRepairTest, AScreenIsOneClassAndOneRegistration) {
    registraTela(
        {"frmTelaTeste", "Tabelas", "TelaTeste1", "Tela de Teste", 90, [] { return new TelaTeste; }});
    s_db->exec("insert into sis_formulario values (-90, 'frmTelaTeste', 'Tela de Teste', 3, 'S')");
    login(-1);
    QAction* item = main->mnuTabelas->findChild<QAction*>("TelaTeste1");
    if (!item)
        for (QAction* a : main->mnuTabelas->actions())
            if (a->objectName() == "TelaTeste1") item = a;
    ASSERT_TRUE(item);
    EXPECT_TRUE(main->gbpainelcontrole->findChild<QPushButton*>("btnPainel_TelaTeste1"));
    TdmPadrao* dm = dmPadrao();
    const QString sqlProdutos = dm->IBQ_ProdutoEquipamento.sqlText();
    const QString sqlConsulta = dm->IBQ_ConsultaProdutoEquip.sqlText();
    item->trigger();
    pump();
    auto* t = main->findChild<TelaTeste*>("frmTelaTeste");
    ASSERT_TRUE(t);
    std::vector<DataSource*> fontes = t->fontes();
    EXPECT_EQ(fontes.size(), 2u);
    EXPECT_NE(dm->IBQ_ConsultaProdutoEquip.sqlText(), sqlConsulta);
    // Keys belong to the active screen only.
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    auto* tipo = main->findChild<TfrmTipoAnalise*>("frmTipoAnalise");
    ASSERT_TRUE(tipo);
    tipo->edtNome->setFocus();
    QTest::keyClick(tipo->edtNome, Qt::Key_F2);
    EXPECT_EQ(tipo->dsPadrao.dataSet()->state(), DataSetState::Insert);
    EXPECT_EQ(t->dsPadrao.dataSet()->state(), DataSetState::Browse);
    QTest::keyClick(tipo->edtNome, Qt::Key_F6);
    QTest::keyClick(tipo->edtNome, Qt::Key_Escape);
    pump();
    EXPECT_EQ(t->dsPadrao.dataSet()->state(), DataSetState::Browse);
    t->subWindow()->close();
    pump();
    EXPECT_EQ(dm->IBQ_ProdutoEquipamento.sqlText(), sqlProdutos);
    EXPECT_EQ(dm->IBQ_ConsultaProdutoEquip.sqlText(), sqlConsulta);
}

TEST_F(RecordRepairTest, TheDesktopsEndRequestClosesWithoutQuestionsAndWritesTheLogoff) {
    s_db->exec("delete from sis_log_login");
    s_db->exec(
        "update or insert into sis_usuario (id_usuario, nm_usuario, id_gr_usuario, nm_acesso, ds_senha) "
        "values (1, 'Maria', 2, 'MARIA', 'x') matching (id_usuario)");
    s_db->exec("insert into sis_log_login (id_log_login, id_usuario, id_gr_usuario, nm_aplicativo, dh_login) "
               "values (1, 1, 2, 'Nexmoro Cortivandela', current_timestamp)");
    main->it_iidLogLogin = 1;
    TfrmTipoAnalise* t = open();
    typeInto(t->edtNome, " pendente");
    dialogs.clear();
    aoReceberSigterm([m = main] { m->encerraSemPerguntas(); });
    std::raise(SIGTERM);
    for (int i = 0; i < 20 && endRequests == 0; ++i) {
        QApplication::processEvents();
        QTest::qWait(5);
    }
    aoReceberSigterm({});
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(rows("where nm_tp_analise like '% pendente'"), 0);
    EXPECT_EQ(s_db->scalar("select count(*) from sis_log_login where dh_logoff is not null").toInt(), 1);
}

// Keys of the rows the list holds, in order (every row read).
QList<int> chavesDaLista(DataSet* d) {
    d->fetchAll();
    QList<int> ids;
    for (int r = 0; r < d->recordCount(); ++r)
        ids.append(d->valueAt(r, d->field(0)).toInt());
    return ids;
}

TEST_F(RecordRepairTest, ARecordSavedOnAListIsListedOnceAndAWriteThatFindsNoRowNeverPassesAsSaved) {
    s_db->exec("delete from tab_tp_equipamento");
    for (int i = 1; i <= 8; ++i)
        s_db->exec(QString("insert into tab_tp_equipamento (id_tp_equipamento, nm_tp_equipamento) "
                           "values (%1, 'Tipo %1')")
                       .arg(i));
    auto tipos = [this](const QString& where) {
        return s_db->scalar("select count(*) from tab_tp_equipamento " + where).toInt();
    };
    login(-1);
    main->abreTelaRegistrada("frmTipoEquipamento");
    pump();
    auto* t = main->findChild<TfrmCadastroPadrao*>("frmTipoEquipamento");
    ASSERT_TRUE(t);
    DataSet* d = t->dsPadrao.dataSet();
    auto* nomeTipo = t->findChild<DBEdit*>("DBEdit1");
    nomeTipo->setFocus();
    QTest::keyClick(nomeTipo, Qt::Key_F7);
    QTest::keyClick(nomeTipo, Qt::Key_F2);
    typeInto(nomeTipo, "Torre nova");
    QTest::keyClick(nomeTipo, Qt::Key_F3);
    ASSERT_EQ(d->state(), DataSetState::Browse);
    QTest::keyClick(nomeTipo, Qt::Key_F12);
    pump();
    ASSERT_EQ(tipos(""), 9);
    EXPECT_EQ(t->DBGrid1->model()->rowCount(), 9);
    QList<int> ids = chavesDaLista(d);
    EXPECT_EQ(QSet<int>(ids.begin(), ids.end()).size(), 9);
    EXPECT_EQ(ids.size(), 9);

    // Another workstation deletes a record this list shows: a change to it says so and keeps
    // what was typed.
    QTest::keyClick(t->DBGrid1, Qt::Key_F12);
    ASSERT_TRUE(d->locate("ID_TP_EQUIPAMENTO", 2));
    s_db->exec("delete from tab_tp_equipamento where id_tp_equipamento = 2");
    typeInto(nomeTipo, " mudado");
    dialogs.clear();
    QTest::keyClick(nomeTipo, Qt::Key_F3);
    ASSERT_EQ(dialogs.messageCount(), 1) << dialogs.texts().join("|").toStdString();
    EXPECT_TRUE(dialogs.lastMessage().text.contains("outra estação de trabalho o excluiu"_q))
        << dialogs.lastMessage().text.toStdString();
    EXPECT_EQ(d->state(), DataSetState::Edit);
    EXPECT_EQ(nomeTipo->text(), "Tipo 2 mudado");
    EXPECT_EQ(tipos("where nm_tp_equipamento like '% mudado'"), 0);

    // Deleting a record another workstation deleted says it was gone; the list lets it go.
    QTest::keyClick(nomeTipo, Qt::Key_F6);
    ASSERT_TRUE(d->locate("ID_TP_EQUIPAMENTO", 3));
    s_db->exec("delete from tab_tp_equipamento where id_tp_equipamento = 3");
    dialogs.clear();
    dialogs.queueAnswer(MsgAnswer::Yes);
    QTest::keyClick(nomeTipo, Qt::Key_F5);
    ASSERT_EQ(dialogs.messageCount(), 2) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(dialogs.lastMessage().text,
              "Este registro já havia sido excluído por outra estação de trabalho."_q);
    ids = chavesDaLista(d);
    EXPECT_EQ(ids.size(), tipos(""));
    EXPECT_FALSE(ids.contains(3));
}

TEST_F(RecordRepairTest, TwoWorkstationsSavingANewRecordAtOnceBothKeepTheirRecord) {
    TfrmTipoAnalise* t = open();
    // The other workstation saves its record with the key this one has just read, before this
    // one writes: it commits on a connection of its own.
    int vezes = 1;
    ds(t)->beforePost = [&](DataSet& d) {
        if (vezes-- <= 0) return;
        s_db->exec(QString("insert into tab_tp_analise values (%1, 'Da outra estação %1')")
                       .arg(d.field(0)->asInteger()));
    };
    QTest::keyClick(t->edtNome, Qt::Key_F2);
    typeInto(t->edtNome, "Cloretos");
    dialogs.clear();
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(nome(6), "Da outra estação 6"_q);
    EXPECT_EQ(nome(7), "Cloretos");
    EXPECT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), 7);

    // When every fresh key is taken as well, the record stays on screen to be saved again.
    vezes = 100;
    QTest::keyClick(t->edtNome, Qt::Key_F2);
    typeInto(t->edtNome, "Sulfatos");
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    ASSERT_EQ(dialogs.messageCount(), 1) << dialogs.texts().join("|").toStdString();
    EXPECT_TRUE(dialogs.lastMessage().text.contains("continua na tela"_q))
        << dialogs.lastMessage().text.toStdString();
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(t->edtNome->text(), "Sulfatos");
    EXPECT_TRUE(main->IBSolution.connected());
    vezes = 0;
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(rows("where nm_tp_analise = 'Sulfatos'"), 1);
    EXPECT_EQ(dialogs.messageCount(), 1);
    ds(t)->beforePost = nullptr;
}

TEST_F(RecordRepairTest, AChangeAnotherWorkstationMadeFirstIsShownAndMayBeWrittenOver) {
    TfrmTipoAnalise* t = open();
    ASSERT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), 1);
    typeInto(t->edtNome, " (A)");
    s_db->exec("update tab_tp_analise set nm_tp_analise = 'Análise 1 (B)' where id_tp_analise = 1");
    dialogs.clear();
    dialogs.queueAnswer(MsgAnswer::No);
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    ASSERT_EQ(dialogs.messageCount(), 1);
    const QString pergunta = dialogs.lastMessage().text;
    EXPECT_TRUE(pergunta.startsWith("Outra estação de trabalho alterou este registro"_q))
        << pergunta.toStdString();
    EXPECT_TRUE(pergunta.contains("Tipo de Análise: Análise 1 (B)"_q)) << pergunta.toStdString();
    EXPECT_TRUE(pergunta.contains("Tipo de Análise: Análise 1 (A)"_q)) << pergunta.toStdString();
    // "Não": the record shows what the database holds, which is kept.
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(t->edtNome->text(), "Análise 1 (B)"_q);
    EXPECT_EQ(nome(1), "Análise 1 (B)"_q);
    // "Sim": the change is written over the values now current.
    typeInto(t->edtNome, " (A)");
    s_db->exec("update tab_tp_analise set nm_tp_analise = 'Análise 1 (C)' where id_tp_analise = 1");
    dialogs.queueAnswer(MsgAnswer::Yes);
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 2);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(nome(1), "Análise 1 (B) (A)"_q);
    EXPECT_EQ(t->edtNome->text(), "Análise 1 (B) (A)"_q);
    // The same change made by both is no conflict to ask about.
    typeInto(t->edtNome, "!");
    s_db->exec("update tab_tp_analise set nm_tp_analise = 'Análise 1 (B) (A)!' where id_tp_analise = 1");
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 2) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(nome(1), "Análise 1 (B) (A)!"_q);
}

TEST_F(RecordRepairTest, TheViewButtonAlwaysNamesTheViewItSwitchesTo) {
    login(-1);
    TfrmTipoAnalise* t = open();
    QTest::keyClick(t->edtNome, Qt::Key_F12);
    EXPECT_EQ(main->bttFicha->text(), "Ficha");
    QTest::keyClick(t->DBGrid1, Qt::Key_Escape);
    pump();
    // A screen closed in its grid, then one that opens in its record form.
    t = open();
    ASSERT_EQ(t->pc->currentIndex(), 0);
    EXPECT_EQ(main->bttFicha->text(), "Tabela");
    EXPECT_EQ(main->bttFicha->toolTip(), "Mostra os Dados no Formato de Tabela (F12)");
    QTest::keyClick(t->edtNome, Qt::Key_F12);
    EXPECT_EQ(t->pc->currentIndex(), 1);
    EXPECT_EQ(main->bttFicha->text(), "Ficha");
    // Two open screens, one in each view.
    main->abreTelaRegistrada("frmTipoEquipamento");
    pump();
    QWidget* equipamento = main->findChild<QWidget*>("frmTipoEquipamento");
    ASSERT_TRUE(equipamento);
    EXPECT_EQ(main->bttFicha->text(), "Tabela");
    main->mdi->setActiveSubWindow(t->subWindow());
    pump();
    EXPECT_EQ(main->bttFicha->text(), "Ficha");
    EXPECT_EQ(main->bttFicha->toolTip(), "Mostra os Dados no Formato de Ficha (F12)");
    main->mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(equipamento->parentWidget()));
    pump();
    EXPECT_EQ(main->bttFicha->text(), "Tabela");
}

TEST_F(RecordRepairTest, AfterADeleteTheRecordThatTookItsPlaceIsCurrent) {
    TfrmTipoAnalise* t = open();
    QTest::keyClick(t->edtNome, Qt::Key_Right, Qt::AltModifier);
    ASSERT_EQ(t->edtNome->text(), "Análise 2"_q);
    dialogs.queueAnswer(MsgAnswer::Yes);
    QTest::keyClick(t->edtNome, Qt::Key_F5);
    EXPECT_EQ(rows("where id_tp_analise = 2"), 0);
    EXPECT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), 3);
    EXPECT_EQ(t->edtNome->text(), "Análise 3"_q);
    // In the grid.
    QTest::keyClick(t->edtNome, Qt::Key_F12);
    ASSERT_EQ(t->DBGrid1->currentIndex().row(), 1);
    dialogs.queueAnswer(MsgAnswer::Yes);
    QTest::keyClick(t->DBGrid1, Qt::Key_F5);
    EXPECT_EQ(rows("where id_tp_analise = 3"), 0);
    EXPECT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), 4);
    EXPECT_EQ(t->DBGrid1->currentIndex().row(), 1);
    // The last record: the one before it.
    QTest::keyClick(t->DBGrid1, Qt::Key_End, Qt::AltModifier);
    dialogs.queueAnswer(MsgAnswer::Yes);
    QTest::keyClick(t->DBGrid1, Qt::Key_F5);
    EXPECT_EQ(rows("where id_tp_analise = 5"), 0);
    EXPECT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), 4);
    EXPECT_EQ(t->DBGrid1->currentIndex().row(), 1);
}

TEST(TraducoesTest, QtsOwnTextsSpeakPortuguese) {
    ASSERT_TRUE(installPortugueseQtTranslations());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancelar");
    EXPECT_EQ(QCoreApplication::translate("QPrintPreviewDialog", "Print Preview"), "Visualizar impressão"_q);
}

} // namespace

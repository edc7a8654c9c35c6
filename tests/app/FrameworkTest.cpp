// The screen framework end to end on the analysis-type screen: SQL preparation, toolbar rule
// and rights, keys, save questions, delete rules, key allocation, show-all, view switch with
// stored geometry, one screen per name, record count, logoff.
#include "FrameworkFixture.h"
#include "Pinturas.h"
#include "QtPrinters.h"
#include "app/UnSobre.h"
#include "lab/UnTipoAnalise.h"
#include "platform/Shell.h"
#include "screens/UnParametroRelatorio.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include <QFile>
#include <QMdiSubWindow>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

TEST(PreparaSQLTest, CutsWhereAndOrderByAndOpensEmpty) {
    for (const QString sep : {" ", "\n"}) {
        PreparacaoSQL r =
            PreparaSQL("select * from mov_analise where id_cliente > 0" + sep + "order by DT_COLETA desc", 1,
                       "", "", "", "", "");
        EXPECT_EQ(r.mywhere, "where id_cliente > 0" + sep);
        EXPECT_EQ(r.myorderby, "order by DT_COLETA desc");
        EXPECT_EQ(r.sql, "select * from mov_analise where id_cliente > 0" + sep +
                             " and  0=1 order by DT_COLETA desc");
    }
}

TEST(PreparaSQLTest, WorkedExampleWithoutWhere) {
    PreparacaoSQL r =
        PreparaSQL("select * from tab_tarefa \norder by dh_criacao desc\n", 1, "", "", "", "", "");
    EXPECT_EQ(r.sql, "select * from tab_tarefa \n where  0=1 order by dh_criacao desc\n");
    EXPECT_TRUE(r.mywhere.isEmpty());
}

TEST(PreparaSQLTest, ShowAllAndWantedRecord) {
    EXPECT_EQ(PreparaSQL("select * from t", 1, "", "", "S", "", "").sql, "select * from t where  0=0 ");
    PreparacaoSQL r =
        PreparaSQL("select * from mov_analise order by DT_COLETA desc", 1, "", "", "", "", "id_analise, 15");
    EXPECT_EQ(r.sql, "select * from mov_analise  where  0=0  and id_analise = 15order by DT_COLETA desc");
    EXPECT_EQ(r.procuraTela, "id_analise, 15");
    EXPECT_TRUE(r.procuraPrincipal.isEmpty());
    // The screen's own request opens on the record too, not on an empty list.
    EXPECT_TRUE(PreparaSQL("select * from t", 1, "", "", "", "id, 3", "").sql.contains(" 0=0  and id = 3"));
    // A second show leaves the text alone.
    EXPECT_EQ(PreparaSQL("select * from t where  0=1 ", 2, "", "", "", "", "").sql,
              "select * from t where  0=1 ");
}

TEST(RecordCountTest, SixDigitsGroupedTheBrazilianWay) {
    EXPECT_EQ(formataContagem(1234), "001.234");
    EXPECT_EQ(formataContagem(0), "000.000");
    EXPECT_EQ(formataContagem(1234567), "1.234.567");
}

} // namespace

class TipoAnaliseTest : public FrameworkTest {
protected:
    TfrmTipoAnalise* open() {
        main->abreTelaRegistrada("frmTipoAnalise");
        pump();
        auto* t = main->findChild<TfrmTipoAnalise*>("frmTipoAnalise");
        EXPECT_NE(t, nullptr);
        return t;
    }
    DataSet* ds(TfrmTipoAnalise* t) { return t->dsPadrao.dataSet(); }
    int rows(const QString& where = "") {
        return s_db->scalar("select count(*) from tab_tp_analise " + where).toInt();
    }
};

// Opening hides the panel and shows the record buttons: the toolbar is laid out before it is
// painted, so each button is painted once, not once where it was and again where it goes.
TEST_F(TipoAnaliseTest, OpensOncePerNameEmptyThenShowAll) {
    pump();
    Pinturas pinturas;
    TfrmTipoAnalise* t = open();
    pinturas.para();
    ASSERT_TRUE(t);
    EXPECT_FALSE(main->gbpainelcontrole->isVisible());
    EXPECT_TRUE(main->bttIncluir->isVisible());
    for (QToolButton* b : main->tb1->findChildren<QToolButton*>()) {
        if (!b->isVisible()) continue;
        EXPECT_EQ(pinturas.de(b), 1) << b->objectName().toStdString();
    }
    EXPECT_EQ(ds(t)->recordCount(), 0);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.000");
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    EXPECT_EQ(main->mdi->subWindowList().size(), 1);
    EXPECT_TRUE(main->VerificaFormAtivo("FRMTIPOANALISE"));
    main->bttMostrarTodosClick();
    ds(t)->fetchAll();
    EXPECT_EQ(ds(t)->recordCount(), 5);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.005");
    EXPECT_TRUE(t->mostraTodos());
}

// The record count runs on a connection of its own, beside the list: it sees what another
// workstation committed, only the latest of quick requests is shown, and a count whose
// connection was ended still arrives.
TEST_F(TipoAnaliseTest, TheCountBesideTheListFollowsPeersAndOutlivesItsConnection) {
    TfrmTipoAnalise* t = open();
    ASSERT_TRUE(t);
    t->edtNome->setFocus();
    QTest::keyClick(t->edtNome, Qt::Key_F7);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.005");
    s_db->exec("insert into tab_tp_analise values (8, 'Oito')");
    // Three refreshes in a row: the answers of the first two are never shown after the last.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(t->edtNome, Qt::Key_F4);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.006");
    // The count's connection is the one that tells the database nothing about its session.
    const QString daContagem = "from mon$attachments a where a.mon$attachment_id <> current_connection and "
                               "a.mon$system_flag = 0 and not exists (select 1 from mon$context_variables v "
                               "where v.mon$attachment_id = a.mon$attachment_id)";
    ASSERT_EQ(s_db->scalar("select count(*) " + daContagem).toInt(), 1);
    s_db->exec("delete " + daContagem);
    s_db->exec("insert into tab_tp_analise values (9, 'Nove')");
    QTest::keyClick(t->edtNome, Qt::Key_F4);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.007");
    s_db->exec("delete from tab_tp_analise where id_tp_analise = 8");
    QTest::keyClick(t->edtNome, Qt::Key_F4);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.006");
    // It attached again: a connection without a session is back.
    EXPECT_EQ(s_db->scalar("select count(*) " + daContagem).toInt(), 1);
    EXPECT_TRUE(ds(t)->active());
    // Work of the list's own transaction not yet committed is counted with the list.
    ASSERT_EQ(dynamic_cast<Query*>(ds(t))->transaction(), &main->IBTransaction);
    Query x(&main->IBSolution, &main->IBTransaction);
    x.setSqlText("insert into tab_tp_analise values (10, 'Dez')");
    x.execSQL();
    QTest::keyClick(t->edtNome, Qt::Key_F4);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.007");
    main->IBTransaction.rollback();
}

TEST_F(TipoAnaliseTest, SaveAllocatesTheNextKeyWhateverWasTyped) {
    s_db->exec("insert into tab_tp_analise values (7, 'Sete')");
    TfrmTipoAnalise* t = open();
    main->bttIncluirClick();
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_TRUE(main->bttSalvar->isEnabled());
    EXPECT_FALSE(main->bttAtualiza->isEnabled());
    ds(t)->fieldByName("ID_TP_ANALISE")->setValue(3);
    ds(t)->fieldByName("NM_TP_ANALISE")->setValue("Condutividade d'água");
    main->bttSalvarClick();
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(s_db->scalar("select nm_tp_analise from tab_tp_analise where id_tp_analise = 8").toString(),
              "Condutividade d'água");
    EXPECT_TRUE(main->IBTransaction.active());
    EXPECT_FALSE(main->bttSalvar->isEnabled());
}

TEST_F(TipoAnaliseTest, RequiredNameIsReportedAndTheRecordStays) {
    TfrmTipoAnalise* t = open();
    main->bttIncluirClick();
    try {
        main->bttSalvarClick();
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("O campo \"Tipo de Análise\" deve ser preenchido."));
    }
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(rows(), 5);
}

TEST_F(TipoAnaliseTest, DeleteAsksAndRespectsNegativeAndZeroKeys) {
    s_db->exec("insert into tab_tp_analise values (-3, 'Interna')");
    s_db->exec("insert into tab_tp_analise values (0, 'Zero')");
    TfrmTipoAnalise* t = open();
    main->bttMostrarTodosClick();
    ASSERT_TRUE(ds(t)->locate("ID_TP_ANALISE", 2));
    main->bttExcluirClick(); // no answer queued: the default button, No
    EXPECT_EQ(dialogs.lastMessage().text, "Excluir este registro ?");
    EXPECT_EQ(dialogs.lastMessage().defaultButton, MsgAnswer::No);
    EXPECT_EQ(rows("where id_tp_analise = 2"), 1);
    dialogs.queueAnswer(MsgAnswer::Yes);
    main->bttExcluirClick();
    EXPECT_EQ(rows("where id_tp_analise = 2"), 0);

    ASSERT_TRUE(ds(t)->locate("ID_TP_ANALISE", -3));
    dialogs.queueAnswer(MsgAnswer::Yes);
    main->bttExcluirClick();
    EXPECT_EQ(dialogs.lastMessage().text,
              "Exclusão não permitida. Registro necessário para funções internas do sistema.");
    EXPECT_EQ(ds(t)->fieldByName("ID_TP_ANALISE")->asInteger(), -3);
    EXPECT_EQ(rows("where id_tp_analise = -3"), 1);

    ASSERT_TRUE(ds(t)->locate("ID_TP_ANALISE", 0));
    const size_t before = dialogs.messages().size();
    dialogs.queueAnswer(MsgAnswer::Yes);
    main->bttExcluirClick();
    EXPECT_EQ(dialogs.messages().size(), before + 1); // only the question
    EXPECT_EQ(rows("where id_tp_analise = 0"), 1);
}

TEST_F(TipoAnaliseTest, ClosingWithAPendingEditAsksYesNoCancel) {
    TfrmTipoAnalise* t = open();
    main->bttMostrarTodosClick();
    QPointer<QMdiSubWindow> sub = t->subWindow();
    ds(t)->edit();
    ds(t)->fieldByName("NM_TP_ANALISE")->setValue("Alterada");
    dialogs.queueAnswer(MsgAnswer::Cancel);
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(ds(t)->state(), DataSetState::Edit);
    EXPECT_EQ(dialogs.lastMessage().text, "Salvar alterações ?");
    dialogs.queueAnswer(MsgAnswer::No);
    EXPECT_TRUE(sub->close());
    pump();
    EXPECT_TRUE(sub.isNull());
    EXPECT_EQ(rows("where nm_tp_analise = 'Alterada'"), 0);
    EXPECT_TRUE(main->gbpainelcontrole->isVisible());
    EXPECT_FALSE(main->bttIncluir->isVisible());
    // The design SQL is back for the next opening.
    EXPECT_EQ(padrao->IBQ_TipoAnalise.sqlText(), "select * from tab_tp_analise\n");

    t = open();
    main->bttMostrarTodosClick();
    ds(t)->edit();
    ds(t)->fieldByName("NM_TP_ANALISE")->setValue("Salva ao fechar");
    dialogs.queueAnswer(MsgAnswer::Yes);
    EXPECT_TRUE(t->subWindow()->close());
    EXPECT_EQ(rows("where nm_tp_analise = 'Salva ao fechar'"), 1);
}

TEST_F(TipoAnaliseTest, WithoutTheConfirmationFlagClosingSavesSilently) {
    s_db->exec("update tab_parametro set st_confirma_sair = 'N'");
    login(2); // the parameter row is read when the main window is shown
    TfrmTipoAnalise* t = open();
    main->bttMostrarTodosClick();
    ds(t)->edit();
    ds(t)->fieldByName("NM_TP_ANALISE")->setValue("Silenciosa");
    const size_t before = dialogs.messages().size();
    EXPECT_TRUE(t->subWindow()->close());
    EXPECT_EQ(dialogs.messages().size(), before) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(rows("where nm_tp_analise = 'Silenciosa'"), 1);
}

TEST_F(TipoAnaliseTest, MovesSettleAPendingChangeFirst) {
    TfrmTipoAnalise* t = open();
    main->bttMostrarTodosClick();
    ds(t)->edit();
    ds(t)->fieldByName("NM_TP_ANALISE")->setValue("Movida");
    dialogs.queueAnswer(MsgAnswer::Cancel);
    EXPECT_THROW(main->bttSeguinteClick(), SilentAbort);
    EXPECT_EQ(ds(t)->recNo(), 0);
    dialogs.queueAnswer(MsgAnswer::Yes);
    main->bttUltimoClick();
    EXPECT_EQ(rows("where nm_tp_analise = 'Movida'"), 1);
    EXPECT_FALSE(main->bttSeguinte->isEnabled());
    EXPECT_FALSE(main->bttUltimo->isEnabled());
    main->bttPrimeiroClick();
    EXPECT_FALSE(main->bttAnterior->isEnabled());
    EXPECT_TRUE(main->bttSeguinte->isEnabled());
}

TEST_F(TipoAnaliseTest, FunctionKeysDriveTheToolbar) {
    TfrmTipoAnalise* t = open();
    main->bttMostrarTodosClick();
    QWidget* edit = t->edtNome;
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F2);
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    QTest::keyClick(edit, Qt::Key_F6);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    QTest::keyClick(edit, Qt::Key_End, Qt::AltModifier);
    EXPECT_EQ(ds(t)->recNo(), 4);
    QTest::keyClick(edit, Qt::Key_Home, Qt::AltModifier);
    EXPECT_EQ(ds(t)->recNo(), 0);
    QTest::keyClick(edit, Qt::Key_F2);
    ds(t)->fieldByName("NM_TP_ANALISE")->setValue("Por F3");
    QTest::keyClick(edit, Qt::Key_F3);
    EXPECT_EQ(rows("where nm_tp_analise = 'Por F3'"), 1);
    QTest::keyClick(edit, Qt::Key_F12);
    EXPECT_EQ(main->sFichaTabela, "T");
    EXPECT_EQ(t->pc->currentIndex(), 1);
    QTest::keyClick(t->DBGrid1, Qt::Key_F12);
    EXPECT_EQ(main->sFichaTabela, "F");
    QPointer<QMdiSubWindow> sub = t->subWindow();
    t->edtNome->setFocus();
    QTest::keyClick(t->edtNome, Qt::Key_Escape);
    pump();
    EXPECT_TRUE(sub.isNull());
}

TEST_F(TipoAnaliseTest, ViewSwitchStoresAndRestoresGeometry) {
    TfrmTipoAnalise* t = open();
    const QSize design(t->w, t->h);
    t->subWindow()->move(30, 20);
    main->bttFichaClick(); // to the grid: the record-form position is saved
    IniFile ini(settingsPath());
    EXPECT_EQ(ini.readString("frmTipoAnalise", "Ficha", ""),
              QString("20,30,%1,%2").arg(design.height()).arg(design.width()));
    t->subWindow()->setGeometry(50, 60, 700, 400);
    main->bttFichaClick(); // back: the grid geometry is saved, the form opens at design size
    EXPECT_EQ(ini.readString("frmTipoAnalise", "Tabela", ""), "60,50,400,700,0");
    EXPECT_EQ(t->subWindow()->size(), design);
    main->bttFichaClick();
    EXPECT_EQ(t->subWindow()->geometry(), QRect(50, 60, 700, 400));
    main->bttFichaClick();
    t->subWindow()->move(15, 25);
    t->subWindow()->close();
    pump();
    t = open();
    EXPECT_EQ(t->subWindow()->pos(), QPoint(15, 25));
    EXPECT_EQ(t->subWindow()->size(), design);
}

TEST_F(TipoAnaliseTest, AGroupThatMayOnlyLookGetsNeitherEditNorDelete) {
    login(3);
    TfrmTipoAnalise* t = open();
    ASSERT_TRUE(t);
    main->bttMostrarTodosClick();
    EXPECT_FALSE(main->bttExcluir->isEnabled());
    EXPECT_FALSE(main->bttIncluir->isEnabled());
    EXPECT_THROW(ds(t)->edit(), SilentAbort);
    EXPECT_EQ(dialogs.lastMessage().text, "Usuário sem permissão para alterar !");
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    // Typing into the field is undone the same way.
    t->edtNome->setFocus();
    QTest::keyClicks(t->edtNome, "x");
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(rows("where nm_tp_analise like '%x'"), 0);
}

TEST_F(TipoAnaliseTest, AGroupWithoutComponentsIsRefusedAndGroupMinusOneIsNot) {
    login(4);
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    EXPECT_EQ(dialogs.lastMessage().text, "Usuário sem permissão para acessar Tipo de Ánalise");
    EXPECT_EQ(main->findChild<TfrmTipoAnalise*>("frmTipoAnalise"), nullptr);
    EXPECT_TRUE(main->gbpainelcontrole->isVisible());
    login(-1);
    TfrmTipoAnalise* t = open();
    ASSERT_TRUE(t);
    const RecordRights r = t->rights();
    EXPECT_TRUE(r.incluir && r.alterar && r.excluir && r.exportar);
}

TEST_F(TipoAnaliseTest, CaptionFollowsTheCompanyAndClosingWritesTheLogoff) {
    EXPECT_EQ(main->windowTitle(), "Nexmoro Cortivandela - Hidrolab");
    s_db->exec("delete from sis_log_login");
    s_db->exec(
        "update or insert into sis_usuario (id_usuario, nm_usuario, id_gr_usuario, nm_acesso, ds_senha) "
        "values (1, 'Maria', 2, 'MARIA', 'x') matching (id_usuario)");
    s_db->exec("insert into sis_log_login (id_log_login, id_usuario, id_gr_usuario, nm_aplicativo, dh_login) "
               "values (1, 1, 2, 'Nexmoro Cortivandela', current_timestamp)");
    main->it_iidLogLogin = 1;
    main->close();
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(s_db->scalar("select count(*) from sis_log_login where dh_logoff is not null").toInt(), 1);
}

TEST_F(TipoAnaliseTest, TheRegistrationUserRegistersTheScreenItActivates) {
    s_db->exec("update sis_formulario set ds_caption = 'antigo', st_modificado = 'N' where id_form = -1");
    login(-1, -2);
    TfrmTipoAnalise* t = open();
    ASSERT_TRUE(t);
    EXPECT_EQ(
        s_db->scalar("select ds_caption from sis_formulario where nm_form = 'frmTipoAnalise'").toString(),
        "Tipo de Ánalise");
    EXPECT_EQ(
        s_db->scalar("select count(*) from sis_componente where id_form = -1 and st_ativo = 'S'").toInt(), 7)
        << "the five record rights and the formula page's two buttons";
}

TEST_F(TipoAnaliseTest, AMainConnectionThatFailsShowsItsMessageAndEndsTheProgram) {
    IniFile(settingsPath()).writeString("IniServidor", "nomearquivo", s_db->folder() + "/NAO-EXISTE.ini");
    login(2);
    EXPECT_EQ(dialogs.lastMessage().text,
              "Dados do arquivo de inicialização incorreto ou servidor inativo...");
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Error);
    EXPECT_EQ(endRequests, 1);
    EXPECT_FALSE(main->IBSolution.connected());
}

TEST_F(TipoAnaliseTest, TheAboutWindowHidesTheRecordToolbarExceptExcel) {
    login(-1);
    TfrmTipoAnalise* t = open();
    ASSERT_TRUE(t);
    main->abreTelaRegistrada("frmSobre");
    pump();
    EXPECT_FALSE(main->bttIncluir->isVisible());
    EXPECT_TRUE(main->bttExcel->isVisible());
    main->mdi->setActiveSubWindow(t->subWindow());
    pump();
    EXPECT_TRUE(main->bttIncluir->isVisible());
    // Closing the record screen leaves the about window: the panel stays hidden behind it.
    t->subWindow()->close();
    pump();
    EXPECT_FALSE(main->gbpainelcontrole->isVisible());
    main->telaAtiva()->subWindow()->close();
    pump();
    EXPECT_TRUE(main->gbpainelcontrole->isVisible());
}

TEST_F(TipoAnaliseTest, AReportParameterScreenClosesWithEscAndKeepsItsPosition) {
    login(-1);
    auto* r = new TfrmParametroRelatorio("frmParRelTeste");
    main->gbpainelcontrole->hide();
    main->abreTela(r);
    pump();
    r->subWindow()->move(40, 30);
    r->mskNomeRelatorio->setFocus();
    QTest::keyClick(r->mskNomeRelatorio, Qt::Key_Escape);
    pump();
    EXPECT_EQ(main->findChild<TfrmParametroRelatorio*>("frmParRelTeste"), nullptr);
    EXPECT_TRUE(main->gbpainelcontrole->isVisible());
    EXPECT_TRUE(IniFile(settingsPath()).readString("frmParRelTeste", "Ficha", "").startsWith("30,40,"));
    r = new TfrmParametroRelatorio("frmParRelTeste");
    main->abreTela(r);
    pump();
    EXPECT_EQ(r->subWindow()->pos(), QPoint(40, 30));
}

TEST_F(TipoAnaliseTest, AScreenOpensAtItsDesignAfterAMaximizedOneClosedAndABadValueSaysWhatItIs) {
    login(-1);
    // The sizes the screens are designed for, as a fresh installation opens them.
    TfrmTipoAnalise* t = open();
    const QSize designAnalise = t->subWindow()->size();
    auto* r = new TfrmParametroRelatorio("frmParRelTeste");
    main->abreTela(r);
    pump();
    const QSize designRelatorio = r->subWindow()->size();
    r->subWindow()->close();
    t->subWindow()->close();
    pump();
    QFile::remove(settingsPath());
    IniFile(settingsPath()).writeString("IniServidor", "nomearquivo", s_db->folder() + "/TESTE.ini");

    // Two screens open; the grid of one maximized, then closed with Esc.
    t = open();
    r = new TfrmParametroRelatorio("frmParRelTeste");
    main->abreTela(r);
    pump();
    main->mdi->setActiveSubWindow(t->subWindow());
    pump();
    QTest::keyClick(t->edtNome, Qt::Key_F12);
    t->subWindow()->showMaximized();
    pump();
    QTest::keyClick(t->DBGrid1, Qt::Key_Escape);
    pump();
    ASSERT_EQ(main->findChild<TfrmTipoAnalise*>("frmTipoAnalise"), nullptr);
    IniFile ini(settingsPath());
    EXPECT_TRUE(ini.readString("frmTipoAnalise", "Tabela", "").endsWith(",2"));
    // The screen left keeps its size; one never opened before opens at its design size, normal,
    // and writes that size.
    EXPECT_FALSE(r->subWindow()->isMaximized());
    EXPECT_EQ(r->subWindow()->size(), designRelatorio);
    auto* outra = new TfrmParametroRelatorio("frmParRelOutra");
    main->abreTela(outra);
    pump();
    EXPECT_FALSE(outra->subWindow()->isMaximized());
    EXPECT_EQ(outra->subWindow()->size(), designRelatorio);
    EXPECT_EQ(QSize(outra->w, outra->h), designRelatorio);
    EXPECT_TRUE(ini.readString("frmParRelOutra", "Ficha", "")
                    .endsWith(QString(",%1,%2").arg(designRelatorio.height()).arg(designRelatorio.width())));
    outra->subWindow()->showMaximized();
    pump();
    outra->subWindow()->close();
    r->subWindow()->close();
    pump();
    // The record screen too: its form at the design size, its grid stored as it was left.
    t = open();
    EXPECT_FALSE(t->subWindow()->isMaximized());
    EXPECT_EQ(t->subWindow()->size(), designAnalise);
    EXPECT_EQ(QSize(t->w, t->h), designAnalise);
    QTest::keyClick(t->edtNome, Qt::Key_F12);
    EXPECT_TRUE(t->subWindow()->isMaximized());
    QTest::keyClick(t->DBGrid1, Qt::Key_F12);
    EXPECT_EQ(t->subWindow()->size(), designAnalise);
    t->subWindow()->close();
    pump();
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();

    // A value that is not a position: the notice names the file, the section, the key and the
    // value; the screen opens and its close writes a good value.
    ini.writeString("frmTipoAnalise", "Ficha", "abc,10,230,382");
    t = open();
    ASSERT_TRUE(t);
    ASSERT_EQ(dialogs.messageCount(), 1);
    const QString m = dialogs.lastMessage().text;
    EXPECT_TRUE(m.contains(settingsPath())) << m.toStdString();
    EXPECT_TRUE(m.contains("[frmTipoAnalise]")) << m.toStdString();
    EXPECT_TRUE(m.contains("chave Ficha")) << m.toStdString();
    EXPECT_TRUE(m.contains("\"abc,10,230,382\"")) << m.toStdString();
    EXPECT_FALSE(m.contains("guardadas")) << m.toStdString();
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(t->subWindow()->size(), designAnalise);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    t->subWindow()->move(12, 8);
    t->subWindow()->close();
    pump();
    EXPECT_EQ(ini.readString("frmTipoAnalise", "Ficha", ""),
              QString("8,12,%1,%2").arg(designAnalise.height()).arg(designAnalise.width()));
}

TEST_F(TipoAnaliseTest, ShowAllKeepsTheDesignCondition) {
    const QString design = padrao->IBQ_TipoAnalise.sqlText();
    padrao->IBQ_TipoAnalise.setSqlText(
        "select * from tab_tp_analise where id_tp_analise > 2\norder by nm_tp_analise");
    TfrmTipoAnalise* t = open();
    EXPECT_EQ(t->baseCondition(), "where id_tp_analise > 2\n");
    main->bttMostrarTodosClick();
    EXPECT_EQ(padrao->IBQ_TipoAnalise.sqlText(),
              "select * from tab_tp_analise  where 0=0  and  id_tp_analise > 2\n order by nm_tp_analise");
    ds(t)->fetchAll();
    EXPECT_EQ(ds(t)->recordCount(), 3);
    t->subWindow()->close();
    pump();
    EXPECT_EQ(padrao->IBQ_TipoAnalise.sqlText(),
              "select * from tab_tp_analise where id_tp_analise > 2\norder by nm_tp_analise");
    padrao->IBQ_TipoAnalise.setSqlText(design);
}

TEST_F(TipoAnaliseTest, AListThatCannotOpenIsReported) {
    const QString design = padrao->IBQ_TipoAnalise.sqlText();
    padrao->IBQ_TipoAnalise.setSqlText("select * from tabela_que_nao_existe");
    open();
    EXPECT_EQ(dialogs.lastMessage().text, "DataSet não pode ser aberto !");
    for (QMdiSubWindow* w : main->mdi->subWindowList())
        w->close();
    pump();
    padrao->IBQ_TipoAnalise.setSqlText(design);
}

TEST_F(TipoAnaliseTest, AboutWindowLinksGoThroughTheShell) {
    RecordingShell shell;
    ScopedShell useShell(shell);
    login(-1);
    main->abreTelaRegistrada("frmSobre");
    pump();
    auto* sobre = main->findChild<TfrmSobre*>("frmSobre");
    ASSERT_TRUE(sobre);
    EXPECT_TRUE(sobre->lbVersao->text().startsWith("Atualização: "));
    sobre->Label25Click();
    sobre->Label16Click();
    ASSERT_EQ(shell.opened().size(), 2);
    EXPECT_EQ(shell.opened()[0], "mailto: suporte@nexmoro.com.br?Subject=Dúvidas Nexmoro Talvena");
    EXPECT_EQ(shell.opened()[1], "mailto: contato@nexmoro.com.br?Subject=Nexmoro Talvena");
}

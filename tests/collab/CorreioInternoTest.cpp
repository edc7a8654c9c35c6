// Internal mail between two users of one database, driven through the real screen: the text of
// an unread message stays hidden from everyone but its sender, reading stamps the moment and
// fixes the message, only the sender changes or deletes it while unread (also when the other
// workstation read or deleted it after the list was opened), the lists' rows and order, the
// printout's values and its reading line, and the hidden menu that opens both screens.
#include "ColabFixture.h"
#include "collab/UnRelCorreioInterno.h"
#include "data/Query.h"
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#if __has_include("platform/report/ReportEngine.h")
#include "platform/report/ReportPreview.h"
#endif

namespace {

class CorreioInternoTest : public ColabTest {
protected:
    DataSet* ds(TfrmCorreioInterno* t) { return t->dsPadrao.dataSet(); }
    QString assunto(TfrmCorreioInterno* t) { return ds(t)->fieldByName("DS_ASSUNTO")->asString(); }
    bool vai(TfrmCorreioInterno* t, const QString& assuntoProcurado) {
        return ds(t)->locate("DS_ASSUNTO", assuntoProcurado);
    }
};

TEST_F(CorreioInternoTest, TheAddresseeSeesTheSubjectButNotTheTextUntilReading) {
    // João writes to Maria through the screen.
    login(2, kJoao);
    TfrmCorreioInterno* t = correio();
    ASSERT_TRUE(t);
    tecla(t->DBEdit3, Qt::Key_F2);
    ASSERT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(t->DBEdit4->text(), "João Pereira"_q);
    digita(t->DBEdit3, "Coleta extra");
    // Without an addressee nothing is stored and the user is told which field is missing.
    tecla(t->DBEdit3, Qt::Key_F3);
    EXPECT_EQ(dialogs.texts(), QStringList{"O campo \"Destinatário\" deve ser preenchido."_q});
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(banco("select count(*) from sis_comunicacao").toInt(), 0);
    dialogs.clear();
    digita(t->RxDBLookupCombo1, "Mar");
    digita(t->dbmMensagem, "Caldeira 02 na quinta-feira.");
    tecla(t->dbmMensagem, Qt::Key_F3);
    ASSERT_EQ(ds(t)->state(), DataSetState::Browse) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(banco("select id_remetente || '>' || id_destinatario || ' ' || dt_comunicacao || ' ' || "
                    "ho_comunicacao from sis_comunicacao")
                  .toString(),
              "2>1 2024-03-15 10:30:25.0000");
    EXPECT_EQ(banco("select ds_comunicacao from sis_comunicacao").toString(), "Caldeira 02 na quinta-feira.");
    // The sender sees the text of the message he sent.
    clica(t->BitBtn5);
    EXPECT_EQ(t->dbmMensagem->toPlainText(), "Caldeira 02 na quinta-feira.");

    // Maria opens the mail: the unread list shows subject and sender, not the text.
    login(2, kMaria);
    t = correio();
    ASSERT_TRUE(t);
    EXPECT_EQ(coluna(ds(t), "DS_ASSUNTO"), QStringList{"Coleta extra"});
    EXPECT_EQ(t->DBEdit3->text(), "Coleta extra");
    EXPECT_EQ(t->DBEdit4->text(), "João Pereira"_q);
    EXPECT_EQ(t->dbmMensagem->toPlainText(), "");
    EXPECT_TRUE(t->btnLerMensagem->isEnabled());
    EXPECT_FALSE(t->btnImprimir->isEnabled());
    EXPECT_FALSE(main->bttExcluir->isEnabled());
    // The grid shows the same list; the text is no column of it.
    EXPECT_EQ(t->DBGrid1->model()->rowCount(), 1);

    relogio.setNow(QDateTime(QDate(2024, 3, 16), QTime(8, 5, 40)));
    clica(t->btnLerMensagem);
    EXPECT_EQ(banco("select dt_receb || ' ' || ho_receb from sis_comunicacao").toString(),
              "2024-03-16 08:05:40.0000");
    EXPECT_EQ(t->dbmMensagem->toPlainText(), "Caldeira 02 na quinta-feira.");
    EXPECT_EQ(t->DBEdit5->text(), "16/03/2024");
    EXPECT_EQ(t->DBEdit6->text(), "08:05");
    EXPECT_FALSE(t->btnLerMensagem->isEnabled());
    EXPECT_TRUE(t->btnImprimir->isEnabled());
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join("|").toStdString();
    // Read, it leaves the unread list at the next listing and stays among the received.
    clica(t->btnMensagemRecebida);
    EXPECT_TRUE(coluna(ds(t), "DS_ASSUNTO").isEmpty());
    clica(t->BitBtn4);
    EXPECT_EQ(coluna(ds(t), "DS_ASSUNTO"), QStringList{"Coleta extra"});
    EXPECT_EQ(t->dbmMensagem->toPlainText(), "Caldeira 02 na quinta-feira.");
}

TEST_F(CorreioInternoTest, ListsHoldTheUsersMessagesNewestFirstByDateThenTime) {
    mensagem(1, "2024-03-10 09:00:00", kJoao, kMaria, "antiga", "a");
    mensagem(2, "2024-03-12 08:00:00", kAna, kMaria, "cedo", "b", "2024-03-12 09:00:00");
    mensagem(3, "2024-03-12 17:45:00", kJoao, kMaria, "tarde", "c");
    mensagem(4, "2024-03-11 23:59:00", kMaria, kJoao, "enviada 1", "d");
    mensagem(5, "2024-03-14 07:00:00", kMaria, kAna, "enviada 2", "e", "2024-03-14 08:00:00");
    mensagem(6, "2024-03-14 07:00:00", kJoao, kAna, "de outros", "f");
    TfrmCorreioInterno* t = correio();
    ASSERT_TRUE(t);
    EXPECT_EQ(coluna(ds(t), "DS_ASSUNTO"), (QStringList{"tarde", "antiga"}));
    clica(t->BitBtn4);
    EXPECT_EQ(coluna(ds(t), "DS_ASSUNTO"), (QStringList{"tarde", "cedo", "antiga"}));
    clica(t->BitBtn5);
    EXPECT_EQ(coluna(ds(t), "DS_ASSUNTO"), (QStringList{"enviada 2", "enviada 1"}));
    clica(t->btnMensagemRecebida);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.002");
    // Todos lists every message; the unread text of other users' messages stays hidden.
    QTest::mouseClick(main->bttMostrarTodos, Qt::LeftButton);
    EXPECT_EQ(coluna(ds(t), "ID_COMUNICACAO").size(), 6);
    ASSERT_TRUE(vai(t, "de outros"));
    EXPECT_EQ(t->dbmMensagem->toPlainText(), "");
    EXPECT_FALSE(t->btnLerMensagem->isEnabled());
    ASSERT_TRUE(vai(t, "enviada 2"));
    EXPECT_EQ(t->dbmMensagem->toPlainText(), "e");
}

TEST_F(CorreioInternoTest, OnlyTheSenderChangesOrDeletesAnUnreadMessageAndNobodyAReadOne) {
    mensagem(1, "2024-03-14 10:00:00", kJoao, kMaria, "para Maria", "texto 1");
    mensagem(2, "2024-03-14 11:00:00", kMaria, kJoao, "rascunho", "texto 2");
    mensagem(3, "2024-03-13 11:00:00", kMaria, kJoao, "lida", "texto 3", "2024-03-13 12:00:00");
    TfrmCorreioInterno* t = correio();
    ASSERT_TRUE(t);
    // The addressee cannot change the message she received: typing changes nothing.
    ASSERT_EQ(assunto(t), "para Maria");
    digita(t->DBEdit3, "X");
    digita(t->dbmMensagem, "Y");
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_FALSE(main->bttExcluir->isEnabled());
    // Any other way into edit state is undone at once, without a message.
    EXPECT_THROW(ds(t)->edit(), SilentAbort);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);

    clica(t->BitBtn5);
    ASSERT_EQ(assunto(t), "rascunho");
    EXPECT_TRUE(main->bttExcluir->isEnabled());
    digita(t->DBEdit3, " revisto");
    ASSERT_EQ(ds(t)->state(), DataSetState::Edit);
    tecla(t->DBEdit3, Qt::Key_F3);
    EXPECT_EQ(banco("select ds_assunto from sis_comunicacao where id_comunicacao = 2").toString(),
              "rascunho revisto");
    // The read message is fixed for its sender as well, and cannot be deleted.
    ASSERT_TRUE(vai(t, "lida"));
    EXPECT_FALSE(main->bttExcluir->isEnabled());
    digita(t->DBEdit3, "Z");
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    tecla(t->DBEdit3, Qt::Key_F5);
    // Not even the view switch gives the delete back.
    tecla(t->DBEdit3, Qt::Key_F12);
    pump();
    EXPECT_FALSE(main->bttExcluir->isEnabled());
    tecla(t->DBGrid1, Qt::Key_F12);
    pump();
    EXPECT_EQ(banco("select count(*) from sis_comunicacao where id_comunicacao = 3").toInt(), 1);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join("|").toStdString();
    // The unread one goes when its sender deletes it.
    ASSERT_TRUE(vai(t, "rascunho revisto"));
    dialogs.queueAnswer(MsgAnswer::Yes);
    tecla(t->DBEdit3, Qt::Key_F5);
    EXPECT_EQ(banco("select count(*) from sis_comunicacao where id_comunicacao = 2").toInt(), 0);
}

TEST_F(CorreioInternoTest, AListOlderThanTheOtherWorkstationsChangeNeverOverridesIt) {
    mensagem(1, "2024-03-14 10:00:00", kMaria, kJoao, "a alterar", "texto 1");
    mensagem(2, "2024-03-14 11:00:00", kMaria, kJoao, "a excluir", "texto 2");
    mensagem(3, "2024-03-14 12:00:00", kJoao, kMaria, "apagada", "texto 3");
    TfrmCorreioInterno* t = correio();
    ASSERT_TRUE(t);
    clica(t->BitBtn5);
    // João reads both messages on his workstation after Maria's list was opened.
    s_db->exec(
        "update sis_comunicacao set dt_receb = '2024-03-15', ho_receb = '10:00:00' where id_remetente = 1");
    // Her list still shows them unread and offers the delete; it is refused when attempted.
    ASSERT_TRUE(vai(t, "a excluir"));
    EXPECT_TRUE(main->bttExcluir->isEnabled());
    dialogs.queueAnswer(MsgAnswer::Yes);
    tecla(t->DBEdit3, Qt::Key_F5);
    EXPECT_EQ(dialogs.lastMessage().text,
              "Esta mensagem já foi lida pelo destinatário e não pode mais ser excluída."_q);
    EXPECT_EQ(banco("select count(*) from sis_comunicacao where id_comunicacao = 2").toInt(), 1);
    // A change is refused at the save.
    ASSERT_TRUE(vai(t, "a alterar"));
    digita(t->DBEdit3, " agora");
    tecla(t->DBEdit3, Qt::Key_F3);
    EXPECT_EQ(
        dialogs.lastMessage().text,
        "Esta mensagem já foi lida pelo destinatário e não pode mais ser alterada. Cancele a alteração."_q);
    EXPECT_EQ(banco("select ds_assunto from sis_comunicacao where id_comunicacao = 1").toString(),
              "a alterar");
    // What she typed is still on the screen; cancelling shows the message as it is now: read.
    EXPECT_EQ(t->DBEdit3->text(), "a alterar agora");
    tecla(t->DBEdit3, Qt::Key_F6);
    EXPECT_EQ(t->DBEdit5->text(), "15/03/2024");
    EXPECT_FALSE(main->bttExcluir->isEnabled());

    // João deletes a message Maria has not read yet while her unread list shows it.
    clica(t->btnMensagemRecebida);
    ASSERT_EQ(assunto(t), "apagada");
    s_db->exec("delete from sis_comunicacao where id_comunicacao = 3");
    dialogs.clear();
    clica(t->btnLerMensagem);
    EXPECT_EQ(dialogs.texts(), QStringList{"Esta mensagem foi excluída pelo remetente."_q});
    EXPECT_TRUE(coluna(ds(t), "DS_ASSUNTO").isEmpty());
    EXPECT_EQ(banco("select count(*) from sis_comunicacao").toInt(), 2);
}

TEST_F(CorreioInternoTest, ReadingNeedsTheEditRightAndLeavesTheMessageUnreadWithout) {
    mensagem(1, "2024-03-14 10:00:00", kJoao, kMaria, "sem direito", "texto");
    login(3, kMaria);
    TfrmCorreioInterno* t = correio();
    ASSERT_TRUE(t);
    ASSERT_EQ(assunto(t), "sem direito");
    clica(t->btnLerMensagem);
    EXPECT_EQ(dialogs.texts(), QStringList{"Usuário sem permissão para alterar !"_q});
    EXPECT_TRUE(banco("select dt_receb from sis_comunicacao").isNull());
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_TRUE(t->editar.isEmpty());
    EXPECT_EQ(t->dbmMensagem->toPlainText(), "");
    // A group without the button's right never gets it enabled by the message's rule.
    login(4, kMaria);
    t = correio();
    ASSERT_EQ(assunto(t), "sem direito");
    EXPECT_FALSE(t->btnLerMensagem->isEnabled());
}

TEST_F(CorreioInternoTest, AMessageBeingWrittenSurvivesSwitchingScreensAndListing) {
    TfrmCorreioInterno* t = correio();
    ASSERT_TRUE(t);
    tecla(t->DBEdit3, Qt::Key_F2);
    digita(t->DBEdit3, "pela metade");
    // Another screen and back: the activation shows the unread list, but not over the new message.
    agenda();
    EXPECT_EQ(correio(), t);
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(t->DBEdit3->text(), "pela metade");
    // A list button asks first; "Não" discards, nothing is written.
    dialogs.queueAnswer(MsgAnswer::No);
    clica(t->BitBtn5);
    EXPECT_EQ(dialogs.lastMessage().text, "Salvar alterações ?"_q);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(banco("select count(*) from sis_comunicacao").toInt(), 0);
}

TEST_F(CorreioInternoTest, ThePrintoutCarriesTheMessageAndItsReadingLine) {
    mensagem(1, "2024-03-14 09:15:00", kJoao, kMaria, "Laudo pronto", "Pode buscar o laudo amanhã.",
             "2024-03-14 10:42:00");
    mensagem(0, "2024-03-13 09:15:00", kJoao, kMaria, "chave zero", "x", "2024-03-13 10:00:00");
    std::vector<RelCorreioInterno> impressos;
    SaidaRelCorreioInterno antes =
        instalaSaidaRelCorreioInterno([&](const RelCorreioInterno& r) { impressos.push_back(r); });
    TfrmCorreioInterno* t = correio();
    ASSERT_TRUE(t);
    clica(t->BitBtn4);
    ASSERT_TRUE(vai(t, "Laudo pronto"));
    clica(t->btnImprimir);
    ASSERT_EQ(impressos.size(), 1u) << dialogs.texts().join("|").toStdString();
    const RelCorreioInterno& r = impressos[0];
    EXPECT_EQ(r.caption, "Relatório de Correio Interno"_q);
    EXPECT_EQ(
        r.textos(),
        (QStringList{"Correio Interno",
                     "Mensagem criada em 14/03/2024 às 09:15 Remetente: João Pereira Assunto: Laudo pronto "
                     "Destinatário: Maria Souza Conteúdo da Mensagem: Pode buscar o laudo amanhã."_q,
                     "Mensagem Lida em: 14/03/2024 às 10:42"_q,
                     "Nexmoro Cortivandela Data: <data> <hora> Página <pagina>"_q}));
    // The reading line is the detail's child band; the text grows its memo, the rule follows it.
    const FaixaRel* filha = r.faixa("ChildBand1");
    ASSERT_TRUE(filha);
    EXPECT_EQ(filha->tipo, FaixaRel::Tipo::FilhaDoDetalhe);
    EXPECT_EQ(filha->vezes, 1);
    EXPECT_EQ(r.faixa("Detail")->elemento("qrsLinhaMensagem")->abaixoDe, "qrmMensagem");
    EXPECT_EQ(r.faixa("Title")->elemento("imgLogo"), nullptr);

    // With the company logo in the parameter row the title carries it.
    const QByteArray jpeg("\xFF\xD8\xFF\xE0 logo", 10);
    Query logo(&s_db->db);
    logo.setSqlText("update tab_parametro set logo_empresa = :logo");
    logo.setParam("logo", jpeg);
    logo.execSQL();
    s_db->exec("commit retain");
    clica(t->btnImprimir);
    ASSERT_EQ(impressos.size(), 2u);
    ASSERT_TRUE(impressos[1].faixa("Title")->elemento("imgLogo"));
    EXPECT_EQ(impressos[1].faixa("Title")->elemento("imgLogo")->imagem, jpeg);
    s_db->exec("update tab_parametro set logo_empresa = null");

    // A message whose key is 0 is not printed.
    ASSERT_TRUE(vai(t, "chave zero"));
    dialogs.clear();
    clica(t->btnImprimir);
    EXPECT_EQ(dialogs.texts(), QStringList{"Não existem dados para serem impressos !"_q});
    EXPECT_EQ(impressos.size(), 2u);
    instalaSaidaRelCorreioInterno(antes);
}

#if __has_include("platform/report/ReportEngine.h")
// The printout drawn by the band report engine, read back from its PDF with pdftotext.
TEST_F(CorreioInternoTest, ThePrintedPageCarriesTheReadingLine) {
    mensagem(1, "2024-03-14 09:15:00", kJoao, kMaria, "Laudo pronto", "Pode buscar o laudo amanhã.",
             "2024-03-14 10:42:00");
    QTemporaryDir pasta;
    ScriptedReportPreview preview;
    preview.setPdfPath(pasta.filePath("correio.pdf"));
    ScopedReportPreview usaPreview(preview);
    TfrmCorreioInterno* t = correio();
    ASSERT_TRUE(t);
    clica(t->BitBtn4);
    clica(t->btnImprimir);
    ASSERT_EQ(preview.count(), 1) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(preview.last().caption, "Relatório de Correio Interno"_q);
    EXPECT_EQ(preview.last().pageCount, 1);
    QProcess texto;
    texto.start("pdftotext", {"-layout", preview.last().pdfPath, "-"});
    ASSERT_TRUE(texto.waitForFinished(30000));
    const QString pagina = QString::fromUtf8(texto.readAllStandardOutput()).simplified();
    for (const QString& frase :
         {"Correio Interno"_q, "Mensagem criada em 14/03/2024 às 09:15"_q, "Remetente: João Pereira"_q,
          "Assunto: Laudo pronto"_q, "Destinatário: Maria Souza"_q, "Pode buscar o laudo amanhã."_q,
          "Mensagem Lida em: 14/03/2024 às 10:42"_q, "Nexmoro Cortivandela"_q, "Página 1"_q})
        EXPECT_TRUE(pagina.contains(frase)) << frase.toStdString() << "\n" << pagina.toStdString();
}
#endif

TEST_F(CorreioInternoTest, TheHiddenUtilitiesMenuOpensBothScreens) {
    QMenu* m = main->menuDe("Utilitários"_q);
    ASSERT_TRUE(m);
    EXPECT_FALSE(m->menuAction()->isVisible());
    QStringList itens;
    for (QAction* a : m->actions())
        itens << a->objectName() + "=" + a->text();
    EXPECT_EQ(itens, (QStringList{"miCorreioInterno=Correio Interno", "AgendadeTarefas1=Agenda de Tarefas"}));
    m->actions()[0]->trigger();
    pump();
    EXPECT_NE(main->findChild<TfrmCorreioInterno*>("frmCorreioInterno"), nullptr);
    m->actions()[1]->trigger();
    pump();
    EXPECT_NE(main->findChild<TfrmAgendaTarefas*>("frmAgendaTarefas"), nullptr);
    // Neither is offered on the control panel.
    EXPECT_EQ(main->gbpainelcontrole->findChild<QPushButton*>("btnPainel_miCorreioInterno"), nullptr);
}

} // namespace

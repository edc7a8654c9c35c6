// The task agenda through its real screen: the button rule (a concluded task never started may
// still be started; only the creator cancels; rights win over the rule), the state actions and
// their cancels as saved, a new task's creator, the three pending lists with their rows and
// order, and the labels of a linked sales document.
#include "ColabFixture.h"
#include <QLabel>

namespace {

class AgendaTarefasTest : public ColabTest {
protected:
    DataSet* ds(TfrmAgendaTarefas* t) { return t->dsPadrao.dataSet(); }
    // The screen on every task, in creation order newest first.
    TfrmAgendaTarefas* agendaComTodas() {
        TfrmAgendaTarefas* t = agenda();
        if (t) QTest::mouseClick(main->bttMostrarTodos, Qt::LeftButton);
        return t;
    }
    bool vai(TfrmAgendaTarefas* t, int id) { return ds(t)->locate("ID_TAREFA", id); }
    QString linha(const QString& coluna, int id) {
        return banco(QString(
                         "select coalesce(cast(%1 as varchar(40)), '') from tab_tarefa where id_tarefa = %2")
                         .arg(coluna)
                         .arg(id))
            .toString();
    }
    // Start, conclude and the three cancels, enabled or not, in that order.
    static QString estados(TfrmAgendaTarefas* t) {
        QString r;
        for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
                 t->BtnTarefaIniciada, t->BtnTarefaConcluida, t->BtnCancelarInicio, t->BtnCancelarConclusao,
                 t->btnCancelarAviso})
            r += b->isEnabled() ? 'S' : 'N';
        return r;
    }
};

TEST_F(AgendaTarefasTest, TheButtonRuleFollowsTheTaskAndItsCreator) {
    tarefa({.id = 1, .criador = kMaria, .aviso = kJoao, .assunto = "pendente"});
    tarefa({.id = 2,
            .criador = kMaria,
            .aviso = kJoao,
            .assunto = "iniciada",
            .criacao = "2024-03-02 08:00:00",
            .inicio = "2024-03-05 09:00:00",
            .usuInicio = kJoao});
    tarefa({.id = 3,
            .criador = kMaria,
            .aviso = kJoao,
            .assunto = "concluida sem inicio",
            .criacao = "2024-03-03 08:00:00",
            .conclusao = "2024-03-06 09:00:00",
            .usuConclusao = kJoao});
    tarefa({.id = 4,
            .criador = kJoao,
            .aviso = kMaria,
            .assunto = "de outro",
            .criacao = "2024-03-04 08:00:00"});
    TfrmAgendaTarefas* t = agenda();
    ASSERT_TRUE(t);
    // The list opens empty: nothing to start or cancel.
    EXPECT_EQ(estados(t), "NNNNN");
    QTest::mouseClick(main->bttMostrarTodos, Qt::LeftButton);
    EXPECT_EQ(coluna(ds(t), "DS_TAREFA"),
              (QStringList{"de outro", "concluida sem inicio", "iniciada", "pendente"}));
    ASSERT_TRUE(vai(t, 1));
    EXPECT_EQ(estados(t), "SSSSS");
    ASSERT_TRUE(vai(t, 2));
    EXPECT_EQ(estados(t), "NSSSS");
    // A task concluded without ever being started can still be marked as started.
    ASSERT_TRUE(vai(t, 3));
    EXPECT_EQ(estados(t), "SNSSS");
    // Only the creator may cancel.
    ASSERT_TRUE(vai(t, 4));
    EXPECT_EQ(estados(t), "SSNNN");
    clica(t->BtnCancelarInicio);
    clica(t->btnCancelarAviso);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    // Rights win over the rule: group 4 may not start tasks.
    login(4, kMaria);
    t = agendaComTodas();
    ASSERT_TRUE(vai(t, 1));
    EXPECT_EQ(estados(t), "NSSSS");
}

TEST_F(AgendaTarefasTest, StartConcludeAndTheirCancelsBecomePermanentWhenSaved) {
    tarefa({.id = 1, .criador = kMaria, .aviso = kJoao, .assunto = "coletar", .dtAviso = "2024-03-20"});
    login(2, kJoao);
    TfrmAgendaTarefas* t = agendaComTodas();
    ASSERT_TRUE(t);
    clica(t->BtnTarefaIniciada);
    EXPECT_EQ(ds(t)->state(), DataSetState::Edit);
    EXPECT_EQ(t->DBEdit_DHInicio->text(), "15/03/2024 10:30:25");
    EXPECT_EQ(t->DBEdit_UsuInicio->text(), "João Pereira"_q);
    EXPECT_EQ(estados(t), "NSNNN");
    tecla(t->DBEdit_Assunto, Qt::Key_F3);
    relogio.setNow(QDateTime(QDate(2024, 3, 18), QTime(16, 0, 7)));
    clica(t->BtnTarefaConcluida);
    tecla(t->DBEdit_Assunto, Qt::Key_F3);
    EXPECT_EQ(linha("dh_inicio", 1), "2024-03-15 10:30:25.0000");
    EXPECT_EQ(linha("id_usuario_inicio", 1), "2");
    EXPECT_EQ(linha("dh_conclusao", 1), "2024-03-18 16:00:07.0000");
    EXPECT_EQ(linha("id_usuario_conclusao", 1), "2");
    EXPECT_EQ(estados(t), "NNNNN");

    // The creator moves it back: cancelling the conclusion and the start, and the warning day.
    login(2, kMaria);
    t = agendaComTodas();
    ASSERT_TRUE(vai(t, 1));
    EXPECT_EQ(estados(t), "NNSSS");
    clica(t->BtnCancelarConclusao);
    EXPECT_EQ(estados(t), "NSSSS");
    clica(t->BtnCancelarInicio);
    EXPECT_EQ(estados(t), "SSSSS");
    EXPECT_EQ(t->DBEdit_DHInicio->text(), "");
    EXPECT_EQ(t->DBEdit_UsuInicio->text(), "");
    clica(t->btnCancelarAviso);
    // Nothing is stored before Salvar.
    EXPECT_EQ(linha("dh_inicio", 1), "2024-03-15 10:30:25.0000");
    tecla(t->DBEdit_Assunto, Qt::Key_F3);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse) << dialogs.texts().join("|").toStdString();
    for (const char* c :
         {"dh_inicio", "id_usuario_inicio", "dh_conclusao", "id_usuario_conclusao", "dt_aviso"})
        EXPECT_EQ(linha(c, 1), "") << c;
    // The user to warn stays.
    EXPECT_EQ(linha("id_usuario_aviso", 1), "2");
}

TEST_F(AgendaTarefasTest, WithoutTheEditRightTheActionsStopAndTheTaskIsUnchanged) {
    tarefa({.id = 1, .criador = kMaria, .aviso = kMaria, .assunto = "sem direito", .dtAviso = "2024-03-20"});
    login(3, kMaria);
    TfrmAgendaTarefas* t = agendaComTodas();
    ASSERT_TRUE(t);
    clica(t->BtnTarefaIniciada);
    clica(t->btnCancelarAviso);
    EXPECT_EQ(dialogs.texts(), (QStringList{"Usuário sem permissão para alterar !"_q,
                                            "Usuário sem permissão para alterar !"_q}));
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(t->DBEdit_DHInicio->text(), "");
    EXPECT_EQ(linha("dt_aviso", 1), "2024-03-20");
}

TEST_F(AgendaTarefasTest, ANewTaskRecordsItsCreatorWhoMayThenCancel) {
    TfrmAgendaTarefas* t = agenda();
    ASSERT_TRUE(t);
    tecla(t->DBEdit_Assunto, Qt::Key_F2);
    ASSERT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(t->DBEdit_DHCriacao->text(), "15/03/2024 10:30:25");
    EXPECT_EQ(t->DBEdit_UsuCriacao->text(), "Maria Souza");
    digita(t->DBEdit_Assunto, "Renovar proposta");
    clica(t->chkComercial);
    tecla(t->DBEdit_Assunto, Qt::Key_F3);
    ASSERT_EQ(ds(t)->state(), DataSetState::Browse) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(linha("dh_criacao", 1), "2024-03-15 10:30:25.0000");
    EXPECT_EQ(linha("id_usuario_criacao", 1), "1");
    EXPECT_EQ(linha("st_comercial", 1), "S");
    // The boxes left unticked are stored "N", not empty.
    for (const char* depto : {"st_operacional", "st_administrativo", "st_financeiro", "st_compras"})
        EXPECT_EQ(linha(depto, 1), "N") << depto;
    EXPECT_EQ(estados(t), "SSSSS");
    // On another user's screen the same task offers no cancel.
    login(2, kJoao);
    t = agendaComTodas();
    EXPECT_EQ(estados(t), "SSNNN");
}

TEST_F(AgendaTarefasTest, PendingListsHoldTheirRowsByWarningDay) {
    // Maria (operational), João (commercial), Ana (financial and purchasing).
    tarefa({.id = 1,
            .criador = kJoao,
            .aviso = kMaria,
            .assunto = "maria tarde",
            .deptos = "NSNNN",
            .criacao = "2024-03-05 08:00:00",
            .dtAviso = "2024-03-25"});
    tarefa({.id = 2,
            .criador = kJoao,
            .aviso = kMaria,
            .assunto = "maria cedo",
            .deptos = "SNNNN",
            .criacao = "2024-03-01 08:00:00",
            .dtAviso = "2024-03-18"});
    tarefa({.id = 3,
            .criador = kJoao,
            .aviso = QVariant(),
            .assunto = "todos do depto",
            .deptos = "NSNNN",
            .criacao = "2024-03-02 08:00:00",
            .dtAviso = "2024-03-16"});
    tarefa({.id = 4,
            .criador = kMaria,
            .aviso = kMaria,
            .assunto = "maria concluida",
            .deptos = "NSNNN",
            .criacao = "2024-03-03 08:00:00",
            .dtAviso = "2024-03-17",
            .conclusao = "2024-03-10 08:00:00",
            .usuConclusao = kMaria});
    tarefa({.id = 5,
            .criador = kMaria,
            .aviso = kAna,
            .assunto = "ana compras",
            .deptos = "NNNNS",
            .criacao = "2024-03-04 08:00:00",
            .dtAviso = "2024-03-19"});
    tarefa({.id = 6,
            .criador = kMaria,
            .aviso = kJoao,
            .assunto = "joao fora do depto",
            .deptos = "NSNNN",
            .criacao = "2024-03-06 08:00:00",
            .dtAviso = "2024-03-15"});
    TfrmAgendaTarefas* t = agenda();
    ASSERT_TRUE(t);
    // The screen opens sorted by creation, newest first.
    QTest::mouseClick(main->bttMostrarTodos, Qt::LeftButton);
    EXPECT_EQ(coluna(ds(t), "ID_TAREFA"), (QStringList{"6", "1", "5", "4", "3", "2"}));
    // Only tasks naming Maria as the user to warn; tasks for a whole department are not hers.
    clica(t->BtnTarefaPendente);
    EXPECT_EQ(coluna(ds(t), "ID_TAREFA"), (QStringList{"2", "1"}));
    // Tasks whose user to warn belongs to one of the task's departments, whoever looks.
    clica(t->BtnPendentesDepto);
    EXPECT_EQ(coluna(ds(t), "ID_TAREFA"), (QStringList{"5", "1"}));
    login(2, kJoao);
    t = agenda();
    clica(t->BtnPendentesDepto);
    EXPECT_EQ(coluna(ds(t), "ID_TAREFA"), (QStringList{"5", "1"}));
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.002");
    // Todos after it lists every task once.
    QTest::mouseClick(main->bttMostrarTodos, Qt::LeftButton);
    EXPECT_EQ(coluna(ds(t), "ID_TAREFA"), (QStringList{"6", "1", "5", "4", "3", "2"}));
    clica(t->BtnTodasPendentes);
    EXPECT_EQ(coluna(ds(t), "ID_TAREFA"), (QStringList{"6", "3", "2", "5", "1"}));
    clica(t->BtnTarefaPendente);
    EXPECT_EQ(coluna(ds(t), "ID_TAREFA"), (QStringList{"6"}));
}

TEST_F(AgendaTarefasTest, TheLinkedSalesDocumentIsShownReadOnly) {
    tarefa({.id = 1, .criador = kMaria, .aviso = kMaria, .assunto = "sem documento"});
    tarefa({.id = 2,
            .criador = kMaria,
            .aviso = kMaria,
            .assunto = "com documento",
            .criacao = "2024-03-02 08:00:00",
            .nf = 7});
    tarefa({.id = 3,
            .criador = kMaria,
            .aviso = kMaria,
            .assunto = "documento sumido",
            .criacao = "2024-03-03 08:00:00",
            .nf = 99});
    TfrmAgendaTarefas* t = agendaComTodas();
    ASSERT_TRUE(t);
    auto rotulos = [t] {
        return QStringList{t->lblNatureza->text(), t->lblDocumento->text(), t->lblEmissao->text()};
    };
    ASSERT_TRUE(vai(t, 2));
    EXPECT_EQ(rotulos(), (QStringList{"Venda de Mercadoria", "Documento: 1 4711", "Emissão: 10/03/2024"_q}));
    ASSERT_TRUE(vai(t, 1));
    EXPECT_EQ(rotulos(), (QStringList{" ", "Documento: ", "Emissão: "_q}));
    ASSERT_TRUE(vai(t, 3));
    EXPECT_EQ(rotulos(), (QStringList{" ", "Documento: ", "Emissão: "_q}));
    // The person button needs a chosen person.
    EXPECT_FALSE(t->BitBtn4->isEnabled());
    EXPECT_EQ(t->lkPessoa->currentText(), "<Nenhuma>");
    digita(t->lkPessoa, "Usina");
    EXPECT_EQ(ds(t)->fieldByName("ID_PESSOA")->value().toInt(), 10);
    EXPECT_TRUE(t->BitBtn4->isEnabled());
}

} // namespace

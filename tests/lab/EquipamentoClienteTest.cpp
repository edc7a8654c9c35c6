// The client-equipment screen: the client through the person search, the situation rules of the
// data module (initial -246, today's date on a change, -247 needs an observation), the situation
// texts as the database holds them, and the type of a sampled equipment kept.
#include "LabFixture.h"
#include "lab/UnCadastroEquipamentodoCliente.h"
#include "screens/UnPermissoes.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/DBMemo.h"
#include "search/CampoCombo.h"
#include "search/UnOrdena.h"
#include "search/UnPesquisa.h"
#include "search/UnPesquisaPessoaComercio.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

class EquipamentoClienteTest : public LabTest {
protected:
    using Tela = TfrmCadastroEquipamentodoCliente;
    Tela* abreTela() { return abre<Tela>("frmCadastroEquipamentodoCliente"); }
    // Opens the list with every equipment and goes to the one of that key.
    Tela* abreNo(int id) {
        Tela* t = abreTela();
        t->edtNomeEquipamento->setFocus();
        tecla(Qt::Key_F7);
        while (t->dsPadrao.dataSet()->fieldByName("ID_EQUIPAMENTO_CLI")->asInteger() != id &&
               !t->dsPadrao.dataSet()->eof())
            tecla(Qt::Key_Right, Qt::AltModifier);
        EXPECT_EQ(t->dsPadrao.dataSet()->fieldByName("ID_EQUIPAMENTO_CLI")->asInteger(), id);
        return t;
    }
    DataSet* ds(Tela* t) { return t->dsPadrao.dataSet(); }
    QVariant coluna(int id, const QString& c) {
        return scalar(
            QString("select %1 from tab_equipamento_cli where id_equipamento_cli = %2").arg(c).arg(id));
    }
    // Clicks the client button and, in the person search, types the code and presses Enter
    // (an empty code closes the search with Esc).
    void escolheCliente(Tela* t, const QString& codigo) {
        noDialogo<TfrmPesquisaPessoaComercio>([codigo](TfrmPesquisaPessoaComercio& d) {
            EXPECT_EQ(d.lblLegendaParametro->text(), "Parâmetros para Pesquisa de Pessoas");
            if (codigo.isEmpty()) {
                tecla(Qt::Key_Escape);
                return;
            }
            substitui(d.findChild<QLineEdit*>("mskCodigo"), codigo);
            tecla(Qt::Key_Return);
        });
        clica(t->btnPesquisaPessoa);
        pump();
        EXPECT_TRUE(m_dialogoVisto);
    }
    // Moves a drop-down by n entries with the arrow keys.
    static void move(DBLookupCombo* c, int n) {
        c->setFocus();
        for (int i = 0; i < std::abs(n); ++i)
            tecla(n > 0 ? Qt::Key_Down : Qt::Key_Up);
    }
    static void digitaData(DBDateEdit* d, const QString& ddmmaaaa) {
        d->setFocus();
        d->setCursorPosition(0);
        digita(ddmmaaaa);
    }
};

TEST_F(EquipamentoClienteTest, ANewEquipmentStartsAwaitingAndGetsTodayWhenSaved) {
    Tela* t = abreTela();
    EXPECT_EQ(t->windowTitle(), "Equipamentos do Cliente");
    t->edtNomeEquipamento->setFocus();
    tecla(Qt::Key_F2);
    ASSERT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(ds(t)->fieldByName("ID_SITAUCAO_EQUIPAMENTO")->asInteger(), -246);
    EXPECT_EQ(t->lkSituacao->currentText(), textoAguardando());
    EXPECT_EQ(t->dtSituacao->date(), QDate());
    escolheCliente(t, "31");
    EXPECT_EQ(t->edtCliente->text(), "LATICÍNIOS BOA VISTA");
    move(t->lkTipoEquipamento, 1);
    EXPECT_EQ(t->lkTipoEquipamento->currentText(), "Caldeira");
    substitui(t->edtNomeEquipamento, "Caldeira 05 - Biomassa");
    digitaData(t->dtProposta, "01032024");
    substitui(t->edtNoProposta, "0107/2024");
    substitui(t->edtProdutos, "HIDROX 110, HIDROFOS 80");
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(coluna(3, "id_cliente").toInt(), 31);
    EXPECT_EQ(coluna(3, "id_tp_equipamento").toInt(), 1);
    EXPECT_EQ(coluna(3, "id_sitaucao_equipamento").toInt(), -246);
    EXPECT_EQ(coluna(3, "dt_situacao_equipamento").toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(coluna(3, "dt_proposta").toDate(), QDate(2024, 3, 1));
    EXPECT_EQ(coluna(3, "ds_produtos").toString(), "HIDROX 110, HIDROFOS 80");
    EXPECT_EQ(t->dtSituacao->date(), QDate(2024, 3, 15));
}

TEST_F(EquipamentoClienteTest, SaveNeedsClientTypeAndName) {
    Tela* t = abreTela();
    t->edtNomeEquipamento->setFocus();
    tecla(Qt::Key_F2);
    substitui(t->edtNomeEquipamento, "Sem cliente");
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.texts(), QStringList{"O campo \"Cliente\" deve ser preenchido."});
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(scalar("select count(*) from tab_equipamento_cli").toInt(), 2);
}

TEST_F(EquipamentoClienteTest, TheClientIsChosenOnlyThroughTheSearch) {
    Tela* t = abreNo(2);
    EXPECT_EQ(t->edtCliente->text(), "LATICÍNIOS BOA VISTA");
    EXPECT_TRUE(t->edtCliente->isReadOnly());
    EXPECT_EQ(t->edtCliente->focusPolicy(), Qt::NoFocus);
    // Cancelled: nothing changes and the record is not put into editing.
    escolheCliente(t, "");
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(ds(t)->fieldByName("ID_CLIENTE")->asInteger(), 31);
    // Chosen while browsing: editing, and the new name shown at once.
    escolheCliente(t, "32");
    EXPECT_EQ(ds(t)->state(), DataSetState::Edit);
    EXPECT_EQ(t->edtCliente->text(), "CARLOS MENDES");
    t->edtNomeEquipamento->setFocus();
    tecla(Qt::Key_F3);
    EXPECT_EQ(coluna(2, "id_cliente").toInt(), 32);
    // The situation did not change: its date stays.
    EXPECT_EQ(coluna(2, "dt_situacao_equipamento").toDate(), QDate(2024, 1, 10));
    // A person registered after the lists were read is shown too.
    s_db->exec("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa) values (40, '40', "
               "'HOSPITAL NOVO', 'Hospital Novo')");
    escolheCliente(t, "40");
    EXPECT_EQ(t->edtCliente->text(), "HOSPITAL NOVO");
}

TEST_F(EquipamentoClienteTest, AChangedSituationStampsTodayATypedDateStaysOtherwise) {
    Tela* t = abreNo(2);
    digitaData(t->dtSituacao, "05022024");
    tecla(Qt::Key_F3);
    EXPECT_EQ(coluna(2, "dt_situacao_equipamento").toDate(), QDate(2024, 2, 5));
    move(t->lkSituacao, -1); // Proposta Aprovada
    EXPECT_EQ(t->lkSituacao->currentText(), "Proposta Aprovada");
    digitaData(t->dtSituacao, "01012024"); // replaced: the situation changes in this save
    tecla(Qt::Key_F3);
    EXPECT_EQ(coluna(2, "id_sitaucao_equipamento").toInt(), -245);
    EXPECT_EQ(coluna(2, "dt_situacao_equipamento").toDate(), QDate(2024, 3, 15));
    // Saved again later without touching the situation: the date stays.
    relogio.setToday(QDate(2024, 3, 20));
    substitui(t->edtNoProposta, "0099/2024");
    tecla(Qt::Key_F3);
    EXPECT_EQ(coluna(2, "no_proposta").toString(), "0099/2024");
    EXPECT_EQ(coluna(2, "dt_situacao_equipamento").toDate(), QDate(2024, 3, 15));
}

TEST_F(EquipamentoClienteTest, RefusedSituationNeedsAnObservation) {
    Tela* t = abreNo(2);
    move(t->lkSituacao, 1); // -247
    EXPECT_EQ(t->lkSituacao->currentText(), "Proposta Recusada");
    tecla(Qt::Key_F3);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Informe o campo de Observações da Situação do Orçamento");
    EXPECT_EQ(dialogs.lastMessage().caption, "Aviso do Sistema");
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(ds(t)->state(), DataSetState::Edit);
    EXPECT_EQ(t->lkSituacao->currentText(), "Proposta Recusada");
    EXPECT_EQ(coluna(2, "id_sitaucao_equipamento").toInt(), -246);
    // Blanks only are no observation.
    t->mmObsSituacao->setFocus();
    digita("   ");
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 2);
    EXPECT_EQ(coluna(2, "id_sitaucao_equipamento").toInt(), -246);
    digita("Cliente manteve o fornecedor atual.");
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.messageCount(), 2);
    EXPECT_EQ(ds(t)->state(), DataSetState::Browse);
    EXPECT_EQ(coluna(2, "id_sitaucao_equipamento").toInt(), -247);
    EXPECT_EQ(coluna(2, "dt_situacao_equipamento").toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(coluna(2, "tx_obs_situacao_equip").toString(), "   Cliente manteve o fornecedor atual.");
    // A new equipment saved straight in -247 without observation is refused too.
    tecla(Qt::Key_F2);
    escolheCliente(t, "30");
    move(t->lkTipoEquipamento, 1);
    substitui(t->edtNomeEquipamento, "Caldeira 02");
    move(t->lkSituacao, 1);
    tecla(Qt::Key_F3);
    EXPECT_EQ(dialogs.lastMessage().text, "Informe o campo de Observações da Situação do Orçamento");
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(scalar("select count(*) from tab_equipamento_cli").toInt(), 2);
}

TEST_F(EquipamentoClienteTest, SituationTextsAreTheDatabasesOwn) {
    Tela* t = abreNo(2);
    QStringList textos;
    for (int i = 0; i < t->lkSituacao->count(); ++i)
        textos << t->lkSituacao->itemText(i);
    EXPECT_EQ(textos, QStringList({"Proposta Aprovada", textoAguardando(), "Proposta Recusada",
                                   "Equipamento Desativado"}));
    EXPECT_EQ(t->lkSituacao->dropDownCount(), 8);
    // Stored as the other applications store it: Windows-1252, the dash as byte 0x96.
    EXPECT_EQ(scalar("select position(ascii_char(150) in ds_opcao_tabela) from tab_opcao_tabela where "
                     "id_opcao_tabela = -246")
                  .toInt(),
              22);
    tecla(Qt::Key_F12);
    EXPECT_EQ(celula(t->DBGrid1, 1, 6), textoAguardando());
    EXPECT_EQ(celula(t->DBGrid1, 1, 0), "LATICÍNIOS BOA VISTA");
    EXPECT_EQ(celula(t->DBGrid1, 1, 1), "Torre de Resfriamento");
    QStringList titulos;
    for (int c = 0; c < t->DBGrid1->model()->columnCount(); ++c)
        titulos << t->DBGrid1->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titulos, QStringList({"Cliente", "Tipo de Equipamento", "Nome do Equipamento",
                                    "Data da Proposta", "No da Proposta", "Produtos da Proposta",
                                    "Situação do Equipamento", "Data Situacao Equipamento"}));
}

TEST_F(EquipamentoClienteTest, TheTypeOfASampledEquipmentIsKept) {
    Tela* t = abreNo(1); // sampled in analysis 1
    EXPECT_FALSE(t->lkTipoEquipamento->isEnabled());
    EXPECT_FALSE(t->lkTipoEquipamento->toolTip().isEmpty());
    tecla(Qt::Key_Right, Qt::AltModifier); // equipment 2, never sampled
    EXPECT_TRUE(t->lkTipoEquipamento->isEnabled());
    move(t->lkTipoEquipamento, -1);
    EXPECT_EQ(t->lkTipoEquipamento->currentText(), "Caldeira");
    tecla(Qt::Key_F3);
    EXPECT_EQ(coluna(2, "id_tp_equipamento").toInt(), 1);
    tecla(Qt::Key_Left, Qt::AltModifier);
    EXPECT_FALSE(t->lkTipoEquipamento->isEnabled());
    tecla(Qt::Key_F2);
    EXPECT_TRUE(t->lkTipoEquipamento->isEnabled());
}

// A key pressed in an open drop-down list or calendar belongs to it: Esc closes only the list,
// a function key does nothing underneath; the next Esc closes the screen.
TEST_F(EquipamentoClienteTest, KeysInAnOpenListOrCalendarStayThere) {
    QPointer<Tela> t = abreNo(1);
    const QVariant situacao = ds(t)->fieldByName("ID_SITAUCAO_EQUIPAMENTO")->value();
    clica(t->lkSituacao);
    pump();
    ASSERT_TRUE(QApplication::activePopupWidget());
    tecla(Qt::Key_F5);
    tecla(Qt::Key_Escape);
    pump();
    EXPECT_FALSE(QApplication::activePopupWidget());
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->isVisible());
    EXPECT_EQ(dialogs.messageCount(), 0);
    EXPECT_EQ(ds(t)->fieldByName("ID_SITAUCAO_EQUIPAMENTO")->value(), situacao);
    EXPECT_EQ(scalar("select count(*) from tab_equipamento_cli where id_equipamento_cli = 1").toInt(), 1);

    clica(t->dtProposta->calendarButton());
    pump();
    ASSERT_TRUE(t->dtProposta->calendarVisible());
    tecla(Qt::Key_Escape);
    pump();
    EXPECT_FALSE(t->dtProposta->calendarVisible());
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->isVisible());

    tecla(Qt::Key_Escape);
    pump();
    EXPECT_TRUE(!t || !t->isVisible());
}

TEST_F(EquipamentoClienteTest, TheCalendarOfADateEditIsNoButtonOfTheScreen) {
    Tela* t = abreTela();
    QStringList nomes;
    for (QAbstractButton* b : BotoesDaTela(t))
        nomes << b->objectName();
    EXPECT_EQ(nomes, QStringList{"btnPesquisaPessoa"});
    // A group without grants on the screen keeps its calendars.
    ApplyButtonRights(main->IBQ_Gen, 3, t, true);
    EXPECT_FALSE(t->btnPesquisaPessoa->isEnabled());
    EXPECT_TRUE(t->dtProposta->calendarButton()->isEnabled());
}

TEST_F(EquipamentoClienteTest, TheListIsSortedAndFilteredFromTheToolbar) {
    Tela* t = abreTela();
    t->edtNomeEquipamento->setFocus();
    tecla(Qt::Key_F7);
    auto nomes = [&] {
        QStringList r;
        DataSet* d = ds(t);
        d->fetchAll();
        for (int i = 0; i < d->recordCount(); ++i)
            r << d->valueAt(i, d->fieldByName("NM_EQUIPAMENTO")).toString();
        return r;
    };
    EXPECT_EQ(nomes(), QStringList({"Caldeira 01", "Torre TR-01"}));
    noDialogo<TfrmOrdena>([](TfrmOrdena& d) {
        substitui(d.cb1, "Nome do Equipamento");
        QTest::mouseClick(d.ckbOrdem1, Qt::LeftButton);
        QTest::mouseClick(d.bttOrdena, Qt::LeftButton);
    });
    tecla(Qt::Key_F9);
    pump();
    EXPECT_TRUE(m_dialogoVisto);
    EXPECT_EQ(nomes(), QStringList({"Torre TR-01", "Caldeira 01"}));
    // The situation is offered by its text; the condition is on its key.
    noDialogo<TfrmPesquisa>([](TfrmPesquisa& d) {
        substitui(d.cb1, "Situação do Equipamento");
        auto* lc = d.findChild<DBLookupCombo*>("lc1");
        ASSERT_TRUE(lc);
        lc->setFocus();
        digita("Proposta A");
        EXPECT_EQ(lc->currentText(), "Proposta Aprovada");
        QTest::mouseClick(d.bttPesquisar, Qt::LeftButton);
    });
    t->edtNomeEquipamento->setFocus();
    tecla(Qt::Key_F8);
    pump();
    EXPECT_TRUE(m_dialogoVisto);
    EXPECT_EQ(nomes(), QStringList{"Caldeira 01"});
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.001");
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
}

// The analysis search: its criteria alone and together, the person searches (a cancelled one clears
// its filter), the equipment of the analysis selected, and the registration screen opened on the
// analysis chosen.
#include "AnaliseFixture.h"
#include "lab/UnPesquisarAnalises.h"
#include "search/UnPesquisaPessoaComercio.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

class PesquisarAnalisesTest : public AnaliseTest {
protected:
    using Tela = TfrmPesquisarAnalises;

    void SetUp() override {
        AnaliseTest::SetUp();
        // Today is 15/03/2024. Analysis 1 (01/02/2024, hotel, CARLOS) has boiler 01.
        analise(2, "2024-03-01", 30, 1, 33); // hotel, JOÃO, boilers 03 and 04
        amostra(2, 2, 3);
        amostra(3, 2, 4);
        analise(3, "2024-03-10", 31, 2); // dairy, CARLOS, tower
        amostra(4, 3, 2);
        analise(4, "2024-03-12", 30, 1); // no analysed equipment: never found
    }

    Tela* abreTela() { return abre<Tela>("frmPesquisarAnalises"); }
    // Collection dates of the analyses found, in list order.
    static QStringList coletas(Tela* t) {
        QStringList r;
        for (int i = 0; i < t->DBGrid1->model()->rowCount(); ++i)
            r << celula(t->DBGrid1, i, 0);
        return r;
    }
    void pesquisa(Tela* t) { clica(t->btnPesquisar); }
    // Clicks a person search button and types the code (empty: the search is closed with Esc).
    void escolhePessoa(QToolButton* botao, const QString& codigo) {
        noDialogo<TfrmPesquisaPessoaComercio>([codigo](TfrmPesquisaPessoaComercio&) {
            if (codigo.isEmpty()) {
                tecla(Qt::Key_Escape);
                return;
            }
            substitui(QApplication::activeModalWidget()->findChild<QLineEdit*>("mskCodigo"), codigo);
            tecla(Qt::Key_Return);
        });
        clica(botao);
        pump();
        EXPECT_TRUE(m_dialogoVisto);
    }
};

TEST_F(PesquisarAnalisesTest, OpensFilteringOnNoClientAndFindsOnlyAnalysesWithEquipment) {
    Tela* t = abreTela();
    EXPECT_EQ(t->windowTitle(), QString::fromUtf8("Pesquisar Análises Cadastradas"));
    EXPECT_TRUE(t->ckbCliente->isChecked());
    EXPECT_FALSE(t->ckbDataColeta->isChecked());
    EXPECT_FALSE(t->dtInicial->isEnabled());
    EXPECT_EQ(t->dtInicial->date(), QDate(2024, 2, 14));
    EXPECT_EQ(t->dtFinal->date(), QDate(2024, 3, 15));
    EXPECT_FALSE(t->btnPesquisarRepresentante->isEnabled());
    EXPECT_FALSE(t->lkEquipamento->isEnabled());
    EXPECT_EQ(t->lblAnalises->text(), QString::fromUtf8("Análises encontradas (0)"));
    // Without the client condition: every analysis that has equipment, newest first, each once.
    clica(t->ckbCliente);
    EXPECT_FALSE(t->btnPesquisarCliente->isEnabled());
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList({"10/03/2024", "01/03/2024", "01/02/2024"}));
    EXPECT_EQ(t->lblAnalises->text(), QString::fromUtf8("Análises encontradas (3)"));
    EXPECT_EQ(celula(t->DBGrid1, 1, 1), "HOTEL SERRA AZUL");
    EXPECT_EQ(celula(t->DBGrid1, 1, 2), QString::fromUtf8("JOÃO VENDAS"));
    EXPECT_EQ(celula(t->DBGrid1, 1, 3), "Caldeira");
    // The period: the last 30 days.
    clica(t->ckbDataColeta);
    EXPECT_TRUE(t->dtInicial->isEnabled());
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList({"10/03/2024", "01/03/2024"}));
    // The equipment of the analysis selected.
    clicaLinha(t->DBGrid1, 1);
    EXPECT_EQ(t->lblEquipamentos->text(), QString::fromUtf8("Equipamentos da Análise Selecionada (2)"));
    EXPECT_EQ(celula(t->DBGrid2, 0, 0) + "," + celula(t->DBGrid2, 1, 0), "Caldeira 03,Caldeira 04");
}

TEST_F(PesquisarAnalisesTest, TheCriteriaCombine) {
    Tela* t = abreTela();
    escolhePessoa(t->btnPesquisarCliente, "30");
    EXPECT_EQ(t->edtCliente->text(), "HOTEL SERRA AZUL");
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList({"01/03/2024", "01/02/2024"}));
    // Client and representative.
    clica(t->ckbRepresentante);
    escolhePessoa(t->btnPesquisarRepresentante, "32");
    EXPECT_EQ(t->edtRepresentante->text(), "CARLOS MENDES");
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList({"01/02/2024"}));
    clica(t->ckbRepresentante);
    // Ticking "Equipamento" without choosing one adds nothing; the choices are the client's.
    clica(t->ckbEquipamento);
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList({"01/03/2024", "01/02/2024"}));
    EXPECT_EQ(t->lkEquipamento->count(), 10);
    t->lkEquipamento->setFocus();
    while (t->lkEquipamento->currentText() != "Caldeira 04")
        tecla(Qt::Key_Down);
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList({"01/03/2024"}));
    // And the period: March 2024 has it, February does not.
    clica(t->ckbDataColeta);
    substitui(t->dtInicial, "01022024");
    substitui(t->dtFinal, "29022024");
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList());
    EXPECT_EQ(t->lblEquipamentos->text(), QString::fromUtf8("Equipamentos da Análise Selecionada"));
    EXPECT_EQ(t->DBGrid2->model()->rowCount(), 0);
    // A period that ends before it starts is told, and the list stays.
    substitui(t->dtInicial, "01042024");
    pesquisa(t);
    EXPECT_EQ(dialogs.lastMessage().text,
              QString::fromUtf8("A data inicial do período da coleta é posterior à data final."));
}

TEST_F(PesquisarAnalisesTest, ACancelledPersonSearchAlsoClearsItsFilter) {
    Tela* t = abreTela();
    escolhePessoa(t->btnPesquisarCliente, "31");
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList({"10/03/2024"}));
    escolhePessoa(t->btnPesquisarCliente, "");
    EXPECT_EQ(t->edtCliente->text(), "");
    EXPECT_EQ(t->it_iidCliente, 0);
    pesquisa(t);
    EXPECT_EQ(coletas(t), QStringList());
    // The equipment choices follow: every client's again.
    clica(t->ckbEquipamento);
    EXPECT_EQ(t->lkEquipamento->count(), 11);
}

TEST_F(PesquisarAnalisesTest, ConsultingOpensTheRegistrationOnTheAnalysisChosen) {
    Tela* t = abreTela();
    // Nothing found: nothing to open.
    clica(t->btnConsultarAnalise);
    EXPECT_EQ(dialogs.lastMessage().text, "Nenhum registro encontrado!");
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    clica(t->ckbCliente);
    pesquisa(t);
    clicaLinha(t->DBGrid1, 1);
    clica(t->btnConsultarAnalise);
    pump();
    auto* c = main->findChild<Cadastro*>("frmCadastrodeAnalise");
    ASSERT_TRUE(c);
    EXPECT_EQ(main->telaAtiva(), c);
    EXPECT_EQ(ds(c)->fieldByName("ID_ANALISE")->asInteger(), 2);
    ds(c)->fetchAll();
    EXPECT_EQ(ds(c)->recordCount(), 1);
    EXPECT_EQ(c->dbgDados->model()->rowCount(), 2);
    // With the registration open, another analysis only brings it to the front.
    main->mdi->setActiveSubWindow(t->subWindow());
    clicaLinha(t->DBGrid1, 0);
    const QRect r = t->DBGrid1->visualRect(t->DBGrid1->currentIndex());
    QTest::mouseDClick(t->DBGrid1->viewport(), Qt::LeftButton, {}, r.center());
    pump();
    EXPECT_EQ(main->telaAtiva(), c);
    EXPECT_EQ(ds(c)->fieldByName("ID_ANALISE")->asInteger(), 2);
}

TEST(PesquisarAnalisesSql, TheStatementCarriesEachCriterionTicked) {
    CriteriosPesquisaAnalise c;
    const QString base = MontaSQLPesquisaAnalises(c);
    EXPECT_TRUE(
        base.endsWith(" where 0=0 group by ma.id_analise, ma.dt_coleta, cli.nm_pesquisa, rep.nm_pesquisa, "
                      "tte.nm_tp_equipamento order by ma.dt_coleta desc"));
    c.porData = true;
    c.de = QDate(2024, 2, 1);
    c.ate = QDate(2024, 2, 29);
    c.porCliente = true;
    c.idCliente = 30;
    c.porRepresentante = true;
    c.idRepresentante = 0;
    c.porEquipamento = true;
    EXPECT_TRUE(
        MontaSQLPesquisaAnalises(c).contains(" where 0=0 and ma.dt_coleta between '01.02.2024' and "
                                             "'29.02.2024' and ma.id_cliente = 30 and ma.id_representante = "
                                             "0 group by"));
    c.idEquipamento = 4;
    EXPECT_TRUE(MontaSQLPesquisaAnalises(c).contains(" and mae.id_equipamento_cli = 4 group by"));
    EXPECT_EQ(SQLEquipamentosCliente(0),
              " select tec.id_equipamento_cli, tec.id_tp_equipamento, tec.nm_equipamento "
              "from tab_equipamento_cli tec order by tec.nm_equipamento");
    EXPECT_TRUE(
        SQLEquipamentosCliente(30).contains("tab_equipamento_cli tec where ID_CLIENTE = 30 order by"));
}

} // namespace

TEST_F(PesquisarAnalisesTest, TheSelectedAnalysisTellsHowManyValuesOfEachEquipmentAreOutOfRange) {
    // Boiler 03: pH 9 above "7,0 a 8,5", 4.000 above "Máx. 3.500", and a value against "Ausente",
    // which is not judged; boiler 04: pH 7,5 inside.
    resultado(1, 2, 1, "9");
    resultado(2, 2, 2, "4000");
    resultado(3, 2, 3, "1");
    resultado(4, 3, 1, "7.5");
    Tela* t = abreTela();
    clica(t->ckbCliente);
    pesquisa(t);
    clicaLinha(t->DBGrid1, 1);
    EXPECT_EQ(t->DBGrid2->model()->headerData(1, Qt::Horizontal).toString(), "Fora da Faixa");
    EXPECT_EQ(celula(t->DBGrid2, 0, 0) + ": " + celula(t->DBGrid2, 0, 1),
              "Caldeira 03: 2 de 3 fora da faixa");
    EXPECT_EQ(celula(t->DBGrid2, 1, 0) + ": " + celula(t->DBGrid2, 1, 1),
              "Caldeira 04: nenhum de 1 fora da faixa");
    EXPECT_EQ(t->lblForaFaixa->text(),
              QString::fromUtf8("Valores da análise selecionada: 2 de 4 fora da faixa"));
    // Another analysis: its own counts, none left from the one before.
    clicaLinha(t->DBGrid1, 2);
    EXPECT_EQ(celula(t->DBGrid2, 0, 1), "sem valores");
    EXPECT_EQ(t->lblForaFaixa->text(), QString::fromUtf8("Valores da análise selecionada: sem valores"));
}

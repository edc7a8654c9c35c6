// The four commercial listings printed from their screens as the user does it, read back from
// the engine's record of the bands that printed and from the PDF the preview wrote (pdftotext,
// pdfinfo): which rows each statement takes, the groups and their counts, new pages, titles,
// period labels, footers and the messages for missing or refused parameters.
#include "ListagensFixture.h"
#include "ReportReadBack.h"
#include "reports/UnParRelAnaliseColeta.h"
#include "reports/UnParRelClientesComAmostras.h"
#include "reports/UnParRelClientesSemAmostras.h"
#include "reports/UnParRelEquipamentosComPendencias.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include <set>

using namespace reporttest;

namespace listagens {
namespace {

class ListagensTest : public ListagemTest {
protected:
    // Types the period into the two date fields.
    static void periodo(DBDateEdit* inicial, DBDateEdit* final, const QString& de, const QString& ate) {
        digitaEm(inicial, de);
        digitaEm(final, ate);
    }
    // Chooses an entry of a drop-down with the keyboard.
    static void escolhe(DBLookupCombo* c, const QString& texto) {
        c->setFocus();
        QTest::keyClick(c, Qt::Key_Home);
        for (int i = 0; i < c->count() && c->currentText() != texto; ++i)
            QTest::keyClick(c, Qt::Key_Down);
        ASSERT_EQ(c->currentText(), texto);
    }
    void imprime(QPushButton* b) {
        clica(b);
        pump();
    }
    const ReportRecord& registro() const { return preview.last().record; }
    QString pdf() const { return preview.last().pdfPath; }
    QStringList textos(const QString& banda, const QString& elemento) const {
        return registro().texts(banda, elemento);
    }

    // The band printed after band b of the record, page headers and footers left out.
    const ReportPrintedBand& seguinte(size_t b) const {
        const auto& bandas = registro().bands();
        while (++b < bandas.size() && (bandas[b].kind == ReportBandKind::PageFooter ||
                                       bandas[b].kind == ReportBandKind::PageHeader)) {
        }
        return bandas.at(b);
    }

    // Clients of a representative's (Carla's unless told), each with one active boiler and no
    // analysis, enough for several pages.
    struct ClientesExtras {
        explicit ClientesExtras(int n, int representante = kCarla) {
            for (int i = 0; i < n; ++i)
                mais(representante);
        }
        void mais(int representante) {
            const int id = 500 + m_quantos;
            pessoa(id, QString("Cliente Extra %1").arg(m_quantos + 1, 3, 10, QChar('0')), "Cliente Extra",
                   QString::number(representante), "NNS");
            equipamento(5000 + m_quantos, id, 1, "Caldeira Extra", -245);
            ++m_quantos;
        }
        // One more pending boiler of the first extra client.
        void equipamentoDoPrimeiro() { equipamento(6000 + m_equipamentos++, 500, 1, "Caldeira Extra", -245); }
        int m_quantos = 0, m_equipamentos = 0;
        ~ClientesExtras() {
            exec("delete from tab_equipamento_cli where id_equipamento_cli >= 5000");
            exec("delete from cad_pessoa where id_pessoa between 500 and 999");
        }
    };
};

// ---------------------------------------------------------------- collected analyses

class AnaliseColetadaTest : public ListagensTest {
protected:
    TfrmParRelAnaliseColeta* abre() {
        auto* t = abreMenu<TfrmParRelAnaliseColeta>("RelatriodeAnlisesColetadas1");
        EXPECT_TRUE(t);
        return t;
    }
};

TEST_F(AnaliseColetadaTest, OneBlockPerClientRepresentativeAndCityEachOnItsOwnPage) {
    TfrmParRelAnaliseColeta* t = abre();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), "Relatório de Análise de Coletas"_t);
    EXPECT_EQ(t->dtInicial->text(), "20/02/2024");
    EXPECT_EQ(t->dtFinal->text(), "20/02/2024");
    EXPECT_EQ(t->lkRepresentante->currentText(), "<TODOS>");
    EXPECT_EQ(t->lkCliente->currentText(), "<TODOS>");
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    ASSERT_EQ(preview.count(), 1);
    EXPECT_EQ(preview.last().caption, "Relatório Análises Coletadas"_t);

    // Ordered by the client's name; a client under two representatives or with two addresses
    // gets a block for each; a client without an address one block with no city.
    EXPECT_EQ(textos("QRBand3", "qrdNmPessoa"),
              QStringList({"Alfa Laticínios Ltda"_t, "Alfa Laticínios Ltda"_t, "Beta Hotel e Turismo",
                           "Beta Hotel e Turismo", "Gama Usina de Açúcar"_t, "Gama Usina de Açúcar"_t,
                           "O'Brien Química Ltda"_t, "Épsilon Serviços"_t}));
    EXPECT_EQ(textos("QRBand3", "qrdRepresentante"),
              QStringList({"Ana Paula Souza", "Bruno Almeida", "Ana Paula Souza", "Ana Paula Souza",
                           "Bruno Almeida", "Bruno Almeida", "Ana Paula Souza", "Ana Paula Souza"}));
    EXPECT_EQ(textos("QRBand3", "qrdNmCidade"), QStringList({"Campinas", "Campinas", "Curitiba", "Santos",
                                                             "Curitiba", "Londrina", "Campinas", ""}));
    EXPECT_EQ(textos("QRBand3", "qrdDtCadastro")[0], "04/03/2021");
    // Every block starts a page; the page header and footer are on every page.
    EXPECT_EQ(registro().pageCount(), 8);
    for (const ReportPrintedBand* b : registro().of("QRBand3"))
        EXPECT_EQ(b->page, b->row + 1);
    EXPECT_EQ(registro().count("PageHeader"), 8);
    EXPECT_EQ(registro().count("PageFooter"), 8);
    // The three sections print for every block, with their headings even when empty.
    EXPECT_EQ(registro().count("QRBandEquipamentoCab"), 8);
    EXPECT_EQ(registro().count("QRBandAnaliseCab"), 8);
    EXPECT_EQ(registro().count("QRBandMovimentoCab"), 8);
    EXPECT_EQ(registro().count("QRBandEspaco"), 8);
    const QStringList page1 = registro().bandsOnPage(1);
    EXPECT_EQ(page1, QStringList({"PageHeader", "QRBand3", "QRBandEquipamentoCab", "QRSubDetailEquipamento",
                                  "QRSubDetailEquipamento", "QRBandAnaliseCab", "QRSubDetailAnalise",
                                  "QRSubDetailAnalise", "QRSubDetailAnalise", "QRBandMovimentoCab",
                                  "QRSubDetailMovimento", "QRBandEspaco", "PageFooter"}));
    // Alfa's lists: equipment by type; every analysis of the period, whichever representative,
    // the 29th included; the boiler products of both documents of sales summed in the format of
    // the parameter row; bonuses left out.
    EXPECT_EQ(textos("QRSubDetailEquipamento", "qrdTipoEquip").mid(0, 2),
              QStringList({"Caldeira", "Torre de Resfriamento"}));
    EXPECT_EQ(textos("QRSubDetailEquipamento", "qrdQtdeEquip").mid(0, 2), QStringList({"2", "2"}));
    EXPECT_EQ(textos("QRSubDetailAnalise", "qrdColeta").mid(0, 3),
              QStringList({"01/02/2024", "20/02/2024", "29/02/2024"}));
    EXPECT_EQ(textos("QRSubDetailAnalise", "qrdEnvio")[0], "03/02/2024");
    EXPECT_EQ(textos("QRSubDetailMovimento", "qrdProduto")[0], "Sequestrante de Oxigênio"_t);
    EXPECT_EQ(textos("QRSubDetailMovimento", "qrdQtdeProduto")[0], "12,500");
    EXPECT_EQ(textos("QRSubDetailMovimento", "qrdUnidade")[0], "KG");
    // Beta bought only bonuses: no product line in its blocks.
    for (int p : {3, 4})
        EXPECT_FALSE(registro().bandsOnPage(p).contains("QRSubDetailMovimento")) << p;
    EXPECT_EQ(registro().of("QRBandEspaco")[0]->heightMm, 40 * kReportPixelMm);

    // The PDF, read back independently.
    EXPECT_EQ(pdfPages(pdf()), 8);
    const QString p1 = pdfWords(pdf(), 1);
    for (const QString& s :
         {"Relatório Análises Coletadas"_t, "Período de: 01/02/2024 a 29/02/2024"_t,
          "Cliente: Alfa Laticínios Ltda"_t, "Cidade: Campinas"_t, "Proposta Inicial: 04/03/2021"_t,
          "Representante: Ana Paula Souza"_t, "Equipamentos do Cliente"_t, "Tipo de Equipamento Qtde"_t,
          "Coleta Recebimento Avaliação Envio"_t, "Produtos Consumidos no Período"_t,
          "Sequestrante de Oxigênio 12,500 KG"_t, "Hidrolab Análises"_t, "Nexmoro Cortivandela"_t,
          "Data: 20/02/2024"_t, "Página 1"_t})
        EXPECT_TRUE(p1.contains(s)) << s.toStdString() << "\n" << p1.toStdString();
    EXPECT_TRUE(pdfWords(pdf(), 8).contains("Épsilon Serviços"_t));
    keep(pdf(), "analises-coletadas.pdf");
    // The logo of the parameter row is on the page header.
    EXPECT_EQ(registro().of("PageHeader")[0]->text("qrImgLogo"), "[imagem]");
}

TEST_F(AnaliseColetadaTest, ARepresentativeOrAClientNarrowsTheBlocksButNotTheirAnalyses) {
    TfrmParRelAnaliseColeta* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    escolhe(t->lkRepresentante, "Bruno Vendas");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 1);
    EXPECT_EQ(textos("QRBand3", "qrdNmPessoa"),
              QStringList({"Alfa Laticínios Ltda"_t, "Gama Usina de Açúcar"_t, "Gama Usina de Açúcar"_t}));
    // Alfa's analyses under Ana are listed too.
    EXPECT_EQ(textos("QRSubDetailAnalise", "qrdColeta").mid(0, 3),
              QStringList({"01/02/2024", "20/02/2024", "29/02/2024"}));

    escolhe(t->lkRepresentante, "<TODOS>");
    escolhe(t->lkCliente, "Gama Usina");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 2);
    EXPECT_EQ(textos("QRBand3", "qrdNmCidade"), QStringList({"Curitiba", "Londrina"}));
    EXPECT_EQ(registro().pageCount(), 2);
    // Gama bought a boiler product (it has no boiler: still a product sold to it) and, outside
    // the period, a tower product.
    EXPECT_EQ(textos("QRSubDetailMovimento", "qrdProduto"),
              QStringList({"Sequestrante de Oxigênio"_t, "Sequestrante de Oxigênio"_t}));
    EXPECT_EQ(textos("QRSubDetailMovimento", "qrdQtdeProduto")[0], "5,000");
}

TEST_F(AnaliseColetadaTest, EmptyDatesAndAnEmptyPeriodAreTold) {
    TfrmParRelAnaliseColeta* t = abre();
    digitaEm(t->dtInicial, "");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Período inicial não informado !"_t);
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(foco(), t->dtInicial);
    digitaEm(t->dtInicial, "01062024");
    digitaEm(t->dtFinal, "");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 2);
    EXPECT_EQ(dialogs.lastMessage().text, "Período final não informado !"_t);
    EXPECT_EQ(foco(), t->dtFinal);
    // A first date after the last finds nothing.
    digitaEm(t->dtFinal, "01022024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 3);
    EXPECT_EQ(dialogs.lastMessage().text, "Nenhum registro encontrado !");
    EXPECT_EQ(preview.count(), 0);
    // The name field is in the tab order here.
    t->lkCliente->setFocus();
    QTest::keyClick(t->lkCliente, Qt::Key_Tab);
    EXPECT_EQ(foco(), t->mskNomeRelatorio);
}

// ---------------------------------------------------------------- clients without samples

class ClientesSemAmostrasTest : public ListagensTest {
protected:
    TfrmParRelatorioClientesSemAmostras* abre() {
        auto* t = abreMenu<TfrmParRelatorioClientesSemAmostras>("RelatriodeClientessemAmostra1");
        EXPECT_TRUE(t);
        return t;
    }
};

TEST_F(ClientesSemAmostrasTest, ClientsWithEquipmentAndNoCollectionGroupedByRepresentative) {
    TfrmParRelatorioClientesSemAmostras* t = abre();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), "Relatório de Clientes sem Amostra");
    EXPECT_EQ(t->dtInicial->text(), "20/02/2024");
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    ASSERT_EQ(preview.count(), 1);
    // Zeta has no representative: a group with an empty name, first. Delta owns equipment of
    // two types: two lines and a total of 2. Everyone else had a collection.
    EXPECT_EQ(textos("QRBandGrupoCab", "qrdRepresentante"), QStringList({"", "Bruno Almeida"}));
    EXPECT_EQ(textos("QRBandDetalhe", "qrdCliente"),
              QStringList({"Zeta Metais", "Delta Têxtil"_t, "Delta Têxtil"_t}));
    EXPECT_EQ(textos("QRBandDetalhe", "qrdTipoEquipamento"),
              QStringList({"Torre de Resfriamento", "Caldeira", "Torre de Resfriamento"}));
    EXPECT_EQ(textos("QRBandGrupoRod", "qrlQtde"), QStringList({"1", "2"}));
    EXPECT_EQ(registro().count("QRBandTitulo"), 1);
    EXPECT_EQ(registro().count("PageFooter"), 1);
    const QString txt = pdfWords(pdf());
    for (const QString& s :
         {"Relatório de Clientes Sem Amostras"_t, "Período de: 01/02/2024 a 29/02/2024"_t,
          "Representante: Bruno Almeida"_t, "Cliente Tipo de Equipamento"_t, "Delta Têxtil Caldeira"_t,
          "Total: 2 Clientes"_t, "Hidrolab Análises"_t, "Nexmoro Cortivandela"_t, "Página 1"_t})
        EXPECT_TRUE(txt.contains(s)) << s.toStdString() << "\n" << txt.toStdString();
    keep(pdf(), "clientes-sem-amostras.pdf");

    // A representative chosen leaves out the clients without one.
    escolhe(t->rxdbrepresentante, "Bruno Vendas");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 2);
    EXPECT_EQ(textos("QRBandDetalhe", "qrdCliente"), QStringList({"Delta Têxtil"_t, "Delta Têxtil"_t}));
    // An equipment type chosen: Gama's effluent plant had no sample, but Gama had a collection
    // (of a tower) and is left out entirely.
    escolhe(t->rxdbrepresentante, "<TODOS>");
    escolhe(t->rxdbtpequipamento, "Efluente");
    imprime(t->btnConfirmar);
    EXPECT_EQ(preview.count(), 2);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Nenhum registro encontrado !");
    escolhe(t->rxdbtpequipamento, "Torre de Resfriamento");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 3);
    EXPECT_EQ(textos("QRBandDetalhe", "qrdCliente"), QStringList({"Zeta Metais", "Delta Têxtil"_t}));
}

TEST_F(ClientesSemAmostrasTest, ThePeriodIsInclusiveAndMayNotRunBackwards) {
    TfrmParRelatorioClientesSemAmostras* t = abre();
    // Delta's only collection is on the 1st of March.
    periodo(t->dtInicial, t->dtFinal, "01032024", "01032024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 1);
    EXPECT_FALSE(textos("QRBandDetalhe", "qrdCliente").contains("Delta Têxtil"_t));
    periodo(t->dtInicial, t->dtFinal, "02032024", "31032024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 2);
    EXPECT_TRUE(textos("QRBandDetalhe", "qrdCliente").contains("Delta Têxtil"_t));
    periodo(t->dtInicial, t->dtFinal, "29022024", "28022024");
    imprime(t->btnConfirmar);
    EXPECT_EQ(preview.count(), 2);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "O período inicial é posterior ao período final !"_t);
    digitaEm(t->dtFinal, "");
    imprime(t->btnConfirmar);
    EXPECT_EQ(dialogs.lastMessage().text, "Período final não informado !"_t);
}

TEST_F(ClientesSemAmostrasTest, AGroupLongerThanAPageGoesOnAndCountsAllItsLines) {
    ClientesExtras extras(70);
    TfrmParRelatorioClientesSemAmostras* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    escolhe(t->rxdbrepresentante, "Carla Sem Clientes");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 1);
    EXPECT_EQ(registro().count("QRBandDetalhe"), 70);
    EXPECT_EQ(textos("QRBandGrupoRod", "qrlQtde"), QStringList{"70"});
    EXPECT_GE(registro().pageCount(), 2);
    EXPECT_EQ(pdfPages(pdf()), registro().pageCount());
    // The title on the first page only; the footer on every page.
    EXPECT_EQ(registro().of("QRBandTitulo")[0]->page, 1);
    EXPECT_EQ(registro().count("PageFooter"), registro().pageCount());
    EXPECT_TRUE(pdfWords(pdf(), 2).contains("Cliente Extra 0"));
    EXPECT_TRUE(pdfWords(pdf(), registro().pageCount()).contains("Total: 70 Clientes"));
}

TEST_F(ClientesSemAmostrasTest, ARepresentativesHeadingIsNeverLeftAloneAtThePageFoot) {
    // Carla's heading comes after Bruno's group, which grows line by line over the foot of page 1.
    ClientesExtras extras(1, kCarla);
    for (int i = 0; i < 30; ++i)
        extras.mais(kBruno);
    TfrmParRelatorioClientesSemAmostras* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    for (int i = 0; i < 6; ++i, extras.mais(kBruno)) {
        imprime(t->btnConfirmar);
        ASSERT_EQ(preview.count(), i + 1);
        const auto& bandas = registro().bands();
        for (size_t b = 0; b < bandas.size(); ++b)
            if (bandas[b].band == "QRBandGrupoCab") {
                EXPECT_EQ(seguinte(b).page, bandas[b].page) << i << "\n" << registro().dump().toStdString();
            }
    }
}

// ---------------------------------------------------------------- clients with samples

class ClientesComAmostrasTest : public ListagensTest {
protected:
    TfrmParRelClientesComAmostras* abre() {
        auto* t = abreMenu<TfrmParRelClientesComAmostras>("RelatriodeClientescomAmostra1");
        EXPECT_TRUE(t);
        return t;
    }
};

TEST_F(ClientesComAmostrasTest, EveryCollectionOfThePeriodByRepresentativeInDateOrder) {
    TfrmParRelClientesComAmostras* t = abre();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), "Relatório de Clientes com Amostras"_t);
    EXPECT_EQ(t->mskNomeRelatorio->text(), "Relatório de Clientes com Amostras"_t);
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    ASSERT_EQ(preview.count(), 1);
    EXPECT_EQ(textos("QRBandGrupoCab", "qrdRepresentante"),
              QStringList({"Ana Representante", "Bruno Vendas"}));
    // Alfa, collected twice, is on two lines; both ends of the period count.
    EXPECT_EQ(textos("QRBandDetalhe", "qrdDataColeta"),
              QStringList({"01/02/2024", "05/02/2024", "10/02/2024", "12/02/2024", "29/02/2024", "15/02/2024",
                           "20/02/2024"}));
    EXPECT_EQ(textos("QRBandDetalhe", "qrdCliente"),
              QStringList({"Alfa Laticínios"_t, "O'Brien Química"_t, "Beta Hotel", "Épsilon Serviços"_t,
                           "Alfa Laticínios"_t, "Gama Usina", "Alfa Laticínios"_t}));
    EXPECT_EQ(textos("QRBandGrupoRod", "qrlQtde"), QStringList({"5", "2"}));
    const QString txt = pdfWords(pdf());
    for (const QString& s :
         {"Relatório de Clientes com Amostras"_t, "Representante: Ana Representante"_t,
          "Data Coleta Cliente Tipo de Equipamento"_t, "29/02/2024 Alfa Laticínios Torre"_t,
          "Total: 5 Coletas"_t, "Total: 2 Coletas"_t})
        EXPECT_TRUE(txt.contains(s)) << s.toStdString() << "\n" << txt.toStdString();
    keep(pdf(), "clientes-com-amostras.pdf");
}

TEST_F(ClientesComAmostrasTest, FiltersTheTitleAndAnalysesWithoutRepresentative) {
    TfrmParRelClientesComAmostras* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    escolhe(t->lkEquipamento, "Torre de Resfriamento");
    digitaEm(t->mskNomeRelatorio, "Coletas de Torres");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 1);
    EXPECT_EQ(textos("QRBandDetalhe", "qrdDataColeta"), QStringList({"29/02/2024", "15/02/2024"}));
    EXPECT_EQ(textos("QRBandGrupoRod", "qrlQtde"), QStringList({"1", "1"}));
    EXPECT_EQ(textos("QRBandTitulo", "qrlTitulo"), QStringList{"Coletas de Torres"});

    escolhe(t->lkEquipamento, "<TODOS>");
    escolhe(t->lkCliente, "Alfa Laticínios"_t);
    escolhe(t->lkRepresentante, "Bruno Vendas");
    digitaEm(t->mskNomeRelatorio, "");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 2);
    EXPECT_EQ(textos("QRBandDetalhe", "qrdDataColeta"), QStringList{"20/02/2024"});
    EXPECT_EQ(textos("QRBandTitulo", "qrlTitulo"), QStringList{"Relatório de Clientes com Amostras"_t});

    // A client whose name holds a quote.
    escolhe(t->lkCliente, "O'Brien Química"_t);
    escolhe(t->lkRepresentante, "<TODOS>");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 3);
    EXPECT_EQ(textos("QRBandDetalhe", "qrdCliente"), QStringList{"O'Brien Química"_t});

    // In May one analysis has no representative: it is not listed.
    escolhe(t->lkCliente, "<TODOS>");
    escolhe(t->lkRepresentante, "<TODOS>");
    periodo(t->dtInicial, t->dtFinal, "01052024", "31052024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 4);
    EXPECT_EQ(textos("QRBandDetalhe", "qrdDataColeta"), QStringList{"07/05/2024"});
}

TEST_F(ClientesComAmostrasTest, ThePeriodReturnsToTodayWhenTheScreenIsActivatedAgain) {
    TfrmParRelClientesComAmostras* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    auto* outra = abreMenu<TfrmParRelatorioClientesSemAmostras>("RelatriodeClientessemAmostra1");
    ASSERT_TRUE(outra);
    EXPECT_EQ(abreMenu<TfrmParRelClientesComAmostras>("RelatriodeClientescomAmostra1"), t);
    EXPECT_EQ(t->dtInicial->text(), "20/02/2024");
    // A message of the screen itself does not count as leaving it.
    periodo(t->dtInicial, t->dtFinal, "01062024", "30062024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(t->dtInicial->text(), "01/06/2024");
}

// ---------------------------------------------------------------- equipment with pending items

class PendenciasTest : public ListagensTest {
protected:
    TfrmParRelEquipamentosComPendencias* abre() {
        auto* t = abreMenu<TfrmParRelEquipamentosComPendencias>("RelatriodeEquipamentoscomPendncias1");
        EXPECT_TRUE(t);
        return t;
    }
};

TEST_F(PendenciasTest, ActiveEquipmentWithoutSampleInThePeriodByRepresentativeAndClient) {
    TfrmParRelEquipamentosComPendencias* t = abre();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), "Relatório de Equipamentos com Pendências"_t);
    EXPECT_EQ(t->lkRepresentante->currentText(), "<Todos>");
    EXPECT_EQ(t->dtFinal->text(), "20/02/2024");
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    ASSERT_EQ(preview.count(), 1);
    EXPECT_EQ(textos("QRBandGrupoCab", "qrdRepresentante"),
              QStringList({"Ana Representante", "Bruno Vendas"}));
    // Alfa's second tower was sampled only in January. Gama (two billing cities) prints twice with
    // the same equipment; Delta has no address. Refused, deactivated and sampled equipment and
    // Zeta (no representative) are not listed.
    EXPECT_EQ(textos("QRBand3", "qrdCliente"),
              QStringList({"Alfa Laticínios"_t, "Gama Usina", "Gama Usina", "Delta Têxtil"_t}));
    const QStringList cidades = textos("QRBand3", "qrlCidade");
    EXPECT_EQ(cidades[0], "Campinas - SP");
    EXPECT_EQ(std::set<QString>(cidades.begin() + 1, cidades.begin() + 3),
              std::set<QString>({"Curitiba - PR", "Londrina - PR"}));
    EXPECT_EQ(cidades[3], " - ");
    EXPECT_EQ(
        textos("QRSubDetailEquipamento", "qrdEquipamento"),
        QStringList({"Torre TR-02", "Torre Usina 2", "Torre Usina 2", "Caldeira Delta", "Torre Delta"}));
    EXPECT_EQ(textos("QRSubDetailEquipamento", "qrdSituacao")[0], "Aprovada");
    EXPECT_EQ(textos("QRSubDetailEquipamento", "qrdData")[0], "01/12/2023");
    EXPECT_EQ(textos("QRBandGrupoRod", "qrlQtde"), QStringList({"1", "4"}));
    EXPECT_EQ(registro().count("PageHeader"), registro().pageCount());
    const QString txt = pdfWords(pdf());
    for (const QString& s :
         {"Relatório de Equipamentos com Pendências"_t, "Período de Coleta: 01/02/2024 a 29/02/2024"_t,
          "Representante: Bruno Vendas"_t, "Cliente: Delta Têxtil"_t, "Equipamento: Torre Delta"_t,
          "Situação: Aprovada"_t, "Data: 01/12/2023"_t, "Qtde de Equipamentos Pendentes: 4"_t,
          "Hidrolab Análises"_t, "Página 1"_t})
        EXPECT_TRUE(txt.contains(s)) << s.toStdString() << "\n" << txt.toStdString();
    EXPECT_FALSE(txt.contains("Nexmoro Cortivandela"));
    keep(pdf(), "equipamentos-pendencias.pdf");

    // Ana alone; the situation "awaiting approval" is active too.
    escolhe(t->lkRepresentante, "Ana Representante");
    periodo(t->dtInicial, t->dtFinal, "01032024", "31032024");
    digitaEm(t->mskNomeRelatorio, "");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 2);
    EXPECT_EQ(textos("QRBandGrupoCab", "qrdRepresentante"), QStringList{"Ana Representante"});
    EXPECT_EQ(textos("QRSubDetailEquipamento", "qrdSituacao").count("Aguardando Aprovação"_t), 2);
    EXPECT_EQ(textos("PageHeader", "qrlNomeRelatorio")[0], "");
}

TEST_F(PendenciasTest, NothingPendingAndBackwardsPeriodsAreToldAnEmptyFirstDateCountsFromTheStart) {
    TfrmParRelEquipamentosComPendencias* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    escolhe(t->lkRepresentante, "Carla Sem Clientes");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Nenhum registro encontrado.");
    EXPECT_EQ(preview.count(), 0);
    periodo(t->dtInicial, t->dtFinal, "02022024", "01022024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 2);
    EXPECT_EQ(dialogs.lastMessage().text, "O período inicial é posterior ao período final !"_t);
    EXPECT_EQ(preview.count(), 0);

    // An empty first date is not refused: the period runs from the beginning, so Alfa's second
    // tower, sampled in January, is no longer pending by February's end.
    escolhe(t->lkRepresentante, "<Todos>");
    digitaEm(t->dtInicial, "");
    digitaEm(t->dtFinal, "29022024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 2) << dialogs.texts().join('|').toStdString();
    ASSERT_EQ(preview.count(), 1);
    EXPECT_FALSE(textos("QRSubDetailEquipamento", "qrdEquipamento").contains("Torre TR-02"));
    EXPECT_TRUE(pdfWords(pdf()).contains("Período de Coleta: a 29/02/2024"_t))
        << pdfWords(pdf()).toStdString();
    // An empty last date is the same beginning: the period runs backwards.
    digitaEm(t->dtFinal, "");
    digitaEm(t->dtInicial, "01022024");
    imprime(t->btnConfirmar);
    ASSERT_EQ(dialogs.messageCount(), 3);
    EXPECT_EQ(dialogs.lastMessage().text, "O período inicial é posterior ao período final !"_t);
    EXPECT_EQ(QApplication::focusWidget(), t->dtFinal);
    // Both empty: the one day of the beginning, when nothing was collected.
    digitaEm(t->dtInicial, "");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 2);
    EXPECT_TRUE(textos("QRSubDetailEquipamento", "qrdEquipamento").contains("Torre TR-02"));
}

TEST_F(PendenciasTest, NeitherARepresentativeNorAClientIsLeftAloneAtThePageFoot) {
    // Ana's group grows over the foot of page 1 by one boiler of her first extra client at a
    // time; her other clients, Bruno's heading and his clients follow.
    ClientesExtras extras(9, kAna);
    TfrmParRelEquipamentosComPendencias* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    int movidos = 0;
    for (int i = 0; i < 5; ++i, extras.equipamentoDoPrimeiro()) {
        imprime(t->btnConfirmar);
        ASSERT_EQ(preview.count(), i + 1);
        const auto& bandas = registro().bands();
        for (size_t b = 0; b + 1 < bandas.size(); ++b)
            if (bandas[b].band == "QRBandGrupoCab" || bandas[b].band == "QRBand3") {
                EXPECT_EQ(seguinte(b).page, bandas[b].page)
                    << bandas[b].band.toStdString() << " " << i << "\n"
                    << registro().dump().toStdString();
                if (b > 0 && bandas[b].page > 1 && bandas[b - 1].band == "PageHeader") ++movidos;
            }
    }
    EXPECT_GE(movidos, 2) << "headings moved to the next page in some of the prints";
}

TEST_F(PendenciasTest, TheHeaderRepeatsOnEveryPageAndTheGroupCountsAcrossPages) {
    ClientesExtras extras(40);
    TfrmParRelEquipamentosComPendencias* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    escolhe(t->lkRepresentante, "Carla Sem Clientes");
    imprime(t->btnConfirmar);
    ASSERT_EQ(preview.count(), 1);
    const int paginas = registro().pageCount();
    EXPECT_GE(paginas, 2);
    EXPECT_EQ(registro().count("PageHeader"), paginas);
    EXPECT_EQ(registro().count("PageFooter"), paginas);
    EXPECT_EQ(registro().count("QRBand3"), 40);
    EXPECT_EQ(textos("QRBandGrupoRod", "qrlQtde"), QStringList{"40"});
    EXPECT_EQ(pdfPages(pdf()), paginas);
    EXPECT_TRUE(pdfWords(pdf(), 2).contains("Relatório de Equipamentos com Pendências"_t));
    EXPECT_TRUE(pdfWords(pdf(), 2).contains("Página 2"_t));
}

} // namespace
// An impossible date typed in a period field and the print button clicked at once: the date is
// refused with its message and nothing prints, neither with the old date nor with the new one.
TEST_F(PendenciasTest, AnImpossibleDateFollowedByTheButtonIsRefusedAndNothingPrints) {
    TfrmParRelEquipamentosComPendencias* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    digitaEm(t->dtFinal, "31022024");
    imprime(t->btnConfirmar);
    EXPECT_EQ(dialogs.texts(), QStringList{"Data inválida"_t});
    EXPECT_EQ(preview.count(), 0);
    EXPECT_EQ(foco(), t->dtFinal);
    // Corrected, it prints.
    digitaEm(t->dtFinal, "28022024");
    imprime(t->btnConfirmar);
    EXPECT_EQ(dialogs.messageCount(), 1) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(preview.count(), 1);
}

TEST_F(ClientesComAmostrasTest, AnImpossibleFirstDateFollowedByTheButtonIsRefusedAndNothingPrints) {
    TfrmParRelClientesComAmostras* t = abre();
    periodo(t->dtInicial, t->dtFinal, "01022024", "29022024");
    digitaEm(t->dtInicial, "30022024");
    imprime(t->btnConfirmar);
    EXPECT_EQ(dialogs.texts(), QStringList{"Data inválida"_t});
    EXPECT_EQ(preview.count(), 0);
    EXPECT_EQ(foco(), t->dtInicial);
}

} // namespace listagens

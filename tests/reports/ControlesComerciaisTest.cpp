// The two commercial control workbooks, generated from their screens as the user does it and
// read back with openpyxl: headings, rows in their order, subtotal and total rows, client and
// analysis counts, purchase answers, month bounds, messages and the file handed to the desktop.
#include "ListagensFixture.h"
#include "WorkbookReader.h"
#include "platform/WorkbookWriter.h"
#include "reports/UnParRelAnaliseProposta.h"
#include "reports/UnParRelControleAnalise.h"
#include "screens/controls/DBLookupCombo.h"
#include "support/UnProgresso.h"
#include <QFile>

namespace listagens {
namespace {

TEST(MesColetaTest, MonthBoundsFollowTheCalendar) {
    auto limites = [](const char* t) {
        const std::optional<MesColeta> m = LeMesColeta(QString::fromLatin1(t));
        return m ? m->inicio.toString("dd.MM.yyyy") + "-" + m->fim.toString("dd.MM.yyyy")
                 : QString("inválido");
    };
    EXPECT_EQ(limites("02/2024"), "01.02.2024-29.02.2024");
    EXPECT_EQ(limites("02/2023"), "01.02.2023-28.02.2023");
    EXPECT_EQ(limites("02/2000"), "01.02.2000-29.02.2000");
    EXPECT_EQ(limites("02/2100"), "01.02.2100-28.02.2100"); // not a leap year, whatever its last digits
    EXPECT_EQ(limites("12/2023"), "01.12.2023-31.12.2023");
    EXPECT_EQ(limites("04/2024"), "01.04.2024-30.04.2024");
    // A month of one digit, as the edits give it with a place left blank.
    EXPECT_EQ(limites(" 3/2024"), "01.03.2024-31.03.2024");
    EXPECT_EQ(limites("_3/2024"), "01.03.2024-31.03.2024");
    for (const char* ruim : {"13/2024", "00/2024", "02/24", "  /    ", "__/____", "", "ab/2024", "02-2024",
                             "02/2024/1", "02/0999", "2/20 4"})
        EXPECT_EQ(limites(ruim), "inválido") << ruim;
}

class ControleTest : public ListagemTest {
protected:
    // The workbook read back, its one sheet.
    LidoFolha le(const QString& arquivo) {
        const LidoPlanilha p = lePlanilha(arquivo);
        EXPECT_TRUE(p.ok) << p.erro.toStdString();
        EXPECT_EQ(p.folhas.size(), 1);
        return p.folhas.value(0);
    }
    // The cells of a row, columns A.. as texts (dates as yyyy-mm-dd), empty cells as "".
    static QStringList linha(const LidoFolha& f, int r, int colunas) {
        QStringList out;
        for (int c = 0; c < colunas; ++c) {
            const LidoCelula cel = f.celula(QString(QChar('A' + c)) + QString::number(r));
            QString t = cel.valor.toString();
            if (cel.tipo == "d") t = t.left(10);
            out << t;
        }
        return out;
    }
    static QString tipo(const LidoFolha& f, const QString& a) { return f.celula(a).tipo; }
};

// ---------------------------------------------------------------- analyses and proposals

class AnalisePropostaTest : public ControleTest {
protected:
    TfrmParRelAnaliseProposta* abre() {
        auto* t = abreMenu<TfrmParRelAnaliseProposta>("mniControledeAnlisesePropostas1");
        EXPECT_TRUE(t);
        return t;
    }
    void gera(TfrmParRelAnaliseProposta* t, const QString& mes) {
        digitaEm(t->mskMesColeta, mes);
        clica(t->btnGeraPlanilha);
        pump();
    }
    QString arquivo() const { return pastaExcel() + "/Controle de Análises e Propostas.xlsx"; }
};

TEST_F(AnalisePropostaTest, TheScreenFromItsMenuItem) {
    TfrmParRelAnaliseProposta* t = abre();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), "Controle de Análises e Propostas"_t);
    EXPECT_EQ(t->mskNomeRelatorio->text(), "Controle de Análises e Propostas"_t);
    // The current month, ready to be typed over.
    EXPECT_EQ(t->mskMesColeta->text(), "02/2024");
    EXPECT_EQ(foco(), t->mskMesColeta);
    EXPECT_EQ(t->lkRepresentante->currentText(), "<TODOS>");
    EXPECT_EQ(t->lkRepresentante->count(), 4);
    EXPECT_FALSE(t->btnConfirmar->isVisible());
    EXPECT_FALSE(t->btnConfirmar->isEnabled());
    EXPECT_TRUE(t->btnGeraPlanilha->isVisible());
    // Choosing the item again brings the same screen forward.
    EXPECT_EQ(abreMenu<TfrmParRelAnaliseProposta>("mniControledeAnlisesePropostas1"), t);
    EXPECT_EQ(main->telasAbertas().size(), 1);
}

// Records what the progress window showed when the workbook was handed to the desktop.
class ShellDoProgresso : public RecordingShell {
public:
    bool open(const QString& alvo) override {
        const bool aberto = RecordingShell::open(alvo);
        if (TfrmProgresso* p = frmProgresso())
            visto = p->windowTitle() + "|" + p->lblTitulo->text() + "|" + p->lblRodape->text() + "|" +
                    QString::number(p->ggProgresso->percentDone());
        return aberto;
    }
    QString visto;
};

TEST_F(AnalisePropostaTest, RowsOfEachRepresentativeCloseWithTheirSubtotalAndAnEmptyRow) {
    ShellDoProgresso shellProgresso;
    ScopedShell usaShell(shellProgresso);
    TfrmParRelAnaliseProposta* t = abre();
    gera(t, "022024");
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(shellProgresso.opened(), QStringList{arquivo()});
    // The progress window counted the ten rows of the statement and closes after the file is opened.
    EXPECT_EQ(shellProgresso.visto, "Aviso Sistema|Processando...|10 de 10|100");
    EXPECT_EQ(t->arquivo(), arquivo());
    EXPECT_EQ(frmProgresso(), nullptr); // the progress window is gone

    const LidoFolha f = le(arquivo());
    EXPECT_EQ(f.nome, "Plan1");
    EXPECT_EQ(linha(f, 1, 11),
              QStringList({"Representante", "Cliente", "Cidade", "Estado", "Equipamento", "Data da Proposta",
                           "Produtos da Proposta", "Data Coleta", "Data Recebto", "Data Envio", "Compra"}));
    for (int c = 0; c < 11; ++c)
        EXPECT_TRUE(f.celula(QString(QChar('A' + c)) + "1").negrito) << c;

    // Ana: analysis 1 (three pieces), analysis 2 (two), Beta, O'Brien; ordered by every column.
    const QStringList ana = {"Ana Representante"};
    EXPECT_EQ(linha(f, 2, 11),
              QStringList({"Ana Representante", "Alfa Laticínios"_t, "Campinas", "SP", "Torre TR-01",
                           "2023-11-20", "A BC", "2024-02-01", "2024-02-01", "2024-02-03", "S"}));
    EXPECT_EQ(linha(f, 3, 11)[4], "Caldeira 01");
    EXPECT_EQ(linha(f, 3, 11)[6], "HIDROX 110 HIDROALC 50");
    EXPECT_EQ(linha(f, 4, 11)[4], "Caldeira 02");
    EXPECT_EQ(linha(f, 5, 11).mid(4, 7),
              QStringList({"Torre TR-01", "2023-11-20", "A BC", "2024-02-29", "2024-02-29", "", "S"}));
    EXPECT_EQ(linha(f, 6, 11)[4], "Caldeira 01");
    EXPECT_EQ(linha(f, 7, 11),
              QStringList({"Ana Representante", "Beta Hotel", "Santos", "SP", "Caldeira Hotel", "2023-11-20",
                           "HIDROX 110 HIDROALC 50", "2024-02-10", "2024-02-10", "", "N"}));
    EXPECT_EQ(linha(f, 8, 11)[1], "O'Brien Química"_t);
    EXPECT_EQ(linha(f, 8, 11)[10], "S"); // bought on the 29th
    // Subtotal of Ana, bold, then an empty row.
    EXPECT_EQ(linha(f, 9, 11), QStringList({"", "Qtde de Análises: 7"_t, "", "", "", "",
                                            "Qtde de Clientes: 3", "", "", "", ""}));
    EXPECT_TRUE(f.celula("B9").negrito);
    EXPECT_TRUE(f.celula("G9").negrito);
    EXPECT_EQ(linha(f, 10, 11), QStringList(11, ""));
    // Bruno: Gama under each of its two billing cities, then Alfa.
    EXPECT_EQ(linha(f, 11, 11).mid(0, 5),
              QStringList({"Bruno Vendas", "Gama Usina", "Curitiba", "PR", "Torre Usina"}));
    EXPECT_EQ(linha(f, 11, 11)[10], "N");
    EXPECT_EQ(linha(f, 12, 11).mid(0, 4), QStringList({"Bruno Vendas", "Gama Usina", "Londrina", "PR"}));
    EXPECT_EQ(linha(f, 13, 11).mid(0, 3), QStringList({"Bruno Vendas", "Alfa Laticínios"_t, "Campinas"}));
    EXPECT_EQ(linha(f, 13, 11)[10], "S");
    EXPECT_EQ(f.texto("B14"), "Qtde de Análises: 3"_t);
    EXPECT_EQ(f.texto("G14"), "Qtde de Clientes: 2");
    EXPECT_EQ(f.linhas, 14);

    // Dates are dates, the rest text; every column fitted to its contents.
    EXPECT_EQ(tipo(f, "F2"), "d");
    EXPECT_EQ(tipo(f, "H2"), "d");
    EXPECT_EQ(tipo(f, "K2"), "s");
    EXPECT_EQ(f.celula("A2").negrito, false);
    for (QChar c = 'A'; c <= 'K'; c = QChar(c.unicode() + 1))
        EXPECT_GT(f.larguras.value(c), 0) << c.toLatin1();
    EXPECT_GT(f.larguras.value("G"), f.larguras.value("D"));
}

TEST_F(AnalisePropostaTest, ARepresentativeChosenListsOnlyTheirRowsAndAClientWithoutAddressHasNoCity) {
    TfrmParRelAnaliseProposta* t = abre();
    t->lkRepresentante->setFocus();
    QTest::keyClick(t->lkRepresentante, Qt::Key_Down);
    QTest::keyClick(t->lkRepresentante, Qt::Key_Down);
    ASSERT_EQ(t->lkRepresentante->currentText(), "Bruno Vendas");
    gera(t, "032024");
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    const LidoFolha f = le(arquivo());
    EXPECT_EQ(linha(f, 2, 11).mid(0, 5),
              QStringList({"Bruno Vendas", "Delta Têxtil"_t, "", "", "Caldeira Delta"}));
    EXPECT_EQ(f.texto("B3"), "Qtde de Análises: 1"_t);
    EXPECT_EQ(f.texto("G3"), "Qtde de Clientes: 1");
    EXPECT_EQ(f.linhas, 3);

    // In February Bruno alone: three rows and their subtotal.
    gera(t, "022024");
    const LidoFolha g = le(arquivo());
    EXPECT_EQ(linha(g, 2, 1), QStringList{"Bruno Vendas"});
    EXPECT_EQ(linha(g, 4, 2), QStringList({"Bruno Vendas", "Alfa Laticínios"_t}));
    EXPECT_EQ(g.texto("B5"), "Qtde de Análises: 3"_t);
    EXPECT_EQ(g.linhas, 5);
}

TEST_F(AnalisePropostaTest, February2023EndsOnThe28thAndAlternatingClientsCountEachChange) {
    TfrmParRelAnaliseProposta* t = abre();
    gera(t, "022023");
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    const LidoFolha f = le(arquivo());
    // Carla's visits: Alfa, Beta, Alfa again (the 28th); the 1st of March is left out.
    EXPECT_EQ(linha(f, 2, 2), QStringList({"Carla Sem Clientes", "Alfa Laticínios"_t}));
    EXPECT_EQ(linha(f, 3, 2), QStringList({"Carla Sem Clientes", "Beta Hotel"}));
    EXPECT_EQ(linha(f, 4, 11)[7], "2023-02-28");
    EXPECT_EQ(f.texto("B5"), "Qtde de Análises: 3"_t);
    EXPECT_EQ(f.texto("G5"), "Qtde de Clientes: 3");
    EXPECT_EQ(f.linhas, 5);
    // Beta bought on the 28th; Alfa bought nothing that month.
    EXPECT_EQ(f.texto("K2"), "N");
    EXPECT_EQ(f.texto("K3"), "S");
}

TEST_F(AnalisePropostaTest, AnAnalysisWithoutRepresentativeIsListedUnderAnEmptyOne) {
    TfrmParRelAnaliseProposta* t = abre();
    gera(t, "052024");
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    const LidoFolha f = le(arquivo());
    EXPECT_EQ(linha(f, 2, 2), QStringList({"", "Beta Hotel"}));
    EXPECT_EQ(f.texto("K2"), "S");
    EXPECT_EQ(f.texto("B3"), "Qtde de Análises: 1"_t);
    EXPECT_EQ(linha(f, 5, 2), QStringList({"Ana Representante", "Beta Hotel"}));
    EXPECT_EQ(f.texto("K5"), "S");
    EXPECT_EQ(f.texto("G6"), "Qtde de Clientes: 1");
}

TEST_F(AnalisePropostaTest, NothingInTheMonthAndABadMonthAreToldAndWriteNoFile) {
    TfrmParRelAnaliseProposta* t = abre();
    gera(t, "062024");
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Nenhum registro encontrado !");
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.lastMessage().caption, "Aviso do Sistema");
    gera(t, "132024");
    ASSERT_EQ(dialogs.messageCount(), 2);
    EXPECT_TRUE(dialogs.lastMessage().text.startsWith("Mês da coleta inválido"_t));
    EXPECT_EQ(foco(), t->mskMesColeta);
    EXPECT_FALSE(QFile::exists(arquivo()));
    EXPECT_TRUE(shellRec.opened().isEmpty());
}

TEST_F(AnalisePropostaTest, AWorkbookOpenElsewhereIsNotReplacedAndAnOldOneIs) {
    TfrmParRelAnaliseProposta* t = abre();
    QDir().mkpath(pastaExcel());
    QFile velho(arquivo());
    ASSERT_TRUE(velho.open(QIODevice::WriteOnly));
    velho.write("antigo");
    velho.close();
    QFile trava(pastaExcel() + "/.~lock.Controle de Análises e Propostas.xlsx#"_t);
    ASSERT_TRUE(trava.open(QIODevice::WriteOnly));
    trava.close();
    gera(t, "022024");
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Não foi possivel deletar o arquivo Controle de Análises e "
                                          "Propostas\rFeche este arquivo caso esteja em uso."_t);
    EXPECT_EQ(frmProgresso(), nullptr);
    EXPECT_TRUE(shellRec.opened().isEmpty());
    ASSERT_TRUE(velho.open(QIODevice::ReadOnly));
    EXPECT_EQ(velho.readAll(), "antigo");
    velho.close();

    // Closed in the spreadsheet program: the old file gives way.
    trava.remove();
    clica(t->btnGeraPlanilha);
    pump();
    EXPECT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(le(arquivo()).texto("A1"), "Representante");
    // A name that cannot be a file name is refused before anything is written.
    digitaEm(t->mskNomeRelatorio, "Controle/Fevereiro");
    clica(t->btnGeraPlanilha);
    pump();
    ASSERT_EQ(dialogs.messageCount(), 2);
    EXPECT_TRUE(dialogs.lastMessage().text.startsWith("O nome do arquivo não pode conter"_t));
}

TEST_F(AnalisePropostaTest, ARowThatFailsIsToldWithItsPositionAndTheRestIsKept) {
    // The purchase question on a connection that is gone: the first row fails.
    const MesColeta fev{QDate(2024, 2, 1), QDate(2024, 2, 29)};
    Query q(&s_db->db, &s_db->tr);
    q.setSqlText(SqlAnaliseProposta(fev, false));
    q.open();
    Database semConexao;
    Transaction trSem(&semConexao);
    RespostaCompra compra(&semConexao, &trSem, fev);
    QTemporaryDir dir;
    WorkbookWriter wb(dir.filePath("x.xlsx"));
    wb.addSheet("Plan1");
    std::vector<int> passos;
    const ResultadoControle r = EscrevePlanilhaAnaliseProposta(wb, 0, q, compra, [&](int pos, int total) {
        passos.push_back(pos);
        EXPECT_EQ(total, 10);
    });
    wb.close();
    EXPECT_TRUE(r.erro.startsWith("Erro: 1id: 1")) << r.erro.toStdString();
    EXPECT_EQ(r.linhas, 0);
    EXPECT_EQ(passos, std::vector<int>{1});
    const LidoFolha f = le(dir.filePath("x.xlsx"));
    EXPECT_EQ(f.texto("A1"), "Representante");
    EXPECT_EQ(f.linhas, 1);
}

// ---------------------------------------------------------------- analyses per client

class ControleAnaliseTest : public ControleTest {
protected:
    TfrmParRelControleAnalise* abre() {
        auto* t = abreMenu<TfrmParRelControleAnalise>("mniControleAnalisesCliente");
        EXPECT_TRUE(t);
        return t;
    }
    void gera(TfrmParRelControleAnalise* t, const QString& mes) {
        digitaEm(t->mskData, mes);
        clica(t->btnConfirmar);
        pump();
    }
    QString arquivo() const { return pastaExcel() + "/Controle de Análises por Cliente.xlsx"; }
};

TEST_F(ControleAnaliseTest, OneRowPerClientAndRepresentativeWithCountsPurchasesAndTotals) {
    TfrmParRelControleAnalise* t = abre();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), "Controle de Análises por Cliente"_t);
    EXPECT_EQ(t->btnConfirmar->text(), "&Gerar Arquivo do Excel");
    EXPECT_EQ(t->mskData->text(), "02/2024");
    EXPECT_EQ(foco(), t->mskData);
    gera(t, "022024");
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(shellRec.opened(), QStringList{arquivo()});

    const LidoFolha f = le(arquivo());
    EXPECT_EQ(linha(f, 1, 6),
              QStringList({"Cliente", "Cidade", "Estado", "Representante", "Qtd.Análises"_t, "Comprou"}));
    for (int c = 0; c < 6; ++c)
        EXPECT_TRUE(f.celula(QString(QChar('A' + c)) + "1").negrito) << c;
    // Alfa: five pieces in two analyses with Ana; another analysis with Bruno; Beta's bonus is
    // not a purchase; Gama under each billing city; Épsilon owns no equipment and is left out.
    EXPECT_EQ(linha(f, 2, 6),
              QStringList({"Alfa Laticínios"_t, "Campinas", "SP", "Ana Representante", "5", "S"}));
    EXPECT_EQ(linha(f, 3, 6), QStringList({"Alfa Laticínios"_t, "Campinas", "SP", "Bruno Vendas", "1", "S"}));
    EXPECT_EQ(linha(f, 4, 6), QStringList({"Beta Hotel", "Santos", "SP", "Ana Representante", "1", "N"}));
    EXPECT_EQ(linha(f, 5, 6), QStringList({"Gama Usina", "Curitiba", "PR", "Bruno Vendas", "1", "N"}));
    EXPECT_EQ(linha(f, 6, 6), QStringList({"Gama Usina", "Londrina", "PR", "Bruno Vendas", "1", "N"}));
    EXPECT_EQ(linha(f, 7, 6),
              QStringList({"O'Brien Química"_t, "Campinas", "SP", "Ana Representante", "1", "S"}));
    EXPECT_EQ(tipo(f, "E2"), "n");
    EXPECT_FALSE(f.celula("A2").negrito);
    // The totals follow at once.
    EXPECT_EQ(linha(f, 8, 2), QStringList({"Qtd.Clientes", "6"}));
    EXPECT_EQ(linha(f, 9, 2), QStringList({"Qtd.Análises"_t, "10"}));
    EXPECT_EQ(linha(f, 10, 2), QStringList({"Qtd.Compraram", "3"}));
    EXPECT_TRUE(f.celula("A8").negrito);
    EXPECT_TRUE(f.celula("A10").negrito);
    EXPECT_FALSE(f.celula("B9").negrito);
    EXPECT_EQ(f.linhas, 10);
}

TEST_F(ControleAnaliseTest, ARepresentativeChosenCountsOnlyTheirAnalyses) {
    TfrmParRelControleAnalise* t = abre();
    t->lkRepresentante->setFocus();
    QTest::keyClick(t->lkRepresentante, Qt::Key_Down);
    ASSERT_EQ(t->lkRepresentante->currentText(), "Ana Representante");
    gera(t, "022024");
    const LidoFolha f = le(arquivo());
    EXPECT_EQ(linha(f, 2, 6),
              QStringList({"Alfa Laticínios"_t, "Campinas", "SP", "Ana Representante", "5", "S"}));
    EXPECT_EQ(linha(f, 3, 6)[0], "Beta Hotel");
    EXPECT_EQ(linha(f, 4, 6)[0], "O'Brien Química"_t);
    EXPECT_EQ(linha(f, 5, 2), QStringList({"Qtd.Clientes", "3"}));
    EXPECT_EQ(linha(f, 6, 2), QStringList({"Qtd.Análises"_t, "7"}));
    EXPECT_EQ(linha(f, 7, 2), QStringList({"Qtd.Compraram", "2"}));

    // Carla had nothing in February 2024.
    QTest::keyClick(t->lkRepresentante, Qt::Key_Down);
    QTest::keyClick(t->lkRepresentante, Qt::Key_Down);
    ASSERT_EQ(t->lkRepresentante->currentText(), "Carla Sem Clientes");
    gera(t, "022024");
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, "Nenhum registro encontrado !");
}

TEST_F(ControleAnaliseTest, AnAnalysisWithoutRepresentativeCountsUnderAnEmptyOne) {
    TfrmParRelControleAnalise* t = abre();
    gera(t, "052024");
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    const LidoFolha f = le(arquivo());
    // The analysis without representative holds the same piece twice.
    EXPECT_EQ(linha(f, 2, 6), QStringList({"Beta Hotel", "Santos", "SP", "", "2", "S"}));
    EXPECT_EQ(linha(f, 3, 6), QStringList({"Beta Hotel", "Santos", "SP", "Ana Representante", "1", "S"}));
    EXPECT_EQ(linha(f, 4, 2), QStringList({"Qtd.Clientes", "2"}));
    EXPECT_EQ(linha(f, 5, 2), QStringList({"Qtd.Análises"_t, "3"}));
    EXPECT_EQ(linha(f, 6, 2), QStringList({"Qtd.Compraram", "2"}));
}

TEST_F(ControleAnaliseTest, February2023AndTheChoicesKeptForTheNextOpening) {
    TfrmParRelControleAnalise* t = abre();
    digitaEm(t->mskNomeRelatorio, "Fevereiro");
    gera(t, "2/2023");
    ASSERT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    const LidoFolha f = le(pastaExcel() + "/Fevereiro.xlsx");
    EXPECT_EQ(linha(f, 2, 6),
              QStringList({"Alfa Laticínios"_t, "Campinas", "SP", "Carla Sem Clientes", "2", "N"}));
    EXPECT_EQ(linha(f, 3, 6), QStringList({"Beta Hotel", "Santos", "SP", "Carla Sem Clientes", "1", "S"}));
    EXPECT_EQ(linha(f, 6, 2), QStringList({"Qtd.Compraram", "1"}));

    // Closed and opened again: the month starts afresh, the name stays.
    t->setFocus();
    QTest::keyClick(t->mskData, Qt::Key_Escape);
    pump();
    EXPECT_TRUE(main->telasAbertas().isEmpty());
    t = abre();
    EXPECT_EQ(t->mskNomeRelatorio->text(), "Fevereiro");
    EXPECT_EQ(t->mskData->text(), "02/2024");
    digitaEm(t->mskNomeRelatorio, "Controle de Análises por Cliente"_t);
}

TEST_F(ControleAnaliseTest, BothControlWorkbooksSayWhereTheyAreWhenNoProgramOpensThem) {
    shellRec.setOpenResult(false);
    TfrmParRelControleAnalise* t = abre();
    gera(t, "022024");
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Information);
    EXPECT_TRUE(dialogs.lastMessage().text.startsWith("A planilha foi gravada em:\r" + arquivo() + "\r"))
        << dialogs.lastMessage().text.toStdString();
    EXPECT_EQ(le(arquivo()).texto("A1"), "Cliente");
    auto* p = abreMenu<TfrmParRelAnaliseProposta>("mniControledeAnlisesePropostas1");
    ASSERT_TRUE(p);
    digitaEm(p->mskMesColeta, "022024");
    clica(p->btnGeraPlanilha);
    pump();
    ASSERT_EQ(dialogs.messageCount(), 2);
    EXPECT_TRUE(dialogs.lastMessage().text.startsWith("A planilha foi gravada em:\r" + pastaExcel() +
                                                      "/Controle de Análises e Propostas.xlsx\r"_t));
    EXPECT_EQ(shellRec.opened().size(), 2);
}

// The month edits get the current month whenever the screen shows it: the cursor is at the start
// then, so a month typed at once replaces it, also after the screen was left and came back.
TEST_F(ControleAnaliseTest, TheMonthShownOnOpeningIsTypedOverFromItsStart) {
    TfrmParRelControleAnalise* t = abre();
    ASSERT_EQ(foco(), t->mskData);
    EXPECT_EQ(t->mskData->cursorPosition(), 0);
    QTest::keyClicks(foco(), "052024");
    EXPECT_EQ(t->mskData->text(), "05/2024");
}

TEST_F(AnalisePropostaTest, TheMonthShownOnEachActivationIsTypedOverFromItsStart) {
    TfrmParRelAnaliseProposta* t = abre();
    ASSERT_EQ(foco(), t->mskMesColeta);
    QTest::keyClicks(foco(), "052024");
    EXPECT_EQ(t->mskMesColeta->text(), "05/2024");
    // Another screen in front, then this one again: the current month is back, typed over again.
    abreMenu<TfrmParRelControleAnalise>("mniControleAnalisesCliente");
    EXPECT_EQ(abreMenu<TfrmParRelAnaliseProposta>("mniControledeAnlisesePropostas1"), t);
    ASSERT_EQ(foco(), t->mskMesColeta);
    EXPECT_EQ(t->mskMesColeta->text(), "02/2024");
    QTest::keyClicks(foco(), "112023");
    EXPECT_EQ(t->mskMesColeta->text(), "11/2023");
}

} // namespace
} // namespace listagens

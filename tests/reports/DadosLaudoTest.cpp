// Data of the technical report and the fill-in sheet, against an embedded database with known
// analyses: the numbering of the samples, the rows and values of both assemblies, the
// previous-collection lookups and the progress window.
#include "LaudoFixture.h"
#include "QtPrinters.h"
#include "reports/UnDadosLaudo.h"
#include "support/UnProgressoGeral.h"

#include <QApplication>
#include <QCoreApplication>
#include <vector>

namespace {

struct Linha {
    int bloco;
    QString analise;
    std::vector<QVariant> atual, anterior;
};

std::vector<Linha> linhas(MemTable& t) {
    std::vector<Linha> out;
    for (int r = 0; r < t.recordCount(); ++r) {
        Linha l{t.valueAt(r, t.fieldByName(cds::NoPagina)).toInt(),
                t.valueAt(r, t.fieldByName(cds::NmTpAnalise)).toString(),
                {},
                {}};
        for (int n = 1; n <= 4; ++n) {
            l.atual.push_back(t.valueAt(r, t.fieldByName(cds::equipamento(n))));
            l.anterior.push_back(t.valueAt(r, t.fieldByName(cds::anterior(n))));
        }
        out.push_back(l);
    }
    return out;
}

const Linha& linha(const std::vector<Linha>& ls, int bloco, const QString& analise) {
    for (const Linha& l : ls)
        if (l.bloco == bloco && l.analise == analise) return l;
    static Linha nenhuma{0,
                         "<nenhuma>",
                         {QVariant(), QVariant(), QVariant(), QVariant()},
                         {QVariant(), QVariant(), QVariant(), QVariant()}};
    ADD_FAILURE() << "sem a linha " << bloco << " " << analise.toStdString();
    return nenhuma;
}

// Values as the report shows them: null as "-", numbers with two decimals.
QString mostra(const std::vector<QVariant>& v) {
    QStringList out;
    for (const QVariant& x : v)
        out << (x.isNull() ? QString("-") : QString::number(x.toDouble(), 'f', 2));
    return out.join(' ');
}

QString nomes(const std::vector<Linha>& ls) {
    QStringList out;
    for (const Linha& l : ls)
        out << QString("%1 %2").arg(l.bloco).arg(l.analise);
    return out.join(" | ");
}

class DadosLaudo : public LaudoTest {
protected:
    MemTable cdsRelatorio{"cdsRelatorio"};
    void SetUp() override {
        LaudoTest::SetUp();
        CriaCdsRelatorio(cdsRelatorio);
    }
    QString posicoes(int analise) {
        Query q(&db.db);
        q.setSqlText(
            QString("select no_pagina, no_amostra from mov_analise_equipamento where id_analise = %1 "
                    "order by id_analise_equipamento")
                .arg(analise));
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName("NO_PAGINA")->asString() + "/" + q.fieldByName("NO_AMOSTRA")->asString();
        return out.join(' ');
    }
};

// ---------------------------------------------------------------- numbering

TEST_F(DadosLaudo, NumberingGivesBlocksOfFourInKeyOrderAndCommits) {
    exec("insert into MOV_ANALISE values (9, '01.04.2024', '01.04.2024', NULL, NULL, 10, 20, 30, 1)");
    // Keys out of insertion order: the numbering follows the keys.
    for (int k : {39, 31, 38, 32, 37, 33, 36, 34, 35})
        amostra(k, 9, 101 + k % 5);
    NumeraPaginasAmostras(9);
    EXPECT_EQ(posicoes(9), "1/1 1/2 1/3 1/4 2/1 2/2 2/3 2/4 3/1");

    // Committed: another connection sees the numbers.
    Database outra;
    outra.setDatabaseName(db.path);
    outra.connect();
    Transaction tr(&outra);
    outra.setDefaultTransaction(&tr);
    Query q(&outra, &tr);
    q.setSqlText("select count(*) as n from mov_analise_equipamento where id_analise = 9 and no_pagina = 3");
    q.open();
    EXPECT_EQ(q.fieldByName("N")->asInteger(), 1);
    q.close();
    tr.commit();
    outra.disconnect();
}

TEST_F(DadosLaudo, NumberingLeavesRowsAlreadyNumberedUntouched) {
    NumeraPaginasAmostras(2);
    exec("update mov_analise_equipamento set no_amostra = 4 where id_analise_equipamento = 13");
    const QString versoes = "select list(v) from (select rdb$record_version as v from "
                            "mov_analise_equipamento where id_analise = 2 order by id_analise_equipamento)";
    const QStringList antes = db.scalar(versoes).toString().split(',');
    NumeraPaginasAmostras(2);
    EXPECT_EQ(posicoes(2), "1/1 1/2 1/3 1/4 2/1");
    const QStringList depois = db.scalar(versoes).toString().split(',');
    ASSERT_EQ(antes.size(), 5);
    ASSERT_EQ(depois.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(antes[i] != depois[i], i == 2) << "row " << i;
}

TEST_F(DadosLaudo, NumberingOfAnAnalysisWithoutEquipmentDoesNothing) {
    exec("insert into MOV_ANALISE values (8, '01.04.2024', '01.04.2024', NULL, NULL, 10, 20, 30, 1)");
    NumeraPaginasAmostras(8);
    EXPECT_EQ(posicoes(8), "");
    EXPECT_EQ(posicoes(2), "/ / / / /") << "other analyses keep their empty numbers";
}

// ---------------------------------------------------------------- lookups

TEST_F(DadosLaudo, PreviousAnalysisProposalAndPreviousValue) {
    EXPECT_EQ(BuscaAnaliseAnterior(101, QDate(2024, 2, 10)), 1);
    EXPECT_EQ(BuscaAnaliseAnterior(101, QDate(2024, 1, 10)), 0) << "the same day is not before";
    EXPECT_EQ(BuscaAnaliseAnterior(103, QDate(2024, 2, 10)), 0);
    EXPECT_EQ(BuscaAnaliseAnterior(101, QDate(2030, 1, 1)), 2) << "the latest before the date";
    EXPECT_EQ(BuscaNumeroProposta(1, 10), "PR-2024/0007") << "the greatest by text";
    EXPECT_EQ(BuscaNumeroProposta(2, 10), "");
    EXPECT_DOUBLE_EQ(BuscaResultadoAnalise(1, 2, 101), 3100);
    EXPECT_DOUBLE_EQ(BuscaResultadoAnalise(1, 2, 102), 0) << "not measured";
    EXPECT_DOUBLE_EQ(BuscaResultadoAnalise(0, 1, 101), 0) << "no previous analysis";
}

TEST_F(DadosLaudo, AnalysisAsStoredWithTheDropDownTexts) {
    const TAnaliseImpressao a = LeAnaliseImpressao(2);
    EXPECT_EQ(a.dtColeta, QDate(2024, 2, 10));
    EXPECT_FALSE(a.dtAvaliacao.isValid());
    EXPECT_EQ(a.cliente, "Laticínios Araucária"_q);
    EXPECT_EQ(a.representante, "Rita Vendas");
    EXPECT_EQ(a.idResponsavelTecnico, 30);
    try {
        LeAnaliseImpressao(77);
        ADD_FAILURE() << "no error for a missing analysis";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "A análise 77 não existe."_q);
    }
}

// ---------------------------------------------------------------- technical report

TEST_F(DadosLaudo, FiveEquipmentGiveTwoBlocksWithValuesNowAndAtThePreviousCollection) {
    NumeraPaginasAmostras(2);
    MontaDadosLaudo(cdsRelatorio, analise(2));
    const auto ls = linhas(cdsRelatorio);
    // Before the dispatch date every type of every block is listed, by block and name.
    EXPECT_EQ(nomes(ls), "1 Alcalinidade Total | 1 Condutividade | 1 Ferro | 1 Sílica | 1 pH | "
                         "2 Alcalinidade Total | 2 Condutividade | 2 Ferro | 2 Sílica | 2 pH"_q);

    const Linha& ph = linha(ls, 1, "pH");
    EXPECT_EQ(mostra(ph.atual), "10.70 11.20 10.90 11.00");
    // 101 and 102 were collected in January; 103 and 104 for the first time: 0.
    EXPECT_EQ(mostra(ph.anterior), "10.80 11.05 0.00 0.00");
    // 102's January collection measured pH only.
    EXPECT_EQ(mostra(linha(ls, 1, "Condutividade").anterior), "3100.00 0.00 0.00 0.00");
    EXPECT_EQ(mostra(linha(ls, 1, "Condutividade").atual), "3250.00 2900.00 1234.50 2800.00");
    // Nobody in block 1 measured iron or silica: the rows hold no value.
    EXPECT_EQ(mostra(linha(ls, 1, "Ferro").atual), "- - - -");
    EXPECT_EQ(mostra(linha(ls, 1, "Ferro").anterior), "- - - -");
    EXPECT_EQ(mostra(linha(ls, 1, "Sílica"_q).anterior), "- - - -");
    // Block 2 holds sample 1 only.
    EXPECT_EQ(mostra(linha(ls, 2, "pH").atual), "10.60 - - -");
    EXPECT_EQ(mostra(linha(ls, 2, "pH").anterior), "0.00 - - -");
    EXPECT_EQ(mostra(linha(ls, 2, "Ferro").atual), "1.35 - - -");
}

TEST_F(DadosLaudo, OnceDispatchedATypeNoSampleOfABlockMeasuredIsLeftOut) {
    NumeraPaginasAmostras(2);
    TAnaliseImpressao a = analise(2);
    a.dtEnvio = QDate(2024, 2, 20);
    MontaDadosLaudo(cdsRelatorio, a);
    EXPECT_EQ(nomes(linhas(cdsRelatorio)), "1 Alcalinidade Total | 1 Condutividade | 1 pH | "
                                           "2 Alcalinidade Total | 2 Condutividade | 2 Ferro | 2 pH");
}

TEST_F(DadosLaudo, AResultWithoutValueKeepsNoRowOnceDispatchedAndPrintsZero) {
    NumeraPaginasAmostras(2);
    exec("update mov_analise_resultado set vl_resultado = null where id_analise_equipamento = 15 and "
         "id_tp_analise = 5");
    TAnaliseImpressao a = analise(2);
    MontaDadosLaudo(cdsRelatorio, a);
    EXPECT_EQ(mostra(linha(linhas(cdsRelatorio), 2, "Ferro").atual), "0.00 - - -");
    cdsRelatorio.emptyDataSet();
    a.dtEnvio = QDate(2024, 2, 20);
    MontaDadosLaudo(cdsRelatorio, a);
    EXPECT_FALSE(nomes(linhas(cdsRelatorio)).contains("2 Ferro"));
}

TEST_F(DadosLaudo, SamePreviousDayTakesTheLatestAnalysisKey) {
    // A second January analysis of boiler 101 on the same day, entered later.
    exec("insert into MOV_ANALISE values (5, '10.01.2024', '10.01.2024', NULL, NULL, 10, 20, 30, 1)");
    amostra(51, 5, 101);
    resultado(51, 1, "9.99");
    EXPECT_EQ(BuscaAnaliseAnterior(101, QDate(2024, 2, 10)), 5);
    NumeraPaginasAmostras(2);
    MontaDadosLaudo(cdsRelatorio, analise(2));
    EXPECT_EQ(mostra(linha(linhas(cdsRelatorio), 1, "pH").anterior), "9.99 11.05 0.00 0.00");
}

// The progress window: opened with its texts, the gauge's maximum the number of rows, one
// step at the start of each row (seen as each row is appended), closed at the end and after an
// error.
TEST_F(DadosLaudo, ProgressWindowStepsOncePerRowAndCloses) {
    NumeraPaginasAmostras(2);
    QStringList passos;
    QString textos;
    cdsRelatorio.afterInsert = [&](DataSet&) {
        TfrmProgressoGeral* w = frmProgressoGeral();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->isVisible());
        passos << QString("%1/%2").arg(w->ggProgresso->progress()).arg(w->ggProgresso->maxValue());
        textos = w->windowTitle() + " | " + w->lblTitulo->text() + " | " + w->lblRodape->text();
    };
    MontaDadosLaudo(cdsRelatorio, analise(2));
    EXPECT_EQ(textos, "Aguarde ... | Processando... | Aguarde o processamento...");
    EXPECT_EQ(passos.join(' '), "1/10 2/10 3/10 4/10 5/10 6/10 7/10 8/10 9/10 10/10");
    EXPECT_EQ(frmProgressoGeral(), nullptr);
}

TEST_F(DadosLaudo, ProgressWindowClosesAfterAnErrorAndTheFailedRowIsNotKept) {
    NumeraPaginasAmostras(2);
    // A report table whose name column cannot hold the names: the first row fails.
    MemTable estreita("cdsRelatorio");
    estreita.addFieldDef(cds::NoPagina, FieldKind::Integer);
    estreita.addFieldDef(cds::NmTpAnalise, FieldKind::String, 3);
    estreita.addFieldDef(cds::DsResultadoIdeal, FieldKind::String, 50);
    for (int n = 1; n <= 4; ++n) {
        estreita.addFieldDef(cds::equipamento(n), FieldKind::BCD);
        estreita.addFieldDef(cds::anterior(n), FieldKind::BCD);
    }
    estreita.createDataSet();
    EXPECT_THROW(MontaDadosLaudo(estreita, analise(2)), AppError);
    EXPECT_EQ(frmProgressoGeral(), nullptr);
    EXPECT_FALSE(estreita.editing());
    EXPECT_EQ(estreita.recordCount(), 0);
}

// ---------------------------------------------------------------- fill-in sheet

TEST_F(DadosLaudo, SheetHoldsThePreviousValuesAndZeroWhereThereIsNone) {
    NumeraPaginasAmostras(2);
    MontaDadosPlanilha(cdsRelatorio, analise(2));
    const auto ls = linhas(cdsRelatorio);
    EXPECT_EQ(ls.size(), 10u) << "no row is dropped";
    EXPECT_EQ(mostra(linha(ls, 1, "pH").atual), "10.80 11.05 0.00 0.00");
    // A previous analysis that measured some types only gives 0 for the others.
    EXPECT_EQ(mostra(linha(ls, 1, "Condutividade").atual), "3100.00 0.00 0.00 0.00");
    EXPECT_EQ(mostra(linha(ls, 1, "Ferro").atual), "0.45 0.00 0.00 0.00");
    EXPECT_EQ(mostra(linha(ls, 1, "Sílica"_q).atual), "0.00 0.00 0.00 0.00");
    EXPECT_EQ(mostra(linha(ls, 2, "pH").atual), "0.00 0.00 0.00 0.00");
    // The previous-value columns are not used by the sheet.
    EXPECT_EQ(mostra(linha(ls, 1, "pH").anterior), "- - - -");
}

TEST_F(DadosLaudo, SheetOfAFirstEverAnalysisIsAllZero) {
    NumeraPaginasAmostras(1);
    MontaDadosPlanilha(cdsRelatorio, analise(1));
    const auto ls = linhas(cdsRelatorio);
    ASSERT_EQ(ls.size(), 5u);
    for (const Linha& l : ls)
        EXPECT_EQ(mostra(l.atual), "0.00 0.00 0.00 0.00") << l.analise.toStdString();
}

TEST_F(DadosLaudo, CopyKeepsEveryRowAndValue) {
    NumeraPaginasAmostras(2);
    MontaDadosLaudo(cdsRelatorio, analise(2));
    MemTable copia("copia");
    CriaCdsRelatorio(copia);
    CopiaCdsRelatorio(cdsRelatorio, copia);
    const auto a = linhas(cdsRelatorio), b = linhas(copia);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].analise, b[i].analise);
        EXPECT_EQ(mostra(a[i].atual), mostra(b[i].atual));
        EXPECT_EQ(mostra(a[i].anterior), mostra(b[i].anterior));
    }
}

TEST_F(DadosLaudo, ARowTheCopyRefusesLeavesBothTablesFollowedByTheirControls) {
    NumeraPaginasAmostras(2);
    MontaDadosLaudo(cdsRelatorio, analise(2));
    ASSERT_GE(cdsRelatorio.recordCount(), 3);
    MemTable copia("copia");
    CriaCdsRelatorio(copia);
    int gravadas = 0;
    copia.beforePost = [&](DataSet&) {
        if (++gravadas == 3) throw ValidationError(QStringLiteral("Linha recusada."));
    };
    EXPECT_THROW(CopiaCdsRelatorio(cdsRelatorio, copia), ValidationError);
    EXPECT_FALSE(cdsRelatorio.controlsDisabled());
    EXPECT_FALSE(copia.controlsDisabled());
    EXPECT_FALSE(copia.editing());
    EXPECT_EQ(copia.recordCount(), 2);
}

} // namespace

// The fill-in sheet of known analyses, printed through its entry point into the scripted
// preview and read back from the PDF with poppler (words in their columns, pages) and from the
// engine's record.
#include "LaudoFixture.h"
#include "QtPrinters.h"
#include "reports/UnImpressaoAnalise.h"
#include "sitegen/DemoImages.h"

#include <algorithm>

using namespace reporttest;

namespace {

// Columns on the paper (left margin 10 mm): analysis, samples 1 to 4, control parameter.
const double kColunas[] = {10.0, 61.9, 83.0, 104.2, 125.4, 146.5, 199.4};

class Planilha : public LaudoTest {
protected:
    ScriptedReportPreview::Call imprime(const TAnaliseImpressao& a, const QString& guarda = {}) {
        ImprimePlanilhaPreenchimento(a);
        ScriptedReportPreview::Call c = preview.last();
        if (!guarda.isEmpty()) keep(c.pdfPath, guarda);
        return c;
    }
    // The grid row of the page whose analysis name is `analise`, cell by cell.
    static QString linha(const std::vector<PalavraPdf>& ps, const QString& analise) {
        double y = -1;
        for (const PalavraPdf& p : ps)
            if (p.texto == analise && p.mm.left() < kColunas[0] + 2) y = p.mm.top();
        if (y < 0) return "<sem a linha " + analise + ">";
        QStringList out;
        for (int c = 0; c + 1 < 7; ++c) {
            QStringList ws;
            for (const PalavraPdf& p : ps)
                if (std::abs(p.mm.top() - y) < 1.0 && p.mm.left() >= kColunas[c] - 0.1 &&
                    p.mm.right() <= kColunas[c + 1] + 0.1)
                    ws << p.texto;
            out << ws.join(' ');
        }
        return out.join(" | ");
    }
};

TEST_F(Planilha, EachBlockOnItsOwnPageWithThePreviousValues) {
    const auto& c = imprime(analise(2), "planilha-analise-2.pdf");
    EXPECT_EQ(c.caption, "Planilha de Preenchimento");
    ASSERT_EQ(pdfPages(c.pdfPath), 2);
    EXPECT_EQ(c.pageCount, 2);
    const QString p1 = pdfWords(c.pdfPath, 1);
    for (const QString& s :
         {"Relatório de Análise de Caldeira"_q, "Cliente: Laticínios Araucária"_q, "Cidade: Curitiba - PR"_q,
          "Representante: Rita Vendas"_q, "Data Coleta: 10/02/2024"_q, "Data Recebto: 10/02/2024"_q,
          "Amostras de Água para: Caldeira"_q, "1. Caldeira 01 2. Caldeira 02"_q,
          "3. Caldeira 03 4. Caldeira 04"_q, "Análise 1 2 3 4 Parâmetros de Controle"_q})
        EXPECT_TRUE(p1.contains(s)) << s.toStdString() << "\n" << p1.toStdString();
    // Empty dates leave their labels alone.
    EXPECT_TRUE(p1.contains("Data Análise: Data Envio: Amostras"_q));

    const auto ps = palavrasPdf(c.pdfPath, 1);
    EXPECT_EQ(linha(ps, "pH"), "pH | 10,80 | 11,05 | 0,00 | 0,00 | 10,5 a 11,5");
    EXPECT_EQ(linha(ps, "Condutividade"), "Condutividade | 3100,00 | 0,00 | 0,00 | 0,00 | Máx. 3.500"_q);
    EXPECT_EQ(linha(ps, "Sílica"_q), "Sílica | 0,00 | 0,00 | 0,00 | 0,00 | Máx. 150"_q);

    // Page 2: block 2, with the page header again and only its one sample's title.
    const QString p2 = pdfWords(c.pdfPath, 2);
    EXPECT_TRUE(p2.contains("Relatório de Análise de Caldeira"_q));
    EXPECT_TRUE(p2.contains("1. Caldeira 05")) << p2.toStdString();
    EXPECT_FALSE(p2.contains("2.")) << p2.toStdString();
    EXPECT_FALSE(p2.contains("Data Coleta")) << "the dates print once, on the first page";
    EXPECT_EQ(linha(palavrasPdf(c.pdfPath, 2), "pH"), "pH | 0,00 | 0,00 | 0,00 | 0,00 | 10,5 a 11,5");
    const auto blocos = c.record.of("QRGroup1");
    ASSERT_EQ(blocos.size(), 2u);
    EXPECT_EQ(blocos[1]->page, 2);
    EXPECT_FALSE(blocos[1]->has("qrlAmostra2"));
    EXPECT_EQ(c.record.count("QRBand3"), 10) << "every type of every block";
}

TEST_F(Planilha, SixEquipmentGiveASecondPageWithTwoSamples) {
    exec(
        "insert into TAB_EQUIPAMENTO_CLI (ID_EQUIPAMENTO_CLI, ID_CLIENTE, ID_TP_EQUIPAMENTO, NM_EQUIPAMENTO) "
        "values (106, 10, 1, 'Caldeira 06')");
    amostra(3, 1, 106);
    resultado(3, 1, "10.95");
    resultado(3, 2, "2750");
    amostra(16, 2, 106);
    const auto& c = imprime(analise(2), "planilha-seis.pdf");
    ASSERT_EQ(pdfPages(c.pdfPath), 2);
    const auto blocos = c.record.of("QRGroup1");
    ASSERT_EQ(blocos.size(), 2u);
    EXPECT_EQ(blocos[1]->text("qrlEquipamento2"), "Caldeira 06");
    EXPECT_FALSE(blocos[1]->has("qrlAmostra3"));
    const auto ps = palavrasPdf(c.pdfPath, 2);
    EXPECT_EQ(linha(ps, "pH"), "pH | 0,00 | 10,95 | 0,00 | 0,00 | 10,5 a 11,5");
    EXPECT_EQ(linha(ps, "Condutividade"), "Condutividade | 0,00 | 2750,00 | 0,00 | 0,00 | Máx. 3.500"_q);
}

TEST_F(Planilha, FirstEverAnalysisPrintsZeroEverywhere) {
    const auto& c = imprime(analise(1));
    const QStringList valores =
        c.record.texts("QRBand3", "qrdbAnterior1") + c.record.texts("QRBand3", "qrdbAnterior2") +
        c.record.texts("QRBand3", "qrdbAnterior3") + c.record.texts("QRBand3", "qrdbAnterior4");
    EXPECT_EQ(valores.size(), 20);
    EXPECT_EQ(valores.count("0,00"), 20);
}

TEST_F(Planilha, BlankReportTitleAndTheStoredDates) {
    exec("update mov_analise set dt_envio = '08.03.2024' where id_analise = 3");
    const auto& c = imprime(analise(3));
    EXPECT_EQ(c.record.texts("QRBand1", "qrlTitulo").join(','), "");
    const QString texto = pdfWords(c.pdfPath);
    EXPECT_FALSE(texto.contains("Relatório de Análise"_q));
    EXPECT_TRUE(texto.contains("Cidade: Representante:")) << "no billing city: empty" << texto.toStdString();
    EXPECT_TRUE(texto.contains("Data Análise: 06/03/2024 Data Envio: 08/03/2024"_q)) << texto.toStdString();
    EXPECT_TRUE(texto.contains("Amostras de Água para: Torre"_q));
}

TEST_F(Planilha, FooterPictureSitsAtTheFootOfThePaperBelowEveryRow) {
    QDir().mkpath(dados() + "/imagens");
    imagem(dados() + "/imagens/Logo_Cortivandela.jpg", QColor(20, 60, 160), {556, 370});
    imagem(dados() + "/imagens/Rodape_Cortivandela.jpg", QColor(20, 140, 60), {1894, 283});
    // Enough types that a block runs over a page.
    for (int t = 6; t <= 30; ++t) {
        exec(QString("insert into TAB_TP_ANALISE values (%1, 'Ensaio %1')").arg(t));
        exec(QString("insert into TAB_RESULTADO_IDEAL values (%1, %2, 1, 'Máx. %2')").arg(t + 100).arg(t));
    }
    TAnaliseImpressao a = analise(2);
    a.imprimirLogomarca = true;
    const auto& c = imprime(a, "planilha-rodape.pdf");
    EXPECT_EQ(c.record.texts("QRBand1", "imgLogo").value(0), "[imagem]");
    const auto rodapes = c.record.of("QRBand6");
    ASSERT_EQ(static_cast<int>(rodapes.size()), c.pageCount);
    for (const ReportPrintedBand* b : rodapes) {
        EXPECT_NEAR(b->topMm, 261.4, 0.05);
        EXPECT_EQ(b->text("imgRodape"), "[imagem]");
    }
    for (const ReportPrintedBand& b : c.record.bands())
        if (b.band == "QRBand3") {
            EXPECT_LE(b.topMm + b.heightMm, 261.4 + 0.01) << b.row;
        }

    a.imprimirLogomarca = false;
    const auto& d = imprime(a);
    EXPECT_EQ(d.record.texts("QRBand1", "imgLogo").value(0), "");
    EXPECT_NEAR(d.record.of("QRBand6").front()->heightMm, 7.4, 0.01);
    EXPECT_LE(d.pageCount, c.pageCount);
}

// How the picture of page 1 of a PDF with these pixels prints: its width and height in
// millimetres, from the resolution pdfimages finds it drawn at; empty when it is not there.
QSizeF impressa(const QString& pdf, QSize pixels) {
    const QStringList linhas = run("pdfimages", {"-list", "-f", "1", "-l", "1", pdf}).split('\n');
    for (const QString& l : linhas.mid(2)) {
        const QStringList c = l.simplified().split(' ');
        if (c.size() < 14 || c[2] != "image" || c[3].toInt() != pixels.width() ||
            c[4].toInt() != pixels.height())
            continue;
        return {c[3].toDouble() / c[12].toDouble() * 25.4, c[4].toDouble() / c[13].toDouble() * 25.4};
    }
    return {};
}

TEST_F(Planilha, TheDemoSitesLogoPrintsAtItsLayoutSizeHereAndUndistortedOnTheReport) {
    writeDemoImages(dados() + "/Imagens", {});
    TAnaliseImpressao a = analise(2);
    a.imprimirLogomarca = true;
    const auto& c = imprime(a, "planilha-logo-demo.pdf");
    const QSize logo = QImage(dados() + "/Imagens/Logo_Cortivandela.jpg").size();
    const QSizeF planilha = impressa(c.pdfPath, logo);
    EXPECT_NEAR(planilha.width(), 55.6, 0.3);
    EXPECT_NEAR(planilha.height(), 37.0, 0.3);

    // The technical report prints the same logo across its header as large as it fits
    // without changing its proportions.
    ImprimeRelatorioAnalise(a);
    const QSizeF laudo = impressa(preview.last().pdfPath, logo);
    keep(preview.last().pdfPath, "laudo-logo-demo.pdf");
    EXPECT_NEAR(laudo.height(), 20.9, 0.3);
    EXPECT_NEAR(laudo.width() / laudo.height(), 55.6 / 37.0, 0.02);
}

} // namespace

// A calculated type is marked on the sheet, so the bench does not measure it; the technical
// report prints its stored value like any other.
TEST_F(Planilha, CalculatedTypesAreMarkedNotToBeMeasured) {
    exec("insert into sis_ctv_formula values (1, 'PH', null)");
    exec("insert into sis_ctv_formula values (4, 'SIL', 'PH * 10')");
    const auto& c = imprime(analise(2));
    const QStringList nomes = c.record.texts("QRBand3", "qrdbNmTpAnalise");
    EXPECT_EQ(nomes.count("Sílica (calculado: não medir)"_q), 2) << nomes.join('|').toStdString();
    EXPECT_EQ(nomes.count("pH"), 2);
    EXPECT_TRUE(pdfWords(c.pdfPath, 1).contains("Sílica (calculado: não medir)"_q));
    exec("delete from sis_ctv_formula");
}

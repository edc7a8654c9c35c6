// The technical report of known analyses, printed through its entry point into the scripted
// preview and read back from the PDF with poppler (words in their columns, accents, page
// count) and from the engine's record of the bands that printed.
#include "LaudoFixture.h"
#include "QtPrinters.h"
#include "data/ParametrosProprios.h"
#include "reports/UnImpressaoAnalise.h"
#include "reports/UnRelatorioAnaliseMod2.h"
#include "support/UnProgressoGeral.h"

#include <QPainter>
#include <algorithm>

using namespace reporttest;

namespace {

// The grid's columns on the paper (the left margin is 10 mm): analysis, ideal, then each
// sample's value now and at the previous collection.
struct Faixa {
    double de, ate;
};
const Faixa kAnalise{10.0, 48.1}, kIdeal{48.1, 79.8};
const Faixa kAtual[4] = {{79.8, 95.2}, {109.5, 124.0}, {138.3, 155.0}, {169.0, 184.6}};
const Faixa kAnterior[4] = {{95.2, 109.5}, {124.0, 138.3}, {155.0, 169.0}, {184.6, 198.6}};

class RelatorioAnalise : public LaudoTest {
protected:
    ScriptedReportPreview::Call imprime(const TAnaliseImpressao& a, const QString& guarda = {}) {
        ImprimeRelatorioAnalise(a);
        ScriptedReportPreview::Call c = preview.last();
        if (!guarda.isEmpty()) keep(c.pdfPath, guarda);
        return c;
    }

    // The words of the grid row whose analysis name starts with `analise`, the n-th such row
    // of the page (a name repeats in each block), cell by cell.
    static QStringList linha(const std::vector<PalavraPdf>& ps, const QString& analise, int vez = 1) {
        std::vector<double> ys;
        for (const PalavraPdf& p : ps)
            if (p.texto == analise && p.mm.left() < kAnalise.de + 2) ys.push_back(p.mm.top());
        std::sort(ys.begin(), ys.end());
        if (static_cast<int>(ys.size()) < vez) return {"<sem a linha " + analise + ">"};
        const double y = ys[static_cast<size_t>(vez - 1)];
        auto celula = [&](const Faixa& f) {
            QStringList ws;
            for (const PalavraPdf& p : ps)
                if (std::abs(p.mm.top() - y) < 1.0 && p.mm.left() >= f.de - 0.1 &&
                    p.mm.right() <= f.ate + 0.1)
                    ws << p.texto;
            return ws.join(' ');
        };
        QStringList out{celula(kAnalise), celula(kIdeal)};
        for (int n = 0; n < 4; ++n)
            out << celula(kAtual[n]) << celula(kAnterior[n]);
        return out;
    }

    static QStringList textos(const ReportRecord& r, const QString& banda, const QString& elemento) {
        return r.texts(banda, elemento);
    }
};

TEST_F(RelatorioAnalise, HeaderGridAndCommentsReadBackFromThePdf) {
    const auto& c = imprime(analise(2), "laudo-analise-2.pdf");
    EXPECT_EQ(c.caption, "Laudo Técnico de Análises Químicas"_q);
    ASSERT_EQ(pdfPages(c.pdfPath), 1);
    EXPECT_EQ(c.pageCount, 1);
    const QString texto = pdfWords(c.pdfPath);
    for (const QString& s :
         {"Laudo Técnico de Análises Químicas"_q, "Laticínios Araucária"_q, "N° da proposta: PR-2024/0007"_q,
          "Curitiba - PR - Fone: (41) 3333-4444"_q, "CNPJ: 11.222.333/0001-81"_q,
          "Representante: Rita Vendas"_q, "Data da coleta: 10/02/2024"_q, "Data do recebimento: 10/02/2024"_q,
          "Amostras de água:"_q, "Resultado Analítico"_q, "Resultados expressos em mg/L, exceto pH."_q,
          "1) Condutividade próxima do limite."_q, "4) Alcalinidade dentro do esperado."_q,
          "1) Ferro elevado; verificar a corrosão na linha de retorno."_q, "Dra. Helena Souza"_q,
          "Químico - CRQ: CRQ-IV 0412"_q})
        EXPECT_TRUE(texto.contains(s)) << s.toStdString();
    // Without an evaluation date the label stands alone.
    EXPECT_TRUE(texto.contains("Data da análise: Amostras de água:"_q)) << texto.toStdString();

    const auto ps = palavrasPdf(c.pdfPath, 1);
    // Block 1: samples 1 and 2 were collected in January, 3 and 4 for the first time.
    EXPECT_EQ(linha(ps, "pH").join(" | "),
              "pH | 10,5 a 11,5 | 10,70 | 10,80 | 11,20 | 11,05 | 10,90 | 0,00 | 11,00 | 0,00");
    EXPECT_EQ(linha(ps, "Condutividade").join(" | "),
              "Condutividade | Máx. 3.500 | 3.250,00 | 3.100,00 | 2.900,00 | 0,00 | 1.234,50 | 0,00 | "
              "2.800,00 | 0,00"_q);
    // Block 2 holds sample 1 only; its other columns stay empty.
    EXPECT_EQ(linha(ps, "pH", 2).join(" | "), "pH | 10,5 a 11,5 | 10,60 | 0,00 |  |  |  |  |  | ");
    EXPECT_EQ(linha(ps, "Ferro").join(" | "), "Ferro | Máx. 1,0 | 1,35 | 0,00 |  |  |  |  |  | "_q);
    EXPECT_EQ(linha(ps, "Ferro", 2).join(" | "), "<sem a linha Ferro>") << "block 1 measured no iron";
    EXPECT_EQ(linha(ps, "Sílica"_q).join(" | "), "<sem a linha Sílica>"_q) << "nobody measured silica";
}

TEST_F(RelatorioAnalise, BlocksNamesDatesAndCommentBandsFollowTheSamples) {
    const ReportRecord r = imprime(analise(2)).record;
    EXPECT_EQ(textos(r, "QRGroup1", "qrlEquipamento1").join(','), "Caldeira 01,Caldeira 05");
    EXPECT_EQ(textos(r, "QRGroup1", "qrlEquipamento2").join(','), "Caldeira 02,");
    // The titles print in the second block too, with empty names.
    EXPECT_EQ(textos(r, "QRGroup1", "qrlAmostra4").join(','), "4.,4.");
    // Dates over the columns: the collection date now; the previous collection's date, the
    // date system's zero (30/12/99) for equipment collected for the first time; none over an
    // absent sample.
    EXPECT_EQ(textos(r, "ChildBand3", "qrlDataAtual1").join(','), "10/02/24,10/02/24");
    EXPECT_EQ(textos(r, "ChildBand3", "qrlDataAnterior1").join(','), "10/01/24,30/12/99");
    EXPECT_EQ(textos(r, "ChildBand3", "qrlDataAnterior2").join(','), "10/01/24,");
    EXPECT_EQ(textos(r, "ChildBand3", "qrlDataAnterior3").join(','), "30/12/99,");
    EXPECT_FALSE(r.of("ChildBand3")[1]->has("qrlDataAtual2"));
    // Comment bands only for comments with text: 102's holds blanks, 103 has none.
    EXPECT_EQ(r.count("ChildBand5"), 2);
    EXPECT_EQ(r.count("ChildBand4"), 0);
    EXPECT_EQ(r.count("ChildBand7"), 0);
    EXPECT_EQ(r.count("ChildBand8"), 1);
    EXPECT_EQ(r.count("QRBand4"), 2) << "the standing text after each block";
    EXPECT_EQ(r.count("QRBand2"), 1);
    EXPECT_EQ(r.count("QRBand5"), 1);
}

TEST_F(RelatorioAnalise, DatesOverTheColumnsFollowTheWholeBlockNotItsFirstRow) {
    // Block 1's first row (Alcalinidade Total, by name) loses its values; the block still shows
    // values in its other rows, so the dates print over every sample's columns.
    exec("delete from mov_analise_resultado where id_tp_analise = 3 and id_analise_equipamento between 11 "
         "and 14");
    const ReportRecord r = imprime(analise(2)).record;
    ASSERT_EQ(r.texts("QRBand3", "qrdbNmTpAnalise").value(0), "Condutividade");
    EXPECT_EQ(r.texts("ChildBand3", "qrlDataAtual1").value(0), "10/02/24");
    EXPECT_EQ(r.texts("ChildBand3", "qrlDataAnterior2").value(0), "10/01/24");
    EXPECT_EQ(r.texts("ChildBand3", "qrlDataAtual4").value(0), "10/02/24");
}

TEST_F(RelatorioAnalise, TypesNoSampleOfABlockMeasuredPrintNoRowWhetherDispatchedOrNot) {
    TAnaliseImpressao a = analise(2);
    const QStringList antes = imprime(a).record.texts("QRBand3", "qrdbNmTpAnalise");
    a.dtEnvio = QDate(2024, 2, 20);
    const QStringList depois = imprime(a).record.texts("QRBand3", "qrdbNmTpAnalise");
    EXPECT_EQ(antes.join(','),
              "Alcalinidade Total,Condutividade,pH,Alcalinidade Total,Condutividade,Ferro,pH");
    EXPECT_EQ(depois, antes);
}

TEST_F(RelatorioAnalise, NaturalPersonWithoutBillingCityAndAnEvaluationDate) {
    const QString texto = pdfWords(imprime(analise(3)).pdfPath);
    EXPECT_TRUE(texto.contains("CPF: 123.456.789-09")) << texto.toStdString();
    EXPECT_TRUE(texto.contains("Data da análise: 06/03/2024"_q));
    EXPECT_TRUE(texto.contains("João da Conceição"_q));
    const ReportRecord r = preview.last().record;
    EXPECT_EQ(r.texts("ChildBand2", "qrlCidade").join(','), " - Fone: (11) 5555-0000");
    // First collection of the tower: 0,00 beside the value now.
    EXPECT_EQ(r.texts("QRBand3", "qrdbAnterior1").join(','), "0,00");
    exec("delete from cad_contato_pessoa where id_pessoa = 11");
    EXPECT_EQ(imprime(analise(3)).record.texts("ChildBand2", "qrlCidade").join(','), " - Fone: ");
    exec("delete from cad_end_pessoa where id_pessoa = 10");
    EXPECT_EQ(imprime(analise(2)).record.texts("ChildBand2", "qrlCidade").join(','), " - Fone: ");
}

TEST_F(RelatorioAnalise, LongAnalysisFlowsOverPagesWithHeadersAndNoLonelyHeading) {
    // Sixteen boilers (four blocks) and a standing text of forty lines.
    exec("insert into MOV_ANALISE values (7, '01.05.2024', '02.05.2024', '03.05.2024', NULL, 10, 20, 30, 1)");
    for (int i = 0; i < 16; ++i) {
        if (i >= 5)
            exec(
                QString("insert into TAB_EQUIPAMENTO_CLI (ID_EQUIPAMENTO_CLI, ID_CLIENTE, ID_TP_EQUIPAMENTO, "
                        "NM_EQUIPAMENTO) values (%1, 10, 1, 'Caldeira %2')")
                    .arg(101 + i)
                    .arg(i + 1));
        amostra(70 + i, 7, 101 + i, rtf(QString("Comentário da amostra %1.").arg(i + 1)));
        for (int t = 1; t <= 5; ++t)
            resultado(70 + i, t, QString::number(t * 10 + i));
    }
    QStringList linhas;
    for (int i = 1; i <= 40; ++i)
        linhas << QString("Linha %1 do texto padrão do laudo técnico.").arg(i);
    exec("update tab_parametro set tx_laudo_tecnico = " + quoted(rtf(linhas.join("\\par "))));
    const auto& c = imprime(analise(7), "laudo-longo.pdf");
    const ReportRecord& r = c.record;
    const int paginas = pdfPages(c.pdfPath);
    EXPECT_GE(paginas, 3);
    EXPECT_EQ(paginas, c.pageCount);
    for (int p = 1; p <= paginas; ++p) {
        const QStringList bandas = r.bandsOnPage(p);
        EXPECT_EQ(bandas.mid(0, 3).join(','), "QRBand1,ChildBand1,ChildBand2") << "page " << p;
        EXPECT_TRUE(bandas.contains("QRBand6")) << "page " << p;
        EXPECT_TRUE(pdfWords(c.pdfPath, p).contains("Laticínios Araucária"_q)) << "page " << p;
        // A block heading always has its first row under it on the same page.
        const int i = static_cast<int>(bandas.indexOf("ChildBand3"));
        if (i >= 0) {
            EXPECT_EQ(bandas.value(i + 1), "QRBand3") << "page " << p;
        }
    }
    EXPECT_EQ(r.count("QRBand2"), 1);
    EXPECT_EQ(r.count("QRGroup1"), 4);
    EXPECT_EQ(r.count("QRBand3"), 20);
    // Every line of the standing text, split where it must, prints once per block.
    const QString texto = pdfWords(c.pdfPath);
    EXPECT_EQ(texto.count("Linha 40 do texto padrão do laudo técnico."_q), 4);
    EXPECT_EQ(texto.count("Linha 1 do texto padrão do laudo técnico."_q), 4);
    EXPECT_EQ(texto.count("Comentário da amostra 16."_q), 1);
}

TEST_F(RelatorioAnalise, AGridOverTwoPagesRepeatsItsHeadingAndACommentCutPrintsEachLineOnce) {
    // Fifty analysis types for the boilers: the grid of one block of four runs over two pages.
    for (int t = 10; t < 55; ++t) {
        exec(QString("insert into TAB_TP_ANALISE values (%1, 'Ensaio %1')").arg(t));
        exec(QString("insert into TAB_RESULTADO_IDEAL values (%1, %1, 1, 'Máx. %1')").arg(t));
    }
    exec("insert into MOV_ANALISE values (8, '10.05.2024', '11.05.2024', NULL, NULL, 10, 20, 30, 1)");
    // Sample 1's comment is one paragraph long enough to be cut at a page's foot.
    QStringList palavras;
    for (int i = 1; i <= 700; ++i)
        palavras << QString("c%1").arg(i, 3, 10, QChar('0'));
    for (int i = 0; i < 4; ++i) {
        amostra(80 + i, 8, 101 + i, i == 0 ? rtf(palavras.join(' ')) : QString());
        for (int t : {1, 2, 3, 5})
            resultado(80 + i, t, QString::number(t + i));
        for (int t = 10; t < 55; ++t)
            resultado(80 + i, t, QString::number(t));
    }
    const auto& c = imprime(analise(8), "laudo-grade-longa.pdf");
    const ReportRecord& r = c.record;
    SCOPED_TRACE(r.dump().toStdString());
    const int ultimaLinha = r.of("QRBand3").back()->page;
    ASSERT_EQ(ultimaLinha, 2);
    // Page 2 continues the grid under the same heading: the sample numbers with their dates.
    const auto cabecalhos = r.of("ChildBand3");
    ASSERT_EQ(cabecalhos.size(), 2u);
    EXPECT_FALSE(cabecalhos[0]->repeated);
    EXPECT_TRUE(cabecalhos[1]->repeated);
    EXPECT_EQ(cabecalhos[1]->page, 2);
    EXPECT_EQ(r.bandsOnPage(2).mid(0, 5).join(','), "QRBand1,ChildBand1,ChildBand2,ChildBand3,QRBand3");
    EXPECT_EQ(cabecalhos[1]->text("qrlDataAtual4"), "10/05/24");
    EXPECT_EQ(cabecalhos[1]->text("qrlDataAnterior1"), "10/02/24");
    const QString pagina2 = pdfWords(c.pdfPath, 2);
    for (const QString& s : {"Resultado Analítico"_q, "Parâmetros de"_q, "1 2 3 4 Análise controle"_q,
                             "10/05/24 10/02/24 10/05/24 10/02/24 10/05/24 10/02/24 10/05/24 10/02/24"_q})
        EXPECT_TRUE(pagina2.contains(s)) << s.toStdString() << "\n" << pagina2.toStdString();
    // The comment goes on over the next page, which holds no grid row and no heading.
    const ReportPrintedBand& comentario = *r.of("ChildBand5")[0];
    EXPECT_GT(comentario.lastPage, comentario.page);
    EXPECT_FALSE(r.bandsOnPage(comentario.lastPage).contains("ChildBand3"));
    const QStringList impressas = pdfText(c.pdfPath).simplified().split(' ');
    for (const QString& p : palavras)
        EXPECT_EQ(impressas.count(p), 1) << p.toStdString();
}

TEST_F(RelatorioAnalise, SignatureAndTechnicianStandWhereTheLayoutPutsThem) {
    const auto& c = imprime(analise(2));
    // The name is centred in its box from 80.4 to 171.7 mm of the printable width, as is the line
    // of the activity under it.
    for (const QString& linha : {"Dra. Helena Souza"_q, "Químico - CRQ: CRQ-IV 0412"_q}) {
        const QStringList alvo = linha.split(' ');
        double esquerda = 1e9, direita = -1e9;
        for (const PalavraPdf& p : palavrasPdf(c.pdfPath, 1))
            if (alvo.contains(p.texto) && p.mm.top() > 150) {
                esquerda = std::min(esquerda, p.mm.left());
                direita = std::max(direita, p.mm.right());
            }
        EXPECT_NEAR((esquerda + direita) / 2, 10 + 80.4 + 91.3 / 2, 1.0) << linha.toStdString();
    }
}

// ---------------------------------------------------------------- images

class ImagensRelatorio : public RelatorioAnalise {
protected:
    const QColor azul{20, 60, 160}, verde{20, 140, 60}, cinza{60, 60, 60}, vermelho{180, 30, 30};
    const QColor fundo{200, 255, 255};

    // The images folder as a Windows machine left it: names in other letter cases.
    void imagens(const QString& pasta = "IMAGENS") {
        const QString dir = dados() + "/" + pasta;
        QDir().mkpath(dir);
        imagem(dir + "/LOGO_CORTIVANDELA.JPG", azul, {1894, 209});
        imagem(dir + "/rodape_cortivandela.jpg", verde, {1894, 283});
        imagem(dir + "/Ass_Cortivandela.jpg", cinza, {799, 146});
        imagem(dir + "/Fundo_Cortivandela.bmp", fundo, {64, 64});
    }
    // The colour at a point of page 1, in millimetres from the paper's corner.
    QColor cor(const QString& pdfPng, double xMm, double yMm) {
        const QImage img(pdfPng);
        return img.pixelColor(qRound(xMm / 25.4 * 96), qRound(yMm / 25.4 * 96));
    }
    static bool parecida(const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) < 30 && std::abs(a.green() - b.green()) < 30 &&
               std::abs(a.blue() - b.blue()) < 30;
    }
    QString png() {
        preview.setPngPath(site.filePath("pagina%1.png"));
        return site.filePath("pagina%1.png");
    }
};

TEST_F(ImagensRelatorio, LogoFooterAndSignatureWhenAskedForWhateverTheLetterCase) {
    imagens();
    png();
    TAnaliseImpressao a = analise(2);
    a.imprimirLogomarca = true;
    const auto& c = imprime(a, "laudo-imagens.pdf");
    EXPECT_EQ(c.record.texts("QRBand1", "imgCabecalho").join(','), "[imagem]");
    EXPECT_EQ(c.record.texts("QRBand6", "imgRodape").join(','), "[imagem]");
    EXPECT_EQ(c.record.texts("QRBand5", "imgAssinatura").join(','), "[imagem]");
    // The signature from 87.0 to 166.9 mm of the printable width, centred over the name.
    const double assinatura = c.record.of("QRBand5")[0]->topMm + 0.5 + 7.3;
    EXPECT_TRUE(parecida(cor(c.pngPath, 10 + 87.0 + 2, assinatura), cinza));
    EXPECT_TRUE(parecida(cor(c.pngPath, 10 + 166.9 - 2, assinatura), cinza));
    EXPECT_TRUE(parecida(cor(c.pngPath, 10 + 87.0 - 5, assinatura), Qt::white));
    EXPECT_TRUE(parecida(cor(c.pngPath, 100, 20), azul)) << cor(c.pngPath, 100, 20).name().toStdString();
    EXPECT_TRUE(parecida(cor(c.pngPath, 100, 280), verde));
    // The background is combined with the page in its middle: a blank spot takes its colour.
    EXPECT_TRUE(parecida(cor(c.pngPath, 56, 197), fundo)) << cor(c.pngPath, 56, 197).name().toStdString();
    EXPECT_FALSE(QDir(dados() + "/imagens").exists()) << "the existing folder is used";
}

TEST_F(ImagensRelatorio, ChosenCompanyReplacesHeaderAndFooterWhereItHasThem) {
    imagens("Imagens");
    png();
    imagem(dados() + "/Imagens/Cabeçalho-do-Laudo-00042.jpg"_q, vermelho, {1894, 209});
    TAnaliseImpressao a = analise(2);
    a.imprimirLogomarca = true;
    a.idEmpresa = 40;
    const auto& c = imprime(a);
    EXPECT_TRUE(parecida(cor(c.pngPath, 100, 20), vermelho));
    EXPECT_TRUE(parecida(cor(c.pngPath, 100, 280), verde)) << "no company footer: the footer stays";
    imagem(dados() + "/Imagens/RODAPÉ-DO-LAUDO-00042.JPG"_q, vermelho, {1894, 283});
    const auto& d = imprime(a);
    EXPECT_TRUE(parecida(cor(d.pngPath, 100, 280), vermelho));
}

TEST_F(ImagensRelatorio, WithoutTheBoxOnlyTheBackgroundPrints) {
    imagens();
    png();
    const auto& c = imprime(analise(2));
    EXPECT_EQ(c.record.texts("QRBand1", "imgCabecalho").join(','), "");
    EXPECT_EQ(c.record.texts("QRBand6", "imgRodape").join(','), "");
    EXPECT_EQ(c.record.texts("QRBand5", "imgAssinatura").join(','), "");
    EXPECT_TRUE(parecida(cor(c.pngPath, 100, 20), Qt::white));
    EXPECT_TRUE(parecida(cor(c.pngPath, 56, 197), fundo));
}

TEST_F(ImagensRelatorio, MissingFolderIsCreatedAndTheReportPrintsWithoutImages) {
    TAnaliseImpressao a = analise(2);
    a.imprimirLogomarca = true;
    const auto& c = imprime(a);
    EXPECT_TRUE(QDir(dados() + "/imagens").exists());
    EXPECT_EQ(c.record.texts("QRBand1", "imgCabecalho").join(','), "");
    EXPECT_EQ(c.pageCount, 1);
}

TEST_F(ImagensRelatorio, FolderThatCannotBeCreatedStopsThePrintCleanly) {
    // The settings file's folder is a file: nothing can be created in it.
    QFile bloqueio(site.filePath("bloqueio"));
    ASSERT_TRUE(bloqueio.open(QIODevice::WriteOnly));
    bloqueio.close();
    sessaoUsuario().localarquivoiniteste = site.filePath("bloqueio/base.ini");
    TAnaliseImpressao a = analise(2);
    a.imprimirLogomarca = true;
    MemTable tabela("cdsRelatorio");
    try {
        ImprimeRelatorioAnalise(a, &tabela);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Não pode ser Criado o Diretório "_q + site.filePath("bloqueio/") + "imagens");
    }
    EXPECT_EQ(preview.count(), 0);
    EXPECT_EQ(tabela.recordCount(), 0) << "the report table is emptied";
    EXPECT_EQ(frmProgressoGeral(), nullptr);
}

} // namespace

TEST_F(RelatorioAnalise, OutOfRangeMarksAndTrendPagesOnlyWhenTheLaboratoryTurnsThemOn) {
    // Off by default: the report as always.
    auto c = imprime(analise(2));
    const int paginas = pdfPages(c.pdfPath);
    QString texto = pdfWords(c.pdfPath);
    EXPECT_FALSE(texto.contains("▲"_q)) << texto.toStdString();
    EXPECT_FALSE(texto.contains("Valores em negrito"));
    EXPECT_FALSE(texto.contains("Gráficos de tendência"_q));

    // Marks: boiler 05's iron 1,35 is above "Máx. 1,0"; the legend under each block's grid.
    gravaParametroProprioLogico(db.db, kParamLaudoMarcaForaFaixa, true);
    c = imprime(analise(2), "laudo-marcas.pdf");
    texto = pdfWords(c.pdfPath);
    EXPECT_EQ(texto.count("Valores em negrito fora da faixa do parâmetro de controle: ▲ acima, ▼ abaixo."_q),
              2)
        << texto.toStdString();
    const auto ps = palavrasPdf(c.pdfPath, 1);
    EXPECT_EQ(linha(ps, "Ferro"),
              QStringList({"Ferro", "Máx. 1,0"_q, "1,35 ▲"_q, "0,00", "", "", "", "", "", ""}));
    // Values inside stay as they were; the previous values are never marked.
    EXPECT_EQ(linha(ps, "pH").mid(2, 2), QStringList({"10,70", "10,80"}));
    EXPECT_EQ(texto.count("▲"_q), 1 + 2);
    EXPECT_FALSE(texto.contains("▼ "_q + "0"));
    EXPECT_FALSE(texto.contains("Gráficos de tendência"_q));

    // Trend pages: one more page per sample, each with the equipment's history up to this
    // collection.
    gravaParametroProprioLogico(db.db, kParamLaudoMarcaForaFaixa, false);
    gravaParametroProprioLogico(db.db, kParamLaudoGraficosTendencia, true);
    c = imprime(analise(2), "laudo-tendencias.pdf");
    ASSERT_EQ(pdfPages(c.pdfPath), paginas + 5);
    EXPECT_FALSE(pdfWords(c.pdfPath).contains("▲"_q));
    const QString primeira = pdfWords(c.pdfPath, paginas + 1);
    EXPECT_TRUE(primeira.contains("Gráficos de tendência Página 1, amostra 1: Caldeira 01"_q))
        << primeira.toStdString();
    EXPECT_TRUE(
        primeira.contains("Condutividade: 0 de 2 fora da faixa; Ferro: 0 de 1 fora da faixa; pH: 0 de "
                          "2 fora da faixa"))
        << primeira.toStdString();
    const QString ultima = pdfWords(c.pdfPath, paginas + 5);
    EXPECT_TRUE(ultima.contains("Página 2, amostra 1: Caldeira 05"_q)) << ultima.toStdString();
    EXPECT_TRUE(ultima.contains("Ferro: 1 de 1 fora da faixa")) << ultima.toStdString();
    // The chart is drawn: the page is not blank where the picture stands.
    QTemporaryDir tmp;
    const QImage img = pdfPageImage(c.pdfPath, paginas + 5, 30, tmp.path());
    ASSERT_FALSE(img.isNull());
    int escuros = 0;
    for (int y = img.height() / 3; y < img.height() * 2 / 3; ++y)
        for (int x = 0; x < img.width(); ++x)
            escuros += qGray(img.pixel(x, y)) < 200;
    EXPECT_GT(escuros, 100);
}

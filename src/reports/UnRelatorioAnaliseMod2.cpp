#include "reports/UnRelatorioAnaliseMod2.h"

#include "data/DataContext.h"
#include "data/FaixaIdeal.h"
#include "data/ParametrosProprios.h"
#include "data/PreparedQuery.h"
#include "data/UnFuncoes.h"
#include "platform/Errors.h"
#include "platform/RtfCodec.h"
#include "reports/GraficoTendencia.h"
#include "reports/ImagensLaudo.h"
#include "reports/TextoRelatorio.h"

#include <QFileInfo>

namespace {

const QString kFormatoValor = QStringLiteral("###,###,#0.00");
const QString kFormatoDataColuna = QStringLiteral("dd/MM/yy");
const QString kFormatoData = QStringLiteral("dd/MM/yyyy");
constexpr double kDoisPixels = 2 * kReportPixelMm;
const QColor kAzulClaro(0xCC, 0xE6, 0xFF);

// Comment bands of samples 1 to 4, chained in this order under the block footer.
const char* const kBandasComentario[4] = {"ChildBand5", "ChildBand4", "ChildBand7", "ChildBand8"};

// Grid columns: where each column's rule stands, and the text box of the value columns
// (now, previous) of each sample.
const double kRegras[] = {0, 38.1, 69.8, 85.2, 99.5, 114.0, 128.3, 145.0, 159.0, 174.6, 188.6};
struct Coluna {
    double x, largura;
};
// Values are right-aligned short of the next rule.
const Coluna kAtual[4] = {{71.4, 12.9}, {100.8, 12.3}, {131.8, 12.3}, {161.4, 12.3}};
const Coluna kAnterior[4] = {{86.5, 12.1}, {115.9, 11.5}, {146.1, 12.0}, {176.5, 11.2}};
// Each sample's pair of columns, and its "now" and "previous" halves, in the heading.
const Coluna kPar[4] = {{69.8, 29.7}, {99.5, 28.8}, {128.3, 30.7}, {159.0, 29.6}};
const Coluna kMetadeAtual[4] = {{69.8, 15.4}, {99.5, 14.5}, {128.3, 16.7}, {159.0, 15.6}};
const Coluna kMetadeAnterior[4] = {{85.2, 14.3}, {114.0, 14.3}, {145.0, 14.0}, {174.6, 14.0}};

bool comentarioEmBranco(const QString& rtf) {
    return RtfCodec::plainText(rtf).trimmed().isEmpty();
}

QString data(const QDate& d, const QString& formato) {
    return d.isValid() ? d.toString(formato) : QString();
}

} // namespace

TfrmRelatorioAnaliseMod2::TfrmRelatorioAnaliseMod2(const TAnaliseImpressao& analise) : m_analise(analise) {
    if (Database* db = dataContext().IBSolution) {
        bMarcaForaFaixa = leParametroProprioLogico(*db, kParamLaudoMarcaForaFaixa);
        bGraficosTendencia = leParametroProprioLogico(*db, kParamLaudoGraficosTendencia);
    }
    CriaCdsRelatorio(cdsRelatorio);
    montaLayout();
}

TfrmRelatorioAnaliseMod2::~TfrmRelatorioAnaliseMod2() = default;

void TfrmRelatorioAnaliseMod2::montaLayout() {
    ReportEngine& r = qrRelatorio;
    r.setPage(QPageLayout::Portrait, QMarginsF(10, 10, 10, 10));
    r.setSource(&m_fonte);

    // Page header: the logo, or the chosen company's header, across the page, each as large
    // as it fits undistorted (a company's header is made for the whole box).
    ReportBand& cab = r.addPageHeader("QRBand1", 22.0);
    cab.addImage("imgCabecalho", {0.3, 0.5, 189.4, 20.9}).setFit(ReportImage::Fit::KeepAspect);

    ReportBand& titulo = cab.addChild("ChildBand1", 7.4);
    texto(titulo, "qrlTitulo", {63.0, 0.8, 110, 5.2}, "Laudo Técnico de Análises Químicas", 10, true);
    titulo.addHLine(0, 6.9, 190, kDoisPixels);

    ReportBand& cliente = titulo.addChild("ChildBand2", 22.2);
    texto(cliente, "qrlCliente", {6.3, 0.6, 121, 4.6}, {}, 10, true);
    texto(cliente, "qrlCidade", {6.3, 5.5, 121, 4.6});
    texto(cliente, "qrlRepresentante", {6.3, 10.4, 176, 4.6}, "Representante: ");
    texto(cliente, "qrlProposta", {129.1, 0.6, 60.9, 4.6}, "N° da proposta: ");
    texto(cliente, "qrlCNPJCPF", {129.1, 5.5, 60.9, 4.6});
    cliente.addHLine(0, 15.9, 190, kDoisPixels);
    texto(cliente, "qrlDataColeta", {6.3, 17.0, 53.2, 4.6}, "Data da coleta: ");
    texto(cliente, "qrlDataRecebimento", {64.3, 17.0, 53.2, 4.6}, "Data do recebimento: ");
    texto(cliente, "qrlDataAnalise", {122.5, 17.0, 53.2, 4.6}, "Data da análise:");

    ReportBand& amostras = r.addTitle("QRBand2", 5.3);
    texto(amostras, "qrlAmostras", {0, 0.4, 80, 4.6}, "Amostras de água:", 10, true);

    // Block header: the names of the block's samples, two per line.
    ReportGroup& grupo = r.addGroup("QRGroup1", cds::NoPagina);
    ReportBand& bloco = grupo.addHeader("QRGroup1", 10.3);
    for (int n = 1; n <= 4; ++n) {
        const double x = (n % 2) ? 18.0 : 114.3;
        const double y = n <= 2 ? 0.5 : 5.5;
        texto(bloco, "qrlAmostra" + numero(n), {x, y, 5.3, 4.6}, numero(n) + ".");
        texto(bloco, "qrlEquipamento" + numero(n), {x + 5.3, y, 60.9, 4.6}).setClipping(true);
    }
    // A block's heading is not left alone at the foot of a page.
    bloco.setKeepWithNextMm(18.5 + 5.6);
    bloco.setBeforePrint([this](ReportBandEvent& e) { QRGroup1BeforePrint(e); });

    // The column heading: again on every page where the block's rows continue.
    ReportBand& colunas = bloco.addChild("ChildBand3", 18.5);
    colunas.setRepeatOnNewPage(true);
    colunas.addRect("shpColunas", {0, 0, 188.6, 18.5}, kAzulClaro, ReportFrame::all());
    texto(colunas, "qrlAnalise", {0.8, 0, 36.8, 18.5}, "Análise")
        .setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ReportText& param = texto(colunas, "qrlParametros", {38.9, 0, 30.1, 18.5}, "Parâmetros de controle");
    param.setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    param.setWordWrap(true);
    texto(colunas, "qrlResultado", {69.8, 0.4, 118.8, 4.6}, "Resultado Analítico")
        .setAlignment(Qt::AlignHCenter);
    colunas.addHLine(69.8, 5.2, 118.8);
    colunas.addHLine(69.8, 10.6, 118.8);
    colunas.addVLine(38.1, 0, 18.5);
    colunas.addVLine(69.8, 0, 18.5);
    for (int n = 1; n <= 4; ++n) {
        const Coluna& par = kPar[n - 1];
        texto(colunas, "qrlNumero" + numero(n), {par.x, 5.6, par.largura, 4.6}, numero(n), 10, true)
            .setAlignment(Qt::AlignHCenter);
        if (n > 1) colunas.addVLine(par.x, 5.2, 13.3);
        const Coluna& agora = kMetadeAtual[n - 1];
        const Coluna& antes = kMetadeAnterior[n - 1];
        texto(colunas, "qrlDataAtual" + numero(n), {agora.x, 12.4, agora.largura, 4.0}, {}, 8)
            .setAlignment(Qt::AlignHCenter);
        texto(colunas, "qrlDataAnterior" + numero(n), {antes.x, 12.4, antes.largura, 4.0}, {}, 8)
            .setAlignment(Qt::AlignHCenter);
        colunas.addVLine(antes.x, 10.6, 7.9);
    }

    // Detail: one analysis type of the block. Long names wrap and the row grows with them.
    ReportBand& det = r.addDetail("QRBand3", 5.6);
    det.setKeepTogether(true);
    auto campo = [&det](const QString& nome, const QRectF& mm, const QString& coluna,
                        bool valor) -> ReportText& {
        ReportText& t = det.addField(nome, mm, coluna, valor ? kFormatoValor : QString());
        t.setFont(reportFont(8));
        if (valor) {
            t.setAlignment(Qt::AlignRight | Qt::AlignTop);
        } else {
            t.setWordWrap(true);
            t.setAutoStretch(true);
        }
        return t;
    };
    ReportText& nome = campo("qrdbNmTpAnalise", {0.8, 0.7, 36.8, 4.2}, cds::NmTpAnalise, false);
    ReportText& ideal = campo("qrdbResultadoIdeal", {40.2, 0.7, 28.8, 4.2}, cds::DsResultadoIdeal, false);
    // Under a wrapped name the row keeps its margin above the rule.
    det.addRect("shpMargemNome", {0.8, 4.9, 1, 0.7}, QColor()).setShiftWith(&nome);
    det.addRect("shpMargemIdeal", {40.2, 4.9, 1, 0.7}, QColor()).setShiftWith(&ideal);
    for (int n = 1; n <= 4; ++n) {
        campo("qrdbAtual" + numero(n), {kAtual[n - 1].x, 0.7, kAtual[n - 1].largura, 4.2},
              cds::equipamento(n), true);
        campo("qrdbAnterior" + numero(n), {kAnterior[n - 1].x, 0.7, kAnterior[n - 1].largura, 4.2},
              cds::anterior(n), true);
    }
    for (double x : kRegras)
        det.addVLine(x, 0, 5.6).setStretchToBand(true);
    // The rule under the row follows the row's height.
    det.addRect("shpLinha", {0, 0, 188.6 + kReportPixelMm, 5.6}, QColor(),
                ReportFrame{ReportFrame::Bottom, kReportPixelMm})
        .setStretchToBand(true);
    det.setBeforePrint([this](ReportBandEvent& e) { QRBand3BeforePrint(e); });

    // Block footer: the laboratory's standing text, then the comment of each sample.
    // With the marks on, the legend of the marks comes first, one line under the grid.
    const double legenda = bMarcaForaFaixa ? 4.4 : 0;
    ReportBand& rodapeBloco = grupo.addFooter("QRBand4", 6.1 + legenda);
    if (bMarcaForaFaixa)
        texto(rodapeBloco, "qrlLegendaFaixa", {0.8, 0.6, 186.5, 3.8},
              QString::fromUtf8(
                  "Valores em negrito fora da faixa do parâmetro de controle: %1 acima, %2 abaixo.")
                  .arg(SimboloPosicao(PosicaoFaixa::Acima), SimboloPosicao(PosicaoFaixa::Abaixo)),
              8);
    rodapeBloco.addRichText("qrrLaudoTecnico", {0, 0.8 + legenda, 186.5, 5.3});
    ReportBand* anterior = &rodapeBloco;
    for (int n = 1; n <= 4; ++n) {
        ReportBand& c = anterior->addChild(kBandasComentario[n - 1], 5.8);
        texto(c, "qrlComentario" + numero(n), {2.1, 0.6, 4.5, 4.6}, numero(n) + ")");
        c.addRichText("qrrComentario" + numero(n), {6.8, 0.6, 181.8, 4.6});
        c.setBeforePrint([this, n](ReportBandEvent& e) { comentarioBeforePrint(n, e); });
        anterior = &c;
    }

    // Summary, right of the page's middle: the signature centred over the technician's name,
    // and under the name its activity and registration, centred on it.
    ReportBand& resumo = r.addSummary("QRBand5", 25.4);
    ReportImage& ass = resumo.addImage("imgAssinatura", {87.0, 0.5, 79.9, 14.6});
    ass.setFit(ReportImage::Fit::KeepAspect);
    texto(resumo, "qrlTecnico", {80.4, 15.4, 91.3, 4.6}).setAlignment(Qt::AlignHCenter);
    texto(resumo, "qrlAtividade", {80.4, 20.2, 91.3, 4.6}).setAlignment(Qt::AlignHCenter);

    ReportBand& rodape = r.addPageFooter("QRBand6", 29.4);
    rodape.addImage("imgRodape", {0.3, 0.6, 189.4, 28.3});
    rodape.setBeforePrint([this](ReportBandEvent& e) { QRBand6BeforePrint(e); });

    r.setOnStart([this](ReportEngine& rel) { qrBeforePrint(rel); });
    r.setOnStartPage([this](ReportEngine& rel, int page) { qrStartPage(rel, page); });
}

void TfrmRelatorioAnaliseMod2::PreencheCabecalho() {
    ReportEngine& r = qrRelatorio;
    Database* db = dataContext().IBSolution;
    if (!db) throw AppError("A conexão com o banco de dados (IBSolution) não está disponível.");
    const QString cliente = QString::number(m_analise.idCliente);

    r.text("qrlCliente").setText(m_analise.cliente);

    // The billing address's city and the main phone. A billing address without a city still
    // gives the phone.
    Query q(db);
    AbreQuery(q,
              " select tc.nm_cidade, tc.sg_estado, ccp.no_fone, pe.no_cnpj_cpf from cad_end_pessoa cep "
              "left join tab_cidade tc on (tc.id_cidade = cep.id_cidade) inner join cad_pessoa pe on "
              "(pe.id_pessoa = cep.id_pessoa) left join cad_contato_pessoa ccp on (ccp.id_pessoa = "
              "cep.id_pessoa and ccp.st_fone_principal = 'S') where cep.st_fatura = 'S' and cep.id_pessoa=" +
                  cliente);
    QString cidade, estado, fone;
    if (!q.isEmpty()) {
        q.first();
        cidade = q.fieldByName("NM_CIDADE")->asString();
        estado = q.fieldByName("SG_ESTADO")->asString();
        fone = q.fieldByName("NO_FONE")->asString();
    }
    q.close();
    r.text("qrlCidade")
        .setText((cidade.isEmpty() ? QString() : cidade + " - " + estado) + " - Fone: " + fone);

    r.text("qrlProposta")
        .setText("N° da proposta: " + BuscaNumeroProposta(m_analise.idTpEquipamento, m_analise.idCliente));
    const QString documento = FormataCNPJCPF(RetornaCNPJCPFPessoa(m_analise.idCliente));
    r.text("qrlCNPJCPF")
        .setText((RetornaTipoPessoa(m_analise.idCliente) == "J" ? "CNPJ: " : "CPF: ") + documento);
    r.text("qrlRepresentante").setText("Representante: " + m_analise.representante);

    r.text("qrlDataColeta").setText("Data da coleta: " + data(m_analise.dtColeta, kFormatoData));
    r.text("qrlDataRecebimento")
        .setText("Data do recebimento: " + data(m_analise.dtRecebimento, kFormatoData));
    if (m_analise.dtAvaliacao.isValid())
        r.text("qrlDataAnalise").setText("Data da análise: " + data(m_analise.dtAvaliacao, kFormatoData));
    for (int n = 1; n <= 4; ++n)
        r.text("qrlDataAtual" + numero(n)).setText(data(m_analise.dtColeta, kFormatoDataColuna));

    AbreQuery(q,
              " select pe.nm_pesquisa, pe.NO_REG_CONS_REGIONAL, ta.nm_atividade from cad_pessoa pe left join "
              "tab_atividade ta on (pe.id_atividade = ta.id_atividade) where pe.id_pessoa = " +
                  QString::number(m_analise.idResponsavelTecnico));
    QString tecnico, atividade, registro;
    if (!q.isEmpty()) {
        q.first();
        tecnico = q.fieldByName("NM_PESQUISA")->asString();
        atividade = q.fieldByName("NM_ATIVIDADE")->asString();
        registro = q.fieldByName("NO_REG_CONS_REGIONAL")->asString();
    }
    q.close();
    r.text("qrlTecnico").setText(tecnico);
    r.text("qrlAtividade").setText(atividade + " - CRQ: " + registro);
    if (bGraficosTendencia) MontaPaginasTendencia();
    r.reset();
}

// Report start: the standing text, and the logo, footer and signature when asked for.
void TfrmRelatorioAnaliseMod2::qrBeforePrint(ReportEngine& r) {
    Database* db = dataContext().IBSolution;
    Transaction* tr = dataContext().IBT_Gen;
    if (!db || !tr) throw AppError("A conexão com o banco de dados (IBSolution) não está disponível.");
    PreparedQuery parametros(
        db, tr,
        "select id_parametro, nm_empresa, nm_sistema, logo_empresa, tx_laudo_tecnico from "
        "TAB_PARAMETRO");
    const QString laudo = parametros.first() ? parametros.value("TX_LAUDO_TECNICO").toString() : QString();
    parametros.close();
    r.richText("qrrLaudoTecnico").setRtf(laudo);

    IBQ_NomeEquipamento = std::make_unique<PreparedQuery>(
        db, tr,
        "select  ma.dt_coleta, ma.dt_recebimento, ma.dt_avaliacao,  ma.dt_envio, mae.no_amostra, "
        "tec.nm_equipamento,  mae.tx_comentario, tec.id_equipamento_cli from mov_analise_equipamento mae "
        "inner "
        "join tab_equipamento_cli tec on (tec.id_equipamento_cli = mae.id_equipamento_cli) left join "
        "mov_analise ma on ma.id_analise = mae.id_analise where mae.no_pagina = :NoPagina and mae.id_analise "
        "= "
        ":idAnalise order by mae.no_amostra");
    IBQ_ColetaAnterior = std::make_unique<PreparedQuery>(
        db, tr,
        "select ma.id_analise,  ma.dt_coleta, mae.tx_comentario,mae.tx_obs from mov_analise_equipamento mae "
        "inner join mov_analise ma on (ma.id_analise = mae.id_analise) where mae.id_equipamento_cli = "
        ":idEquipamentoCliente and ma.dt_coleta < :dt_coleta order by ma.dt_coleta desc, ma.id_analise desc");
    m_empresaLida = false;
    m_fundoLido = false;
    r.setBackground(QImage(), QRectF());

    ReportImage& cabecalho = r.image("imgCabecalho");
    ReportImage& rodape = r.image("imgRodape");
    ReportImage& assinatura = r.image("imgAssinatura");
    cabecalho.clear();
    rodape.clear();
    assinatura.clear();
    if (m_analise.imprimirLogomarca) {
        CriaPastaImagens();
        bExibeImage = cabecalho.loadFile(ArquivoImagem(imagens::kLogo));
        bExibeImage = rodape.loadFile(ArquivoImagem(imagens::kRodape));
        bExibeImage = assinatura.loadFile(ArquivoImagem(imagens::kAssinatura));
    }
}

// Every page: the chosen company's header and footer replace the logo and the footer.
void TfrmRelatorioAnaliseMod2::qrStartPage(ReportEngine& r, int) {
    if (m_analise.idEmpresa == 0) return;
    if (!m_empresaLida) {
        m_cabecalhoEmpresa = QImage(LocalizaArquivoImagem(ImagemCabecalhoLaudo(m_analise.idEmpresa)));
        m_rodapeEmpresa = QImage(LocalizaArquivoImagem(ImagemRodapeLaudo(m_analise.idEmpresa)));
        m_empresaLida = true;
    }
    if (!m_cabecalhoEmpresa.isNull()) r.image("imgCabecalho").setImage(m_cabecalhoEmpresa);
    if (!m_rodapeEmpresa.isNull()) r.image("imgRodape").setImage(m_rodapeEmpresa);
}

void TfrmRelatorioAnaliseMod2::QRGroup1BeforePrint(ReportBandEvent& e) {
    ReportEngine& r = e.report;
    const QVariant bloco = e.value(cds::NoPagina);

    for (int n = 1; n <= 4; ++n) {
        r.text("qrlEquipamento" + numero(n)).setText(QString());
        r.text("qrlComentario" + numero(n)).setVisible(false);
        r.richText("qrrComentario" + numero(n)).setRtf(QString());
        m_comentarios[n - 1].clear();
    }
    it_bControleImprimirData.fill(false);
    it_bControleImprimirData_Ant.fill(false);

    // The dates print over a sample's columns when the block shows values in them.
    std::array<bool, 4> temAtual{}, temAnterior{};
    if (e.source) {
        const int linhas = e.source->rowCount();
        for (int row = e.row; row >= 0 && row < linhas && e.source->value(row, cds::NoPagina) == bloco; ++row)
            for (int n = 1; n <= 4; ++n) {
                temAtual[n - 1] = temAtual[n - 1] || !e.source->value(row, cds::equipamento(n)).isNull();
                temAnterior[n - 1] = temAnterior[n - 1] || !e.source->value(row, cds::anterior(n)).isNull();
            }
    }

    IBQ_NomeEquipamento->setParam("NoPagina", bloco);
    IBQ_NomeEquipamento->setParam("idAnalise", m_analise.idAnalise);
    IBQ_NomeEquipamento->open();
    while (IBQ_NomeEquipamento->next()) {
        const QVariant amostra = IBQ_NomeEquipamento->value("NO_AMOSTRA");
        const int n = amostra.isNull() ? 0 : amostra.toInt();
        if (n < 1 || n > 4) continue;
        r.text("qrlEquipamento" + numero(n)).setText(IBQ_NomeEquipamento->value("NM_EQUIPAMENTO").toString());
        r.text("qrlComentario" + numero(n)).setVisible(true);
        r.band(kBandasComentario[n - 1]).setEnabled(true);

        // The equipment's previous collection; with none the date is the date system's zero,
        // 30/12/1899, which the column shows as 30/12/99 as the laboratory's reports always have.
        IBQ_ColetaAnterior->setParam("idEquipamentoCliente",
                                     IBQ_NomeEquipamento->value("ID_EQUIPAMENTO_CLI"));
        IBQ_ColetaAnterior->setParam("dt_coleta", m_analise.dtColeta);
        const QDate anterior = IBQ_ColetaAnterior->first() ? IBQ_ColetaAnterior->value("DT_COLETA").toDate()
                                                           : QDate(1899, 12, 30);
        IBQ_ColetaAnterior->close();
        r.text("qrlDataAnterior" + numero(n)).setText(data(anterior, kFormatoDataColuna));

        m_comentarios[n - 1] = IBQ_NomeEquipamento->value("TX_COMENTARIO").toString();
        it_bControleImprimirData_Ant[n - 1] = temAnterior[n - 1];
        it_bControleImprimirData[n - 1] = temAtual[n - 1];
    }

    for (int n = 1; n <= 4; ++n) {
        const bool comComentario = !comentarioEmBranco(m_comentarios[n - 1]);
        r.richText("qrrComentario" + numero(n)).setVisible(comComentario);
        r.richText("qrrComentario" + numero(n)).setRtf(m_comentarios[n - 1]);
        if (!comComentario) {
            r.text("qrlComentario" + numero(n)).setVisible(false);
            r.band(kBandasComentario[n - 1]).setEnabled(false);
        }
        r.text("qrlDataAtual" + numero(n)).setVisible(it_bControleImprimirData[n - 1]);
        r.text("qrlDataAnterior" + numero(n)).setVisible(it_bControleImprimirData_Ant[n - 1]);
    }
}

// A row prints when some sample of the block has a result of its type.
void TfrmRelatorioAnaliseMod2::QRBand3BeforePrint(ReportBandEvent& e) {
    bool algum = false;
    for (int n = 1; n <= 4 && !algum; ++n)
        algum = !e.value(cds::anterior(n)).isNull();
    e.print = algum;
    if (!algum || !bMarcaForaFaixa) return;
    // A current value outside the range read from the control parameter: bold, with the symbol
    // of its side. The previous values are not marked: their 0,00 also stands for "none".
    const std::optional<FaixaIdeal> faixa = LeFaixaIdeal(e.value(cds::DsResultadoIdeal).toString());
    for (int n = 1; n <= 4; ++n) {
        ReportText& t = e.report.text("qrdbAtual" + numero(n));
        t.setFont(reportFont(8));
        const QVariant v = e.value(cds::equipamento(n));
        if (!faixa || v.isNull()) continue;
        const PosicaoFaixa p = PosicaoNaFaixa(*faixa, v.toDouble());
        if (p == PosicaoFaixa::Dentro) continue;
        t.setFont(reportFont(8, true));
        t.setText(t.text() + ' ' + SimboloPosicao(p));
    }
}

void TfrmRelatorioAnaliseMod2::MontaPaginasTendencia() {
    if (m_paginasTendencia) return;
    m_paginasTendencia = true;
    const DataContext& ctx = dataContext();
    Query q(ctx.IBSolution, ctx.IBT_Gen, "IBQ_AmostrasTendencia");
    ctx.IBT_Gen->ensureActive();
    q.setSqlText(
        "select mae.id_equipamento_cli, mae.no_pagina, mae.no_amostra, tec.nm_equipamento from "
        "mov_analise_equipamento mae inner join tab_equipamento_cli tec on (tec.id_equipamento_cli = "
        "mae.id_equipamento_cli) where mae.id_analise = " +
        QString::number(m_analise.idAnalise) + " order by mae.no_pagina, mae.no_amostra");
    q.open();
    q.fetchAll();
    ReportBand* anterior = &qrRelatorio.band("QRBand5");
    for (int r = 0; r < q.recordCount(); ++r) {
        q.setRecNo(r);
        // The equipment's values up to this analysis's collection: a report printed again later
        // shows the history as it stood.
        const DadosTendencia d =
            LeTendencias(*ctx.IBSolution, *ctx.IBT_Gen, q.fieldByName("ID_EQUIPAMENTO_CLI")->asInteger(),
                         m_analise.dtColeta);
        std::vector<const SerieTendencia*> series;
        QStringList resumo;
        for (const SerieTendencia& s : d.series) {
            if (s.pontos.empty()) continue;
            series.push_back(&s);
            resumo << QString::fromUtf8("%1: %2 de %3 fora da faixa")
                          .arg(s.nome)
                          .arg(s.foraDaFaixa())
                          .arg(s.pontos.size());
        }
        const QString nome = numero(r + 1);
        ReportBand& pagina = anterior->addChild("ChildBandTendencia" + nome, 177);
        pagina.setForceNewPage(true);
        texto(pagina, "qrlTendencia" + nome, {0, 0.4, 190, 5.5}, QString::fromUtf8("Gráficos de tendência"),
              12, true);
        texto(pagina, "qrlTendenciaAmostra" + nome, {0, 6.4, 190, 4.6},
              QString::fromUtf8("Página %1, amostra %2: %3")
                  .arg(q.fieldByName("NO_PAGINA")->asString(), q.fieldByName("NO_AMOSTRA")->asString(),
                       d.equipamento));
        ReportText& memo = pagina.addMemo("qrmTendencia" + nome, {0, 11.6, 190, 4}, resumo.join("; "));
        memo.setFont(reportFont(7));
        ReportImage& img = pagina.addImage("imgTendencia" + nome, {0, 16.5, 190, 160});
        img.setShiftWith(&memo);
        img.setImage(ImagemTendencias(series, QSizeF(190, 160), 150));
        img.setFit(ReportImage::Fit::KeepAspect);
        anterior = &pagina;
    }
    q.close();
}

void TfrmRelatorioAnaliseMod2::comentarioBeforePrint(int n, ReportBandEvent& e) {
    e.print = !comentarioEmBranco(m_comentarios[n - 1]);
}

// Page footer: the background picture, when the images folder has it, in the middle of the
// page (a quarter to three quarters of the width, two sixths to four sixths of the length).
void TfrmRelatorioAnaliseMod2::QRBand6BeforePrint(ReportBandEvent& e) {
    if (m_fundoLido) return;
    m_fundoLido = true;
    const QString arquivo = ArquivoImagem(imagens::kFundo);
    bExibeImage = !arquivo.isEmpty();
    if (!bExibeImage) return;
    const QSizeF papel = e.report.paperSizeMm();
    e.report.setBackground(QImage(arquivo),
                           QRectF(QPointF(papel.width() / 4, 2 * (papel.height() / 6)),
                                  QPointF(3 * (papel.width() / 4), 4 * (papel.height() / 6))));
}

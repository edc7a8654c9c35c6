#include "reports/UnRelatorioPreenchimento.h"

#include "data/DataContext.h"
#include "data/PreparedQuery.h"
#include "data/UnFuncoes.h"
#include "platform/Errors.h"
#include "reports/ImagensLaudo.h"
#include "reports/TextoRelatorio.h"

namespace {

const QString kFormatoValor = QStringLiteral("###0.00");
// Rules of the grid, and the left edge of each sample's value, clear of the rule before it.
const double kRegras[] = {0, 51.9, 73.0, 94.2, 115.4, 136.5, 189.4};
const double kValor[4] = {52.9, 74.0, 95.2, 116.4};
// The footer picture: its place on the paper, below the last row of every page.
constexpr double kRodapeTopo = 261.4, kRodapeAltura = 25.1, kRodapeLargura = 188.6;
constexpr double kRodapeVazio = 7.4;

QString data(const QVariant& v) {
    const QDate d = v.toDate();
    return d.isValid() ? d.toString("dd/MM/yyyy") : QString();
}

} // namespace

TfrmRelatorioPreenchimento_2::TfrmRelatorioPreenchimento_2(const TAnaliseImpressao& analise)
    : m_analise(analise) {
    CriaCdsRelatorio(cdsRelatorio);
    montaLayout();
}

TfrmRelatorioPreenchimento_2::~TfrmRelatorioPreenchimento_2() = default;

void TfrmRelatorioPreenchimento_2::montaLayout() {
    ReportEngine& r = qrRelatorio;
    r.setPage(QPageLayout::Portrait, QMarginsF(10, 10, 10, 10));
    r.setSource(&m_fonte);

    ReportBand& cab = r.addPageHeader("QRBand1", 43.9);
    cab.addImage("imgLogo", {2.4, 0.5, 55.6, 37.0}).setFit(ReportImage::Fit::KeepAspect);
    ReportText& titulo = texto(cab, "qrlTitulo", {61.6, 2.0, 127.3, 6.5}, "Relatório de Análise", 13, true);
    titulo.setClipping(true);
    const char* const rotulos[3] = {"Cliente:", "Cidade:", "Representante:"};
    const char* const valores[3] = {"qrlCliente", "qrlCidade", "qrlRepresentante"};
    for (int i = 0; i < 3; ++i) {
        const double y = 13.0 + 7.0 * i;
        texto(cab, QString("lbl") + (valores[i] + 3), {61.6, y, 27, 5}, rotulos[i], 10, true);
        texto(cab, valores[i], {89.0, y, 100.0, 5}).setClipping(true);
    }

    ReportBand& datas = r.addTitle("QRBand2", 14.0);
    texto(datas, "qrlDataColeta", {2.1, 1.0, 52.0, 4.6}, "Data Coleta: ");
    texto(datas, "qrlDataRecebimento", {55.0, 1.0, 52.0, 4.6}, "Data Recebto: ");
    texto(datas, "qrlDataAnalise", {108.0, 1.0, 46.0, 4.6}, "Data Análise: ");
    texto(datas, "qrlDataEnvio", {154.5, 1.0, 35.5, 4.6}, "Data Envio: ");
    texto(datas, "lblAmostrasPara", {2.1, 7.6, 44.0, 5.0}, "Amostras de Água para: ", 10, true);
    texto(datas, "qrlTipoEquipamento", {46.5, 7.6, 143.0, 5.0});

    // Block header, each block on a page of its own: the samples' names and the grid heading.
    ReportGroup& grupo = r.addGroup("QRGroup1", cds::NoPagina);
    ReportBand& bloco = grupo.addHeader("QRGroup1", 21.7);
    bloco.setForceNewPage(true);
    for (int n = 1; n <= 4; ++n) {
        const double x = (n % 2) ? 1.1 : 97.4;
        const double y = n <= 2 ? 0.8 : 6.0;
        texto(bloco, "qrlAmostra" + numero(n), {x, y, 4.7, 4.6}, numero(n) + ".");
        texto(bloco, "qrlEquipamento" + numero(n), {x + 4.7, y, 88.0, 4.6}).setClipping(true);
    }
    const double topo = 12.0, altura = 21.7 - topo;
    bloco.addRect("shpCabecalho", {0, topo, 189.4, altura}, QColor(Qt::yellow),
                  ReportFrame{ReportFrame::Top | ReportFrame::Bottom, kReportPixelMm});
    texto(bloco, "qrlAnalise", {0, topo, 51.9, altura}, " Análise")
        .setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int n = 1; n <= 4; ++n)
        texto(bloco, "qrlNumero" + numero(n), {kRegras[n], topo, kRegras[n + 1] - kRegras[n], altura},
              numero(n))
            .setAlignment(Qt::AlignCenter);
    texto(bloco, "qrlParametros", {136.5, topo, 52.9, altura}, "Parâmetros de Controle")
        .setAlignment(Qt::AlignCenter);
    for (double x : kRegras)
        bloco.addVLine(x, topo, altura);
    bloco.setBeforePrint([this](ReportBandEvent& e) { QRGroup1BeforePrint(e); });

    // Detail: room to write the new values by hand beside the previous ones.
    ReportBand& det = r.addDetail("QRBand3", 10.3);
    det.setKeepTogether(true);
    ReportText& nome = det.addField("qrdbNmTpAnalise", {0.8, 0.8, 51.1, 8.7}, cds::NmTpAnalise);
    nome.setFont(reportFont(8));
    nome.setWordWrap(true);
    nome.setAutoStretch(true);
    for (int n = 1; n <= 4; ++n)
        det.addField("qrdbAnterior" + numero(n), {kValor[n - 1], 0.8, 19.8, 4.2}, cds::equipamento(n),
                     kFormatoValor)
            .setFont(reportFont(8));
    ReportText& ideal = det.addField("qrdbResultadoIdeal", {137.3, 0.8, 51.9, 8.7}, cds::DsResultadoIdeal);
    ideal.setFont(reportFont(8));
    ideal.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ideal.setWordWrap(true);
    ideal.setAutoStretch(true);
    // Under wrapped texts the row keeps its margin above the rule.
    det.addRect("shpMargemNome", {0.8, 9.5, 1, 0.8}, QColor()).setShiftWith(&nome);
    det.addRect("shpMargemIdeal", {137.3, 9.5, 1, 0.8}, QColor()).setShiftWith(&ideal);
    for (double x : kRegras)
        det.addVLine(x, 0, 10.3).setStretchToBand(true);
    det.addRect("shpLinha", {0, 0, 189.4 + kReportPixelMm, 10.3}, QColor(),
                ReportFrame{ReportFrame::Bottom, kReportPixelMm})
        .setStretchToBand(true);

    grupo.addFooter("QRBand4", 4.0);

    // The page footer is empty unless the footer picture prints: then it holds the picture
    // at its place at the foot of the paper, and the rows stop above it.
    ReportBand& rodape = r.addPageFooter("QRBand6", kRodapeVazio);
    rodape.addImage("imgRodape", {0.6, 0, kRodapeLargura, kRodapeAltura});

    r.setOnStart([this](ReportEngine& rel) { qrBeforePrint(rel); });
}

void TfrmRelatorioPreenchimento_2::PreencheCabecalho() {
    ReportEngine& r = qrRelatorio;
    Database* db = dataContext().IBSolution;
    if (!db) throw AppError("A conexão com o banco de dados (IBSolution) não está disponível.");
    Query q(db);
    AbreQuery(q, " select ttp.nm_tp_equipamento, ttp.nm_relatorio_analise from tab_tp_equipamento ttp where "
                 "ttp.id_tp_equipamento = " +
                     QString::number(m_analise.idTpEquipamento));
    r.text("qrlTitulo").setText(q.isEmpty() ? QString() : q.fieldByName("NM_RELATORIO_ANALISE")->asString());
    r.text("qrlTipoEquipamento")
        .setText(q.isEmpty() ? QString() : q.fieldByName("NM_TP_EQUIPAMENTO")->asString());

    r.text("qrlCliente").setText(m_analise.cliente);
    AbreQuery(q, " select tc.nm_cidade, tc.sg_estado from cad_end_pessoa cep inner join tab_cidade tc on "
                 "(tc.id_cidade = cep.id_cidade) where cep.st_fatura = 'S' and cep.id_pessoa=" +
                     QString::number(m_analise.idCliente));
    const QString cidade = q.isEmpty() ? QString() : q.fieldByName("NM_CIDADE")->asString();
    r.text("qrlCidade")
        .setText(cidade.isEmpty() ? QString() : cidade + " - " + q.fieldByName("SG_ESTADO")->asString());
    r.text("qrlRepresentante").setText(m_analise.representante);

    AbreQuery(q, "select  ma.dt_coleta, ma.dt_recebimento, ma.dt_avaliacao, ma.dt_envio from mov_analise ma "
                 "where ma.id_analise =  " +
                     QString::number(m_analise.idAnalise));
    auto valor = [&q](const char* coluna) {
        return q.isEmpty() ? QVariant() : q.fieldByName(coluna)->value();
    };
    r.text("qrlDataColeta").setText("Data Coleta: " + data(valor("DT_COLETA")));
    r.text("qrlDataRecebimento").setText("Data Recebto: " + data(valor("DT_RECEBIMENTO")));
    r.text("qrlDataAnalise").setText("Data Análise: " + data(valor("DT_AVALIACAO")));
    r.text("qrlDataEnvio").setText("Data Envio: " + data(valor("DT_ENVIO")));
    q.close();
    r.reset();
}

// Report start: the logo and the footer picture when asked for.
void TfrmRelatorioPreenchimento_2::qrBeforePrint(ReportEngine& r) {
    Database* db = dataContext().IBSolution;
    Transaction* tr = dataContext().IBT_Gen;
    if (!db || !tr) throw AppError("A conexão com o banco de dados (IBSolution) não está disponível.");
    IBQ_NomeEquipamento = std::make_unique<PreparedQuery>(
        db, tr,
        "select  ma.dt_coleta, ma.dt_recebimento, ma.dt_avaliacao, ma.dt_envio, mae.no_amostra, "
        "tec.nm_equipamento, mae.tx_comentario from mov_analise_equipamento mae inner join "
        "tab_equipamento_cli "
        "tec on (tec.id_equipamento_cli = mae.id_equipamento_cli) left join mov_analise ma on ma.id_analise "
        "= "
        "mae.id_analise where mae.no_pagina = :NoPagina and mae.id_analise = :idAnalise order by "
        "mae.no_amostra");

    ReportImage& logo = r.image("imgLogo");
    ReportImage& rodape = r.image("imgRodape");
    logo.clear();
    rodape.clear();
    if (m_analise.imprimirLogomarca) {
        CriaPastaImagens();
        bExibeImage = logo.loadFile(ArquivoImagem(imagens::kLogo));
        bExibeImage = rodape.loadFile(ArquivoImagem(imagens::kRodape));
    }
    rodape.setVisible(!rodape.image().isNull());
    const QSizeF papel = r.paperSizeMm();
    r.band("QRBand6").setHeightMm(
        rodape.image().isNull() ? kRodapeVazio : papel.height() - r.marginsMm().bottom() - kRodapeTopo);
}

void TfrmRelatorioPreenchimento_2::QRGroup1BeforePrint(ReportBandEvent& e) {
    ReportEngine& r = e.report;
    for (int n = 1; n <= 4; ++n) {
        r.text("qrlAmostra" + numero(n)).setVisible(false);
        r.text("qrlEquipamento" + numero(n)).setText(QString());
    }
    IBQ_NomeEquipamento->setParam("NoPagina", e.value(cds::NoPagina));
    IBQ_NomeEquipamento->setParam("idAnalise", m_analise.idAnalise);
    IBQ_NomeEquipamento->open();
    while (IBQ_NomeEquipamento->next()) {
        const QVariant amostra = IBQ_NomeEquipamento->value("NO_AMOSTRA");
        const int n = amostra.isNull() ? 0 : amostra.toInt();
        if (n < 1 || n > 4) continue;
        r.text("qrlAmostra" + numero(n)).setVisible(true);
        r.text("qrlEquipamento" + numero(n)).setText(IBQ_NomeEquipamento->value("NM_EQUIPAMENTO").toString());
    }
}

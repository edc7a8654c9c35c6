#include "reports/UnRelatorioEquipamentosComPendencias.h"
#include "data/SqlText.h"
#include "reports/ListagensComuns.h"

TfrmRelatorioEquipamentosComPendencias::TfrmRelatorioEquipamentosComPendencias(Database* db, Transaction* tr)
    : IBQ_Relatorio(db, tr, "IBQ_Relatorio"), IBQ_EquipamentosCliente(db, tr, "IBQ_EquipamentosCliente"),
      qrRelatorio(QStringLiteral("Relatório de Equipamentos com Pendências")), m_db(db), m_tr(tr) {
    ReportEngine& r = qrRelatorio;
    const double w = r.printableWidthMm();
    r.setSource(&m_clientes);
    r.setOnStart([this](ReportEngine&) { qrBeforePrint(); });

    ReportBand& cab = r.addPageHeader("PageHeader", 24);
    cab.setFrame(ReportFrame::all());
    cab.addText("qrlNomeRelatorio", {3, 3, w - 55, 9}).setFont(reportFont(14, true));
    cab.addText("qrlPeriodoColetaTitulo", {3, 15, 35, 6}, "Período de Coleta:").setFont(reportFont(10));
    cab.addText("qrlPeriodoColeta", {38, 15, 90, 6}).setFont(reportFont(10));
    cab.addImage("qrImgLogo", {w - 48, 2, 45, 20}).setFit(ReportImage::Fit::KeepAspect);
    r.addTitle("QRBandTitulo", 0);

    ReportGroup& grupo = r.addGroup("QRGroupRepresentante", "ID_REPRESENTANTE");
    ReportBand& gc = grupo.addHeader("QRBandGrupoCab", 9);
    gc.addText("qrlRepresentante", {0, 2, 28, 5}, "Representante:").setFont(reportFont(10, true));
    gc.addField("qrdRepresentante", {28, 2, w - 28, 5}, "NM_REPRESENTANTE").setFont(reportFont(10, true));
    // Headings keep what they head under them: the representative a client line and its first
    // equipment, the client line its first equipment.
    gc.setKeepWithNextMm(7 + 10);

    ReportBand& cli = r.addDetail("QRBand3", 7);
    cli.addText("qrlCliente", {3, 1, 15, 5}, "Cliente:").setFont(reportFont(9, true));
    cli.addField("qrdCliente", {18, 1, 100, 5}, "NM_CLIENTE").setFont(reportFont(9, true));
    cli.addText("qrlCidadeTitulo", {122, 1, 14, 5}, "Cidade:").setFont(reportFont(9));
    cli.addText("qrlCidade", {136, 1, w - 136, 5}).setFont(reportFont(9));
    cli.setKeepWithNextMm(10);
    cli.setBeforePrint([this](ReportBandEvent& e) { QRBand3BeforePrint(e); });

    ReportSubDetail& eq = r.addSubDetail("QRSubDetailEquipamento", &m_equipamentos, 10);
    eq.setPrintIfEmpty(true);
    ReportBand& eb = eq.band();
    eb.addText("qrlEquipamento", {8, 0, 25, 5}, "Equipamento:").setFont(reportFont(9));
    eb.addField("qrdEquipamento", {33, 0, 120, 5}, "NM_EQUIPAMENTO").setFont(reportFont(9));
    eb.addText("qrlSituacao", {8, 5, 18, 5}, "Situação:").setFont(reportFont(9));
    eb.addField("qrdSituacao", {26, 5, 90, 5}, "NM_SITUACAO_EQUIPAMENTO").setFont(reportFont(9));
    eb.addText("qrlData", {120, 5, 12, 5}, "Data:").setFont(reportFont(9));
    eb.addField("qrdData", {132, 5, 30, 5}, "DT_SITUACAO_EQUIPAMENTO", "dd/mm/yyyy").setFont(reportFont(9));
    eb.setBeforePrint([this](ReportBandEvent& e) {
        if (e.row >= 0) ++m_contagem;
    });

    ReportBand& gr = grupo.addFooter("QRBandGrupoRod", 8);
    gr.addText("qrlQtdePendentes", {3, 1, 65, 5}, "Qtde de Equipamentos Pendentes:")
        .setFont(reportFont(9, true));
    ReportText& n = gr.addText("qrlQtde", {68, 1, 20, 5});
    n.setFont(reportFont(9, true));
    gr.addHLine(0, 7, w);
    gr.setBeforePrint([this](ReportBandEvent& e) {
        e.report.text("qrlQtde").setText(ReportFormat::number(m_contagem, "###,##0"));
        m_contagem = 0;
    });
    r.addSummary("QRBandSumario", 0);

    RodapeListagem(r, QString(), false);
}

// An equipment is pending when no sample of it is in an analysis of its client collected in the
// period. The samples are found through the equipment's index: "+ 0" keeps the database from
// also reading the whole period's date index for every equipment, which on a large database
// turns seconds into minutes.
QString TfrmRelatorioEquipamentosComPendencias::sql(const QDate& inicial, const QDate& final,
                                                    bool comRepresentante) {
    QString s =
        QStringLiteral(
            " select rep.id_pessoa as ID_REPRESENTANTE, rep.nm_pesquisa as NM_REPRESENTANTE, "
            "tec.id_cliente, pe.nm_pesquisa as NM_CLIENTE, tc.nm_cidade, tc.sg_estado from "
            "tab_equipamento_cli tec inner join cad_pessoa pe on (pe.id_pessoa = tec.id_cliente) left join "
            "cad_end_pessoa cep on (cep.id_pessoa = pe.id_pessoa and cep.st_fatura = ") +
        "'S'" + ")" + " left join tab_cidade tc on (tc.id_cidade = cep.id_cidade)" +
        " inner join cad_pessoa rep on (rep.id_pessoa = pe.id_vendedor)" +
        " inner join tab_opcao_tabela tot on (tot.id_opcao_tabela = tec.id_sitaucao_equipamento)" +
        " where ((tec.id_sitaucao_equipamento = -245) or (tec.id_sitaucao_equipamento = -246))" +
        " and not exists (select 1" + " from mov_analise ma" +
        " inner join mov_analise_equipamento mae on (mae.id_analise = ma.id_analise)" +
        " where mae.id_equipamento_cli = tec.id_equipamento_cli" + " and ma.dt_coleta + 0 between " +
        sql::quotedDate(inicial) + " and " + sql::quotedDate(final) + " and ma.id_cliente = tec.id_cliente" +
        ")";
    if (comRepresentante) s += " and rep.id_pessoa = :ID_REPRESENTANTE";
    s += QStringLiteral(
             " group by rep.id_pessoa, rep.nm_pesquisa, tec.id_cliente, pe.nm_pesquisa, tc.nm_cidade, "
             "tc.sg_estado") +
         " order by rep.id_pessoa, tec.id_cliente";
    return s;
}

QString TfrmRelatorioEquipamentosComPendencias::sqlEquipamentos(bool comRepresentante) {
    return QStringLiteral("select tec.id_cliente, tec.id_equipamento_cli, tec.nm_equipamento, "
                          "tec.id_sitaucao_equipamento, "
                          "tot.ds_opcao_tabela as NM_SITUACAO_EQUIPAMENTO, tec.dt_situacao_equipamento from "
                          "tab_equipamento_cli tec inner join tab_opcao_tabela tot on (tot.id_opcao_tabela = "
                          "tec.id_sitaucao_equipamento)") +
           (comRepresentante
                ? QStringLiteral(" inner join cad_pessoa pe on (pe.id_pessoa = tec.id_cliente and "
                                 "pe.id_vendedor = :ID_REPRESENTANTE)")
                : QString()) +
           " where ((tec.id_sitaucao_equipamento = -245) or (tec.id_sitaucao_equipamento = -246)) and not "
           "exists (select 1 from mov_analise ma inner join mov_analise_equipamento mae on (mae.id_analise = "
           "ma.id_analise) where mae.id_equipamento_cli = tec.id_equipamento_cli and ma.dt_coleta + 0 "
           "between "
           ":dtInicial and :dtFinal  and ma.id_cliente = tec.id_cliente) order by tec.id_cliente, "
           "tec.nm_equipamento, tec.id_equipamento_cli";
}

void TfrmRelatorioEquipamentosComPendencias::setTitulo(const QString& titulo) {
    qrRelatorio.text("qrlNomeRelatorio").setText(titulo);
    if (!titulo.isEmpty()) qrRelatorio.setCaption(titulo);
}

void TfrmRelatorioEquipamentosComPendencias::setPeriodo(const QString& texto) {
    qrRelatorio.text("qrlPeriodoColeta").setText(texto);
}

void TfrmRelatorioEquipamentosComPendencias::qrBeforePrint() {
    m_contagem = 0;
    // Every client's pending equipment in one statement; each client line shows its own.
    IBQ_EquipamentosCliente.close();
    IBQ_EquipamentosCliente.setSqlText(sqlEquipamentos(!idRepresentante.isNull()));
    if (!idRepresentante.isNull()) IBQ_EquipamentosCliente.setParam("ID_REPRESENTANTE", idRepresentante);
    IBQ_EquipamentosCliente.setParam("dtInicial", dtInicial);
    IBQ_EquipamentosCliente.setParam("dtFinal", dtFinal);
    IBQ_EquipamentosCliente.open();
    IBQ_EquipamentosCliente.fetchAll();
    m_equipamentos.indexa("ID_CLIENTE");
    const ParametrosRelatorio p = LeParametrosRelatorio(m_db, m_tr);
    EmpresaNaListagem(qrRelatorio, p);
}

void TfrmRelatorioEquipamentosComPendencias::QRBand3BeforePrint(ReportBandEvent& e) {
    e.report.text("qrlCidade")
        .setText(e.value("NM_CIDADE").toString() + " - " + e.value("SG_ESTADO").toString());
    m_equipamentos.seleciona(e.value("ID_CLIENTE"));
}

#include "reports/UnRelClientesSemAmostras.h"
#include "data/SqlText.h"
#include "reports/ListagensComuns.h"

TfrmRelClientesSemAmostras::TfrmRelClientesSemAmostras(Database* db, Transaction* tr)
    : IBQRelClientesAmostras(db, tr, "IBQRelClientesAmostras"),
      qrpClientesSemAmostras(QStringLiteral("Relatório de Clientes Sem Amostras")), m_db(db), m_tr(tr) {
    ReportEngine& r = qrpClientesSemAmostras;
    const double w = r.printableWidthMm();
    r.setSource(&m_linhas);
    r.setOnStart([this](ReportEngine&) { qrpClientesSemAmostrasBeforePrint(); });
    TituloListagem(r, "Relatório de Clientes Sem Amostras");

    // One group per representative (the rows come ordered by the representative's key).
    ReportGroup& grupo = r.addGroup("QRGroupRepresentante", "ID_VENDEDOR");
    ReportBand& cab = grupo.addHeader("QRBandGrupoCab", 14);
    cab.addText("qrlRepresentante", {0, 2, 28, 5}, "Representante:").setFont(reportFont(10, true));
    cab.addField("qrdRepresentante", {28, 2, w - 28, 5}, "REPRESENTANTE").setFont(reportFont(10));
    cab.addText("qrlCliente", {5, 8.5, 90, 5}, "Cliente").setFont(reportFont(9, true));
    cab.addText("qrlTipoEquipamento", {100, 8.5, 90, 5}, "Tipo de Equipamento").setFont(reportFont(9, true));
    cab.addHLine(0, 13.5, w);
    // The representative's heading keeps its first line under it.
    cab.setKeepWithNextMm(5);

    ReportBand& det = r.addDetail("QRBandDetalhe", 5);
    det.addField("qrdCliente", {5, 0, 90, 5}, "NM_PESQUISA").setFont(reportFont(9));
    det.addField("qrdTipoEquipamento", {100, 0, 90, 5}, "NM_TP_EQUIPAMENTO").setFont(reportFont(9));
    det.setBeforePrint([this](ReportBandEvent&) { ++m_contagem; });

    ReportBand& rod = grupo.addFooter("QRBandGrupoRod", 9);
    rod.addHLine(0, 0.5, w);
    rod.addText("qrlTotal", {100, 2, 15, 5}, "Total:").setFont(reportFont(9, true));
    ReportText& n = rod.addText("qrlQtde", {115, 2, 20, 5});
    n.setFont(reportFont(9));
    n.setAlignment(Qt::AlignRight | Qt::AlignTop);
    rod.addText("qrlClientes", {137, 2, 30, 5}, "Clientes").setFont(reportFont(9));
    rod.setBeforePrint([this](ReportBandEvent& e) {
        e.report.text("qrlQtde").setText(ReportFormat::number(m_contagem, "###,##0"));
        m_contagem = 0;
    });

    RodapeListagem(r, QString(), true);
}

// The client's analyses of the period are found through the client's index: "+ 0" keeps the
// database from also reading the whole period's date index for every equipment row, which on a
// large database costs ten times as much.
QString TfrmRelClientesSemAmostras::sql(const QDate& inicial, const QDate& final, bool comRepresentante,
                                        bool comTipo) {
    QString s =
        " select distinct tte.nm_tp_equipamento, cliente.nm_pesquisa, cliente.id_vendedor, tec.id_cliente,  "
        "cliente.nm_pessoa as cliente, repres.nm_pessoa as representante from tab_equipamento_cli tec  inner "
        "join tab_tp_equipamento tte on tte.id_tp_equipamento = tec.id_tp_equipamento inner join cad_pessoa "
        "cliente  ON cliente.id_pessoa = tec.id_cliente  left join cad_pessoa repres  ON repres.id_pessoa = "
        "cliente.id_vendedor  where not exists ( select 1 from mov_analise mva  where mva.id_cliente = "
        "tec.id_cliente and mva.dt_coleta + 0 between " +
        sql::quotedDate(inicial) + " and " + sql::quotedDate(final) + ")";
    if (comRepresentante) s += " and repres.id_pessoa = :ID_REPRESENTANTE";
    if (comTipo) s += " and tec.id_tp_equipamento = :ID_TP_EQUIPAMENTO";
    s += " order by 3,2,1";
    return s;
}

void TfrmRelClientesSemAmostras::setPeriodo(const QString& texto) {
    qrpClientesSemAmostras.text("qrlPeriodo").setText(texto);
}

void TfrmRelClientesSemAmostras::qrpClientesSemAmostrasBeforePrint() {
    m_contagem = 0;
    const ParametrosRelatorio p = LeParametrosRelatorio(m_db, m_tr);
    EmpresaNaListagem(qrpClientesSemAmostras, p);
}

#include "reports/UnRelClientesComAmostras.h"
#include "data/SqlText.h"
#include "reports/ListagensComuns.h"

TfrmRelClientesComAmostras::TfrmRelClientesComAmostras(Database* db, Transaction* tr)
    : IBQRelClientesAmostras(db, tr, "IBQRelClientesAmostras"),
      qrpClientesComAmostras(QStringLiteral("Relatório de Clientes com Amostras")), m_db(db), m_tr(tr) {
    ReportEngine& r = qrpClientesComAmostras;
    const double w = r.printableWidthMm();
    r.setSource(&m_linhas);
    r.setOnStart([this](ReportEngine&) { qrpClientesComAmostrasBeforePrint(); });
    TituloListagem(r, "Relatório de Clientes com Amostras");

    ReportGroup& grupo = r.addGroup("QRGroupRepresentante", "REPRESENTANTE");
    ReportBand& cab = grupo.addHeader("QRBandGrupoCab", 14);
    cab.addText("qrlRepresentante", {0, 2, 28, 5}, "Representante:").setFont(reportFont(10, true));
    cab.addField("qrdRepresentante", {28, 2, w - 28, 5}, "REPRESENTANTE").setFont(reportFont(10));
    cab.addText("qrlDataColeta", {5, 8.5, 25, 5}, "Data Coleta").setFont(reportFont(9, true));
    cab.addText("qrlCliente", {32, 8.5, 80, 5}, "Cliente").setFont(reportFont(9, true));
    cab.addText("qrlTipoEquipamento", {115, 8.5, 75, 5}, "Tipo de Equipamento").setFont(reportFont(9, true));
    cab.addHLine(0, 13.5, w);
    // The representative's heading keeps its first line under it.
    cab.setKeepWithNextMm(5);

    ReportBand& det = r.addDetail("QRBandDetalhe", 5);
    det.addField("qrdDataColeta", {5, 0, 25, 5}, "DT_COLETA", "DD/MM/YYYY").setFont(reportFont(9));
    det.addField("qrdCliente", {32, 0, 80, 5}, "NM_PESQUISA").setFont(reportFont(9));
    det.addField("qrdTipoEquipamento", {115, 0, 75, 5}, "NM_TP_EQUIPAMENTO").setFont(reportFont(9));
    det.setBeforePrint([this](ReportBandEvent&) { ++m_contagem; });

    ReportBand& rod = grupo.addFooter("QRBandGrupoRod", 9);
    rod.addHLine(0, 0.5, w);
    rod.addText("qrlTotal", {100, 2, 15, 5}, "Total:").setFont(reportFont(9, true));
    ReportText& n = rod.addText("qrlQtde", {115, 2, 20, 5});
    n.setFont(reportFont(9));
    n.setAlignment(Qt::AlignRight | Qt::AlignTop);
    rod.addText("qrlColetas", {137, 2, 30, 5}, "Coletas").setFont(reportFont(9));
    rod.setBeforePrint([this](ReportBandEvent& e) {
        e.report.text("qrlQtde").setText(QString::number(m_contagem));
        m_contagem = 0;
    });

    RodapeListagem(r, QString(), true);
}

QString TfrmRelClientesComAmostras::sql(const QDate& inicial, const QDate& final, bool comCliente,
                                        bool comRepresentante, bool comTipo) {
    QString s =
        " select ma.dt_coleta, cp.nm_pesquisa, tte.nm_tp_equipamento,  cp1.nm_pesquisa as representante  "
        "from mov_analise ma left join cad_pessoa cp on (ma.id_cliente = cp.id_pessoa) left join "
        "tab_tp_equipamento tte on (ma.id_tp_equipamento = tte.id_tp_equipamento) inner join cad_pessoa cp1 "
        "on ( ma.id_representante = cp1.id_pessoa )  where   ma.dt_coleta between " +
        sql::quotedDate(inicial) + " and " + sql::quotedDate(final);
    if (comCliente) s += " and cp.id_pessoa = :ID_CLIENTE";
    if (comRepresentante) s += " and cp1.id_pessoa = :ID_REPRESENTANTE";
    if (comTipo) s += " and tte.id_tp_equipamento = :ID_TP_EQUIPAMENTO";
    // Collections of one day in a steady order.
    s += " order by cp1.nm_pesquisa, ma.dt_coleta , cp.nm_pesquisa, ma.id_analise";
    return s;
}

void TfrmRelClientesComAmostras::setTitulo(const QString& titulo) {
    qrpClientesComAmostras.text("qrlTitulo").setText(titulo);
    qrpClientesComAmostras.setCaption(titulo);
}

void TfrmRelClientesComAmostras::setPeriodo(const QString& texto) {
    qrpClientesComAmostras.text("qrlPeriodo").setText(texto);
}

void TfrmRelClientesComAmostras::qrpClientesComAmostrasBeforePrint() {
    m_contagem = 0;
    const ParametrosRelatorio p = LeParametrosRelatorio(m_db, m_tr);
    EmpresaNaListagem(qrpClientesComAmostras, p);
}

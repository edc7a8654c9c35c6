#include "reports/UnRelClientesComAmostras.h"
#include "data/SqlText.h"
#include "reports/ListagemClientes.h"

TfrmRelClientesComAmostras::TfrmRelClientesComAmostras(Database* db, Transaction* tr)
    : IBQRelClientesAmostras(db, tr, "IBQRelClientesAmostras"),
      qrpClientesComAmostras(QStringLiteral("Relatório de Clientes com Amostras")), m_db(db), m_tr(tr) {
    ReportEngine& r = qrpClientesComAmostras;
    r.setOnStart([this](ReportEngine&) { qrpClientesComAmostrasBeforePrint(); });
    MontaListagemClientes(r, m_linhas, m_contagem,
                          {"Relatório de Clientes com Amostras",
                           "REPRESENTANTE",
                           {{"DataColeta", "Data Coleta", "DT_COLETA", 5, 25, "DD/MM/YYYY"},
                            {"Cliente", "Cliente", "NM_PESQUISA", 32, 80},
                            {"TipoEquipamento", "Tipo de Equipamento", "NM_TP_EQUIPAMENTO", 115, 75}},
                           "qrlColetas",
                           "Coletas",
                           [](int n) { return QString::number(n); }});
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
    IniciaListagemClientes(qrpClientesComAmostras, m_contagem, m_db, m_tr);
}

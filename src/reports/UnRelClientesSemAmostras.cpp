#include "reports/UnRelClientesSemAmostras.h"
#include "data/SqlText.h"
#include "reports/ListagemClientes.h"

TfrmRelClientesSemAmostras::TfrmRelClientesSemAmostras(Database* db, Transaction* tr)
    : IBQRelClientesAmostras(db, tr, "IBQRelClientesAmostras"),
      qrpClientesSemAmostras(QStringLiteral("Relatório de Clientes Sem Amostras")), m_db(db), m_tr(tr) {
    ReportEngine& r = qrpClientesSemAmostras;
    r.setOnStart([this](ReportEngine&) { qrpClientesSemAmostrasBeforePrint(); });
    // One group per representative (the rows come ordered by the representative's key).
    MontaListagemClientes(r, m_linhas, m_contagem,
                          {"Relatório de Clientes Sem Amostras",
                           "ID_VENDEDOR",
                           {{"Cliente", "Cliente", "NM_PESQUISA", 5, 90},
                            {"TipoEquipamento", "Tipo de Equipamento", "NM_TP_EQUIPAMENTO", 100, 90}},
                           "qrlClientes",
                           "Clientes",
                           [](int n) { return ReportFormat::number(n, "###,##0"); }});
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
    IniciaListagemClientes(qrpClientesSemAmostras, m_contagem, m_db, m_tr);
}

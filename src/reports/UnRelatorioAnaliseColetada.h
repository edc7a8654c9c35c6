#pragma once
// The report "Relatório Análises Coletadas": one block per client (and representative and city)
// with analyses collected in a period, each on a page of its own: the client's particulars, its
// equipment counted by type, the analyses of the period and the products sold to it in the
// period. The report and its queries; only its preview is ever shown.
#include "data/DataSetReportSource.h"
#include "data/Query.h"
#include "platform/report/ReportEngine.h"
#include "reports/ListagensComuns.h"
#include <QDate>

class TfrmRelatorioAnaliseColetada {
public:
    TfrmRelatorioAnaliseColetada(Database* db, Transaction* tr);

    // The rows of the report: one per client block (ID_PESSOA, NM_PESSOA, DT_CADASTRO,
    // NM_CIDADE, REPRESENTANTE). The client lists (equipment by type, analyses, products), each
    // read once for every client of the period and ordered by client.
    Query IBQ_Cliente, IBQ_Equipamento, IBQ_Analise, IBQ_Movimento;
    ReportEngine qrRelatorio;
    // The period the client lists cover, and the client chosen (null: all).
    QDate dtInicial, dtFinal;
    QVariant idCliente;

    // The statement of the client blocks: the period, and the client and the representative when
    // chosen (bound as :ID_CLIENTE and :ID_REPRESENTANTE).
    static QString sqlClientes(const QDate& inicial, const QDate& final, bool comCliente,
                               bool comRepresentante);

    // The client lists, by client (":dt_ini", ":dt_fim", ":id_cliente" when one is chosen,
    // ":st_estat" for the kind of operation of the products).
    static QString sqlEquipamentos(bool comCliente);
    static QString sqlAnalises(bool comCliente);
    static QString sqlMovimento(bool comCliente);

    void setPeriodo(const QString& texto);
    // Report start: the parameter row, the quantity format and the logo.
    void qrBeforePrint();
    // Before each client block: its part of the three lists.
    void QRBand3BeforePrint(ReportBandEvent& e);

private:
    void monta();
    Database* m_db;
    Transaction* m_tr;
    DataSetReportSource m_clientes{IBQ_Cliente}, m_todosEquipamentos{IBQ_Equipamento},
        m_todasAnalises{IBQ_Analise}, m_todoMovimento{IBQ_Movimento};
    TrechoPorChave m_equipamentos{m_todosEquipamentos}, m_analises{m_todasAnalises},
        m_movimento{m_todoMovimento};
};

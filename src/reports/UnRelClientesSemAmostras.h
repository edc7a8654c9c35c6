#pragma once
// The report "Relatório de Clientes Sem Amostras": per representative, the clients that own
// equipment but had no sample collected in a period, one line per client and equipment type,
// with the number of lines of each representative. Only its preview is ever shown.
#include "data/DataSetReportSource.h"
#include "data/Query.h"
#include "platform/report/ReportEngine.h"
#include <QDate>

class TfrmRelClientesSemAmostras {
public:
    TfrmRelClientesSemAmostras(Database* db, Transaction* tr);

    Query IBQRelClientesAmostras;
    ReportEngine qrpClientesSemAmostras;

    // The listing: clients (with any equipment) without any analysis collected in the period,
    // with the representative (:ID_REPRESENTANTE) and equipment type (:ID_TP_EQUIPAMENTO) when
    // chosen; ordered by representative key, client search name and equipment type.
    static QString sql(const QDate& inicial, const QDate& final, bool comRepresentante, bool comTipo);
    void setPeriodo(const QString& texto);
    void qrpClientesSemAmostrasBeforePrint();

private:
    Database* m_db;
    Transaction* m_tr;
    DataSetReportSource m_linhas{IBQRelClientesAmostras};
    int m_contagem = 0;
};

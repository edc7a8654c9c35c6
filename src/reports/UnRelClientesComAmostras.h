#pragma once
// The report of clients with samples: per representative, every analysis collected in a period
// (collection date, client, equipment type), in order of collection, with the number of
// collections of each representative. Only its preview is ever shown.
#include "data/DataSetReportSource.h"
#include "data/Query.h"
#include "platform/report/ReportEngine.h"
#include <QDate>

class TfrmRelClientesComAmostras {
public:
    TfrmRelClientesComAmostras(Database* db, Transaction* tr);

    Query IBQRelClientesAmostras;
    ReportEngine qrpClientesComAmostras;

    // The analyses of the period that have a representative, with the client (:ID_CLIENTE), the
    // representative (:ID_REPRESENTANTE) and the equipment type (:ID_TP_EQUIPAMENTO) when chosen;
    // ordered by the representative's search name and the collection date.
    static QString sql(const QDate& inicial, const QDate& final, bool comCliente, bool comRepresentante,
                       bool comTipo);
    void setTitulo(const QString& titulo);
    void setPeriodo(const QString& texto);
    void qrpClientesComAmostrasBeforePrint();

private:
    Database* m_db;
    Transaction* m_tr;
    DataSetReportSource m_linhas{IBQRelClientesAmostras};
    int m_contagem = 0;
};

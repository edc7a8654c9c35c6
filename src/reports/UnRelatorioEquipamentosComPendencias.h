#pragma once
// The report "Relatório de Equipamentos com Pendências": per representative and client, the
// client equipment in an active situation (approved or awaiting approval) that had no sample
// collected in a period, with the number of pending equipment of each representative. Only its
// preview is ever shown.
#include "data/DataSetReportSource.h"
#include "data/Query.h"
#include "platform/report/ReportEngine.h"
#include <QDate>

class TfrmRelatorioEquipamentosComPendencias {
public:
    TfrmRelatorioEquipamentosComPendencias(Database* db, Transaction* tr);

    // One row per representative, client and billing city; the pending equipment of a client.
    Query IBQ_Relatorio, IBQ_EquipamentosCliente;
    ReportEngine qrRelatorio;
    QDate dtInicial, dtFinal;

    // The clients (whose representative exists) with pending equipment in the period; the
    // representative bound as :ID_REPRESENTANTE when chosen.
    static QString sql(const QDate& inicial, const QDate& final, bool comRepresentante);
    void setTitulo(const QString& titulo);
    void setPeriodo(const QString& texto);
    void qrBeforePrint();
    // Before each client line: its city and its pending equipment.
    void QRBand3BeforePrint(ReportBandEvent& e);

private:
    Database* m_db;
    Transaction* m_tr;
    DataSetReportSource m_clientes{IBQ_Relatorio}, m_equipamentos{IBQ_EquipamentosCliente};
    int m_contagem = 0;
};

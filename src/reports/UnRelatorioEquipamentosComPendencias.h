#pragma once
// The report "Relatório de Equipamentos com Pendências": per representative and client, the
// client equipment in an active situation (approved or awaiting approval) that had no sample
// collected in a period, with the number of pending equipment of each representative. Only its
// preview is ever shown.
#include "data/DataSetReportSource.h"
#include "data/Query.h"
#include "platform/report/ReportEngine.h"
#include "reports/ListagensComuns.h"
#include <QDate>

class TfrmRelatorioEquipamentosComPendencias {
public:
    TfrmRelatorioEquipamentosComPendencias(Database* db, Transaction* tr);

    // One row per representative, client and billing city; the pending equipment of the
    // clients, read once for the whole report and ordered by client.
    Query IBQ_Relatorio, IBQ_EquipamentosCliente;
    ReportEngine qrRelatorio;
    QDate dtInicial, dtFinal;
    // The representative chosen (null: all), for the equipment read with the clients.
    QVariant idRepresentante;

    // The clients (whose representative exists) with pending equipment in the period; the
    // representative bound as :ID_REPRESENTANTE when chosen.
    static QString sql(const QDate& inicial, const QDate& final, bool comRepresentante);
    // The pending equipment of the period (":dtInicial", ":dtFinal") of every client, or of the
    // clients of a representative (":ID_REPRESENTANTE"), by client and equipment name.
    static QString sqlEquipamentos(bool comRepresentante);
    void setTitulo(const QString& titulo);
    void setPeriodo(const QString& texto);
    void qrBeforePrint();
    // Before each client line: its city and its pending equipment.
    void QRBand3BeforePrint(ReportBandEvent& e);

private:
    Database* m_db;
    Transaction* m_tr;
    DataSetReportSource m_clientes{IBQ_Relatorio}, m_todosEquipamentos{IBQ_EquipamentosCliente};
    TrechoPorChave m_equipamentos{m_todosEquipamentos};
    int m_contagem = 0;
};

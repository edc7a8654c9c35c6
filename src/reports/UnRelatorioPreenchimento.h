#pragma once
// The fill-in sheet ("Planilha de Preenchimento") of one analysis: the bench form with, one
// page per block of up to four samples, every analysis type of the equipment type with room to
// write the values by hand, each sample's value at its previous collection as a reference, and
// the control parameter. The object lives for one preview.
#include "data/DataSetReportSource.h"
#include "data/Query.h"
#include "platform/report/ReportEngine.h"
#include "reports/UnDadosLaudo.h"

#include <memory>

class PreparedQuery;

class TfrmRelatorioPreenchimento_2 {
public:
    explicit TfrmRelatorioPreenchimento_2(const TAnaliseImpressao& analise);
    ~TfrmRelatorioPreenchimento_2();
    TfrmRelatorioPreenchimento_2(const TfrmRelatorioPreenchimento_2&) = delete;
    TfrmRelatorioPreenchimento_2& operator=(const TfrmRelatorioPreenchimento_2&) = delete;

    MemTable cdsRelatorio{QStringLiteral("cdsRelatorio")};
    ReportEngine qrRelatorio{QStringLiteral("Planilha de Preenchimento")};

    // Report title and equipment type, client, city, representative and the four dates.
    void PreencheCabecalho();

    // Whether the last image file looked up exists.
    bool bExibeImage = false;

private:
    void montaLayout();
    void qrBeforePrint(ReportEngine& r);
    void QRGroup1BeforePrint(ReportBandEvent& e);

    TAnaliseImpressao m_analise;
    DataSetReportSource m_fonte{cdsRelatorio};
    std::unique_ptr<PreparedQuery> IBQ_NomeEquipamento;
};

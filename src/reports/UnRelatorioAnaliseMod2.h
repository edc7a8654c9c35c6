#pragma once
// The technical report ("Laudo Técnico de Análises Químicas") of one analysis: for every block
// of up to four samples, a grid with each analysis type, its control parameter and each
// sample's value now beside its value at the equipment's previous collection; after each grid
// the laboratory's standing text and each sample's comment; at the end the responsible
// technician's signature. The object lives for one preview.
//
//   TfrmRelatorioAnaliseMod2 rel(analise);
//   CopiaCdsRelatorio(cdsRelatorio, rel.cdsRelatorio);
//   rel.PreencheCabecalho();
//   rel.qrRelatorio.preview();
#include "data/DataSetReportSource.h"
#include "data/Query.h"
#include "platform/report/ReportEngine.h"
#include "reports/UnDadosLaudo.h"

#include <QImage>
#include <array>
#include <memory>

class PreparedQuery;

// The report's options in the program's own settings (SIS_CTV_PARAMETRO), "S" for on; both off
// unless the laboratory turns them on on "Configurações do Cortivandela".
// Current values outside their ideal range in bold with "▲" or "▼", and a legend under each grid.
inline const QString kParamLaudoMarcaForaFaixa = QStringLiteral("LAUDO_MARCA_FORA_FAIXA");
// After the signature, one page of trend charts per sample.
inline const QString kParamLaudoGraficosTendencia = QStringLiteral("LAUDO_GRAFICOS_TENDENCIA");

class TfrmRelatorioAnaliseMod2 {
public:
    explicit TfrmRelatorioAnaliseMod2(const TAnaliseImpressao& analise);
    ~TfrmRelatorioAnaliseMod2();
    TfrmRelatorioAnaliseMod2(const TfrmRelatorioAnaliseMod2&) = delete;
    TfrmRelatorioAnaliseMod2& operator=(const TfrmRelatorioAnaliseMod2&) = delete;

    // The report's own copy of the report table (made by CriaCdsRelatorio), its rows.
    MemTable cdsRelatorio{QStringLiteral("cdsRelatorio")};
    ReportEngine qrRelatorio{QStringLiteral("Laudo Técnico de Análises Químicas")};

    // The header labels: client, city and phone, proposal, CNPJ/CPF, representative, the three
    // dates, the collection date over each sample's "now" column, and the technician.
    void PreencheCabecalho();

    // The report's options as the settings held them when it was made (see above).
    bool bMarcaForaFaixa = false, bGraficosTendencia = false;

    // Whether the last image file looked up exists.
    bool bExibeImage = false;
    // Whether the current (and the previous) collection date of sample n prints in the block.
    std::array<bool, 4> it_bControleImprimirData{};
    std::array<bool, 4> it_bControleImprimirData_Ant{};

private:
    void montaLayout();
    void qrBeforePrint(ReportEngine& r);
    void qrStartPage(ReportEngine& r, int page);
    void QRGroup1BeforePrint(ReportBandEvent& e);
    void QRBand3BeforePrint(ReportBandEvent& e);
    void comentarioBeforePrint(int n, ReportBandEvent& e);
    void QRBand6BeforePrint(ReportBandEvent& e);
    // One page of trend charts per sample of the analysis, after the signature.
    void MontaPaginasTendencia();
    bool m_paginasTendencia = false;

    TAnaliseImpressao m_analise;
    DataSetReportSource m_fonte{cdsRelatorio};
    std::unique_ptr<PreparedQuery> IBQ_NomeEquipamento, IBQ_ColetaAnterior;
    // The comment of each sample of the current block, as stored (RTF); "" for an absent one.
    std::array<QString, 4> m_comentarios;
    // The chosen company's header and footer pictures, looked up once per run.
    bool m_empresaLida = false;
    QImage m_cabecalhoEmpresa, m_rodapeEmpresa;
    bool m_fundoLido = false;
};

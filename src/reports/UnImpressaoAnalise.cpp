#include "reports/UnImpressaoAnalise.h"

#include "reports/UnRelatorioAnaliseMod2.h"
#include "reports/UnRelatorioPreenchimento.h"

#include <functional>

namespace {

// The report table of one print: the screen's when it has one, emptied in every case.
class TabelaDaImpressao {
public:
    explicit TabelaDaImpressao(MemTable* daTela) : m_tabela(daTela ? daTela : &m_propria) {
        CriaCdsRelatorio(*m_tabela);
    }
    ~TabelaDaImpressao() {
        try {
            m_tabela->emptyDataSet();
        } catch (...) {
        }
    }
    MemTable& operator*() { return *m_tabela; }

private:
    MemTable m_propria{QStringLiteral("cdsRelatorio")};
    MemTable* m_tabela;
};

} // namespace

namespace {
// Numbers the samples, assembles the data and fills the header; then out() shows or writes it.
void relatorioAnalise(const TAnaliseImpressao& analise, MemTable* cdsRelatorio,
                      const std::function<void(ReportEngine&)>& out) {
    TabelaDaImpressao tabela(cdsRelatorio);
    NumeraPaginasAmostras(analise.idAnalise);
    MontaDadosLaudo(*tabela, analise);
    TfrmRelatorioAnaliseMod2 relatorio(analise);
    CopiaCdsRelatorio(*tabela, relatorio.cdsRelatorio);
    relatorio.PreencheCabecalho();
    out(relatorio.qrRelatorio);
}
} // namespace

void ImprimeRelatorioAnalise(const TAnaliseImpressao& analise, MemTable* cdsRelatorio) {
    relatorioAnalise(analise, cdsRelatorio, [](ReportEngine& r) { r.preview(); });
}

void GeraPdfRelatorioAnalise(const TAnaliseImpressao& analise, const QString& path, MemTable* cdsRelatorio) {
    relatorioAnalise(analise, cdsRelatorio, [&](ReportEngine& r) { r.writePdf(path); });
}

void ImprimePlanilhaPreenchimento(const TAnaliseImpressao& analise, MemTable* cdsRelatorio) {
    TabelaDaImpressao tabela(cdsRelatorio);
    NumeraPaginasAmostras(analise.idAnalise);
    MontaDadosPlanilha(*tabela, analise);
    TfrmRelatorioPreenchimento_2 relatorio(analise);
    CopiaCdsRelatorio(*tabela, relatorio.cdsRelatorio);
    relatorio.PreencheCabecalho();
    relatorio.qrRelatorio.preview();
}

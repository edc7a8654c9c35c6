#include "reports/UnImpressaoAnalise.h"

#include "reports/UnRelatorioAnaliseMod2.h"
#include "reports/UnRelatorioPreenchimento.h"

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

void ImprimeRelatorioAnalise(const TAnaliseImpressao& analise, MemTable* cdsRelatorio) {
    TabelaDaImpressao tabela(cdsRelatorio);
    NumeraPaginasAmostras(analise.idAnalise);
    MontaDadosLaudo(*tabela, analise);
    TfrmRelatorioAnaliseMod2 relatorio(analise);
    CopiaCdsRelatorio(*tabela, relatorio.cdsRelatorio);
    relatorio.PreencheCabecalho();
    relatorio.qrRelatorio.preview();
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

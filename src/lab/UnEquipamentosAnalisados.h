#pragma once
// Analysed equipment (MOV_ANALISE_EQUIPAMENTO) of one analysis: which of the client's equipment
// was sampled, the sample's comment (printed on the technical report) and observation (internal),
// each written as rich text beside the text written at the equipment's previous collection, and
// the results window. Opened by the analysis registration screen, which waits for it.
#include "data/Query.h"
#include "screens/UnCadastroPadrao.h"
#include <QDate>
#include <QFont>
#include <functional>

class DBEdit;
class DBLookupCombo;
class DBRichEdit;
class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QToolButton;

class TfrmEquipamentosAnalisados : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmEquipamentosAnalisados(QWidget* parent = nullptr);
    ~TfrmEquipamentosAnalisados() override;

    // Set by the opener before the screen is shown: the analysis the screen works for (copied
    // into every new sample), whether it starts inserting a sample, and what to do once it closed.
    int iIdAnalise = 0;
    bool incluirAoAbrir = false;
    std::function<void()> aoFechar;

    // The client's equipment of the analysis's type, and the equipment's earlier collections.
    Query IBQ_Equipamento, IBQ_Anterior;
    DataSource dsEquipamento{"dsEquipamento", this};

    DBLookupCombo* RxDBLookupCombo1 = nullptr; // ID_EQUIPAMENTO_CLI
    QLineEdit* edtColetaAnterior = nullptr;
    QTabWidget* pcTextos = nullptr;
    QTextEdit *DBRichEdit1 = nullptr, *DBRichEdit2 = nullptr;  // previous observation and comment
    DBRichEdit *DBRichEdit4 = nullptr, *DBRichEdit3 = nullptr; // current observation and comment
    QLabel *lblTamanhoObs = nullptr, *lblTamanhoComentario = nullptr;
    QPushButton *btnLimparConteudoObservacaoAtual = nullptr, *btnLimparConteudoComentarioAtual = nullptr;
    QToolButton *btnTipoFonte = nullptr, *btnNumerar = nullptr, *btnIdentar = nullptr; // comment
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr;            // observation
    QPushButton *btnConsultar = nullptr, *btnFechar = nullptr;
    // The trend charts of the sample's equipment, and how many of its values are out of range.
    QPushButton* btnGrafico = nullptr;
    QLabel* lblForaFaixa = nullptr;
    QPushButton* btnHistorico = nullptr; // the sample's audit trail
    DBEdit* DBEdit2 = nullptr;           // hidden: ID_ANALISE_EQUIPAMENTO

    void FormShow() override;
    void FormActivate() override;
    bool FormClose() override;

    void RxDBLookupCombo1Change();
    void DBEdit2Change();
    void btnTipoFonteClick();
    void btnNumerarClick();
    void btnIdentarClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void btnLimparConteudoComentarioAtualClick();
    void btnLimparConteudoObservacaoAtualClick();
    void btnConsultarClick();
    void btnFecharClick();
    void btnGraficoClick();
    // The out-of-range count of the current sample.
    void mostraForaDaFaixa();
    void btnHistoricoClick();

    // The size labels and the clear buttons after the texts changed.
    void pc_MostrarTamanhoCampo();
    // The previous collection of the current sample's equipment: its texts, its date, its analysis.
    void carregaAnterior();
    int idAnaliseAnterior() const { return m_idAnaliseAnterior; }

    // The analysis the screen works for, as stored.
    struct Analise {
        QDate dtColeta;
        QVariant idTpEquipamento, idCliente;
    };
    const Analise& analise() const { return m_analise; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void leAnalise();
    void reabreEquipamentos();
    void limpa(const char* campo);
    void escolheFonte(QTextEdit& editor, QFont& fonte, bool tamanho10);
    Analise m_analise;
    QFont m_fonteComentario, m_fonteObservacao;
    int m_idAnaliseAnterior = 0;
    QString m_chaveAnterior;
    bool m_primeiraAtivacao = true;
};

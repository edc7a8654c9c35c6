#pragma once
// Analysis registration (MOV_ANALISE): one record per sampling campaign, with its dates, client,
// representative, technician and equipment type, and the client's equipment sampled in it
// (MOV_ANALISE_EQUIPAMENTO). The samples are added, consulted and removed here; their texts and
// results are entered on the analysed-equipment screen, which this screen opens and waits for.
// The technical report is printed, or sent to the client by e-mail as the same PDF; the screen
// shows when and to whom the current analysis's report was last sent.
#include "data/Query.h"
#include "reports/UnDadosLaudo.h"
#include "screens/UnCadastroPadrao.h"
#include <QPointer>

class DBDateEdit;
class DBEdit;
class DBGrid;
class DBLookupCombo;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class TfrmEquipamentosAnalisados;

// Brings the open screen of that name (letter case ignored) to the front; false when none is open.
bool TrazTelaParaFrente(const QString& nomeTela);
// Moves a screen whose window reaches beyond the main window's area back inside it.
void CabeNaArea(ScreenWindow* tela);

class TfrmCadastrodeAnalise : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmCadastrodeAnalise(QWidget* parent = nullptr);
    ~TfrmCadastrodeAnalise() override;

    // The analysed equipment of the current analysis, and the scratch query of the main
    // transaction (counting and deleting).
    DataSource dsConsultaEquipAnalisados{"dsConsultaEquipAnalisados", this};
    Query IBQ_Gen;
    // The report table of the prints, and the print under way ("0" technical report, "1" fill-in
    // sheet).
    MemTable cdsRelatorio{"cdsRelatorio"};
    QString TipoImpresao;

    DBDateEdit *dtColeta = nullptr, *dtRecebimento = nullptr, *dtAvaliacao = nullptr, *dtEnvio = nullptr;
    QToolButton* btnPesquisaPessoa = nullptr;
    // The client among every person (a long list); the other choices are short lists.
    DBLookupCombo* lkCliente = nullptr;
    DBLookupCombo *lkRepresentante = nullptr, *lkResponsavel = nullptr, *lkTipoEquipamento = nullptr,
                  *lkEmpresa = nullptr;
    QToolButton *btnIncluir = nullptr, *btnExcluir = nullptr;
    QPushButton* btnConsultar = nullptr;
    // Every sample's results in one grid, and the audit trail of the analysis.
    QPushButton *btnResultadosAmostras = nullptr, *btnHistorico = nullptr;
    DBGrid* dbgDados = nullptr;
    QCheckBox* chkImprimirLogomarcaRodape = nullptr;
    QLabel* imgTutorial = nullptr;
    QPushButton *BitBtn1 = nullptr, *BTImpRelPreench = nullptr;
    QPushButton* btnEnviarLaudoEmail = nullptr; // "Enviar Laudo por E-mail"
    QLabel* lblUltimoEnvio = nullptr;           // when and to whom the report was last sent
    DBEdit* DBEdit1 = nullptr;                  // hidden: ID_ANALISE

    void FormShow() override;
    void FormActivate() override;
    bool FormClose() override;

    void dsPadraoDataChange();
    void DBEdit1Change();
    void btnPesquisaPessoaClick();
    void btnIncluirClick();
    void btnExcluirClick();
    void btnConsultarClick();
    void dbgDadosDblClick() { btnConsultarClick(); }
    void btnResultadosAmostrasClick();
    void btnHistoricoClick();
    void chkImprimirLogomarcaRodapeClick();
    void imgTutorialClick();
    // "Imprimir Relatório de Análise" and "Imprimir Planilha de Preenchimento".
    void BitBtn1Click();
    void BTImpRelPreenchClick();
    // The technical report as a PDF, by e-mail to the client (the report mail account).
    void btnEnviarLaudoEmailClick();

    // The key of the current analysis, 0 when there is none (no record, or a new one).
    int idAnaliseAtual() const;
    // Reads the equipment list of the current analysis again.
    void recarregaEquipamentos();
    // "Excluir Equipamento", "Consultar Resultados" and the type drop-down after the list
    // changed: an analysis with samples keeps its equipment type.
    void ajustaControlesEquipamento();
    // The analysed-equipment screen closed: the list is read again and this screen accepts
    // input again.
    void equipamentosFechados();
    // The analysed-equipment screen this screen waits for (null when none is open).
    TfrmEquipamentosAnalisados* telaEquipamentos() const;
    // The last sending of the current analysis's report, read again when the analysis changed
    // (or always, when forced).
    void mostraUltimoEnvio(bool sempre = false);

private:
    // Saves the analysis when it is being inserted or edited (the toolbar's save).
    void salvaSeEditando();
    // Opens the analysed-equipment screen for the current analysis: inserting a new sample, or
    // on the sample of that key.
    void abreEquipamentos(bool novo, int idAnaliseEquipamento);
    void aguardaEquipamentos(bool aguardando);
    void imprime(QPushButton* botao, const QString& tipo);
    // The analysis as stored with what the screen shows and offers (the drop-downs' texts, the
    // "Data do Envio" shown, the check box and "Nossa Empresa"): what the prints use.
    TAnaliseImpressao analiseDaTela(int id) const;
    // After a report went out: "Data do Envio" becomes today when empty, or when the user
    // agrees to replace the date it holds, and the analysis is saved.
    void marcaDataEnvio();
    QPointer<TfrmEquipamentosAnalisados> m_equipamentos;
    QVariant m_idCarregado;     // the analysis whose equipment the list holds
    QVariant m_idEnvioMostrado; // the analysis whose last sending the label shows
};

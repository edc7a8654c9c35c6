#pragma once
// Analysis search: registered analyses by collection period, client, representative and
// equipment, the equipment analysed in the one selected, and the registration screen opened on
// the analysis chosen.
#include "data/DataSource.h"
#include "data/Query.h"
#include "screens/UnFormPadrao.h"
#include <QDate>

class DBDateEdit;
class DBGrid;
class DBLookupCombo;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The criteria of a search, as the screen holds them.
struct CriteriosPesquisaAnalise {
    bool porData = false;
    QDate de, ate;
    bool porCliente = false;
    int idCliente = 0;
    bool porRepresentante = false;
    int idRepresentante = 0;
    bool porEquipamento = false;
    QVariant idEquipamento; // null: no equipment chosen (no condition)
};
// The search statement: analyses with at least one analysed equipment, each once, newest
// collection first.
QString MontaSQLPesquisaAnalises(const CriteriosPesquisaAnalise& c);
// The equipment choices: every client's equipment, or those of one client.
QString SQLEquipamentosCliente(int idCliente);

class TfrmPesquisarAnalises : public TfrmFormPadrao {
    Q_OBJECT
public:
    explicit TfrmPesquisarAnalises(QWidget* parent = nullptr);

    int it_iidCliente = 0, it_iidRepresentante = 0;

    Query IBQ_PesquisaAnalise, IBQ_Equipamentos, IBQ_EquipamentoCli;
    // How many values of each equipment of the selected analysis are out of range (the
    // equipment grid's column "Fora da Faixa").
    MemTable cdsForaFaixa{"cdsForaFaixa"};
    DataSource dsPesquisaAnalise{"dsPesquisaAnalise", this}, dsEquipamentos{"dsEquipamentos", this};

    QGroupBox* gbParametros = nullptr;
    QCheckBox *ckbDataColeta = nullptr, *ckbCliente = nullptr, *ckbRepresentante = nullptr,
              *ckbEquipamento = nullptr;
    DBDateEdit *dtInicial = nullptr, *dtFinal = nullptr;
    QToolButton *btnPesquisarCliente = nullptr, *btnPesquisarRepresentante = nullptr;
    QLineEdit *edtCliente = nullptr, *edtRepresentante = nullptr;
    DBLookupCombo* lkEquipamento = nullptr;
    QPushButton *btnPesquisar = nullptr, *btnConsultarAnalise = nullptr, *btnCancelar = nullptr;
    QLabel *lblAnalises = nullptr, *lblEquipamentos = nullptr;
    QLabel* lblForaFaixa = nullptr; // the selected analysis's out-of-range values
    DBGrid *DBGrid1 = nullptr, *DBGrid2 = nullptr;

    void FormShow() override;

    void ckbDataColetaClick();
    void ckbClienteClick();
    void ckbRepresentanteClick();
    void ckbEquipamentoClick();
    void btnPesquisarClienteClick();
    void btnPesquisarRepresentanteClick();
    void btnPesquisarClick();
    void DBEdit1Change();
    void btnConsultarAnaliseClick();
    void DBGrid1DblClick() { btnConsultarAnaliseClick(); }
    void btnCancelarClick();

    CriteriosPesquisaAnalise criterios() const;

private:
    // Reads the equipment choices for it_iidCliente (when the list is in use).
    void carregaEquipamentos();
    void reabreEquipamentosCliente();
    bool m_equipamentosPendentes = true;
    QVariant m_analiseMostrada;
};

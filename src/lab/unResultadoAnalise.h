#pragma once
// The results of one sample (MOV_ANALISE_RESULTADO): a modal window listing every analysis type
// that has an ideal result for the analysis's equipment type, with the ideal result, the value
// measured at the equipment's previous collection and the value measured now, which the user
// types. "Salvar" writes the values the user changed, all or nothing (GravacaoResultados).
#include "data/DataSource.h"
#include "data/Query.h"
#include <QDialog>
#include <QVariant>
#include <memory>
#include <vector>

class CalculoGrade;
class DBGrid;
class MarcaFaixaResultado;
class QLabel;
class QPushButton;

// One row of the window: an analysis type with its ideal result and the two values (null when
// not measured).
struct LinhaResultado {
    int idTpAnalise = 0;
    QString tipoAnalise, resultadoIdeal;
    QVariant anterior, atual;
};

// The rows of a sample, in the order of the analysis types' names: the ideal results of the
// equipment type, the values of the previous analysis (0: none) for the same equipment, and the
// sample's own values. Reads on tr.
std::vector<LinhaResultado> LeResultados(Database& db, Transaction& tr, int idTpEquipamento,
                                         int idAnaliseEquipamento, int idAnaliseAnterior,
                                         int idEquipamentoCli);

// The analysis types with an ideal result for the equipment type, each once, by name: (type,
// name, ideal result) as rows without values.
std::vector<LinhaResultado> LeTiposAnalise(Database& db, Transaction& tr, int idTpEquipamento);

class TfrmResultadoAnalise : public QDialog {
    Q_OBJECT
public:
    explicit TfrmResultadoAnalise(QWidget* parent = nullptr);
    ~TfrmResultadoAnalise() override;

    // Set by the opener before the window is shown.
    int IidTpEquipamento = 0, IidCliente = 0, IidAnalise = 0, IidAnaliseEquipamento = 0,
        IidAnaliseAnterior = 0;
    // The client equipment of the sample (chosen on the analysed-equipment screen).
    int IidEquipamentoCli = 0;

    MemTable cdsResultado{"cdsResultado"};
    DataSource dsResultado{"dsResultado", this};
    QLabel* lblEquipamento = nullptr;
    DBGrid* DBGrid1 = nullptr;
    QPushButton *btnSalvar = nullptr, *btnCancelar = nullptr;
    // Out-of-range marks of the current values; the trend chart of the row's type.
    MarcaFaixaResultado* marcaFaixa = nullptr;
    QPushButton* btnGrafico = nullptr;

    // Fills the grid table and the equipment's name.
    void CarregaResultados();
    void btnSalvarClick();
    void btnCancelarClick();
    void btnGraficoClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    bool m_carregado = false;
    // The current values as read, by row: what the save compares with.
    std::vector<QVariant> m_lidos;
    // The calculated types' rows (read-only, computed as the others are typed).
    std::unique_ptr<CalculoGrade> m_calculo;
};

#pragma once
// The results of every sample of an analysis in one grid: a row per analysis type with an ideal
// result for the analysis's equipment type, a column per analysed equipment (its sample number
// and name) holding the current value, with the value of that equipment's previous collection
// beside it, read-only and greyed. Enter moves down a column, Tab across to the next sample.
// "Salvar" writes every value changed, of every sample, in one transaction (GravacaoResultados).
#include "data/DataSource.h"
#include "data/Query.h"
#include "lab/GravacaoResultados.h"
#include <QDialog>
#include <QVariant>
#include <memory>
#include <vector>

class CalculoGrade;
class DBGrid;
class QLabel;
class QPushButton;

// One analysed equipment of the analysis: its key, its name, and the sample of the same
// equipment at its previous collection (0 when there is none).
struct AmostraGrade {
    int idAnaliseEquipamento = 0;
    QString nomeEquipamento;
    int idAmostraAnterior = 0;
};

// What the window shows, read in one go: the samples in key order, the analysis types, and for
// each type and sample the current and the previous value (null when not measured).
struct DadosGradeResultados {
    std::vector<AmostraGrade> amostras;
    std::vector<int> tipos;
    std::vector<QString> nomesTipos, ideais;
    std::vector<std::vector<QVariant>> atuais, anteriores; // [type][sample]
};
DadosGradeResultados LeGradeResultados(Database& db, Transaction& tr, int idAnalise);

class TfrmResultadosTodasAmostras : public QDialog {
    Q_OBJECT
public:
    explicit TfrmResultadosTodasAmostras(QWidget* parent = nullptr);
    ~TfrmResultadosTodasAmostras() override;

    // Set by the opener before the window is shown.
    int IidAnalise = 0;

    MemTable cdsGrade{"cdsGrade"};
    DataSource dsGrade{"dsGrade", this};
    QLabel* lblAnalise = nullptr;
    DBGrid* dbgResultados = nullptr;
    QPushButton *btnSalvar = nullptr, *btnCancelar = nullptr;

    void CarregaResultados();
    void btnSalvarClick();
    void btnCancelarClick();
    // Whether a value differs from the one read.
    bool haAlteracoes();

    // Closing with values typed and not saved asks "Salvar alterações ?" first (Esc, the close
    // button and "Cancelar" alike).
    void reject() override;

    // Grid column of the current value of a sample (0-based), and of its previous value.
    static int colunaAtual(int amostra) { return 2 + 2 * amostra; }
    static int colunaAnterior(int amostra) { return 3 + 2 * amostra; }
    const DadosGradeResultados& dados() const { return m_dados; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    // The cells to save, with the values as read.
    std::vector<CelulaResultado> celulas();
    bool m_carregado = false;
    DadosGradeResultados m_dados;
    // The calculated types' rows (read-only, computed as the others are typed).
    std::unique_ptr<CalculoGrade> m_calculo;
};

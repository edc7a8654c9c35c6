#pragma once
// "Controle de Análises e Propostas": for one collection month and optionally one
// representative, a workbook with every analysed equipment, its client, city, proposal and
// analysis dates, whether the client bought products of its equipment types in the month, and
// per representative the number of analyses and of clients. Opened with the desktop when done.
#include "reports/ControleComercial.h"
#include "screens/UnParametroRelatorio.h"
#include <functional>

class DataSet;
class DBLookupCombo;
class QLineEdit;
class WorkbookWriter;

// The analysed equipment of the month, ordered by every selected column in turn (the
// representative's name first), so the rows of one representative come together.
QString SqlAnaliseProposta(const MesColeta& mes, bool comRepresentante);

struct ResultadoControle {
    int linhas = 0; // data rows written
    QString erro;   // what the user is told when a row could not be written, else empty
};

// Writes the heading row, one row per row of `analises` (open, in its order) and the subtotal
// block of each representative into sheet `folha`. `progresso(posição, total)` runs before each
// row. A row that fails (a purchase statement refused, the writer full) ends the rows: the
// message for the user is returned and what was written stays.
ResultadoControle EscrevePlanilhaAnaliseProposta(WorkbookWriter& wb, int folha, DataSet& analises,
                                                 RespostaCompra& compra,
                                                 const std::function<void(int, int)>& progresso = {});

class TfrmParRelAnaliseProposta : public TfrmParametroRelatorio {
    Q_OBJECT
public:
    explicit TfrmParRelAnaliseProposta(QWidget* parent = nullptr);

    QLineEdit* mskMesColeta = nullptr;
    DBLookupCombo* lkRepresentante = nullptr;
    QPushButton* btnGeraPlanilha = nullptr;

    void FormActivate() override;
    void btnGeraPlanilhaClick();
    // The workbook of the last generation.
    const QString& arquivo() const { return m_arquivo; }

private:
    QString m_arquivo;
};

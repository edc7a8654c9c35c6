#pragma once
// "Controle de Análises por Cliente": for one collection month and optionally one
// representative, a workbook with one row per client (that owns equipment) and representative
// of the month's analyses: city and state of the billing address, the number of analysed
// equipment, whether the client bought products of its equipment types in the month, and three
// totals. Opened with the desktop when done.
#include "reports/ControleComercial.h"
#include "reports/UnParRelAnaliseProposta.h"
#include "screens/UnParametroRelatorio.h"
#include <functional>

class DataSet;
class DBLookupCombo;
class QLineEdit;
class WorkbookWriter;

// The clients of the month with their representative (its key and search name) and billing
// city, ordered by client name, client key and representative.
QString SqlControleAnalise(const MesColeta& mes, bool comRepresentante);

// Writes the heading row, one row per row of `clientes` (open, in its order) and the three
// totals into sheet `folha`; `aCadaLinha` runs before each row. A row that fails ends the rows
// and the totals: the message for the user is returned and what was written stays.
ResultadoControle EscrevePlanilhaControleAnalise(WorkbookWriter& wb, int folha, DataSet& clientes,
                                                 ContagemAnalises& contagem, RespostaCompra& compra,
                                                 const std::function<void()>& aCadaLinha = {});

class TfrmParRelControleAnalise : public TfrmParametroRelatorio {
    Q_OBJECT
public:
    explicit TfrmParRelControleAnalise(QWidget* parent = nullptr);
    ~TfrmParRelControleAnalise() override;

    QLineEdit* mskData = nullptr;
    DBLookupCombo* lkRepresentante = nullptr;

    void FormShow() override;
    void btnConfirmarClick();
    const QString& arquivo() const { return m_arquivo; }

private:
    QString m_arquivo;
};

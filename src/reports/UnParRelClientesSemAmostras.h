#pragma once
// The parameters of "Relatório de Clientes sem Amostra": the collection period and, optionally,
// one representative and one equipment type.
#include "screens/UnParametroRelatorio.h"

class DBDateEdit;
class DBLookupCombo;

class TfrmParRelatorioClientesSemAmostras : public TfrmParametroRelatorio {
    Q_OBJECT
public:
    explicit TfrmParRelatorioClientesSemAmostras(QWidget* parent = nullptr);

    DBDateEdit* dtInicial = nullptr;
    DBDateEdit* dtFinal = nullptr;
    DBLookupCombo* rxdbrepresentante = nullptr;
    DBLookupCombo* rxdbtpequipamento = nullptr;

    void FormActivate() override;
    void btnConfirmarClick();
};

#pragma once
// The parameters of "Relatório de Clientes com Amostras": the collection period and,
// optionally, one client, one representative and one equipment type; the report's name is its
// printed title.
#include "screens/UnParametroRelatorio.h"

class DBDateEdit;
class DBLookupCombo;

class TfrmParRelClientesComAmostras : public TfrmParametroRelatorio {
    Q_OBJECT
public:
    explicit TfrmParRelClientesComAmostras(QWidget* parent = nullptr);

    DBDateEdit* dtInicial = nullptr;
    DBDateEdit* dtFinal = nullptr;
    DBLookupCombo* lkCliente = nullptr;
    DBLookupCombo* lkRepresentante = nullptr;
    DBLookupCombo* lkEquipamento = nullptr;

    void FormActivate() override;
    void btnConfirmarClick();
};

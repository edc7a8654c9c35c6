#pragma once
// The parameters of "Relatório de Análises Coletadas": the collection period and, optionally,
// one representative and one client.
#include "screens/UnParametroRelatorio.h"

class DBDateEdit;
class DBLookupCombo;

class TfrmParRelAnaliseColeta : public TfrmParametroRelatorio {
    Q_OBJECT
public:
    explicit TfrmParRelAnaliseColeta(QWidget* parent = nullptr);

    DBDateEdit* dtInicial = nullptr;
    DBDateEdit* dtFinal = nullptr;
    DBLookupCombo* lkRepresentante = nullptr;
    DBLookupCombo* lkCliente = nullptr;

    void FormShow() override;
    void btnConfirmarClick();
};

#pragma once
// The parameters of "Relatório de Equipamentos com Pendências": the collection period and,
// optionally, one representative; the report's name is its printed title.
#include "screens/UnParametroRelatorio.h"

class DBDateEdit;
class DBLookupCombo;

class TfrmParRelEquipamentosComPendencias : public TfrmParametroRelatorio {
    Q_OBJECT
public:
    explicit TfrmParRelEquipamentosComPendencias(QWidget* parent = nullptr);

    DBDateEdit* dtInicial = nullptr;
    DBDateEdit* dtFinal = nullptr;
    DBLookupCombo* lkRepresentante = nullptr;

    void FormShow() override;
    void FormActivate() override;
    void btnConfirmarClick();
};

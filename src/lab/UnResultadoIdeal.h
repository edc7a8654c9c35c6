#pragma once
// Ideal results (TAB_RESULTADO_IDEAL): the ideal value of each analysis type on each equipment
// type, printed as the control parameter of the reports. A pair may be entered twice.
#include "screens/UnCadastroPadrao.h"

class DBEdit;
class DBLookupCombo;

class TfrmResultadoIdeal : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmResultadoIdeal(QWidget* parent = nullptr);
    void FormShow() override;
    void FormActivate() override;

    DBLookupCombo *lkTipoEquipamento = nullptr, *lkTipoAnalise = nullptr;
    DBEdit* DBEdit1 = nullptr;
};

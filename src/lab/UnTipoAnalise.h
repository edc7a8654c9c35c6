#pragma once
// Analysis types (TAB_TP_ANALISE).
#include "screens/UnCadastroPadrao.h"

class DBEdit;

class TfrmTipoAnalise : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmTipoAnalise(QWidget* parent = nullptr);
    void FormShow() override;
    DBEdit* edtNome = nullptr;
};

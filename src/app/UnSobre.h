#pragma once
// About window: product name, version, last update and the maker's contact links.
#include "screens/UnFormPadrao.h"

class QLabel;

class TfrmSobre : public TfrmFormPadrao {
    Q_OBJECT
public:
    explicit TfrmSobre(QWidget* parent = nullptr);
    void FormShow() override;
    QLabel* lbVersao = nullptr;
    void Label15Click();
    void Label25Click();
    void Label16Click();
};

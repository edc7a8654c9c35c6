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

// The maker's addresses shown in the about window.
inline constexpr const char* kSiteNexmoro = "http://www.nexmoro.com.br";
inline constexpr const char* kEmailSuporte = "suporte@nexmoro.com.br";
inline constexpr const char* kEmailInformacoes = "contato@nexmoro.com.br";

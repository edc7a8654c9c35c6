#pragma once
// The program's main window: caption, menu, one screen per name, the about window, logoff.
#include "screens/UnPrincipal.h"
#include <functional>

class TfrmMenuPrincipal : public TfrmClassePrincipal {
    Q_OBJECT
public:
    explicit TfrmMenuPrincipal(QWidget* parent = nullptr);

    int it_iidLogLogin = 0;
    QMenu *mnuCadastros = nullptr, *mnuRelatorios = nullptr, *mnuUtilitarios = nullptr;

    void FormShow() override;
    // Brings an open screen of that name (letter case ignored) to the front.
    bool VerificaFormAtivo(const QString& nomeTela);
    // Opens a screen once per name; `cria` makes it when none is open.
    ScreenWindow* abreTelaUnica(const QString& nomeTela, const std::function<ScreenWindow*()>& cria);
    void PainelControle() {}

    void TipodeAnlise1Click();
    void SobreonexmoroOstrevagem1Click();

protected:
    void aoFechar() override;

private:
    void montaPainel();
    QAction* item(QMenu* menu, const char* name, const QString& caption, void (TfrmMenuPrincipal::*fn)());
};

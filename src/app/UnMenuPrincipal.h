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

    // Opens (or brings forward) the registered screen of that name; returns it when it was
    // created now.
    ScreenWindow* abreTelaRegistrada(const QString& nome);
    // The menu of a registered screen's menu name ("Tabelas", "Relatórios"...).
    QMenu* menuDe(const QString& menu) const;

protected:
    void aoFechar() override;

private:
    void montaMenus();
    void montaPainel();
};

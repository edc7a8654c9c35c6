#pragma once
// Base of the screens that set the parameters of a printed listing: report name, print and
// close buttons, access check, button rights and saved position.
#include "screens/ScreenWindow.h"
#include <QLineEdit>
#include <QPushButton>

class TfrmParametroRelatorio : public ScreenWindow {
    Q_OBJECT
public:
    explicit TfrmParametroRelatorio(const QString& name, QWidget* parent = nullptr);

    QWidget* corpo = nullptr; // the derived screen's parameter fields go here
    QLineEdit* mskNomeRelatorio = nullptr;
    QPushButton* btnConfirmar = nullptr;
    QPushButton* btnFechar = nullptr;

    void FormShow() override;
    void FormActivate() override;
    bool FormClose() override;
    void btnFecharClick();
    void GravaCFG(int = 0) override;
    void LeCFG(int = 0) override;
};

#pragma once
// Base of the child windows without a table of their own (the analysis search, the about
// window): access check, button rights, saved position and the keyboard; the record toolbar
// is hidden while one is active.
#include "screens/ScreenWindow.h"

class TfrmFormPadrao : public ScreenWindow {
    Q_OBJECT
public:
    explicit TfrmFormPadrao(const QString& name, QWidget* parent = nullptr);
    void FormShow() override;
    void FormActivate() override;
    bool FormClose() override;
};

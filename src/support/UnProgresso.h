#pragma once
// The second progress window: created, updated and closed by its caller (the spreadsheet
// writer of the analyses-and-proposals control). Only its closing behaviour is its own:
// closing frees it and clears the process-wide reference.
#include "support/UnProgressoGeral.h"

class TfrmProgresso : public ProgressWindow {
    Q_OBJECT
public:
    // The new window becomes the one frmProgresso() answers.
    explicit TfrmProgresso(QWidget* parent = nullptr);
    ~TfrmProgresso() override;

protected:
    void closeEvent(QCloseEvent* e) override;
};

// The process-wide reference: the open progress window, or nullptr.
TfrmProgresso* frmProgresso();

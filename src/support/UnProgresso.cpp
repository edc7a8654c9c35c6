#include "support/UnProgresso.h"
#include <QCloseEvent>
#include <QPointer>

namespace {
QPointer<TfrmProgresso>& atual() {
    static QPointer<TfrmProgresso> p;
    return p;
}
} // namespace

TfrmProgresso::TfrmProgresso(QWidget* parent) : ProgressWindow("frmProgresso", parent) {
    atual() = this;
}

TfrmProgresso::~TfrmProgresso() {
    if (atual() == this) atual() = nullptr;
}

void TfrmProgresso::closeEvent(QCloseEvent* e) {
    if (atual() == this) atual() = nullptr;
    e->accept();
}

TfrmProgresso* frmProgresso() {
    return atual().data();
}

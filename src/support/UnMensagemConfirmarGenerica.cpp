#include "support/UnMensagemConfirmarGenerica.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

namespace {
QPointer<TfrmMensagemConfirmarGenerica>& atual() {
    static QPointer<TfrmMensagemConfirmarGenerica> p;
    return p;
}
} // namespace

TfrmMensagemConfirmarGenerica::TfrmMensagemConfirmarGenerica(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("frmMensagemConfirmarGenerica");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kSystemCaption);

    lblMensagem = new QLabel("Mensagem Genérica", this);
    lblMensagem->setObjectName("lblMensagem");
    lblMensagem->setWordWrap(true);
    lblMensagem->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    pnlBotoes = new QFrame(this);
    pnlBotoes->setObjectName("pnlBotoes");
    ckbConfirma = new QCheckBox("Confirmo", pnlBotoes);
    ckbConfirma->setObjectName("ckbConfirma");
    btnOK = new QPushButton("OK", pnlBotoes);
    btnOK->setObjectName("btnOK");
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* band = new QHBoxLayout(pnlBotoes);
    band->addWidget(ckbConfirma);
    band->addStretch();
    band->addWidget(btnOK);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(lblMensagem, 1);
    layout->addWidget(pnlBotoes);
    atual() = this;
}

TfrmMensagemConfirmarGenerica::~TfrmMensagemConfirmarGenerica() {
    if (atual() == this) atual() = nullptr;
}

void TfrmMensagemConfirmarGenerica::closeEvent(QCloseEvent* e) {
    if (atual() == this) atual() = nullptr;
    e->accept();
}

TfrmMensagemConfirmarGenerica* frmMensagemConfirmarGenerica() {
    return atual().data();
}

void MostraAviso(const QString& mensagem, bool autoFecha) {
    auto* w = new TfrmMensagemConfirmarGenerica();
    w->show();
    w->pnlBotoes->hide();
    w->ckbConfirma->hide();
    w->btnOK->hide();
    w->setFixedSize(540, 80);
    w->repaint();
    w->lblMensagem->setText(mensagem);
    w->lblMensagem->repaint();
    QCoreApplication::processEvents();
    if (!autoFecha) return;
    // The window may be closed during the pause (the system clock keeps events running).
    const QPointer<TfrmMensagemConfirmarGenerica> guard(w);
    // The program does nothing else meanwhile: the notice is read before the hand-over.
    appClock().sleepMs(5000);
    if (guard) guard->close();
}

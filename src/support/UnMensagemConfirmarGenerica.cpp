#include "support/UnMensagemConfirmarGenerica.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include <QApplication>
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
    if (autoFecha) {
        // The notice stands in front of every window and nothing else takes a click or a key
        // until it closes (the login window could otherwise be used during the pause).
        w->setWindowModality(Qt::ApplicationModal);
        w->setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    w->show();
    w->raise();
    w->activateWindow();
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
    // The other windows stay painted but take no input meanwhile.
    QList<QPointer<QWidget>> bloqueadas;
    for (QWidget* t : QApplication::topLevelWidgets()) {
        if (t == w || !t->isVisible() || !t->isEnabled()) continue;
        t->setEnabled(false);
        bloqueadas.append(t);
    }
    // The program does nothing else meanwhile: the notice is read before the hand-over.
    appClock().sleepMs(5000);
    for (const QPointer<QWidget>& t : bloqueadas)
        if (t) t->setEnabled(true);
    if (guard) guard->close();
}

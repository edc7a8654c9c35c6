#include "support/UnProgressoGeral.h"
#include "platform/Dialogs.h"
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <memory>

// ---------------------------------------------------------------- Gauge

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(18);
}

void Gauge::setMinValue(int v) {
    m_min = v;
    setProgress(m_progress);
    update();
}

void Gauge::setMaxValue(int v) {
    m_max = v;
    setProgress(m_progress);
    update();
}

void Gauge::setProgress(int v) {
    m_progress = m_max >= m_min ? std::clamp(v, m_min, m_max) : m_min;
    update();
}

int Gauge::percentDone() const {
    if (m_max <= m_min) return 0;
    return static_cast<int>((static_cast<qint64>(m_progress - m_min) * 100) / (m_max - m_min));
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.fillRect(r, palette().base());
    const int filled = r.width() * percentDone() / 100;
    if (filled > 0) p.fillRect(QRect(r.left(), r.top(), filled, r.height()), palette().highlight());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(r);
    p.drawText(r, Qt::AlignCenter, QString::number(percentDone()) + "%");
}

// ---------------------------------------------------------------- ProgressWindow

ProgressWindow::ProgressWindow(const QString& objectName, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(objectName);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(330, 96);

    lblTitulo = new QLabel(this);
    lblTitulo->setObjectName("lblTitulo");
    lblTitulo->setAlignment(Qt::AlignCenter);
    ggProgresso = new Gauge(this);
    ggProgresso->setObjectName("ggProgresso");
    lblRodape = new QLabel(this);
    lblRodape->setObjectName("lblRodape");
    lblRodape->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(lblTitulo);
    layout->addWidget(ggProgresso);
    layout->addWidget(lblRodape);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

// ---------------------------------------------------------------- TfrmProgressoGeral

namespace {
QPointer<TfrmProgressoGeral>& geral() {
    static QPointer<TfrmProgressoGeral> p;
    return p;
}
} // namespace

TfrmProgressoGeral::TfrmProgressoGeral(QWidget* parent) : ProgressWindow("frmProgressoGeral", parent) {
    geral() = this;
}

TfrmProgressoGeral::~TfrmProgressoGeral() {
    if (geral() == this) geral() = nullptr;
}

void TfrmProgressoGeral::closeEvent(QCloseEvent* e) {
    if (geral() == this) geral() = nullptr;
    e->accept();
}

TfrmProgressoGeral* frmProgressoGeral() {
    return geral().data();
}

namespace {
// The caller's loop does not return to the event loop: without this a window just shown is
// never exposed (a repaint then draws nothing) and a window uncovered meanwhile stays blank.
// Window messages are let through, never the user's clicks and keys, at most every 50 ms.
void mantemPintada(QWidget* w, bool mostrada = false) {
    static QElapsedTimer ultima;
    if (!mostrada && ultima.isValid() && ultima.elapsed() < 50) return;
    QElapsedTimer espera;
    espera.start();
    do {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } while (mostrada && w && w->windowHandle() && !w->windowHandle()->isExposed() && espera.elapsed() < 500);
    ultima.start();
}
} // namespace

namespace {
// The window and control that had the keyboard when the progress window appeared: it goes
// back to them when it closes, also where no window manager picks the next active window.
std::unique_ptr<KeyboardKeeper>& tecladoAntes() {
    static std::unique_ptr<KeyboardKeeper> k;
    return k;
}
} // namespace

void MostraProgresso() {
    TfrmProgressoGeral* w = geral();
    if (!w) {
        tecladoAntes() = std::make_unique<KeyboardKeeper>();
        w = new TfrmProgressoGeral();
    }
    w->show();
    w->raise();
    const QPointer<TfrmProgressoGeral> guarda(w);
    mantemPintada(w, true);
    if (guarda) guarda->repaint();
}

void ConfiguraProgresso(const QString& caption, const QString& titulo, const QString& rodape, int minimo,
                        int maximo) {
    TfrmProgressoGeral* w = geral();
    if (!w) return;
    w->setWindowTitle(caption);
    w->lblTitulo->setText(titulo);
    w->lblTitulo->repaint();
    w->lblRodape->setText(rodape);
    w->lblRodape->repaint();
    Gauge* g = w->ggProgresso;
    g->setProgress(0);
    g->setMinValue(0);
    g->setMaxValue(0);
    g->repaint();
    // Maximum first, so that a minimum above the old maximum is never refused.
    g->setMaxValue(maximo);
    g->setMinValue(minimo);
    g->repaint();
    mantemPintada(w);
}

void AvancaProgresso() {
    TfrmProgressoGeral* w = geral();
    if (!w) return;
    w->ggProgresso->addProgress(1);
    w->ggProgresso->repaint();
    mantemPintada(w);
}

void FechaProgresso() {
    TfrmProgressoGeral* w = geral();
    if (!w) return;
    w->close();
    if (auto& k = tecladoAntes()) {
        k->giveBack();
        k.reset();
    }
}

#pragma once
// Progress windows shown without modality while a caller's loop does slow work. The caller's
// loop does not return to the event loop, so every change is repainted at once.
#include <QLabel>
#include <QWidget>

// A horizontal bar filled in proportion to the progress between a minimum and a maximum,
// with the percentage written in its middle. With a maximum not above the minimum the bar
// stays empty.
class Gauge : public QWidget {
    Q_OBJECT
public:
    explicit Gauge(QWidget* parent = nullptr);

    int minValue() const { return m_min; }
    int maxValue() const { return m_max; }
    int progress() const { return m_progress; }
    void setMinValue(int v);
    void setMaxValue(int v);
    // Kept within minimum..maximum.
    void setProgress(int v);
    void addProgress(int delta) { setProgress(m_progress + delta); }
    // 0..100.
    int percentDone() const;

    QSize sizeHint() const override { return {300, 20}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_min = 0, m_max = 100, m_progress = 0;
};

// The layout both progress windows share: fixed border with only the system menu, centred on
// the screen, client area 330 x 96, title label, gauge and footer label. Closing frees the
// window.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(const QString& objectName, QWidget* parent = nullptr);

    QLabel* lblTitulo;
    QLabel* lblRodape;
    Gauge* ggProgresso;
};

// The general progress window, driven through the four functions below.
class TfrmProgressoGeral : public ProgressWindow {
    Q_OBJECT
public:
    explicit TfrmProgressoGeral(QWidget* parent = nullptr);
    ~TfrmProgressoGeral() override;

protected:
    void closeEvent(QCloseEvent* e) override;
};

// The process-wide reference: the open general progress window, or nullptr.
TfrmProgressoGeral* frmProgressoGeral();

// Creates the general progress window (or reuses the open one), shows it and brings it to the
// front.
void MostraProgresso();
// Caption, title and footer; the gauge is emptied and then given the range min..max.
void ConfiguraProgresso(const QString& caption, const QString& titulo, const QString& rodape, int minimo,
                        int maximo);
// One step forward.
void AvancaProgresso();
// Closes (and frees) the window; without an open window nothing happens.
void FechaProgresso();

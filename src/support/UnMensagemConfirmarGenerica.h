#pragma once
// The generic message window: a word-wrapped message over a bottom band with a confirmation
// check box and an OK button. The program uses it only as a timed notice (MostraAviso),
// with the band hidden.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

class TfrmMensagemConfirmarGenerica : public QWidget {
    Q_OBJECT
public:
    // The new window becomes the one frmMensagemConfirmarGenerica() answers.
    explicit TfrmMensagemConfirmarGenerica(QWidget* parent = nullptr);
    ~TfrmMensagemConfirmarGenerica() override;

    QLabel* lblMensagem;
    QFrame* pnlBotoes;      // the bottom band
    QCheckBox* ckbConfirma; // the confirmation check box
    QPushButton* btnOK;

protected:
    void closeEvent(QCloseEvent* e) override;
};

// The process-wide reference: the open message window, or nullptr.
TfrmMensagemConfirmarGenerica* frmMensagemConfirmarGenerica();

// Shows the message at once in a 540 x 80 window without the bottom band. With autoFecha
// the program waits 5000 ms (through appClock()) and closes the window; otherwise the
// window stays open until closed.
void MostraAviso(const QString& mensagem, bool autoFecha);

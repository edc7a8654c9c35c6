#pragma once
// The laboratory's settings: the standing text the technical report prints below the result
// grid of every block, kept as rich text in TX_LAUDO_TECNICO of the parameter row, and (in a
// window of its own) the mail account that sends the reports to the clients. The screen is
// used without the main toolbar and saves through its own "Fechar"; only the text is written
// (the parameter row's other columns belong to the other applications of the database).
#include "screens/UnCadastroPadrao.h"
#include <QFont>
#include <QMetaObject>

class DBRichEdit;
class QCheckBox;
class QPushButton;
class QToolButton;

class TfrmConfiguracoesGerais : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmConfiguracoesGerais(QWidget* parent = nullptr);
    ~TfrmConfiguracoesGerais() override;

    DBRichEdit* DBRichEdit1 = nullptr; // TX_LAUDO_TECNICO
    QToolButton *btnTipoFonte = nullptr, *btnNumerar = nullptr, *btnIdentar = nullptr;
    QPushButton* BitBtn1 = nullptr;       // "&Fechar"
    QPushButton* btnEmailLaudo = nullptr; // the report mail account
    // The technical report's options, kept in the program's own settings and stored as soon as
    // they are ticked or cleared: marks on the values outside their range, and a page of trend
    // charts per sample. Both off until the laboratory turns them on.
    QCheckBox *chkMarcaForaFaixa = nullptr, *chkGraficosTendencia = nullptr;
    // The font dialog's font: Tahoma 8 at first, then the last one chosen.
    QFont fonteDialogo;

    void FormShow() override;
    void FormActivate() override;
    bool FormClose() override;

    void btnTipoFonteClick();
    void btnNumerarClick();
    void btnIdentarClick();
    void BitBtn1Click();
    void btnEmailLaudoClick();
    void chkMarcaForaFaixaClick();
    void chkGraficosTendenciaClick();

private:
    QMetaObject::Connection m_ativacao;
};

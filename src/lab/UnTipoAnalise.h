#pragma once
// Analysis types (TAB_TP_ANALISE), with the code that names a type in formulas and the
// formula of a calculated type (SIS_CTV_FORMULA) on a page of their own.
#include "data/Formula.h"
#include "screens/UnCadastroPadrao.h"

class DBDateEdit;
class DBEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TfrmTipoAnalise : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmTipoAnalise(QWidget* parent = nullptr);
    void FormShow() override;
    void FormActivate() override;
    DBEdit* edtNome = nullptr;

    // The formula page.
    QTabWidget* pcTipo = nullptr;
    QLineEdit* edtCodigo = nullptr;
    QPlainTextEdit* edtFormula = nullptr;
    QLabel* lblVerificacao = nullptr; // the checker's message, as typed
    QLineEdit* edtTeste = nullptr;    // trial values: "PH=8; ALC=100"
    QLabel* lblTeste = nullptr;       // the trial's result
    QPushButton* btnSalvarFormula = nullptr;
    DBDateEdit* dtInicio = nullptr;
    DBDateEdit* dtFim = nullptr;
    QPushButton* btnRecalcular = nullptr;

    // Shows the current record's code and formula, from the codes and formulas read when the
    // screen was shown or activated and after each save of a formula (a move reads nothing).
    void CarregaFormula();
    void btnSalvarFormulaClick();
    void btnRecalcularClick();
    // Whether the code or formula shown differ from the stored ones.
    bool formulaAlterada() const;

private:
    void LeCatalogo();
    int idAtual() const;
    void verifica();
    void corDaVerificacao(const QString& estilo);
    void testa();
    void aoMudarRegistro();

    formula::Catalogo m_catalogo;
    int m_idCarregado = -1;
    QString m_codigoGravado, m_formulaGravada;
    bool m_carregando = false;
    // Shown, and not yet activated: the catalogue and the formula were just read.
    bool m_recemAberta = false;
    QString m_formulaAceita; // the formula text last accepted as typed
};

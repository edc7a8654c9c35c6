#pragma once
// The filter builder: up to three conditions on fields of the active list, each with a value
// editor that suits the field's type; applying rewrites the condition part of the list's
// statement (after its base condition) and reopens the list with its base ordering.
#include "data/DataSource.h"
#include "data/Query.h"
#include <QDate>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

class CampoCombo;
class DBDateEdit;
class DBLookupCombo;
class QCheckBox;
class QLabel;
class QPushButton;
class TfrmClassePrincipal;

// ---- statement pieces (text and keys are quoted with every single quote doubled) ----

// 'texto' with each ' doubled.
QString TextoSQL(const QString& texto);
// A number in general format (up to 15 significant digits, no grouping), decimal dot.
QString NumeroPesquisaSQL(double valor);
// "mm/dd/yyyy"; an empty date is the zero date "12/30/1899".
QString DataPesquisaSQL(const QDate& data);
QString CondicaoTexto(const QString& campo, const QString& texto);
QString CondicaoMemo(const QString& campo, const QString& texto);
QString CondicaoNumero(const QString& campo, double de, double ate);
// An empty `de` or `ate` is an invalid date.
QString CondicaoData(const QString& campo, const QDate& de, const QDate& ate);
// On the list's own key column; a null key asks for rows without one.
QString CondicaoLookup(const QString& colunaChave, const QVariant& chave);
// The list's statement after an apply: `condicoes` are the rows' conditions in row order (each
// ending in "and "), `semCampos` says all three field boxes were empty.
QString MontaSQLPesquisa(const QString& sql, const QString& mywhere, const QString& myorderby, bool semCampos,
                         const QStringList& condicoes);
// The list's statement for "Mostrar Todos": every row within the base condition.
QString MostrarTodosSQL(const QString& sql, const QString& mywhere, const QString& myorderby);

// A number box of the filter: pt_BR text ("1.234,5"), shown with a fixed number of decimals
// when the focus leaves it; empty reads as 0.
class NumeroEdit : public QLineEdit {
    Q_OBJECT
public:
    NumeroEdit(QWidget* parent, const QString& name, int decimais);
    // The value; throws after a message when the text is not a number.
    double valor() const;
    void setValor(double v);
    int decimais() const { return m_decimais; }

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    int m_decimais;
};

class TfrmPesquisa : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPesquisa(TfrmClassePrincipal* principal, QWidget* parent = nullptr);
    ~TfrmPesquisa() override;

    // Opens the window modally on the main window's active list.
    static void executa(TfrmClassePrincipal* principal);

    enum class Editor { Nenhum, Texto, Memo, TextoSemColuna, Numero, Data, Lookup, Marcador };

    CampoCombo *cb1, *cb2, *cb3;
    QPushButton *bttPesquisar, *bttAplicar, *bttMostrarTodos, *BitBtn1;
    // Value editors per row (index 0 is row 1); only those of the row's kind exist.
    std::array<QPointer<QLineEdit>, 3> Me;
    std::array<QPointer<NumeroEdit>, 3> ce, ceb;
    std::array<QPointer<QLabel>, 3> lb;
    std::array<QPointer<DBDateEdit>, 3> de, deb;
    std::array<QPointer<DBLookupCombo>, 3> lc;
    std::array<std::unique_ptr<Query>, 3> ib;
    std::array<std::unique_ptr<DataSource>, 3> ds;
    std::array<QPointer<QCheckBox>, 3> ch;
    Field* LookupAtual = nullptr;

    CampoCombo* caixa(int linha) const;
    Editor editorDaLinha(int linha) const { return m_editor[static_cast<size_t>(linha)]; }

    void FormShow();
    void MontaCombos();
    // The row rule when the text of row `linha`'s field box changes (rows from 0).
    void cbChange(int linha);
    // Row `linha` chose the field its box shows: another row holding it is emptied.
    void escolheCampo(int linha);
    void VerificaTipoCampo(int linha);
    void MontaConteudoPesquisa(int linha, Editor tipo, Field* campo);
    void ExcluiCamposSobrepostos(int linha);
    void VerificaCamposBrancos();
    void bttAplicarClick();
    void bttPesquisarClick();
    void bttMostrarTodosClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    DataSet* dataSet() const;
    Query* lista() const;
    QString condicaoDaLinha(int linha, const DataSet& d) const;
    void ordenaTab();
    TfrmClassePrincipal* m_principal;
    std::array<Editor, 3> m_editor{Editor::Nenhum, Editor::Nenhum, Editor::Nenhum};
    std::array<QPointer<QLineEdit>, 3> m_semNome;
    std::array<QString, 3> m_rotulo; // label of the field each row's editor was built for
    int m_regra = 0;                 // nesting of the row rule (clearing another box runs it again)
    bool m_mostrada = false;
};

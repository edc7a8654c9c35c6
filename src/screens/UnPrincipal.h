#pragma once
// The main frame: multi-document area, record toolbar acting on the active list, status bar,
// the main connection with its transactions, key allocation and the permission checks.
#include "data/DataSource.h"
#include "data/Query.h"
#include "screens/RecordToolbar.h"
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QToolButton>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QTabWidget;
class QToolBar;
class QMenu;
class ScreenWindow;

// What the main connection tells the database about its session, for the audit trail: the
// program's user id and login, the workstation (operating-system user, host and address) and
// the program's name.
std::vector<std::pair<QString, QString>> contextoSessao(int idUsuario, const QString& login);

class TfrmClassePrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmClassePrincipal(QWidget* parent = nullptr);
    ~TfrmClassePrincipal() override;

    // Connection and transactions.
    Database IBSolution;
    Transaction IBTransaction;
    Transaction IBT_Gen;
    Query IBQ_Gen, IBQ_ID;

    // Public fields.
    QString jpggerado, sMascaraValor, sMascaraQuantidade, sMascaraQuantidadeServ, sUsarEnter;
    // The list the record toolbar acts on, with its design condition and ordering (set by the
    // toolbar when a record screen is activated; the list tools read them).
    DataSource* dsAtual = nullptr;
    QString ProcGen, mywhere, myorderby;
    int grupousuario = 0, codusuario = 0;
    QString loginusuario;
    int erroconexao = 0;
    QString ProcuraRegistro;
    QString sFichaTabela = "F";

    // Frame parts.
    QMdiArea* mdi = nullptr;
    QWidget* gbpainelcontrole = nullptr;
    QToolBar* tb1 = nullptr;
    QLabel* sbPanel[3] = {nullptr, nullptr, nullptr};
    QMenu *mnuArquivo = nullptr, *mnuTabelas = nullptr, *mnuAjuda = nullptr;
    QToolButton *bttIncluir, *bttSalvar, *bttAtualiza, *bttExcluir, *bttCancelar, *bttMostrarTodos,
        *bttPesquisa, *bttOrdena, *bttFicha, *bttExcel, *bttPrimeiro, *bttAnterior, *bttSeguinte, *bttUltimo,
        *bttFechar, *ToolbarButton974, *ToolbarButton973, *ToolbarButton971;
    // The fifteen record buttons, Incluir through Fechar.
    QList<QToolButton*> botoesRegistro() const;
    void mostraBotoesRegistro(bool visible);
    void mostraBotao(QToolButton* b, bool visible);
    // Lays the toolbar out at once after its buttons were shown or hidden.
    void assentaBarra();
    void setBotaoHabilitado(QToolButton* b, bool enabled);
    void setStatus(int panel, const QString& text);
    QString status(int panel) const;

    // Showing sequence and the main connection.
    virtual void FormShow();
    void ConectaBanco();
    // Requests the end of the program (tests replace it).
    std::function<void()> requestEnd;
    // The list tools of the search layer (filter builder, sort builder, spreadsheet export),
    // installed by the application; each opens its window on the active list.
    struct FerramentasLista {
        std::function<void()> pesquisar, ordenar, exportar;
    } ferramentasLista;

    // The record toolbar's behaviour.
    RecordToolbar& barraRegistro() { return *m_barra; }

    // Toolbar actions.
    void bttIncluirClick();
    void bttSalvarClick();
    void bttAtualizaClick();
    void bttExcluirClick();
    void bttCancelarClick();
    void bttMostrarTodosClick();
    void bttPesquisaClick();
    void bttOrdenaClick();
    void bttFichaClick();
    void bttExcelClick();
    void bttPrimeiroClick();
    void bttAnteriorClick();
    void bttSeguinteClick();
    void bttUltimoClick();
    void bttFecharClick();
    void Sair1Click();
    // The end the desktop asks for (logout, shutdown): every window closes without a question,
    // pending changes are discarded, the logoff is written and the connection closed.
    void encerraSemPerguntas();
    bool encerrandoSemPerguntas() const { return m_semPerguntas; }
    // Every open record screen's change is discarded.
    void cancelaEdicoes();

    // The view button's caption and hint name the view it switches to, after sFichaTabela.
    void atualizaBotaoFicha();
    void TotalRegistros();
    void SalvaNavegacao();
    // A pending edit of ds before it is left: asks "Salvar alterações ?" (or saves without
    // asking, by the parameter row); "Sim" saves, "Não" discards, "Cancelar" ends the action.
    void resolvePendente(DataSet& ds);
    // The save of one record: key for a new record, post, write and commit, all or nothing.
    void salvaDataSet(DataSet& ds);
    // A change whose row another workstation changed or deleted since it was read: the user sees
    // the current values and may write the change over them.
    void resolveConflito(Query& q);
    // ST_CONFIRMA_SAIR of the parameter row: ask "Salvar alterações ?" before leaving a change.
    bool confirmaSair() const;
    void Navegacao();
    qint64 AdicionaID(const QString& Tabela, const QString& Campo);
    qint64 AdicionaIDNegativo(const QString& Tabela, const QString& Campo);

    // Permissions.
    bool VerificaPermissoes(const QString& NomeForm, const QString& CaptionForm);
    bool VerificaUsuario(const QString& NomeForm);
    void IncluiObjetos();

    // Screens in the frame.
    QMdiSubWindow* abreTela(ScreenWindow* tela);
    ScreenWindow* telaAtiva() const;
    QList<ScreenWindow*> telasAbertas() const;
    void teclaTela(ScreenWindow* tela, int key, Qt::KeyboardModifiers mods);
    // Whether another visible screen of the given kinds is open besides `exceto`.
    bool outraTelaAberta(ScreenWindow* exceto, bool incluiPadrao) const;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // Closing sequence of the derived main window (logoff, survey).
    virtual void aoFechar() {}
    void keyPressEvent(QKeyEvent* e) override;

private:
    QToolButton* botao(const char* name, const QString& caption, const QString& hint, int icon);
    void subWindowActivated(QMdiSubWindow* w);
    std::unique_ptr<RecordToolbar> m_barra;
    bool m_shown = false;
    bool m_semPerguntas = false;
    QList<QAction*> m_separadores;
};

TfrmClassePrincipal* frmPrincipal();
QIcon iconePrograma();

#pragma once
// The record toolbar's behaviour: the fifteen record buttons and the screens' keys (F2..F12,
// Esc, Alt+arrows) acting on the list of the record screen that was last activated, the save
// of one record with its questions, the record count in the status bar, and the buttons'
// enabled state, which follows the screen's list state and rights as the screen reports them
// through ActiveScreen. The buttons themselves belong to the main window's frame.
#include "data/ContagemParalela.h"
#include "screens/ActiveScreen.h"
#include <QObject>
#include <QString>
#include <QTimer>

class DataSet;
class Database;
class Transaction;
class DataSource;
class Query;
class ScreenWindow;
class TfrmClassePrincipal;

// "Registros Encontrados" count: at least six digits, grouped (001.234).
QString formataContagem(qlonglong total);

class RecordToolbar : public QObject {
    Q_OBJECT
public:
    explicit RecordToolbar(TfrmClassePrincipal& principal);

    // The screen's list becomes the one the buttons act on: its condition and ordering go to
    // the list tools, the record buttons show and follow its state.
    void activate(ActiveScreen* tela);
    // The screen closes or goes away: its list is no longer acted on.
    void release(ActiveScreen* tela);
    // The record screen whose list the buttons act on, if one is open.
    ActiveScreen* listOwner() const;
    // A screen shows for the first time: the view button names the grid again; once its list
    // opened, the button works.
    void viewReset();
    void enableViewSwitch();
    // A screen page without the record form (the products of an equipment type): every record
    // button but the view switch and Excel, with their separators, shows only with the form.
    void showEditButtons(bool visible);
    // A standard screen is active: the record buttons hide, Excel keeps its visibility and state.
    void hideForStandardScreen();

    // The buttons' actions.
    void insert();
    void save();
    void refresh();
    void remove();
    void cancel();
    void showAll();
    void filter();
    void sort();
    void switchView();
    void exportList();
    void first();
    void prior();
    void next();
    void last();
    void closeScreen();
    // A key of the active screen: the button it stands for, where that button is enabled.
    void pressKey(ScreenWindow* tela, int key, Qt::KeyboardModifiers mods);

    // The view button's caption and hint name the view it switches to, after sFichaTabela.
    void atualizaBotaoFicha();
    // The status bar's record count of the active list. It is counted beside the list, on a
    // connection of its own, and shown when the server answers; a list whose transaction holds
    // work not yet committed is counted on its own connection at once, so the count includes it.
    void TotalRegistros();
    // Whether a count asked for has not been shown yet.
    bool contagemPendente() const { return m_contagem.pendente(); }
    void SalvaNavegacao();
    void resolvePendente(DataSet& ds);
    void salvaDataSet(DataSet& ds);
    void resolveConflito(Query& q);
    bool confirmaSair() const;
    void Navegacao();

private:
    DataSet* dataSetAtual() const;
    // The status bar's record count.
    void mostraContagem(qlonglong total);
    // The count on the list's own connection and transaction.
    void contaAqui(Database* db, Transaction* tr, const QString& contagem,
                   const ContagemParalela::Parametros& params);
    void screenChanged(ActiveScreen& tela, ActiveScreen::Change c);
    TfrmClassePrincipal& m_p;
    // The count asked for is no longer wanted.
    void descartaContagem();
    ContagemParalela m_contagem;
    // A count that takes long shows that it is on its way instead of the count of the list
    // before; the text before comes back should the count fail.
    QTimer m_aguardaContagem;
    QString m_textoAntesDaContagem;
    // The last count sent to the worker, counted here when the worker's connection fails.
    QString m_contagemSql;
    ContagemParalela::Parametros m_contagemParams;
};

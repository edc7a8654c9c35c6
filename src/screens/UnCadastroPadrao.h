#pragma once
// Base of every registration screen: one table edited through one dataset, the record form
// ("Ficha", page 0) and the grid ("Tabela", page 1), kept in step with the main toolbar.
#include "data/DataSource.h"
#include "data/Query.h"
#include "screens/ActiveScreen.h"
#include "screens/ScreenWindow.h"
#include <QTabWidget>
#include <array>
#include <functional>

class DBGrid;
class TdmPadrao;

// The opening SQL of a list screen: cuts the where and order-by parts out of the design SQL
// and adds the opening condition and the wanted record.
struct PreparacaoSQL {
    QString sql, mywhere, myorderby, procuraTela, procuraPrincipal;
};
PreparacaoSQL PreparaSQL(const QString& S, int passagem, const QString& mywhere, const QString& myorderby,
                         const QString& MostrarTodos, const QString& procuraTela,
                         const QString& procuraPrincipal);

class TfrmCadastroPadrao : public ScreenWindow, public ActiveScreen {
    Q_OBJECT
public:
    // `lista` is the dataset the screen edits (dsPadrao is bound to it when the screen shows).
    TfrmCadastroPadrao(const QString& name, DataSet* lista, QWidget* parent = nullptr);
    ~TfrmCadastroPadrao() override;

    DataSource dsPadrao{"dsPadrao", this};
    QTabWidget* pc = nullptr;
    QWidget* pagFicha = nullptr;  // page 0, the record form
    QWidget* pagTabela = nullptr; // page 1, the grid
    DBGrid* DBGrid1 = nullptr;

    // Other data sources of the screen, in creation order (their SQL is put back on close):
    // those the screen owns (created with the screen as owner) and those its controls use.
    std::vector<DataSource*> fontes() const;

    void FormShow() override;
    void FormActivate() override;
    bool FormClose() override;
    void FormKeyUp(int key, Qt::KeyboardModifiers mods) override;
    void dsPadraoStateChange();

    void GravaCFG(int Pagina) override;
    void LeCFG(int Pagina) override;
    void AlteraMascaraCampos();
    void PcPermissaoAcesso();
    bool EstadoBotao(const QString& sGrupoUsuario, const QString& sNomeForm, const QString& sNomeComponente);

    Query* query() const;
    // Shows another list of the screen's records: a change being made is saved or discarded
    // first (the usual question, never lost), then the query reopens on the statement, its
    // parameters set by `parametros`, and the status bar counts it. False without a main window
    // or a query.
    bool reabreLista(const QString& sql, const std::function<void(Query&)>& parametros = {});
    // The grid page, with DBGrid1 bound to dsPadrao and the given columns (field, title, width).
    void montaGrade(const QList<std::tuple<QString, QString, int>>& colunas);
    void DBGrid1DblClick();

    // The design condition the list opens with, before the screen first shows (another screen
    // that opens this one on some records sets it).
    void defineCondicaoBase(const QString& where) { mywhere = where; }
    // Whether the whole list is opened (show-all was used, or the screen always opens whole).
    bool mostraTodos() const { return MostrarTodos == "S"; }

    // What the record toolbar reads and asks.
    DataSource* listSource() override { return &dsPadrao; }
    QString baseCondition() const override { return mywhere; }
    QString baseOrdering() const override { return myorderby; }
    RecordRights rights() const override { return {incluir, alterar, excluir, bGerarExcel}; }
    void showAllDone() override { MostrarTodos = "S"; }
    bool showsGrid() const override;
    void switchView(bool grid) override;
    void focusForInsert() override;

protected:
    // The group's record rights, read at each activation (a screen may narrow them after).
    bool incluir = true, alterar = true, excluir = true, bGerarExcel = true;
    // "S": the list opens with every row.
    QString MostrarTodos;
    QString mywhere, myorderby;
    DataSetState m_estadoAnterior = DataSetState::Inactive;

private:
    // The stored position of the view: 0 and 1 read the record form's or the grid's, -1 and -2
    // write them (and then stand for the other view).
    void AtualizaConfiguracoesTela();
    int tag = 0;
    bool FormFechado = false;
    std::array<QString, 61> MatrizNomeDataSet;
    std::array<QString, 61> MatrizSqlDataSet;
    int passagem = 0;
    DataSet* NomeDataSet = nullptr;
    QString ProcuraRegistro;
    QString SqlOriginal;
};

// A list of the standard data module, null while there is none (a screen built for a test).
DataSet* listaDoModulo(Query TdmPadrao::*lista);

#pragma once
// Base of every registration screen: one table edited through one dataset, the record form
// ("Ficha", page 0) and the grid ("Tabela", page 1), kept in step with the main toolbar.
#include "data/DataSource.h"
#include "data/Query.h"
#include "screens/ScreenWindow.h"
#include <QTabWidget>
#include <array>
#include <functional>

class DBGrid;

// The opening SQL of a list screen: cuts the where and order-by parts out of the design SQL
// and adds the opening condition and the wanted record.
struct PreparacaoSQL {
    QString sql, mywhere, myorderby, procuraTela, procuraPrincipal;
};
PreparacaoSQL PreparaSQL(const QString& S, int passagem, const QString& mywhere, const QString& myorderby,
                         const QString& MostrarTodos, const QString& procuraTela,
                         const QString& procuraPrincipal);

class TfrmCadastroPadrao : public ScreenWindow {
    Q_OBJECT
public:
    explicit TfrmCadastroPadrao(const QString& name, QWidget* parent = nullptr);
    ~TfrmCadastroPadrao() override;

    DataSource dsPadrao{"dsPadrao", this};
    QTabWidget* pc = nullptr;
    QWidget* pagFicha = nullptr;  // page 0, the record form
    QWidget* pagTabela = nullptr; // page 1, the grid
    DBGrid* DBGrid1 = nullptr;

    bool FormFechado = false;
    std::array<QString, 61> MatrizNomeDataSet;
    std::array<QString, 61> MatrizSqlDataSet;
    QString mywhere, myorderby;
    bool incluir = true, alterar = true, excluir = true, bGerarExcel = true;
    int passagem = 0;
    QString MostrarTodos;
    DataSet* NomeDataSet = nullptr;
    QString ProcuraRegistro;
    QString SqlOriginal;

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
    // Command channel of the view switch through the window's tag.
    int tag = 0;
    void AtualizaConfiguracoesTela();
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

protected:
    DataSetState m_estadoAnterior = DataSetState::Inactive;
};

#pragma once
// The person search: a modal window in which the user types a person's code, or fills search
// criteria (parts of the name, start of the code, CNPJ/CPF, city, state, categories), searches
// and picks a row. PesquisaPessoa() opens it and hands back the chosen person's key (0: none).
//
// Typed text never changes the statement: single quotes are doubled, and the LIKE wildcards
// "%" and "_" typed by the user are escaped, so each box matches its text literally.
#include "data/DataSource.h"
#include "data/Query.h"
#include <QDialog>
#include <QVariant>
#include <array>

class DBGrid;
class DBLookupCombo;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The categories of the search, in the order of the window and of the category condition:
// Cliente, Fornecedor, Transportadora, Motorista, Nossa Empresa, Vendedor.
inline constexpr int kCategoriasPessoa = 6;
using CategoriasPessoa = std::array<bool, kCategoriasPessoa>;
// The person flag of each category (CT_CLIENTE ... CT_REPRESENT).
const std::array<const char*, kCategoriasPessoa>& colunasCategoriaPessoa();

// What a search type presets: the legend, whether the category restriction is on, and the
// categories it ticks. An unknown code presets as "G".
struct TipoPesquisaPessoa {
    QString legenda;
    bool restringe = false;
    CategoriasPessoa marca{};
};
TipoPesquisaPessoa tipoPesquisaPessoa(const QString& codigo);

// Search criteria, as typed (the statement upper-cases the texts).
struct CriteriosPessoa {
    QString parteNome, inicioNome, inicioCodigo, cnpjCpf;
    QVariant idCidade; // null: every city
    QString sgEstado;  // empty: every state
    bool apenasCategorias = false;
    CategoriasPessoa categorias{};
    bool codigoExato = false; // ST_PESQUISA_EXATA_PESSOA = "S"
};

// Upper case the way the database compares: each character whose capital is one Windows-1252
// character becomes it; any other stays as it is.
QString maiusculasPessoa(const QString& texto);
// "and ((pe.CT_CLIENTE = 'S')or (pe.CT_REPRESENT = 'S'))" for the ticked categories while the
// restriction is on; empty otherwise.
QString CondicaoCategoriasPessoa(bool apenasCategorias, const CategoriasPessoa& categorias);
// The search statement.
QString MontaSQLPesquisaPessoa(const CriteriosPessoa& c);
// The statement of a typed code (exact match), followed by the category condition.
QString SQLPessoaPorCodigo(const QString& codigo, const QString& condicaoCategorias);

class TfrmPesquisaPessoaComercio : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPesquisaPessoaComercio(QWidget* parent = nullptr);
    ~TfrmPesquisaPessoaComercio() override;

    QString sTipoPesquisa;
    int iidPessoa = 0;

    Query IBQ_Pessoas;
    DataSource dsPessoas{"dsPessoas", this};

    QLabel* lblLegendaParametro = nullptr;
    QLineEdit *mskCodigo = nullptr, *mskParteNome = nullptr, *mskCNPJ_CPF = nullptr,
              *mskParteCodigo = nullptr, *mskInicioNome = nullptr;
    DBLookupCombo *lkCidade = nullptr, *lkEstado = nullptr;
    QCheckBox* ckbApenasCategoriasAbaixo = nullptr;
    QCheckBox *ckbCliente = nullptr, *ckbFornecedor = nullptr, *ckbTransportadora = nullptr,
              *ckbMotorista = nullptr, *ckbNossaEmpresa = nullptr, *ckbVendedor = nullptr;
    DBGrid* DBGrid1 = nullptr;
    QLabel* lblQtdePessoas = nullptr;
    QPushButton *BitBtn4 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr, *BitBtn1 = nullptr;

    // The six category boxes in condition order.
    std::array<QCheckBox*, kCategoriasPessoa> caixasCategoria() const;
    // The criteria as the boxes hold them now (the code option read from the parameter row).
    CriteriosPessoa criterios() const;

    void FormShow();
    void Reinicia();
    void BitBtn4Click(); // Pesquisar
    void BitBtn2Click(); // Confirmar
    void BitBtn3Click(); // Nova Pesquisa
    void BitBtn1Click(); // Fechar
    void ckbApenasCategoriasAbaixoClick();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Refuses, with a message naming the box, a text the database cannot take.
    void verificaTexto(const QLineEdit* caixa, const QString& rotulo) const;
    bool pesquisaExataCodigo() const;
    void mostraQuantidade(int n);
    // Reads the rest of the result a part at a time between events, so the first rows show at
    // once and the count follows.
    void contaRestante();
    class QTimer* m_contagem = nullptr;
    bool m_mostrada = false;
};

// Opens the person search modally with a search type code ("G", "C", "R", "E", "EM", "T", "M",
// "TE", "V") and returns the chosen person's key, 0 when nothing was chosen.
int PesquisaPessoa(const QString& sTipoPesquisa);

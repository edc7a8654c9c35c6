#pragma once
// Equipment types (TAB_TP_EQUIPAMENTO) with the title their fill-in sheet prints, and the base
// products used on each type (TAB_PRODUTO_EQUIPAMENTO) on a page of their own.
#include "screens/UnCadastroPadrao.h"

class DBEdit;
class DBGrid;
class DBLookupCombo;
class QPushButton;

class TfrmTipoEquipamento : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmTipoEquipamento(QWidget* parent = nullptr);

    // Pages of pc: the record form, the grid of the base screen and the products.
    enum Pagina { DadosGerais = 0, Lista = 1, ProdutosUtilizados = 2 };

    DBEdit *DBEdit1 = nullptr, *DBEdit2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    DataSource dsConsultaProdutoEquip{"dsConsultaProdutoEquip", this};
    DBGrid* DBGrid2 = nullptr;
    DBLookupCombo* lkProdutoBase = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;

    void FormShow() override;
    void FormActivate() override;
    bool FormClose() override;
    void pcChange(int pagina);
    void BitBtn1Click(); // adds the chosen base product to the current type
    void BitBtn2Click(); // removes the selected products from the current type
    void dsPadraoDataChange();
    // The thirteen record buttons of the toolbar are shown on "Dados Gerais" only.
    void ajustaBarraFerramentas();

private:
    QVariant tipoAtual() const;
    void reabreProdutos();
    int m_paginaAnterior = DadosGerais;
};

#include "lab/UnTipoEquipamento.h"
#include "data/UndmPadrao.h"
#include "platform/ErrorHook.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include <QAction>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolBar>
#include <set>

TfrmTipoEquipamento::TfrmTipoEquipamento(QWidget* parent)
    : TfrmCadastroPadrao("frmTipoEquipamento", listaDoModulo(&TdmPadrao::IBQ_TipoEquipamento), parent) {
    setWindowTitle("Tipo de Equipamento");
    pc->setTabText(DadosGerais, "Dados Gerais");

    // Dados Gerais.
    auto* lay = new QGridLayout(pagFicha);
    auto* lbl1 = new QLabel("Tipo de Equipamento", pagFicha);
    DBEdit1 = new DBEdit(pagFicha, &dsPadrao, "NM_TP_EQUIPAMENTO", "DBEdit1");
    lbl1->setBuddy(DBEdit1);
    auto* lbl2 = new QLabel(QString::fromUtf8("Título do Relatório"), pagFicha);
    DBEdit2 = new DBEdit(pagFicha, &dsPadrao, "NM_RELATORIO_ANALISE", "DBEdit2");
    lbl2->setBuddy(DBEdit2);
    lay->addWidget(lbl1, 0, 0);
    lay->addWidget(DBEdit1, 1, 0);
    lay->addWidget(lbl2, 2, 0);
    lay->addWidget(DBEdit2, 3, 0);
    lay->setRowStretch(4, 1);

    // The list page.
    montaGrade({{"NM_TP_EQUIPAMENTO", "Tipo de Equipamento", 220},
                {"NM_RELATORIO_ANALISE", QString::fromUtf8("Título do Relatório"), 280}});

    // Produtos Utilizados.
    TabSheet3 = new QWidget(pc);
    TabSheet3->setObjectName("TabSheet3");
    pc->addTab(TabSheet3, "Produtos Utilizados");
    auto* gp = new QGridLayout(TabSheet3);
    auto* titulo =
        new QLabel(QString::fromUtf8("Produtos base utilizados na manutenção do equipamento"), TabSheet3);
    QFont negrito = titulo->font();
    negrito.setBold(true);
    titulo->setFont(negrito);
    TdmPadrao* dm = dmPadrao();
    if (dm) dsConsultaProdutoEquip.setDataSet(&dm->IBQ_ConsultaProdutoEquip);
    DBGrid2 = new DBGrid(TabSheet3, &dsConsultaProdutoEquip, "DBGrid2");
    DBGrid2->setColumns({{"NM_PRODUTO_BASE", "Produtos", 380}});
    BitBtn2 = new QPushButton("&Excluir (1)", TabSheet3);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setToolTip("Excluir o Tipo de Equipamento selecionado na lista (Alt + E)");
    auto* lbl3 = new QLabel(QString::fromUtf8("Produto base a ser incluído"), TabSheet3);
    TdmLookUp* lk = dmLookUp();
    lkProdutoBase = new DBLookupCombo(TabSheet3, nullptr, QString(), lk ? &lk->IBQ_Produto_Base : nullptr,
                                      "ID_PRODUTO_BASE", "NM_PRODUTO_BASE", "lkProdutoBase");
    lkProdutoBase->setEmptyText("<Nenhum>");
    lkProdutoBase->setDropDownCount(8);
    lbl3->setBuddy(lkProdutoBase);
    BitBtn1 = new QPushButton("&Incluir (1)", TabSheet3);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setToolTip("Incluir um Tipo de Equipamento na lista (Alt + I)");
    for (QPushButton* b : {BitBtn1, BitBtn2})
        b->setAutoDefault(false);
    gp->addWidget(titulo, 0, 0, 1, 2);
    gp->addWidget(DBGrid2, 1, 0);
    gp->addWidget(BitBtn2, 1, 1, Qt::AlignTop);
    gp->addWidget(lbl3, 2, 0, 1, 2);
    gp->addWidget(lkProdutoBase, 3, 0);
    gp->addWidget(BitBtn1, 3, 1);
    gp->setColumnStretch(0, 1);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn2Click(); }); });

    connect(pc, &QTabWidget::currentChanged, this, [this](int i) { guarded([&] { pcChange(i); }); });
    dsPadrao.onDataChange = [this](Field*) { dsPadraoDataChange(); };
    resize(560, 330);
}

void TfrmTipoEquipamento::FormShow() {
    TfrmCadastroPadrao::FormShow();
    if (!PermissaoAcesso) return;
    // The pages are offered as tabs; the grid's page is reached through the toolbar only.
    pc->tabBar()->show();
    pc->setTabVisible(Lista, false);
    // The grid's page is current while its tab is hidden: a caption would show through.
    pc->setTabText(Lista, QString());
    pc->setTabVisible(DadosGerais, true);
    // Several products can be removed at once.
    DBGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid2->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void TfrmTipoEquipamento::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    if (TdmLookUp* lk = dmLookUp()) TdmLookUp::reabre(lk->IBQ_Produto_Base);
    ajustaBarraFerramentas();
}

bool TfrmTipoEquipamento::FormClose() {
    if (!TfrmCadastroPadrao::FormClose()) return false;
    if (TdmPadrao* dm = dmPadrao()) dm->IBQ_ConsultaProdutoEquip.close();
    return true;
}

void TfrmTipoEquipamento::ajustaBarraFerramentas() {
    TfrmClassePrincipal* p = principal();
    if (!p || p->dsAtual != &dsPadrao) return;
    p->barraRegistro().showEditButtons(pc->currentIndex() == DadosGerais);
}

void TfrmTipoEquipamento::pcChange(int pagina) {
    const int anterior = m_paginaAnterior;
    m_paginaAnterior = pagina;
    // "Dados Gerais" is offered as a tab while the record form is in use, not from the grid.
    if (pagina == DadosGerais) pc->setTabVisible(DadosGerais, true);
    if (pagina == Lista) pc->setTabVisible(DadosGerais, false);
    DataSet* ds = dsPadrao.dataSet();
    if (ds && ds->editing() && pagina != DadosGerais) {
        // A type being typed is saved first, so its products can be added at once. A refused
        // save brings the record form back with what was typed.
        try {
            TfrmClassePrincipal* p = principal();
            if (p->dsAtual == &dsPadrao)
                p->bttSalvarClick();
            else
                p->salvaDataSet(*ds);
        } catch (...) {
            {
                QSignalBlocker bloqueio(pc);
                pc->setCurrentIndex(anterior == ProdutosUtilizados ? DadosGerais : anterior);
                m_paginaAnterior = pc->currentIndex();
            }
            ajustaBarraFerramentas();
            throw;
        }
    }
    ajustaBarraFerramentas();
    if (pagina == ProdutosUtilizados) reabreProdutos();
}

QVariant TfrmTipoEquipamento::tipoAtual() const {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active()) return {};
    Field* f = ds->findField("ID_TP_EQUIPAMENTO");
    return f ? f->value() : QVariant();
}

void TfrmTipoEquipamento::reabreProdutos() {
    TdmPadrao* dm = dmPadrao();
    if (!dm) return;
    Query& q = dm->IBQ_ConsultaProdutoEquip;
    q.close();
    q.setParam("idTipoEquipamento", tipoAtual());
    q.open();
    q.fetchAll();
}

void TfrmTipoEquipamento::BitBtn1Click() {
    TdmPadrao* dm = dmPadrao();
    TfrmClassePrincipal* p = principal();
    const QVariant tipo = tipoAtual();
    if (!dm || !p || tipo.isNull()) return;
    Query& q = dm->IBQ_ProdutoEquipamento;
    q.close();
    q.open();
    const QVariant produto = lkProdutoBase->keyValue();
    if (!produto.isNull()) {
        q.insert();
        q.fieldByName("ID_PRODUTO_BASE")->setValue(produto);
        q.fieldByName("ID_TP_EQUIPAMENTO")->setValue(tipo);
        // The save of a new record: the largest key plus one, and a fresh key when another
        // workstation took that one at the same moment.
        try {
            p->salvaDataSet(q);
        } catch (...) {
            // Nothing was written: the link leaves the cache too.
            if (q.editing()) q.cancel();
            q.cancelUpdates();
            throw;
        }
    }
    reabreProdutos();
    BitBtn1->setFocus();
}

void TfrmTipoEquipamento::BitBtn2Click() {
    DBGrid2->setFocus();
    TdmPadrao* dm = dmPadrao();
    TfrmClassePrincipal* p = principal();
    const QVariant tipo = tipoAtual();
    if (!dm || !p || tipo.isNull()) return;
    Query& lista = dm->IBQ_ConsultaProdutoEquip;
    if (!lista.active() || lista.isEmpty()) return;
    // The products of the selected rows (the current row when none is selected); each product
    // goes with every link it has to the type, duplicates included.
    Field* f = lista.fieldByName("ID_PRODUTO_BASE");
    std::set<qint64> produtos;
    if (QItemSelectionModel* sel = DBGrid2->selectionModel())
        for (const QModelIndex& i : sel->selectedRows())
            produtos.insert(lista.valueAt(i.row(), f).toLongLong());
    if (produtos.empty()) produtos.insert(f->value().toLongLong());
    produtos.erase(0);
    if (produtos.empty()) return;
    Query& g = p->IBQ_Gen;
    Transaction* tr = g.transaction();
    try {
        for (qint64 produto : produtos) {
            g.close();
            g.setSqlText(
                " delete from tab_produto_equipamento where id_produto_base = " + QString::number(produto) +
                " and id_tp_equipamento = " + QString::number(tipo.toLongLong()));
            g.execSQL();
        }
        g.setSqlText("commit");
        g.execSQL();
    } catch (...) {
        // All the products or none: a failed delete leaves nothing pending for a later commit.
        if (tr->active()) tr->rollbackRetaining();
        throw;
    }
    if (TdmLookUp* lk = dmLookUp()) TdmLookUp::reabre(lk->IBQ_Produto_Base);
    reabreProdutos();
    DBGrid2->clearSelection();
    DBGrid2->setFocus();
}

void TfrmTipoEquipamento::dsPadraoDataChange() {
    DataSet* ds = dsPadrao.dataSet();
    if (!ds || !ds->active()) return;
    Field* f = ds->findField("NM_TP_EQUIPAMENTO");
    setWindowTitle("Tipo de Equipamento - " + (f ? f->asString() : QString()));
}

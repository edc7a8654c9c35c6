// The equipment-type screen: menu and pages, the caption, the toolbar per page, the type saved
// when its products page is entered, products added (twice too) and removed in one go.
#include "LabFixture.h"
#include "lab/UnTipoEquipamento.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include <QMenu>
#include <QPushButton>

class TipoEquipamentoTest : public LabTest {
protected:
    TfrmTipoEquipamento* abreTela() { return abre<TfrmTipoEquipamento>("frmTipoEquipamento"); }
    int links(const QString& where = "") {
        return scalar("select count(*) from tab_produto_equipamento " + where).toInt();
    }
    // The thirteen record buttons that only the record form shows.
    QList<QToolButton*> treze() const {
        return {main->bttAnterior, main->bttAtualiza, main->bttCancelar,     main->bttExcluir,
                main->bttFechar,   main->bttIncluir,  main->bttMostrarTodos, main->bttOrdena,
                main->bttPesquisa, main->bttPrimeiro, main->bttSalvar,       main->bttSeguinte,
                main->bttUltimo};
    }
    int visiveis() const {
        // The toolbar lays its buttons out when events run.
        QApplication::processEvents();
        int n = 0;
        for (QToolButton* b : treze())
            n += b->isVisible();
        return n;
    }
    static QStringList produtos(TfrmTipoEquipamento* t) {
        QStringList r;
        for (int i = 0; i < t->DBGrid2->model()->rowCount(); ++i)
            r << celula(t->DBGrid2, i, 0);
        return r;
    }
    // Chooses the n-th base product (1 = first by name) in the drop-down.
    void escolheProduto(TfrmTipoEquipamento* t, int n) {
        t->lkProdutoBase->setFocus();
        tecla(Qt::Key_Home);
        for (int i = 0; i < n; ++i)
            tecla(Qt::Key_Down);
    }
};

TEST_F(TipoEquipamentoTest, MenuItemOpensTheScreenWithItsPagesAndCaption) {
    QStringList tabelas;
    for (QAction* a : main->mnuTabelas->actions())
        if (!a->isSeparator()) tabelas << a->text();
    EXPECT_EQ(tabelas.mid(0, 3),
              QStringList({"Tipo de Equipamento", "Tipo de Análise", "Resultados Ideais"}));
    EXPECT_EQ(main->mnuCadastros->actions().first()->text(), "Equipamentos do Cliente");
    main->findChild<QAction*>("TipodeEquipamento1")->trigger();
    pump();
    auto* t = main->findChild<TfrmTipoEquipamento*>("frmTipoEquipamento");
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->pc->tabBar()->isVisible());
    EXPECT_EQ(t->pc->tabText(0), "Dados Gerais");
    EXPECT_EQ(t->pc->tabText(2), "Produtos Utilizados");
    EXPECT_TRUE(t->pc->isTabVisible(0));
    EXPECT_FALSE(t->pc->isTabVisible(1));
    EXPECT_TRUE(t->pc->isTabVisible(2));
    EXPECT_EQ(t->pc->currentIndex(), 0);
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F7);
    EXPECT_EQ(t->windowTitle(), "Tipo de Equipamento - Caldeira");
    EXPECT_EQ(t->DBEdit2->text(), "Análise de Água de Caldeira");
    tecla(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(t->windowTitle(), "Tipo de Equipamento - Torre de Resfriamento");
    // The caption follows what is typed.
    substitui(t->DBEdit1, "Torre Evaporativa");
    EXPECT_EQ(t->windowTitle(), "Tipo de Equipamento - Torre Evaporativa");
    EXPECT_EQ(t->subWindow()->windowTitle(), "Tipo de Equipamento - Torre Evaporativa");
    tecla(Qt::Key_F3);
    EXPECT_EQ(
        scalar("select nm_tp_equipamento from tab_tp_equipamento where id_tp_equipamento = 2").toString(),
        "Torre Evaporativa");
    // A second choice of the menu item brings the same screen forward.
    main->findChild<QAction*>("TipodeEquipamento1")->trigger();
    pump();
    EXPECT_EQ(main->mdi->subWindowList().size(), 1);
}

TEST_F(TipoEquipamentoTest, ToolbarShowsTheRecordButtonsOnDadosGeraisOnly) {
    TfrmTipoEquipamento* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F7);
    EXPECT_EQ(visiveis(), 13);
    tecla(Qt::Key_F12); // to the list
    ASSERT_EQ(t->pc->currentIndex(), 1);
    EXPECT_EQ(visiveis(), 0);
    EXPECT_TRUE(main->bttFicha->isVisible());
    EXPECT_TRUE(main->bttExcel->isVisible());
    EXPECT_FALSE(t->pc->isTabVisible(0)); // "Dados Gerais" is not offered from the grid
    tecla(Qt::Key_F12);                   // back to the form
    EXPECT_EQ(t->pc->currentIndex(), 0);
    EXPECT_TRUE(t->pc->isTabVisible(0));
    EXPECT_EQ(visiveis(), 13);
    clicaAba(t->pc, 2);
    EXPECT_EQ(t->pc->currentIndex(), 2);
    EXPECT_EQ(visiveis(), 0);
    clicaAba(t->pc, 0);
    EXPECT_EQ(visiveis(), 13);
    // Another screen brings every button back; returning hides them again.
    clicaAba(t->pc, 2);
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    EXPECT_EQ(visiveis(), 13);
    main->abreTelaRegistrada("frmTipoEquipamento");
    pump();
    EXPECT_EQ(visiveis(), 0);
}

TEST_F(TipoEquipamentoTest, ANewTypeIsSavedWhenItsProductsAreOpenedAndAProductMayBeAddedTwice) {
    TfrmTipoEquipamento* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F2);
    digita("Chiller");
    clicaAba(t->pc, 2);
    ASSERT_EQ(t->pc->currentIndex(), 2);
    EXPECT_EQ(
        scalar("select nm_tp_equipamento from tab_tp_equipamento where id_tp_equipamento = 3").toString(),
        "Chiller");
    EXPECT_EQ(t->dsPadrao.dataSet()->state(), DataSetState::Browse);
    EXPECT_TRUE(produtos(t).isEmpty());
    EXPECT_EQ(t->lkProdutoBase->currentText(), "<Nenhum>");
    EXPECT_EQ(t->lkProdutoBase->count(), 4);
    escolheProduto(t, 1);
    EXPECT_EQ(t->lkProdutoBase->currentText(), "Biocida Oxidante");
    clica(t->BitBtn1);
    EXPECT_EQ(produtos(t), QStringList{"Biocida Oxidante"});
    EXPECT_EQ(foco(), t->BitBtn1);
    // No check refuses a product the type lists already: it is listed twice.
    clica(t->BitBtn1);
    EXPECT_EQ(produtos(t), QStringList({"Biocida Oxidante", "Biocida Oxidante"}));
    escolheProduto(t, 3);
    clica(t->BitBtn1);
    EXPECT_EQ(links("where id_tp_equipamento = 3"), 3);
    EXPECT_EQ(scalar("select max(id_produto_equipamento) from tab_produto_equipamento").toInt(), 3);
    EXPECT_TRUE(main->IBTransaction.active());
    // One removal takes every link of the product, duplicates included.
    const int biocida = produtos(t).indexOf("Biocida Oxidante");
    clicaLinha(t->DBGrid2, biocida);
    clica(t->BitBtn2);
    EXPECT_EQ(produtos(t), QStringList{"Inibidor de Corrosão"});
    EXPECT_EQ(links("where id_tp_equipamento = 3"), 1);
    EXPECT_EQ(foco(), t->DBGrid2);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
}

TEST_F(TipoEquipamentoTest, SeveralSelectedProductsAreRemovedInOneGoAndOtherTypesKeepTheirs) {
    int id = 1;
    for (auto [tipo, produto] : {std::pair{1, 1}, {1, 2}, {1, 3}, {2, 1}})
        s_db->exec(QString("insert into tab_produto_equipamento values (%1, %2, %3)")
                       .arg(id++)
                       .arg(tipo)
                       .arg(produto));
    TfrmTipoEquipamento* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F7);
    clicaAba(t->pc, 2);
    ASSERT_EQ(produtos(t).size(), 3);
    const int a = produtos(t).indexOf("Biocida Oxidante"), b = produtos(t).indexOf("Inibidor de Corrosão");
    clicaLinha(t->DBGrid2, a);
    clicaLinha(t->DBGrid2, b, Qt::ControlModifier);
    clica(t->BitBtn2);
    EXPECT_EQ(produtos(t), QStringList{"Dispersante Acrílico"});
    EXPECT_EQ(links("where id_tp_equipamento = 1"), 1);
    EXPECT_EQ(links("where id_tp_equipamento = 2"), 1);
}

TEST_F(TipoEquipamentoTest, EmptyChoiceOrEmptyListChangesNothing) {
    TfrmTipoEquipamento* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F7);
    clicaAba(t->pc, 2);
    // "<Nenhum>" only reads the list again.
    s_db->exec("insert into tab_produto_equipamento values (9, 1, 2)"); // by another workstation
    EXPECT_TRUE(produtos(t).isEmpty());
    clica(t->BitBtn1);
    EXPECT_EQ(produtos(t), QStringList{"Dispersante Acrílico"});
    EXPECT_EQ(links(), 1);
    EXPECT_EQ(foco(), t->BitBtn1);
    s_db->exec("delete from tab_produto_equipamento");
    clica(t->BitBtn1);
    EXPECT_TRUE(produtos(t).isEmpty());
    clica(t->BitBtn2);
    EXPECT_EQ(links(), 0);
    EXPECT_EQ(foco(), t->DBGrid2);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
}

TEST_F(TipoEquipamentoTest, AProductsPageThatCannotSaveTheTypeKeepsTheRecordForm) {
    TfrmTipoEquipamento* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F2);
    substitui(t->DBEdit2, "Sem nome");
    clicaAba(t->pc, 2);
    EXPECT_EQ(t->pc->currentIndex(), 0);
    EXPECT_TRUE(dialogs.texts().contains("O campo \"Tipo de Equipamento\" deve ser preenchido."))
        << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(t->dsPadrao.dataSet()->state(), DataSetState::Insert);
    EXPECT_EQ(t->DBEdit2->text(), "Sem nome");
    EXPECT_EQ(visiveis(), 13);
    EXPECT_EQ(scalar("select count(*) from tab_tp_equipamento").toInt(), 2);
    // Named now, it is saved and its products page opens.
    substitui(t->DBEdit1, "Condensado");
    clicaAba(t->pc, 2);
    EXPECT_EQ(t->pc->currentIndex(), 2);
    EXPECT_EQ(scalar("select count(*) from tab_tp_equipamento").toInt(), 3);
}

TEST_F(TipoEquipamentoTest, TheProductsPageShowsTheListAsLastLoaded) {
    s_db->exec("insert into tab_produto_equipamento values (1, 1, 1)");
    s_db->exec("insert into tab_produto_equipamento values (2, 2, 2)");
    TfrmTipoEquipamento* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F7);
    tecla(Qt::Key_F12); // the grid
    clicaAba(t->pc, 2); // the products of the type chosen in the grid
    EXPECT_EQ(produtos(t), QStringList{"Biocida Oxidante"});
    // Adding works on the type of the list's current record.
    t->DBGrid2->setFocus();
    tecla(Qt::Key_Right, Qt::AltModifier);
    escolheProduto(t, 3);
    clica(t->BitBtn1);
    EXPECT_EQ(produtos(t), QStringList({"Dispersante Acrílico", "Inibidor de Corrosão"}));
    EXPECT_EQ(links("where id_tp_equipamento = 2"), 2);
}

TEST_F(TipoEquipamentoTest, AProductLinkWhoseKeyAnotherWorkstationTookAtOnceTakesAFreshKey) {
    TfrmTipoEquipamento* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F7);
    clicaAba(t->pc, 2);
    // The other workstation links a product with the key this one has just read, before this one
    // writes: it commits on a connection of its own.
    Query& q = padrao->IBQ_ProdutoEquipamento;
    int vezes = 1;
    q.beforePost = [&](DataSet& d) {
        if (vezes-- <= 0) return;
        s_db->exec(QString("insert into tab_produto_equipamento values (%1, 2, 3)")
                       .arg(d.fieldByName("ID_PRODUTO_EQUIPAMENTO")->asInteger()));
    };
    escolheProduto(t, 1);
    clica(t->BitBtn1);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(produtos(t), QStringList{"Biocida Oxidante"});
    EXPECT_EQ(links("where id_produto_equipamento = 1 and id_tp_equipamento = 2"), 1);
    EXPECT_EQ(links("where id_produto_equipamento = 2 and id_tp_equipamento = 1"), 1);
    EXPECT_TRUE(main->IBSolution.connected());

    // When every fresh key is taken as well, nothing is linked and the user is told; the next
    // click links the product.
    vezes = 100;
    clica(t->BitBtn1);
    ASSERT_EQ(dialogs.messageCount(), 1) << dialogs.texts().join('|').toStdString();
    EXPECT_TRUE(dialogs.lastMessage().text.contains(QString::fromUtf8("Outras estações")))
        << dialogs.lastMessage().text.toStdString();
    EXPECT_FALSE(q.editing());
    EXPECT_EQ(produtos(t), QStringList{"Biocida Oxidante"});
    vezes = 0;
    clica(t->BitBtn1);
    EXPECT_EQ(produtos(t), QStringList({"Biocida Oxidante", "Biocida Oxidante"}));
    EXPECT_EQ(dialogs.messageCount(), 1);
    q.beforePost = nullptr;
}

TEST_F(TipoEquipamentoTest, ATypeInUseStaysAndTheRefusalNamesTheTableAsTheLaboratoryRegisteredIt) {
    TfrmTipoEquipamento* t = abreTela();
    t->DBEdit1->setFocus();
    tecla(Qt::Key_F7);
    tecla(Qt::Key_Right, Qt::AltModifier);
    ASSERT_EQ(t->DBEdit1->text(), "Torre de Resfriamento");
    dialogs.clear();
    dialogs.queueAnswer(MsgAnswer::Yes);
    tecla(Qt::Key_F5);
    EXPECT_EQ(dialogs.lastMessage().text,
              QString::fromUtf8("Este registro não pode ser excluído porque está sendo usado na tabela "
                                "Equipamentos do Cliente (TAB_EQUIPAMENTO_CLI). Exclua ou altere antes os "
                                "registros dessa tabela que o utilizam."));
    EXPECT_EQ(scalar("select count(*) from tab_tp_equipamento where id_tp_equipamento = 2").toInt(), 1);
    EXPECT_EQ(t->DBEdit1->text(), "Torre de Resfriamento");
}

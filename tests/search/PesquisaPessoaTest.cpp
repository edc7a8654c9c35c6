// The person search: the statement as it is built (the worked example, each category, the
// code option), the search types, and the real window driven with keys and the mouse: name
// parts, billing address, categories, typed codes, confirmation, and hostile text in every box.
#include "SearchFixture.h"
#include "screens/controls/DBLookupCombo.h"
#include "search/UnPesquisaPessoaComercio.h"
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <set>

namespace {

// ---------------------------------------------------------------- statement

TEST(PesquisaPessoaSqlTest, TheWorkedExampleIsReproduced) {
    CriteriosPessoa c;
    c.inicioNome = "sil";
    c.sgEstado = "SP";
    EXPECT_EQ(
        MontaSQLPesquisaPessoa(c),
        " select pe.id_pessoa, pe.cd_pessoa, pe.nm_pesquisa, pe.no_cnpj_cpf from cad_pessoa pe inner join "
        "cad_end_pessoa cep on (cep.id_pessoa = pe.id_pessoa and cep.st_fatura = 'S') inner join tab_cidade "
        "tc on (tc.id_cidade = cep.id_cidade) where 0=0  and (udf_upper(pe.nm_pesquisa) like 'SIL%' or "
        "udf_upper(pe.nm_pessoa) like 'SIL%') and tc.sg_estado = 'SP' order by pe.nm_pesquisa");
}

TEST(PesquisaPessoaSqlTest, EveryPieceInItsPlace) {
    CriteriosPessoa c;
    EXPECT_EQ(MontaSQLPesquisaPessoa(c),
              " select pe.id_pessoa, pe.cd_pessoa, pe.nm_pesquisa, pe.no_cnpj_cpf from "
              "cad_pessoa pe where 0=0  order by pe.nm_pesquisa");
    c.parteNome = "ana";
    c.inicioCodigo = "12";
    c.cnpjCpf = "112";
    c.idCidade = 7;
    const QString S = MontaSQLPesquisaPessoa(c);
    EXPECT_TRUE(S.contains(" inner join cad_end_pessoa cep")) << S.toStdString();
    EXPECT_TRUE(S.contains(" where 0=0  and (udf_upper(pe.nm_pesquisa) like '%ANA%' or "
                           "udf_upper(pe.nm_pessoa) like '%ANA%') and pe.cd_pessoa like '12%' and "
                           "pe.no_cnpj_cpf like '112%' and tc.id_cidade = 7 order by pe.nm_pesquisa"))
        << S.toStdString();
    c.codigoExato = true;
    EXPECT_TRUE(MontaSQLPesquisaPessoa(c).contains(" and pe.cd_pessoa like '12' and"));
    // Blanks alone fill nothing.
    CriteriosPessoa b;
    b.parteNome = "   ";
    EXPECT_FALSE(MontaSQLPesquisaPessoa(b).contains("like"));
}

TEST(PesquisaPessoaSqlTest, CategoryConditionPerCategoryAndOnlyWhileRestricted) {
    const char* colunas[] = {"CT_CLIENTE", "CT_FORNECEDOR", "CT_TRANSPORT",
                             "CT_OUTROS",  "CT_EMPRESA",    "CT_REPRESENT"};
    for (int i = 0; i < kCategoriasPessoa; ++i) {
        CategoriasPessoa c{};
        c[static_cast<size_t>(i)] = true;
        EXPECT_EQ(CondicaoCategoriasPessoa(true, c), QString("and ((pe.%1 = 'S'))").arg(colunas[i]));
        EXPECT_EQ(CondicaoCategoriasPessoa(false, c), "");
    }
    EXPECT_EQ(CondicaoCategoriasPessoa(true, {true, false, false, false, false, true}),
              "and ((pe.CT_CLIENTE = 'S')or (pe.CT_REPRESENT = 'S'))");
    EXPECT_EQ(CondicaoCategoriasPessoa(true, {true, true, false, false, true, false}),
              "and ((pe.CT_CLIENTE = 'S')or (pe.CT_FORNECEDOR = 'S')or (pe.CT_EMPRESA = 'S'))");
    EXPECT_EQ(CondicaoCategoriasPessoa(true, {}), ""); // "EM": restricted, nothing ticked
    CriteriosPessoa c;
    c.apenasCategorias = true;
    c.categorias = {true, false, false, false, false, true};
    EXPECT_TRUE(MontaSQLPesquisaPessoa(c).endsWith(
        " where 0=0 and ((pe.CT_CLIENTE = 'S')or (pe.CT_REPRESENT = 'S')) order by pe.nm_pesquisa"));
    EXPECT_EQ(SQLPessoaPorCodigo("45", "and ((pe.CT_CLIENTE = 'S'))"),
              " select pe.id_pessoa, pe.cd_pessoa, pe.nm_pesquisa, pe.no_cnpj_cpf from cad_pessoa pe where "
              "pe.cd_pessoa = '45'and ((pe.CT_CLIENTE = 'S'))");
}

TEST(PesquisaPessoaSqlTest, TypedTextIsQuotedAndMatchedLiterally) {
    CriteriosPessoa c;
    c.parteNome = "d'a";
    EXPECT_TRUE(
        MontaSQLPesquisaPessoa(c).contains("like '%D''A%' or udf_upper(pe.nm_pessoa) like '%D''A%')"));
    c.parteNome = "50%_\\";
    EXPECT_TRUE(MontaSQLPesquisaPessoa(c).contains("like '%50\\%\\_\\\\%' escape '\\' or"))
        << MontaSQLPesquisaPessoa(c).toStdString();
    CriteriosPessoa k;
    k.inicioCodigo = "' or '1'='1";
    EXPECT_TRUE(MontaSQLPesquisaPessoa(k).contains(" and pe.cd_pessoa like ''' OR ''1''=''1%' order by"));
    k.sgEstado = "O'";
    EXPECT_TRUE(MontaSQLPesquisaPessoa(k).contains(" and tc.sg_estado = 'O'''"));
    EXPECT_TRUE(SQLPessoaPorCodigo("a'b", "").endsWith("pe.cd_pessoa = 'a''b'"));
}

TEST(PesquisaPessoaSqlTest, UpperCaseKeepsWhatTheDatabaseCannotHold) {
    EXPECT_EQ(maiusculasPessoa("joão d'ávila ç"), QString::fromUtf8("JOÃO D'ÁVILA Ç"));
    // The capital of "µ" is Greek and has no Windows-1252 byte: it stays as typed.
    EXPECT_EQ(maiusculasPessoa(QString::fromUtf8("µs")), QString::fromUtf8("µS"));
}

TEST(PesquisaPessoaSqlTest, SearchTypesPresetLegendAndCategories) {
    struct Caso {
        const char* codigo;
        const char* legenda;
        bool restringe;
        CategoriasPessoa marca;
    };
    const Caso casos[] = {
        {"G", "Parâmetros para Pesquisa de Pessoas", false, {}},
        {"C", "Parâmetros para Pesquisa de Clientes", true, {true, false, false, false, false, false}},
        {"R",
         "Parâmetros para Pesquisa de Remetente / Destinatário",
         true,
         {true, true, false, false, true, false}},
        {"E", "Parâmetros para Pesquisa de Nossa Empresa", true, {false, false, false, false, true, false}},
        {"EM", "Parâmetros para Pesquisa de Emitente", true, {}},
        {"T", "Parâmetros para Pesquisa de Transportador", true, {false, false, true, true, false, false}},
        {"M", "Parâmetros para Pesquisa de Motorista", true, {false, false, false, true, false, false}},
        {"TE", "Parâmetros para Pesquisa de Transportador", true, {false, false, true, true, true, false}},
        {"V", "Parâmetros para Pesquisa de Vendedor", true, {false, false, false, false, false, true}},
    };
    for (const Caso& c : casos) {
        const TipoPesquisaPessoa t = tipoPesquisaPessoa(c.codigo);
        EXPECT_EQ(t.legenda, QString::fromUtf8(c.legenda)) << c.codigo;
        EXPECT_EQ(t.restringe, c.restringe) << c.codigo;
        EXPECT_EQ(t.marca, c.marca) << c.codigo;
    }
}

} // namespace

// ---------------------------------------------------------------- the window

class PesquisaPessoaTest : public SearchTest {
protected:
    static void SetUpTestSuite() {
        SearchTest::SetUpTestSuite();
        s_db->exec("insert into tab_cidade (id_cidade, nm_cidade, sg_estado) values (1, 'Campinas', 'SP')");
        s_db->exec(
            "insert into tab_cidade (id_cidade, nm_cidade, sg_estado) values (2, 'Rio de Janeiro', 'RJ')");
        s_db->exec(QString::fromUtf8(
            "insert into tab_cidade (id_cidade, nm_cidade, sg_estado) values (3, 'Niterói', 'RJ')"));
        // id, code, search name, full name, CNPJ/CPF, the category flag set to 'S' (or none)
        struct P {
            int id;
            const char *cd, *pesquisa, *nome, *doc, *categoria;
        };
        const P pessoas[] = {
            {20, "20", "MARIANA COSTA", "Mariana Costa Lima", "12345678901", "CT_CLIENTE"},
            {21, "45", "ANA SILVA", "Ana Paula Silva", "98765432100", "CT_CLIENTE"},
            {22, "456", "SILVEIRA TRANSPORTES", "Silveira Transportes Ltda", "11222333000181",
             "CT_TRANSPORT"},
            {23, "47", "D'ÁVILA ÁGUAS", "D'Ávila Águas Ltda", "11222333000262", "CT_FORNECEDOR"},
            {24, "48", "50% ÁGUA", "Cinquenta Água Ind", nullptr, nullptr},
            {25, "49", "A_B LTDA", "A_B Ltda", nullptr, nullptr},
            {26, "50", "TESTE ' OR '1'='1", "Teste ' or '1'='1", nullptr, "CT_OUTROS"},
            {27, "51", "NOSSA EMPRESA LAB", "Nossa Empresa Lab Ltda", nullptr, "CT_EMPRESA"},
            {28, "52", "AXB LTDA", "Axb Ltda", nullptr, nullptr},
            {29, "53", "CEM PORCENTO", "Cem Porcento Ltda", nullptr, "CT_REPRESENT"},
        };
        for (const P& p : pessoas) {
            s_db->exec(
                QString("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, no_cnpj_cpf) "
                        "values (%1, '%2', '%3', '%4', %5)")
                    .arg(p.id)
                    .arg(p.cd, QString::fromUtf8(p.pesquisa).replace("'", "''"),
                         QString::fromUtf8(p.nome).replace("'", "''"),
                         p.doc ? QString("'%1'").arg(p.doc) : QString("null")));
            if (p.categoria)
                s_db->exec(QString("update cad_pessoa set %1 = 'S' where id_pessoa = %2")
                               .arg(p.categoria)
                               .arg(p.id));
        }
        s_db->exec("update cad_pessoa set ct_represent = 'S' where id_pessoa = 21");
        // Billing addresses; A_B has only a delivery address, 50% none at all.
        int e = 1;
        for (auto [pessoa, cidade, fatura] :
             {std::tuple{20, 1, "S"}, {21, 2, "S"}, {22, 1, "S"}, {23, 3, "S"}, {25, 1, "N"}, {27, 1, "S"}})
            s_db->exec(
                QString("insert into cad_end_pessoa (id_end_pessoa, id_pessoa, id_cidade, st_fatura) values "
                        "(%1, %2, %3, '%4')")
                    .arg(e++)
                    .arg(pessoa)
                    .arg(cidade)
                    .arg(fatura));
    }

    void SetUp() override {
        SearchTest::SetUp();
        s_db->exec("update tab_parametro set st_pesquisa_exata_pessoa = 'N'");
    }

    using Passos = std::function<void(TfrmPesquisaPessoaComercio&)>;
    // Opens the search of that type and runs the steps in it; returns what it hands back.
    int pesquisa(const QString& tipo, Passos passos) {
        noDialogo<TfrmPesquisaPessoaComercio>(std::move(passos));
        const int id = PesquisaPessoa(tipo);
        EXPECT_TRUE(dialogoVisto());
        return id;
    }
    template <class W> static W* obj(QWidget& d, const char* nome) {
        W* w = d.findChild<W*>(nome);
        EXPECT_TRUE(w) << nome;
        return w;
    }
    static QLineEdit* caixa(QWidget& d, const char* nome) { return obj<QLineEdit>(d, nome); }
    static void clica(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    // A check box is clicked on its box, wherever the layout stretches its label.
    static void clica(QCheckBox* c) { QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2)); }
    // Types into a box as the user would (click, select all, type) and presses F12.
    static void busca(QWidget& d, const char* nome, const QString& texto) {
        substitui(caixa(d, nome), texto);
        tecla(Qt::Key_F12);
    }
    // Search names of the result, in result order.
    static QStringList nomes(TfrmPesquisaPessoaComercio& d) {
        QStringList r;
        if (!d.IBQ_Pessoas.active()) return r;
        Field* f = d.IBQ_Pessoas.fieldByName("NM_PESQUISA");
        for (int i = 0; i < d.IBQ_Pessoas.recordCount(); ++i)
            r << d.IBQ_Pessoas.valueAt(i, f).toString();
        return r;
    }
    static std::set<QString> conjunto(TfrmPesquisaPessoaComercio& d) {
        const QStringList n = nomes(d);
        return {n.begin(), n.end()};
    }
    static std::set<QString> nomesDe(std::initializer_list<const char*> l) {
        std::set<QString> s;
        for (const char* n : l)
            s.insert(QString::fromUtf8(n));
        return s;
    }
    static QString contagem(QWidget& d) { return obj<QLabel>(d, "lblQtdePessoas")->text(); }
};

TEST_F(PesquisaPessoaTest, GeneralSearchWithEmptyBoxesListsEveryoneByName) {
    const int id = pesquisa("G", [this](TfrmPesquisaPessoaComercio& d) {
        EXPECT_EQ(d.windowTitle(), "Pesquisa de Pessoas");
        EXPECT_EQ(obj<QLabel>(d, "lblLegendaParametro")->text(), "Parâmetros para Pesquisa de Pessoas");
        EXPECT_EQ(foco(), caixa(d, "mskCodigo"));
        EXPECT_EQ(contagem(d), "000.000");
        EXPECT_FALSE(obj<QCheckBox>(d, "ckbApenasCategoriasAbaixo")->isChecked());
        EXPECT_FALSE(obj<QCheckBox>(d, "ckbCliente")->isEnabled());
        EXPECT_EQ(obj<DBLookupCombo>(d, "lkCidade")->currentText(), "<Todas>");
        EXPECT_EQ(obj<DBLookupCombo>(d, "lkEstado")->currentText(), "<Todos>");
        // The buttons take the focus on a click only.
        for (const char* b : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4"})
            EXPECT_EQ(obj<QPushButton>(d, b)->focusPolicy(), Qt::ClickFocus) << b;
        tecla(Qt::Key_F12);
        EXPECT_EQ(nomes(d).size(), 13);
        EXPECT_EQ(contagem(d), "000.013");
        EXPECT_EQ(foco(), obj<DBGrid>(d, "DBGrid1"));
        EXPECT_EQ(nomes(d).first(), "50% ÁGUA");
        EXPECT_EQ(nomes(d).last(), "TESTE ' OR '1'='1");
        tecla(Qt::Key_Escape);
    });
    EXPECT_EQ(id, 0);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
}

TEST_F(PesquisaPessoaTest, NamePartIgnoresCaseAndNameStartMatchesFromTheStart) {
    pesquisa("G", [this](TfrmPesquisaPessoaComercio& d) {
        busca(d, "mskParteNome", "ana");
        EXPECT_EQ(conjunto(d), nomesDe({"MARIANA COSTA", "ANA SILVA"}));
        clica(obj<QPushButton>(d, "BitBtn3")); // Nova Pesquisa
        EXPECT_EQ(caixa(d, "mskParteNome")->text(), "");
        EXPECT_EQ(contagem(d), "000.000");
        EXPECT_EQ(foco(), caixa(d, "mskCodigo"));
        busca(d, "mskInicioNome", "ana");
        EXPECT_EQ(nomes(d), QStringList{"ANA SILVA"});
        // The full name counts too: "Cinquenta Água" starts with "cin".
        busca(d, "mskInicioNome", "cin");
        EXPECT_EQ(nomes(d), QStringList{"50% ÁGUA"});
        // Accents are compared in capitals as the database writes them.
        busca(d, "mskInicioNome", "");
        busca(d, "mskParteNome", "ávila");
        EXPECT_EQ(nomes(d), QStringList{"D'ÁVILA ÁGUAS"});
    });
}

TEST_F(PesquisaPessoaTest, CityAndStateUseTheBillingAddressOnly) {
    pesquisa("G", [this](TfrmPesquisaPessoaComercio& d) {
        auto* estado = obj<DBLookupCombo>(d, "lkEstado");
        estado->setFocus();
        digita("S"); // São Paulo
        EXPECT_EQ(estado->currentText(), "São Paulo");
        tecla(Qt::Key_F12);
        // A_B has only a delivery address in Campinas, 50% no address at all.
        EXPECT_EQ(nomes(d), QStringList({"MARIANA COSTA", "NOSSA EMPRESA LAB", "SILVEIRA TRANSPORTES"}));
        busca(d, "mskParteNome", "silv");
        EXPECT_EQ(nomes(d), QStringList{"SILVEIRA TRANSPORTES"});
        clica(obj<QPushButton>(d, "BitBtn3"));
        EXPECT_EQ(estado->currentText(), "<Todos>");
        auto* cidade = obj<DBLookupCombo>(d, "lkCidade");
        cidade->setFocus();
        digita("N");
        EXPECT_EQ(cidade->currentText(), "Niterói");
        tecla(Qt::Key_F12);
        EXPECT_EQ(nomes(d), QStringList{"D'ÁVILA ÁGUAS"});
        clica(obj<QPushButton>(d, "BitBtn3"));
        busca(d, "mskParteNome", "silv");
        EXPECT_EQ(conjunto(d), nomesDe({"ANA SILVA", "SILVEIRA TRANSPORTES"}));
    });
}

TEST_F(PesquisaPessoaTest, CategoriesRestrictOnlyWhileTheRestrictionIsTicked) {
    pesquisa("C", [this](TfrmPesquisaPessoaComercio& d) {
        EXPECT_EQ(obj<QLabel>(d, "lblLegendaParametro")->text(), "Parâmetros para Pesquisa de Clientes");
        auto* restricao = obj<QCheckBox>(d, "ckbApenasCategoriasAbaixo");
        EXPECT_TRUE(restricao->isChecked());
        EXPECT_TRUE(obj<QCheckBox>(d, "ckbCliente")->isChecked());
        EXPECT_TRUE(obj<QCheckBox>(d, "ckbVendedor")->isEnabled());
        tecla(Qt::Key_F12);
        EXPECT_EQ(nomes(d), QStringList({"ANA SILVA", "MARIANA COSTA"}));
        clica(obj<QCheckBox>(d, "ckbVendedor"));
        tecla(Qt::Key_F12);
        EXPECT_TRUE(
            d.IBQ_Pessoas.sqlText().contains("and ((pe.CT_CLIENTE = 'S')or (pe.CT_REPRESENT = 'S'))"));
        EXPECT_EQ(nomes(d), QStringList({"ANA SILVA", "CEM PORCENTO", "MARIANA COSTA"}));
        // Unticked: the boxes are disabled, keep their ticks and no longer restrict.
        clica(restricao);
        EXPECT_FALSE(obj<QCheckBox>(d, "ckbCliente")->isEnabled());
        EXPECT_TRUE(obj<QCheckBox>(d, "ckbCliente")->isChecked());
        tecla(Qt::Key_F12);
        EXPECT_EQ(nomes(d).size(), 13);
        // Nova Pesquisa keeps the ticks it finds and ticks the type's own again.
        clica(restricao);
        clica(obj<QCheckBox>(d, "ckbCliente"));
        clica(obj<QPushButton>(d, "BitBtn3"));
        EXPECT_TRUE(obj<QCheckBox>(d, "ckbCliente")->isChecked());
        EXPECT_TRUE(obj<QCheckBox>(d, "ckbVendedor")->isChecked());
    });
    // Drivers are the "other" flag; people without flags are in no category.
    pesquisa("M", [this](TfrmPesquisaPessoaComercio& d) {
        tecla(Qt::Key_F12);
        EXPECT_EQ(nomes(d), QStringList{"TESTE ' OR '1'='1"});
    });
    pesquisa("R", [this](TfrmPesquisaPessoaComercio& d) {
        tecla(Qt::Key_F12);
        EXPECT_EQ(nomes(d),
                  QStringList({"ANA SILVA", "D'ÁVILA ÁGUAS", "MARIANA COSTA", "NOSSA EMPRESA LAB"}));
    });
    // "EM" restricts without any category: no condition at all.
    pesquisa("EM", [this](TfrmPesquisaPessoaComercio& d) {
        EXPECT_TRUE(obj<QCheckBox>(d, "ckbApenasCategoriasAbaixo")->isChecked());
        tecla(Qt::Key_F12);
        EXPECT_EQ(nomes(d).size(), 13);
        EXPECT_FALSE(d.IBQ_Pessoas.sqlText().contains("CT_"));
    });
    // "G" unticks the restriction and the client box.
    pesquisa("G", [this](TfrmPesquisaPessoaComercio& d) {
        auto* restricao = obj<QCheckBox>(d, "ckbApenasCategoriasAbaixo");
        clica(restricao);
        clica(obj<QCheckBox>(d, "ckbCliente"));
        clica(obj<QCheckBox>(d, "ckbFornecedor"));
        clica(obj<QPushButton>(d, "BitBtn3"));
        EXPECT_FALSE(restricao->isChecked());
        EXPECT_FALSE(obj<QCheckBox>(d, "ckbCliente")->isChecked());
        EXPECT_TRUE(obj<QCheckBox>(d, "ckbFornecedor")->isChecked());
    });
}

TEST_F(PesquisaPessoaTest, CodeStartOrWholeCodeByTheParameterRow) {
    pesquisa("G", [this](TfrmPesquisaPessoaComercio& d) {
        busca(d, "mskParteCodigo", "45");
        EXPECT_EQ(nomes(d), QStringList({"ANA SILVA", "SILVEIRA TRANSPORTES"}));
    });
    s_db->exec("update tab_parametro set st_pesquisa_exata_pessoa = 'S'");
    pesquisa("G", [this](TfrmPesquisaPessoaComercio& d) {
        busca(d, "mskParteCodigo", "45");
        EXPECT_EQ(nomes(d), QStringList{"ANA SILVA"});
        busca(d, "mskParteCodigo", "4");
        EXPECT_TRUE(nomes(d).isEmpty());
        busca(d, "mskParteCodigo", "");
        busca(d, "mskCNPJ_CPF", "11222333000");
        EXPECT_EQ(nomes(d), QStringList({"D'ÁVILA ÁGUAS", "SILVEIRA TRANSPORTES"}));
    });
}

TEST_F(PesquisaPessoaTest, EnterInTheCodeBoxReturnsThePersonAtOnce) {
    EXPECT_EQ(pesquisa("G",
                       [](TfrmPesquisaPessoaComercio& d) {
                           substitui(caixa(d, "mskCodigo"), "456");
                           tecla(Qt::Key_Return);
                       }),
              22);
    // Enter in any other box confirms too: with a code typed it returns that person.
    EXPECT_EQ(pesquisa("G",
                       [](TfrmPesquisaPessoaComercio& d) {
                           substitui(caixa(d, "mskCodigo"), "47");
                           substitui(caixa(d, "mskParteNome"), "nada");
                           tecla(Qt::Key_Enter);
                       }),
              23);
    EXPECT_EQ(dialogs.messageCount(), 0);
}

TEST_F(PesquisaPessoaTest, UnknownCodeOrCodeOutsideTheCategoriesKeepsTheWindowOpen) {
    const int id = pesquisa("C", [this](TfrmPesquisaPessoaComercio& d) {
        QLineEdit* codigo = caixa(d, "mskCodigo");
        substitui(codigo, "456"); // a carrier
        tecla(Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(dialogs.messageCount(), 1);
        EXPECT_EQ(dialogs.lastMessage().text, "Esta pessoa não pertence às categorias informadas.");
        EXPECT_EQ(dialogs.lastMessage().caption, "Aviso do Sistema");
        EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
        EXPECT_EQ(codigo->selectedText(), "456");
        EXPECT_EQ(foco(), codigo);
        // The result never offers the person outside the categories.
        EXPECT_TRUE(nomes(d).isEmpty());
        EXPECT_EQ(contagem(d), "000.000");
        substitui(codigo, "999");
        tecla(Qt::Key_Return);
        EXPECT_EQ(dialogs.lastMessage().text, "Código não Encontrado.");
        EXPECT_EQ(codigo->selectedText(), "999");
        // Blanks around a code: nothing typed.
        substitui(codigo, "   ");
        tecla(Qt::Key_Return);
        EXPECT_EQ(dialogs.messageCount(), 2);
        EXPECT_TRUE(d.isVisible());
        clica(obj<QPushButton>(d, "BitBtn1")); // Fechar
    });
    EXPECT_EQ(id, 0);
}

TEST_F(PesquisaPessoaTest, ARowIsConfirmedWithEnterOrADoubleClick) {
    EXPECT_EQ(pesquisa("G",
                       [this](TfrmPesquisaPessoaComercio& d) {
                           busca(d, "mskParteNome", "silv");
                           EXPECT_EQ(nomes(d), QStringList({"ANA SILVA", "SILVEIRA TRANSPORTES"}));
                           tecla(Qt::Key_Down);
                           tecla(Qt::Key_Return);
                       }),
              22);
    EXPECT_EQ(pesquisa("G",
                       [this](TfrmPesquisaPessoaComercio& d) {
                           busca(d, "mskParteNome", "silv");
                           auto* grade = obj<DBGrid>(d, "DBGrid1");
                           const QRect r = grade->visualRect(grade->model()->index(1, 1));
                           QTest::mouseDClick(grade->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
                       }),
              22);
    // "Confirmar" clicked confirms the current row.
    EXPECT_EQ(pesquisa("G",
                       [this](TfrmPesquisaPessoaComercio& d) {
                           busca(d, "mskParteNome", "silv");
                           clica(obj<QPushButton>(d, "BitBtn2"));
                       }),
              21);
    // An empty result confirms nothing.
    EXPECT_EQ(pesquisa("G",
                       [this](TfrmPesquisaPessoaComercio& d) {
                           busca(d, "mskParteNome", "ninguém");
                           EXPECT_EQ(foco(), obj<DBGrid>(d, "DBGrid1"));
                           tecla(Qt::Key_Return);
                           EXPECT_TRUE(d.isVisible());
                       }),
              0);
}

TEST_F(PesquisaPessoaTest, HostileTextInEveryBoxMatchesLiterally) {
    const QString longo(200, 'x');
    struct Caso {
        const char* caixa;
        QString texto;
        std::set<QString> esperado;
    };
    const std::vector<Caso> casos = {
        {"mskParteNome", "'", nomesDe({"Beta D'Água", "D'ÁVILA ÁGUAS", "TESTE ' OR '1'='1"})},
        {"mskParteNome", "' or '1'='1", nomesDe({"TESTE ' OR '1'='1"})},
        {"mskParteNome", "%", nomesDe({"50% ÁGUA"})},
        {"mskParteNome", "_", nomesDe({"A_B LTDA"})},
        {"mskParteNome", "a_b", nomesDe({"A_B LTDA"})},
        {"mskParteNome", "\\", {}},
        {"mskParteNome", longo, {}},
        {"mskInicioNome", "'", {}},
        {"mskInicioNome", "' or '1'='1", {}},
        {"mskInicioNome", "%", {}},
        {"mskInicioNome", "50%", nomesDe({"50% ÁGUA"})},
        {"mskInicioNome", "_", {}},
        {"mskInicioNome", "d'", nomesDe({"D'ÁVILA ÁGUAS"})},
        {"mskInicioNome", longo, {}},
        {"mskParteCodigo", "'", {}},
        {"mskParteCodigo", "' or '1'='1", {}},
        {"mskParteCodigo", "4%", {}},
        {"mskParteCodigo", "4_", {}},
        {"mskParteCodigo", "%", {}},
        {"mskParteCodigo", longo, {}},
        {"mskCNPJ_CPF", "'", {}},
        {"mskCNPJ_CPF", "' or '1'='1", {}},
        {"mskCNPJ_CPF", "%", {}},
        {"mskCNPJ_CPF", "1122233300018_", {}},
        {"mskCNPJ_CPF", longo, {}},
    };
    pesquisa("G", [&](TfrmPesquisaPessoaComercio& d) {
        for (const Caso& c : casos) {
            clica(obj<QPushButton>(d, "BitBtn3"));
            busca(d, c.caixa, c.texto);
            EXPECT_EQ(conjunto(d), c.esperado) << c.caixa << " " << c.texto.toStdString();
            EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
        }
        // The code boxes hold at most their width.
        EXPECT_EQ(caixa(d, "mskCNPJ_CPF")->text().size(), 14);
        busca(d, "mskParteCodigo", longo);
        EXPECT_EQ(caixa(d, "mskParteCodigo")->text().size(), 15);
        // A typed code is one exact text, never a condition.
        for (const QString& codigo : {QString("' or '1'='1"), QString("%"), QString("4_"), longo}) {
            dialogs.clear();
            substitui(caixa(d, "mskCodigo"), codigo);
            tecla(Qt::Key_Return);
            EXPECT_TRUE(d.isVisible()) << codigo.toStdString();
            EXPECT_EQ(dialogs.texts(), QStringList{"Código não Encontrado."}) << codigo.toStdString();
        }
    });
}

TEST_F(PesquisaPessoaTest, TextTheDatabaseCannotHoldIsRefusedAsItIsTypedNamingTheBox) {
    pesquisa("G", [this](TfrmPesquisaPessoaComercio& d) {
        // Every box refuses the character at once; what was typed before it stays.
        const std::pair<const char*, const char*> caixas[] = {{"mskParteNome", "Parte do Nome"},
                                                              {"mskCodigo", "Código"},
                                                              {"mskCNPJ_CPF", "CNPJ / CPF"},
                                                              {"mskParteCodigo", "Início do Código"},
                                                              {"mskInicioNome", "Início do Nome"}};
        for (const auto& [nome, rotulo] : caixas) {
            dialogs.clear();
            substitui(caixa(d, nome), QString::fromUtf8("12日"));
            ASSERT_EQ(dialogs.messageCount(), 1) << nome;
            EXPECT_TRUE(dialogs.lastMessage().text.startsWith(
                QString::fromUtf8("O campo \"%1\" contém o caractere \"日\"").arg(QString::fromUtf8(rotulo))))
                << dialogs.lastMessage().text.toStdString();
            EXPECT_EQ(caixa(d, nome)->text(), "12") << nome;
            EXPECT_EQ(foco(), caixa(d, nome));
            caixa(d, nome)->clear();
        }
        // Pasted, the text is refused whole.
        dialogs.clear();
        QApplication::clipboard()->setText(QString::fromUtf8("Ana ☺"));
        clica(caixa(d, "mskInicioNome"));
        tecla(Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(dialogs.messageCount(), 1);
        EXPECT_TRUE(dialogs.lastMessage().text.startsWith(QString::fromUtf8("O campo \"Início do Nome\"")))
            << dialogs.lastMessage().text.toStdString();
        EXPECT_EQ(caixa(d, "mskInicioNome")->text(), "");
        EXPECT_FALSE(d.IBQ_Pessoas.active());
        // "€" is a Windows-1252 character: searched, nothing found.
        dialogs.clear();
        busca(d, "mskParteNome", QString::fromUtf8("€"));
        EXPECT_EQ(dialogs.messageCount(), 0);
        EXPECT_TRUE(d.IBQ_Pessoas.active());
    });
}

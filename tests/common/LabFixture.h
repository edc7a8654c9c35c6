#pragma once
// A logged-in main window (group -1) on a fresh embedded database holding a small laboratory:
// base products, two equipment types, the situations of list 75 (one text with a Windows-1252
// dash), three people, two client equipment of which the first was sampled in an analysis, and
// a fixed clock. Helpers drive the screens and the person search with keys and the mouse.
#include "FrameworkFixture.h"
#include "Gestos.h"
#include "platform/Clock.h"
#include "screens/controls/DBGrid.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <functional>

class LabTest : public FrameworkTest, protected Gestos {
protected:
    static void SetUpTestSuite() {
        FrameworkTest::SetUpTestSuite();
        // Group -1 holds the buttons of the laboratory screens, as on a site.
        struct Botao {
            int form;
            const char *nomeForm, *botao, *classe;
        };
        const Botao botoes[] = {
            {-10, "frmTipoEquipamento", "BitBtn1", "TBitBtn"},
            {-10, "frmTipoEquipamento", "BitBtn2", "TBitBtn"},
            {-11, "frmCadastroEquipamentodoCliente", "btnPesquisaPessoa", "TSpeedButton"}};
        int id = -10;
        for (const Botao& b : botoes) {
            if (!s_db->scalar(QString("select count(*) from sis_formulario where id_form = %1").arg(b.form))
                     .toInt())
                s_db->exec(QString("insert into sis_formulario values (%1, '%2', '%2', 3, 'S')")
                               .arg(b.form)
                               .arg(b.nomeForm));
            s_db->exec(QString("insert into sis_componente values (%1, %2, '%3', '%4', '%3', 'S', 'S')")
                           .arg(id)
                           .arg(b.form)
                           .arg(b.botao, b.classe));
            s_db->exec(
                QString("insert into sis_evento_autorizado values (%1, -1, %2)").arg(100 - id).arg(id));
            --id;
        }
    }

    // The text of situation -246 as the database holds it (0x96 is the en dash).
    static QString textoAguardando() { return QString::fromUtf8("Aguardando Orçamento – revisão"); }

    void SetUp() override {
        // The framework fixture renews the analysis types: what refers to them goes first.
        clearTables({"mov_analise_equipamento", "mov_analise", "tab_equipamento_cli", "tab_resultado_ideal",
                     "tab_produto_equipamento", "tab_tp_equipamento", "cad_produto_base", "tab_opcao_tabela",
                     "cad_pessoa"});
        FrameworkTest::SetUp();
        for (auto [id, nome] :
             {std::pair{1, "Biocida Oxidante"}, {2, "Dispersante Acrílico"}, {3, "Inibidor de Corrosão"}})
            s_db->exec(
                QString("insert into cad_produto_base (id_produto_base, nm_produto_base) values (%1, '%2')")
                    .arg(id)
                    .arg(QString::fromUtf8(nome)));
        s_db->exec(QString::fromUtf8(
            "insert into tab_tp_equipamento values (1, 'Caldeira', 'Análise de Água de Caldeira')"));
        s_db->exec(QString::fromUtf8("insert into tab_tp_equipamento values (2, 'Torre de Resfriamento', "
                                     "'Análise de Água de Torre')"));
        const std::pair<int, QString> situacoes[] = {{-245, "Proposta Aprovada"},
                                                     {-246, textoAguardando()},
                                                     {-247, "Proposta Recusada"},
                                                     {-248, "Equipamento Desativado"}};
        for (const auto& [id, texto] : situacoes)
            s_db->exec(
                QString("insert into tab_opcao_tabela (id_opcao_tabela, id_tabela, ds_opcao_tabela) values "
                        "(%1, 75, '%2')")
                    .arg(id)
                    .arg(texto));
        s_db->exec(
            "insert into tab_opcao_tabela (id_opcao_tabela, id_tabela, ds_opcao_tabela) values (1, 12, "
            "'Gerente')");
        for (auto [id, nome] :
             {std::pair{30, "HOTEL SERRA AZUL"}, {31, "LATICÍNIOS BOA VISTA"}, {32, "CARLOS MENDES"}})
            s_db->exec(
                QString("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, ct_cliente) "
                        "values (%1, '%1', '%2', '%2', 'S')")
                    .arg(id)
                    .arg(QString::fromUtf8(nome)));
        s_db->exec(
            "insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, "
            "nm_equipamento, no_proposta, id_sitaucao_equipamento, dt_situacao_equipamento) values (1, 30, "
            "1, 'Caldeira 01', '0042/2023', -245, '2023-11-20')");
        s_db->exec("insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, "
                   "nm_equipamento, id_sitaucao_equipamento, dt_situacao_equipamento) values (2, 31, 2, "
                   "'Torre TR-01', -246, '2024-01-10')");
        s_db->exec(
            "insert into mov_analise (id_analise, dt_coleta, dt_recebimento, id_cliente, id_representante, "
            "id_responsavel_tecnico, id_tp_equipamento) values (1, '2024-02-01', '2024-02-02', 30, 32, 32, "
            "1)");
        s_db->exec(
            "insert into mov_analise_equipamento (id_analise_equipamento, id_analise, id_equipamento_cli) "
            "values (1, 1, 1)");
        login(-1);
    }

    template <class T> T* abre(const char* nome) {
        main->abreTelaRegistrada(nome);
        pump();
        auto* t = main->findChild<T*>(nome);
        EXPECT_TRUE(t) << nome;
        return t;
    }
    template <class W> static W* obj(QWidget* w, const char* nome) {
        W* o = w->findChild<W*>(nome);
        EXPECT_TRUE(o) << nome;
        return o;
    }

    // Clicks into an edit and replaces its text by typing.
    static void substitui(QWidget* caixa, const QString& texto) {
        if (auto* c = qobject_cast<QComboBox*>(caixa); c && c->lineEdit()) caixa = c->lineEdit();
        QTest::mouseClick(caixa, Qt::LeftButton);
        tecla(Qt::Key_A, Qt::ControlModifier);
        tecla(Qt::Key_Backspace);
        digita(texto);
    }
    // Clicks the tab of a page.
    static void clicaAba(QTabWidget* pc, int pagina) {
        QTabBar* barra = pc->tabBar();
        QTest::mouseClick(barra, Qt::LeftButton, {}, barra->tabRect(pagina).center());
    }
    // Clicks a row of a grid (with modifiers for several rows).
    static void clicaLinha(DBGrid* g, int linha, Qt::KeyboardModifiers m = Qt::NoModifier) {
        const QRect r = g->visualRect(g->model()->index(linha, 0));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, m, r.center());
    }
    static QString celula(DBGrid* g, int linha, int coluna) {
        return g->model()->index(linha, coluna).data().toString();
    }

    QVariant scalar(const QString& sql) { return s_db->scalar(sql); }

    FixedClock relogio{QDateTime(QDate(2024, 3, 15), QTime(9, 0))};
    ScopedClock relogioScope{relogio};
};

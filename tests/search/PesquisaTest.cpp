// The filter builder through its real window: offered fields, row rule, every editor kind with
// its conditions, ranges, base condition and ordering, and the mended quoting and field boxes.
#include "SearchFixture.h"
#include "lab/UnTipoAnalise.h"
#include "platform/Clock.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include "search/UnOrdena.h"
#include "search/UnPesquisa.h"
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>

namespace {

TEST(PesquisaSqlTest, PiecesOfTheStatement) {
    EXPECT_EQ(CondicaoTexto("NM_PESQUISA", "ab"), "UPPER(NM_PESQUISA) like UPPER('ab%') and ");
    EXPECT_EQ(CondicaoTexto("NM_PESQUISA", ""), "NM_PESQUISA is Null and ");
    EXPECT_EQ(CondicaoMemo("TX_OBS", "ab"), "TX_OBS like 'ab%' and ");
    EXPECT_EQ(CondicaoNumero("VL_RESULTADO", 0, 9999999), "VL_RESULTADO between 0 and 9999999 and ");
    EXPECT_EQ(CondicaoNumero("VL_RESULTADO", 0, 0), " ( VL_RESULTADO is Null or VL_RESULTADO = 0 )  and ");
    EXPECT_EQ(CondicaoNumero("VL_RESULTADO", 2.5, 0), "VL_RESULTADO = 2.5 and ");
    EXPECT_EQ(CondicaoNumero("VL", -1234.5, 0.1), "VL between -1234.5 and 0.1 and ");
    EXPECT_EQ(CondicaoData("DT", QDate(2024, 3, 1), QDate(2024, 3, 31)),
              "DT between '03/01/2024' and '03/31/2024' and ");
    EXPECT_EQ(CondicaoData("DT", QDate(), QDate(2024, 3, 31)),
              "DT between '12/30/1899' and '03/31/2024' and ");
    EXPECT_EQ(CondicaoData("DT", QDate(2024, 3, 1), QDate()), "DT = '03/01/2024' and ");
    EXPECT_EQ(CondicaoData("DT", QDate(), QDate()), "DT is Null and ");
    EXPECT_EQ(CondicaoLookup("ID_CLIENTE", 15), "ID_CLIENTE = 15 and ");
    EXPECT_EQ(CondicaoLookup("SG_ESTADO", "SP"), "SG_ESTADO = 'SP' and ");
    EXPECT_EQ(CondicaoLookup("ID_CLIENTE", QVariant()), "ID_CLIENTE is Null and ");
    // Quotes never break the statement: they are doubled, the prefix match stays.
    EXPECT_EQ(CondicaoTexto("NM", "d'a"), "UPPER(NM) like UPPER('d''a%') and ");
    EXPECT_EQ(CondicaoLookup("SG_ESTADO", "O'"), "SG_ESTADO = 'O''' and ");
    // A text key of another column is quoted too, not written as a number.
    EXPECT_EQ(CondicaoLookup("CD_GRUPO", "A1"), "CD_GRUPO = 'A1' and ");
}

TEST(PesquisaSqlTest, BaseConditionAndOrdering) {
    const QString S = "select * from mov_analise where 0=0 order by DT_COLETA desc";
    EXPECT_EQ(MontaSQLPesquisa(S, "", "", true, {}), "select * from mov_analise  where 0=1 ");
    EXPECT_EQ(MontaSQLPesquisa(S, "where id_analise = 7", "order by DT_COLETA desc", true, {}),
              "select * from mov_analise  where 0=1  and  id_analise = 7");
    EXPECT_EQ(MontaSQLPesquisa(S, "where id_analise = 7", "", false, {"X = 1 and "}),
              "select * from mov_analise  where  id_analise = 7 and X = 1 ");
    // Only rows that add nothing (check boxes): no condition at all means no rows.
    EXPECT_EQ(MontaSQLPesquisa(S, "", "", false, {""}), "select * from mov_analise  where 0=1 ");
    EXPECT_EQ(MostrarTodosSQL(S, "where id_analise = 7", "order by DT_COLETA desc"),
              "select * from mov_analise  where 0=0  and  id_analise = 7 order by DT_COLETA desc");
}

TEST(PesquisaSqlTest, NumbersInGeneralFormatWithADecimalDot) {
    EXPECT_EQ(NumeroPesquisaSQL(1234.5), "1234.5");
    EXPECT_EQ(NumeroPesquisaSQL(9999999), "9999999");
    EXPECT_EQ(NumeroPesquisaSQL(0.1 + 0.2), "0.3");
    EXPECT_EQ(DataPesquisaSQL(QDate()), "12/30/1899");
}

class PesquisaTest : public SearchTest {
protected:
    // Opens the filter builder from the toolbar and runs the steps in it.
    void pesquisa(std::function<void(TfrmPesquisa&)> passos) {
        noDialogo<TfrmPesquisa>(std::move(passos));
        QTest::mouseClick(main->bttPesquisa, Qt::LeftButton);
        pump();
        EXPECT_TRUE(dialogoVisto());
    }
    static void clica(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
};

TEST_F(PesquisaTest, OffersLabelledFieldsExceptBlobsAndKeysAndDisablesBoxesByFieldCount) {
    abre();
    pesquisa([](TfrmPesquisa& d) {
        EXPECT_EQ(d.windowTitle(), "Pesquisar");
        EXPECT_EQ(d.cb1->rotulos(),
                  QStringList({"Código", "Nome", "Frascos", "Medida", "Fator", "Coleta", "Registro", "Hora",
                               "Urgente", "UF", "Observação", "Cliente", "Estado"}));
        EXPECT_EQ(d.cb1->toolTip(), "Selecione o Campo para Pesquisa");
        for (CampoCombo* c : {d.cb1, d.cb2, d.cb3})
            EXPECT_TRUE(c->isEnabled());
        EXPECT_EQ(foco(), d.cb1);
    });
    logout();
    login(-1);
    for (auto [sql, ativas] : {std::pair{"select NM_AMOSTRA from TST_AMOSTRA", 1},
                               {"select NM_AMOSTRA, CD_AMOSTRA from TST_AMOSTRA", 2}}) {
        abre(sql, "Amostras", false);
        pesquisa([ativas = ativas](TfrmPesquisa& d) {
            const CampoCombo* caixas[3] = {d.cb1, d.cb2, d.cb3};
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(caixas[i]->isEnabled(), i < ativas) << i;
                EXPECT_EQ(caixas[i]->styleSheet().contains("192, 192, 192"), i >= ativas) << i;
            }
        });
        main->bttFecharClick();
        pump();
    }
}

TEST_F(PesquisaTest, ADatasetWithoutFieldsDisablesEveryBox) {
    abre();
    // A list that was never opened has no fields.
    Query nunca(&main->IBSolution);
    nunca.setSqlText("select * from TST_AMOSTRA");
    DataSource vazio("vazio", &nunca);
    main->dsAtual = &vazio;
    pesquisa([](TfrmPesquisa& d) {
        for (CampoCombo* c : {d.cb1, d.cb2, d.cb3})
            EXPECT_FALSE(c->isEnabled());
        EXPECT_TRUE(d.cb1->rotulos().isEmpty());
    });
    main->dsAtual = nullptr;
}

TEST_F(PesquisaTest, EditorsFollowTheFieldKindAndAFieldLivesInOneRowOnly) {
    abre();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        EXPECT_TRUE(d.findChild<QLineEdit*>("me1"));
        substitui(d.cb1, "Observação");
        EXPECT_FALSE(d.findChild<QLineEdit*>("me1"));
        EXPECT_TRUE(d.findChild<QLineEdit*>("memo1"));
        substitui(d.cb1, "Medida");
        auto* de = d.findChild<NumeroEdit*>("ce1");
        auto* ate = d.findChild<NumeroEdit*>("ce1b");
        ASSERT_TRUE(de && ate);
        EXPECT_EQ(de->text(), "0,00");
        EXPECT_EQ(ate->text(), "9999999,00");
        EXPECT_EQ(d.findChild<QLabel*>("lb1")->text(), "à");
        substitui(d.cb2, "Frascos");
        EXPECT_EQ(d.findChild<NumeroEdit*>("ce2b")->text(), "9999999");
        substitui(d.cb2, "Coleta");
        EXPECT_FALSE(d.findChild<NumeroEdit*>("ce2"));
        ASSERT_TRUE(d.findChild<DBDateEdit*>("de2"));
        EXPECT_EQ(d.findChild<DBDateEdit*>("de2")->date(), appClock().today());
        EXPECT_EQ(d.findChild<DBDateEdit*>("de2b")->date(), appClock().today());
        substitui(d.cb3, "Urgente");
        ASSERT_TRUE(d.findChild<QCheckBox*>("ch3"));
        EXPECT_TRUE(d.findChild<QCheckBox*>("ch3")->isChecked());
        EXPECT_EQ(d.findChild<QCheckBox*>("ch3")->text(), "");
        substitui(d.cb3, "Cliente");
        auto* lc = d.findChild<DBLookupCombo*>("lc3");
        ASSERT_TRUE(lc);
        EXPECT_FALSE(d.findChild<QCheckBox*>("ch3"));
        EXPECT_EQ(lc->count(), 3); // the people of the lookup list
        EXPECT_TRUE(lc->keyValue().isNull());
        // The field of row 2 chosen in row 1 (leaving the box chooses it): row 2 empties and
        // loses its editor.
        substitui(d.cb1, "Coleta");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(d.cb2->currentText(), "");
        EXPECT_FALSE(d.findChild<DBDateEdit*>("de2"));
        EXPECT_TRUE(d.findChild<DBDateEdit*>("de1"));
        EXPECT_FALSE(d.findChild<NumeroEdit*>("ce1"));
        // Emptying a box removes its editor and offers the fields again.
        substitui(d.cb3, "");
        EXPECT_FALSE(d.findChild<DBLookupCombo*>("lc3"));
        EXPECT_EQ(d.cb3->rotulos().size(), 13);
    });
}

TEST_F(PesquisaTest, UnsupportedFieldTypeIsReportedAndLeavesNoEditor) {
    abre();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        substitui(d.cb1, "Hora");
        EXPECT_EQ(d.editorDaLinha(0), TfrmPesquisa::Editor::Nenhum);
        EXPECT_FALSE(d.findChild<QLineEdit*>("me1"));
    });
    ASSERT_GE(dialogs.messageCount(), 1);
    EXPECT_TRUE(dialogs.texts().contains("Tipo de Campo não encontrado."))
        << dialogs.texts().join('|').toStdString();
}

TEST_F(PesquisaTest, TextRowIsACaseInsensitivePrefixMatchAndKeepsTheBaseOrdering) {
    TfrmAmostraTeste* t = abre();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(foco(), d.findChild<QLineEdit*>("me1"));
        digita("a");
        clica(d.bttPesquisar);
    });
    EXPECT_TRUE(
        t->qAmostra.sqlText().endsWith(" where UPPER(NM_AMOSTRA) like UPPER('a%')  order by CD_AMOSTRA"))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00050", "00051"}));
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.002");
}

TEST_F(PesquisaTest, QuotesTypedOrChosenAreDoubledAndStillMatch) {
    TfrmAmostraTeste* t = abre();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        tecla(Qt::Key_Tab);
        digita("d'a");
        clica(d.bttAplicar);
        EXPECT_TRUE(d.isVisible()); // Aplicar keeps the window open
    });
    EXPECT_TRUE(t->qAmostra.sqlText().contains("UPPER(NM_AMOSTRA) like UPPER('d''a%')"));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00044"}));
    EXPECT_EQ(dialogs.messageCount(), 0);

    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Estado");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(foco(), d.findChild<DBLookupCombo*>("lc1"));
        digita("Estado com");
        EXPECT_EQ(d.findChild<DBLookupCombo*>("lc1")->keyValue().toString(), "O'");
        clica(d.bttPesquisar);
    });
    EXPECT_TRUE(t->qAmostra.sqlText().contains("SG_ESTADO = 'O'''")) << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00051"}));
}

TEST_F(PesquisaTest, StateAbbreviationAndClientKeysFromTheLookupLists) {
    TfrmAmostraTeste* t = abre();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Estado");
        tecla(Qt::Key_Tab);
        digita("São");
        substitui(d.cb2, "Cliente");
        tecla(Qt::Key_Tab);
        digita("Cliente");
        clica(d.bttPesquisar);
    });
    EXPECT_TRUE(
        t->qAmostra.sqlText().contains(" where SG_ESTADO = 'SP' and ID_CLIENTE = 10  order by CD_AMOSTRA"))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042", "00044"}));
    // Nothing chosen: rows without a key.
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Cliente");
        clica(d.bttPesquisar);
    });
    EXPECT_TRUE(t->qAmostra.sqlText().contains(" where ID_CLIENTE is Null "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00050"}));
}

TEST_F(PesquisaTest, NumberRowsRangesDefaultsZeroAndDecimalComma) {
    TfrmAmostraTeste* t = abre();
    auto filtra = [&](const QString& de, const QString& ate) {
        pesquisa([&](TfrmPesquisa& d) {
            substitui(d.cb1, "Medida");
            if (!de.isNull()) substitui(d.findChild<NumeroEdit*>("ce1"), de);
            if (!ate.isNull()) substitui(d.findChild<NumeroEdit*>("ce1b"), ate);
            clica(d.bttPesquisar);
        });
        return t->qAmostra.sqlText();
    };
    // Defaults: 0 to 9999999, so negative values and empty ones stay out.
    EXPECT_TRUE(filtra(QString(), QString()).contains("VL_MEDIDA between 0 and 9999999 "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042", "00043", "00044"}));
    EXPECT_TRUE(filtra(QString(), "0").contains(" ( VL_MEDIDA is Null or VL_MEDIDA = 0 )  "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00043", "00050"}));
    EXPECT_TRUE(filtra("2,5", "0").contains("VL_MEDIDA = 2.5 "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00044"}));
    EXPECT_TRUE(filtra("1.234,5", "").contains("VL_MEDIDA = 1234.5 "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042"}));
    EXPECT_TRUE(filtra("-10", "1.234,5").contains("VL_MEDIDA between -10 and 1234.5 "));
    EXPECT_EQ(codigos(t->qAmostra).size(), 4);
}

TEST_F(PesquisaTest, DateRowsWithEmptyAndToOnlyRanges) {
    TfrmAmostraTeste* t = abre();
    auto filtra = [&](const QString& de, const QString& ate) {
        pesquisa([&](TfrmPesquisa& d) {
            substitui(d.cb1, "Coleta");
            substitui(d.findChild<DBDateEdit*>("de1"), de);
            substitui(d.findChild<DBDateEdit*>("de1b"), ate);
            clica(d.bttPesquisar);
        });
        return t->qAmostra.sqlText();
    };
    EXPECT_TRUE(filtra("01032024", "31032024").contains("DT_COLETA between '03/01/2024' and '03/31/2024' "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042", "00043", "00051"}));
    // Only "to": from the zero date.
    EXPECT_TRUE(filtra("", "20032024").contains("DT_COLETA between '12/30/1899' and '03/20/2024' "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042", "00043"}));
    EXPECT_TRUE(filtra("02042024", "").contains("DT_COLETA = '04/02/2024' "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00044"}));
    EXPECT_TRUE(filtra("", "").contains("DT_COLETA is Null "));
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00050"}));
    // An impossible date is refused with a message as the box is left, and the date comes back.
    pesquisa([&](TfrmPesquisa& d) {
        substitui(d.cb1, "Coleta");
        substitui(d.findChild<DBDateEdit*>("de1"), "31022024");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(d.findChild<DBDateEdit*>("de1")->date(), appClock().today());
    });
    EXPECT_TRUE(dialogs.texts().contains("Data inválida"));
}

TEST_F(PesquisaTest, MemoRowAndCheckBoxRowsAndTheEmptyFilter) {
    TfrmAmostraTeste* t = abre();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Observação");
        tecla(Qt::Key_Tab);
        digita("ab");
        substitui(d.cb2, "Urgente");
        clica(d.bttPesquisar);
    });
    EXPECT_TRUE(t->qAmostra.sqlText().contains(" where TX_OBS like 'ab%'  order by"))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00043", "00051"}));
    // All boxes empty: no rows, and no ordering is appended.
    pesquisa([this](TfrmPesquisa& d) { clica(d.bttPesquisar); });
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(" where 0=1 ")) << t->qAmostra.sqlText().toStdString();
    EXPECT_TRUE(t->qAmostra.active());
    EXPECT_EQ(codigos(t->qAmostra).size(), 0);
    // Show all brings every row back within the base condition, the boxes untouched.
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        clica(d.bttMostrarTodos);
        EXPECT_EQ(d.cb1->currentText(), "Nome");
        EXPECT_TRUE(d.findChild<QLineEdit*>("me1"));
        tecla(Qt::Key_Escape);
    });
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(" where 0=0  order by CD_AMOSTRA"));
    EXPECT_EQ(codigos(t->qAmostra).size(), 5);
}

TEST_F(PesquisaTest, BaseConditionAndBaseOrderingSurviveEveryApplyAndAUserSort) {
    TfrmAmostraTeste* t = abre("select * from TST_AMOSTRA where ID_CLIENTE = 10 order by NM_AMOSTRA desc");
    EXPECT_EQ(main->mywhere, "where ID_CLIENTE = 10 ");
    pesquisa([this](TfrmPesquisa& d) { clica(d.bttAplicar); });
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(" where 0=1  and  ID_CLIENTE = 10 "))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra).size(), 0);
    // A user sort (F9) is replaced by the base ordering on the next apply.
    todos();
    noDialogo<TfrmOrdena>([this](TfrmOrdena& d) {
        substitui(d.cb1, "Código");
        QTest::mouseClick(d.bttOrdena, Qt::LeftButton);
    });
    t->edtNome->setFocus();
    QTest::keyClick(t->edtNome, Qt::Key_F9);
    pump();
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(" order by CD_AMOSTRA asc "))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042", "00044"}));
    noDialogo<TfrmPesquisa>([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Frascos");
        QTest::mouseClick(d.bttPesquisar, Qt::LeftButton);
    });
    t->edtNome->setFocus();
    QTest::keyClick(t->edtNome, Qt::Key_F8);
    pump();
    EXPECT_TRUE(t->qAmostra.sqlText().endsWith(
        " where  ID_CLIENTE = 10  and NO_FRASCOS between 0 and 9999999  order by NM_AMOSTRA desc"))
        << t->qAmostra.sqlText().toStdString();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042", "00044"}));
}

TEST_F(PesquisaTest, ReproducesTheAnalysisListExample) {
    s_db->exec("delete from mov_analise");
    s_db->exec(
        "insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa) values (15, '15', 'Quinze', "
        "'Quinze')");
    s_db->exec(
        "insert into tab_tp_equipamento (id_tp_equipamento, nm_tp_equipamento) values (1, 'Caldeira')");
    s_db->exec("insert into mov_analise values (1, '2024-03-02', '2024-03-03', null, null, 15, 10, 10, 1)");
    s_db->exec("insert into mov_analise values (2, '2024-04-02', '2024-04-03', null, null, 15, 10, 10, 1)");
    s_db->exec("insert into mov_analise values (3, '2024-03-10', '2024-03-11', null, null, 11, 10, 10, 1)");
    Query q(&main->IBSolution, nullptr, "IBQ_Mov_Analise");
    q.setSqlText("select * from mov_analise order by DT_COLETA desc");
    q.defineField("DT_COLETA").displayLabel = "Data Coleta";
    q.defineLookupField("lkCliente", "Cliente", 40, "ID_CLIENTE", &lookup->IBQ_Pessoas, "ID_PESSOA",
                        "NM_PESQUISA");
    auto* t = new TfrmCadastroPadrao("frmAnaliseTeste", &q);
    main->abreTela(t);
    pump();
    q.setSqlText("select * from mov_analise where 0=0 order by DT_COLETA desc");
    q.open();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Cliente");
        tecla(Qt::Key_Tab);
        digita("Quinze");
        substitui(d.cb2, "Data Coleta");
        substitui(d.findChild<DBDateEdit*>("de2"), "01032024");
        substitui(d.findChild<DBDateEdit*>("de2b"), "31032024");
        clica(d.bttPesquisar);
    });
    EXPECT_EQ(q.sqlText(),
              "select * from mov_analise  where ID_CLIENTE = 15 and DT_COLETA between '03/01/2024' and "
              "'03/31/2024'  order by DT_COLETA desc");
    EXPECT_EQ(q.recordCount(), 1);
    main->bttFecharClick();
    pump();
    s_db->exec("delete from mov_analise");
    s_db->exec("delete from cad_pessoa where id_pessoa = 15");
    s_db->exec("delete from tab_tp_equipamento");
}

TEST_F(PesquisaTest, FieldBoxesSettleOnlyOnTheirLabels) {
    TfrmAmostraTeste* t = abre();
    todos();
    const QString antes = t->qAmostra.sqlText();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        // A text that is not a label: leaving the box says so and puts the choice back.
        substitui(d.cb1, "Nomes antigos");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(d.cb1->currentText(), "Nome");
        EXPECT_TRUE(d.findChild<QLineEdit*>("me1"));
        ASSERT_EQ(dialogs.messageCount(), 1);
        EXPECT_EQ(dialogs.lastMessage().text,
                  "O campo \"Nomes antigos\" não está na lista. Selecione um dos campos oferecidos.");
        // The label in another letter case is taken as the label.
        substitui(d.cb2, "frascos");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(d.cb2->currentText(), "Frascos");
        // Applying with the focus still in a box that holds a stray text (Alt+A) refuses.
        substitui(d.cb3, "Inexistente");
        tecla(Qt::Key_A, Qt::AltModifier);
    });
    EXPECT_EQ(t->qAmostra.sqlText(), antes);
    EXPECT_TRUE(dialogs.lastMessage().text.startsWith("O campo \"Inexistente\""))
        << dialogs.lastMessage().text.toStdString();
}

TEST_F(PesquisaTest, ALabelThatTypingCompletesClearsNoOtherRowOnlyAChoiceDoes) {
    TfrmAmostraTeste* t = abre();
    pesquisa([this, t](TfrmPesquisa& d) {
        substitui(d.cb1, "Código");
        tecla(Qt::Key_Tab);
        digita("0004");
        // Typing "Coleta" in row 2 passes "Código" (its "C" completes to the field of row 1):
        // row 1 keeps its field and what was typed for it.
        QTest::mouseClick(d.cb2->lineEdit(), Qt::LeftButton);
        digita("C");
        EXPECT_EQ(d.cb2->currentText(), "Código");
        EXPECT_EQ(d.cb1->currentText(), "Código");
        digita("oleta");
        tecla(Qt::Key_Tab);
        EXPECT_EQ(d.cb1->currentText(), "Código");
        ASSERT_TRUE(d.findChild<QLineEdit*>("me1"));
        EXPECT_EQ(d.findChild<QLineEdit*>("me1")->text(), "0004");
        ASSERT_TRUE(d.findChild<DBDateEdit*>("de2"));
        substitui(d.findChild<DBDateEdit*>("de2"), "01032024");
        substitui(d.findChild<DBDateEdit*>("de2b"), "31032024");
        QTest::mouseClick(d.bttAplicar, Qt::LeftButton);
        EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042", "00043"}));
        // Choosing the field of row 1 in row 3 (Enter confirms it) moves it there.
        substitui(d.cb3, "Código");
        tecla(Qt::Key_Return);
        EXPECT_EQ(d.cb1->currentText(), "");
        EXPECT_FALSE(d.findChild<QLineEdit*>("me1"));
        EXPECT_EQ(d.cb3->currentText(), "Código");
    });
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
}

TEST_F(PesquisaTest, TextTheColumnCannotHoldIsRefusedAsTypedOrPasted) {
    TfrmAmostraTeste* t = abre();
    pesquisa([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        tecla(Qt::Key_Tab);
        auto* me1 = d.findChild<QLineEdit*>("me1");
        ASSERT_EQ(foco(), me1);
        digita("Ág");
        digita(QString::fromUtf8("✓"));
        EXPECT_EQ(me1->text(), "Ág");
        ASSERT_EQ(dialogs.messageCount(), 1);
        EXPECT_EQ(
            dialogs.lastMessage().text,
            QString::fromUtf8("O campo \"Nome\" contém o caractere \"✓\", que não pode ser gravado. Use "
                              "apenas letras, números e símbolos do alfabeto latino."));
        QApplication::clipboard()->setText(QString::fromUtf8("ua de caldeira 日本"));
        tecla(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(me1->text(), "Ág");
        EXPECT_EQ(dialogs.messageCount(), 2);
        // Longer than the column (40): refused whole, naming the widths.
        QApplication::clipboard()->setText(QString(41, 'x'));
        tecla(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(me1->text(), "Ág");
        EXPECT_EQ(dialogs.lastMessage().text,
                  "O campo \"Nome\" aceita no máximo 40 caracteres (foram informados 43).");
        QApplication::clipboard()->setText("ua de");
        tecla(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(me1->text(), "Água de");
        QTest::mouseClick(d.bttPesquisar, Qt::LeftButton);
    });
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00042"}));
    EXPECT_EQ(dialogs.messageCount(), 3) << dialogs.texts().join('|').toStdString();
}

TEST_F(PesquisaTest, AnEditOfTheListIsSettledBeforeTheFilterOrTheSortReopensIt) {
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    auto* t = main->findChild<TfrmTipoAnalise*>("frmTipoAnalise");
    ASSERT_TRUE(t);
    DataSet* q = t->dsPadrao.dataSet();
    auto edita = [&](const QString& texto) {
        substitui(t->edtNome, texto);
        ASSERT_EQ(q->state(), DataSetState::Edit);
    };
    auto nome1 = [&] {
        return s_db->scalar("select nm_tp_analise from tab_tp_analise where id_tp_analise = 1");
    };
    todos();
    edita("Cloretos");
    pesquisa([&](TfrmPesquisa& d) {
        substitui(d.cb1, "Tipo de Análise");
        tecla(Qt::Key_Tab);
        // "Cancelar" ends the apply: the list and its edit stay.
        dialogs.queueAnswer(MsgAnswer::Cancel);
        QTest::mouseClick(d.bttAplicar, Qt::LeftButton);
        EXPECT_EQ(dialogs.lastMessage().text, "Salvar alterações ?");
        EXPECT_EQ(dialogs.lastMessage().buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(q->state(), DataSetState::Edit);
        EXPECT_EQ(q->fieldByName("NM_TP_ANALISE")->asString(), "Cloretos");
        // "Não" drops the change and the list shows every row again.
        dialogs.queueAnswer(MsgAnswer::No);
        QTest::mouseClick(d.bttMostrarTodos, Qt::LeftButton);
        EXPECT_EQ(q->state(), DataSetState::Browse);
        q->fetchAll();
        EXPECT_EQ(q->recordCount(), 5);
    });
    EXPECT_EQ(nome1().toString(), "Análise 1");
    EXPECT_EQ(dialogs.messageCount(), 2);
    t->edtNome->setFocus();
    edita("Cloretos");
    noDialogo<TfrmOrdena>([&](TfrmOrdena& d) {
        substitui(d.cb1, "Tipo de Análise");
        tecla(Qt::Key_Tab);
        dialogs.queueAnswer(MsgAnswer::Cancel);
        QTest::mouseClick(d.bttAplicar, Qt::LeftButton);
        EXPECT_EQ(q->state(), DataSetState::Edit);
        // "Sim" saves it first.
        dialogs.queueAnswer(MsgAnswer::Yes);
        QTest::mouseClick(d.bttOrdena, Qt::LeftButton);
    });
    QTest::mouseClick(main->bttOrdena, Qt::LeftButton);
    pump();
    EXPECT_EQ(dialogs.messageCount(), 4) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(nome1().toString(), "Cloretos");
    EXPECT_EQ(q->state(), DataSetState::Browse);
    q->first();
    EXPECT_EQ(q->fieldByName("NM_TP_ANALISE")->asString(), "Análise 2");
    // Applying a filter with a record in edit asks too; "Sim" saves and then filters.
    edita("Zinco");
    pesquisa([&](TfrmPesquisa& d) {
        substitui(d.cb1, "Tipo de Análise");
        tecla(Qt::Key_Tab);
        digita("zi");
        dialogs.queueAnswer(MsgAnswer::Yes);
        QTest::mouseClick(d.bttPesquisar, Qt::LeftButton);
    });
    EXPECT_EQ(s_db->scalar("select count(*) from tab_tp_analise where nm_tp_analise = 'Zinco'").toInt(), 1);
    EXPECT_EQ(q->recordCount(), 1);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.001");
}

} // namespace

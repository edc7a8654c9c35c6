// "Histórico de Alterações": the audit trail of an analysis and of one of its samples, newest
// first, narrowed to a column or a period, read-only, with the toolbar's export.
#include "AnaliseFixture.h"
#include "WorkbookReader.h"
#include "lab/UnHistoricoAlteracoes.h"
#include "lab/UnResultadosTodasAmostras.h"
#include "platform/Shell.h"
#include "search/UnParametroExcel.h"
#include <QComboBox>
#include <QDir>
#include <QPushButton>

namespace {

class HistoricoAlteracoesTest : public AnaliseTest {
protected:
    void SetUp() override {
        AnaliseTest::SetUp();
        // Analysis 7 with boilers 01 and 03 and a result each, written by another application.
        analise(7, "2024-03-10");
        amostra(70, 7, 1);
        amostra(71, 7, 3);
        resultado(6, 70, 1, "8.1");
        resultado(8, 71, 3, "1");
    }
    TfrmHistoricoAlteracoes* historico() {
        return main->findChild<TfrmHistoricoAlteracoes*>("frmHistoricoAlteracoes");
    }
    // "who | what | before | after" of the rows the history shows.
    static QStringList linhas(TfrmHistoricoAlteracoes* h) {
        QStringList r;
        DataSet* ds = h->dsPadrao.dataSet();
        for (int i = 0; i < ds->recordCount(); ++i) {
            QStringList c;
            for (const char* f : {"DS_QUEM", "DS_OPERACAO", "DS_O_QUE", "DS_ANTES", "DS_DEPOIS"})
                c << ds->valueAt(i, ds->fieldByName(f)).toString();
            r << c.join(" | ");
        }
        return r;
    }
};

TEST_F(HistoricoAlteracoesTest, TheHistoryOfAnAnalysisAndOfASampleNewestFirstNarrowedAndReadOnly) {
    // The user changes a result of each boiler in the grid; then another application changes the
    // dispatch date.
    Cadastro* t = abreNaAnalise(7);
    noDialogo<TfrmResultadosTodasAmostras>([](TfrmResultadosTodasAmostras& d) {
        digita("8,25");
        tecla(Qt::Key_Return);
        d.dbgResultados->setCurrentIndex(d.dbgResultados->model()->index(2, 4));
        digita("3500");
        tecla(Qt::Key_Return);
        clica(d.btnSalvar);
    });
    clica(t->btnResultadosAmostras);
    pump();
    s_db->exec("update mov_analise set dt_envio = '2024-03-20' where id_analise = 7");

    ASSERT_TRUE(t->btnHistorico->isEnabled());
    clica(t->btnHistorico);
    pump();
    TfrmHistoricoAlteracoes* h = historico();
    ASSERT_TRUE(h);
    EXPECT_EQ(h->windowTitle(), "Histórico de Alterações");
    EXPECT_EQ(h->lblTitulo->text(), "Análise de 10/03/2024 - HOTEL SERRA AZUL");
    const QStringList todas = linhas(h);
    ASSERT_GE(todas.size(), 3);
    EXPECT_EQ(todas.mid(0, 3).join('\n').toStdString(),
              "SYSDBA (outro aplicativo) | Alteração | Data Envio |  | 20/03/2024\n"
              "maria | Alteração | Caldeira 03 / Análise 3: Resultado | 1,00 | 3.500,00\n"
              "maria | Alteração | Caldeira 01 / Análise 1: Resultado | 8,10 | 8,25");
    // The analysis's own registration, by the other application, comes last.
    EXPECT_TRUE(todas.last().startsWith("SYSDBA (outro aplicativo) | Inclusão | "))
        << todas.last().toStdString();

    // Narrowed to the results, then to a period with no change.
    h->cbColuna->setCurrentIndex(h->cbColuna->findText("Resultado"));
    clica(h->btnFiltrar);
    EXPECT_EQ(linhas(h).size(), 4); // two inserted by the other application, two changed
    substitui(h->dtInicial, "01/01/2020");
    substitui(h->dtFinal, "31/12/2020");
    clica(h->btnFiltrar);
    EXPECT_EQ(linhas(h), QStringList());
    substitui(h->dtFinal, "01/01/2019");
    clica(h->btnFiltrar);
    EXPECT_TRUE(dialogs.lastMessage().text.contains("posterior")) << dialogs.lastMessage().text.toStdString();

    // Read-only: nothing to insert or delete; the export is there for a list with rows.
    EXPECT_FALSE(main->bttIncluir->isEnabled());
    EXPECT_FALSE(main->bttExcluir->isEnabled());
    h->cbColuna->setCurrentIndex(0);
    substitui(h->dtInicial, "");
    substitui(h->dtFinal, "");
    clica(h->btnFiltrar);
    ASSERT_TRUE(main->bttExcel->isEnabled());
    // The toolbar's "Excel" writes the list as the grid shows it.
    RecordingShell shell;
    ScopedShell usaShell(shell);
    QString arquivo;
    noDialogo<TfrmParametroExcel>([&](TfrmParametroExcel& d) {
        clica(d.btnGerarArquivo);
        arquivo = d.arquivo();
        tecla(Qt::Key_Escape);
    });
    clica(main->bttExcel);
    pump();
    const LidoPlanilha p = lePlanilha(arquivo);
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    const LidoFolha& f = p.folhas[0];
    EXPECT_EQ(f.linhas, todas.size() + 1);
    EXPECT_EQ(QStringList({f.texto("A1"), f.texto("B1"), f.texto("C1"), f.texto("D1"), f.texto("E1"),
                           f.texto("F1"), f.texto("G1")}),
              QStringList({"Quando", "Quem", "Operação", "O que", "Antes", "Depois", "Estação"}));
    EXPECT_EQ(
        QStringList({f.texto("B3"), f.texto("D3"), f.texto("E3"), f.texto("F3")}).join(" | ").toStdString(),
        "maria | Caldeira 03 / Análise 3: Resultado | 1,00 | 3.500,00");
    h->subWindow()->close();
    pump();

    // The history of one sample, from the analysed-equipment screen; a rich-text comment shows
    // as its text.
    s_db->exec(QString::fromUtf8("update mov_analise_equipamento set tx_comentario = '{\\rtf1\\ansi"
                                 "{\\fonttbl{\\f0\\fnil Tahoma;}}\\pard\\f0\\fs20 Incrusta\\''e7\\''e3o "
                                 "\\b leve\\b0\\par}' where id_analise_equipamento = 71"));
    clicaLinha(t->dbgDados, 1);
    clica(t->btnConsultar);
    pump();
    Equipamentos* e = telaEquipamentos();
    ASSERT_TRUE(e);
    ASSERT_EQ(ds(e)->fieldByName("ID_ANALISE_EQUIPAMENTO")->asInteger(), 71);
    clica(e->btnHistorico);
    pump();
    h = historico();
    ASSERT_TRUE(h);
    EXPECT_EQ(h->lblTitulo->text().toStdString(), "Amostra: Caldeira 03");
    const QStringList amostra = linhas(h);
    ASSERT_EQ(amostra.size(), 4);
    EXPECT_EQ(amostra[0].toStdString(),
              "SYSDBA (outro aplicativo) | Alteração | Caldeira 03: Comentário |  | Incrustação leve");
    EXPECT_EQ(amostra[1].toStdString(),
              "maria | Alteração | Caldeira 03 / Análise 3: Resultado | 1,00 | 3.500,00");
    EXPECT_TRUE(amostra[3].contains("Caldeira 03: Equipamento |  | 3 - Caldeira 03"))
        << amostra[3].toStdString();
}

} // namespace

// The results window of a sample: every analysis type of the equipment type with its ideal result,
// the value of the equipment's latest earlier collection and the current value; typing and saving
// replaces the sample's results, all or nothing.
#include "AnaliseFixture.h"
#include "ReportReadBack.h"
#include "lab/MarcaFaixaResultado.h"
#include "lab/unResultadoAnalise.h"
#include "platform/report/ReportPreview.h"
#include "reports/GraficoTendencia.h"
#include <QAreaSeries>
#include <QChart>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QXYSeries>

namespace {

class ResultadoAnaliseTest : public AnaliseTest {
protected:
    void SetUp() override {
        AnaliseTest::SetUp();
        // Boiler 01: December, February (analysis 1, sample 1), April; the sample worked on is of March.
        analise(5, "2023-12-10");
        amostra(50, 5, 1);
        resultado(1, 50, 1, "7.0");
        resultado(2, 50, 2, "3000");
        resultado(3, 1, 1, "7.8");
        resultado(4, 1, 3, "0");
        analise(6, "2024-04-20");
        amostra(60, 6, 1);
        resultado(5, 60, 1, "9.9");
        analise(7, "2024-03-10");
        amostra(70, 7, 1);
        resultado(6, 70, 1, "8.1");
        resultado(7, 70, 2, "2500");
    }

    // Opens the results of sample 70 and runs the steps in the window.
    void naJanela(std::function<void(TfrmResultadoAnalise&)> passos) {
        Cadastro* t = abreNaAnalise(7);
        clica(t->btnConsultar);
        pump();
        Equipamentos* e = telaEquipamentos();
        ASSERT_TRUE(e);
        noDialogo<TfrmResultadoAnalise>(std::move(passos));
        clica(e->btnConsultar);
        pump();
        EXPECT_TRUE(m_dialogoVisto);
    }
    static QString linha(TfrmResultadoAnalise& d, int r) {
        QStringList c;
        for (int i = 0; i < 4; ++i)
            c << celula(d.DBGrid1, r, i);
        return c.join(" | ");
    }
    // Types a value into the "Resultado Atual" cell of the current row and ends it with Enter
    // (an empty text clears the cell).
    static void digitaValor(const QString& valor) {
        if (valor.isEmpty()) {
            tecla(Qt::Key_Space);
            tecla(Qt::Key_Backspace);
        } else {
            digita(valor);
        }
        tecla(Qt::Key_Return);
        QApplication::processEvents();
    }
};

TEST_F(ResultadoAnaliseTest, EachTypeShowsItsIdealThePreviousCollectionsValueAndTheCurrentOne) {
    naJanela([](TfrmResultadoAnalise& d) {
        EXPECT_EQ(d.windowTitle(), "Resultado das Análises");
        EXPECT_EQ(d.lblEquipamento->text(), "Equipamento: Caldeira 01");
        ASSERT_EQ(d.DBGrid1->model()->rowCount(), 3);
        EXPECT_EQ(linha(d, 0), "Análise 1 | 7,0 a 8,5 | 7,80 | 8,10");
        EXPECT_EQ(linha(d, 1), QString::fromUtf8("Análise 2 | Máx. 3.500 |  | 2.500,00"));
        EXPECT_EQ(linha(d, 2), "Análise 3 | Ausente | 0,00 | ");
        EXPECT_EQ(d.DBGrid1->model()->headerData(3, Qt::Horizontal).toString(), "Resultado Atual");
        // Only the current value can be typed.
        EXPECT_FALSE(d.DBGrid1->model()->flags(d.DBGrid1->model()->index(0, 2)) & Qt::ItemIsEditable);
        EXPECT_TRUE(d.DBGrid1->model()->flags(d.DBGrid1->model()->index(0, 3)) & Qt::ItemIsEditable);
        d.btnCancelar->click();
    });
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500"}));
}

TEST_F(ResultadoAnaliseTest, SavingReplacesTheResultsAndAnEmptyValueRemovesOne) {
    naJanela([](TfrmResultadoAnalise& d) {
        // Enter goes down the rows, and stays on the last.
        EXPECT_EQ(QApplication::focusWidget(), d.DBGrid1);
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 0);
        digitaValor("8,25");
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 1);
        digitaValor("");
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 2);
        digitaValor("0,5");
        EXPECT_EQ(d.DBGrid1->currentIndex().row(), 2);
        clica(d.btnSalvar);
    });
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(resultados(70), QStringList({"1=8.25", "3=0.5"}));
    // New keys after the largest one left (the sample's old ones are gone); the other samples keep
    // theirs.
    EXPECT_EQ(
        scalar(
            "select min(id_analise_resultado) from mov_analise_resultado where id_analise_equipamento = 70")
            .toInt(),
        6);
    EXPECT_EQ(resultados(1), QStringList({"1=7.8", "3=0"}));

    // Every value cleared: the sample has no results left.
    naJanela([](TfrmResultadoAnalise& d) {
        digitaValor("");
        tecla(Qt::Key_Down);
        digitaValor("");
        clica(d.btnSalvar);
    });
    EXPECT_EQ(resultados(70), QStringList());
}

TEST_F(ResultadoAnaliseTest, AFailureWhileSavingKeepsTheOldResults) {
    s_db->exec("create or alter exception e_resultado 'valor recusado pelo teste'");
    s_db->exec("create or alter trigger trg_resultado for mov_analise_resultado before insert as begin if "
               "(new.vl_resultado = 666) then exception e_resultado; end");
    naJanela([this](TfrmResultadoAnalise& d) {
        digitaValor("8,3");
        digitaValor("2600");
        digitaValor("666");
        clica(d.btnSalvar);
        // The window stays open with what was typed.
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(dialogs.lastMessage().text.contains("valor recusado pelo teste"))
            << dialogs.texts().join('|').toStdString();
        EXPECT_EQ(linha(d, 2), "Análise 3 | Ausente | 0,00 | 666,00");
        clica(d.btnCancelar);
    });
    s_db->exec("drop trigger trg_resultado");
    s_db->exec("drop exception e_resultado");
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500"}));
}

TEST_F(ResultadoAnaliseTest, AValueThatIsNoNumberIsRefusedInTheGrid) {
    naJanela([this](TfrmResultadoAnalise& d) {
        digitaValor("abc");
        EXPECT_EQ(dialogs.messageCount(), 1);
        EXPECT_EQ(linha(d, 0), "Análise 1 | 7,0 a 8,5 | 7,80 | 8,10");
        // The refused value's cell stays the current one: the value typed next lands there.
        digitaValor("8,3");
        EXPECT_EQ(linha(d, 0), "Análise 1 | 7,0 a 8,5 | 7,80 | 8,30");
        clica(d.btnSalvar);
    });
    EXPECT_EQ(resultados(70), QStringList({"1=8.3", "2=2500"}));
}

TEST_F(ResultadoAnaliseTest, ATypeEnteredTwiceForTheEquipmentTypeIsOneRow) {
    s_db->exec("insert into tab_resultado_ideal values (9, 1, 1, '6,5 a 9,0')");
    const QVariant auditoria = scalar("select max(id_auditoria) from sis_ctv_auditoria");
    naJanela([](TfrmResultadoAnalise& d) {
        EXPECT_EQ(d.DBGrid1->model()->rowCount(), 3);
        clica(d.btnSalvar);
    });
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500"}));
    // Nothing changed, nothing written: the results keep their rows and the trail has no row.
    EXPECT_EQ(scalar("select min(id_analise_resultado) from mov_analise_resultado where "
                     "id_analise_equipamento = 70")
                  .toInt(),
              6);
    EXPECT_EQ(scalar("select max(id_auditoria) from sis_ctv_auditoria"), auditoria);
}

} // namespace

namespace {

// The marks of the current values: drawn text and colour of the "Resultado Atual" cell.
QString marca(TfrmResultadoAnalise& d, int r) {
    return d.marcaFaixa->textoExibido(d.DBGrid1->model()->index(r, 3));
}
QColor cor(TfrmResultadoAnalise& d, int r) {
    return d.marcaFaixa->corExibida(d.DBGrid1->model()->index(r, 3));
}

} // namespace

TEST_F(ResultadoAnaliseTest, ValuesOutOfTheirIdealRangeAreMarkedAsTypedAndSavedAsTyped) {
    naJanela([](TfrmResultadoAnalise& d) {
        const QColor normal = cor(d, 2);
        // 8,10 is inside "7,0 a 8,5"; 2.500 inside "Máx. 3.500".
        EXPECT_EQ(marca(d, 0), "8,10");
        EXPECT_EQ(marca(d, 1), "2.500,00");
        // The ideal column's tooltip tells the range read, or that there is none.
        EXPECT_EQ(d.marcaFaixa->dica(d.DBGrid1->model()->index(0, 1)), "Faixa considerada: de 7 a 8,5");
        EXPECT_EQ(d.marcaFaixa->dica(d.DBGrid1->model()->index(1, 1)),
                  QString::fromUtf8("Faixa considerada: no máximo 3.500"));
        EXPECT_TRUE(d.marcaFaixa->dica(d.DBGrid1->model()->index(2, 1)).startsWith("Sem faixa"));

        // While the value is typed, its editor turns the colour of "above".
        digita("9");
        QWidget* editor = QApplication::focusWidget();
        ASSERT_EQ(editor->objectName(), "edtResultadoAtual");
        EXPECT_EQ(editor->palette().color(QPalette::Text), MarcaFaixaResultado::corDe(PosicaoFaixa::Acima));
        EXPECT_TRUE(editor->toolTip().contains("Acima da faixa ideal (de 7 a 8,5)"));
        // Back inside the range before Enter: no colour any more.
        tecla(Qt::Key_Backspace);
        digita("8");
        EXPECT_EQ(editor->palette().color(QPalette::Text), normal);
        tecla(Qt::Key_Backspace);
        digita("6,5");
        EXPECT_EQ(editor->palette().color(QPalette::Text), MarcaFaixaResultado::corDe(PosicaoFaixa::Abaixo));
        tecla(Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(marca(d, 0), QString::fromUtf8("6,50 ▼"));
        EXPECT_EQ(cor(d, 0), MarcaFaixaResultado::corDe(PosicaoFaixa::Abaixo));

        // The bound itself is inside; above it, marked with the symbol, not by colour alone.
        digitaValor("3500");
        EXPECT_EQ(marca(d, 1), "3.500,00");
        tecla(Qt::Key_Up);
        digitaValor("3500,01");
        EXPECT_EQ(marca(d, 1), QString::fromUtf8("3.500,01 ▲"));
        EXPECT_EQ(cor(d, 1), MarcaFaixaResultado::corDe(PosicaoFaixa::Acima));
        // "Ausente" gives no range: nothing is judged.
        digitaValor("5");
        EXPECT_EQ(marca(d, 2), "5,00");
        EXPECT_EQ(cor(d, 2), normal);
        clica(d.btnSalvar);
    });
    // Nothing refused, nothing changed: the values as typed.
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(resultados(70), QStringList({"1=6.5", "2=3500.01", "3=5"}));
}

namespace {

QXYSeries* serie(QChart* c, const char* nome) {
    for (QAbstractSeries* s : c->series())
        if (s->objectName() == nome) return qobject_cast<QXYSeries*>(s);
    return nullptr;
}
QAreaSeries* faixa(QChart* c) {
    for (QAbstractSeries* s : c->series())
        if (s->objectName() == "faixaIdeal") return qobject_cast<QAreaSeries*>(s);
    return nullptr;
}
// The points of a series as "dd/MM/yyyy=value".
QStringList pontos(const QXYSeries* s) {
    QStringList out;
    for (const QPointF& p : s->points())
        out << QDateTime::fromMSecsSinceEpoch(qint64(p.x())).date().toString("dd/MM/yyyy") + '=' +
                   QString::number(p.y());
    return out;
}

} // namespace

TEST_F(ResultadoAnaliseTest, TheChartOfARowShowsTheEquipmentsHistoryWithTheIdealBandAndTheValuesOutside) {
    QTemporaryDir pasta;
    ScriptedReportPreview preview;
    ScopedReportPreview usaPreview(preview);
    naJanela([&](TfrmResultadoAnalise& d) {
        // "Gráfico" on the first row: the chart of "Análise 1" (ideal "7,0 a 8,5") of Caldeira 01.
        noDialogo<TfrmGraficoTendencia>([&](TfrmGraficoTendencia& g) {
            EXPECT_EQ(g.windowTitle(), QString::fromUtf8("Gráfico de Tendência"));
            EXPECT_EQ(g.lblEquipamento->text(), "Equipamento: Caldeira 01");
            ASSERT_EQ(g.graficos().size(), 1u);
            QChart* c = g.graficos()[0];
            EXPECT_EQ(c->title(), QString::fromUtf8("Análise 1 (ideal: 7,0 a 8,5)"));
            // Every collection of the equipment, in date order, the later one included.
            EXPECT_EQ(pontos(serie(c, "serieValores")),
                      QStringList({"10/12/2023=7", "01/02/2024=7.8", "10/03/2024=8.1", "20/04/2024=9.9"}));
            EXPECT_EQ(pontos(serie(c, "serieForaFaixa")), QStringList({"20/04/2024=9.9"}));
            QAreaSeries* banda = faixa(c);
            ASSERT_TRUE(banda);
            for (const QPointF& p : banda->upperSeries()->points())
                EXPECT_DOUBLE_EQ(p.y(), 8.5);
            for (const QPointF& p : banda->lowerSeries()->points())
                EXPECT_DOUBLE_EQ(p.y(), 7.0);
            auto* eixo = qobject_cast<QDateTimeAxis*>(c->axes(Qt::Horizontal).value(0));
            ASSERT_TRUE(eixo);
            EXPECT_EQ(eixo->format(), "dd/MM/yyyy");

            // A second type ticked: two small charts; "Ausente" has no band and no marks.
            for (int i = 0; i < g.lstTipos->count(); ++i)
                g.lstTipos->item(i)->setCheckState(Qt::Checked);
            ASSERT_EQ(g.graficos().size(), 3u);
            EXPECT_EQ(pontos(serie(g.graficos()[1], "serieValores")),
                      QStringList({"10/12/2023=3000", "10/03/2024=2500"}));
            // "Máx. 3.500": the band runs from the foot of the axis up to the bound.
            QAreaSeries* maximo = faixa(g.graficos()[1]);
            auto* eixoY = qobject_cast<QValueAxis*>(g.graficos()[1]->axes(Qt::Vertical).value(0));
            ASSERT_TRUE(maximo && eixoY);
            for (const QPointF& p : maximo->upperSeries()->points())
                EXPECT_DOUBLE_EQ(p.y(), 3500);
            for (const QPointF& p : maximo->lowerSeries()->points())
                EXPECT_DOUBLE_EQ(p.y(), eixoY->min());
            EXPECT_LT(eixoY->min(), 2500);
            EXPECT_FALSE(faixa(g.graficos()[2]));
            EXPECT_TRUE(pontos(serie(g.graficos()[2], "serieForaFaixa")).isEmpty());

            // PNG and PDF through the file dialog; printing through the preview.
            dialogs.queueFile(pasta.filePath("grafico"));
            clica(g.btnSalvarPng);
            const QImage png(pasta.filePath("grafico.png"));
            EXPECT_FALSE(png.isNull());
            EXPECT_GT(png.width(), png.height());
            dialogs.queueFile(pasta.filePath("grafico.pdf"));
            clica(g.btnSalvarPdf);
            reporttest::keep(pasta.filePath("grafico.pdf"), "grafico_tendencia.pdf");
            const QString texto = reporttest::pdfWords(pasta.filePath("grafico.pdf"));
            EXPECT_TRUE(texto.contains(QString::fromUtf8("Gráfico de Tendência"))) << texto.toStdString();
            EXPECT_TRUE(texto.contains("Equipamento: Caldeira 01"));
            EXPECT_TRUE(texto.contains(QString::fromUtf8("Análise 1: 4 valores, 1 fora da faixa")))
                << texto.toStdString();
            clica(g.btnImprimir);
            EXPECT_EQ(preview.count(), 1);
            EXPECT_EQ(preview.last().pageCount, 1);
            clica(g.btnFechar);
        });
        clica(d.btnGrafico);
        EXPECT_TRUE(m_dialogoVisto);

        // A double click on the second row: the chart of its type.
        noDialogo<TfrmGraficoTendencia>([](TfrmGraficoTendencia& g) {
            ASSERT_EQ(g.graficos().size(), 1u);
            EXPECT_TRUE(g.graficos()[0]->title().startsWith(QString::fromUtf8("Análise 2")));
        });
        const QRect r = d.DBGrid1->visualRect(d.DBGrid1->model()->index(1, 0));
        QTest::mouseDClick(d.DBGrid1->viewport(), Qt::LeftButton, {}, r.center());
        EXPECT_TRUE(m_dialogoVisto);
        clica(d.btnCancelar);
    });
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
}

TEST_F(ResultadoAnaliseTest, TheAnalysedEquipmentScreenCountsTheSamplesValuesOutOfRangeAndChartsAllItsTypes) {
    Cadastro* t = abreNaAnalise(7);
    clica(t->btnConsultar);
    pump();
    Equipamentos* e = telaEquipamentos();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->lblForaFaixa->text(), "Valores: nenhum de 2 fora da faixa");
    // A value typed above its range and saved: the count follows when the window closes.
    noDialogo<TfrmResultadoAnalise>([](TfrmResultadoAnalise& d) {
        digitaValor("9");
        digitaValor("3600");
        clica(d.btnSalvar);
    });
    clica(e->btnConsultar);
    pump();
    EXPECT_EQ(e->lblForaFaixa->text(), "Valores: 2 de 2 fora da faixa");
    noDialogo<TfrmGraficoTendencia>([](TfrmGraficoTendencia& g) {
        ASSERT_EQ(g.graficos().size(), 3u);
        EXPECT_EQ(pontos(serie(g.graficos()[0], "serieForaFaixa")),
                  QStringList({"10/03/2024=9", "20/04/2024=9.9"}));
        EXPECT_EQ(pontos(serie(g.graficos()[1], "serieForaFaixa")), QStringList({"10/03/2024=3600"}));
    });
    clica(e->btnGrafico);
    EXPECT_TRUE(m_dialogoVisto);
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
}

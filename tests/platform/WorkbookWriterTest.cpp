// The workbook writer, checked by reading its files back with an independent reader.
#include "platform/WorkbookWriter.h"
#include "WorkbookReader.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class WorkbookWriterTest : public ::testing::TestWithParam<bool> {
protected:
    QTemporaryDir dir;
    QString path(const QString& name = "teste.xlsx") const { return dir.filePath(name); }
    WorkbookWriter::Options options() const { return WorkbookWriter::Options{GetParam()}; }
};

TEST_P(WorkbookWriterTest, CellsKeepTheirKindFormatAndBoldness) {
    {
        WorkbookWriter wb(path(), options());
        const int s = wb.addSheet("Análises");
        CellFormat bold;
        bold.bold = true;
        CellFormat money;
        money.numberFormat = "#,##0.00";
        wb.writeText(s, 0, 0, "Código", wb.format(bold));
        wb.writeText(s, 0, 1, "Valor", wb.format(bold));
        wb.writeText(s, 0, 2, "Coleta", wb.format(bold));
        wb.writeText(s, 1, 0, "00042");
        wb.writeNumber(s, 1, 1, 1234.5, wb.format(money));
        wb.writeDate(s, 1, 2, QDate(2024, 3, 31));
        wb.writeText(s, 2, 0, "São Paulo – “aspas” €");
        wb.writeNumber(s, 2, 1, -7);
        wb.writeDate(s, 2, 2, QDate(1850, 1, 2)); // before the file format's first date
        wb.close();
        EXPECT_TRUE(wb.closed());
    }
    const LidoPlanilha p = lePlanilha(path());
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    ASSERT_EQ(p.folhas.size(), 1);
    const LidoFolha& f = p.folhas[0];
    EXPECT_EQ(f.nome, "Análises");
    EXPECT_TRUE(f.celula("A1").negrito);
    EXPECT_TRUE(f.celula("C1").negrito);
    EXPECT_FALSE(f.celula("A2").negrito);
    EXPECT_EQ(f.celula("A2").tipo, "s");
    EXPECT_EQ(f.texto("A2"), "00042");
    EXPECT_EQ(f.celula("B2").tipo, "n");
    EXPECT_DOUBLE_EQ(f.celula("B2").valor.toDouble(), 1234.5);
    EXPECT_EQ(f.celula("B2").formato, "#,##0.00");
    EXPECT_EQ(f.celula("C2").tipo, "d");
    EXPECT_EQ(f.texto("C2"), "2024-03-31T00:00:00");
    EXPECT_EQ(f.celula("C2").formato, "dd/mm/yyyy");
    EXPECT_EQ(f.texto("A3"), "São Paulo – “aspas” €");
    EXPECT_DOUBLE_EQ(f.celula("B3").valor.toDouble(), -7);
    EXPECT_EQ(f.celula("C3").tipo, "s");
    EXPECT_EQ(f.texto("C3"), "02/01/1850");
}

TEST_P(WorkbookWriterTest, FittedWidthsFollowTheWidestTextOfEachColumn) {
    {
        WorkbookWriter wb(path(), options());
        const int s = wb.addSheet();
        wb.writeText(s, 0, 0, "Nome");
        wb.writeText(s, 0, 1, "X");
        wb.writeText(s, 1, 0, "Um nome bem mais comprido que o título");
        wb.writeNumber(s, 1, 1, 3);
        wb.fitColumns(s);
        wb.close();
    }
    const LidoPlanilha p = lePlanilha(path());
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    const LidoFolha& f = p.folhas[0];
    EXPECT_EQ(f.nome, "Plan1");
    ASSERT_TRUE(f.larguras.contains("A"));
    ASSERT_TRUE(f.larguras.contains("B"));
    EXPECT_GT(f.larguras["A"], 30);
    EXPECT_LT(f.larguras["A"], 60);
    EXPECT_LT(f.larguras["B"], f.larguras["A"]);
    EXPECT_GE(f.larguras["B"], 4);
}

INSTANTIATE_TEST_SUITE_P(Modes, WorkbookWriterTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ConstantMemory" : "InMemory"; });

TEST(WorkbookWriterSingleTest, MergedCellsFontsAndSeveralSheets) {
    QTemporaryDir dir;
    const QString file = dir.filePath("controle.xlsx");
    {
        WorkbookWriter wb(file);
        const int a = wb.addSheet("Resumo");
        const int b = wb.addSheet("Dados: 2024/03"); // characters a sheet name may not hold
        CellFormat title;
        title.bold = true;
        title.fontName = "Arial";
        title.fontSize = 14;
        title.align = CellFormat::Align::Center;
        const auto t1 = wb.format(title);
        EXPECT_EQ(wb.format(title), t1); // one format per look
        wb.mergeCells(a, 0, 0, 0, 3, "Controle de Análises", t1);
        wb.writeText(b, 0, 0, "x");
        wb.setColumnWidth(b, 0, 0, 25);
        wb.close();
    }
    const LidoPlanilha p = lePlanilha(file);
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    ASSERT_EQ(p.folhas.size(), 2);
    EXPECT_EQ(p.folhas[0].mescladas, QStringList{"A1:D1"});
    EXPECT_EQ(p.folhas[0].texto("A1"), "Controle de Análises");
    EXPECT_TRUE(p.folhas[0].celula("A1").negrito);
    EXPECT_EQ(p.folhas[1].nome, "Dados_ 2024_03");
    EXPECT_NEAR(p.folhas[1].larguras.value("A"), 25, 1);
}

TEST(WorkbookWriterSingleTest, FailuresAreReportedInPortuguese) {
    QTemporaryDir dir;
    try {
        WorkbookWriter wb(dir.filePath("não existe/arquivo.xlsx"));
        FAIL() << "a file in a missing folder was accepted";
    } catch (const WorkbookError& e) {
        EXPECT_TRUE(e.message().startsWith("Não foi possível criar o arquivo")) << e.message().toStdString();
    }
    WorkbookWriter wb(dir.filePath("a.xlsx"));
    const int s = wb.addSheet("Folha");
    EXPECT_THROW(wb.addSheet("Folha"), WorkbookError); // repeated name
    EXPECT_THROW(wb.writeText(s + 5, 0, 0, "x"), WorkbookError);
    wb.close();
    EXPECT_THROW(wb.writeText(s, 0, 0, "x"), WorkbookError);
}

TEST(WorkbookWriterSingleTest, TextIsCutAtTheCellLimitAndControlCharactersDoNotBreakTheFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath("longo.xlsx");
    {
        WorkbookWriter wb(file);
        const int s = wb.addSheet();
        wb.writeText(s, 0, 0, QString(40000, 'a'));
        wb.writeText(s, 1, 0, QString("linha\x01um\nlinha dois"));
        wb.close();
    }
    const LidoPlanilha p = lePlanilha(file);
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    EXPECT_EQ(p.folhas[0].texto("A1").size(), 32767);
    EXPECT_EQ(p.folhas[0].texto("A2"), "linha um\nlinha dois");
}

} // namespace

// The spreadsheet export through its real window; workbooks are read back with openpyxl.
#include "SearchFixture.h"
#include "WorkbookReader.h"
#include "lab/UnTipoAnalise.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include "search/UnOrdena.h"
#include "search/UnParametroExcel.h"
#include "search/UnPesquisa.h"
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

TEST(ParametroExcelNomeTest, ProposedNameAndRefusedNames) {
    EXPECT_EQ(NomeArquivoProposto("Tipo de Equipamento"), "Tipo de Equipamento");
    EXPECT_EQ(NomeArquivoProposto("Amostras - Laboratório - 2024"), "Amostras");
    EXPECT_EQ(NomeArquivoProposto(" Sem traço "), " Sem traço ");
    EXPECT_EQ(ValidaNomeArquivo("Relatório de março"), "");
    EXPECT_EQ(ValidaNomeArquivo("   "), "Informe o nome do arquivo.");
    for (const char* ruim : {"a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\tb"})
        EXPECT_TRUE(ValidaNomeArquivo(ruim).startsWith("O nome do arquivo não pode conter")) << ruim;
    EXPECT_EQ(ValidaNomeArquivo(QString(260, 'a')), "O nome do arquivo é longo demais.");
}

class ParametroExcelTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        QDir(pasta()).removeRecursively();
    }
    QString pasta() const { return QFileInfo(exe).absolutePath() + "/Excel"; }

    // Opens the export window from the toolbar and runs the steps in it.
    void exporta(std::function<void(TfrmParametroExcel&)> passos) {
        noDialogo<TfrmParametroExcel>(std::move(passos));
        QTest::mouseClick(main->bttExcel, Qt::LeftButton);
        pump();
        EXPECT_TRUE(dialogoVisto());
        EXPECT_EQ(frmParametroExcel(), nullptr);
    }
    static void gera(TfrmParametroExcel& d) { QTest::mouseClick(d.btnGerarArquivo, Qt::LeftButton); }

    RecordingShell shellRec;
    ScopedShell shellScope{shellRec};
};

TEST_F(ParametroExcelTest, FilteredSortedListExportsItsRowsUnderABoldTitleRow) {
    TfrmAmostraTeste* t = abre();
    noDialogo<TfrmPesquisa>([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Frascos");
        substitui(d.findChild<NumeroEdit*>("ce1b"), "10");
        QTest::mouseClick(d.bttPesquisar, Qt::LeftButton);
    });
    t->edtNome->setFocus();
    QTest::keyClick(t->edtNome, Qt::Key_F8);
    noDialogo<TfrmOrdena>([this](TfrmOrdena& d) {
        substitui(d.cb1, "Código");
        QTest::mouseClick(d.ckbOrdem1, Qt::LeftButton);
        QTest::mouseClick(d.bttOrdena, Qt::LeftButton);
    });
    t->edtNome->setFocus();
    QTest::keyClick(t->edtNome, Qt::Key_F9);
    pump();
    ASSERT_EQ(codigos(t->qAmostra), QStringList({"00044", "00043", "00042"}));

    QString arquivo;
    exporta([&](TfrmParametroExcel& d) {
        EXPECT_EQ(d.windowTitle(), "Exporta Dados para o Excel");
        EXPECT_EQ(d.mskNomeArquivo->text(), "Amostras de Teste");
        EXPECT_FALSE(d.Gauge1->isVisible());
        gera(d);
        arquivo = d.arquivo();
        EXPECT_FALSE(d.Gauge1->isVisible());
        EXPECT_FALSE(d.lblAguarde->isVisible());
        EXPECT_EQ(d.Gauge1->value(), d.Gauge1->maximum());
        EXPECT_EQ(d.Gauge1->maximum(), 3 + 3);
        EXPECT_TRUE(d.isVisible()); // the window stays for another export
        tecla(Qt::Key_Escape);
    });
    EXPECT_EQ(arquivo, pasta() + "/Amostras de Teste.xlsx");
    EXPECT_EQ(shellRec.opened(), QStringList{arquivo});
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();

    const LidoPlanilha p = lePlanilha(arquivo);
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    ASSERT_EQ(p.folhas.size(), 1);
    const LidoFolha& f = p.folhas[0];
    EXPECT_EQ(f.linhas, 4);
    EXPECT_EQ(f.colunas, 8);
    const QStringList titulos{"Código", "Nome",   "Cliente", "Frascos",
                              "Medida", "Coleta", "Estado",  "Observação"};
    for (int c = 0; c < 8; ++c) {
        const QString a = QString(QChar('A' + c)) + "1";
        EXPECT_EQ(f.texto(a), titulos[c]) << a.toStdString();
        EXPECT_TRUE(f.celula(a).negrito) << a.toStdString();
        EXPECT_FALSE(f.celula(QString(QChar('A' + c)) + "2").negrito);
        EXPECT_GT(f.larguras.value(QString(QChar('A' + c))), 0) << c;
    }
    // Rows in the list's order; codes stay text with their zeros.
    EXPECT_EQ(f.texto("A2"), "00044");
    EXPECT_EQ(f.celula("A2").tipo, "s");
    EXPECT_EQ(f.texto("A3"), "00043");
    EXPECT_EQ(f.texto("A4"), "00042");
    EXPECT_EQ(f.texto("B2"), "D'Avila torre");
    // Lookup columns give the names, not the keys.
    EXPECT_EQ(f.texto("C2"), "Cliente Alfa");
    EXPECT_EQ(f.texto("C3"), "Beta D'Água");
    EXPECT_EQ(f.texto("G3"), "Rio de Janeiro");
    EXPECT_EQ(f.texto("G4"), "São Paulo");
    // Integers and fixed-point numbers are numbers; the decimal one with its display format.
    EXPECT_EQ(f.celula("D2").tipo, "n");
    EXPECT_EQ(f.celula("D2").valor.toInt(), 5);
    EXPECT_EQ(f.celula("D3").valor.toInt(), 0);
    EXPECT_EQ(f.celula("E4").tipo, "n");
    EXPECT_DOUBLE_EQ(f.celula("E4").valor.toDouble(), 1234.5);
    EXPECT_EQ(f.celula("E4").formato, "#,##0.00");
    // Dates as the list shows them, as text.
    EXPECT_EQ(f.texto("F2"), "02/04/2024");
    EXPECT_EQ(f.celula("F2").tipo, "s");
    // Long texts: the first 255 characters; an empty one leaves the cell blank.
    EXPECT_EQ(f.texto("H4"), QString(255, 'x'));
    EXPECT_EQ(f.texto("H3"), "ab obs");
    EXPECT_EQ(f.celula("H2").tipo, "");
    // The widest column is the long text.
    EXPECT_GT(f.larguras.value("H"), f.larguras.value("A"));
}

TEST_F(ParametroExcelTest, ABlankLookupKeyLeavesTheCellBlankAndAnExistingFileIsReplaced) {
    abre();
    todos();
    QDir().mkpath(pasta());
    QFile velho(pasta() + "/Amostras de Teste.xlsx");
    ASSERT_TRUE(velho.open(QIODevice::WriteOnly));
    velho.write("arquivo antigo");
    velho.close();
    exporta([](TfrmParametroExcel& d) { gera(d); });
    const LidoPlanilha p = lePlanilha(pasta() + "/Amostras de Teste.xlsx");
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    const LidoFolha& f = p.folhas[0];
    EXPECT_EQ(f.linhas, 6);
    EXPECT_EQ(f.texto("A5"), "00050");
    EXPECT_EQ(f.celula("C5").tipo, ""); // no client
    EXPECT_EQ(f.celula("D5").tipo, ""); // no number: blank, not 0
    EXPECT_EQ(f.texto("G6"), "Estado com aspa");
    EXPECT_DOUBLE_EQ(f.celula("E6").valor.toDouble(), -3);
}

TEST_F(ParametroExcelTest, AFileOpenInTheSpreadsheetProgramIsNotTouched) {
    abre();
    todos();
    QDir().mkpath(pasta());
    const QString alvo = pasta() + "/Amostras de Teste.xlsx";
    QFile aberto(alvo);
    ASSERT_TRUE(aberto.open(QIODevice::WriteOnly));
    aberto.write("em uso");
    aberto.close();
    // The spreadsheet program's lock file says the workbook is open there.
    QFile trava(pasta() + "/.~lock.Amostras de Teste.xlsx#");
    ASSERT_TRUE(trava.open(QIODevice::WriteOnly));
    trava.close();
    exporta([](TfrmParametroExcel& d) { gera(d); });
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text,
              "Não foi possivel deletar o arquivo Amostras de Teste\rFeche este arquivo caso esteja em uso.");
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.lastMessage().caption, "Aviso do Sistema");
    QFile lido(alvo);
    ASSERT_TRUE(lido.open(QIODevice::ReadOnly));
    EXPECT_EQ(lido.readAll(), "em uso");
    EXPECT_TRUE(shellRec.opened().isEmpty());

    // A name taken by something that cannot be removed gets the same answer.
    QFile::remove(trava.fileName());
    QFile::remove(alvo);
    QDir().mkpath(alvo + "/dentro");
    exporta([](TfrmParametroExcel& d) { gera(d); });
    EXPECT_EQ(dialogs.messageCount(), 2);
    EXPECT_TRUE(
        dialogs.lastMessage().text.startsWith("Não foi possivel deletar o arquivo Amostras de Teste"));
    EXPECT_TRUE(shellRec.opened().isEmpty());
}

TEST_F(ParametroExcelTest, AListWhoseRowsAreGoneAndBadNamesGetMessagesAndNoFile) {
    TfrmAmostraTeste* t = abre();
    todos();
    exporta([this](TfrmParametroExcel& d) {
        substitui(d.mskNomeArquivo, "");
        gera(d);
        EXPECT_EQ(dialogs.lastMessage().text, "Informe o nome do arquivo.");
        substitui(d.mskNomeArquivo, "Amostras 03/2024");
        gera(d);
        EXPECT_TRUE(dialogs.lastMessage().text.startsWith("O nome do arquivo não pode conter"));
        EXPECT_EQ(foco(), d.mskNomeArquivo);
    });
    EXPECT_EQ(dialogs.messageCount(), 2);
    EXPECT_FALSE(QDir(pasta()).exists());
    // The list shows one row that another workstation has removed meanwhile.
    noDialogo<TfrmPesquisa>([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        tecla(Qt::Key_Tab);
        digita("abr");
        QTest::mouseClick(d.bttPesquisar, Qt::LeftButton);
    });
    QTest::mouseClick(main->bttPesquisa, Qt::LeftButton);
    pump();
    ASSERT_EQ(codigos(t->qAmostra), QStringList{"00050"});
    s_db->exec("delete from TST_AMOSTRA where ID_AMOSTRA = 4");
    exporta([](TfrmParametroExcel& d) { gera(d); });
    s_db->exec(
        "insert into TST_AMOSTRA (ID_AMOSTRA, CD_AMOSTRA, NM_AMOSTRA) values (4, '00050', 'abrasivo')");
    ASSERT_EQ(dialogs.messageCount(), 3);
    EXPECT_EQ(dialogs.lastMessage().text, "Não foi encontrado nenhum registro para geração do arquivo.");
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_FALSE(QDir(pasta()).exists());
    EXPECT_TRUE(shellRec.opened().isEmpty());
}

TEST_F(ParametroExcelTest, AScreenWithoutTheListGridWritesAnEmptyWorkbook) {
    TfrmAmostraTeste* t = abre();
    todos();
    t->DBGrid1->setObjectName("grdOutra");
    exporta([](TfrmParametroExcel& d) { gera(d); });
    ASSERT_EQ(shellRec.opened().size(), 1);
    const LidoPlanilha p = lePlanilha(shellRec.opened().first());
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    EXPECT_TRUE(p.folhas[0].celulas.isEmpty());
}

TEST_F(ParametroExcelTest, AnalysisTypesScreenExportsUnderItsCaptionForGroupsWithTheRight) {
    login(2);
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    auto* t = main->findChild<TfrmTipoAnalise*>("frmTipoAnalise");
    ASSERT_TRUE(t);
    todos();
    ASSERT_TRUE(main->bttExcel->isEnabled());
    exporta([](TfrmParametroExcel& d) {
        EXPECT_EQ(d.mskNomeArquivo->text(), "Tipo de Ánalise");
        gera(d);
    });
    ASSERT_EQ(shellRec.opened(), QStringList{pasta() + "/Tipo de Ánalise.xlsx"});
    const LidoPlanilha p = lePlanilha(shellRec.opened().first());
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    EXPECT_EQ(p.folhas[0].texto("A1"), "Tipo de Análise");
    EXPECT_EQ(p.folhas[0].linhas, 6);
    EXPECT_EQ(p.folhas[0].texto("A6"), "Análise 5");
    // A group without the export right finds the button disabled.
    login(3);
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    todos();
    EXPECT_FALSE(main->bttExcel->isEnabled());
}

TEST_F(ParametroExcelTest, LookupTextsAreReadOnceEachAndThenFromTheWholeList) {
    for (int i = 100; i < 160; ++i)
        s_db->exec(
            QString("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa) values (%1, "
                    "'%1', 'Pessoa %1', 'Pessoa %1')")
                .arg(i));
    Query lista(&main->IBSolution);
    lista.setSqlText("select * from TST_AMOSTRA");
    lista.defineLookupField("lkCliente", "Cliente", 40, "ID_CLIENTE", &lookup->IBQ_Pessoas, "ID_PESSOA",
                            "NM_PESQUISA");
    lista.open();
    Field* lk = lista.fieldByName("lkCliente");
    Query consulta(&main->IBSolution);
    TextosLookup textos(*lk, consulta);
    EXPECT_EQ(textos.texto(11), "Beta D'Água");
    EXPECT_EQ(textos.texto(11), "Beta D'Água");
    EXPECT_EQ(textos.consultas(), 1);
    EXPECT_EQ(textos.texto(999), ""); // a key the list does not hold
    for (int i = 100; i < 160; ++i)
        EXPECT_EQ(textos.texto(i), QString("Pessoa %1").arg(i));
    // One statement per key for the first few dozen keys, then one for the whole list.
    EXPECT_EQ(textos.consultas(), 32 + 1);
    EXPECT_EQ(textos.texto(10), "Cliente Alfa");
    EXPECT_EQ(textos.texto(999), "");
    EXPECT_EQ(textos.consultas(), 33);
    s_db->exec("delete from cad_pessoa where id_pessoa >= 100");
}

TEST_F(ParametroExcelTest, AFilterOnTextHoldingTheClauseWordsCountsSortsAndExports) {
    s_db->exec("insert into TST_AMOSTRA (ID_AMOSTRA, CD_AMOSTRA, NM_AMOSTRA) values (6, '00060', "
               "'recorder where from order by x')");
    s_db->exec("insert into TST_AMOSTRA (ID_AMOSTRA, CD_AMOSTRA, NM_AMOSTRA) values (7, '00061', "
               "'Recorder where from order by y')");
    TfrmAmostraTeste* t = abre();
    noDialogo<TfrmPesquisa>([this](TfrmPesquisa& d) {
        substitui(d.cb1, "Nome");
        tecla(Qt::Key_Tab);
        digita("recorder where from order by");
        QTest::mouseClick(d.bttPesquisar, Qt::LeftButton);
    });
    QTest::mouseClick(main->bttPesquisa, Qt::LeftButton);
    pump();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00060", "00061"}));
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.002");
    noDialogo<TfrmOrdena>([this](TfrmOrdena& d) {
        substitui(d.cb1, "Código");
        QTest::mouseClick(d.ckbOrdem1, Qt::LeftButton);
        QTest::mouseClick(d.bttOrdena, Qt::LeftButton);
    });
    QTest::mouseClick(main->bttOrdena, Qt::LeftButton);
    pump();
    EXPECT_EQ(codigos(t->qAmostra), QStringList({"00061", "00060"}));
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.002");
    exporta([](TfrmParametroExcel& d) { gera(d); });
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    ASSERT_EQ(shellRec.opened().size(), 1);
    const LidoPlanilha p = lePlanilha(shellRec.opened().first());
    ASSERT_TRUE(p.ok) << p.erro.toStdString();
    EXPECT_EQ(p.folhas[0].linhas, 3);
    EXPECT_EQ(p.folhas[0].texto("A2"), "00061");
    EXPECT_EQ(p.folhas[0].texto("B3"), "recorder where from order by x");
    // Todos keeps the list's own ordering.
    todos();
    EXPECT_EQ(codigos(t->qAmostra).size(), 7);
    EXPECT_EQ(contagemMostrada(), "Registros Encontrados: 000.007");
    s_db->exec("delete from TST_AMOSTRA where ID_AMOSTRA in (6, 7)");
}

TEST_F(ParametroExcelTest, AWorkbookNoProgramOpensIsToldWhereItIs) {
    abre();
    todos();
    shellRec.setOpenResult(false);
    exporta([](TfrmParametroExcel& d) { gera(d); });
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Information);
    EXPECT_TRUE(dialogs.lastMessage().text.startsWith("A planilha foi gravada em:\r" + pasta() +
                                                      "/Amostras de Teste.xlsx\r"))
        << dialogs.lastMessage().text.toStdString();
    EXPECT_TRUE(lePlanilha(pasta() + "/Amostras de Teste.xlsx").ok);
}

TEST_F(ParametroExcelTest, ALockLeftByASpreadsheetProgramThatEndedMayBeReplaced) {
    os.setHostName("labpc");
    FakeProcesses procs;
    ScopedProcesses procScope{procs};
    abre();
    todos();
    QDir().mkpath(pasta());
    const QString alvo = pasta() + "/Amostras de Teste.xlsx";
    auto escreve = [](const QString& caminho, const QByteArray& conteudo) {
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(conteudo);
    };
    auto conteudo = [](const QString& caminho) {
        QFile f(caminho);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QString trava = pasta() + "/.~lock.Amostras de Teste.xlsx#";
    escreve(alvo, "antigo");
    // The program that wrote the lock on this workstation still runs: the workbook is open.
    escreve(trava, ",fernanda,labpc,15.03.2024 08:55,file:///home/fernanda/.config/libreoffice/4;");
    procs.add(4321, "soffice.bin");
    exporta([](TfrmParametroExcel& d) { gera(d); });
    ASSERT_EQ(dialogs.messageCount(), 1);
    EXPECT_EQ(dialogs.lastMessage().text,
              "Não foi possivel deletar o arquivo Amostras de Teste\rFeche este "
              "arquivo caso esteja em uso.\r(aberto por fernanda na estação labpc)");
    EXPECT_EQ(conteudo(alvo), "antigo");
    // Another workstation's lock cannot be checked from here: the same answer.
    escreve(trava, ",roberto,comercial02,15.03.2024 08:55,file:///home/roberto/.config/libreoffice/4;");
    procs.terminateFirst("soffice.bin");
    exporta([](TfrmParametroExcel& d) { gera(d); });
    EXPECT_TRUE(dialogs.lastMessage().text.endsWith("(aberto por roberto na estação comercial02)"));
    EXPECT_EQ(conteudo(alvo), "antigo");
    // A lock of this workstation whose program has ended is offered for replacement: "Não"
    // keeps the file, "Sim" writes the new workbook.
    escreve(trava, ",fernanda,labpc.lab.local,15.03.2024 08:55,file:///home/fernanda/.config/libreoffice/4;");
    dialogs.queueAnswer(MsgAnswer::No);
    exporta([](TfrmParametroExcel& d) { gera(d); });
    EXPECT_EQ(
        dialogs.lastMessage().text,
        "O arquivo Amostras de Teste está marcado como aberto por fernanda desde 15.03.2024 08:55, mas o "
        "programa de planilhas que o abriu não está mais em execução nesta estação.\rDeseja substituir "
        "o arquivo?");
    EXPECT_EQ(dialogs.lastMessage().buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs.lastMessage().defaultButton, MsgAnswer::No);
    EXPECT_EQ(conteudo(alvo), "antigo");
    EXPECT_TRUE(shellRec.opened().isEmpty());
    dialogs.queueAnswer(MsgAnswer::Yes);
    exporta([](TfrmParametroExcel& d) { gera(d); });
    EXPECT_EQ(dialogs.messageCount(), 4);
    EXPECT_FALSE(QFile::exists(trava));
    EXPECT_EQ(shellRec.opened(), QStringList{alvo});
    EXPECT_TRUE(lePlanilha(alvo).ok);
}

} // namespace

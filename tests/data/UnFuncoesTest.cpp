// General functions: text and number helpers, the statement runners on the general
// transaction and the lookups, on a real embedded database.
#include "data/UnFuncoes.h"
#include "DatabaseSuite.h"
#include "data/DataContext.h"
#include "platform/Errors.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.message();
    }
    return "(no error)";
}

// ---------------------------------------------------------------- text helpers

TEST(RetornaCampo, PicksFieldsIncludingEmptyOnesAndTheLast) {
    EXPECT_EQ(RetornaCampo("10;20;30", 1, ";"), "10");
    EXPECT_EQ(RetornaCampo("10;20;30", 3, ";"), "30");
    EXPECT_EQ(RetornaCampo("a;;c", 2, ";"), "");
    EXPECT_EQ(RetornaCampo("a;b;", 3, ";"), "");
    EXPECT_EQ(RetornaCampo("", 1, ";"), "");
}

TEST(RetornaCampo, MissingFieldFails) {
    EXPECT_EQ(errorOf([] { RetornaCampo("10;20;30", 4, ";"); }), "Campo não encontrado.");
    EXPECT_EQ(errorOf([] { RetornaCampo("10;20;30", 0, ";"); }), "Campo não encontrado.");
}

TEST(RetornaCampo, TakesTheQuotedTableOutOfAFieldOrigin) {
    EXPECT_EQ(RetornaCampo("\"TAB_TP_ANALISE\".\"ID_TP_ANALISE\"", 1, "."), "\"TAB_TP_ANALISE\"");
    EXPECT_EQ(RetornaCampo("\"TAB_TP_ANALISE\".\"ID_TP_ANALISE\"", 2, "."), "\"ID_TP_ANALISE\"");
}

TEST(RetornaCampo, OnlyAOneCharacterSeparatorMatches) {
    EXPECT_EQ(RetornaCampo("a;;b", 1, ";;"), "a;;b");
    EXPECT_EQ(errorOf([] { RetornaCampo("a;;b", 2, ";;"); }), "Campo não encontrado.");
}

TEST(NumberText, SqlFormAndSeparatorSwap) {
    EXPECT_EQ(FormataNumeroSQL("1.234.567,89"), "1234567.89");
    EXPECT_EQ(FormataNumeroSQL("1.234,5"), "1234.5");
    EXPECT_EQ(FormataNumeroSQL("12"), "12");
    EXPECT_EQ(TrocaSeparadorDecimal("1.234,5"), "1,234.5");
    EXPECT_EQ(TrocaSeparadorDecimal("1,234.5"), "1.234,5");
    EXPECT_EQ(RetiraAspas("\"ID\".\"X\""), "ID.X");
    EXPECT_EQ(RetiraMascara("11.222.333/0001-81"), "11222333000181");
    EXPECT_EQ(RetiraMascara("1,5"), "15");
}

TEST(FormataCNPJCPF, PunctuatesCnpjAndCpf) {
    EXPECT_EQ(FormataCNPJCPF("11222333000181"), "11.222.333/0001-81");
    EXPECT_EQ(FormataCNPJCPF("11.222.333/0001-81"), "11.222.333/0001-81");
    EXPECT_EQ(FormataCNPJCPF("12345678909"), "123.456.789-09");
    EXPECT_EQ(FormataCNPJCPF("123.456.789-09"), "123.456.789-09");
    EXPECT_EQ(FormataCNPJCPF(" 12345678909 "), "123.456.789-09");
}

TEST(FormataCNPJCPF, ShortAndEmptyInput) {
    EXPECT_EQ(FormataCNPJCPF(""), "");
    EXPECT_EQ(FormataCNPJCPF("./-"), "");
    EXPECT_EQ(FormataCNPJCPF("   "), "");
    // Missing pieces are empty; the punctuation stays.
    EXPECT_EQ(FormataCNPJCPF("12345"), "123.45.-");
    EXPECT_EQ(FormataCNPJCPF("1234567890"), "123.456.789-0");
}

TEST(DiasDoMes, MonthsAndLeapYears) {
    EXPECT_EQ(DiasDoMes("02/24"), 29);
    EXPECT_EQ(DiasDoMes("02/2024"), 29);
    EXPECT_EQ(DiasDoMes("02/23"), 28);
    EXPECT_EQ(DiasDoMes("02/1900"), 29); // no century rule
    EXPECT_EQ(DiasDoMes("04/25"), 30);
    EXPECT_EQ(DiasDoMes("12/2025"), 31);
    EXPECT_EQ(DiasDoMes("13/24"), 0);
    EXPECT_EQ(DiasDoMes("00/24"), 0);
}

TEST(DiasDoMes, NonNumericTextFails) {
    EXPECT_EQ(errorOf([] { DiasDoMes("xx/24"); }), "'xx' não é um valor inteiro válido");
    EXPECT_EQ(errorOf([] { DiasDoMes("04/ab"); }), "'ab' não é um valor inteiro válido");
    EXPECT_EQ(errorOf([] { DiasDoMes(""); }), "'' não é um valor inteiro válido");
}

TEST(RetornaDataArquivo, DateAndTimeOrDateAloneAtMidnight) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.exe");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(
        f.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)), QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(RetornaDataArquivo(path), "05/03/2024 14:05:09");
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_TRUE(
        f.setFileTime(QDateTime(QDate(2024, 12, 31), QTime(0, 0)), QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(RetornaDataArquivo(path), "31/12/2024");
    EXPECT_NE(errorOf([&] { RetornaDataArquivo(dir.filePath("nada.exe")); }), "(no error)");
}

TEST(ListaFormulariosAbertos, NewestFirstSeparatedByCarriageReturn) {
    const QList<QPair<QString, QString>> janelas{{"frmMenuPrincipal", "Menu"},
                                                 {"frmTipoAnalise", "Tipo de Análise"}};
    EXPECT_EQ(ListaFormulariosAbertos(janelas), "frmTipoAnalise - Tipo de Análise\rfrmMenuPrincipal - Menu");
    EXPECT_EQ(ListaFormulariosAbertos({}), "");
    setOpenWindowsProvider([&] { return janelas; });
    EXPECT_EQ(ListaFormulariosAbertos(), ListaFormulariosAbertos(janelas));
    setOpenWindowsProvider(nullptr);
    EXPECT_EQ(ListaFormulariosAbertos(), "");
}

// ---------------------------------------------------------------- statements and lookups

const char* kScript = R"(
create table cad_pessoa (id_pessoa integer not null primary key, cd_pessoa varchar(15) not null,
  no_cnpj_cpf varchar(14), tp_pessoa char(1));
create table sis_usuario (id_usuario integer not null primary key, nm_usuario varchar(40));
create table tab_parametro (id_parametro integer default 1 not null primary key, nm_empresa varchar(51));
create table tab_item (id_item integer not null primary key, nm_item varchar(30));
)";

class UnFuncoesDb : public DatabaseSuite<UnFuncoesDb> {
public:
    static QString script() { return kScript; }

protected:
    void SetUp() override {
        s_db->exec("delete from cad_pessoa");
        s_db->exec("delete from sis_usuario");
        s_db->exec("delete from tab_parametro");
        s_db->exec("delete from tab_item");
        gen = std::make_unique<Transaction>(&s_db->db);
        dataContext().IBSolution = &s_db->db;
        dataContext().IBTransaction = &s_db->tr;
        dataContext().IBT_Gen = gen.get();
        savedSession = sessaoUsuario();
    }
    void TearDown() override {
        dataContext() = DataContext{};
        sessaoUsuario() = savedSession;
        gen->rollback();
    }
    std::unique_ptr<Transaction> gen;
    TSessaoUsuario savedSession;
};

TEST_F(UnFuncoesDb, AbreQueryRunsOnTheGeneralTransactionAndFetchesEverything) {
    for (int i = 1; i <= 120; ++i)
        s_db->exec(QString("insert into tab_item values (%1, 'Item %1')").arg(i));
    Query q(&s_db->db, &s_db->tr);
    q.setSqlText("select * from tab_item where 0=1");
    q.open();
    AbreQuery(q, "select * from tab_item order by id_item");
    EXPECT_EQ(q.transaction(), gen.get());
    EXPECT_TRUE(gen->active());
    EXPECT_FALSE(q.canFetchMore());
    EXPECT_EQ(q.recordCount(), 120);
    EXPECT_EQ(q.sqlText(), "select * from tab_item order by id_item");
}

TEST_F(UnFuncoesDb, ExecutaSqlCommitsOnlyWhenAsked) {
    Query q(&s_db->db);
    ExecutaSQL(q, "insert into tab_item values (1, 'Um')", false);
    EXPECT_EQ(q.transaction(), gen.get());
    // Not yet committed: the default transaction cannot see it.
    EXPECT_EQ(s_db->scalar("select count(*) from tab_item").toInt(), 0);
    ExecutaSQL(q, " commit retain", false);
    EXPECT_TRUE(gen->active());
    EXPECT_EQ(s_db->scalar("select count(*) from tab_item").toInt(), 1);

    ExecutaSQL(q, "insert into tab_item values (2, 'Dois')", true);
    EXPECT_FALSE(gen->active());
    EXPECT_EQ(s_db->scalar("select count(*) from tab_item").toInt(), 2);
}

TEST_F(UnFuncoesDb, DatabaseErrorsReachTheCaller) {
    Query q(&s_db->db);
    EXPECT_THROW(ExecutaSQL(q, "insert into tab_nada values (1)", false), AppError);
    EXPECT_THROW(AbreQuery(q, "select nada from tab_item"), AppError);
}

TEST_F(UnFuncoesDb, WithoutGeneralTransactionTheRunnersSaySo) {
    dataContext().IBT_Gen = nullptr;
    Query q(&s_db->db);
    EXPECT_NE(errorOf([&] { AbreQuery(q, "select * from tab_item"); }).indexOf("IBT_Gen"), -1);
}

TEST_F(UnFuncoesDb, LookupsByKeyAndMissingKeys) {
    s_db->exec("insert into cad_pessoa values (7, ' 00042 ', '11222333000181', 'J')");
    s_db->exec("insert into cad_pessoa values (8, 'C8', null, null)");
    s_db->exec("insert into sis_usuario values (3, 'Maria da Silva')");
    EXPECT_EQ(RetornaCNPJCPFPessoa(7), "11222333000181");
    EXPECT_EQ(RetornaTipoPessoa(7), "J");
    EXPECT_EQ(RetornaNomeUsuario(3), "Maria da Silva");
    EXPECT_EQ(RetornaCNPJCPFPessoa(8), "");
    EXPECT_EQ(RetornaTipoPessoa(8), "");
    EXPECT_EQ(RetornaCNPJCPFPessoa(99), "");
    EXPECT_EQ(RetornaTipoPessoa(99), "");
    EXPECT_EQ(RetornaNomeUsuario(99), "");
    EXPECT_EQ(RetornaNomeEmpresa(), "");
    s_db->exec("insert into tab_parametro values (1, 'Laboratório Alfa')");
    EXPECT_EQ(RetornaNomeEmpresa(), "Laboratório Alfa");
}

TEST_F(UnFuncoesDb, ReportImagesBesideTheConnectionSettings) {
    s_db->exec("insert into cad_pessoa values (7, ' 00042 ', null, 'J')");
    const QString sep = QDir::separator();
    sessaoUsuario().localarquivoiniteste = "/sites/lab/Dados/Conexao.ini";
    EXPECT_EQ(ImagemCabecalhoLaudo(7),
              "/sites/lab/Dados" + sep + "Imagens" + sep + "Cabeçalho-do-Laudo-00042.jpg");
    EXPECT_EQ(ImagemRodapeLaudo(7), "/sites/lab/Dados" + sep + "Imagens" + sep + "Rodapé-do-Laudo-00042.jpg");
}

} // namespace

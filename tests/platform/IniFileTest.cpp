// INI files with Windows profile semantics, and the program settings file name.
#include "platform/IniFile.h"
#include "platform/Errors.h"

#include "QtPrinters.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("settings.ini")) const { return m_dir.filePath(name); }

    void writeRaw(const QByteArray& bytes, const QString& name = QStringLiteral("settings.ini")) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray readRaw(const QString& name = QStringLiteral("settings.ini")) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

// ---- reading ----

TEST_F(IniFileTest, MissingFileReadsDefaults) {
    IniFile ini(path(QStringLiteral("absent.ini")));
    EXPECT_FALSE(ini.exists());
    EXPECT_EQ(ini.readString("IniServidor", "nomearquivo", "padrao"), "padrao");
    EXPECT_EQ(ini.readString("IniServidor", "nomearquivo"), "");
    EXPECT_EQ(ini.readInteger("Parametros", "DiasMensagem", 7), 7);
    EXPECT_FALSE(ini.sectionExists("IniServidor"));
    EXPECT_FALSE(ini.valueExists("IniServidor", "nomearquivo"));
    EXPECT_TRUE(ini.readSection("IniServidor").isEmpty());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("absent.ini")))) << "reading must not create the file";
}

TEST_F(IniFileTest, SectionAndKeyNamesIgnoreLetterCase) {
    writeRaw("[IniServidor]\r\nNomeArquivo=/dados/conexao.ini\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("iniservidor", "NOMEARQUIVO"), "/dados/conexao.ini");
    EXPECT_EQ(ini.readString("INISERVIDOR", "nomearquivo"), "/dados/conexao.ini");
    EXPECT_TRUE(ini.sectionExists("iniSERVIDOR"));
    EXPECT_TRUE(ini.valueExists("IniServidor", "nomeARQUIVO"));
    EXPECT_EQ(ini.readString("IniServidor", "nomearquivo2", "x"), "x");
    EXPECT_EQ(ini.readString("IniServidor2", "nomearquivo", "x"), "x");
}

TEST_F(IniFileTest, ValuesAreRawText) {
    writeRaw("[frmTipoEquipamento]\r\n"
             "Ficha=12,40,230,382\r\n"
             "Quoted=\"C:\\Dados\\BASE.ini\"\r\n"
             "Semicolon=a;b ; c\r\n"
             "Equals=a=b=c\r\n"
             "Empty=\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("frmTipoEquipamento", "Ficha"), "12,40,230,382");
    EXPECT_EQ(ini.readString("frmTipoEquipamento", "Quoted"), "\"C:\\Dados\\BASE.ini\"");
    EXPECT_EQ(ini.readString("frmTipoEquipamento", "Semicolon"), "a;b ; c");
    EXPECT_EQ(ini.readString("frmTipoEquipamento", "Equals"), "a=b=c");
    // A key that is present with nothing after '=' is empty, not missing.
    EXPECT_EQ(ini.readString("frmTipoEquipamento", "Empty", "padrao"), "");
    EXPECT_TRUE(ini.valueExists("frmTipoEquipamento", "Empty"));
}

TEST_F(IniFileTest, BlanksAroundNamesAndValuesAreTrimmed) {
    writeRaw("  [ Database ]  \r\n  servidor  =  host1  \r\n\tpath\t=\t/srv/dados/ \r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("Database", "servidor"), "host1");
    EXPECT_EQ(ini.readString("Database", "path"), "/srv/dados/");
    EXPECT_EQ(ini.readString(" Database ", " servidor "), "host1");
}

TEST_F(IniFileTest, CommentsAndKeylessLinesCarryNoKeys) {
    writeRaw("; servidor=comentado\r\n[Database]\r\n;servidor=comentado\r\nlinha solta\r\nname=BASE.FDB\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("Database", "servidor", "nenhum"), "nenhum");
    EXPECT_EQ(ini.readSection("Database"), QStringList{"name"});
}

TEST_F(IniFileTest, KeysBelongOnlyToTheirOwnSection) {
    writeRaw("solta=1\r\n[A]\r\nk=a\r\n[B]\r\nk=b\r\nsoB=1\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("A", "k"), "a");
    EXPECT_EQ(ini.readString("B", "k"), "b");
    EXPECT_EQ(ini.readString("A", "soB", "nao"), "nao");
    EXPECT_EQ(ini.readString("", "solta", "nao"), "nao");
}

TEST_F(IniFileTest, FirstOfRepeatedSectionsAndKeysWins) {
    writeRaw("[A]\r\nk=1\r\nk=2\r\n[B]\r\n[a]\r\nk=3\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("A", "k"), "1");
    ini.writeString("A", "k", "9");
    EXPECT_EQ(readRaw(), "[A]\r\nk=9\r\nk=2\r\n[B]\r\n[a]\r\nk=3\r\n");
}

TEST_F(IniFileTest, ReadsLatin1AndLineFeedOnlyFiles) {
    writeRaw("[Tela]\nTitulo=Configura\xe7\xf5"
             "es\nOutra=S\xe3o Paulo\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("Tela", "Titulo"), QStringLiteral("Configurações"));
    EXPECT_EQ(ini.readString("tela", "outra"), QStringLiteral("São Paulo"));
}

TEST_F(IniFileTest, ReadIntegerAcceptsWholeNumbersOnly) {
    writeRaw("[Parametros]\r\nA=12\r\nB= -3 \r\nC=0x1F\r\nD=abc\r\nE=\r\nF=12abc\r\nG=1.5\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger("Parametros", "A", 0), 12);
    EXPECT_EQ(ini.readInteger("Parametros", "B", 0), -3);
    EXPECT_EQ(ini.readInteger("Parametros", "C", 0), 31);
    EXPECT_EQ(ini.readInteger("Parametros", "D", 5), 5);
    EXPECT_EQ(ini.readInteger("Parametros", "E", 5), 5);
    EXPECT_EQ(ini.readInteger("Parametros", "F", 5), 5);
    EXPECT_EQ(ini.readInteger("Parametros", "G", 5), 5);
    EXPECT_EQ(ini.readInteger("Parametros", "Missing", -1), -1);
    EXPECT_TRUE(ini.readBool("Parametros", "A", false));
    EXPECT_FALSE(ini.readBool("Parametros", "E", false));
}

TEST_F(IniFileTest, ChangesByAnotherWriterAreSeenAtOnce) {
    writeRaw("[IniServidor]\r\nnomearquivo=/a/um.ini\r\n");
    IniFile ini(path());
    ASSERT_EQ(ini.readString("IniServidor", "nomearquivo"), "/a/um.ini");
    // Same size and, most likely, the same modification second: a cache keyed on those would miss it.
    writeRaw("[IniServidor]\r\nnomearquivo=/b/um.ini\r\n");
    EXPECT_EQ(ini.readString("IniServidor", "nomearquivo"), "/b/um.ini");
    QFile::remove(path());
    EXPECT_EQ(ini.readString("IniServidor", "nomearquivo", "sumiu"), "sumiu");
}

TEST_F(IniFileTest, ListsSectionsAndKeysInFileOrder) {
    writeRaw("[Zeta]\r\nb=1\r\nA=2\r\nb=3\r\n[alfa]\r\n[ZETA]\r\nc=4\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readSections(), (QStringList{"Zeta", "alfa"}));
    EXPECT_EQ(ini.readSection("zeta"), (QStringList{"b", "A"}));
    EXPECT_TRUE(ini.sectionExists("ALFA")) << "a header without keys is a section";
    EXPECT_TRUE(ini.readSection("alfa").isEmpty());
}

// ---- writing ----

TEST_F(IniFileTest, WritingCreatesTheFileInLatin1WithCrLf) {
    IniFile ini(path(QStringLiteral("novo.ini")));
    ini.writeString("IniServidor", "nomearquivo", QStringLiteral("/dados/Configuração.ini"));
    EXPECT_EQ(readRaw(QStringLiteral("novo.ini")),
              "[IniServidor]\r\nnomearquivo=/dados/Configura\xe7\xe3o.ini\r\n");
}

TEST_F(IniFileTest, WritingKeepsEveryOtherLine) {
    const QByteArray original = "; arquivo de configuracao\r\n"
                                "[IniServidor]\r\n"
                                "nomearquivo=/velho.ini\r\n"
                                "; comentario da secao\r\n"
                                "outra = valor com  blancos \r\n"
                                "\r\n"
                                "[frmTipoEquipamento]\r\n"
                                "FichaTabela=0\r\n"
                                "Ficha=12,40,230,382\r\n";
    writeRaw(original);
    IniFile ini(path());
    ini.writeString("iniservidor", "NOMEARQUIVO", "/novo.ini");
    QByteArray expected = original;
    // Only the changed line differs, and the key keeps the spelling it had in the file.
    expected.replace("nomearquivo=/velho.ini", "nomearquivo=/novo.ini");
    EXPECT_EQ(readRaw(), expected);
}

TEST_F(IniFileTest, NewKeyGoesAfterTheLastKeyOfItsSection) {
    writeRaw("[A]\r\na=1\r\n; sobre B\r\n\r\n[B]\r\nb=2\r\n");
    IniFile ini(path());
    ini.writeString("a", "c", "3");
    ini.writeString("B", "d", "4");
    EXPECT_EQ(readRaw(), "[A]\r\na=1\r\nc=3\r\n; sobre B\r\n\r\n[B]\r\nb=2\r\nd=4\r\n");
}

TEST_F(IniFileTest, NewKeyInSectionWithoutKeysGoesRightAfterTheHeader) {
    writeRaw("[A]\r\n\r\n[B]\r\nb=2\r\n");
    IniFile ini(path());
    ini.writeString("A", "a", "1");
    EXPECT_EQ(readRaw(), "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
}

TEST_F(IniFileTest, NewSectionGoesAtTheEndOfTheFile) {
    writeRaw("[IniServidor]\nnomearquivo=/x.ini"); // line feeds only, no line end at the end
    IniFile ini(path());
    ini.writeString("frmTipoEquipamento", "FichaTabela", "0");
    // The file's own line ends are kept, and new lines follow them.
    EXPECT_EQ(readRaw(), "[IniServidor]\nnomearquivo=/x.ini\n[frmTipoEquipamento]\nFichaTabela=0\n");
}

TEST_F(IniFileTest, RoundTripOfScreenSettings) {
    IniFile ini(path());
    ini.writeString("frmTipoEquipamento", "FichaTabela", "1");
    ini.writeString("frmTipoEquipamento", "Ficha", "12,40,230,382");
    ini.writeString("frmTipoEquipamento", "Tabela", "12,40,400,700,2");
    ini.writeInteger("frmTipoAnalise", "FichaTabela", 0);
    ini.writeBool("Opcoes", "Ativo", true);
    ini.writeString("frmTipoEquipamento", "Ficha", "1,2,3,4");

    IniFile again(path());
    EXPECT_EQ(again.readString("frmTipoEquipamento", "FichaTabela"), "1");
    EXPECT_EQ(again.readString("frmTipoEquipamento", "Ficha"), "1,2,3,4");
    EXPECT_EQ(again.readString("frmTipoEquipamento", "Tabela"), "12,40,400,700,2");
    EXPECT_EQ(again.readInteger("frmTipoAnalise", "FichaTabela", -1), 0);
    EXPECT_TRUE(again.readBool("Opcoes", "Ativo", false));
    EXPECT_EQ(again.readSection("frmTipoEquipamento"), (QStringList{"FichaTabela", "Ficha", "Tabela"}));
}

TEST_F(IniFileTest, ValuesThatWouldBreakTheFileAreKeptOnOneLine) {
    IniFile ini(path());
    ini.writeString("A", "texto", "linha1\r\n[B]\nx=1");
    ini.writeString("A", "blancos", "  meio  ");
    EXPECT_EQ(ini.readString("A", "texto"), "linha1 [B] x=1");
    EXPECT_FALSE(ini.sectionExists("B"));
    EXPECT_EQ(ini.readString("A", "blancos"), "meio");
}

TEST_F(IniFileTest, InvalidNamesAreRefusedWithoutTouchingTheFile) {
    writeRaw("[A]\r\na=1\r\n");
    IniFile ini(path());
    EXPECT_THROW(ini.writeString("A", "x=y", "1"), std::invalid_argument);
    EXPECT_THROW(ini.writeString("A", "", "1"), std::invalid_argument);
    EXPECT_THROW(ini.writeString("A", ";x", "1"), std::invalid_argument);
    EXPECT_THROW(ini.writeString("A]", "x", "1"), std::invalid_argument);
    EXPECT_THROW(ini.writeString("", "x", "1"), std::invalid_argument);
    EXPECT_EQ(readRaw(), "[A]\r\na=1\r\n");
}

TEST_F(IniFileTest, WritingIntoAMissingFolderFailsAndCreatesNothing) {
    const QString folder = m_dir.filePath(QStringLiteral("naoexiste"));
    IniFile ini(folder + QStringLiteral("/x.ini"));
    EXPECT_THROW(ini.writeString("A", "a", "1"), AppError);
    EXPECT_THROW(ini.createEmpty(), AppError);
    EXPECT_FALSE(QDir(folder).exists());
}

TEST_F(IniFileTest, CreateEmptyLeavesAnExistingFileAlone) {
    IniFile ini(path());
    ini.createEmpty();
    EXPECT_TRUE(ini.exists());
    EXPECT_EQ(QFileInfo(path()).size(), 0);
    ini.writeString("A", "a", "1");
    ini.createEmpty();
    EXPECT_EQ(ini.readString("A", "a"), "1");
}

TEST_F(IniFileTest, Utf8FileWithByteOrderMarkStaysUtf8) {
    writeRaw("\xEF\xBB\xBF[Tela]\r\nTitulo=Configura\xC3\xA7\xC3\xA3o\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("Tela", "Titulo"), QStringLiteral("Configuração"));
    ini.writeString("Tela", "Cidade", QStringLiteral("São Paulo"));
    EXPECT_EQ(readRaw(),
              "\xEF\xBB\xBF[Tela]\r\nTitulo=Configura\xC3\xA7\xC3\xA3o\r\nCidade=S\xC3\xA3o Paulo\r\n");
}

TEST_F(IniFileTest, EraseSectionRemovesEveryCopyWithItsLines) {
    writeRaw("[A]\r\na=1\r\n[B]\r\n; de B\r\nb=2\r\n\r\n[C]\r\nc=3\r\n[b]\r\nb=4\r\n");
    IniFile ini(path());
    ini.eraseSection("b");
    EXPECT_EQ(readRaw(), "[A]\r\na=1\r\n[C]\r\nc=3\r\n");
    EXPECT_FALSE(ini.sectionExists("B"));
    ini.eraseSection("Nenhuma");
    EXPECT_EQ(readRaw(), "[A]\r\na=1\r\n[C]\r\nc=3\r\n");
}

TEST_F(IniFileTest, DeleteKeyRemovesOnlyThatKey) {
    writeRaw("[A]\r\na=1\r\nb=2\r\nA=3\r\n[B]\r\na=4\r\n");
    IniFile ini(path());
    ini.deleteKey("A", "a");
    EXPECT_EQ(readRaw(), "[A]\r\nb=2\r\n[B]\r\na=4\r\n");
    EXPECT_EQ(ini.readString("B", "a"), "4");
}

// ---- program settings file name ----

TEST(ProgramSettingsPath, ReplacesOrAppendsTheExtension) {
    EXPECT_EQ(programSettingsPath("/a/b/cortivandela"), "/a/b/cortivandela.ini");
    EXPECT_EQ(programSettingsPath("C:/x/prog.exe"), "C:/x/prog.ini");
    EXPECT_EQ(programSettingsPath("C:\\Sistema\\Prog.EXE"), "C:\\Sistema\\Prog.ini");
    EXPECT_EQ(programSettingsPath("/opt/app.v2/prog"), "/opt/app.v2/prog.ini") << "a dot in a folder name";
    EXPECT_EQ(programSettingsPath("C:\\app.v2\\prog"), "C:\\app.v2\\prog.ini");
    EXPECT_EQ(programSettingsPath("/a/prog.tar.gz"), "/a/prog.tar.ini") << "only the last extension";
    EXPECT_EQ(programSettingsPath("/a/.hidden"), "/a/.hidden.ini");
    EXPECT_EQ(programSettingsPath("prog.exe"), "prog.ini");
    EXPECT_EQ(programSettingsPath(""), "");
}

} // namespace

TEST_F(IniFileTest, LinesThatAreNotChangedKeepTheirBytes) {
    // A Latin-1 line and a UTF-8 line side by side, as files edited by several programs end up.
    const QByteArray latin = "nome=Jos\xE9\r\n", utf8 = "outro=Mar\xC3\xAD"
                                                        "a\r\n";
    writeRaw("[A]\r\n" + latin + utf8 + "[B]\nb=1\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("A", "nome"), QString::fromUtf8("José"));
    ini.writeString("B", "b", "2");
    ini.writeString("A", "novo", QString::fromUtf8("€ – ok"));
    EXPECT_EQ(
        readRaw().toHex(' ').toStdString(),
        (QByteArray("[A]\r\n") + latin + utf8 + "novo=\x80 \x96 ok\r\n[B]\nb=2\n").toHex(' ').toStdString());
    EXPECT_EQ(ini.readString("A", "novo"), QString::fromUtf8("€ – ok"));
    // Writing a value that is already there leaves the file as it was.
    const QByteArray before = readRaw();
    ini.writeString("a", "NOME", QString::fromUtf8("José"));
    EXPECT_EQ(readRaw(), before);
}

TEST_F(IniFileTest, AValueTheFileCannotHoldIsRefusedAndTheFileStaysAsItWas) {
    writeRaw("[A]\r\na=1\r\n");
    IniFile ini(path());
    EXPECT_THROW(ini.writeString("A", "caminho", QString::fromUtf8("/dados/日本")), AppError);
    EXPECT_EQ(readRaw(), "[A]\r\na=1\r\n");
}

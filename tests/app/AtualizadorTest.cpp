// Self-update decisions with files in temporary folders: the paths handed to the updater, the
// date comparisons, the switch-off file, the updater's leftovers and the desktop shortcut, and
// the update script run for real on copies (never on the test program, never ending a process).
#include "Utf8Literal.h"
#include "app/UnTelaAtualizador.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kBuild(QDate(2024, 2, 10), QTime(14, 35, 50));

class Atualizador : public ::testing::Test {
protected:
    void SetUp() override { useSite("Sistema", "cortivandela"); }

    // Site folders: <root>/<sistema>/<exe>, <root>/Dados/BASE.ini, <root>/Update.
    void useSite(const QString& sistema, const QString& exe) {
        QDir(root.path()).mkpath(sistema);
        QDir(root.path()).mkpath("Dados");
        QDir(root.path()).mkpath("Desktop");
        exePath = root.filePath(sistema + "/" + exe);
        write(exePath, "programa", kBuild);
        facts.setExecutablePath(exePath);
        facts.setDesktopFolder(root.filePath("Desktop"));
        settings = root.filePath("Dados/BASE.ini");
        IniFile(settings).writeString("Database", "name", "x");
        PreparaAtualizacao(settings);
    }
    static void write(const QString& path, const QByteArray& content, const QDateTime& when) {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        f.close();
        f.open(QIODevice::ReadWrite);
        f.setFileTime(when, QFileDevice::FileModificationTime);
        f.close();
    }
    QString update(const QString& name = QString()) const {
        return root.filePath("Update") + (name.isEmpty() ? QString() : "/" + name);
    }
    void placeUpdater() {
        QDir(root.path()).mkpath("Update");
        write(update("nexmoroAtualizador.exe"), "atualizador", kBuild);
    }
    AmbienteAtualizacao ambiente() {
        AmbienteAtualizacao a;
        a.solicitaFim = [this] { ++endRequests; };
        a.encerraImediatamente = [this] { ++immediateEnds; };
        a.verificaScript = [this](Database&) { ++scriptChecks; };
        return a;
    }
    void atualiza(int modo = 1) {
        Database db;
        AtualizaSistema(db, modo, ambiente());
    }

    QTemporaryDir root;
    QString exePath, settings;
    FakeOsFacts facts;
    ScopedOsFacts useFacts{facts};
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs{dlg};
    RecordingShell shell;
    ScopedShell useShell{shell};
    FixedClock clock;
    ScopedClock useClock{clock};
    int endRequests = 0, immediateEnds = 0, scriptChecks = 0;
};

TEST_F(Atualizador, TheUpdateFolderIsBesideTheDataFolder) {
    EXPECT_EQ(PastaAtualizacao("/srv/site/Dados/BASE.ini"), "/srv/site/Update");
    EXPECT_EQ(PastaAtualizacao("\\\\servidor\\Sistemas\\Dados\\BASE.ini"), "\\\\servidor\\Sistemas\\Update");
    EXPECT_EQ(PastaAtualizacao("/srv/Dados/"), "/Update"); // the last character is not looked at
    EXPECT_EQ(PastaAtualizacao("Dados/BASE.ini"), "");
    EXPECT_EQ(PastaAtualizacao(""), "");
    const CaminhosAtualizacao& c = caminhosAtualizacao();
    EXPECT_EQ(c.nomeExecutavel, "cortivandela");
    EXPECT_EQ(c.pastaExecutavel, root.filePath("Sistema"));
    EXPECT_EQ(c.pastaAtualizacao, root.filePath("Update"));
}

TEST_F(Atualizador, FoldersWithBlanksTravelToTheUpdaterAsSectionSigns) {
    useSite("Meus Programas/Lab 1", "cortivandela v2.exe");
    placeUpdater();
    write(update("cortivandela v2.exe"), "nova", kBuild.addSecs(-3600)); // an older copy also counts
    atualiza();
    ASSERT_EQ(shell.programs().size(), 1u);
    EXPECT_EQ(shell.programs()[0].program, update("nexmoroAtualizador.exe"));
    const QString esperado = "@F1 @M" + QString(update()).replace(' ', "§"_q) + " @E" +
                             QString(root.filePath("Meus Programas/Lab 1")).replace(' ', "§"_q) +
                             " @Acortivandela v2.exe";
    EXPECT_EQ(shell.programs()[0].parameters, esperado);
    // The timed notice names the program up to its first period, then the process ends at once.
    EXPECT_EQ(clock.sleeps(), std::vector<int>{5000});
    EXPECT_EQ(immediateEnds, 1);
    EXPECT_EQ(endRequests, 0);
    EXPECT_EQ(scriptChecks, 1);
}

TEST_F(Atualizador, AnEqualCopyMeansUpToDate) {
    placeUpdater();
    write(update("cortivandela"), "igual", kBuild.addMSecs(400)); // below one second does not count
    atualiza();
    EXPECT_TRUE(shell.programs().empty());
    EXPECT_EQ(immediateEnds, 0);
    EXPECT_EQ(endRequests, 0);
    EXPECT_EQ(dlg.messageCount(), 0);
    EXPECT_EQ(scriptChecks, 1);
}

TEST_F(Atualizador, TheSwitchOffFileStopsEverything) {
    write(root.filePath("Sistema/DebugarAmbiente.tmp"), "", kBuild);
    write(root.filePath("Sistema/Exec-cortivandela"), "", kBuild);
    atualiza();
    EXPECT_EQ(dlg.lastMessage().text, "O aplicativo cortivandela não será atualizado. A pasta " +
                                          root.filePath("Sistema") +
                                          " está com o arquivo DebugarAmbiente.tmp"_q);
    EXPECT_EQ(scriptChecks, 0);
    EXPECT_FALSE(QFileInfo::exists(update()));
    EXPECT_TRUE(QFileInfo::exists(root.filePath("Sistema/Exec-cortivandela")));
}

TEST_F(Atualizador, AMissingUpdaterOrCopyEndsTheProgram) {
    atualiza();
    EXPECT_TRUE(QFileInfo(update()).isDir()); // created
    ASSERT_EQ(dlg.messageCount(), 2);
    EXPECT_EQ(
        dlg.messages()[0].text,
        "Não foi encontrado o nexmoro Atualizador no Servidor. Entre em contato com o suporte técnico da nexmoro."_q);
    EXPECT_EQ(dlg.messages()[0].icon, MsgIcon::None);
    EXPECT_EQ(dlg.messages()[1].text,
              "Falha na atualização do aplicativo. Não foi encontrado o arquivo cortivandela na pasta "_q +
                  update() + "." + QChar(13) + "O Sistema será finalizado."_q);
    EXPECT_EQ(dlg.messages()[1].icon, MsgIcon::Warning);
    EXPECT_EQ(scriptChecks, 1);
    EXPECT_EQ(endRequests, 2);
    EXPECT_TRUE(shell.programs().empty());
}

TEST_F(Atualizador, ANewerCopyWithoutUpdaterIsNotAnnouncedAsAnUpdate) {
    QDir(root.path()).mkpath("Update");
    write(update("cortivandela"), "nova", kBuild.addDays(1));
    atualiza();
    ASSERT_EQ(dlg.messageCount(), 2);
    EXPECT_EQ(dlg.messages()[1].text,
              "Falha na atualização do aplicativo. Não foi encontrado o arquivo nexmoroAtualizador.exe "
              "na pasta "_q +
                  update() + "." + QChar(13) + "O Sistema será finalizado."_q);
    EXPECT_TRUE(clock.sleeps().empty());
    EXPECT_TRUE(shell.programs().empty());
    EXPECT_EQ(immediateEnds, 0);
}

TEST_F(Atualizador, OnlyModeOneCompares) {
    placeUpdater();
    write(update("cortivandela"), "nova", kBuild.addDays(1));
    atualiza(2);
    EXPECT_EQ(scriptChecks, 1);
    EXPECT_TRUE(shell.programs().empty());
}

TEST_F(Atualizador, TheUpdatersLeftoversBecomeAShortcut) {
    write(root.filePath("Sistema/Exec-cortivandela"), "", kBuild);
    IniFile(root.filePath("Sistema/Exec-cortivandela.ini")).writeString("configuracao", "pastamestre", "/x");
    FinalizaAtualizacao();
    EXPECT_FALSE(QFileInfo::exists(root.filePath("Sistema/Exec-cortivandela")));
    EXPECT_FALSE(QFileInfo::exists(root.filePath("Sistema/Exec-cortivandela.ini")));
    QFile atalho(root.filePath("Desktop/Novo cortivandela.desktop"));
    ASSERT_TRUE(atalho.open(QIODevice::ReadOnly));
    const QString texto = QString::fromUtf8(atalho.readAll());
    EXPECT_TRUE(texto.startsWith("[Desktop Entry]\nType=Application\nName=cortivandela\n"));
    EXPECT_TRUE(texto.contains("Exec=\"" + exePath + "\"\n"));
    EXPECT_TRUE(atalho.permissions() & QFileDevice::ExeOwner);
    // The executable file alone is only deleted.
    QFile::remove(atalho.fileName());
    write(root.filePath("Sistema/Exec-cortivandela"), "", kBuild);
    FinalizaAtualizacao();
    EXPECT_FALSE(QFileInfo::exists(root.filePath("Sistema/Exec-cortivandela")));
    EXPECT_FALSE(QFileInfo::exists(atalho.fileName()));
}

TEST_F(Atualizador, TheBusinessProgramsCopyTheMasterFoldersExecutables) {
    useSite("Sistema", "nexmoroTalvena.exe");
    QDir(root.path()).mkpath("Mestre");
    QDir(root.path()).mkpath("Update");
    write(root.filePath("Mestre/a.exe"), "a", kBuild);
    write(root.filePath("Mestre/b.exe"), "b novo", kBuild);
    write(root.filePath("Mestre/leia.txt"), "x", kBuild);
    write(update("b.exe"), "b antigo", kBuild);
    write(root.filePath("Sistema/Exec-nexmoroTalvena.exe"), "", kBuild);
    IniFile(root.filePath("Sistema/Exec-nexmoroTalvena.ini"))
        .writeString("configuracao", "pastamestre", root.filePath("Mestre"));
    FinalizaAtualizacao();
    EXPECT_TRUE(QFileInfo::exists(update("a.exe")));
    EXPECT_FALSE(QFileInfo::exists(update("leia.txt")));
    QFile b(update("b.exe"));
    b.open(QIODevice::ReadOnly);
    EXPECT_EQ(b.readAll(), "b antigo"); // never overwritten
    EXPECT_TRUE(QFileInfo::exists(root.filePath("Desktop/Novo nexmoroTalvena.desktop")));
    EXPECT_FALSE(QFileInfo::exists(root.filePath("Sistema/Exec-nexmoroTalvena.ini")));
}

TEST_F(Atualizador, ANewerServerCopyIsHandedToTheScript) {
    IniFile(programSettingsPath(exePath)).writeString("IniServidor", "nomearquivo", settings);
    // Same date, then older: nothing.
    write(root.filePath("Dados/cortivandela"), "nova", kBuild);
    EXPECT_FALSE(VerificaNovaVersao([this] { ++endRequests; }));
    write(root.filePath("Dados/cortivandela"), "nova", kBuild.addSecs(-60));
    EXPECT_FALSE(VerificaNovaVersao([this] { ++endRequests; }));
    EXPECT_TRUE(shell.started().empty());
    // Newer: the script is written to the program folder and started, the user told.
    write(root.filePath("Dados/cortivandela"), "nova", kBuild.addSecs(1));
    EXPECT_TRUE(VerificaNovaVersao([this] { ++endRequests; }));
    const QString script = root.filePath("Sistema/Atualiza.sh");
    ASSERT_EQ(shell.started().size(), 1u);
    EXPECT_EQ(shell.started()[0].program, "/bin/sh");
    EXPECT_EQ(shell.started()[0].arguments, QStringList{script});
    EXPECT_TRUE(dlg.lastMessage().text.startsWith("Existe uma nova versão do sistema disponível."_q));
    EXPECT_EQ(endRequests, 1);
    // The next start reports the finished update and removes the script.
    dlg.clear();
    AvisoAtualizacaoConcluida();
    EXPECT_EQ(dlg.lastMessage().text, "Seu sistema foi atualizado com uma nova versão."_q);
    EXPECT_FALSE(QFileInfo::exists(script));
    AvisoAtualizacaoConcluida();
    EXPECT_EQ(dlg.messageCount(), 1);
}

TEST_F(Atualizador, TheScriptWaitsCopiesAndStartsTheNewProgram) {
    // A program in a folder with blanks and an apostrophe; the new version writes a marker.
    QDir(root.path()).mkpath("Pasta d'Água/bin");
    const QString exe = root.filePath("Pasta d'Água/bin/programa");
    write(exe, "#!/bin/sh\necho velho > \"$(dirname \"$0\")/marca\"\n", kBuild);
    const QString nova = root.filePath("Dados/programa");
    write(nova, "#!/bin/sh\necho novo > \"$(dirname \"$0\")/marca\"\n", kBuild.addDays(1));
    QProcess ended;
    ended.start("/bin/true");
    ended.waitForFinished();
    const qint64 pid = ended.processId() ? ended.processId() : 999999;
    const QString script = root.filePath("Atualiza.sh");
    QFile f(script);
    f.open(QIODevice::WriteOnly);
    f.write(QFile::encodeName(ScriptAtualizacao(pid, exe, nova)));
    f.close();
    QProcess run;
    run.start("/bin/sh", {script});
    ASSERT_TRUE(run.waitForFinished(20000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    QFile copia(exe);
    copia.open(QIODevice::ReadOnly);
    EXPECT_TRUE(copia.readAll().contains("echo novo"));
    EXPECT_EQ(QFileInfo(exe).lastModified(), kBuild.addDays(1)); // the server copy's date
    QFile marca(root.filePath("Pasta d'Água/bin/marca"));
    ASSERT_TRUE(marca.open(QIODevice::ReadOnly));
    EXPECT_EQ(marca.readAll(), "novo\n");
}

} // namespace

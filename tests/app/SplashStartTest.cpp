#include "AppFixture.h"
#include "data/EmbeddedEngine.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <functional>

namespace {

const QString M1 =
    "Não foi possível fazer a conexão com o banco de dados.\rPossíveis causas:\r(1) O Firebird não "
    "está ativo no servidor.\r(2) A porta 3050 não foi liberada no Firewall do Servidor.\r(3) O "_q
    "Firebird Client não foi instalado neste computador.\rVerifique estes casos ou entre em contato "_q
    "com o suporte técnico."_q;

class SplashStartTest : public AppSite {
protected:
    SplashStartTest() = default;
    explicit SplashStartTest(const QString& schema) : AppSite(schema) {}
    void SetUp() override {
        AppSite::SetUp();
        addGroup(1, "Laboratorio");
        addUser(5, "ana", "s1", "Ana Souza", 1);
    }
    void writeIbUtil(const QString& alerta, const QString& dias, const QString& ultimo) {
        IniFile ini(site.filePath("Sistema/IBUtil.INI"));
        ini.writeString("Parametros", "MensagemAlerta", alerta);
        ini.writeString("Parametros", "DiasMensagem", dias);
        ini.writeString("Parametros", "UltimoBackup", ultimo);
    }
    // Runs the connection step alone, the way the start runs it.
    void connectWith(TfrmSplash& frm) {
        sessaoUsuario().localarquivoiniteste = settingsPath();
        frm.ConectaBanco();
    }
};

// ---------------------------------------------------------------- backup warning

TEST_F(SplashStartTest, BackupWarningFromTheDayTheLimitIsReached) {
    writeSite();
    auto frm = makeSplash();
    writeIbUtil("S", "7", "08/03/2024 23:10:00"); // 7 days before 15/03/2024
    frm->ProcuraLocalIniServidor();
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "ATENÇÃO: O Backup da Base de dados não está atualizado há 7 dias"_q);
    EXPECT_EQ(dlg.lastMessage().caption, "Aviso do Sistema");
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Information);
    EXPECT_EQ(dlg.lastMessage().buttons, MsgButtons::Ok);
    EXPECT_EQ(endRequests, 0) << "the start goes on";

    dlg.clear();
    writeIbUtil("S", "7", "09/03/2024");
    frm->ProcuraLocalIniServidor();
    EXPECT_EQ(dlg.messageCount(), 0) << "one day younger";

    writeIbUtil("s", "7", "01/01/2020");
    frm->ProcuraLocalIniServidor();
    EXPECT_EQ(dlg.messageCount(), 0) << "a lower-case s switches the warning off";
}

TEST_F(SplashStartTest, UnreadableBackupSettingsAreReported) {
    writeSite();
    auto frm = makeSplash();
    writeIbUtil("S", "sete", "08/03/2024");
    frm->ProcuraLocalIniServidor();
    writeIbUtil("S", "7", "nunca");
    frm->ProcuraLocalIniServidor();
    ASSERT_EQ(dlg.messageCount(), 2);
    EXPECT_EQ(dlg.texts()[0],
              "ATENÇÃO: Não foi possível verificar a data do último Backup da Base de dados."_q);
    EXPECT_EQ(dlg.texts()[1], dlg.texts()[0]);
    EXPECT_EQ(endRequests, 0);
}

// ---------------------------------------------------------------- settings file and locator

TEST_F(SplashStartTest, SettingsFileNamedByTheProgramSettingsIsUsed) {
    writeSite();
    auto frm = makeSplash();
    frm->ProcuraLocalIniServidor();
    EXPECT_EQ(locatorCalls, 0);
    EXPECT_EQ(frm->localiniservidor, settingsPath());
    EXPECT_EQ(sessaoUsuario().localarquivoiniteste, settingsPath());
}

TEST_F(SplashStartTest, LocatorLeftWithoutChoiceEndsTheStart) {
    writeSite();
    QFile::remove(programSettings());
    auto frm = makeSplash();
    frm->FormShow();
    EXPECT_EQ(locatorCalls, 1);
    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(frm->endRequested());
    EXPECT_EQ(sessaoUsuario().erroconexao, 10);
    EXPECT_EQ(dlg.messageCount(), 0) << "the start stops without trying to connect";
    EXPECT_FALSE(frm->bttEntrar->isEnabled());
}

TEST_F(SplashStartTest, SuccessfulStartWithTheLocatorWritesTheSettings) {
    writeSite();
    QFile::remove(programSettings());
    locatorAnswer = [this] { sessaoUsuario().localarquivoiniteste = settingsPath(); };
    {
        auto frm = makeSplash();
        frm->FormShow();
        EXPECT_EQ(endRequests, 0);
        EXPECT_TRUE(frm->localiniservidor.isEmpty());
        EXPECT_TRUE(frm->bttEntrar->isEnabled());
    }
    EXPECT_EQ(nomearquivo(), settingsPath());

    // The next start no longer asks.
    sessaoUsuario() = TSessaoUsuario{};
    auto next = makeSplash();
    next->FormShow();
    EXPECT_EQ(locatorCalls, 1);
    EXPECT_EQ(next->localiniservidor, settingsPath());
}

// ---------------------------------------------------------------- connection

TEST_F(SplashStartTest, MarkerFileGdbWinsOverFdb) {
    const QString ini = site.filePath("Dados/base.ini");
    EXPECT_EQ(TfrmSplash::arquivoMarcador(ini), "") << "neither";
    touch(site.filePath("Dados/base.FDB"));
    EXPECT_EQ(TfrmSplash::arquivoMarcador(ini), site.filePath("Dados/base.FDB"));
    touch(site.filePath("Dados/base.GDB"));
    EXPECT_EQ(TfrmSplash::arquivoMarcador(ini), site.filePath("Dados/base.GDB"));
}

TEST_F(SplashStartTest, OnlyTheFdbMarkerIsEnough) {
    writeSite();
    auto frm = makeSplash();
    connectWith(*frm);
    EXPECT_EQ(dlg.messageCount(), 0);
    EXPECT_EQ(endRequests, 0);
    EXPECT_EQ(sessaoUsuario().erroconexao, 0);
}

TEST_F(SplashStartTest, MissingMarkerShowsM2WithAnEmptyPath) {
    writeSite();
    QFile::remove(site.filePath("Dados/base.FDB"));
    IniFile(programSettings()).writeString("IniServidor", "nomearquivo", "anterior.ini");
    auto frm = makeSplash();
    connectWith(*frm);
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text,
              "Não foi encontrado o arquivo  do banco de dados.\rEntre em contato com o suporte técnico."_q);
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Error);
    EXPECT_EQ(dlg.lastMessage().caption, "Aviso do Sistema");
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(sessaoUsuario().erroconexao, 10);
    EXPECT_EQ(nomearquivo(), "anterior.ini");
}

TEST_F(SplashStartTest, MissingSettingsFileShowsM3) {
    IniFile(programSettings()).writeString("IniServidor", "nomearquivo", settingsPath());
    auto frm = makeSplash();
    connectWith(*frm);
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text,
              "Não foi encontrado o arquivo "_q + settingsPath() +
                  " necessário para fazer \ra conexão com o banco de dados. Entre em "_q
                  "contato com o suporte técnico."_q);
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Error);
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(sessaoUsuario().erroconexao, 10);

    // A failed step is not repeated.
    frm->ConectaBanco();
    EXPECT_EQ(dlg.messageCount(), 1);
}

TEST_F(SplashStartTest, ServerNotAnsweringShowsM1Quickly) {
    writeSite();
    IniFile(programSettings()).writeString("IniServidor", "nomearquivo", "anterior.ini");
    for (const QString servidor : {"127.0.0.1", "127.0.0.1/1"}) {
        sessaoUsuario() = TSessaoUsuario{};
        dlg.clear();
        endRequests = 0;
        writeConnectionSettings(servidor, "/nonexistent/", "nada.fdb");
        auto frm = makeSplash();
        QElapsedTimer timer;
        timer.start();
        connectWith(*frm);
        EXPECT_LT(timer.elapsed(), 10000) << servidor.toStdString();
        EXPECT_EQ(frm->sCaminhoBanco, servidor + ":/nonexistent/nada.fdb");
        ASSERT_EQ(dlg.messageCount(), 1) << servidor.toStdString();
        EXPECT_TRUE(dlg.lastMessage().text.startsWith(M1)) << dlg.lastMessage().text.toStdString();
        EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Error);
        EXPECT_EQ(endRequests, 1);
        EXPECT_EQ(sessaoUsuario().erroconexao, 10);
        EXPECT_FALSE(frm->IBD_Teste.connected());
    }
    EXPECT_EQ(nomearquivo(), "anterior.ini") << "a failed connection leaves nomearquivo as it was";
}

TEST_F(SplashStartTest, FailingUpdatePathsFailTheConnection) {
    writeSite();
    auto frm = makeSplash();
    frm->updateSteps.preparePaths = [] { throw AppError("caminho"); };
    connectWith(*frm);
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_TRUE(dlg.lastMessage().text.startsWith(M1)) << dlg.lastMessage().text.toStdString();
    EXPECT_FALSE(frm->IBD_Teste.connected());
}

TEST_F(SplashStartTest, LocalPathConnectsAndRecordsTheSettingsFile) {
    writeSite();
    QFile::remove(programSettings());
    auto frm = makeSplash();
    connectWith(*frm);
    EXPECT_EQ(dlg.messageCount(), 0);
    EXPECT_EQ(frm->sCaminhoBanco, db.folder() + "/test.fdb") << "no server: path and name alone";
    EXPECT_EQ(nomearquivo(), settingsPath());
    EXPECT_EQ(versaoERP(), "Versao Inicial") << "the script level runs after the connection";
    EXPECT_FALSE(frm->pnlStatus->font().bold());
}

TEST_F(SplashStartTest, DatabaseOpenedByAnotherProcessShowsM1) {
    writeSite();
    db.db.disconnect();
    QProcess holder;
    holder.start("isql-fb", {"-user", "SYSDBA", "-password", "x", db.path});
    if (!holder.waitForStarted(5000)) GTEST_SKIP() << "isql-fb is not available";
    holder.write("select 1 from rdb$database;\n");
    QByteArray out;
    while (!out.contains("CONSTANT") && holder.waitForReadyRead(10000))
        out += holder.readAllStandardOutput();
    ASSERT_TRUE(out.contains("CONSTANT")) << out.toStdString() << holder.readAllStandardError().toStdString();

    auto frm = makeSplash();
    QElapsedTimer timer;
    timer.start();
    connectWith(*frm);
    EXPECT_LT(timer.elapsed(), 10000);
    ASSERT_EQ(dlg.messageCount(), 1);
    // The engine's own reason goes with the message.
    EXPECT_TRUE(dlg.lastMessage().text.contains("Mensagem do banco de dados: "_q));
    EXPECT_TRUE(dlg.lastMessage().text.startsWith(M1)) << dlg.lastMessage().text.toStdString();
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Error);

    holder.closeWriteChannel();
    if (!holder.waitForFinished(10000)) {
        holder.kill();
        holder.waitForFinished(5000);
    }
    db.db.connect();
}

// ---------------------------------------------------------------- the whole start

TEST_F(SplashStartTest, WindowBeforeTheStart) {
    auto frm = makeSplash();
    EXPECT_EQ(frm->windowTitle(), "Nexmoro Cortivandela");
    EXPECT_EQ(frm->height(), 405);
    EXPECT_EQ(frm->minimumSize(), frm->maximumSize()) << "fixed size";
    EXPECT_FALSE(frm->imgLogo->pixmap().isNull());
    EXPECT_EQ(frm->lblVersao->text(), "Atualização 00/00/0000 00:00"_q);
    for (const char* name : {"meUsuario", "meSenha", "mskNovaSenha", "mskConfirmaSenha"})
        EXPECT_TRUE(frm->findChild<QLineEdit*>(name)->isHidden()) << name;
    for (const char* name : {"bttEntrar", "btnAlterarSenha", "bttSair"})
        EXPECT_FALSE(frm->findChild<QPushButton*>(name)->isEnabled()) << name;
    EXPECT_TRUE(frm->btnCancelar->isHidden());
    EXPECT_EQ(frm->meSenha->echoMode(), QLineEdit::Password);
    EXPECT_EQ(frm->findChildren<QStatusBar*>().size(), 1);
}

TEST_F(SplashStartTest, FullStartPreparesTheLogin) {
    writeSite();
    auto frm = makeSplash();
    frm->show();
    frm->FormShow();
    EXPECT_EQ(dlg.messageCount(), 0) << dlg.texts().join('\n').toStdString();
    EXPECT_EQ(frm->statusText(), "Identificação do Usuário para Entrar no Sistema"_q);
    EXPECT_EQ(frm->lblVersao->text(), "Atualização: 10/02/2024 14:35"_q);
    EXPECT_FALSE(frm->meUsuario->isHidden());
    EXPECT_FALSE(frm->meSenha->isHidden());
    EXPECT_TRUE(frm->bttEntrar->isEnabled());
    EXPECT_TRUE(frm->btnAlterarSenha->isEnabled());
    EXPECT_TRUE(frm->bttSair->isEnabled());
    EXPECT_EQ(frm->focusWidget(), frm->meUsuario);
    EXPECT_EQ(frm->IBD_Teste.databaseName(), db.folder() + "/test.fdb");
}

TEST_F(SplashStartTest, StartThatCannotConnectReturnsWithoutWaitingForALogin) {
    IniFile(programSettings()).writeString("IniServidor", "nomearquivo", settingsPath()); // file missing
    auto frm = makeSplash();
    // A safety net: should the window wait for a login, it is closed after a while.
    QTimer::singleShot(5000, frm.get(), [&] { frm->reject(); });
    EXPECT_FALSE(frm->execStart());
    EXPECT_TRUE(frm->isHidden());
    EXPECT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(endRequests, 1);
}

TEST_F(SplashStartTest, ScriptLevelFailureIsShownAndEndsTheStart) {
    writeSite();
    db.exec("drop table MOV_LOG_ATUALIZACAO");
    auto frm = makeSplash();
    QTimer::singleShot(5000, frm.get(), [&] { frm->reject(); });
    EXPECT_FALSE(frm->execStart());
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Error);
    EXPECT_TRUE(dlg.lastMessage().text.contains("MOV_LOG_ATUALIZACAO", Qt::CaseInsensitive))
        << dlg.lastMessage().text.toStdString();
    EXPECT_EQ(endRequests, 1);
    EXPECT_FALSE(frm->bttEntrar->isEnabled());
}

TEST_F(SplashStartTest, TheCaptureOfAnUnmailedReportIsRemovedAtTheNextStart) {
    writeSite();
    touch(site.filePath("Sistema/erro.bmp"));
    auto frm = makeSplash();
    frm->show();
    frm->FormShow();
    EXPECT_FALSE(QFile::exists(site.filePath("Sistema/erro.bmp")));
    EXPECT_EQ(dlg.messageCount(), 0) << dlg.texts().join('\n').toStdString();
}

// A database file cut short or damaged (a full copy that ran out of disk, a broken disk): the
// start says so in Portuguese, with the connection message and the engine's words, whether the
// engine refuses the file at once or only when the start reads from it.
class ArquivoDanificado : public SplashStartTest {
protected:
    ArquivoDanificado() : SplashStartTest(QString()) {} // the whole schema: a file of some size
};

TEST_F(ArquivoDanificado, ACutOrDamagedFileIsTheConnectionMessageWithTheEnginesWords) {
    writeSite();
    db.db.disconnect();
    const QString copia = db.path + ".inteiro";
    ASSERT_TRUE(QFile::copy(db.path, copia));
    const qint64 inteiro = QFileInfo(copia).size();
    struct Dano {
        const char* nome;
        std::function<void(QFile&)> faz;
    };
    const Dano danos[] = {
        {"cortado no início", [](QFile& f) { f.resize(16384); }},
        {"cortado no meio", [inteiro](QFile& f) { f.resize(inteiro * 6 / 10); }},
        {"páginas trocadas",
         [](QFile& f) {
             f.seek(5 * 8192);
             f.write(QByteArray(3 * 8192, '\x5a'));
         }},
    };
    for (const Dano& d : danos) {
        QFile::remove(db.path);
        ASSERT_TRUE(QFile::copy(copia, db.path));
        {
            QFile f(db.path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            d.faz(f);
        }
        dlg.clear();
        sessaoUsuario() = TSessaoUsuario{};
        auto frm = makeSplash();
        frm->show();
        frm->FormShow();
        ASSERT_EQ(dlg.messageCount(), 1) << d.nome << ": " << dlg.texts().join("\n").toStdString();
        const QString texto = dlg.lastMessage().text;
        EXPECT_TRUE(texto.startsWith(M1)) << d.nome << ": " << texto.toStdString();
        EXPECT_TRUE(
            texto.contains("O arquivo do banco de dados está danificado ou incompleto. Restaure a última "
                           "cópia de segurança (backup) ou entre em contato com o suporte técnico."_q))
            << d.nome << ": " << texto.toStdString();
        EXPECT_TRUE(texto.contains("Mensagem do banco de dados: "_q)) << d.nome;
        EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Error);
        EXPECT_TRUE(frm->endRequested()) << d.nome;
        EXPECT_EQ(sessaoUsuario().erroconexao, 10) << d.nome;
        EXPECT_FALSE(frm->IBD_Teste.connected()) << d.nome;
        EXPECT_FALSE(frm->bttEntrar->isEnabled()) << d.nome;
    }
    QFile::remove(db.path);
    QFile::copy(copia, db.path);
}

TEST(EmbeddedEngine, PrivateLockFolderOnlyWhenTheSharedOneCannotBeUsed) {
    const QByteArray saved = qgetenv("FIREBIRD_LOCK");
    const bool wasSet = qEnvironmentVariableIsSet("FIREBIRD_LOCK");
    qunsetenv("FIREBIRD_LOCK");
    QTemporaryDir writable;
    EXPECT_FALSE(prepareEmbeddedEngine(writable.path()));
    EXPECT_FALSE(qEnvironmentVariableIsSet("FIREBIRD_LOCK"));
    EXPECT_FALSE(prepareEmbeddedEngine(writable.filePath("missing"))) << "the engine can create it";

    const bool set = prepareEmbeddedEngine("/nonexistent-ctv/x/lock");
    const QString lock = qEnvironmentVariable("FIREBIRD_LOCK");
    EXPECT_TRUE(set);
    EXPECT_TRUE(QFileInfo(lock).isDir()) << lock.toStdString();

    qputenv("FIREBIRD_LOCK", "/somewhere");
    EXPECT_FALSE(prepareEmbeddedEngine("/nonexistent-ctv/x/lock")) << "a configured folder is kept";
    EXPECT_EQ(qgetenv("FIREBIRD_LOCK"), "/somewhere");

    if (wasSet)
        qputenv("FIREBIRD_LOCK", saved);
    else
        qunsetenv("FIREBIRD_LOCK");
}

} // namespace

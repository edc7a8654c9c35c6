#pragma once
// A site for the error report and survey tests: Sistema/ with the executable's path and the
// support settings, Dados/ with the connection settings file, a main window connected to a
// fresh embedded database with the tables the reports touch, and every seam installed.
#include "TestDb.h"
#include "Utf8Literal.h"
#include "data/DataContext.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/MailTransport.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"
#include "screens/UnPrincipal.h"
#include "support/ExibeJanela.h"
#include "support/UnErroSistema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

inline const QString kSupportSchema = QStringLiteral(R"(
CREATE TABLE SIS_GR_USUARIO (
  ID_GR_USUARIO INTEGER NOT NULL PRIMARY KEY,
  NM_GR_USUARIO VARCHAR(30) NOT NULL);
CREATE TABLE SIS_USUARIO (
  ID_USUARIO INTEGER NOT NULL PRIMARY KEY,
  NM_USUARIO VARCHAR(40),
  ID_GR_USUARIO INTEGER,
  NM_ACESSO VARCHAR(15) NOT NULL,
  DS_SENHA VARCHAR(15));
CREATE TABLE TAB_PARAMETRO (
  ID_PARAMETRO INTEGER NOT NULL PRIMARY KEY,
  NM_EMPRESA VARCHAR(51),
  NO_CNPJCPF VARCHAR(20));
CREATE TABLE TAB_ESTADO (
  SG_ESTADO CHAR(2) NOT NULL PRIMARY KEY,
  NM_ESTADO VARCHAR(40));
CREATE TABLE TAB_TP_EQUIPAMENTO (
  ID_TP_EQUIPAMENTO INTEGER NOT NULL PRIMARY KEY,
  NM_TP_EQUIPAMENTO VARCHAR(50) NOT NULL);
CREATE UNIQUE INDEX NOME_DO_EQUIPAMENTO_IDX1 ON TAB_TP_EQUIPAMENTO (NM_TP_EQUIPAMENTO);
CREATE TABLE CAD_EQUIPAMENTO (
  ID_EQUIPAMENTO INTEGER NOT NULL PRIMARY KEY,
  ID_TP_EQUIPAMENTO INTEGER,
  CONSTRAINT FK_EQUIPAMENTO_TIPO FOREIGN KEY (ID_TP_EQUIPAMENTO) REFERENCES TAB_TP_EQUIPAMENTO);
CREATE TABLE TAB_CODIGO (
  CD_CODIGO VARCHAR(10) NOT NULL,
  CD_SERIE VARCHAR(10),
  CONSTRAINT UNQ_CODIGO_SERIE UNIQUE (CD_CODIGO, CD_SERIE));
)");

// What the report window showed when the test's presenter saw it.
struct RelatorioVisto {
    QString problema, solucao, detalhes, codigo;
    QColor corSolucao;
    QStringList falhas;
    bool emailEnviado = false;
    bool reiniciar = false;
    ResultadoRegras resultado;
    QString titulo;
};

class SupportSite : public ::testing::Test {
protected:
    explicit SupportSite(const QString& schema = kSupportSchema) : db(schema) {}

    void SetUp() override {
        QDir(site.path()).mkpath("Sistema");
        QDir(site.path()).mkpath("Dados");
        exePath = site.filePath("Sistema/cortivandela");
        QFile exe(exePath);
        exe.open(QIODevice::WriteOnly);
        exe.write("program");
        exe.close();
        facts.setExecutablePath(exePath);
        facts.setIpv4Address("192.168.0.15");
        facts.setDesktopFolder(site.filePath("Desktop"));
        IniFile conn(connectionSettings());
        conn.writeString("Database", "servidor", "");
        conn.writeString("Database", "path", db.folder() + "/");
        conn.writeString("Database", "name", "test.fdb");

        db.exec("insert into SIS_GR_USUARIO values (2, 'Laboratório')");
        db.exec("insert into SIS_USUARIO values (1, 'Maria da Silva', 2, 'MARIA', 'x')");
        db.exec("insert into TAB_PARAMETRO values (1, 'Laboratorio Hidro', '11222333000181')");

        TSessaoUsuario& s = sessaoUsuario();
        s = TSessaoUsuario{};
        s.codusuario = 1;
        s.grupousuario = 2;
        s.Nm_usuario = "Maria da Silva";
        s.localarquivoiniteste = connectionSettings();

        principal = std::make_unique<TfrmClassePrincipal>();
        principal->requestEnd = [this] { ++endRequests; };
        principal->IBSolution.setDatabaseName(db.path);
        principal->IBSolution.connect();
        InstalaErroSistema(
            *principal, [] { return QStringLiteral("3.1"); }, [] { return QStringLiteral("57"); });
    }

    void TearDown() override {
        principal.reset();
        dataContext() = DataContext{};
        QApplication::processEvents();
    }

    QString connectionSettings() const { return site.filePath("Dados/TESTE.ini"); }
    QString logPath() const { return site.filePath("Dados/Avisos do Sistema.log"); }
    QString supportSettings() const { return site.filePath("Sistema/Suporte.ini"); }

    // The support settings with a mail password, in an owner-only file.
    void writeSupportSettings(const QString& extra = QString(), bool ownerOnly = true) {
        QFile f(supportSettings());
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(("[Suporte]\r\nServidorEmail=127.0.0.1\r\nEmailAlerta=alerta@teste.local\r\n"
                 "SenhaEmail=segredo\r\n" +
                 extra)
                    .toUtf8());
        f.close();
        f.setPermissions(ownerOnly ? QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                   : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }

    QStringList logLines() const {
        QFile f(logPath());
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromLatin1(f.readAll()).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }

    // Runs the statement and returns the database's error text (empty when it worked).
    QString provoke(const QString& sql) {
        try {
            db.exec(sql);
        } catch (const std::exception&) {
            const QString text = exceptionText(std::current_exception());
            try {
                db.tr.rollback();
            } catch (...) {
            }
            return text;
        }
        return QString();
    }

    // Sends the error through the application's hook and records what the report showed; the
    // presenter closes the window with its button, as the user would.
    void report(const QString& message) { reportException(std::make_exception_ptr(AppError(message))); }

    ScopedExibeJanela presenter{[this](QDialog& d) {
        auto& frm = static_cast<TfrmErroSistema&>(d);
        ++shown;
        RelatorioVisto v;
        v.titulo = frm.windowTitle();
        v.problema = frm.mmErro->toPlainText();
        v.solucao = frm.mmSolucao->toPlainText();
        v.detalhes = frm.memDetalhesTecnicos->toPlainText();
        v.codigo = frm.lblCodigoErro->text();
        v.corSolucao = frm.mmSolucao->palette().color(QPalette::Text);
        v.falhas = frm.falhas;
        v.emailEnviado = frm.emailEnviado;
        v.reiniciar = frm.it_bEncerrarSistemaAutomaticamente;
        v.resultado = frm.resultado;
        seen = v;
        jpgWhileOpen = principal ? principal->jpggerado : QString();
        jpgExistedWhileOpen = QFile::exists(jpgWhileOpen);
        if (beforeClose) beforeClose(frm);
        frm.show();
        QTest::mouseClick(frm.BitBtn3, Qt::LeftButton);
    }};

    QTemporaryDir site;
    TestDb db;
    QString exePath;
    FakeOsFacts facts;
    ScopedOsFacts useFacts{facts};
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs{dlg};
    FixedClock clock{QDateTime(QDate(2024, 3, 15), QTime(10, 30, 0))};
    ScopedClock useClock{clock};
    ScriptedMailTransport mail;
    ScopedMailTransport useMail{mail};
    FakeProcesses procs;
    ScopedProcesses useProcs{procs};
    std::unique_ptr<TfrmClassePrincipal> principal;
    int endRequests = 0;
    int shown = 0;
    RelatorioVisto seen;
    QString jpgWhileOpen;
    bool jpgExistedWhileOpen = false;
    std::function<void(TfrmErroSistema&)> beforeClose;
};

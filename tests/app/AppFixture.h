#pragma once
// A site on disk for the start-up and login tests: Sistema/ with the executable and its
// settings file, Dados/ with the connection settings file and its marker, a fresh database
// with the tables the login uses, and the seams (dialogs, clock, OS facts) installed.
#include "QtPrinters.h"
#include "TestDb.h"
#include "Utf8Literal.h"
#include "app/UnScript.h"
#include "app/UnSplash.h"
#include "data/DataContext.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// The shared tables as far as the login and the script level use them; TAB_PARAMETRO without
// the two script level columns, as older databases have it.
inline const QString kAppTestSchema = QStringLiteral(R"(
CREATE TABLE SIS_GR_USUARIO (
  ID_GR_USUARIO INTEGER NOT NULL PRIMARY KEY,
  NM_GR_USUARIO VARCHAR(30) NOT NULL);
CREATE TABLE SIS_USUARIO (
  ID_USUARIO INTEGER NOT NULL PRIMARY KEY,
  NM_USUARIO VARCHAR(40),
  ID_GR_USUARIO INTEGER REFERENCES SIS_GR_USUARIO (ID_GR_USUARIO),
  NM_ACESSO VARCHAR(15) NOT NULL UNIQUE,
  DS_SENHA VARCHAR(15));
CREATE TABLE SIS_LOG_LOGIN (
  ID_LOG_LOGIN INTEGER NOT NULL PRIMARY KEY,
  ID_USUARIO INTEGER,
  ID_GR_USUARIO INTEGER,
  NM_APLICATIVO VARCHAR(40),
  DH_LOGIN TIMESTAMP,
  DH_LOGOFF TIMESTAMP,
  CD_IP VARCHAR(40));
CREATE TABLE TAB_PARAMETRO (
  ID_PARAMETRO INTEGER DEFAULT 1 NOT NULL PRIMARY KEY,
  NM_EMPRESA VARCHAR(51),
  ST_LOGIN_USUARIO_WINDOWS CHAR(1));
CREATE TABLE MOV_LOG_ATUALIZACAO (
  ID_LOG_ATUALIZACAO INTEGER NOT NULL PRIMARY KEY,
  NO_LOG_ATUALIZACAO INTEGER NOT NULL);
)");

class AppSite : public ::testing::Test {
protected:
    explicit AppSite(const QString& schema = kAppTestSchema) : db(schema) {}

    void SetUp() override {
        sessaoUsuario() = TSessaoUsuario{};
        versaoERP().clear();
        scriptRodado().clear();
        QDir(site.path()).mkpath("Sistema");
        QDir(site.path()).mkpath("Dados");
        exePath = site.filePath("Sistema/cortivandela");
        QFile exe(exePath);
        exe.open(QIODevice::WriteOnly);
        exe.write("program");
        exe.close();
        exe.open(QIODevice::ReadWrite);
        exe.setFileTime(exeTime, QFileDevice::FileModificationTime);
        exe.close();
        facts.setExecutablePath(exePath);
        facts.setUserName("maria");
        facts.setIpv4Address(" 10.1.2.3 ");
        db.exec("insert into TAB_PARAMETRO (ID_PARAMETRO, NM_EMPRESA) values (1, 'Laboratorio')");
    }

    QString settingsPath() const { return site.filePath("Dados/base.ini"); }
    QString programSettings() const { return programSettingsPath(exePath); }

    // Connection settings file for the test database, its marker, and nomearquivo naming it.
    void writeSite(const QString& servidor = QString()) {
        writeConnectionSettings(servidor, db.folder() + "/", "test.fdb");
        touch(site.filePath("Dados/base.FDB"));
        IniFile(programSettings()).writeString("IniServidor", "nomearquivo", settingsPath());
    }
    void writeConnectionSettings(const QString& servidor, const QString& path, const QString& name) {
        IniFile ini(settingsPath());
        ini.writeString("Database", "servidor", servidor);
        ini.writeString("Database", "path", path);
        ini.writeString("Database", "name", name);
    }
    static void touch(const QString& file) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
    }
    QString nomearquivo() const {
        return IniFile(programSettings()).readString("IniServidor", "nomearquivo");
    }

    void addGroup(int id, const QString& name) {
        db.exec(QString("insert into SIS_GR_USUARIO values (%1, '%2')").arg(id).arg(name));
    }
    void addUser(int id, const QString& login, const QString& senha, const QString& nome, int grupo) {
        db.exec(
            QString("insert into SIS_USUARIO (ID_USUARIO, NM_USUARIO, ID_GR_USUARIO, NM_ACESSO, DS_SENHA) "
                    "values (%1, %2, %3, %4, %5)")
                .arg(id)
                .arg(sqlText(nome), grupo == 0 ? QString("NULL") : QString::number(grupo), sqlText(login),
                     sqlText(senha)));
    }
    static QString sqlText(const QString& s) {
        QString t = s;
        t.replace("'", "''");
        return "'" + t + "'";
    }

    // A login window whose end-of-application requests and locator calls are only counted.
    std::unique_ptr<TfrmSplash> makeSplash() {
        auto frm = std::make_unique<TfrmSplash>();
        frm->requestEnd = [this] { ++endRequests; };
        frm->mostraLocalizador = [this] {
            ++locatorCalls;
            if (locatorAnswer) locatorAnswer();
        };
        return frm;
    }

    QTemporaryDir site;
    TestDb db;
    QString exePath;
    const QDateTime exeTime{QDate(2024, 2, 10), QTime(14, 35, 50)};
    FakeOsFacts facts;
    ScopedOsFacts useFacts{facts};
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs{dlg};
    FixedClock clock{QDateTime(QDate(2024, 3, 15), QTime(10, 30, 0))};
    ScopedClock useClock{clock};
    int endRequests = 0;
    int locatorCalls = 0;
    std::function<void()> locatorAnswer;
};

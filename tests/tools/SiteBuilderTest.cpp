// A new site on disk: folders, settings files that lead to the database, the demo data in it,
// and a second run on the same folder refused without touching anything.
#include "sitegen/SiteBuilder.h"
#include "QtPrinters.h"
#include "data/Query.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SiteBuilderTest, CreatesAWorkingSiteAndRefusesASecondRun) {
    QTemporaryDir tmp;
    const QString dir = tmp.filePath("site");
    createSite(dir, SiteOptions{}, [](const QString&) {});
    SiteLayout site(dir);
    for (const QString& p : {site.sistema, site.excel, site.imagens, site.update, site.pesquisa})
        EXPECT_TRUE(QFileInfo(p).isDir()) << p.toStdString();

    // The program settings name the connection settings, which lead to the database file.
    IniFile prog(site.programSettings());
    const QString conn = prog.readString("IniServidor", "nomearquivo", "");
    EXPECT_EQ(conn, site.connectionSettings());
    IniFile ini(conn);
    EXPECT_TRUE(ini.readString("Database", "servidor", "").isEmpty());
    const QString db = ini.readString("Database", "path", "") + ini.readString("Database", "name", "");
    EXPECT_TRUE(QFileInfo::exists(db));
    // The marker beside the settings file is the database itself.
    EXPECT_TRUE(QFileInfo::exists(conn.left(conn.size() - 4) + ".FDB"));

    Database d;
    d.setDatabaseName(db);
    d.connect();
    Transaction tr(&d);
    d.setDefaultTransaction(&tr);
    Query q(&d);
    q.setSqlText("select count(*) from mov_analise");
    q.open();
    EXPECT_GT(q.field(0)->asInteger(), 100);
    q.close();
    d.disconnect();

    // The support settings: defaults in place, the password left for the administrator, the
    // file readable by its owner only.
    const QFileInfo suporte(site.supportSettings());
    const auto others =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_EQ(suporte.permissions() & others, 0);
    EXPECT_TRUE(suporte.permissions() & QFileDevice::ReadOwner);
    EXPECT_EQ(IniFile(site.supportSettings()).readString("Suporte", "PortaSMTP"), "465");
    EXPECT_EQ(IniFile(site.supportSettings()).readString("Suporte", "SenhaEmail"), "");
    EXPECT_TRUE(QFileInfo(site.update + "/nexmoroAtualizador.exe").isExecutable());

    const qint64 size = QFileInfo(db).size();
    try {
        createSite(dir, SiteOptions{}, [](const QString&) {});
        FAIL() << "a second run must refuse";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains("já existe")) << e.message().toStdString();
    }
    EXPECT_EQ(QFileInfo(db).size(), size);
}

// The site's updater brings the update folder's copy into the program folder (folders with
// blanks arrive as "§"), leaves the two files the next start cleans up and starts the program.
TEST(SiteBuilderTest, TheSitesUpdaterReplacesTheProgramAndStartsIt) {
    QTemporaryDir tmp;
    const QString dir = tmp.filePath("site");
    createSite(dir, SiteOptions{}, [](const QString&) {});
    SiteLayout site(dir);
    const QString pasta = tmp.filePath("Meu Sistema");
    QDir().mkpath(pasta);
    auto write = [](const QString& path, const QByteArray& text) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };
    write(pasta + "/ctv-teste-prog", "#!/bin/sh\necho velho\n");
    write(site.update + "/ctv-teste-prog", "#!/bin/sh\necho novo > \"$(dirname \"$0\")/marca\"\n");
    QProcess updater;
    updater.start(site.update + "/nexmoroAtualizador.exe",
                  {"@F1", "@M" + QString(site.update).replace(' ', QString::fromUtf8("\u00a7")),
                   "@E" + QString(pasta).replace(' ', QString::fromUtf8("\u00a7")), "@Actv-teste-prog"});
    ASSERT_TRUE(updater.waitForFinished(20000));
    EXPECT_EQ(updater.exitCode(), 0) << updater.readAllStandardError().toStdString();
    QFile marca(pasta + "/marca");
    ASSERT_TRUE(marca.open(QIODevice::ReadOnly));
    EXPECT_EQ(marca.readAll(), "novo\n");
    EXPECT_TRUE(QFileInfo::exists(pasta + "/Exec-ctv-teste-prog"));
    EXPECT_EQ(IniFile(pasta + "/Exec-ctv-teste-prog.ini").readString("configuracao", "pastamestre"),
              site.update);
}

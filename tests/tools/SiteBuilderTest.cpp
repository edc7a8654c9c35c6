// A new site on disk: folders, settings files that lead to the database, the demo data in it,
// and a second run on the same folder refused without touching anything.
#include "sitegen/SiteBuilder.h"
#include "QtPrinters.h"
#include "data/Query.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include <QFileInfo>
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

    const qint64 size = QFileInfo(db).size();
    try {
        createSite(dir, SiteOptions{}, [](const QString&) {});
        FAIL() << "a second run must refuse";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.message().contains("já existe")) << e.message().toStdString();
    }
    EXPECT_EQ(QFileInfo(db).size(), size);
}

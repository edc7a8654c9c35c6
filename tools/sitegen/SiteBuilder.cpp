#include "sitegen/SiteBuilder.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "platform/IniFile.h"
#include "sitegen/DemoData.h"
#include "sitegen/DemoImages.h"
#include <QDir>
#include <QFileInfo>
#include <memory>
#include <unistd.h>

namespace {

// The generator's statements on the data layer.
class DbSink : public SqlSink {
public:
    explicit DbSink(Database& db) : m_db(db), m_tr(&db) { m_tr.start(); }
    ~DbSink() override {
        m_prepared.clear();
        if (m_tr.active()) m_tr.rollback();
    }
    void exec(const QString& sql) override {
        Statement st(&m_db, &m_tr);
        st.prepare(sql);
        st.execute();
    }
    int prepare(const QString& sql) override {
        auto st = std::make_unique<Statement>(&m_db, &m_tr);
        st->prepare(sql);
        m_prepared.push_back(std::move(st));
        return static_cast<int>(m_prepared.size()) - 1;
    }
    void execPrepared(int handle, const QVariantList& values) override {
        Statement& st = *m_prepared.at(static_cast<size_t>(handle));
        for (int i = 0; i < values.size(); ++i)
            st.setParam(i, values[i]);
        st.execute();
    }
    void commit() override { m_tr.commitRetaining(); }
    QVariant scalar(const QString& sql) override {
        Statement st(&m_db, &m_tr);
        st.prepare(sql);
        st.openCursor();
        std::vector<char> buf(st.outputLayout().size + 8);
        QVariant v;
        if (st.fetch(buf.data()) && !st.outputLayout().columns.empty())
            v = codec::decode(st.outputLayout().columns[0], buf.data());
        st.closeCursor();
        return v;
    }
    void finish() {
        m_prepared.clear();
        m_tr.commit();
    }

private:
    Database& m_db;
    Transaction m_tr;
    std::vector<std::unique_ptr<Statement>> m_prepared;
};

void mkdir(const QString& path) {
    if (!QDir().mkpath(path)) throw AppError("Não foi possível criar a pasta " + path);
}

} // namespace

SiteLayout::SiteLayout(const QString& r) : root(QDir(r).absolutePath()) {
    sistema = root + "/Sistema";
    dados = root + "/Dados";
    imagens = dados + "/Imagens";
    update = root + "/Update";
    excel = sistema + "/Excel";
    pesquisa = dados + "/PESQUISA";
}

QString SiteLayout::connectionSettings() const {
    return dados + "/CORTIVANDELA.ini";
}
QString SiteLayout::database(const QString& name) const {
    return dados + "/" + name;
}
QString SiteLayout::programSettings(const QString& exeName) const {
    return sistema + "/" + exeName + ".ini";
}

static void buildSite(const SiteLayout& site, const SiteOptions& options,
                      const std::function<void(const QString&)>& progress);

void createSite(const QString& dir, const SiteOptions& options,
                const std::function<void(const QString&)>& progress) {
    SiteLayout site(dir);
    QDir root(site.root);
    if (root.exists() && !root.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        throw AppError("A pasta " + site.root +
                       " já existe e não está vazia; nada foi alterado. "
                       "Escolha outra pasta ou apague esta antes de criar um novo site.");
    try {
        buildSite(site, options, progress);
    } catch (...) {
        // A half-made site would be refused by the next run: take it away again.
        QDir(site.root).removeRecursively();
        throw;
    }
}

static void buildSite(const SiteLayout& site, const SiteOptions& options,
                      const std::function<void(const QString&)>& progress) {
    for (const QString& p : {site.sistema, site.excel, site.dados, site.imagens, site.update, site.pesquisa})
        mkdir(p);

    // The embedded engine needs a writable lock folder for users outside the firebird group.
    if (!qEnvironmentVariableIsSet("FIREBIRD_LOCK") && access("/tmp/firebird", W_OK) != 0) {
        QString lock = QDir::tempPath() + "/ctv-fblock-" + QString::number(getuid());
        QDir().mkpath(lock);
        qputenv("FIREBIRD_LOCK", lock.toLocal8Bit());
    }

    progress("Criando o banco de dados " + site.database(options.databaseName));
    Database db;
    createDatabaseFromSchema(db, site.database(options.databaseName),
                             options.schemaDir.isEmpty() ? QString(CTV_SCHEMA_DIR_DEFAULT)
                                                         : options.schemaDir);
    {
        DbSink sink(db);
        progress("Gravando os dados de demonstração");
        generateDemoData(sink);
        if (options.large) generateLargeData(sink, progress);
        sink.finish();
    }
    db.disconnect();

    progress("Gravando as imagens dos relatórios");
    writeDemoImages(site.imagens, demoOwnCompanyCodes());

    IniFile conn(site.connectionSettings());
    conn.writeString("Database", "servidor", "");
    conn.writeString("Database", "path", QDir::toNativeSeparators(site.dados + "/"));
    conn.writeString("Database", "name", options.databaseName);
    IniFile prog(site.programSettings());
    prog.writeString("IniServidor", "nomearquivo", QDir::toNativeSeparators(site.connectionSettings()));
    progress("Site criado em " + site.root);
}

#include "sitegen/SiteBuilder.h"
#include "data/EmbeddedEngine.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "platform/IniFile.h"
#include "sitegen/DemoData.h"
#include "sitegen/DemoImages.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

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

// The site's updater: the update step of the program starts it from the update folder with
// "@F1 @M<update folder> @E<program folder> @A<program>" (blanks of the folders as "§") and
// ends. It waits for the program to end, copies the update folder's copy over it, leaves the
// two "Exec-" files the next start cleans up, and starts the program again.
const char* const kAtualizador = R"(#!/bin/sh
M= E= A=
for p in "$@"; do
  case "$p" in
    @F*) ;;
    @M*) M=$(printf '%s' "${p#@M}" | sed 's/§/ /g') ;;
    @E*) E=$(printf '%s' "${p#@E}" | sed 's/§/ /g') ;;
    @A*) A="${p#@A}" ;;
    *) [ -n "$A" ] && A="$A $p" ;;
  esac
done
[ -n "$M" ] && [ -n "$E" ] && [ -n "$A" ] || { echo "uso: $0 @F1 @Mpasta @Epasta @Aprograma" >&2; exit 2; }
n=0
while pgrep -x -- "$A" >/dev/null 2>&1 && [ "$n" -lt 60 ]; do sleep 1; n=$((n + 1)); done
cp -p "$M/$A" "$E/$A.novo" && chmod +x "$E/$A.novo" && mv -f "$E/$A.novo" "$E/$A" || exit 1
: > "$E/Exec-$A"
printf '[configuracao]\npastamestre=%s\n' "$M" > "$E/Exec-$A.ini"
cd "$E" && exec "$E/$A"
)";

void writeFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw AppError("Não foi possível gravar o arquivo " + path);
    f.close();
    if (!f.setPermissions(permissions)) throw AppError("Não foi possível ajustar as permissões de " + path);
}

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
QString SiteLayout::supportSettings() const {
    return sistema + "/Suporte.ini";
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

// Switches the audit triggers of the laboratory tables (schema 51_auditoria.sql) on or off.
static void auditoriaAtiva(Database& db, bool ativa) {
    for (const char* gatilho :
         {"MOV_ANALISE_AUDITORIA", "MOV_ANALISE_EQUIPAMENTO_AUDIT", "MOV_ANALISE_RESULTADO_AUDIT"}) {
        Transaction tr(&db);
        tr.start();
        Statement st(&db, &tr);
        st.prepare(QString("alter trigger %1 %2").arg(gatilho, ativa ? "active" : "inactive"));
        st.execute();
        st.free();
        tr.commit();
    }
}

static void buildSite(const SiteLayout& site, const SiteOptions& options,
                      const std::function<void(const QString&)>& progress) {
    for (const QString& p : {site.sistema, site.excel, site.dados, site.imagens, site.update, site.pesquisa})
        mkdir(p);

    // The embedded engine needs a writable lock folder for users outside the firebird group.
    prepareEmbeddedEngine();

    progress("Criando o banco de dados " + site.database(options.databaseName));
    Database db;
    createDatabaseFromSchema(db, site.database(options.databaseName),
                             options.schemaDir.isEmpty() ? QString(CTV_SCHEMA_DIR_DEFAULT)
                                                         : options.schemaDir);
    // The site's starting data is no change of anybody's: the audit trail starts empty.
    auditoriaAtiva(db, false);
    {
        DbSink sink(db);
        progress("Gravando os dados de demonstração");
        generateDemoData(sink);
        if (options.large) generateLargeData(sink, progress);
        sink.finish();
    }
    auditoriaAtiva(db, true);
    db.disconnect();

    progress("Gravando as imagens dos relatórios");
    writeDemoImages(site.imagens, demoOwnCompanyCodes());

    IniFile conn(site.connectionSettings());
    conn.writeString("Database", "servidor", "");
    conn.writeString("Database", "path", QDir::toNativeSeparators(site.dados + "/"));
    conn.writeString("Database", "name", options.databaseName);
    IniFile prog(site.programSettings());
    prog.writeString("IniServidor", "nomearquivo", QDir::toNativeSeparators(site.connectionSettings()));

    // The maker's addresses and the support mail account; the password is filled in by the
    // administrator, in a file only its owner may read.
    writeFile(site.supportSettings(),
              "; Enderecos do fabricante e conta de e-mail dos avisos de erro.\r\n"
              "; Preencha SenhaEmail; este arquivo deve ficar legivel somente pelo dono (chmod 600).\r\n"
              "[Suporte]\r\nServidorEmail=mail.nexmoro.com.br\r\nPortaSMTP=465\r\nPortaPOP3=110\r\n"
              "EmailAlerta=alerta@nexmoro.com.br\r\nSenhaEmail=\r\nCertificadoCA=\r\nTempoLimiteEmail=5\r\n"
              "EmailSuporte=suporte@nexmoro.com.br\r\nEmailInformacoes=contato@nexmoro.com.br\r\n"
              "[Web]\r\nServidorArquivos=arquivos.nexmoro.com.br\r\nSite=www.nexmoro.com.br\r\n"
              "SiteTutoriais=tutoriais.nexmoro.com.br\r\nTempoLimite=5\r\n",
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    writeFile(site.update + "/nexmoroAtualizador.exe", kAtualizador,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                  QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                  QFileDevice::ExeOther);
    progress("Site criado em " + site.root);
}

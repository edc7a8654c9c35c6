#include "data/Schema.h"
#include "data/SqlText.h"
#include "data/Statement.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>

void applyScript(Database& db, const QString& script) {
    Transaction tr(&db);
    for (const QString& stmt : sql::splitScript(script)) {
        tr.start();
        Statement st(&db, &tr);
        try {
            st.prepare(stmt);
            st.execute();
        } catch (const DatabaseError& e) {
            throw DatabaseError(e.message() + "\nStatement: " + stmt.left(300), e.iscCode(), e.sqlState());
        }
        st.free();
        tr.commit();
    }
}

namespace {
const QString kPastaScripts = QStringLiteral(":/esquema");

// Runs a select of one count with text parameters in its own transaction.
bool conta(Database& db, const QString& text, const QStringList& params) {
    Transaction tr(&db);
    tr.start();
    Statement st(&db, &tr);
    st.prepare(text);
    for (int i = 0; i < params.size(); ++i)
        st.setParam(i, params[i]);
    st.openCursor();
    QByteArray buf(st.outputLayout().size, '\0');
    const bool achou =
        st.fetch(buf.data()) && codec::decode(st.outputLayout().columns[0], buf.constData()).toInt() > 0;
    st.closeCursor();
    st.free();
    tr.commit();
    return achou;
}

bool tabelaExiste(Database& db, const QString& tabela) {
    return conta(db, "select count(*) from rdb$relations where rdb$relation_name = ?", {tabela});
}

void executaComando(Database& db, const QString& stmt) {
    Transaction tr(&db);
    tr.start();
    Statement st(&db, &tr);
    st.prepare(stmt);
    st.execute();
    st.free();
    tr.commit();
}

void registraScriptProprio(Database& db, const QString& nome) {
    if (!tabelaExiste(db, "SIS_CTV_SCRIPT")) return;
    Transaction tr(&db);
    tr.start();
    Statement st(&db, &tr);
    st.prepare("update or insert into SIS_CTV_SCRIPT (NM_SCRIPT, DT_EXECUCAO) values (?, current_timestamp) "
               "matching (NM_SCRIPT)");
    st.setParam(0, nome);
    st.execute();
    st.free();
    tr.commit();
}
} // namespace

QStringList scriptsProprios() {
    return QDir(kPastaScripts).entryList({"5*.sql"}, QDir::Files, QDir::Name);
}

QString textoScriptProprio(const QString& nome) {
    QFile file(kPastaScripts + "/" + nome);
    if (!file.open(QIODevice::ReadOnly)) throw AppError("Não foi possível ler o script " + nome);
    return QString::fromUtf8(file.readAll());
}

bool objetoJaExiste(Database& db, const QString& stmt) {
    static const QRegularExpression criacao(
        R"re(^\s*create\s+(?:unique\s+)?(?:(?:asc|ascending|desc|descending)\s+)?)re"
        R"re((table|sequence|generator|index|exception)\s+"?(\w+))re",
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression acrescimo(
        R"re(^\s*alter\s+table\s+"?(\w+)"?\s+add\s+"?(\w+)"?(?:\s+"?(\w+))?)re",
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = criacao.match(stmt); m.hasMatch()) {
        const QString tipo = m.captured(1).toLower();
        const QString nome = m.captured(2).toUpper();
        if (tipo == "table") return tabelaExiste(db, nome);
        if (tipo == "index")
            return conta(db, "select count(*) from rdb$indices where rdb$index_name = ?", {nome});
        if (tipo == "exception")
            return conta(db, "select count(*) from rdb$exceptions where rdb$exception_name = ?", {nome});
        return conta(db, "select count(*) from rdb$generators where rdb$generator_name = ?", {nome});
    }
    if (const auto m = acrescimo.match(stmt); m.hasMatch()) {
        const QString tabela = m.captured(1).toUpper();
        if (m.captured(2).compare("constraint", Qt::CaseInsensitive) == 0)
            return conta(db,
                         "select count(*) from rdb$relation_constraints where rdb$relation_name = ? and "
                         "rdb$constraint_name = ?",
                         {tabela, m.captured(3).toUpper()});
        return conta(
            db, "select count(*) from rdb$relation_fields where rdb$relation_name = ? and rdb$field_name = ?",
            {tabela, m.captured(2).toUpper()});
    }
    return false;
}

void aplicaScriptProprio(Database& db, const QString& nome, const QString& texto) {
    for (const QString& stmt : sql::splitScript(texto)) {
        if (objetoJaExiste(db, stmt)) continue;
        try {
            executaComando(db, stmt);
        } catch (const DatabaseError& e) {
            throw DatabaseError(nome + ": " + e.message() + "\nStatement: " + stmt.left(300), e.iscCode(),
                                e.sqlState());
        }
    }
    registraScriptProprio(db, nome);
}

QStringList tabelasRequeridas(const QString& texto) {
    // "-- Requer: TABELA, TABELA" on a line of its own.
    static const QRegularExpression linha(R"re(^\s*--\s*Requer:\s*(.+)$)re",
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::MultilineOption);
    QStringList out;
    for (auto it = linha.globalMatch(texto); it.hasNext();)
        for (const QString& t : it.next().captured(1).split(',', Qt::SkipEmptyParts))
            if (!t.trimmed().isEmpty()) out << t.trimmed().toUpper();
    return out;
}

bool scriptPodeRodar(Database& db, const QString& texto) {
    for (const QString& t : tabelasRequeridas(texto))
        if (!tabelaExiste(db, t)) return false;
    return true;
}

QStringList atualizaEsquemaProprio(Database& db) {
    QStringList listados;
    if (tabelaExiste(db, "SIS_CTV_SCRIPT")) {
        Transaction tr(&db);
        tr.start();
        Statement st(&db, &tr);
        st.prepare("select NM_SCRIPT from SIS_CTV_SCRIPT");
        st.openCursor();
        QByteArray buf(st.outputLayout().size, '\0');
        while (st.fetch(buf.data()))
            listados << codec::decode(st.outputLayout().columns[0], buf.constData()).toString().trimmed();
        st.closeCursor();
        st.free();
        tr.commit();
    }
    QStringList rodados;
    for (const QString& nome : scriptsProprios()) {
        if (listados.contains(nome)) continue;
        const QString texto = textoScriptProprio(nome);
        // A script on tables the database does not have yet waits for them.
        if (!scriptPodeRodar(db, texto)) continue;
        aplicaScriptProprio(db, nome, texto);
        rodados << nome;
    }
    return rodados;
}

void applySchemaDir(Database& db, const QString& dir) {
    QDir d(dir);
    const QStringList files = d.entryList({"*.sql"}, QDir::Files, QDir::Name);
    if (files.isEmpty()) throw AppError("Nenhum script de banco de dados em " + dir);
    for (const QString& f : files) {
        QFile file(d.filePath(f));
        if (!file.open(QIODevice::ReadOnly)) throw AppError("Não foi possível ler " + file.fileName());
        const QString texto = QString::fromUtf8(file.readAll());
        applyScript(db, texto);
        // A new site lists its own scripts as run, so its first start runs none of them again.
        if (scriptsProprios().contains(f)) registraScriptProprio(db, f);
    }
}

void createDatabaseFromSchema(Database& db, const QString& path, const QString& dir) {
    db.setDatabaseName(path);
    db.create();
    applySchemaDir(db, dir);
}

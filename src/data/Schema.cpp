#include "data/Schema.h"
#include "data/SqlText.h"
#include "data/Statement.h"
#include <QDir>
#include <QFile>

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

void applySchemaDir(Database& db, const QString& dir) {
    QDir d(dir);
    const QStringList files = d.entryList({"*.sql"}, QDir::Files, QDir::Name);
    if (files.isEmpty()) throw AppError("Nenhum script de banco de dados em " + dir);
    for (const QString& f : files) {
        QFile file(d.filePath(f));
        if (!file.open(QIODevice::ReadOnly)) throw AppError("Não foi possível ler " + file.fileName());
        applyScript(db, QString::fromUtf8(file.readAll()));
    }
}

void createDatabaseFromSchema(Database& db, const QString& path, const QString& dir) {
    db.setDatabaseName(path);
    db.create();
    applySchemaDir(db, dir);
}

#include "TestDb.h"
#include "data/EmbeddedEngine.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "platform/Cp1252.h"
#include <QDir>
#include <QFileInfo>

void TestDb::prepareEngine() {
    prepareEmbeddedEngine();
}

TestDb::TestDb(const QString& script) {
    prepareEngine();
    path = m_dir.filePath("test.fdb");
    db.setDatabaseName(path);
    db.create();
    if (script.isEmpty())
        applySchemaDir(db, CTV_SCHEMA_DIR);
    else
        applyScript(db, script);
    tr.setDatabase(&db);
    db.setDefaultTransaction(&tr);
}

TestDb::~TestDb() {
    try {
        db.disconnect();
    } catch (...) {
    }
}

void TestDb::exec(const QString& sql) {
    tr.ensureActive();
    Statement st(&db, &tr);
    st.prepare(sql);
    st.execute();
    st.free();
    tr.commitRetaining();
}

QVariant TestDb::scalar(const QString& sql) {
    tr.ensureActive();
    Statement st(&db, &tr);
    st.prepare(sql);
    st.openCursor();
    std::vector<char> buf(st.outputLayout().size + 8);
    QVariant v;
    if (st.fetch(buf.data())) {
        const ColumnLayout& c = st.outputLayout().columns[0];
        if (c.kind == FieldKind::Memo || c.kind == FieldKind::Blob) {
            QByteArray b = codec::isNull(c, buf.data()) ? QByteArray()
                                                        : readBlob(&db, &tr, codec::blobId(c, buf.data()));
            v = c.kind == FieldKind::Memo ? QVariant(cp1252::decode(b)) : QVariant(b);
        } else {
            v = codec::decode(c, buf.data());
        }
    }
    st.closeCursor();
    return v;
}

#include "data/Query.h"
#include "data/SqlText.h"
#include "data/UpdateSql.h"
#include <QSet>
#include <algorithm>

Query::Query(Database* db, Transaction* tr, const QString& name) : DataSet(name), m_db(db), m_tr(tr) {}

Query::~Query() {
    stopListening();
}

void Query::stopListening() {
    if (m_listenTr && !m_listenLife.expired()) m_listenTr->removeEndListener(this);
    m_listenTr = nullptr;
}

Transaction* Query::transaction() const {
    if (m_tr) return m_tr;
    if (m_db && m_db->defaultTransaction()) return m_db->defaultTransaction();
    throw AppError(QString("%1: a consulta não tem transação").arg(name()));
}

void Query::setSql(const QStringList& lines) {
    QString t;
    for (const QString& l : lines)
        t += l + '\n';
    setSqlText(t);
}

void Query::setSqlText(const QString& text) {
    if (active()) close();
    m_semLeitorChave = false;
    // The same text keeps its prepared statement: a list opened again, or a read by key of the
    // same shape, runs without another prepare.
    if (text == m_text) return;
    m_text = text;
    m_paramNames.clear();
    for (const QString& n : sql::parseNamedParams(text).names)
        if (!m_paramNames.contains(n, Qt::CaseInsensitive)) m_paramNames.append(n);
    m_stmt.reset();
}

QStringList Query::sqlLines() const {
    QStringList l = m_text.split('\n');
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
}

void Query::addSql(const QString& line) {
    setSqlText(m_text + line + '\n');
}

void Query::setParam(const QString& name, const QVariant& value) {
    m_params.insert(name.toUpper(), value);
}

QVariant Query::param(const QString& name) const {
    return m_params.value(name.toUpper());
}

bool Query::hasParam(const QString& name) const {
    return m_paramNames.contains(name, Qt::CaseInsensitive);
}

void Query::bindParams(Statement& st, const QStringList& names) const {
    for (int i = 0; i < names.size(); ++i) {
        st.setParamLabel(i, names[i]);
        st.setParam(i, m_params.value(names[i].toUpper()));
    }
}

void Query::internalOpen() {
    if (!m_db) throw AppError(QString("%1: a consulta não tem banco de dados").arg(name()));
    Transaction* tr = transaction();
    tr->ensureActive();
    sql::ParsedSql parsed = sql::parseNamedParams(m_text);
    if (!m_stmt || !m_stmt->prepared() || m_stmt->transaction() != tr || m_stmt->database() != m_db) {
        m_stmt.reset();
        auto st = std::make_unique<Statement>(m_db, tr);
        st->prepare(parsed.text);
        m_stmt = std::move(st);
    }
    if (!m_stmt->isSelect()) throw AppError(QString("%1: a instrução não retorna registros").arg(name()));
    bindParams(*m_stmt, parsed.names);
    m_cutShort = false;
    m_porChave.clear();
    if (sql::conditionAlwaysFalse(m_text) && !sql::selectsAggregate(m_text)) {
        // A list opened empty on purpose (" where 0=1 "): the server would walk the whole table
        // testing the constant, so the statement is only prepared for its columns.
        m_layout = m_stmt->outputLayout();
        m_moreToFetch = false;
        return;
    }
    m_stmt->openCursor();
    m_layout = m_stmt->outputLayout();
    m_moreToFetch = true;
    // A hard commit or rollback ends the cursor; the rows fetched so far stay.
    stopListening();
    m_listenTr = tr;
    m_listenLife = tr->lifeToken();
    tr->addEndListener(this, [this] {
        if (m_stmt) m_stmt->closeCursor();
        if (m_moreToFetch) m_cutShort = true;
        m_moreToFetch = false;
    });
}

int Query::internalFetch(int n) {
    int got = 0;
    while (n < 0 || got < n) {
        char* rec = newRecord(false);
        bool got1 = false;
        try {
            got1 = m_stmt && m_stmt->cursorOpen() && m_stmt->fetch(rec);
        } catch (...) {
            // A cursor that fails (connection lost) ends the list where it is; its rows stay.
            releaseLastRecord();
            m_moreToFetch = false;
            stopListening();
            throw;
        }
        if (!got1) {
            releaseLastRecord();
            m_moreToFetch = false;
            if (m_stmt) m_stmt->closeCursor();
            stopListening();
            break;
        }
        if (writtenHere(rec)) {
            releaseLastRecord();
            continue;
        }
        appendFetched(rec);
        ++got;
    }
    return got;
}

void Query::internalClose() {
    if (m_stmt) m_stmt->closeCursor();
    stopListening();
    m_porChave.clear();
    m_cutShort = false;
}

QString Query::keyedReadText(const QString& keyField, const QString& resultField, const QString& condition,
                             bool withKey) const {
    // The list's own statement as a derived table, read by the key. Its ordering is dropped
    // (it would make the server walk the ordering index) unless it chooses the rows.
    const auto tem = [&](const char* palavra) {
        return sql::clausePos(m_text, palavra, Qt::CaseInsensitive) >= 0;
    };
    const bool ordemEscolhe = tem("first") || tem("skip") || tem("rows") || tem("union");
    const QString corpo = ordemEscolhe ? m_text : sql::beforeClause(m_text, "order by", Qt::CaseInsensitive);
    const auto nome = [](const QString& n) { return "x.\"" + QString(n).replace('"', "\"\"") + "\""; };
    return "select " + (withKey ? nome(keyField) + ", " : QString()) + nome(resultField) + " from (" + corpo +
           ") x where " + nome(keyField) + condition;
}

Query& Query::keyReader() {
    if (!m_leitorChave) m_leitorChave = std::make_unique<Query>(m_db, transaction(), name());
    Query& q = *m_leitorChave;
    q.close();
    q.setTransaction(transaction());
    return q;
}

static QString lookupCacheKey(const QString& keyField, const QString& resultField, const QVariant& key) {
    return keyField + QChar(0x1f) + resultField + QChar(0x1f) + keyText(key);
}

bool Query::lookupUnread(const QString& keyField, const QVariant& key, const QString& resultField,
                         QVariant& result) {
    if (m_semLeitorChave || !m_db) return false;
    const QString chave = lookupCacheKey(keyField, resultField, key);
    const auto it = m_porChave.constFind(chave);
    if (it != m_porChave.constEnd()) {
        result = *it;
        return true;
    }
    try {
        Query& q = keyReader();
        q.setSqlText(keyedReadText(keyField, resultField, " = :CTV_CHAVE_LISTA", false));
        for (const QString& p : m_paramNames)
            q.setParam(p, param(p));
        q.setParam("CTV_CHAVE_LISTA", key);
        q.open();
        result = q.isEmpty() ? QVariant() : q.field(0)->value();
        q.close();
    } catch (const std::exception&) {
        // A statement the server cannot read this way: the list is read whole instead.
        m_semLeitorChave = true;
        return false;
    }
    m_porChave.insert(chave, result);
    return true;
}

void Query::lookupUnreadMany(const QString& keyField, const QVariantList& keys, const QString& resultField) {
    if (m_semLeitorChave || !m_db) return;
    // Whole-number keys only: their text is the same however the server gives them back, so a
    // key missing from the answer surely has no row.
    QVariantList faltam;
    QSet<QString> vistas;
    for (const QVariant& k : keys) {
        const auto tipo = k.typeId();
        if (tipo != QMetaType::Int && tipo != QMetaType::LongLong && tipo != QMetaType::Short) return;
        const QString c = lookupCacheKey(keyField, resultField, k);
        if (m_porChave.contains(c) || vistas.contains(c)) continue;
        vistas.insert(c);
        faltam.append(k);
    }
    if (faltam.size() < 2) return;
    // The list of keys is padded to a power of two with its last key, so reads of a similar
    // number of keys share one statement text, prepared once.
    qsizetype marcasNoTexto = 2;
    while (marcasNoTexto < faltam.size())
        marcasNoTexto *= 2;
    QStringList marcas;
    for (qsizetype i = 0; i < marcasNoTexto; ++i)
        marcas.append(":CTV_CHAVE_" + QString::number(i));
    QHash<QString, QVariant> lidos;
    try {
        Query& q = keyReader();
        q.setSqlText(keyedReadText(keyField, resultField, " in (" + marcas.join(", ") + ")", true));
        for (const QString& p : m_paramNames)
            q.setParam(p, param(p));
        for (qsizetype i = 0; i < marcasNoTexto; ++i)
            q.setParam("CTV_CHAVE_" + QString::number(i), faltam[std::min(i, faltam.size() - 1)]);
        q.open();
        // The first row of a key gives its text, as the read of the one key does.
        for (q.first(); !q.eof(); q.next()) {
            const QString c = lookupCacheKey(keyField, resultField, q.field(0)->value());
            if (!lidos.contains(c)) lidos.insert(c, q.field(1)->value());
        }
        q.close();
    } catch (const std::exception&) {
        // Left to the reads one key at a time.
        return;
    }
    for (const QVariant& k : faltam) {
        const QString c = lookupCacheKey(keyField, resultField, k);
        m_porChave.insert(c, lidos.value(c));
    }
}

QByteArray Query::loadBlob(BlobId id) const {
    return readBlob(m_db, transaction(), id);
}

void Query::internalApply(UpdateKind kind, const char* rec, const char*) {
    if (!updateObject())
        throw AppError(QString("%1: não há instruções de atualização para gravar o registro").arg(name()));
    updateObject()->apply(*this, kind, rec);
}

void Query::applyUpdates() {
    if (!cachedUpdates()) return;
    if (editing()) post();
    if (!updatesPending()) return;
    writePending(false);
}

void Query::applyAndCommit() {
    if (editing() && cachedUpdates()) post();
    Transaction* tr = transaction();
    if (!cachedUpdates() || !updatesPending()) {
        tr->ensureActive();
        tr->commitRetaining();
        return;
    }
    writePending(true);
}

void Query::writePending(bool commit) {
    // A savepoint makes the write all or nothing: after a failure of the statements or of the
    // commit the database holds nothing of it, and the cache still holds the change.
    Transaction* tr = transaction();
    tr->ensureActive();
    Statement sp(m_db, tr);
    sp.prepare("SAVEPOINT CTV_APPLY");
    sp.execute();
    try {
        applyPending();
        if (commit) {
            tr->commitRetaining();
        } else {
            Statement rel(m_db, tr);
            rel.prepare("RELEASE SAVEPOINT CTV_APPLY");
            rel.execute();
        }
    } catch (...) {
        undoPending(tr);
        throw;
    }
    commitUpdates();
}

void Query::undoPending(Transaction* tr) {
    try {
        Statement undo(m_db, tr);
        undo.prepare("ROLLBACK TO SAVEPOINT CTV_APPLY");
        undo.execute();
        return;
    } catch (...) {
    }
    // Every write of the program is committed when it is made, so undoing the transaction's
    // uncommitted work undoes exactly this one.
    try {
        tr->rollbackRetaining();
    } catch (...) {
        try {
            tr->rollback();
        } catch (...) {
            tr->forget();
        }
    }
}

Query::RowReread Query::rereadEditedRow() {
    setDatabaseRow(nullptr);
    UpdateSql* u = updateObject();
    if (state() != DataSetState::Edit || !u || u->table().isEmpty() || u->keyColumn().isEmpty())
        return RowReread::Unknown;
    // The list's own columns, all of them from the edited table, read by the stored key.
    const RecordLayout& l = layout();
    QStringList cols;
    for (const ColumnLayout& c : l.columns) {
        if (c.relation.trimmed().compare(u->table(), Qt::CaseInsensitive) != 0 ||
            c.column.trimmed().isEmpty())
            return RowReread::Unknown;
        cols.append(c.column.trimmed());
    }
    const int keyCol = l.indexOf(u->keyColumn());
    if (keyCol < 0) return RowReread::Unknown;
    Transaction* tr = transaction();
    tr->ensureActive();
    Statement st(m_db, tr);
    st.prepare("select " + cols.join(", ") + " from " + u->table() + " where " + u->keyColumn() + " = ?");
    const RecordLayout& out = st.outputLayout();
    if (out.size != l.size || out.columns.size() != l.columns.size()) return RowReread::Unknown;
    for (size_t i = 0; i < l.columns.size(); ++i)
        if (out.columns[i].sqlType != l.columns[i].sqlType || out.columns[i].offset != l.columns[i].offset ||
            out.columns[i].length != l.columns[i].length)
            return RowReread::Unknown;
    st.setParam(0, field(keyCol)->oldValue());
    st.openCursor();
    std::unique_ptr<char[]> row(new char[std::max<size_t>(l.size, 8)]);
    const bool found = st.fetch(row.get());
    st.closeCursor();
    if (!found) return RowReread::Gone;
    setDatabaseRow(std::move(row));
    return RowReread::Found;
}

void Query::execSQL() {
    if (active()) close();
    if (!m_db) throw AppError(QString("%1: a consulta não tem banco de dados").arg(name()));
    Transaction* tr = transaction();
    switch (sql::commitKind(m_text)) {
    case sql::CommitKind::CommitRetain:
        tr->commitRetaining();
        return;
    case sql::CommitKind::Commit:
        tr->commitKeepingCursors();
        return;
    case sql::CommitKind::None:
        break;
    }
    tr->ensureActive();
    sql::ParsedSql parsed = sql::parseNamedParams(m_text);
    Statement st(m_db, tr);
    st.prepare(parsed.text);
    bindParams(st, parsed.names);
    st.execute();
    m_rowsAffected = st.rowsAffected();
}

void Query::refresh() {
    if (!active()) return;
    if (editing()) throw AppError("Dataset in edit or insert mode");
    // Re-read the list and go back to the record that was current.
    QVariant key;
    QString keyName;
    if (fieldCount() > 0 && recNo() >= 0) {
        keyName = field(0)->fieldName();
        key = field(0)->value();
    }
    const int row = recNo();
    ControlsDisabled quiet(*this);
    close();
    open();
    if (!key.isNull()) {
        if (!locate(keyName, key)) setRecNo(std::min(row, recordCount() - 1));
    }
}

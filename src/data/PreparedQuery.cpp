#include "data/PreparedQuery.h"

#include "data/SqlText.h"
#include "platform/Cp1252.h"

#include <stdexcept>

PreparedQuery::PreparedQuery(Database* db, Transaction* tr, const QString& sqlText)
    : m_db(db), m_tr(tr), m_st(db, tr) {
    if (!db || !tr) throw std::logic_error("PreparedQuery sem conexão ou transação");
    tr->ensureActive();
    const sql::ParsedSql parsed = sql::parseNamedParams(sqlText);
    m_st.prepare(parsed.text);
    m_st.clearParams();
    for (int i = 0; i < parsed.names.size(); ++i) {
        m_params[parsed.names[i].toUpper()].push_back(i);
        m_st.setParamLabel(i, parsed.names[i]);
    }
    m_row.resize(m_st.outputLayout().size + 8);
}

void PreparedQuery::setParam(const QString& name, const QVariant& value) {
    const auto it = m_params.constFind(name.toUpper());
    if (it == m_params.constEnd())
        throw std::logic_error("Parâmetro '" + name.toStdString() + "' não existe na instrução");
    for (int i : *it)
        m_st.setParam(i, value);
}

void PreparedQuery::open() {
    m_onRow = false;
    m_tr->ensureActive();
    m_st.openCursor();
}

bool PreparedQuery::next() {
    m_onRow = m_st.fetch(m_row.data());
    if (!m_onRow) m_st.closeCursor();
    return m_onRow;
}

void PreparedQuery::close() {
    m_onRow = false;
    m_st.closeCursor();
}

int PreparedQuery::columnIndex(const QString& column) const {
    const int i = m_st.outputLayout().indexOf(column);
    if (i < 0) throw std::logic_error("Coluna '" + column.toStdString() + "' não existe na instrução");
    return i;
}

QVariant PreparedQuery::value(const QString& column) const {
    return value(columnIndex(column));
}

QVariant PreparedQuery::value(int column) const {
    if (!m_onRow) return QVariant();
    const ColumnLayout& c = m_st.outputLayout().columns.at(static_cast<size_t>(column));
    const char* rec = m_row.data();
    if (c.kind == FieldKind::Memo || c.kind == FieldKind::Blob) {
        if (codec::isNull(c, rec)) return QVariant();
        const QByteArray bytes = readBlob(m_db, m_tr, codec::blobId(c, rec));
        return c.kind == FieldKind::Memo ? QVariant(cp1252::decode(bytes)) : QVariant(bytes);
    }
    return codec::decode(c, rec);
}

void PreparedQuery::execute() {
    m_onRow = false;
    m_tr->ensureActive();
    m_st.execute();
}

#include "data/Statement.h"
#include "data/FbStatus.h"
#include "platform/Cp1252.h"
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>

using namespace Firebird;

Statement::Statement(Database* db, Transaction* tr) : m_db(db), m_tr(tr) {
    if (m_db) m_db->attachStatement(this);
}

Statement::~Statement() {
    free();
    if (m_db) m_db->detachStatement(this);
}

void Statement::free() {
    // Freeing never fails the caller: a statement of a lost connection is released instead.
    m_rs.endOrRelease<FbQuietStatus>([](IResultSet* rs, CheckStatusWrapper* st) { rs->close(st); });
    m_inMeta.reset();
    m_outMeta.reset();
    m_stmt.endOrRelease<FbQuietStatus>([](IStatement* stmt, CheckStatusWrapper* st) { stmt->free(st); });
    m_in = {};
    m_out = {};
    m_params.clear();
    m_inBuf.clear();
    m_type = 0;
}

void Statement::prepare(const QString& sqlText) {
    free();
    if (!m_db) throw DatabaseError(QStringLiteral("A instrução não tem banco de dados."), 0, QString());
    FbStatus st;
    // The text travels with its length, so a NUL inside it cannot cut it short.
    QByteArray text = Database::encode(sqlText);
    // Everything is read before any of it is kept: a prepare that fails half-way leaves the
    // statement unprepared, not with another statement's layouts.
    FbPtr<IStatement> stmt(
        m_db->attachment()->prepare(&st, m_tr->handle(), static_cast<unsigned>(text.size()), text.constData(),
                                    SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA));
    const unsigned type = stmt->getType(&st);
    FbPtr<IMessageMetadata> inMeta(stmt->getInputMetadata(&st));
    FbPtr<IMessageMetadata> outMeta(stmt->getOutputMetadata(&st));
    RecordLayout in = RecordLayout::fromMetadata(inMeta.get());
    RecordLayout out = RecordLayout::fromMetadata(outMeta.get());
    m_stmt = std::move(stmt);
    m_inMeta = std::move(inMeta);
    m_outMeta = std::move(outMeta);
    m_type = type;
    m_in = std::move(in);
    m_out = std::move(out);
    m_params.assign(m_in.columns.size(), QVariant());
}

void Statement::setParam(int index, const QVariant& value) {
    if (index < 0 || index >= static_cast<int>(m_params.size())) return;
    m_params[index] = value;
}

void Statement::setParamLabel(int index, const QString& label) {
    if (index < 0) return;
    if (m_labels.size() <= index) m_labels.resize(index + 1);
    m_labels[index] = label;
}

QString Statement::paramLabel(size_t index) const {
    return index < static_cast<size_t>(m_labels.size()) ? m_labels[static_cast<qsizetype>(index)] : QString();
}

void Statement::clearParams() {
    m_params.assign(m_in.columns.size(), QVariant());
}

bool Statement::isSelect() const {
    return m_type == isc_info_sql_stmt_select || m_type == isc_info_sql_stmt_select_for_upd;
}

void Statement::bindInput() {
    if (m_in.columns.empty()) return;
    // Text parameters longer than the declared width get a wider message, so the database
    // itself reports the truncation against the column.
    bool widen = false;
    for (size_t i = 0; i < m_in.columns.size(); ++i) {
        const ColumnLayout& c = m_in.columns[i];
        if ((c.sqlType == SQL_VARYING || c.sqlType == SQL_TEXT) && !m_params[i].isNull() &&
            static_cast<unsigned>(m_params[i].toString().size()) > c.length)
            widen = true;
    }
    if (widen) {
        FbStatus st;
        FbPtr<IMetadataBuilder> b(m_inMeta->getBuilder(&st));
        for (size_t i = 0; i < m_in.columns.size(); ++i) {
            const ColumnLayout& c = m_in.columns[i];
            if ((c.sqlType == SQL_VARYING || c.sqlType == SQL_TEXT) && !m_params[i].isNull()) {
                unsigned need = static_cast<unsigned>(m_params[i].toString().size());
                if (need > c.length) {
                    b->setType(&st, static_cast<unsigned>(i), SQL_VARYING | 1);
                    b->setLength(&st, static_cast<unsigned>(i), need);
                }
            }
        }
        FbPtr<IMessageMetadata> wider(b->getMetadata(&st));
        RecordLayout in = RecordLayout::fromMetadata(wider.get());
        m_inMeta = std::move(wider);
        m_in = std::move(in);
    }
    m_inBuf.assign(m_in.size, 0);
    for (size_t i = 0; i < m_in.columns.size(); ++i) {
        const ColumnLayout& c = m_in.columns[i];
        const QVariant& v = m_params[i];
        if (c.sqlType == SQL_BLOB) {
            if (v.isNull()) {
                codec::setNull(c, m_inBuf.data(), true);
            } else {
                const QString label = paramLabel(i);
                QByteArray data =
                    v.typeId() == QMetaType::QByteArray
                        ? v.toByteArray()
                        : cp1252::encodeChecked(
                              v.toString(), label.isEmpty() ? QStringLiteral("O texto")
                                                            : QStringLiteral("O campo \"%1\"").arg(label));
                codec::setBlobId(c, m_inBuf.data(), writeBlob(m_db, m_tr, data));
                codec::setNull(c, m_inBuf.data(), false);
            }
        } else {
            codec::encode(c, m_inBuf.data(), v, paramLabel(i));
        }
    }
}

void Statement::execute() {
    if (!m_stmt) throw DatabaseError(QStringLiteral("A instrução não foi preparada."), 0, QString());
    bindInput();
    FbStatus st;
    std::vector<char> out(m_out.size ? m_out.size : 1);
    m_stmt->execute(&st, m_tr->handle(), m_in.columns.empty() ? nullptr : m_inMeta.get(),
                    m_in.columns.empty() ? nullptr : m_inBuf.data(),
                    m_out.columns.empty() ? nullptr : m_outMeta.get(),
                    m_out.columns.empty() ? nullptr : out.data());
    if (!isSelect()) m_tr->markWritten();
}

int Statement::rowsAffected() const {
    if (!m_stmt) return 0;
    FbStatus st;
    ISC_UINT64 n = m_stmt->getAffectedRecords(&st);
    return static_cast<int>(n);
}

void Statement::openCursor() {
    if (!m_stmt) throw DatabaseError(QStringLiteral("A instrução não foi preparada."), 0, QString());
    closeCursor();
    bindInput();
    FbStatus st;
    m_rs.reset(m_stmt->openCursor(&st, m_tr->handle(), m_in.columns.empty() ? nullptr : m_inMeta.get(),
                                  m_in.columns.empty() ? nullptr : m_inBuf.data(), m_outMeta.get(), 0));
}

bool Statement::fetch(char* buf) {
    if (!m_rs) return false;
    if (!m_fetchStatus) m_fetchStatus = std::make_unique<FbStatus>();
    const int r = m_rs->fetchNext(&*m_fetchStatus, buf);
    return r == IStatus::RESULT_OK;
}

void Statement::closeCursor() {
    m_rs.endOrRelease<FbQuietStatus>([](IResultSet* rs, CheckStatusWrapper* st) { rs->close(st); });
}

#include "data/Statement.h"
#include "data/FbStatus.h"
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>

using namespace Firebird;

namespace {

constexpr int kJulianOffset = 2400001; // ISC_DATE 0 is 17 Nov 1858

FieldKind kindOf(unsigned type, int subType, int scale) {
    switch (type) {
    case SQL_TEXT:
        return FieldKind::FixedChar;
    case SQL_VARYING:
        return FieldKind::String;
    case SQL_SHORT:
        return scale < 0 ? FieldKind::BCD : FieldKind::SmallInt;
    case SQL_LONG:
        return scale < 0 ? FieldKind::BCD : FieldKind::Integer;
    case SQL_INT64:
        return scale < 0 ? FieldKind::BCD : FieldKind::LargeInt;
    case SQL_FLOAT:
        return FieldKind::Float;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldKind::Double;
    case SQL_TYPE_DATE:
        return FieldKind::Date;
    case SQL_TYPE_TIME:
        return FieldKind::Time;
    case SQL_TIMESTAMP:
        return FieldKind::DateTime;
    case SQL_BLOB:
        return subType == 1 ? FieldKind::Memo : FieldKind::Blob;
    case SQL_BOOLEAN:
        return FieldKind::Boolean;
    default:
        return FieldKind::String;
    }
}

QDate parseDate(const QString& s) {
    const QString t = s.trimmed();
    for (const char* fmt : {"dd/MM/yyyy", "dd.MM.yyyy", "yyyy-MM-dd", "d/M/yyyy", "dd/MM/yy"}) {
        QDate d = QDate::fromString(t.left(QString(fmt).size()), fmt);
        if (d.isValid()) return d;
    }
    return {};
}

QDateTime toDateTime(const QVariant& v) {
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
    if (v.typeId() == QMetaType::QDate) return QDateTime(v.toDate(), QTime(0, 0));
    const QString s = v.toString().trimmed();
    for (const char* fmt :
         {"dd/MM/yyyy hh:mm:ss", "dd.MM.yyyy hh:mm:ss", "dd/MM/yyyy hh:mm", "yyyy-MM-ddThh:mm:ss"}) {
        QDateTime d = QDateTime::fromString(s, fmt);
        if (d.isValid()) return d;
    }
    QDate d = parseDate(s);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

double toNumber(const QVariant& v, bool* ok) {
    if (v.typeId() == QMetaType::QString) {
        QString s = v.toString().trimmed();
        if (s.contains(',')) s = s.remove('.').replace(',', '.');
        return s.toDouble(ok);
    }
    return v.toDouble(ok);
}

[[noreturn]] void conversionError(const ColumnLayout& c, const QVariant& v) {
    throw DatabaseError(QString("'%1' não é um valor válido para o campo %2").arg(v.toString(), c.name), 0,
                        "22018");
}

// The database's own wording for a text longer than its column.
[[noreturn]] void truncationError(const ColumnLayout& c, qsizetype actual) {
    throw DatabaseError(
        QString("arithmetic exception, numeric overflow, or string truncation\n-string right truncation\n"
                "-expected length %1, actual %2")
            .arg(c.length)
            .arg(actual),
        335544321, "22001");
}

unsigned alignUp(unsigned v, unsigned a) {
    return (v + a - 1) / a * a;
}

} // namespace

int ColumnLayout::charSize() const {
    if (sqlType != SQL_TEXT && sqlType != SQL_VARYING) return 0;
    unsigned per = charSet == 4 ? 4 : charSet == 3 ? 3 : 1;
    return static_cast<int>(length / per);
}

int RecordLayout::indexOf(const QString& name) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

RecordLayout RecordLayout::fromMetadata(IMessageMetadata* meta) {
    RecordLayout l;
    FbStatus st;
    unsigned n = meta->getCount(&st);
    for (unsigned i = 0; i < n; ++i) {
        ColumnLayout c;
        c.name = QString::fromLatin1(meta->getAlias(&st, i));
        c.relation = QString::fromLatin1(meta->getRelation(&st, i));
        c.column = QString::fromLatin1(meta->getField(&st, i));
        c.sqlType = meta->getType(&st, i) & ~1u;
        c.subType = meta->getSubType(&st, i);
        c.scale = meta->getScale(&st, i);
        c.length = meta->getLength(&st, i);
        c.offset = meta->getOffset(&st, i);
        c.nullOffset = meta->getNullOffset(&st, i);
        c.charSet = meta->getCharSet(&st, i);
        c.nullable = meta->isNullable(&st, i);
        c.kind = kindOf(c.sqlType, c.subType, c.scale);
        l.columns.push_back(c);
    }
    l.size = meta->getMessageLength(&st);
    st.check();
    return l;
}

RecordLayout RecordLayout::build(const std::vector<std::tuple<QString, FieldKind, int>>& defs) {
    RecordLayout l;
    unsigned off = 0;
    for (const auto& [name, kind, size] : defs) {
        ColumnLayout c;
        c.name = name;
        c.kind = kind;
        unsigned align = 4;
        switch (kind) {
        case FieldKind::String:
        case FieldKind::FixedChar:
        case FieldKind::Lookup:
            c.sqlType = SQL_VARYING;
            c.length = static_cast<unsigned>(std::max(size, 1));
            c.charSet = 21;
            align = 2;
            break;
        case FieldKind::SmallInt:
            c.sqlType = SQL_SHORT;
            c.length = 2;
            align = 2;
            break;
        case FieldKind::Integer:
            c.sqlType = SQL_LONG;
            c.length = 4;
            break;
        case FieldKind::LargeInt:
            c.sqlType = SQL_INT64;
            c.length = 8;
            align = 8;
            break;
        case FieldKind::BCD:
            c.sqlType = SQL_INT64;
            c.length = 8;
            c.scale = -4;
            align = 8;
            break;
        case FieldKind::Float:
        case FieldKind::Double:
            c.sqlType = SQL_DOUBLE;
            c.length = 8;
            align = 8;
            break;
        case FieldKind::Date:
            c.sqlType = SQL_TYPE_DATE;
            c.length = 4;
            break;
        case FieldKind::Time:
            c.sqlType = SQL_TYPE_TIME;
            c.length = 4;
            break;
        case FieldKind::DateTime:
            c.sqlType = SQL_TIMESTAMP;
            c.length = 8;
            break;
        case FieldKind::Memo:
            c.sqlType = SQL_BLOB;
            c.subType = 1;
            c.length = 8;
            break;
        case FieldKind::Blob:
            c.sqlType = SQL_BLOB;
            c.length = 8;
            break;
        case FieldKind::Boolean:
            c.sqlType = SQL_BOOLEAN;
            c.length = 1;
            align = 1;
            break;
        }
        if (c.kind == FieldKind::Lookup) c.kind = FieldKind::String;
        off = alignUp(off, align);
        c.offset = off;
        off += c.length + (c.sqlType == SQL_VARYING ? 2 : 0);
        off = alignUp(off, 2);
        c.nullOffset = off;
        off += 2;
        l.columns.push_back(c);
    }
    l.size = alignUp(off, 8);
    return l;
}

namespace codec {

bool isNull(const ColumnLayout& c, const char* rec) {
    int16_t n;
    std::memcpy(&n, rec + c.nullOffset, 2);
    return n != 0;
}

void setNull(const ColumnLayout& c, char* rec, bool null) {
    int16_t n = null ? -1 : 0;
    std::memcpy(rec + c.nullOffset, &n, 2);
}

template <typename T> static T get(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename T> static void put(char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

static double scaled(int64_t v, int scale) {
    static const double pow10[] = {1,    10,   100,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    return static_cast<double>(v) / pow10[-scale];
}

QVariant decode(const ColumnLayout& c, const char* rec) {
    if (isNull(c, rec)) return QVariant();
    const char* p = rec + c.offset;
    switch (c.sqlType) {
    case SQL_VARYING: {
        uint16_t len = get<uint16_t>(p);
        return QString::fromLatin1(p + 2, len);
    }
    case SQL_TEXT: {
        int len = static_cast<int>(c.length);
        while (len > 0 && p[len - 1] == ' ')
            --len;
        return QString::fromLatin1(p, len);
    }
    case SQL_SHORT:
        return c.scale < 0 ? QVariant(scaled(get<int16_t>(p), c.scale)) : QVariant(int(get<int16_t>(p)));
    case SQL_LONG:
        return c.scale < 0 ? QVariant(scaled(get<int32_t>(p), c.scale)) : QVariant(get<int32_t>(p));
    case SQL_INT64:
        return c.scale < 0 ? QVariant(scaled(get<int64_t>(p), c.scale))
                           : QVariant(qlonglong(get<int64_t>(p)));
    case SQL_FLOAT:
        return double(get<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return get<double>(p);
    case SQL_TYPE_DATE:
        return QDate::fromJulianDay(get<int32_t>(p) + kJulianOffset);
    case SQL_TYPE_TIME:
        return QTime::fromMSecsSinceStartOfDay(static_cast<int>(get<uint32_t>(p) / 10));
    case SQL_TIMESTAMP: {
        QDate d = QDate::fromJulianDay(get<int32_t>(p) + kJulianOffset);
        QTime t = QTime::fromMSecsSinceStartOfDay(static_cast<int>(get<uint32_t>(p + 4) / 10));
        return QDateTime(d, t);
    }
    case SQL_BOOLEAN:
        return bool(*p);
    default:
        return QVariant();
    }
}

void encode(const ColumnLayout& c, char* rec, const QVariant& v) {
    if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty() &&
                       c.sqlType != SQL_VARYING && c.sqlType != SQL_TEXT)) {
        setNull(c, rec, true);
        return;
    }
    char* p = rec + c.offset;
    bool ok = true;
    switch (c.sqlType) {
    case SQL_VARYING: {
        QByteArray b = v.toString().toLatin1();
        if (static_cast<unsigned>(b.size()) > c.length) truncationError(c, b.size());
        put<uint16_t>(p, static_cast<uint16_t>(b.size()));
        std::memcpy(p + 2, b.constData(), b.size());
        break;
    }
    case SQL_TEXT: {
        QByteArray b = v.toString().toLatin1();
        if (static_cast<unsigned>(b.size()) > c.length) truncationError(c, b.size());
        std::memset(p, ' ', c.length);
        std::memcpy(p, b.constData(), b.size());
        break;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        int64_t iv;
        if (c.scale < 0) {
            double d = toNumber(v, &ok);
            iv = std::llround(d * std::pow(10.0, -c.scale));
        } else if (v.typeId() == QMetaType::Double) {
            iv = std::llround(v.toDouble());
        } else if (v.typeId() == QMetaType::Bool) {
            iv = v.toBool() ? 1 : 0;
        } else {
            iv = v.toString().trimmed().toLongLong(&ok);
            if (!ok) {
                double d = toNumber(v, &ok);
                iv = std::llround(d);
            }
        }
        if (!ok) conversionError(c, v);
        if (c.sqlType == SQL_SHORT)
            put<int16_t>(p, static_cast<int16_t>(iv));
        else if (c.sqlType == SQL_LONG)
            put<int32_t>(p, static_cast<int32_t>(iv));
        else
            put<int64_t>(p, iv);
        break;
    }
    case SQL_FLOAT: {
        double d = toNumber(v, &ok);
        if (!ok) conversionError(c, v);
        put<float>(p, static_cast<float>(d));
        break;
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double d = toNumber(v, &ok);
        if (!ok) conversionError(c, v);
        put<double>(p, d);
        break;
    }
    case SQL_TYPE_DATE: {
        QDate d = v.typeId() == QMetaType::QDate       ? v.toDate()
                  : v.typeId() == QMetaType::QDateTime ? v.toDateTime().date()
                                                       : parseDate(v.toString());
        if (!d.isValid()) conversionError(c, v);
        put<int32_t>(p, static_cast<int32_t>(d.toJulianDay() - kJulianOffset));
        break;
    }
    case SQL_TYPE_TIME: {
        QTime t = v.typeId() == QMetaType::QTime ? v.toTime()
                  : v.typeId() == QMetaType::QDateTime
                      ? v.toDateTime().time()
                      : QTime::fromString(v.toString().trimmed(), "hh:mm:ss");
        if (!t.isValid()) t = QTime::fromString(v.toString().trimmed(), "hh:mm");
        if (!t.isValid()) conversionError(c, v);
        put<uint32_t>(p, static_cast<uint32_t>(t.msecsSinceStartOfDay()) * 10u);
        break;
    }
    case SQL_TIMESTAMP: {
        QDateTime dt = toDateTime(v);
        if (!dt.isValid()) conversionError(c, v);
        put<int32_t>(p, static_cast<int32_t>(dt.date().toJulianDay() - kJulianOffset));
        put<uint32_t>(p + 4, static_cast<uint32_t>(dt.time().msecsSinceStartOfDay()) * 10u);
        break;
    }
    case SQL_BOOLEAN:
        *p = v.toBool() ? 1 : 0;
        break;
    default:
        conversionError(c, v);
    }
    setNull(c, rec, false);
}

BlobId blobId(const ColumnLayout& c, const char* rec) {
    if (isNull(c, rec)) return {};
    BlobId id;
    std::memcpy(static_cast<void*>(&id), rec + c.offset, 8);
    return id;
}

void setBlobId(const ColumnLayout& c, char* rec, BlobId id) {
    std::memcpy(rec + c.offset, &id, 8);
    setNull(c, rec, id.isNull());
}

bool sameValue(const ColumnLayout& c, const char* a, const char* b) {
    bool na = isNull(c, a), nb = isNull(c, b);
    if (na || nb) return na == nb;
    if (c.sqlType == SQL_VARYING) {
        uint16_t la = get<uint16_t>(a + c.offset), lb = get<uint16_t>(b + c.offset);
        return la == lb && std::memcmp(a + c.offset + 2, b + c.offset + 2, la) == 0;
    }
    return std::memcmp(a + c.offset, b + c.offset, c.length) == 0;
}

} // namespace codec

QByteArray readBlob(Database* db, Transaction* tr, BlobId id) {
    if (id.isNull()) return {};
    FbStatus st;
    ISC_QUAD q;
    std::memcpy(&q, &id, 8);
    IBlob* blob = db->attachment()->openBlob(&st, tr->handle(), &q, 0, nullptr);
    st.check();
    QByteArray out;
    char buf[32768];
    for (;;) {
        unsigned got = 0;
        int r = blob->getSegment(&st, sizeof buf, buf, &got);
        if (r == IStatus::RESULT_OK || r == IStatus::RESULT_SEGMENT) {
            out.append(buf, static_cast<int>(got));
            continue;
        }
        break;
    }
    if (st.failed()) {
        blob->release();
        st.check();
    }
    blob->close(&st);
    st.check();
    return out;
}

BlobId writeBlob(Database* db, Transaction* tr, const QByteArray& data) {
    FbStatus st;
    ISC_QUAD q;
    IBlob* blob = db->attachment()->createBlob(&st, tr->handle(), &q, 0, nullptr);
    st.check();
    for (qsizetype pos = 0; pos < data.size(); pos += 32000) {
        qsizetype n = std::min<qsizetype>(32000, data.size() - pos);
        blob->putSegment(&st, static_cast<unsigned>(n), data.constData() + pos);
        if (st.failed()) {
            blob->release();
            st.check();
        }
    }
    blob->close(&st);
    st.check();
    BlobId id;
    std::memcpy(static_cast<void*>(&id), &q, 8);
    return id;
}

Statement::Statement(Database* db, Transaction* tr) : m_db(db), m_tr(tr) {}

Statement::~Statement() {
    free();
}

void Statement::free() {
    FbStatus st;
    if (m_rs) {
        m_rs->close(&st);
        if (st.failed()) m_rs->release();
        m_rs = nullptr;
    }
    if (m_inMeta) m_inMeta->release();
    if (m_outMeta) m_outMeta->release();
    m_inMeta = m_outMeta = nullptr;
    if (m_stmt) {
        FbStatus st2;
        m_stmt->free(&st2);
        if (st2.failed()) m_stmt->release();
        m_stmt = nullptr;
    }
}

void Statement::prepare(const QString& sqlText) {
    free();
    FbStatus st;
    QByteArray text = Database::encode(sqlText);
    IStatement* stmt = m_db->attachment()->prepare(&st, m_tr->handle(), 0, text.constData(), SQL_DIALECT_V6,
                                                   IStatement::PREPARE_PREFETCH_METADATA);
    st.check();
    m_stmt = stmt;
    m_type = m_stmt->getType(&st);
    m_inMeta = m_stmt->getInputMetadata(&st);
    m_outMeta = m_stmt->getOutputMetadata(&st);
    st.check();
    m_in = RecordLayout::fromMetadata(m_inMeta);
    m_out = RecordLayout::fromMetadata(m_outMeta);
    m_params.assign(m_in.columns.size(), QVariant());
}

void Statement::setParam(int index, const QVariant& value) {
    if (index < 0 || index >= static_cast<int>(m_params.size())) return;
    m_params[index] = value;
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
        IMetadataBuilder* b = m_inMeta->getBuilder(&st);
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
        IMessageMetadata* nm = b->getMetadata(&st);
        b->release();
        st.check();
        m_inMeta->release();
        m_inMeta = nm;
        m_in = RecordLayout::fromMetadata(m_inMeta);
    }
    m_inBuf.assign(m_in.size, 0);
    for (size_t i = 0; i < m_in.columns.size(); ++i) {
        const ColumnLayout& c = m_in.columns[i];
        const QVariant& v = m_params[i];
        if (c.sqlType == SQL_BLOB) {
            if (v.isNull()) {
                codec::setNull(c, m_inBuf.data(), true);
            } else {
                QByteArray data =
                    v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toLatin1();
                codec::setBlobId(c, m_inBuf.data(), writeBlob(m_db, m_tr, data));
                codec::setNull(c, m_inBuf.data(), false);
            }
        } else {
            codec::encode(c, m_inBuf.data(), v);
        }
    }
}

void Statement::execute() {
    if (!m_stmt) throw DatabaseError("Statement not prepared", 0, QString());
    bindInput();
    FbStatus st;
    std::vector<char> out(m_out.size ? m_out.size : 1);
    m_stmt->execute(&st, m_tr->handle(), m_in.columns.empty() ? nullptr : m_inMeta,
                    m_in.columns.empty() ? nullptr : m_inBuf.data(),
                    m_out.columns.empty() ? nullptr : m_outMeta,
                    m_out.columns.empty() ? nullptr : out.data());
    st.check();
}

int Statement::rowsAffected() const {
    if (!m_stmt) return 0;
    FbStatus st;
    ISC_UINT64 n = m_stmt->getAffectedRecords(&st);
    return static_cast<int>(n);
}

void Statement::openCursor() {
    if (!m_stmt) throw DatabaseError("Statement not prepared", 0, QString());
    closeCursor();
    bindInput();
    FbStatus st;
    IResultSet* rs = m_stmt->openCursor(&st, m_tr->handle(), m_in.columns.empty() ? nullptr : m_inMeta,
                                        m_in.columns.empty() ? nullptr : m_inBuf.data(), m_outMeta, 0);
    st.check();
    m_rs = rs;
}

bool Statement::fetch(char* buf) {
    if (!m_rs) return false;
    if (!m_fetchStatus) m_fetchStatus = std::make_unique<FbStatus>();
    FbStatus& st = *m_fetchStatus;
    st.reset();
    int r = m_rs->fetchNext(&st, buf);
    st.check();
    return r == IStatus::RESULT_OK;
}

void Statement::closeCursor() {
    if (!m_rs) return;
    FbStatus st;
    m_rs->close(&st);
    if (st.failed()) m_rs->release();
    m_rs = nullptr;
}

#include "data/DataSet.h"
#include "data/DataSource.h"
#include "platform/Cp1252.h"
#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kChunkBytes = 256 * 1024;
} // namespace

QString keyText(const QVariant& v) {
    if (v.isNull()) return QString();
    if (v.typeId() == QMetaType::Double) {
        double d = v.toDouble();
        if (d == static_cast<double>(static_cast<long long>(d)))
            return QString::number(static_cast<long long>(d));
    }
    return v.toString();
}

QString dataSetStateName(DataSetState s) {
    switch (s) {
    case DataSetState::Inactive:
        return "inactive";
    case DataSetState::Browse:
        return "browse";
    case DataSetState::Edit:
        return "edit";
    case DataSetState::Insert:
        return "insert";
    }
    return {};
}

DataSet::DataSet(const QString& name) : m_name(name) {}

DataSet::~DataSet() {
    for (DataSource* s : m_sources)
        s->dataSetDestroyed();
}

// ---------------------------------------------------------------- storage

void DataSet::releaseLastRecord() {
    if (m_chunkUsed > 0) --m_chunkUsed;
}

char* DataSet::newRecord(bool init) {
    const size_t size = std::max<size_t>(m_layout.size, 8);
    if (m_chunkUsed >= m_chunkCap) {
        // Chunks grow from 16 KiB to 256 KiB: a short list stays small, a long one costs few allocations.
        const size_t bytes =
            std::min<size_t>(kChunkBytes, size_t(16 * 1024) << std::min<size_t>(m_chunks.size(), 4));
        m_chunkCap = std::max<size_t>(16, bytes / size);
        m_chunks.push_back(std::make_unique<char[]>(m_chunkCap * size));
        m_chunkUsed = 0;
    }
    char* rec = m_chunks.back().get() + m_chunkUsed * size;
    ++m_chunkUsed;
    if (!init) return rec;
    std::memset(rec, 0, size);
    for (const ColumnLayout& c : m_layout.columns)
        codec::setNull(c, rec, true);
    return rec;
}

void DataSet::copyRecord(char* dst, const char* src) const {
    std::memcpy(dst, src, m_layout.size);
}

void DataSet::resetRows() {
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_deleted.clear();
    m_extras.clear();
    m_chunks.clear();
    m_chunkUsed = m_chunkCap = 0;
    m_edit.reset();
    m_editBlobs.clear();
    m_editRow = m_prevRow = m_cur = -1;
    m_lastPosted = nullptr;
    m_written.clear();
    m_dbRow.reset();
    m_bof = m_eof = true;
    m_lookupIndex.clear();
    ++m_version;
}

const DataSet::Extra* DataSet::findExtra(const char* rec) const {
    auto it = m_extras.find(rec);
    return it == m_extras.end() ? nullptr : &it->second;
}

int DataSet::internalFetch(int) {
    m_moreToFetch = false;
    return 0;
}

void DataSet::internalApply(UpdateKind, const char*, const char*) {}

// ---------------------------------------------------------------- open / close

void DataSet::createFields() {
    m_fields.clear();
    for (size_t i = 0; i < m_layout.columns.size(); ++i) {
        const ColumnLayout& c = m_layout.columns[i];
        auto f = std::make_unique<Field>(this, static_cast<int>(i), c.name, c.kind);
        f->m_size = c.charSize();
        f->m_required = !c.nullable;
        if (!c.relation.isEmpty() && !c.column.isEmpty())
            f->m_origin = '"' + c.relation.trimmed() + "\".\"" + c.column.trimmed() + '"';
        m_fields.push_back(std::move(f));
    }
    for (const LookupDef& d : m_lookupDefs) {
        auto f = std::make_unique<Field>(this, -1, d.name, FieldKind::Lookup);
        f->m_label = d.label;
        f->m_size = d.size;
        f->setLookup(d.key, d.list, d.listKey, d.listResult);
        m_fields.push_back(std::move(f));
    }
    for (size_t i = 0; i < m_fields.size(); ++i) {
        Field* f = m_fields[i].get();
        f->m_index = static_cast<int>(i);
        auto it = m_defs.constFind(f->m_name.toUpper());
        if (it == m_defs.constEnd()) continue;
        const FieldDef& d = *it;
        if (!d.displayLabel.isEmpty()) f->m_label = d.displayLabel;
        f->m_tag = d.tag;
        f->m_visible = d.visible;
        f->m_displayWidth = d.displayWidth;
        if (d.required >= 0) f->m_required = d.required != 0;
        if (d.size > 0) f->m_size = d.size;
        f->m_displayFormat = d.displayFormat;
        f->m_editMask = d.editMask;
    }
}

FieldDef& DataSet::defineField(const QString& name) {
    return m_defs[name.toUpper()];
}

void DataSet::defineLookupField(const QString& name, const QString& label, int size, const QString& keyField,
                                DataSet* list, const QString& listKey, const QString& listResult) {
    m_lookupDefs.push_back({name, label, keyField, listKey, listResult, size, list});
}

void DataSet::open() {
    if (active()) return;
    run(beforeOpen);
    resetRows();
    m_moreToFetch = false;
    internalOpen();
    createFields();
    m_state = DataSetState::Browse;
    fetchMore(1);
    m_cur = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    notify(DataEvent::RowsReset);
    notify(DataEvent::StateChanged);
    notify(DataEvent::RecordChanged);
    run(afterOpen);
    run(afterScroll);
}

void DataSet::close() {
    if (!active()) return;
    run(beforeClose);
    if (editing()) {
        m_edit.reset();
        m_editBlobs.clear();
    }
    internalClose();
    resetRows();
    m_moreToFetch = false;
    m_state = DataSetState::Inactive;
    notify(DataEvent::RowsReset);
    notify(DataEvent::StateChanged);
    notify(DataEvent::RecordChanged);
    run(afterClose);
}

int DataSet::fetchMore(int n) {
    if (!m_moreToFetch || !active()) return 0;
    int before = recordCount();
    internalFetch(n);
    int got = recordCount() - before;
    if (got > 0) {
        ++m_version;
        notify(DataEvent::RowsFetched, nullptr, before, got);
    }
    return got;
}

void DataSet::fetchAll() {
    while (m_moreToFetch && active())
        fetchMore(-1);
}

bool DataSet::isEmpty() const {
    return m_rows.empty() && m_state != DataSetState::Insert;
}

// ---------------------------------------------------------------- navigation

// A list left closed (its reopening failed) is the user's to open again: a warning, no fault.
void DataSet::requireActive() const {
    if (!active())
        throw ValidationError(
            QStringLiteral("A lista %1 está fechada; abra-a de novo (Atualizar) e repita a operação.")
                .arg(name()));
}

void DataSet::scrolled() {
    notify(DataEvent::RecordChanged);
    run(afterScroll);
}

// Leaves edit or insert state before a move. A screen's settle handler decides (save, discard
// or stay); without one a changed record is posted and an unchanged one cancelled.
static void checkBrowseMode(DataSet& ds, bool modified) {
    if (!ds.editing()) return;
    if (ds.settleEdit) {
        ds.settleEdit(ds);
        if (!ds.editing()) return;
    }
    if (modified)
        ds.post();
    else
        ds.cancel();
}

void DataSet::first() {
    requireActive();
    checkBrowseMode(*this, m_modified);
    m_cur = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    scrolled();
}

void DataSet::last() {
    requireActive();
    checkBrowseMode(*this, m_modified);
    fetchAll();
    m_cur = static_cast<int>(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.empty();
    scrolled();
}

namespace {
// Rows read per part by a dataset read once from first to last.
constexpr int kPartePassada = 1024;
} // namespace

void DataSet::next() {
    requireActive();
    checkBrowseMode(*this, m_modified);
    if (m_forwardOnly && m_cur + 1 >= recordCount() && m_moreToFetch && m_deleted.empty() && !m_cached) {
        // The rows read are done with: their memory takes the next part.
        m_rows.clear();
        m_extras.clear();
        m_chunks.clear();
        m_chunkUsed = m_chunkCap = 0;
        m_lookupIndex.clear();
        m_cur = -1;
        if (fetchMore(kPartePassada) > 0) {
            m_cur = 0;
            m_bof = m_eof = false;
            scrolled();
        } else {
            m_eof = m_bof = true;
        }
        return;
    }
    if (m_cur + 1 < recordCount() || fetchMore(64) > 0) {
        ++m_cur;
        m_bof = m_eof = false;
        scrolled();
    } else {
        m_eof = true;
        if (m_rows.empty()) m_bof = true;
    }
}

void DataSet::prior() {
    requireActive();
    checkBrowseMode(*this, m_modified);
    if (m_cur > 0) {
        --m_cur;
        m_bof = m_eof = false;
        scrolled();
    } else {
        m_bof = true;
        if (m_rows.empty()) m_eof = true;
    }
}

void DataSet::moveBy(int n) {
    for (; n > 0 && !m_eof; --n)
        next();
    for (; n < 0 && !m_bof; ++n)
        prior();
}

void DataSet::setRecNo(int row) {
    requireActive();
    checkBrowseMode(*this, m_modified);
    while (row >= recordCount() && fetchMore(256) > 0) {
    }
    if (m_rows.empty()) return;
    row = std::clamp(row, 0, recordCount() - 1);
    if (row == m_cur) return;
    m_cur = row;
    m_bof = m_eof = false;
    scrolled();
}

// ---------------------------------------------------------------- editing

const char* DataSet::activeBuffer() const {
    if (editing()) return m_edit.get();
    if (m_cur < 0 || m_cur >= recordCount()) return nullptr;
    return m_rows[static_cast<size_t>(m_cur)];
}

char* DataSet::editBuffer() {
    if (!editing()) throw AppError(QStringLiteral("O registro não está em edição."));
    return m_edit.get();
}

void DataSet::setState(DataSetState s) {
    if (m_state == s) return;
    m_state = s;
    notify(DataEvent::StateChanged);
}

void DataSet::discardStaleUpdates() {
    // One save is one record: a change left in the cache by an earlier action is never written
    // by the next save.
    if (m_cached && !editing() && updatesPending()) cancelUpdates();
}

void DataSet::insert() {
    requireActive();
    checkBrowseMode(*this, m_modified);
    discardStaleUpdates();
    run(beforeInsert);
    m_prevRow = m_cur;
    m_editRow = m_cur < 0 ? 0 : m_cur;
    m_edit.reset(new char[std::max<size_t>(m_layout.size, 8)]);
    std::memset(m_edit.get(), 0, m_layout.size);
    for (const ColumnLayout& c : m_layout.columns)
        codec::setNull(c, m_edit.get(), true);
    m_editBlobs.clear();
    m_modified = false;
    setState(DataSetState::Insert);
    notify(DataEvent::RecordChanged);
    run(afterInsert);
}

void DataSet::append() {
    requireActive();
    checkBrowseMode(*this, m_modified);
    m_cur = recordCount() - 1;
    insert();
    m_editRow = recordCount();
}

void DataSet::edit() {
    requireActive();
    if (editing()) return;
    if (m_rows.empty()) {
        insert();
        return;
    }
    discardStaleUpdates();
    run(beforeEdit);
    const char* rec = m_rows[static_cast<size_t>(m_cur)];
    m_edit.reset(new char[std::max<size_t>(m_layout.size, 8)]);
    copyRecord(m_edit.get(), rec);
    m_editBlobs.clear();
    if (const Extra* ex = findExtra(rec)) m_editBlobs = ex->blobs;
    m_editRow = m_cur;
    m_modified = false;
    setState(DataSetState::Edit);
    run(afterEdit);
}

QVariant DataSet::columnValue(int col, const char* rec) const {
    const ColumnLayout& c = m_layout.columns[static_cast<size_t>(col)];
    if (c.sqlType == 520 /* blob */) {
        if (codec::isNull(c, rec)) return QVariant();
        QByteArray b = blobContent(col, rec);
        if (c.kind == FieldKind::Memo) return cp1252::decode(b);
        return b;
    }
    return codec::decode(c, rec);
}

QByteArray DataSet::blobContent(int col, const char* rec) const {
    const ColumnLayout& c = m_layout.columns[static_cast<size_t>(col)];
    if (codec::isNull(c, rec)) return {};
    if (rec == m_edit.get()) {
        auto it = m_editBlobs.constFind(col);
        if (it != m_editBlobs.constEnd()) return *it;
        QByteArray b = loadBlob(codec::blobId(c, rec));
        const_cast<DataSet*>(this)->m_editBlobs.insert(col, b);
        return b;
    }
    Extra& ex = m_extras[rec];
    auto it = ex.blobs.constFind(col);
    if (it != ex.blobs.constEnd()) return *it;
    QByteArray b = loadBlob(codec::blobId(c, rec));
    ex.blobs.insert(col, b);
    return b;
}

void DataSet::setColumnValue(int col, const QVariant& v) {
    char* buf = editBuffer();
    const ColumnLayout& c = m_layout.columns[static_cast<size_t>(col)];
    const QString label = m_fields[static_cast<size_t>(col)]->displayLabel();
    if (c.sqlType == 520) {
        // Nothing changes in the record when the value is refused.
        QByteArray b = v.isNull() ? QByteArray()
                       : v.typeId() == QMetaType::QByteArray
                           ? v.toByteArray()
                           : cp1252::encodeChecked(v.toString(), QStringLiteral("O campo \"%1\"").arg(label));
        codec::setBlobId(c, buf, BlobId{});
        codec::setNull(c, buf, b.isEmpty());
        m_editBlobs.insert(col, b);
    } else {
        // Encoded aside first, so a refused value leaves the record as it was.
        std::unique_ptr<char[]> scratch(new char[std::max<size_t>(m_layout.size, 8)]);
        copyRecord(scratch.get(), buf);
        codec::encode(c, scratch.get(), v, label);
        copyRecord(buf, scratch.get());
    }
    m_modified = true;
    fieldChanged(m_fields[static_cast<size_t>(col)].get());
}

QVariant DataSet::oldColumnValue(int col) const {
    if (col < 0 || m_cur < 0 || m_cur >= recordCount()) return {};
    const char* rec = m_rows[static_cast<size_t>(m_cur)];
    const Extra* ex = findExtra(rec);
    if (ex && ex->original)
        return codec::decode(m_layout.columns[static_cast<size_t>(col)], ex->original.get());
    return columnValue(col, rec);
}

void DataSet::fieldChanged(Field* f) {
    ++m_version;
    notify(DataEvent::FieldChanged, f);
}

// ---------------------------------------------------------------- fields, search

Field* DataSet::findField(const QString& name) const {
    for (const auto& f : m_fields)
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0) return f.get();
    return nullptr;
}

Field* DataSet::fieldByName(const QString& name) const {
    Field* f = findField(name);
    if (!f) throw AppError(QString("%1: Campo '%2' não encontrado").arg(m_name, name));
    return f;
}

QVariant DataSet::valueAt(int row, const Field* f) const {
    if (!f || row < 0 || row >= recordCount()) return {};
    if (f->isLookup()) {
        DataSet* list = f->lookupDataSet();
        Field* key = findField(f->keyFields());
        if (!list || !key) return {};
        QVariant k = valueAt(row, key);
        if (k.isNull()) return {};
        prefetchLookupsAround(row, f, list, key);
        return list->lookup(f->lookupKeyFields(), k, f->lookupResultField());
    }
    const char* rec = m_rows[static_cast<size_t>(row)];
    if (m_state == DataSetState::Edit && row == m_editRow) rec = m_edit.get();
    return columnValue(f->column(), rec);
}

static bool matches(const QVariant& have, const QVariant& want, const DataSet::LocateOptions& opt) {
    if (have.isNull() || want.isNull()) return have.isNull() && want.isNull();
    if (have.typeId() == QMetaType::QString || want.typeId() == QMetaType::QString) {
        QString a = have.toString(), b = want.toString();
        Qt::CaseSensitivity cs = opt.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return opt.partialKey ? a.startsWith(b, cs) : a.compare(b, cs) == 0;
    }
    if (have.typeId() == QMetaType::QDate || have.typeId() == QMetaType::QDateTime) return have == want;
    bool ok1, ok2;
    double a = have.toDouble(&ok1), b = want.toDouble(&ok2);
    if (ok1 && ok2) return a == b;
    return have == want;
}

bool DataSet::locate(const QString& fieldNames, const QVariant& values, LocateOptions opt) {
    QStringList names = fieldNames.split(';', Qt::SkipEmptyParts);
    QVariantList vals;
    if (names.size() > 1 && values.typeId() == QMetaType::QVariantList)
        vals = values.toList();
    else
        vals.append(values);
    return locate(fieldNames, vals, opt);
}

bool DataSet::locate(const QString& fieldNames, const QVariantList& values, LocateOptions opt) {
    if (!active()) return false;
    QStringList names = fieldNames.split(';', Qt::SkipEmptyParts);
    std::vector<Field*> fs;
    for (const QString& n : names)
        fs.push_back(fieldByName(n.trimmed()));
    checkBrowseMode(*this, m_modified);
    for (int row = 0;; ++row) {
        if (row >= recordCount() && fetchMore(1024) == 0) break;
        bool ok = true;
        for (size_t i = 0; i < fs.size() && ok; ++i)
            ok = matches(valueAt(row, fs[i]),
                         i < static_cast<size_t>(values.size()) ? values[int(i)] : QVariant(), opt);
        if (ok) {
            m_cur = row;
            m_bof = m_eof = false;
            scrolled();
            return true;
        }
    }
    return false;
}

const DataSet::LookupIndex& DataSet::lookupIndex(const QString& keyField, const Field* kf) {
    LookupIndex& idx = m_lookupIndex[keyField.toUpper()];
    if (idx.builtFor != m_version || idx.rows.isEmpty()) {
        idx.rows.clear();
        idx.rows.reserve(recordCount());
        for (int r = recordCount() - 1; r >= 0; --r)
            idx.rows.insert(keyText(valueAt(r, kf)), r);
        idx.builtFor = m_version;
    }
    return idx;
}

QVariant DataSet::lookup(const QString& keyField, const QVariant& key, const QString& resultField) {
    if (!active()) return {};
    Field* kf = findField(keyField);
    Field* rf = findField(resultField);
    if (!kf || !rf) return {};
    // The rows read so far first; a list not read to its end is asked for the one key rather
    // than read whole, so a page of rows never costs the whole list.
    for (;;) {
        const LookupIndex& idx = lookupIndex(keyField, kf);
        auto it = idx.rows.constFind(keyText(key));
        if (it != idx.rows.constEnd()) return valueAt(*it, rf);
        if (!canFetchMore() && !rowsCutShort()) return {};
        if (key.isNull() || keyText(key).isEmpty()) return {};
        QVariant found;
        if (lookupUnread(kf->fieldName(), key, rf->fieldName(), found)) return found;
        if (!canFetchMore()) return {};
        fetchAll();
    }
}

void DataSet::prefetchLookup(const QString& keyField, const QVariantList& keys, const QString& resultField) {
    if (!active() || (!canFetchMore() && !rowsCutShort())) return;
    Field* kf = findField(keyField);
    Field* rf = findField(resultField);
    if (!kf || !rf) return;
    const LookupIndex& idx = lookupIndex(keyField, kf);
    QVariantList faltam;
    for (const QVariant& k : keys)
        if (!k.isNull() && !idx.rows.contains(keyText(k))) faltam.append(k);
    if (faltam.size() > 1) lookupUnreadMany(kf->fieldName(), faltam, rf->fieldName());
}

void DataSet::prefetchLookupsAround(int row, const Field* lookup, DataSet* list, const Field* key) const {
    // A grid paints a page of rows: the keys of the block of rows around the one asked go to the
    // list together, once per block while the rows stay as they are.
    constexpr int kBloco = 64;
    if (m_lookupBlocksFor != m_version) {
        m_lookupBlocks.clear();
        m_lookupBlocksFor = m_version;
    }
    const int bloco = row / kBloco;
    QSet<int>& feitos = m_lookupBlocks[lookup];
    if (feitos.contains(bloco)) return;
    feitos.insert(bloco);
    QVariantList chaves;
    const int fim = std::min(recordCount(), (bloco + 1) * kBloco);
    for (int r = bloco * kBloco; r < fim; ++r)
        chaves.append(valueAt(r, key));
    list->prefetchLookup(lookup->lookupKeyFields(), chaves, lookup->lookupResultField());
}

void DataSet::refresh() {
    requireActive();
    notify(DataEvent::RowsReset);
    notify(DataEvent::RecordChanged);
}

// ---------------------------------------------------------------- notifications

void DataSet::attachSource(DataSource* s) {
    if (std::find(m_sources.begin(), m_sources.end(), s) == m_sources.end()) m_sources.push_back(s);
}

void DataSet::detachSource(DataSource* s) {
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), s), m_sources.end());
}

void DataSet::notify(DataEvent kind, Field* f, int row, int count) {
    if (m_disabled > 0 && kind != DataEvent::StateChanged) {
        m_pendingNotify = true;
        return;
    }
    DataEventInfo e{kind, f, row, count};
    auto sources = m_sources;
    for (DataSource* s : sources)
        s->notify(e);
}

void DataSet::enableControls() {
    if (m_disabled > 0) --m_disabled;
    if (m_disabled == 0 && m_pendingNotify) {
        m_pendingNotify = false;
        notify(DataEvent::RowsReset);
        notify(DataEvent::RecordChanged);
    }
}

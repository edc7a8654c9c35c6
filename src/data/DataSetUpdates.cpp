// The editing half of DataSet: posting, cancelling and deleting a record, and the cached
// updates that keep what was changed until it is applied, committed or cancelled.
#include "data/DataSet.h"
#include "data/DataSource.h"
#include "platform/Cp1252.h"
#include <algorithm>
#include <cstring>

void DataSet::checkRequired() {
    for (const auto& f : m_fields) {
        if (!f->required() || f->isLookup()) continue;
        QVariant v = columnValue(f->column(), m_edit.get());
        bool empty = v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
        if (empty)
            throw ValidationError(
                QStringLiteral("O campo \"%1\" deve ser preenchido.").arg(f->displayLabel()));
    }
}

void DataSet::post() {
    if (!editing()) return;
    // A save takes what every control shows, also a text still being typed.
    for (DataSource* s : std::vector<DataSource*>(m_sources))
        s->notify({DataEvent::UpdateRecord});
    run(beforePost);
    checkRequired();
    const bool inserting = m_state == DataSetState::Insert;
    char* rec;
    int row = m_editRow;
    if (inserting) {
        rec = newRecord();
        copyRecord(rec, m_edit.get());
        row = std::clamp(row, 0, recordCount());
        m_rows.insert(m_rows.begin() + row, rec);
        Extra& ex = extra(rec);
        ex.status = UpdateStatus::Inserted;
        ex.blobs = m_editBlobs;
    } else {
        rec = m_rows[static_cast<size_t>(row)];
        Extra& ex = extra(rec);
        if (ex.status == UpdateStatus::Unmodified) {
            ex.original.reset(new char[std::max<size_t>(m_layout.size, 8)]);
            copyRecord(ex.original.get(), rec);
            ex.originalBlobs = ex.blobs;
            ex.status = UpdateStatus::Modified;
        }
        copyRecord(rec, m_edit.get());
        for (auto it = m_editBlobs.constBegin(); it != m_editBlobs.constEnd(); ++it)
            ex.blobs.insert(it.key(), it.value());
    }
    if (!m_cached) {
        // Without a cache the change is written at once; on failure the dataset keeps the
        // user's values in its edit state.
        try {
            Extra& ex = extra(rec);
            internalApply(inserting ? UpdateKind::Insert : UpdateKind::Modify, rec,
                          ex.original ? ex.original.get() : rec);
            ex.status = UpdateStatus::Unmodified;
            ex.original.reset();
            ex.originalBlobs.clear();
            if (!m_layout.columns.empty()) m_written.insert(keyText(columnValue(0, rec)));
        } catch (...) {
            if (inserting) {
                m_rows.erase(m_rows.begin() + row);
                m_extras.erase(rec);
            } else {
                Extra& ex = extra(rec);
                copyRecord(rec, ex.original.get());
                ex.status = UpdateStatus::Unmodified;
                ex.original.reset();
                ex.originalBlobs.clear();
            }
            throw;
        }
    }
    m_edit.reset();
    m_editBlobs.clear();
    m_cur = row;
    m_lastPosted = rec;
    ++m_version;
    m_bof = m_eof = false;
    setState(DataSetState::Browse);
    notify(inserting ? DataEvent::RowInserted : DataEvent::RowUpdated, nullptr, row);
    notify(DataEvent::RecordChanged);
    run(afterPost);
}

void DataSet::cancel() {
    if (!editing()) return;
    run(beforeCancel);
    const bool inserting = m_state == DataSetState::Insert;
    m_edit.reset();
    m_editBlobs.clear();
    if (inserting) m_cur = std::min(m_prevRow, recordCount() - 1);
    if (m_cur < 0 && !m_rows.empty()) m_cur = 0;
    setState(DataSetState::Browse);
    notify(DataEvent::RecordChanged);
    run(afterCancel);
}

void DataSet::remove() {
    requireActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (m_rows.empty()) throw AppError(QStringLiteral("Não há registro para excluir."));
    run(beforeDelete);
    const bool wasEditing = m_state == DataSetState::Edit;
    if (wasEditing) {
        m_edit.reset();
        m_editBlobs.clear();
        m_state = DataSetState::Browse;
    }
    const int row = m_cur;
    char* rec = m_rows[static_cast<size_t>(row)];
    if (m_cached) {
        Extra& ex = extra(rec);
        if (ex.status == UpdateStatus::Inserted) {
            m_extras.erase(rec);
        } else {
            ex.status = UpdateStatus::Deleted;
            ex.deletedAt = row;
            m_deleted.push_back(rec);
        }
    } else {
        const Extra* ex = findExtra(rec);
        internalApply(UpdateKind::Delete, rec, ex && ex->original ? ex->original.get() : rec);
        m_extras.erase(rec);
    }
    m_rows.erase(m_rows.begin() + row);
    m_cur = std::min(row, recordCount() - 1);
    ++m_version;
    if (wasEditing) notify(DataEvent::StateChanged);
    notify(DataEvent::RowRemoved, nullptr, row);
    notify(DataEvent::RecordChanged);
    run(afterDelete);
}

void DataSet::reopenPostedRecord() {
    if (editing() || !m_lastPosted) return;
    char* rec = m_lastPosted;
    auto pos = std::find(m_rows.begin(), m_rows.end(), rec);
    if (pos == m_rows.end()) return;
    Extra* ex = &extra(rec);
    if (ex->status == UpdateStatus::Unmodified) return;
    const int row = static_cast<int>(pos - m_rows.begin());
    m_edit.reset(new char[std::max<size_t>(m_layout.size, 8)]);
    copyRecord(m_edit.get(), rec);
    m_editBlobs = ex->blobs;
    m_editRow = row;
    m_lastPosted = nullptr;
    m_modified = true;
    if (ex->status == UpdateStatus::Inserted) {
        m_extras.erase(rec);
        m_rows.erase(pos);
        m_prevRow = std::min(row, recordCount() - 1);
        m_cur = m_prevRow;
        ++m_version;
        notify(DataEvent::RowRemoved, nullptr, row);
        m_state = DataSetState::Insert;
    } else {
        // The stored row as read, with the contents of blobs written by earlier saves.
        copyRecord(rec, ex->original.get());
        QHash<int, QByteArray> blobs = ex->originalBlobs;
        m_extras.erase(rec);
        if (!blobs.isEmpty()) m_extras[rec].blobs = blobs;
        m_cur = row;
        m_state = DataSetState::Edit;
    }
    notify(DataEvent::StateChanged);
    notify(DataEvent::RecordChanged);
}

// ---------------------------------------------------------------- cached updates

bool DataSet::updatesPending() const {
    if (!m_deleted.empty()) return true;
    for (const auto& [rec, ex] : m_extras)
        if (ex.status != UpdateStatus::Unmodified) return true;
    return false;
}

UpdateStatus DataSet::updateStatus() const {
    const char* rec = editing() ? nullptr : activeBuffer();
    if (!rec) return UpdateStatus::Unmodified;
    const Extra* ex = findExtra(rec);
    return ex ? ex->status : UpdateStatus::Unmodified;
}

void DataSet::applyUpdates() {
    if (!m_cached) return;
    applyPending();
    commitUpdates();
}

void DataSet::applyPending() {
    if (!m_cached) return;
    if (editing()) post();
    for (char* rec : m_deleted) {
        const Extra* ex = findExtra(rec);
        internalApply(UpdateKind::Delete, rec, ex && ex->original ? ex->original.get() : rec);
    }
    for (char* rec : m_rows) {
        const Extra* ex = findExtra(rec);
        if (!ex || ex->status == UpdateStatus::Unmodified) continue;
        internalApply(ex->status == UpdateStatus::Inserted ? UpdateKind::Insert : UpdateKind::Modify, rec,
                      ex->original ? ex->original.get() : rec);
    }
}

void DataSet::commitUpdates() {
    for (char* rec : m_deleted)
        m_extras.erase(rec);
    m_deleted.clear();
    for (auto& [rec, ex] : m_extras) {
        if ((ex.status == UpdateStatus::Inserted || ex.status == UpdateStatus::Modified) &&
            !m_layout.columns.empty())
            m_written.insert(keyText(columnValue(0, rec)));
        ex.status = UpdateStatus::Unmodified;
        ex.original.reset();
        ex.originalBlobs.clear();
        ex.deletedAt = -1;
    }
    m_lastPosted = nullptr;
}

void DataSet::cancelUpdates() {
    if (editing()) cancel();
    // Inserted rows go, modified rows get their original values, deleted rows come back.
    std::vector<char*> kept;
    kept.reserve(m_rows.size());
    for (char* rec : m_rows) {
        auto it = m_extras.find(rec);
        if (it != m_extras.end() && it->second.status == UpdateStatus::Inserted) {
            m_extras.erase(it);
            continue;
        }
        if (it != m_extras.end() && it->second.status == UpdateStatus::Modified) {
            copyRecord(rec, it->second.original.get());
            m_extras.erase(it);
        }
        kept.push_back(rec);
    }
    m_rows.swap(kept);
    std::vector<char*> deleted = m_deleted;
    std::sort(deleted.begin(), deleted.end(),
              [this](char* a, char* b) { return m_extras[a].deletedAt < m_extras[b].deletedAt; });
    int restoredAt = -1;
    for (char* rec : deleted) {
        Extra& ex = m_extras[rec];
        int at = std::clamp(ex.deletedAt, 0, recordCount());
        if (ex.original) copyRecord(rec, ex.original.get());
        m_rows.insert(m_rows.begin() + at, rec);
        restoredAt = at;
        m_extras.erase(rec);
    }
    m_deleted.clear();
    m_lastPosted = nullptr;
    if (restoredAt >= 0) m_cur = restoredAt;
    m_cur = std::min(std::max(m_cur, m_rows.empty() ? -1 : 0), recordCount() - 1);
    ++m_version;
    notify(DataEvent::RowsReset);
    notify(DataEvent::RecordChanged);
}

bool DataSet::writtenHere(const char* rec) const {
    if (m_written.isEmpty() || m_layout.columns.empty() || m_layout.columns[0].sqlType == 520) return false;
    return m_written.contains(keyText(codec::decode(m_layout.columns[0], rec)));
}

QVariant DataSet::databaseRowValue(int col) const {
    if (!m_dbRow || col < 0 || col >= static_cast<int>(m_layout.columns.size())) return {};
    const ColumnLayout& c = m_layout.columns[static_cast<size_t>(col)];
    if (c.sqlType != 520) return codec::decode(c, m_dbRow.get());
    if (codec::isNull(c, m_dbRow.get())) return {};
    const QByteArray b = loadBlob(codec::blobId(c, m_dbRow.get()));
    return c.kind == FieldKind::Memo ? QVariant(cp1252::decode(b)) : QVariant(b);
}

std::vector<int> DataSet::changedColumns() const {
    std::vector<int> out;
    if (m_state != DataSetState::Edit || m_editRow < 0 || m_editRow >= recordCount()) return out;
    const char* rec = m_rows[static_cast<size_t>(m_editRow)];
    for (int col = 0; col < static_cast<int>(m_layout.columns.size()); ++col) {
        const QVariant now = columnValue(col, m_edit.get()), was = columnValue(col, rec);
        if (now.isNull() != was.isNull() || now != was) out.push_back(col);
    }
    return out;
}

void DataSet::takeDatabaseRow(bool keepChanges) {
    if (!m_dbRow) return;
    std::unique_ptr<char[]> db = std::move(m_dbRow);
    if (m_state != DataSetState::Edit || m_editRow < 0 || m_editRow >= recordCount()) return;
    char* rec = m_rows[static_cast<size_t>(m_editRow)];
    const std::vector<int> changed = changedColumns();
    // The user's changed columns over the database's row, blob contents included.
    std::unique_ptr<char[]> edit(new char[std::max<size_t>(m_layout.size, 8)]);
    copyRecord(edit.get(), db.get());
    QHash<int, QByteArray> blobs;
    for (int col : changed) {
        const ColumnLayout& c = m_layout.columns[static_cast<size_t>(col)];
        const unsigned bytes = c.length + (c.sqlType == 448 /* varying */ ? 2u : 0u);
        std::memcpy(edit.get() + c.offset, m_edit.get() + c.offset, bytes);
        std::memcpy(edit.get() + c.nullOffset, m_edit.get() + c.nullOffset, 2);
        if (c.sqlType == 520) blobs.insert(col, blobContent(col, m_edit.get()));
    }
    copyRecord(rec, db.get());
    m_extras.erase(rec);
    ++m_version;
    if (keepChanges) {
        m_edit = std::move(edit);
        m_editBlobs = blobs;
        m_modified = true;
        notify(DataEvent::RowUpdated, nullptr, m_editRow);
        notify(DataEvent::RecordChanged);
        return;
    }
    notify(DataEvent::RowUpdated, nullptr, m_editRow);
    cancel();
}

QVariant DataSet::recordValue(const char* rec, const QString& name, bool old) const {
    int col = m_layout.indexOf(name);
    if (col < 0) return {};
    const char* src = rec;
    if (old) {
        const Extra* ex = findExtra(rec);
        if (ex && ex->original) src = ex->original.get();
    }
    const ColumnLayout& c = m_layout.columns[static_cast<size_t>(col)];
    if (c.sqlType == 520 && src != rec) {
        if (codec::isNull(c, src)) return {};
        const Extra* ex = findExtra(rec);
        QByteArray b = ex && ex->originalBlobs.contains(col) ? ex->originalBlobs.value(col)
                                                             : loadBlob(codec::blobId(c, src));
        return c.kind == FieldKind::Memo ? QVariant(cp1252::decode(b)) : QVariant(b);
    }
    return columnValue(col, src);
}

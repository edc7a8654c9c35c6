#pragma once
// A dataset read by a select statement, and the runner of one-off statements.
#include "data/DataSet.h"
#include "data/Statement.h"
#include <QHash>
#include <memory>

class UpdateSql;

class Query : public DataSet {
public:
    explicit Query(Database* db = nullptr, Transaction* tr = nullptr, const QString& name = QString());
    ~Query() override;

    void setDatabase(Database* db) { m_db = db; }
    Database* database() const { return m_db; }
    // The query's own transaction, or the connection's default one.
    void setTransaction(Transaction* tr) { m_tr = tr; }
    Transaction* transaction() const;

    // SQL text as lines: each line is followed by a line break.
    void setSql(const QStringList& lines);
    void setSqlText(const QString& text);
    const QString& sqlText() const { return m_text; }
    QStringList sqlLines() const;
    void addSql(const QString& line);
    void clearSql() { setSqlText(QString()); }

    // Named parameters of the current text (:NAME).
    QStringList paramNames() const { return m_paramNames; }
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    bool hasParam(const QString& name) const;

    // Runs a statement that returns no rows; "commit retain" and "commit" act on the
    // query's transaction.
    void execSQL();
    int rowsAffected() const { return m_rowsAffected; }

    void refresh() override;
    void applyUpdates() override;
    // One save: writes the cached change and commits retaining, all or nothing. On failure the
    // database keeps nothing of it, the change stays in the cache (reopenPostedRecord() gives it
    // back to the user, cancelUpdates() drops it) and the error propagates.
    void applyAndCommit();
    bool fromDatabase() const override { return true; }
    bool lookupUnread(const QString& keyField, const QVariant& key, const QString& resultField,
                      QVariant& result) override;
    void lookupUnreadMany(const QString& keyField, const QVariantList& keys,
                          const QString& resultField) override;
    bool rowsCutShort() const override { return m_cutShort; }

    // After a save that touched no row (RecordConflict): reads the edited record's row again by
    // its key, as the database holds it now (databaseRowValue, takeDatabaseRow).
    enum class RowReread { Found, Gone, Unknown };
    RowReread rereadEditedRow();

protected:
    void internalOpen() override;
    int internalFetch(int n) override;
    void internalClose() override;
    QByteArray loadBlob(BlobId id) const override;
    void internalApply(UpdateKind kind, const char* rec, const char* old) override;

private:
    void bindParams(Statement& st, const QStringList& names) const;
    void writePending(bool commit);
    void undoPending(Transaction* tr);
    void stopListening();
    Transaction* m_listenTr = nullptr;
    std::weak_ptr<void> m_listenLife;

    Database* m_db = nullptr;
    Transaction* m_tr = nullptr;
    QString m_text;
    QStringList m_paramNames;
    QHash<QString, QVariant> m_params;
    std::unique_ptr<Statement> m_stmt;
    int m_rowsAffected = 0;
    bool m_cutShort = false;
    // Rows read one by one by their key while the list is not read whole: key field, result
    // field and key -> value (null for a key no row has). Forgotten when the list is read again.
    QString keyedReadText(const QString& keyField, const QString& resultField, const QString& condition,
                          bool withKey) const;
    Query& keyReader();
    QHash<QString, QVariant> m_porChave;
    std::unique_ptr<Query> m_leitorChave;
    bool m_semLeitorChave = false;
};

// An in-memory table with field definitions of its own (report tables).
class MemTable : public DataSet {
public:
    explicit MemTable(const QString& name = QString()) : DataSet(name) {}
    void addFieldDef(const QString& name, FieldKind kind, int size = 0) {
        m_defs.emplace_back(name, kind, size);
    }
    void clearFieldDefs() { m_defs.clear(); }
    // Opens the table empty with the defined fields.
    void createDataSet() {
        close();
        open();
    }
    void emptyDataSet() { createDataSet(); }

protected:
    void internalOpen() override { m_layout = RecordLayout::build(m_defs); }

private:
    std::vector<std::tuple<QString, FieldKind, int>> m_defs;
};

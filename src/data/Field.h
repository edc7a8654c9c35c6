#pragma once
// A field of a dataset: one column of its records, or a lookup column resolved through
// another dataset.
#include "data/Statement.h"
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

class DataSet;

// The field class the list tools test (filter builder, export).
enum class FieldClass {
    StringColumn,
    String,
    BCD,
    Float,
    Integer,
    SmallInt,
    LargeInt,
    Date,
    Time,
    DateTime,
    Memo,
    Blob,
    Boolean,
    Lookup
};

// Properties a data module declares for a field before the dataset opens.
struct FieldDef {
    QString displayLabel;
    int tag = 0;
    int displayWidth = 0;
    bool visible = true;
    int required = -1; // -1: from the database's NOT NULL
    int size = 0;      // 0: from the database
    QString displayFormat;
    QString editMask;
};

class Field {
public:
    Field(DataSet* ds, int column, const QString& name, FieldKind kind);

    DataSet* dataSet() const { return m_ds; }
    const QString& fieldName() const { return m_name; }
    QString displayLabel() const { return m_label.isEmpty() ? m_name : m_label; }
    void setDisplayLabel(const QString& l) { m_label = l; }
    // The display label (what messages and the grid title show).
    QString displayName() const { return displayLabel(); }
    FieldKind kind() const { return m_kind; }
    FieldClass fieldClass() const;
    int size() const { return m_size; }
    void setSize(int s) { m_size = s; }
    bool required() const { return m_required; }
    void setRequired(bool r) { m_required = r; }
    int tag() const { return m_tag; }
    void setTag(int t) { m_tag = t; }
    bool visible() const { return m_visible; }
    void setVisible(bool v) { m_visible = v; }
    int displayWidth() const { return m_displayWidth; }
    void setDisplayWidth(int w) { m_displayWidth = w; }
    const QString& displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString& f) { m_displayFormat = f; }
    const QString& editMask() const { return m_editMask; }
    void setEditMask(const QString& m) { m_editMask = m; }
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool r) { m_readOnly = r; }
    // "TABLE"."COLUMN" of the result column; empty for expressions and lookups.
    const QString& origin() const { return m_origin; }
    void setOrigin(const QString& o) { m_origin = o; }
    int index() const { return m_index; }
    int column() const { return m_column; }
    bool isLookup() const { return m_kind == FieldKind::Lookup; }
    bool isBlob() const { return m_kind == FieldKind::Memo || m_kind == FieldKind::Blob; }
    bool isNumeric() const;

    // Lookup definition: this dataset's key field, the list, its key and its result column.
    const QString& keyFields() const { return m_keyFields; }
    DataSet* lookupDataSet() const { return m_lookupDs; }
    const QString& lookupKeyFields() const { return m_lookupKey; }
    const QString& lookupResultField() const { return m_lookupResult; }
    void setLookup(const QString& keyFields, DataSet* list, const QString& listKey,
                   const QString& listResult);

    // Value of the dataset's current record (the edit buffer while editing).
    QVariant value() const;
    void setValue(const QVariant& v);
    void clear() { setValue(QVariant()); }
    bool isNull() const;
    QString asString() const;
    int asInteger() const;
    double asFloat() const;
    QDate asDate() const;
    QDateTime asDateTime() const;
    QByteArray asBytes() const;
    // The value as it was read from the database (before the pending change).
    QVariant oldValue() const;
    // Text for grids and read-only displays, pt_BR formats.
    QString displayText() const;
    static QString formatValue(const Field& f, const QVariant& v);

private:
    friend class DataSet;
    DataSet* m_ds;
    int m_column; // record column, -1 for lookups
    int m_index = 0;
    QString m_name, m_label, m_origin, m_displayFormat, m_editMask;
    FieldKind m_kind;
    int m_size = 0, m_tag = 0, m_displayWidth = 0;
    bool m_required = false, m_visible = true, m_readOnly = false;
    QString m_keyFields, m_lookupKey, m_lookupResult;
    DataSet* m_lookupDs = nullptr;
};

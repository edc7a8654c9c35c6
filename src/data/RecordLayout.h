#pragma once
// The record layout and codec that statements and datasets use for message buffers: one
// column's place, type and null flag in a fixed-size record, and its value read or written.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <tuple>
#include <vector>

namespace Firebird {
class IMessageMetadata;
} // namespace Firebird

// Kinds of column a record can hold.
enum class FieldKind {
    String,
    FixedChar,
    SmallInt,
    Integer,
    LargeInt,
    Float,
    Double,
    BCD,
    Date,
    Time,
    DateTime,
    Memo,
    Blob,
    Boolean,
    Lookup
};

// One column of a fixed-size record (the message layout of the database).
struct ColumnLayout {
    QString name;         // alias as returned
    QString relation;     // origin table, empty for expressions
    QString column;       // origin column
    unsigned sqlType = 0; // SQL_* without the nullable bit
    int subType = 0;
    int scale = 0;
    unsigned length = 0; // bytes of the value area
    unsigned offset = 0;
    unsigned nullOffset = 0;
    unsigned charSet = 0;
    bool nullable = true;
    FieldKind kind = FieldKind::String;
    int charSize() const; // size in characters for text
};

struct RecordLayout {
    std::vector<ColumnLayout> columns;
    unsigned size = 0;
    int indexOf(const QString& name) const; // case-insensitive, -1 when missing
    // Builds a layout for in-memory tables: (name, kind, size in characters).
    static RecordLayout build(const std::vector<std::tuple<QString, FieldKind, int>>& defs);
    static RecordLayout fromMetadata(Firebird::IMessageMetadata* meta);
};

// An 8-byte blob reference as stored in a record.
struct BlobId {
    uint32_t high = 0, low = 0;
    bool isNull() const { return high == 0 && low == 0; }
};

namespace codec {
bool isNull(const ColumnLayout& c, const char* rec);
void setNull(const ColumnLayout& c, char* rec, bool null);
// Decodes a non-blob value (blobs yield their BlobId through blobId()).
QVariant decode(const ColumnLayout& c, const char* rec);
// Encodes v into the column, or throws AppError naming `label` (the column name when empty):
// text outside Windows-1252 or longer than the column, numbers outside the column's range,
// non-finite or (for whole-number columns) fractional, and texts that are not one valid date.
void encode(const ColumnLayout& c, char* rec, const QVariant& v, const QString& label = QString());
// A number written as text the Brazilian way: an optional sign, digits grouped by dots in
// threes or not grouped at all, and an optional decimal comma ("1.000" is one thousand,
// "1.234,56", "-0,5", "1234,5"). Anything else is not a number ("1,234.56", "1.5", "1.00").
struct NumberText {
    bool ok = false;
    bool negative = false;
    QString whole;    // the digits before the comma, without grouping
    QString fraction; // the digits after it, without trailing zeros
    double value = 0;
};
NumberText parseNumberText(const QString& s);
// A date written as text: dd/mm/yyyy, d/m/yy, dd.mm.yyyy or yyyy-mm-dd, and nothing else;
// invalid when the text is not exactly one real date.
QDate parseDateText(const QString& s);
// A date as above, optionally followed by a blank and h:mm or h:mm:ss.
QDateTime parseDateTimeText(const QString& s);
BlobId blobId(const ColumnLayout& c, const char* rec);
void setBlobId(const ColumnLayout& c, char* rec, BlobId id);
// Values compare equal as the database would see them (used for change detection).
bool sameValue(const ColumnLayout& c, const char* a, const char* b);
} // namespace codec

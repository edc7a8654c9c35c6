#pragma once
// A prepared statement on the Firebird OO API, with values bound by position.
#include "data/Blob.h"
#include "data/Database.h"
#include "data/FbPtr.h"
#include "data/RecordLayout.h"
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace Firebird {
class IStatement;
class IResultSet;
class IMessageMetadata;
} // namespace Firebird

template <typename Wrapper> class BasicFbStatus;
class RaisingStatusWrapper;
using FbStatus = BasicFbStatus<RaisingStatusWrapper>;

class Statement {
public:
    Statement(Database* db, Transaction* tr);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Prepares text with '?' placeholders (named parameters are resolved by the caller).
    void prepare(const QString& sqlText);
    bool prepared() const { return static_cast<bool>(m_stmt); }
    int paramCount() const { return static_cast<int>(m_in.columns.size()); }
    void setParam(int index, const QVariant& value);
    // The name that messages about a refused value of this parameter use.
    void setParamLabel(int index, const QString& label);
    void clearParams();

    // True when the prepared statement returns rows (select, select for update).
    bool isSelect() const;
    void execute();
    int rowsAffected() const;

    void openCursor();
    // Fetches the next row into buf (outputLayout().size bytes); false at the end.
    bool fetch(char* buf);
    void closeCursor();
    bool cursorOpen() const { return static_cast<bool>(m_rs); }
    const RecordLayout& outputLayout() const { return m_out; }
    Transaction* transaction() const { return m_tr; }
    Database* database() const { return m_db; }
    void free();
    // The connection object is being destroyed before this statement.
    void forgetDatabase() { m_db = nullptr; }

private:
    void bindInput();
    QString paramLabel(size_t index) const;
    Database* m_db;
    Transaction* m_tr;
    FbPtr<Firebird::IStatement> m_stmt;
    FbPtr<Firebird::IResultSet> m_rs;
    FbPtr<Firebird::IMessageMetadata> m_inMeta, m_outMeta;
    RecordLayout m_in, m_out;
    std::vector<char> m_inBuf;
    std::vector<QVariant> m_params;
    QStringList m_labels;
    unsigned m_type = 0;
    std::unique_ptr<FbStatus> m_fetchStatus; // reused by every fetch of a cursor
};

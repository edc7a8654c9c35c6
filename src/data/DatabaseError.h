#pragma once
#include "platform/Errors.h"
#include <QList>

// An error returned by the database: the status vector's text exactly as the client
// library formats it, the first ISC error code and the SQLSTATE.
class DatabaseError : public AppError {
public:
    DatabaseError(const QString& text, long iscCode, const QString& sqlState)
        : AppError(text), m_iscCode(iscCode), m_sqlState(sqlState) {}
    long iscCode() const { return m_iscCode; }
    const QString& sqlState() const { return m_sqlState; }
    // True when any code of the original status vector equals the given one.
    bool hasCode(long code) const { return m_codes.contains(code); }
    void setCodes(const QList<long>& codes) { m_codes = codes; }
    const QList<long>& codes() const { return m_codes; }

private:
    long m_iscCode;
    QString m_sqlState;
    QList<long> m_codes;
};

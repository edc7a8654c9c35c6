#pragma once
// Counts the rows of a list on a connection of its own, on a worker thread, so the list shows
// its first rows while the server counts the rest. A new request supersedes the one before:
// only the answer to the latest is delivered. The count statement and its transaction end with
// each count, so the idle connection holds no lock on any table.
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <utility>
#include <vector>

class Database;

class ContagemParalela : public QObject {
    Q_OBJECT
public:
    using Parametros = std::vector<std::pair<QString, QVariant>>;

    explicit ContagemParalela(QObject* parent = nullptr);
    // Stops a count still running and detaches its connection.
    ~ContagemParalela() override;

    // Counts with `sql` (one row whose first column is the total) and its named parameters on a
    // connection to the database `db` is connected to, with the same user and character set.
    // The answer arrives through `contada`, or `falhou` (server away, statement refused), on
    // this object's thread.
    void conta(const Database& db, const QString& sql, Parametros params);
    // The pending request, if any, is dropped: no answer of it is delivered.
    void descarta();
    bool pendente() const { return m_pendente; }

signals:
    void contada(qlonglong total);
    void falhou();

private:
    struct Trabalhador;
    void entrega(quint64 geracao, bool ok, qlonglong total);
    std::unique_ptr<Trabalhador> m_t;
    quint64 m_geracao = 0;
    bool m_pendente = false;
};

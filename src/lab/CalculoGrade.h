#pragma once
// The calculated rows of a results grid (one row per analysis type of a sample): their cells
// cannot be typed into, their values are computed from the other rows as those are typed,
// and a value that cannot be computed stays empty with the reason in the cell's tooltip.
#include "data/Formula.h"
#include <QString>
#include <map>

class Database;
class DataSet;
class DBGrid;
class Transaction;

class CalculoGrade {
public:
    // The grid over ds, whose rows carry the analysis type in campoTipo and the value in
    // campoValor (the grid's column colunaValor).
    void instala(DBGrid* grade, DataSet* ds, const QString& campoTipo, const QString& campoValor,
                 int colunaValor);
    // Reads the codes and formulas on tr.
    void carrega(Database& db, Transaction& tr);
    // Computes every calculated row from the others and writes it into the table (a record
    // being edited is posted first); the current record stays where it was.
    void recalcula();

    bool calculada(int linha) const;
    // The tooltip of a calculated row's value.
    QString dica(int linha) const;

private:
    formula::Catalogo m_catalogo;
    DataSet* m_ds = nullptr;
    QString m_campoTipo, m_campoValor;
    std::map<int, QString> m_motivos; // row -> reason its value is empty
    bool m_recalculando = false;
};

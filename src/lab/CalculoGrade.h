#pragma once
// The calculated rows of a results grid (one row per analysis type, one value column per
// sample): their cells cannot be typed into, their values are computed from the other rows of
// the same column as those are typed, and a value that cannot be computed stays empty with
// the reason in the cell's tooltip.
#include "data/Formula.h"
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class Database;
class DataSet;
class DBGrid;
class Transaction;

class CalculoGrade {
public:
    // The grid over ds, whose rows carry the analysis type in campoTipo and each sample's value
    // in one of camposValor, shown in the grid's column of the same position in colunasValor.
    void instala(DBGrid* grade, DataSet* ds, const QString& campoTipo, const QStringList& camposValor,
                 const std::vector<int>& colunasValor);
    // Reads the codes and formulas on tr.
    void carrega(Database& db, Transaction& tr);
    // Computes every calculated row from the others and writes it into the table (a record
    // being edited is posted first); the current record stays where it was.
    void recalcula();

    bool calculada(int linha) const;
    // The tooltip of a calculated row's value in the sample's column.
    QString dica(int linha, int amostra) const;

private:
    int amostraDaColuna(int coluna) const;

    formula::Catalogo m_catalogo;
    DataSet* m_ds = nullptr;
    QString m_campoTipo;
    QStringList m_camposValor;
    std::vector<int> m_colunasValor;
    std::map<std::pair<int, int>, QString> m_motivos; // (row, sample) -> why the value is empty
    bool m_recalculando = false;
};

#pragma once
// Calculated analysis types on the samples: their values are computed from the other results
// of the same sample whenever the sample's results are saved, and a changed formula can be
// applied again to the samples already saved.
#include "data/Formula.h"
#include "lab/GravacaoResultados.h"
#include <QDate>
#include <QVariant>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class Database;
class Transaction;

// The values of a sample (analysis type, value; null: not measured) with those of its
// calculated types replaced by the values computed from the others (null when they cannot be
// computed; motivos, when given, receives the reason by type).
void completaCalculados(const formula::Catalogo& catalogo, std::vector<std::pair<int, QVariant>>& valores,
                        std::map<int, QString>* motivos = nullptr);

// Stores the code and formula of an analysis type in one transaction of its own, after
// checking them against the codes and formulas the database holds at that moment. A type with
// neither keeps no row. Throws AppError with the checker's message.
void gravaFormula(Database& db, int idTpAnalise, const QString& codigo, const QString& formula);

// Recomputing a formula over the samples already saved.
struct Recalculo {
    int analises = 0;         // analyses looked at
    int valoresAlterados = 0; // values written, changed or removed
};
// For every analysis collected from de to ate whose equipment type lists the calculated type
// idTpAnalise (or a type whose formula reads it), recomputes those types on its samples: one
// transaction per analysis. progresso(done, total) is called once before the first analysis
// (done 0) and after each one.
Recalculo recalculaFormula(Database& db, int idTpAnalise, const QDate& de, const QDate& ate,
                           const std::function<void(int, int)>& progresso = {});

// The cells of a save (of one sample or of several) with those of calculated types given the
// values computed from the other cells of the same sample, with the codes and formulas the
// database holds now: what a save of results stores, whatever was given for them.
void completaCalculados(Database& db, std::vector<CelulaResultado>& celulas);

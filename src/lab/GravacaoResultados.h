#pragma once
// Saving the measured values of an analysis (MOV_ANALISE_RESULTADO) as one: every changed value
// of every sample is written in one transaction, committed once, or none is. Only the values
// that changed are touched: a value typed where there was none is inserted, a changed value is
// updated, a value cleared is deleted; values left as they were are not rewritten (so the audit
// trail shows what the user changed, and nothing else).
//
// Each write also holds the value as it was read: a value that another workstation changed
// meanwhile is not overwritten, the save stops and says which. Keys of new rows are the largest
// plus one, read in the transaction; another workstation taking the same key at the same moment
// makes the whole save run again with fresh keys, a few times at most.
#include "data/Database.h"
#include <QString>
#include <QVariant>
#include <vector>

// One value of one sample and analysis type: as read from the database and as it is to be.
// Null means no result (not measured).
struct CelulaResultado {
    int idAnaliseEquipamento = 0;
    int idTpAnalise = 0;
    QVariant lido, novo;
    // How the user knows the cell, for messages: "Caldeira 01 / pH".
    QString descricao;
    bool alterada() const;
};

struct ResumoGravacao {
    int inseridos = 0, alterados = 0, excluidos = 0;
    int total() const { return inseridos + alterados + excluidos; }
};

class GravacaoResultados {
public:
    explicit GravacaoResultados(Database& db) : m_db(db) {}

    // Writes the changed cells in one transaction; the cells of calculated analysis types take
    // the values computed from the other cells of their sample first. On any failure the transaction is
    // rolled back, nothing is written, and an AppError says which value failed and why (a lost connection
    // travels on as the database's own error).
    ResumoGravacao grava(const std::vector<CelulaResultado>& celulas);

    // Attempts of a save whose new keys other workstations took first.
    static constexpr int kTentativas = 3;

private:
    ResumoGravacao gravaUmaVez(const std::vector<const CelulaResultado*>& alteradas);
    Database& m_db;
};

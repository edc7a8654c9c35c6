#pragma once
// How many values of each sample of an analysis lie outside the range of their ideal result
// (see FaixaIdeal.h): values whose ideal text gives no range are not judged.
#include "data/Query.h"
#include <QString>
#include <map>

struct ContagemFaixa {
    int fora = 0;     // values outside their range
    int valores = 0;  // values measured
    int julgados = 0; // values with a range to judge them by

    ContagemFaixa& operator+=(const ContagemFaixa& o) {
        fora += o.fora;
        valores += o.valores;
        julgados += o.julgados;
        return *this;
    }
};

struct ContagemAnalise {
    std::map<int, ContagemFaixa> porAmostra;     // by ID_ANALISE_EQUIPAMENTO
    std::map<int, ContagemFaixa> porEquipamento; // by ID_EQUIPAMENTO_CLI
    ContagemFaixa total;
};

// Reads the analysis's values with their ideal texts on tr.
ContagemAnalise ContaForaDaFaixa(Database& db, Transaction& tr, int idAnalise);

// "2 de 11 fora da faixa", "nenhum de 11 fora da faixa", "sem valores".
QString TextoContagem(const ContagemFaixa& c);

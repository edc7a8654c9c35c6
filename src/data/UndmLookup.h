#pragma once
// Read-only lists used as lookup sources and drop-down choices.
#include "data/Query.h"

class TdmLookUp {
public:
    TdmLookUp(Database* db, Transaction* tr);

    Query IBQ_Pessoas, IBQ_Representante, IBQ_Responsavel, IBQ_Empresa, IBQ_TipoEquipamento, IBQ_TipoAnalise,
        IBQ_Produto_Base, IBQ_EquipamentoCliente, IBQ_Cidades, IBQ_Estado, IBQ_SituacaoEquipamento;

    std::vector<Query*> lists();
    // Closes and reopens a list so it shows rows added meanwhile.
    static void reabre(Query& q);
    // Rows a list reads when it is read again; a longer list reads the rest when needed.
    static constexpr int kPaginaLista = 100;
};

TdmLookUp* dmLookUp();
void setDmLookUp(TdmLookUp* dm);

#pragma once
// The persistent edit queries of the screens, each with its update object, and the rules
// the data module enforces on them.
#include "data/UndmLookup.h"
#include "data/UpdateSql.h"
#include <functional>

class TdmPadrao {
public:
    TdmPadrao(Database* db, Transaction* tr, TdmLookUp* lookup);

    Query IBQ_Parametros, IBQ_ConfGerais, IBQ_Mascaras;
    UpdateSql IBU_Parametros{"IBU_Parametros"}, IBU_ConfGerais{"IBU_ConfGerais"};
    Query IBQ_CorreioInterno, IBQ_COMUNICACAO;
    UpdateSql IBU_CorreioInterno{"IBU_CorreioInterno"};
    Query IBQ_Usuarios, IBQ_SIS_GR_USUARIO;
    UpdateSql IBU_Usuarios{"IBU_Usuarios"};
    Query IBQ_AgendaTarefas;
    UpdateSql IBU_AgendaTarefas{"IBU_AgendaTarefas"};
    Query IBQ_TipoEquipamento, IBQ_ProdutoEquipamento, IBQ_ConsultaProdutoEquip;
    UpdateSql IBU_TipoEquipamento{"IBU_TipoEquipamento"}, IBU_ProdutoEquipamento{"IBU_ProdutoEquipamento"};
    Query IBQ_TipoAnalise, IBQ_ResultadoIdeal;
    UpdateSql IBU_TipoAnalise{"IBU_TipoAnalise"}, IBU_ResultadoIdeal{"IBU_ResultadoIdeal"};
    Query IBQ_Equipamento_Cli;
    UpdateSql IBU_Equipamento_Cli{"IBU_Equipamento_Cli"};
    Query IBQ_Mov_Analise;
    UpdateSql IBU_Mov_Analise{"IBU_Mov_Analise"};
    Query IBQ_EquipAnalisados, IBQ_ConsultaEquipAnalisados;
    UpdateSql IBU_EquipAnalisados{"IBU_EquipAnalisados"};

    // The analysed-equipment rule needs the analysis of the screen that opened the list, and
    // refreshes that screen's text-size labels.
    std::function<int()> analiseDaTelaEquipamentos;
    std::function<void()> atualizaTamanhoTextos;
    // The new-message rule fills the sender only while the mail screen is open.
    bool correioInternoAberto = false;

    void IBQ_CorreioInternoAfterInsert(DataSet& ds);
    // A new task records its creation moment and its creator, the one user who may later cancel
    // its start, conclusion or warning.
    void IBQ_AgendaTarefasAfterInsert(DataSet& ds);
    void IBQ_Equipamento_CliAfterInsert(DataSet& ds);
    void IBQ_Equipamento_CliBeforePost(DataSet& ds);
    void IBQ_EquipAnalisadosBeforePost(DataSet& ds);

    std::vector<Query*> editQueries();
};

TdmPadrao* dmPadrao();
void setDmPadrao(TdmPadrao* dm);

// Fills an update object with the statements of one table: insert of every column, modify of
// every column keyed on OLD_<key>, delete by OLD_<key>, refresh of the row by <key>.
void buildUpdateSql(UpdateSql& u, const QString& table, const QString& key, const QStringList& columns);

#include "data/UndmLookup.h"

namespace {
TdmLookUp* g_dm = nullptr;

void setup(Query& q, const char* name, Database* db, Transaction* tr, const char* sql) {
    q.setName(name);
    q.setDatabase(db);
    q.setTransaction(tr);
    q.setSqlText(sql);
}
} // namespace

TdmLookUp* dmLookUp() {
    return g_dm;
}
void setDmLookUp(TdmLookUp* dm) {
    g_dm = dm;
}

TdmLookUp::TdmLookUp(Database* db, Transaction* tr) {
    const char* pessoas = "select id_pessoa, cd_pessoa, nm_pesquisa from cad_pessoa order by nm_pesquisa";
    setup(IBQ_Pessoas, "IBQ_Pessoas", db, tr, pessoas);
    setup(IBQ_Representante, "IBQ_Representante", db, tr,
          "select id_pessoa, cd_pessoa, nm_pesquisa from cad_pessoa where ct_represent = 'S' order by "
          "nm_pesquisa");
    setup(IBQ_Responsavel, "IBQ_Responsavel", db, tr,
          "select id_pessoa, cd_pessoa, nm_pesquisa from cad_pessoa where ct_funcionario = 'S' order by "
          "nm_pesquisa");
    setup(IBQ_Empresa, "IBQ_Empresa", db, tr,
          "select id_pessoa, nm_pesquisa  from CAD_PESSOA  where ct_empresa = 'S' order by nm_pesquisa");
    setup(IBQ_TipoEquipamento, "IBQ_TipoEquipamento", db, tr,
          "select id_tp_equipamento, nm_tp_equipamento from tab_tp_equipamento order by nm_tp_equipamento");
    setup(IBQ_TipoAnalise, "IBQ_TipoAnalise", db, tr,
          "select id_tp_analise, nm_tp_analise from tab_tp_analise order by nm_tp_analise");
    setup(IBQ_Produto_Base, "IBQ_Produto_Base", db, tr,
          "select id_produto_base, nm_produto_base from cad_produto_base order by nm_produto_base");
    setup(IBQ_EquipamentoCliente, "IBQ_EquipamentoCliente", db, tr,
          "select tec.id_equipamento_cli, tec.nm_equipamento  from tab_equipamento_cli tec");
    setup(IBQ_Cidades, "IBQ_Cidades", db, tr,
          "select id_cidade, nm_cidade, sg_estado from tab_cidade order by nm_cidade");
    setup(IBQ_Estado, "IBQ_Estado", db, tr,
          "select sg_estado, nm_estado  from tab_estado order by nm_estado");
    setup(IBQ_SituacaoEquipamento, "IBQ_SituacaoEquipamento", db, tr,
          "select id_opcao_tabela, ds_opcao_tabela, cd_opcao_tabela from tab_opcao_tabela where id_tabela = "
          "75");
}

std::vector<Query*> TdmLookUp::lists() {
    return {&IBQ_Pessoas,         &IBQ_Representante, &IBQ_Responsavel,        &IBQ_Empresa,
            &IBQ_TipoEquipamento, &IBQ_TipoAnalise,   &IBQ_Produto_Base,       &IBQ_EquipamentoCliente,
            &IBQ_Cidades,         &IBQ_Estado,        &IBQ_SituacaoEquipamento};
}

void TdmLookUp::reabre(Query& q) {
    // Read again up to its first page (a short list whole): the names a screen shows beyond it
    // are read by their keys, and the rest of a long list only when a drop-down or a search
    // needs it.
    q.close();
    q.open();
    q.fetchMore(kPaginaLista);
}

#include "data/UndmPadrao.h"
#include "data/DataContext.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

namespace {
TdmPadrao* g_dm = nullptr;

void setup(Query& q, const char* name, Database* db, Transaction* tr, const QStringList& sql,
           UpdateSql* upd = nullptr) {
    q.setName(name);
    q.setDatabase(db);
    q.setTransaction(tr);
    q.setSql(sql);
    if (upd) {
        q.setCachedUpdates(true);
        q.setUpdateObject(upd);
    }
}

void label(Query& q, const char* field, const char* text, int required = -1) {
    FieldDef& d = q.defineField(field);
    d.displayLabel = QString::fromUtf8(text);
    if (required >= 0) d.required = required;
}
} // namespace

TdmPadrao* dmPadrao() {
    return g_dm;
}
void setDmPadrao(TdmPadrao* dm) {
    g_dm = dm;
}

void buildUpdateSql(UpdateSql& u, const QString& table, const QString& key, const QStringList& columns) {
    QStringList params, sets;
    for (int i = 0; i < columns.size(); ++i) {
        params.append(':' + columns[i]);
        sets.append("  " + columns[i] + " = :" + columns[i] + (i + 1 < columns.size() ? "," : ""));
    }
    u.insertSql = QStringList{"insert into " + table, "  (" + columns.join(", ") + ")", "values",
                              "  (" + params.join(", ") + ")"};
    u.modifySql =
        QStringList{"update " + table, "set"} + sets + QStringList{"where", "  " + key + " = :OLD_" + key};
    u.deleteSql = QStringList{"delete from " + table, "where", "  " + key + " = :OLD_" + key};
    u.refreshSql = QStringList{"Select ", "from " + table + " ", "where", "  " + key + " = :" + key};
    u.setColumns(table, key, columns);
}

TdmPadrao::TdmPadrao(Database* db, Transaction* tr, TdmLookUp* lk) {
    // Parameter row: every column of the shared table, whatever its version holds.
    setup(IBQ_Parametros, "IBQ_Parametros", db, tr, {"select * from TAB_PARAMETRO"}, &IBU_Parametros);
    IBU_Parametros.generateFor("TAB_PARAMETRO", "ID_PARAMETRO");
    IBU_Parametros.refreshSql =
        QStringList{"Select ", "from TAB_PARAMETRO ", "where", "  ID_PARAMETRO = :ID_PARAMETRO"};
    // The laboratory settings edit the standing text of the technical report only: their save
    // writes that column and nothing else of the shared row.
    setup(IBQ_ConfGerais, "IBQ_ConfGerais", db, tr, {"select * from TAB_PARAMETRO"}, &IBU_ConfGerais);
    buildUpdateSql(IBU_ConfGerais, "TAB_PARAMETRO", "ID_PARAMETRO", {"ID_PARAMETRO", "TX_LAUDO_TECNICO"});
    label(IBQ_ConfGerais, "TX_LAUDO_TECNICO", "Texto complementar para o Laudo Técnico");
    setup(IBQ_Mascaras, "IBQ_Mascaras", db, tr,
          {"select FM_MASCARA_VALOR, FM_MASCARA_QUANTIDADE from TAB_PARAMETRO"});

    // Internal mail.
    setup(IBQ_CorreioInterno, "IBQ_CorreioInterno", db, tr, {"select  *  from sis_comunicacao"},
          &IBU_CorreioInterno);
    buildUpdateSql(IBU_CorreioInterno, "sis_comunicacao", "ID_COMUNICACAO",
                   {"ID_COMUNICACAO", "DT_COMUNICACAO", "HO_COMUNICACAO", "ID_REMETENTE", "ID_DESTINATARIO",
                    "DS_ASSUNTO", "DS_COMUNICACAO", "DT_RECEB", "HO_RECEB"});
    label(IBQ_CorreioInterno, "DT_COMUNICACAO", "Data da Emissão");
    label(IBQ_CorreioInterno, "DT_RECEB", "Data da Leitura");
    // Required fields are named in Portuguese when a message lacks them.
    label(IBQ_CorreioInterno, "ID_DESTINATARIO", "Destinatário");
    label(IBQ_CorreioInterno, "DS_ASSUNTO", "Assunto");
    IBQ_CorreioInterno.defineField("HO_COMUNICACAO").displayFormat = "hh:mm";
    IBQ_CorreioInterno.defineField("HO_RECEB").displayFormat = "hh:mm";
    setup(IBQ_COMUNICACAO, "IBQ_COMUNICACAO", db, tr,
          {"select * from sis_comunicacao", "where id_comunicacao = :idComunicacao",
           "order by dt_comunicacao, ho_comunicacao"});
    IBQ_CorreioInterno.afterInsert = [this](DataSet& ds) { IBQ_CorreioInternoAfterInsert(ds); };

    // Users and groups (lookup lists of the mail and the agenda).
    setup(IBQ_Usuarios, "IBQ_Usuarios", db, tr, {"select * from sis_usuario"}, &IBU_Usuarios);
    buildUpdateSql(IBU_Usuarios, "sis_usuario", "ID_USUARIO",
                   {"ID_USUARIO", "NM_USUARIO", "ID_GR_USUARIO", "NM_ACESSO", "DS_SENHA", "ST_OPERACIONAL",
                    "ST_COMERCIAL", "ST_ADMINISTRATIVO", "ST_FINANCEIRO", "ST_COMPRA", "ST_FATURAMENTO",
                    "ST_OS", "ST_RH", "CD_PRECO1", "CD_PRECO2"});
    setup(IBQ_SIS_GR_USUARIO, "IBQ_SIS_GR_USUARIO", db, tr, {"select * from sis_gr_usuario"});
    IBQ_CorreioInterno.defineLookupField("lkRemetente", "Remetente", 40, "ID_REMETENTE", &IBQ_Usuarios,
                                         "ID_USUARIO", "NM_USUARIO");
    IBQ_CorreioInterno.defineLookupField("lkDestinatario", QString::fromUtf8("Destinatário"), 40,
                                         "ID_DESTINATARIO", &IBQ_Usuarios, "ID_USUARIO", "NM_USUARIO");

    // Task agenda.
    setup(IBQ_AgendaTarefas, "IBQ_AgendaTarefas", db, tr,
          {"select * from tab_tarefa ", "order by dh_criacao desc"}, &IBU_AgendaTarefas);
    buildUpdateSql(IBU_AgendaTarefas, "tab_tarefa", "ID_TAREFA",
                   {"ID_TAREFA", "ID_USUARIO_CRIACAO", "ID_PESSOA", "ID_USUARIO_AVISO",
                    "ID_USUARIO_CONCLUSAO", "ID_USUARIO_INICIO", "DS_TAREFA", "TX_DETALHE", "ST_COMERCIAL",
                    "ST_OPERACIONAL", "ST_ADMINISTRATIVO", "ST_FINANCEIRO", "ST_COMPRAS", "DH_CRIACAO",
                    "DT_AVISO", "DH_INICIO", "DH_CONCLUSAO", "ID_NF_COMERCIO"});
    label(IBQ_AgendaTarefas, "DS_TAREFA", "Assunto");
    label(IBQ_AgendaTarefas, "ST_COMERCIAL", "Comercial");
    label(IBQ_AgendaTarefas, "ST_OPERACIONAL", "Operacional");
    label(IBQ_AgendaTarefas, "ST_ADMINISTRATIVO", "Administrativo");
    label(IBQ_AgendaTarefas, "ST_FINANCEIRO", "Financeiro");
    label(IBQ_AgendaTarefas, "ST_COMPRAS", "Compras");
    label(IBQ_AgendaTarefas, "DH_CRIACAO", "Data/Hora da Criação");
    label(IBQ_AgendaTarefas, "DT_AVISO", "Data do Aviso");
    label(IBQ_AgendaTarefas, "DH_INICIO", "Data/Hora do Início");
    label(IBQ_AgendaTarefas, "DH_CONCLUSAO", "Data/Hora da Conclusão ");
    for (const char* f : {"DH_CRIACAO", "DH_INICIO", "DH_CONCLUSAO"})
        IBQ_AgendaTarefas.defineField(f).displayFormat = "dd/MM/yyyy hh:mm";
    IBQ_AgendaTarefas.defineLookupField("NM_Pessoa", QString::fromUtf8("Ref. à Pessoa"), 40, "ID_PESSOA",
                                        &lk->IBQ_Pessoas, "ID_PESSOA", "NM_PESQUISA");
    IBQ_AgendaTarefas.defineLookupField("NM_UsuarioAviso", QString::fromUtf8("Avisar Usuário:"), 40,
                                        "ID_USUARIO_AVISO", &IBQ_Usuarios, "ID_USUARIO", "NM_USUARIO");
    IBQ_AgendaTarefas.defineLookupField("NM_UsuarioCriacao", "Criado por:", 40, "ID_USUARIO_CRIACAO",
                                        &IBQ_Usuarios, "ID_USUARIO", "NM_USUARIO");
    IBQ_AgendaTarefas.defineLookupField("NM_UsuarioInicio", "Iniciado por:", 40, "ID_USUARIO_INICIO",
                                        &IBQ_Usuarios, "ID_USUARIO", "NM_USUARIO");
    IBQ_AgendaTarefas.defineLookupField("NM_UsuarioConclusao", QString::fromUtf8("Concluído por:"), 40,
                                        "ID_USUARIO_CONCLUSAO", &IBQ_Usuarios, "ID_USUARIO", "NM_USUARIO");
    IBQ_AgendaTarefas.afterInsert = [this](DataSet& ds) { IBQ_AgendaTarefasAfterInsert(ds); };

    // Equipment types and their base products.
    setup(IBQ_TipoEquipamento, "IBQ_TipoEquipamento", db, tr, {"select *  from tab_tp_equipamento"},
          &IBU_TipoEquipamento);
    buildUpdateSql(IBU_TipoEquipamento, "tab_tp_equipamento", "ID_TP_EQUIPAMENTO",
                   {"ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO", "NM_RELATORIO_ANALISE"});
    label(IBQ_TipoEquipamento, "NM_TP_EQUIPAMENTO", "Tipo de Equipamento", 1);
    label(IBQ_TipoEquipamento, "NM_RELATORIO_ANALISE", "Título do Relatório", 0);
    setup(IBQ_ProdutoEquipamento, "IBQ_ProdutoEquipamento", db, tr,
          {"select * from tab_produto_equipamento where 0=1"}, &IBU_ProdutoEquipamento);
    buildUpdateSql(IBU_ProdutoEquipamento, "tab_produto_equipamento", "ID_PRODUTO_EQUIPAMENTO",
                   {"ID_PRODUTO_EQUIPAMENTO", "ID_TP_EQUIPAMENTO", "ID_PRODUTO_BASE"});
    setup(IBQ_ConsultaProdutoEquip, "IBQ_ConsultaProdutoEquip", db, tr,
          {"select cpb.id_produto_base, cpb.nm_produto_base", "from tab_produto_equipamento tpe",
           "inner join cad_produto_base cpb on (cpb.id_produto_base = tpe.id_produto_base)",
           "where tpe.id_tp_equipamento = :idTipoEquipamento"});

    // Analysis types and ideal results.
    setup(IBQ_TipoAnalise, "IBQ_TipoAnalise", db, tr, {"select * from tab_tp_analise"}, &IBU_TipoAnalise);
    buildUpdateSql(IBU_TipoAnalise, "tab_tp_analise", "ID_TP_ANALISE", {"ID_TP_ANALISE", "NM_TP_ANALISE"});
    label(IBQ_TipoAnalise, "NM_TP_ANALISE", "Tipo de Análise", 1);
    setup(IBQ_ResultadoIdeal, "IBQ_ResultadoIdeal", db, tr, {"select * from tab_resultado_ideal"},
          &IBU_ResultadoIdeal);
    buildUpdateSql(IBU_ResultadoIdeal, "tab_resultado_ideal", "ID_RESULTADO_IDEAL",
                   {"ID_RESULTADO_IDEAL", "ID_TP_ANALISE", "ID_TP_EQUIPAMENTO", "DS_RESULTADO_IDEAL"});
    label(IBQ_ResultadoIdeal, "ID_TP_ANALISE", "Tipo de Análise", 1);
    label(IBQ_ResultadoIdeal, "ID_TP_EQUIPAMENTO", "Tipo de Equipamento", 1);
    label(IBQ_ResultadoIdeal, "DS_RESULTADO_IDEAL", "Resultado Ideal", 1);
    IBQ_ResultadoIdeal.defineLookupField("lkTipoAnalise", QString::fromUtf8("Tipo de Análise"), 50,
                                         "ID_TP_ANALISE", &lk->IBQ_TipoAnalise, "ID_TP_ANALISE",
                                         "NM_TP_ANALISE");
    IBQ_ResultadoIdeal.defineLookupField("lkTipoEquipamento", "Tipo de Equipamento", 50, "ID_TP_EQUIPAMENTO",
                                         &lk->IBQ_TipoEquipamento, "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO");

    // Client equipment.
    setup(IBQ_Equipamento_Cli, "IBQ_Equipamento_Cli", db, tr, {"select * from tab_equipamento_cli"},
          &IBU_Equipamento_Cli);
    buildUpdateSql(IBU_Equipamento_Cli, "tab_equipamento_cli", "ID_EQUIPAMENTO_CLI",
                   {"DS_PRODUTOS", "DT_PROPOSTA", "DT_SITUACAO_EQUIPAMENTO", "ID_CLIENTE",
                    "ID_EQUIPAMENTO_CLI", "ID_SITAUCAO_EQUIPAMENTO", "ID_TP_EQUIPAMENTO", "NM_EQUIPAMENTO",
                    "NO_PROPOSTA", "TX_OBS_SITUACAO_EQUIP"});
    label(IBQ_Equipamento_Cli, "ID_CLIENTE", "Cliente", 1);
    label(IBQ_Equipamento_Cli, "ID_TP_EQUIPAMENTO", "Tipo de Equipamento", 1);
    label(IBQ_Equipamento_Cli, "NM_EQUIPAMENTO", "Nome do Equipamento", 1);
    label(IBQ_Equipamento_Cli, "DT_PROPOSTA", "Data da Proposta", 0);
    label(IBQ_Equipamento_Cli, "NO_PROPOSTA", "No da Proposta", 0);
    label(IBQ_Equipamento_Cli, "DS_PRODUTOS", "Produtos da Proposta", 0);
    label(IBQ_Equipamento_Cli, "DT_SITUACAO_EQUIPAMENTO", "Data Situacao Equipamento", 0);
    IBQ_Equipamento_Cli.defineLookupField("lkPessoa", "Cliente", 40, "ID_CLIENTE", &lk->IBQ_Pessoas,
                                          "ID_PESSOA", "NM_PESQUISA");
    IBQ_Equipamento_Cli.defineLookupField("lkTipoEquipamento", "Tipo de Equipamento", 50, "ID_TP_EQUIPAMENTO",
                                          &lk->IBQ_TipoEquipamento, "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO");
    IBQ_Equipamento_Cli.defineLookupField(
        "lkSituacaoEquipamento", QString::fromUtf8("Situação do Equipamento"), 50, "ID_SITAUCAO_EQUIPAMENTO",
        &lk->IBQ_SituacaoEquipamento, "ID_OPCAO_TABELA", "DS_OPCAO_TABELA");
    IBQ_Equipamento_Cli.afterInsert = [this](DataSet& ds) { IBQ_Equipamento_CliAfterInsert(ds); };
    IBQ_Equipamento_Cli.beforePost = [this](DataSet& ds) { IBQ_Equipamento_CliBeforePost(ds); };

    // Analyses.
    setup(IBQ_Mov_Analise, "IBQ_Mov_Analise", db, tr,
          {"select * from mov_analise", "order by DT_COLETA desc"}, &IBU_Mov_Analise);
    buildUpdateSql(IBU_Mov_Analise, "mov_analise", "ID_ANALISE",
                   {"ID_ANALISE", "DT_COLETA", "DT_RECEBIMENTO", "DT_AVALIACAO", "DT_ENVIO", "ID_CLIENTE",
                    "ID_REPRESENTANTE", "ID_RESPONSAVEL_TECNICO", "ID_TP_EQUIPAMENTO"});
    label(IBQ_Mov_Analise, "DT_COLETA", "Data Coleta", 1);
    label(IBQ_Mov_Analise, "DT_RECEBIMENTO", "Data Recebto", 1);
    label(IBQ_Mov_Analise, "DT_AVALIACAO", "Data Análise", 0);
    label(IBQ_Mov_Analise, "DT_ENVIO", "Data Envio", 0);
    label(IBQ_Mov_Analise, "ID_CLIENTE", "Cliente", 1);
    label(IBQ_Mov_Analise, "ID_REPRESENTANTE", "Representante", 1);
    label(IBQ_Mov_Analise, "ID_RESPONSAVEL_TECNICO", "Responsável", 1);
    label(IBQ_Mov_Analise, "ID_TP_EQUIPAMENTO", "Tipo de Equipamento", 1);
    IBQ_Mov_Analise.defineLookupField("lkCliente", "Cliente", 40, "ID_CLIENTE", &lk->IBQ_Pessoas, "ID_PESSOA",
                                      "NM_PESQUISA");
    IBQ_Mov_Analise.defineLookupField("lkRepresentante", "Representante", 50, "ID_REPRESENTANTE",
                                      &lk->IBQ_Pessoas, "ID_PESSOA", "NM_PESQUISA");
    IBQ_Mov_Analise.defineLookupField("lkResponsavel", QString::fromUtf8("Responsável"), 50,
                                      "ID_RESPONSAVEL_TECNICO", &lk->IBQ_Pessoas, "ID_PESSOA", "NM_PESQUISA");
    IBQ_Mov_Analise.defineLookupField("lkTipoEquipamento", "Tipo de Equipamento", 50, "ID_TP_EQUIPAMENTO",
                                      &lk->IBQ_TipoEquipamento, "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO");

    setup(IBQ_EquipAnalisados, "IBQ_EquipAnalisados", db, tr, {"select * from mov_analise_equipamento"},
          &IBU_EquipAnalisados);
    buildUpdateSql(IBU_EquipAnalisados, "mov_analise_equipamento", "ID_ANALISE_EQUIPAMENTO",
                   {"ID_ANALISE_EQUIPAMENTO", "ID_ANALISE", "ID_EQUIPAMENTO_CLI", "TX_COMENTARIO",
                    "NO_PAGINA", "NO_AMOSTRA", "TX_OBS"});
    label(IBQ_EquipAnalisados, "ID_EQUIPAMENTO_CLI", "Equipamento", 1);
    IBQ_EquipAnalisados.defineField("ID_ANALISE").required = 0;
    IBQ_EquipAnalisados.defineLookupField("lkEquipamentoCliente", "Equipamento", 50, "ID_EQUIPAMENTO_CLI",
                                          &lk->IBQ_EquipamentoCliente, "ID_EQUIPAMENTO_CLI",
                                          "NM_EQUIPAMENTO");
    IBQ_EquipAnalisados.beforePost = [this](DataSet& ds) { IBQ_EquipAnalisadosBeforePost(ds); };
    setup(IBQ_ConsultaEquipAnalisados, "IBQ_ConsultaEquipAnalisados", db, tr,
          {"select tec.id_equipamento_cli, mae.id_analise_equipamento, tec.nm_equipamento, mae.no_pagina, "
           "mae.no_amostra",
           "from mov_analise_equipamento mae",
           "inner join tab_equipamento_cli tec on (tec.id_equipamento_cli=mae.id_equipamento_cli)",
           "where mae.id_analise = :IdAnalise"});
}

std::vector<Query*> TdmPadrao::editQueries() {
    return {&IBQ_Parametros,     &IBQ_ConfGerais,      &IBQ_CorreioInterno,     &IBQ_Usuarios,
            &IBQ_AgendaTarefas,  &IBQ_TipoEquipamento, &IBQ_ProdutoEquipamento, &IBQ_TipoAnalise,
            &IBQ_ResultadoIdeal, &IBQ_Equipamento_Cli, &IBQ_Mov_Analise,        &IBQ_EquipAnalisados};
}

void TdmPadrao::IBQ_CorreioInternoAfterInsert(DataSet& ds) {
    if (!correioInternoAberto) return;
    const QDateTime now = appClock().now();
    ds.fieldByName("DT_COMUNICACAO")->setValue(now.date());
    ds.fieldByName("HO_COMUNICACAO")
        ->setValue(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    ds.fieldByName("ID_REMETENTE")->setValue(sessaoUsuario().codusuario);
}

void TdmPadrao::IBQ_AgendaTarefasAfterInsert(DataSet& ds) {
    const QDateTime now = appClock().now();
    const QTime t = now.time();
    ds.fieldByName("DH_CRIACAO")->setValue(QDateTime(now.date(), QTime(t.hour(), t.minute(), t.second())));
    ds.fieldByName("ID_USUARIO_CRIACAO")->setValue(sessaoUsuario().codusuario);
    // A department box left unticked is a "N", as the other applications read and write it.
    for (const char* depto :
         {"ST_COMERCIAL", "ST_OPERACIONAL", "ST_ADMINISTRATIVO", "ST_FINANCEIRO", "ST_COMPRAS"})
        ds.fieldByName(depto)->setValue(QStringLiteral("N"));
}

void TdmPadrao::IBQ_Equipamento_CliAfterInsert(DataSet& ds) {
    ds.fieldByName("ID_SITAUCAO_EQUIPAMENTO")->setValue(-246);
}

void TdmPadrao::IBQ_Equipamento_CliBeforePost(DataSet& ds) {
    Field* sit = ds.fieldByName("ID_SITAUCAO_EQUIPAMENTO");
    const QVariant now = sit->value();
    const QVariant was = ds.state() == DataSetState::Insert ? QVariant() : sit->oldValue();
    if (now.isNull() != was.isNull() || (!now.isNull() && now.toInt() != was.toInt()))
        ds.fieldByName("DT_SITUACAO_EQUIPAMENTO")->setValue(appClock().today());
    if (!now.isNull() && now.toInt() == -247 &&
        ds.fieldByName("TX_OBS_SITUACAO_EQUIP")->asString().trimmed().isEmpty())
        warnAndAbort(QString::fromUtf8("Informe o campo de Observações da Situação do Orçamento"));
}

void TdmPadrao::IBQ_EquipAnalisadosBeforePost(DataSet& ds) {
    if (ds.state() == DataSetState::Insert && analiseDaTelaEquipamentos)
        ds.fieldByName("ID_ANALISE")->setValue(analiseDaTelaEquipamentos());
    if (atualizaTamanhoTextos) atualizaTamanhoTextos();
}

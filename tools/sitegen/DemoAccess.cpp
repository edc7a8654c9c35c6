// The demo data's users, groups and permissions, internal mail and tasks, the update-script log
// and the parameter row.
#include "sitegen/DemoBuilder.h"
#include "sitegen/DemoImages.h"

#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <map>
#include <set>

namespace demodata {

// -- users, groups and permissions -----------------------------------------------------

void DemoBuilder::usersAndGroups() {
    Insert grupo(m_db, "SIS_GR_USUARIO", {"ID_GR_USUARIO", "NM_GR_USUARIO"});
    grupo({-1, "Administradores Nexmoro"});
    grupo({1, "Administrador"});
    grupo({2, "Laboratório"});
    grupo({3, "Comercial"});
    Insert usuario(m_db, "SIS_USUARIO",
                   {"ID_USUARIO", "NM_USUARIO", "ID_GR_USUARIO", "NM_ACESSO", "DS_SENHA", "ST_OPERACIONAL",
                    "ST_COMERCIAL", "ST_ADMINISTRATIVO", "ST_FINANCEIRO", "ST_COMPRA", "ST_FATURAMENTO",
                    "ST_OS", "ST_RH", "CD_PRECO1", "CD_PRECO2"});
    struct User {
        int id;
        const char* nome;
        int grupo;
        const char* login;
        const char* senha;
        const char* departamentos; // OPERACIONAL COMERCIAL ADMINISTRATIVO FINANCEIRO COMPRA FATURAMENTO OS RH
    };
    const User users[] = {
        {-2, "Cadastro de Telas", -1, "CADASTRO", "cadastro", "NNNNNNNN"},
        {-1, "Suporte Nexmoro", -1, "SUPORTE", "suporte", "SSSSSSSS"},
        {1, "Administrador do Sistema", 1, "ADMIN", "admin", "SSSSSSSS"},
        {2, "Mariana Alves Ribeiro", 2, "LAB", "lab", "SNNNNNSN"},
        {3, "Fernanda Lima Castro", 2, "FERNANDA", "fernanda", "SNNNNNSN"},
        {4, "Carlos Eduardo Mendes", 3, "COMERCIAL", "comercial", "NSNNNSNN"},
        {5, "Roberto Carvalho Dias", 3, "ROBERTO", "roberto", "NSSSSNNN"},
    };
    for (const User& u : users) {
        QVariantList v = {u.id, u.nome, u.grupo, u.login, u.senha};
        for (int i = 0; i < 8; ++i)
            v << QString(QLatin1Char(u.departamentos[i]));
        v << 1 << 2;
        usuario(v);
    }
}

void DemoBuilder::permissions() {
    Insert form(m_db, "SIS_FORMULARIO",
                {"ID_FORM", "NM_FORM", "DS_CAPTION", "ID_APLICATIVO", "ST_MODIFICADO"});
    Insert comp(m_db, "SIS_COMPONENTE",
                {"ID_COMPONENTE", "ID_FORM", "NM_COMPONENTE", "NM_CLASSE", "DS_CAPTION", "ST_ATIVO",
                 "ST_MODIFICADO"});
    Insert grant(m_db, "SIS_EVENTO_AUTORIZADO", {"ID_EVENTO_AUTORIZADO", "ID_GR_USUARIO", "ID_COMPONENTE"});

    const std::set<QString> laboratorio = {"frmTipoAnalise",         "frmTipoEquipamento",
                                           "frmResultadoIdeal",      "frmCadastroEquipamentodoCliente",
                                           "frmCadastrodeAnalise",   "frmEquipamentosAnalisados",
                                           "frmHistoricoAlteracoes", "frmPesquisarAnalises",
                                           "frmConfiguracoesGerais", "frmSobre",
                                           "frmParRelAnaliseColeta", "frmParRelEquipamentosComPendencias",
                                           "frmCorreioInterno",      "frmAgendaTarefas"};
    const std::set<QString> comercial = {"frmCadastroEquipamentodoCliente",
                                         "frmPesquisarAnalises",
                                         "frmSobre",
                                         "frmParRelAnaliseProposta",
                                         "frmParRelControleAnalise",
                                         "frmParRelAnaliseColeta",
                                         "frmParRelatorioClientesSemAmostras",
                                         "frmParRelClientesComAmostras",
                                         "frmParRelEquipamentosComPendencias",
                                         "frmCorreioInterno",
                                         "frmAgendaTarefas"};
    int formId = -1, compId = -1, grantId = 1;
    for (const Screen& s : screens()) {
        form({formId, s.nome, s.caption, 3, "S"});
        std::vector<Button> all = s.botoes;
        all.insert(all.end(), recordRights().begin(), recordRights().end());
        for (const Button& b : all) {
            comp({compId, formId, b.nome, b.classe, b.caption, "S", "S"});
            const QString nome = b.nome;
            grant({grantId++, -1, compId});
            grant({grantId++, 1, compId});
            if (laboratorio.count(s.nome)) grant({grantId++, 2, compId});
            if (comercial.count(s.nome) && nome != "cpfExcluir") grant({grantId++, 3, compId});
            // The commercial group may look at the equipment and analysis types but not
            // change them.
            if ((QString(s.nome) == "frmTipoEquipamento" || QString(s.nome) == "frmTipoAnalise") &&
                (nome == "cpfConsulta" || nome == "cpfExportaExcel"))
                grant({grantId++, 3, compId});
            --compId;
        }
        --formId;
    }
}

// -- internal mail and tasks -----------------------------------------------------------

void DemoBuilder::collaboration() {
    Insert msg(m_db, "SIS_COMUNICACAO",
               {"ID_COMUNICACAO", "DT_COMUNICACAO", "HO_COMUNICACAO", "ID_REMETENTE", "ID_DESTINATARIO",
                "DS_ASSUNTO", "DS_COMUNICACAO", "DT_RECEB", "HO_RECEB"});
    msg({1, m_today.addDays(-6), QTime(8, 42), 4, 2, "Coleta extra na Usina",
         latin1("Mariana, o cliente pediu uma coleta extra da caldeira 02 na próxima semana. Consegue "
                "incluir "
                "na rota?"),
         m_today.addDays(-6), QTime(9, 15)});
    msg({2, m_today.addDays(-5), QTime(10, 3), 2, 4, "Re: Coleta extra na Usina",
         latin1("Incluído para quinta-feira. Os frascos já estão separados."), m_today.addDays(-5),
         QTime(13, 30)});
    msg({3, m_today.addDays(-2), QTime(14, 20), 1, 3, "Calibração do condutivímetro",
         latin1("Fernanda, favor registrar a calibração do condutivímetro no livro do laboratório."),
         QVariant(), QVariant()});
    msg({4, m_today.addDays(-1), QTime(16, 55), 5, 4, "Proposta do Hotel",
         latin1("Carlos, o hotel aprovou a proposta das torres. Pode agendar a primeira coleta."), QVariant(),
         QVariant()});
    // The administrator (the screenshot user) has mail waiting and mail already read.
    msg({5, m_today.addDays(-1), QTime(11, 10), 2, 1, "Laudos da semana",
         latin1("Os laudos da semana estão prontos para conferência e assinatura."), QVariant(), QVariant()});
    msg({6, m_today, QTime(8, 5), 3, 1, "Reagentes vencidos",
         latin1("Separei os tampões de pH vencidos para descarte; favor autorizar a compra de novos."),
         QVariant(), QVariant()});
    msg({7, m_today.addDays(-3), QTime(15, 40), 4, 1, "Visita ao Frigorífico",
         latin1("A visita técnica ao frigorífico ficou para sexta-feira às 9h."), m_today.addDays(-3),
         QTime(16, 2)});

    Insert tarefa(m_db, "TAB_TAREFA",
                  {"ID_TAREFA", "ID_USUARIO_CRIACAO", "ID_PESSOA", "ID_USUARIO_AVISO", "ID_USUARIO_CONCLUSAO",
                   "ID_USUARIO_INICIO", "DS_TAREFA", "TX_DETALHE", "ST_COMERCIAL", "ST_OPERACIONAL",
                   "ST_ADMINISTRATIVO", "ST_FINANCEIRO", "ST_COMPRAS", "DH_CRIACAO", "DT_AVISO", "DH_INICIO",
                   "DH_CONCLUSAO", "ID_NF_COMERCIO"});
    const QDateTime agora(m_today, QTime(9, 0));
    const int cli1 = m_clients[0].id, cli2 = m_clients[3].id, cli3 = m_clients[8].id;
    tarefa({1, 1, cli1, 2, QVariant(), QVariant(), "Enviar laudo revisado",
            latin1("Reenviar o laudo com a "
                   "assinatura corrigida."),
            "N", "S", "N", "N", "N", agora.addDays(-3), m_today.addDays(1), QVariant(), QVariant(), 0});
    tarefa({2, 4, cli2, QVariant(), QVariant(), 4, "Renovar proposta comercial",
            latin1("Proposta vence no fim do mês; preparar reajuste."), "S", "N", "N", "N", "N",
            agora.addDays(-10), m_today.addDays(-2), agora.addDays(-9), QVariant(), 0});
    tarefa({3, 2, cli3, 3, 3, 3, "Coletar amostra de efluente", latin1("Coleta composta de 24 horas."), "N",
            "S", "N", "N", "N", agora.addDays(-20), m_today.addDays(-15), agora.addDays(-16),
            agora.addDays(-15), 0});
    tarefa({4, 5, QVariant(), QVariant(), QVariant(), QVariant(), "Cotar reagentes do trimestre",
            latin1("Cotar padrões de condutividade e tampões de pH."), "N", "N", "N", "N", "S",
            agora.addDays(-1), m_today.addDays(5), QVariant(), QVariant(), 0});
    tarefa({5, 4, cli1, 4, QVariant(), QVariant(), "Conferir nota de venda",
            latin1("Conferir a nota com o "
                   "cliente."),
            "S", "N", "N", "S", "N", agora.addDays(-4), m_today, QVariant(), QVariant(), 1});
    tarefa({6, 2, cli2, 1, QVariant(), QVariant(), "Assinar laudos da semana",
            latin1("Conferir e assinar os laudos antes do envio aos clientes."), "N", "S", "N", "N", "N",
            agora.addDays(-1), m_today.addDays(2), QVariant(), QVariant(), 0});
    tarefa({7, 1, QVariant(), 5, QVariant(), 1, "Aprovar compra de reagentes",
            latin1("Aprovar o pedido de padrões e tampões."), "N", "N", "N", "N", "S", agora.addDays(-2),
            m_today.addDays(1), agora.addDays(-1), QVariant(), 0});
}

// -- update-script log and the parameter row -------------------------------------------

void DemoBuilder::updateLog() {
    Insert log(m_db, "MOV_LOG_ATUALIZACAO",
               {"ID_LOG_ATUALIZACAO", "NO_LOG_ATUALIZACAO", "DS_LOG_ATUALIZACAO", "NM_APLICATIVO",
                "DH_ATUALIZACAO"});
    const QStringList topics = {
        "Criação de índices de pesquisa", "Novas colunas de parâmetros", "Ajuste de tamanho de campos",
        "Tabelas do laboratório",         "Permissões de telas",         "Correção de dados de cidades"};
    const QDateTime inicio(m_today.addYears(-3), QTime(22, 0));
    for (int n = 1; n <= 57; ++n)
        log({n, n, QString("Script %1 - %2").arg(n, 3, 10, QChar('0')).arg(topics[(n - 1) % topics.size()]),
             "Atualizador", inicio.addDays(n * 18)});
}

void DemoBuilder::parameters() {
    const QByteArray laudo =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\fnil\\fcharset2 Symbol;}}\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs16 Os resultados referem-se exclusivamente \\'e0s amostras "
        "analisadas. "
        "\\b Resultados fora dos par\\'e2metros de controle devem ser corrigidos em at\\'e9 48 "
        "horas.\\b0\\par\n"
        "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-"
        "200\\li200 "
        "Amostras coletadas pelo cliente conforme instru\\'e7\\'f5es do laborat\\'f3rio.\\par\n"
        "{\\pntext\\f1\\'b7\\tab}Frascos mantidos refrigerados at\\'e9 o recebimento.\\par\n"
        "{\\pntext\\f1\\'b7\\tab}M\\'e9todos anal\\'edticos conforme normas t\\'e9cnicas vigentes.\\par\n"
        "\\pard\\par\n}";
    Insert param(m_db, "TAB_PARAMETRO",
                 {"ID_PARAMETRO",
                  "NM_EMPRESA",
                  "NM_FANTASIA",
                  "NM_SISTEMA",
                  "NO_CNPJCPF",
                  "NO_INSC_ESTADUAL",
                  "NO_INSC_MUNICIPAL",
                  "DS_ENDERECO",
                  "NO_ENDERECO",
                  "DS_COMPLEMENTO",
                  "NM_BAIRRO",
                  "NO_CEP",
                  "ID_CIDADE",
                  "NM_CONTATO",
                  "NO_FONE",
                  "NO_FAX",
                  "DS_E_MAIL",
                  "DS_HOME_PAGE",
                  "LOGO_EMPRESA",
                  "TX_LAUDO_TECNICO",
                  "FM_MASCARA_QUANTIDADE",
                  "FM_MASCARA_VALOR",
                  "NO_CASAS_DECIMAIS_QTDE",
                  "NO_CASAS_DECIMAIS_VALOR",
                  "ST_CONFIRMA_SAIR",
                  "ST_LOGIN_USUARIO_WINDOWS",
                  "ST_PESQUISA_EXATA_PESSOA",
                  "ST_CONTROLA_ESTOQUE",
                  "ST_ESTOQUE_NEGATIVO",
                  "ST_CALCULA_COMISSAO",
                  "ST_BLOQUEIA_CLIENTE",
                  "VL_PERC_COMISSAO",
                  "VL_ALIQUOTA_ICMS",
                  "NO_DIAS_TOLERANCIA",
                  "TP_REGIME_TRIBUTARIO",
                  "CD_CNAE",
                  "DS_SERIE_NF_PADRAO",
                  "NO_ULTIMA_NF",
                  "ID_NAT_OPERACAO_VENDA",
                  "DS_PASTA_BACKUP",
                  "DT_ULTIMO_BACKUP",
                  "HR_BACKUP_AUTOMATICO",
                  "DH_ULTIMA_ALTERACAO",
                  "TX_OBS_PADRAO_NF"});
    param({1,
           ownCompanies()[0].razao,
           "Hidrolab",
           "Nexmoro Cortivandela",
           makeCnpj(m_rnd),
           "244178395110",
           "1.203.457-8",
           "Rua Barão de Mauá",
           "1450",
           "Sala 3",
           "Jardim Paulista",
           "13070120",
           2,
           "Mariana Alves Ribeiro",
           "(19) 3251-4478",
           "(19) 3251-4479",
           "laboratorio@hidrolab.com.br",
           "www.hidrolab.com.br",
           demoLogoJpeg(),
           laudo,
           "###,##0.000",
           "###,##0.00",
           3,
           2,
           "S",
           "N",
           "N",
           "S",
           "N",
           "S",
           "N",
           2.5,
           18.0,
           5,
           "3",
           "7120-1/00",
           "1",
           1500,
           1,
           "C:\\Backup\\Hidrolab",
           m_today.addDays(-1),
           QTime(23, 30),
           QDateTime(m_today.addDays(-7), QTime(17, 45)),
           latin1("Documento emitido por empresa optante do regime normal de tributação.")});
}

} // namespace demodata

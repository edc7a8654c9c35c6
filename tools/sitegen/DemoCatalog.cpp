#include "sitegen/DemoCatalog.h"
#include "platform/Errors.h"
#include <map>

namespace demo {

const std::vector<State>& states() {
    static const std::vector<State> v = {
        {"AC", "Acre"},
        {"AL", "Alagoas"},
        {"AP", "Amapá"},
        {"AM", "Amazonas"},
        {"BA", "Bahia"},
        {"CE", "Ceará"},
        {"DF", "Distrito Federal"},
        {"ES", "Espírito Santo"},
        {"GO", "Goiás"},
        {"MA", "Maranhão"},
        {"MT", "Mato Grosso"},
        {"MS", "Mato Grosso do Sul"},
        {"MG", "Minas Gerais"},
        {"PA", "Pará"},
        {"PB", "Paraíba"},
        {"PR", "Paraná"},
        {"PE", "Pernambuco"},
        {"PI", "Piauí"},
        {"RJ", "Rio de Janeiro"},
        {"RN", "Rio Grande do Norte"},
        {"RS", "Rio Grande do Sul"},
        {"RO", "Rondônia"},
        {"RR", "Roraima"},
        {"SC", "Santa Catarina"},
        {"SP", "São Paulo"},
        {"SE", "Sergipe"},
        {"TO", "Tocantins"},
    };
    return v;
}

const std::vector<City>& cities() {
    static const std::vector<City> v = {
        {"São Paulo", "SP", "11", "010"},       {"Campinas", "SP", "19", "130"},
        {"Santos", "SP", "13", "110"},          {"São José dos Campos", "SP", "12", "122"},
        {"Ribeirão Preto", "SP", "16", "140"},  {"Sorocaba", "SP", "15", "180"},
        {"Jundiaí", "SP", "11", "132"},         {"Piracicaba", "SP", "19", "134"},
        {"Limeira", "SP", "19", "134"},         {"Americana", "SP", "19", "134"},
        {"Guarulhos", "SP", "11", "070"},       {"São Bernardo do Campo", "SP", "11", "097"},
        {"Santo André", "SP", "11", "090"},     {"Osasco", "SP", "11", "060"},
        {"Bauru", "SP", "14", "170"},           {"São Carlos", "SP", "16", "135"},
        {"Araraquara", "SP", "16", "148"},      {"Indaiatuba", "SP", "19", "133"},
        {"Sumaré", "SP", "19", "131"},          {"Paulínia", "SP", "19", "131"},
        {"Belo Horizonte", "MG", "31", "301"},  {"Uberlândia", "MG", "34", "384"},
        {"Contagem", "MG", "31", "321"},        {"Juiz de Fora", "MG", "32", "360"},
        {"Betim", "MG", "31", "326"},           {"Rio de Janeiro", "RJ", "21", "200"},
        {"Duque de Caxias", "RJ", "21", "250"}, {"Volta Redonda", "RJ", "24", "272"},
        {"Niterói", "RJ", "21", "240"},         {"Curitiba", "PR", "41", "800"},
        {"Londrina", "PR", "43", "860"},        {"Maringá", "PR", "44", "870"},
        {"Ponta Grossa", "PR", "42", "840"},    {"Joinville", "SC", "47", "892"},
        {"Blumenau", "SC", "47", "890"},        {"Florianópolis", "SC", "48", "880"},
        {"Porto Alegre", "RS", "51", "900"},    {"Caxias do Sul", "RS", "54", "950"},
        {"Goiânia", "GO", "62", "740"},         {"Anápolis", "GO", "62", "750"},
        {"Salvador", "BA", "71", "400"},        {"Camaçari", "BA", "71", "428"},
        {"Recife", "PE", "81", "500"},
    };
    return v;
}

// Lines of activity: the technicians' professions first, then the clients' industries.
const std::vector<Activity>& activities() {
    static const std::vector<Activity> v = {
        {1, "Química Industrial"},
        {2, "Engenharia Química"},
        {3, "Química"},
        {4, "Técnico em Química"},
        {5, "Indústria Alimentícia"},
        {6, "Laticínio"},
        {7, "Frigorífico"},
        {8, "Indústria de Bebidas"},
        {9, "Hotelaria"},
        {10, "Hospitalar"},
        {11, "Indústria Têxtil"},
        {12, "Indústria Metalúrgica"},
        {13, "Papel e Celulose"},
        {14, "Usina Sucroalcooleira"},
        {15, "Indústria Farmacêutica"},
        {16, "Shopping Center"},
        {17, "Comércio de Produtos Químicos"},
        {18, "Transporte de Cargas"},
    };
    return v;
}

const std::vector<BaseProduct>& baseProducts() {
    static const std::vector<BaseProduct> v = {
        {1, "Biocida Não Oxidante (Isotiazolinona)", "L", "HIDROCIDE 150", 38.90, 50},
        {2, "Biocida Oxidante (Hipoclorito de Sódio)", "L", "HIDROCLOR 12", 6.40, 50},
        {3, "Dióxido de Cloro Estabilizado", "L", "HIDRODIOX 50", 29.70, 20},
        {4, "Inibidor de Corrosão à Base de Molibdato", "KG", "HIDROCOR 410", 42.50, 50},
        {5, "Inibidor de Corrosão Fosfonato", "KG", "HIDROCOR 320", 27.80, 50},
        {6, "Inibidor de Incrustação Polimérico", "KG", "HIDROSCALE 200", 31.20, 50},
        {7, "Dispersante Acrílico", "KG", "HIDRODISP 100", 24.60, 50},
        {8, "Sequestrante de Oxigênio (Sulfito de Sódio)", "KG", "HIDROX 110", 12.90, 25},
        {9, "Sequestrante de Oxigênio Orgânico (DEHA)", "L", "HIDROX 220", 54.30, 20},
        {10, "Alcalinizante (Hidróxido de Sódio)", "KG", "HIDROALC 50", 8.70, 50},
        {11, "Amina Neutralizante para Condensado", "L", "HIDROAMIN 30", 47.10, 20},
        {12, "Fosfato para Caldeiras", "KG", "HIDROFOS 80", 19.40, 25},
        {13, "Antiespumante Silicone", "L", "HIDROFOAM 10", 33.60, 20},
        {14, "Coagulante (Policloreto de Alumínio)", "KG", "HIDROCOAG 18", 5.90, 250},
        {15, "Floculante Polímero Aniônico", "KG", "HIDROFLOC 40", 36.80, 25},
        {16, "Antiincrustante para Osmose Reversa", "L", "HIDROMEMB 70", 61.20, 20},
        {17, "Limpador Ácido para Membranas", "KG", "HIDROCLEAN 90", 22.30, 25},
        {18, "Cloro Granulado (Dicloroisocianurato)", "KG", "HIDROCLOR 60", 18.50, 10},
    };
    return v;
}

const std::vector<EquipmentType>& equipmentTypes() {
    static const std::vector<EquipmentType> v = {
        {1,
         "Caldeira",
         "Análise de Água de Caldeira",
         {8, 9, 10, 11, 12, 6, 13},
         {"Caldeira 01 - Aquatubular 12 t/h", "Caldeira 02 - Flamotubular 4 t/h", "Caldeira 03 - Reserva",
          "Caldeira 04 - Recuperação", "Caldeira 05 - Biomassa 20 t/h", "Caldeira 06 - Elétrica"}},
        {2,
         "Torre de Resfriamento",
         "Análise de Água de Torre de Resfriamento",
         {1, 2, 3, 4, 5, 6, 7},
         {"Torre de Resfriamento TR-01", "Torre de Resfriamento TR-02", "Torre de Resfriamento TR-03",
          "Torre de Resfriamento TR-04", "Torre de Resfriamento TR-05", "Torre de Resfriamento TR-06"}},
        {3,
         "Circuito Fechado",
         "Análise de Água de Circuito Fechado",
         {4, 5, 1, 7},
         {"Circuito Fechado - Chiller 01", "Circuito Fechado - Chiller 02", "Circuito Fechado - Moldes",
          "Circuito Fechado - Aquecimento"}},
        {4,
         "Efluente",
         "Análise de Efluente Industrial",
         {14, 15, 13, 10},
         {"ETE - Saída Tratada", "ETE - Entrada Bruta", "ETE - Tanque de Equalização"}},
        {5,
         "Água Potável",
         "Análise de Água para Consumo Humano",
         {2, 18},
         {"Poço Artesiano 01", "Reservatório Superior", "Bebedouro - Refeitório", "Poço Artesiano 02"}},
        {6,
         "Osmose Reversa",
         "Análise de Água de Osmose Reversa",
         {16, 17, 1},
         {"Osmose Reversa - Permeado", "Osmose Reversa - Concentrado", "Osmose Reversa - Alimentação"}},
        {7,
         "Condensado",
         "Análise de Condensado",
         {11, 9},
         {"Retorno de Condensado - Geral", "Condensado - Linha de Vapor 01", "Tanque de Condensado"}},
    };
    return v;
}

const std::vector<AnalysisType>& analysisTypes() {
    static const std::vector<AnalysisType> v = {
        {1, "pH"},
        {2, "Condutividade (µS/cm)"},
        {3, "Dureza Total (mg/L CaCO3)"},
        {4, "Dureza Cálcica (mg/L CaCO3)"},
        {5, "Alcalinidade Total (mg/L CaCO3)"},
        {6, "Alcalinidade Hidróxida (mg/L CaCO3)"},
        {7, "Cloretos (mg/L Cl)"},
        {8, "Ferro Total (mg/L Fe)"},
        {9, "Sílica (mg/L SiO2)"},
        {10, "Fosfato (mg/L PO4)"},
        {11, "Sulfito (mg/L SO3)"},
        {12, "Cloro Livre (mg/L Cl2)"},
        {13, "Turbidez (NTU)"},
        {14, "Sólidos Totais Dissolvidos (mg/L)"},
        {15, "Molibdato (mg/L MoO4)"},
        {16, "Cobre (mg/L Cu)"},
        {17, "Sulfatos (mg/L SO4)"},
        {18, "Ciclos de Concentração"},
        {19, "Contagem Bacteriana (UFC/mL)"},
        {20, "DQO (mg/L O2)"},
        {21, "DBO (mg/L O2)"},
        {22, "Óleos e Graxas (mg/L)"},
        {23, "Nitrito (mg/L NO2)"},
        {24, "Cor Aparente (uH)"},
        {25, "Coliformes Totais (NMP/100 mL)"},
        {26, "Sólidos Suspensos Totais (mg/L)"},
        {27, "Zinco (mg/L Zn)"},
        {28, "Oxigênio Dissolvido (mg/L O2)"}, // kept for field work: no ideal result yet
        {29, "Temperatura (°C)"},
        {30, "Índice de Saturação de Langelier"},
        {31, "Índice de Estabilidade de Ryznar"},
    };
    return v;
}

// pHs = (9,3 + A + B) - (C + D): A from the dissolved solids, B from the temperature in °C,
// C from the calcium hardness and D from the total alkalinity (both as CaCO3).
#define CTV_PHS                                                                                              \
    "(9,3 + (log10(STD) - 1) / 10 + (-13,12 * log10(TEMP + 273) + 34,55)) - ((log10(DCA) - 0,4) + "          \
    "log10(ALC))"

const std::vector<AnalysisFormula>& analysisFormulas() {
    static const std::vector<AnalysisFormula> v = {
        {1, "PH", ""},
        {3, "DT", ""},
        {4, "DCA", ""},
        {5, "ALC", ""},
        {14, "STD", ""},
        {29, "TEMP", ""},
        {30, "LSI", "PH - (" CTV_PHS ")"},
        {31, "RSI", "2 * (" CTV_PHS ") - PH"},
    };
    return v;
}
#undef CTV_PHS

std::vector<std::pair<int, double>> sampleValues(const std::vector<const IdealResult*>& ideais,
                                                 const std::function<double(const IdealResult&)>& draw) {
    static const formula::Catalogo catalogo = formulaCatalogue();
    std::vector<std::pair<int, double>> out;
    std::map<int, double> medidos;
    std::vector<int> calculados;
    for (const IdealResult* r : ideais) {
        if (catalogo.calculado(r->tpAnalise)) {
            calculados.push_back(r->tpAnalise);
            continue;
        }
        out.emplace_back(r->tpAnalise, draw(*r));
        medidos[r->tpAnalise] = out.back().second;
    }
    const auto feitos = catalogo.calcula(medidos, calculados);
    for (int t : calculados)
        if (const formula::Resultado& r = feitos.at(t); r.valor)
            out.emplace_back(t, formula::arredondaResultado(*r.valor));
    return out;
}

formula::Catalogo formulaCatalogue() {
    formula::Catalogo c;
    for (const AnalysisFormula& f : analysisFormulas())
        for (const AnalysisType& t : analysisTypes())
            if (t.id == f.tpAnalise)
                c.define({t.id, QString::fromUtf8(t.nome), f.codigo, QString::fromUtf8(f.formula)});
    return c;
}

const std::vector<IdealResult>& idealResults() {
    static const std::vector<IdealResult> v = {
        // Caldeira
        {1, 1, "10,5 a 11,5", 10.2, 11.8, 2},
        {1, 2, "Máx. 3.500", 1200, 3800, 0},
        {1, 3, "Máx. 2,0", 0.0, 2.4, 2},
        {1, 5, "Máx. 700", 250, 760, 0},
        {1, 6, "150 a 300", 120, 330, 0},
        {1, 7, "Máx. 300", 40, 320, 1},
        {1, 8, "Máx. 1,0", 0.05, 1.2, 2},
        {1, 9, "Máx. 150", 20, 160, 1},
        {1, 10, "30 a 60", 20, 70, 1},
        {1, 11, "30 a 60", 15, 70, 1},
        {1, 14, "Máx. 3.000", 800, 3200, 0},
        // Torre de Resfriamento
        {2, 1, "7,0 a 8,5", 6.8, 8.9, 2},
        {2, 2, "Máx. 2.500", 600, 2700, 0},
        {2, 3, "Máx. 600", 150, 650, 0},
        {2, 4, "Máx. 400", 100, 430, 0},
        {2, 5, "Máx. 500", 80, 520, 0},
        {2, 7, "Máx. 300", 40, 330, 1},
        {2, 8, "Máx. 1,0", 0.05, 1.3, 2},
        {2, 9, "Máx. 150", 10, 160, 1},
        {2, 10, "5,0 a 15,0", 3, 16, 1},
        {2, 12, "0,5 a 1,0", 0.1, 1.3, 2},
        {2, 13, "Máx. 10", 1, 12, 1},
        {2, 15, "5,0 a 10,0", 3, 11, 1},
        {2, 18, "4 a 6", 3, 6.5, 1},
        {2, 19, "Máx. 10.000", 100, 15000, 0},
        {2, 14, "Máx. 2.000", 300, 2100, 0},
        {2, 29, "Máx. 40,0", 24, 38, 1},
        {2, 30, "-0,5 a 1,0", 0, 0, 2}, // calculated from pH, temperature, solids, hardness, alkalinity
        {2, 31, "5,5 a 7,0", 0, 0, 2},  // calculated
        // Circuito Fechado
        {3, 1, "8,5 a 10,0", 8.2, 10.3, 2},
        {3, 2, "Máx. 3.000", 800, 3200, 0},
        {3, 3, "Máx. 200", 10, 220, 0},
        {3, 8, "Máx. 1,0", 0.05, 1.2, 2},
        {3, 13, "Máx. 20", 1, 22, 1},
        {3, 15, "200 a 400", 150, 420, 0},
        {3, 16, "Máx. 0,5", 0.01, 0.6, 2},
        {3, 23, "600 a 900", 450, 950, 0},
        // Efluente
        {4, 1, "6,0 a 9,0", 5.8, 9.3, 2},
        {4, 8, "Máx. 15,0", 0.5, 16, 2},
        {4, 13, "Máx. 40", 2, 45, 1},
        {4, 17, "Máx. 500", 50, 520, 0},
        {4, 20, "Máx. 300", 60, 350, 0},
        {4, 21, "Máx. 120", 20, 140, 0},
        {4, 22, "Máx. 20", 2, 25, 1},
        {4, 26, "Máx. 100", 10, 120, 0},
        {4, 27, "Máx. 5,0", 0.1, 5.5, 2},
        // Água Potável
        {5, 1, "6,0 a 9,5", 6.2, 8.5, 2},
        {5, 3, "Máx. 300", 20, 280, 0},
        {5, 7, "Máx. 250", 5, 200, 1},
        {5, 8, "Máx. 0,3", 0.01, 0.35, 2},
        {5, 12, "0,2 a 2,0", 0.1, 2.2, 2},
        {5, 13, "Máx. 5,0", 0.1, 5.5, 2},
        {5, 14, "Máx. 500", 50, 480, 0},
        {5, 24, "Máx. 15", 1, 16, 0},
        {5, 25, "Ausente", 0, 0, 0},
        // Osmose Reversa
        {6, 1, "5,5 a 7,5", 5.3, 7.7, 2},
        {6, 2, "Máx. 20", 2, 25, 1},
        {6, 3, "Máx. 1,0", 0.0, 1.2, 2},
        {6, 8, "Máx. 0,05", 0.0, 0.06, 3},
        {6, 9, "Máx. 1,0", 0.05, 1.2, 2},
        {6, 12, "Ausente", 0.0, 0.05, 2},
        {6, 14, "Máx. 10", 1, 12, 1},
        // Condensado
        {7, 1, "8,3 a 9,0", 8.0, 9.2, 2},
        {7, 2, "Máx. 30", 3, 35, 1},
        {7, 3, "Máx. 0,5", 0.0, 0.6, 2},
        {7, 8, "Máx. 0,1", 0.01, 0.15, 2},
        {7, 9, "Máx. 0,5", 0.01, 0.6, 2},
        {7, 16, "Máx. 0,05", 0.0, 0.06, 3},
    };
    return v;
}

std::vector<const IdealResult*> idealResultsOf(int tpEquipamento) {
    std::vector<const IdealResult*> out;
    for (const auto& r : idealResults())
        if (r.tpEquipamento == tpEquipamento) out.push_back(&r);
    return out;
}

const std::vector<Button>& recordRights() {
    static const std::vector<Button> v = {
        {"cpfIncluir", "cpfIncluir", "Incluir"},
        {"cpfAlterar", "cpfAlterar", "Alterar"},
        {"cpfExcluir", "cpfExcluir", "Excluir"},
        {"cpfConsulta", "cpfConsulta", "Consulta"},
        {"cpfExportaExcel", "cpfExportaExcel", "Exportar para Excel"},
    };
    return v;
}

// The screens of application 3 with the buttons that carry permissions, as the registration
// pass would record them (captions without "&"; a button without caption under its hint).
const std::vector<Screen>& screens() {
    static const std::vector<Screen> v = {
        {"frmTipoEquipamento",
         "Tipo de Equipamento",
         {{"BitBtn1", "TBitBtn", "Incluir (1)"}, {"BitBtn2", "TBitBtn", "Excluir (1)"}}},
        {"frmTipoAnalise",
         "Tipo de Ánalise",
         {{"btnSalvarFormula", "TBitBtn", "Salvar Fórmula"}, {"btnRecalcular", "TBitBtn", "Recalcular"}}},
        {"frmResultadoIdeal", "Resultados Ideais", {}},
        {"frmCadastroEquipamentodoCliente",
         "Equipamentos do Cliente",
         {{"btnPesquisaPessoa", "TSpeedButton", "Pesquisar Cliente"}}},
        {"frmCadastrodeAnalise",
         "Cadastro de Análise",
         {{"btnPesquisaPessoa", "TSpeedButton", "Pesquisar Cliente"},
          {"btnIncluir", "TSpeedButton", "Incluir Equipamento"},
          {"btnExcluir", "TSpeedButton", "Excluir Equipamento"},
          {"btnConsultar", "TBitBtn", "Consultar Resultados"},
          {"BitBtn1", "TBitBtn", "Imprimir Relatório de Análise"},
          {"BTImpRelPreench", "TBitBtn", "Imprimir Planilha de Preenchimento"},
          {"btnResultadosAmostras", "TBitBtn", "Resultados de Todas as Amostras"},
          {"btnHistorico", "TBitBtn", "Histórico de Alterações"},
          {"btnEnviarLaudoEmail", "TBitBtn", "Enviar Laudo por E-mail"}}},
        {"frmEquipamentosAnalisados",
         "Equipamentos Analisados",
         {{"btnConsultar", "TBitBtn", "Resultados das Análises"},
          {"btnGrafico", "TBitBtn", "Gráfico"},
          {"btnFechar", "TBitBtn", "Fechar"},
          {"btnHistorico", "TBitBtn", "Histórico de Alterações"},
          {"btnLimparConteudoComentarioAtual", "TBitBtn", "Limpar Conteúdo (1)"},
          {"btnLimparConteudoObservacaoAtual", "TBitBtn", "Limpar Conteúdo (2)"},
          {"btnTipoFonte", "TSpeedButton", "Fonte - Alterar fonte e variações para o texto selecionado (1)"},
          {"btnNumerar", "TSpeedButton", "Marcador -Iniciar uma lista com marcador (1)"},
          {"btnIdentar", "TSpeedButton", "Recuo - Criar recuo no parágrafo (1)"},
          {"BitBtn1", "TBitBtn", "Fonte - Alterar fonte e variações para o texto selecionado (2)"},
          {"BitBtn2", "TBitBtn", "Marcador -Iniciar uma lista com marcador (2)"},
          {"BitBtn3", "TBitBtn", "Recuo - Criar recuo no parágrafo (2)"}}},
        {"frmPesquisarAnalises",
         "Pesquisar Análises Cadastradas",
         {{"btnPesquisar", "TBitBtn", "Pesquisar"},
          {"btnCancelar", "TBitBtn", "Cancelar"},
          {"btnConsultarAnalise", "TBitBtn", "Consultar Análise"},
          {"btnPesquisarCliente", "TSpeedButton", "Pesquisar Cliente"},
          {"btnPesquisarRepresentante", "TSpeedButton", "Pesquisar Representante"}}},
        {"frmConfiguracoesGerais",
         "Configurações do Cortivandela",
         {{"BitBtn1", "TBitBtn", "Fechar"},
          {"btnTipoFonte", "TSpeedButton", "Fonte - Alterar fonte e variações para o texto selecionado"},
          {"btnNumerar", "TSpeedButton", "Marcador -Iniciar uma lista com marcador"},
          {"btnIdentar", "TSpeedButton", "Recuo - Criar recuo no parágrafo"},
          {"btnEmailLaudo", "TBitBtn", "E-mail para Envio dos Laudos..."}}},
        {"frmSobre", "Sobre o Nexmoro Cortivandela", {{"btnFechar", "TBitBtn", "Fechar"}}},
        {"frmParRelAnaliseProposta",
         "Controle de Análises e Propostas",
         {{"btnConfirmar", "TBitBtn", "Imprimir"},
          {"btnFechar", "TBitBtn", "Fechar"},
          {"btnGeraPlanilha", "TBitBtn", "Gerar Arquivo do Excel"}}},
        {"frmParRelControleAnalise",
         "Controle de Análises por Cliente",
         {{"btnConfirmar", "TBitBtn", "Gerar Arquivo do Excel"}, {"btnFechar", "TBitBtn", "Fechar"}}},
        {"frmParRelAnaliseColeta",
         "Relatório de Análise de Coletas",
         {{"btnConfirmar", "TBitBtn", "Imprimir"}, {"btnFechar", "TBitBtn", "Fechar"}}},
        {"frmParRelatorioClientesSemAmostras",
         "Relatório de Clientes sem Amostra",
         {{"btnConfirmar", "TBitBtn", "Imprimir"}, {"btnFechar", "TBitBtn", "Fechar"}}},
        {"frmParRelClientesComAmostras",
         "Relatório de Clientes com Amostras",
         {{"btnConfirmar", "TBitBtn", "Imprimir"}, {"btnFechar", "TBitBtn", "Fechar"}}},
        {"frmParRelEquipamentosComPendencias",
         "Relatório de Equipamentos com Pendências",
         {{"btnConfirmar", "TBitBtn", "Imprimir"}, {"btnFechar", "TBitBtn", "Fechar"}}},
        {"frmCorreioInterno",
         "Correio Interno",
         {{"btnLerMensagem", "TBitBtn", "Ler Mensagem"},
          {"btnImprimir", "TBitBtn", "Imprimir"},
          {"btnMensagemRecebida", "TBitBtn", "Mensagens não lidas"},
          {"BitBtn4", "TBitBtn", "Mensagens Recebidas"},
          {"BitBtn5", "TBitBtn", "Mensagens Enviadas"},
          {"BitBtn2", "TBitBtn", "Fechar"}}},
        {"frmAgendaTarefas",
         "Agenda de Tarefas",
         {{"BtnTarefaIniciada", "TBitBtn", "Tarefa Iniciada"},
          {"BtnTarefaConcluida", "TBitBtn", "Tarefa Concluida"},
          {"BtnCancelarInicio", "TSpeedButton", "Cancelar o Início"},
          {"BtnCancelarConclusao", "TSpeedButton", "Cancelar a Conclusão"},
          {"btnCancelarAviso", "TSpeedButton", "Cancelar Aviso"},
          {"BtnTarefaPendente", "TBitBtn", "Minhas Tarefas Pendentes"},
          {"BtnPendentesDepto", "TBitBtn", "Pendências do meu Departamento"},
          {"BtnTodasPendentes", "TBitBtn", "Tarefas Pendentes"},
          {"BitBtn4", "TSpeedButton", "Consultar Nossa Empresa"},
          {"btnFechar", "TBitBtn", "Fechar"}}},
        // Opened from the analysis registration and the analysed-equipment screen.
        {"frmHistoricoAlteracoes", "Histórico de Alterações", {{"btnFiltrar", "TBitBtn", "Filtrar"}}},
    };
    return v;
}

const std::vector<OwnCompany>& ownCompanies() {
    static const std::vector<OwnCompany> v = {
        {1, "00001", "Hidrolab Análises de Águas e Fluidos Ltda", "Hidrolab Campinas", 1},
        {2, "00002", "Hidrolab Serviços Técnicos em Água Ltda", "Hidrolab Curitiba", 29},
    };
    return v;
}

const QStringList& firstNames() {
    static const QStringList v = {
        "Ana",     "Antônio",  "Beatriz", "Bruno",    "Camila",   "Carlos",  "Cláudia",    "Daniel",
        "Débora",  "Eduardo",  "Elaine",  "Fábio",    "Fernanda", "Flávio",  "Gabriela",   "Gustavo",
        "Helena",  "Henrique", "Isabela", "João",     "Joana",    "José",    "Juliana",    "Leandro",
        "Letícia", "Lucas",    "Luciana", "Luís",     "Márcia",   "Marcelo", "Maria",      "Mário",
        "Mateus",  "Natália",  "Otávio",  "Patrícia", "Paulo",    "Pedro",   "Priscila",   "Rafael",
        "Raquel",  "Renata",   "Ricardo", "Roberta",  "Rodrigo",  "Sandra",  "Sérgio",     "Sílvia",
        "Tatiana", "Thiago",   "Vanessa", "Vinícius", "Vitória",  "Wagner",  "Wellington", "Aline",
        "Rogério", "Simone",   "Márcio",  "Adriana",
    };
    return v;
}

const QStringList& surnames() {
    static const QStringList v = {
        "Silva",      "Santos",    "Oliveira", "Souza",   "Rodrigues", "Ferreira", "Alves",      "Pereira",
        "Lima",       "Gomes",     "Costa",    "Ribeiro", "Martins",   "Carvalho", "Almeida",    "Lopes",
        "Soares",     "Fernandes", "Vieira",   "Barbosa", "Rocha",     "Dias",     "Nascimento", "Andrade",
        "Moreira",    "Nunes",     "Marques",  "Machado", "Mendes",    "Freitas",  "Cardoso",    "Ramos",
        "Gonçalves",  "Santana",   "Teixeira", "Araújo",  "Moraes",    "Castro",   "Campos",     "Pinto",
        "Cavalcanti", "Monteiro",  "Correia",  "Borges",  "Siqueira",  "Tavares",  "Nogueira",   "Prado",
        "Queiroz",    "Barros",    "Batista",  "Azevedo", "Fonseca",   "Brandão",  "Camargo",    "Leite",
        "Guimarães",  "Peixoto",   "Sampaio",  "Coelho",
    };
    return v;
}

const QStringList& companyNames() {
    static const QStringList v = {
        "Serra Azul",    "Boa Vista",   "Santa Helena",   "São Jorge",  "Vale Verde",   "Rio Claro",
        "Bela Vista",    "Três Marias", "Primavera",      "Santa Rita", "Monte Alegre", "Ouro Verde",
        "Nova Aliança",  "Paraíso",     "Cristal",        "Jequitibá",  "Ipê Amarelo",  "Esperança",
        "Santa Luzia",   "Bom Jesus",   "Estrela do Sul", "Horizonte",  "Aurora",       "Mantiqueira",
        "Guarani",       "Tupã",        "Itaipu",         "Cachoeira",  "Pinheiral",    "Serra do Mar",
        "Campo Belo",    "Santa Fé",    "Canaã",          "Palmeiras",  "Flor de Lis",  "Atlântica",
        "São Francisco", "Vitória",     "Imperial",       "Real",       "Continental",  "Planalto",
        "Araucária",     "Jacarandá",   "Sol Nascente",   "Alvorada",   "Cerrado",      "Pantanal",
    };
    return v;
}

const QStringList& streets() {
    static const QStringList v = {
        "Rua das Indústrias",   "Avenida Brasil",
        "Rua XV de Novembro",   "Avenida Getúlio Vargas",
        "Rua Sete de Setembro", "Avenida das Nações",
        "Rua Dom Pedro II",     "Estrada Municipal",
        "Avenida Industrial",   "Rua José Bonifácio",
        "Rua Tiradentes",       "Avenida Santos Dumont",
        "Rua Marechal Deodoro", "Avenida Presidente Kennedy",
        "Rodovia Anhanguera",   "Rua Barão de Mauá",
        "Avenida João Pessoa",  "Rua Rui Barbosa",
    };
    return v;
}

const QStringList& districts() {
    static const QStringList v = {
        "Centro",
        "Distrito Industrial",
        "Jardim América",
        "Vila Nova",
        "Parque Industrial",
        "Jardim Europa",
        "Zona Rural",
        "Vila Industrial",
        "Jardim Primavera",
        "Chácara Santo Antônio",
        "Bairro Alto",
        "Jardim Paulista",
    };
    return v;
}

QString Random::digits(int n) {
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i)
        s += QChar('0' + between(0, 9));
    return s;
}

namespace {
int checkDigit(const QString& digits, const std::vector<int>& weights) {
    int sum = 0;
    for (size_t i = 0; i < weights.size(); ++i)
        sum += digits[int(i)].digitValue() * weights[i];
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}
const std::vector<int> kCnpj1 = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
const std::vector<int> kCnpj2 = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
const std::vector<int> kCpf1 = {10, 9, 8, 7, 6, 5, 4, 3, 2};
const std::vector<int> kCpf2 = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2};

bool allDigits(const QString& s) {
    for (QChar c : s)
        if (!c.isDigit()) return false;
    return true;
}
} // namespace

QString makeCnpj(Random& rnd) {
    QString d = rnd.digits(8) + "0001";
    d += QString::number(checkDigit(d, kCnpj1));
    d += QString::number(checkDigit(d, kCnpj2));
    return d;
}

QString makeCpf(Random& rnd) {
    QString d;
    do {
        d = rnd.digits(9);
    } while (d == QString(9, d[0])); // repeated digits are not valid numbers
    d += QString::number(checkDigit(d, kCpf1));
    d += QString::number(checkDigit(d, kCpf2));
    return d;
}

bool validCnpj(const QString& d) {
    return d.size() == 14 && allDigits(d) && checkDigit(d, kCnpj1) == d[12].digitValue() &&
           checkDigit(d, kCnpj2) == d[13].digitValue();
}

bool validCpf(const QString& d) {
    return d.size() == 11 && allDigits(d) && d != QString(11, d[0]) &&
           checkDigit(d, kCpf1) == d[9].digitValue() && checkDigit(d, kCpf2) == d[10].digitValue();
}

QString rtfEscape(const QString& text) {
    QString out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\par ";
        } else if (u < 128) {
            out += c;
        } else if (u < 256) {
            out += QString("\\'%1").arg(u, 2, 16, QChar('0'));
        } else {
            out += QString("\\u%1?").arg(short(u));
        }
    }
    return out;
}

QByteArray rtfParagraph(const QString& text) {
    return ("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs16 " + rtfEscape(text) + "\\par}")
        .toLatin1();
}

Insert::Insert(SqlSink& db, const QString& table, const QStringList& columns)
    : m_db(db), m_table(table), m_columns(int(columns.size())) {
    QStringList marks;
    for (int i = 0; i < m_columns; ++i)
        marks << "?";
    m_handle = db.prepare("insert into " + table + " (" + columns.join(", ") + ") values (" +
                          marks.join(", ") + ")");
}

void Insert::operator()(const QVariantList& values) {
    if (values.size() != m_columns)
        throw AppError(QString("Inserção em %1 com %2 valores para %3 colunas.")
                           .arg(m_table)
                           .arg(values.size())
                           .arg(m_columns));
    m_db.execPrepared(m_handle, values);
}

int maxKey(SqlSink& db, const QString& table, const QString& column) {
    const QVariant v = db.scalar("select max(" + column + ") from " + table);
    return v.isNull() ? 0 : v.toInt();
}

// Equipment types a client of each line of activity usually has; the first is always there.
std::vector<int> equipmentProfile(int atividade) {
    switch (atividade) {
    case 5:
        return {1, 4};
    case 6:
        return {1, 4, 2};
    case 7:
        return {1, 4};
    case 8:
        return {1, 2, 4};
    case 9:
        return {5, 2};
    case 10:
        return {1, 6, 5};
    case 11:
        return {1, 4};
    case 12:
        return {2, 3};
    case 13:
        return {1, 7, 2};
    case 14:
        return {1, 7, 2};
    case 15:
        return {6, 3};
    case 16:
        return {2, 5};
    default:
        return {5};
    }
}

} // namespace demo

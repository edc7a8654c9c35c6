#include "lab/TelasLab.h"
#include "lab/UnCadastroEquipamentodoCliente.h"
#include "lab/UnCadastrodeAnalise.h"
#include "lab/UnConfiguracoesGerais.h"
#include "lab/UnPesquisarAnalises.h"
#include "lab/UnResultadoIdeal.h"
#include "lab/UnTipoAnalise.h"
#include "lab/UnTipoEquipamento.h"
#include "screens/MensagensBanco.h"
#include "screens/ScreenRegistry.h"

void registraTelasLab() {
    registraTela({"frmTipoEquipamento", "Tabelas", "TipodeEquipamento1", "Tipo de Equipamento", 10,
                  [] { return new TfrmTipoEquipamento; }});
    registraTela({"frmTipoAnalise", "Tabelas", "TipodeAnlise1", "Tipo de Análise", 20,
                  [] { return new TfrmTipoAnalise; }});
    registraTela({"frmResultadoIdeal", "Tabelas", "ResultadosIdeais1", "Resultados Ideais", 30,
                  [] { return new TfrmResultadoIdeal; }});
    registraTela({"frmCadastroEquipamentodoCliente", "Cadastros", "EquipamentosdoCliente1",
                  "Equipamentos do Cliente", 10, [] { return new TfrmCadastroEquipamentodoCliente; }});
    registraTela({"frmCadastrodeAnalise", "Cadastros", "CadastrodeAnlise1", "Cadastro de Análise", 20,
                  [] { return new TfrmCadastrodeAnalise; }});
    registraTela({"frmPesquisarAnalises", "Cadastros", "UnMenuPrincipal1", "Pesquisar Análises Cadastradas",
                  30, [] { return new TfrmPesquisarAnalises; }});
    registraTela({"frmConfiguracoesGerais", "Arquivo", "ConfiguraesGerais1", "Configurações do Cortivandela",
                  10, [] { return new TfrmConfiguracoesGerais; }, false});
    // The laboratory's tables as a refused delete names them.
    registraNomeTabela("TAB_RESULTADO_IDEAL", "Resultados Ideais");
    registraNomeTabela("TAB_EQUIPAMENTO_CLI", "Equipamentos do Cliente");
    registraNomeTabela("TAB_PRODUTO_EQUIPAMENTO", "Produtos Utilizados do Tipo de Equipamento");
    registraNomeTabela("MOV_ANALISE", "Cadastro de Análise");
    registraNomeTabela("MOV_ANALISE_EQUIPAMENTO", "Equipamentos Analisados");
    registraNomeTabela("MOV_ANALISE_RESULTADO", "Resultados das Análises");
}

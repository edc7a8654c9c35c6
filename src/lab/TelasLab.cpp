#include "lab/TelasLab.h"
#include "lab/UnCadastroEquipamentodoCliente.h"
#include "lab/UnResultadoIdeal.h"
#include "lab/UnTipoAnalise.h"
#include "lab/UnTipoEquipamento.h"
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
}

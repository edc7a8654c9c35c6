#include "reports/TelasRelatorios.h"
#include "reports/UnParRelAnaliseColeta.h"
#include "reports/UnParRelAnaliseProposta.h"
#include "reports/UnParRelClientesComAmostras.h"
#include "reports/UnParRelClientesSemAmostras.h"
#include "reports/UnParRelControleAnalise.h"
#include "reports/UnParRelEquipamentosComPendencias.h"
#include "screens/ScreenRegistry.h"

void registraTelasRelatorios() {
    registraTela({"frmParRelClientesComAmostras", "Relatórios", "RelatriodeClientescomAmostra1",
                  "Relatório de Clientes com Amostra", 10, [] { return new TfrmParRelClientesComAmostras; }});
    registraTela({"frmParRelatorioClientesSemAmostras", "Relatórios", "RelatriodeClientessemAmostra1",
                  "Relatório de Clientes sem Amostra", 20,
                  [] { return new TfrmParRelatorioClientesSemAmostras; }});
    registraTela({"frmParRelAnaliseColeta", "Relatórios", "RelatriodeAnlisesColetadas1",
                  "Relatório de Análises Coletadas", 30, [] { return new TfrmParRelAnaliseColeta; }});
    registraTela({"frmParRelControleAnalise", "Relatórios", "mniControleAnalisesCliente",
                  "Controle de Análises por Cliente", 40, [] { return new TfrmParRelControleAnalise; }});
    registraTela({"frmParRelAnaliseProposta", "Relatórios", "mniControledeAnlisesePropostas1",
                  "Controle de Análises e Propostas", 50, [] { return new TfrmParRelAnaliseProposta; }});
    registraTela({"frmParRelEquipamentosComPendencias", "Relatórios", "RelatriodeEquipamentoscomPendncias1",
                  "Relatório de Equipamentos com Pendências", 60,
                  [] { return new TfrmParRelEquipamentosComPendencias; }});
}

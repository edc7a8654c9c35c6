#include "reports/TelasRelatorios.h"
#include "reports/UnParRelAnaliseProposta.h"
#include "reports/UnParRelControleAnalise.h"
#include "screens/ScreenRegistry.h"

void registraTelasRelatorios() {
    registraTela({"frmParRelControleAnalise", "Relatórios", "mniControleAnalisesCliente",
                  "Controle de Análises por Cliente", 40, [] { return new TfrmParRelControleAnalise; }});
    registraTela({"frmParRelAnaliseProposta", "Relatórios", "mniControledeAnlisesePropostas1",
                  "Controle de Análises e Propostas", 50, [] { return new TfrmParRelAnaliseProposta; }});
}

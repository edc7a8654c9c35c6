#include "lab/TelasLab.h"
#include "lab/UnTipoAnalise.h"
#include "screens/ScreenRegistry.h"

void registraTelasLab() {
    registraTela({"frmTipoAnalise", "Tabelas", "TipodeAnlise1", "Tipo de Análise", 20,
                  [] { return new TfrmTipoAnalise; }});
}

#include "app/Telas.h"
#include "app/UnSobre.h"
#include "collab/TelasColab.h"
#include "lab/TelasLab.h"
#include "reports/TelasRelatorios.h"
#include "screens/ScreenRegistry.h"

void registraTodasAsTelas() {
    static bool feito = false;
    if (feito) return;
    feito = true;
    registraTelasLab();
    registraTelasRelatorios();
    registraTelasColab();
    registraTela({"frmSobre", "Ajuda", "SobreonexmoroOstrevagem1", "Sobre o Nexmoro Cortivandela", 20,
                  [] { return new TfrmSobre; }, false});
}

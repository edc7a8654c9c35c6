#include "reports/TelasRelatorios.h"
#include "screens/ScreenRegistry.h"

void registraTelasRelatorios() {}

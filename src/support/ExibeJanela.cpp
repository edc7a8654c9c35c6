#include "support/ExibeJanela.h"
#include "platform/Dialogs.h"
#include "platform/Seam.h"

namespace {
ExibeJanela& instalado() {
    static ExibeJanela exibe;
    return exibe;
}
} // namespace

ExibeJanela instalaExibeJanela(ExibeJanela exibe) {
    return std::exchange(instalado(), std::move(exibe));
}

void exibeModal(QDialog& janela, const std::function<void()>& semResposta) {
    if (instalado()) {
        instalado()(janela);
        return;
    }
    if (seam_detail::runningUnderTest()) {
        if (semResposta) semResposta();
        return;
    }
    execModal(janela);
}

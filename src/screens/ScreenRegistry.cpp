#include "screens/ScreenRegistry.h"

namespace {
std::vector<TelaRegistrada>& registro() {
    static std::vector<TelaRegistrada> r;
    return r;
}
} // namespace

void registraTela(TelaRegistrada tela) {
    for (TelaRegistrada& t : registro()) {
        if (t.nome.compare(tela.nome, Qt::CaseInsensitive) == 0) {
            t = std::move(tela);
            return;
        }
    }
    registro().push_back(std::move(tela));
}

const std::vector<TelaRegistrada>& telasRegistradas() {
    return registro();
}

const TelaRegistrada* telaRegistrada(const QString& nome) {
    for (const TelaRegistrada& t : registro())
        if (t.nome.compare(nome, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

#include "app/Programa.h"
#include "app/UnMenuPrincipal.h"
#include "data/UndmLookup.h"
#include "data/UndmPadrao.h"
#include <QMdiArea>
#include <QMdiSubWindow>

Programa::Programa(std::function<void()> requestEnd) {
    m_principal = std::make_unique<TfrmMenuPrincipal>();
    if (requestEnd) m_principal->requestEnd = std::move(requestEnd);
    m_lookup = std::make_unique<TdmLookUp>(&m_principal->IBSolution, &m_principal->IBTransaction);
    m_padrao =
        std::make_unique<TdmPadrao>(&m_principal->IBSolution, &m_principal->IBTransaction, m_lookup.get());
    setDmLookUp(m_lookup.get());
    setDmPadrao(m_padrao.get());
}

Programa::~Programa() {
    setDmPadrao(nullptr);
    m_padrao.reset();
    setDmLookUp(nullptr);
    m_lookup.reset();
    m_principal.reset();
}

void Programa::fechaTelas() {
    for (QMdiSubWindow* w : m_principal->mdi->subWindowList())
        w->close();
}

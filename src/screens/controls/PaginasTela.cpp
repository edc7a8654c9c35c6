#include "screens/controls/PaginasTela.h"
#include <QEvent>
#include <QStackedWidget>
#include <QTabBar>

bool PaginasTela::event(QEvent* e) {
    if (e->type() != QEvent::LayoutRequest || !isVisible() || !updatesEnabled()) return QTabWidget::event(e);
    auto* pilha = findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly);
    const QRect barra = tabBar()->geometry();
    const QRect paginas = pilha ? pilha->geometry() : QRect();
    // Only this widget's own repaint is held back, not its children's.
    setAttribute(Qt::WA_UpdatesDisabled, true);
    const bool r = QTabWidget::event(e);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    if (tabBar()->geometry() != barra || (pilha && pilha->geometry() != paginas)) update();
    return r;
}

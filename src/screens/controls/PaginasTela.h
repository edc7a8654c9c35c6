#pragma once
// The tab widget of the screens. The toolkit's own repaints the whole widget, every page's
// controls with it, each time anything inside asks for a new layout: a label's text that
// changes its size, a row read into a grid. A screen did that three or four times while it
// opened and showed its first record. This one lays out as the toolkit's does and repaints the
// whole only where the tab bar or the pages moved; the controls that changed repaint themselves.
#include <QTabWidget>

class PaginasTela : public QTabWidget {
public:
    using QTabWidget::QTabWidget;

protected:
    bool event(QEvent* e) override;
};

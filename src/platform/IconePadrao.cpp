#include "platform/IconePadrao.h"

#include <QApplication>
#include <QHash>

QIcon iconePadrao(QStyle::StandardPixmap icone) {
    // Used from the GUI thread only, like the widgets that show the icons.
    static QHash<int, QIcon> lidos;
    auto it = lidos.find(icone);
    if (it == lidos.end()) it = lidos.insert(icone, QApplication::style()->standardIcon(icone));
    return *it;
}

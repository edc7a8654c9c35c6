#pragma once
// Counts the paint events each widget receives while it is alive and installed on the
// application, for tests that check a gesture repaints only what changed.
#include <QApplication>
#include <QEvent>
#include <QHash>

class Pinturas : public QObject {
public:
    Pinturas() { qApp->installEventFilter(this); }
    ~Pinturas() override { para(); }
    void para() { qApp->removeEventFilter(this); }
    int de(QObject* o) const { return n.value(o); }
    void zera() { n.clear(); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++n[o];
        return false;
    }

private:
    QHash<QObject*, int> n;
};

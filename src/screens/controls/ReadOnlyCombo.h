#pragma once
// A drop-down over a list of keys that can be read-only: it still takes the focus and passes Tab
// on, but neither keys nor the wheel change its choice. The data-aware drop-downs say when they
// are read-only.
#include "data/DataSet.h"
#include <QComboBox>
#include <QKeyEvent>
#include <QWheelEvent>

class ReadOnlyCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    virtual bool isReadOnly() const = 0;

protected:
    // Keys of the list and of the field compare by their text, blanks around a text key aside.
    static QString listKey(const QVariant& v) { return keyText(v).trimmed(); }

    // Called before a key or the wheel may move the choice: every choice must be reachable.
    virtual void antesDeEscolher() {}

    void keyPressEvent(QKeyEvent* e) override {
        if (isReadOnly() && e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab) {
            e->ignore();
            return;
        }
        if (e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab) antesDeEscolher();
        QComboBox::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override {
        if (isReadOnly()) {
            e->ignore();
            return;
        }
        antesDeEscolher();
        QComboBox::wheelEvent(e);
    }
};

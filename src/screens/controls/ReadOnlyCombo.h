#pragma once
// A drop-down that can be read-only: it still takes the focus and passes Tab on, but neither keys
// nor the wheel change its choice. The data-aware drop-downs say when they are read-only.
#include <QComboBox>
#include <QKeyEvent>
#include <QWheelEvent>

class ReadOnlyCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    virtual bool isReadOnly() const = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (isReadOnly() && e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab) {
            e->ignore();
            return;
        }
        QComboBox::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override {
        if (isReadOnly()) {
            e->ignore();
            return;
        }
        QComboBox::wheelEvent(e);
    }
};

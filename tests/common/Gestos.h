#pragma once
// What the user does with the keyboard and the mouse, for fixtures that drive the real windows:
// keys and typed text go to the focused widget, and the steps of a modal window run once the
// action that opens it has shown it.
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

class Gestos {
protected:
    // The widget holding the keyboard focus.
    static QWidget* foco() { return QApplication::focusWidget(); }
    static void tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(foco(), k, m); }
    // Types the text into the focused widget, accented letters included.
    static void digita(const QString& texto) {
        for (const QChar c : texto) {
            if (c.unicode() < 128)
                QTest::keyClick(foco(), c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, foco(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    static void clica(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

    // Runs `passos` on the modal window of type D that the action following the call opens;
    // the window is closed afterwards should the steps leave it open.
    template <class D> void noDialogo(std::function<void(D&)> passos) {
        m_dialogoVisto = false;
        QTimer::singleShot(0, [this, passos] {
            QPointer<D> d = qobject_cast<D*>(QApplication::activeModalWidget());
            if (!d) {
                ADD_FAILURE() << "nenhuma janela modal do tipo esperado";
                if (QWidget* m = QApplication::activeModalWidget()) m->close();
                return;
            }
            conduz(d, passos);
        });
    }
    // Brings the modal window forward and runs the steps on it; the window is closed afterwards
    // should the steps leave it open.
    template <class D> void conduz(QPointer<D> d, const std::function<void(D&)>& passos) {
        m_dialogoVisto = true;
        d->activateWindow();
        QApplication::setActiveWindow(d);
        QApplication::processEvents();
        passos(*d);
        if (d && d->isVisible()) d->close();
    }
    bool dialogoVisto() const { return m_dialogoVisto; }

    bool m_dialogoVisto = false;
};

#include "lab/GradeDigitacao.h"
#include "platform/ErrorHook.h"
#include <QApplication>
#include <QKeyEvent>

void GradeDigitacao::confirmaEdicao() {
    if (state() != QAbstractItemView::EditingState) return;
    // The cell editor is the focused child of the viewport.
    QWidget* editor = QApplication::focusWidget();
    if (!editor || editor->parentWidget() != viewport()) return;
    commitData(editor);
    DBGrid::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void GradeDigitacao::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == Qt::NoModifier) {
        // While a cell is being typed, its editor stores the value and closes (submitting); the
        // move follows then.
        if (state() != QAbstractItemView::EditingState) abaixo();
        e->accept();
        return;
    }
    DBGrid::keyPressEvent(e);
}

void GradeDigitacao::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    DBGrid::closeEditor(editor, hint);
    if (aposEdicao) guarded(aposEdicao);
    if (hint == QAbstractItemDelegate::SubmitModelCache && !gridModel()->ultimaEdicaoRecusada()) abaixo();
}

void GradeDigitacao::abaixo() {
    const QModelIndex atual = currentIndex();
    if (!atual.isValid() || atual.row() + 1 >= model()->rowCount()) return;
    setCurrentIndex(model()->index(atual.row() + 1, atual.column()));
}

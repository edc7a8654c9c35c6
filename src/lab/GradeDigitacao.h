#pragma once
// A grid of values typed one after another down a column: Enter stores the value being typed
// and moves to the next row (a refused value keeps the user on its cell to type it again).
#include "screens/controls/DBGrid.h"
#include <functional>

class GradeDigitacao : public DBGrid {
public:
    using DBGrid::DBGrid;
    // Runs after a typed value is stored, before the move down.
    std::function<void()> aposEdicao;

    // Stores the value of a cell editor still open.
    void confirmaEdicao();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void abaixo();
};

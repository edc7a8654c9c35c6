#pragma once
// Marks on the results grid: each current value outside the range read from its row's ideal
// result is drawn in a colour with a symbol after it ("▲" above, "▼" below), already while it
// is being typed in its cell; the ideal column's tooltip tells the range that was read. Nothing
// is refused and nothing stored changes: the marks are drawing only.
#include "data/FaixaIdeal.h"
#include <QHash>
#include <QStyledItemDelegate>
#include <optional>

class DBGrid;
class QLineEdit;

class MarcaFaixaResultado : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Marks the grid's column campoValor by the range of campoIdeal in the same row.
    MarcaFaixaResultado(DBGrid* grade, const QString& campoIdeal, const QString& campoValor);

    // Where the row's value stands; nothing when the row has no value or its text no range.
    std::optional<PosicaoFaixa> posicao(int linha) const;
    // The range read from the row's ideal text.
    std::optional<FaixaIdeal> faixa(int linha) const;
    // The text and colour a cell is drawn with (the symbol after an out-of-range value).
    QString textoExibido(const QModelIndex& index) const;
    QColor corExibida(const QModelIndex& index) const;
    // The tooltip of a cell of the ideal or the value column (empty for the others).
    QString dica(const QModelIndex& index) const;

    static QColor corDe(PosicaoFaixa p);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    int coluna(const QString& campo) const;
    std::optional<FaixaIdeal> faixaDoTexto(const QString& texto) const;
    // Colours the cell editor by the value its text stands for, as it is typed.
    void marcaEditor(QLineEdit* editor, int linha) const;

    DBGrid* m_grade;
    QString m_campoIdeal, m_campoValor;
    mutable QHash<QString, std::optional<FaixaIdeal>> m_faixas;
};

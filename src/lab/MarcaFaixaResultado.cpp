#include "lab/MarcaFaixaResultado.h"
#include "data/DataSet.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/FieldText.h"
#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>

namespace {

QString textoDaFaixa(const std::optional<FaixaIdeal>& f) {
    if (!f)
        return QString::fromUtf8("Sem faixa numérica reconhecida neste texto: os valores não são marcados.");
    return QString::fromUtf8("Faixa considerada: ") + DescreveFaixa(*f);
}

} // namespace

MarcaFaixaResultado::MarcaFaixaResultado(DBGrid* grade, const QString& campoIdeal, const QString& campoValor)
    : QStyledItemDelegate(grade), m_grade(grade), m_campoIdeal(campoIdeal), m_campoValor(campoValor) {
    setObjectName("MarcaFaixaResultado");
    grade->setItemDelegate(this);
    // A value stored or changed repaints its row at once.
    connect(grade->gridModel(), &QAbstractItemModel::dataChanged, grade->viewport(),
            [grade] { grade->viewport()->update(); });
}

QColor MarcaFaixaResultado::corDe(PosicaoFaixa p) {
    switch (p) {
    case PosicaoFaixa::Acima:
        return QColor(0xC0, 0x00, 0x00);
    case PosicaoFaixa::Abaixo:
        return QColor(0x00, 0x40, 0xC0);
    case PosicaoFaixa::Dentro:
        break;
    }
    return QColor();
}

int MarcaFaixaResultado::coluna(const QString& campo) const {
    const auto& cols = m_grade->columns();
    for (size_t i = 0; i < cols.size(); ++i)
        if (cols[i].fieldName.compare(campo, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

std::optional<FaixaIdeal> MarcaFaixaResultado::faixaDoTexto(const QString& texto) const {
    auto it = m_faixas.constFind(texto);
    if (it == m_faixas.constEnd()) it = m_faixas.insert(texto, LeFaixaIdeal(texto));
    return *it;
}

std::optional<FaixaIdeal> MarcaFaixaResultado::faixa(int linha) const {
    DataSet* ds = m_grade->gridModel()->dataSet();
    Field* ideal = ds && ds->active() ? ds->findField(m_campoIdeal) : nullptr;
    if (!ideal || linha < 0 || linha >= ds->recordCount()) return std::nullopt;
    return faixaDoTexto(ds->valueAt(linha, ideal).toString());
}

std::optional<PosicaoFaixa> MarcaFaixaResultado::posicao(int linha) const {
    const std::optional<FaixaIdeal> f = faixa(linha);
    if (!f) return std::nullopt;
    DataSet* ds = m_grade->gridModel()->dataSet();
    Field* valor = ds->findField(m_campoValor);
    if (!valor) return std::nullopt;
    const QVariant v = ds->valueAt(linha, valor);
    if (v.isNull()) return std::nullopt;
    return PosicaoNaFaixa(*f, v.toDouble());
}

QString MarcaFaixaResultado::textoExibido(const QModelIndex& index) const {
    QStyleOptionViewItem opt;
    initStyleOption(&opt, index);
    return opt.text;
}

QColor MarcaFaixaResultado::corExibida(const QModelIndex& index) const {
    QStyleOptionViewItem opt;
    opt.palette = m_grade->palette();
    initStyleOption(&opt, index);
    return opt.palette.color(QPalette::Text);
}

void MarcaFaixaResultado::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != coluna(m_campoValor)) return;
    const std::optional<PosicaoFaixa> p = posicao(index.row());
    if (!p || *p == PosicaoFaixa::Dentro) return;
    option->text += ' ' + SimboloPosicao(*p);
    const QColor cor = corDe(*p);
    option->palette.setColor(QPalette::Text, cor);
    option->palette.setColor(QPalette::HighlightedText, cor);
    option->font.setBold(true);
    option->features |= QStyleOptionViewItem::HasDisplay;
}

QString MarcaFaixaResultado::dica(const QModelIndex& index) const {
    if (index.column() == coluna(m_campoIdeal)) return textoDaFaixa(faixa(index.row()));
    if (index.column() != coluna(m_campoValor)) return QString();
    const std::optional<PosicaoFaixa> p = posicao(index.row());
    if (!p || *p == PosicaoFaixa::Dentro) return QString();
    return QString::fromUtf8(*p == PosicaoFaixa::Acima ? "Acima da faixa ideal (%1)"
                                                       : "Abaixo da faixa ideal (%1)")
        .arg(DescreveFaixa(*faixa(index.row())));
}

bool MarcaFaixaResultado::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                    const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event && event->type() == QEvent::ToolTip) {
        QString texto = dica(index);
        // The grid's own tooltip of the cell (a calculated value's formula) comes along.
        const QString daGrade = index.data(Qt::ToolTipRole).toString();
        if (!texto.isEmpty() && !daGrade.isEmpty()) texto += "\n" + daGrade;
        if (!texto.isEmpty()) {
            QToolTip::showText(event->globalPos(), texto, view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

QWidget* MarcaFaixaResultado::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    auto* editor = qobject_cast<QLineEdit*>(w);
    if (editor && index.column() == coluna(m_campoValor)) {
        editor->setObjectName("edtResultadoAtual");
        const int linha = index.row();
        connect(editor, &QLineEdit::textChanged, editor,
                [this, editor, linha] { marcaEditor(editor, linha); });
    }
    return w;
}

void MarcaFaixaResultado::marcaEditor(QLineEdit* editor, int linha) const {
    QPalette pal = m_grade->palette();
    QString dicaEditor;
    DataSet* ds = m_grade->gridModel()->dataSet();
    Field* valor = ds && ds->active() ? ds->findField(m_campoValor) : nullptr;
    const std::optional<FaixaIdeal> f = faixa(linha);
    if (valor && f) {
        // A text that is not (yet) a number leaves the editor unmarked.
        const fieldtext::Parsed lido = fieldtext::parse(*valor, editor->text());
        if (lido.ok && !lido.value.isNull()) {
            const PosicaoFaixa p = PosicaoNaFaixa(*f, lido.value.toDouble());
            if (p != PosicaoFaixa::Dentro) {
                pal.setColor(QPalette::Text, corDe(p));
                dicaEditor = QString::fromUtf8(p == PosicaoFaixa::Acima ? "%1 Acima da faixa ideal (%2)"
                                                                        : "%1 Abaixo da faixa ideal (%2)")
                                 .arg(SimboloPosicao(p), DescreveFaixa(*f));
            }
        }
    }
    editor->setPalette(pal);
    editor->setToolTip(dicaEditor);
}

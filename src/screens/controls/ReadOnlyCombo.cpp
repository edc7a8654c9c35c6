#include "screens/controls/ReadOnlyCombo.h"
#include <algorithm>

QString ReadOnlyCombo::comparavel(const QString& s) {
    const QString d = s.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(d.size());
    for (const QChar c : d)
        if (c.category() != QChar::Mark_NonSpacing) out += c;
    return out.toCaseFolded();
}

int ReadOnlyCombo::primeiraQueComeca(const QString& wanted, int from) {
    for (int i = std::max(0, from); i < count(); ++i)
        if (comparavel(itemText(i)).startsWith(wanted)) return i;
    return -1;
}

QString ReadOnlyCombo::typedSearch() const {
    if (m_search.isEmpty() || !m_lastKey.isValid() || m_lastKey.elapsed() > kSearchPauseMs) return QString();
    return m_search;
}

void ReadOnlyCombo::keyPressEvent(QKeyEvent* e) {
    const bool tab = e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab;
    if (isReadOnly() && !tab) {
        e->ignore();
        return;
    }
    if (tab) {
        QComboBox::keyPressEvent(e);
        return;
    }
    if (searchKey(e)) return;
    m_search.clear();
    antesDeEscolher(alcanceDaTecla(e));
    QComboBox::keyPressEvent(e);
}

int ReadOnlyCombo::alcanceDaTecla(const QKeyEvent* e) const {
    switch (e->key()) {
    case Qt::Key_End:
        return kAteOFim;
    case Qt::Key_PageDown:
        return maxVisibleItems();
    case Qt::Key_Home:
        return 0;
    default:
        return 1;
    }
}

void ReadOnlyCombo::focusOutEvent(QFocusEvent* e) {
    m_search.clear();
    QComboBox::focusOutEvent(e);
}

bool ReadOnlyCombo::searchKey(QKeyEvent* e) {
    if (isEditable() || (e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) return false;
    const QString going = typedSearch();
    if (e->key() == Qt::Key_Backspace) {
        if (going.isEmpty()) return false;
        m_search = going.left(going.size() - 1);
        m_lastKey.start();
        if (!m_search.isEmpty()) selectFirstBeginningWith(m_search);
        return true;
    }
    const QString text = e->text();
    if (text.isEmpty() || !text[0].isPrint()) return false;
    // Nothing typed yet: the space bar opens the list.
    if (going.isEmpty() && text.trimmed().isEmpty()) return false;
    antesDeBuscar();
    const QString wanted = going + text;
    m_lastKey.start();
    // A letter that no entry continues with is ignored; the search stays where it was.
    m_search = selectFirstBeginningWith(wanted) ? wanted : going;
    return true;
}

bool ReadOnlyCombo::selectFirstBeginningWith(const QString& typed) {
    const int i = primeiraQueComeca(comparavel(typed), 0);
    if (i < 0) return false;
    if (i != currentIndex()) {
        setCurrentIndex(i);
        emit activated(i);
        emit textActivated(itemText(i));
    }
    return true;
}

#pragma once
// A drop-down over a list of keys that can be read-only: it still takes the focus and passes Tab
// on, but neither keys nor the wheel change its choice. The data-aware drop-downs say when they
// are read-only.
//
// Typing selects, as the user types, the first entry that begins with what was typed (letter
// case and accents aside), blanks included: "Dureza M" goes past "Dureza Cálcica" to "Dureza
// Magnésio". The space bar opens the list only when nothing has been typed; Backspace takes back
// the last letter; a pause, another key or leaving the drop-down starts a new search.
#include "data/DataSet.h"
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWheelEvent>
#include <limits>

class ReadOnlyCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    virtual bool isReadOnly() const = 0;

    // What has been typed of the current search (empty when none is going on).
    QString typedSearch() const;
    // The pause after which typing starts a new search.
    static constexpr int kSearchPauseMs = 1500;

protected:
    // Keys of the list and of the field compare by their text, blanks around a text key aside.
    static QString listKey(const QVariant& v) { return keyText(v).trimmed(); }

    // The reach of a move to the last entry (End).
    static constexpr int kAteOFim = std::numeric_limits<int>::max();
    // Called before a key or the wheel may move the choice by up to `alcance` entries (kAteOFim:
    // to the last one): the entries it may reach must be there.
    virtual void antesDeEscolher(int alcance) { (void)alcance; }
    // Called before typing searches the entries; by default every entry is made reachable.
    virtual void antesDeBuscar() { antesDeEscolher(kAteOFim); }
    // The first entry from `from` on whose text begins with `wanted` (both as compared by the
    // search), -1 when none. A combo whose entries are read as needed reads on until one is found.
    virtual int primeiraQueComeca(const QString& wanted, int from);
    // The text the search compares: without accents, letter case folded.
    static QString comparavel(const QString& s);

    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override {
        if (isReadOnly()) {
            e->ignore();
            return;
        }
        m_search.clear();
        antesDeEscolher(1);
        QComboBox::wheelEvent(e);
    }
    void focusOutEvent(QFocusEvent* e) override;

private:
    // How far a key may move the choice.
    int alcanceDaTecla(const QKeyEvent* e) const;
    // Handles a key of the incremental search; false when the key is not one.
    bool searchKey(QKeyEvent* e);
    // Selects (as a choice of the user) the first entry beginning with `typed`; false when none does.
    bool selectFirstBeginningWith(const QString& typed);

    QString m_search;
    QElapsedTimer m_lastKey;
};

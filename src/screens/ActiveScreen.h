#pragma once
// What the record toolbar needs from the screen whose list it acts on: the list, the design
// condition and ordering that show-all and the filter keep, the group's record rights, the
// view switch, and a notice when the list's state (or the screen's delete rule) changed. The
// screen never touches the toolbar's buttons; the toolbar enables them from what it reads here.
#include <QString>
#include <functional>

class DataSource;

// The group's rights on a record screen (all true for group -1).
struct RecordRights {
    bool incluir = true;
    bool alterar = true;
    bool excluir = true;
    bool exportar = true;
};

class ActiveScreen {
public:
    // What changed: the list's state (every record button follows), or only whether the
    // current record may be deleted (the Excluir button follows).
    enum class Change { State, DeleteRule };
    using Listener = std::function<void(Change)>;

    virtual ~ActiveScreen() = default;

    // The list the toolbar's buttons and keys act on.
    virtual DataSource* listSource() = 0;
    // The where and order-by parts of the design SQL ("where ...", "order by ..."), which
    // show-all and the filter keep.
    virtual QString baseCondition() const = 0;
    virtual QString baseOrdering() const = 0;
    virtual RecordRights rights() const = 0;
    // Whether the current record may be deleted, besides the group's right.
    virtual bool mayDeleteCurrent() const { return true; }
    // Show-all opened the whole list: the screen opens it whole again next time.
    virtual void showAllDone() = 0;
    // Whether the grid view is the one shown.
    virtual bool showsGrid() const = 0;
    // Switches to the grid (true) or to the record form (false): the stored position of the
    // view left is written, the other one's is read, a change is cancelled and the view's first
    // control gets the focus.
    virtual void switchView(bool grid) = 0;
    // An insertion begins: the record form's first control gets the focus.
    virtual void focusForInsert() = 0;

    // The toolbar listens while the screen is its target.
    void setListener(Listener l) { m_listener = std::move(l); }

protected:
    void notifyChange(Change c) const {
        if (m_listener) m_listener(c);
    }

private:
    Listener m_listener;
};

#pragma once
// Message boxes and the standard file-open and font dialogs. Production code reaches them only
// through dialogs() (or the free functions below); tests install a ScriptedDialogs.
#include "platform/Seam.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <vector>

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// The caption of the system's message boxes.
inline const QString kSystemCaption = QStringLiteral("Aviso do Sistema");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message box. Character 13 in text or caption starts a new line. When
    // defaultButton is not one of the buttons, the first button is the default.
    virtual MsgAnswer message(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                              MsgAnswer defaultButton) = 0;
    // A file-open dialog; filter in the pipe form "Description|*.ext|Description2|*".
    // Returns the chosen path, empty when cancelled.
    virtual QString openFile(const QString& caption, const QString& startDir, const QString& filter) = 0;
    // A file-save dialog (the same filter form), asking before an existing file is replaced.
    // Returns the chosen path, empty when cancelled.
    virtual QString saveFile(const QString& caption, const QString& startPath, const QString& filter) = 0;
    // The font dialog; nothing when cancelled.
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
};

// Modal Qt windows with Portuguese button texts ("OK", "Sim", "Não", "Cancelar").
class QtDialogs : public Dialogs {
public:
    MsgAnswer message(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                      MsgAnswer defaultButton) override;
    QString openFile(const QString& caption, const QString& startDir, const QString& filter) override;
    QString saveFile(const QString& caption, const QString& startPath, const QString& filter) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
};

class QMessageBox;
class QWidget;
// Room a window manager's title bar takes beside the caption: its icon and three buttons.
inline constexpr int kTitleBarButtonsRoom = 150;
// The message box QtDialogs shows, built but not shown: plain text with line breaks for
// character 13, the buttons in the order of answersOf() with Portuguese texts, the default button
// set, wide enough for its caption in the title bar. The caller owns it.
QMessageBox* createMessageBox(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                              MsgAnswer defaultButton, QWidget* parent = nullptr);
// The answer of a box made by createMessageBox once it has closed; a box closed without a button
// answers its last button (Cancel where offered, otherwise OK or No).
MsgAnswer answerOf(const QMessageBox& box, MsgButtons buttons);

class QDialog;
// Runs a modal window and afterwards gives the keyboard back to the window and control that had
// it, also where no window manager does so: the screen's keys work again at once.
int execModal(QDialog& dialog);

// The window and control that have the keyboard when it is made; giveBack() hands it to them
// again (a progress window that closed leaves no window active where no window manager picks
// the next one). Nothing happens when the window is gone or is active already.
class KeyboardKeeper {
public:
    KeyboardKeeper();
    ~KeyboardKeeper();
    KeyboardKeeper(const KeyboardKeeper&) = delete;
    KeyboardKeeper& operator=(const KeyboardKeeper&) = delete;
    void giveBack() const;

private:
    struct Held;
    Held* m_held;
};

// The installed implementation, or the QtDialogs default.
Dialogs& dialogs();
// Installs an implementation (nullptr restores the default) and returns the one installed before
// (nullptr when it was the default).
Dialogs* installDialogs(Dialogs* dialogs);
using ScopedDialogs = ScopedSeam<Dialogs, &installDialogs>;

// Answers that a message box with these buttons can give, first button first.
std::vector<MsgAnswer> answersOf(MsgButtons buttons);
// defaultButton when the buttons offer it, otherwise the first button.
MsgAnswer effectiveDefault(MsgButtons buttons, MsgAnswer defaultButton);
// "Banco de Dados|*.fdb|Todos os Arquivos|*" -> "Banco de Dados (*.fdb);;Todos os Arquivos (*)".
// Several patterns of one entry are separated by ';' and become separated by blanks.
QString toQtFileFilter(const QString& pipeFilter);

// Convenience calls on dialogs().
MsgAnswer showMessage(const QString& text, const QString& caption = kSystemCaption,
                      MsgIcon icon = MsgIcon::Warning, MsgButtons buttons = MsgButtons::Ok,
                      MsgAnswer defaultButton = MsgAnswer::Ok);
// Exclamation icon, OK button, caption "Aviso do Sistema".
void warn(const QString& text);
// Information icon, OK button, caption "Aviso do Sistema".
void inform(const QString& text);
// Error icon, OK button, caption "Aviso do Sistema".
void showError(const QString& text);
// Question icon, caption "Aviso do Sistema".
MsgAnswer ask(const QString& text, MsgButtons buttons = MsgButtons::YesNo,
              MsgAnswer defaultButton = MsgAnswer::Yes);
// A refused user action: warn(text), then end the action with SilentAbort.
[[noreturn]] void warnAndAbort(const QString& text);

std::ostream& operator<<(std::ostream& out, MsgAnswer answer);
std::ostream& operator<<(std::ostream& out, MsgIcon icon);
std::ostream& operator<<(std::ostream& out, MsgButtons buttons);

// Test double: records every call and answers from scripted queues.
class ScriptedDialogs : public Dialogs {
public:
    struct MessageCall {
        QString text;
        QString caption;
        MsgIcon icon;
        MsgButtons buttons;
        MsgAnswer defaultButton;
    };
    struct FileCall {
        QString caption;
        QString startDir;
        QString filter;
    };

    // Answers for the next message boxes, in order. With the queue empty a message box answers
    // its default button. An answer that the box does not offer is recorded in mismatches() and
    // the default button is given instead.
    void queueAnswer(MsgAnswer answer) { m_answers.push_back(answer); }
    void queueAnswers(std::initializer_list<MsgAnswer> answers);
    // Decides the answers instead of the queue (the queue is used again after clearing it).
    void setResponder(std::function<MsgAnswer(const MessageCall&)> responder) {
        m_responder = std::move(responder);
    }
    // Paths for the next file-open and file-save dialogs; an empty path, or an empty queue, means
    // cancelled.
    void queueFile(const QString& path) { m_files.push_back(path); }
    // Fonts for the next font dialogs; nothing, or an empty queue, means cancelled.
    void queueFont(std::optional<QFont> font) { m_fonts.push_back(std::move(font)); }

    const std::vector<MessageCall>& messages() const { return m_messages; }
    int messageCount() const { return static_cast<int>(m_messages.size()); }
    // Texts of all message boxes so far.
    QStringList texts() const;
    // The last message box; throws std::logic_error when there was none.
    const MessageCall& lastMessage() const;
    const std::vector<FileCall>& fileCalls() const { return m_fileCalls; }
    const std::vector<QFont>& fontCalls() const { return m_fontCalls; }
    // Scripted answers not used yet.
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }
    // One line per scripted answer that its message box did not offer.
    const QStringList& mismatches() const { return m_mismatches; }
    // Forgets calls, queues, mismatches and the responder.
    void clear();

    MsgAnswer message(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                      MsgAnswer defaultButton) override;
    QString openFile(const QString& caption, const QString& startDir, const QString& filter) override;
    QString saveFile(const QString& caption, const QString& startPath, const QString& filter) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;

private:
    std::deque<MsgAnswer> m_answers;
    std::deque<QString> m_files;
    std::deque<std::optional<QFont>> m_fonts;
    std::function<MsgAnswer(const MessageCall&)> m_responder;
    std::vector<MessageCall> m_messages;
    std::vector<FileCall> m_fileCalls;
    std::vector<QFont> m_fontCalls;
    QStringList m_mismatches;
};

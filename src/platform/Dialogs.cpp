#include "platform/Dialogs.h"

#include "platform/Errors.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <algorithm>
#include <ostream>
#include <stdexcept>

namespace {

Dialogs* g_installed = nullptr;

const char* nameOf(MsgAnswer answer) {
    switch (answer) {
    case MsgAnswer::Ok:
        return "Ok";
    case MsgAnswer::Yes:
        return "Yes";
    case MsgAnswer::No:
        return "No";
    case MsgAnswer::Cancel:
        return "Cancel";
    }
    return "?";
}

const char* nameOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return "None";
    case MsgIcon::Information:
        return "Information";
    case MsgIcon::Warning:
        return "Warning";
    case MsgIcon::Error:
        return "Error";
    case MsgIcon::Question:
        return "Question";
    }
    return "?";
}

const char* nameOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return "Ok";
    case MsgButtons::YesNo:
        return "YesNo";
    case MsgButtons::YesNoCancel:
        return "YesNoCancel";
    case MsgButtons::OkCancel:
        return "OkCancel";
    }
    return "?";
}

// Character 13 is the line break of the system's texts.
QString withLineBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QWidget* dialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

QMessageBox::StandardButton toStandard(MsgAnswer answer) {
    switch (answer) {
    case MsgAnswer::Ok:
        return QMessageBox::Ok;
    case MsgAnswer::Yes:
        return QMessageBox::Yes;
    case MsgAnswer::No:
        return QMessageBox::No;
    case MsgAnswer::Cancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QString buttonText(MsgAnswer answer) {
    switch (answer) {
    case MsgAnswer::Ok:
        return QStringLiteral("OK");
    case MsgAnswer::Yes:
        return QStringLiteral("Sim");
    case MsgAnswer::No:
        return QStringLiteral("Não");
    case MsgAnswer::Cancel:
        return QStringLiteral("Cancelar");
    }
    return {};
}

QMessageBox::Icon toQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

// ---- default implementation ----

QMessageBox* createMessageBox(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                              MsgAnswer defaultButton, QWidget* parent) {
    auto* box = new QMessageBox(toQtIcon(icon), withLineBreaks(caption), withLineBreaks(text),
                                QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText);
    for (MsgAnswer answer : answersOf(buttons))
        box->addButton(toStandard(answer))->setText(buttonText(answer));
    box->setDefaultButton(toStandard(effectiveDefault(buttons, defaultButton)));
    // A window manager shortens a title that does not fit beside its buttons ("Aviso...ema"):
    // the box is at least as wide as its caption in a bold title font plus that room.
    QFont fonteTitulo = QApplication::font("QMdiSubWindowTitleBar");
    fonteTitulo.setBold(true);
    const int largura =
        QFontMetrics(fonteTitulo).horizontalAdvance(box->windowTitle()) + kTitleBarButtonsRoom;
    if (auto* grade = qobject_cast<QGridLayout*>(box->layout()))
        grade->addItem(new QSpacerItem(largura, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                       grade->rowCount(), 0, 1, std::max(1, grade->columnCount()));
    return box;
}

MsgAnswer answerOf(const QMessageBox& box, MsgButtons buttons) {
    const std::vector<MsgAnswer> answers = answersOf(buttons);
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (MsgAnswer answer : answers)
        if (toStandard(answer) == clicked) return answer;
    return answers.back();
}

MsgAnswer QtDialogs::message(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                             MsgAnswer defaultButton) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("Message box", text);
    // Guarded: the parent window may be destroyed (and the box with it) while the box is open.
    QPointer<QMessageBox> box = createMessageBox(text, caption, icon, buttons, defaultButton, dialogParent());
    execModal(*box);
    if (!box) return answersOf(buttons).back();
    const MsgAnswer answer = answerOf(*box, buttons);
    delete box;
    return answer;
}

QString QtDialogs::openFile(const QString& caption, const QString& startDir, const QString& filter) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("File-open dialog", caption);
    return QFileDialog::getOpenFileName(dialogParent(), caption, startDir, toQtFileFilter(filter));
}

QString QtDialogs::saveFile(const QString& caption, const QString& startPath, const QString& filter) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("File-save dialog", caption);
    return QFileDialog::getSaveFileName(dialogParent(), caption, startPath, toQtFileFilter(filter));
}

std::optional<QFont> QtDialogs::chooseFont(const QFont& initial) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("Font dialog", initial.toString());
    bool ok = false;
    // The dialog opens on the font as shown: its style preselected, never a substitute's first.
    const QFont font = QFontDialog::getFont(&ok, fontForDialog(initial), dialogParent());
    if (!ok) return std::nullopt;
    return font;
}

Dialogs& dialogs() {
    static QtDialogs defaultDialogs;
    return g_installed ? *g_installed : defaultDialogs;
}

Dialogs* installDialogs(Dialogs* dialogs) {
    Dialogs* previous = g_installed;
    g_installed = dialogs;
    return previous;
}

// ---- helpers ----

std::vector<MsgAnswer> answersOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return {MsgAnswer::Ok};
    case MsgButtons::YesNo:
        return {MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::YesNoCancel:
        return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    case MsgButtons::OkCancel:
        return {MsgAnswer::Ok, MsgAnswer::Cancel};
    }
    return {MsgAnswer::Ok};
}

MsgAnswer effectiveDefault(MsgButtons buttons, MsgAnswer defaultButton) {
    const std::vector<MsgAnswer> answers = answersOf(buttons);
    return std::find(answers.begin(), answers.end(), defaultButton) != answers.end() ? defaultButton
                                                                                     : answers.front();
}

QString toQtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
        if (patterns.isEmpty()) continue;
        const QString joined = patterns.join(QLatin1Char(' '));
        QString description = parts[i].trimmed();
        if (description.isEmpty()) description = joined;
        entries << description + QStringLiteral(" (") + joined + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

MsgAnswer showMessage(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                      MsgAnswer defaultButton) {
    return dialogs().message(text, caption, icon, buttons, defaultButton);
}

void warn(const QString& text) {
    showMessage(text, kSystemCaption, MsgIcon::Warning);
}

void inform(const QString& text) {
    showMessage(text, kSystemCaption, MsgIcon::Information);
}

void showError(const QString& text) {
    showMessage(text, kSystemCaption, MsgIcon::Error);
}

MsgAnswer ask(const QString& text, MsgButtons buttons, MsgAnswer defaultButton) {
    return showMessage(text, kSystemCaption, MsgIcon::Question, buttons, defaultButton);
}

void warnAndAbort(const QString& text) {
    warn(text);
    throw SilentAbort();
}

std::ostream& operator<<(std::ostream& out, MsgAnswer answer) {
    return out << nameOf(answer);
}
std::ostream& operator<<(std::ostream& out, MsgIcon icon) {
    return out << nameOf(icon);
}
std::ostream& operator<<(std::ostream& out, MsgButtons buttons) {
    return out << nameOf(buttons);
}

// ---- test double ----

void ScriptedDialogs::queueAnswers(std::initializer_list<MsgAnswer> answers) {
    m_answers.insert(m_answers.end(), answers.begin(), answers.end());
}

QStringList ScriptedDialogs::texts() const {
    QStringList result;
    for (const MessageCall& call : m_messages)
        result << call.text;
    return result;
}

const ScriptedDialogs::MessageCall& ScriptedDialogs::lastMessage() const {
    if (m_messages.empty()) throw std::logic_error("ScriptedDialogs: no message box was shown");
    return m_messages.back();
}

void ScriptedDialogs::clear() {
    m_answers.clear();
    m_files.clear();
    m_fonts.clear();
    m_responder = nullptr;
    m_messages.clear();
    m_fileCalls.clear();
    m_fontCalls.clear();
    m_mismatches.clear();
}

MsgAnswer ScriptedDialogs::message(const QString& text, const QString& caption, MsgIcon icon,
                                   MsgButtons buttons, MsgAnswer defaultButton) {
    m_messages.push_back({text, caption, icon, buttons, defaultButton});
    const MsgAnswer fallback = effectiveDefault(buttons, defaultButton);
    std::optional<MsgAnswer> scripted;
    if (m_responder) {
        scripted = m_responder(m_messages.back());
    } else if (!m_answers.empty()) {
        scripted = m_answers.front();
        m_answers.pop_front();
    }
    if (!scripted) return fallback;
    const std::vector<MsgAnswer> offered = answersOf(buttons);
    if (std::find(offered.begin(), offered.end(), *scripted) == offered.end()) {
        m_mismatches << QStringLiteral("answer %1 not offered by %2 box \"%3\"")
                            .arg(QLatin1String(nameOf(*scripted)), QLatin1String(nameOf(buttons)), text);
        return fallback;
    }
    return *scripted;
}

QString ScriptedDialogs::openFile(const QString& caption, const QString& startDir, const QString& filter) {
    m_fileCalls.push_back({caption, startDir, filter});
    if (m_files.empty()) return {};
    QString path = m_files.front();
    m_files.pop_front();
    return path;
}

QString ScriptedDialogs::saveFile(const QString& caption, const QString& startPath, const QString& filter) {
    return openFile(caption, startPath, filter);
}

std::optional<QFont> ScriptedDialogs::chooseFont(const QFont& initial) {
    m_fontCalls.push_back(initial);
    if (m_fonts.empty()) return std::nullopt;
    std::optional<QFont> font = m_fonts.front();
    m_fonts.pop_front();
    return font;
}

struct KeyboardKeeper::Held {
    QPointer<QWidget> window, focus;
};

KeyboardKeeper::KeyboardKeeper()
    : m_held(new Held{QApplication::activeWindow(), QApplication::focusWidget()}) {}

KeyboardKeeper::~KeyboardKeeper() {
    delete m_held;
}

void KeyboardKeeper::giveBack() const {
    QWidget* w = m_held->window;
    if (!w || !w->isVisible() || QApplication::activeWindow() == w) return;
    w->activateWindow();
    QApplication::setActiveWindow(w);
    QWidget* f = m_held->focus;
    if (f && f->isVisible() && f->isEnabled() && f->window() == w) f->setFocus(Qt::ActiveWindowFocusReason);
}

int execModal(QDialog& dialog) {
    QPointer<QWidget> janela = QApplication::activeWindow();
    // The control that had the keyboard, and its parents: a control gone meanwhile (a grid's
    // cell editor closed by the question) hands the keyboard to the nearest one left.
    QList<QPointer<QWidget>> foco;
    for (QWidget* w = QApplication::focusWidget(); w && !w->isWindow(); w = w->parentWidget())
        foco.append(w);
    // The window takes the keyboard as soon as it shows, also where no window manager gives it.
    QPointer<QDialog> d(&dialog);
    QTimer::singleShot(0, &dialog, [d] {
        if (!d || !d->isVisible()) return;
        d->raise();
        d->activateWindow();
    });
    const int r = dialog.exec();
    // The window below is usable again when no other modal window stands over it.
    QWidget* modal = QApplication::activeModalWidget();
    if (janela && janela->isVisible() && (modal == nullptr || modal == janela.data())) {
        janela->activateWindow();
        QApplication::setActiveWindow(janela);
        for (const QPointer<QWidget>& w : foco) {
            if (w && w->isVisible() && w->isEnabled() && w->window() == janela &&
                w->focusPolicy() != Qt::NoFocus) {
                w->setFocus(Qt::ActiveWindowFocusReason);
                break;
            }
        }
    }
    return r;
}

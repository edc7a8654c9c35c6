#pragma once
// The desktop's "open" action and starting a program hidden. Production code reaches them only
// through shell(); tests install a RecordingShell.
#include "platform/Seam.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file with its associated program, a web address in the browser or a "mailto:" link
    // in the mail program. False when the desktop has nothing to open it with (no program for
    // that kind of file) or the request could not be made.
    virtual bool open(const QString& target) = 0;
    // Starts a program detached, without a window of ours; false when it could not be started.
    virtual bool startHidden(const QString& program, const QStringList& arguments) = 0;
    // The "open" action on a program with a parameter line (blanks separate the parameters):
    // the program starts detached with a normal window. False when it could not be started.
    virtual bool openProgram(const QString& program, const QString& parameters) = 0;
};

class DesktopShell : public Shell {
public:
    bool open(const QString& target) override;
    bool startHidden(const QString& program, const QStringList& arguments) override;
    bool openProgram(const QString& program, const QString& parameters) override;
};

Shell& shell();
// Installs an implementation (nullptr restores the default) and returns the previous one.
Shell* installShell(Shell* shell);
using ScopedShell = ScopedSeam<Shell, &installShell>;

// What "open" hands to the desktop: text with a scheme ("http:", "https:", "mailto:", "file:")
// as an address, "www." text as an http address, anything else (a drive letter "C:" included)
// as a local file, made absolute.
QUrl shellTargetUrl(const QString& target);

// Test double: records every request and starts nothing.
class RecordingShell : public Shell {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };

    bool open(const QString& target) override {
        m_opened << target;
        return m_openResult;
    }
    bool startHidden(const QString& program, const QStringList& arguments) override {
        m_started.push_back({program, arguments});
        return m_startResult;
    }
    bool openProgram(const QString& program, const QString& parameters) override {
        m_programs.push_back({program, parameters});
        return m_startResult;
    }

    const QStringList& opened() const { return m_opened; }
    const std::vector<Start>& started() const { return m_started; }
    struct Program {
        QString program;
        QString parameters;
    };
    const std::vector<Program>& programs() const { return m_programs; }
    // What startHidden and openProgram answer (true unless set otherwise).
    void setStartResult(bool result) { m_startResult = result; }
    // What open answers (true unless set otherwise).
    void setOpenResult(bool result) { m_openResult = result; }
    void clear() {
        m_opened.clear();
        m_started.clear();
        m_programs.clear();
    }

private:
    QStringList m_opened;
    std::vector<Start> m_started;
    std::vector<Program> m_programs;
    bool m_startResult = true;
    bool m_openResult = true;
};

#pragma once
// Running processes by executable name, and ending one. Production code reaches them only
// through processes(); tests install a FakeProcesses.
#include "platform/Seam.h"

#include <QString>
#include <QStringList>
#include <vector>

struct ProcessEntry {
    qint64 pid = 0;
    // The executable's file name without folder ("prog.exe", "bash").
    QString name;
};

class Processes {
public:
    virtual ~Processes() = default;
    virtual std::vector<ProcessEntry> running() const = 0;
    // Ends the first running process whose executable name equals exeName, compared without
    // regard to letter case; processes that cannot be ended are skipped and the search goes on.
    // True when one was ended.
    virtual bool terminateFirst(const QString& exeName) = 0;
};

// Reads /proc. A process's name is the file name of its first command-line argument (which is
// what programs run through a compatibility layer show), else of its executable, else its
// kernel name; terminateFirst matches any of these.
class SystemProcesses : public Processes {
public:
    std::vector<ProcessEntry> running() const override;
    bool terminateFirst(const QString& exeName) override;
};

Processes& processes();
// Installs an implementation (nullptr restores the default) and returns the previous one.
Processes* installProcesses(Processes* processes);
using ScopedProcesses = ScopedSeam<Processes, &installProcesses>;

// The file name part of a path with '/' or '\' separators.
QString executableFileName(const QString& path);

// Test double: a scripted process table. terminateFirst removes the first matching entry that
// is not protected and records its pid.
class FakeProcesses : public Processes {
public:
    void add(qint64 pid, const QString& name, bool protectedFromTermination = false);
    std::vector<ProcessEntry> running() const override;
    bool terminateFirst(const QString& exeName) override;
    const std::vector<qint64>& terminated() const { return m_terminated; }

private:
    struct Entry {
        ProcessEntry process;
        bool protectedFromTermination;
    };
    std::vector<Entry> m_entries;
    std::vector<qint64> m_terminated;
};

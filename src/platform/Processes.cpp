#include "platform/Processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <sys/types.h>

namespace {

Processes* g_installed = nullptr;

struct ProcNames {
    qint64 pid = 0;
    QStringList names; // first command-line argument, executable, kernel name
};

QByteArray readProcFile(qint64 pid, const char* file) {
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

std::vector<ProcNames> scanProc() {
    std::vector<ProcNames> result;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid) continue;
        ProcNames proc;
        proc.pid = pid;
        const QByteArray cmdline = readProcFile(pid, "cmdline");
        const QString argv0 = executableFileName(QString::fromLocal8Bit(cmdline.left(cmdline.indexOf('\0'))));
        const QString exe =
            executableFileName(QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget());
        const QString comm = QString::fromLocal8Bit(readProcFile(pid, "comm")).trimmed();
        for (const QString& name : {argv0, exe, comm})
            if (!name.isEmpty() && !proc.names.contains(name)) proc.names << name;
        if (!proc.names.isEmpty()) result.push_back(proc);
    }
    return result;
}

} // namespace

QString executableFileName(const QString& path) {
    const QString text = path.trimmed();
    const qsizetype separator =
        std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
    return text.mid(separator + 1);
}

std::vector<ProcessEntry> SystemProcesses::running() const {
    std::vector<ProcessEntry> result;
    for (const ProcNames& proc : scanProc())
        result.push_back({proc.pid, proc.names.first()});
    return result;
}

bool SystemProcesses::terminateFirst(const QString& exeName) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("Process termination", exeName);
    for (const ProcNames& proc : scanProc()) {
        if (!proc.names.contains(exeName, Qt::CaseInsensitive)) continue;
        // A forced end, like the platform's process termination; a process we may not signal is skipped.
        if (::kill(static_cast<pid_t>(proc.pid), SIGKILL) == 0) return true;
    }
    return false;
}

Processes& processes() {
    static SystemProcesses systemProcesses;
    return g_installed ? *g_installed : systemProcesses;
}

Processes* installProcesses(Processes* processes) {
    Processes* previous = g_installed;
    g_installed = processes;
    return previous;
}

void FakeProcesses::add(qint64 pid, const QString& name, bool protectedFromTermination) {
    m_entries.push_back({{pid, name}, protectedFromTermination});
}

std::vector<ProcessEntry> FakeProcesses::running() const {
    std::vector<ProcessEntry> result;
    for (const Entry& entry : m_entries)
        result.push_back(entry.process);
    return result;
}

bool FakeProcesses::terminateFirst(const QString& exeName) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->protectedFromTermination || it->process.name.compare(exeName, Qt::CaseInsensitive) != 0)
            continue;
        m_terminated.push_back(it->process.pid);
        m_entries.erase(it);
        return true;
    }
    return false;
}

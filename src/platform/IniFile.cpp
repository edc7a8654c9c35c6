#include "platform/IniFile.h"

#include "platform/Cp1252.h"
#include "platform/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <stdexcept>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// The file as lines without their line ends, the bytes each line had in the file (with its
// line end) and the encoding to write changed lines in. A line the program does not change is
// written back with exactly its bytes.
struct Document {
    QStringList lines;
    QList<QByteArray> raw; // null for a line that is new or changed
    QList<QByteArray> eol; // the line end the line had in the file (empty for a new line)
    bool utf8 = false;

    void set(qsizetype i, const QString& text) {
        lines[i] = text;
        raw[i] = QByteArray();
    }
    void insert(qsizetype i, const QString& text) {
        lines.insert(i, text);
        raw.insert(i, QByteArray());
        eol.insert(i, QByteArray());
    }
    void append(const QString& text) { insert(lines.size(), text); }
    void remove(qsizetype i, qsizetype n = 1) {
        lines.remove(i, n);
        raw.remove(i, n);
        eol.remove(i, n);
    }
};

enum class LineKind { Other, Section, Key };

struct Line {
    LineKind kind = LineKind::Other;
    QString name;
    QString value;
};

Line parseLine(const QString& raw) {
    const QString text = raw.trimmed();
    Line line;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = LineKind::Section;
            line.name = text.mid(1, close - 1).trimmed();
        }
        return line;
    }
    if (text.startsWith(QLatin1Char(';'))) return line;
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq < 0) return line;
    line.kind = LineKind::Key;
    line.name = text.left(eq).trimmed();
    line.value = text.mid(eq + 1).trimmed();
    return line;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Document load(const QString& path) {
    Document doc;
    if (!IniFile::fileExists(path)) return doc;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return doc;
    QByteArray bytes = file.readAll();
    qsizetype start = 0;
    if (bytes.startsWith(kUtf8Bom)) {
        doc.utf8 = true;
        start = kUtf8Bom.size();
    }
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        QByteArray line = bytes.mid(start, end - start);
        QByteArray content = line;
        if (content.endsWith('\n')) content.chop(1);
        if (content.endsWith('\r')) content.chop(1);
        doc.lines << (doc.utf8 ? QString::fromUtf8(content) : cp1252::decode(content));
        doc.raw << line;
        doc.eol << line.mid(content.size());
        start = end;
    }
    if (doc.utf8 && !doc.raw.isEmpty()) doc.raw.first().prepend(kUtf8Bom);
    return doc;
}

void save(const QString& path, const Document& doc) {
    // New and changed lines end like the file's lines do (CRLF for a new file).
    QByteArray eol = "\r\n";
    for (const QByteArray& r : doc.raw) {
        if (r.endsWith('\n')) {
            eol = r.endsWith("\r\n") ? "\r\n" : "\n";
            break;
        }
    }
    QByteArray bytes;
    if (doc.utf8 && (doc.raw.isEmpty() || doc.raw.first().isNull())) bytes += kUtf8Bom;
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        if (!doc.raw[i].isNull()) {
            bytes += doc.raw[i];
            // A last line without its line end gets one when lines follow it.
            if (!doc.raw[i].endsWith('\n') && i + 1 < doc.lines.size()) bytes += eol;
            continue;
        }
        bytes += doc.utf8 ? doc.lines[i].toUtf8()
                          : cp1252::encodeChecked(doc.lines[i],
                                                  QStringLiteral("A configuração \"%1\"")
                                                      .arg(doc.lines[i].section(QLatin1Char('='), 0, 0)));
        bytes += doc.eol[i].isEmpty() ? eol : doc.eol[i];
    }
    // Written to a temporary file and renamed over the old one, so that a reader in another process
    // never sees half a file; where the folder forbids that, the file is written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !file.commit())
        throw AppError(QStringLiteral("Não foi possível gravar o arquivo de configuração %1.").arg(path));
}

// Lines [header + 1, end) belong to the section whose header is at `header`.
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = -1;
    bool found() const { return header >= 0; }
};

SectionRange findSection(const QStringList& lines, const QString& section, qsizetype from = 0) {
    SectionRange range;
    for (qsizetype i = from; i < lines.size(); ++i) {
        const Line line = parseLine(lines[i]);
        if (line.kind != LineKind::Section) continue;
        if (range.found()) {
            range.end = i;
            return range;
        }
        if (sameName(line.name, section)) range.header = i;
    }
    if (range.found()) range.end = lines.size();
    return range;
}

qsizetype findKey(const QStringList& lines, const SectionRange& range, const QString& key) {
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const Line line = parseLine(lines[i]);
        if (line.kind == LineKind::Key && sameName(line.name, key)) return i;
    }
    return -1;
}

void checkSectionName(const QString& section) {
    if (section.isEmpty() || section.contains(QLatin1Char(']')) || section.contains(QLatin1Char('\n')) ||
        section.contains(QLatin1Char('\r')))
        throw std::invalid_argument("IniFile: invalid section name \"" + section.toStdString() + '"');
}

void checkKeyName(const QString& key) {
    if (key.isEmpty() || key.contains(QLatin1Char('=')) || key.contains(QLatin1Char('\n')) ||
        key.contains(QLatin1Char('\r')) || key.startsWith(QLatin1Char('[')) ||
        key.startsWith(QLatin1Char(';')))
        throw std::invalid_argument("IniFile: invalid key name \"" + key.toStdString() + '"');
}

QString oneLine(QString value) {
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path) {}

bool IniFile::fileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void IniFile::createEmpty() const {
    if (exists()) return;
    QFile file(m_path);
    if (m_path.isEmpty() || !file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Não foi possível criar o arquivo de configuração %1.").arg(m_path));
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const {
    const Document doc = load(m_path);
    const SectionRange range = findSection(doc.lines, section.trimmed());
    if (!range.found()) return defaultValue;
    const qsizetype at = findKey(doc.lines, range, key.trimmed());
    if (at < 0) return defaultValue;
    return parseLine(doc.lines[at]).value;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    const QString text = readString(section, key).trimmed();
    bool ok = false;
    int value = 0;
    if (text.size() > 2 && text[0] == QLatin1Char('0') &&
        (text[1] == QLatin1Char('x') || text[1] == QLatin1Char('X')))
        value = text.mid(2).toInt(&ok, 16);
    else
        value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    checkSectionName(sectionName);
    checkKeyName(keyName);
    const QString text = oneLine(value);

    Document doc = load(m_path);
    const SectionRange range = findSection(doc.lines, sectionName);
    if (!range.found()) {
        doc.append(QLatin1Char('[') + sectionName + QLatin1Char(']'));
        doc.append(keyName + QLatin1Char('=') + text);
    } else if (const qsizetype at = findKey(doc.lines, range, keyName); at >= 0) {
        // The key keeps the spelling it has in the file; an unchanged value keeps its bytes.
        const Line old = parseLine(doc.lines[at]);
        if (old.value == text) return;
        doc.set(at, old.name + QLatin1Char('=') + text);
    } else {
        qsizetype insertAt = range.header + 1;
        for (qsizetype i = range.header + 1; i < range.end; ++i)
            if (parseLine(doc.lines[i]).kind == LineKind::Key) insertAt = i + 1;
        doc.insert(insertAt, keyName + QLatin1Char('=') + text);
    }
    save(m_path, doc);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::sectionExists(const QString& section) const {
    return findSection(load(m_path).lines, section.trimmed()).found();
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
    const Document doc = load(m_path);
    const SectionRange range = findSection(doc.lines, section.trimmed());
    return range.found() && findKey(doc.lines, range, key.trimmed()) >= 0;
}

QStringList IniFile::readSection(const QString& section) const {
    const Document doc = load(m_path);
    const SectionRange range = findSection(doc.lines, section.trimmed());
    QStringList keys;
    if (!range.found()) return keys;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const Line line = parseLine(doc.lines[i]);
        if (line.kind == LineKind::Key && !line.name.isEmpty() &&
            !keys.contains(line.name, Qt::CaseInsensitive))
            keys << line.name;
    }
    return keys;
}

QStringList IniFile::readSections() const {
    QStringList sections;
    for (const QString& raw : load(m_path).lines) {
        const Line line = parseLine(raw);
        if (line.kind == LineKind::Section && !sections.contains(line.name, Qt::CaseInsensitive))
            sections << line.name;
    }
    return sections;
}

void IniFile::eraseSection(const QString& section) {
    Document doc = load(m_path);
    bool changed = false;
    // A file may repeat a section; every copy goes, so that the section is really gone.
    for (SectionRange range = findSection(doc.lines, section.trimmed()); range.found();
         range = findSection(doc.lines, section.trimmed(), range.header)) {
        doc.remove(range.header, range.end - range.header);
        changed = true;
    }
    if (changed) save(m_path, doc);
}

void IniFile::deleteKey(const QString& section, const QString& key) {
    Document doc = load(m_path);
    SectionRange range = findSection(doc.lines, section.trimmed());
    if (!range.found()) return;
    bool changed = false;
    for (qsizetype at = findKey(doc.lines, range, key.trimmed()); at >= 0;
         at = findKey(doc.lines, range, key.trimmed())) {
        doc.remove(at);
        --range.end;
        changed = true;
    }
    if (changed) save(m_path, doc);
}

QString programSettingsPath(const QString& exePath) {
    if (exePath.isEmpty()) return {};
    const qsizetype separator =
        std::max(exePath.lastIndexOf(QLatin1Char('/')), exePath.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = exePath.lastIndexOf(QLatin1Char('.'));
    // A dot that opens the file name (".name") does not start an extension.
    if (dot > separator + 1) return exePath.left(dot) + QStringLiteral(".ini");
    return exePath + QStringLiteral(".ini");
}

#pragma once
// INI files as the Windows profile functions treat them.
//
// - "[Name]" starts a section; "key=value" lines belong to the section above them. Lines starting
//   with ';' are comments; other lines are kept but carry no key.
// - Section and key names compare without regard to letter case. The first section of a name and
//   its first key of a name win when a file repeats them.
// - Values are raw text: blanks around key and value are trimmed, nothing else is interpreted
//   ("12,40,230,382" is one value; quotes and backslashes are ordinary characters).
// - A missing file, section or key reads as the given default.
// - Writing rewrites the whole file and keeps every other line byte for byte (comments, blank
//   lines, order, line ends); a new key goes after the last key of its section, a new section at
//   the end of the file. Files are Windows-1252 (Windows ANSI, like the other programs' files);
//   new and changed lines end in CRLF. A value with a character outside Windows-1252 is refused
//   (AppError). A file that starts with a UTF-8 byte-order mark is read and written back as
//   UTF-8. Writing creates the file, never its folder.
// - Every read goes back to the file, so changes made by another process are always seen.
#include <QString>
#include <QStringList>

class IniFile {
public:
    explicit IniFile(const QString& path);

    const QString& fileName() const { return m_path; }
    // True when the file exists (as a file, not a folder).
    bool exists() const { return fileExists(m_path); }
    // Creates the file empty when it does not exist yet. Throws AppError when that fails.
    void createEmpty() const;

    QString readString(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    // Decimal, or hexadecimal with a "0x" prefix; anything else (and a missing key) reads the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // Written as "1"/"0"; any whole number other than 0 reads as true.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // Throw AppError when the file cannot be written (for instance when its folder is missing).
    // Line breaks inside a value are written as blanks, so that a value can never break the file.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    // True when the file has a "[section]" header (even with no keys under it).
    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    // Key names of a section in file order, as spelled in the file; empty when the section is missing.
    QStringList readSection(const QString& section) const;
    // Section names in file order, as spelled in the file.
    QStringList readSections() const;
    // Removes the section with every line under it (comments included). Nothing happens when it is missing.
    void eraseSection(const QString& section);
    // Removes one key line. Nothing happens when it is missing.
    void deleteKey(const QString& section, const QString& key);

    static bool fileExists(const QString& path);

private:
    QString m_path;
};

// The program settings file: the executable's path with its extension replaced by ".ini", or
// ".ini" appended when the file name has no extension (/a/b/cortivandela -> /a/b/cortivandela.ini,
// C:/x/prog.exe -> C:/x/prog.ini). Both separators, '/' and '\', are recognised. Empty for an
// empty path.
QString programSettingsPath(const QString& exePath);

#pragma once
// The RTF reader's parts, shared by the files of the codec: the state a group carries, the
// receiver of what is read, the keyword table, the code pages and the reader itself.
#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringDecoder>
#include <QTextListFormat>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

class QTextDocument;

namespace rtf {

// The code page of a font's \fcharset, 0 for "the document's code page".
int codePageOfCharset(int charset);

// Decodes bytes of any code page the document names: Windows-1252 by table, the others through
// Qt's converters when it has them, and Windows-1252 otherwise.
class CodePages {
public:
    QString decode(const QByteArray& bytes, int codePage);

private:
    QStringDecoder* decoderFor(int codePage);
    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};

// ---- Reader state ----

// Limits that keep hostile input cheap: nesting beyond kMaxDepth shares the deepest state, sizes
// and indents are clamped to what a page can show.
constexpr int kMaxDepth = 512;
constexpr int kMaxIndentTwips = 31680; // 22 inches
constexpr int kTwipsPerUnit = 15;      // 1440 twips per inch / 96 units per inch

enum class Dest : quint8 {
    Text,
    Skip,
    FontTable,
    ColorTable,
    ListTable,
    List,
    ListLevel,
    ListOverrideTable,
    ListOverride,
    Pn,
};

struct CharState {
    int font = -1; // font number of the font table; -1: the default font
    int halfPoints = 24;
    int fg = 0, bg = 0; // colour table indexes; 0 is the automatic colour
    qint8 vAlign = 0;   // 1 superscript, -1 subscript
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;

    bool operator==(const CharState&) const = default;
};

enum class PnKind : quint8 { None, Bullet, Numbered };

struct ParaState {
    int align = 0; // 0 left, 1 centre, 2 right, 3 justified
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    int ls = 0, ilvl = 0;
    PnKind pn = PnKind::None;
    QTextListFormat::Style pnStyle = QTextListFormat::ListDecimal;
    int pnLevel = 0;
};

struct Group {
    CharState ch;
    ParaState para;
    Dest dest = Dest::Text;
    int uc = 1;
    bool starred = false;
};

struct FontEntry {
    QString name;
    int charset = -1;
};

struct ListLevelDef {
    int nfc = 0;
};
struct ListDef {
    int id = 0;
    std::vector<ListLevelDef> levels;
};

// Receives what the reader finds.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void text(const QString& text, const CharState& ch) = 0;
    virtual void lineBreak(const CharState& ch) = 0;
    // End of a paragraph; final is true for a last paragraph that ended without a paragraph mark.
    virtual void paragraph(const ParaState& para, const CharState& mark, bool final) = 0;
    // End of input: a paragraph mark as the very last thing leaves no extra empty paragraph.
    virtual void finish(bool endedWithParagraphMark) = 0;
};

enum class Kw {
    Unknown,
    // destinations
    FontTbl,
    ColorTbl,
    ListTableKw,
    ListKw,
    ListLevelKw,
    ListOverrideTableKw,
    ListOverrideKw,
    PnKw,
    SkipDest,
    // header
    Deff,
    Ansicpg,
    Mac,
    Pc,
    Pca,
    Uc,
    U,
    // tables
    F,
    Fcharset,
    Red,
    Green,
    Blue,
    Levelnfc,
    Listid,
    Ls,
    Ilvl,
    // character
    Plain,
    Fs,
    B,
    I,
    Ul,
    Ulnone,
    Strike,
    V,
    Cf,
    Cb,
    Super,
    Sub,
    NoSuperSub,
    // paragraph
    Pard,
    Ql,
    Qc,
    Qr,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    Pnlvlblt,
    Pnlvlbody,
    Pnlvl,
    Pndec,
    Pnucltr,
    Pnlcltr,
    Pnucrm,
    Pnlcrm,
    // breaks and special characters
    Par,
    Line,
    Tab,
    Emdash,
    Endash,
    Emspace,
    Enspace,
    Bullet,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
};

// The control words the reader knows, by name.
const std::unordered_map<std::string_view, Kw>& keywords();
// The underline family: \ul, \uld, \uldb, \ulwave... but not the underline colour \ulc.
bool isUnderlineWord(std::string_view w);

// ---- The reader ----

class Reader {
public:
    // The input as units: below 0x100 a byte of the document, from 0x100 on a character that no
    // byte of Windows-1252 stands for (only a QString column can hold one; see unitsOf).
    Reader(QString units, Sink& sink) : m_in(std::move(units)), m_sink(sink) {}

    void run();

private:
    Group& top() { return m_groups.back(); }

    void openGroup();
    void closeGroup();

    // Reads the control sequence at p[i] (a backslash) and returns the index after it.
    qsizetype controlAt(qsizetype i);
    static bool isLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char16_t c) { return c >= '0' && c <= '9'; }
    static int hexValue(char16_t c);
    void controlSymbol(char16_t c);
    void controlWord(std::string_view word, bool hasParam, int param);

    // \uN (a UTF-16 unit, negative above 32767) followed by \ucN fallback characters to skip.
    void unicodeWord(Group& g, Kw kw, int param);
    void startPn(Group& g);
    void fontTableWord(Kw kw, bool hasParam, int param);
    void endFontEntry();
    void listTableWord(Group& g, Kw kw, int param);
    void pnWord(Group& g, Kw kw, int param);
    void textWord(Group& g, Kw kw, bool hasParam, int param);
    void addSpecial(char16_t c);

    // ---- text ----

    // Bytes above 0x7F wait for their neighbours: a double-byte code page decodes them in pairs.
    void addByte(uchar b);
    void addChar(QChar c);
    int currentCodePage() const;
    void flushBytes();
    void flushText();

    // Remembers the formats in force at the latest content, for a last paragraph without a mark.
    void noteContent();

    // Characters a text document gives a meaning of its own (block and frame markers, object
    // placeholders) and unpaired surrogates become the replacement character.
    static QString sanitized(QString s);
    void paragraphMark();

public:
    // Tables the sink needs to turn states into formats.
    const std::map<int, FontEntry>& fonts() const { return m_fonts; }
    int defaultFont() const { return m_defaultFont; }
    const std::vector<QColor>& colors() const { return m_colors; }
    // The numbering style of list override ls at a level; ListDisc for bullets.
    std::optional<QTextListFormat::Style> listStyle(int ls, int level) const;

private:
    const QString m_in;
    Sink& m_sink;
    std::vector<Group> m_groups;
    int m_excessDepth = 0;
    bool m_done = false;
    bool m_contentSinceMark = false;
    int m_marks = 0;
    ParaState m_lastPara;
    CharState m_lastChar;
    int m_ucSkip = 0;
    int m_codePage = 1252;
    int m_defaultFont = 0;
    CodePages m_codePages;
    QByteArray m_bytes;
    QString m_text;
    // font table
    std::map<int, FontEntry> m_fonts;
    int m_fontNumber = 0;
    bool m_fontOpen = false;
    QString m_fontName;
    // colour table
    std::vector<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
    // list tables
    std::vector<ListDef> m_lists;
    std::unordered_map<int, int> m_lsToListId;
    int m_overrideListId = 0, m_overrideLs = 0;
};

// Characters above U+007F of a QString column are the document's bytes as the data layer decoded
// them; turned back into bytes, the reader decodes them in the document's own code page. A
// character that no byte stands for stays itself, a unit from 0x100 on.
QString unitsOf(const QString& text);
// Replaces the document's content with what the reader finds in the units.
void readDocument(QString units, QTextDocument& doc);
// The text the reader finds in the units, paragraphs separated by "\n".
QString readPlainText(QString units);

} // namespace rtf

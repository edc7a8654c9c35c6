#include "platform/RtfCodec.h"
#include "platform/Cp1252.h"

#include <QHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// ---- Code pages ----

// The code page of a font's \fcharset, 0 for "the document's code page".
int codePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

const char* codecNameOf(int codePage) {
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    default:
        return nullptr;
    }
}

// Decodes bytes of any code page the document names: Windows-1252 by table, the others through
// Qt's converters when it has them, and Windows-1252 otherwise.
class CodePages {
public:
    QString decode(const QByteArray& bytes, int codePage) {
        if (codePage != 1252) {
            if (QStringDecoder* d = decoderFor(codePage)) return d->decode(bytes);
        }
        QString out;
        out.reserve(bytes.size());
        for (char b : bytes)
            out += cp1252::charOf(static_cast<uchar>(b));
        return out;
    }

private:
    QStringDecoder* decoderFor(int codePage) {
        auto it = m_decoders.find(codePage);
        if (it != m_decoders.end()) return it->second.get();
        std::unique_ptr<QStringDecoder> d;
        if (const char* name = codecNameOf(codePage)) {
            d = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
            if (!d->isValid()) d.reset();
        }
        QStringDecoder* raw = d.get();
        m_decoders.emplace(codePage, std::move(d));
        return raw;
    }
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

const std::unordered_map<std::string_view, Kw>& keywords() {
    static const std::unordered_map<std::string_view, Kw> map = [] {
        std::unordered_map<std::string_view, Kw> m{
            {"fonttbl", Kw::FontTbl},
            {"colortbl", Kw::ColorTbl},
            {"listtable", Kw::ListTableKw},
            {"list", Kw::ListKw},
            {"listlevel", Kw::ListLevelKw},
            {"listoverridetable", Kw::ListOverrideTableKw},
            {"listoverride", Kw::ListOverrideKw},
            {"pn", Kw::PnKw},
            {"deff", Kw::Deff},
            {"ansicpg", Kw::Ansicpg},
            {"mac", Kw::Mac},
            {"pc", Kw::Pc},
            {"pca", Kw::Pca},
            {"uc", Kw::Uc},
            {"u", Kw::U},
            {"f", Kw::F},
            {"fcharset", Kw::Fcharset},
            {"red", Kw::Red},
            {"green", Kw::Green},
            {"blue", Kw::Blue},
            {"levelnfc", Kw::Levelnfc},
            {"levelnfcn", Kw::Levelnfc},
            {"listid", Kw::Listid},
            {"ls", Kw::Ls},
            {"ilvl", Kw::Ilvl},
            {"plain", Kw::Plain},
            {"fs", Kw::Fs},
            {"b", Kw::B},
            {"i", Kw::I},
            {"ulnone", Kw::Ulnone},
            {"strike", Kw::Strike},
            {"striked", Kw::Strike},
            {"v", Kw::V},
            {"cf", Kw::Cf},
            {"cb", Kw::Cb},
            {"highlight", Kw::Cb},
            {"chcbpat", Kw::Cb},
            {"super", Kw::Super},
            {"sub", Kw::Sub},
            {"nosupersub", Kw::NoSuperSub},
            {"pard", Kw::Pard},
            {"ql", Kw::Ql},
            {"qc", Kw::Qc},
            {"qr", Kw::Qr},
            {"qj", Kw::Qj},
            {"li", Kw::Li},
            {"ri", Kw::Ri},
            {"fi", Kw::Fi},
            {"sb", Kw::Sb},
            {"sa", Kw::Sa},
            {"pnlvlblt", Kw::Pnlvlblt},
            {"pnlvlbody", Kw::Pnlvlbody},
            {"pnlvl", Kw::Pnlvl},
            {"pndec", Kw::Pndec},
            {"pnucltr", Kw::Pnucltr},
            {"pnlcltr", Kw::Pnlcltr},
            {"pnucrm", Kw::Pnucrm},
            {"pnlcrm", Kw::Pnlcrm},
            {"par", Kw::Par},
            {"sect", Kw::Par},
            {"page", Kw::Par},
            {"row", Kw::Par},
            {"line", Kw::Line},
            {"tab", Kw::Tab},
            {"cell", Kw::Tab},
            {"nestcell", Kw::Tab},
            {"emdash", Kw::Emdash},
            {"endash", Kw::Endash},
            {"emspace", Kw::Emspace},
            {"enspace", Kw::Enspace},
            {"bullet", Kw::Bullet},
            {"lquote", Kw::Lquote},
            {"rquote", Kw::Rquote},
            {"ldblquote", Kw::Ldblquote},
            {"rdblquote", Kw::Rdblquote},
        };
        // Destinations whose content is not document text.
        for (const char* d : {"pntext",
                              "listtext",
                              "pntxtb",
                              "pntxta",
                              "fldinst",
                              "pict",
                              "info",
                              "stylesheet",
                              "header",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footer",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "annotation",
                              "xe",
                              "tc",
                              "txe",
                              "rxe",
                              "themedata",
                              "colorschememapping",
                              "latentstyles",
                              "datastore",
                              "xmlnstbl",
                              "rsidtbl",
                              "generator",
                              "mmathPr",
                              "pgdsctbl",
                              "userprops",
                              "nonshppict",
                              "shp",
                              "shpinst",
                              "sp",
                              "sn",
                              "sv",
                              "leveltext",
                              "levelnumbers",
                              "listname",
                              "bkmkstart",
                              "bkmkend",
                              "filetbl",
                              "revtbl",
                              "listpicture",
                              "ftnsep",
                              "ftnsepc",
                              "ftncn",
                              "aftnsep",
                              "aftnsepc",
                              "aftncn",
                              "objdata",
                              "objclass",
                              "objname",
                              "template",
                              "author",
                              "title",
                              "subject",
                              "operator",
                              "keywords",
                              "comment",
                              "doccomm",
                              "company",
                              "manager",
                              "category",
                              "falt",
                              "panose",
                              "fontemb",
                              "fontfile",
                              "docvar",
                              "protusertbl",
                              "wgrffmtfilter",
                              "passwordhash",
                              "atnid",
                              "atnauthor",
                              "atndate",
                              "atnref",
                              "atrfstart",
                              "atrfend",
                              "blipuid",
                              "picprop",
                              "defchp",
                              "defpap",
                              "pgptbl",
                              "ud",
                              "upr"})
            m.emplace(d, Kw::SkipDest);
        return m;
    }();
    return map;
}

// The underline family: \ul, \uld, \uldb, \ulwave... but not the underline colour \ulc.
bool isUnderlineWord(std::string_view w) {
    return w.size() >= 2 && w.substr(0, 2) == "ul" && w != "ulnone" && w != "ulc";
}

// ---- The reader ----

class Reader {
public:
    // The input as units: below 0x100 a byte of the document, from 0x100 on a character that no
    // byte of Windows-1252 stands for (only a QString column can hold one; see unitsOf).
    Reader(QString units, Sink& sink) : m_in(std::move(units)), m_sink(sink) {}

    void run() {
        m_groups.reserve(32);
        m_groups.push_back(Group{});
        const char16_t* p = reinterpret_cast<const char16_t*>(m_in.constData());
        const qsizetype n = m_in.size();
        qsizetype i = 0;
        // Text before the first brace (leading blanks) is not part of the document.
        while (i < n && p[i] != '{')
            ++i;
        while (i < n && !m_done) {
            const char16_t c = p[i];
            if (c == '{') {
                ++i;
                openGroup();
            } else if (c == '}') {
                ++i;
                closeGroup();
            } else if (c == '\\') {
                i = controlAt(i);
            } else if (c < 0x20 && c != '\t') {
                ++i; // line ends and control bytes are not text
            } else {
                ++i;
                if (m_ucSkip > 0) {
                    --m_ucSkip;
                    continue;
                }
                if (c == '\t' || c >= 0x100) {
                    flushBytes();
                    addChar(QChar(c));
                } else {
                    addByte(static_cast<uchar>(c));
                }
            }
        }
        flushText();
        // An unterminated document ends here: what was read is kept. Text after the last
        // paragraph mark is a last paragraph in the format it was written in.
        if (m_contentSinceMark) m_sink.paragraph(m_lastPara, m_lastChar, true);
        m_sink.finish(!m_contentSinceMark && m_marks > 0);
    }

private:
    Group& top() { return m_groups.back(); }

    void openGroup() {
        flushText();
        m_ucSkip = 0;
        if (static_cast<int>(m_groups.size()) >= kMaxDepth) {
            ++m_excessDepth;
            return;
        }
        Group g = top();
        g.starred = false;
        m_groups.push_back(g);
    }

    void closeGroup() {
        flushText();
        m_ucSkip = 0;
        if (m_excessDepth > 0) {
            --m_excessDepth;
            return;
        }
        if (m_groups.size() <= 1) return; // a stray closing brace
        const Group closing = m_groups.back();
        m_groups.pop_back();
        Group& parent = top();
        if (closing.dest == Dest::FontTable && parent.dest == Dest::FontTable) endFontEntry();
        if (closing.dest == Dest::FontTable && parent.dest != Dest::FontTable) endFontEntry();
        if (closing.dest == Dest::ListOverride && parent.dest != Dest::ListOverride && m_overrideLs != 0)
            m_lsToListId[m_overrideLs] = m_overrideListId;
        if (closing.dest == Dest::Pn && parent.dest != Dest::Pn) {
            // The numbering described by {\*\pn ...} belongs to the paragraph around it.
            parent.para.pn = closing.para.pn;
            parent.para.pnStyle = closing.para.pnStyle;
            parent.para.pnLevel = closing.para.pnLevel;
        }
        // The document's own group closed; what follows is not part of it.
        if (m_groups.size() == 1) m_done = true;
    }

    // Reads the control sequence at p[i] (a backslash) and returns the index after it.
    qsizetype controlAt(qsizetype i) {
        const char16_t* p = reinterpret_cast<const char16_t*>(m_in.constData());
        const qsizetype n = m_in.size();
        ++i;
        if (i >= n) return i;
        const char16_t c = p[i];
        if (!isLetter(c)) {
            ++i;
            if (c == '\'') {
                int hi = i < n ? hexValue(p[i]) : -1;
                int lo = i + 1 < n ? hexValue(p[i + 1]) : -1;
                if (hi < 0) return i; // a broken \' escape is dropped
                if (lo < 0) return i + 1;
                i += 2;
                if (m_ucSkip > 0) {
                    --m_ucSkip;
                    return i;
                }
                addByte(static_cast<uchar>(hi * 16 + lo));
                return i;
            }
            if (m_ucSkip > 0) {
                if (c != '\r' && c != '\n') --m_ucSkip;
                return i;
            }
            controlSymbol(c);
            return i;
        }
        // A control word: letters, an optional signed number, an optional blank as delimiter.
        char letters[32];
        size_t length = 0;
        while (i < n && isLetter(p[i])) {
            if (length < sizeof letters) letters[length++] = static_cast<char>(p[i]);
            ++i;
        }
        const std::string_view word(letters, length);
        bool hasParam = false;
        bool negative = false;
        qint64 value = 0;
        if (i < n && p[i] == '-' && i + 1 < n && isDigit(p[i + 1])) {
            negative = true;
            ++i;
        }
        while (i < n && isDigit(p[i])) {
            hasParam = true;
            if (value < 100000000000LL) value = value * 10 + (p[i] - '0');
            ++i;
        }
        if (i < n && p[i] == ' ') ++i;
        if (negative) value = -value;
        const int param = static_cast<int>(std::clamp<qint64>(value, -2147483647LL, 2147483647LL));

        if (word == "bin") {
            // Binary data: skipped whole, however large it claims to be.
            if (hasParam && param > 0) i += std::min<qsizetype>(param, n - i);
            if (m_ucSkip > 0) --m_ucSkip;
            return i;
        }
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return i;
        }
        controlWord(word, hasParam, param);
        return i;
    }

    static bool isLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char16_t c) { return c >= '0' && c <= '9'; }
    static int hexValue(char16_t c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    void controlSymbol(char16_t c) {
        Group& g = top();
        if (c == '*') {
            g.starred = true;
            return;
        }
        if (g.dest == Dest::Skip) return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            flushBytes();
            addChar(QChar(c));
            break;
        case '~':
            flushBytes();
            addChar(QChar(0x00A0));
            break;
        case '_':
            flushBytes();
            addChar(QChar(0x2011));
            break;
        case '\r':
        case '\n':
            paragraphMark();
            break;
        default: // \- optional hyphen, \| \: index marks and unknown symbols
            break;
        }
    }

    void controlWord(std::string_view word, bool hasParam, int param) {
        Group& g = top();
        const auto& map = keywords();
        const auto it = map.find(word);
        const Kw kw = it == map.end() ? (isUnderlineWord(word) ? Kw::Ul : Kw::Unknown) : it->second;

        if (g.starred) {
            // \*\word: an optional destination; unknown ones are skipped whole.
            g.starred = false;
            if (g.dest == Dest::Skip) return;
            flushText();
            if (kw == Kw::PnKw) {
                startPn(g);
            } else if (kw == Kw::ListTableKw) {
                g.dest = Dest::ListTable;
            } else if (kw == Kw::ListOverrideTableKw) {
                g.dest = Dest::ListOverrideTable;
            } else {
                g.dest = Dest::Skip;
            }
            return;
        }
        if (g.dest == Dest::Skip) return;
        if (kw == Kw::U || kw == Kw::Uc) {
            unicodeWord(g, kw, param);
            return;
        }

        switch (kw) {
        case Kw::SkipDest:
            flushText();
            g.dest = Dest::Skip;
            return;
        case Kw::FontTbl:
            flushText();
            g.dest = Dest::FontTable;
            return;
        case Kw::ColorTbl:
            flushText();
            g.dest = Dest::ColorTable;
            m_red = m_green = m_blue = -1;
            return;
        case Kw::ListTableKw:
            flushText();
            g.dest = Dest::ListTable;
            return;
        case Kw::ListOverrideTableKw:
            flushText();
            g.dest = Dest::ListOverrideTable;
            return;
        case Kw::PnKw:
            flushText();
            startPn(g);
            return;
        default:
            break;
        }

        switch (g.dest) {
        case Dest::FontTable:
            fontTableWord(kw, hasParam, param);
            return;
        case Dest::ColorTable:
            if (kw == Kw::Red) m_red = std::clamp(param, 0, 255);
            if (kw == Kw::Green) m_green = std::clamp(param, 0, 255);
            if (kw == Kw::Blue) m_blue = std::clamp(param, 0, 255);
            return;
        case Dest::ListTable:
        case Dest::List:
        case Dest::ListLevel:
            listTableWord(g, kw, param);
            return;
        case Dest::ListOverrideTable:
        case Dest::ListOverride:
            if (kw == Kw::ListOverrideKw) {
                g.dest = Dest::ListOverride;
                m_overrideListId = 0;
                m_overrideLs = 0;
            } else if (g.dest == Dest::ListOverride && kw == Kw::Listid) {
                m_overrideListId = param;
            } else if (g.dest == Dest::ListOverride && kw == Kw::Ls) {
                m_overrideLs = param;
            }
            return;
        case Dest::Pn:
            pnWord(g, kw, param);
            return;
        case Dest::Text:
        case Dest::Skip:
            break;
        }
        textWord(g, kw, hasParam, param);
    }

    // \uN (a UTF-16 unit, negative above 32767) followed by \ucN fallback characters to skip.
    void unicodeWord(Group& g, Kw kw, int param) {
        if (kw == Kw::Uc) {
            g.uc = std::clamp(param, 0, 16);
            return;
        }
        flushBytes();
        const int code = param < 0 ? param + 65536 : param;
        if (code == 0x2029 && g.dest == Dest::Text) {
            paragraphMark();
        } else if (code >= 0x20 && code <= 0xFFFF) {
            addChar(QChar(static_cast<char16_t>(code)));
        } else if (code == '\t') {
            addChar(QChar('\t'));
        }
        m_ucSkip = g.uc;
    }

    void startPn(Group& g) {
        g.dest = Dest::Pn;
        g.para.pn = PnKind::Numbered;
        g.para.pnStyle = QTextListFormat::ListDecimal;
        g.para.pnLevel = 0;
    }

    void fontTableWord(Kw kw, bool hasParam, int param) {
        if (kw == Kw::F && hasParam) {
            endFontEntry();
            m_fontNumber = param;
            m_fontName.clear();
            m_fontOpen = true;
            m_fonts[param] = FontEntry{};
        } else if (kw == Kw::Fcharset && m_fontOpen) {
            m_fonts[m_fontNumber].charset = param;
        }
    }

    void endFontEntry() {
        if (!m_fontOpen) return;
        m_fontOpen = false;
        QString name = m_fontName.trimmed();
        if (name.endsWith(';')) name.chop(1);
        m_fonts[m_fontNumber].name = name.trimmed();
        m_fontName.clear();
    }

    void listTableWord(Group& g, Kw kw, int param) {
        if (kw == Kw::ListKw && g.dest == Dest::ListTable) {
            g.dest = Dest::List;
            m_lists.push_back(ListDef{});
        } else if (kw == Kw::ListLevelKw && g.dest == Dest::List && !m_lists.empty()) {
            g.dest = Dest::ListLevel;
            if (m_lists.back().levels.size() < 9) m_lists.back().levels.push_back(ListLevelDef{});
        } else if (kw == Kw::Levelnfc && g.dest == Dest::ListLevel && !m_lists.empty() &&
                   !m_lists.back().levels.empty()) {
            m_lists.back().levels.back().nfc = param;
        } else if (kw == Kw::Listid && g.dest == Dest::List && !m_lists.empty()) {
            m_lists.back().id = param;
        }
    }

    void pnWord(Group& g, Kw kw, int param) {
        ParaState& p = g.para;
        switch (kw) {
        case Kw::Pnlvlblt:
            p.pn = PnKind::Bullet;
            p.pnStyle = QTextListFormat::ListDisc;
            break;
        case Kw::Pnlvlbody:
            p.pn = PnKind::Numbered;
            break;
        case Kw::Pnlvl:
            p.pnLevel = std::clamp(param - 1, 0, 8);
            break;
        case Kw::Pndec:
            p.pnStyle = QTextListFormat::ListDecimal;
            break;
        case Kw::Pnucltr:
            p.pnStyle = QTextListFormat::ListUpperAlpha;
            break;
        case Kw::Pnlcltr:
            p.pnStyle = QTextListFormat::ListLowerAlpha;
            break;
        case Kw::Pnucrm:
            p.pnStyle = QTextListFormat::ListUpperRoman;
            break;
        case Kw::Pnlcrm:
            p.pnStyle = QTextListFormat::ListLowerRoman;
            break;
        default:
            break;
        }
    }

    void textWord(Group& g, Kw kw, bool hasParam, int param) {
        const bool on = !hasParam || param != 0;
        switch (kw) {
        case Kw::Deff:
            m_defaultFont = param;
            return;
        case Kw::Ansicpg:
            flushBytes();
            m_codePage = param > 0 ? param : 1252;
            return;
        case Kw::Mac:
            flushBytes();
            m_codePage = 10000;
            return;
        case Kw::Pc:
            flushBytes();
            m_codePage = 437;
            return;
        case Kw::Pca:
            flushBytes();
            m_codePage = 850;
            return;
        case Kw::Par:
            paragraphMark();
            return;
        case Kw::Line:
            flushText();
            if (!g.ch.hidden) {
                m_sink.lineBreak(g.ch);
                noteContent();
            }
            return;
        case Kw::Tab:
            flushBytes();
            addChar(QChar('\t'));
            return;
        case Kw::Emdash:
            return addSpecial(0x2014);
        case Kw::Endash:
            return addSpecial(0x2013);
        case Kw::Emspace:
            return addSpecial(0x2003);
        case Kw::Enspace:
            return addSpecial(0x2002);
        case Kw::Bullet:
            return addSpecial(0x2022);
        case Kw::Lquote:
            return addSpecial(0x2018);
        case Kw::Rquote:
            return addSpecial(0x2019);
        case Kw::Ldblquote:
            return addSpecial(0x201C);
        case Kw::Rdblquote:
            return addSpecial(0x201D);
        default:
            break;
        }

        // Everything below changes a format: text so far keeps the format it was written in.
        flushText();
        CharState& ch = g.ch;
        ParaState& pa = g.para;
        switch (kw) {
        case Kw::F:
            ch.font = param;
            break;
        case Kw::Plain:
            ch = CharState{};
            break;
        case Kw::Fs:
            ch.halfPoints = hasParam ? std::clamp(param, 2, 800) : 24;
            break;
        case Kw::B:
            ch.bold = on;
            break;
        case Kw::I:
            ch.italic = on;
            break;
        case Kw::Ul:
            ch.underline = on;
            break;
        case Kw::Ulnone:
            ch.underline = false;
            break;
        case Kw::Strike:
            ch.strike = on;
            break;
        case Kw::V:
            ch.hidden = on;
            break;
        case Kw::Cf:
            ch.fg = std::max(param, 0);
            break;
        case Kw::Cb:
            ch.bg = std::max(param, 0);
            break;
        case Kw::Super:
            ch.vAlign = on ? 1 : 0;
            break;
        case Kw::Sub:
            ch.vAlign = on ? -1 : 0;
            break;
        case Kw::NoSuperSub:
            ch.vAlign = 0;
            break;
        case Kw::Pard:
            pa = ParaState{};
            break;
        case Kw::Ql:
            pa.align = 0;
            break;
        case Kw::Qc:
            pa.align = 1;
            break;
        case Kw::Qr:
            pa.align = 2;
            break;
        case Kw::Qj:
            pa.align = 3;
            break;
        case Kw::Li:
            pa.li = std::clamp(param, -kMaxIndentTwips, kMaxIndentTwips);
            break;
        case Kw::Ri:
            pa.ri = std::clamp(param, -kMaxIndentTwips, kMaxIndentTwips);
            break;
        case Kw::Fi:
            pa.fi = std::clamp(param, -kMaxIndentTwips, kMaxIndentTwips);
            break;
        case Kw::Sb:
            pa.sb = std::clamp(param, 0, kMaxIndentTwips);
            break;
        case Kw::Sa:
            pa.sa = std::clamp(param, 0, kMaxIndentTwips);
            break;
        case Kw::Ls:
            pa.ls = param;
            break;
        case Kw::Ilvl:
            pa.ilvl = std::clamp(param, 0, 8);
            break;
        default:
            break;
        }
    }

    void addSpecial(char16_t c) {
        flushBytes();
        addChar(QChar(c));
    }

    // ---- text ----

    // Bytes above 0x7F wait for their neighbours: a double-byte code page decodes them in pairs.
    void addByte(uchar b) {
        if (b < 0x80) {
            flushBytes();
            addChar(QChar(b));
        } else {
            m_bytes.append(static_cast<char>(b));
        }
    }

    void addChar(QChar c) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t') || (u >= 0x7F && u < 0xA0)) return; // control characters are not text
        Group& g = top();
        switch (g.dest) {
        case Dest::Text:
            if (!g.ch.hidden) m_text += c;
            break;
        case Dest::FontTable:
            if (m_fontOpen) {
                if (c == ';')
                    endFontEntry();
                else
                    m_fontName += c;
            }
            break;
        case Dest::ColorTable:
            if (c == ';') {
                m_colors.push_back(
                    m_red < 0 && m_green < 0 && m_blue < 0
                        ? QColor()
                        : QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
                m_red = m_green = m_blue = -1;
            }
            break;
        default:
            break;
        }
    }

    int currentCodePage() const {
        const auto it = m_fonts.find(m_groups.back().ch.font < 0 ? m_defaultFont : m_groups.back().ch.font);
        if (it != m_fonts.end()) {
            const int cp = codePageOfCharset(it->second.charset);
            if (cp != 0) return cp;
        }
        return m_codePage;
    }

    void flushBytes() {
        if (m_bytes.isEmpty()) return;
        const QString decoded = m_codePages.decode(m_bytes, currentCodePage());
        m_bytes.clear();
        for (QChar c : decoded)
            addChar(c);
    }

    void flushText() {
        flushBytes();
        if (m_text.isEmpty()) return;
        m_sink.text(sanitized(m_text), top().ch);
        m_text.clear();
        noteContent();
    }

    // Remembers the formats in force at the latest content, for a last paragraph without a mark.
    void noteContent() {
        m_contentSinceMark = true;
        m_lastPara = top().para;
        m_lastChar = top().ch;
    }

    // Characters a text document gives a meaning of its own (block and frame markers, object
    // placeholders) and unpaired surrogates become the replacement character.
    static QString sanitized(QString s) {
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t c = s[i].unicode();
            if (c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC || c == 0xFFFE || c == 0xFFFF || c == 0x2029 ||
                c == 0x2028) {
                s[i] = QChar(0xFFFD);
            } else if (QChar::isHighSurrogate(c)) {
                if (i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode()))
                    ++i;
                else
                    s[i] = QChar(0xFFFD);
            } else if (QChar::isLowSurrogate(c)) {
                s[i] = QChar(0xFFFD);
            }
        }
        return s;
    }

    void paragraphMark() {
        flushText();
        if (top().dest != Dest::Text) return;
        m_sink.paragraph(top().para, top().ch, false);
        m_contentSinceMark = false;
        ++m_marks;
    }

public:
    // Tables the sink needs to turn states into formats.
    const std::map<int, FontEntry>& fonts() const { return m_fonts; }
    int defaultFont() const { return m_defaultFont; }
    const std::vector<QColor>& colors() const { return m_colors; }
    // The numbering style of list override ls at a level; ListDisc for bullets.
    std::optional<QTextListFormat::Style> listStyle(int ls, int level) const {
        const auto o = m_lsToListId.find(ls);
        const int listId = o == m_lsToListId.end() ? -1 : o->second;
        for (const ListDef& l : m_lists) {
            if (l.id != listId) continue;
            const int nfc =
                l.levels.empty()
                    ? 0
                    : l.levels[static_cast<size_t>(std::min<int>(level, l.levels.size() - 1))].nfc;
            switch (nfc) {
            case 255:
                return std::nullopt; // no number: a plain paragraph
            case 23:
                return QTextListFormat::ListDisc;
            case 1:
                return QTextListFormat::ListUpperRoman;
            case 2:
                return QTextListFormat::ListLowerRoman;
            case 3:
                return QTextListFormat::ListUpperAlpha;
            case 4:
                return QTextListFormat::ListLowerAlpha;
            default:
                return QTextListFormat::ListDecimal;
            }
        }
        return QTextListFormat::ListDisc; // a list the table does not describe shows bullets
    }

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

// ---- Sinks ----

class DocumentSink : public Sink {
public:
    explicit DocumentSink(QTextDocument& doc) : m_doc(doc), m_cursor(&doc) {}
    void setReader(const Reader* r) { m_reader = r; }

    void text(const QString& text, const CharState& ch) override { m_cursor.insertText(text, format(ch)); }
    void lineBreak(const CharState& ch) override {
        m_cursor.insertText(QString(QChar::LineSeparator), format(ch));
    }
    void paragraph(const ParaState& para, const CharState& mark, bool final) override {
        QTextBlockFormat bf;
        bf.setAlignment(para.align == 1   ? Qt::AlignHCenter
                        : para.align == 2 ? Qt::AlignRight
                        : para.align == 3 ? Qt::AlignJustify
                                          : Qt::AlignLeft);
        if (para.sb) bf.setTopMargin(para.sb / double(kTwipsPerUnit));
        if (para.sa) bf.setBottomMargin(para.sa / double(kTwipsPerUnit));
        if (para.ri) bf.setRightMargin(para.ri / double(kTwipsPerUnit));

        std::optional<QTextListFormat::Style> style;
        int level = 0;
        QString key;
        if (para.ls > 0) {
            style = m_reader->listStyle(para.ls, para.ilvl);
            level = para.ilvl;
            key = QStringLiteral("ls%1.%2").arg(para.ls).arg(para.ilvl);
        } else if (para.pn != PnKind::None) {
            style = para.pn == PnKind::Bullet ? QTextListFormat::ListDisc : para.pnStyle;
            // Without an outline level the indent tells how deep the item is.
            level = para.pnLevel > 0
                        ? para.pnLevel
                        : std::max(0, qRound(para.li / double(kTwipsPerUnit) / m_doc.indentWidth()) - 1);
            key = QStringLiteral("pn%1.%2").arg(int(*style)).arg(level);
        }
        if (!style) {
            if (para.li) bf.setLeftMargin(para.li / double(kTwipsPerUnit));
            if (para.fi) bf.setTextIndent(para.fi / double(kTwipsPerUnit));
        }
        m_cursor.setBlockFormat(bf);
        m_cursor.setBlockCharFormat(format(mark));
        if (style) {
            QTextList* list = nullptr;
            if (para.ls > 0) {
                list = m_lsLists.value(key);
            } else if (m_previousKey == key) {
                list = m_previousList;
            }
            if (list) {
                list->add(m_cursor.block());
            } else {
                QTextListFormat lf;
                lf.setStyle(*style);
                lf.setIndent(level + 1);
                list = m_cursor.createList(lf);
                if (para.ls > 0) m_lsLists.insert(key, list);
            }
            m_previousKey = key;
            m_previousList = list;
        } else {
            m_previousKey.clear();
            m_previousList = nullptr;
        }
        if (!final) m_cursor.insertBlock(QTextBlockFormat(), format(mark));
    }
    void finish(bool endedWithParagraphMark) override {
        if (!endedWithParagraphMark) return;
        // "text\par}" is one paragraph: the empty block the last mark opened goes away.
        m_cursor.movePosition(QTextCursor::End);
        m_cursor.deletePreviousChar();
    }

private:
    QTextCharFormat format(const CharState& ch) {
        if (m_haveLast && ch == m_lastState) return m_lastFormat;
        QTextCharFormat f;
        const auto& fonts = m_reader->fonts();
        const auto it = fonts.find(ch.font < 0 ? m_reader->defaultFont() : ch.font);
        if (it != fonts.end() && !it->second.name.isEmpty()) f.setFontFamilies(QStringList{it->second.name});
        f.setFontPointSize(ch.halfPoints / 2.0);
        f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(ch.italic);
        f.setFontUnderline(ch.underline);
        f.setFontStrikeOut(ch.strike);
        const auto& colors = m_reader->colors();
        if (ch.fg > 0 && ch.fg < static_cast<int>(colors.size()) && colors[ch.fg].isValid())
            f.setForeground(colors[ch.fg]);
        if (ch.bg > 0 && ch.bg < static_cast<int>(colors.size()) && colors[ch.bg].isValid())
            f.setBackground(colors[ch.bg]);
        if (ch.vAlign > 0) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        if (ch.vAlign < 0) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        m_lastState = ch;
        m_lastFormat = f;
        m_haveLast = true;
        return f;
    }

    QTextDocument& m_doc;
    QTextCursor m_cursor;
    const Reader* m_reader = nullptr;
    QHash<QString, QTextList*> m_lsLists;
    QString m_previousKey;
    QTextList* m_previousList = nullptr;
    CharState m_lastState;
    QTextCharFormat m_lastFormat;
    bool m_haveLast = false;
};

class PlainTextSink : public Sink {
public:
    void text(const QString& text, const CharState&) override { m_out += text; }
    void lineBreak(const CharState&) override { m_out += QLatin1Char('\n'); }
    void paragraph(const ParaState&, const CharState&, bool final) override {
        if (!final) m_out += QLatin1Char('\n');
    }
    void finish(bool endedWithParagraphMark) override {
        if (endedWithParagraphMark && m_out.endsWith(QLatin1Char('\n'))) m_out.chop(1);
    }
    QString m_out;
};

// Characters above U+007F of a QString column are the document's bytes as the data layer decoded
// them; turned back into bytes, the reader decodes them in the document's own code page. A
// character that no byte stands for stays itself, a unit from 0x100 on.
QString unitsOf(const QString& text) {
    QString units(text.size(), Qt::Uninitialized);
    QChar* out = units.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const int b = cp1252::byteOf(u);
        out[i] = QChar(b >= 0 ? static_cast<char16_t>(b) : u);
    }
    return units;
}

// ---- Writer ----

// Appends text escaped for RTF: \'hh for Windows-1252, \uN? beyond it.
void appendEscaped(QString& out, const QString& text, bool& needDelimiter) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += QLatin1Char('\\');
            out += QChar(c);
            needDelimiter = false;
        } else if (c == '\t') {
            out += QLatin1String("\\tab");
            needDelimiter = true;
        } else if (c == QChar::LineSeparator) {
            out += QLatin1String("\\line");
            needDelimiter = true;
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == QChar::ObjectReplacementCharacter ||
                   c == QChar::ParagraphSeparator) {
            continue;
        } else if (c < 0x80) {
            if (needDelimiter) out += QLatin1Char(' ');
            out += QChar(c);
            needDelimiter = false;
        } else if (const int b = cp1252::byteOf(c); b >= 0) {
            out += QStringLiteral("\\'%1").arg(b, 2, 16, QLatin1Char('0'));
            needDelimiter = false;
        } else {
            out += QStringLiteral("\\u%1?").arg(static_cast<qint16>(c));
            needDelimiter = false;
        }
    }
}

struct RunFormat {
    int font = 0;
    int halfPoints = 20;
    bool bold = false, italic = false, underline = false, strike = false;
    int fg = 0, bg = 0;
    int vAlign = 0;
};

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc) {
        const QFont def = doc.defaultFont();
        m_defaultFamily = def.family().isEmpty() ? QStringLiteral("Arial") : def.family();
        m_defaultPoints = def.pointSizeF() > 0 ? def.pointSizeF() : def.pixelSize() * 72.0 / 96.0;
        if (m_defaultPoints <= 0) m_defaultPoints = 10;
    }

    QString run() {
        QString body;
        body.reserve(1024);
        bool first = true;
        QString lastProps;
        RunFormat cur;
        cur.font = -1;
        cur.halfPoints = -1;
        for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
            // Rich-edit order: \pard, the marker text, the numbering group, the indents. A
            // paragraph formatted like the one before repeats only its marker text.
            const QString props = paragraphProps(block);
            const QString marker = block.textList() ? pnText(block.textList(), block) : QString();
            bool needDelimiter = false;
            if (first || props != lastProps) {
                body += QLatin1String("\\pard");
                body += marker;
                body += props;
                needDelimiter = !props.isEmpty() || marker.isEmpty();
                lastProps = props;
            } else {
                body += marker;
            }
            first = false;
            bool wroteText = false;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment frag = it.fragment();
                if (!frag.isValid()) continue;
                emitFormat(body, runFormat(frag.charFormat()), cur, needDelimiter);
                appendEscaped(body, frag.text(), needDelimiter);
                wroteText = true;
            }
            if (!wroteText) emitFormat(body, runFormat(block.charFormat()), cur, needDelimiter);
            body += QLatin1String("\\par\r\n");
        }
        if (m_fonts.empty()) fontIndex(m_defaultFamily);
        QString out;
        out.reserve(body.size() + 256);
        out += QLatin1String("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl");
        for (size_t i = 0; i < m_fonts.size(); ++i) {
            const bool symbol = m_fonts[i] == QLatin1String("Symbol");
            out += QStringLiteral("{\\f%1\\fnil\\fcharset%2 ").arg(i).arg(symbol ? 2 : 0);
            bool nd = false;
            appendEscaped(out, m_fonts[i], nd);
            out += QLatin1String(";}");
        }
        out += QLatin1String("}\r\n");
        if (!m_colors.empty()) {
            out += QLatin1String("{\\colortbl ;");
            for (const QColor& c : m_colors)
                out += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(c.red()).arg(c.green()).arg(c.blue());
            out += QLatin1String("}\r\n");
        }
        out += QLatin1String("\\viewkind4\\uc1");
        out += body;
        out += QLatin1String("}\r\n");
        return out;
    }

private:
    int fontIndex(const QString& family) {
        for (size_t i = 0; i < m_fonts.size(); ++i)
            if (m_fonts[i] == family) return static_cast<int>(i);
        m_fonts.push_back(family);
        return static_cast<int>(m_fonts.size() - 1);
    }
    int colorIndex(const QColor& c) {
        const QRgb rgb = c.rgb();
        for (size_t i = 0; i < m_colors.size(); ++i)
            if (m_colors[i].rgb() == rgb) return static_cast<int>(i + 1);
        m_colors.push_back(QColor(rgb));
        return static_cast<int>(m_colors.size());
    }

    static QString familyOf(const QTextCharFormat& f) {
        const QStringList fams = f.property(QTextFormat::FontFamilies).toStringList();
        if (!fams.isEmpty() && !fams.first().isEmpty()) return fams.first();
        return QString();
    }

    RunFormat runFormat(const QTextCharFormat& f) {
        RunFormat r;
        const QString family = familyOf(f);
        r.font = fontIndex(family.isEmpty() ? m_defaultFamily : family);
        const double pt = f.fontPointSize() > 0 ? f.fontPointSize() : m_defaultPoints;
        r.halfPoints = std::clamp(qRound(pt * 2), 2, 3276);
        r.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                        : m_doc.defaultFont().weight() >= QFont::DemiBold;
        r.italic = f.fontItalic();
        r.underline = f.fontUnderline();
        r.strike = f.fontStrikeOut();
        if (f.foreground().style() != Qt::NoBrush) r.fg = colorIndex(f.foreground().color());
        if (f.background().style() != Qt::NoBrush) r.bg = colorIndex(f.background().color());
        if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) r.vAlign = 1;
        if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) r.vAlign = -1;
        return r;
    }

    static void word(QString& out, const char* w, bool& needDelimiter) {
        out += QLatin1Char('\\');
        out += QLatin1String(w);
        needDelimiter = true;
    }
    static void word(QString& out, const char* w, int n, bool& needDelimiter) {
        out += QLatin1Char('\\');
        out += QLatin1String(w);
        out += QString::number(n);
        needDelimiter = true;
    }

    static void emitFormat(QString& out, const RunFormat& want, RunFormat& cur, bool& nd) {
        if (want.bold != cur.bold) word(out, want.bold ? "b" : "b0", nd);
        if (want.italic != cur.italic) word(out, want.italic ? "i" : "i0", nd);
        if (want.underline != cur.underline) word(out, want.underline ? "ul" : "ulnone", nd);
        if (want.strike != cur.strike) word(out, want.strike ? "strike" : "strike0", nd);
        if (want.vAlign != cur.vAlign)
            word(out, want.vAlign > 0 ? "super" : want.vAlign < 0 ? "sub" : "nosupersub", nd);
        if (want.fg != cur.fg) word(out, "cf", want.fg, nd);
        if (want.bg != cur.bg) word(out, "highlight", want.bg, nd);
        if (want.font != cur.font) word(out, "f", want.font, nd);
        if (want.halfPoints != cur.halfPoints) word(out, "fs", want.halfPoints, nd);
        cur = want;
    }

    static QTextListFormat::Style styleOf(const QTextList* list) { return list->format().style(); }
    static bool isBullet(QTextListFormat::Style s) {
        return s == QTextListFormat::ListDisc || s == QTextListFormat::ListCircle ||
               s == QTextListFormat::ListSquare;
    }

    QString paragraphProps(const QTextBlock& block) {
        const QTextBlockFormat bf = block.blockFormat();
        QString p;
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            p += QLatin1String("\\qc");
        else if (a & Qt::AlignRight)
            p += QLatin1String("\\qr");
        else if (a & Qt::AlignJustify)
            p += QLatin1String("\\qj");
        auto twips = [](double units) { return qRound(units * kTwipsPerUnit); };
        if (const QTextList* list = block.textList()) {
            const QTextListFormat::Style s = styleOf(list);
            if (isBullet(s)) {
                p += QStringLiteral("{\\*\\pn\\pnlvlblt\\pnf%1\\pnindent0{\\pntxtb\\'b7}}")
                         .arg(fontIndex("Symbol"));
            } else {
                const char* kind = s == QTextListFormat::ListUpperAlpha   ? "pnucltr"
                                   : s == QTextListFormat::ListLowerAlpha ? "pnlcltr"
                                   : s == QTextListFormat::ListUpperRoman ? "pnucrm"
                                   : s == QTextListFormat::ListLowerRoman ? "pnlcrm"
                                                                          : "pndec";
                p += QStringLiteral("{\\*\\pn\\pnlvlbody\\pnf%1\\pnindent0\\pnstart1\\%2{\\pntxta.}}")
                         .arg(runFormat(block.charFormat()).font)
                         .arg(QLatin1String(kind));
            }
            const int indent = std::max(1, list->format().indent());
            p += QStringLiteral("\\fi-360\\li%1").arg(twips(indent * m_doc.indentWidth()));
        } else {
            if (bf.leftMargin() != 0) p += QStringLiteral("\\li%1").arg(twips(bf.leftMargin()));
            if (bf.textIndent() != 0) p += QStringLiteral("\\fi%1").arg(twips(bf.textIndent()));
        }
        if (bf.rightMargin() != 0) p += QStringLiteral("\\ri%1").arg(twips(bf.rightMargin()));
        if (bf.topMargin() != 0) p += QStringLiteral("\\sb%1").arg(twips(bf.topMargin()));
        if (bf.bottomMargin() != 0) p += QStringLiteral("\\sa%1").arg(twips(bf.bottomMargin()));
        return p;
    }

    // The visible bullet or number for readers that do not know numbering groups.
    QString pnText(const QTextList* list, const QTextBlock& block) {
        if (isBullet(styleOf(list)))
            return QStringLiteral("{\\pntext\\f%1\\'b7\\tab}").arg(fontIndex("Symbol"));
        QString t = QStringLiteral("{\\pntext\\f%1 ").arg(runFormat(block.charFormat()).font);
        bool nd = false;
        appendEscaped(t, list->itemText(block), nd);
        t += QLatin1String("\\tab}");
        return t;
    }

    const QTextDocument& m_doc;
    QString m_defaultFamily;
    double m_defaultPoints = 10;
    std::vector<QString> m_fonts;
    std::vector<QColor> m_colors;
};

qsizetype firstNonBlank(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return i;
}

} // namespace

bool RtfCodec::isRtf(const QString& text) {
    const qsizetype i = firstNonBlank(text);
    return QStringView(text).mid(i, 5) == QLatin1String("{\\rtf");
}

bool RtfCodec::isRtf(const QByteArray& bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

namespace {
void readInto(QString units, QTextDocument& doc) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false); // loading a value is not an edit to undo
    doc.clear();
    DocumentSink sink(doc);
    Reader reader(std::move(units), sink);
    sink.setReader(&reader);
    {
        QTextCursor edit(&doc);
        edit.beginEditBlock();
        reader.run();
        edit.endEditBlock();
    }
    doc.setUndoRedoEnabled(undo);
}
} // namespace

void RtfCodec::read(const QString& rtf, QTextDocument& doc) {
    if (!isRtf(rtf)) {
        doc.setPlainText(rtf);
        return;
    }
    readInto(unitsOf(rtf), doc);
}

void RtfCodec::read(const QByteArray& rtf, QTextDocument& doc) {
    if (!isRtf(rtf)) {
        doc.setPlainText(QString::fromUtf8(rtf));
        return;
    }
    readInto(QString::fromLatin1(rtf), doc);
}

QString RtfCodec::write(const QTextDocument& doc) {
    Writer w(doc);
    return w.run();
}

QString RtfCodec::plainText(const QString& rtf) {
    if (!isRtf(rtf)) return rtf;
    PlainTextSink sink;
    Reader reader(unitsOf(rtf), sink);
    reader.run();
    return sink.m_out;
}

QString RtfCodec::fromPlainText(const QString& text, const QFont& font) {
    QString out =
        QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl{\\f0\\fnil\\fcharset0 ");
    bool nd = false;
    appendEscaped(out, font.family().isEmpty() ? QStringLiteral("Arial") : font.family(), nd);
    const double pt = font.pointSizeF() > 0 ? font.pointSizeF() : 10;
    out += QStringLiteral(";}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs%1").arg(qRound(pt * 2));
    if (font.bold()) out += QLatin1String("\\b");
    if (font.italic()) out += QLatin1String("\\i");
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = normalized.split(QLatin1Char('\n'));
    nd = true;
    for (const QString& p : paragraphs) {
        appendEscaped(out, p, nd);
        nd = false;
        out += QLatin1String("\\par\r\n");
    }
    out += QLatin1String("}\r\n");
    return out;
}

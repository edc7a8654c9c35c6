// The RTF reader: groups, destinations, control words and text, handed to a sink.
#include "platform/RtfReader.h"
#include "platform/Cp1252.h"

#include <algorithm>

namespace rtf {

void Reader::run() {
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

void Reader::openGroup() {
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

void Reader::closeGroup() {
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

qsizetype Reader::controlAt(qsizetype i) {
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

int Reader::hexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void Reader::controlSymbol(char16_t c) {
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

void Reader::controlWord(std::string_view word, bool hasParam, int param) {
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

void Reader::unicodeWord(Group& g, Kw kw, int param) {
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

void Reader::startPn(Group& g) {
    g.dest = Dest::Pn;
    g.para.pn = PnKind::Numbered;
    g.para.pnStyle = QTextListFormat::ListDecimal;
    g.para.pnLevel = 0;
}

void Reader::fontTableWord(Kw kw, bool hasParam, int param) {
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

void Reader::endFontEntry() {
    if (!m_fontOpen) return;
    m_fontOpen = false;
    QString name = m_fontName.trimmed();
    if (name.endsWith(';')) name.chop(1);
    m_fonts[m_fontNumber].name = name.trimmed();
    m_fontName.clear();
}

void Reader::listTableWord(Group& g, Kw kw, int param) {
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

void Reader::pnWord(Group& g, Kw kw, int param) {
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

void Reader::textWord(Group& g, Kw kw, bool hasParam, int param) {
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

void Reader::addSpecial(char16_t c) {
    flushBytes();
    addChar(QChar(c));
}

void Reader::addByte(uchar b) {
    if (b < 0x80) {
        flushBytes();
        addChar(QChar(b));
    } else {
        m_bytes.append(static_cast<char>(b));
    }
}

void Reader::addChar(QChar c) {
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
            m_colors.push_back(m_red < 0 && m_green < 0 && m_blue < 0
                                   ? QColor()
                                   : QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
            m_red = m_green = m_blue = -1;
        }
        break;
    default:
        break;
    }
}

int Reader::currentCodePage() const {
    const auto it = m_fonts.find(m_groups.back().ch.font < 0 ? m_defaultFont : m_groups.back().ch.font);
    if (it != m_fonts.end()) {
        const int cp = codePageOfCharset(it->second.charset);
        if (cp != 0) return cp;
    }
    return m_codePage;
}

void Reader::flushBytes() {
    if (m_bytes.isEmpty()) return;
    const QString decoded = m_codePages.decode(m_bytes, currentCodePage());
    m_bytes.clear();
    for (QChar c : decoded)
        addChar(c);
}

void Reader::flushText() {
    flushBytes();
    if (m_text.isEmpty()) return;
    m_sink.text(sanitized(m_text), top().ch);
    m_text.clear();
    noteContent();
}

void Reader::noteContent() {
    m_contentSinceMark = true;
    m_lastPara = top().para;
    m_lastChar = top().ch;
}

QString Reader::sanitized(QString s) {
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

void Reader::paragraphMark() {
    flushText();
    if (top().dest != Dest::Text) return;
    m_sink.paragraph(top().para, top().ch, false);
    m_contentSinceMark = false;
    ++m_marks;
}

std::optional<QTextListFormat::Style> Reader::listStyle(int ls, int level) const {
    const auto o = m_lsToListId.find(ls);
    const int listId = o == m_lsToListId.end() ? -1 : o->second;
    for (const ListDef& l : m_lists) {
        if (l.id != listId) continue;
        const int nfc = l.levels.empty()
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

} // namespace rtf

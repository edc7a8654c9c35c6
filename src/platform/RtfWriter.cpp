// The RTF writer: a text document as compact RTF in the shape Windows rich-edit controls write.
#include "platform/Cp1252.h"
#include "platform/RtfCodec.h"
#include "platform/RtfReader.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <vector>

namespace {

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
        auto twips = [](double units) { return qRound(units * rtf::kTwipsPerUnit); };
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

} // namespace

QString RtfCodec::write(const QTextDocument& doc) {
    Writer w(doc);
    return w.run();
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

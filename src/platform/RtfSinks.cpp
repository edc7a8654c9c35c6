// What the RTF reader finds goes into a text document, or into plain text.
#include "platform/Cp1252.h"
#include "platform/RtfReader.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <optional>

namespace rtf {

namespace {

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

} // namespace

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

void readDocument(QString units, QTextDocument& doc) {
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

QString readPlainText(QString units) {
    PlainTextSink sink;
    Reader reader(std::move(units), sink);
    reader.run();
    return sink.m_out;
}

} // namespace rtf

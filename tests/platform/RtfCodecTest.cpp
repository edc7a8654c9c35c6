// The RTF codec: what rich-edit controls and word processors write reads back with its look,
// what the writer produces reads back the same, and damaged input never hurts.
#include "platform/RtfCodec.h"

#include "QtPrinters.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

namespace {

QTextDocument* readDoc(const QString& rtf) {
    auto* doc = new QTextDocument;
    RtfCodec::read(rtf, *doc);
    return doc;
}

QByteArray corpusFile(const QString& name) {
    QFile f(QStringLiteral(CTV_RTF_CORPUS) + "/" + name);
    if (!f.open(QIODevice::ReadOnly)) ADD_FAILURE() << "missing corpus file " << name.toStdString();
    return f.readAll();
}

// The character format of the first character of the first occurrence of text.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& text) {
    QTextCursor c = doc.find(text);
    if (c.isNull()) {
        ADD_FAILURE() << "text not found: " << text.toStdString();
        return {};
    }
    QTextCursor at(const_cast<QTextDocument*>(&doc));
    at.setPosition(c.selectionStart() + 1);
    return at.charFormat();
}

QTextBlock blockWith(const QTextDocument& doc, const QString& text) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.text().contains(text)) return b;
    ADD_FAILURE() << "no paragraph holds " << text.toStdString();
    return {};
}

QString familyOf(const QTextCharFormat& f) {
    const QStringList fams = f.property(QTextFormat::FontFamilies).toStringList();
    return fams.isEmpty() ? QString() : fams.first();
}

// ---- What rich-edit controls write ----

TEST(RtfRead, RichEditCommentKeepsFontsColoursAndEmphasis) {
    std::unique_ptr<QTextDocument> doc(readDoc(QString::fromLatin1(corpusFile("re-comentario.rtf"))));
    EXPECT_EQ(doc->blockCount(), 4) << doc->toPlainText().toStdString();
    EXPECT_EQ(doc->begin().text(), QString("Amostra coletada após a purga. Atenção: ferro acima do ideal."));

    const QTextCharFormat plain = formatOf(*doc, "Amostra");
    EXPECT_EQ(familyOf(plain), "Tahoma");
    EXPECT_DOUBLE_EQ(plain.fontPointSize(), 10.0);
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_EQ(formatOf(*doc, "Atenção").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(*doc, "ferro").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(*doc, "ferro").fontWeight(), QFont::Normal);
    EXPECT_EQ(formatOf(*doc, ".").foreground().style(), Qt::NoBrush) << "\\cf0 is the automatic colour";
    EXPECT_TRUE(formatOf(*doc, "sequestrante").fontItalic());
    EXPECT_TRUE(formatOf(*doc, "abrandador").fontUnderline());
    EXPECT_FALSE(formatOf(*doc, "Verificar").fontUnderline());

    const QTextCharFormat courier = formatOf(*doc, "Recuo");
    EXPECT_EQ(familyOf(courier), "Courier New");
    EXPECT_DOUBLE_EQ(courier.fontPointSize(), 12.0);
    EXPECT_EQ(courier.foreground().color(), QColor(0, 0, 128));
}

TEST(RtfRead, RichEditBulletsBecomeOneListAndTheMarkerTextIsNotRepeated) {
    std::unique_ptr<QTextDocument> doc(readDoc(QString::fromLatin1(corpusFile("re-comentario.rtf"))));
    const QTextBlock first = blockWith(*doc, "Aumentar");
    const QTextBlock second = blockWith(*doc, "Verificar");
    ASSERT_TRUE(first.textList());
    EXPECT_EQ(first.textList(), second.textList());
    EXPECT_EQ(first.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(first.text(), "Aumentar a dosagem do sequestrante") << "the \\pntext bullet is not text";
    EXPECT_FALSE(blockWith(*doc, "Amostra").textList());
    // \pard ends the list; the next paragraph has the first-line indent of \fi200 (200 twips).
    const QTextBlock indented = blockWith(*doc, "Recuo");
    EXPECT_FALSE(indented.textList());
    EXPECT_NEAR(indented.blockFormat().textIndent(), 200 / 15.0, 1e-9);
}

TEST(RtfRead, WordPadNumberingAlignmentStrikeLineBreakAndTab) {
    std::unique_ptr<QTextDocument> doc(readDoc(QString::fromLatin1(corpusFile("re-wordpad.rtf"))));
    const QTextBlock title = blockWith(*doc, "Recomendações");
    EXPECT_EQ(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(formatOf(*doc, "Recomendações").fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(formatOf(*doc, "Recomendações").fontPointSize(), 14.0);
    EXPECT_TRUE(formatOf(*doc, "torre").fontStrikeOut());
    EXPECT_EQ(formatOf(*doc, "torre").foreground().color(), QColor(0, 77, 187));

    const QTextBlock one = blockWith(*doc, "Dosar");
    const QTextBlock two = blockWith(*doc, "Controlar");
    ASSERT_TRUE(one.textList());
    EXPECT_EQ(one.textList(), two.textList());
    EXPECT_EQ(one.textList()->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(one.textList()->itemText(two), "2.");
    EXPECT_EQ(one.text(), "Dosar biocida semanalmente");

    const QTextBlock indented = blockWith(*doc, "Texto recuado");
    EXPECT_NEAR(indented.blockFormat().leftMargin(), 720 / 15.0, 1e-9);
    EXPECT_EQ(indented.text(),
              QString("Texto recuado") + QChar::LineSeparator + "segunda linha\tapós tabulação");
    // The empty paragraph between the list and the indented text stays.
    EXPECT_TRUE(indented.previous().text().isEmpty());
    EXPECT_FALSE(indented.previous().textList());
}

TEST(RtfRead, UnicodeEscapesSkipTheirFallbackAndCodePagesFollowTheFont) {
    const QString text = RtfCodec::plainText(QString::fromLatin1(corpusFile("re-unicode.rtf")));
    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), 4) << text.toStdString();
    EXPECT_EQ(lines[0], QString("Euro € e “ aspas”")) << "\\uc2 skips two fallback characters";
    EXPECT_EQ(lines[1], QString("Grego: αβγ")) << "\\fcharset161 decodes \\'hh as Windows-1253";
    EXPECT_EQ(lines[2], QString::fromUtf8("Cirнллица")) << "\\fcharset204 decodes as Windows-1251";
    EXPECT_EQ(lines[3], QString::fromUtf8("Fora do 1252: αβ e 😀"));
}

TEST(RtfRead, OldRichEditTextWithPlainResetsAndAColourTableWithoutAuto) {
    std::unique_ptr<QTextDocument> doc(readDoc(QString::fromLatin1(corpusFile("re-laudo-texto.rtf"))));
    EXPECT_EQ(doc->toPlainText(), QString("Os resultados referem-se exclusivamente às amostras analisadas.\n"
                                          "Responsável técnico: conforme assinatura abaixo."));
    EXPECT_EQ(familyOf(formatOf(*doc, "Os resultados")), "MS Sans Serif");
    EXPECT_DOUBLE_EQ(formatOf(*doc, "Os resultados").fontPointSize(), 8.0);
    EXPECT_EQ(formatOf(*doc, "Responsável").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(*doc, "conforme").fontWeight(), QFont::Normal);
}

// ---- What LibreOffice writes ----

TEST(RtfRead, LibreOfficeFormatsAndStyleSheetNoise) {
    std::unique_ptr<QTextDocument> doc(readDoc(QString::fromLatin1(corpusFile("lo-formatos.rtf"))));
    const QString text = doc->toPlainText();
    EXPECT_TRUE(text.startsWith("Laudo de análise: negrito, itálico, sublinhado, riscado.\n"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("Normal")) << "style sheet names are not text";
    EXPECT_FALSE(text.contains("LibreOffice")) << "\\*\\generator is skipped";
    EXPECT_TRUE(text.contains("Vermelho em Times 14 — “aspas” € ação"));
    EXPECT_TRUE(text.contains(QString::fromUtf8("Grego: αβγ, símbolo ✓, emoji 😀")));
    EXPECT_EQ(familyOf(formatOf(*doc, "Laudo")), "Arial");
    EXPECT_DOUBLE_EQ(formatOf(*doc, "Laudo").fontPointSize(), 10.0);
    EXPECT_EQ(formatOf(*doc, "negrito").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(*doc, "itálico").fontItalic());
    EXPECT_TRUE(formatOf(*doc, "sublinhado").fontUnderline());
    EXPECT_TRUE(formatOf(*doc, "riscado").fontStrikeOut());
    EXPECT_EQ(formatOf(*doc, "Vermelho").foreground().color(), QColor(192, 0, 0));
    EXPECT_DOUBLE_EQ(formatOf(*doc, "Vermelho").fontPointSize(), 14.0);
    const QTextBlock indented = blockWith(*doc, "Parágrafo com recuo");
    EXPECT_NEAR(indented.blockFormat().textIndent(), 567 / 15.0, 1e-9);
    EXPECT_TRUE(indented.text().contains(QString(QChar::LineSeparator) + "Quebra de linha."));
    EXPECT_EQ(blockWith(*doc, "Centralizado").blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
}

TEST(RtfRead, LibreOfficeListTablesGiveBulletsAndNumbers) {
    std::unique_ptr<QTextDocument> doc(readDoc(QString::fromLatin1(corpusFile("lo-listas.rtf"))));
    const QTextBlock ph = blockWith(*doc, "Manter o pH");
    const QTextBlock purga = blockWith(*doc, "Purgar");
    ASSERT_TRUE(ph.textList());
    EXPECT_EQ(ph.textList(), purga.textList());
    EXPECT_EQ(ph.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(ph.text(), "Manter o pH entre 10,5 e 11,5") << "\\listtext is not text";

    const QTextBlock enviar = blockWith(*doc, "Enviar");
    ASSERT_TRUE(enviar.textList());
    EXPECT_EQ(enviar.textList()->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(enviar.textList()->itemText(enviar), "3.");
    EXPECT_EQ(enviar.textList()->count(), 3);
    EXPECT_FALSE(blockWith(*doc, "Procedimento").textList());
}

TEST(RtfRead, PicturesAreSkippedAndTableCellsShowAsText) {
    const QString text = RtfCodec::plainText(QString::fromLatin1(corpusFile("lo-figura-tabela.rtf")));
    EXPECT_TRUE(text.contains("Antes da figura")) << text.toStdString();
    EXPECT_TRUE(text.contains("depois da figura."));
    EXPECT_FALSE(text.contains("89504e47", Qt::CaseInsensitive)) << "picture data is not text";
    EXPECT_TRUE(text.contains("Ferro\t0,30 ppm"));
    EXPECT_TRUE(text.contains("Sílica\t150 ppm"));
    EXPECT_TRUE(text.endsWith("Fim do comentário."));
}

// ---- Destinations, breaks and the last paragraph ----

TEST(RtfRead, DestinationsAndUnknownStarredGroupsAreSkippedFieldResultsKept) {
    const QString rtf = "{\\rtf1\\ansi{\\info{\\title Titulo}{\\author Autor}}{\\*\\desconhecido oculto}"
                        "{\\stylesheet{\\s0 Normal;}}{\\header cabecalho}"
                        "A{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}B"
                        "{\\pict\\wmetafile8\\picw10 0102\\bin4 }}}}}C{\\v oculto2}D\\par}";
    EXPECT_EQ(RtfCodec::plainText(rtf), "AlinkBCD");
}

TEST(RtfRead, TrailingParagraphMarkEndsTheLastParagraphOnly) {
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 um\\par}"), "um");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 um}"), "um");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 um\\par\\par}"), "um\n");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 um\\par dois}"), "um\ndois");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 }"), "");

    std::unique_ptr<QTextDocument> doc(readDoc("{\\rtf1 um\\par\\par}"));
    EXPECT_EQ(doc->blockCount(), 2);
    // A last paragraph without a mark keeps its paragraph format.
    doc.reset(readDoc("{\\rtf1\\pard\\qr direita}"));
    EXPECT_EQ(doc->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

TEST(RtfRead, SpecialCharactersAndEscapes) {
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 a\\{b\\}c\\\\d\\~e\\emdash f\\endash g\\bullet\\lquote h\\rquote"
                                  "\\ldblquote i\\rdblquote\\-j}"),
              QString::fromUtf8("a{b}c\\d\u00a0e—f–g•‘h’“i”j"));
    // A backslash before a line end is a paragraph mark.
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 um\\\ndois}"), "um\ndois");
}

TEST(RtfRead, QStringColumnsCarryWindows1252BytesAsCharacters) {
    // The data layer hands the column over as text: raw 8-bit characters are the document's bytes.
    EXPECT_EQ(RtfCodec::plainText(QString::fromUtf8("{\\rtf1\\ansi\\ansicpg1252 ação €}")), "ação €");
    // Read as Latin-1, byte 0x80 arrives as U+0080 and still means the euro sign.
    EXPECT_EQ(RtfCodec::plainText(QString("{\\rtf1 x") + QChar(0x80) + "}"), "x€");
    // A character no byte stands for survives as itself, and counts as one fallback character.
    EXPECT_EQ(RtfCodec::plainText(QString::fromUtf8("{\\rtf1 αβ}")), "αβ");
    EXPECT_EQ(RtfCodec::plainText(QString::fromUtf8("{\\rtf1\\uc1 α\\u8364?β\\u8364αγ}")), "α€β€γ");
}

TEST(RtfRead, TextThatIsNotRtfShowsAsItIs) {
    std::unique_ptr<QTextDocument> doc(readDoc("Comentário antigo\nsem formatação {chaves} \\barra"));
    EXPECT_EQ(doc->toPlainText(), "Comentário antigo\nsem formatação {chaves} \\barra");
    EXPECT_EQ(RtfCodec::plainText("texto simples"), "texto simples");
    EXPECT_FALSE(RtfCodec::isRtf(QString("texto {\\rtf1")));
    EXPECT_TRUE(RtfCodec::isRtf(QString("\r\n  {\\rtf1 x}")));
    EXPECT_TRUE(RtfCodec::isRtf(QByteArray(" {\\rtf1 x}")));
}

// ---- Hostile input ----

TEST(RtfRead, HostileInputNeverCrashesNorHangsAndKeepsWhatItCouldRead) {
    QElapsedTimer timer;
    timer.start();
    // Deep nesting.
    QString deep = "{\\rtf1 antes" + QString(200000, '{') + "meio" + QString(200000, '}') + " depois}";
    EXPECT_EQ(RtfCodec::plainText(deep), "antesmeio depois");
    std::unique_ptr<QTextDocument> doc(readDoc(deep));
    EXPECT_EQ(doc->toPlainText(), "antesmeio depois");
    // Huge numbers and out-of-range indexes.
    doc.reset(readDoc("{\\rtf1\\fs999999999999999999\\cf99999\\f-5\\li-99999999999\\uc999999999 grande}"));
    EXPECT_EQ(doc->toPlainText(), "grande");
    EXPECT_LE(formatOf(*doc, "grande").fontPointSize(), 400.0);
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1\\uc99999\\u65 abc}"), "A")
        << "fallback skipping stops at the group end";
    // Unterminated groups, truncated escapes.
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 {\\b negrito {\\i e mais"), "negrito e mais");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 fim\\'"), "fim");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 fim\\'4"), "fim");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 fim\\u"), "fim");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 fim\\"), "fim");
    // Binary data claiming more bytes than there are.
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 a{\\*\\objdata\\bin2147483647 xyz"), "a");
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 a\\bin3 xyzb}"), "ab");
    // Stray closing braces and junk after the document.
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 a}}}} lixo {\\b b}"), "a");
    // Characters a text document treats specially do not break its structure.
    doc.reset(readDoc("{\\rtf1 a\\u-560?b\\u-559?c\\u65532?d\\u55357?e}"));
    EXPECT_EQ(doc->blockCount(), 1);
    EXPECT_EQ(doc->toPlainText(), QString("a") + QChar(0xFFFD) + "b" + QChar(0xFFFD) + "c" + QChar(0xFFFD) +
                                      "d" + QChar(0xFFFD) + "e");
    // A long control word.
    EXPECT_EQ(RtfCodec::plainText("{\\rtf1 \\" + QString(100000, 'a') + "123 x}"), "x");
    EXPECT_LT(timer.elapsed(), 5000);
}

// ---- Writing ----

// A document with every attribute the editors set.
void fillSample(QTextDocument& doc) {
    doc.setDefaultFont(QFont("Tahoma", 10));
    QTextCursor c(&doc);
    QTextCharFormat plain;
    plain.setFontFamilies({"Tahoma"});
    plain.setFontPointSize(10);
    c.insertText("Normal ", plain);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    c.insertText("negrito ", bold);
    QTextCharFormat italic = plain;
    italic.setFontItalic(true);
    c.insertText("itálico ", italic);
    QTextCharFormat under = plain;
    under.setFontUnderline(true);
    c.insertText("sublinhado ", under);
    QTextCharFormat red = plain;
    red.setForeground(QColor(200, 10, 20));
    red.setFontFamilies({"Courier New"});
    red.setFontPointSize(14);
    c.insertText("vermelho € “x” αβ 😀", red);

    QTextBlockFormat indent;
    indent.setTextIndent(10 * 96 / 72.0); // the indent tool's 10 points
    c.insertBlock(indent, plain);
    c.insertText("Recuo de primeira linha\tcom tab", plain);
    c.insertText(QString(QChar::LineSeparator) + "e quebra", plain);

    c.insertBlock(QTextBlockFormat(), plain);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    c.createList(bullets);
    c.insertText("item um", plain);
    c.insertBlock();
    c.insertText("item dois {chave} \\barra", bold);

    QTextBlockFormat normal;
    c.insertBlock(normal, plain);
    c.setBlockFormat(normal);
    if (QTextList* l = c.currentList()) l->remove(c.block());
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    c.createList(numbers);
    c.insertText("primeiro", plain);
    c.insertBlock();
    c.insertText("segundo", plain);

    c.insertBlock(normal, plain);
    if (QTextList* l = c.currentList()) l->remove(c.block());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centred);
    c.insertText("centralizado", plain);
}

struct CharAt {
    QChar ch;
    QString family;
    double size;
    bool bold, italic, underline;
    QRgb color;
    bool operator==(const CharAt&) const = default;
};

std::vector<CharAt> charsOf(const QTextDocument& doc) {
    std::vector<CharAt> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            for (QChar ch : it.fragment().text())
                out.push_back({ch, familyOf(f), f.fontPointSize(), f.fontWeight() >= QFont::DemiBold,
                               f.fontItalic(), f.fontUnderline(),
                               f.foreground().style() == Qt::NoBrush ? 0u : f.foreground().color().rgb()});
        }
    return out;
}

TEST(RtfWrite, RoundTripKeepsEveryAttributeTheEditorsSet) {
    QTextDocument original;
    fillSample(original);
    const QString rtf = RtfCodec::write(original);
    QTextDocument back;
    RtfCodec::read(rtf, back);

    EXPECT_EQ(back.toPlainText(), original.toPlainText()) << rtf.toStdString();
    EXPECT_EQ(charsOf(back), charsOf(original));
    ASSERT_EQ(back.blockCount(), original.blockCount());
    for (QTextBlock a = original.begin(), b = back.begin(); a.isValid(); a = a.next(), b = b.next()) {
        SCOPED_TRACE(a.text().toStdString());
        EXPECT_NEAR(b.blockFormat().textIndent(), a.blockFormat().textIndent(), 0.1);
        EXPECT_EQ(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                  a.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
        ASSERT_EQ(bool(b.textList()), bool(a.textList()));
        if (a.textList()) {
            EXPECT_EQ(b.textList()->format().style(), a.textList()->format().style());
            EXPECT_EQ(b.textList()->itemText(b), a.textList()->itemText(a));
        }
    }
    // Writing what was read gives the same RTF again.
    EXPECT_EQ(RtfCodec::write(back), rtf);
}

TEST(RtfWrite, OutputHasTheRichEditShape) {
    QTextDocument doc;
    fillSample(doc);
    const QString rtf = RtfCodec::write(doc);
    EXPECT_TRUE(rtf.startsWith(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("{\\f2\\fnil\\fcharset2 Symbol;}"));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red200\\green10\\blue20;}"));
    EXPECT_TRUE(rtf.contains("\\viewkind4\\uc1\\pard"));
    EXPECT_TRUE(rtf.contains("it\\'e1lico"));
    EXPECT_TRUE(rtf.contains("\\'80 \\'93x\\'94 \\u945?\\u946? \\u-10179?\\u-8704?"));
    EXPECT_TRUE(rtf.contains("{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}"));
    EXPECT_TRUE(rtf.contains("\\pard\\fi200\\cf0\\f0\\fs20 Recuo"));
    EXPECT_TRUE(rtf.contains("\\{chave\\} \\\\barra"));
    EXPECT_TRUE(rtf.endsWith("\\par\r\n}\r\n"));
    for (QChar c : rtf)
        ASSERT_LT(c.unicode(), 0x80) << "RTF output is 7-bit";
    // The second bullet repeats only its marker text, not the paragraph format.
    EXPECT_EQ(rtf.count("\\pnlvlblt"), 1);
    EXPECT_EQ(rtf.count("{\\pntext\\f2"), 2);
}

TEST(RtfWrite, EmptyDocumentAndEmptyParagraphsKeepTheirFontSize) {
    QTextDocument empty;
    QTextDocument back;
    RtfCodec::read(RtfCodec::write(empty), back);
    EXPECT_TRUE(back.toPlainText().isEmpty());
    EXPECT_EQ(back.blockCount(), 1);

    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat big;
    big.setFontPointSize(20);
    c.insertText("a", big);
    c.insertBlock(QTextBlockFormat(), big);
    c.insertBlock(QTextBlockFormat(), big);
    c.insertText("b", big);
    RtfCodec::read(RtfCodec::write(doc), back);
    ASSERT_EQ(back.blockCount(), 3);
    EXPECT_DOUBLE_EQ(back.begin().next().charFormat().fontPointSize(), 20.0);
}

TEST(RtfPlainText, HelpersConvertBothWays) {
    const QString rtf = RtfCodec::fromPlainText("Linha 1 {x}\r\nação € αβ\n\núltima", QFont("Tahoma", 10));
    EXPECT_TRUE(RtfCodec::isRtf(rtf));
    EXPECT_EQ(RtfCodec::plainText(rtf), QString::fromUtf8("Linha 1 {x}\nação € αβ\n\núltima"));
    QTextDocument doc;
    RtfCodec::read(rtf, doc);
    EXPECT_EQ(familyOf(formatOf(doc, "Linha")), "Tahoma");
    EXPECT_DOUBLE_EQ(formatOf(doc, "Linha").fontPointSize(), 10.0);
    EXPECT_EQ(RtfCodec::plainText(RtfCodec::fromPlainText("")), "");
}

} // namespace

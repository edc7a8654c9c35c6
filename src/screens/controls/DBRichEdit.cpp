#include "screens/controls/DBRichEdit.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/RtfCodec.h"
#include "screens/controls/TextoColuna.h"
#include <QLocale>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

DBRichEdit::DBRichEdit(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name)
    : QTextEdit(parent), m_link([this](const DataEventInfo& e) { onEvent(e); }) {
    m_link.setOwner(this);
    if (!name.isEmpty()) setObjectName(name);
    m_link.setFieldName(fieldName);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int, int added) {
        if (m_busy) return;
        m_mudancaDe = from;
        m_mudancaInseridos = added;
    });
    connect(document(), &QTextDocument::contentsChanged, this, [this] { onContentsChanged(); });
    setDataSource(ds);
}

void DBRichEdit::setDataSource(DataSource* ds) {
    const bool unbinding = m_everBound && !ds;
    m_link.setDataSource(ds);
    if (ds) m_everBound = true;
    if (unbinding) {
        load(QString());
        m_everBound = false;
    }
    refresh();
}

void DBRichEdit::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    refresh();
}

void DBRichEdit::setDefaultFont(const QFont& font) {
    setFont(font);
    document()->setDefaultFont(font);
}

void DBRichEdit::onEvent(const DataEventInfo& e) {
    if (m_busy || !concernsField(e, m_link)) return;
    refresh();
}

void DBRichEdit::load(const QString& stored) {
    FlagScope busy(m_busy);
    const QFont padrao = document()->defaultFont();
    document()->setUndoRedoEnabled(false);
    MostraTextoRico(*this, stored);
    document()->setDefaultFont(padrao);
    document()->setUndoRedoEnabled(true);
    m_shown = stored;
    m_loaded = true;
}

void DBRichEdit::refresh() {
    QTextEdit::setReadOnly(m_readOnly || (m_everBound && !m_link.canModify()));
    if (!m_everBound) return;
    Field* f = m_link.field();
    const QString stored = f ? f->asString() : QString();
    // The document shown is kept while the field holds what it shows (its own writes, a save).
    if (m_loaded && stored == m_shown) return;
    load(stored);
}

QString DBRichEdit::recusaInserido() const {
    // The text the change brought in; what was there before (another application's document)
    // is not judged again.
    if (m_mudancaInseridos <= 0) return QString();
    QTextCursor c(document());
    const int fim = std::min(m_mudancaDe + m_mudancaInseridos, document()->characterCount() - 1);
    if (fim <= m_mudancaDe) return QString();
    c.setPosition(m_mudancaDe);
    c.setPosition(fim, QTextCursor::KeepAnchor);
    QString inserido = c.selectedText();
    // Paragraph and line breaks and embedded objects are the document's own marks.
    inserido.remove(QChar::ParagraphSeparator)
        .remove(QChar::LineSeparator)
        .remove(QChar::ObjectReplacementCharacter);
    Field* f = m_link.field();
    return textocoluna::recusa(
        textocoluna::nomeDoCampo(this, f ? f->displayLabel() : QString(), f ? f->fieldName() : QString()),
        inserido, 0, true);
}

void DBRichEdit::onContentsChanged() {
    if (m_busy || !m_everBound) return;
    const int posicao = m_mudancaDe;
    const QString recusa = recusaInserido();
    m_mudancaInseridos = 0;
    if (!recusa.isEmpty()) {
        // Typed or pasted, a character the database cannot hold is refused: the document goes
        // back to what it held before the change.
        load(m_shown);
        QTextCursor c = textCursor();
        c.setPosition(std::clamp(posicao, 0, document()->characterCount() - 1));
        setTextCursor(c);
        guarded([&] { warn(recusa); });
        return;
    }
    const bool kept = guarded([&] {
        FlagScope busy(m_busy);
        if (!m_link.canModify()) throw SilentAbort();
        m_link.edit();
        Field* f = m_link.field();
        if (!f) throw SilentAbort();
        const QString stored = document()->isEmpty() ? QString() : RtfCodec::write(*document());
        f->setValue(stored.isEmpty() ? QVariant() : QVariant(stored));
        m_shown = stored;
    });
    if (!kept) {
        m_loaded = false;
        refresh();
    }
}

void MostraTextoRico(QTextEdit& editor, const QString& stored) {
    if (stored.isEmpty()) {
        editor.document()->clear();
        return;
    }
    RtfCodec::read(stored, *editor.document());
}

// ---------------------------------------------------------------- formatting tools

namespace textorico {

namespace {
void devolveFoco(QTextEdit& editor) {
    editor.setFocus(Qt::OtherFocusReason);
}

// The character formats of every fragment the selection covers (the cursor's format when nothing
// is selected).
std::vector<QTextCharFormat> formatosDaSelecao(const QTextEdit& editor) {
    const QTextCursor c = editor.textCursor();
    if (!c.hasSelection()) return {c.charFormat()};
    std::vector<QTextCharFormat> out;
    const int ini = c.selectionStart(), fim = c.selectionEnd();
    for (QTextBlock b = editor.document()->findBlock(ini); b.isValid() && b.position() <= fim; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            if (frag.position() + frag.length() <= ini || frag.position() >= fim) continue;
            out.push_back(frag.charFormat());
        }
    }
    if (out.empty()) out.push_back(c.charFormat());
    return out;
}
} // namespace

void aplicaFonte(QTextEdit& editor, const QFont& font) {
    QTextCharFormat fmt;
    fmt.setFont(font, QTextCharFormat::FontPropertiesAll);
    editor.mergeCurrentCharFormat(fmt);
    devolveFoco(editor);
}

void alternaMarcador(QTextEdit& editor) {
    QTextCursor c = editor.textCursor();
    c.beginEditBlock();
    if (c.currentList()) {
        // Every paragraph of the selection leaves the list and goes back to the margin.
        const int fim = c.selectionEnd();
        for (QTextBlock b = editor.document()->findBlock(c.selectionStart());
             b.isValid() && b.position() <= fim; b = b.next()) {
            if (QTextList* l = b.textList()) l->remove(b);
            QTextCursor bc(b);
            QTextBlockFormat bf = bc.blockFormat();
            bf.setIndent(0);
            bc.setBlockFormat(bf);
        }
    } else {
        QTextListFormat lf;
        lf.setStyle(QTextListFormat::ListDisc);
        lf.setIndent(1);
        c.createList(lf);
    }
    c.endEditBlock();
    devolveFoco(editor);
}

double recuoPrimeiraLinha() {
    // 10 points at 96 units per inch.
    return 10.0 * 96.0 / 72.0;
}

void alternaRecuo(QTextEdit& editor) {
    QTextCursor c = editor.textCursor();
    QTextBlockFormat bf;
    bf.setTextIndent(qFuzzyIsNull(c.blockFormat().textIndent()) ? recuoPrimeiraLinha() : 0.0);
    c.mergeBlockFormat(bf);
    devolveFoco(editor);
}

bool estiloSomenteNegrito(const QTextEdit& editor) {
    // As a rich-edit control reports the style of a selection: an attribute belongs to it when
    // every character has it.
    bool negrito = true, italico = true, sublinhado = true, riscado = true;
    for (const QTextCharFormat& f : formatosDaSelecao(editor)) {
        negrito = negrito && f.fontWeight() >= QFont::Bold;
        italico = italico && f.fontItalic();
        sublinhado = sublinhado && f.fontUnderline();
        riscado = riscado && f.fontStrikeOut();
    }
    return negrito && !italico && !sublinhado && !riscado;
}

void alternaNegrito(QTextEdit& editor) {
    QTextCharFormat fmt;
    fmt.setFontWeight(estiloSomenteNegrito(editor) ? QFont::Normal : QFont::Bold);
    editor.mergeCurrentCharFormat(fmt);
    devolveFoco(editor);
}

void escolheFonte(QTextEdit& editor, QFont& fonte, const QFont& inicial) {
    const std::optional<QFont> escolhida = dialogs().chooseFont(inicial);
    // A cancelled dialog leaves the text as it was.
    if (!escolhida) {
        editor.setFocus(Qt::OtherFocusReason);
        return;
    }
    fonte = *escolhida;
    aplicaFonte(editor, *escolhida);
}

} // namespace textorico

void PreparaBotaoFerramenta(QAbstractButton& botao, const QString& nome, FerramentaTexto ferramenta,
                            const QString& dica) {
    botao.setObjectName(nome);
    botao.setIcon(IconeFerramentaTexto(ferramenta));
    botao.setToolTip(dica);
    botao.setFixedSize(26, 26);
    botao.setFocusPolicy(Qt::StrongFocus);
}

QString DicaFerramentaTexto(FerramentaTexto ferramenta) {
    switch (ferramenta) {
    case FerramentaTexto::Fonte:
        return QStringLiteral("Fonte - Alterar fonte e variações para o texto selecionado");
    case FerramentaTexto::Marcador:
        return QStringLiteral("Marcador -Iniciar uma lista com marcador");
    case FerramentaTexto::Recuo:
        break;
    }
    return QStringLiteral("Recuo - Criar recuo no parágrafo");
}

QIcon IconeFerramentaTexto(FerramentaTexto ferramenta) {
    QPixmap p(20, 20);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const QColor tinta(0x22, 0x33, 0x55);
    g.setPen(QPen(tinta, 1.6));
    switch (ferramenta) {
    case FerramentaTexto::Fonte: {
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPixelSize(15);
        f.setBold(true);
        g.setFont(f);
        g.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("A"));
        g.drawLine(3, 18, 17, 18);
        break;
    }
    case FerramentaTexto::Marcador:
        for (int i = 0; i < 3; ++i) {
            const int y = 4 + i * 6;
            g.setBrush(tinta);
            g.drawEllipse(QPointF(4, y), 1.6, 1.6);
            g.drawLine(8, y, 18, y);
        }
        break;
    case FerramentaTexto::Recuo:
        g.drawLine(9, 4, 18, 4);
        for (int i = 1; i < 4; ++i)
            g.drawLine(2, 4 + i * 4, 18, 4 + i * 4);
        g.drawLine(2, 4, 6, 4);
        g.drawLine(4, 2, 6, 4);
        g.drawLine(4, 6, 6, 4);
        break;
    }
    return QIcon(p);
}

QString RotuloTamanho(int caracteres) {
    // "#,###,##0": digit groups, no leading zeros.
    return QStringLiteral("(Tamanho: ") + QLocale(QLocale::Portuguese, QLocale::Brazil).toString(caracteres) +
           QStringLiteral(")");
}

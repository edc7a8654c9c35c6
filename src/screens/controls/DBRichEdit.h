#pragma once
// A rich-text editor bound to a text column that holds an RTF document (the comments and
// observations of the samples, the standing text of the technical report), and the formatting
// tools of the laboratory's editors.
//
// The column keeps RTF, as the other applications of the shared database read and write it; the
// editor shows it as formatted text. It writes like the other data-aware controls: every change
// made while the dataset edits goes to the field at once as RTF (an empty document as null), and
// the first change made while it browses puts the dataset into edit state; a refused edit shows
// the field's text again. Text the editor wrote itself is not read back, so the cursor and the
// undo history stay where they are. Typed or pasted, a character the database cannot hold (outside
// Windows-1252) is refused with a message naming the field, and the document goes back to what it
// held before that change.
#include "screens/controls/DataLink.h"
#include <QAbstractButton>
#include <QFont>
#include <QIcon>
#include <QTextEdit>

class DBRichEdit : public QTextEdit {
    Q_OBJECT
public:
    DBRichEdit(QWidget* parent, DataSource* ds, const QString& fieldName, const QString& name = QString());

    DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource* ds);
    const QString& dataField() const { return m_link.fieldName(); }
    Field* field() const { return m_link.field(); }

    // The screen's read-only choice; the editor is also read-only while its field cannot be
    // changed (dataset closed, unknown field).
    void setReadOnly(bool readOnly);
    // Font of text that carries none of its own (the editor's design font).
    void setDefaultFont(const QFont& font);

    // Shows the field's document again when it is not the one shown.
    void refresh();

private:
    void onEvent(const DataEventInfo& e);
    void onContentsChanged();
    // The refusal of the text the last change inserted, empty when the database can hold it.
    QString recusaInserido() const;
    void load(const QString& stored);

    FieldLink m_link;
    bool m_readOnly = false;
    bool m_busy = false;
    bool m_everBound = false;
    bool m_loaded = false;
    QString m_shown; // the stored text of the document shown (what was read or written last)
    int m_mudancaDe = 0, m_mudancaInseridos = 0; // the last change of the document
};

// Shows a stored rich text (RTF, or plain text) in a read-only or free editor; empty for null.
void MostraTextoRico(QTextEdit& editor, const QString& stored);

// Formatting tools; each acts on the selection or the current paragraph and gives the focus back
// to the editor.
namespace textorico {
// Font family, style and size on the selection (on the text typed next when nothing is selected).
void aplicaFonte(QTextEdit& editor, const QFont& font);
// The font dialog opened on `inicial`: the chosen font goes on the selection and is kept in
// `fonte` for the next time; a cancelled dialog changes nothing and gives the focus back.
void escolheFonte(QTextEdit& editor, QFont& fonte, const QFont& inicial);
// Removes the bullet of a bulleted paragraph, otherwise starts a bullet list.
void alternaMarcador(QTextEdit& editor);
// First-line indent of the paragraph: 10 points when it is 0, 0 otherwise.
void alternaRecuo(QTextEdit& editor);
// Bold off when the selection's style is exactly bold (bold and nothing else), bold on otherwise.
void alternaNegrito(QTextEdit& editor);
// Whether the selection (or the format at the cursor) is bold with no italic, underline or
// strike-out.
bool estiloSomenteNegrito(const QTextEdit& editor);
// The first-line indent of 10 points in the document's units.
double recuoPrimeiraLinha();
} // namespace textorico

// Pictures of the formatting buttons, drawn so that no image file is needed.
enum class FerramentaTexto { Fonte, Marcador, Recuo };
QIcon IconeFerramentaTexto(FerramentaTexto ferramenta);
// A formatting button of the editors (a tool button or a push button): its picture, its hint,
// 26 by 26 pixels, reached by Tab and by click.
void PreparaBotaoFerramenta(QAbstractButton& botao, const QString& nome, FerramentaTexto ferramenta,
                            const QString& dica);
// The hint of a formatting button ("Fonte - Alterar fonte e variações para o texto selecionado").
QString DicaFerramentaTexto(FerramentaTexto ferramenta);

// The three formatting buttons of an editor (font, bullet, indent), created in that order under
// the given object names; `marca` follows each hint, telling two editors' buttons apart (" (1)").
template <class Botao> struct BotoesTexto {
    Botao* fonte;
    Botao* marcador;
    Botao* recuo;
};
template <class Botao>
BotoesTexto<Botao> BotoesFerramentaTexto(QWidget* pai, const QString& fonte, const QString& marcador,
                                         const QString& recuo, const QString& marca = {}) {
    const auto botao = [&](const QString& nome, FerramentaTexto f) {
        auto* b = new Botao(pai);
        PreparaBotaoFerramenta(*b, nome, f, DicaFerramentaTexto(f) + marca);
        return b;
    };
    return {botao(fonte, FerramentaTexto::Fonte), botao(marcador, FerramentaTexto::Marcador),
            botao(recuo, FerramentaTexto::Recuo)};
}

// "(Tamanho: 1.234)": the number of characters of a stored text, digits grouped as in Brazil.
QString RotuloTamanho(int caracteres);

#pragma once
// What a text column can hold, checked as the user types or pastes: no more characters than the
// column's width and, for a column of the database, only characters of its alphabet
// (Windows-1252). A text that breaks either is refused whole, with a message naming the field,
// and what was there stays.
#include <QString>
#include <QValidator>
#include <functional>

class QLineEdit;
class QWidget;

namespace textocoluna {

// The refusal of `texto` for the field `nome`, empty when the column takes it. `largura` 0 means
// any length; `soCp1252` checks the database's alphabet.
QString recusa(const QString& nome, const QString& texto, int largura, bool soCp1252);

// The name of the field a control edits, for messages: the field's label when it has one of its
// own, else the caption of the label that names the control, else the control's name.
QString nomeDoCampo(const QWidget* controle, const QString& rotuloDoCampo, const QString& nomeDaColuna);

} // namespace textocoluna

// A line edit's check of its column. The edit's own length limit must stay off (a paste would
// be cut before the check sees it); install() does that and shows the message when the edit
// rejects an input.
class TextoColunaValidator : public QValidator {
    Q_OBJECT
public:
    TextoColunaValidator(int largura, bool soCp1252, QObject* parent);
    State validate(QString& input, int& pos) const override;

    int largura() const { return m_largura; }
    bool soCp1252() const { return m_cp1252; }
    // The refusal of the last refused text (empty when none), forgotten once read.
    QString motivo(const QString& nome) const;

    // Sets the check on the edit (replacing a check of other limits) and shows the refusal
    // with the name `nome()` gives when the edit rejects an input.
    static TextoColunaValidator* install(QLineEdit* edit, int largura, bool soCp1252,
                                         std::function<QString()> nome);

private:
    int m_largura;
    bool m_cp1252;
    mutable QString m_recusado;
};

#pragma once
// The field box of the filter and sort builders: an editable drop-down of field labels that
// only ever settles on a label it lists (or on nothing), so no statement is built from a column
// name that is empty or stale. Typing completes from the list, letter case ignored; leaving the
// box with a text that is not in the list tells the user and puts the last choice back. A label
// is chosen when it is picked from the list, or when Enter or leaving the box confirms it: a
// label only completed while typing is not a choice yet.
#include <QComboBox>
#include <QStringList>

class DataSet;
class Field;

class CampoCombo : public QComboBox {
    Q_OBJECT
public:
    CampoCombo(QWidget* parent, const QString& name, const QString& hint);

    // Replaces the offered labels; the text stays empty.
    void setRotulos(const QStringList& rotulos);
    QStringList rotulos() const;
    // The text shown, without surrounding blanks when `apara`.
    QString texto() const { return currentText(); }
    // Whether the text is empty or one of the offered labels.
    bool valido() const;
    // The offered label equal to the text, letter case ignored (empty when none).
    QString rotuloDoTexto() const;
    // Empties the box (its change handler runs, as for a user).
    void limpa() { setEditText(QString()); }
    // Enabled and in the normal colour, or disabled and painted silver.
    void habilita(bool ativo);

signals:
    // The text changed, by typing, choosing or clearing.
    void textoAlterado();
    // The user chose the label shown (picked from the list, or confirmed with Enter or by
    // leaving the box).
    void escolhaConfirmada();

private:
    void confirma();
    QString m_aceito;
    bool m_confirmando = false;
};

// Labels the builders offer: display labels different from the field name, in field order;
// `paraPesquisa` also leaves out blob fields and fields whose name begins with "ID".
QStringList rotulosOferecidos(const DataSet& ds, bool paraPesquisa);
// The last field, in field order, whose display label is `rotulo` (nullptr when none).
Field* ultimoCampoComRotulo(const DataSet& ds, const QString& rotulo);
// Boxes disabled by the number of fields: none, all three; one, the 2nd and 3rd; two, the 3rd.
void habilitaPorQuantidade(CampoCombo* const (&caixas)[3], int quantidadeCampos);
// Ends the user action with a message when a box holds a text that is not one of its labels.
void exigeCamposDaLista(CampoCombo* const (&caixas)[3]);

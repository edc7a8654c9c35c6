#include "search/CampoCombo.h"
#include "data/DataSet.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include <QCompleter>
#include <QLineEdit>

CampoCombo::CampoCombo(QWidget* parent, const QString& name, const QString& hint) : QComboBox(parent) {
    setObjectName(name);
    setToolTip(hint);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(16);
    completer()->setCaseSensitivity(Qt::CaseInsensitive);
    completer()->setCompletionMode(QCompleter::InlineCompletion);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& t) {
        if (t.isEmpty() || findText(t, Qt::MatchExactly) >= 0) m_aceito = t;
        emit textoAlterado();
    });
    connect(this, qOverload<int>(&QComboBox::activated), this, [this] {
        if (valido() && !currentText().isEmpty()) emit escolhaConfirmada();
    });
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] {
        guarded([this] { confirma(); });
        if (valido() && !currentText().isEmpty()) emit escolhaConfirmada();
    });
}

void CampoCombo::setRotulos(const QStringList& rotulos) {
    QSignalBlocker block(this);
    clear();
    addItems(rotulos);
    setCurrentIndex(-1);
    setEditText(QString());
    m_aceito.clear();
}

QStringList CampoCombo::rotulos() const {
    QStringList r;
    for (int i = 0; i < count(); ++i)
        r << itemText(i);
    return r;
}

bool CampoCombo::valido() const {
    const QString t = currentText();
    return t.isEmpty() || findText(t, Qt::MatchExactly) >= 0;
}

QString CampoCombo::rotuloDoTexto() const {
    const QString t = currentText().trimmed();
    for (int i = 0; i < count(); ++i)
        if (itemText(i).compare(t, Qt::CaseInsensitive) == 0) return itemText(i);
    return QString();
}

void CampoCombo::habilita(bool ativo) {
    setEnabled(ativo);
    setStyleSheet(ativo ? QString() : QStringLiteral("QComboBox { background-color: rgb(192, 192, 192); }"));
}

void CampoCombo::confirma() {
    if (m_confirmando || valido()) return;
    m_confirmando = true;
    const QString digitado = currentText();
    const QString rotulo = rotuloDoTexto();
    if (!rotulo.isEmpty() || digitado.trimmed().isEmpty()) {
        // The label in another letter case, or blanks only: the box takes the label (or nothing).
        setEditText(rotulo);
        m_confirmando = false;
        return;
    }
    setEditText(m_aceito);
    m_confirmando = false;
    warn("O campo \"" + digitado + "\" não está na lista. Selecione um dos campos oferecidos.");
}

QStringList rotulosOferecidos(const DataSet& ds, bool paraPesquisa) {
    QStringList r;
    for (const auto& f : ds.fields()) {
        if (f->displayLabel() == f->fieldName()) continue;
        if (paraPesquisa && (f->fieldClass() == FieldClass::Blob || f->fieldName().left(2) == "ID")) continue;
        // A key column and its lookup field often share a label; both stand for the same choice.
        if (!r.contains(f->displayLabel())) r << f->displayLabel();
    }
    return r;
}

Field* ultimoCampoComRotulo(const DataSet& ds, const QString& rotulo) {
    Field* achou = nullptr;
    for (const auto& f : ds.fields())
        if (f->displayLabel() == rotulo) achou = f.get();
    return achou;
}

void habilitaPorQuantidade(CampoCombo* const (&caixas)[3], int quantidadeCampos) {
    for (int i = 0; i < 3; ++i)
        caixas[i]->habilita(i < quantidadeCampos);
}

void exigeCamposDaLista(CampoCombo* const (&caixas)[3]) {
    for (int i = 0; i < 3; ++i) {
        CampoCombo* c = caixas[i];
        if (c->valido()) continue;
        const QString rotulo = c->rotuloDoTexto();
        if (!rotulo.isEmpty() || c->currentText().trimmed().isEmpty()) {
            c->setEditText(rotulo);
            continue;
        }
        c->setFocus();
        warnAndAbort(QString("O campo \"%1\" do %2º critério não está na lista. Selecione um dos campos "
                             "oferecidos.")
                         .arg(c->currentText())
                         .arg(i + 1));
    }
}

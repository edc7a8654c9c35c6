#include "screens/controls/TextoColuna.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include <QLabel>
#include <QLineEdit>

namespace textocoluna {

QString recusa(const QString& nome, const QString& texto, int largura, bool soCp1252) {
    const QString oCampo = QStringLiteral("O campo \"%1\"").arg(nome);
    if (soCp1252) {
        const qsizetype bad = cp1252::firstUnencodable(texto);
        if (bad >= 0) return cp1252::refusal(oCampo, texto, bad);
    }
    if (largura > 0 && texto.size() > largura)
        return QStringLiteral("%1 aceita no máximo %2 caracteres (foram informados %3).")
            .arg(oCampo)
            .arg(largura)
            .arg(texto.size());
    return QString();
}

QString nomeDoCampo(const QWidget* controle, const QString& rotuloDoCampo, const QString& nomeDaColuna) {
    if (!rotuloDoCampo.isEmpty() && rotuloDoCampo != nomeDaColuna) return rotuloDoCampo;
    if (controle && controle->window()) {
        for (const QLabel* l : controle->window()->findChildren<QLabel*>()) {
            if (l->buddy() != controle) continue;
            QString t = l->text();
            t.remove('&');
            t = t.trimmed();
            if (t.endsWith(':')) t.chop(1);
            if (!t.isEmpty()) return t;
        }
    }
    if (!rotuloDoCampo.isEmpty()) return rotuloDoCampo;
    return controle ? controle->objectName() : QString();
}

} // namespace textocoluna

TextoColunaValidator::TextoColunaValidator(int largura, bool soCp1252, QObject* parent)
    : QValidator(parent), m_largura(largura), m_cp1252(soCp1252) {}

QValidator::State TextoColunaValidator::validate(QString& input, int&) const {
    if (textocoluna::recusa(QString(), input, m_largura, m_cp1252).isEmpty()) return Acceptable;
    m_recusado = input;
    return Invalid;
}

QString TextoColunaValidator::motivo(const QString& nome) const {
    if (m_recusado.isNull()) return QString();
    const QString m = textocoluna::recusa(nome, m_recusado, m_largura, m_cp1252);
    m_recusado = QString();
    return m;
}

TextoColunaValidator* TextoColunaValidator::install(QLineEdit* edit, int largura, bool soCp1252,
                                                    std::function<QString()> nome) {
    auto* antigo = qobject_cast<TextoColunaValidator*>(const_cast<QValidator*>(edit->validator()));
    auto* v = new TextoColunaValidator(largura, soCp1252, edit);
    edit->setMaxLength(32767);
    edit->setValidator(v);
    if (antigo && antigo->parent() == edit) delete antigo;
    QObject::connect(edit, &QLineEdit::inputRejected, v, [v, nome] {
        const QString m = v->motivo(nome ? nome() : QString());
        if (!m.isEmpty()) guarded([&] { warn(m); });
    });
    return v;
}

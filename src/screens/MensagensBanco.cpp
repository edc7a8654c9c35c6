#include "screens/MensagensBanco.h"
#include <QHash>
#include <QRegularExpression>
#include <algorithm>

QString entreAspas(const QString& texto, qsizetype from) {
    const qsizetype a = texto.indexOf(QLatin1Char('"'), from);
    if (a < 0) return QString();
    const qsizetype b = texto.indexOf(QLatin1Char('"'), a + 1);
    if (b < 0) return QString();
    return texto.mid(a + 1, b - a - 1);
}

QString TabelaViolacaoPrimaria(const QString& m) {
    const qsizetype p = m.indexOf(QLatin1String("on table"));
    if (p < 0) return QString();
    // After the words, a blank and the opening quote; up to the closing quote and the line
    // break that come before the engine's line about the problematic key value.
    const QString peca = m.mid(p + 10);
    const qsizetype k = peca.indexOf(QLatin1String("Problematic"));
    if (k < 0) return QString();
    QString tabela = peca.left(std::max<qsizetype>(0, k - 3));
    while (!tabela.isEmpty() && (tabela.endsWith(QLatin1Char('"')) || tabela.endsWith(QLatin1Char('\r')) ||
                                 tabela.endsWith(QLatin1Char('\n')) || tabela.endsWith(QLatin1Char('-'))))
        tabela.chop(1);
    return tabela;
}

QString CampoObrigatorio(const QString& m) {
    // The data layer names the field between double quotes ("O campo "X" deve ser preenchido."),
    // the classic text between apostrophes ("Field 'X' must have a value").
    if (m.contains(QLatin1String("deve ser preenchido"))) {
        const QString campo = entreAspas(m);
        if (!campo.isEmpty()) return campo;
    }
    const qsizetype a = m.indexOf(QLatin1Char('\''));
    if (a < 0) return QString();
    const qsizetype b = m.indexOf(QLatin1Char('\''), a + 1);
    if (b < 0) return QString();
    return m.mid(a + 1, b - a - 1);
}

QString ColunaValidacao(const QString& m) {
    const QString inicio = QStringLiteral("validation error for column");
    const qsizetype p = m.indexOf(inicio);
    if (p < 0) return QString();
    const qsizetype virgula = m.indexOf(QLatin1Char(','), p);
    if (virgula < 0) return QString();
    // The blank after the words stays in front of the name.
    QString coluna = m.mid(p + inicio.size(), virgula - p - inicio.size());
    // The engine names the column with its table, both quoted: "TABELA"."COLUNA".
    const qsizetype ponto = coluna.lastIndexOf(QLatin1String("\"."));
    if (ponto >= 0) coluna = QLatin1Char(' ') + coluna.mid(ponto + 2);
    coluna.remove(QLatin1Char('"'));
    return coluna;
}

QString TabelaChaveEstrangeira(const QString& m) {
    const qsizetype p = m.indexOf(QLatin1String("on table"));
    QString tabela = p >= 0 ? entreAspas(m, p) : QString();
    // "TAB_", "CAD_", "MOV_": the prefix of the naming convention is not shown.
    if (tabela.size() > 4 && tabela.at(3) == QLatin1Char('_')) tabela = tabela.mid(4);
    return tabela;
}

bool chaveDuplicada(const DatabaseError& e) {
    return e.hasCode(335544665) || e.hasCode(335544349);
}

namespace {
QHash<QString, QString>& nomesTabelas() {
    static QHash<QString, QString> nomes;
    return nomes;
}
} // namespace

void registraNomeTabela(const QString& tabela, const QString& nome) {
    nomesTabelas().insert(tabela.toUpper(), nome);
}

QString nomeTabela(const QString& tabela) {
    return nomesTabelas().value(tabela.toUpper());
}

QString motivoExclusaoRecusada(const DatabaseError& e) {
    if (isConnectionLost(e))
        return QStringLiteral("O registro não foi excluído: a conexão com o servidor do banco de dados foi "
                              "perdida. Verifique se o servidor está ligado e tente novamente.");
    // Firebird names the table whose foreign key still points at the record.
    static const QRegularExpression fk(
        QStringLiteral("FOREIGN KEY constraint \"[^\"]*\" on table \"([^\"]+)\""));
    const auto m = fk.match(e.message());
    if (!m.hasMatch()) {
        return QStringLiteral("O registro não pôde ser excluído. O banco de dados informou:\n%1")
            .arg(e.message());
    }
    // The table as the user knows it, where it is one of this system's.
    const QString tabela = m.captured(1);
    const QString nome = nomeTabela(tabela);
    return QStringLiteral("Este registro não pode ser excluído porque está sendo usado na tabela %1. "
                          "Exclua ou altere antes os registros dessa tabela que o utilizam.")
        .arg(nome.isEmpty() ? tabela : QStringLiteral("%1 (%2)").arg(nome, tabela));
}

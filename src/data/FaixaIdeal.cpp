#include "data/FaixaIdeal.h"
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace {

// A number in the Brazilian form: digit groups of three after a point, decimals after a comma.
// "1.5" is neither a grouped nor a plain number, so a text holding it reads as no range.
const QString kNum = QStringLiteral(R"((-?\d{1,3}(?:\.\d{3})+(?:,\d+)?|-?\d+(?:,\d+)?))");
// An optional unit after a number: words that start with neither a digit nor punctuation
// ("mg/L CaCO3", "µS/cm", "NMP/100 mL", "%").
const QString kUnid = QStringLiteral(R"((?:\s*([^\s\d.,;:()<>=\-][^\s]*(?:\s+[^\s\d.,;:()<>=\-][^\s]*)*))?)");

const QString kMaxFechado =
    QStringLiteral(R"((?:no m[aá]ximo|m[aá]xim[oa]|m[aá]x\.?|at[eé]|<=|=<|menor ou igual a))");
const QString kMaxAberto = QStringLiteral(R"((?:menor (?:do )?que|inferior a|abaixo de|<))");
const QString kMinFechado =
    QStringLiteral(R"((?:no m[ií]nimo|m[ií]nim[oa]|m[ií]n\.?|>=|=>|maior ou igual a|a partir de))");
const QString kMinAberto = QStringLiteral(R"((?:maior (?:do )?que|superior a|acima de|>))");

QRegularExpression inteira(const QString& padrao) {
    return QRegularExpression('^' + padrao + '$', QRegularExpression::UseUnicodePropertiesOption);
}

// Words that say more than a unit does: a text with any of them after a number is not read.
bool unidadeAceita(const QString& unidade) {
    static const QStringList proibidas = {
        "a",     "à",     "e",     "ou",       "até",      "ate",        "de",          "do",
        "da",    "entre", "não",   "nao",      "sem",      "com",        "acima",       "abaixo",
        "menor", "maior", "que",   "inferior", "superior", "ausente",    "isento",      "isenta",
        "cerca", "ideal", "aprox", "aprox.",   "conforme", "legislação", "recomendado", "±",
        "+/-",   "máx",   "máx.",  "max",      "max.",     "máximo",     "maximo",      "mín",
        "mín.",  "min",   "min.",  "mínimo",   "minimo",   "para",       "por",         "se"};
    for (const QString& palavra : unidade.split(' ', Qt::SkipEmptyParts))
        if (proibidas.contains(palavra)) return false;
    return true;
}

double numero(QString t) {
    t.remove('.');
    t.replace(',', '.');
    return t.toDouble();
}

QString normaliza(const QString& texto) {
    QString t = texto.toLower();
    t.replace(QChar(0x2264), QStringLiteral("<=")); // ≤
    t.replace(QChar(0x2265), QStringLiteral(">=")); // ≥
    t.replace(QChar(0x2212), '-');                  // minus sign
    t.replace(QChar(0x2013), '-');                  // en dash
    t.replace(QChar(0x2014), '-');                  // em dash
    t = t.simplified();
    while (t.endsWith('.') || t.endsWith(';'))
        t.chop(1);
    return t.trimmed();
}

QString formata(double v) {
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    int casas = 0;
    while (casas < 4 && std::abs(v * std::pow(10.0, casas) - std::round(v * std::pow(10.0, casas))) > 1e-9)
        ++casas;
    return br.toString(v, 'f', casas);
}

} // namespace

std::optional<FaixaIdeal> LeFaixaIdeal(const QString& texto) {
    const QString t = normaliza(texto);
    if (t.isEmpty()) return std::nullopt;

    // Two bounds: "150 a 300", "10,5 - 11,5", "entre 5 e 10", "de 2 até 4".
    static const QRegularExpression faixas[] = {
        inteira(kNum + kUnid + R"((?:\s*-\s*|\s+(?:a|à|até|ate)\s+))" + kNum + kUnid),
        inteira(R"(entre\s+)" + kNum + kUnid + R"(\s+e\s+)" + kNum + kUnid),
        inteira(R"(de\s+)" + kNum + kUnid + R"(\s+(?:a|à|até|ate)\s+)" + kNum + kUnid),
    };
    for (const QRegularExpression& re : faixas) {
        const QRegularExpressionMatch m = re.match(t);
        if (!m.hasMatch()) continue;
        const QString u1 = m.captured(2), u2 = m.captured(4);
        if (!unidadeAceita(u1) || !unidadeAceita(u2)) return std::nullopt;
        // Two different units leave the limits in doubt.
        if (!u1.isEmpty() && !u2.isEmpty() && u1 != u2) return std::nullopt;
        const double lo = numero(m.captured(1)), hi = numero(m.captured(3));
        if (lo > hi) return std::nullopt;
        return FaixaIdeal{lo, hi, true, true};
    }

    // One bound: "Máx. 700", "< 50", "Mín. 2,0", "acima de 10".
    struct Limite {
        QRegularExpression re;
        bool superior, incluso;
    };
    static const Limite limites[] = {
        {inteira(kMaxFechado + R"(\s*:?\s*)" + kNum + kUnid), true, true},
        {inteira(kMaxAberto + R"(\s*:?\s*)" + kNum + kUnid), true, false},
        {inteira(kMinFechado + R"(\s*:?\s*)" + kNum + kUnid), false, true},
        {inteira(kMinAberto + R"(\s*:?\s*)" + kNum + kUnid), false, false},
    };
    for (const Limite& l : limites) {
        const QRegularExpressionMatch m = l.re.match(t);
        if (!m.hasMatch()) continue;
        if (!unidadeAceita(m.captured(2))) return std::nullopt;
        FaixaIdeal f;
        const double v = numero(m.captured(1));
        if (l.superior) {
            f.maximo = v;
            f.maximoIncluso = l.incluso;
        } else {
            f.minimo = v;
            f.minimoIncluso = l.incluso;
        }
        return f;
    }
    return std::nullopt;
}

PosicaoFaixa PosicaoNaFaixa(const FaixaIdeal& f, double v) {
    if (f.minimo && (f.minimoIncluso ? v < *f.minimo : v <= *f.minimo)) return PosicaoFaixa::Abaixo;
    if (f.maximo && (f.maximoIncluso ? v > *f.maximo : v >= *f.maximo)) return PosicaoFaixa::Acima;
    return PosicaoFaixa::Dentro;
}

QString DescreveFaixa(const FaixaIdeal& f) {
    if (f.minimo && f.maximo) {
        if (f.minimoIncluso && f.maximoIncluso)
            return "de " + formata(*f.minimo) + " a " + formata(*f.maximo);
        return QString::fromUtf8("%1 %2 e %3 %4")
            .arg(f.minimoIncluso ? QString::fromUtf8("no mínimo") : QString("acima de"), formata(*f.minimo),
                 f.maximoIncluso ? QString::fromUtf8("no máximo") : QString("abaixo de"), formata(*f.maximo));
    }
    if (f.maximo)
        return (f.maximoIncluso ? QString::fromUtf8("no máximo ") : QString("abaixo de ")) +
               formata(*f.maximo);
    if (f.minimo)
        return (f.minimoIncluso ? QString::fromUtf8("no mínimo ") : QString("acima de ")) +
               formata(*f.minimo);
    return QString();
}

QString SimboloPosicao(PosicaoFaixa p) {
    switch (p) {
    case PosicaoFaixa::Acima:
        return QString(QChar(0x25B2));
    case PosicaoFaixa::Abaixo:
        return QString(QChar(0x25BC));
    case PosicaoFaixa::Dentro:
        break;
    }
    return QString();
}

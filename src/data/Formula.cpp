#include "data/Formula.h"
#include "data/DatabaseError.h"
#include "data/Query.h"
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <ibase.h>
#include <muParser.h>
#include <set>

namespace formula {

namespace {

// The first domain fault met while one formula is evaluated: each operator and function
// checks its own result, so a fault never travels on as an infinity or NaN that a later
// step could turn into an ordinary number (1 / inf = 0).
thread_local const char* t_falha = nullptr;

double falha(const char* motivo) {
    if (!t_falha) t_falha = motivo;
    return 0.0;
}
double confere(double v) {
    return std::isfinite(v) ? v : falha("o resultado não é um número finito");
}

double soma(double a, double b) {
    return confere(a + b);
}
double subtrai(double a, double b) {
    return confere(a - b);
}
double multiplica(double a, double b) {
    return confere(a * b);
}
double divide(double a, double b) {
    return b == 0.0 ? falha("divisão por zero") : confere(a / b);
}
double potencia(double a, double b) {
    if (a < 0 && b != std::floor(b)) return falha("potência fracionária de valor negativo");
    if (a == 0 && b < 0) return falha("divisão por zero");
    return confere(std::pow(a, b));
}
double menor(double a, double b) {
    return a < b;
}
double menorIgual(double a, double b) {
    return a <= b;
}
double maior(double a, double b) {
    return a > b;
}
double maiorIgual(double a, double b) {
    return a >= b;
}
double igual(double a, double b) {
    return a == b;
}
double diferente(double a, double b) {
    return a != b;
}
double eLogico(double a, double b) {
    return a != 0 && b != 0;
}
double ou(double a, double b) {
    return a != 0 || b != 0;
}
double fLog10(double x) {
    return x <= 0 ? falha("logaritmo de valor não positivo") : std::log10(x);
}
double fLn(double x) {
    return x <= 0 ? falha("logaritmo de valor não positivo") : std::log(x);
}
double fExp(double x) {
    return confere(std::exp(x));
}
double fSqrt(double x) {
    return x < 0 ? falha("raiz quadrada de valor negativo") : std::sqrt(x);
}
double fAbs(double x) {
    return std::fabs(x);
}
double fMin(const double* v, int n) {
    double r = v[0];
    for (int i = 1; i < n; ++i)
        r = std::min(r, v[i]);
    return r;
}
double fMax(const double* v, int n) {
    double r = v[0];
    for (int i = 1; i < n; ++i)
        r = std::max(r, v[i]);
    return r;
}

// A parser with only the operators and functions above.
void configura(mu::Parser& p) {
    p.EnableBuiltInOprt(false);
    p.ClearFun();
    p.ClearConst();
    p.DefineOprt("+", soma, mu::prADD_SUB);
    p.DefineOprt("-", subtrai, mu::prADD_SUB);
    p.DefineOprt("*", multiplica, mu::prMUL_DIV);
    p.DefineOprt("/", divide, mu::prMUL_DIV);
    p.DefineOprt("^", potencia, mu::prPOW, mu::oaRIGHT);
    p.DefineOprt("<", menor, mu::prCMP);
    p.DefineOprt("<=", menorIgual, mu::prCMP);
    p.DefineOprt(">", maior, mu::prCMP);
    p.DefineOprt(">=", maiorIgual, mu::prCMP);
    p.DefineOprt("==", igual, mu::prCMP);
    p.DefineOprt("!=", diferente, mu::prCMP);
    p.DefineOprt("&&", eLogico, mu::prLAND);
    p.DefineOprt("||", ou, mu::prLOR);
    p.DefineFun("log10", fLog10);
    p.DefineFun("ln", fLn);
    p.DefineFun("exp", fExp);
    p.DefineFun("sqrt", fSqrt);
    p.DefineFun("abs", fAbs);
    p.DefineFun("min", fMin);
    p.DefineFun("max", fMax);
    p.SetDecSep(',');
    p.SetArgSep(';');
    p.SetThousandsSep(0);
}

const QSet<QString>& funcoes() {
    static const QSet<QString> s = {"log10", "ln", "exp", "sqrt", "abs", "min", "max"};
    return s;
}

// The identifier that ends just before position pos (0-based), empty when none.
QString identificadorAntes(const QString& texto, int pos) {
    int fim = pos;
    while (fim > 0 && texto[fim - 1].isSpace())
        --fim;
    int ini = fim;
    while (ini > 0 && (texto[ini - 1].isLetterOrNumber() || texto[ini - 1] == '_'))
        --ini;
    return texto.mid(ini, fim - ini);
}

// The Portuguese message for a syntax fault found by the parser.
ErroFormula erroSintaxe(const QString& texto, const mu::ParserError& e) {
    int pos = e.GetPos();
    if (pos < 0 || pos > texto.size()) pos = static_cast<int>(texto.size());
    const QString tok = QString::fromStdString(e.GetToken()).trimmed();
    QString oque;
    switch (e.GetCode()) {
    case mu::ecEMPTY_EXPRESSION:
        return ErroFormula("A fórmula está vazia.", 1);
    case mu::ecUNEXPECTED_EOF:
        oque = "a fórmula termina antes de se completar";
        break;
    case mu::ecUNEXPECTED_OPERATOR:
        oque = QString("operador \"%1\" fora do lugar").arg(tok);
        break;
    case mu::ecUNEXPECTED_ARG_SEP:
        oque = "\";\" fora do lugar (separa os argumentos de uma função; a vírgula é a decimal)";
        break;
    case mu::ecUNEXPECTED_PARENS: {
        const QString antes = identificadorAntes(texto, pos);
        if (tok == "(" && !antes.isEmpty() && !funcoes().contains(antes)) {
            pos -= static_cast<int>(antes.size());
            while (pos > 0 && texto[pos].isSpace())
                --pos;
            oque =
                QString("função desconhecida \"%1\" (use log10, ln, exp, sqrt, abs, min ou max)").arg(antes);
        } else {
            oque = QString("parêntese \"%1\" fora do lugar").arg(tok);
        }
        break;
    }
    case mu::ecMISSING_PARENS:
        oque = "falta fechar um parêntese";
        break;
    case mu::ecUNEXPECTED_VAL:
    case mu::ecUNEXPECTED_VAR:
        oque = QString("\"%1\" fora do lugar (falta um operador antes?)").arg(tok);
        break;
    case mu::ecUNEXPECTED_FUN:
        oque = QString("função \"%1\" fora do lugar").arg(tok);
        break;
    case mu::ecTOO_MANY_PARAMS:
        oque = "argumentos demais para a função";
        break;
    case mu::ecTOO_FEW_PARAMS:
        oque = "faltam argumentos para a função";
        break;
    case mu::ecUNEXPECTED_CONDITIONAL:
    case mu::ecMISSING_ELSE_CLAUSE:
    case mu::ecMISPLACED_COLON:
        oque = "condição incompleta (escreva condição ? valor : outro valor)";
        break;
    case mu::ecUNASSIGNABLE_TOKEN:
        if (tok.startsWith('.'))
            oque = "a vírgula é o separador decimal; o ponto não é aceito";
        else if (tok.startsWith(','))
            oque = "vírgula fora de um número (separe os argumentos de uma função com \";\")";
        else
            oque = QString("símbolo não reconhecido \"%1\"").arg(tok.left(10));
        break;
    default:
        oque = "expressão inválida";
    }
    return ErroFormula(QString("Erro de sintaxe na posição %1: %2.").arg(pos + 1).arg(oque), pos + 1);
}

} // namespace

struct Expressao::Impl {
    QString texto;
    QStringList codigos;
    std::vector<double> valores;
    mu::Parser parser;
};

Expressao::Expressao(const QString& texto) : d(std::make_unique<Impl>()) {
    d->texto = texto;
    for (int i = 0; i < texto.size(); ++i)
        if (texto[i].unicode() > 126 || (texto[i].unicode() < 32 && !texto[i].isSpace()))
            throw ErroFormula(QString("Erro de sintaxe na posição %1: caractere não aceito \"%2\".")
                                  .arg(i + 1)
                                  .arg(texto[i]),
                              i + 1);
    configura(d->parser);
    // Line breaks of a formula written on several lines are blanks (same positions).
    QString linha = texto;
    for (QChar& c : linha)
        if (c.isSpace()) c = ' ';
    try {
        d->parser.SetExpr(linha.toStdString());
        // The variables the text names, in the parser's (alphabetical) order; put into the
        // order of first appearance below.
        const mu::varmap_type usadas = d->parser.GetUsedVar();
        std::vector<std::pair<int, QString>> porPosicao;
        for (const auto& kv : usadas) {
            const QString nome = QString::fromStdString(kv.first);
            porPosicao.emplace_back(0, nome);
        }
        for (auto& [pos, nome] : porPosicao) {
            const QRegularExpression re("(?<![A-Za-z0-9_])" + QRegularExpression::escape(nome) +
                                        "(?![A-Za-z0-9_])");
            const QRegularExpressionMatch m = re.match(texto);
            pos = m.hasMatch() ? static_cast<int>(m.capturedStart()) : 0;
        }
        std::sort(porPosicao.begin(), porPosicao.end());
        for (const auto& p : porPosicao)
            d->codigos << p.second;
        d->valores.assign(static_cast<size_t>(d->codigos.size()), 0.0);
        for (int i = 0; i < d->codigos.size(); ++i)
            d->parser.DefineVar(d->codigos[i].toStdString(), &d->valores[static_cast<size_t>(i)]);
        // The first evaluation compiles the text; a fault of structure shows here.
        t_falha = nullptr;
        d->parser.Eval();
        t_falha = nullptr;
    } catch (const mu::ParserError& e) {
        t_falha = nullptr;
        throw erroSintaxe(texto, e);
    }
}

Expressao::~Expressao() = default;

const QString& Expressao::texto() const {
    return d->texto;
}

const QStringList& Expressao::codigos() const {
    return d->codigos;
}

int Expressao::posicaoDe(const QString& codigo) const {
    const QRegularExpression re("(?<![A-Za-z0-9_])" + QRegularExpression::escape(codigo) +
                                "(?![A-Za-z0-9_(])");
    const QRegularExpressionMatch m = re.match(d->texto);
    return m.hasMatch() ? static_cast<int>(m.capturedStart()) + 1 : 0;
}

Resultado Expressao::avalia(const Valores& valores, const Faltando& faltando) const {
    for (int i = 0; i < d->codigos.size(); ++i) {
        const std::optional<double> v = valores(d->codigos[i]);
        if (!v || !std::isfinite(*v))
            return {std::nullopt, faltando ? faltando(d->codigos[i]) : "falta o valor de " + d->codigos[i]};
        d->valores[static_cast<size_t>(i)] = *v;
    }
    t_falha = nullptr;
    double r = 0;
    try {
        r = d->parser.Eval();
    } catch (const mu::ParserError&) {
        t_falha = nullptr;
        return {std::nullopt, "a fórmula não pôde ser calculada"};
    }
    if (t_falha) {
        const QString motivo = QString::fromUtf8(t_falha);
        t_falha = nullptr;
        return {std::nullopt, motivo};
    }
    if (!std::isfinite(r)) return {std::nullopt, "o resultado não é um número finito"};
    return {r, QString()};
}

double arredondaResultado(double v) {
    return std::round(v * 10000.0) / 10000.0;
}

QString textoNumero(double v) {
    QString s = QString::number(v, 'g', 15);
    s.replace('.', ',');
    return s;
}

QString verificaFormatoCodigo(const QString& codigo) {
    static const QRegularExpression re("^[A-Z][A-Z0-9_]{0,14}$");
    if (re.match(codigo).hasMatch()) return {};
    return QString("O código \"%1\" não é válido: use de 1 a 15 letras maiúsculas sem acento, dígitos ou "
                   "\"_\", começando por uma letra.")
        .arg(codigo);
}

Catalogo Catalogo::le(Database& db, Transaction& tr) {
    Catalogo c;
    tr.ensureActive();
    Query q(&db, &tr, "IBQ_Formulas");
    q.setSqlText("select tta.id_tp_analise, tta.nm_tp_analise, f.cd_tp_analise, f.tx_formula from "
                 "sis_ctv_formula f join tab_tp_analise tta on tta.id_tp_analise = f.id_tp_analise");
    try {
        q.open();
    } catch (const DatabaseError& e) {
        // A site whose own tables could not be created yet (their script failed at start) has
        // no calculated types: its results are entered and saved as before.
        if (e.hasCode(isc_dsql_relation_err)) return c;
        throw;
    }
    q.fetchAll();
    for (int r = 0; r < q.recordCount(); ++r)
        c.define({q.valueAt(r, q.field(0)).toInt(), q.valueAt(r, q.field(1)).toString(),
                  q.valueAt(r, q.field(2)).toString().trimmed(),
                  q.valueAt(r, q.field(3)).toString().trimmed()});
    q.close();
    return c;
}

void Catalogo::define(const TipoFormula& t) {
    m_tipos[t.id] = t;
    m_compiladas.erase(t.id);
    m_erros.erase(t.id);
}

const TipoFormula* Catalogo::tipo(int id) const {
    auto it = m_tipos.find(id);
    return it == m_tipos.end() ? nullptr : &it->second;
}

const TipoFormula* Catalogo::porCodigo(const QString& codigo) const {
    for (const auto& [id, t] : m_tipos)
        if (!t.codigo.isEmpty() && t.codigo == codigo) return &t;
    return nullptr;
}

bool Catalogo::calculado(int id) const {
    const TipoFormula* t = tipo(id);
    return t && !t->formula.isEmpty();
}

const Expressao* Catalogo::expressao(int id, QString* erro) const {
    if (auto it = m_compiladas.find(id); it != m_compiladas.end()) return it->second.get();
    if (auto it = m_erros.find(id); it != m_erros.end()) {
        if (erro) *erro = it->second;
        return nullptr;
    }
    const TipoFormula* t = tipo(id);
    if (!t || t->formula.isEmpty()) return nullptr;
    try {
        auto e = std::make_shared<Expressao>(t->formula);
        m_compiladas[id] = e;
        return e.get();
    } catch (const ErroFormula& x) {
        m_erros[id] = x.message();
        if (erro) *erro = x.message();
        return nullptr;
    }
}

QString Catalogo::verificaCodigo(int idTipo, const QString& codigo) const {
    const TipoFormula* atual = tipo(idTipo);
    const QString antigo = atual ? atual->codigo : QString();
    if (!codigo.isEmpty()) {
        if (QString m = verificaFormatoCodigo(codigo); !m.isEmpty()) return m;
        const TipoFormula* outro = porCodigo(codigo);
        if (outro && outro->id != idTipo)
            return QString("O código \"%1\" já é do tipo de análise \"%2\".").arg(codigo, outro->nome);
    }
    if (!antigo.isEmpty() && antigo != codigo) {
        for (const auto& [id, t] : m_tipos) {
            if (id == idTipo || t.formula.isEmpty()) continue;
            const Expressao* e = expressao(id, nullptr);
            if (e && e->codigos().contains(antigo))
                return QString("O código \"%1\" não pode mudar: a fórmula de \"%2\" o usa.")
                    .arg(antigo, t.nome);
        }
    }
    return {};
}

QString Catalogo::verificaFormula(int idTipo, const QString& codigo, const QString& texto) const {
    if (texto.trimmed().isEmpty()) return {};
    std::unique_ptr<Expressao> e;
    try {
        e = std::make_unique<Expressao>(texto);
    } catch (const ErroFormula& x) {
        return x.message();
    }
    // The codes the formula reads, each known and none its own.
    std::map<int, std::pair<QString, int>> usados; // type -> (code, position)
    for (const QString& c : e->codigos()) {
        const int pos = e->posicaoDe(c);
        if (!codigo.isEmpty() && c == codigo)
            return QString("A fórmula usa o próprio código \"%1\" (posição %2): um tipo calculado não pode "
                           "depender de si mesmo.")
                .arg(c)
                .arg(pos);
        const TipoFormula* t = porCodigo(c);
        if (!t || t->id == idTipo) {
            QString dica;
            for (const auto& [id, o] : m_tipos)
                if (id != idTipo && !o.codigo.isEmpty() && o.codigo.compare(c, Qt::CaseInsensitive) == 0)
                    dica = QString(" (os códigos distinguem maiúsculas: \"%1\")").arg(o.codigo);
            return QString(
                       "Código desconhecido \"%1\" na posição %2: nenhum tipo de análise tem esse código%3.")
                .arg(c)
                .arg(pos)
                .arg(dica);
        }
        usados.emplace(t->id, std::make_pair(c, pos));
    }
    // A cycle: following the formulas of the types read leads back to this type.
    for (const auto& [id, cp] : usados) {
        std::vector<int> caminho{id};
        std::set<int> vistos;
        std::function<bool(int)> volta = [&](int atual) -> bool {
            if (!vistos.insert(atual).second) return false;
            const Expressao* x = expressao(atual, nullptr);
            if (!x) return false;
            for (const QString& c : x->codigos()) {
                const TipoFormula* t = porCodigo(c);
                if (!t) continue;
                caminho.push_back(t->id);
                if (t->id == idTipo || volta(t->id)) return true;
                caminho.pop_back();
            }
            return false;
        };
        if (volta(id)) {
            QStringList nomes{codigo.isEmpty() ? QString("(este tipo)") : codigo};
            for (int t : caminho)
                nomes << (t == idTipo && !codigo.isEmpty() ? codigo : tipo(t)->codigo);
            return QString("A fórmula forma um ciclo (posição %1): %2.")
                .arg(cp.second)
                .arg(nomes.join(" → "));
        }
    }
    return {};
}

Resultado Catalogo::calculaTipo(int id, const std::map<int, double>& medidos,
                                std::map<int, Resultado>& feitos, std::vector<int>& pilha) const {
    if (auto it = feitos.find(id); it != feitos.end()) return it->second;
    const TipoFormula* t = tipo(id);
    QString erro;
    const Expressao* e = expressao(id, &erro);
    if (!e) return feitos[id] = {std::nullopt, "a fórmula tem erro: " + erro};
    if (std::find(pilha.begin(), pilha.end(), id) != pilha.end())
        return feitos[id] = {std::nullopt, "a fórmula forma um ciclo"};
    pilha.push_back(id);
    QString motivoEntrada;
    const Resultado r = e->avalia(
        [&](const QString& codigo) -> std::optional<double> {
            const TipoFormula* entrada = porCodigo(codigo);
            if (!entrada) {
                motivoEntrada = QString("o código \"%1\" não é de nenhum tipo de análise").arg(codigo);
                return std::nullopt;
            }
            if (calculado(entrada->id)) {
                const Resultado sub = calculaTipo(entrada->id, medidos, feitos, pilha);
                if (!sub.valor)
                    motivoEntrada =
                        QString("\"%1\" não pôde ser calculado: %2").arg(entrada->nome, sub.motivo);
                return sub.valor;
            }
            auto it = medidos.find(entrada->id);
            if (it == medidos.end()) {
                motivoEntrada = QString("falta o valor de \"%1\" (%2)").arg(entrada->nome, codigo);
                return std::nullopt;
            }
            return it->second;
        },
        [&](const QString&) { return motivoEntrada; });
    pilha.pop_back();
    Q_UNUSED(t);
    return feitos[id] = r;
}

std::map<int, Resultado> Catalogo::calcula(const std::map<int, double>& medidos,
                                           const std::vector<int>& tipos) const {
    std::map<int, Resultado> feitos, out;
    std::vector<int> pilha;
    for (int id : tipos)
        if (calculado(id)) out[id] = calculaTipo(id, medidos, feitos, pilha);
    return out;
}

std::vector<int> Catalogo::dependentes(int idTipo) const {
    std::vector<int> out{idTipo};
    for (size_t i = 0; i < out.size(); ++i) {
        const TipoFormula* t = tipo(out[i]);
        if (!t || t->codigo.isEmpty()) continue;
        for (const auto& [id, o] : m_tipos) {
            if (o.formula.isEmpty() || std::find(out.begin(), out.end(), id) != out.end()) continue;
            const Expressao* e = expressao(id, nullptr);
            if (e && e->codigos().contains(t->codigo)) out.push_back(id);
        }
    }
    return out;
}

} // namespace formula

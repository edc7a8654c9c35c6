#pragma once
// Formulas of calculated analysis types: a value computed from the other results of the same
// sample (saturation indices, hardness sums, ratios) instead of being measured.
//
// A formula is written the Brazilian way: decimal comma ("9,3"), ';' between the arguments of
// a function ("max(ALC; 50)"), and the short codes of the analysis types as its variables
// ("PH - PHS"). It offers + - * / ^, comparisons (< <= > >= == !=), && and ||, the conditional
// "condição ? valor : outro", and the functions log10, ln, exp, sqrt, abs, min and max.
//
// Evaluation never gives a wrong number: a missing input, a division by zero, the logarithm
// of a value that is not positive, the root of a negative value or a result that is not a
// finite number leave the result empty with the reason in Portuguese.
#include "platform/Errors.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class Database;
class Transaction;

namespace formula {

// A formula text that is not a formula; the message names the place (1-based position).
class ErroFormula : public AppError {
public:
    ErroFormula(const QString& message, int posicao) : AppError(message), m_posicao(posicao) {}
    int posicao() const { return m_posicao; }

private:
    int m_posicao;
};

// A value, or none with the reason.
struct Resultado {
    std::optional<double> valor;
    QString motivo;
};

// One formula, compiled once and evaluated many times.
class Expressao {
public:
    // Throws ErroFormula when the text is not a formula (syntax only: the codes are not known
    // here).
    explicit Expressao(const QString& texto);
    ~Expressao();
    Expressao(const Expressao&) = delete;
    Expressao& operator=(const Expressao&) = delete;

    const QString& texto() const;
    // The codes the formula reads, in the order of their first appearance.
    const QStringList& codigos() const;
    // Position (1-based) of the first appearance of a code in the text, 0 when absent.
    int posicaoDe(const QString& codigo) const;

    // The value for the codes' values; a code without value leaves the result empty with
    // faltando(code) as the reason.
    using Valores = std::function<std::optional<double>(const QString& codigo)>;
    using Faltando = std::function<QString(const QString& codigo)>;
    Resultado avalia(const Valores& valores, const Faltando& faltando = {}) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A result as MOV_ANALISE_RESULTADO.VL_RESULTADO keeps it (four decimals).
double arredondaResultado(double v);
// The largest magnitude that column holds (NUMERIC(15,4)).
inline constexpr double kMaiorResultado = 99999999999.9999;

// The text of a number in a formula (decimal comma, no digit groups).
QString textoNumero(double v);
// A code is 1 to 15 characters: an upper-case letter, then upper-case letters, digits or '_'.
// Empty when the code is fine, else the message.
QString verificaFormatoCodigo(const QString& codigo);

// An analysis type as the formulas see it.
struct TipoFormula {
    int id = 0;
    QString nome;
    QString codigo;  // empty: not named in formulas
    QString formula; // empty: a measured type
};

// The codes and formulas of every analysis type.
class Catalogo {
public:
    // Reads SIS_CTV_FORMULA with the names of TAB_TP_ANALISE, on tr.
    static Catalogo le(Database& db, Transaction& tr);

    void define(const TipoFormula& t);
    const TipoFormula* tipo(int id) const;
    const TipoFormula* porCodigo(const QString& codigo) const;
    bool calculado(int id) const;
    const std::map<int, TipoFormula>& tipos() const { return m_tipos; }

    // The message for a formula that type idTipo (known by codigo) would carry, empty when it
    // is fine: syntax, unknown codes, a reference to itself, a cycle through other formulas.
    QString verificaFormula(int idTipo, const QString& codigo, const QString& texto) const;
    // The message for a code type idTipo would carry, empty when fine: its format, another
    // type with the same code, and a change of a code that other formulas read.
    QString verificaCodigo(int idTipo, const QString& codigo) const;

    // The calculated types among tipos computed from the measured values (by type); a
    // calculated type that reads another calculated type uses that one's result.
    std::map<int, Resultado> calcula(const std::map<int, double>& medidos,
                                     const std::vector<int>& tipos) const;
    // Type idTipo and every calculated type that reads it, directly or through others.
    std::vector<int> dependentes(int idTipo) const;

private:
    const Expressao* expressao(int id, QString* erro) const;
    Resultado calculaTipo(int id, const std::map<int, double>& medidos, std::map<int, Resultado>& feitos,
                          std::vector<int>& pilha) const;

    std::map<int, TipoFormula> m_tipos;
    mutable std::map<int, std::shared_ptr<Expressao>> m_compiladas;
    mutable std::map<int, QString> m_erros;
};

} // namespace formula

#pragma once
// The range written in an ideal-result text ("150 a 300", "Máx. 700", "10,5 - 11,5", "< 50",
// "acima de 10", "entre 5 e 10"): its lower and upper bounds, each open or closed. Numbers are
// read in the Brazilian form ("3.500" is three thousand five hundred, "0,05" five hundredths) and
// a unit may follow each number. A text that does not state its limits beyond doubt ("Ausente",
// "Isento", "conforme legislação", "1.5", a lower bound above the upper) gives no range, so no
// value is ever judged against a guess.
#include <QString>
#include <optional>

struct FaixaIdeal {
    std::optional<double> minimo, maximo;
    // Whether a value equal to the bound is inside ("Máx. 700": 700 is; "< 50": 50 is not).
    bool minimoIncluso = true, maximoIncluso = true;

    bool operator==(const FaixaIdeal&) const = default;
};

// Where a value stands against a range.
enum class PosicaoFaixa { Dentro, Abaixo, Acima };

// The range of an ideal-result text, or none.
std::optional<FaixaIdeal> LeFaixaIdeal(const QString& texto);

PosicaoFaixa PosicaoNaFaixa(const FaixaIdeal& faixa, double valor);

// The range in words, for the user ("de 150 a 300", "no máximo 700", "abaixo de 50", "acima de
// 10", "no mínimo 2"), numbers in the Brazilian form.
QString DescreveFaixa(const FaixaIdeal& faixa);

// The symbol put beside a value out of its range: "▲" above, "▼" below, empty inside.
QString SimboloPosicao(PosicaoFaixa p);

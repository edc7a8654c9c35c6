// The range reader of ideal-result texts over a corpus: every ideal text of the demo and large
// sites, the benchmarks' texts and hand-made ones, each with the range it must give or none.
#include "data/FaixaIdeal.h"
#include "sitegen/DemoCatalog.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace {

constexpr double kSem = std::numeric_limits<double>::quiet_NaN();

struct Caso {
    const char* texto;
    bool temFaixa;
    double minimo = kSem, maximo = kSem;
    bool minimoIncluso = true, maximoIncluso = true;
};

Caso nenhum(const char* t) {
    return {t, false};
}
Caso faixa(const char* t, double lo, double hi) {
    return {t, true, lo, hi};
}
Caso maximo(const char* t, double hi, bool incluso = true) {
    return {t, true, kSem, hi, true, incluso};
}
Caso minimo(const char* t, double lo, bool incluso = true) {
    return {t, true, lo, kSem, incluso, true};
}

const std::vector<Caso>& corpus() {
    static const std::vector<Caso> v = {
        // The demo and large sites' texts.
        faixa("10,5 a 11,5", 10.5, 11.5),
        maximo("Máx. 3.500", 3500),
        maximo("Máx. 2,0", 2),
        maximo("Máx. 700", 700),
        faixa("150 a 300", 150, 300),
        maximo("Máx. 300", 300),
        maximo("Máx. 1,0", 1),
        maximo("Máx. 150", 150),
        faixa("30 a 60", 30, 60),
        maximo("Máx. 3.000", 3000),
        faixa("7,0 a 8,5", 7, 8.5),
        maximo("Máx. 2.500", 2500),
        maximo("Máx. 600", 600),
        maximo("Máx. 400", 400),
        maximo("Máx. 500", 500),
        faixa("5,0 a 15,0", 5, 15),
        faixa("0,5 a 1,0", 0.5, 1),
        maximo("Máx. 10", 10),
        faixa("5,0 a 10,0", 5, 10),
        faixa("4 a 6", 4, 6),
        maximo("Máx. 10.000", 10000),
        faixa("8,5 a 10,0", 8.5, 10),
        maximo("Máx. 200", 200),
        maximo("Máx. 20", 20),
        faixa("200 a 400", 200, 400),
        maximo("Máx. 0,5", 0.5),
        faixa("600 a 900", 600, 900),
        faixa("6,0 a 9,0", 6, 9),
        maximo("Máx. 15,0", 15),
        maximo("Máx. 40", 40),
        maximo("Máx. 120", 120),
        maximo("Máx. 100", 100),
        maximo("Máx. 5,0", 5),
        faixa("6,0 a 9,5", 6, 9.5),
        maximo("Máx. 250", 250),
        maximo("Máx. 0,3", 0.3),
        faixa("0,2 a 2,0", 0.2, 2),
        maximo("Máx. 15", 15),
        nenhum("Ausente"),
        faixa("5,5 a 7,5", 5.5, 7.5),
        maximo("Máx. 0,05", 0.05),
        faixa("8,3 a 9,0", 8.3, 9),
        maximo("Máx. 30", 30),
        maximo("Máx. 0,1", 0.1),
        maximo("Máx. 2.000", 2000),
        maximo("Máx. 40,0", 40),
        faixa("-0,5 a 1,0", -0.5, 1), // the saturation index, signed
        faixa("5,5 a 7,0", 5.5, 7),
        // The benchmarks' texts.
        maximo("Máx. 400,0", 400),
        maximo("Máx. 10,0", 10),
        // Phrasings a laboratory writes.
        faixa("7,0 a 9,0", 7, 9),
        faixa("10,5 - 11,5", 10.5, 11.5),
        faixa("10,5-11,5", 10.5, 11.5),
        faixa("10,5 – 11,5", 10.5, 11.5),
        faixa("entre 5 e 10", 5, 10),
        faixa("Entre 5,0 e 10,0 mg/L", 5, 10),
        faixa("de 2 até 4", 2, 4),
        faixa("150 mg/L a 300 mg/L", 150, 300),
        faixa("-5 a 5", -5, 5),
        faixa("1.000 a 2.500 µS/cm", 1000, 2500),
        maximo("máximo 700", 700),
        maximo("Máximo: 700", 700),
        maximo("no máximo 700 mg/L CaCO3", 700),
        maximo("Max 700", 700),
        maximo("Máx.700", 700),
        maximo("Máx. 700.", 700),
        maximo("< 50", 50, false),
        maximo("<50", 50, false),
        maximo("<= 50", 50),
        maximo("≤ 50", 50),
        maximo("até 50", 50),
        maximo("Até 50 NTU", 50),
        maximo("menor que 0,5", 0.5, false),
        maximo("abaixo de 1", 1, false),
        maximo("Máx. 1.234,5", 1234.5),
        maximo("Máx. 100 NMP/100 mL", 100),
        maximo("Máx. 5%", 5),
        minimo("Mín. 2,0", 2),
        minimo("mínimo 2", 2),
        minimo(">= 2", 2),
        minimo("≥ 2", 2),
        minimo("> 10", 10, false),
        minimo("acima de 10", 10, false),
        minimo("maior que 10", 10, false),
        minimo("a partir de 3", 3),
        minimo("Min. 30 °C", 30),
        // Texts whose limits are not certain: no range.
        nenhum(""),
        nenhum("   "),
        nenhum("Isento"),
        nenhum("conforme legislação"),
        nenhum("Ausente em 100 mL"),
        nenhum("7,0"),
        nenhum("Máx."),
        nenhum("300 a 150"),
        nenhum("1.5 a 2.5"),
        nenhum("Máx. 0.05"),
        nenhum("Máx. 1.5"),
        nenhum("Máx. 50 ou ausente"),
        nenhum("Máx. 5,0 (recomendado 3,0)"),
        nenhum("5 a 10 a 20"),
        nenhum("150 mg/L a 300 g/L"),
        nenhum("pH 7 a 9"),
        nenhum("aprox. 10"),
        nenhum("10 ± 2"),
        nenhum("Máx. 1 000"),
        nenhum("Máx. 10,"),
        nenhum("< 50 e > 10"),
        nenhum("Máx. 700 mg/L ou 500 ppm"),
        nenhum("Mín. 2 máx. 5"),
        nenhum("Ver norma"),
    };
    return v;
}

std::string descreve(const std::optional<FaixaIdeal>& f) {
    if (!f) return "nenhuma";
    std::string s = f->minimo ? (f->minimoIncluso ? "[" : "(") + std::to_string(*f->minimo) : "(-inf";
    s += ", ";
    s += f->maximo ? std::to_string(*f->maximo) + (f->maximoIncluso ? "]" : ")") : "+inf)";
    return s;
}

std::optional<FaixaIdeal> esperado(const Caso& c) {
    if (!c.temFaixa) return std::nullopt;
    FaixaIdeal f;
    if (!std::isnan(c.minimo)) f.minimo = c.minimo;
    if (!std::isnan(c.maximo)) f.maximo = c.maximo;
    f.minimoIncluso = c.minimoIncluso;
    f.maximoIncluso = c.maximoIncluso;
    return f;
}

TEST(FaixaIdeal, ReadsEveryTextOfTheCorpusAsExpected) {
    for (const Caso& c : corpus()) {
        const auto lida = LeFaixaIdeal(QString::fromUtf8(c.texto));
        EXPECT_EQ(descreve(lida), descreve(esperado(c))) << "texto: \"" << c.texto << "\"";
    }
}

TEST(FaixaIdeal, EveryIdealTextOfTheGeneratedSitesIsInTheCorpus) {
    // The large site draws its ideal results from the same catalog as the demo site.
    std::set<std::string> conhecidos;
    for (const Caso& c : corpus())
        conhecidos.insert(c.texto);
    for (const demo::IdealResult& r : demo::idealResults()) {
        EXPECT_TRUE(conhecidos.count(r.texto)) << "texto sem caso: \"" << r.texto << "\"";
    }
}

TEST(FaixaIdeal, JudgesValuesAtAndAcrossOpenAndClosedBounds) {
    const FaixaIdeal fechada = *LeFaixaIdeal("150 a 300");
    EXPECT_EQ(PosicaoNaFaixa(fechada, 150), PosicaoFaixa::Dentro);
    EXPECT_EQ(PosicaoNaFaixa(fechada, 300), PosicaoFaixa::Dentro);
    EXPECT_EQ(PosicaoNaFaixa(fechada, 149.99), PosicaoFaixa::Abaixo);
    EXPECT_EQ(PosicaoNaFaixa(fechada, 300.01), PosicaoFaixa::Acima);
    const FaixaIdeal menor = *LeFaixaIdeal("< 50");
    EXPECT_EQ(PosicaoNaFaixa(menor, 50), PosicaoFaixa::Acima);
    EXPECT_EQ(PosicaoNaFaixa(menor, -1000), PosicaoFaixa::Dentro);
    const FaixaIdeal acima = *LeFaixaIdeal("acima de 10");
    EXPECT_EQ(PosicaoNaFaixa(acima, 10), PosicaoFaixa::Abaixo);
    EXPECT_EQ(PosicaoNaFaixa(acima, 1e9), PosicaoFaixa::Dentro);
    EXPECT_EQ(PosicaoNaFaixa(*LeFaixaIdeal("Máx. 10.000"), 14385), PosicaoFaixa::Acima);

    EXPECT_EQ(DescreveFaixa(fechada), "de 150 a 300");
    EXPECT_EQ(DescreveFaixa(*LeFaixaIdeal("Máx. 10.000")), QString::fromUtf8("no máximo 10.000"));
    EXPECT_EQ(DescreveFaixa(*LeFaixaIdeal("Máx. 0,05")), QString::fromUtf8("no máximo 0,05"));
    EXPECT_EQ(DescreveFaixa(menor), "abaixo de 50");
    EXPECT_EQ(DescreveFaixa(*LeFaixaIdeal("Mín. 2,0")), QString::fromUtf8("no mínimo 2"));
    EXPECT_EQ(SimboloPosicao(PosicaoFaixa::Acima), QString::fromUtf8("▲"));
    EXPECT_EQ(SimboloPosicao(PosicaoFaixa::Abaixo), QString::fromUtf8("▼"));
    EXPECT_TRUE(SimboloPosicao(PosicaoFaixa::Dentro).isEmpty());
}

} // namespace

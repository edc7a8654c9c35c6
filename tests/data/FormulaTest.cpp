// Formulas of calculated analysis types: the checker's messages, the saturation indices
// against a worked example, and the faults that must leave a result empty.
#include "data/Formula.h"
#include "TestDb.h"
#include <cmath>
#include <gtest/gtest.h>

using namespace formula;

namespace {

// pHs = (9,3 + A + B) - (C + D), written the way the laboratory types it.
const QString kPhs = "(9,3 + (log10(STD) - 1) / 10 + (-13,12 * log10(TEMP + 273) + 34,55)) - "
                     "((log10(DCA) - 0,4) + log10(ALC))";

Catalogo catalogoAgua() {
    Catalogo c;
    c.define({1, "pH", "PH", ""});
    c.define({2, "Temperatura (°C)", "TEMP", ""});
    c.define({3, "Sólidos Totais Dissolvidos (mg/L)", "STD", ""});
    c.define({4, "Dureza Cálcica (mg/L CaCO3)", "DCA", ""});
    c.define({5, "Alcalinidade Total (mg/L CaCO3)", "ALC", ""});
    c.define({6, "pH de Saturação", "PHS", kPhs});
    c.define({7, "Índice de Langelier", "LSI", "PH - PHS"});
    c.define({8, "Índice de Ryznar", "RSI", "2 * PHS - PH"});
    return c;
}

double valor(const Expressao& e, const std::map<QString, double>& v) {
    const Resultado r = e.avalia([&](const QString& c) -> std::optional<double> {
        auto it = v.find(c);
        return it == v.end() ? std::nullopt : std::optional<double>(it->second);
    });
    EXPECT_TRUE(r.valor.has_value()) << r.motivo.toStdString();
    return r.valor.value_or(NAN);
}

} // namespace

// A cooling water at pH 8,0, 500 mg/L dissolved solids, 30 °C, calcium hardness 250 and
// alkalinity 100 mg/L CaCO3: A = 0,1699, B = 1,9935, C = 1,9979, D = 2, so pHs = 7,4654,
// LSI = +0,53 (scale-forming) and RSI = 6,93.
TEST(Formula, LangelierAndRyznarOfAWorkedExample) {
    const Catalogo c = catalogoAgua();
    const auto r = c.calcula({{1, 8.0}, {2, 30}, {3, 500}, {4, 250}, {5, 100}}, {6, 7, 8, 1});
    ASSERT_EQ(r.size(), 3u); // the measured pH is not computed
    EXPECT_NEAR(*r.at(6).valor, 7.4654, 5e-4);
    EXPECT_NEAR(*r.at(7).valor, 0.5345, 5e-4);
    EXPECT_NEAR(*r.at(8).valor, 6.931, 5e-4);
    // The same written in one formula each, as the demo site ships them.
    Expressao lsi("PH - (" + kPhs + ")");
    EXPECT_EQ(lsi.codigos(), (QStringList{"PH", "STD", "TEMP", "DCA", "ALC"}));
    EXPECT_NEAR(valor(lsi, {{"PH", 8}, {"TEMP", 30}, {"STD", 500}, {"DCA", 250}, {"ALC", 100}}), 0.5345,
                5e-4);
    // A soft, cold, acidic water is corrosive: negative index, Ryznar above 8.
    const auto corrosiva = c.calcula({{1, 6.5}, {2, 10}, {3, 100}, {4, 20}, {5, 10}}, {7, 8});
    EXPECT_LT(*corrosiva.at(7).valor, -1.5);
    EXPECT_GT(*corrosiva.at(8).valor, 9.0);
}

TEST(Formula, ArithmeticFunctionsAndConditionalsInBrazilianNotation) {
    Expressao e("max(A; 2,5) + min(1; B; 3) * abs(-2) - sqrt(16) ^ 0,5 + ln(exp(1))");
    EXPECT_NEAR(valor(e, {{"A", 1}, {"B", -1}}), 2.5 - 2 - 2 + 1, 1e-12);
    Expressao se("A > 7 && B <= 2 ? 10 : A == 3 || B != 0 ? 20 : 30");
    EXPECT_EQ(valor(se, {{"A", 8}, {"B", 2}}), 10);
    EXPECT_EQ(valor(se, {{"A", 3}, {"B", 0}}), 20);
    EXPECT_EQ(valor(se, {{"A", 1}, {"B", 0}}), 30);
    // -x^2 is -(x^2); powers group from the right.
    EXPECT_EQ(valor(Expressao("-A^2"), {{"A", 3}}), -9);
    EXPECT_EQ(valor(Expressao("2^3^2"), {}), 512);
    // The branch not taken is not evaluated, so its fault does not count.
    EXPECT_EQ(valor(Expressao("A > 0 ? log10(A) : 0"), {{"A", -5}}), 0);
    EXPECT_EQ(textoNumero(7.25), "7,25");
}

TEST(Formula, FaultsLeaveTheResultEmptyWithTheReason) {
    const auto motivo = [](const QString& texto, double a) {
        const Resultado r = Expressao(texto).avalia([&](const QString&) { return std::optional<double>(a); });
        EXPECT_FALSE(r.valor.has_value()) << texto.toStdString();
        return r.motivo;
    };
    EXPECT_EQ(motivo("log10(A)", 0), "logaritmo de valor não positivo");
    EXPECT_EQ(motivo("ln(A - 1)", 0), "logaritmo de valor não positivo");
    EXPECT_EQ(motivo("sqrt(A)", -1), "raiz quadrada de valor negativo");
    // A division by zero deep inside must not turn into 0 through 1 / infinity.
    EXPECT_EQ(motivo("1 / (1 / A)", 0), "divisão por zero");
    EXPECT_EQ(motivo("min(1 / A; 5)", 0), "divisão por zero");
    EXPECT_EQ(motivo("A ^ 0,5", -4), "potência fracionária de valor negativo");
    EXPECT_EQ(motivo("exp(A) - exp(A)", 1000), "o resultado não é um número finito");

    // Missing inputs, also through another calculated type.
    const Catalogo c = catalogoAgua();
    const auto r = c.calcula({{1, 8.0}, {2, 30}, {3, 500}, {5, 100}}, {7});
    EXPECT_FALSE(r.at(7).valor);
    EXPECT_EQ(r.at(7).motivo, "\"pH de Saturação\" não pôde ser calculado: falta o valor de \"Dureza "
                              "Cálcica (mg/L CaCO3)\" (DCA)");
    const auto zero = c.calcula({{1, 8.0}, {2, 30}, {3, 500}, {4, 0}, {5, 100}}, {6});
    EXPECT_EQ(zero.at(6).motivo, "logaritmo de valor não positivo");
}

TEST(Formula, CheckerNamesThePlace) {
    Catalogo c = catalogoAgua();
    const auto msg = [&](const QString& texto, int id = 9, const QString& codigo = "NOVO") {
        return c.verificaFormula(id, codigo, texto).toStdString();
    };
    EXPECT_EQ(msg("PH * 2 + ALC / 10"), "");
    EXPECT_EQ(msg(""), "");
    EXPECT_EQ(msg("PH +"), "Erro de sintaxe na posição 5: a fórmula termina antes de se completar.");
    EXPECT_EQ(msg("(PH + 1"), "Erro de sintaxe na posição 8: falta fechar um parêntese.");
    EXPECT_EQ(msg("PH ALC"),
              "Erro de sintaxe na posição 4: \"ALC\" fora do lugar (falta um operador antes?).");
    EXPECT_EQ(msg("PH * 1.5"),
              "Erro de sintaxe na posição 7: a vírgula é o separador decimal; o ponto não é aceito.");
    EXPECT_EQ(msg("max(PH, 2)"),
              "Erro de sintaxe na posição 7: vírgula fora de um número (separe os argumentos "
              "de uma função com \";\").");
    EXPECT_EQ(msg("1,5 + ; 2"),
              "Erro de sintaxe na posição 7: \";\" fora do lugar (separa os argumentos de uma "
              "função; a vírgula é a decimal).");
    EXPECT_EQ(msg("raiz(PH)"),
              "Erro de sintaxe na posição 1: função desconhecida \"raiz\" (use log10, ln, exp, "
              "sqrt, abs, min ou max).");
    EXPECT_EQ(msg("PH > 7 ? 1"),
              "Erro de sintaxe na posição 11: condição incompleta (escreva condição ? valor : "
              "outro valor).");
    EXPECT_EQ(msg("PH * °C"), "Erro de sintaxe na posição 6: caractere não aceito \"°\".");
    EXPECT_EQ(msg("PH + CA"),
              "Código desconhecido \"CA\" na posição 6: nenhum tipo de análise tem esse código.");
    EXPECT_EQ(msg("alc * 2"),
              "Código desconhecido \"alc\" na posição 1: nenhum tipo de análise tem esse código "
              "(os códigos distinguem maiúsculas: \"ALC\").");
    EXPECT_EQ(msg("PH + NOVO"),
              "A fórmula usa o próprio código \"NOVO\" (posição 6): um tipo calculado não pode "
              "depender de si mesmo.");
    // PHS reads DCA; giving DCA a formula over LSI closes DCA -> LSI -> PHS -> DCA.
    EXPECT_EQ(msg("LSI + 1", 4, "DCA"), "A fórmula forma um ciclo (posição 1): DCA → LSI → PHS → DCA.");

    // Codes.
    EXPECT_EQ(c.verificaCodigo(9, "PH").toStdString(), "O código \"PH\" já é do tipo de análise \"pH\".");
    EXPECT_EQ(c.verificaCodigo(9, "1A").toStdString(),
              "O código \"1A\" não é válido: use de 1 a 15 letras maiúsculas sem acento, dígitos ou \"_\", "
              "começando por uma letra.");
    EXPECT_EQ(c.verificaCodigo(6, "PHSAT").toStdString(),
              "O código \"PHS\" não pode mudar: a fórmula de \"Índice "
              "de Langelier\" o usa.");
    EXPECT_EQ(c.verificaCodigo(2, "TEMP"), "");
    // The types that follow a changed formula, for recomputing.
    EXPECT_EQ(c.dependentes(6), (std::vector<int>{6, 7, 8}));
}

// The catalogue as the database holds it: the own table beside the analysis types.
TEST(Formula, CatalogueReadsTheOwnTable) {
    TestDb t;
    t.exec("insert into tab_tp_analise values (1, 'pH')");
    t.exec("insert into tab_tp_analise values (2, 'Dobro')");
    t.exec("insert into sis_ctv_formula values (1, 'PH', null)");
    t.exec("insert into sis_ctv_formula values (2, 'DOBRO', '2 * PH')");
    const Catalogo c = Catalogo::le(t.db, t.tr);
    EXPECT_FALSE(c.calculado(1));
    EXPECT_TRUE(c.calculado(2));
    EXPECT_EQ(*c.calcula({{1, 7.5}}, {2}).at(2).valor, 15.0);
    // Deleting an analysis type takes its formula row along.
    t.exec("delete from tab_tp_analise where id_tp_analise = 2");
    EXPECT_EQ(t.scalar("select count(*) from sis_ctv_formula").toInt(), 1);

    // A site whose own tables were not created yet has no calculated types, and says nothing.
    TestDb semTabelas;
    semTabelas.exec("drop table sis_ctv_formula");
    EXPECT_FALSE(Catalogo::le(semTabelas.db, semTabelas.tr).calculado(1));
}

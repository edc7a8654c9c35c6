#pragma once
// Fixed vocabulary of the demo laboratory (states, cities, products, equipment and analysis
// types with their ideal results, screens for the permission tables) and the small helpers
// the demo and the large-site generators share: random numbers, document numbers, RTF texts
// and a prepared insert.
#include "data/Formula.h"
#include "sitegen/SqlSink.h"
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <random>
#include <vector>

namespace demo {

struct State {
    const char* sigla;
    const char* nome;
};
struct City {
    const char* nome;
    const char* uf;
    const char* ddd;
    const char* cepPrefix; // first three digits of the city's postal codes
};
struct Activity {
    int id;
    const char* nome;
};
struct BaseProduct {
    int id;
    const char* nome;
    const char* unidade;
    const char* marca; // the laboratory's own product line, as sold
    double preco;      // price per unit
    double embalagem;  // package size in units
};
struct EquipmentType {
    int id;
    const char* nome;
    const char* tituloRelatorio;
    std::vector<int> produtos;      // base products used on it
    std::vector<const char*> nomes; // names given to the clients' pieces
};
struct AnalysisType {
    int id;
    const char* nome;
};
// Ideal result of an analysis type on an equipment type, with the range realistic values
// are drawn from and the number of decimals measured.
struct IdealResult {
    int tpEquipamento;
    int tpAnalise;
    const char* texto;
    double min;
    double max;
    int decimals;
};
// The code by which formulas name an analysis type, and the formula of a calculated type.
struct AnalysisFormula {
    int tpAnalise;
    const char* codigo;
    const char* formula; // empty: measured
};
struct Button {
    const char* nome;
    const char* classe;
    const char* caption;
};
struct Screen {
    const char* nome;
    const char* caption;
    std::vector<Button> botoes;
};
struct OwnCompany {
    int id;
    const char* codigo;
    const char* razao;
    const char* pesquisa;
    int cidade; // index into cities()
};

const std::vector<State>& states();
const std::vector<City>& cities();
const std::vector<Activity>& activities();
const std::vector<BaseProduct>& baseProducts();
const std::vector<EquipmentType>& equipmentTypes();
const std::vector<AnalysisType>& analysisTypes();
const std::vector<IdealResult>& idealResults();
std::vector<const IdealResult*> idealResultsOf(int tpEquipamento);
const std::vector<AnalysisFormula>& analysisFormulas();
// The codes and formulas above, ready to compute the calculated types of a sample.
formula::Catalogo formulaCatalogue();
// The values of one sample of an equipment type: each measured type's value drawn by draw,
// then the calculated types computed from them, rounded as the results column keeps them.
std::vector<std::pair<int, double>> sampleValues(const std::vector<const IdealResult*>& ideais,
                                                 const std::function<double(const IdealResult&)>& draw);
const std::vector<Screen>& screens();
const std::vector<OwnCompany>& ownCompanies();
// The five pseudo-buttons standing for the record rights, with their captions.
const std::vector<Button>& recordRights();

// Lists of Portuguese name parts for generated people.
const QStringList& firstNames();
const QStringList& surnames();
const QStringList& companyNames();
const QStringList& streets();
const QStringList& districts();

// Situations of client equipment (list 75 of the option store).
inline constexpr int kTabelaSituacao = 75;
inline constexpr int kSituacaoAprovada = -245;
inline constexpr int kSituacaoAguardando = -246;
inline constexpr int kSituacaoRecusada = -247;
inline constexpr int kSituacaoDesativada = -248;

// Deterministic random numbers.
class Random {
public:
    explicit Random(unsigned seed) : m_gen(seed) {}
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_gen); }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_gen); }
    double normal(double mean, double sd) { return std::normal_distribution<double>(mean, sd)(m_gen); }
    bool chance(double p) { return real(0.0, 1.0) < p; }
    template <class C> const auto& pick(const C& c) { return c[between(0, int(c.size()) - 1)]; }
    QString digits(int n);

private:
    std::mt19937 m_gen;
};

// A CNPJ (14 digits) or CPF (11 digits) with valid check digits.
QString makeCnpj(Random& rnd);
QString makeCpf(Random& rnd);
bool validCnpj(const QString& digits);
bool validCpf(const QString& digits);

// A one-paragraph RTF document in the style the rich-text editors write (Arial 8 pt);
// characters outside ASCII are written as \'hh escapes.
QByteArray rtfParagraph(const QString& text);
QString rtfEscape(const QString& text);

// Text of a blob column as stored (the database character set is ISO8859_1).
inline QByteArray latin1(const QString& s) {
    return s.toLatin1();
}

// Cuts a text to a column's width.
inline QString fit(const QString& s, int width) {
    return s.left(width);
}

// A prepared "insert into TABLE (columns) values (?, ...)" on a sink.
class Insert {
public:
    Insert(SqlSink& db, const QString& table, const QStringList& columns);
    void operator()(const QVariantList& values);
    const QString& table() const { return m_table; }

private:
    SqlSink& m_db;
    QString m_table;
    int m_columns;
    int m_handle;
};

// Value of "select max(column) from table" as an integer (0 for an empty table).
int maxKey(SqlSink& db, const QString& table, const QString& column);

// Equipment types a client of each line of activity usually has; the first is always there.
std::vector<int> equipmentProfile(int atividade);

} // namespace demo

#pragma once
// The parts of the demo data's builder, shared by its files: the rows it plans (people,
// equipment under one proposal, analyses, sales documents) and the builder itself.
#include "sitegen/DemoCatalog.h"
#include "sitegen/SqlSink.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>
#include <cmath>
#include <utility>
#include <vector>

namespace demodata {

using namespace demo;

inline QVariant flag(bool b) {
    return b ? QStringLiteral("S") : QStringLiteral("N");
}
inline QVariant orNull(const QDate& d) {
    return d.isValid() ? QVariant(d) : QVariant();
}
inline QVariant orNull(const QByteArray& b) {
    return b.isEmpty() ? QVariant() : QVariant(b);
}

// Lower-case ASCII form of a name, for e-mail addresses.
inline QString slug(const QString& name, int width) {
    QString out;
    for (QChar c : name.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber() && c.unicode() < 128) out += c.toLower();
    return out.left(width);
}

inline QString phone(Random& rnd, const City& c) {
    return QString("(%1) 3%2-%3").arg(c.ddd, rnd.digits(3), rnd.digits(4));
}
inline QString mobile(Random& rnd, const City& c) {
    return QString("(%1) 9%2-%3").arg(c.ddd, rnd.digits(4), rnd.digits(4));
}
inline QString cep(Random& rnd, const City& c) {
    return QString(c.cepPrefix) + rnd.digits(5);
}

inline double roundTo(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

struct ClientTemplate {
    int atividade;
    const char* pesquisa; // short name; %1 is the proper name
    const char* razao;    // legal name
};
inline const std::vector<ClientTemplate>& clientTemplates() {
    static const std::vector<ClientTemplate> v = {
        {6, "Laticínios %1", "Laticínios %1 Ltda"},
        {7, "Frigorífico %1", "Frigorífico %1 S/A"},
        {9, "Hotel %1", "Hotel %1 Empreendimentos Ltda"},
        {10, "Hospital %1", "Associação Hospital %1"},
        {11, "Tecelagem %1", "Tecelagem %1 Ind. e Com. Ltda"},
        {12, "Metalúrgica %1", "Metalúrgica %1 Ltda"},
        {8, "Bebidas %1", "Indústria de Bebidas %1 Ltda"},
        {14, "Usina %1", "Usina %1 Açúcar e Álcool S/A"},
        {13, "Celulose %1", "Papel e Celulose %1 S/A"},
        {16, "Shopping %1", "Condomínio Shopping %1"},
        {5, "Alimentos %1", "Alimentos %1 Ind. e Com. Ltda"},
        {15, "Farmacêutica %1", "Laboratório Farmacêutico %1 Ltda"},
    };
    return v;
}

// Sales regions: the cities (indexes into cities()) each representative covers.
inline const std::vector<std::vector<int>>& regions() {
    static const std::vector<std::vector<int>> v = {
        {1, 7, 8, 9, 17, 18, 19},
        {0, 6, 10, 11, 12, 13},
        {2, 3, 4, 5, 14, 15, 16},
        {20, 21, 22, 23, 24, 25, 26, 27, 28, 38, 39, 40, 41, 42},
        {29, 30, 31, 32, 33, 34, 35, 36, 37},
    };
    return v;
}

struct Person {
    int id = 0;
    QString pesquisa;
    QString razao;
    int cidade = 0; // index into cities()
    int vendedor = 0;
    int atividade = 0;
    bool juridica = true;
};

struct Piece {
    int id = 0;
    int situacao = kSituacaoAprovada;
    QDate dtSituacao;
    double bias = 0.5; // where this piece's values usually sit inside their ranges
};

enum class GroupKind { Aprovada, Aguardando, Recusada };

// The equipment of one type of one client, under one commercial proposal.
struct Group {
    int cliente = 0; // index into clients
    int tipo = 0;
    GroupKind kind = GroupKind::Aprovada;
    QDate inicio; // first collection month
    QDate fim;    // last day analyses may be collected
    std::vector<Piece> pieces;
};

struct PlannedAnalysis {
    QDate coleta;
    int group = 0;
};

struct PlannedInvoice {
    QDate emissao;
    int cliente = 0; // index into clients
    int natureza = 0;
    std::vector<std::pair<int, double>> itens; // product id, quantity
};

class DemoBuilder {
public:
    explicit DemoBuilder(SqlSink& db) : m_db(db), m_rnd(20240517), m_today(QDate::currentDate()) {}

    void run();

private:
    SqlSink& m_db;
    Random m_rnd;
    QDate m_today;

    std::vector<Person> m_clients;
    std::vector<int> m_reps;
    std::vector<int> m_techs;
    std::vector<Group> m_groups;
    int m_nextAnalise = 1, m_nextAmostra = 1, m_nextNf = 1, m_nextNfItem = 1;
    int m_nextEndereco = 1;
    int m_nextContato = 1;

    // -- geography, activities, option lists ------------------------------------------------

    void geography();
    void activitiesAndOptions();

    // -- people -----------------------------------------------------------------------------

    void insertPerson(Insert& pessoa, int id, const QString& pesquisa, const QString& razao, bool juridica,
                      const QString& documento, const QDate& cadastro, const QVariant& vendedor,
                      const QVariant& atividade, const QVariant& registro, const QString& email,
                      const QVariantList& categorias);

    void insertAddress(Insert& endereco, int pessoa, int cidade, bool fatura);
    void insertContact(Insert& contato, int pessoa, const QString& nome, const QString& cargo,
                       const QString& fone, const QString& email, bool principal);

    QString personName();
    void people();

    // -- products and laboratory vocabulary ------------------------------------------------

    void products();
    void laboratoryVocabulary();

    // -- client equipment -------------------------------------------------------------------

    QString proposalProducts(int tipo);
    void clientEquipment();

    // -- analyses ---------------------------------------------------------------------------

    bool sampled(const Group& g, const Piece& p, const QDate& coleta) const;
    QByteArray comment(int tipo, bool avaliada);
    double measuredValue(const IdealResult& r, double bias);
    void analyses();

    // -- sales documents -------------------------------------------------------------------

    void sales();

    // -- the day's visits ----------------------------------------------------------------------

    // Whatever day the site is made, some clients of the first three representatives had their
    // samples collected today (received, not evaluated yet) and a few of them bought today, one
    // a bonus: the listings and workbooks open on today's date and month with something to show.
    // Drawn from a generator of their own, so the rest of the demo data stays as it was.
    void visitsOfTheDay();

    // An invoice item of a base product: one of its two packages, in whole packages.
    std::pair<int, double> item(int baseProduto);

    // -- users, groups and permissions -----------------------------------------------------

    void usersAndGroups();
    void permissions();

    // -- internal mail and tasks -----------------------------------------------------------

    void collaboration();

    // -- update-script log and the parameter row -------------------------------------------

    void updateLog();
    void parameters();
};

} // namespace demodata

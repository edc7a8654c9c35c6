/*
  Demo data of a new site.

  Users of the demo site (login / password / group):
    CADASTRO  / cadastro  / -1 "Administradores Nexmoro"  (user -2: registers screens and buttons)
    SUPORTE   / suporte   / -1 "Administradores Nexmoro"  (user -1)
    ADMIN     / admin     /  1 "Administrador"
    LAB       / lab       /  2 "Laboratório"
    FERNANDA  / fernanda  /  2 "Laboratório"
    COMERCIAL / comercial /  3 "Comercial"
    ROBERTO   / roberto   /  3 "Comercial"

  Group 1 and group -1 hold every component of every screen; group 2 holds the laboratory
  screens (all rights) and a few listings; group 3 holds the commercial screens and listings
  without the delete right, and the equipment types read-only.

  Analyses run monthly for about twenty months up to today; samples collected in the last days
  may still be waiting for evaluation (no results yet). Every evaluated sample has one result
  per analysis type that has an ideal result for the analysis's equipment type.
*/
#include "sitegen/DemoData.h"
#include "sitegen/DemoCatalog.h"
#include "sitegen/DemoImages.h"
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

using namespace demo;

namespace {

QVariant flag(bool b) {
    return b ? QStringLiteral("S") : QStringLiteral("N");
}
QVariant orNull(const QDate& d) {
    return d.isValid() ? QVariant(d) : QVariant();
}
QVariant orNull(const QByteArray& b) {
    return b.isEmpty() ? QVariant() : QVariant(b);
}

// Lower-case ASCII form of a name, for e-mail addresses.
QString slug(const QString& name, int width) {
    QString out;
    for (QChar c : name.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber() && c.unicode() < 128) out += c.toLower();
    return out.left(width);
}

QString phone(Random& rnd, const City& c) {
    return QString("(%1) 3%2-%3").arg(c.ddd, rnd.digits(3), rnd.digits(4));
}
QString mobile(Random& rnd, const City& c) {
    return QString("(%1) 9%2-%3").arg(c.ddd, rnd.digits(4), rnd.digits(4));
}
QString cep(Random& rnd, const City& c) {
    return QString(c.cepPrefix) + rnd.digits(5);
}

double roundTo(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

struct ClientTemplate {
    int atividade;
    const char* pesquisa; // short name; %1 is the proper name
    const char* razao;    // legal name
};
const std::vector<ClientTemplate>& clientTemplates() {
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
const std::vector<std::vector<int>>& regions() {
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

    void run() {
        geography();
        activitiesAndOptions();
        people();
        products();
        laboratoryVocabulary();
        clientEquipment();
        m_db.commit();
        analyses();
        m_db.commit();
        sales();
        visitsOfTheDay();
        usersAndGroups();
        permissions();
        collaboration();
        updateLog();
        parameters();
        m_db.commit();
    }

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

    void geography() {
        Insert estado(m_db, "TAB_ESTADO", {"SG_ESTADO", "NM_ESTADO"});
        for (const auto& s : states())
            estado({s.sigla, s.nome});
        Insert cidade(m_db, "TAB_CIDADE", {"ID_CIDADE", "NM_CIDADE", "SG_ESTADO", "NO_CEP_INICIAL"});
        for (size_t i = 0; i < cities().size(); ++i) {
            const auto& c = cities()[i];
            cidade({int(i) + 1, c.nome, c.uf, QString(c.cepPrefix) + "00000"});
        }
    }

    void activitiesAndOptions() {
        Insert atividade(m_db, "TAB_ATIVIDADE", {"ID_ATIVIDADE", "NM_ATIVIDADE"});
        for (const auto& a : activities())
            atividade({a.id, a.nome});

        Insert opcao(m_db, "TAB_OPCAO_TABELA",
                     {"ID_OPCAO_TABELA", "ID_TABELA", "DS_OPCAO_TABELA", "CD_OPCAO_TABELA", "ST_ATIVO"});
        opcao({kSituacaoAprovada, kTabelaSituacao, "Proposta Aprovada", "APROVADA", "S"});
        opcao({kSituacaoAguardando, kTabelaSituacao, "Aguardando Orçamento", "AGUARDANDO", "S"});
        opcao({kSituacaoRecusada, kTabelaSituacao, "Proposta Recusada", "RECUSADA", "S"});
        opcao({kSituacaoDesativada, kTabelaSituacao, "Equipamento Desativado", "DESATIVADO", "S"});
        // Other lists of the shared store: contact roles (12) and payment terms (20).
        const QStringList cargos = {"Gerente de Manutenção", "Engenheiro de Utilidades", "Comprador",
                                    "Supervisor de Produção", "Técnico de Segurança"};
        const QStringList prazos = {"À Vista", "28 dias", "30/60 dias", "30/60/90 dias"};
        int id = 1;
        for (int i = 0; i < cargos.size(); ++i)
            opcao({id++, 12, cargos[i], QString("CARGO%1").arg(i + 1), "S"});
        for (int i = 0; i < prazos.size(); ++i)
            opcao({id++, 20, prazos[i], QString("PRAZO%1").arg(i + 1), "S"});
    }

    // -- people -----------------------------------------------------------------------------

    void insertPerson(Insert& pessoa, int id, const QString& pesquisa, const QString& razao, bool juridica,
                      const QString& documento, const QDate& cadastro, const QVariant& vendedor,
                      const QVariant& atividade, const QVariant& registro, const QString& email,
                      const QVariantList& categorias) {
        QVariantList v = {id,
                          QString::number(id).rightJustified(5, '0'),
                          fit(pesquisa, 40),
                          fit(razao, 50),
                          documento,
                          juridica ? "J" : "F",
                          juridica ? QVariant(m_rnd.digits(12)) : QVariant(),
                          cadastro,
                          vendedor,
                          atividade,
                          registro,
                          email.isEmpty() ? QVariant() : QVariant(email)};
        v += categorias;
        v << "S";
        pessoa(v);
    }

    void insertAddress(Insert& endereco, int pessoa, int cidade, bool fatura) {
        const City& c = cities()[cidade];
        endereco({m_nextEndereco++, pessoa, cidade + 1, m_rnd.pick(streets()),
                  QString::number(m_rnd.between(10, 4800)),
                  m_rnd.chance(0.3) ? QVariant(QString("Galpão %1").arg(m_rnd.between(1, 9))) : QVariant(),
                  m_rnd.pick(districts()), cep(m_rnd, c), flag(fatura), flag(!fatura || m_rnd.chance(0.5)),
                  flag(fatura)});
    }

    void insertContact(Insert& contato, int pessoa, const QString& nome, const QString& cargo,
                       const QString& fone, const QString& email, bool principal) {
        contato({m_nextContato++, pessoa, fit(nome, 40), cargo, fone, fit(email, 50), flag(principal)});
    }

    QString personName() {
        return m_rnd.pick(firstNames()) + " " + m_rnd.pick(surnames()) + " " + m_rnd.pick(surnames());
    }

    void people() {
        Insert pessoa(m_db, "CAD_PESSOA",
                      {"ID_PESSOA",   "CD_PESSOA",     "NM_PESQUISA",          "NM_PESSOA",
                       "NO_CNPJ_CPF", "TP_PESSOA",     "NO_INSC_ESTADUAL",     "DT_CADASTRO",
                       "ID_VENDEDOR", "ID_ATIVIDADE",  "NO_REG_CONS_REGIONAL", "DS_E_MAIL",
                       "CT_CLIENTE",  "CT_FORNECEDOR", "CT_TRANSPORT",         "CT_OUTROS",
                       "CT_EMPRESA",  "CT_REPRESENT",  "CT_FUNCIONARIO",       "ST_ATIVO"});
        Insert endereco(m_db, "CAD_END_PESSOA",
                        {"ID_END_PESSOA", "ID_PESSOA", "ID_CIDADE", "DS_ENDERECO", "NO_ENDERECO",
                         "DS_COMPLEMENTO", "NM_BAIRRO", "NO_CEP", "ST_FATURA", "ST_ENTREGA", "ST_COBRANCA"});
        Insert contato(m_db, "CAD_CONTATO_PESSOA",
                       {"ID_CONTATO_PESSOA", "ID_PESSOA", "NM_CONTATO", "DS_CARGO", "NO_FONE", "DS_E_MAIL",
                        "ST_FONE_PRINCIPAL"});
        Insert area(m_db, "CAD_PESSOA_CIDADE", {"ID_PESSOA_CIDADE", "ID_PESSOA", "ID_CIDADE"});
        // Category flags in the order CLIENTE, FORNECEDOR, TRANSPORT, OUTROS, EMPRESA, REPRESENT,
        // FUNCIONARIO.
        auto cats = [](bool cli, bool forn, bool transp, bool outros, bool emp, bool rep, bool func) {
            return QVariantList{flag(cli), flag(forn), flag(transp), flag(outros),
                                flag(emp), flag(rep),  flag(func)};
        };
        const QDate antigo = m_today.addYears(-5);

        // The laboratory's own companies.
        for (const auto& e : ownCompanies()) {
            insertPerson(pessoa, e.id, e.pesquisa, e.razao, true, makeCnpj(m_rnd), antigo, QVariant(), 17,
                         QVariant(), "contato@hidrolab.com.br",
                         cats(false, false, false, false, true, false, false));
            insertAddress(endereco, e.id, e.cidade, true);
            insertContact(contato, e.id, "Recepção do Laboratório", "Atendimento",
                          phone(m_rnd, cities()[e.cidade]), "laboratorio@hidrolab.com.br", true);
        }
        int id = int(ownCompanies().size()) + 1;

        // Sales representatives, each with the cities of a region.
        const char* representantes[] = {"Carlos Eduardo Mendes", "Juliana Prado Siqueira",
                                        "Marcos Vinícius Rocha", "Patrícia Gomes Andrade",
                                        "Roberto Carvalho Dias"};
        int nextArea = 1;
        for (int r = 0; r < 5; ++r) {
            const QString nome = representantes[r];
            const QStringList parts = nome.split(' ');
            const int cidade = regions()[r].front();
            insertPerson(pessoa, id, parts.first() + " " + parts.last(), nome, false, makeCpf(m_rnd),
                         antigo.addDays(m_rnd.between(0, 600)), QVariant(), 17, QVariant(),
                         slug(parts.first() + parts.last(), 30) + "@hidrolab.com.br",
                         cats(false, false, false, false, false, true, false));
            insertAddress(endereco, id, cidade, true);
            insertContact(contato, id, nome, "Representante Comercial", mobile(m_rnd, cities()[cidade]),
                          slug(parts.first() + parts.last(), 30) + "@hidrolab.com.br", true);
            for (int c : regions()[r])
                area({nextArea++, id, c + 1});
            m_reps.push_back(id++);
        }

        // Technicians who sign the reports.
        struct Tech {
            const char* nome;
            int atividade;
            const char* registro;
        };
        const Tech tecnicos[] = {{"Mariana Alves Ribeiro", 1, "CRQ-IV 04123456"},
                                 {"Ricardo Tavares Nogueira", 2, "CRQ-IV 04231789"},
                                 {"Fernanda Lima Castro", 3, "CRQ-IV 04318842"},
                                 {"Paulo Henrique Moraes", 4, "CRQ-IV 04456120"}};
        for (const Tech& t : tecnicos) {
            const QStringList parts = QString(t.nome).split(' ');
            insertPerson(pessoa, id, parts.first() + " " + parts.last(), t.nome, false, makeCpf(m_rnd),
                         antigo.addDays(m_rnd.between(0, 900)), QVariant(), t.atividade, t.registro,
                         slug(parts.first() + parts.last(), 30) + "@hidrolab.com.br",
                         cats(false, false, false, false, false, false, true));
            insertAddress(endereco, id, 1, true);
            insertContact(contato, id, t.nome, "Responsável Técnico", mobile(m_rnd, cities()[1]),
                          slug(parts.first() + parts.last(), 30) + "@hidrolab.com.br", true);
            m_techs.push_back(id++);
        }

        // A person in no category at all, a supplier, a carrier and a driver.
        insertPerson(
            pessoa, id, "Instituto Águas Limpas", "Instituto Brasileiro Águas Limpas", true, makeCnpj(m_rnd),
            antigo.addDays(200), QVariant(), QVariant(), QVariant(), "contato@aguaslimpas.org.br",
            QVariantList{QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        insertAddress(endereco, id, 0, true);
        insertContact(contato, id, "Secretaria", "Atendimento", phone(m_rnd, cities()[0]),
                      "contato@aguaslimpas.org.br", true);
        ++id;
        insertPerson(pessoa, id, "Química Fina Brasil", "Química Fina Brasil Ind. e Com. Ltda", true,
                     makeCnpj(m_rnd), antigo.addDays(50), QVariant(), 17, QVariant(),
                     "vendas@quimicafina.com.br", cats(false, true, false, false, false, false, false));
        insertAddress(endereco, id, 19, true);
        insertContact(contato, id, "Departamento de Vendas", "Vendas", phone(m_rnd, cities()[19]),
                      "vendas@quimicafina.com.br", true);
        ++id;
        insertPerson(pessoa, id, "TransQuímica Logística", "TransQuímica Logística e Transportes Ltda", true,
                     makeCnpj(m_rnd), antigo.addDays(80), QVariant(), 18, QVariant(),
                     "operacao@transquimica.com.br", cats(false, false, true, false, false, false, false));
        insertAddress(endereco, id, 10, true);
        insertContact(contato, id, "Central de Coletas", "Operação", phone(m_rnd, cities()[10]),
                      "operacao@transquimica.com.br", true);
        ++id;
        insertPerson(pessoa, id, "José Aparecido Martins", "José Aparecido Martins", false, makeCpf(m_rnd),
                     antigo.addDays(400), QVariant(), 18, QVariant(), "",
                     cats(false, false, false, true, false, false, false));
        insertAddress(endereco, id, 1, true);
        insertContact(contato, id, "José Aparecido Martins", "Motorista", mobile(m_rnd, cities()[1]), "",
                      true);
        ++id;

        // Clients: 45 companies and 15 natural persons.
        for (int i = 0; i < 60; ++i) {
            Person p;
            p.id = id++;
            const int region = m_rnd.chance(0.7) ? m_rnd.between(0, 2) : m_rnd.between(3, 4);
            p.cidade = m_rnd.pick(regions()[region]);
            p.vendedor = m_reps[region];
            if (i < 45) {
                const auto& t = clientTemplates()[i % clientTemplates().size()];
                const QString proprio = companyNames()[i];
                p.pesquisa = QString(t.pesquisa).arg(proprio);
                p.razao = QString(t.razao).arg(proprio);
                p.atividade = t.atividade;
                p.juridica = true;
            } else {
                p.pesquisa = m_rnd.pick(firstNames()) + " " + m_rnd.pick(surnames());
                p.razao = p.pesquisa.section(' ', 0, 0) + " " + m_rnd.pick(surnames()) + " " +
                          p.pesquisa.section(' ', 1);
                p.atividade = 0;
                p.juridica = false;
            }
            const City& c = cities()[p.cidade];
            const QString email = p.juridica ? "contato@" + slug(p.pesquisa, 24) + ".com.br"
                                             : slug(p.pesquisa, 24) + "@email.com.br";
            insertPerson(pessoa, p.id, p.pesquisa, p.razao, p.juridica,
                         p.juridica ? makeCnpj(m_rnd) : makeCpf(m_rnd),
                         m_today.addDays(-m_rnd.between(640, 1500)), p.vendedor,
                         p.atividade ? QVariant(p.atividade) : QVariant(), QVariant(), email,
                         cats(true, i == 7, false, false, false, false, false));
            insertAddress(endereco, p.id, p.cidade, true);
            if (m_rnd.chance(0.25)) // a delivery address, sometimes in a neighbouring city
                insertAddress(endereco, p.id, m_rnd.chance(0.5) ? p.cidade : m_rnd.pick(regions()[region]),
                              false);
            insertContact(contato, p.id, personName(), p.juridica ? "Gerente de Manutenção" : "Proprietário",
                          phone(m_rnd, c), email, true);
            if (m_rnd.chance(0.4))
                insertContact(contato, p.id, personName(), "Comprador", mobile(m_rnd, c), email, false);
            m_clients.push_back(p);
        }
    }

    // -- products and laboratory vocabulary ------------------------------------------------

    void products() {
        Insert base(m_db, "CAD_PRODUTO_BASE", {"ID_PRODUTO_BASE", "NM_PRODUTO_BASE", "DS_UNIDADE"});
        Insert produto(m_db, "CAD_PRODUTO",
                       {"ID_PRODUTO", "CD_PRODUTO", "NM_PRODUTO", "ID_PRODUTO_BASE", "DS_UNIDADE",
                        "QT_EMBALAGEM", "VL_VENDA", "ST_ATIVO"});
        for (const auto& b : baseProducts()) {
            base({b.id, b.nome, b.unidade});
            // Two package sizes of each base product: ids 2n-1 and 2n.
            const QString un = b.unidade;
            const QString pequeno = un == "L" ? "Bombona" : "Saco";
            produto({b.id * 2 - 1, QString("PA-%1").arg(b.id * 10 + 1, 4, 10, QChar('0')),
                     QString("%1 - %2 %3 %4").arg(b.marca, pequeno).arg(b.embalagem).arg(un), b.id, un,
                     b.embalagem, b.preco, "S"});
            produto({b.id * 2, QString("PA-%1").arg(b.id * 10 + 2, 4, 10, QChar('0')),
                     QString("%1 - Contêiner %2 %3").arg(b.marca).arg(b.embalagem * 20).arg(un), b.id, un,
                     b.embalagem * 20, roundTo(b.preco * 0.92, 2), "S"});
        }
    }

    void laboratoryVocabulary() {
        Insert tipo(m_db, "TAB_TP_EQUIPAMENTO",
                    {"ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO", "NM_RELATORIO_ANALISE"});
        Insert link(m_db, "TAB_PRODUTO_EQUIPAMENTO",
                    {"ID_PRODUTO_EQUIPAMENTO", "ID_TP_EQUIPAMENTO", "ID_PRODUTO_BASE"});
        int linkId = 1;
        for (const auto& t : equipmentTypes()) {
            tipo({t.id, t.nome, t.tituloRelatorio});
            for (int p : t.produtos)
                link({linkId++, t.id, p});
        }
        Insert analise(m_db, "TAB_TP_ANALISE", {"ID_TP_ANALISE", "NM_TP_ANALISE"});
        for (const auto& a : analysisTypes())
            analise({a.id, a.nome});
        Insert ideal(m_db, "TAB_RESULTADO_IDEAL",
                     {"ID_RESULTADO_IDEAL", "ID_TP_ANALISE", "ID_TP_EQUIPAMENTO", "DS_RESULTADO_IDEAL"});
        int idealId = 1;
        for (const auto& r : idealResults())
            ideal({idealId++, r.tpAnalise, r.tpEquipamento, r.texto});
        Insert formula(m_db, "SIS_CTV_FORMULA", {"ID_TP_ANALISE", "CD_TP_ANALISE", "TX_FORMULA"});
        for (const auto& f : analysisFormulas())
            formula(
                {f.tpAnalise, f.codigo, *f.formula ? QVariant(QString::fromUtf8(f.formula)) : QVariant()});
    }

    // -- client equipment -------------------------------------------------------------------

    QString proposalProducts(int tipo) {
        const auto& prods = equipmentTypes()[tipo - 1].produtos;
        QStringList names;
        const int n = std::min<int>(int(prods.size()), m_rnd.between(2, 3));
        for (int i = 0; i < n; ++i)
            names << baseProducts()[prods[i] - 1].marca;
        return fit(names.join(", "), 50);
    }

    void clientEquipment() {
        Insert equip(m_db, "TAB_EQUIPAMENTO_CLI",
                     {"ID_EQUIPAMENTO_CLI", "ID_CLIENTE", "ID_TP_EQUIPAMENTO", "NM_EQUIPAMENTO",
                      "DT_PROPOSTA", "NO_PROPOSTA", "DS_PRODUTOS", "ID_SITAUCAO_EQUIPAMENTO",
                      "DT_SITUACAO_EQUIPAMENTO", "TX_OBS_SITUACAO_EQUIP"});
        const QDate firstMonth(m_today.addMonths(-20).year(), m_today.addMonths(-20).month(), 1);
        const QStringList recusas = {
            "Cliente optou por manter o fornecedor atual de tratamento químico.",
            "Proposta recusada por preço; cliente pediu nova cotação para o próximo semestre.",
            "Equipamento será substituído; cliente não renovou o contrato de análises."};
        int equipId = 1;
        int proposta = 1;
        bool bigDone = false;
        for (size_t ci = 0; ci < m_clients.size(); ++ci) {
            const Person& cli = m_clients[ci];
            const std::vector<int> profile =
                cli.juridica ? equipmentProfile(cli.atividade) : std::vector<int>{m_rnd.chance(0.2) ? 1 : 5};
            for (size_t k = 0; k < profile.size(); ++k) {
                if (k > 0 && !m_rnd.chance(0.5)) continue;
                Group g;
                g.cliente = int(ci);
                g.tipo = profile[k];
                const int gi = int(m_groups.size());
                g.kind = gi % 11 == 4   ? GroupKind::Aguardando
                         : gi % 11 == 8 ? GroupKind::Recusada
                                        : GroupKind::Aprovada;
                const auto& names = equipmentTypes()[g.tipo - 1].nomes;
                int count = m_rnd.chance(0.5) ? 1 : m_rnd.chance(0.7) ? 2 : 3;
                // One client runs a large boiler house: its analyses print on two pages.
                if (!bigDone && g.tipo == 1 && g.kind == GroupKind::Aprovada && cli.atividade == 14) {
                    count = 6;
                    bigDone = true;
                }
                count = std::min<int>(count, int(names.size()));

                QDate dtProposta, dtSituacao;
                int situacao = kSituacaoAprovada;
                switch (g.kind) {
                case GroupKind::Aprovada:
                    g.inicio = m_rnd.chance(0.7) ? firstMonth : firstMonth.addMonths(m_rnd.between(2, 12));
                    g.fim = m_today;
                    dtProposta = g.inicio.addDays(-m_rnd.between(25, 60));
                    dtSituacao = dtProposta.addDays(m_rnd.between(5, 20));
                    break;
                case GroupKind::Aguardando:
                    dtProposta = m_today.addDays(-m_rnd.between(3, 60));
                    dtSituacao = dtProposta;
                    situacao = kSituacaoAguardando;
                    break;
                case GroupKind::Recusada: {
                    // Three trial months, then the proposal was refused.
                    const QDate recusa = m_today.addMonths(-m_rnd.between(4, 10));
                    g.inicio = QDate(recusa.year(), recusa.month(), 1).addMonths(-3);
                    g.fim = recusa.addDays(-1);
                    dtProposta = g.inicio.addDays(-m_rnd.between(10, 30));
                    dtSituacao = recusa;
                    situacao = kSituacaoRecusada;
                    break;
                }
                }
                const QString numero =
                    QString("PR-%1/%2").arg(dtProposta.year()).arg(proposta++, 4, 10, QChar('0'));
                const QString produtos = proposalProducts(g.tipo);
                for (int p = 0; p < count; ++p) {
                    Piece piece;
                    piece.id = equipId++;
                    piece.situacao = situacao;
                    piece.dtSituacao = dtSituacao;
                    piece.bias = m_rnd.real(0.25, 0.7);
                    QByteArray obs;
                    if (situacao == kSituacaoRecusada) obs = latin1(m_rnd.pick(recusas));
                    // Some approved boiler houses and towers had a piece taken out of service.
                    if (g.kind == GroupKind::Aprovada && count >= 2 && p == count - 1 && gi % 5 == 0) {
                        piece.situacao = kSituacaoDesativada;
                        const int span = int(g.inicio.daysTo(m_today));
                        piece.dtSituacao =
                            g.inicio.addDays(m_rnd.between(std::min(90, span / 2), std::max(90, span - 30)));
                        obs = latin1("Equipamento retirado de operação pelo cliente.");
                    }
                    equip({piece.id, cli.id, g.tipo, names[p], dtProposta, numero, produtos, piece.situacao,
                           piece.dtSituacao, orNull(obs)});
                    g.pieces.push_back(piece);
                }
                m_groups.push_back(g);
            }
        }
    }

    // -- analyses ---------------------------------------------------------------------------

    bool sampled(const Group& g, const Piece& p, const QDate& coleta) const {
        if (g.kind == GroupKind::Recusada) return coleta < p.dtSituacao;
        if (p.situacao == kSituacaoDesativada) return coleta < p.dtSituacao;
        return p.situacao == kSituacaoAprovada;
    }

    QByteArray comment(int tipo, bool avaliada) {
        if (!avaliada || m_rnd.chance(0.15)) return {};
        static const std::map<int, QStringList> remarks = {
            {1,
             {"Condutividade próxima do limite; recomenda-se aumentar a descarga de fundo.",
              "Residual de sulfito baixo; ajustar a dosagem do sequestrante de oxigênio.",
              "Alcalinidade hidróxida acima do ideal; reduzir a dosagem de alcalinizante."}},
            {2,
             {"Ciclos de concentração elevados; verificar a purga automática.",
              "Cloro livre abaixo do ideal; revisar a bomba dosadora de biocida.",
              "Ferro total elevado; verificar corrosão na linha de retorno."}},
            {3,
             {"Nitrito abaixo da faixa; completar a carga de inibidor.",
              "Cobre acima do limite; inspecionar trocadores."}},
            {4,
             {"DQO acima do limite de lançamento; revisar o tempo de aeração.",
              "Óleos e graxas elevados na entrada."}},
            {5,
             {"Cloro livre abaixo do mínimo; ajustar o clorador do reservatório.",
              "Turbidez dentro do padrão de potabilidade."}},
            {6, {"Condutividade do permeado em elevação; programar limpeza das membranas."}},
            {7, {"Ferro no condensado indica corrosão; rever a dosagem de amina neutralizante."}},
        };
        const QString text =
            m_rnd.chance(0.6) ? QString("Valores dentro do esperado.") : m_rnd.pick(remarks.at(tipo));
        return rtfParagraph(text);
    }

    double measuredValue(const IdealResult& r, double bias) {
        if (r.max <= r.min) // "Ausente": nearly always zero
            return m_rnd.chance(0.95) ? 0.0 : double(m_rnd.between(1, 4));
        const double t = std::clamp(bias + m_rnd.normal(0.0, 0.18), 0.0, 1.0);
        return roundTo(r.min + (r.max - r.min) * t, r.decimals);
    }

    void analyses() {
        std::vector<PlannedAnalysis> plan;
        for (size_t gi = 0; gi < m_groups.size(); ++gi) {
            const Group& g = m_groups[gi];
            if (g.kind == GroupKind::Aguardando) continue;
            for (QDate month = g.inicio; month <= g.fim; month = month.addMonths(1)) {
                if (g.kind == GroupKind::Aprovada && !m_rnd.chance(0.85)) continue;
                const QDate coleta(month.year(), month.month(), m_rnd.between(1, 28));
                if (coleta > g.fim || coleta < g.inicio) continue;
                plan.push_back({coleta, int(gi)});
            }
        }
        std::stable_sort(plan.begin(), plan.end(), [](const PlannedAnalysis& a, const PlannedAnalysis& b) {
            return a.coleta < b.coleta;
        });

        Insert analise(m_db, "MOV_ANALISE",
                       {"ID_ANALISE", "DT_COLETA", "DT_RECEBIMENTO", "DT_AVALIACAO", "DT_ENVIO", "ID_CLIENTE",
                        "ID_REPRESENTANTE", "ID_RESPONSAVEL_TECNICO", "ID_TP_EQUIPAMENTO"});
        Insert amostra(m_db, "MOV_ANALISE_EQUIPAMENTO",
                       {"ID_ANALISE_EQUIPAMENTO", "ID_ANALISE", "ID_EQUIPAMENTO_CLI", "NO_PAGINA",
                        "NO_AMOSTRA", "TX_COMENTARIO", "TX_OBS"});
        Insert resultado(m_db, "MOV_ANALISE_RESULTADO",
                         {"ID_ANALISE_RESULTADO", "ID_TP_ANALISE", "ID_ANALISE_EQUIPAMENTO", "VL_RESULTADO"});
        int analiseId = 1, amostraId = 1, resultadoId = 1;
        for (const PlannedAnalysis& pa : plan) {
            const Group& g = m_groups[pa.group];
            const Person& cli = m_clients[g.cliente];
            std::vector<const Piece*> pieces;
            for (const Piece& p : g.pieces)
                if (sampled(g, p, pa.coleta)) pieces.push_back(&p);
            if (pieces.empty()) continue;

            QDate recebimento = std::min(pa.coleta.addDays(m_rnd.between(0, 2)), m_today);
            QDate avaliacao = recebimento.addDays(m_rnd.between(1, 3));
            if (avaliacao > m_today) avaliacao = QDate();
            QDate envio = avaliacao.isValid() ? avaliacao.addDays(m_rnd.between(0, 3)) : QDate();
            if (envio > m_today) envio = QDate();
            // Now and then another representative covers the visit.
            const int rep = m_rnd.chance(0.04) ? m_rnd.pick(m_reps) : cli.vendedor;
            const int tecnico = m_rnd.pick(m_techs);
            const int id = analiseId++;
            analise(
                {id, pa.coleta, recebimento, orNull(avaliacao), orNull(envio), cli.id, rep, tecnico, g.tipo});

            const auto ideais = idealResultsOf(g.tipo);
            for (size_t i = 0; i < pieces.size(); ++i) {
                const int amostraKey = amostraId++;
                QByteArray obs;
                if (m_rnd.chance(0.3))
                    obs = rtfParagraph(
                        QString("Amostra %1 coletada às %2 pelo operador do cliente.")
                            .arg(i + 1)
                            .arg(QTime(m_rnd.between(7, 16), m_rnd.between(0, 59)).toString("hh:mm")));
                amostra({amostraKey, id, pieces[i]->id, int(i / 4) + 1, int(i % 4) + 1,
                         orNull(comment(g.tipo, avaliacao.isValid())), orNull(obs)});
                if (!avaliacao.isValid()) continue;
                const double bias = pieces[i]->bias;
                for (const auto& [tipo, valor] :
                     sampleValues(ideais, [&](const IdealResult& r) { return measuredValue(r, bias); }))
                    resultado({resultadoId++, tipo, amostraKey, valor});
            }
        }
        m_nextAnalise = analiseId;
        m_nextAmostra = amostraId;
    }

    // -- sales documents -------------------------------------------------------------------

    void sales() {
        Insert nat(m_db, "TAB_NAT_OPERACAO",
                   {"ID_NAT_OPERACAO", "CD_NAT_OPERACAO", "NM_NATUREZA_INTERNO", "NM_NATUREZA_NF",
                    "TP_OPERACAO", "ST_ESTAT_VENDA", "ST_MOVIMENTA_ESTOQUE"});
        nat({1, "5102", "Venda de Mercadoria", "Venda de mercadoria adquirida de terceiros", "S", "S", "S"});
        nat({2, "6102", "Venda Fora do Estado", "Venda de mercadoria adquirida de terceiros", "S", "S", "S"});
        nat({3, "5910", "Remessa em Bonificação", "Remessa em bonificação, doação ou brinde", "S", "N", "S"});
        nat({4, "5912", "Remessa para Demonstração", "Remessa de mercadoria para demonstração", "S", "N",
             "S"});
        nat({5, "1202", "Devolução de Venda", "Devolução de venda de mercadoria", "E", "N", "S"});

        std::vector<PlannedInvoice> plan;
        const QDate firstMonth(m_today.addMonths(-20).year(), m_today.addMonths(-20).month(), 1);
        for (size_t ci = 0; ci < m_clients.size(); ++ci) {
            std::vector<int> aprovados, outros; // base products of the client's equipment types
            for (const Group& g : m_groups) {
                if (g.cliente != int(ci)) continue;
                auto& dest = g.kind == GroupKind::Aprovada ? aprovados : outros;
                for (int p : equipmentTypes()[g.tipo - 1].produtos)
                    dest.push_back(p);
            }
            const bool sp = QString(cities()[m_clients[ci].cidade].uf) == "SP";
            for (QDate month = firstMonth; month <= m_today; month = month.addMonths(1)) {
                const QDate emissao(month.year(), month.month(), m_rnd.between(1, 28));
                if (emissao > m_today) continue;
                if (!aprovados.empty() && m_rnd.chance(0.55)) {
                    PlannedInvoice nf{emissao, int(ci), sp ? 1 : 2, {}};
                    const int n = m_rnd.between(1, 3);
                    for (int i = 0; i < n; ++i)
                        nf.itens.push_back(item(m_rnd.pick(aprovados)));
                    plan.push_back(nf);
                    if (m_rnd.chance(0.08))
                        plan.push_back({emissao, int(ci), 3, {item(m_rnd.pick(aprovados))}});
                } else if (!outros.empty() && m_rnd.chance(0.25)) {
                    // Products sent for a trial are not sales.
                    plan.push_back({emissao, int(ci), 4, {item(m_rnd.pick(outros))}});
                }
            }
        }
        std::stable_sort(plan.begin(), plan.end(), [](const PlannedInvoice& a, const PlannedInvoice& b) {
            return a.emissao < b.emissao;
        });

        Insert nf(m_db, "MOV_NF_COMERCIO",
                  {"ID_NF_COMERCIO", "ID_EMPRESA", "ID_NAT_OPERACAO", "ID_DESTINATARIO_REMETENTE",
                   "ID_VENDEDOR", "DS_SERIE_NF", "NR_NOTA_FISCAL", "DT_EMISSAO", "DT_SAIDA", "VL_PRODUTOS",
                   "VL_TOTAL_NF", "ST_CANCELADA", "TX_OBS"});
        Insert nfItem(
            m_db, "MOV_NF_COMERCIO_ITEM",
            {"ID_NF_COMERCIO_ITEM", "ID_NF_COMERCIO", "ID_PRODUTO", "QT_PRODUTO", "VL_UNITARIO", "VL_TOTAL"});
        int nfId = 1, itemId = 1;
        int numero[3] = {0, 1201, 305};
        for (const PlannedInvoice& p : plan) {
            const Person& cli = m_clients[p.cliente];
            const int empresa = QString(cities()[cli.cidade].uf) == "PR" ||
                                        QString(cities()[cli.cidade].uf) == "SC" ||
                                        QString(cities()[cli.cidade].uf) == "RS"
                                    ? 2
                                    : 1;
            double total = 0;
            std::vector<QVariantList> rows;
            for (const auto& [produto, qt] : p.itens) {
                const BaseProduct& b = baseProducts()[(produto + 1) / 2 - 1];
                const double preco = produto % 2 ? b.preco : roundTo(b.preco * 0.92, 2);
                const double valor = roundTo(qt * preco, 2);
                total += valor;
                rows.push_back({itemId++, nfId, produto, qt, preco, valor});
            }
            const QString obs = p.natureza >= 3 ? "Mercadoria sem valor comercial." : "";
            nf({nfId, empresa, p.natureza, cli.id, cli.vendedor, "1", numero[empresa]++, p.emissao, p.emissao,
                roundTo(total, 2), roundTo(total, 2), "N", orNull(latin1(obs))});
            for (const auto& r : rows)
                nfItem(r);
            ++nfId;
        }
        m_nextNf = nfId;
        m_nextNfItem = itemId;
    }

    // -- the day's visits ----------------------------------------------------------------------

    // Whatever day the site is made, some clients of the first three representatives had their
    // samples collected today (received, not evaluated yet) and a few of them bought today, one
    // a bonus: the listings and workbooks open on today's date and month with something to show.
    // Drawn from a generator of their own, so the rest of the demo data stays as it was.
    void visitsOfTheDay() {
        Random rnd(20241209);
        Insert analise(m_db, "MOV_ANALISE",
                       {"ID_ANALISE", "DT_COLETA", "DT_RECEBIMENTO", "DT_AVALIACAO", "DT_ENVIO", "ID_CLIENTE",
                        "ID_REPRESENTANTE", "ID_RESPONSAVEL_TECNICO", "ID_TP_EQUIPAMENTO"});
        Insert amostra(m_db, "MOV_ANALISE_EQUIPAMENTO",
                       {"ID_ANALISE_EQUIPAMENTO", "ID_ANALISE", "ID_EQUIPAMENTO_CLI", "NO_PAGINA",
                        "NO_AMOSTRA", "TX_COMENTARIO", "TX_OBS"});
        Insert nf(m_db, "MOV_NF_COMERCIO",
                  {"ID_NF_COMERCIO", "ID_EMPRESA", "ID_NAT_OPERACAO", "ID_DESTINATARIO_REMETENTE",
                   "ID_VENDEDOR", "DS_SERIE_NF", "NR_NOTA_FISCAL", "DT_EMISSAO", "DT_SAIDA", "VL_PRODUTOS",
                   "VL_TOTAL_NF", "ST_CANCELADA", "TX_OBS"});
        Insert nfItem(
            m_db, "MOV_NF_COMERCIO_ITEM",
            {"ID_NF_COMERCIO_ITEM", "ID_NF_COMERCIO", "ID_PRODUTO", "QT_PRODUTO", "VL_UNITARIO", "VL_TOTAL"});
        std::set<int> visitados;
        int visitas = 0;
        for (size_t r = 0; r < std::min<size_t>(3, m_reps.size()); ++r) {
            int doRep = 0;
            for (const Group& g : m_groups) {
                const Person& cli = m_clients[g.cliente];
                if (doRep == 2) break;
                if (g.kind != GroupKind::Aprovada || cli.vendedor != m_reps[r] || visitados.count(cli.id))
                    continue;
                std::vector<const Piece*> pieces;
                for (const Piece& p : g.pieces)
                    if (p.situacao == kSituacaoAprovada) pieces.push_back(&p);
                if (pieces.empty()) continue;
                visitados.insert(cli.id);
                ++doRep;
                const int id = m_nextAnalise++;
                analise({id, m_today, m_today, QVariant(), QVariant(), cli.id, cli.vendedor, m_techs.front(),
                         g.tipo});
                for (size_t i = 0; i < pieces.size(); ++i)
                    amostra({m_nextAmostra++, id, pieces[i]->id, int(i / 4) + 1, int(i % 4) + 1, QVariant(),
                             QVariant()});
                // Every other client visited bought today; the third of them received a bonus.
                if (visitas++ % 2) continue;
                const auto& produtos = equipmentTypes()[g.tipo - 1].produtos;
                const BaseProduct& b = baseProducts()[produtos[rnd.between(0, int(produtos.size()) - 1)] - 1];
                const int natureza = visitas == 5 ? 3 : QString(cities()[cli.cidade].uf) == "SP" ? 1 : 2;
                const double qt = b.embalagem * rnd.between(1, 4);
                const double valor = roundTo(qt * b.preco, 2);
                nf({m_nextNf, 1, natureza, cli.id, cli.vendedor, "1", 90000 + m_nextNf, m_today, m_today,
                    valor, valor, "N",
                    natureza >= 3 ? QVariant(latin1("Mercadoria sem valor comercial.")) : QVariant()});
                nfItem({m_nextNfItem++, m_nextNf, b.id * 2 - 1, qt, b.preco, valor});
                ++m_nextNf;
            }
        }
    }

    // An invoice item of a base product: one of its two packages, in whole packages.
    std::pair<int, double> item(int baseProduto) {
        const BaseProduct& b = baseProducts()[baseProduto - 1];
        const bool grande = m_rnd.chance(0.2);
        const int produto = grande ? b.id * 2 : b.id * 2 - 1;
        const double embalagem = grande ? b.embalagem * 20 : b.embalagem;
        return {produto, embalagem * m_rnd.between(1, grande ? 2 : 8)};
    }

    // -- users, groups and permissions -----------------------------------------------------

    void usersAndGroups() {
        Insert grupo(m_db, "SIS_GR_USUARIO", {"ID_GR_USUARIO", "NM_GR_USUARIO"});
        grupo({-1, "Administradores Nexmoro"});
        grupo({1, "Administrador"});
        grupo({2, "Laboratório"});
        grupo({3, "Comercial"});
        Insert usuario(m_db, "SIS_USUARIO",
                       {"ID_USUARIO", "NM_USUARIO", "ID_GR_USUARIO", "NM_ACESSO", "DS_SENHA",
                        "ST_OPERACIONAL", "ST_COMERCIAL", "ST_ADMINISTRATIVO", "ST_FINANCEIRO", "ST_COMPRA",
                        "ST_FATURAMENTO", "ST_OS", "ST_RH", "CD_PRECO1", "CD_PRECO2"});
        struct User {
            int id;
            const char* nome;
            int grupo;
            const char* login;
            const char* senha;
            const char*
                departamentos; // OPERACIONAL COMERCIAL ADMINISTRATIVO FINANCEIRO COMPRA FATURAMENTO OS RH
        };
        const User users[] = {
            {-2, "Cadastro de Telas", -1, "CADASTRO", "cadastro", "NNNNNNNN"},
            {-1, "Suporte Nexmoro", -1, "SUPORTE", "suporte", "SSSSSSSS"},
            {1, "Administrador do Sistema", 1, "ADMIN", "admin", "SSSSSSSS"},
            {2, "Mariana Alves Ribeiro", 2, "LAB", "lab", "SNNNNNSN"},
            {3, "Fernanda Lima Castro", 2, "FERNANDA", "fernanda", "SNNNNNSN"},
            {4, "Carlos Eduardo Mendes", 3, "COMERCIAL", "comercial", "NSNNNSNN"},
            {5, "Roberto Carvalho Dias", 3, "ROBERTO", "roberto", "NSSSSNNN"},
        };
        for (const User& u : users) {
            QVariantList v = {u.id, u.nome, u.grupo, u.login, u.senha};
            for (int i = 0; i < 8; ++i)
                v << QString(QLatin1Char(u.departamentos[i]));
            v << 1 << 2;
            usuario(v);
        }
    }

    void permissions() {
        Insert form(m_db, "SIS_FORMULARIO",
                    {"ID_FORM", "NM_FORM", "DS_CAPTION", "ID_APLICATIVO", "ST_MODIFICADO"});
        Insert comp(m_db, "SIS_COMPONENTE",
                    {"ID_COMPONENTE", "ID_FORM", "NM_COMPONENTE", "NM_CLASSE", "DS_CAPTION", "ST_ATIVO",
                     "ST_MODIFICADO"});
        Insert grant(m_db, "SIS_EVENTO_AUTORIZADO",
                     {"ID_EVENTO_AUTORIZADO", "ID_GR_USUARIO", "ID_COMPONENTE"});

        const std::set<QString> laboratorio = {"frmTipoAnalise",         "frmTipoEquipamento",
                                               "frmResultadoIdeal",      "frmCadastroEquipamentodoCliente",
                                               "frmCadastrodeAnalise",   "frmEquipamentosAnalisados",
                                               "frmHistoricoAlteracoes", "frmPesquisarAnalises",
                                               "frmConfiguracoesGerais", "frmSobre",
                                               "frmParRelAnaliseColeta", "frmParRelEquipamentosComPendencias",
                                               "frmCorreioInterno",      "frmAgendaTarefas"};
        const std::set<QString> comercial = {"frmCadastroEquipamentodoCliente",
                                             "frmPesquisarAnalises",
                                             "frmSobre",
                                             "frmParRelAnaliseProposta",
                                             "frmParRelControleAnalise",
                                             "frmParRelAnaliseColeta",
                                             "frmParRelatorioClientesSemAmostras",
                                             "frmParRelClientesComAmostras",
                                             "frmParRelEquipamentosComPendencias",
                                             "frmCorreioInterno",
                                             "frmAgendaTarefas"};
        int formId = -1, compId = -1, grantId = 1;
        for (const Screen& s : screens()) {
            form({formId, s.nome, s.caption, 3, "S"});
            std::vector<Button> all = s.botoes;
            all.insert(all.end(), recordRights().begin(), recordRights().end());
            for (const Button& b : all) {
                comp({compId, formId, b.nome, b.classe, b.caption, "S", "S"});
                const QString nome = b.nome;
                grant({grantId++, -1, compId});
                grant({grantId++, 1, compId});
                if (laboratorio.count(s.nome)) grant({grantId++, 2, compId});
                if (comercial.count(s.nome) && nome != "cpfExcluir") grant({grantId++, 3, compId});
                // The commercial group may look at the equipment and analysis types but not
                // change them.
                if ((QString(s.nome) == "frmTipoEquipamento" || QString(s.nome) == "frmTipoAnalise") &&
                    (nome == "cpfConsulta" || nome == "cpfExportaExcel"))
                    grant({grantId++, 3, compId});
                --compId;
            }
            --formId;
        }
    }

    // -- internal mail and tasks -----------------------------------------------------------

    void collaboration() {
        Insert msg(m_db, "SIS_COMUNICACAO",
                   {"ID_COMUNICACAO", "DT_COMUNICACAO", "HO_COMUNICACAO", "ID_REMETENTE", "ID_DESTINATARIO",
                    "DS_ASSUNTO", "DS_COMUNICACAO", "DT_RECEB", "HO_RECEB"});
        msg({1, m_today.addDays(-6), QTime(8, 42), 4, 2, "Coleta extra na Usina",
             latin1("Mariana, o cliente pediu uma coleta extra da caldeira 02 na próxima semana. Consegue "
                    "incluir "
                    "na rota?"),
             m_today.addDays(-6), QTime(9, 15)});
        msg({2, m_today.addDays(-5), QTime(10, 3), 2, 4, "Re: Coleta extra na Usina",
             latin1("Incluído para quinta-feira. Os frascos já estão separados."), m_today.addDays(-5),
             QTime(13, 30)});
        msg({3, m_today.addDays(-2), QTime(14, 20), 1, 3, "Calibração do condutivímetro",
             latin1("Fernanda, favor registrar a calibração do condutivímetro no livro do laboratório."),
             QVariant(), QVariant()});
        msg({4, m_today.addDays(-1), QTime(16, 55), 5, 4, "Proposta do Hotel",
             latin1("Carlos, o hotel aprovou a proposta das torres. Pode agendar a primeira coleta."),
             QVariant(), QVariant()});
        // The administrator (the screenshot user) has mail waiting and mail already read.
        msg({5, m_today.addDays(-1), QTime(11, 10), 2, 1, "Laudos da semana",
             latin1("Os laudos da semana estão prontos para conferência e assinatura."), QVariant(),
             QVariant()});
        msg({6, m_today, QTime(8, 5), 3, 1, "Reagentes vencidos",
             latin1("Separei os tampões de pH vencidos para descarte; favor autorizar a compra de novos."),
             QVariant(), QVariant()});
        msg({7, m_today.addDays(-3), QTime(15, 40), 4, 1, "Visita ao Frigorífico",
             latin1("A visita técnica ao frigorífico ficou para sexta-feira às 9h."), m_today.addDays(-3),
             QTime(16, 2)});

        Insert tarefa(m_db, "TAB_TAREFA",
                      {"ID_TAREFA", "ID_USUARIO_CRIACAO", "ID_PESSOA", "ID_USUARIO_AVISO",
                       "ID_USUARIO_CONCLUSAO", "ID_USUARIO_INICIO", "DS_TAREFA", "TX_DETALHE", "ST_COMERCIAL",
                       "ST_OPERACIONAL", "ST_ADMINISTRATIVO", "ST_FINANCEIRO", "ST_COMPRAS", "DH_CRIACAO",
                       "DT_AVISO", "DH_INICIO", "DH_CONCLUSAO", "ID_NF_COMERCIO"});
        const QDateTime agora(m_today, QTime(9, 0));
        const int cli1 = m_clients[0].id, cli2 = m_clients[3].id, cli3 = m_clients[8].id;
        tarefa({1, 1, cli1, 2, QVariant(), QVariant(), "Enviar laudo revisado",
                latin1("Reenviar o laudo com a "
                       "assinatura corrigida."),
                "N", "S", "N", "N", "N", agora.addDays(-3), m_today.addDays(1), QVariant(), QVariant(), 0});
        tarefa({2, 4, cli2, QVariant(), QVariant(), 4, "Renovar proposta comercial",
                latin1("Proposta vence no fim do mês; preparar reajuste."), "S", "N", "N", "N", "N",
                agora.addDays(-10), m_today.addDays(-2), agora.addDays(-9), QVariant(), 0});
        tarefa({3, 2, cli3, 3, 3, 3, "Coletar amostra de efluente", latin1("Coleta composta de 24 horas."),
                "N", "S", "N", "N", "N", agora.addDays(-20), m_today.addDays(-15), agora.addDays(-16),
                agora.addDays(-15), 0});
        tarefa({4, 5, QVariant(), QVariant(), QVariant(), QVariant(), "Cotar reagentes do trimestre",
                latin1("Cotar padrões de condutividade e tampões de pH."), "N", "N", "N", "N", "S",
                agora.addDays(-1), m_today.addDays(5), QVariant(), QVariant(), 0});
        tarefa({5, 4, cli1, 4, QVariant(), QVariant(), "Conferir nota de venda",
                latin1("Conferir a nota com o "
                       "cliente."),
                "S", "N", "N", "S", "N", agora.addDays(-4), m_today, QVariant(), QVariant(), 1});
        tarefa({6, 2, cli2, 1, QVariant(), QVariant(), "Assinar laudos da semana",
                latin1("Conferir e assinar os laudos antes do envio aos clientes."), "N", "S", "N", "N", "N",
                agora.addDays(-1), m_today.addDays(2), QVariant(), QVariant(), 0});
        tarefa({7, 1, QVariant(), 5, QVariant(), 1, "Aprovar compra de reagentes",
                latin1("Aprovar o pedido de padrões e tampões."), "N", "N", "N", "N", "S", agora.addDays(-2),
                m_today.addDays(1), agora.addDays(-1), QVariant(), 0});
    }

    // -- update-script log and the parameter row -------------------------------------------

    void updateLog() {
        Insert log(m_db, "MOV_LOG_ATUALIZACAO",
                   {"ID_LOG_ATUALIZACAO", "NO_LOG_ATUALIZACAO", "DS_LOG_ATUALIZACAO", "NM_APLICATIVO",
                    "DH_ATUALIZACAO"});
        const QStringList topics = {
            "Criação de índices de pesquisa", "Novas colunas de parâmetros", "Ajuste de tamanho de campos",
            "Tabelas do laboratório",         "Permissões de telas",         "Correção de dados de cidades"};
        const QDateTime inicio(m_today.addYears(-3), QTime(22, 0));
        for (int n = 1; n <= 57; ++n)
            log({n, n,
                 QString("Script %1 - %2").arg(n, 3, 10, QChar('0')).arg(topics[(n - 1) % topics.size()]),
                 "Atualizador", inicio.addDays(n * 18)});
    }

    void parameters() {
        const QByteArray laudo =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
            "{\\f1\\fnil\\fcharset2 Symbol;}}\n"
            "\\viewkind4\\uc1\\pard\\f0\\fs16 Os resultados referem-se exclusivamente \\'e0s amostras "
            "analisadas. "
            "\\b Resultados fora dos par\\'e2metros de controle devem ser corrigidos em at\\'e9 48 "
            "horas.\\b0\\par\n"
            "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-"
            "200\\li200 "
            "Amostras coletadas pelo cliente conforme instru\\'e7\\'f5es do laborat\\'f3rio.\\par\n"
            "{\\pntext\\f1\\'b7\\tab}Frascos mantidos refrigerados at\\'e9 o recebimento.\\par\n"
            "{\\pntext\\f1\\'b7\\tab}M\\'e9todos anal\\'edticos conforme normas t\\'e9cnicas vigentes.\\par\n"
            "\\pard\\par\n}";
        Insert param(m_db, "TAB_PARAMETRO",
                     {"ID_PARAMETRO",
                      "NM_EMPRESA",
                      "NM_FANTASIA",
                      "NM_SISTEMA",
                      "NO_CNPJCPF",
                      "NO_INSC_ESTADUAL",
                      "NO_INSC_MUNICIPAL",
                      "DS_ENDERECO",
                      "NO_ENDERECO",
                      "DS_COMPLEMENTO",
                      "NM_BAIRRO",
                      "NO_CEP",
                      "ID_CIDADE",
                      "NM_CONTATO",
                      "NO_FONE",
                      "NO_FAX",
                      "DS_E_MAIL",
                      "DS_HOME_PAGE",
                      "LOGO_EMPRESA",
                      "TX_LAUDO_TECNICO",
                      "FM_MASCARA_QUANTIDADE",
                      "FM_MASCARA_VALOR",
                      "NO_CASAS_DECIMAIS_QTDE",
                      "NO_CASAS_DECIMAIS_VALOR",
                      "ST_CONFIRMA_SAIR",
                      "ST_LOGIN_USUARIO_WINDOWS",
                      "ST_PESQUISA_EXATA_PESSOA",
                      "ST_CONTROLA_ESTOQUE",
                      "ST_ESTOQUE_NEGATIVO",
                      "ST_CALCULA_COMISSAO",
                      "ST_BLOQUEIA_CLIENTE",
                      "VL_PERC_COMISSAO",
                      "VL_ALIQUOTA_ICMS",
                      "NO_DIAS_TOLERANCIA",
                      "TP_REGIME_TRIBUTARIO",
                      "CD_CNAE",
                      "DS_SERIE_NF_PADRAO",
                      "NO_ULTIMA_NF",
                      "ID_NAT_OPERACAO_VENDA",
                      "DS_PASTA_BACKUP",
                      "DT_ULTIMO_BACKUP",
                      "HR_BACKUP_AUTOMATICO",
                      "DH_ULTIMA_ALTERACAO",
                      "TX_OBS_PADRAO_NF"});
        param({1,
               ownCompanies()[0].razao,
               "Hidrolab",
               "Nexmoro Cortivandela",
               makeCnpj(m_rnd),
               "244178395110",
               "1.203.457-8",
               "Rua Barão de Mauá",
               "1450",
               "Sala 3",
               "Jardim Paulista",
               "13070120",
               2,
               "Mariana Alves Ribeiro",
               "(19) 3251-4478",
               "(19) 3251-4479",
               "laboratorio@hidrolab.com.br",
               "www.hidrolab.com.br",
               demoLogoJpeg(),
               laudo,
               "###,##0.000",
               "###,##0.00",
               3,
               2,
               "S",
               "N",
               "N",
               "S",
               "N",
               "S",
               "N",
               2.5,
               18.0,
               5,
               "3",
               "7120-1/00",
               "1",
               1500,
               1,
               "C:\\Backup\\Hidrolab",
               m_today.addDays(-1),
               QTime(23, 30),
               QDateTime(m_today.addDays(-7), QTime(17, 45)),
               latin1("Documento emitido por empresa optante do regime normal de tributação.")});
    }
};

} // namespace

void generateDemoData(SqlSink& db) {
    DemoBuilder(db).run();
}

QStringList demoOwnCompanyCodes() {
    QStringList codes;
    for (const auto& e : ownCompanies())
        codes << e.codigo;
    return codes;
}

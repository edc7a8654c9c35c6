// The demo data's geography, option lists, people, products, laboratory vocabulary and client
// equipment.
#include "sitegen/DemoBuilder.h"
#include "sitegen/DemoImages.h"

#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <map>
#include <set>

namespace demodata {

// -- geography, activities, option lists ------------------------------------------------

void DemoBuilder::geography() {
    Insert estado(m_db, "TAB_ESTADO", {"SG_ESTADO", "NM_ESTADO"});
    for (const auto& s : states())
        estado({s.sigla, s.nome});
    Insert cidade(m_db, "TAB_CIDADE", {"ID_CIDADE", "NM_CIDADE", "SG_ESTADO", "NO_CEP_INICIAL"});
    for (size_t i = 0; i < cities().size(); ++i) {
        const auto& c = cities()[i];
        cidade({int(i) + 1, c.nome, c.uf, QString(c.cepPrefix) + "00000"});
    }
}

void DemoBuilder::activitiesAndOptions() {
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

void DemoBuilder::insertPerson(Insert& pessoa, int id, const QString& pesquisa, const QString& razao,
                               bool juridica, const QString& documento, const QDate& cadastro,
                               const QVariant& vendedor, const QVariant& atividade, const QVariant& registro,
                               const QString& email, const QVariantList& categorias) {
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

void DemoBuilder::insertAddress(Insert& endereco, int pessoa, int cidade, bool fatura) {
    const City& c = cities()[cidade];
    endereco({m_nextEndereco++, pessoa, cidade + 1, m_rnd.pick(streets()),
              QString::number(m_rnd.between(10, 4800)),
              m_rnd.chance(0.3) ? QVariant(QString("Galpão %1").arg(m_rnd.between(1, 9))) : QVariant(),
              m_rnd.pick(districts()), cep(m_rnd, c), flag(fatura), flag(!fatura || m_rnd.chance(0.5)),
              flag(fatura)});
}

void DemoBuilder::insertContact(Insert& contato, int pessoa, const QString& nome, const QString& cargo,
                                const QString& fone, const QString& email, bool principal) {
    contato({m_nextContato++, pessoa, fit(nome, 40), cargo, fone, fit(email, 50), flag(principal)});
}

QString DemoBuilder::personName() {
    return m_rnd.pick(firstNames()) + " " + m_rnd.pick(surnames()) + " " + m_rnd.pick(surnames());
}

void DemoBuilder::people() {
    Insert pessoa(m_db, "CAD_PESSOA", {"ID_PESSOA",   "CD_PESSOA",     "NM_PESQUISA",          "NM_PESSOA",
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
                 makeCnpj(m_rnd), antigo.addDays(50), QVariant(), 17, QVariant(), "vendas@quimicafina.com.br",
                 cats(false, true, false, false, false, false, false));
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
    insertContact(contato, id, "José Aparecido Martins", "Motorista", mobile(m_rnd, cities()[1]), "", true);
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

void DemoBuilder::products() {
    Insert base(m_db, "CAD_PRODUTO_BASE", {"ID_PRODUTO_BASE", "NM_PRODUTO_BASE", "DS_UNIDADE"});
    Insert produto(m_db, "CAD_PRODUTO",
                   {"ID_PRODUTO", "CD_PRODUTO", "NM_PRODUTO", "ID_PRODUTO_BASE", "DS_UNIDADE", "QT_EMBALAGEM",
                    "VL_VENDA", "ST_ATIVO"});
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

void DemoBuilder::laboratoryVocabulary() {
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
        formula({f.tpAnalise, f.codigo, *f.formula ? QVariant(QString::fromUtf8(f.formula)) : QVariant()});
}

// -- client equipment -------------------------------------------------------------------

QString DemoBuilder::proposalProducts(int tipo) {
    const auto& prods = equipmentTypes()[tipo - 1].produtos;
    QStringList names;
    const int n = std::min<int>(int(prods.size()), m_rnd.between(2, 3));
    for (int i = 0; i < n; ++i)
        names << baseProducts()[prods[i] - 1].marca;
    return fit(names.join(", "), 50);
}

void DemoBuilder::clientEquipment() {
    Insert equip(m_db, "TAB_EQUIPAMENTO_CLI",
                 {"ID_EQUIPAMENTO_CLI", "ID_CLIENTE", "ID_TP_EQUIPAMENTO", "NM_EQUIPAMENTO", "DT_PROPOSTA",
                  "NO_PROPOSTA", "DS_PRODUTOS", "ID_SITAUCAO_EQUIPAMENTO", "DT_SITUACAO_EQUIPAMENTO",
                  "TX_OBS_SITUACAO_EQUIP"});
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

} // namespace demodata

// The demo site's data: checked row by row against schema/ and for the facts the screens and
// reports rely on (situations, users and grants, roles of the people in an analysis, results
// only where an ideal result exists, at least eighteen months of collections).
#include "sitegen/DemoData.h"
#include "RecordingSink.h"
#include "sitegen/DemoCatalog.h"
#include <QDate>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

QString text(const RecordedRow* r, const char* column) {
    return r ? r->values.value(column).toString() : QString();
}

class DemoDataTest : public ::testing::Test {
protected:
    static RecordingSink* sink;
    static Schema* schema;

    static void SetUpTestSuite() {
        schema = new Schema(Schema::load(CTV_SCHEMA_DIR));
        sink = new RecordingSink;
        generateDemoData(*sink);
    }
    static void TearDownTestSuite() {
        delete sink;
        delete schema;
    }
    static const std::vector<RecordedRow>& rows(const char* table) { return sink->rows(table); }
};
RecordingSink* DemoDataTest::sink = nullptr;
Schema* DemoDataTest::schema = nullptr;

TEST_F(DemoDataTest, RowsFitTheSchemaAndItsConstraints) {
    const QStringList problems = schemaViolations(*sink, *schema);
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    // Every table the system reads has demo rows, except the login log that logins fill and
    // the program's own bookkeeping tables (script log, settings), which start empty.
    for (const auto& [table, columns] : schema->tables)
        if (table != "SIS_LOG_LOGIN" && !table.startsWith("SIS_CTV_")) {
            EXPECT_FALSE(sink->rows(table).empty()) << table.toStdString();
        }
    EXPECT_GE(sink->commits, 1);
}

TEST_F(DemoDataTest, SameDataOnEveryRunOfTheDay) {
    RecordingSink again;
    generateDemoData(again);
    ASSERT_EQ(again.tables.size(), sink->tables.size());
    for (const auto& [table, rs] : sink->tables) {
        const auto& other = again.rows(table);
        ASSERT_EQ(other.size(), rs.size()) << table.toStdString();
        for (size_t i = 0; i < rs.size(); ++i)
            ASSERT_EQ(other[i].values, rs[i].values) << table.toStdString() << " row " << i;
    }
}

TEST_F(DemoDataTest, EquipmentIsInEverySituationOfList75) {
    std::set<int> situations;
    for (const auto& r : rows("TAB_OPCAO_TABELA"))
        if (r.values["ID_TABELA"].toInt() == 75) situations.insert(r.values["ID_OPCAO_TABELA"].toInt());
    EXPECT_TRUE(situations.count(-245) && situations.count(-246) && situations.count(-247));
    EXPECT_GE(situations.size(), 4u);

    std::map<int, int> used;
    for (const auto& r : rows("TAB_EQUIPAMENTO_CLI")) {
        const int s = r.values["ID_SITAUCAO_EQUIPAMENTO"].toInt();
        ++used[s];
        EXPECT_TRUE(situations.count(s)) << s;
        EXPECT_TRUE(r.values["DT_SITUACAO_EQUIPAMENTO"].toDate().isValid());
        if (s == -247) {
            EXPECT_FALSE(r.values["TX_OBS_SITUACAO_EQUIP"].toByteArray().trimmed().isEmpty());
        }
    }
    for (int s : situations)
        EXPECT_GT(used[s], 0) << "no equipment in situation " << s;
}

TEST_F(DemoDataTest, UsersGroupsAndGrants) {
    auto users = sink->index("SIS_USUARIO", "ID_USUARIO");
    ASSERT_TRUE(users.count("-2"));
    EXPECT_EQ(text(users["-2"], "NM_ACESSO"), "CADASTRO");
    std::map<int, QStringList> loginsByGroup;
    for (const auto& r : rows("SIS_USUARIO")) {
        EXPECT_FALSE(r.values["DS_SENHA"].toString().isEmpty());
        loginsByGroup[r.values["ID_GR_USUARIO"].toInt()] << r.values["NM_ACESSO"].toString();
    }
    EXPECT_TRUE(loginsByGroup[-1].contains("SUPORTE"));
    EXPECT_TRUE(loginsByGroup[1].contains("ADMIN"));
    EXPECT_TRUE(loginsByGroup[2].contains("LAB"));
    EXPECT_TRUE(loginsByGroup[3].contains("COMERCIAL"));
    auto groups = sink->index("SIS_GR_USUARIO", "ID_GR_USUARIO");
    EXPECT_EQ(text(groups["-1"], "NM_GR_USUARIO"), "Administradores Nexmoro");
    EXPECT_EQ(text(groups["2"], "NM_GR_USUARIO"), "Laboratório");

    // Forms of application 3 with negative keys, each with the five record rights.
    std::map<int, QString> formName;
    for (const auto& r : rows("SIS_FORMULARIO")) {
        EXPECT_LT(r.values["ID_FORM"].toInt(), 0);
        EXPECT_EQ(r.values["ID_APLICATIVO"].toInt(), 3);
        formName[r.values["ID_FORM"].toInt()] = r.values["NM_FORM"].toString();
    }
    std::map<QString, std::set<int>> componentsOf; // form name -> component keys
    std::map<int, QString> componentName;
    std::map<QString, int> rightsOf;
    for (const auto& r : rows("SIS_COMPONENTE")) {
        const QString form = formName[r.values["ID_FORM"].toInt()];
        const QString name = r.values["NM_COMPONENTE"].toString();
        componentsOf[form].insert(r.values["ID_COMPONENTE"].toInt());
        componentName[r.values["ID_COMPONENTE"].toInt()] = name;
        if (name.startsWith("cpf")) {
            EXPECT_EQ(r.values["NM_CLASSE"].toString(), name);
            ++rightsOf[form];
        }
    }
    for (const char* f :
         {"frmTipoAnalise", "frmTipoEquipamento", "frmResultadoIdeal", "frmCadastroEquipamentodoCliente",
          "frmCadastrodeAnalise", "frmEquipamentosAnalisados", "frmPesquisarAnalises",
          "frmConfiguracoesGerais", "frmSobre", "frmParRelAnaliseColeta"})
        EXPECT_EQ(rightsOf[f], 5) << f;

    std::map<int, std::set<int>> granted; // group -> components
    for (const auto& r : rows("SIS_EVENTO_AUTORIZADO"))
        granted[r.values["ID_GR_USUARIO"].toInt()].insert(r.values["ID_COMPONENTE"].toInt());
    EXPECT_EQ(granted[1].size(), componentName.size());
    EXPECT_EQ(granted[-1].size(), componentName.size());
    for (int c : componentsOf["frmCadastrodeAnalise"])
        EXPECT_TRUE(granted[2].count(c));
    for (int c : componentsOf["frmParRelAnaliseProposta"])
        EXPECT_FALSE(granted[2].count(c));
    EXPECT_FALSE(granted[3].empty());
    for (int c : granted[3])
        EXPECT_NE(componentName[c], "cpfExcluir");
    for (int c : componentsOf["frmCadastrodeAnalise"])
        EXPECT_FALSE(granted[3].count(c));
}

TEST_F(DemoDataTest, AnalysesReferToPeopleInTheirRolesAndCoverEighteenMonths) {
    auto people = sink->index("CAD_PESSOA", "ID_PESSOA");
    auto equipment = sink->index("TAB_EQUIPAMENTO_CLI", "ID_EQUIPAMENTO_CLI");
    const QDate today = QDate::currentDate();
    QDate first = today, last;
    std::map<int, const RecordedRow*> analyses;
    for (const auto& r : rows("MOV_ANALISE")) {
        const auto& v = r.values;
        analyses[v["ID_ANALISE"].toInt()] = &r;
        EXPECT_EQ(text(people[v["ID_CLIENTE"].toString()], "CT_CLIENTE"), "S");
        EXPECT_EQ(text(people[v["ID_REPRESENTANTE"].toString()], "CT_REPRESENT"), "S");
        const RecordedRow* tech = people[v["ID_RESPONSAVEL_TECNICO"].toString()];
        EXPECT_EQ(text(tech, "CT_FUNCIONARIO"), "S");
        EXPECT_FALSE(text(tech, "ID_ATIVIDADE").isEmpty());
        EXPECT_TRUE(text(tech, "NO_REG_CONS_REGIONAL").startsWith("CRQ"));

        const QDate coleta = v["DT_COLETA"].toDate(), receb = v["DT_RECEBIMENTO"].toDate();
        const QDate aval = v["DT_AVALIACAO"].toDate(), envio = v["DT_ENVIO"].toDate();
        EXPECT_LE(coleta, receb);
        EXPECT_LE(receb, today);
        if (aval.isValid()) {
            EXPECT_LE(receb, aval);
            EXPECT_LE(aval, today);
        }
        if (envio.isValid()) {
            EXPECT_TRUE(aval.isValid() && aval <= envio && envio <= today);
        }
        first = std::min(first, coleta);
        last = std::max(last, coleta);
    }
    EXPECT_LE(first, today.addMonths(-18));
    EXPECT_GE(last, today.addDays(-45));

    // Samples: the analysis's client and equipment type; numbered four per page in key order.
    std::map<int, std::vector<const RecordedRow*>> samples;
    for (const auto& r : rows("MOV_ANALISE_EQUIPAMENTO")) {
        const RecordedRow* a = analyses[r.values["ID_ANALISE"].toInt()];
        ASSERT_NE(a, nullptr);
        const RecordedRow* e = equipment[r.values["ID_EQUIPAMENTO_CLI"].toString()];
        EXPECT_EQ(text(e, "ID_CLIENTE"), text(a, "ID_CLIENTE"));
        EXPECT_EQ(text(e, "ID_TP_EQUIPAMENTO"), text(a, "ID_TP_EQUIPAMENTO"));
        samples[r.values["ID_ANALISE"].toInt()].push_back(&r);
    }
    bool twoPages = false;
    for (const auto& [analise, list] : samples) {
        for (size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(list[i]->values["NO_PAGINA"].toInt(), int(i / 4) + 1);
            EXPECT_EQ(list[i]->values["NO_AMOSTRA"].toInt(), int(i % 4) + 1);
        }
        twoPages = twoPages || list.size() > 4;
    }
    EXPECT_TRUE(twoPages) << "no analysis prints on two pages";
    EXPECT_EQ(samples.size(), analyses.size()) << "an analysis without analysed equipment";
}

// The technical report and the fill-in sheet of the demo have something to show: an evaluated
// analysis on two blocks whose equipment was collected before, with RTF comments, and the
// first evaluated analysis of such equipment (previous values 0,00).
TEST_F(DemoDataTest, ReportsOfTheDemoHaveBlocksHistoryCommentsAndAFirstCollection) {
    std::map<int, const RecordedRow*> analyses;
    for (const auto& r : rows("MOV_ANALISE"))
        analyses[r.values["ID_ANALISE"].toInt()] = &r;
    std::set<int> withResults;
    for (const auto& r : rows("MOV_ANALISE_RESULTADO"))
        withResults.insert(r.values["ID_ANALISE_EQUIPAMENTO"].toInt());
    // Per analysis: its samples' equipment and comments.
    std::map<int, std::vector<const RecordedRow*>> samples;
    std::map<int, std::vector<QDate>> collections; // equipment -> evaluated collection dates
    for (const auto& r : rows("MOV_ANALISE_EQUIPAMENTO")) {
        samples[r.values["ID_ANALISE"].toInt()].push_back(&r);
        if (withResults.count(r.values["ID_ANALISE_EQUIPAMENTO"].toInt()))
            collections[r.values["ID_EQUIPAMENTO_CLI"].toInt()].push_back(
                analyses[r.values["ID_ANALISE"].toInt()]->values["DT_COLETA"].toDate());
    }
    bool withHistory = false, firstEver = false;
    for (const auto& [analise, list] : samples) {
        if (list.size() <= 4 || !withResults.count(list[0]->values["ID_ANALISE_EQUIPAMENTO"].toInt()))
            continue;
        const QDate coleta = analyses[analise]->values["DT_COLETA"].toDate();
        int earlier = 0, comments = 0;
        for (const RecordedRow* s : list) {
            const auto& dates = collections[s->values["ID_EQUIPAMENTO_CLI"].toInt()];
            earlier += std::any_of(dates.begin(), dates.end(), [&](const QDate& d) { return d < coleta; });
            comments += s->values["TX_COMENTARIO"].toByteArray().startsWith("{\\rtf");
        }
        withHistory = withHistory || (earlier == int(list.size()) && comments >= 2);
        firstEver = firstEver || earlier == 0;
    }
    EXPECT_TRUE(withHistory);
    EXPECT_TRUE(firstEver);
}

TEST_F(DemoDataTest, ResultsOnlyForAnalysisTypesWithAnIdealResult) {
    std::set<std::pair<int, int>> ideal; // equipment type, analysis type
    std::map<int, int> idealCount;
    for (const auto& r : rows("TAB_RESULTADO_IDEAL")) {
        ideal.insert({r.values["ID_TP_EQUIPAMENTO"].toInt(), r.values["ID_TP_ANALISE"].toInt()});
        ++idealCount[r.values["ID_TP_EQUIPAMENTO"].toInt()];
    }
    auto analyses = sink->index("MOV_ANALISE", "ID_ANALISE");
    auto samples = sink->index("MOV_ANALISE_EQUIPAMENTO", "ID_ANALISE_EQUIPAMENTO");
    // Calculated types (the saturation indices) are signed; measured values are not.
    std::set<int> calculated;
    for (const auto& r : rows("SIS_CTV_FORMULA"))
        if (!r.values["TX_FORMULA"].isNull()) calculated.insert(r.values["ID_TP_ANALISE"].toInt());
    EXPECT_EQ(calculated, (std::set<int>{30, 31}));
    std::set<std::pair<int, int>> seen; // sample, analysis type
    std::map<int, int> perSample;
    for (const auto& r : rows("MOV_ANALISE_RESULTADO")) {
        const int sample = r.values["ID_ANALISE_EQUIPAMENTO"].toInt();
        const int type = r.values["ID_TP_ANALISE"].toInt();
        const RecordedRow* a = analyses[text(samples[QString::number(sample)], "ID_ANALISE")];
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(ideal.count({a->values["ID_TP_EQUIPAMENTO"].toInt(), type}));
        EXPECT_TRUE(seen.insert({sample, type}).second) << "two results of one type on sample " << sample;
        if (!calculated.count(type)) {
            EXPECT_GE(r.values["VL_RESULTADO"].toDouble(), 0.0);
        }
        ++perSample[sample];
    }
    // Evaluated samples carry one value per ideal result; samples awaiting evaluation none.
    for (const auto& [key, s] : samples) {
        const RecordedRow* a = analyses[text(s, "ID_ANALISE")];
        const bool evaluated = !a->values["DT_AVALIACAO"].isNull();
        EXPECT_EQ(perSample[s->values["ID_ANALISE_EQUIPAMENTO"].toInt()],
                  evaluated ? idealCount[a->values["ID_TP_EQUIPAMENTO"].toInt()] : 0);
    }
}

TEST_F(DemoDataTest, PeopleHaveRolesAddressesPhonesAndValidDocuments) {
    std::map<QString, int> billing, mainPhone;
    for (const auto& r : rows("CAD_END_PESSOA"))
        if (r.values["ST_FATURA"] == "S") ++billing[r.values["ID_PESSOA"].toString()];
    for (const auto& r : rows("CAD_CONTATO_PESSOA"))
        if (r.values["ST_FONE_PRINCIPAL"] == "S") ++mainPhone[r.values["ID_PESSOA"].toString()];
    std::set<QString> reps;
    int clients = 0, cnpj = 0, cpf = 0, techs = 0, noCategory = 0;
    QStringList companies;
    for (const auto& r : rows("CAD_PESSOA"))
        if (r.values["CT_REPRESENT"] == "S") reps.insert(r.values["ID_PESSOA"].toString());
    for (const auto& r : rows("CAD_PESSOA")) {
        const auto& v = r.values;
        const QString id = v["ID_PESSOA"].toString();
        const QString doc = v["NO_CNPJ_CPF"].toString();
        if (v["TP_PESSOA"] == "J") {
            EXPECT_TRUE(demo::validCnpj(doc)) << doc.toStdString();
            ++cnpj;
        } else {
            EXPECT_TRUE(demo::validCpf(doc)) << doc.toStdString();
            ++cpf;
        }
        if (v["CT_CLIENTE"] == "S") {
            ++clients;
            EXPECT_EQ(billing[id], 1) << id.toStdString();
            EXPECT_GE(mainPhone[id], 1) << id.toStdString();
            EXPECT_TRUE(reps.count(v["ID_VENDEDOR"].toString())) << id.toStdString();
        }
        if (v["CT_FUNCIONARIO"] == "S") ++techs;
        if (v["CT_EMPRESA"] == "S") companies << v["CD_PESSOA"].toString();
        bool allNull = true;
        for (const char* c : {"CT_CLIENTE", "CT_FORNECEDOR", "CT_TRANSPORT", "CT_OUTROS", "CT_EMPRESA",
                              "CT_REPRESENT", "CT_FUNCIONARIO"})
            allNull = allNull && v[c].isNull();
        noCategory += allNull;
    }
    EXPECT_GE(clients, 50);
    EXPECT_GE(cnpj, 10);
    EXPECT_GE(cpf, 10);
    EXPECT_EQ(reps.size(), 5u);
    EXPECT_EQ(techs, 4);
    EXPECT_EQ(noCategory, 1);
    EXPECT_EQ(companies, demoOwnCompanyCodes());
}

TEST_F(DemoDataTest, ClientsBuyUnderSellingAndNonSellingOperations) {
    std::map<int, bool> selling;
    for (const auto& r : rows("TAB_NAT_OPERACAO"))
        selling[r.values["ID_NAT_OPERACAO"].toInt()] = r.values["ST_ESTAT_VENDA"] == "S";
    auto products = sink->index("CAD_PRODUTO", "ID_PRODUTO");
    std::set<std::pair<QString, int>> usedBase; // client, base product used on its equipment types
    std::map<int, std::set<int>> baseOfType;
    for (const auto& r : rows("TAB_PRODUTO_EQUIPAMENTO"))
        baseOfType[r.values["ID_TP_EQUIPAMENTO"].toInt()].insert(r.values["ID_PRODUTO_BASE"].toInt());
    for (const auto& r : rows("TAB_EQUIPAMENTO_CLI"))
        for (int b : baseOfType[r.values["ID_TP_EQUIPAMENTO"].toInt()])
            usedBase.insert({r.values["ID_CLIENTE"].toString(), b});
    auto invoices = sink->index("MOV_NF_COMERCIO", "ID_NF_COMERCIO");
    int bought = 0, notSales = 0;
    for (const auto& r : rows("MOV_NF_COMERCIO_ITEM")) {
        const RecordedRow* nf = invoices[r.values["ID_NF_COMERCIO"].toString()];
        const int base = text(products[r.values["ID_PRODUTO"].toString()], "ID_PRODUTO_BASE").toInt();
        if (!selling[nf->values["ID_NAT_OPERACAO"].toInt()])
            ++notSales;
        else if (usedBase.count({text(nf, "ID_DESTINATARIO_REMETENTE"), base}))
            ++bought;
        EXPECT_GT(r.values["QT_PRODUTO"].toDouble(), 0.0);
    }
    EXPECT_GT(bought, 0);
    EXPECT_GT(notSales, 0);
}

TEST_F(DemoDataTest, ParameterRowAndScriptLog) {
    ASSERT_EQ(rows("TAB_PARAMETRO").size(), 1u);
    const auto& p = rows("TAB_PARAMETRO").front().values;
    EXPECT_EQ(p["ID_PARAMETRO"].toInt(), 1);
    EXPECT_FALSE(p["NM_EMPRESA"].toString().isEmpty());
    EXPECT_TRUE(p["LOGO_EMPRESA"].toByteArray().startsWith("\xFF\xD8"));
    const QByteArray laudo = p["TX_LAUDO_TECNICO"].toByteArray();
    EXPECT_TRUE(laudo.startsWith("{\\rtf1"));
    EXPECT_TRUE(laudo.contains("\\b ") && laudo.contains("\\pntext"));
    EXPECT_EQ(p["ST_CONFIRMA_SAIR"], "S");
    EXPECT_EQ(p["ST_LOGIN_USUARIO_WINDOWS"], "N");
    EXPECT_EQ(p["ST_PESQUISA_EXATA_PESSOA"], "N");
    EXPECT_EQ(sink->scalar("select max(NO_LOG_ATUALIZACAO) from MOV_LOG_ATUALIZACAO").toInt(), 57);
}

// What the application expects of the schema's shape: the parameter row without the two
// columns the start-up adds, the permission tables in their positional column order, and unique
// index names that the error report can turn into a phrase.
TEST_F(DemoDataTest, SchemaShapeTheApplicationRelies) {
    EXPECT_FALSE(schema->tables.at("TAB_PARAMETRO").count("SCRIPT_RODADO"));
    EXPECT_FALSE(schema->tables.at("TAB_PARAMETRO").count("VERSAO_ERP"));
    EXPECT_EQ(schema->columnOrder.at("SIS_FORMULARIO"),
              QStringList({"ID_FORM", "NM_FORM", "DS_CAPTION", "ID_APLICATIVO", "ST_MODIFICADO"}));
    EXPECT_EQ(schema->columnOrder.at("SIS_COMPONENTE"),
              QStringList({"ID_COMPONENTE", "ID_FORM", "NM_COMPONENTE", "NM_CLASSE", "DS_CAPTION", "ST_ATIVO",
                           "ST_MODIFICADO"}));
    EXPECT_EQ(schema->columnOrder.at("SIS_USUARIO").size(), 15);
    for (const auto& u : schema->uniqueIndexes) {
        EXPECT_LE(u.name.size(), 31);
        EXPECT_TRUE(u.name.contains(QRegularExpression("^[A-Z]+(_[A-Z]+)+_UNQ\\d$"))) << u.name.toStdString();
        EXPECT_NE(u.table, "TAB_RESULTADO_IDEAL");
        EXPECT_NE(u.table, "TAB_PRODUTO_EQUIPAMENTO");
    }
    for (const auto& fk : schema->foreignKeys)
        EXPECT_LE(fk.name.size(), 31);
}

} // namespace

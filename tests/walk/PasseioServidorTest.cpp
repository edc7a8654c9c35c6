// The random walk against a shared server of the test's own: a second workstation writes the
// same tables at random (new rows and changes of names), and the server is killed (kill -9) and
// started again at random moments. No record is lost and nothing is shown as saved that the
// server does not hold. A long run:
//   CTV_PASSEIO_SEMENTE=<n> CTV_PASSEIO_PASSOS=<n> CTV_PASSEIO_SEGUNDOS=0
//     test_walk --gtest_filter='PasseioServidor*'   (one command line)
#include "OwnFirebirdServer.h"
#include "Passeio.h"
#include "ProgramaAberto.h"
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include "data/Schema.h"
#include "data/UndmLookup.h"
#include "data/UndmPadrao.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/MailTransport.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>

namespace {

// The laboratory of the lab tests, as statements for a new database.
const char* const kLaboratorio[] = {
    "insert into tab_parametro (id_parametro, nm_empresa, st_confirma_sair) values (1, 'Hidrolab', 'S')",
    "insert into sis_gr_usuario values (-1, 'Suporte')",
    "insert into sis_usuario (id_usuario, nm_usuario, id_gr_usuario, nm_acesso) values (1, 'Maria', -1, "
    "'MARIA')",
    "insert into cad_produto_base (id_produto_base, nm_produto_base) values (1, 'Biocida Oxidante')",
    "insert into cad_produto_base (id_produto_base, nm_produto_base) values (2, 'Dispersante Acrílico')",
    "insert into tab_tp_equipamento values (1, 'Caldeira', 'Análise de Água de Caldeira')",
    "insert into tab_tp_equipamento values (2, 'Torre de Resfriamento', 'Análise de Água de Torre')",
    "insert into tab_tp_analise values (1, 'pH')",
    "insert into tab_tp_analise values (2, 'Condutividade')",
    "insert into tab_tp_analise values (3, 'Dureza Total')",
    "insert into tab_resultado_ideal values (1, 1, 1, '7,0 a 8,5')",
    "insert into tab_opcao_tabela (id_opcao_tabela, id_tabela, ds_opcao_tabela) values (-245, 75, 'Proposta "
    "Aprovada')",
    "insert into tab_opcao_tabela (id_opcao_tabela, id_tabela, ds_opcao_tabela) values (-246, 75, "
    "'Aguardando Orçamento')",
    "insert into tab_opcao_tabela (id_opcao_tabela, id_tabela, ds_opcao_tabela) values (-247, 75, 'Proposta "
    "Recusada')",
    "insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, ct_cliente) values (30, '30', "
    "'HOTEL SERRA AZUL', 'HOTEL SERRA AZUL', 'S')",
    "insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, ct_cliente) values (31, '31', "
    "'LATICÍNIOS BOA VISTA', 'LATICÍNIOS BOA VISTA', 'S')",
    "insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, nm_equipamento, "
    "id_sitaucao_equipamento, dt_situacao_equipamento) values (1, 30, 1, 'Caldeira 01', -245, '2023-11-20')",
    "insert into mov_analise (id_analise, dt_coleta, dt_recebimento, id_cliente, id_representante, "
    "id_responsavel_tecnico, id_tp_equipamento) values (1, '2024-02-01', '2024-02-02', 30, 31, 31, 1)",
};

// What the second workstation writes: a table, its key and a text column it names rows with.
struct TabelaEscrita {
    const char* tabela;
    const char* chave;
    const char* nome;
    const char* outras; // further columns of a new row with their values, or ""
};
const TabelaEscrita kEscritas[] = {
    {"TAB_TP_ANALISE", "ID_TP_ANALISE", "NM_TP_ANALISE", ""},
    {"TAB_TP_EQUIPAMENTO", "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO", ""},
    {"TAB_EQUIPAMENTO_CLI", "ID_EQUIPAMENTO_CLI", "NM_EQUIPAMENTO",
     ", ID_CLIENTE, ID_TP_EQUIPAMENTO, ID_SITAUCAO_EQUIPAMENTO|, 31, 2, -246"},
};

class PasseioServidor : public ::testing::Test, protected ProgramaAberto {
protected:
    void SetUp() override {
        if (!srv.start()) GTEST_SKIP() << "servidor próprio indisponível: " << srv.error().toStdString();
        {
            Database criador;
            criador.setDatabaseName(srv.connectionString("site.fdb"));
            criador.create();
            applySchemaDir(criador, CTV_SCHEMA_DIR);
            QString script;
            for (const char* s : kLaboratorio)
                script += QString::fromUtf8(s) + ";\n";
            applyScript(criador, script);
            criador.disconnect();
        }
        QDir(site.path()).mkpath("Sistema");
        QDir(site.path()).mkpath("Dados");
        const QString exe = site.filePath("Sistema/cortivandela");
        os.setExecutablePath(exe);
        IniFile conn(site.filePath("Dados/SITE.ini"));
        conn.writeString("Database", "servidor", QStringLiteral("127.0.0.1/%1").arg(srv.port()));
        conn.writeString("Database", "path", srv.dataFolder() + "/");
        conn.writeString("Database", "name", "site.fdb");
        IniFile(programSettingsPath(exe))
            .writeString("IniServidor", "nomearquivo", site.filePath("Dados/SITE.ini"));

        abrePrograma(1, -1, "Maria", site.filePath("Dados/SITE.ini"));
        ASSERT_TRUE(main->IBSolution.connected());
        for (Database* d : {&conferencia, &outra})
            d->setDatabaseName(srv.connectionString("site.fdb"));
    }

    void TearDown() override {
        if (main && !srv.running()) srv.start();
        fechaPrograma();
        dataContext() = DataContext{};
        QApplication::processEvents();
    }

    // A connection that works while the server runs, attached again after a restart.
    Database* conectada(Database& d) {
        if (!srv.running()) return nullptr;
        try {
            if (!d.connected()) {
                d.disconnect();
                d.connect();
            }
            return &d;
        } catch (...) {
            return nullptr;
        }
    }

    // One write of the second workstation, committed at once: a new row with the largest key plus
    // one, or a new name for a row the walk may be showing or editing.
    QString escreve(std::mt19937_64& rng) {
        Database* db = conectada(outra);
        if (!db) return {};
        const TabelaEscrita& t = kEscritas[std::uniform_int_distribution<int>(0, 2)(rng)];
        const int n = ++escritas;
        try {
            Transaction tr(db);
            Query q(db, &tr);
            if (std::uniform_int_distribution<int>(0, 1)(rng)) {
                const QString outras = QString::fromLatin1(t.outras);
                q.setSqlText(QStringLiteral("select max(%1) from %2").arg(t.chave, t.tabela));
                q.open();
                const qint64 k = q.field(0)->value().toLongLong() + 1;
                q.close();
                q.setSqlText(QStringLiteral("insert into %1 (%2, %3%4) values (%5, 'Estação 2 nº %6'%7)")
                                 .arg(t.tabela, t.chave, t.nome, outras.section('|', 0, 0))
                                 .arg(k)
                                 .arg(n)
                                 .arg(outras.section('|', 1, 1)));
                q.execSQL();
                tr.commit();
                deOutros[t.tabela].insert(k);
                return QStringLiteral("outra estação inclui %1 %2").arg(t.tabela).arg(k);
            }
            q.setSqlText(QStringLiteral("select first 1 skip %1 %2 from %3 order by %2")
                             .arg(std::uniform_int_distribution<int>(0, 4)(rng))
                             .arg(t.chave, t.tabela));
            q.open();
            if (q.isEmpty()) return {};
            const qint64 k = q.field(0)->value().toLongLong();
            q.close();
            q.setSqlText(QStringLiteral("update %1 set %2 = 'Mudado na estação 2 nº %3' where %4 = %5")
                             .arg(t.tabela, t.nome)
                             .arg(n)
                             .arg(t.chave)
                             .arg(k));
            q.execSQL();
            tr.commit();
            return QStringLiteral("outra estação muda %1 %2").arg(t.tabela).arg(k);
        } catch (const std::exception& e) {
            return QStringLiteral("outra estação falhou: %1").arg(QString::fromUtf8(e.what()).left(80));
        }
    }

    OwnFirebirdServer srv;
    QTemporaryDir site;
    FakeOsFacts os;
    ScopedOsFacts osScope{os};
    ScriptedDialogs dialogs;
    ScopedDialogs dialogScope{dialogs};
    FixedClock clock{QDateTime(QDate(2024, 3, 15), QTime(9, 0))};
    ScopedClock clockScope{clock};
    ScriptedMailTransport mail;
    ScopedMailTransport mailScope{mail};
    FakeProcesses procs;
    ScopedProcesses procsScope{procs};
    RecordingShell shell;
    ScopedShell shellScope{shell};
    Database conferencia, outra;
    QHash<QString, QSet<qint64>> deOutros;
    int escritas = 0;
};

} // namespace

TEST_F(PasseioServidor, AWalkWithASecondWorkstationAndAServerThatDiesLosesNothing) {
    Passeio::Ambiente amb;
    amb.principal = main;
    amb.dialogos = &dialogs;
    amb.conferencia = [this] { return conectada(conferencia); };
    amb.chavesDeOutros = [this](const QString& tabela) { return deOutros.value(tabela); };
    amb.outraEstacao = true;
    amb.datasDoPrograma = {"DT_SITUACAO_EQUIPAMENTO"};
    amb.telas = {"frmTipoEquipamento", "frmTipoAnalise", "frmResultadoIdeal",
                 "frmCadastroEquipamentodoCliente", "frmCadastrodeAnalise"};
    int quedas = 0;
    amb.antesDoPasso = [&](int, std::mt19937_64& rng) -> QString {
        std::uniform_int_distribution<int> cem(0, 99);
        if (!srv.running()) {
            if (cem(rng) >= 20) return {};
            if (!srv.start()) return "servidor não voltou: " + srv.error();
            return QStringLiteral("servidor religado");
        }
        if (cem(rng) < 1) {
            srv.kill();
            ++quedas;
            return QStringLiteral("servidor derrubado (kill -9)");
        }
        if (cem(rng) < 20) return escreve(rng);
        return {};
    };
    Passeio passeio(amb, Passeio::sementeDoAmbiente(20240316));
    passeio.executa(Passeio::inteiroDoAmbiente("CTV_PASSEIO_PASSOS", 600),
                    Passeio::inteiroDoAmbiente("CTV_PASSEIO_SEGUNDOS", 60));
    EXPECT_TRUE(passeio.falhas().isEmpty()) << passeio.relatorio().toStdString();
    if (qEnvironmentVariableIsSet("CTV_PASSEIO_REGISTRO"))
        std::cout << passeio.relatorio().toStdString() << std::endl;
    std::cout << "[ passeio  ] " << passeio.passosDados() << " passos, " << quedas << " quedas do servidor, "
              << escritas << " escritas da outra estação: " << passeio.resumo().toStdString() << std::endl;
    EXPECT_TRUE(mail.calls.empty());
}

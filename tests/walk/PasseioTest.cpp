// The random walk of the record screens on the laboratory database of the lab tests: a short
// run in the suite (a fixed seed, bounded in steps and seconds). A long run, or another seed:
//   CTV_PASSEIO_SEMENTE=<n> CTV_PASSEIO_PASSOS=<n> CTV_PASSEIO_SEGUNDOS=0 test_walk
#include "Passeio.h"
#include "LabFixture.h"
#include "platform/MailTransport.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include "platform/report/ReportPreview.h"

namespace {

// The record screens, and the listings and control workbooks with their date and month fields.
const QStringList kTelas = {"frmTipoEquipamento",
                            "frmTipoAnalise",
                            "frmResultadoIdeal",
                            "frmCadastroEquipamentodoCliente",
                            "frmCadastrodeAnalise",
                            "frmParRelClientesComAmostras",
                            "frmParRelatorioClientesSemAmostras",
                            "frmParRelAnaliseColeta",
                            "frmParRelEquipamentosComPendencias",
                            "frmParRelControleAnalise",
                            "frmParRelAnaliseProposta"};

class PasseioTest : public LabTest {
protected:
    static void SetUpTestSuite() {
        LabTest::SetUpTestSuite();
        // Group -1 holds the buttons of the listings and workbooks too.
        int form = -20, componente = -20, evento = 200;
        for (const char* tela :
             {"frmParRelClientesComAmostras", "frmParRelatorioClientesSemAmostras", "frmParRelAnaliseColeta",
              "frmParRelEquipamentosComPendencias", "frmParRelControleAnalise", "frmParRelAnaliseProposta"}) {
            s_db->exec(
                QString("insert into sis_formulario values (%1, '%2', '%2', 3, 'S')").arg(form).arg(tela));
            for (const char* botao : {"btnConfirmar", "btnGeraPlanilha", "btnFechar"}) {
                s_db->exec(
                    QString("insert into sis_componente values (%1, %2, '%3', 'TBitBtn', '%3', 'S', 'S')")
                        .arg(componente)
                        .arg(form)
                        .arg(botao));
                s_db->exec(QString("insert into sis_evento_autorizado values (%1, -1, %2)")
                               .arg(evento++)
                               .arg(componente--));
            }
            --form;
        }
    }
    void SetUp() override {
        LabTest::SetUp();
        s_db->exec("insert into tab_resultado_ideal values (1, 1, 1, '7,0 a 8,5')");
        conferencia.setDatabaseName(s_db->path);
        conferencia.connect();
    }
    void TearDown() override {
        LabTest::TearDown();
        conferencia.disconnect();
    }

    Database conferencia;
    RecordingShell shell;
    ScopedShell shellScope{shell};
    ScriptedMailTransport mail;
    ScopedMailTransport mailScope{mail};
    FakeProcesses procs;
    ScopedProcesses procsScope{procs};
    ScriptedReportPreview preview;
    ScopedReportPreview previewScope{preview};
};

} // namespace

TEST_F(PasseioTest, AWalkOfTheRecordScreensKeepsEveryRuleAtEveryStep) {
    Passeio::Ambiente amb;
    amb.principal = main;
    amb.dialogos = &dialogs;
    amb.conferencia = [this] { return &conferencia; };
    amb.telas = kTelas;
    amb.previas = [this] { return preview.count(); };
    amb.caixasLivres = {"mskNomeRelatorio"};
    amb.datasDoPrograma = {"DT_SITUACAO_EQUIPAMENTO"};
    Passeio passeio(amb, Passeio::sementeDoAmbiente(20240315));
    passeio.executa(Passeio::inteiroDoAmbiente("CTV_PASSEIO_PASSOS", 2000),
                    Passeio::inteiroDoAmbiente("CTV_PASSEIO_SEGUNDOS", 45));
    EXPECT_TRUE(passeio.falhas().isEmpty()) << passeio.relatorio().toStdString();
    if (qEnvironmentVariableIsSet("CTV_PASSEIO_REGISTRO"))
        std::cout << passeio.relatorio().toStdString() << std::endl;
    std::cout << "[ passeio  ] " << passeio.passosDados() << " passos: " << passeio.resumo().toStdString()
              << std::endl;
    // The walk saved records and checked them, or it walked nowhere.
    EXPECT_GT(passeio.salvamentosConferidos(), 0);
    EXPECT_TRUE(mail.calls.empty());
}

// cortivandela-shots SITE OUTDIR: renders, offscreen, PNG pictures of the login window, the
// main window, every screen that exists (record form and grid) and page 1 of the technical
// report and of the fill-in sheet of a demo analysis, on a site, so the look can be reviewed
// without a display.
#include "app/Programa.h"
#include "app/UnMenuPrincipal.h"
#include "app/UnSplash.h"
#include "data/EmbeddedEngine.h"
#include "lab/UnCadastrodeAnalise.h"
#include "lab/UnEmailLaudo.h"
#include "lab/UnEnviaLaudoEmail.h"
#include "lab/UnEquipamentosAnalisados.h"
#include "lab/UnHistoricoAlteracoes.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Fonts.h"
#include "platform/OsFacts.h"
#include "platform/QuietOffscreen.h"
#include "platform/Shell.h"
#include "platform/report/ReportEngine.h"
#include "platform/report/ReportPreview.h"
#include "reports/UnImpressaoAnalise.h"
#include "screens/ScreenRegistry.h"
#include "screens/UnCadastroPadrao.h"
#include "screens/controls/DBLookupCombo.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {
void pump() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool save(QWidget* w, const QString& dir, const QString& name) {
    pump();
    const QString file = dir + "/" + name + ".png";
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "ok  " : "FALHOU", file.toLocal8Bit().constData());
    return ok;
}

// Writes page 1 of each report a screen previews as a picture, instead of showing it.
class PaginaUm : public ReportPreview {
public:
    QString arquivo;
    bool ok = true;
    void show(ReportEngine& report) override {
        try {
            report.writePng(arquivo, 1);
            std::printf("ok   %s\n", arquivo.toLocal8Bit().constData());
        } catch (const std::exception& e) {
            ok = false;
            std::printf("FALHOU %s: %s\n", arquivo.toLocal8Bit().constData(), e.what());
        }
    }
};

QString slug(QString s) {
    s.remove('&');
    QString out;
    for (QChar c : s.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber() && c.unicode() < 128)
            out += c.toLower();
        else if (c == ' ' && !out.endsWith('-'))
            out += '-';
    return out;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    silenciaAvisosOffscreen();
    QApplication app(argc, argv);
    app.setFont(QFont("DejaVu Sans", 9));
    loadCompatibleFonts(); // the screens' Tahoma, as the program shows it
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "uso: cortivandela-shots SITE PASTA_SAIDA [USUARIO SENHA]\n");
        return 2;
    }
    const QString site = QDir(args[1]).absolutePath(), out = QDir(args[2]).absolutePath();
    const QString user = args.size() > 3 ? args[3] : "ADMIN", pass = args.size() > 4 ? args[4] : "admin";
    QDir().mkpath(out);

    // Nothing may wait for a person: messages are recorded and answered with their default.
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs(dialogs);
    FakeOsFacts os;
    os.setExecutablePath(site + "/Sistema/cortivandela");
    os.setUserName("laboratorio");
    ScopedOsFacts useOs(os);
    // Workbooks are written but not handed to a spreadsheet program.
    RecordingShell shellRec;
    ScopedShell useShell(shellRec);
    PaginaUm paginaUm;
    ScopedReportPreview usePreview(paginaUm);
    installErrorHook([](std::exception_ptr e) {
        std::fprintf(stderr, "erro: %s\n", exceptionText(e).toLocal8Bit().constData());
    });
    prepareEmbeddedEngine();

    int failures = 0;
    auto splash = std::make_unique<TfrmSplash>();
    splash->requestEnd = [] {};
    splash->show();
    guarded([&] { splash->FormShow(); });
    failures += !save(splash.get(), out, "login");
    splash->findChild<QLineEdit*>("meUsuario")->setText(user);
    splash->findChild<QLineEdit*>("meSenha")->setText(pass);
    guarded([&] { splash->bttEntrarClick(); });
    if (!splash->logado()) {
        std::fprintf(stderr, "O login de %s falhou: %s\n", user.toLocal8Bit().constData(),
                     dialogs.texts().join(" | ").toLocal8Bit().constData());
        return 1;
    }
    splash->hide();

    Programa programa([] {});
    TfrmMenuPrincipal* principal = programa.principal();
    principal->resize(1280, 800);
    principal->show();
    failures += !save(principal, out, "principal");

    // Every registered screen (hidden menus included): its record form and, for record
    // screens, the grid with every row.
    for (const TelaRegistrada& r : telasRegistradas()) {
        guarded([&] { principal->abreTelaRegistrada(r.nome); });
        pump();
        ScreenWindow* tela = principal->telaAtiva();
        if (!tela) continue;
        const QString nome = slug(r.caption);
        failures += !save(principal, out, nome);
        if (qobject_cast<TfrmCadastroPadrao*>(tela)) {
            guarded([&] { principal->bttMostrarTodosClick(); });
            guarded([&] { principal->bttFichaClick(); });
            failures += !save(principal, out, nome + "-tabela");
            guarded([&] { principal->bttFichaClick(); });
        }
        // A listing's parameter screen prints with what it proposes: page 1 of the report.
        auto* imprimir = tela->findChild<QPushButton*>("btnConfirmar");
        if (tela->screenKind() == ScreenKind::Report && imprimir && imprimir->isVisible() &&
            imprimir->isEnabled() && imprimir->text() == "&Imprimir") {
            paginaUm.arquivo = out + "/" + nome + "-pagina1.png";
            paginaUm.ok = true;
            imprimir->click();
            pump();
            failures += !paginaUm.ok;
        }
        if (QMdiSubWindow* s = tela->subWindow()) s->close();
        pump();
    }
    // The reports of the latest evaluated analysis on two blocks, with the logo, signature and
    // footer and the first own company's header and footer.
    {
        ScriptedReportPreview relatorios;
        ScopedReportPreview useRelatorios(relatorios);
        auto primeiro = [&](const QString& sqlText) {
            Query q(&principal->IBSolution);
            q.setSqlText(sqlText);
            q.open();
            return q.isEmpty() ? 0 : q.fields().front()->asInteger();
        };
        int analise = 0, empresa = 0;
        guarded([&] {
            analise =
                primeiro("select first 1 a.id_analise from mov_analise a where a.dt_avaliacao is not null "
                         "and (select count(*) from mov_analise_equipamento e where e.id_analise = "
                         "a.id_analise) > 4 order by a.dt_coleta desc, a.id_analise desc");
            empresa = primeiro(
                "select first 1 id_pessoa from cad_pessoa where ct_empresa = 'S' order by id_pessoa");
        });
        const struct {
            const char* nome;
            void (*imprime)(const TAnaliseImpressao&, MemTable*);
        } relatorio[] = {{"laudo-tecnico", &ImprimeRelatorioAnalise},
                         {"planilha-de-preenchimento", &ImprimePlanilhaPreenchimento}};
        for (const auto& r : relatorio) {
            const QString file = out + "/" + r.nome + ".png";
            relatorios.setPngPath(file, 1, 110);
            const int antes = relatorios.count();
            guarded([&] {
                TAnaliseImpressao a = LeAnaliseImpressao(analise);
                a.imprimirLogomarca = true;
                a.idEmpresa = empresa;
                r.imprime(a, nullptr);
            });
            const bool ok = relatorios.count() > antes && QFileInfo::exists(file);
            std::printf("%s %s\n", ok ? "ok  " : "FALHOU", file.toLocal8Bit().constData());
            failures += !ok;
        }
    }
    // The screens opened from the analysis registration: the analysed equipment of the newest
    // analysis that has samples, and the results window of its first sample.
    if (auto* cadastro =
            qobject_cast<TfrmCadastrodeAnalise*>(principal->abreTelaRegistrada("frmCadastrodeAnalise"))) {
        pump();
        guarded([&] { principal->bttMostrarTodosClick(); });
        DataSet* ds = cadastro->dsPadrao.dataSet();
        for (int i = 0; ds && i < 50 && !cadastro->btnConsultar->isEnabled() && !ds->eof(); ++i)
            guarded([&] { principal->bttSeguinteClick(); });
        cadastro->btnConsultar->click();
        pump();
        if (TfrmEquipamentosAnalisados* equipamentos = cadastro->telaEquipamentos()) {
            failures += !save(principal, out, "equipamentos-analisados");
            QTimer::singleShot(0, [&] {
                if (QWidget* janela = QApplication::activeModalWidget()) {
                    failures += !save(janela, out, "resultado-das-analises");
                    janela->close();
                }
            });
            equipamentos->btnConsultar->click();
            // The trend charts of the sample's equipment, every type.
            QTimer::singleShot(0, [&] {
                if (QWidget* janela = QApplication::activeModalWidget()) {
                    failures += !save(janela, out, "grafico-de-tendencia");
                    janela->close();
                }
            });
            equipamentos->btnGrafico->click();
            if (QMdiSubWindow* s = equipamentos->subWindow()) s->close();
            pump();
        }
        // The report's mail window for the same analysis (with a stand-in for its PDF) and the
        // report mail account.
        guarded([&] {
            const int cliente = ds->fieldByName("ID_CLIENTE")->asInteger();
            const QDate coleta = ds->fieldByName("DT_COLETA")->asDate();
            const QString nome = cadastro->lkCliente->currentText();
            TfrmEnviaLaudoEmail envio(
                carregaConfiguracaoEmailLaudo(), DestinatariosDoCliente(principal->IBSolution, cliente),
                AssuntoLaudo(nome, coleta), TextoLaudo(coleta, QStringLiteral("Laboratório")),
                NomeArquivoLaudo(ds->fieldByName("ID_ANALISE")->asInteger(), nome, coleta),
                QByteArray(180 * 1024, '\0'), principal);
            envio.show();
            failures += !save(&envio, out, "enviar-laudo-email");
            TfrmEmailLaudo conta(principal);
            conta.show();
            failures += !save(&conta, out, "email-laudos");
        });
        // Every sample's results in one grid, and the analysis's history of changes.
        QTimer::singleShot(0, [&] {
            if (QWidget* janela = QApplication::activeModalWidget()) {
                failures += !save(janela, out, "resultados-de-todas-as-amostras");
                janela->close();
            }
        });
        cadastro->btnResultadosAmostras->click();
        pump();
        cadastro->btnHistorico->click();
        pump();
        if (auto* historico = principal->findChild<TfrmHistoricoAlteracoes*>("frmHistoricoAlteracoes")) {
            failures += !save(principal, out, "historico-de-alteracoes");
            if (QMdiSubWindow* s = historico->subWindow()) s->close();
            pump();
        }
        if (QMdiSubWindow* s = cadastro->subWindow()) s->close();
        pump();
    }
    for (const auto& m : dialogs.messages())
        std::printf("mensagem: %s\n", m.text.toLocal8Bit().constData());
    programa.fechaTelas();
    pump();
    return failures ? 1 : 0;
}

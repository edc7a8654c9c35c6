// The analysis screens on the large site, in the real windows (offscreen):
// - the results window of a sample whose equipment type has 40 analysis types, with values now
//   and at the previous collection: opened and saved, against the same statements run with the
//   bare client library;
// - Todos (F7) on the analysis registration screen's grid: the time until the grid shows its
//   first rows, against the raw fetch of the first 100 rows of the same statement; the grid
//   holds only the rows it shows.
#include "BenchComum.h"
#include "Bruto.h"
#include "ProgramaBancada.h"
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include "data/FbStatus.h"
#include "data/Query.h"
#include "data/UndmPadrao.h"
#include "lab/UnCadastrodeAnalise.h"
#include "lab/unResultadoAnalise.h"
#include "platform/Dialogs.h"
#include "platform/OsFacts.h"
#include "screens/controls/DBGrid.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>
#include <memory>
#include <vector>

using namespace Firebird;

namespace {

using bench::escalar;
using bench::executa;
using bench::linha;
using bench::mediana;

constexpr int kTipos = 40;
constexpr int kTipoEquipamento = 901;

// The sample of the benchmark: an equipment type with 40 analysis types, one boiler and two
// collections of it with every value measured. Written once per site; returns the samples
// (previous analysis, current sample, equipment).
struct Amostra {
    int analiseAnterior = 0, amostra = 0, equipamento = 0;
};

Amostra preparaAmostra(Database& db) {
    Amostra a;
    const int maxTipo = escalar(db, "select max(id_tp_analise) from tab_tp_analise").toInt();
    if (escalar(db, QString("select count(*) from tab_tp_equipamento where id_tp_equipamento = %1")
                        .arg(kTipoEquipamento))
            .toInt() == 0) {
        executa(db,
                QString::fromUtf8("insert into tab_tp_equipamento values (%1, 'Caldeira de Alta Pressão', "
                                  "'Análise de Caldeira de Alta Pressão')")
                    .arg(kTipoEquipamento));
        int ideal = escalar(db, "select max(id_resultado_ideal) from tab_resultado_ideal").toInt();
        for (int i = 1; i <= kTipos; ++i) {
            executa(db, QString::fromUtf8(
                            "insert into tab_tp_analise values (%1, 'Parâmetro de Alta Pressão %2')")
                            .arg(maxTipo + i)
                            .arg(i, 2, 10, QChar('0')));
            executa(db, QString("insert into tab_resultado_ideal values (%1, %2, %3, 'Máx. %4,0')")
                            .arg(++ideal)
                            .arg(maxTipo + i)
                            .arg(kTipoEquipamento)
                            .arg(i * 10));
        }
        const int cliente =
            escalar(db, "select first 1 id_pessoa from cad_pessoa where ct_cliente = 'S'").toInt();
        const int rep =
            escalar(db, "select first 1 id_pessoa from cad_pessoa where ct_represent = 'S'").toInt();
        const int tec =
            escalar(db, "select first 1 id_pessoa from cad_pessoa where ct_funcionario = 'S'").toInt();
        const int equip = escalar(db, "select max(id_equipamento_cli) from tab_equipamento_cli").toInt() + 1;
        executa(db,
                QString("insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, "
                        "nm_equipamento) values (%1, %2, %3, 'Caldeira AP-01')")
                    .arg(equip)
                    .arg(cliente)
                    .arg(kTipoEquipamento));
        int analise = escalar(db, "select max(id_analise) from mov_analise").toInt();
        int amostra = escalar(db, "select max(id_analise_equipamento) from mov_analise_equipamento").toInt();
        int resultado = escalar(db, "select max(id_analise_resultado) from mov_analise_resultado").toInt();
        for (const char* coleta : {"2024-01-10", "2024-02-10"}) {
            executa(db,
                    QString("insert into mov_analise (id_analise, dt_coleta, dt_recebimento, id_cliente, "
                            "id_representante, id_responsavel_tecnico, id_tp_equipamento) values (%1, '%2', "
                            "'%2', %3, %4, %5, %6)")
                        .arg(++analise)
                        .arg(coleta)
                        .arg(cliente)
                        .arg(rep)
                        .arg(tec)
                        .arg(kTipoEquipamento));
            executa(db, QString("insert into mov_analise_equipamento (id_analise_equipamento, id_analise, "
                                "id_equipamento_cli) values (%1, %2, %3)")
                            .arg(++amostra)
                            .arg(analise)
                            .arg(equip));
            for (int i = 1; i <= kTipos; ++i)
                executa(db, QString("insert into mov_analise_resultado values (%1, %2, %3, %4)")
                                .arg(++resultado)
                                .arg(maxTipo + i)
                                .arg(amostra)
                                .arg(i * 7.25));
        }
    }
    a.equipamento = escalar(db, QString("select max(id_equipamento_cli) from tab_equipamento_cli where "
                                        "id_tp_equipamento = %1")
                                    .arg(kTipoEquipamento))
                        .toInt();
    a.amostra = escalar(db, QString("select max(id_analise_equipamento) from mov_analise_equipamento where "
                                    "id_equipamento_cli = %1")
                                .arg(a.equipamento))
                    .toInt();
    a.analiseAnterior = escalar(db, QString("select min(id_analise) from mov_analise_equipamento where "
                                            "id_equipamento_cli = %1")
                                        .arg(a.equipamento))
                            .toInt();
    return a;
}

// ---------------------------------------------------------------- raw client library

const char* const kValores =
    "select mae.id_analise, mar.id_analise_resultado, mae.id_analise_equipamento, mar.id_tp_analise, "
    "ma.id_tp_equipamento, mar.vl_resultado from mov_analise_equipamento mae inner join "
    "mov_analise_resultado mar "
    "on mar.id_analise_equipamento = mae.id_analise_equipamento inner join mov_analise ma on ma.id_analise = "
    "mae.id_analise where 1=1 ";

double brutoResultados(Database& db, const Amostra& a, const std::vector<std::pair<int, double>>& valores) {
    Bruto b(db);
    QElapsedTimer t;
    t.start();
    ITransaction* leitura = b.inicia();
    b.todas(leitura,
            "select tta.id_tp_analise, tta.nm_tp_analise, tri.ds_resultado_ideal from tab_resultado_ideal "
            "tri join tab_tp_analise tta on tta.id_tp_analise = tri.id_tp_analise where "
            "tri.id_tp_equipamento = " +
                QString::number(kTipoEquipamento) + " order by tta.nm_tp_analise");
    const int anterior = b.inteiro(
        leitura,
        "select mae.id_analise_equipamento from mov_analise_equipamento mae where mae.id_analise = " +
            QString::number(a.analiseAnterior) + " and mae.id_equipamento_cli = " +
            QString::number(a.equipamento) + " order by mae.id_analise_equipamento desc");
    b.todas(leitura, QString(kValores) + " and mae.id_analise_equipamento = " + QString::number(anterior));
    b.todas(leitura, QString(kValores) + " and mae.id_analise_equipamento = " + QString::number(a.amostra));
    b.todas(leitura, "select tec.id_equipamento_cli, tec.nm_equipamento from tab_equipamento_cli tec  where "
                     "tec.id_tp_equipamento = " +
                         QString::number(kTipoEquipamento) +
                         " and tec.id_equipamento_cli = " + QString::number(a.equipamento));
    b.confirma(leitura);
    ITransaction* escrita = b.inicia();
    b.executa(escrita, "delete from mov_analise_resultado where id_analise_equipamento = " +
                           QString::number(a.amostra));
    const int chave =
        b.inteiro(escrita, " select max(ID_ANALISE_RESULTADO) as ultimo from MOV_ANALISE_RESULTADO") + 1;
    b.insere(escrita, chave, a.amostra, valores);
    b.confirma(escrita);
    return t.nsecsElapsed() / 1e6;
}

void pump() {
    ProgramaBancada::pump();
}

} // namespace

void benchAnalises(Database& db, const QString& site) {
    const Amostra a = preparaAmostra(db);
    ProgramaBancada programa(site, QString());
    ScriptedDialogs& dialogs = programa.dialogs;
    TfrmMenuPrincipal* principal = programa.principal();
    if (!programa.conectado()) {
        std::printf("analysis screens: the site's connection could not be made (%s)\n",
                    dialogs.texts().join(" | ").toLocal8Bit().constData());
        return;
    }

    // ---- results window: open (40 types, both values) and save.
    {
        std::vector<std::pair<int, double>> valores;
        const int primeiroTipo =
            escalar(db,
                    QString("select min(id_tp_analise) from tab_resultado_ideal where id_tp_equipamento = %1")
                        .arg(kTipoEquipamento))
                .toInt();
        for (int i = 0; i < kTipos; ++i)
            valores.emplace_back(primeiroTipo + i, (i + 1) * 7.25);
        std::vector<double> nossa, bruta, abre;
        int linhas = 0;
        for (int run = 0; run < 9; ++run) {
            bruta.push_back(brutoResultados(db, a, valores));
            QElapsedTimer t;
            t.start();
            TfrmResultadoAnalise frm(principal);
            frm.IidTpEquipamento = kTipoEquipamento;
            frm.IidAnaliseEquipamento = a.amostra;
            frm.IidAnaliseAnterior = a.analiseAnterior;
            frm.IidEquipamentoCli = a.equipamento;
            frm.show();
            abre.push_back(t.nsecsElapsed() / 1e6);
            linhas = frm.cdsResultado.recordCount();
            frm.btnSalvar->click();
            nossa.push_back(t.nsecsElapsed() / 1e6);
        }
        linha("results window, 40 types: open and save", mediana(nossa), mediana(bruta));
        std::printf("  (%d rows; opening alone %.2f ms; target 1.5)\n", linhas, mediana(abre));
        if (dialogs.messageCount())
            std::printf("  messages: %s\n", dialogs.texts().join(" | ").toLocal8Bit().constData());
    }

    // ---- Opening the registration screen, and Todos on its grid.
    {
        std::vector<double> nossa, bruta, abertura, brutaAbertura, contagem, repinta, denovo;
        int buscadas = 0;
        long long total = escalar(db, "select count(*) from mov_analise").toLongLong();
        // The lists the screen reads again when it opens, as the data module holds them.
        const QStringList listas = {
            "select id_tp_equipamento, nm_tp_equipamento from tab_tp_equipamento order by nm_tp_equipamento",
            "select id_pessoa, cd_pessoa, nm_pesquisa from cad_pessoa order by nm_pesquisa",
            "select id_tp_analise, nm_tp_analise from tab_tp_analise order by nm_tp_analise",
            "select id_pessoa, cd_pessoa, nm_pesquisa from cad_pessoa where ct_represent = 'S' order by "
            "nm_pesquisa",
            "select id_pessoa, cd_pessoa, nm_pesquisa from cad_pessoa where ct_funcionario = 'S' order by "
            "nm_pesquisa",
            "select id_pessoa, nm_pesquisa  from CAD_PESSOA  where ct_empresa = 'S' order by nm_pesquisa"};
        // More runs than elsewhere: the count dominates both sides, and its time on this shared
        // machine comes in slow and fast phases.
        for (int run = 0; run < 15; ++run) {
            {
                Bruto b(db);
                QElapsedTimer t;
                t.start();
                ITransaction* tr = b.inicia();
                b.todas(tr, "select first 100 * from mov_analise where 0=0 order by DT_COLETA desc");
                b.inteiro(tr, "select count(*) from mov_analise where 0=0");
                b.confirma(tr);
                bruta.push_back(t.nsecsElapsed() / 1e6);
                t.restart();
                tr = b.inicia();
                b.todas(tr, "select first 100 * from mov_analise where 0=0 order by DT_COLETA desc");
                b.inteiro(tr, "select count(*) from mov_analise where 0=0");
                for (const QString& l : listas)
                    b.todas(tr, "select first 100 " + l.mid(7));
                b.confirma(tr);
                brutaAbertura.push_back(t.nsecsElapsed() / 1e6);
            }
            QElapsedTimer t;
            t.start();
            auto* tela =
                qobject_cast<TfrmCadastrodeAnalise*>(principal->abreTelaRegistrada("frmCadastrodeAnalise"));
            pump();
            programa.esperaContagem();
            abertura.push_back(t.nsecsElapsed() / 1e6);
            if (!tela) break;
            principal->bttFichaClick(); // the grid page
            pump();
            t.restart();
            principal->bttMostrarTodosClick();
            // Shown: the grid's rows and the status bar's count, painted.
            tela->DBGrid1->viewport()->grab();
            programa.esperaContagem();
            nossa.push_back(t.nsecsElapsed() / 1e6);
            buscadas = tela->dsPadrao.dataSet()->recordCount();
            // Todos again: the names of the people list are indexed by now.
            t.restart();
            principal->bttMostrarTodosClick();
            tela->DBGrid1->viewport()->grab();
            programa.esperaContagem();
            denovo.push_back(t.nsecsElapsed() / 1e6);
            // Its parts: the record count of the status bar, and the grid's rows with their names.
            t.restart();
            principal->TotalRegistros();
            programa.esperaContagem();
            contagem.push_back(t.nsecsElapsed() / 1e6);
            t.restart();
            tela->DBGrid1->viewport()->grab();
            repinta.push_back(t.nsecsElapsed() / 1e6);
            if (QMdiSubWindow* sub = tela->subWindow()) sub->close();
            pump();
        }
        linha("registration screen open (raw: first 100 rows, count, first 100 of each list)",
              mediana(abertura), mediana(brutaAbertura));
        linha("registration Todos (raw: first 100 rows and count)", mediana(nossa), mediana(bruta));
        std::printf(
            "  (%d of %lld analyses fetched for the grid; of Todos, the status bar's record count "
            "takes %.2f ms, a repaint of the grid %.2f ms; Todos again %.2f ms; targets 1.5 and 1.2)\n",
            buscadas, total, mediana(contagem), mediana(repinta), mediana(denovo));
    }
}

#include "reports/UnParRelAnaliseProposta.h"
#include "data/DataContext.h"
#include "data/SqlText.h"
#include "data/UnFuncoes.h"
#include "data/UndmLookup.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/Shell.h"
#include "platform/WorkbookWriter.h"
#include "reports/ListagensComuns.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBLookupCombo.h"
#include "support/UnProgresso.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLineEdit>
#include <QPointer>

QString SqlAnaliseProposta(const MesColeta& mes, bool comRepresentante) {
    QString s =
        QStringLiteral(
            "select distinct rep.nm_pesquisa as representante, ma.id_analise, cli.nm_pesquisa, "
            "cid.nm_cidade, cid.sg_estado, tec.dt_proposta, tec.ds_produtos, ma.dt_coleta, "
            "ma.dt_recebimento, ma.dt_envio, tec.nm_equipamento, cli.id_pessoa, ma.id_representante "
            "from mov_analise_equipamento mae inner join mov_analise ma on ma.id_analise = "
            "mae.id_analise left join cad_pessoa cli on cli.id_pessoa = ma.id_cliente left join "
            "cad_pessoa rep on rep.id_pessoa = ma.id_representante inner join tab_equipamento_cli tec "
            "on ( tec.id_cliente = cli.id_pessoa and tec.id_equipamento_cli = mae.id_equipamento_cli "
            ") left join cad_end_pessoa end_cli on ( end_cli.id_pessoa = cli.id_pessoa and "
            "end_cli.st_fatura=") +
        "'S'" + " )" + " left join tab_cidade cid on ( cid.id_cidade = end_cli.id_cidade )" + " where 1=1";
    if (comRepresentante) s += " and ma.id_representante  = :ID_REPRESENTANTE";
    s += " and ma.dt_coleta between " + sql::quotedDate(mes.inicio) + " and " + sql::quotedDate(mes.fim);
    s += " order by 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13";
    return s;
}

namespace {

const char* const kTitulos[] = {
    "Representante",        "Cliente",     "Cidade",       "Estado",     "Equipamento", "Data da Proposta",
    "Produtos da Proposta", "Data Coleta", "Data Recebto", "Data Envio", "Compra"};

// The fields of the main statement, looked up once.
struct Colunas {
    Field *rep, *analise, *cli, *cidade, *estado, *proposta, *produtos, *coleta, *recebimento, *envio,
        *equipamento, *idCli, *idRep;
    explicit Colunas(DataSet& d)
        : rep(d.fieldByName("REPRESENTANTE")), analise(d.fieldByName("ID_ANALISE")),
          cli(d.fieldByName("NM_PESQUISA")), cidade(d.fieldByName("NM_CIDADE")),
          estado(d.fieldByName("SG_ESTADO")), proposta(d.fieldByName("DT_PROPOSTA")),
          produtos(d.fieldByName("DS_PRODUTOS")), coleta(d.fieldByName("DT_COLETA")),
          recebimento(d.fieldByName("DT_RECEBIMENTO")), envio(d.fieldByName("DT_ENVIO")),
          equipamento(d.fieldByName("NM_EQUIPAMENTO")), idCli(d.fieldByName("ID_PESSOA")),
          idRep(d.fieldByName("ID_REPRESENTANTE")) {}
};

} // namespace

ResultadoControle EscrevePlanilhaAnaliseProposta(WorkbookWriter& wb, int folha, DataSet& analises,
                                                 RespostaCompra& compra,
                                                 const std::function<void(int, int)>& progresso) {
    CellFormat negrito;
    negrito.bold = true;
    const WorkbookWriter::Format fNegrito = wb.format(negrito);
    for (int c = 0; c < 11; ++c)
        wb.writeText(folha, 0, c, QString::fromUtf8(kTitulos[c]), fNegrito);

    analises.fetchAll();
    const Colunas k(analises);
    const int total = analises.recordCount();
    ResultadoControle res;
    int linha = 1; // sheet row counted from 1; the heading is row 1
    int nAnalises = 0, nClientes = 0;
    bool temAtual = false;
    QString repAtual;
    QVariant cliAtual;

    auto texto = [&](int r, Field* f) { return analises.valueAt(r, f).toString().trimmed(); };
    auto escreveTexto = [&](int col, const QString& t, WorkbookWriter::Format fmt = 0) {
        if (!t.isEmpty()) wb.writeText(folha, linha - 1, col, t, fmt);
    };
    auto escreveData = [&](int col, const QVariant& v) {
        if (!v.isNull()) wb.writeDate(folha, linha - 1, col, v.toDate());
    };
    auto subtotal = [&] {
        ++linha;
        escreveTexto(1, "Qtde de Análises: " + QString::number(nAnalises), fNegrito);
        escreveTexto(6, "Qtde de Clientes: " + QString::number(nClientes), fNegrito);
        ++linha; // an empty row before the next representative
    };

    int pos = 0;
    while (pos < total) {
        if (progresso) progresso(pos + 1, total);
        const QString rep = texto(pos, k.rep);
        const QVariant cli = analises.valueAt(pos, k.idCli);
        if (temAtual && rep == repAtual && cli != cliAtual) {
            ++nClientes;
            cliAtual = cli;
        }
        if (temAtual && rep != repAtual) {
            subtotal();
            repAtual = rep;
            cliAtual = cli;
            nAnalises = 0;
            nClientes = 1;
            continue; // the same row again, now under its representative
        }
        try {
            ++nAnalises;
            if (pos == 0) ++nClientes;
            temAtual = true;
            repAtual = rep;
            cliAtual = cli;
            const QString resposta = compra.comprou(analises.valueAt(pos, k.idRep), cli);
            ++linha;
            escreveTexto(0, rep);
            escreveTexto(1, texto(pos, k.cli));
            escreveTexto(2, texto(pos, k.cidade));
            escreveTexto(3, texto(pos, k.estado));
            escreveTexto(4, texto(pos, k.equipamento));
            escreveData(5, analises.valueAt(pos, k.proposta));
            escreveTexto(6, analises.valueAt(pos, k.produtos).toString().remove(','));
            escreveData(7, analises.valueAt(pos, k.coleta));
            escreveData(8, analises.valueAt(pos, k.recebimento));
            escreveData(9, analises.valueAt(pos, k.envio));
            escreveTexto(10, resposta);
            ++res.linhas;
        } catch (const std::exception&) {
            const QString causa = exceptionText(std::current_exception());
            res.erro = "Erro: " + QString::number(pos + 1) +
                       "id: " + analises.valueAt(pos, k.analise).toString() +
                       (causa.isEmpty() ? QString() : "\r" + causa);
            return res;
        }
        ++pos;
    }
    subtotal();
    return res;
}

// ---------------------------------------------------------------- screen

TfrmParRelAnaliseProposta::TfrmParRelAnaliseProposta(QWidget* parent)
    : TfrmParametroRelatorio("frmParRelAnaliseProposta", parent) {
    setWindowTitle("Controle de Análises e Propostas");
    QGridLayout* g = GradeParametros(*this);
    mskMesColeta = new QLineEdit(corpo);
    mskMesColeta->setObjectName("mskMesColeta");
    ConfiguraCampoMes(*mskMesColeta, ' ');
    mskMesColeta->setMaximumWidth(90);
    LinhaParametro(*g, "Mês da Coleta", mskMesColeta);
    lkRepresentante =
        ListaTodos(corpo, "lkRepresentante", dmLookUp() ? &dmLookUp()->IBQ_Representante : nullptr,
                   "ID_PESSOA", "NM_PESQUISA");
    LinhaParametro(*g, "Representante", lkRepresentante);
    mskNomeRelatorio->setText("Controle de Análises e Propostas");
    // This screen writes a workbook instead of printing.
    btnConfirmar->hide();
    btnConfirmar->setEnabled(false);
    btnGeraPlanilha = new QPushButton("&Gerar Arquivo do Excel", this);
    btnGeraPlanilha->setObjectName("btnGeraPlanilha");
    BotaoNaFaixa(*this, btnGeraPlanilha);
    setTabOrder(mskMesColeta, lkRepresentante);
    setTabOrder(lkRepresentante, btnGeraPlanilha);
    connect(btnGeraPlanilha, &QPushButton::clicked, this,
            [this] { guarded([this] { btnGeraPlanilhaClick(); }); });
    resize(420, 150);
}

void TfrmParRelAnaliseProposta::FormActivate() {
    TfrmParametroRelatorio::FormActivate();
    if (TdmLookUp* lk = dmLookUp()) TdmLookUp::reabre(lk->IBQ_Representante);
    MostraMes(*mskMesColeta, appClock().today());
    mskMesColeta->setFocus();
}

void TfrmParRelAnaliseProposta::btnGeraPlanilhaClick() {
    const MesColeta mes = MesInformado(*mskMesColeta);
    const DataContext& dc = dataContext();
    Query IBQ_Analise(dc.IBSolution, dc.IBT_Gen, "IBQ_Analise");
    const QVariant rep = lkRepresentante->keyValue();
    if (!AbreAnalisesDoMes(IBQ_Analise, rep, SqlAnaliseProposta(mes, !rep.isNull()))) return;
    const QString caminho = PreparaArquivoControle(mskNomeRelatorio->text());
    std::unique_ptr<WorkbookWriter> wb = CriaPlanilhaControle(caminho);

    // The progress window goes away however the generation ends.
    QPointer<TfrmProgresso> progresso = new TfrmProgresso;
    struct Fecha {
        QPointer<TfrmProgresso>& p;
        ~Fecha() {
            if (p) p->close();
        }
    } fecha{progresso};
    progresso->setWindowTitle("Aviso Sistema");
    progresso->lblTitulo->setText("Processando...");
    progresso->show();
    progresso->raise();

    RespostaCompra compra(dc.IBSolution, dc.IBT_Gen, mes);
    QElapsedTimer desde;
    desde.start();
    const ResultadoControle r =
        EscrevePlanilhaAnaliseProposta(*wb, 0, IBQ_Analise, compra, [&](int pos, int total) {
            // The window shows every step while the rows are few; with many rows it is
            // repainted a few dozen times a second, which is all an eye can follow.
            if (!progresso || (pos > 1 && pos < total && total > 200 && desde.elapsed() < 40)) return;
            desde.restart();
            progresso->ggProgresso->setMinValue(0);
            progresso->ggProgresso->setMaxValue(total);
            progresso->ggProgresso->setProgress(pos);
            progresso->lblRodape->setText(QString::number(pos) + " de " + QString::number(total));
            progresso->repaint();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    IBQ_Analise.close();
    m_arquivo = caminho;
    FinalizaPlanilhaControle(*wb, r.erro, caminho);
}

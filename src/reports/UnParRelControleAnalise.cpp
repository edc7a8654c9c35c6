#include "reports/UnParRelControleAnalise.h"
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
#include <QCoreApplication>
#include <QGridLayout>
#include <QLineEdit>

QString SqlControleAnalise(const MesColeta& mes, bool comRepresentante) {
    // One row per client, representative and billing city of the month's analyses, for clients
    // that own registered equipment.
    QString s =
        QStringLiteral(
            "select distinct cli.nm_pesquisa, cli.id_pessoa, ma.id_representante, cid.nm_cidade, "
            "cid.sg_estado, repre.nm_pesquisa as representante from mov_analise ma inner join "
            "cad_pessoa cli on ( cli.id_pessoa = ma.id_cliente ) left join cad_end_pessoa end_cli on ( "
            "end_cli.id_pessoa = cli.id_pessoa and end_cli.st_fatura=") +
        "'S'" + ")" + " left join tab_cidade cid on ( cid.id_cidade = end_cli.id_cidade )" +
        " left join cad_pessoa repre on ( repre.id_pessoa = ma.id_representante )" +
        " where exists ( select 1 from tab_equipamento_cli tec where tec.id_cliente = cli.id_pessoa )";
    if (comRepresentante) s += " and ma.id_representante = :ID_REPRESENTANTE";
    s += " and ma.dt_coleta between " + sql::quotedDate(mes.inicio) + " and " + sql::quotedDate(mes.fim);
    s += " order by 1, 2, 6, 3, 4, 5";
    return s;
}

ResultadoControle EscrevePlanilhaControleAnalise(WorkbookWriter& wb, int folha, DataSet& clientes,
                                                 ContagemAnalises& contagem, RespostaCompra& compra,
                                                 const std::function<void()>& aCadaLinha) {
    CellFormat negrito;
    negrito.bold = true;
    const WorkbookWriter::Format fNegrito = wb.format(negrito);
    const char* const titulos[] = {"Cliente", "Cidade", "Estado", "Representante", "Qtd.Análises", "Comprou"};
    for (int c = 0; c < 6; ++c)
        wb.writeText(folha, 0, c, QString::fromUtf8(titulos[c]), fNegrito);

    clientes.fetchAll();
    Field* fNome = clientes.fieldByName("NM_PESQUISA");
    Field* fId = clientes.fieldByName("ID_PESSOA");
    Field* fIdRep = clientes.fieldByName("ID_REPRESENTANTE");
    Field* fCidade = clientes.fieldByName("NM_CIDADE");
    Field* fEstado = clientes.fieldByName("SG_ESTADO");
    Field* fRep = clientes.fieldByName("REPRESENTANTE");

    ResultadoControle res;
    int linha = 1;
    qlonglong soma = 0;
    int compraram = 0;
    const int total = clientes.recordCount();
    int pos = 0;
    auto escreveTexto = [&](int col, const QVariant& v, WorkbookWriter::Format fmt = 0) {
        const QString t = v.toString();
        if (!t.isEmpty()) wb.writeText(folha, linha - 1, col, t, fmt);
    };
    try {
        for (int r = 0; r < total; ++r) {
            if (aCadaLinha) aCadaLinha();
            ++pos;
            ++linha;
            const QVariant idRep = clientes.valueAt(r, fIdRep);
            const QVariant idCli = clientes.valueAt(r, fId);
            escreveTexto(0, clientes.valueAt(r, fNome));
            escreveTexto(1, clientes.valueAt(r, fCidade));
            escreveTexto(2, clientes.valueAt(r, fEstado));
            escreveTexto(3, clientes.valueAt(r, fRep));
            const qlonglong n = contagem.quantas(idRep, idCli);
            wb.writeNumber(folha, linha - 1, 4, double(n));
            const QString resposta = compra.comprou(idRep, idCli);
            escreveTexto(5, resposta);
            soma += n;
            if (resposta == "S") ++compraram;
            ++res.linhas;
        }
        ++linha;
        escreveTexto(0, "Qtd.Clientes", fNegrito);
        wb.writeNumber(folha, linha - 1, 1, total);
        ++linha;
        escreveTexto(0, QString::fromUtf8("Qtd.Análises"), fNegrito);
        wb.writeNumber(folha, linha - 1, 1, double(soma));
        ++linha;
        escreveTexto(0, "Qtd.Compraram", fNegrito);
        wb.writeNumber(folha, linha - 1, 1, compraram);
    } catch (const std::exception&) {
        const QString causa = exceptionText(std::current_exception());
        res.erro = QString::number(pos) + (causa.isEmpty() ? QString() : "\r" + causa);
    }
    return res;
}

// ---------------------------------------------------------------- screen

namespace {
// What the user chose stays for the next opening of the screen while the main window lives.
const char* const kRepresentante = "frmParRelControleAnalise.representante";
const char* const kNome = "frmParRelControleAnalise.nome";
} // namespace

TfrmParRelControleAnalise::TfrmParRelControleAnalise(QWidget* parent)
    : TfrmParametroRelatorio("frmParRelControleAnalise", parent) {
    setWindowTitle("Controle de Análises por Cliente");
    QGridLayout* g = GradeParametros(*this);
    mskData = new QLineEdit(corpo);
    mskData->setObjectName("mskData");
    ConfiguraCampoMes(*mskData, '_');
    mskData->setMaximumWidth(90);
    LinhaParametro(*g, "Mês da Coleta das Amostras", mskData);
    lkRepresentante =
        ListaTodos(corpo, "lkRepresentante", dmLookUp() ? &dmLookUp()->IBQ_Representante : nullptr,
                   "ID_PESSOA", "NM_PESQUISA");
    LinhaParametro(*g, "Representante:", lkRepresentante);
    mskNomeRelatorio->setText("Controle de Análises por Cliente");
    mskNomeRelatorio->setFocusPolicy(Qt::StrongFocus);
    btnConfirmar->setText("&Gerar Arquivo do Excel");
    setTabOrder(mskData, lkRepresentante);
    setTabOrder(lkRepresentante, mskNomeRelatorio);
    setTabOrder(mskNomeRelatorio, btnConfirmar);
    connect(btnConfirmar, &QPushButton::clicked, this, [this] { guarded([this] { btnConfirmarClick(); }); });
    if (TfrmClassePrincipal* p = principal(); p && p->property(kNome).isValid())
        mskNomeRelatorio->setText(p->property(kNome).toString());
    resize(440, 150);
}

TfrmParRelControleAnalise::~TfrmParRelControleAnalise() {
    if (TfrmClassePrincipal* p = principal()) {
        p->setProperty(kRepresentante, lkRepresentante->keyValue());
        p->setProperty(kNome, mskNomeRelatorio->text());
    }
}

void TfrmParRelControleAnalise::FormShow() {
    TfrmParametroRelatorio::FormShow();
    if (!PermissaoAcesso) return;
    if (TdmLookUp* lk = dmLookUp()) TdmLookUp::reabre(lk->IBQ_Representante);
    if (TfrmClassePrincipal* p = principal(); p && p->property(kNome).isValid())
        lkRepresentante->setKeyValue(p->property(kRepresentante));
    MostraMes(*mskData, appClock().today());
    mskData->setFocus();
}

void TfrmParRelControleAnalise::btnConfirmarClick() {
    const MesColeta mes = MesInformado(*mskData);
    const DataContext& dc = dataContext();
    Query IBQ_Analise(dc.IBSolution, dc.IBT_Gen, "IBQ_Analise");
    const QVariant rep = lkRepresentante->keyValue();
    if (!AbreAnalisesDoMes(IBQ_Analise, rep, SqlControleAnalise(mes, !rep.isNull()))) return;
    const QString caminho = PreparaArquivoControle(mskNomeRelatorio->text());
    std::unique_ptr<WorkbookWriter> wb = CriaPlanilhaControle(caminho);
    RespostaCompra compra(dc.IBSolution, dc.IBT_Gen, mes);
    ContagemAnalises contagem(dc.IBSolution, dc.IBT_Gen, mes);
    int linha = 0;
    const ResultadoControle r = EscrevePlanilhaControleAnalise(*wb, 0, IBQ_Analise, contagem, compra, [&] {
        // Pending window messages run now and then; clicks wait for the end.
        if (++linha % 64 == 0) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    IBQ_Analise.close();
    m_arquivo = caminho;
    FinalizaPlanilhaControle(*wb, r.erro, caminho);
}

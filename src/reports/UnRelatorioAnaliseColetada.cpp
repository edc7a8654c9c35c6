#include "reports/UnRelatorioAnaliseColetada.h"
#include "data/SqlText.h"
#include "reports/ListagensComuns.h"

TfrmRelatorioAnaliseColetada::TfrmRelatorioAnaliseColetada(Database* db, Transaction* tr)
    : IBQ_Cliente(db, tr, "IBQ_Cliente"), IBQ_Equipamento(db, tr, "IBQ_Equipamento"),
      IBQ_Analise(db, tr, "IBQ_Analise"), IBQ_Movimento(db, tr, "IBQ_Movimento"),
      qrRelatorio(QStringLiteral("Relatório Análises Coletadas")), m_db(db), m_tr(tr) {
    monta();
}

QString TfrmRelatorioAnaliseColetada::sqlEquipamentos(bool comCliente) {
    // The clients with a collection in the period; "+ 0" looks their analyses up by client only,
    // instead of reading the whole period's date index for each equipment.
    return QStringLiteral(
               "select tec.id_cliente, tte.nm_tp_equipamento, count(tec.id_tp_equipamento)as Qtde from "
               "tab_equipamento_cli tec inner join tab_tp_equipamento tte on tte.id_tp_equipamento = "
               "tec.id_tp_equipamento where exists (select 1 from mov_analise ma where ma.id_cliente = "
               "tec.id_cliente and ma.dt_coleta + 0 between :dt_ini and :dt_fim)") +
           (comCliente ? QStringLiteral(" and tec.id_cliente = :id_cliente") : QString()) +
           " group by tec.id_cliente, tte.nm_tp_equipamento order by 1, 2";
}

QString TfrmRelatorioAnaliseColetada::sqlAnalises(bool comCliente) {
    return QStringLiteral(
               "select ma.id_cliente, ma.id_analise, ma.dt_coleta, ma.dt_recebimento, ma.dt_avaliacao, "
               "ma.dt_envio, tte.nm_tp_equipamento from mov_analise ma inner join tab_tp_equipamento tte "
               "on tte.id_tp_equipamento = ma.id_tp_equipamento where 1=1 and ma.dt_coleta between "
               ":dt_ini and :dt_fim") +
           (comCliente ? QStringLiteral(" and ma.id_cliente=:id_cliente") : QString()) +
           " order by ma.id_cliente, ma.dt_coleta, ma.id_analise";
}

QString TfrmRelatorioAnaliseColetada::sqlMovimento(bool comCliente) {
    return QStringLiteral(
               "select nf.id_destinatario_remetente as id_cliente, pb.nm_produto_base,  "
               "pb.ds_unidade,sum(nfi.qt_produto)as qt_produto, cast(sum(nfi.qt_produto*nfi.vl_unitario)as "
               "numeric(18,2))as total from mov_nf_comercio_item nfi inner join mov_nf_comercio nf on "
               "nf.id_nf_comercio = nfi.id_nf_comercio inner join tab_nat_operacao nat on "
               "nat.id_nat_operacao = "
               "nf.id_nat_operacao inner join cad_pessoa cp on cp.id_pessoa = nf.id_destinatario_remetente "
               "inner "
               "join cad_produto p on p.id_produto = nfi.id_produto inner join cad_produto_base pb on "
               "pb.id_produto_base = p.id_produto_base where nf.dt_emissao between :dt_ini and :dt_fim and "
               "nat.st_estat_venda =:st_estat") +
           (comCliente ? QStringLiteral(" and nf.id_destinatario_remetente =:id_cliente") : QString()) +
           " group by 1,2,3 order by 1,2,3";
}

QString TfrmRelatorioAnaliseColetada::sqlClientes(const QDate& inicial, const QDate& final, bool comCliente,
                                                  bool comRepresentante) {
    QString s =
        "select distinct cp.id_pessoa, cp.nm_pessoa, cp.dt_cadastro, tc.nm_cidade, repres.nm_pessoa as "
        "representante from mov_analise ma inner join cad_pessoa cp on cp.id_pessoa = ma.id_cliente inner "
        "join cad_pessoa repres on repres.id_pessoa = ma.id_representante left join cad_end_pessoa cep on "
        "cep.id_pessoa = cp.id_pessoa left join tab_cidade tc on tc.id_cidade = cep.id_cidade where 1=1 ";
    if (comCliente) s += " and cp.id_pessoa = :ID_CLIENTE";
    s += " and ma.dt_coleta between " + sql::quotedDate(inicial) + " and " + sql::quotedDate(final);
    if (comRepresentante) s += " and ma.id_representante = :ID_REPRESENTANTE";
    // Blocks of one client keep a steady order: by representative, then city.
    s += " order by cp.nm_pessoa, cp.id_pessoa, 5, 4";
    return s;
}

void TfrmRelatorioAnaliseColetada::setPeriodo(const QString& texto) {
    qrRelatorio.text("qrlPeriodo").setText(texto);
}

void TfrmRelatorioAnaliseColetada::monta() {
    ReportEngine& r = qrRelatorio;
    const double w = r.printableWidthMm();
    r.setSource(&m_clientes);
    r.setOnStart([this](ReportEngine&) { qrBeforePrint(); });

    ReportBand& cab = r.addPageHeader("PageHeader", 24);
    cab.setFrame(ReportFrame::all());
    cab.addText("qrlTitulo", {3, 3, 130, 9}, "Relatório Análises Coletadas").setFont(reportFont(16, true));
    cab.addText("qrlPeriodo", {3, 14, 130, 6}).setFont(reportFont(10));
    ReportImage& logo = cab.addImage("qrImgLogo", {w - 48, 2, 45, 20});
    logo.setFit(ReportImage::Fit::KeepAspect);

    // The client block, each on a page of its own.
    ReportBand& cli = r.addDetail("QRBand3", 22);
    cli.setForceNewPage(true);
    cli.addText("qrlCliente", {0, 2, 20, 5}, "Cliente:").setFont(reportFont(10, true));
    cli.addField("qrdNmPessoa", {20, 2, w - 20, 5}, "NM_PESSOA").setFont(reportFont(10, true));
    cli.addText("qrlCidade", {0, 8, 20, 5}, "Cidade:");
    cli.addField("qrdNmCidade", {20, 8, 90, 5}, "NM_CIDADE");
    cli.addText("qrlProposta", {115, 8, 32, 5}, "Proposta Inicial: ");
    cli.addField("qrdDtCadastro", {147, 8, 30, 5}, "DT_CADASTRO", "dd/mm/yyyy");
    cli.addText("qrlRepresentante", {0, 14, 28, 5}, "Representante:");
    cli.addField("qrdRepresentante", {28, 14, w - 28, 5}, "REPRESENTANTE");
    cli.addHLine(0, 20.5, w);
    cli.setBeforePrint([this](ReportBandEvent& e) { QRBand3BeforePrint(e); });

    ReportSubDetail& eq = r.addSubDetail("QRSubDetailEquipamento", &m_equipamentos, 5);
    eq.setHeadersIfEmpty(true);
    ReportBand& eqCab = eq.addHeader("QRBandEquipamentoCab", 13);
    eqCab.addText("qrlEquipamentos", {0, 1, 100, 5}, "Equipamentos do Cliente").setFont(reportFont(10, true));
    eqCab.addText("qrlTipoEquip", {5, 7, 100, 5}, "Tipo de Equipamento").setFont(reportFont(9, true));
    eqCab.addText("qrlQtdeEquip", {110, 7, 20, 5}, "Qtde").setFont(reportFont(9, true));
    // Each section's heading keeps its first line under it.
    eqCab.setKeepWithNextMm(5);
    eq.band().addField("qrdTipoEquip", {5, 0, 100, 5}, "NM_TP_EQUIPAMENTO").setFont(reportFont(9));
    eq.band().addField("qrdQtdeEquip", {110, 0, 20, 5}, "QTDE").setFont(reportFont(9));

    ReportSubDetail& an = r.addSubDetail("QRSubDetailAnalise", &m_analises, 5);
    an.setHeadersIfEmpty(true);
    ReportBand& anCab = an.addHeader("QRBandAnaliseCab", 15);
    anCab.addHLine(0, 1.5, w);
    anCab.addText("qrlAnalises", {0, 3, 100, 5}, "Análises").setFont(reportFont(10, true));
    anCab.setKeepWithNextMm(5);
    const struct {
        const char* nome;
        const char* titulo;
        const char* campo;
        double x;
    } colunas[] = {{"Coleta", "Coleta", "DT_COLETA", 5},
                   {"Recebimento", "Recebimento", "DT_RECEBIMENTO", 32},
                   {"Avaliacao", "Avaliação", "DT_AVALIACAO", 59},
                   {"Envio", "Envio", "DT_ENVIO", 86},
                   {"TipoAnalise", "Tipo de Equipamento", "NM_TP_EQUIPAMENTO", 113}};
    for (const auto& c : colunas) {
        anCab.addText(QString("qrl") + c.nome, {c.x, 9, 60, 5}, QString::fromUtf8(c.titulo))
            .setFont(reportFont(9, true));
        ReportText& t =
            an.band().addField(QString("qrd") + c.nome, {c.x, 0, c.x > 100 ? w - c.x : 26, 5}, c.campo);
        t.setFont(reportFont(9));
        if (QString(c.campo).startsWith("DT_")) t.setDisplayFormat("dd/mm/yyyy");
    }

    ReportSubDetail& mv = r.addSubDetail("QRSubDetailMovimento", &m_movimento, 5);
    mv.setHeadersIfEmpty(true);
    ReportBand& mvCab = mv.addHeader("QRBandMovimentoCab", 15);
    mvCab.addHLine(0, 1.5, w);
    mvCab.setKeepWithNextMm(5);
    mvCab.addText("qrlProdutos", {0, 3, 120, 5}, "Produtos Consumidos no Período")
        .setFont(reportFont(10, true));
    mvCab.addText("qrlProduto", {5, 9, 100, 5}, "Produto").setFont(reportFont(9, true));
    ReportText& tq = mvCab.addText("qrlQtdeProduto", {110, 9, 25, 5}, "Qtde");
    tq.setFont(reportFont(9, true));
    tq.setAlignment(Qt::AlignRight | Qt::AlignTop);
    mvCab.addText("qrlUnidade", {140, 9, 25, 5}, "Unidade").setFont(reportFont(9, true));
    mv.band().addField("qrdProduto", {5, 0, 100, 5}, "NM_PRODUTO_BASE").setFont(reportFont(9));
    ReportText& q = mv.band().addField("qrdQtdeProduto", {110, 0, 25, 5}, "QT_PRODUTO");
    q.setFont(reportFont(9));
    q.setAlignment(Qt::AlignRight | Qt::AlignTop);
    mv.band().addField("qrdUnidade", {140, 0, 25, 5}, "DS_UNIDADE").setFont(reportFont(9));
    // A spacer of 40 pixels closes the block.
    mv.addFooter("QRBandEspaco", 40 * kReportPixelMm);

    RodapeListagem(r, QString(), true);
}

void TfrmRelatorioAnaliseColetada::qrBeforePrint() {
    const ParametrosRelatorio p = LeParametrosRelatorio(m_db, m_tr);
    qrRelatorio.text("qrdQtdeProduto").setDisplayFormat(p.mascaraQuantidade);
    EmpresaNaListagem(qrRelatorio, p);
    // The three lists of every client block, each read once for the whole report.
    const bool comCliente = !idCliente.isNull();
    const struct {
        Query& q;
        TrechoPorChave& trecho;
        QString sql;
    } listas[] = {{IBQ_Equipamento, m_equipamentos, sqlEquipamentos(comCliente)},
                  {IBQ_Analise, m_analises, sqlAnalises(comCliente)},
                  {IBQ_Movimento, m_movimento, sqlMovimento(comCliente)}};
    for (const auto& l : listas) {
        l.q.close();
        l.q.setSqlText(l.sql);
        if (l.q.hasParam("st_estat")) l.q.setParam("st_estat", "S");
        if (comCliente) l.q.setParam("id_cliente", idCliente);
        l.q.setParam("dt_ini", dtInicial);
        l.q.setParam("dt_fim", dtFinal);
        l.q.open();
        l.q.fetchAll();
        l.trecho.indexa("ID_CLIENTE");
    }
}

void TfrmRelatorioAnaliseColetada::QRBand3BeforePrint(ReportBandEvent& e) {
    const QVariant cliente = e.value("ID_PESSOA");
    m_equipamentos.seleciona(cliente);
    m_analises.seleciona(cliente);
    m_movimento.seleciona(cliente);
}

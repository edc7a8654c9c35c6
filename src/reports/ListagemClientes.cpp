#include "reports/ListagemClientes.h"
#include "data/Query.h"
#include "platform/Dialogs.h"
#include "platform/report/ReportEngine.h"
#include "reports/ListagensComuns.h"

void MontaListagemClientes(ReportEngine& r, ReportSource& linhas, int& contagem,
                           const ModeloListagemClientes& m) {
    const double w = r.printableWidthMm();
    r.setSource(&linhas);
    TituloListagem(r, m.titulo);

    ReportGroup& grupo = r.addGroup("QRGroupRepresentante", m.campoGrupo);
    ReportBand& cab = grupo.addHeader("QRBandGrupoCab", 14);
    cab.addText("qrlRepresentante", {0, 2, 28, 5}, "Representante:").setFont(reportFont(10, true));
    cab.addField("qrdRepresentante", {28, 2, w - 28, 5}, "REPRESENTANTE").setFont(reportFont(10));
    for (const ColunaListagemClientes& c : m.colunas)
        cab.addText("qrl" + c.nome, {c.x, 8.5, c.largura, 5}, c.rotulo).setFont(reportFont(9, true));
    cab.addHLine(0, 13.5, w);
    // The representative's heading keeps its first line under it.
    cab.setKeepWithNextMm(5);

    ReportBand& det = r.addDetail("QRBandDetalhe", 5);
    for (const ColunaListagemClientes& c : m.colunas)
        det.addField("qrd" + c.nome, {c.x, 0, c.largura, 5}, c.campo, c.formato).setFont(reportFont(9));
    det.setBeforePrint([&contagem](ReportBandEvent&) { ++contagem; });

    ReportBand& rod = grupo.addFooter("QRBandGrupoRod", 9);
    rod.addHLine(0, 0.5, w);
    rod.addText("qrlTotal", {100, 2, 15, 5}, "Total:").setFont(reportFont(9, true));
    ReportText& n = rod.addText("qrlQtde", {115, 2, 20, 5});
    n.setFont(reportFont(9));
    n.setAlignment(Qt::AlignRight | Qt::AlignTop);
    rod.addText(m.nomeUnidade, {137, 2, 30, 5}, m.unidade).setFont(reportFont(9));
    rod.setBeforePrint([&contagem, quantidade = m.quantidade](ReportBandEvent& e) {
        e.report.text("qrlQtde").setText(quantidade(contagem));
        contagem = 0;
    });

    RodapeListagem(r, QString(), true);
}

void IniciaListagemClientes(ReportEngine& r, int& contagem, Database* db, Transaction* tr) {
    contagem = 0;
    const ParametrosRelatorio p = LeParametrosRelatorio(db, tr);
    EmpresaNaListagem(r, p);
}

void MostraListagemClientes(Query& q, ReportEngine& r, const QString& sql,
                            const QList<QPair<QString, QVariant>>& chaves) {
    q.close();
    q.setSqlText(sql);
    for (const auto& [nome, chave] : chaves)
        if (!chave.isNull()) q.setParam(nome, chave);
    q.open();
    if (q.isEmpty()) {
        warn("Nenhum registro encontrado !");
        return;
    }
    r.preview();
}

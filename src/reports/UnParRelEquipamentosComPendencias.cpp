#include "reports/UnParRelEquipamentosComPendencias.h"
#include "data/DataContext.h"
#include "data/UndmLookup.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "reports/ListagensComuns.h"
#include "reports/UnRelatorioEquipamentosComPendencias.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include <QGridLayout>

TfrmParRelEquipamentosComPendencias::TfrmParRelEquipamentosComPendencias(QWidget* parent)
    : TfrmParametroRelatorio("frmParRelEquipamentosComPendencias", parent) {
    setWindowTitle("Relatório de Equipamentos com Pendências");
    QGridLayout* g = GradeParametros(*this);
    dtInicial = new DBDateEdit(corpo, "dtInicial");
    dtFinal = new DBDateEdit(corpo, "dtFinal");
    LinhaPeriodo(*g, "Período de Coleta", dtInicial, dtFinal);
    TdmLookUp* lk = dmLookUp();
    lkRepresentante = ListaTodos(corpo, "lkRepresentante", lk ? &lk->IBQ_Representante : nullptr, "ID_PESSOA",
                                 "NM_PESQUISA", "<Todos>");
    LinhaParametro(*g, "Representante", lkRepresentante);
    mskNomeRelatorio->setText("Relatório de Equipamentos com Pendências");
    setTabOrder(dtInicial, dtFinal);
    setTabOrder(dtFinal, lkRepresentante);
    setTabOrder(lkRepresentante, btnConfirmar);
    connect(btnConfirmar, &QPushButton::clicked, this, [this] { guarded([this] { btnConfirmarClick(); }); });
    resize(440, 150);
}

void TfrmParRelEquipamentosComPendencias::FormShow() {
    TfrmParametroRelatorio::FormShow();
    if (!PermissaoAcesso) return;
    dtInicial->setDate(appClock().today());
    dtFinal->setDate(appClock().today());
    dtInicial->setFocus();
}

void TfrmParRelEquipamentosComPendencias::FormActivate() {
    TfrmParametroRelatorio::FormActivate();
    if (TdmLookUp* lk = dmLookUp()) TdmLookUp::reabre(lk->IBQ_Representante);
}

void TfrmParRelEquipamentosComPendencias::btnConfirmarClick() {
    // An empty date is the date system's zero: an empty first date counts from the beginning.
    // What is pending is what was not sampled in the period, so an inverted one would list every
    // active equipment: it is told instead.
    const QDate inicial = DataDoPeriodo(dtInicial);
    const QDate final = DataDoPeriodo(dtFinal);
    ValidaOrdemPeriodo(dtInicial, dtFinal, inicial, final);
    const DataContext& dc = dataContext();
    TfrmRelatorioEquipamentosComPendencias rel(dc.IBSolution, dc.IBSolution->defaultTransaction());
    Query& q = rel.IBQ_Relatorio;
    q.close();
    const QVariant rep = lkRepresentante->keyValue();
    q.setSqlText(TfrmRelatorioEquipamentosComPendencias::sql(inicial, final, !rep.isNull()));
    if (!rep.isNull()) q.setParam("ID_REPRESENTANTE", rep);
    q.open();
    if (q.isEmpty()) {
        warn("Nenhum registro encontrado.");
        return;
    }
    rel.dtInicial = inicial;
    rel.dtFinal = final;
    rel.idRepresentante = rep;
    rel.setTitulo(mskNomeRelatorio->text());
    rel.setPeriodo(TextoPeriodo(dtInicial, dtFinal, QString()));
    rel.qrRelatorio.preview();
}

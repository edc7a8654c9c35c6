#include "reports/UnParRelAnaliseColeta.h"
#include "data/DataContext.h"
#include "data/UnFuncoes.h"
#include "data/UndmLookup.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "reports/ListagensComuns.h"
#include "reports/UnRelatorioAnaliseColetada.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include <QGridLayout>

TfrmParRelAnaliseColeta::TfrmParRelAnaliseColeta(QWidget* parent)
    : TfrmParametroRelatorio("frmParRelAnaliseColeta", parent) {
    setWindowTitle("Relatório de Análise de Coletas");
    QGridLayout* g = GradeParametros(*this);
    dtInicial = new DBDateEdit(corpo, "dtInicial");
    dtFinal = new DBDateEdit(corpo, "dtFinal");
    LinhaPeriodo(*g, "Coletadas de:", dtInicial, dtFinal);
    TdmLookUp* lk = dmLookUp();
    lkRepresentante = ListaTodos(corpo, "lkRepresentante", lk ? &lk->IBQ_Representante : nullptr, "ID_PESSOA",
                                 "NM_PESQUISA");
    LinhaParametro(*g, "Representante:", lkRepresentante);
    lkCliente = ListaTodos(corpo, "lkCliente", lk ? &lk->IBQ_Pessoas : nullptr, "ID_PESSOA", "NM_PESQUISA");
    LinhaParametro(*g, "Cliente:", lkCliente);
    mskNomeRelatorio->setText("Relatório Análises Coletadas");
    mskNomeRelatorio->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(dtInicial, dtFinal);
    setTabOrder(dtFinal, lkRepresentante);
    setTabOrder(lkRepresentante, lkCliente);
    setTabOrder(lkCliente, mskNomeRelatorio);
    setTabOrder(mskNomeRelatorio, btnConfirmar);
    connect(btnConfirmar, &QPushButton::clicked, this, [this] { guarded([this] { btnConfirmarClick(); }); });
    resize(440, 175);
}

void TfrmParRelAnaliseColeta::FormShow() {
    TfrmParametroRelatorio::FormShow();
    if (!PermissaoAcesso) return;
    if (TdmLookUp* lk = dmLookUp()) {
        TdmLookUp::reabre(lk->IBQ_Pessoas);
        TdmLookUp::reabre(lk->IBQ_Representante);
    }
    dtInicial->setDate(appClock().today());
    dtFinal->setDate(appClock().today());
    dtInicial->setFocus();
}

void TfrmParRelAnaliseColeta::btnConfirmarClick() {
    ValidaPeriodo(dtInicial, dtFinal, false);
    const DataContext& dc = dataContext();
    TfrmRelatorioAnaliseColetada rel(dc.IBSolution, dc.IBSolution->defaultTransaction());
    const QVariant cliente = lkCliente->keyValue();
    const QVariant rep = lkRepresentante->keyValue();
    if (!cliente.isNull()) rel.IBQ_Cliente.setParam("ID_CLIENTE", cliente);
    if (!rep.isNull()) rel.IBQ_Cliente.setParam("ID_REPRESENTANTE", rep);
    AbreQuery(rel.IBQ_Cliente, TfrmRelatorioAnaliseColetada::sqlClientes(dtInicial->date(), dtFinal->date(),
                                                                         !cliente.isNull(), !rep.isNull()));
    if (rel.IBQ_Cliente.isEmpty()) {
        warn("Nenhum registro encontrado !");
        return;
    }
    rel.dtInicial = dtInicial->date();
    rel.dtFinal = dtFinal->date();
    rel.idCliente = cliente;
    rel.setPeriodo(TextoPeriodo(dtInicial, dtFinal, "Período de: "));
    rel.qrRelatorio.preview();
}

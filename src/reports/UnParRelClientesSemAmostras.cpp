#include "reports/UnParRelClientesSemAmostras.h"
#include "data/DataContext.h"
#include "data/UndmLookup.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "reports/ListagemClientes.h"
#include "reports/ListagensComuns.h"
#include "reports/UnRelClientesSemAmostras.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include <QGridLayout>

TfrmParRelatorioClientesSemAmostras::TfrmParRelatorioClientesSemAmostras(QWidget* parent)
    : TfrmParametroRelatorio("frmParRelatorioClientesSemAmostras", parent) {
    setWindowTitle("Relatório de Clientes sem Amostra");
    QGridLayout* g = GradeParametros(*this);
    dtInicial = new DBDateEdit(corpo, "dtInicial");
    dtFinal = new DBDateEdit(corpo, "dtFinal");
    LinhaPeriodo(*g, "Período de", dtInicial, dtFinal);
    TdmLookUp* lk = dmLookUp();
    rxdbrepresentante = ListaTodos(corpo, "rxdbrepresentante", lk ? &lk->IBQ_Representante : nullptr,
                                   "ID_PESSOA", "NM_PESQUISA");
    LinhaParametro(*g, "Representante", rxdbrepresentante);
    rxdbtpequipamento = ListaTodos(corpo, "rxdbtpequipamento", lk ? &lk->IBQ_TipoEquipamento : nullptr,
                                   "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO");
    LinhaParametro(*g, "Tipo de Equipamento", rxdbtpequipamento);
    mskNomeRelatorio->setText("Relatório de Clientes sem Amostra");
    setTabOrder(dtInicial, dtFinal);
    setTabOrder(dtFinal, rxdbrepresentante);
    setTabOrder(rxdbrepresentante, rxdbtpequipamento);
    setTabOrder(rxdbtpequipamento, btnConfirmar);
    connect(btnConfirmar, &QPushButton::clicked, this, [this] { guarded([this] { btnConfirmarClick(); }); });
    resize(440, 175);
}

void TfrmParRelatorioClientesSemAmostras::FormActivate() {
    TfrmParametroRelatorio::FormActivate();
    if (TdmLookUp* lk = dmLookUp()) {
        TdmLookUp::reabre(lk->IBQ_Representante);
        TdmLookUp::reabre(lk->IBQ_TipoEquipamento);
    }
    dtInicial->setDate(appClock().today());
    dtFinal->setDate(appClock().today());
    dtInicial->setFocus();
}

void TfrmParRelatorioClientesSemAmostras::btnConfirmarClick() {
    // A first date after the last would leave every client without samples.
    ValidaPeriodo(dtInicial, dtFinal, true);
    const DataContext& dc = dataContext();
    TfrmRelClientesSemAmostras rel(dc.IBSolution, dc.IBSolution->defaultTransaction());
    const QVariant rep = rxdbrepresentante->keyValue();
    const QVariant tipo = rxdbtpequipamento->keyValue();
    rel.setPeriodo(TextoPeriodo(dtInicial, dtFinal, "Período de: "));
    MostraListagemClientes(
        rel.IBQRelClientesAmostras, rel.qrpClientesSemAmostras,
        TfrmRelClientesSemAmostras::sql(dtInicial->date(), dtFinal->date(), !rep.isNull(), !tipo.isNull()),
        {{"ID_REPRESENTANTE", rep}, {"ID_TP_EQUIPAMENTO", tipo}});
}

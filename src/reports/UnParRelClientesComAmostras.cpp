#include "reports/UnParRelClientesComAmostras.h"
#include "data/DataContext.h"
#include "data/UndmLookup.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "reports/ListagemClientes.h"
#include "reports/ListagensComuns.h"
#include "reports/UnRelClientesComAmostras.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include <QGridLayout>

TfrmParRelClientesComAmostras::TfrmParRelClientesComAmostras(QWidget* parent)
    : TfrmParametroRelatorio("frmParRelClientesComAmostras", parent) {
    setWindowTitle("Relatório de Clientes com Amostras");
    QGridLayout* g = GradeParametros(*this);
    dtInicial = new DBDateEdit(corpo, "dtInicial");
    dtFinal = new DBDateEdit(corpo, "dtFinal");
    LinhaPeriodo(*g, "Período de", dtInicial, dtFinal);
    TdmLookUp* lk = dmLookUp();
    lkCliente = ListaTodos(corpo, "lkCliente", lk ? &lk->IBQ_Pessoas : nullptr, "ID_PESSOA", "NM_PESQUISA");
    LinhaParametro(*g, "Cliente", lkCliente);
    lkRepresentante = ListaTodos(corpo, "lkRepresentante", lk ? &lk->IBQ_Representante : nullptr, "ID_PESSOA",
                                 "NM_PESQUISA");
    LinhaParametro(*g, "Representante", lkRepresentante);
    lkEquipamento = ListaTodos(corpo, "lkEquipamento", lk ? &lk->IBQ_TipoEquipamento : nullptr,
                               "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO");
    LinhaParametro(*g, "Tipo de Equipamento", lkEquipamento);
    mskNomeRelatorio->setText("Relatório de Clientes com Amostras");
    mskNomeRelatorio->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(dtInicial, dtFinal);
    setTabOrder(dtFinal, lkCliente);
    setTabOrder(lkCliente, lkRepresentante);
    setTabOrder(lkRepresentante, lkEquipamento);
    setTabOrder(lkEquipamento, mskNomeRelatorio);
    setTabOrder(mskNomeRelatorio, btnConfirmar);
    connect(btnConfirmar, &QPushButton::clicked, this, [this] { guarded([this] { btnConfirmarClick(); }); });
    resize(440, 205);
}

void TfrmParRelClientesComAmostras::FormActivate() {
    TfrmParametroRelatorio::FormActivate();
    dtInicial->setDate(appClock().today());
    dtFinal->setDate(appClock().today());
    if (TdmLookUp* lk = dmLookUp()) {
        TdmLookUp::reabre(lk->IBQ_Pessoas);
        TdmLookUp::reabre(lk->IBQ_Representante);
        TdmLookUp::reabre(lk->IBQ_TipoEquipamento);
    }
    dtInicial->setFocus();
}

void TfrmParRelClientesComAmostras::btnConfirmarClick() {
    ValidaPeriodo(dtInicial, dtFinal, false);
    const DataContext& dc = dataContext();
    TfrmRelClientesComAmostras rel(dc.IBSolution, dc.IBSolution->defaultTransaction());
    const QVariant cliente = lkCliente->keyValue();
    const QVariant rep = lkRepresentante->keyValue();
    const QVariant tipo = lkEquipamento->keyValue();
    const QString nome = mskNomeRelatorio->text();
    rel.setTitulo(nome.isEmpty() ? QStringLiteral("Relatório de Clientes com Amostras") : nome);
    rel.setPeriodo(TextoPeriodo(dtInicial, dtFinal, "Período de: "));
    MostraListagemClientes(rel.IBQRelClientesAmostras, rel.qrpClientesComAmostras,
                           TfrmRelClientesComAmostras::sql(dtInicial->date(), dtFinal->date(),
                                                           !cliente.isNull(), !rep.isNull(), !tipo.isNull()),
                           {{"ID_CLIENTE", cliente}, {"ID_REPRESENTANTE", rep}, {"ID_TP_EQUIPAMENTO", tipo}});
}

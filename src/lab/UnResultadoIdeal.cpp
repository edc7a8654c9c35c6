#include "lab/UnResultadoIdeal.h"
#include "data/UndmPadrao.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include <QGridLayout>
#include <QLabel>

TfrmResultadoIdeal::TfrmResultadoIdeal(QWidget* parent)
    : TfrmCadastroPadrao("frmResultadoIdeal", listaDoModulo(&TdmPadrao::IBQ_ResultadoIdeal), parent) {
    setWindowTitle("Resultados Ideais");
    TdmLookUp* lk = dmLookUp();
    auto* lay = new QGridLayout(pagFicha);
    auto* lbl1 = new QLabel("Tipo de Equipamento", pagFicha);
    lkTipoEquipamento =
        new DBLookupCombo(pagFicha, &dsPadrao, "ID_TP_EQUIPAMENTO", lk ? &lk->IBQ_TipoEquipamento : nullptr,
                          "ID_TP_EQUIPAMENTO", "NM_TP_EQUIPAMENTO", "lkTipoEquipamento");
    lkTipoEquipamento->setDropDownCount(8);
    lbl1->setBuddy(lkTipoEquipamento);
    auto* lbl2 = new QLabel(QString::fromUtf8("Tipo de Análise"), pagFicha);
    lkTipoAnalise =
        new DBLookupCombo(pagFicha, &dsPadrao, "ID_TP_ANALISE", lk ? &lk->IBQ_TipoAnalise : nullptr,
                          "ID_TP_ANALISE", "NM_TP_ANALISE", "lkTipoAnalise");
    lkTipoAnalise->setDropDownCount(8);
    lbl2->setBuddy(lkTipoAnalise);
    auto* lbl3 = new QLabel("Resultado Ideal", pagFicha);
    DBEdit1 = new DBEdit(pagFicha, &dsPadrao, "DS_RESULTADO_IDEAL", "DBEdit1");
    lbl3->setBuddy(DBEdit1);
    lay->addWidget(lbl1, 0, 0);
    lay->addWidget(lkTipoEquipamento, 1, 0);
    lay->addWidget(lbl2, 2, 0);
    lay->addWidget(lkTipoAnalise, 3, 0);
    lay->addWidget(lbl3, 4, 0);
    lay->addWidget(DBEdit1, 5, 0);
    lay->setRowStretch(6, 1);
    montaGrade({{"lkTipoAnalise", QString::fromUtf8("Tipo de Análise"), 220},
                {"lkTipoEquipamento", "Tipo de Equipamento", 200},
                {"DS_RESULTADO_IDEAL", "Resultado Ideal", 160}});
    resize(600, 240);
}

void TfrmResultadoIdeal::FormShow() {
    TfrmCadastroPadrao::FormShow();
}

void TfrmResultadoIdeal::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    // Types created or renamed meanwhile are offered and shown.
    if (TdmLookUp* lk = dmLookUp()) {
        TdmLookUp::reabre(lk->IBQ_TipoEquipamento);
        TdmLookUp::reabre(lk->IBQ_TipoAnalise);
    }
    if (DBGrid1) DBGrid1->viewport()->update();
}

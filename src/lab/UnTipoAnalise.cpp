#include "lab/UnTipoAnalise.h"
#include "data/UndmPadrao.h"
#include "screens/controls/DBEdit.h"
#include <QGridLayout>
#include <QLabel>

TfrmTipoAnalise::TfrmTipoAnalise(QWidget* parent) : TfrmCadastroPadrao("frmTipoAnalise", parent) {
    setWindowTitle("Tipo de Ánalise");
    auto* lay = new QGridLayout(pagFicha);
    auto* lbl = new QLabel("Tipo de Ánalise", pagFicha);
    edtNome = new DBEdit(pagFicha, &dsPadrao, "NM_TP_ANALISE", "DBEdit1");
    lbl->setBuddy(edtNome);
    lay->addWidget(lbl, 0, 0);
    lay->addWidget(edtNome, 1, 0);
    lay->setRowStretch(2, 1);
    montaGrade({{"NM_TP_ANALISE", "Tipo de Análise", 380}});
    resize(430, 130);
    if (TdmPadrao* dm = dmPadrao()) NomeDataSet = &dm->IBQ_TipoAnalise;
}

void TfrmTipoAnalise::FormShow() {
    if (TdmPadrao* dm = dmPadrao()) NomeDataSet = &dm->IBQ_TipoAnalise;
    TfrmCadastroPadrao::FormShow();
}

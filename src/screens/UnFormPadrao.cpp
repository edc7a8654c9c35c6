#include "screens/UnFormPadrao.h"
#include "data/DataContext.h"
#include "screens/UnPermissoes.h"
#include "screens/UnPrincipal.h"

TfrmFormPadrao::TfrmFormPadrao(const QString& name, QWidget* parent)
    : ScreenWindow(ScreenKind::Standard, name, parent) {
    setWindowTitle("Form Padrão");
    resize(366, 177);
}

void TfrmFormPadrao::FormShow() {
    TfrmClassePrincipal* p = principal();
    if (!verificaAcesso()) return;
    lePosicao(0);
    ApplyButtonRights(p->IBQ_Gen, p->grupousuario, this, false);
}

void TfrmFormPadrao::FormActivate() {
    TfrmClassePrincipal* p = principal();
    if (!PermissaoAcesso || !p) return;
    p->gbpainelcontrole->hide();
    if (p->codusuario == -2) p->IncluiObjetos();
    p->barraRegistro().hideForStandardScreen();
}

bool TfrmFormPadrao::FormClose() {
    TfrmClassePrincipal* p = principal();
    if (!p) return true;
    if (fechaSemAcesso()) return true;
    gravaPosicao(0);
    liberaPrincipal(true);
    p->setStatus(0, "");
    return true;
}

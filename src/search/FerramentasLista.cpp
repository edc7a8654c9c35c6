#include "search/FerramentasLista.h"
#include "screens/UnPrincipal.h"
#include "search/UnOrdena.h"
#include "search/UnParametroExcel.h"
#include "search/UnPesquisa.h"

void instalaFerramentasLista(TfrmClassePrincipal& principal) {
    TfrmClassePrincipal* p = &principal;
    principal.ferramentasLista.pesquisar = [p] { TfrmPesquisa::executa(p); };
    principal.ferramentasLista.ordenar = [p] { TfrmOrdena::executa(p); };
    principal.ferramentasLista.exportar = [p] { TfrmParametroExcel::executa(p); };
}

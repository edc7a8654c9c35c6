#pragma once
// Puts the filter builder, the sort builder and the spreadsheet export behind the main
// window's toolbar buttons "Pesquisar" (F8), "Ordenar" (F9) and "Excel".
class TfrmClassePrincipal;

void instalaFerramentasLista(TfrmClassePrincipal& principal);

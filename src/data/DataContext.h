#pragma once
// The running program's one main connection and its transactions, owned by the main
// window and reachable by the layers below it (general functions, data modules).
#include "data/Database.h"
#include <QString>

struct DataContext {
    Database* IBSolution = nullptr;       // the main connection
    Transaction* IBTransaction = nullptr; // its default transaction
    Transaction* IBT_Gen = nullptr;       // general statements (AbreQuery, ExecutaSQL)
};

DataContext& dataContext();

// The session record: who logged in, and what the start-up found. Filled by the login
// window and read by the rest of the program for the whole run.
struct TSessaoUsuario {
    int codusuario = 0;           // SIS_USUARIO.ID_USUARIO
    int grupousuario = 0;         // SIS_USUARIO.ID_GR_USUARIO
    QString loginusuario;         // the login name as typed
    QString Nm_usuario;           // SIS_USUARIO.NM_USUARIO
    QString Nm_GrupoUsusario;     // SIS_GR_USUARIO.NM_GR_USUARIO, empty without group
    int it_iidLogLoginSplash = 0; // this login's SIS_LOG_LOGIN row
    QString localarquivoiniteste; // the connection settings file used (its folder is the shared data folder)
    int erroconexao = 0;          // 10 after a failed connection step
};
TSessaoUsuario& sessaoUsuario();

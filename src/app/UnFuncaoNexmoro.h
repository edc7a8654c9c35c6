#pragma once
// Session and login-log helpers. Each function takes the connection to use, creates its own
// query on it (in the connection's default transaction), runs it and frees it. Text values go
// into the statements quoted, so apostrophes never change them.
#include "data/Database.h"
#include <QString>

// True when the parameter row says users log in by their operating-system user name.
bool LoginUsuarioWindows(Database& db);
// The operating-system user name of the session.
QString RetornaUsuarioWindows();
// ID_USUARIO of the user with this login name; 0 when there is none.
int RetornaIdUsuario(const QString& login, Database& db);
// NM_ACESSO of the user; empty when there is none.
QString RetornaLoginUsuario(int idUsuario, Database& db);
// Name of the user's group; empty when the user has no group.
QString RetornaNomeGrupoUsuario(int idUsuario, Database& db);
// The workstation's IPv4 address in dotted form, blanks trimmed.
QString RetornaIPComputador();
// Writes this login's row of SIS_LOG_LOGIN (no logoff time yet) and returns its id.
int GravaLogLogin(int idUsuario, int idGrupo, const QString& aplicativo, Database& db);
// Writes the logoff time of the login-log row.
void GravaLogLogoff(int idLog, Database& db);

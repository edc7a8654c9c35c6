#pragma once
// Session and login-log helpers. Each function takes the connection to use, creates its own
// query on it (in the connection's default transaction), runs it and frees it. Text values go
// into the statements quoted, so apostrophes never change them.
#include "data/Database.h"
#include "support/Tutoriais.h"
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

// ---- the maker's web addresses (hosts from the site's support settings) ----

// True when the address answers: an https address through a TLS GET whose answer is not an
// HTTP error; any other address as VerificaURLHttp. Waits at most the configured time-out.
bool VerificaURL(const QString& endereco);
// True when the address answers with status 200 or 302 (no redirection followed); an address
// without a scheme is tried as http.
bool VerificaURLHttp(const QString& endereco);
// The maker's file server over https when it answers, else the website over https when it
// answers, else the website over http (not tested).
QString RetornaSiteNexmoro();
// AbreTutorial lives in support/Tutoriais.h (the laboratory screens open tutorials too).

// ---- satisfaction survey ----

// Shows the survey modally for the user, with the login name, group and company CNPJ read
// from the connection.
void AbrePesquisaSatisfacao(int idUsuario, Database& db);

#pragma once
// Script level of the shared database: the two columns of TAB_PARAMETRO that record which
// version of the database update scripts the database is at.
#include "data/Database.h"
#include <QString>

// Makes sure TAB_PARAMETRO has VERSAO_ERP and SCRIPT_RODADO (adding and filling them when
// VERSAO_ERP is missing) and reads their values into versaoERP() and scriptRodado(). Runs in
// the connection's default transaction, committing retaining; connects db when it is not
// connected. Database errors are not caught.
void VerificaScript(Database& db);

// Process-wide values filled by VerificaScript; both start empty. They appear in the
// automatic error report.
QString& versaoERP();    // the version name ("Versao Inicial" when the column is null)
QString& scriptRodado(); // the number of the last update script, as text; empty when null

// Brings the program's own tables up to date (the scripts schema/5N_*.sql embedded in the
// program, each run once per database) and returns the names of the scripts it ran. Runs in
// transactions of its own; connects db when it is not connected. Database errors propagate.
QStringList VerificaEsquemaProprio(Database& db);

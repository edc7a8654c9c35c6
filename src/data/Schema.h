#pragma once
// Creation of a database from the DDL scripts of schema/ (new sites and tests).
#include "data/Database.h"
#include <QString>

// Runs every *.sql file of dir in file-name order on db, committing each statement.
void applySchemaDir(Database& db, const QString& dir);
// Runs one script text.
void applyScript(Database& db, const QString& script);
// Creates a database file at path from dir; leaves db connected.
void createDatabaseFromSchema(Database& db, const QString& path, const QString& dir);

// Scripts of the program's own tables (schema/5N_*.sql, embedded in the program): their file
// names in order, and the text of one.
QStringList scriptsProprios();
QString textoScriptProprio(const QString& nome);
// True when the object that stmt creates (a table, sequence, index, exception) or adds with
// ALTER TABLE ... ADD (a column or constraint) is already in the database.
bool objetoJaExiste(Database& db, const QString& stmt);
// Runs an own script on an existing database: each statement committed, the ones whose object
// already exists skipped, then lists the script in SIS_CTV_SCRIPT.
void aplicaScriptProprio(Database& db, const QString& nome, const QString& texto);
// The tables a script names on a line "-- Requer: T1, T2" (upper case): a script on shared
// tables waits, neither run nor listed, until the database has all of them.
QStringList tabelasRequeridas(const QString& texto);
bool scriptPodeRodar(Database& db, const QString& texto);
// Runs every own script not yet listed in SIS_CTV_SCRIPT whose tables exist; returns the names
// of those it ran.
QStringList atualizaEsquemaProprio(Database& db);

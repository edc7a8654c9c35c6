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

#pragma once
// Settings of this program kept in its own table SIS_CTV_PARAMETRO (one text value per key),
// apart from the parameter row that the shared database's applications read.
#include "data/Database.h"
#include <QString>

// The value stored under chave, or padrao when the key has no row (or a null value).
QString leParametroProprio(Database& db, const QString& chave, const QString& padrao = QString());
bool leParametroProprioLogico(Database& db, const QString& chave, bool padrao = false);
// Stores valor under chave in a transaction of its own (insert or update).
void gravaParametroProprio(Database& db, const QString& chave, const QString& valor);
void gravaParametroProprioLogico(Database& db, const QString& chave, bool valor);

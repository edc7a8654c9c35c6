#pragma once
// Reading the database's messages: the pieces the error report and the main window take out of
// a Firebird refusal (the table whose foreign key still points at a record, the table of a
// primary-key violation, the column of a NOT NULL refusal, a duplicate key, a lost connection),
// and the captions of the tables, which each layer registers beside its screens.
#include "data/Database.h"
#include "data/DatabaseError.h"
#include <QString>

// The text between the first double quote at or after `from` and the next one.
QString entreAspas(const QString& texto, qsizetype from = 0);

// The table of a primary-key violation, as the engine names it before the problematic key.
QString TabelaViolacaoPrimaria(const QString& mensagem);
// The field of a "must have a value" refusal (the data layer's or the classic text).
QString CampoObrigatorio(const QString& mensagem);
// The column of a "validation error for column" refusal, without its table, a blank in front.
QString ColunaValidacao(const QString& mensagem);
// The table that still uses a record, without the prefix of the naming convention ("TAB_").
QString TabelaChaveEstrangeira(const QString& mensagem);

// The database refused a second row with the same value of a primary or unique key.
bool chaveDuplicada(const DatabaseError& e);

// The caption the user knows a table by ("MOV_ANALISE" -> "Cadastro de Análise"); the name
// is compared in upper case. A layer registers its tables beside its screens.
void registraNomeTabela(const QString& tabela, const QString& nome);
// The registered caption of a table, empty when it has none.
QString nomeTabela(const QString& tabela);

// Why the database refused a delete, in Portuguese, naming the table that uses the record.
QString motivoExclusaoRecusada(const DatabaseError& e);

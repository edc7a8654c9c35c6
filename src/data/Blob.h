#pragma once
// Blob contents read and written whole, through one connection and transaction.
#include "data/Database.h"
#include "data/RecordLayout.h"
#include <QByteArray>

QByteArray readBlob(Database* db, Transaction* tr, BlobId id);
BlobId writeBlob(Database* db, Transaction* tr, const QByteArray& data);

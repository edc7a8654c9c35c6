#include "data/Blob.h"
#include "data/FbStatus.h"
#include <cstring>
#include <firebird/Interface.h>

using namespace Firebird;

QByteArray readBlob(Database* db, Transaction* tr, BlobId id) {
    if (id.isNull()) return {};
    FbStatus st;
    ISC_QUAD q;
    std::memcpy(&q, &id, 8);
    FbPtr<IBlob> blob(db->attachment()->openBlob(&st, tr->handle(), &q, 0, nullptr));
    QByteArray out;
    char buf[32768];
    for (;;) {
        unsigned got = 0;
        const int r = blob->getSegment(&st, sizeof buf, buf, &got);
        if (r != IStatus::RESULT_OK && r != IStatus::RESULT_SEGMENT) break;
        out.append(buf, static_cast<int>(got));
    }
    blob.end([&](IBlob* b) { b->close(&st); });
    return out;
}

BlobId writeBlob(Database* db, Transaction* tr, const QByteArray& data) {
    FbStatus st;
    ISC_QUAD q;
    FbPtr<IBlob> blob(db->attachment()->createBlob(&st, tr->handle(), &q, 0, nullptr));
    for (qsizetype pos = 0; pos < data.size(); pos += 32000) {
        const qsizetype n = std::min<qsizetype>(32000, data.size() - pos);
        blob->putSegment(&st, static_cast<unsigned>(n), data.constData() + pos);
    }
    blob.end([&](IBlob* b) { b->close(&st); });
    BlobId id;
    std::memcpy(static_cast<void*>(&id), &q, 8);
    return id;
}

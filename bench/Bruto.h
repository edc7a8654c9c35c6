#pragma once
// The statements of a benchmark's raw side, run with the bare client library: a transaction,
// every row of a select into a row store, an integer, a statement without rows, a batch of
// result inserts, the commit.
#include "data/Database.h"
#include "data/FbStatus.h"
#include <QString>
#include <cstdint>
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>
#include <utility>
#include <vector>

class Bruto {
public:
    explicit Bruto(Database& db) : m_att(db.attachment()) {}

    Firebird::ITransaction* inicia() {
        Firebird::IXpbBuilder* tpb =
            fbMaster()->getUtilInterface()->getXpbBuilder(&m_st, Firebird::IXpbBuilder::TPB, nullptr, 0);
        tpb->insertTag(&m_st, isc_tpb_read_committed);
        tpb->insertTag(&m_st, isc_tpb_rec_version);
        tpb->insertTag(&m_st, isc_tpb_nowait);
        Firebird::ITransaction* t =
            m_att->startTransaction(&m_st, tpb->getBufferLength(&m_st), tpb->getBuffer(&m_st));
        tpb->dispose();
        return t;
    }
    // Prepares, fetches every row into a row store, frees; returns the rows.
    int todas(Firebird::ITransaction* t, const QString& sql) {
        const QByteArray texto = Database::encode(sql);
        Firebird::IStatement* st = m_att->prepare(&m_st, t, 0, texto.constData(), SQL_DIALECT_V6,
                                                  Firebird::IStatement::PREPARE_PREFETCH_METADATA);
        Firebird::IMessageMetadata* meta = st->getOutputMetadata(&m_st);
        const unsigned len = meta->getMessageLength(&m_st);
        Firebird::IResultSet* rs = st->openCursor(&m_st, t, nullptr, nullptr, meta, 0);
        std::vector<char> linhas, buf(len);
        int n = 0;
        while (rs->fetchNext(&m_st, buf.data()) == Firebird::IStatus::RESULT_OK) {
            linhas.insert(linhas.end(), buf.begin(), buf.end());
            ++n;
        }
        rs->close(&m_st);
        st->free(&m_st);
        meta->release();
        return n;
    }
    // The first column of the first row, an integer (0 when null).
    int inteiro(Firebird::ITransaction* t, const QString& sql) {
        const QByteArray texto = Database::encode(sql);
        Firebird::IStatement* st = m_att->prepare(&m_st, t, 0, texto.constData(), SQL_DIALECT_V6,
                                                  Firebird::IStatement::PREPARE_PREFETCH_METADATA);
        Firebird::IMessageMetadata* meta = st->getOutputMetadata(&m_st);
        std::vector<char> buf(meta->getMessageLength(&m_st));
        Firebird::IResultSet* rs = st->openCursor(&m_st, t, nullptr, nullptr, meta, 0);
        int32_t v = 0;
        if (rs->fetchNext(&m_st, buf.data()) == Firebird::IStatus::RESULT_OK &&
            *reinterpret_cast<const int16_t*>(buf.data() + meta->getNullOffset(&m_st, 0)) == 0)
            std::memcpy(&v, buf.data() + meta->getOffset(&m_st, 0), 4);
        rs->close(&m_st);
        st->free(&m_st);
        meta->release();
        return v;
    }
    void executa(Firebird::ITransaction* t, const QString& sql) {
        m_att->execute(&m_st, t, 0, Database::encode(sql).constData(), SQL_DIALECT_V6, nullptr, nullptr,
                       nullptr, nullptr);
    }
    // The results insert, prepared once and run per value.
    void insere(Firebird::ITransaction* t, int primeiraChave, int amostra,
                const std::vector<std::pair<int, double>>& valores) {
        Firebird::IStatement* st =
            m_att->prepare(&m_st, t, 0,
                           "insert into mov_analise_resultado(id_analise_resultado,id_tp_analise,"
                           "id_analise_equipamento,vl_resultado)VALUES(?,?,?,?)",
                           SQL_DIALECT_V6, Firebird::IStatement::PREPARE_PREFETCH_METADATA);
        Firebird::IMessageMetadata* in = st->getInputMetadata(&m_st);
        std::vector<char> buf(in->getMessageLength(&m_st));
        int chave = primeiraChave;
        for (const auto& [tipo, valor] : valores) {
            std::fill(buf.begin(), buf.end(), 0);
            const int32_t ints[3] = {chave++, tipo, amostra};
            for (unsigned i = 0; i < 3; ++i)
                std::memcpy(buf.data() + in->getOffset(&m_st, i), &ints[i], 4);
            const int64_t v = static_cast<int64_t>(valor * 10000.0 + 0.5);
            std::memcpy(buf.data() + in->getOffset(&m_st, 3), &v, 8);
            st->execute(&m_st, t, in, buf.data(), nullptr, nullptr);
        }
        in->release();
        st->free(&m_st);
    }
    void confirma(Firebird::ITransaction* t) { t->commit(&m_st); }

private:
    Firebird::IAttachment* m_att;
    FbStatus m_st;
};

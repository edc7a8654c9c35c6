#include "data/ContagemParalela.h"

#include "data/Database.h"
#include "data/FbStatus.h"
#include "data/PreparedQuery.h"

#include <condition_variable>
#include <firebird/Interface.h>
#include <mutex>
#include <optional>
#include <thread>

using namespace Firebird;

namespace {

struct Ligacao {
    QString nome, usuario, senha, caracteres;
    bool operator==(const Ligacao&) const = default;
};

struct Pedido {
    quint64 geracao = 0;
    Ligacao ligacao;
    QString sql;
    ContagemParalela::Parametros params;
};

} // namespace

struct ContagemParalela::Trabalhador {
    std::mutex mx;
    std::condition_variable cv;
    std::optional<Pedido> pedido;
    bool fim = false;
    // The connection while a count runs on it, so the owner's end can cancel the count.
    IAttachment* emCurso = nullptr;
    std::thread th;

    // Runs on the worker thread only.
    std::unique_ptr<Database> db;
    Ligacao ligada;

    qlonglong conta(const Pedido& p) {
        if (!db || !(ligada == p.ligacao)) {
            db = std::make_unique<Database>();
            db->setDatabaseName(p.ligacao.nome);
            db->setUser(p.ligacao.usuario);
            db->setPassword(p.ligacao.senha);
            db->setCharacterSet(p.ligacao.caracteres);
            ligada = p.ligacao;
        }
        // A connection lost since the last count (server restarted, attachment ended) is
        // attached again.
        if (!db->connected()) {
            db->disconnect();
            db->connect();
        }
        {
            std::lock_guard lk(mx);
            emCurso = db->attachment();
        }
        struct FimDoUso {
            Trabalhador& t;
            ~FimDoUso() {
                std::lock_guard lk(t.mx);
                t.emCurso = nullptr;
            }
        } fimDoUso{*this};
        Transaction tr(db.get());
        qlonglong total = 0;
        {
            PreparedQuery q(db.get(), &tr, p.sql);
            for (const auto& [nome, valor] : p.params)
                if (q.hasParam(nome)) q.setParam(nome, valor);
            if (q.first()) total = q.value(0).toLongLong();
            q.close();
        }
        tr.commit();
        return total;
    }

    void laco(ContagemParalela* dono) {
        for (;;) {
            Pedido p;
            {
                std::unique_lock lk(mx);
                cv.wait(lk, [&] { return fim || pedido.has_value(); });
                if (fim) break;
                p = std::move(*pedido);
                pedido.reset();
            }
            bool ok = true;
            qlonglong total = 0;
            try {
                total = conta(p);
            } catch (...) {
                ok = false;
            }
            // The owner waits for this thread before it goes away, so it is alive here; the
            // answer is queued to its thread.
            QMetaObject::invokeMethod(
                dono, [dono, g = p.geracao, ok, total] { dono->entrega(g, ok, total); },
                Qt::QueuedConnection);
        }
        try {
            db.reset();
        } catch (...) {
        }
    }
};

ContagemParalela::ContagemParalela(QObject* parent) : QObject(parent) {}

ContagemParalela::~ContagemParalela() {
    if (!m_t) return;
    {
        std::lock_guard lk(m_t->mx);
        m_t->fim = true;
        m_t->pedido.reset();
        // A long count is not waited for: the server stops it.
        if (m_t->emCurso) {
            FbQuietStatus st;
            m_t->emCurso->cancelOperation(&st, fb_cancel_raise);
        }
    }
    m_t->cv.notify_one();
    m_t->th.join();
}

void ContagemParalela::conta(const Database& db, const QString& sql, Parametros params) {
    if (!m_t) {
        m_t = std::make_unique<Trabalhador>();
        m_t->th = std::thread([t = m_t.get(), this] { t->laco(this); });
    }
    m_pendente = true;
    {
        std::lock_guard lk(m_t->mx);
        m_t->pedido =
            Pedido{++m_geracao, Ligacao{db.databaseName(), db.user(), db.password(), db.characterSet()}, sql,
                   std::move(params)};
    }
    m_t->cv.notify_one();
}

void ContagemParalela::descarta() {
    ++m_geracao;
    m_pendente = false;
    if (!m_t) return;
    std::lock_guard lk(m_t->mx);
    m_t->pedido.reset();
}

void ContagemParalela::entrega(quint64 geracao, bool ok, qlonglong total) {
    if (geracao != m_geracao) return;
    m_pendente = false;
    if (ok)
        emit contada(total);
    else
        emit falhou();
}

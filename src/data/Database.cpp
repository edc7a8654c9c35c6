#include "data/Database.h"
#include "data/FbStatus.h"
#include "data/Statement.h"
#include "platform/Cp1252.h"
#include <algorithm>
#include <atomic>
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>

using namespace Firebird;

IMaster* fbMaster() {
    static IMaster* master = fb_get_master_interface();
    return master;
}

namespace {
// Raised every time an error says that a connection is gone; each Database then checks its own
// attachment once before trusting it again.
std::atomic<unsigned> g_lostEpoch{0};

bool connectionLost(const QList<long>& codes) {
    for (long c : codes)
        if (c == isc_network_error || c == isc_net_read_err || c == isc_net_write_err ||
            c == isc_lost_db_connection || c == isc_att_shutdown || c == isc_shutdown || c == isc_conn_lost ||
            c == isc_bad_db_handle)
            return true;
    return false;
}
} // namespace

bool isConnectionLost(const DatabaseError& e) {
    return connectionLost(e.codes());
}

void throwStatus(IStatus* status) {
    char text[4096];
    fbMaster()->getUtilInterface()->formatStatus(text, sizeof text, status);
    const intptr_t* errs = status->getErrors();
    long code = 0;
    QList<long> codes;
    // Walk the status vector for every isc_arg_gds code.
    for (const intptr_t* p = errs; *p != isc_arg_end;) {
        intptr_t kind = *p++;
        if (kind == isc_arg_gds) {
            codes.append(static_cast<long>(*p));
            if (!code) code = static_cast<long>(*p);
            ++p;
        } else if (kind == isc_arg_cstring) {
            p += 2;
        } else {
            ++p;
        }
    }
    char state[6] = {0};
    fb_sqlstate(state, reinterpret_cast<const ISC_STATUS*>(errs));
    DatabaseError e(cp1252::decode(text, static_cast<qsizetype>(std::strlen(text))), code,
                    QString::fromLatin1(state));
    e.setCodes(codes);
    if (connectionLost(codes)) ++g_lostEpoch;
    throw e;
}

QByteArray Database::encode(const QString& s) {
    // The engine reads a statement only up to a NUL: a text that holds one would run cut short.
    if (s.contains(QChar(0)))
        throw AppError(QStringLiteral("A instrução SQL contém um caractere nulo e não pode ser executada."));
    return cp1252::encodeChecked(s, QStringLiteral("A instrução SQL"));
}

QString Database::decode(const char* p, int n) {
    return cp1252::decode(p, n);
}

Database::Database() = default;

Database::~Database() {
    try {
        disconnect();
    } catch (...) {
    }
    for (Statement* s : m_statements)
        s->forgetDatabase();
}

QByteArray Database::buildDpb(bool create) const {
    FbStatus st;
    FbPtr<IXpbBuilder> dpb(fbMaster()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
    dpb->insertString(&st, isc_dpb_user_name,
                      cp1252::encodeChecked(m_user, QStringLiteral("O usuário")).constData());
    dpb->insertString(&st, isc_dpb_password,
                      cp1252::encodeChecked(m_password, QStringLiteral("A senha")).constData());
    if (!m_charset.isEmpty()) dpb->insertString(&st, isc_dpb_lc_ctype, m_charset.toLatin1().constData());
    // A server that does not answer ends in a connection error instead of a long wait.
    dpb->insertInt(&st, isc_dpb_connect_timeout, kConnectTimeoutSeconds);
    if (create) {
        dpb->insertString(&st, isc_dpb_set_db_charset, "ISO8859_1");
        dpb->insertInt(&st, isc_dpb_page_size, 8192);
        dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
        dpb->insertInt(&st, isc_dpb_force_write, 0);
    }
    return QByteArray(reinterpret_cast<const char*>(dpb->getBuffer(&st)),
                      static_cast<int>(dpb->getBufferLength(&st)));
}

void Database::connect() {
    attach(false);
}

void Database::create() {
    attach(true);
}

void Database::attach(bool create) {
    if (m_att) return;
    m_seenEpoch = g_lostEpoch.load();
    if (m_name.isEmpty())
        throw DatabaseError(QStringLiteral("O nome do banco de dados não foi informado."), 0, QString());
    QByteArray dpb = buildDpb(create);
    FbStatus st;
    FbPtr<IProvider> prov(fbMaster()->getDispatcher());
    const QByteArray name = m_name.toLocal8Bit();
    const auto len = static_cast<unsigned>(dpb.size());
    const auto* buf = reinterpret_cast<const unsigned char*>(dpb.constData());
    m_att.reset(create ? prov->createDatabase(&st, name.constData(), len, buf)
                       : prov->attachDatabase(&st, name.constData(), len, buf));
    m_wanted = true;
    if (m_context.empty()) return;
    try {
        applySessionContext();
    } catch (...) {
        // A connection that cannot say who works on it is not used.
        freeStatements();
        m_att.endOrRelease<FbQuietStatus>([](IAttachment* a, auto* s) { a->detach(s); });
        throw;
    }
}

void Database::setSessionContext(std::vector<std::pair<QString, QString>> variables) {
    m_context = std::move(variables);
    if (m_att && !m_context.empty()) applySessionContext();
}

void Database::applySessionContext() {
    // One block sets every variable; names and values travel as parameters.
    QStringList params, calls;
    for (size_t i = 0; i < m_context.size(); ++i) {
        params << QStringLiteral("n%1 varchar(80) = ?, v%1 varchar(255) = ?").arg(i);
        calls << QStringLiteral("r = rdb$set_context('USER_SESSION', :n%1, :v%1);").arg(i);
    }
    Transaction tr(this);
    tr.start();
    Statement st(this, &tr);
    st.prepare("execute block (" + params.join(", ") + ") as declare r integer; begin " + calls.join(' ') +
               " end");
    for (size_t i = 0; i < m_context.size(); ++i) {
        st.setParam(static_cast<int>(2 * i), m_context[i].first);
        const QString& v = m_context[i].second;
        st.setParam(static_cast<int>(2 * i + 1), v.isNull() ? QVariant() : QVariant(v.left(255)));
    }
    st.execute();
    st.free();
    tr.commit();
}

bool Database::connected() const {
    if (!m_att) return false;
    const unsigned epoch = g_lostEpoch.load();
    if (epoch != m_seenEpoch) {
        m_seenEpoch = epoch;
        FbQuietStatus st;
        m_att->ping(&st);
        if (st.failed()) const_cast<Database*>(this)->dropLost();
    }
    return static_cast<bool>(m_att);
}

void Database::dropLost() {
    // The server is gone: every handle of this connection is dead. Open lists keep the rows
    // they hold; the next action attaches again.
    freeStatements();
    auto open = m_transactions;
    for (Transaction* t : open)
        t->forget();
    m_att.reset();
}

void Database::ensureConnected() {
    if (connected()) return;
    if (!m_wanted) throw DatabaseError(QStringLiteral("Não há conexão com o banco de dados."), 0, QString());
    attach(false);
}

void Database::disconnect() {
    m_wanted = false;
    if (!m_att) return;
    freeStatements();
    // Transactions left active are rolled back before the attachment goes away.
    auto open = m_transactions;
    for (Transaction* t : open) {
        try {
            if (t->active()) t->rollback();
        } catch (...) {
            t->forget();
        }
    }
    // A broken connection cannot be detached; it is released anyway.
    m_att.endOrRelease<FbQuietStatus>([](IAttachment* a, auto* s) { a->detach(s); });
}

IAttachment* Database::attachment() const {
    if (!connected()) const_cast<Database*>(this)->ensureConnected();
    return m_att.get();
}

void Database::attachTransaction(Transaction* t) {
    if (std::find(m_transactions.begin(), m_transactions.end(), t) == m_transactions.end())
        m_transactions.push_back(t);
}

void Database::detachTransaction(Transaction* t) {
    m_transactions.erase(std::remove(m_transactions.begin(), m_transactions.end(), t), m_transactions.end());
}

void Database::attachStatement(Statement* s) {
    m_statements.push_back(s);
}

void Database::detachStatement(Statement* s) {
    m_statements.erase(std::remove(m_statements.begin(), m_statements.end(), s), m_statements.end());
}

void Database::freeStatements() {
    // While the attachment object still exists the client library can free its statements, even
    // when the server is gone; afterwards it cannot.
    auto open = m_statements;
    for (Statement* s : open)
        s->free();
}

Transaction::Transaction(Database* db) {
    setDatabase(db);
}

Transaction::~Transaction() {
    try {
        if (active()) rollback();
    } catch (...) {
    }
    if (m_db) m_db->detachTransaction(this);
}

void Transaction::setDatabase(Database* db) {
    if (m_db == db) return;
    if (active()) rollback();
    if (m_db) m_db->detachTransaction(this);
    m_db = db;
    if (m_db) m_db->attachTransaction(this);
}

void Transaction::start() {
    if (m_tra) return;
    if (!m_db) throw DatabaseError(QStringLiteral("A transação não tem banco de dados."), 0, QString());
    FbStatus st;
    FbPtr<IXpbBuilder> tpb(fbMaster()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0));
    tpb->insertTag(&st, isc_tpb_write);
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_nowait);
    IAttachment* att = m_db->attachment();
    m_tra.reset(att->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st)));
    m_wrote = false;
}

void Transaction::dropIfLost() {
    // A transaction of a connection that was lost is gone with it.
    if (m_tra && m_db && !m_db->connected()) m_tra.disown();
}

void Transaction::ensureActive() {
    dropIfLost();
    if (!m_tra) start();
}

ITransaction* Transaction::handle() {
    ensureActive();
    return m_tra.get();
}

void Transaction::ending() {
    auto listeners = m_endListeners;
    for (auto& [key, fn] : listeners)
        fn();
}

void Transaction::commit() {
    if (!m_tra) return;
    // The lists' cursors end with the transaction: they stop at the rows they hold.
    ending();
    FbStatus st;
    m_tra.end([&](ITransaction* t) { t->commit(&st); });
    m_wrote = false;
}

void Transaction::commitKeepingCursors() {
    if (m_endListeners.empty())
        commit();
    else
        commitRetaining();
}

void Transaction::commitRetaining() {
    if (!m_tra) return;
    FbStatus st;
    m_tra->commitRetaining(&st);
    m_wrote = false;
}

void Transaction::rollback() {
    if (!m_tra) return;
    ending();
    // A rollback that fails (a broken connection) still ends the transaction here: the handle
    // is taken out first, and released if the rollback raises.
    FbStatus st;
    FbPtr<ITransaction> t(m_tra.disown());
    t.end([&](ITransaction* x) { x->rollback(&st); });
}

void Transaction::rollbackRetaining() {
    if (!m_tra) return;
    FbStatus st;
    m_tra->rollbackRetaining(&st);
    m_wrote = false;
}

void Transaction::forget() {
    if (!m_tra) return;
    ending();
    m_tra.reset();
}

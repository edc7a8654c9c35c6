#include "app/UnFuncaoNexmoro.h"
#include "data/KeyAllocation.h"
#include "data/Query.h"
#include "data/SqlText.h"
#include "platform/Clock.h"
#include "platform/OsFacts.h"

namespace {
// Opens a one-off select on db; the connection is made when it is not up yet.
void openSelect(Query& q, Database& db, const QString& text) {
    if (!db.connected()) db.connect();
    q.setSqlText(text);
    q.open();
}

void execute(Query& q, const QString& text) {
    q.setSqlText(text);
    q.execSQL();
}
} // namespace

bool LoginUsuarioWindows(Database& db) {
    Query q(&db);
    openSelect(q, db, " select ST_LOGIN_USUARIO_WINDOWS from TAB_PARAMETRO where ID_PARAMETRO = 1");
    return q.fieldByName("ST_LOGIN_USUARIO_WINDOWS")->asString() == QLatin1String("S");
}

QString RetornaUsuarioWindows() {
    return osFacts().userName();
}

int RetornaIdUsuario(const QString& login, Database& db) {
    Query q(&db);
    openSelect(q, db,
               " select id_usuario, nm_usuario from sis_usuario where nm_acesso = " + sql::quoted(login));
    return q.isEmpty() ? 0 : q.fieldByName("id_usuario")->asInteger();
}

QString RetornaLoginUsuario(int idUsuario, Database& db) {
    Query q(&db);
    openSelect(q, db,
               " select id_usuario, nm_acesso from sis_usuario where id_usuario = " +
                   QString::number(idUsuario));
    return q.fieldByName("nm_acesso")->asString();
}

QString RetornaNomeGrupoUsuario(int idUsuario, Database& db) {
    Query q(&db);
    openSelect(
        q, db,
        " select sis.id_usuario, sgu.nm_gr_usuario from sis_usuario sis inner join sis_gr_usuario sgu on "
        "(sis.id_gr_usuario = sgu.id_gr_usuario) where sis.id_usuario = " +
            QString::number(idUsuario));
    return q.fieldByName("nm_gr_usuario")->asString();
}

QString RetornaIPComputador() {
    return osFacts().ipv4Address().trimmed();
}

int GravaLogLogin(int idUsuario, int idGrupo, const QString& aplicativo, Database& db) {
    if (!db.connected()) db.connect();
    const int id = ProximoID("SIS_LOG_LOGIN", "ID_LOG_LOGIN", db);
    Query q(&db);
    execute(q,
            " INSERT INTO SIS_LOG_LOGIN (ID_LOG_LOGIN, ID_USUARIO, ID_GR_USUARIO, NM_APLICATIVO, DH_LOGIN, "
            "DH_LOGOFF, CD_IP) VALUES (" +
                QString::number(id) + "," + QString::number(idUsuario) + "," + QString::number(idGrupo) +
                "," + sql::quoted(aplicativo) + "," + sql::quotedDateTime(appClock().now()) + "," + "NULL," +
                sql::quoted(RetornaIPComputador()) + ")");
    execute(q, "commit retain");
    return id;
}

void GravaLogLogoff(int idLog, Database& db) {
    if (!db.connected()) db.connect();
    Query q(&db);
    execute(q, " update SIS_LOG_LOGIN  set DH_LOGOFF = " + sql::quotedDateTime(appClock().now()) +
                   " where ID_LOG_LOGIN = " + QString::number(idLog));
    execute(q, "commit retain");
}

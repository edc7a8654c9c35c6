#include "app/UnFuncaoNexmoro.h"
#include "data/KeyAllocation.h"
#include "data/Query.h"
#include "data/SqlText.h"
#include "platform/Clock.h"
#include "platform/HttpTransport.h"
#include "platform/OsFacts.h"
#include "support/ConfiguracaoSuporte.h"
#include "support/ExibeJanela.h"
#include "support/Tutoriais.h"
#include "support/UnPesquisaSatisfacaoNexmoro.h"

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

// ------------------------------------------------------------------ web addresses

namespace {
int tempoLimiteWebMs() {
    return carregaConfiguracaoSuporte().tempoLimiteWeb * 1000;
}
} // namespace

bool VerificaURLHttp(const QString& endereco) {
    QString url = endereco.trimmed();
    const QString minusculo = url.toLower();
    if (!minusculo.contains(QLatin1String("http://")) && !minusculo.contains(QLatin1String("https://")))
        url = QStringLiteral("http://") + url;
    HttpRequest pedido;
    pedido.url = url;
    pedido.userAgent = QStringLiteral("InetURL:/1.0");
    pedido.noCache = true;
    pedido.timeoutMs = tempoLimiteWebMs();
    const HttpResult r = httpTransport().get(pedido);
    return r.completed && (r.status == 200 || r.status == 302);
}

bool VerificaURL(const QString& endereco) {
    if (!endereco.toUpper().contains(QLatin1String("HTTPS:"))) return VerificaURLHttp(endereco);
    HttpRequest pedido;
    pedido.url = endereco.trimmed();
    // Only whether the maker's server answers is asked; the page itself is opened by the browser,
    // which checks the certificate.
    pedido.verifyPeer = false;
    pedido.headers = {
        {"Content-Type", "application/json"}, {"Content-Encoding", "utf-8"}, {"Accept", "text/javascript"}};
    pedido.timeoutMs = tempoLimiteWebMs();
    const HttpResult r = httpTransport().get(pedido);
    return r.completed && r.status < 400;
}

QString RetornaSiteNexmoro() {
    const ConfiguracaoSuporte cfg = carregaConfiguracaoSuporte();
    const QString arquivos = QStringLiteral("https://") + hostSemEsquema(cfg.servidorArquivos);
    if (VerificaURL(arquivos)) return arquivos;
    const QString site = QStringLiteral("https://") + hostSemEsquema(cfg.site);
    if (VerificaURL(site)) return site;
    return QStringLiteral("http://") + hostSemEsquema(cfg.site);
}

// ------------------------------------------------------------------ survey

void AbrePesquisaSatisfacao(int idUsuario, Database& db) {
    TfrmPesquisaSatisfacaoNexmoro frm;
    frm.it_iIdUsuario = idUsuario;
    frm.it_sNomeUsuario = RetornaLoginUsuario(idUsuario, db);
    frm.it_sNomeGrupoUsuario = RetornaNomeGrupoUsuario(idUsuario, db);
    frm.it_sCNPJEmpresa = RetornaCNPJEmpresa(db);
    frm.abreTutorial = &AbreTutorial;
    exibeModal(frm, [&frm] { frm.btnSairClick(); });
}

#include "platform/MailTransport.h"
#include "platform/CurlSupport.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QLocale>
#include <QRegularExpression>
#include <QUuid>

#include <cstring>
#include <future>
#include <mutex>
#include <thread>

using namespace curl_detail;

namespace curl_detail {

void initialise() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

Easy::Easy() {
    initialise();
    m_handle = curl_easy_init();
    curl_easy_setopt(m_handle, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, 1L);
}

Easy::~Easy() {
    curl_easy_cleanup(m_handle);
}

CURLcode Easy::perform() {
    m_error[0] = 0;
    const CURLcode code = curl_easy_perform(m_handle);
    if (code != CURLE_OK)
        m_detail = QString::fromLocal8Bit(m_error[0] ? m_error : curl_easy_strerror(code));
    else
        m_detail.clear();
    return code;
}

void guardHost(const char* what, const QString& host) {
    if (seam_detail::runningUnderTest() && !isLoopbackHost(host)) seam_detail::refuseUnderTest(what, host);
}

QString hostOfUrl(const QString& url) {
    QString rest = url.trimmed();
    const qsizetype scheme = rest.indexOf(QLatin1String("://"));
    if (scheme >= 0) rest = rest.mid(scheme + 3);
    const qsizetype end = rest.indexOf(QRegularExpression(QStringLiteral("[/?#]")));
    if (end >= 0) rest.truncate(end);
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) rest = rest.mid(at + 1);
    if (rest.startsWith(QLatin1Char('['))) return rest.mid(1, rest.indexOf(QLatin1Char(']')) - 1);
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) rest.truncate(colon);
    return rest;
}

} // namespace curl_detail

namespace {

MailTransport* g_installed = nullptr;

QByteArray utf8(const QString& s) {
    return s.toUtf8();
}

MailFailure classify(CURLcode code) {
    switch (code) {
    case CURLE_OK:
        return MailFailure::None;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return MailFailure::Connect;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return MailFailure::Certificate;
    case CURLE_LOGIN_DENIED:
        return MailFailure::Authentication;
    case CURLE_OPERATION_TIMEDOUT:
        return MailFailure::Timeout;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_UPLOAD_FAILED:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_QUOTE_ERROR:
        return MailFailure::Refused;
    default:
        return MailFailure::Other;
    }
}

// The server's answers as the session goes: its last refusal (a 4xx or 5xx line) explains a
// failure ("550 5.1.1 ..." for a recipient, "535 ..." for a login); the goodbye that follows it
// does not.
struct Replies {
    QString last;
};

int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    if (type != CURLINFO_HEADER_IN) return 0;
    const QString line = QString::fromUtf8(data, qsizetype(size)).trimmed();
    if (line.startsWith(QLatin1Char('4')) || line.startsWith(QLatin1Char('5')))
        static_cast<Replies*>(user)->last = line;
    return 0;
}

void listenToReplies(Easy& easy, Replies& replies) {
    curl_easy_setopt(easy.get(), CURLOPT_DEBUGFUNCTION, &onDebug);
    curl_easy_setopt(easy.get(), CURLOPT_DEBUGDATA, &replies);
    curl_easy_setopt(easy.get(), CURLOPT_VERBOSE, 1L);
}

MailResult resultOf(Easy& easy, CURLcode code, const Replies* replies = nullptr) {
    MailResult r;
    r.failure = classify(code);
    if (!r.ok()) {
        r.detail = easy.detail();
        if (replies) r.serverReply = replies->last;
    }
    return r;
}

void common(Easy& easy, const MailServer& server) {
    CURL* h = easy.get();
    const long limit = std::max(1L, long(server.timeoutSeconds));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limit);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, limit);
}

void tls(Easy& easy, const MailServer& server) {
    CURL* h = easy.get();
    // STARTTLS is required: a server that does not offer it is not talked to in the clear.
    if (server.security == MailSecurity::StartTls) curl_easy_setopt(h, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!server.caFile.isEmpty()) {
        // The extra authority beside the system's folder of trusted roots.
        curl_easy_setopt(h, CURLOPT_CAINFO, server.caFile.toLocal8Bit().constData());
        curl_easy_setopt(h, CURLOPT_CAPATH, "/etc/ssl/certs");
    }
}

QByteArray smtpUrl(const MailServer& server) {
    QString host = server.host;
    if (host.contains(QLatin1Char(':'))) host = QLatin1Char('[') + host + QLatin1Char(']'); // IPv6
    const char* scheme = server.security == MailSecurity::StartTls ? "smtp" : "smtps";
    return QStringLiteral("%1://%2:%3").arg(QLatin1String(scheme), host).arg(server.smtpPort).toUtf8();
}

QByteArray pop3Url(const MailServer& server) {
    QString host = server.host;
    if (host.contains(QLatin1Char(':'))) host = QLatin1Char('[') + host + QLatin1Char(']');
    return QStringLiteral("pop3://%1:%2").arg(host).arg(server.pop3Port).toUtf8();
}

// RFC 2047 encoded words (UTF-8, base64), each short enough for a header line.
QByteArray encodeHeaderText(const QString& text) {
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) ascii = false;
    if (ascii && text.size() < 900) return text.toLatin1();
    QByteArray out;
    QString chunk;
    auto flush = [&] {
        if (chunk.isEmpty()) return;
        if (!out.isEmpty()) out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toUtf8().toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        chunk += text.at(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) chunk += text.at(++i);
        if (chunk.toUtf8().size() >= 42) flush();
    }
    flush();
    return out;
}

// Quoted-printable of one body line (RFC 2045), soft breaks before 76 characters.
QByteArray quotedPrintable(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    QByteArray out;
    int column = 0;
    auto put = [&](const QByteArray& piece) {
        if (column + piece.size() > 75) {
            out += "=\r\n";
            column = 0;
        }
        out += piece;
        column += int(piece.size());
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool last = i == bytes.size() - 1;
        const bool plain = (b >= 33 && b <= 126 && b != '=') || ((b == ' ' || b == '\t') && !last);
        if (plain)
            put(QByteArray(1, char(b)));
        else
            put(QByteArray("=") + QByteArray::number(b, 16).toUpper().rightJustified(2, '0'));
    }
    return out;
}

// A display name: a quoted string when plain ASCII (an address used as a name holds "@"),
// otherwise encoded words.
QByteArray displayName(const QString& name) {
    bool ascii = true;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) ascii = false;
    if (!ascii) return encodeHeaderText(name);
    QByteArray quoted = name.toLatin1();
    quoted.replace("\\", "\\\\");
    quoted.replace("\"", "\\\"");
    return "\"" + quoted + "\"";
}

QByteArray angle(const QString& address) {
    // A line break would end the SMTP command and start another one.
    QString a = address.trimmed();
    a.remove(QLatin1Char('\r'));
    a.remove(QLatin1Char('\n'));
    return "<" + a.toUtf8() + ">";
}

struct Upload {
    QByteArray data;
    qsizetype offset = 0;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* user) {
    auto* up = static_cast<Upload*>(user);
    const size_t room = size * count;
    const size_t left = static_cast<size_t>(up->data.size() - up->offset);
    const size_t n = std::min(room, left);
    std::memcpy(buffer, up->data.constData() + up->offset, n);
    up->offset += static_cast<qsizetype>(n);
    return n;
}

} // namespace

bool isLoopbackHost(const QString& host) {
    const QString h = host.trimmed().toLower();
    if (h == QLatin1String("localhost")) return true;
    const QHostAddress address(h);
    return !address.isNull() && address.isLoopback();
}

QStringList MailMessage::recipients() const {
    QStringList all;
    for (const QString& a : QStringList{to} + moreTo)
        if (!a.trimmed().isEmpty()) all << a.trimmed();
    return all;
}

namespace {

bool plainAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) return false;
    return true;
}

// A file name as a MIME parameter: quoted when plain ASCII, RFC 2231 percent-encoded UTF-8
// otherwise (with an encoded word in "name" for readers that know only that).
QByteArray nameParameter(const QByteArray& key, const QString& fileName) {
    QString name = fileName;
    name.remove(QLatin1Char('\r'));
    name.remove(QLatin1Char('\n'));
    if (plainAscii(name) && !name.contains(QLatin1Char('"')) && !name.contains(QLatin1Char('\\')))
        return key + "=\"" + name.toLatin1() + "\"";
    if (key == "name") return "name=\"=?UTF-8?B?" + name.toUtf8().toBase64() + "?=\"";
    return key + "*=UTF-8''" + name.toUtf8().toPercentEncoding();
}

QByteArray base64Lines(const QByteArray& data) {
    const QByteArray b64 = data.toBase64();
    QByteArray out;
    out.reserve(b64.size() + b64.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < b64.size(); i += 76)
        out += b64.mid(i, 76) + "\r\n";
    return out;
}

} // namespace

QByteArray composeMail(const MailMessage& m, const QDateTime& date) {
    const QLocale c = QLocale::c();
    QByteArray out;
    const int offset = date.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                             .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
    out += "Date: " + c.toString(date, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")).toLatin1() +
           zone.toLatin1() + "\r\n";
    out += "From: " + displayName(m.fromName.isEmpty() ? m.fromAddress : m.fromName) + " " +
           angle(m.fromAddress) + "\r\n";
    QByteArray to;
    for (const QString& a : m.recipients())
        to += (to.isEmpty() ? "" : ",\r\n ") + angle(a);
    out += "To: " + to + "\r\n";
    out += "Subject: " + encodeHeaderText(m.subject) + "\r\n";
    const QString domain = m.fromAddress.section(QLatin1Char('@'), 1);
    out += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@" +
           (domain.isEmpty() ? QByteArray("localhost") : domain.toUtf8()) + ">\r\n";
    out += "MIME-Version: 1.0\r\n";
    QByteArray text = "Content-Type: text/plain; charset=UTF-8\r\n"
                      "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    for (const QString& line : m.bodyLines)
        text += quotedPrintable(line) + "\r\n";
    if (m.attachments.empty()) return out + text;

    // Base64 and quoted-printable never produce "=_", so the boundary cannot occur in a part.
    const QByteArray boundary = "=_ctv_" + QUuid::createUuid().toString(QUuid::Id128).toLatin1();
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    out += "This is a multi-part message in MIME format.\r\n";
    out += "--" + boundary + "\r\n" + text;
    for (const MailAttachment& a : m.attachments) {
        out += "--" + boundary + "\r\n";
        out += "Content-Type: " + a.contentType + ";\r\n " + nameParameter("name", a.fileName) + "\r\n";
        out += "Content-Transfer-Encoding: base64\r\n";
        out += "Content-Disposition: attachment;\r\n " + nameParameter("filename", a.fileName) + "\r\n\r\n";
        out += base64Lines(a.data);
    }
    out += "--" + boundary + "--\r\n";
    return out;
}

MailResult runWithoutFreezing(const std::function<MailResult()>& exchange) {
    std::packaged_task<MailResult()> task(exchange);
    std::future<MailResult> result = task.get_future();
    std::thread worker(std::move(task));
    while (result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    worker.join();
    return result.get();
}

QString describeMailFailure(const MailResult& r) {
    switch (r.failure) {
    case MailFailure::None:
        return QString();
    case MailFailure::Connect:
        return QStringLiteral("servidor de e-mail inacessível");
    case MailFailure::Certificate:
        return QStringLiteral("o certificado do servidor de e-mail não é confiável");
    case MailFailure::Authentication:
        return QStringLiteral("usuário ou senha do e-mail recusados");
    case MailFailure::Refused:
        return QStringLiteral("o servidor de e-mail recusou a mensagem");
    case MailFailure::Timeout:
        return QStringLiteral("o servidor de e-mail não respondeu a tempo");
    case MailFailure::Other:
        break;
    }
    return QStringLiteral("falha no envio do e-mail");
}

MailResult CurlMailTransport::connectSmtp(const MailServer& server) {
    guardHost("Mail transport", server.host);
    Easy easy;
    common(easy, server);
    tls(easy, server);
    Replies replies;
    listenToReplies(easy, replies);
    curl_easy_setopt(easy.get(), CURLOPT_URL, smtpUrl(server).constData());
    // Connection phase only: TLS handshake (or STARTTLS), greeting and hello; no credentials,
    // so no login.
    curl_easy_setopt(easy.get(), CURLOPT_CONNECT_ONLY, 1L);
    return resultOf(easy, easy.perform(), &replies);
}

MailResult CurlMailTransport::loginPop3(const MailServer& server) {
    guardHost("Mail transport", server.host);
    Easy easy;
    common(easy, server);
    curl_easy_setopt(easy.get(), CURLOPT_URL, pop3Url(server).constData());
    curl_easy_setopt(easy.get(), CURLOPT_USERNAME, utf8(server.user).constData());
    curl_easy_setopt(easy.get(), CURLOPT_PASSWORD, utf8(server.password).constData());
    // The connection phase of POP3 is the login itself.
    curl_easy_setopt(easy.get(), CURLOPT_CONNECT_ONLY, 1L);
    return resultOf(easy, easy.perform());
}

MailResult CurlMailTransport::sendSmtp(const MailServer& server, const MailMessage& message) {
    guardHost("Mail transport", server.host);
    Easy easy;
    CURL* h = easy.get();
    common(easy, server);
    tls(easy, server);
    Replies replies;
    listenToReplies(easy, replies);
    curl_easy_setopt(h, CURLOPT_URL, smtpUrl(server).constData());
    curl_easy_setopt(h, CURLOPT_USERNAME, utf8(server.user).constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, utf8(server.password).constData());
    curl_easy_setopt(h, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    const QByteArray from = angle(message.fromAddress);
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.constData());
    curl_slist* rcpt = nullptr;
    for (const QString& a : message.recipients())
        rcpt = curl_slist_append(rcpt, angle(a).constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, rcpt);
    Upload up{composeMail(message, QDateTime::currentDateTime()), 0};
    curl_easy_setopt(h, CURLOPT_READFUNCTION, &readUpload);
    curl_easy_setopt(h, CURLOPT_READDATA, &up);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    const CURLcode code = easy.perform();
    curl_slist_free_all(rcpt);
    return resultOf(easy, code, &replies);
}

MailTransport& mailTransport() {
    static CurlMailTransport curlTransport;
    return g_installed ? *g_installed : curlTransport;
}

MailTransport* installMailTransport(MailTransport* transport) {
    MailTransport* previous = g_installed;
    g_installed = transport;
    return previous;
}

#pragma once
// The status of an HTTP(S) GET. Production code reaches it only through httpTransport();
// tests install a ScriptedHttpTransport, or use the real one against a server on 127.0.0.1.
#include "platform/Seam.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <vector>

struct HttpRequest {
    QString url;
    QList<QPair<QByteArray, QByteArray>> headers;
    QString userAgent;
    bool verifyPeer = true; // TLS certificate and host name
    bool noCache = false;   // asks every cache on the way for a fresh answer
    int timeoutMs = 5000;   // the whole request, connection included
};

struct HttpResult {
    bool completed = false; // an answer with a status line arrived
    int status = 0;
    QString error; // why there was no answer
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // A GET whose body is read and discarded; redirections are not followed.
    virtual HttpResult get(const HttpRequest& request) = 0;
};

// libcurl, with the proxy settings of the environment. Under test it refuses any host other
// than the loopback addresses.
class CurlHttpTransport : public HttpTransport {
public:
    HttpResult get(const HttpRequest& request) override;
};

HttpTransport& httpTransport();
HttpTransport* installHttpTransport(HttpTransport* transport);
using ScopedHttpTransport = ScopedSeam<HttpTransport, &installHttpTransport>;

// Test double: answers by address (an address without an answer fails) and records requests.
class ScriptedHttpTransport : public HttpTransport {
public:
    QMap<QString, HttpResult> answers;
    std::vector<HttpRequest> requests;
    HttpResult get(const HttpRequest& request) override {
        requests.push_back(request);
        const auto it = answers.constFind(request.url);
        if (it != answers.constEnd()) return *it;
        return HttpResult{false, 0, QStringLiteral("sem resposta")};
    }
};

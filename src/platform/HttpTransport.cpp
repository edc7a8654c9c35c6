#include "platform/HttpTransport.h"
#include "platform/CurlSupport.h"

using namespace curl_detail;

namespace {
HttpTransport* g_installed = nullptr;

size_t discard(char*, size_t size, size_t count, void*) {
    return size * count;
}
} // namespace

HttpResult CurlHttpTransport::get(const HttpRequest& request) {
    guardHost("HTTP transport", hostOfUrl(request.url));
    Easy easy;
    CURL* h = easy.get();
    const QByteArray url = request.url.toUtf8();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &discard);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(request.timeoutMs));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(request.timeoutMs));
    const QByteArray agent = request.userAgent.toUtf8();
    if (!agent.isEmpty()) curl_easy_setopt(h, CURLOPT_USERAGENT, agent.constData());
    if (!request.verifyPeer) {
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers)
        headers = curl_slist_append(headers, (name + ": " + value).constData());
    if (request.noCache) {
        headers = curl_slist_append(headers, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
    }
    if (headers) curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);

    HttpResult result;
    const CURLcode code = easy.perform();
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    result.status = int(status);
    result.completed = code == CURLE_OK && status > 0;
    if (!result.completed) result.error = easy.detail();
    return result;
}

HttpTransport& httpTransport() {
    static CurlHttpTransport curlTransport;
    return g_installed ? *g_installed : curlTransport;
}

HttpTransport* installHttpTransport(HttpTransport* transport) {
    HttpTransport* previous = g_installed;
    g_installed = transport;
    return previous;
}

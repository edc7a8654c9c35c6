#pragma once
// Pieces shared by the libcurl transports.
#include <QString>
#include <curl/curl.h>

namespace curl_detail {
// curl_global_init once per process.
void initialise();
// Owns an easy handle and its error buffer.
class Easy {
public:
    Easy();
    ~Easy();
    Easy(const Easy&) = delete;
    Easy& operator=(const Easy&) = delete;
    CURL* get() const { return m_handle; }
    // curl_easy_perform; the code, with the detail text kept for detail().
    CURLcode perform();
    QString detail() const { return m_detail; }

private:
    CURL* m_handle;
    char m_error[CURL_ERROR_SIZE] = {};
    QString m_detail;
};
// Under test, stops the program when host is not a loopback address (no test reaches the
// network).
void guardHost(const char* what, const QString& host);
// The host part of an address ("https://a.b:8080/x" -> "a.b").
QString hostOfUrl(const QString& url);
} // namespace curl_detail

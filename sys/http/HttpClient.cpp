#include "sys/http/HttpClient.h"

#include <curl/curl.h>

#include <memory>

namespace sys {

namespace {

struct CurlFree {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

size_t appendBody(char* data, size_t size, size_t count, void* target) {
    auto& body = *static_cast<std::string*>(target);
    const size_t bytes = size * count;
    // Returning less than was given makes the transfer fail.
    if (body.size() + bytes > HttpClient::MAX_BODY) return 0;
    body.append(data, bytes);
    return bytes;
}

// Called by the library several times a second while it waits; non-zero ends the transfer.
int checkAbandoned(void* abandon, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return abandon && static_cast<const std::atomic<bool>*>(abandon)->load() ? 1 : 0;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

} // namespace

HttpClient::HttpClient(long connectTimeoutMs, long totalTimeoutMs)
    : m_connectTimeoutMs(connectTimeoutMs), m_totalTimeoutMs(totalTimeoutMs) {}

HttpClient::Response HttpClient::get(const std::string& host, uint16_t port, const std::string& target,
                                     const std::atomic<bool>* abandon) const {
    // The library's global set-up is not thread-safe; a function-local static is.
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    Response response;
    std::unique_ptr<CURL, CurlFree> curl(initialised == CURLE_OK ? curl_easy_init() : nullptr);
    if (!curl) {
        response.error = "the HTTP library could not be set up";
        return response;
    }
    const std::string url = "http://" + host + ":" + std::to_string(port) + "/" + target;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, m_connectTimeoutMs);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, m_totalTimeoutMs);
    // Time-outs by signal would hit whichever thread runs; the game has several.
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &response.body);
    if (abandon) {
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, checkAbandoned);
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(abandon));
        curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    }

    const CURLcode result = curl_easy_perform(curl.get());
    if (result != CURLE_OK) {
        response.body.clear();
        response.error = error[0] ? error : curl_easy_strerror(result);
        return response;
    }
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &response.status);
    response.received = true;
    return response;
}

std::string HttpClient::percentEncode(const std::string& text) {
    static const char HEX[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if (isUnreserved(c)) {
            encoded += char(c);
            continue;
        }
        encoded += '%';
        encoded += HEX[c >> 4];
        encoded += HEX[c & 15];
    }
    return encoded;
}

} // namespace sys

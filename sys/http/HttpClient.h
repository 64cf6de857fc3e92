#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace sys {

// Blocking HTTP GETs, each bounded by a connect and a total time-out, so a
// dead or silent server costs the caller at most that long.
class HttpClient {
public:
    // Longer bodies count as a broken reply: nothing the game asks for is that big.
    static constexpr size_t MAX_BODY = 65536;

    struct Response {
        // False: no connection, a time-out, or a broken or too long reply.
        bool received = false;
        long status = 0;
        std::string body;
        // Why nothing was received, for the log.
        std::string error;
    };

    HttpClient(long connectTimeoutMs, long totalTimeoutMs);

    // GET http://host:port/target; `target` is the path and query, already
    // percent-encoded, without the leading "/". Setting `abandon` from
    // another thread ends the request within a moment, as a failure.
    Response get(const std::string& host, uint16_t port, const std::string& target,
                 const std::atomic<bool>* abandon = nullptr) const;

    // Every byte but ASCII letters, digits and "-._~" as "%XX", so a text
    // travels unchanged inside a query.
    static std::string percentEncode(const std::string& text);

private:
    long m_connectTimeoutMs;
    long m_totalTimeoutMs;
};

} // namespace sys

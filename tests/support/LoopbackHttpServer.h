#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An HTTP server on 127.0.0.1 at a port of the system's choice, on a thread of
// its own: it takes one connection at a time, keeps each request's first line
// and answers with the set reply, or, when silent, holds the connection
// without a word until the client gives up.
class LoopbackHttpServer {
public:
    LoopbackHttpServer() {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(m_listener, 4) == 0 &&
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~LoopbackHttpServer() {
        m_stop = true;
        m_thread.join();
        close(m_listener);
    }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    uint16_t port() const { return m_port; }
    void reply(int status, const std::string& body) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_reply = "HTTP/1.1 " + std::to_string(status) + " Status\r\nContent-Length: " + std::to_string(body.size()) +
                  "\r\nConnection: close\r\n\r\n" + body;
        m_silent = false;
    }
    void keepSilent() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_silent = true;
    }
    // "GET /path?query HTTP/1.1" of each request so far.
    std::vector<std::string> requests() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

private:
    static constexpr int POLL_MS = 20;

    // Waits for `fd` to become readable while the server runs.
    bool readable(int fd) const {
        pollfd p{fd, POLLIN, 0};
        while (!m_stop)
            if (poll(&p, 1, POLL_MS) > 0) return true;
        return false;
    }

    void serve() {
        while (readable(m_listener)) {
            const int client = accept(m_listener, nullptr, nullptr);
            if (client < 0) continue;
            handle(client);
            close(client);
        }
    }

    void handle(int client) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 && readable(client)) {
            const ssize_t got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) return;
            request.append(buffer, size_t(got));
        }
        std::string reply;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request.substr(0, request.find("\r\n")));
            if (!m_silent) reply = m_reply;
        }
        if (reply.empty()) {
            // Silent: the client's time-out closes the connection.
            while (readable(client) && recv(client, buffer, sizeof buffer, 0) > 0) {
            }
            return;
        }
        send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
    }

    int m_listener = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::string m_reply = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    bool m_silent = false;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

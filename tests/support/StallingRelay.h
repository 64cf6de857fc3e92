#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// A TCP relay on a loopback port of the system's choice, on a thread of its
// own: every connection made to it is carried on to the target port, bytes
// both ways, a close passed on as a close. Once stalled it carries nothing
// more and closes nothing, as a router whose far side has vanished.
class StallingRelay {
public:
    explicit StallingRelay(uint16_t target) : m_target(target) {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(0);
        socklen_t length = sizeof address;
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(m_listener, 8) == 0 &&
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~StallingRelay() {
        m_stop = true;
        m_thread.join();
        for (const Pair& pair : m_pairs) {
            close(pair.near);
            close(pair.far);
        }
        close(m_listener);
    }
    StallingRelay(const StallingRelay&) = delete;
    StallingRelay& operator=(const StallingRelay&) = delete;

    uint16_t port() const { return m_port; }
    // Connections carried so far, open or closed.
    int carried() const { return m_carried; }
    void stall() { m_stalled = true; }

private:
    static constexpr int POLL_MS = 20;

    // The one who came and the target's side of it.
    struct Pair {
        int near, far;
    };

    static sockaddr_in loopback(uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }

    void serve() {
        while (!m_stop) {
            std::vector<pollfd> watched{{m_listener, POLLIN, 0}};
            if (!m_stalled)
                for (const Pair& pair : m_pairs) {
                    watched.push_back({pair.near, POLLIN, 0});
                    watched.push_back({pair.far, POLLIN, 0});
                }
            if (poll(watched.data(), watched.size(), POLL_MS) <= 0) continue;
            if (watched[0].revents & POLLIN) accept();
            for (size_t i = 1; i < watched.size(); ++i)
                if (watched[i].revents && !carry(watched[i].fd)) break;
        }
    }

    void accept() {
        const int near = ::accept(m_listener, nullptr, nullptr);
        if (near < 0) return;
        const int far = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in target = loopback(m_target);
        if (connect(far, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
            close(far);
            close(near);
            return;
        }
        m_pairs.push_back({near, far});
        ++m_carried;
    }

    // False when a pair ended, so that the poll list is built anew.
    bool carry(int from) {
        for (auto it = m_pairs.begin(); it != m_pairs.end(); ++it) {
            if (it->near != from && it->far != from) continue;
            const int to = from == it->near ? it->far : it->near;
            uint8_t buffer[65536];
            const ssize_t n = recv(from, buffer, sizeof buffer, 0);
            if (n > 0 && sendAll(to, buffer, size_t(n))) return true;
            close(it->near);
            close(it->far);
            m_pairs.erase(it);
            return false;
        }
        return true;
    }

    static bool sendAll(int to, const uint8_t* data, size_t length) {
        while (length > 0) {
            const ssize_t n = send(to, data, length, MSG_NOSIGNAL);
            if (n <= 0) return false;
            data += n;
            length -= size_t(n);
        }
        return true;
    }

    uint16_t m_target;
    int m_listener = -1;
    uint16_t m_port = 0;
    std::vector<Pair> m_pairs; // the relay's thread only
    std::atomic<int> m_carried{0};
    std::atomic<bool> m_stalled{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

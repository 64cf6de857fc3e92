#pragma once
#include <atomic>
#include <cstdint>

#include "net/Net.h"

// An outgoing TCP connection. A client may connect again once its last
// connection ended.
class NetClient : public Net {
public:
    static constexpr uint32_t FLAG_RECEIVE_THREAD = 1;
    static constexpr uint32_t FLAG_NO_DELAY = 2;
    // Name lookup and TCP connect together give up after this long.
    static constexpr uint32_t CONNECT_TIMEOUT_MS = 5000;

    NetClient();
    ~NetClient() override;

    // host is a name or a dotted address; false when it cannot be reached
    // within CONNECT_TIMEOUT_MS, or soon after `abandon` is set from another thread.
    bool connect(const char* host, uint16_t port, uint32_t flags, const std::atomic<bool>* abandon = nullptr);
    virtual void onConnect();
};

#pragma once
#include <cstdint>

#include "net/Net.h"

// One accepted connection with its own receive thread. Its server owns it and
// reaps it once the thread has ended.
class NetServerConnection : public Net {
public:
    explicit NetServerConnection(int socket);
    ~NetServerConnection() override;

    // peer: the IPv4 address in network byte order.
    virtual void onConnect(uint32_t peer);

    void start() { startReceiveThread(); }
    // Wakes the receive thread; the connection then ends on that thread.
    void drop();
    void close() { closeConnection(); }
    bool isFinished() const { return isReceiveThreadDone(); }
    bool send(const uint8_t* data, size_t length);
};

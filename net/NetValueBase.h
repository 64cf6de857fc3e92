#pragma once
#include <cstdint>
#include <string>

// A member kept in step between the players. The network client sends it when
// it changed and hands a received copy over to the owner at the next commit.
class NetValueBase {
public:
    static constexpr uint32_t FLAG_RECEIVE = 1; // take values from the network
    static constexpr uint32_t FLAG_SEND = 2;    // send local changes

    virtual const uint8_t* data() const = 0;
    virtual uint32_t size() const = 0;
    virtual bool isChanged() const = 0;
    // Receive thread, under the client's lock: at most size() bytes are taken.
    virtual void setData(const uint8_t* bytes, uint32_t count) = 0;
    // Main thread, under the client's lock: clears the marks, applies a received copy.
    virtual void commit() = 0;
    virtual int32_t getNid() const = 0;
    virtual uint32_t getFlags() const = 0;
    virtual void setFlags(uint32_t flags) = 0;
    virtual const std::string& getName() const = 0;
    virtual void setName(const std::string& name) = 0;

protected:
    // Values are owned and destroyed as their own type, never through the base.
    ~NetValueBase() = default;
};

#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <type_traits>

// What a peer sent that was not taken. The first of each kind goes into the
// log whole, the rest are counted and told in one line when the peer is done
// or a minute has passed: no peer can push the log past its earlier lines.
// Connections are the exception: the first few of every minute are told.
// Not locked: its owner calls it under its own lock.
class RefusalLog {
public:
    enum Kind : int {
        UNKNOWN_VALUE, // an id no value of this game holds
        WRONG_SIZE,    // a value of another size than its own
        NOT_OWNER,     // a value of a rider or setting another computer owns
        NO_HELLO,      // a chunk before the lobby let the connection in
        MALFORMED,     // a length no chunk can have
        FLOOD,         // chunks past the rate any game sends
        CONNECTION,    // a connection accepted
        KINDS
    };
    static constexpr std::chrono::seconds COUNT_INTERVAL{60};
    static constexpr uint32_t CONNECTIONS_TOLD = 20;

    // `peer` names the other side in the count lines.
    explicit RefusalLog(std::string peer = std::string());
    void setPeer(std::string peer) { m_peer = std::move(peer); }

    // `line` (a text, or what makes it) is logged when it is the first of its
    // kind; a refusal only counted makes no line, so a flood costs a count each.
    template <typename Line>
    void refuse(Kind kind, const Line& line) {
        if (!count(kind)) return;
        if constexpr (std::is_invocable_v<const Line&>)
            tell(line());
        else
            tell(line);
    }
    // The counts not yet told, in one line; none when nothing was counted.
    void flush();

private:
    // False when the refusal is only counted.
    bool count(Kind kind);
    static void tell(const std::string& line);

    std::string m_peer;
    std::array<uint32_t, KINDS> m_told{};
    std::array<uint64_t, KINDS> m_counted{};
    std::chrono::steady_clock::time_point m_since = std::chrono::steady_clock::now();
};

#pragma once
#include <cstdint>
#include <vector>

// What the game tells its lobby server of the values it relays: which
// computer alone may send each, and the record through which every lobby
// shows a player.
class ValueOwners {
public:
    // A value every player may write, or an id the game holds no value for.
    static constexpr int32_t ANY_PLAYER = -1;

    virtual ~ValueOwners() = default;
    // The rider slot whose computer alone sends the value: the player in that
    // slot, or the host while the slot holds none (it rides the computer
    // rider there); the game's settings are slot 0's. Else ANY_PLAYER.
    virtual int32_t ownerOf(uint16_t nid) const = 0;
    // The byte size of the value; 0 for an id the game holds no value for.
    virtual uint32_t sizeOf(uint16_t nid) const = 0;
    // The nid of a slot's player record.
    virtual uint16_t recordOf(int32_t slot) const = 0;
    // The record the others see while a player that holds the slot has yet
    // to send its own; its size is the record's.
    virtual std::vector<uint8_t> joiningRecord() const = 0;
    // The record of a free slot.
    virtual std::vector<uint8_t> emptyRecord() const = 0;
};

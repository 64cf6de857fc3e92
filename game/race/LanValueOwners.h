#pragma once
#include "net/ValueOwners.h"

// Who may send what in a LAN game: the host its mode, laps and track, each
// player its own record, and each rider's state the computer that rides it
// (the hits other computers score on a rider excepted).
class LanValueOwners : public ValueOwners {
public:
    int32_t ownerOf(uint16_t nid) const override;
    uint32_t sizeOf(uint16_t nid) const override;
    uint16_t recordOf(int32_t slot) const override;
    // No moped yet, and "..." for a name.
    std::vector<uint8_t> joiningRecord() const override;
    std::vector<uint8_t> emptyRecord() const override;
};

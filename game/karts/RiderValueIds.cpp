#include "game/karts/RiderValueIds.h"

namespace RiderValueIds {

namespace {

constexpr int32_t MOTION = MOTION_TRACKS;
constexpr int32_t SOAP = SOAP_SLOTS;

// In the order of Id.
constexpr Member MEMBER_TABLE[MEMBERS] = {
    {32, 1, 12, false}, {39, 1, 12, false}, {46, 1, 4, false}, {53, 1, 4, false},
    {74, 1, 4, false}, {88, 1, 4, false}, {95, 1, 4, false}, {102, 1, 1, false},
    {221, 1, 12, false}, {151, 1, 4, false}, {1236, 1, 64, false}, {144, 1, 1, false},
    {270, MOTION, 4, false}, {550, MOTION, 4, false}, {830, MOTION, 4, false}, {1110, 1, 12, false},
    {1138, 1, 4, true}, {1145, 1, 4, false}, {1418, 1, 4, false}, {1215, 1, 4, false},
    {1453, 1, 4, true}, {1152, 1, 12, false}, {1159, 1, 4, false}, {1166, 1, 4, false},
    {1117, 1, 4, false}, {1124, 1, 4, false}, {1131, 1, 12, false}, {1173, 1, 1, false},
    {1208, 1, 4, true}, {1229, 1, 4, false}, {1222, 1, 4, false}, {1243, 1, 4, false},
    {1439, 1, 12, false}, {1446, 1, 4, false}, {1250, 1, 12, true}, {1257, 1, 4, false},
    {1264, 1, 4, false}, {1271, 1, 12, false}, {1278, 1, 4, false}, {1285, 1, 4, false},
    {1411, 1, 4, false}, {1313, 1, 4, false}, {1320, 1, 12, false}, {1327, 1, 4, false},
    {1334, 1, 4, false}, {1404, 1, 4, false}, {1292, 1, 4, false}, {1299, 1, 12, false},
    {1306, 1, 4, false}, {1425, 1, 64, false}, {1432, 1, 12, false}, {1341, SOAP, 4, false},
    {1362, SOAP, 12, false}, {1383, SOAP, 4, false},
};

const Member* memberHolding(int32_t nid) {
    for (const Member& m : MEMBER_TABLE)
        if (nid >= m.base && nid < m.base + m.width * RIDERS) return &m;
    return nullptr;
}

} // namespace

const Member& member(Id id) { return MEMBER_TABLE[id]; }

int32_t nidOf(Id id, int32_t rider) { return MEMBER_TABLE[id].base + MEMBER_TABLE[id].width * rider; }

int32_t riderOf(int32_t nid) {
    const Member* m = memberHolding(nid);
    return m ? (nid - m->base) / m->width : -1;
}

uint32_t sizeOf(int32_t nid) {
    const Member* m = memberHolding(nid);
    return m ? m->size : 0;
}

bool othersWrite(int32_t nid) {
    const Member* m = memberHolding(nid);
    return m && m->othersWrite;
}

} // namespace RiderValueIds

#include "tools/lightwave/Lwo2Dump.h"

#include <cstdio>

namespace {

uint32_t readBig(const std::vector<uint8_t>& d, size_t at, int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) v = (v << 8) | d[at + i];
    return v;
}

std::string idAt(const std::vector<uint8_t>& d, size_t at) {
    std::string id;
    for (size_t i = at; i < at + 4; ++i) id.push_back(d[i] >= 32 && d[i] < 127 ? static_cast<char>(d[i]) : '?');
    return id;
}

// Bytes a chunk of this id carries before its sub-chunks, or -1 when it has none.
long leadIn(const std::string& parent, const std::vector<uint8_t>& d, size_t at, size_t end) {
    if (parent == "ENVL") return 2;
    if (parent == "CLIP") return 4;
    if (parent == "SURF") {
        size_t p = at;
        for (int s = 0; s < 2; ++s) {
            while (p + 1 < end && d[p + 1] != 0) p += 2;
            p += 2;
        }
        return static_cast<long>(p - at);
    }
    if (parent == "BLOK") return 0;
    if (parent == "IMAP" || parent == "PROC" || parent == "GRAD" || parent == "vcol") {
        size_t p = at;
        while (p + 1 < end && d[p + 1] != 0) p += 2;
        return static_cast<long>(p + 2 - at);
    }
    if (parent == "TMAP") return 0;
    return -1;
}

void walk(const std::vector<uint8_t>& d, size_t at, size_t end, int sizeBytes, int depth, std::string& out) {
    const size_t header = 4 + sizeBytes;
    // Each step advances by at least the header, so the walk ends.
    while (at + header <= end) {
        std::string id = idAt(d, at);
        uint32_t size = readBig(d, at + 4, sizeBytes);
        char line[96];
        std::snprintf(line, sizeof line, "%*s%08zx %s %u%s\n", depth * 2, "", at, id.c_str(), size,
                      at + header + size > end ? " (past the end)" : "");
        out += line;
        size_t body = at + header;
        if (body + size > end) return;
        long lead = leadIn(id, d, body, body + size);
        if (lead >= 0 && static_cast<size_t>(lead) <= size)
            walk(d, body + lead, body + size, 2, depth + 1, out);
        at = body + size + (size % 2);
    }
}

} // namespace

std::string dumpLwo2(const std::vector<uint8_t>& file) {
    if (file.size() < 12) return "too short for an IFF form\n";
    std::string out;
    char line[96];
    std::snprintf(line, sizeof line, "%s %u %s\n", idAt(file, 0).c_str(), readBig(file, 4, 4), idAt(file, 8).c_str());
    out += line;
    walk(file, 12, file.size(), 4, 1, out);
    return out;
}

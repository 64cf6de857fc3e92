#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"
#include "engine/platform/images/ImageLoaders.h"

namespace {

int16_t s16(const uint8_t* p) { return static_cast<int16_t>(p[0] | p[1] << 8); }

} // namespace

bool loadPCX(const char* name, File* file, PcxImage* record) {
    if (!file->open(name)) return false;
    const uint32_t size = file->getSize();
    uint8_t header[128];
    bool ok = size >= sizeof header && file->read(header, sizeof header) == static_cast<int32_t>(sizeof header);
    const int32_t rows = ok ? s16(header + 10) - s16(header + 6) + 1 : 0;
    const int32_t bytesPerLine = ok ? s16(header + 66) : 0;
    if (!ok || rows <= 0 || bytesPerLine <= 0 || rows > Image::MAX_SIDE || bytesPerLine > Image::MAX_SIDE) {
        reportError("loadPCX: Wrong PCX file\n");
        file->close();
        return false;
    }
    const uint32_t count = static_cast<uint32_t>(rows) * static_cast<uint32_t>(bytesPerLine);

    std::vector<uint8_t> data(size - sizeof header);
    const uint32_t have = file->readFully(data.data(), static_cast<uint32_t>(data.size()));
    file->close();

    // Pixels the data does not reach stay 0.
    auto* pixels = static_cast<uint8_t*>(std::calloc(count, 1));
    if (!pixels) return false;
    uint32_t in = 0, out = 0;
    while (out < count && in < have) {
        uint8_t b = data[in++];
        if ((b & 0xC0) != 0xC0) {
            pixels[out++] = b;
            continue;
        }
        if (in >= have) break;
        uint8_t value = data[in++];
        for (uint32_t run = b & 0x3Fu; run > 0 && out < count; --run) pixels[out++] = value;
    }
    std::memcpy(record->header, header, sizeof header);
    if (in < have && data[in] == 0x0C && have - in - 1 >= sizeof record->palette)
        std::memcpy(record->palette, data.data() + in + 1, sizeof record->palette);
    record->pixels = pixels;
    return true;
}

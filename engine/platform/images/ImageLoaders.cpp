#include "engine/platform/images/ImageLoaders.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/platform/archive/File.h"

FileData* loadFileData(const char* name, File* file) {
    if (!name || !file || !file->exists(name)) return nullptr;
    std::unique_ptr<File> clone(file->clone());
    if (!clone->open(name)) return nullptr;
    const uint32_t size = clone->getSize();
    const size_t padded = (static_cast<size_t>(size) + 3) & ~size_t(3);
    // The read fills all but the padding; clearing the whole block first was a pass for nothing.
    auto* bytes = static_cast<uint8_t*>(std::malloc(padded ? padded : 1));
    if (!bytes) return nullptr;
    std::memset(bytes + size, 0, padded - size);
    uint32_t done = clone->readFully(bytes, size);
    clone->close();
    if (done < size) {
        std::free(bytes);
        return nullptr;
    }
    auto* data = new FileData(name);
    data->setData(bytes, size);
    return data;
}

Image* loadImage(const char* name, File* file, bool bottomUp) {
    if (!name || !file || !file->exists(name)) return nullptr;
    size_t length = std::strlen(name);
    if (length < 3) return nullptr;
    const char* ending = name + length - 3;
    std::unique_ptr<File> clone(file->clone());
    if (strcasecmp(ending, "bmp") == 0) return loadBMP(name, clone.get(), bottomUp);
    if (strcasecmp(ending, "jpg") == 0) return loadJPEG(clone.get(), name, bottomUp);
    return nullptr;
}

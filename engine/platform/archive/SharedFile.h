#pragma once
#include <memory>

#include "engine/platform/RefCounted.h"

class File;

// A counted holder of a private clone of a file, so textures that load late
// read through a stream of their own. The maker holds the first count.
class SharedFile : public RefCounted {
public:
    explicit SharedFile(File& file);
    ~SharedFile() override;

    File* getFile() const { return m_file.get(); }

private:
    std::unique_ptr<File> m_file;
};

// The file source image textures share when they are given the file it was made from.
struct TextureFileSource {
    SharedFile* m_holder = nullptr;
    File* m_file = nullptr;
};
extern TextureFileSource g_textureFileSource;

// Lets go of the current source; with a file, a new holder over a clone of it.
void setTextureFileSource(File* file);

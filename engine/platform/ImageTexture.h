#pragma once
#include "engine/platform/Texture.h"

class File;
class SharedFile;

// A texture read from a picture file, or from its finished ".dds" copy: the
// first build writes that copy to disk so that later runs load it directly.
class ImageTexture : public Texture {
public:
    explicit ImageTexture(DeviceList* owner);
    ImageTexture(const ImageTexture& other);
    ~ImageTexture() override;

    // Names the picture and the file it is read through; true when it or its ".dds" exists.
    bool setSource(const char* name, File* file, bool bottomUp);

    Texture* clone() override;
    // Builds once; a failed build is not retried.
    void load() override;
    int32_t typeId() const override { return IMAGE; }
    Image* loadSourceImage() override;

    SharedFile* getFileSource() const { return m_fileSource; }
    bool getBottomUp() const { return m_bottomUp; }
    bool getDdsExists() const { return m_ddsExists; }

    // Where the ".dds" copy of a picture goes on disk: the name behind its drive, against the working directory.
    static std::string cachePath(const std::string& name);

private:
    bool loadFromDds();
    void loadFromImage();
    void writeCache();
    // Drops top mip levels for the size shift and the device's largest side, and the
    // chain below level 0 when none is wanted; true when the texture changed.
    bool shrinkToDevice();

    SharedFile* m_fileSource = nullptr;
    bool m_bottomUp = true;
    bool m_ddsExists = false;
};

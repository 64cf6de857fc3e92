#pragma once
#include <optional>

#include "engine/platform/images/Texture.h"

class ByteBuffer;
class File;
class FileData;
class SharedFile;
struct TextureCopyRecord;

// A texture read from a picture file, or from its finished ".dds" copy: one that
// comes with the pictures, or one the first build wrote to the user's cache
// folder, which later runs load directly while the picture is what it was made from.
class ImageTexture : public Texture {
public:
    explicit ImageTexture(DeviceList* owner);
    ImageTexture(const ImageTexture& other);
    ~ImageTexture() override;

    // Names the picture and the file it is read through; true when it or its ".dds" exists.
    bool setSource(const char* name, File* file, bool bottomUp);

    std::unique_ptr<Texture> clone() override;
    // Builds once; a failed build is not retried.
    void load() override;
    int32_t typeId() const override { return IMAGE; }
    Image* loadSourceImage() override;

    SharedFile* getFileSource() const { return m_fileSource; }
    bool getBottomUp() const { return m_bottomUp; }
    bool getDdsExists() const { return m_ddsExists; }

    // $XDG_CACHE_HOME/plimzor2, else ~/.cache/plimzor2.
    static std::string cacheFolder();
    // Where the ".dds" copy of a picture goes: the name behind its drive, below the cache folder.
    static std::string cachePath(const std::string& name);

private:
    // Takes the bytes and lets go of them.
    bool loadFromDds(Ref<FileData> data);
    // The copy in the cache when it was made from the pictures as they are: known by the stored
    // hash in the record, without unpacking them, else by a record of their bytes, made then
    // (`recorded` says whether it could be).
    bool loadCachedCopy(TextureCopyRecord& record, std::optional<bool>& recorded);
    void loadFromImage(const TextureCopyRecord* record);
    void writeCache(const TextureCopyRecord* record);
    // Written aside and renamed into the cache.
    void storeCopy(const std::vector<uint8_t>& bytes) const;
    // The picture as the archive stores it; false when it is not read from an archive.
    bool readStored(ByteBuffer& bytes) const;
    // The stored hash of the picture and its alpha picture; false (and none) when either is not stored.
    bool hashStoredPictures(TextureCopyRecord& record) const;
    // What the pictures are now: the picture's bytes and those of an alpha picture.
    bool makeRecord(TextureCopyRecord& record) const;
    Ref<FileData> loadSourceBytes() const;
    // Drops top mip levels for the size shift and the device's largest side, and the
    // chain below level 0 when none is wanted; true when the texture changed.
    bool shrinkToDevice();

    Ref<SharedFile> m_fileSource;
    bool m_bottomUp = true;
    bool m_ddsExists = false;
};

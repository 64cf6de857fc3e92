#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Ref.h"
#include "engine/platform/animation/AnimatedValue.h"
#include "engine/platform/images/TextureImaging.h"

class DeviceList;
class Image;

namespace sys::gfx {
class Device;
class Surface;
class Texture;
} // namespace sys::gfx

// The engine's one texture type: one device texture per device of the
// renderer, all built on the first device and copied to the others.
class Texture {
public:
    // Flag bits as the loaders set them.
    static constexpr uint32_t SCRATCH_BUILD = textureimaging::SCRATCH_BUILD;
    static constexpr uint32_t MIP_CHAIN = textureimaging::MIP_CHAIN;
    static constexpr uint32_t NEEDS_COLOUR = textureimaging::NEEDS_COLOUR;
    static constexpr uint32_t TRANSPARENCY_MAP = textureimaging::TRANSPARENCY_MAP;
    static constexpr uint32_t NORMAL_MAP = textureimaging::NORMAL_MAP;
    static constexpr uint32_t KEEP_SIZE = textureimaging::KEEP_SIZE;
    static constexpr uint32_t DYNAMIC = textureimaging::DYNAMIC;
    static constexpr uint32_t NEVER_SHIFTED = textureimaging::NEVER_SHIFTED;
    static constexpr uint32_t ONE_BIT_ALPHA = textureimaging::ONE_BIT_ALPHA;

    enum TypeId { IMAGE = 0, GRADIENT = 1, SEQUENCE = 2, GENERATED = 3 };

    Texture(DeviceList* owner, uint32_t flags);
    // Takes the settings and a deep copy of the adjustment envelopes, no device textures.
    Texture(const Texture& other);
    Texture& operator=(const Texture&) = delete;
    virtual ~Texture();

    virtual std::unique_ptr<Texture> clone() = 0;
    virtual void load() = 0;
    // The texture to bind on the owner's current device; the time picks a sequence's frame.
    virtual sys::gfx::Texture* getTexture(double time);
    virtual int32_t typeId() const = 0;
    virtual void setFlags(uint32_t flags);
    // Level 0 of the first device's texture (one count for the caller), for dynamic textures only.
    virtual sys::gfx::Surface* getRenderSurface();
    virtual void onResetDevice() {}
    virtual void onLostDevice() {}
    // The picture the texture is built from; the caller releases it. Null for kinds without one.
    virtual Image* loadSourceImage();
    // The first device's texture.
    virtual sys::gfx::Texture* getD3DTexture();

    void preload();

    // Makes the working texture on the first device (scratch pool once when that fails),
    // releasing one an earlier build left.
    void create(uint32_t flags, uint32_t width, uint32_t height, const std::string& name);
    // Format (for scratch builds, by capability scoring) and pool from the flags.
    void chooseFormat();
    // Finishes a filled level 0: mips, normal map, conversion, the other devices.
    void commit();
    void copyToOtherDevices();
    void buildNormalMap();

    uint32_t getFlags() const { return m_flags; }
    const std::string& getName() const { return m_name; }

    DeviceList* m_owner;
    std::string m_name;
    // Supplies the transparency of this texture from its source picture; not owned.
    Texture* m_alphaTexture = nullptr;
    // 0 keep the picture's alpha, 1 force opaque, 2 show the alpha as grey.
    int32_t m_alphaMode = 0;
    float m_frameRate = 0.0f;
    float m_heightScale = 1.0f;
    // Stored only; nothing applies them to texels. The texture owns their channels.
    AnimatedValue m_hue, m_brightness, m_contrast, m_saturation, m_gamma;
    int32_t m_sequenceMode = 0;
    bool m_loaded = false;
    uint32_t m_width = 0, m_height = 0, m_depth = 0;
    uint32_t m_format;
    uint32_t m_pool;
    uint32_t m_levelCount = 0;
    // One per device of the owner at construction: what this object created, and what it hands out.
    std::vector<Ref<sys::gfx::Texture>> m_ownedTextures;
    std::vector<sys::gfx::Texture*> m_boundTextures;

protected:
    uint32_t m_flags;
    sys::gfx::Device* firstDevice() const;
    // Makes the texture of device 0 the given one, releasing the old.
    void adoptFirstTexture(Ref<sys::gfx::Texture> texture);
    // Copies level first + k of one texture into level k of the other, for every level of the other.
    static void copyLevels(sys::gfx::Texture& from, uint32_t first, sys::gfx::Texture& to);
    // Releases every device texture this object made.
    void releaseDeviceTextures();

private:
    void filterTransparencyMips();
    void convertScratchTexture();
};

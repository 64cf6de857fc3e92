#include "engine/scene/loaders/LWO2SurfaceReader.h"

#include "engine/platform/Report.h"
#include "engine/platform/animation/Envelope.h"
#include "engine/platform/images/GradientTexture.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/LWO2Reader.h"
#include "engine/scene/loaders/LWO2State.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/ColorMap.h"
#include "engine/scene/mesh/UVMap.h"

namespace {

constexpr uint32_t ID_TRAN = lwoId("TRAN");
constexpr uint32_t ID_BUMP = lwoId("BUMP");
constexpr uint32_t ID_VCOL_KIND = lwoId("vcol");

bool isColourMapType(uint32_t type) { return type == lwoId("RGB ") || type == lwoId("RGBA") || type == lwoId("max "); }

void orFlags(Texture& texture, uint32_t set, uint32_t clear = 0) {
    texture.setFlags((texture.getFlags() | set) & ~clear);
}

} // namespace

bool LWO2SurfaceReader::read(uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    std::string name, source;
    reader.readS0(name, end);
    reader.readS0(source, end);
    std::string key = m_state.surfaceKey(name);
    Surface* surface = m_state.m_pool->findSurface(key);
    if (!surface) {
        reportError(formatString("surface %s not found in %s!\n", key.c_str(), m_state.m_objectName.c_str()).text());
        return false;
    }
    if (surface->m_loaded) return true;
    surface->setSourceName(source);
    while (reader.position() + 6 <= end) {
        uint32_t id = reader.readID4();
        uint32_t subEnd = reader.endOf(reader.readU2(), end);
        readSubChunk(*surface, id, subEnd);
        reader.seek(subEnd);
    }
    // The blocks stay in file order, which LightWave writes by ordinal.
    surface->m_loaded = true;
    return true;
}

void LWO2SurfaceReader::readSubChunk(Surface& surface, uint32_t id, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    switch (id) {
    case lwoId("COLR"): {
        for (AnimatedValue& c : surface.m_colour) c.constant = reader.readF4();
        uint32_t envelope = reader.readU2();
        if (envelope == 0) return;
        for (uint32_t i = 0; i < 3; ++i) {
            surface.m_colour[i].clearChannel();
            surface.m_colour[i].channel = m_state.copyEnvelope(envelope + i);
        }
        return;
    }
    case lwoId("DIFF"): m_state.readValue(surface.m_diffuse); return;
    case lwoId("LUMI"): m_state.readValue(surface.m_luminosity); return;
    case lwoId("SPEC"): m_state.readValue(surface.m_specularity); return;
    case lwoId("GLOS"): m_state.readValue(surface.m_glossiness); return;
    case lwoId("REFL"): m_state.readValue(surface.m_reflectivity); return;
    case lwoId("RIND"): m_state.readValue(surface.m_refractiveIndex); return;
    case lwoId("CLRH"): m_state.readValue(surface.m_colourHighlights); return;
    case lwoId("BUMP"): m_state.readValue(surface.m_bump); return;
    case lwoId("TRAN"):
        if (m_state.readValue(surface.m_transparency) || surface.m_transparency.constant != 0.0f) surface.m_blended = true;
        return;
    case lwoId("ADTR"):
        if (m_state.readValue(surface.m_additiveTransparency) || surface.m_additiveTransparency.constant != 0.0f)
            surface.m_blended = true;
        return;
    case lwoId("SMAN"): surface.setSmoothingAngle(reader.readF4()); return;
    case lwoId("SIDE"): surface.m_doubleSided = (reader.readU2() & 3) == 3; return;
    case lwoId("RFOP"): {
        uint32_t options = reader.readU2();
        if (options == 0) surface.m_blended = true;
        surface.m_reflectionMode = options == 3 ? 1 : static_cast<int32_t>(options);
        return;
    }
    case lwoId("RIMG"): {
        Texture* image = m_state.texture(reader.readU2());
        surface.m_reflectionImage = image;
        if (image) orFlags(*image, Texture::NEEDS_COLOUR);
        return;
    }
    case lwoId("back"): {
        std::string name;
        reader.readS0(name, end);
        int32_t index = m_state.tableSurface(name);
        if (index >= 0) surface.m_backSurfaceTag = index;
        return;
    }
    case lwoId("VCOL"): readVertexColours(surface, end); return;
    case lwoId("BLOK"): readBlock(surface, end); return;
    default: return;
    }
}

void LWO2SurfaceReader::collectMaps(std::vector<Ref<VertexMap>>& maps, const std::string& name, bool uvMaps) {
    maps.assign(static_cast<size_t>(m_state.m_highestLayerNumber + 1), nullptr);
    for (const std::unique_ptr<LWOLayer>& layer : m_state.m_layers) {
        Ref<VertexMap>& entry = maps[layer->m_number];
        // A repeated layer number keeps the first layer's map.
        if (entry) continue;
        entry = Ref<VertexMap>::share(uvMaps ? static_cast<VertexMap*>(layer->findUVMap(name)) : layer->findColorMap(name));
    }
}

void LWO2SurfaceReader::readVertexColours(Surface& surface, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    auto layer = std::make_unique<TextureLayer>();
    layer->m_kind = TextureLayer::KIND_VERTEX_COLOUR;
    layer->m_channel = TextureLayer::CHANNEL_COLR;
    layer->m_enabled = true;
    m_state.readValue(layer->m_opacity);
    uint32_t type = reader.readID4();
    std::string name;
    reader.readS0(name, end);
    if (isColourMapType(type)) collectMaps(layer->m_colourMaps, name, false);
    surface.addTextureLayer(std::move(layer));
}

void LWO2SurfaceReader::readBlock(Surface& surface, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    auto layer = std::make_unique<TextureLayer>();
    while (reader.position() + 6 <= end) {
        uint32_t id = reader.readID4();
        uint32_t entryEnd = reader.endOf(reader.readU2(), end);
        readBlockEntry(*layer, id, entryEnd);
        reader.seek(entryEnd);
    }
    finishBlock(surface, *layer);
    surface.addTextureLayer(std::move(layer));
}

void LWO2SurfaceReader::readBlockEntry(TextureLayer& layer, uint32_t id, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    switch (id) {
    case lwoId("IMAP"):
    case lwoId("PROC"):
    case lwoId("GRAD"):
    case lwoId("vcol"): readBlockHeader(layer, id, end); return;
    case lwoId("TMAP"): readTextureMap(layer, end); return;
    case lwoId("PROJ"): layer.m_projection = reader.readU2(); return;
    case lwoId("AXIS"): layer.m_axis = reader.readU2(); return;
    case lwoId("IMAG"): layer.m_texture = m_state.texture(reader.readU2()); return;
    case lwoId("WRAP"): readWrap(layer); return;
    case lwoId("WRPW"): layer.m_wrapWidth = reader.readF4(); return;
    case lwoId("WRPH"): layer.m_wrapHeight = reader.readF4(); return;
    case lwoId("AAST"):
        if (reader.readU2() == 0) return;
        layer.m_antialiasing = true;
        layer.setAntialiasStrength(reader.readF4());
        return;
    case lwoId("PIXB"): layer.m_pixelBlending = reader.readU2() != 0; return;
    case lwoId("TAMP"): m_state.readValue(layer.m_amplitude); return;
    case lwoId("VMAP"): {
        std::string name;
        reader.readS0(name, end);
        if (layer.m_kind == ID_VCOL_KIND)
            collectMaps(layer.m_colourMaps, name, false);
        else
            collectMaps(layer.m_uvMaps, name, true);
        return;
    }
    case lwoId("FKEY"):
        while (reader.position() + 20 <= end) {
            TextureLayer::GradientKey key;
            key.input = reader.readF4();
            for (float& v : key.output) v = reader.readF4();
            layer.m_gradientKeys.push_back(key);
        }
        return;
    case lwoId("IKEY"):
        // As many as both the entry and the keys read so far hold.
        for (TextureLayer::GradientKey& key : layer.m_gradientKeys) {
            if (reader.position() + 2 > end) return;
            key.interpolation = reader.readU2();
        }
        return;
    case lwoId("GRST"): layer.m_gradientStart = reader.readF4(); return;
    case lwoId("GREN"): layer.m_gradientEnd = reader.readF4(); return;
    case lwoId("PNAM"): {
        std::string name;
        reader.readS0(name, end);
        int32_t input = TextureLayer::findGradientInput(name);
        if (input >= 0) layer.m_gradientInput = input;
        return;
    }
    default: return;
    }
}

void LWO2SurfaceReader::readBlockHeader(TextureLayer& layer, uint32_t kind, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    layer.m_kind = kind;
    std::string ordinal;
    reader.readS0(ordinal, end);
    layer.m_ordinal = ordinal.empty() ? 0 : static_cast<uint8_t>(ordinal[0]);
    while (reader.position() + 6 <= end) {
        uint32_t id = reader.readID4();
        uint32_t entryEnd = reader.endOf(reader.readU2(), end);
        switch (id) {
        case lwoId("CHAN"): layer.m_channel = reader.readID4(); break;
        case lwoId("ENAB"): layer.m_enabled = reader.readU2() != 0; break;
        case lwoId("NEGA"): layer.m_negative = reader.readU2() != 0; break;
        case lwoId("OPAC"):
            layer.m_opacityType = reader.readU2();
            m_state.readValue(layer.m_opacity);
            break;
        case lwoId("rgbl"): layer.m_rgbLevel = reader.readF4(); break;
        case lwoId("rgbo"): layer.m_rgbOffset = reader.readF4(); break;
        case lwoId("clmp"): layer.m_clamp = reader.readU2() != 0; break;
        default: break;
        }
        reader.seek(entryEnd);
    }
}

void LWO2SurfaceReader::readTextureMap(TextureLayer& layer, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    while (reader.position() + 6 <= end) {
        uint32_t id = reader.readID4();
        uint32_t entryEnd = reader.endOf(reader.readU2(), end);
        switch (id) {
        case lwoId("CNTR"): readTextureVector(layer.m_centre); break;
        case lwoId("SIZE"): readTextureVector(layer.m_size); break;
        case lwoId("ROTA"): readTextureVector(layer.m_rotation); break;
        case lwoId("m4x3"):
            layer.m_matrix = Matrix4x3::identity();
            for (int row = 0; row < 4; ++row)
                for (int col = 0; col < 3; ++col) layer.m_matrix.at(row, col) = reader.readF4();
            layer.m_matrixValid = true;
            break;
        default: break;
        }
        reader.seek(entryEnd);
    }
}

void LWO2SurfaceReader::readTextureVector(AnimatedValue* values) {
    LWO2Reader& reader = m_state.m_reader;
    for (int i = 0; i < 3; ++i) values[i].constant = reader.readF4();
    if (reader.readU2() == 0) return;
    for (int i = 0; i < 3; ++i) {
        values[i].clearChannel();
        values[i].channel = m_state.copyEnvelope(reader.readU2());
    }
}

int32_t LWO2SurfaceReader::addressMode(uint32_t wrap, uint32_t caps) {
    int32_t mirror = caps & 2 ? TextureLayer::ADDRESS_MIRROR : TextureLayer::ADDRESS_WRAP;
    int32_t clamp = caps & 4 ? TextureLayer::ADDRESS_CLAMP : TextureLayer::ADDRESS_WRAP;
    int32_t border = caps & 8 ? TextureLayer::ADDRESS_BORDER : clamp;
    switch (wrap) {
    case 0: return border;
    case 1: return TextureLayer::ADDRESS_WRAP;
    case 2: return mirror;
    case 3: return clamp;
    default: return static_cast<int32_t>(wrap);
    }
}

void LWO2SurfaceReader::readWrap(TextureLayer& layer) {
    uint32_t caps = m_state.m_textureAddressCaps;
    uint32_t width = m_state.m_reader.readU2();
    uint32_t height = m_state.m_reader.readU2();
    layer.m_addressV = addressMode(height, caps);
    layer.m_addressU = caps & 0x10 ? addressMode(width, caps) : layer.m_addressV;
    if (layer.m_projection == TextureLayer::PROJECT_SPHERICAL) layer.m_addressV = TextureLayer::ADDRESS_WRAP;
    if (layer.m_projection == TextureLayer::PROJECT_SPHERICAL || layer.m_projection == TextureLayer::PROJECT_CYLINDRICAL)
        layer.m_addressU = TextureLayer::ADDRESS_WRAP;
    if (layer.m_texture && (layer.m_texture->getFlags() & Texture::KEEP_SIZE))
        layer.m_addressU = layer.m_addressV = TextureLayer::ADDRESS_CLAMP;
}

void LWO2SurfaceReader::finishBlock(Surface& surface, TextureLayer& layer) {
    // A disabled layer is dropped at once, so a gradient made for it would
    // read a layer that is gone.
    if (layer.m_kind == TextureLayer::KIND_GRADIENT && layer.m_enabled) {
        if (!layer.m_gradientKeys.empty())
            for (AnimatedValue& value : layer.m_gradientValues) {
                value.clearChannel();
                value.channel = new Envelope();
            }
        layer.m_texture = m_state.m_pool->addTexture(std::make_unique<GradientTexture>(m_state.m_devices, &layer));
    }
    Texture* texture = layer.m_texture;
    if (!texture) return;
    if (layer.m_channel == ID_TRAN) {
        orFlags(*texture, Texture::TRANSPARENCY_MAP);
        surface.m_blended = true;
    } else if (layer.m_channel == ID_BUMP) {
        texture->m_heightScale = surface.m_bump.evaluate(0.0) * layer.m_amplitude.evaluate(0.0);
        orFlags(*texture, Texture::NORMAL_MAP, Texture::SCRATCH_BUILD);
    } else {
        orFlags(*texture, Texture::NEEDS_COLOUR);
    }
    if (layer.m_opacityType == TextureLayer::OPACITY_DISPLACEMENT) orFlags(*texture, Texture::NORMAL_MAP, Texture::SCRATCH_BUILD);
}

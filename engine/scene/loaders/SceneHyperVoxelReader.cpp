#include "engine/scene/loaders/SceneHyperVoxelReader.h"

#include <memory>

#include "engine/platform/Report.h"
#include "engine/platform/display/DeviceList.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/effects/HyperVoxelType1.h"
#include "engine/scene/effects/HyperVoxelType2.h"
#include "engine/scene/loaders/LWO2SurfaceReader.h"
#include "engine/scene/loaders/SceneClipReader.h"
#include "engine/scene/loaders/SceneEnvelopeReader.h"
#include "engine/scene/loaders/SceneFileState.h"
#include "engine/scene/loaders/SceneFileTokens.h"
#include "engine/scene/materials/TextureLayer.h"


void SceneHyperVoxelReader::readValue(AnimatedValue* value) {
    SceneFileTokens& tokens = m_state.tokens;
    AnimatedValue scratch;
    AnimatedValue& target = value ? *value : scratch;
    float constant = tokens.readFloat32();
    target.clearChannel();
    target.constant = constant;
    if (tokens.readString() == "1") {
        SceneEnvelopeReader(tokens).readChannelValue(target, false);
        tokens.skip();
    }
    scratch.clearChannel();
}

void SceneHyperVoxelReader::readValues3(AnimatedValue* values) {
    SceneFileTokens& tokens = m_state.tokens;
    AnimatedValue scratch[3];
    AnimatedValue* target = values ? values : scratch;
    for (int i = 0; i < 3; ++i) {
        target[i].clearChannel();
        target[i].constant = tokens.readFloat32();
    }
    if (tokens.readString() == "3") {
        for (int i = 0; i < 3; ++i) SceneEnvelopeReader(tokens).readChannelValue(target[i], false);
        tokens.skip();
    }
    for (AnimatedValue& s : scratch) s.clearChannel();
}

void SceneHyperVoxelReader::read() {
    SceneFileTokens& tokens = m_state.tokens;
    tokens.skip(2);
    bool opened = std::string(tokens.peek()) == "{";
    if (tokens.readKeyword() != "HyperVoxelData") {
        if (opened) tokens.skipBlock();
        return;
    }
    tokens.readBlock([this, &tokens](const std::string& key, bool) {
        if (key == "HVFlags") tokens.skip(4);
        else if (key == "HVObject") readObject();
        else if (key == "HVChannels") readChannels();
        else if (key == "HVTextures") readTextures();
        else if (key == "HVBlendingGroups") tokens.skip(2);
        else if (key == "HVClip") {
            tokens.skip(5);
            SceneClipReader(m_state).readClip();
            tokens.skipBlock();
        } else {
            return false;
        }
        return true;
    });
}

void SceneHyperVoxelReader::readObject() {
    SceneFileTokens& tokens = m_state.tokens;
    tokens.readBlock([this, &tokens](const std::string& key, bool) {
        if (key != "HVFlags") return false;
        std::string name = tokens.readString();
        tokens.skip(3);
        int32_t type = tokens.readInt();
        tokens.skip(3);
        SceneObject* object = nullptr;
        for (const std::unique_ptr<SceneObject>& candidate : m_state.scene.m_objects)
            if (candidate->getName() == name) {
                object = candidate.get();
                break;
            }
        m_hyperVoxel = nullptr;
        if (!object) return true;
        object->setHyperVoxel(nullptr);
        if (type == 1) object->setHyperVoxel(std::make_unique<HyperVoxelType1>(m_state.renderer()));
        else if (type == 2) object->setHyperVoxel(std::make_unique<HyperVoxelType2>(m_state.renderer()));
        else reportError("unknown hypervoxel type");
        m_hyperVoxel = object->getHyperVoxel();
        return true;
    });
}

void SceneHyperVoxelReader::readChannels() {
    SceneFileTokens& tokens = m_state.tokens;
    HyperVoxel* h = m_hyperVoxel;
    auto field = [h](AnimatedValue HyperVoxel::*member) { return h ? &(h->*member) : nullptr; };
    auto integer = [h, &tokens](int32_t HyperVoxel::*member) {
        int32_t value = tokens.readInt();
        if (h) h->*member = value;
    };
    auto flag = [h, &tokens](bool HyperVoxel::*member) {
        bool value = tokens.readString() != "0";
        if (h) h->*member = value;
    };
    static const char* const DROPPED_VALUES[] = {"VAmbientIntensity", "DiffuseSharp", "VThickness", "VSmoothness",
                                                 "VShadowStrength"};
    static const char* const DROPPED_STRINGS[] = {"VRenderQuality", "VShadowQuality", "VolumetricShadows",
                                                  "VIllumination", "TextureEffect", "EffectSpeed", "TextureShadows",
                                                  "VLight1", "VLight2"};
    auto among = [](const std::string& key, const auto& names) {
        for (const char* name : names)
            if (key == name) return true;
        return false;
    };
    tokens.readBlock([&](const std::string& key, bool) {
        if (key == "Dissolve") readValue(field(&HyperVoxel::m_dissolve));
        else if (key == "ParticleSize") readValue(field(&HyperVoxel::m_particleSize));
        else if (key == "SizeVariation") readValue(field(&HyperVoxel::m_sizeVariation));
        else if (key == "VLuminosity") readValue(field(&HyperVoxel::m_luminosity));
        else if (key == "VOpacity") readValue(field(&HyperVoxel::m_opacity));
        else if (key == "VDensity") readValue(field(&HyperVoxel::m_density));
        else if (key == "NearClip") readValue(field(&HyperVoxel::m_nearClip));
        else if (key == "StretchAmount") readValue(field(&HyperVoxel::m_stretchAmount));
        else if (key == "TextureAmplitude") {
            readValue(field(&HyperVoxel::m_textureAmplitude));
            tokens.skipUnknown(false);
        } else if (key == "VColor") readValues3(h ? h->m_color : nullptr);
        else if (key == "BlendingMode") integer(&HyperVoxel::m_blendingMode);
        else if (key == "BlendingGroup") integer(&HyperVoxel::m_blendingGroup);
        else if (key == "StretchDirection") integer(&HyperVoxel::m_stretchDirection);
        else if (key == "Slices") integer(&HyperVoxel::m_sliceCount);
        else if (key == "UseAllLights") flag(&HyperVoxel::m_useAllLights);
        else if (key == "AlignToPath") flag(&HyperVoxel::m_alignToPath);
        else if (key == "MaintainVolume") flag(&HyperVoxel::m_maintainVolume);
        else if (key == "Luminosity") tokens.skip(2);
        else if (among(key, DROPPED_VALUES)) readValue(nullptr);
        else if (key == "Color" || key == "VAmbientColor") readValues3(nullptr);
        else if (among(key, DROPPED_STRINGS)) tokens.skip();
        else return false;
        return true;
    });
}

void SceneHyperVoxelReader::readTextures() {
    SceneFileTokens& tokens = m_state.tokens;
    tokens.readBlock([this](const std::string& key, bool) {
        if (key != "TextureBlock") return false;
        readTextureBlock();
        return true;
    });
}

void SceneHyperVoxelReader::readTextureBlock() {
    SceneFileTokens& tokens = m_state.tokens;
    auto layer = std::make_unique<TextureLayer>();
    tokens.readBlock([&](const std::string& key, bool opened) {
        if (key == "Texture") {
            std::string kind = tokens.readString();
            if (kind == "Procedural") layer->m_kind = TextureLayer::KIND_PROCEDURAL;
            else if (kind == "ImageMap") layer->m_kind = TextureLayer::KIND_IMAGE;
            else if (kind == "Gradient") layer->m_kind = TextureLayer::KIND_GRADIENT;
        } else if (key == "TextureMap") {
            readTextureMap(layer.get());
        } else if (key == "Projection") {
            layer->m_projection = tokens.readInt();
        } else if (key == "Axis") {
            layer->m_axis = tokens.readInt();
        } else if (key == "Image") {
            layer->m_texture = SceneClipReader(m_state).readClip();
        } else if (key == "WrapOptions") {
            readWrapOptions(layer.get());
        } else if (key == "WidthWrap") {
            layer->m_wrapWidth = tokens.readFloat32();
            tokens.skip();
        } else if (key == "HeightWrap") {
            layer->m_wrapHeight = tokens.readFloat32();
            tokens.skip();
        } else if (key == "AntiAliasing") {
            tokens.skip();
            layer->m_antialiasing = true;
            layer->m_antialiasStrength = tokens.readFloat32();
        } else if (key == "PixelBlending") {
            layer->m_pixelBlending = tokens.readString() != "0";
        } else if (key == "TextureValue") {
            tokens.skip();
            tokens.skipUnknown(opened);
        } else if (key == "Channel") {
            layer->m_channel = static_cast<uint32_t>(tokens.readInt());
        } else if (key == "Opacity") {
            layer->m_opacityType = static_cast<uint32_t>(tokens.readInt());
            layer->m_opacity.clearChannel();
            layer->m_opacity.constant = tokens.readFloat32();
            if (tokens.readString() == "1") SceneEnvelopeReader(tokens).readChannelValue(layer->m_opacity, false);
        } else if (key == "Enable") {
            layer->m_enabled = tokens.readInt() != 0;
        } else if (key == "Negative") {
            layer->m_negative = tokens.readInt() != 0;
        } else {
            return false;
        }
        return true;
    });
    if (m_hyperVoxel) m_hyperVoxel->m_layers.push_back(std::move(layer));
}

void SceneHyperVoxelReader::readTextureMap(TextureLayer* layer) {
    SceneFileTokens& tokens = m_state.tokens;
    tokens.readBlock([&](const std::string& key, bool opened) {
        if (key == "Center") readValues3(layer->m_centre);
        else if (key == "Size") readValues3(layer->m_size);
        else if (key == "Rotation") readValues3(layer->m_rotation);
        else if (key == "RefObject") tokens.skip();
        else if (key == "Coordinates") {
            tokens.skip();
            tokens.skipUnknown(opened);
        } else {
            return false;
        }
        return true;
    });
}

void SceneHyperVoxelReader::readWrapOptions(TextureLayer* layer) {
    DeviceList* devices = m_state.devices();
    uint32_t caps = devices ? devices->m_activeCaps.textureAddressCaps : 0;
    auto width = static_cast<uint32_t>(m_state.tokens.readInt());
    auto height = static_cast<uint32_t>(m_state.tokens.readInt());
    layer->m_addressV = LWO2SurfaceReader::addressMode(height, caps);
    layer->m_addressU = caps & 0x10 ? LWO2SurfaceReader::addressMode(width, caps) : layer->m_addressV;
    if (layer->m_projection == TextureLayer::PROJECT_SPHERICAL) {
        layer->m_addressU = TextureLayer::ADDRESS_WRAP;
        layer->m_addressV = TextureLayer::ADDRESS_WRAP;
    } else if (layer->m_projection == TextureLayer::PROJECT_CYLINDRICAL) {
        layer->m_addressU = TextureLayer::ADDRESS_WRAP;
    }
}

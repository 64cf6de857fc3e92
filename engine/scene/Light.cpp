#include "engine/scene/Light.h"

#include <algorithm>
#include <cmath>

#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/GeneratedTexture.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/scene/BoundingBox.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/effects/FlareSet.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/Texture.h"

namespace {

constexpr float OFF_INTENSITY = 1e-6f;
// Nearer than this the inverse fall-offs count as touching, so they stay finite.
constexpr float MIN_DISTANCE = 1e-6f;

// NaN counts as off as well.
bool isOn(float intensity) { return intensity > OFF_INTENSITY; }

// A range of 0 (or NaN) reaches nothing: no reciprocal to take.
bool isReach(float range) { return range != 0.0f && range == range; }

float reciprocal(float value) { return isReach(value) ? 1.0f / value : 0.0f; }

Position3 through(const Position3& p, const Matrix4x3& m) {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
            p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

Position3 turned(const Position3& d, const Matrix4x3& m) {
    return {d.x * m[0] + d.y * m[4] + d.z * m[8], d.x * m[1] + d.y * m[5] + d.z * m[9],
            d.x * m[2] + d.y * m[6] + d.z * m[10]};
}

float distance(const Position3& a, const Position3& b) {
    const float d[3] = {a.x - b.x, a.y - b.y, a.z - b.z};
    return vectorLength(d);
}

void put3(float* out, const float* values) { std::copy(values, values + 3, out); }

sys::gfx::ColorValue opaque(const ColorRGBA& c) { return {c.r, c.g, c.b, 1.0f}; }

} // namespace

LightingOptions lightingOptions(const Renderer& renderer, float sceneIntensity) {
    LightingOptions options;
    options.lighting = renderer.m_lighting;
    options.doubleBrightness = renderer.m_doubleBrightness;
    options.sceneIntensity = sceneIntensity;
    options.shadowMaps = !renderer.m_fixedFunction && renderer.m_renderTargetFormat != 0;
    options.shadowDepthFormat = renderer.m_shadowDepthFormat;
    return options;
}

Light::Light(ObjectContainer* container, int32_t index) : AxisViewingItem(container, KIND_LIGHT, index) {
    m_range.constant = 1.0f;
    m_coneAngle.constant = 0.5235988f;
    m_edgeAngle.constant = 0.08726646f;
}

Light::~Light() {
    // The "(Spot)" texture belongs to the resource pool, which deletes it.
    releaseShadowMap();
    m_flares.reset();
    AnimatedValue* values[] = {&m_flareRotation, &m_flareIntensity, &m_edgeAngle, &m_coneAngle, &m_range,
                               &m_intensity,     &m_colour[2],      &m_colour[1], &m_colour[0]};
    for (AnimatedValue* value : values) value->clearChannel();
}

void Light::releaseDeviceObjects() {
    if (m_flares) m_flares->releaseDeviceObjects();
}

void Light::createDeviceObjects() {
    if (m_flares) m_flares->createDeviceObjects();
}

Viewport Light::getViewport() {
    const uint32_t side = m_shadowMapSize > 0 ? uint32_t(m_shadowMapSize) : 0;
    m_viewport = {0, 0, side, side, 0.0f, 1.0f};
    return m_viewport;
}

void Light::updateProjMatrix(double time) {
    const float t = std::tan(m_coneAngle.evaluate(time));
    // A cone of 0 sees nothing; its projection collapses instead of going infinite.
    const float f = t != 0.0f ? 1.0f / t : 0.0f;
    m_projMatrix = Matrix4x3{{0.75f * f, 0, 0, 0, 0, f, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0}};
    m_projValid = true;
}

ColorRGBA Light::getColour(double time) {
    return {m_colour[0].evaluate(time), m_colour[1].evaluate(time), m_colour[2].evaluate(time), 1.0f};
}

void Light::resetDeviceLight() {
    m_d3dLight = sys::gfx::Light{};
    m_d3dLight.type = m_lightType == DISTANT ? sys::gfx::LIGHT_DIRECTIONAL
                      : m_lightType == SPOT  ? sys::gfx::LIGHT_SPOT
                                             : sys::gfx::LIGHT_POINT;
    m_d3dLight.ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    m_d3dLight.range = FAR_RANGE;
    m_d3dLight.falloff = 1.0f;
    m_d3dLight.attenuation0 = 1.0f;
}

void Light::createTextures(DeviceList& devices, const LightingOptions& options, const TextureKeeper& keeper) {
    if (m_texturesMade) return;
    resetDeviceLight();
    m_lightReady = true;
    if (m_lensFlare) createFlareSet(devices, keeper);
    if (m_shadowType == SHADOW_MAP && options.shadowMaps && m_shadowMapSize > 0) {
        createShadowMap(devices, options);
        if (keeper) {
            auto spot = std::make_unique<GeneratedTexture>(&devices, Texture::MIP_CHAIN | Texture::NEEDS_COLOUR);
            GeneratedTexture* built = spot.get();
            m_spotTexture = keeper(std::move(spot));
            built->buildSpot(m_intensity.evaluate(0.0), m_edgeAngle.evaluate(0.0), m_coneAngle.evaluate(0.0));
        }
        const float offset = 0.5f + 0.5f / float(m_shadowMapSize);
        m_shadowTexAdjust = Matrix4x3{{0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1, 0, offset, offset, m_shadowBias, 1}};
    }
    m_texturesMade = true;
}

void Light::createFlareSet(DeviceList& devices, const TextureKeeper& keeper) {
    LW6Scene* scene = getContainer() ? getContainer()->getScene() : nullptr;
    MetaScene* pool = scene ? scene->m_metaScene : nullptr;
    FlareSet::TextureFinder find = [pool](const std::string& name) {
        return pool ? pool->findTexture(name, 0) : nullptr;
    };
    m_flares = std::make_unique<FlareSet>(devices, *this, find, keeper);
}

void Light::createShadowMap(DeviceList& devices, const LightingOptions& options) {
    sys::gfx::Device* device = devices.m_currentDevice;
    if (!device) return;
    const uint32_t side = uint32_t(m_shadowMapSize);
    device->createTexture(side, side, 1, sys::gfx::USAGE_RENDERTARGET, sys::gfx::FMT_A8R8G8B8, sys::gfx::POOL_DEFAULT,
                          m_shadowColourTexture.out());
    if (m_shadowColourTexture) m_shadowColourSurface = Ref<sys::gfx::Surface>::adopt(m_shadowColourTexture->getSurfaceLevel(0));
    if (options.shadowDepthFormat != 0) {
        device->createTexture(side, side, 1, sys::gfx::USAGE_DEPTHSTENCIL, options.shadowDepthFormat,
                              sys::gfx::POOL_DEFAULT, m_shadowDepthTexture.out());
        if (m_shadowDepthTexture) m_shadowDepthSurface = Ref<sys::gfx::Surface>::adopt(m_shadowDepthTexture->getSurfaceLevel(0));
    } else {
        device->createDepthStencilSurface(side, side, sys::gfx::FMT_D24S8, 0, 0, true, m_shadowDepthSurface.out());
    }
}

void Light::releaseShadowMap() {
    m_shadowDepthSurface.reset();
    m_shadowColourTexture.reset();
    m_shadowDepthTexture.reset();
    m_shadowColourSurface.reset();
}

bool Light::updateFrame(double time, const LightingOptions& options) {
    if (!options.lighting || m_disabled) return false;
    const float intensity = m_intensity.evaluate(time);
    if (!isOn(intensity)) return false;
    updateMatrix(time);

    const float k = options.doubleBrightness ? 2.0f : 1.0f;
    ColorRGBA c = getColour(time);
    for (float* component : {&c.r, &c.g, &c.b}) *component *= intensity * k * options.sceneIntensity;
    const sys::gfx::ColorValue black = {0.0f, 0.0f, 0.0f, 1.0f};
    m_d3dLight.diffuse = m_noDiffuse ? black : opaque(c);
    m_d3dLight.specular = m_noSpecular ? black : opaque(c);
    m_d3dLight.position = {m_worldMatrix[12], m_worldMatrix[13], m_worldMatrix[14]};
    m_d3dLight.direction = {m_worldMatrix[8], m_worldMatrix[9], m_worldMatrix[10]};

    const float average = std::max((c.r + c.g + c.b) / 3.0f, 0.0f);
    const float range = m_range.evaluate(time);
    const auto attenuate = [&](float a0, float a1, float a2, float reach) {
        if (!isReach(range)) {
            // Range 0 lights nothing, without the infinities its reciprocals would give.
            a0 = 1.0f;
            a1 = a2 = reach = 0.0f;
        }
        m_d3dLight.attenuation0 = a0;
        m_d3dLight.attenuation1 = a1;
        m_d3dLight.attenuation2 = a2;
        m_d3dLight.range = reach;
    };
    const float inverseSquare = reciprocal(range * range);
    switch (m_falloffType) {
    case FALLOFF_NONE:
        m_d3dLight.range = FAR_RANGE;
        m_d3dLight.attenuation0 = 1.0f;
        m_d3dLight.attenuation1 = m_d3dLight.attenuation2 = 0.0f;
        break;
    case FALLOFF_LINEAR:
        attenuate(1.0f, 0.0f, 4.0f * inverseSquare, std::sqrt(average) * range * (options.doubleBrightness ? 1.0f : 3.0f));
        break;
    case FALLOFF_INVERSE:
        attenuate(0.0f, reciprocal(range), 0.0f, range * average * 36.0f);
        break;
    case FALLOFF_INVERSE_SQUARE:
        attenuate(0.0f, 0.0f, inverseSquare, std::sqrt(average) * range * 6.0f);
        break;
    default:
        break;
    }

    const float cone = m_coneAngle.evaluate(time);
    const float edge = m_edgeAngle.evaluate(time);
    m_d3dLight.theta = 2.0f * (cone - edge);
    m_d3dLight.phi = 2.0f * cone;
    return true;
}

bool Light::affectsObject(SceneItem& object, const std::vector<int32_t>& excluded, const BoundingBox* bounds,
                          double time, const LightingOptions& options) {
    m_inRange = false;
    if (!options.lighting || m_disabled || !isOn(m_intensity.evaluate(time))) return false;
    if (std::find(excluded.begin(), excluded.end(), getIndex()) != excluded.end()) return false;

    Matrix4x3 inverse;
    object.getInvMatrix(inverse, time, 1);
    const sys::gfx::Vector3& p = m_d3dLight.position;
    const sys::gfx::Vector3& d = m_d3dLight.direction;
    m_objectLightPos = through({p.x, p.y, p.z}, inverse);
    m_objectLightDir = turned({d.x, d.y, d.z}, inverse);
    const float dir[3] = {m_objectLightDir.x, m_objectLightDir.y, m_objectLightDir.z};
    if (!bounds || !bounds->m_valid || m_falloffType == FALLOFF_NONE) {
        m_inRange = true;
    } else {
        const float reach = 10.0f * m_range.evaluate(time) * vectorLength(dir);
        m_inRange = reach >= distance(m_objectLightPos, bounds->m_centre) - bounds->m_radius;
    }
    return m_inRange;
}

float Light::getIntensityAt(SceneItem& object, const BoundingBox& bounds, double time) {
    Matrix4x3 inverse;
    object.getInvMatrix(inverse, time, 1);
    const sys::gfx::Vector3& p = m_d3dLight.position;
    const float intensity = m_intensity.evaluate(time);
    const float d = std::max(bounds.distanceTo(through({p.x, p.y, p.z}, inverse)), MIN_DISTANCE);
    switch (m_falloffType) {
    case FALLOFF_LINEAR: {
        const float range = m_range.evaluate(time);
        return isReach(range) ? intensity * std::max(0.0f, 1.0f - d / range) : 0.0f;
    }
    case FALLOFF_INVERSE:
        return intensity / d;
    case FALLOFF_INVERSE_SQUARE:
        return intensity / (d * d);
    default:
        return intensity;
    }
}

void Light::setShaderConstants(int slot, double time, ShaderConstants& constants, ShaderSwitches& switches) {
    if (slot < 0 || slot >= int(ShaderSwitches::MAX_LIGHTS)) return;
    const ColorRGBA c = getColour(time);
    const float intensity = m_intensity.evaluate(time);
    const float colour[3] = {c.r * intensity, c.g * intensity, c.b * intensity};
    Matrix4x3 world;
    getMatrix(world, time, 0);
    const int at = slot * 3;

    if (m_lightType == DISTANT) {
        Position3 v = turned({-world[8], -world[9], -world[10]}, constants.m_view);
        float dir[3] = {v.x, v.y, v.z};
        normalize(dir);
        put3(constants.m_distantLightColor + at, colour);
        put3(constants.m_distantLightDir + at, dir);
        return;
    }

    const bool spot = m_lightType == SPOT;
    const Position3 pos = through({world[12], world[13], world[14]}, constants.m_view);
    const float position[3] = {pos.x, pos.y, pos.z};
    put3((spot ? constants.m_spotLightColor : constants.m_pointLightColor) + at, colour);
    put3((spot ? constants.m_spotLightPos : constants.m_pointLightPos) + at, position);
    (spot ? switches.m_spotLightFalloffType : switches.m_pointLightFalloffType)[slot] =
        m_falloffType == FALLOFF_NONE ? 0 : m_falloffType == FALLOFF_LINEAR ? 1 : 2;
    float* attenuation = (spot ? constants.m_spotLightAttenuation : constants.m_pointLightAttenuation) + at;
    // A range of 0 leaves its reciprocal terms 0 rather than infinite.
    const float range = m_range.evaluate(time);
    switch (m_falloffType) {
    case FALLOFF_NONE:
        attenuation[0] = 1.0f;
        attenuation[1] = 0.0f;
        break;
    case FALLOFF_LINEAR:
        attenuation[1] = -reciprocal(range);
        attenuation[2] = 1.0f;
        break;
    case FALLOFF_INVERSE:
        attenuation[1] = reciprocal(range);
        attenuation[2] = 0.0f;
        break;
    case FALLOFF_INVERSE_SQUARE:
        attenuation[0] = 0.0f;
        attenuation[1] = 0.0f;
        attenuation[2] = reciprocal(range * range);
        break;
    default:
        break;
    }
    if (!spot) return;
    Position3 v = turned({world[8], world[9], world[10]}, constants.m_view);
    float dir[3] = {v.x, v.y, v.z};
    normalize(dir);
    put3(constants.m_spotLightDir + at, dir);
    const float cone = m_coneAngle.evaluate(time);
    const float inner = std::cos(cone - m_edgeAngle.evaluate(time));
    constants.m_spotLightCosTheta[slot] = inner;
    constants.m_spotLightCosThetaMinusCosPhi[slot] = inner - std::cos(cone);
}

void Light::sortByIntensity(std::vector<Record>& records) {
    // Most objects see one light: no sort, and none of the sort's scratch memory.
    if (records.size() < 2) return;
    // NaN compares false with everything, which breaks the sort's ordering; give it a place: last.
    std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        if (std::isnan(a.intensity)) return false;
        return std::isnan(b.intensity) || a.intensity > b.intensity;
    });
}

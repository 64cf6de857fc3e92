#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/display/DeviceList.h"
#include "engine/render/RenderView.h"
#include "engine/render/ViewWindow.h"
#include "sys/gfx/GfxTypes.h"

class RenderDevice;
class ShaderSwitches;
class ShaderConstants;
class ShaderLibrary;
class ScreenTarget;
class PlacementHelper;
class SoundDeviceList;
class SoundDevice;

// The engine's one render system, made on the device right after it exists:
// the devices and their caps, the compile profiles and render-target formats,
// the shared shader values, the shader objects, the screen targets, the
// placement helper, the per-frame counters and the render options.
class Renderer : public DeviceList, public RenderView {
public:
    explicit Renderer(RenderDevice& renderDevice);
    ~Renderer() override;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Gamma, brightness and contrast as the options screen's sliders give them.
    void setGammaRamp(float gamma, float brightness, float contrast);
    // The ramp that setGammaRamp sets: red, green and blue alike.
    static void buildGammaRamp(float gamma, float brightness, float contrast, uint16_t ramp[256]);
    // Draws into the back buffer (of the current eye in dual-head stereo).
    void setBackBufferTarget();
    void setViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height, float minZ, float maxZ);

    void drawDebugLines(const Matrix4x3& world, const std::vector<DebugLineVertex>& lines) override;

    // Counted by every surface-buffer draw.
    void countDraw(uint32_t primitives) {
        ++m_drawCount;
        m_primitiveCount += int32_t(primitives);
    }

    // Reached first by the drawing code.
    std::unique_ptr<ShaderSwitches> m_switches;
    std::unique_ptr<ShaderConstants> m_constants;

    uint32_t m_renderTargetFormat = 0;
    uint32_t m_shadowDepthFormat = 0;
    bool m_lockableDepthBuffer = false;
    bool m_stencilAvailable = false;
    // Asked with software vertex processing off; m_activeCaps after the choice.
    sys::gfx::Caps m_hardwareCaps{};
    bool m_hardwareTransformAndLighting = false;
    bool m_hardwareVertexShaders = false;
    bool m_pixelShaders = false;
    // Variants ignore the switch values, which are uploaded as constants instead.
    bool m_switchFree = false;
    std::string m_vertexProfile;
    std::string m_pixelProfile;
    std::string m_textureProfile;
    bool m_windowed = false;
    // The display mode in use, kept apart from the back buffer's size; a
    // new mode is written here and m_displayChanged set, and the program
    // applies it between frames.
    int32_t m_screenWidth = 0;
    int32_t m_screenHeight = 0;
    bool m_displayChanged = false;
    // Written by the race and the menu previews; nothing draws differently by it.
    float m_viewValue = 75.0f;

    int32_t m_primitiveCount = 0;
    int32_t m_drawCount = 0;

    // Render options 1 to 15 (option 7 is RenderView::m_debugDrawing).
    bool m_projectorImages = false;      // 1: lights project their images
    bool m_doubleBrightness = false;     // 2: lights shine twice as bright
    bool m_viewFromLight = false;        // 3: the scene is seen from its first light
    bool m_wireframe = false;            // 4
    bool m_boundingBoxes = false;        // 5: objects draw their boxes
    bool m_showUnseenObjects = false;    // 6: objects unseen by the camera are drawn too
    bool m_shadowMapDebug = false;       // 8
    bool m_collisionGuard = true;        // 9: the free camera stays out of the geometry
    bool m_greyMaterial = false;         // 10
    bool m_textureLayers = true;         // 11: surfaces bind their texture layers
    bool m_lighting = true;              // 12: lights light
    bool m_flares = true;                // 13
    bool m_sphericalReflection = true;   // 14
    bool m_fog = true;                   // 15

    // DisplaySettings::m_extraFlag as the device was made with it.
    uint8_t m_settingsByte = 0;
    // D3DRS_COLORWRITEENABLE as restored after masked passes.
    uint32_t m_colorWriteMask = 15;
    // Planar reflections flip it by the parity of their depth.
    uint32_t m_cullMode = sys::gfx::CULL_CCW;
    // Narrowed to a mirror's outline while its image draws: nothing beyond it is sent.
    ViewWindow m_viewWindow;
    // Set by the scene drawing while it fills shadow maps (1) or their depths (2): no blending then.
    int32_t m_renderPassMarker = 0;

    // Owned when set.
    std::unique_ptr<SoundDeviceList> m_soundDeviceList;
    // The program entry's sound device; the scene places its listener. Not owned.
    SoundDevice* m_soundDevice = nullptr;
    std::unique_ptr<ScreenTarget> m_screenTargets[2];
    // The surface shader is the fixed-function kind unless the settings ask
    // for shaders; then plain and additive exist too. The opaque one always does.
    // They bind scene surfaces, so the scene renderer makes and owns them.
    ShaderLibrary* m_surfaceShader = nullptr;
    ShaderLibrary* m_plainShader = nullptr;
    ShaderLibrary* m_additiveShader = nullptr;
    ShaderLibrary* m_opaqueShader = nullptr;
    PlacementHelper* m_placementHelper = nullptr;
    bool m_fixedFunction = true;
};

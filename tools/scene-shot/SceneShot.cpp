#include "tools/scene-shot/SceneShot.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "engine/platform/Ref.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/display/DisplaySettings.h"
#include "engine/platform/display/RenderDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/SurfaceImage.h"
#include "sys/window/Window.h"

namespace gfx = sys::gfx;

namespace {

bool parseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && std::isfinite(value);
}

bool parseSize(const std::string& text, uint32_t& width, uint32_t& height) {
    size_t x = text.find('x');
    double w = 0.0, h = 0.0;
    if (x == std::string::npos || !parseNumber(text.substr(0, x), w) || !parseNumber(text.substr(x + 1), h)) return false;
    // A device side stays within what textures and windows can have.
    if (w < 1.0 || h < 1.0 || w > gfx::Device::MAX_TEXTURE_SIDE || h > gfx::Device::MAX_TEXTURE_SIDE) return false;
    width = uint32_t(w);
    height = uint32_t(h);
    return true;
}

// Straight down from high over the middle, +z up the picture, +x to the right;
// fog starts far beyond the ground, so the layout shows clearly.
Camera* topCamera(LW6Scene& scene) {
    Camera* camera = scene.createCamera(false);
    // A zoom of z shows 1/z of the distance to either side of the centre, up and down.
    camera->m_channels[SceneItem::POS_Y].constant = SceneShot::TOP_VIEW_HALF_SIDE * camera->m_zoomFactor.constant;
    camera->m_channels[SceneItem::PITCH].constant = float(PI_DOUBLE / 2.0);
    camera->m_hasEnvMinDistance = camera->m_hasEnvMaxDistance = true;
    camera->m_envMinDistance = 1.0e6f;
    camera->m_envMaxDistance = 2.0e6f;
    camera->invalidate();
    return camera;
}

} // namespace

bool SceneShot::parse(const std::vector<std::string>& arguments, Options& options, std::string& error) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            positional.push_back(argument);
            continue;
        }
        if (argument == "--top") {
            options.top = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = argument + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        double number = 0.0;
        if (argument == "--camera") {
            if (!parseNumber(value, number) || number < 0.0 || number > 65535.0 || number != std::floor(number)) {
                error = "bad camera number: " + value;
                return false;
            }
            options.camera = int(number);
        } else if (argument == "--time") {
            if (!parseNumber(value, number)) {
                error = "bad time: " + value;
                return false;
            }
            options.time = number;
        } else if (argument == "--track") {
            options.tracks.push_back(value);
        } else if (argument == "--size") {
            if (!parseSize(value, options.width, options.height)) {
                error = "bad size (WxH): " + value;
                return false;
            }
        } else {
            error = "unknown option: " + argument;
            return false;
        }
    }
    if (positional.size() != 3) {
        error = "expected ARCHIVE SCENE OUT.png";
        return false;
    }
    options.archive = positional[0];
    options.scene = positional[1];
    options.output = positional[2];
    return true;
}

bool SceneShot::run(const Options& options, double& frameMilliseconds, std::string& error) {
    if (!sys::Window::videoAvailable()) {
        error = "no display";
        return false;
    }
    DiskFile disk("");
    DataArchive archive(disk);
    if (!archive.openArchive(options.archive.c_str())) {
        error = "cannot open the archive " + options.archive;
        return false;
    }

    auto render = std::make_unique<RenderDevice>();
    if (!render->enumerateAdapters("Error", "no 3D device", "no T&L")) {
        error = "no 3D device";
        return false;
    }
    render->m_settings->m_windowed = 1;
    render->m_settings->m_width = options.width;
    render->m_settings->m_height = options.height;
    render->listFormats();
    if (!render->createWindows("SceneShot", nullptr)) {
        error = "cannot create the window";
        return false;
    }
    sys::pumpMessages();

    bool written = false;
    {
        SceneRenderer renderer(*render);
        MetaScene pool(&renderer, "scene-shot");
        LW6Scene* scene = SceneLoader::loadScene(pool, options.scene, archive);
        if (!scene || (!options.top && options.camera >= int(scene->m_cameras.size()))) {
            error = "the scene " + options.scene + " has no camera " + std::to_string(options.camera);
            return false;
        }
        for (const auto& actor : scene->m_actors)
            for (ActorTrack* track : actor->m_tracks)
                for (const std::string& name : options.tracks)
                    if (track && track->m_name == name) track->setIntensity(1.0f);
        Camera* camera = options.top ? topCamera(*scene) : scene->m_cameras[size_t(options.camera)].get();
        scene->m_activeCamera = camera;
        gfx::Device& device = *renderer.m_currentDevice;
        const ColorRGBA& backdrop = scene->m_backdropColor;
        uint32_t clearColour = colorToARGB({backdrop.r, backdrop.g, backdrop.b, 1.0f});

        // Drawn off screen: the shot's size does not depend on what the window got.
        Ref<gfx::Texture> target;
        Ref<gfx::Surface> depth;
        if (device.createTexture(options.width, options.height, 1, gfx::USAGE_RENDERTARGET, gfx::FMT_A8R8G8B8,
                                 gfx::POOL_DEFAULT, target.out()) != gfx::GFX_OK ||
            device.createDepthStencilSurface(options.width, options.height, gfx::FMT_D24S8, 0, 0, false,
                                             depth.out()) != gfx::GFX_OK) {
            error = "cannot make the off-screen target";
            return false;
        }
        gfx::Surface* colour = target->level(0);
        for (int frame = WARM_UP_FRAMES; frame >= 0; --frame) {
            double time = options.time - frame / 30.0;
            auto start = std::chrono::steady_clock::now();
            device.setRenderTarget(0, colour);
            device.setDepthStencilSurface(depth);
            renderer.m_targetWidth = int32_t(options.width);
            renderer.m_targetHeight = int32_t(options.height);
            renderer.setViewport(0, 0, options.width, options.height, 0.0f, 1.0f);
            device.clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER | gfx::CLEAR_STENCIL, clearColour, 1.0f, 0);
            device.beginScene();
            scene->render(camera, time);
            device.endScene();
            // Reading back waits for the frame, so the time counts the whole of it.
            gfx::RgbImage image;
            bool read = gfx::readSurface(*colour, image);
            frameMilliseconds =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (frame == 0) written = read && gfx::writePng(image, options.output);
        }
        renderer.setBackBufferTarget();
        device.setDepthStencilSurface(nullptr);
    }
    render->shutdown();
    if (!written) error = "cannot write " + options.output;
    return written;
}

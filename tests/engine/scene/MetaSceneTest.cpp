#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/platform/images/Texture.h"
#include "engine/render/Renderer.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/mesh/LWObjectFile.h"
#include "engine/scene/mesh/Mesh.h"
#include "tests/engine/render/RendererTestSupport.h"

namespace {

// Everything the pool holds writes into one log when it is destroyed,
// loaded, started or carried through a device loss.
using Log = std::vector<std::string>;

class LoggingTexture : public Texture {
public:
    LoggingTexture(Log& log) : Texture(nullptr, 0), m_log(log) {}
    ~LoggingTexture() override { m_log.push_back("texture deleted"); }
    std::unique_ptr<Texture> clone() override { return nullptr; }
    void load() override {}
    int32_t typeId() const override { return IMAGE; }
    void onLostDevice() override { m_log.push_back("texture lost"); }
    void onResetDevice() override { m_log.push_back("texture reset"); }
    Log& m_log;
};

class LoggingObject : public SceneObject {
public:
    LoggingObject(ObjectContainer* scene, Log& log) : SceneObject(scene, scene->getObjectCount()), m_log(log) {}
    ~LoggingObject() override { m_log.push_back("object deleted"); }
    void releaseDeviceObjects() override { m_log.push_back("object lost"); }
    void createDeviceObjects() override { m_log.push_back("object reset"); }
    Log& m_log;
};

class LoggingMesh : public Mesh {
public:
    LoggingMesh(RenderView* view, Log& log) : Mesh(view, nullptr), m_log(log) {}
    ~LoggingMesh() override { m_log.push_back("mesh deleted"); }
    void releaseDeviceObjects() override { m_log.push_back("mesh lost"); }
    void createDeviceObjects() override { m_log.push_back("mesh reset"); }
    Log& m_log;
};

class MetaSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        renderer = std::make_unique<SceneRenderer>(setup.device());
        pool = std::make_unique<MetaScene>(renderer.get(), "metascene");
    }
    // A scene of the pool with one logging object, registered.
    LW6Scene* addScene() {
        auto* scene = new LW6Scene(pool.get());
        scene->m_objects.push_back(std::make_unique<LoggingObject>(scene, log));
        pool->registerScene(scene);
        return scene;
    }
    void addObjectFile() {
        auto* file = new LWObjectFile("thing.lwo", pool.get(), 1, {});
        file->m_meshes[0] = std::make_unique<LoggingMesh>(renderer.get(), log);
        pool->addObjectFile(file);
    }

    // Outlives the pool, whose members write into it as they go.
    Log log;
    RecordingRenderDevice setup;
    std::unique_ptr<Renderer> renderer;
    std::unique_ptr<MetaScene> pool;
};

} // namespace

TEST_F(MetaSceneTest, ScenesGoBeforeObjectFilesAndTexturesBeforeNothing) {
    addScene();
    addObjectFile();
    pool->addTexture(std::make_unique<LoggingTexture>(log));
    pool.reset();
    EXPECT_EQ(log, (Log{"object deleted", "mesh deleted", "texture deleted"}));
}

TEST_F(MetaSceneTest, DeviceLossReachesScenesTexturesAndMeshes) {
    addScene();
    addObjectFile();
    pool->addTexture(std::make_unique<LoggingTexture>(log));
    pool->onLostDevice();
    pool->onResetDevice();
    EXPECT_EQ(log, (Log{"object lost", "texture lost", "mesh lost", "object reset", "texture reset", "mesh reset"}));
    uint32_t zFunction = 0;
    setup.recording().getRenderState(sys::gfx::RS_ZFUNC, zFunction);
    EXPECT_EQ(zFunction, sys::gfx::CMP_LESSEQUAL);
}

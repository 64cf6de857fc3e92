#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneFileReader.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/TempDir.h"
#include "tools/lightwave/Lwo2DemoObject.h"
#include "tools/lightwave/Lwo2Writer.h"
#include "tools/lightwave/LwsWriter.h"
#include "tools/sarpack/ArchiveWriter.h"

// Scenes written by the scene writer, packed with the demo cube as
// "objects/cube.lwo" into an archive, and read into a fresh pool and scene.
class SceneFileTest : public ReportCapture<1> {
protected:
    // Packs the scene texts under their names; false when the archive fails.
    bool pack(const std::vector<std::pair<std::string, std::string>>& scenes) {
        Lwo2Writer cube;
        cube.writeObject(lwo2DemoCube());
        std::vector<uint8_t> bytes = cube.bytes();
        ArchiveWriter writer;
        writer.add("objects/cube.lwo", std::string(bytes.begin(), bytes.end()), 3);
        for (const auto& [name, text] : scenes) writer.add(name, text, 3);
        std::string error;
        if (!writer.write(m_dir.file("data.sar"), error)) return false;
        m_archive = std::make_unique<DataArchive>(m_disk);
        return m_archive->openArchive(m_dir.file("data.sar").c_str());
    }

    bool load(const std::string& text) {
        if (!pack({{"scene.lws", text}})) return false;
        return loadAgain("scene.lws");
    }

    bool loadAgain(const std::string& name) {
        return SceneFileReader(*m_scene, *m_archive).load(name.c_str(), nullptr, 0.0f, 0.7f);
    }

    void freshScene() {
        m_scene.reset();
        m_pool = std::make_unique<MetaScene>(nullptr);
        m_scene = std::make_unique<LW6Scene>(m_pool.get());
    }

    void SetUp() override {
        ReportCapture<1>::SetUp();
        freshScene();
    }

    TempDir m_dir;
    DiskFile m_disk{""};
    std::unique_ptr<DataArchive> m_archive;
    std::unique_ptr<MetaScene> m_pool;
    std::unique_ptr<LW6Scene> m_scene;
};

// The lines, then a light and a camera: the smallest scene that loads (the
// light ends the last object section, which would swallow the camera).
inline std::string sceneWith(const std::string& lines) {
    return "LWSC\n3\n" + lines + "\nAddLight\nAddCamera\nCameraName Cam\nCameraMotion\nNumChannels 0\n";
}

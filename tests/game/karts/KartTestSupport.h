#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "game/surfaces/RaceSurfaces.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/KartFixture.h"
#include "tools/sarpack/ArchiveWriter.h"

// The kart fixture packed into "data.sar" in a scratch folder and opened as
// the archive the game reads its assets through.
class KartFixtureArchive {
public:
    // Other files instead of the fixture's, when given.
    explicit KartFixtureArchive(const std::vector<KartFixture::Asset>& assets = KartFixture::files()) {
        ArchiveWriter writer;
        for (const KartFixture::Asset& asset : assets)
            if (!writer.add(asset.archiveName, asset.bytes, 0)) return;
        std::string error;
        if (!writer.write(m_dir.file("data.sar"), error)) return;
        m_archive = std::make_unique<DataArchive>(m_disk);
        m_ok = m_archive->openArchive(m_dir.file("data.sar").c_str());
    }

    bool ok() const { return m_ok; }
    File& files() { return *m_archive; }

private:
    TempDir m_dir;
    DiskFile m_disk{""};
    std::unique_ptr<DataArchive> m_archive;
    bool m_ok = false;
};

// What the race set-up does to the scene for the fixture: the track in a
// pool of its own (no renderer), then per rider the moped scene merged in,
// the shadow loaded and an empty "CameraTarget" made.
class KartFixtureScene {
public:
    explicit KartFixtureScene(File& files)
        : m_files(files), m_scene(SceneLoader::loadScene(m_pool, KartFixture::TRACK_SCENE, files)) {}

    // False when the moped scene does not merge or the shadow does not load.
    bool addRider() {
        if (!SceneLoader::loadLWS(*m_scene, m_files, KartFixture::MOPED_SCENE, nullptr, 0.0f, 0.7f)) return false;
        if (!SceneLoader::loadObject(*m_scene, m_files, KartFixture::SHADOW_OBJECT, 0)) return false;
        m_scene->createObject(KartFixture::CAMERA_TARGET);
        return true;
    }

    // Moves a "start" object, so that a kart made afterwards starts there.
    void moveStart(int instance, const KartFixture::Placement& placement) {
        SceneObject* start = m_scene->getObject(KartFixture::START, -1, instance);
        start->setPosition(placement.position);
        start->m_channels[SceneItem::HEADING].constant = placement.heading;
        start->invalidate();
    }

    // Makes the geoms and bodies of everything added since the last start.
    void start() { m_pool.start(nullptr); }

    // Enters `pair` (not owned) at both orders of every race space pair.
    void collideRaceSpaces(ODESpacePair& pair) {
        for (auto [a, b] : RaceSurfaces::collidingSpaces()) {
            m_scene->m_spacePairTable[a][b] = &pair;
            m_scene->m_spacePairTable[b][a] = &pair;
        }
    }

    File& m_files;
    MetaScene m_pool;
    LW6Scene* m_scene;
};

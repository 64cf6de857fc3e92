#pragma once
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/scene/Bone.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/mesh/Mesh.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/KartFixture.h"
#include "tools/demodata/mopeds/MopedFiles.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/sarpack/ArchiveWriter.h"

// The moped content and the kart fixture's track packed into one archive
// (the moped content's shadow in place of the fixture's).
class MopedArchive {
public:
    MopedArchive() {
        ArchiveWriter writer;
        std::set<std::string> names;
        for (const MopedFile& file : mopedFiles()) {
            names.insert(file.archiveName);
            if (!writer.add(file.archiveName, file.bytes, 0)) return;
        }
        for (const KartFixture::Asset& asset : KartFixture::files())
            if (!names.count(asset.archiveName) && !writer.add(asset.archiveName, asset.bytes, 0)) return;
        std::string error;
        if (!writer.write(m_dir.file("data.sar"), error)) return;
        m_archive = std::make_unique<DataArchive>(m_disk);
        m_ok = m_archive->openArchive(m_dir.file("data.sar").c_str());
    }

    bool ok() const { return m_ok; }
    File& files() { return *m_archive; }

    // The figure of the model's rider, instance 1 or 2.
    static SceneObject* rider(LW6Scene& scene, int model, int instance) {
        return scene.getObject(MopedNames::riderObject(MopedNames::RIDER_OF_MODEL[model]), 0, instance);
    }

private:
    TempDir m_dir;
    DiskFile m_disk{""};
    std::unique_ptr<DataArchive> m_archive;
    bool m_ok = false;
};

// The fixture track in a pool of its own with a moped scene merged in twice,
// each time with the shadow and an empty "CameraTarget", as the race does.
class MopedTrack {
public:
    MopedTrack(MopedArchive& archive, int model, int colour)
        : m_scene(SceneLoader::loadScene(m_pool, KartFixture::TRACK_SCENE, archive.files())) {
        m_merged = m_scene != nullptr;
        for (int rider = 0; rider < 2 && m_merged; ++rider) {
            m_merged = SceneLoader::loadLWS(*m_scene, archive.files(), MopedNames::mopedScene(model, colour).c_str(),
                                            nullptr, 0.0f, 0.7f) &&
                       SceneLoader::loadObject(*m_scene, archive.files(), MopedNames::SHADOW, 0);
            m_scene->createObject(KartFixture::CAMERA_TARGET);
        }
    }
    // Makes the geoms and bodies of what was merged.
    void start() { m_pool.start(nullptr); }

    MetaScene m_pool;
    LW6Scene* m_scene;
    bool m_merged = false;
};

// The bones an object brought with it, in its own order.
inline std::vector<Bone*> ownBones(SceneObject& object) {
    std::vector<Bone*> bones;
    for (Bone* bone : object.getFirstMesh()->m_bones)
        if (bone->m_owner == &object) bones.push_back(bone);
    return bones;
}

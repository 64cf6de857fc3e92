#pragma once
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/archive/FileData.h"
#include "engine/platform/images/ImageLoaders.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/KartFixture.h"
#include "tools/demodata/tracks/DemoTracks.h"
#include "tools/kart-sim/KartSim.h"
#include "tools/sarpack/ArchiveWriter.h"

inline const DemoTrack& demoTrack(int number) { return demoTracks().at(static_cast<size_t>(number - 1)); }

// A track's files, built once for all tests of the program.
inline const std::vector<TrackFile>& demoTrackFilesOf(int number) {
    static std::map<int, std::vector<TrackFile>> built;
    auto known = built.find(number);
    if (known == built.end()) known = built.emplace(number, demoTrack(number).build()).first;
    return known->second;
}

// A demo track and the kart rig's moped, packed and opened as the game does;
// `replaced` gives other bytes for some of the track's files.
class DemoTrackArchive {
public:
    explicit DemoTrackArchive(int number, const std::map<std::string, std::string>& replaced = {}) {
        ArchiveWriter writer;
        for (const TrackFile& f : demoTrackFilesOf(number)) {
            auto other = replaced.find(f.archiveName);
            if (!writer.add(f.archiveName, other == replaced.end() ? f.bytes : other->second, 0)) return;
        }
        for (const char* name : {KartFixture::MOPED_SCENE, KartFixture::MOPED_OBJECT, KartFixture::RIDER_OBJECT,
                                 KartFixture::SHADOW_OBJECT, KartFixture::SETTINGS_FILE})
            for (const KartFixture::Asset& a : KartFixture::files())
                if (a.archiveName == name && !writer.add(a.archiveName, a.bytes, 0)) return;
        std::string error;
        if (!writer.write(m_dir.file("data.sar"), error)) return;
        m_archive = std::make_unique<DataArchive>(m_disk);
        m_ok = m_archive->openArchive(m_dir.file("data.sar").c_str());
    }
    bool ok() const { return m_ok; }
    File& files() { return *m_archive; }
    // A file's bytes, empty when it is missing.
    std::string bytes(const std::string& name) {
        std::unique_ptr<FileData> data(loadFileData(name.c_str(), m_archive.get()));
        if (!data) return {};
        return std::string(reinterpret_cast<const char*>(data->getData()), data->getSize());
    }

private:
    TempDir m_dir;
    DiskFile m_disk{""};
    std::unique_ptr<DataArchive> m_archive;
    bool m_ok = false;
};

struct TrackDrive {
    KartSim::Summary summary;
    std::string log;
};

// A computer kart with the kart rig's moped from the first start along one of the track's paths.
inline TrackDrive driveDemoTrack(DemoTrackArchive& archive, int number, int path, int steps) {
    KartSim::Options options;
    options.track = demoTrack(number).sceneFile;
    options.mopedScene = KartFixture::MOPED_SCENE;
    options.mopedObject = KartFixture::MOPED_OBJECT;
    options.settings = KartFixture::SETTINGS_FILE;
    options.computerDriver = true;
    options.path = path;
    options.seedReset = true;
    options.steps = steps;
    KartSim sim(archive.files(), options);
    TrackDrive out;
    std::string error;
    if (!sim.load(error)) {
        out.log = error;
        return out;
    }
    std::ostringstream log;
    out.summary = sim.run(log);
    out.log = log.str();
    return out;
}

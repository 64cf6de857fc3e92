#include "tools/demodata/audio/DemoAudio.h"

#include <functional>
#include <future>

#include "tools/demodata/audio/MusicPieces.h"
#include "tools/demodata/audio/OggEncoder.h"
#include "tools/demodata/audio/Sequencer.h"
#include "tools/demodata/audio/WaveFile.h"

namespace demoaudio {

namespace {

const int MUSIC_RATE = 44100;
// Enough for synthesised music; higher only makes the archive bigger.
const float MUSIC_QUALITY = 0.3f;

AudioFile music(const char* archiveName, Score (*compose)(), bool preview) {
    const StereoBuffer mix = renderScore(compose(), MUSIC_RATE);
    return {archiveName, 0, oggVorbisBytes(mix, MUSIC_RATE, MUSIC_QUALITY),
            preview ? stereoWaveBytes(mix, MUSIC_RATE) : std::string()};
}

} // namespace

std::vector<AudioFile> demoAudioFiles(bool preview) {
    const std::vector<std::pair<const char*, Score (*)()>> pieces = {
        {"D:\\Vantorik\\musics\\menu.ogg", menuMusic},
        {"D:\\Vantorik\\musics\\track01.ogg", carParkMusic},
        {"D:\\Vantorik\\musics\\track02.ogg", shoppingCentreMusic},
        {"D:\\Vantorik\\musics\\track03.ogg", parkMusic},
        {"D:\\Vantorik\\musics\\track04.ogg", openCarParkMusic},
        {"D:\\Vantorik\\musics\\track05.ogg", housingEstateMusic},
        {"D:\\Vantorik\\musics\\track06.ogg", countryRoadMusic},
    };
    std::vector<std::future<AudioFile>> jobs;
    for (const auto& piece : pieces)
        jobs.push_back(std::async(std::launch::async, music, piece.first, piece.second, preview));
    std::vector<AudioFile> files;
    for (std::future<AudioFile>& job : jobs) files.push_back(job.get());
    return files;
}

std::string previewName(const std::string& archiveName) {
    const size_t slash = archiveName.find_last_of("\\/");
    std::string name = slash == std::string::npos ? archiveName : archiveName.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return name.substr(0, dot) + ".wav";
}

} // namespace demoaudio

#include "tools/demodata/audio/DemoAudio.h"

#include <future>
#include <string>
#include <utility>
#include <vector>

#include "tools/demodata/audio/Compositions.h"
#include "tools/demodata/audio/OggEncoder.h"
#include "tools/demodata/audio/Sequencer.h"
#include "tools/demodata/audio/SoundEffects.h"
#include "tools/demodata/audio/WaveFile.h"

namespace demoaudio {

namespace {

const int MUSIC_RATE = 44100;
// Enough for synthesised music; higher only makes the archive bigger.
const float MUSIC_QUALITY = 0.3f;

AudioFile music(const char* archiveName, Score (*compose)(), bool preview) {
    const StereoBuffer mix = renderScore(compose(), MUSIC_RATE);
    // Vorbis is packed already: the archive stores it as it is.
    return {archiveName, 0, oggVorbisBytes(mix, MUSIC_RATE, MUSIC_QUALITY),
            preview ? stereoWaveBytes(mix, MUSIC_RATE) : std::string()};
}

AudioFile effect(const char* archiveName, const std::vector<float>& samples, bool preview) {
    std::string bytes = monoWaveBytes(samples, EFFECTS_RATE);
    std::string copy = preview ? bytes : std::string();
    // PCM shrinks a little under the archive's two stages.
    return {archiveName, 3, std::move(bytes), std::move(copy)};
}

std::vector<AudioFile> effects(bool preview) {
    static const char* const ENGINES[MOPED_MODELS] = {
        "D:\\Vantorik/soundfx/moped_hercules.wav", "D:\\Vantorik/soundfx/moped_kreidler.wav",
        "D:\\Vantorik/soundfx/moped_roller.wav", "D:\\Vantorik/soundfx/moped_vespa.wav",
        "D:\\Vantorik/soundfx/moped_yamaha.wav"};
    std::vector<AudioFile> files;
    for (int model = 0; model < MOPED_MODELS; ++model)
        files.push_back(effect(ENGINES[model], mopedEngine(model), preview));
    const std::vector<std::pair<const char*, std::vector<float> (*)()>> sounds = {
        {"D:\\Vantorik/soundfx/repos.wav", respawnShimmer},
        {"D:\\Vantorik/soundfx/kart_hit_objekt.wav", objectHit},
        {"D:\\Vantorik/soundfx/kart_hit_wand.wav", wallHit},
        {"D:\\Vantorik/soundfx/race_count01.wav", countdownBeep},
        {"D:\\Vantorik/soundfx/race_start01.wav", startBeep},
        {"D:\\Vantorik\\soundfx\\button06.wav", menuClick},
        {"D:\\Skorvitane\\soundfx\\stampfer.wav", stamperThud},
        {"D:\\Skorvitane\\soundfx\\stampfer02.wav", stamperDoubleThud},
        {"D:\\Quillfen\\soundfx\\wurst.wav", sausageSizzle},
        {"D:\\Quillfen\\soundfx\\wurst2.wav", sausageSquelch},
        {"D:\\Quillfen\\soundfx\\tueren_02.wav", doorSlam},
        {"D:\\Quillfen\\soundfx\\flinte_shot.wav", shotgunShot},
        {"D:\\Quillfen\\soundfx\\sfx_all\\blitz01.wav", lightningStrike},
    };
    for (const auto& sound : sounds) files.push_back(effect(sound.first, sound.second(), preview));
    return files;
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
    // The effects are quick; they are made while the music plays itself.
    std::vector<AudioFile> files = effects(preview);
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

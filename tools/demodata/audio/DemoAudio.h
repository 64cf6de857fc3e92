#pragma once
#include <string>
#include <vector>

namespace demoaudio {

// One sound file of the game under the name it opens it by.
struct AudioFile {
    std::string archiveName;
    int flags; // archive packing: 0 stored, 3 range-coded and block-sorted
    std::string bytes;
    std::string preview; // the same sound as plain 16-bit WAVE, when asked for
};

// Every sound effect (22050 Hz mono WAVE) and piece of music (Ogg Vorbis) of
// the game, made in parallel. With `preview` each also comes as plain WAVE
// for listening. Throws std::runtime_error when the encoder fails.
std::vector<AudioFile> demoAudioFiles(bool preview = false);

// "D:\Vantorik\musics\menu.ogg" becomes "menu.wav".
std::string previewName(const std::string& archiveName);

} // namespace demoaudio

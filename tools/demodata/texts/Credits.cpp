#include "tools/demodata/texts/Credits.h"

#include <initializer_list>

namespace {

// A name on its own line with a small note under it.
struct Credit {
    const char* name;
    const char* note;
};

// Every library the game runs on, with what it does and the licence it comes under.
const Credit LIBRARIES[] = {
    {"SDL2", "window, input and timers - zlib licence"},
    {"OpenGL through Mesa", "3D drawing - MIT licence"},
    {"GLEW", "OpenGL extensions - modified BSD licence and MIT licence"},
    {"OpenAL Soft", "3D sound - GNU LGPL 2 or later"},
    {"ODE - Open Dynamics Engine", "physics - BSD licence (or GNU LGPL 2.1 or later)"},
    {"CEGUI", "menus and in-race displays - MIT licence"},
    {"Expat and SILLY", "the GUI's files and pictures - MIT licence"},
    {"FreeType", "font rendering inside CEGUI - FreeType licence"},
    {"TinyXML", "text tables - zlib licence"},
    {"libjpeg-turbo", "JPEG pictures - IJG licence, modified BSD licence and zlib licence"},
    {"libpng and zlib", "PNG pictures - libpng licence and zlib licence"},
    {"libogg and libvorbis", "Ogg Vorbis music - BSD licence, Xiph.Org Foundation"},
    {"libcurl", "online high scores - curl licence (MIT style)"},
    {"OpenSSL", "score signatures - Apache License 2.0"},
    {"stb", "texture compression and screenshots - public domain (or MIT licence)"},
    {"DejaVu fonts", "every letter on screen - Bitstream Vera licence, changes in the public domain"},
};

// The game's own tools that write this data set when the game is built.
const Credit DEMO_DATA_TOOLS[] = {
    {"demodata", "tracks and mopeds as LightWave scenes and objects, sounds, music and texts"},
    {"guidata", "menu pictures, the buttons' look and the fonts"},
    {"sarpack", "packs it all into one archive, data.sar"},
};

const Credit BUILD_TOOLS[] = {
    {"GCC, CMake and Ninja", "compiler and build"},
    {"GoogleTest", "the automatic tests"},
};

void addLines(std::string& text, std::initializer_list<const char*> lines) {
    for (const char* line : lines) text += std::string(line) + "\r\n";
}

// Each name, then its note; a blank line after them all.
template <size_t N>
void addCredits(std::string& text, const Credit (&credits)[N]) {
    for (const Credit& credit : credits) text += std::string("!") + credit.name + "\r\n#" + credit.note + "\r\n";
    addLines(text, {""});
}

} // namespace

std::string creditsText() {
    std::string text;
    addLines(text, {"*Plimzor 2", "A moped racer on six tracks", "", "*Made by", "!The Plimzor team",
                    "Game design and programming", "Tracks and mopeds", "Pictures and menus", "Sound effects and music",
                    "Texts in six languages", "#German, English, French, Spanish, Italian and Russian", "",
                    "*This demo data set", "Every track, moped, picture, sound and tune in it",
                    "is made in code by the game's own tools", ""});
    addCredits(text, DEMO_DATA_TOOLS);
    addLines(text, {"*Built with free software", ""});
    addCredits(text, LIBRARIES);
    // The JPEG and FreeType licences ask for these sentences wherever the libraries are credited.
    addLines(text, {"#This software is based in part on the work of the Independent JPEG Group.",
                    "#Portions of this software are copyright (c) 2022 The FreeType Project (www.freetype.org).",
                    "#All rights reserved.", "", "*Made with", ""});
    addCredits(text, BUILD_TOOLS);
    addLines(text, {"*Thanks", "!to everyone who ever raced a moped round the car park", "", "Thank you for playing!"});
    return text;
}

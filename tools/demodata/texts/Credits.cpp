#include "tools/demodata/texts/Credits.h"

namespace {

struct Library {
    const char* name;
    const char* role;
    const char* licence;
};

// Every library the game links, with the licence it comes under.
const Library LIBRARIES[] = {
    {"SDL2", "window, input and timers", "zlib licence"},
    {"OpenGL through Mesa", "3D drawing", "MIT licence"},
    {"GLEW", "OpenGL extensions", "modified BSD licence and MIT licence"},
    {"OpenAL Soft", "3D sound", "GNU LGPL 2 or later"},
    {"ODE - Open Dynamics Engine", "physics", "BSD licence (or GNU LGPL 2.1 or later)"},
    {"CEGUI", "menus and in-race displays", "MIT licence"},
    {"FreeType", "font rendering inside CEGUI", "FreeType licence"},
    {"TinyXML", "text tables", "zlib licence"},
    {"libjpeg-turbo", "JPEG pictures", "IJG licence and modified BSD licence"},
    {"libogg and libvorbis", "Ogg Vorbis music", "BSD licence, Xiph.Org Foundation"},
    {"libcurl", "online high scores", "curl licence (MIT style)"},
    {"OpenSSL", "score signatures", "Apache License 2.0"},
    {"stb", "texture compression and screenshots", "public domain (or MIT licence)"},
    {"DejaVu fonts", "every letter on screen", "Bitstream Vera licence, changes in the public domain"},
};

} // namespace

std::string creditsText() {
    std::string lines[] = {
        "*Plimzor 2",
        "A moped racer",
        "",
        "*Made by",
        "!The Plimzor team",
        "#game design, programming, tracks and mopeds",
        "#sounds, music, pictures and texts",
        "",
        "*Spoken in six languages",
        "!German, English, French, Spanish, Italian and Russian",
        "#written by the Plimzor team",
        "",
        "*Built with free software",
        "",
    };
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    for (const Library& l : LIBRARIES) text += std::string("!") + l.name + "\r\n#" + l.role + " - " + l.licence + "\r\n";
    // The JPEG licence asks for this sentence wherever the library is credited.
    text += "#This software is based in part on the work of the Independent JPEG Group.\r\n";
    text += "#Portions of this software are copyright The FreeType Project (www.freetype.org).\r\n";
    text += "\r\n*Thanks\r\n!to everyone who ever raced a moped round the car park\r\n\r\nThank you for playing!\r\n";
    return text;
}

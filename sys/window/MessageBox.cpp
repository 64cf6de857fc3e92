#include "sys/window/MessageBox.h"

#include <SDL.h>
#include <dlfcn.h>
#include <langinfo.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace sys {

namespace {

MessageBoxSink g_sink = nullptr;
double g_timeLimit = 0.0;
volatile sig_atomic_t g_caughtSignal = 0;

constexpr int ENDING_SIGNALS[] = {SIGTERM, SIGINT};
constexpr long POLL_NANOSECONDS = 20'000'000;
constexpr int BOX_NOT_SHOWN = 3;

bool haveDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

Uint32 sdlFlags(unsigned style) {
    switch (style & 0xF0) {
    case MB_ICON_ERROR: return SDL_MESSAGEBOX_ERROR;
    case MB_ICON_EXCLAMATION: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

void catchSignal(int signal) { g_caughtSignal = signal; }

// UTF-8 continuation bytes do not count as characters.
size_t characters(const std::string& text) {
    size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

// Where a line of `columns` characters starting at `from` ends, in bytes.
size_t bytesOfColumns(const std::string& text, size_t from, size_t columns) {
    size_t at = from;
    for (size_t seen = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) continue;
        if (seen++ == columns) break;
    }
    return at - from;
}

void wrapParagraph(const std::string& paragraph, std::vector<std::string>& lines) {
    std::string line;
    size_t at = 0;
    while (at <= paragraph.size()) {
        size_t end = paragraph.find(' ', at);
        if (end == std::string::npos) end = paragraph.size();
        std::string word = paragraph.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && characters(line) + 1 + characters(word) > MESSAGE_BOX_COLUMNS) {
            lines.push_back(line);
            line.clear();
        }
        // A path longer than a line is cut where the line is full.
        while (characters(word) > MESSAGE_BOX_COLUMNS) {
            const size_t cut = bytesOfColumns(word, 0, MESSAGE_BOX_COLUMNS);
            lines.push_back(word.substr(0, cut));
            word.erase(0, cut);
        }
        line += (line.empty() ? "" : " ") + word;
    }
    lines.push_back(line);
}

// The box runs in a fresh copy of the program, in its own process group:
// SDL's box loop then never keeps this process from hearing a signal, and
// ending the group takes the box off the screen with everything it started.
const char* const BOX_TITLE = "PLIMZOR_BOX_TITLE";
const char* const BOX_TEXT = "PLIMZOR_BOX_TEXT";
const char* const BOX_STYLE = "PLIMZOR_BOX_STYLE";

// The texts are UTF-8; a box in a locale of another character set would end
// each line at its first umlaut, so there they are spelt out.
std::string spelledForLocale(const char* text) {
    setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return text;
    static const char* const SPELLINGS[][2] = {{"ä", "ae"}, {"ö", "oe"}, {"ü", "ue"}, {"Ä", "Ae"},
                                               {"Ö", "Oe"}, {"Ü", "Ue"}, {"ß", "ss"}};
    std::string out;
    for (const char* p = text; *p;) {
        bool spelled = false;
        for (const auto& s : SPELLINGS)
            if (std::strncmp(p, s[0], 2) == 0) {
                out += s[1];
                p += 2;
                spelled = true;
                break;
            }
        if (spelled) continue;
        const unsigned char c = static_cast<unsigned char>(*p++);
        if (c < 0x80) out += char(c);
        else if ((c & 0xC0) != 0x80) out += '?';
    }
    return out;
}

__attribute__((constructor(101))) void runAsBoxProcess() {
    const char* title = std::getenv(BOX_TITLE);
    const char* text = std::getenv(BOX_TEXT);
    const char* style = std::getenv(BOX_STYLE);
    if (!title || !text || !style) return;
    const Uint32 flags = sdlFlags(unsigned(std::atoi(style)));
    const std::string shown = spelledForLocale(text);
    // SDL is loaded only here, so tools that merely report through the box
    // do not load it and all it needs at every start.
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW);
    auto show = sdl ? reinterpret_cast<decltype(&SDL_ShowSimpleMessageBox)>(dlsym(sdl, "SDL_ShowSimpleMessageBox"))
                    : nullptr;
    _exit(show && show(flags, title, shown.c_str(), nullptr) == 0 ? 0 : BOX_NOT_SHOWN);
}

pid_t spawnBox(const char* title, const char* text, unsigned style) {
    std::vector<std::string> entries;
    for (char** e = environ; *e; ++e) entries.push_back(*e);
    entries.push_back(std::string(BOX_TITLE) + "=" + title);
    entries.push_back(std::string(BOX_TEXT) + "=" + text);
    entries.push_back(std::string(BOX_STYLE) + "=" + std::to_string(style));
    std::vector<char*> envp;
    for (std::string& e : entries) envp.push_back(e.data());
    envp.push_back(nullptr);
    char name[] = "plimzor2-box";
    char* argv[] = {name, nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = -1;
    if (posix_spawn(&child, "/proc/self/exe", nullptr, &attributes, argv, envp.data()) != 0) child = -1;
    posix_spawnattr_destroy(&attributes);
    return child;
}

// True when the box was shown (and closed, by the player, a signal or the limit).
bool showAndWait(const char* title, const char* text, unsigned style) {
    const pid_t child = spawnBox(title, text, style);
    if (child < 0) return false;

    struct sigaction catching {}, previous[std::size(ENDING_SIGNALS)];
    catching.sa_handler = catchSignal;
    sigemptyset(&catching.sa_mask);
    g_caughtSignal = 0;
    for (size_t i = 0; i < std::size(ENDING_SIGNALS); ++i) sigaction(ENDING_SIGNALS[i], &catching, &previous[i]);

    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        const double open = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (g_caughtSignal || (g_timeLimit > 0.0 && open >= g_timeLimit)) {
            kill(-child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        const timespec pause{0, POLL_NANOSECONDS};
        nanosleep(&pause, nullptr);
    }
    kill(-child, SIGKILL);

    for (size_t i = 0; i < std::size(ENDING_SIGNALS); ++i) sigaction(ENDING_SIGNALS[i], &previous[i], nullptr);
    // What would have reached the program without the box reaches it now.
    if (g_caughtSignal) raise(g_caughtSignal);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == BOX_NOT_SHOWN);
}

} // namespace

void setMessageBoxSink(MessageBoxSink sink) { g_sink = sink; }

void setMessageBoxTimeLimit(double seconds) { g_timeLimit = seconds > 0.0 ? seconds : 0.0; }

std::string wrapMessageBoxText(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        wrapParagraph(text.substr(at, end - at), lines);
        at = end + 1;
    }
    if (lines.size() > MESSAGE_BOX_LINES) {
        lines.resize(MESSAGE_BOX_LINES);
        lines.back() = "...";
    }
    std::string out;
    for (const std::string& line : lines) out += (out.empty() ? "" : "\n") + line;
    return out;
}

void showMessageBox(const char* title, const char* text, unsigned style) {
    if (g_sink) {
        g_sink(title, text, style);
        return;
    }
    const std::string fitted = wrapMessageBoxText(text ? text : "");
    if (haveDisplay() && showAndWait(title, fitted.c_str(), style)) return;
    std::fprintf(stderr, "%s: %s\n", title, text);
}

} // namespace sys

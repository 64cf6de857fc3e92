#include "tools/race-run/RaceRun.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <ostream>
#include <thread>

#include "engine/platform/Random.h"
#include "engine/platform/Report.h"
#include "engine/platform/TickSource.h"
#include "engine/platform/audio/NullSoundDevice.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "game/karts/Vehicle.h"
#include "game/race/Race.h"
#include "game/race/RaceProgressReport.h"
#include "game/records/Config.h"
#include "tools/race-run/RaceScreen.h"
#include "tools/race-run/RaceShots.h"
#include "tools/race-run/WorkFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t KEY_HELD = 0x80;
constexpr uint32_t HEADLESS_WIDTH = 1024;
constexpr uint32_t HEADLESS_HEIGHT = 768;
// The computer riders' names in English.
constexpr int32_t LANGUAGE_ENGLISH = 1;
constexpr int32_t SECTOR_VALUES = 16;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

int32_t playerKindOf(char letter) {
    switch (letter) {
    case 'p': return Race::SINGLE;
    case '1': return Race::USER1;
    case '2': return Race::USER2;
    default: return Race::COMPUTER;
    }
}

class Fnv1a {
public:
    template <typename T>
    void add(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) m_hash = (m_hash ^ b) * 1099511628211ull;
    }
    uint64_t value() const { return m_hash; }

private:
    uint64_t m_hash = 14695981039346656037ull;
};

} // namespace

RaceRun::RaceRun(File& files, const RaceRunOptions& options, const KeyScript& keys)
    : m_files(files), m_options(options), m_keys(keys), m_previousInput(g_input) {}

RaceRun::~RaceRun() {
    // The race goes before the configuration, the device and the folder it used.
    m_race.reset();
    m_config.reset();
    g_input = m_previousInput;
}

bool RaceRun::setUp(std::string& error) {
    if (m_options.shooting()) {
        m_shots = std::make_unique<RaceShots>(m_options.shots);
        if (!m_shots->open(error)) return false;
    }
    m_folder = std::make_unique<WorkFolder>();
    if (!m_folder->entered()) {
        error = "cannot make a working folder";
        return false;
    }
    m_screen = std::make_unique<RaceScreen>();
    const bool opened = m_options.windowed()
                            ? m_screen->openWindow(m_options.width, m_options.height, m_files, error)
                            : m_screen->openHeadless(HEADLESS_WIDTH, HEADLESS_HEIGHT, error);
    if (!opened) return false;
    g_input = &m_screen->input();
    m_sound = std::make_unique<NullSoundDevice>();
    m_ticks = std::make_unique<ManualTicks>();
    m_config = std::make_unique<Config>(&m_screen->input(), ".");
    configure();
    m_race = std::make_unique<Race>(m_screen->renderer(), m_screen->gui());
    m_race->m_tickSource = m_ticks.get();
    m_race->m_drawn = m_options.drawn;

    // Computer riders draw their mopeds from the game's dice: the same draw every run.
    Random::reset();
    g_lastErrorText.assignText("");
    m_screen->showLoading(true);
    const auto start = Clock::now();
    g_raceProgressListener = [this, start](float percent) {
        m_summary.setupSteps.emplace_back(percent, secondsSince(start));
    };
    const bool built = m_race->setup(&m_files, m_sound.get(), m_config.get());
    g_raceProgressListener = nullptr;
    m_summary.setupSeconds = secondsSince(start);
    m_screen->showLoading(false);
    if (!built) {
        error = "the race's set-up failed";
        if (*g_lastErrorText.text()) error += std::string(": ") + g_lastErrorText.text();
        return false;
    }
    return true;
}

void RaceRun::configure() {
    Config& c = *m_config;
    c.m_game.set(m_options.game);
    c.m_track.set(m_options.track);
    c.m_laps.set(m_options.laps);
    c.m_playMode = m_options.splitScreen() ? Race::SPLIT_SCREEN : Race::ONE_PLAYER;
    c.m_isHost = true;
    c.m_settings.m_language = LANGUAGE_ENGLISH;
    // Start places as the game's set-up screens give them, slot 0 at the back of the grid, or as a
    // championship's last race left them.
    const int32_t riders = m_options.game == Race::TIME_TRIAL ? 1 : Config::RIDERS;
    for (int i = 0; i < Config::RIDERS; ++i) {
        const char letter = size_t(i) < m_options.riders.size() ? m_options.riders[size_t(i)] : 'c';
        c.m_playerKind[i] = playerKindOf(letter);
        Config::Player rider;
        // A computer rider's slot stays empty: the set-up draws its moped and colour.
        if (c.m_playerKind[i] != Race::COMPUTER) {
            rider.model = i;
            rider.colour = i % 4;
            std::snprintf(rider.name, sizeof rider.name, "Player %c", letter == 'p' ? '1' : letter);
        }
        rider.startRank =
            m_options.places.empty() ? std::max(riders - 1 - i, 0) : int32_t(m_options.places[size_t(i)] - '0');
        *c.m_player[i].modify() = rider;
    }
}

bool RaceRun::frame() {
    const auto start = Clock::now();
    if (!m_screen->beginFrame()) return false;
    ++m_frame;
    InputDevice& input = m_screen->input();
    // Nobody has to press Space: the countdown begins with the first frame.
    if (m_frame == 1) input.m_keys[KEY_SPACE] = KEY_HELD;
    m_keys.apply(m_frame, input);
    m_race->update(&input);
    m_steps += m_race->m_lastSteps;
    m_ticks->advance(m_options.dt);
    m_frameSeconds.push_back(secondsSince(start));
    return true;
}

bool RaceRun::run(std::ostream& out, std::string& error) {
    if (!setUp(error)) return false;
    const int32_t frames =
        m_options.untilFinished() ? int32_t(std::ceil(TIME_LIMIT / m_options.dt)) : m_options.frames;
    int32_t secondsShown = 0;
    bool windowOpen = true;
    bool shot = true;
    while (m_frame < frames) {
        const auto start = Clock::now();
        windowOpen = frame();
        if (!windowOpen) break;
        shot = !m_shots || m_shots->take(*m_race, error);
        if (!shot) break;
        if (m_race->m_simulatedTime >= secondsShown + 1) {
            secondsShown = int32_t(m_race->m_simulatedTime);
            printSecond(out);
        }
        if (m_options.untilFinished() && (m_race->m_resultsShown || m_race->m_leaveRace)) break;
        // In a window the race goes at the pace of its clock; nobody watches a run that takes pictures.
        if (m_options.windowed() && m_options.paced && !m_shots)
            std::this_thread::sleep_until(start + std::chrono::duration<double>(m_options.dt));
    }
    m_summary = collect();
    if (!shot) return false;
    if (m_options.untilFinished() && windowOpen && !m_summary.finished) {
        error = "the race did not finish within 20 simulated minutes";
        return false;
    }
    return true;
}

void RaceRun::printSecond(std::ostream& out) const {
    char text[96];
    std::snprintf(text, sizeof text, "%5d s", int32_t(m_race->m_simulatedTime));
    out << text;
    for (int32_t i = 0; i < m_race->m_vehicleCount; ++i) {
        Vehicle* v = m_race->getVehicle(i);
        if (!v) continue;
        std::snprintf(text, sizeof text, " | %d: lap %d sector %2d rank %d speed %5.2f", i, v->m_lap.get(),
                      v->m_positionHistory[0] / SECTOR_VALUES, v->m_rank.get(), v->getSpeed());
        out << text;
    }
    out << '\n';
}

RaceRun::Summary RaceRun::collect() const {
    Summary s = m_summary;
    s.frames = m_frame;
    s.steps = m_steps;
    s.simulatedSeconds = m_race->m_simulatedTime;
    if (!m_frameSeconds.empty()) {
        std::vector<double> sorted = m_frameSeconds;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        s.meanFrameMilliseconds = 1000.0 * std::accumulate(sorted.begin(), sorted.end(), 0.0) / double(n);
        s.medianFrameMilliseconds = 1000.0 * (n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0);
        s.worstFrameMilliseconds = 1000.0 * sorted.back();
    }
    if (m_race->m_renderer && m_frame > 0) {
        s.drawsPerFrame = double(m_race->m_renderer->m_drawCount) / m_frame;
        s.trianglesPerFrame = double(m_race->m_renderer->m_primitiveCount) / m_frame;
    }
    s.finished = m_race->m_resultsShown || m_race->m_leaveRace;
    s.views = m_race->m_viewCount;
    s.hash = stateHash();
    if (m_shots) s.shots = m_shots->written();
    s.riders.clear();
    for (int32_t i = 0; i < m_race->m_vehicleCount; ++i) {
        const Config::Player& record = m_config->m_player[i].get();
        Vehicle* v = m_race->getVehicle(i);
        Rider r;
        r.name = std::string(record.name, strnlen(record.name, sizeof record.name));
        r.finished = v && v->m_trackFinished.get();
        r.place = record.place;
        r.raceTime = record.raceTime;
        r.bestLap = record.bestLap;
        s.riders.push_back(r);
    }
    return s;
}

void RaceRun::printSummary(std::ostream& out) const {
    const Summary& s = m_summary;
    char text[200];
    for (size_t i = 0; i < s.riders.size(); ++i) {
        const Rider& r = s.riders[i];
        if (r.finished)
            std::snprintf(text, sizeof text, "rider %zu %s: place %d, race time %.2f s, best lap %.2f s\n", i,
                          r.name.c_str(), r.place + 1, r.raceTime, r.bestLap);
        else
            std::snprintf(text, sizeof text, "rider %zu %s: not finished\n", i, r.name.c_str());
        out << text;
    }
    const double wall = s.setupSeconds + s.meanFrameMilliseconds * s.frames / 1000.0;
    std::snprintf(text, sizeof text,
                  "set-up %.3f s\nframes %d, physics steps %lld, simulated %.2f s\n"
                  "frame time median %.3f ms, mean %.3f ms, worst %.3f ms\n",
                  s.setupSeconds, s.frames, static_cast<long long>(s.steps), s.simulatedSeconds,
                  s.medianFrameMilliseconds, s.meanFrameMilliseconds, s.worstFrameMilliseconds);
    out << text;
    if (m_options.setupSteps)
        for (const auto& [percent, seconds] : s.setupSteps) {
            std::snprintf(text, sizeof text, "set-up step %3.0f %% at %.1f ms\n", double(percent), seconds * 1000.0);
            out << text;
        }
    if (s.drawsPerFrame > 0.0) {
        std::snprintf(text, sizeof text, "drawn per frame: %.0f surface draws, %.0f triangles\n", s.drawsPerFrame,
                      s.trianglesPerFrame);
        out << text;
    }
    if (wall > 0.0) {
        std::snprintf(text, sizeof text, "%.1f times real time, set-up included\n", s.simulatedSeconds / wall);
        out << text;
    }
    std::snprintf(text, sizeof text, "state hash %016llx\n", static_cast<unsigned long long>(s.hash));
    out << text;
    for (const std::string& path : s.shots) out << "picture " << path << '\n';
}

uint64_t RaceRun::stateHash() const {
    Fnv1a hash;
    for (int32_t i = 0; i < m_race->m_vehicleCount; ++i) {
        Vehicle* v = m_race->getVehicle(i);
        if (!v) continue;
        Position3 at{};
        v->getPosition(at);
        const Config::Player& record = m_config->m_player[i].get();
        hash.add(at.x);
        hash.add(at.y);
        hash.add(at.z);
        hash.add(v->m_lap.get());
        hash.add(v->m_rank.get());
        hash.add(v->m_trackTime.get());
        hash.add(v->m_trackFinished.get());
        hash.add(record.place);
        hash.add(record.raceTime);
        hash.add(record.bestLap);
    }
    return hash.value();
}

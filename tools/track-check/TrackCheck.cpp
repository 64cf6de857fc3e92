#include "tools/track-check/TrackCheck.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <ostream>
#include <sstream>

#include <ode/collision.h>

#include "engine/platform/Ref.h"
#include "engine/platform/images/ImageLoaders.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "game/race/Race.h"
#include "game/surfaces/GroundProbe.h"
#include "game/surfaces/RaceSurfaces.h"
#include "tools/demodata/KartFixture.h"
#include "tools/track-check/TrackPoints.h"
#include "tools/track-check/TrackPositionMap.h"

namespace {

const std::vector<std::string> DEMO_TRACKS = {"D:\\Vantorik\\3dobjects_tracks\\track_01_parkhaus.lws",
                                              "D:\\Vantorik\\3dobjects_tracks\\track_02_einkaufszentrum.lws",
                                              "D:\\Vantorik\\3dobjects_tracks\\track_03_park.lws",
                                              "D:\\Vantorik\\3dobjects_tracks\\track_04_parkplatz.lws",
                                              "D:\\Vantorik\\3dobjects_tracks\\track_05_siedlung.lws",
                                              "D:\\Vantorik\\3dobjects_tracks\\track_06_ueberland.lws"};

constexpr size_t SPACE_COUNT = 12;
constexpr int START_COUNT = 5;
constexpr int32_t FINISH_LINE = 19;
// Spaces that both human (4) and computer karts (9) meet, and that hold neither karts nor thrown things.
constexpr int32_t LINE_SPACES[] = {6, 7, 10};
constexpr int PATHS = 6;
// Nearer path points stall the computer driver's search; farther ones cut corners.
constexpr float PATH_GAP_MIN = 0.5f;
constexpr float PATH_GAP_MAX = 20.0f;
// A respawn point stands clear of a kart on its neighbour: two contact radii of the race's karts.
constexpr float RESPAWN_GAP_MIN = 2.0f * 0.75f;
constexpr float RESPAWN_GAP_MAX = 60.0f;
// Well over six: a respawning kart steps three or five points back, past points other karts block.
constexpr size_t RESPAWN_MIN_POINTS = 12;
constexpr size_t PATH_MIN_POINTS = 3;
// How far from a finish line geom the position map may wrap.
constexpr float LINE_REACH = 5.0f;
// A start faces along the lap within 45 degrees.
constexpr float FACING_COSINE = 0.7071f;
// Starts side by side count as level when they lie this close along the lap.
constexpr float LEVEL_ALONG = 0.5f;
// The first of the last sector's values: the starts stand behind the line.
constexpr int LAST_SECTOR_VALUE = 240;
constexpr int32_t ILLUMINATION_SIDE = 1024;
// The demo laps are meant to take this long.
constexpr double LAP_LOW = 35.0;
constexpr double LAP_HIGH = 60.0;
constexpr size_t TRACE_TAIL = 5;

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

std::string pointText(size_t index, const Position3& p) {
    return format("#%zu (%.1f, %.1f, %.1f)", index, p.x, p.y, p.z);
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
    return text;
}

std::string trackFile(int32_t track, const std::string& name) {
    return "D:\\Vantorik\\ai_files\\track0" + std::to_string(track + 1) + "\\" + name;
}

std::string pathName(int path) { return "ai" + std::to_string(path + 2) + ".dat"; }

std::string mapFile(const char* kind, int32_t track, const char* ending) {
    return std::string("D:\\Vantorik/mini_maps/") + kind + "_track_0" + std::to_string(track + 1) + ending;
}

// Where a kart's rays find no ground: one problem for each kind of miss.
std::vector<std::string> groundProblems(GroundProbe& probe, const std::vector<Position3>& points) {
    std::map<std::string, std::pair<int, size_t>> misses;
    for (size_t i = 0; i < points.size(); ++i) {
        const GroundProbe::Result found = probe.under(points[i]);
        std::string kind;
        if (found.found == GroundProbe::Found::NOTHING)
            kind = "no ground";
        else if (found.found == GroundProbe::Found::FALL_ZONE)
            kind = "a fall zone";
        else if (found.found == GroundProbe::Found::OTHER)
            kind = format("surface %d (not ground)", found.surfaceKind);
        else
            continue;
        ++misses.try_emplace(kind, 0, i).first->second.first;
    }
    std::vector<std::string> problems;
    for (const auto& [kind, miss] : misses)
        problems.push_back(format("%s under %d point%s (first %s)", kind.c_str(), miss.first,
                                  miss.first == 1 ? "" : "s", pointText(miss.second, points[miss.second]).c_str()));
    return problems;
}

// The xz distance from a point to a geom's box.
float reachOf(dGeomID geom, const Position3& p) {
    dReal box[6];
    dGeomGetAABB(geom, box);
    const float dx = std::max({float(box[0]) - p.x, 0.0f, p.x - float(box[1])});
    const float dz = std::max({float(box[4]) - p.z, 0.0f, p.z - float(box[5])});
    return std::sqrt(dx * dx + dz * dz);
}

// The nearest approach of a path segment to any of the geoms, in the xz plane.
float segmentReach(const std::vector<dGeomID>& geoms, const Position3& a, const Position3& b) {
    float nearest = INFINITY;
    constexpr int SAMPLES = 16;
    for (int k = 0; k <= SAMPLES; ++k) {
        const float t = float(k) / SAMPLES;
        const Position3 p{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
        for (dGeomID geom : geoms) nearest = std::min(nearest, reachOf(geom, p));
    }
    return nearest;
}

std::map<std::string, std::string> spareKart() {
    std::map<std::string, std::string> spares;
    for (KartFixture::Asset& asset : KartFixture::files())
        for (const char* name : {KartFixture::MOPED_SCENE, KartFixture::MOPED_OBJECT, KartFixture::RIDER_OBJECT,
                                 KartFixture::SHADOW_OBJECT, KartFixture::SETTINGS_FILE})
            if (asset.archiveName == name) spares[asset.archiveName] = std::move(asset.bytes);
    return spares;
}

} // namespace

// What the checks of one loaded scene share.
struct TrackCheck::Scene {
    LW6Scene& scene;
    int32_t track;
    GroundProbe probe;
    TrackPoints paths[PATHS];
    std::vector<dGeomID> finishLines;
};

TrackCheck::TrackCheck(File& archive, const Options& options) : m_files(archive, spareKart()), m_options(options) {}

const std::vector<std::string>& TrackCheck::demoTracks() { return DEMO_TRACKS; }

std::string TrackCheck::sceneOf(const std::string& argument) {
    if (argument.size() == 1 && argument[0] >= '1' && argument[0] <= '6') return DEMO_TRACKS[size_t(argument[0] - '1')];
    return argument;
}

void TrackCheck::add(const std::string& name, bool ok, const std::string& detail) {
    m_items.push_back({name, ok, detail});
    char line[64];
    std::snprintf(line, sizeof line, "  %-4s  %-17s ", ok ? "ok" : "FAIL", name.c_str());
    *m_out << line << detail << "\n" << std::flush;
}

bool TrackCheck::run(const std::string& sceneName, std::ostream& out) {
    m_items.clear();
    m_lapTimes.clear();
    m_out = &out;
    out << "track " << sceneName << "\n";
    bool hasFinishLine = false;
    if (m_files.inArchive(sceneName.c_str())) {
        hasFinishLine = checkScene(sceneName);
        drive(sceneName, hasFinishLine);
    } else {
        add("scene", false, "not in the archive");
    }
    const long failed = std::count_if(m_items.begin(), m_items.end(), [](const Item& item) { return !item.ok; });
    out << (failed ? format("track FAILED: %ld of %zu checks\n", failed, m_items.size())
                   : std::string("track passed\n"));
    return failed == 0;
}

bool TrackCheck::checkScene(const std::string& sceneName) {
    Race race;
    RaceSurfaces surfaces(&race);
    MetaScene pool;
    m_files.takeMissing();
    const auto begin = std::chrono::steady_clock::now();
    LW6Scene* loaded = SceneLoader::loadScene(pool, sceneName, m_files);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const bool quick = seconds <= m_options.maxLoadSeconds;
    add("scene", quick,
        format("loaded in %.2f s without a renderer%s", seconds,
               quick ? "" : format(", more than %.0f s", m_options.maxLoadSeconds).c_str()));
    const std::set<std::string> missing = m_files.takeMissing();
    std::vector<std::string> names(missing.begin(), missing.end());
    add("files", missing.empty(),
        missing.empty() ? "every file it names is in the archive" : "missing " + joined(names));

    surfaces.install(*loaded);
    Scene s{*loaded, trackIndexOf(sceneName), GroundProbe(*loaded), {}, {}};
    for (int path = 0; path < PATHS; ++path)
        s.paths[path] = TrackPoints::read(m_files, trackFile(s.track, pathName(path)));
    for (auto& object : loaded->m_objects) {
        auto* node = dynamic_cast<ODEGeomObject*>(object.get());
        if (node && node->m_geom && node->m_surfaceKind == FINISH_LINE)
            s.finishLines.push_back(node->m_geomTransform ? node->m_geomTransform : node->m_geom);
    }

    checkSpaces(s);
    checkStarts(s);
    add("camera", !loaded->m_cameras.empty(), format("%zu", loaded->m_cameras.size()));
    checkFinishLine(s);
    for (int path = 0; path < PATHS; ++path)
        checkPoints(s, pathName(path), s.paths[path], PATH_MIN_POINTS, PATH_GAP_MIN, PATH_GAP_MAX);
    const TrackPoints respawns = TrackPoints::read(m_files, trackFile(s.track, "ai_respawn.dat"));
    checkPoints(s, "ai_respawn.dat", respawns, RESPAWN_MIN_POINTS, RESPAWN_GAP_MIN, RESPAWN_GAP_MAX);
    checkPositionMap(s);
    checkIllumination(s);
    return !s.finishLines.empty();
}

void TrackCheck::checkSpaces(Scene& s) {
    const std::vector<LW6Scene::Space>& spaces = s.scene.m_spaces;
    const bool ok = spaces.size() == SPACE_COUNT && spaces[0].name == "(default)";
    add("spaces", ok,
        ok ? std::string("(default) and 1 to 11")
           : format("%zu spaces, first \"%s\"; the race needs \"(default)\" and 1 to 11", spaces.size(),
                    spaces.empty() ? "" : spaces[0].name.c_str()));
}

void TrackCheck::checkStarts(Scene& s) {
    const int count = s.scene.countObjects("start", -1);
    std::vector<std::string> problems;
    if (count != START_COUNT) problems.push_back(format("%d \"start\" nulls, %d wanted", count, START_COUNT));
    std::vector<Position3> places;
    const TrackPoints& lap = s.paths[0];
    const size_t n = lap.points.size();
    const float lapLength = lap.loopLength();
    float first = 0.0f, previous = 0.0f;
    std::string backwards;
    for (int k = 1; k <= std::min(count, START_COUNT); ++k) {
        SceneObject* start = s.scene.getObject("start", -1, k);
        const Position3 at = start->evaluatePosition(0.0);
        places.push_back(at);
        if (n < 2) continue;
        // The kart takes the start's heading as its own.
        const float heading = start->m_channels[SceneItem::HEADING].evaluate(0.0);
        const size_t i = lap.nearest(at);
        const Position3 &from = lap.points[i], &to = lap.points[(i + 1) % n];
        const float dx = to.x - from.x, dz = to.z - from.z, length = std::sqrt(dx * dx + dz * dz);
        if (length > 0.0f && (std::sin(heading) * dx + std::cos(heading) * dz) / length < FACING_COSINE)
            problems.push_back(format("start %d does not face along %s", k, pathName(0).c_str()));
        // Rider slot k - 1 stands on start k and slot 0 starts last: start 1 is the back of the grid.
        const float along = lap.alongLoop(at);
        if (k == 1) first = along;
        const float ahead = std::remainder(along - first, lapLength);
        if (k > 1 && ahead < previous - LEVEL_ALONG) backwards += format("%s%d", backwards.empty() ? "" : ", ", k);
        previous = ahead;
    }
    if (!backwards.empty())
        problems.push_back("starts " + backwards +
                           " stand behind the start numbered before them, but start 1 is the back of the grid");
    for (std::string& problem : groundProblems(s.probe, places)) problems.push_back(problem);
    add("starts", problems.empty(),
        problems.empty()
            ? format("%d, over ground, from the back of the grid to the front, facing along the lap", count)
            : joined(problems));
}

void TrackCheck::checkFinishLine(Scene& s) {
    std::vector<std::string> problems;
    for (dGeomID geom : s.finishLines) {
        // A space carries its index as its data.
        const dGeomID holder = reinterpret_cast<dGeomID>(dGeomGetSpace(geom));
        const int space = static_cast<int>(reinterpret_cast<intptr_t>(dGeomGetData(holder)));
        if (std::find(std::begin(LINE_SPACES), std::end(LINE_SPACES), space) == std::end(LINE_SPACES))
            problems.push_back(format("a finish line geom in space %d, where not every kart meets it", space));
    }
    if (s.finishLines.empty()) problems.push_back(format("no geom of surface %d", FINISH_LINE));
    add("finish line", problems.empty(),
        problems.empty() ? format("%zu geom%s of surface %d", s.finishLines.size(),
                                  s.finishLines.size() == 1 ? "" : "s", FINISH_LINE)
                         : joined(problems));
}

void TrackCheck::checkPoints(Scene& s, const std::string& name, const TrackPoints& list, size_t minimum, float gapMin,
                             float gapMax) {
    if (!list.found) {
        add(name, false, "missing " + trackFile(s.track, name));
        return;
    }
    std::vector<std::string> problems;
    if (list.bytes % 16 != 0) problems.push_back(format("%u bytes, not whole 16-byte records", list.bytes));
    if (!list.finite) problems.push_back("a value that is not a finite number");
    if (list.points.size() < minimum)
        problems.push_back(format("%zu points, fewer than %zu", list.points.size(), minimum));
    const float shortest = list.shortestGap(), longest = list.longestGap(), closing = list.closingGap();
    if (list.points.size() >= 2 && (shortest < gapMin || longest > gapMax))
        problems.push_back(
            format("neighbours %.2f to %.2f apart, not %.1f to %.1f", shortest, longest, gapMin, gapMax));
    if (list.points.size() >= 2 && (closing < gapMin || closing > gapMax))
        problems.push_back(format("not a closed loop: the last point is %.2f from the first", closing));
    for (std::string& problem : groundProblems(s.probe, list.points)) problems.push_back(problem);
    add(name, problems.empty(),
        problems.empty() ? format("%zu points %.1f to %.1f apart, closed, over ground", list.points.size(),
                                  std::min(shortest, closing), std::max(longest, closing))
                         : joined(problems));
}

void TrackCheck::checkPositionMap(Scene& s) {
    TrackPositionMap map;
    std::string problem;
    if (!map.load(m_files, mapFile("posmap", s.track, ".pcx"), problem)) {
        add("position map", false, problem);
        return;
    }
    std::vector<std::string> problems;
    for (int path = 0; path < PATHS; ++path) {
        const std::vector<Position3>& points = s.paths[path].points;
        if (points.size() < PATH_MIN_POINTS) continue;
        const TrackPositionMap::Run run = map.run(points);
        const std::string name = pathName(path);
        if (run.zeros)
            problems.push_back(format("0 under %d point%s of %s (first %s)", run.zeros, run.zeros == 1 ? "" : "s",
                                      name.c_str(), pointText(run.firstZero, points[run.firstZero]).c_str()));
        if (run.falls)
            problems.push_back(format("falls back %d time%s along %s (first after %s)", run.falls,
                                      run.falls == 1 ? "" : "s", name.c_str(),
                                      pointText(run.firstFall, points[run.firstFall]).c_str()));
        if (run.wraps.size() != 1)
            problems.push_back(
                format("wraps from sector 15 to 0 %zu times along %s, not once", run.wraps.size(), name.c_str()));
        for (size_t at : run.wraps) {
            const float reach = segmentReach(s.finishLines, points[at], points[(at + 1) % points.size()]);
            if (!s.finishLines.empty() && reach > LINE_REACH)
                problems.push_back(format("wraps after %s of %s, %.1f from the finish line",
                                          pointText(at, points[at]).c_str(), name.c_str(), reach));
        }
    }
    if (s.finishLines.empty()) problems.push_back("no finish line to wrap at");
    std::string early;
    for (int k = 1; k <= std::min(s.scene.countObjects("start", -1), START_COUNT); ++k)
        if (map.at(s.scene.getObject("start", -1, k)->evaluatePosition(0.0)) < LAST_SECTOR_VALUE)
            early += (early.empty() ? "" : ", ") + std::to_string(k);
    if (!early.empty())
        problems.push_back(
            format("starts %s read below %d, not the last sector behind the line", early.c_str(), LAST_SECTOR_VALUE));
    add("position map", problems.empty(),
        problems.empty() ? std::string("512 x 512, under every path point, rising along each path and wrapping once at "
                                       "the finish line")
                         : joined(problems));
}

void TrackCheck::checkIllumination(Scene& s) {
    const std::string name = mapFile("illumination", s.track, ".bmp");
    const Ref<Image> image = Ref<Image>::adopt(loadImage(name.c_str(), &m_files, true));
    const int32_t width = image ? image->getWidth() : 0, height = image ? image->getHeight() : 0;
    const bool ok = width == ILLUMINATION_SIDE && height == ILLUMINATION_SIDE;
    add("illumination map", ok,
        !image ? "missing or unreadable " + name
               : format("%d x %d%s", width, height,
                        ok ? "" : format(", not %d x %d", ILLUMINATION_SIDE, ILLUMINATION_SIDE).c_str()));
}

void TrackCheck::drive(const std::string& sceneName, bool byFinishLine) {
    KartSim::Options options = m_options.kart;
    options.track = sceneName;
    options.computerDriver = true;
    options.seedReset = true;
    std::string kart = "the moped " + options.mopedScene;
    if (!m_files.inArchive(options.mopedScene.c_str())) {
        options.mopedScene = KartFixture::MOPED_SCENE;
        options.mopedObject = KartFixture::MOPED_OBJECT;
        kart = "the test moped";
    }
    KartSim sim(m_files, options);
    std::string error;
    if (!sim.load(error)) {
        add("drive", false, error);
        return;
    }
    KartSim::Summary summary;
    std::ostringstream trace;
    const std::vector<double>& marks = byFinishLine ? summary.lineCrossings : summary.pathWraps;
    const size_t wanted = static_cast<size_t>(m_options.laps) + 1;
    const double limit = m_options.maxLapSeconds * static_cast<double>(wanted);
    while (marks.size() < wanted && sim.time() < limit && !summary.sawNaN) sim.step(summary, trace);

    const int laps = marks.empty() ? 0 : static_cast<int>(marks.size()) - 1;
    std::string times;
    bool usual = true;
    for (int lap = 0; lap < laps; ++lap) {
        const double seconds = marks[size_t(lap) + 1] - marks[size_t(lap)];
        m_lapTimes.push_back(seconds);
        usual = usual && seconds >= LAP_LOW && seconds <= LAP_HIGH;
        times += format("%s%.2f s", lap ? ", " : "", seconds);
    }
    const bool ok = laps >= m_options.laps && summary.respawns == 0 && !summary.sawNaN;
    std::string detail = format("%s, %d lap%s by %s", kart.c_str(), laps, laps == 1 ? "" : "s",
                                byFinishLine ? "the finish line" : "the path (no finish line)");
    if (laps) detail += ": " + times + (usual ? "" : format(" (demo laps take %.0f to %.0f s)", LAP_LOW, LAP_HIGH));
    if (!marks.empty()) detail += format("; the first lap began at %.2f s", marks.front());
    detail += format("; %d respawn%s", summary.respawns, summary.respawns == 1 ? "" : "s");
    if (summary.sawNaN) detail += "; a value became NaN";
    if (laps < m_options.laps) detail += format("; stopped after %.0f s", sim.time());
    add("drive", ok, detail);
    if (ok) return;
    // Where the kart was in its last seconds.
    std::vector<std::string> lines;
    std::istringstream text(trace.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    for (size_t i = lines.size() > TRACE_TAIL ? lines.size() - TRACE_TAIL : 0; i < lines.size(); ++i)
        *m_out << "          " << lines[i] << "\n";
}

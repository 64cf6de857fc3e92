#include "tools/demodata/tracks/TrackBuilder.h"

TrackBuilder::TrackBuilder(int number, std::string name, Centreline line)
    : m_number(number), m_name(std::move(name)), m_line(std::move(line)) {}

std::string TrackBuilder::sceneFile(int number, const std::string& name) {
    return "D:\\Vantorik\\3dobjects_tracks\\track_0" + std::to_string(number) + "_" + name + ".lws";
}

MeshBuilder& TrackBuilder::ground() { return m_mesh; }
MeshBuilder& TrackBuilder::ground(Kind) { return m_mesh; }
MeshBuilder& TrackBuilder::walls() { return m_mesh; }
MeshBuilder& TrackBuilder::scenery() { return m_mesh; }
std::string TrackBuilder::texture(const std::string& file, const Picture&) { return file; }
void TrackBuilder::road(const RoadLook&, float, float) {}
void TrackBuilder::edgeWall(float, float, int, float, const SurfaceLook&, float, float) {}
void TrackBuilder::zone(const std::string&, Kind, Vec3, Vec3, float) {}
void TrackBuilder::pickup(float, float) {}
void TrackBuilder::pickupRow(float, int) {}
void TrackBuilder::speedup(float, float, float, float) {}
void TrackBuilder::obstacle(const std::string&, Vec3, Vec3, float, float, const SurfaceLook&) {}
void TrackBuilder::stamper(float, float, Vec3, float, float, const SurfaceLook&) {}
void TrackBuilder::fallZone(Vec3, Vec3) {}
void TrackBuilder::setPaths(std::vector<std::vector<RacingLines::PathPoint>> paths) { m_paths = std::move(paths); }
std::vector<TrackFile> TrackBuilder::files() { return {}; }

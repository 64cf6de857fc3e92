#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/LightMap.h"
#include "tools/demodata/tracks/MeshBuilder.h"
#include "tools/demodata/tracks/RacingLines.h"
#include "tools/demodata/tracks/TrackFile.h"
#include "tools/lightwave/LwsScene.h"

// Builds one race track from its centreline: the scene with the physics
// block, the five starts, the finish line, camera and lights; the track
// object (ground, walls, scenery layers); feature geoms; the computer paths,
// respawn points, position and illumination maps; the textures it draws with.
//
// Where things go, so that the race collides them (it pairs spaces 3-1,
// 3-11, 4-2, 4-4, 4-6, 4-7, 4-9, 4-10, 5-1, 5-2, 5-4, 5-5, 5-9, 9-6, 9-7,
// 9-8, 9-9, 9-10 only):
//   ground     surface 0 (25, 26)  space 1   the karts' rays stand on it
//   walls      surface 1           space 10  both kinds of kart; a copy in
//                                            space 2 stops rockets and obstacles
//   zones      surface 7, 13..23   space 6   touched by the kart bodies
//   obstacles  surface 12 + body   space 5   pushed by karts, rest on the ground
//   fall       surface 8           space 11  under the rays where karts drop off
class TrackBuilder {
public:
    // Surface kinds of track geoms.
    enum Kind {
        GROUND = 0, WALL = 1, RESET = 7, FALL = 8, OBSTACLE = 12, PICKUP = 13, CRUSHER = 14, SPEEDUP = 15,
        STAMPER = 16, FINISH = 19, WIND = 20, SLIPPERY = 21, BELT = 22, TRIGGER = 23, GROUND_FAST = 25,
        GROUND_ROUGH = 26
    };
    static constexpr int SPACE_GROUND = 1;
    static constexpr int SPACE_ROCKET_WALLS = 2;
    static constexpr int SPACE_OBSTACLES = 5;
    static constexpr int SPACE_ZONES = 6;
    static constexpr int SPACE_WALLS = 10;
    static constexpr int SPACE_FALL = 11;

    static constexpr const char* PICKUP_OBJECT = "D:\\Skorvitane/3dobjects_extras/extra_addon.lwo";
    static constexpr const char* STAMPER_SOUND = "D:\\Skorvitane\\soundfx\\stampfer.wav";

    // Track number 1..6 and its short name: the scene becomes
    // "D:\Vantorik\3dobjects_tracks\track_0N_<name>.lws".
    TrackBuilder(int number, std::string name, Centreline line);

    static std::string sceneFile(int number, const std::string& name);
    int number() const { return m_number; }
    const Centreline& line() const { return m_line; }

    // The track object's layers. Each call selects the layer in the one
    // MeshBuilder and returns it; draw into it before the next call.
    MeshBuilder& ground();            // driveable, surface 0
    MeshBuilder& ground(Kind kind);   // driveable of another ground kind (25, 26)
    MeshBuilder& walls();             // solid for the karts, surface 1
    MeshBuilder& scenery();           // seen only: no geom
    // Registers a texture picture under TrackTextures' shared names and returns its clip name.
    std::string texture(const std::string& file, const Picture& picture);

    // The road over [s0, s1) of the lap (s1 may pass the lap's end): the
    // surface over its full width, kerbs of `kerbWidth` inside both edges when
    // that is above 0, and painted edge lines when `lines` is set.
    struct RoadLook {
        SurfaceLook surface;
        float textureLength = 8.0f; // world units per texture repeat along the road
        float kerbWidth = 0.0f;
        std::optional<SurfaceLook> kerb;
        std::optional<SurfaceLook> lines;
        Kind kind = GROUND; // 25 or 26 lays the stretch in that ground kind's layer
    };
    void road(const RoadLook& look, float s0, float s1);
    // A wall along one edge (`side` -1 left, +1 right) from s0 to s1, its
    // inner face `gap` beyond the road edge.
    // `base`: how far it reaches below the road (deep, to close the side of a ramp).
    void edgeWall(float s0, float s1, int side, float height, const SurfaceLook& look, float gap = 0.3f,
                  float thickness = 0.8f, float base = 0.5f);

    // A chequered banner across the road over the finish line, its lower
    // edge `clearance` above the road, on two posts of `frame` beside the
    // road, or hung from above `hangTo` when that is above the banner.
    void finishBanner(float clearance, const SurfaceLook& frame, float hangTo = 0.0f);

    // Features. Heights are of the road surface under them unless given as Vec3.
    // A box zone of a surface kind (7, 13..23) standing on `base`, turned by heading.
    void zone(const std::string& name, Kind kind, Vec3 base, Vec3 size, float heading = 0.0f);
    // A glowing pick-up box over the road at s, `lateral` from the middle.
    void pickup(float s, float lateral);
    // A row of pick-ups across the road at s.
    void pickupRow(float s, int count);
    // A speed-up pad on the road at s: arrows on the road and a zone whose
    // local z axis (the launch direction) runs along the lap.
    void speedup(float s, float lateral, float length = 6.0f, float width = 4.0f);
    // A loose box obstacle of `mass` standing on the road; `look` paints it.
    void obstacle(const std::string& name, Vec3 base, Vec3 size, float heading, float mass, const SurfaceLook& look);
    // A stamper over the road at s: a block that drops from `rise` above the
    // road to it and back every `period` seconds, with its sound.
    void stamper(float s, float lateral, Vec3 size, float rise, float period, const SurfaceLook& look);
    // A fall zone: karts that leave the road over it drop and respawn.
    void fallZone(Vec3 centre, Vec3 size);

    // The scene (lights, ambient, fog, backdrop, camera): edit it directly.
    LwsScene& scene() { return m_scene; }
    // The illumination map; lights and roofs should match it.
    LightMap& lightMap() { return m_lightMap; }
    // The shade baked into the corners of surfaces that draw vertex colours:
    // by default twice the light map's tint at the point (1 where the map is
    // neutral). A track with one level over another gives a function of the
    // whole point, since the map sees only x and z.
    void setShade(std::function<Rgb(Vec3)> shade) { m_shade = std::move(shade); }
    // Replace the computer paths (default: RacingLines::path over the centreline).
    void setPaths(std::vector<std::vector<RacingLines::PathPoint>> paths);

    // A further file of the track's, an object of its own say; files shared
    // by tracks come under one name and are packed once.
    void addFile(TrackFile file) { m_files.push_back(std::move(file)); }

    // Every file of the track, the scene first. Call it once, last.
    std::vector<TrackFile> files();

    // Archive names of the track's object files.
    std::string trackObjectFile() const;
    std::string propsObjectFile() const;

private:
    struct KindLayer {
        Kind kind;
        int layer;
    };
    MeshBuilder& select(int layer);
    // A props layer with its pivot at `centre`, and the scene object that shows it there.
    LwsObject propObject(const std::string& name, Vec3 centre, float heading);
    void addStarts();
    void addFinishLine();
    void addTrackLayers();
    void bakeLight();

    int m_number;
    std::string m_name;
    Centreline m_line;
    MeshBuilder m_mesh;
    int m_groundLayer, m_wallLayer, m_sceneryLayer;
    std::vector<KindLayer> m_kindLayers;
    MeshBuilder m_props;
    LwsScene m_scene;
    LightMap m_lightMap;
    std::vector<TrackFile> m_textures;
    std::vector<TrackFile> m_files;
    std::vector<std::vector<RacingLines::PathPoint>> m_paths;
    bool m_hasStamper = false;
    std::function<Rgb(Vec3)> m_shade;
};

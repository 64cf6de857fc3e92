#include "tools/guidata/TrackPictures.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/demodata/tracks/DemoTracks.h"
#include "tools/guidata/MenuScenery.h"

namespace trackPictures {
namespace {

constexpr float WORLD = 250.0f;
// Frames along the lap this far apart make the road's outline.
constexpr float OUTLINE_STEP = 2.0f;
// Roads in the small pictures are at least this many pixels wide, to be seen.
constexpr float MIN_ROAD = 3.0f;
// How much lighter the highest stretch of a road is drawn than its lowest.
constexpr float HEIGHT_LIFT = 0.3f;
constexpr uint32_t BLACK = 0xFF000000;
constexpr uint32_t WHITE = 0xFFFFFFFF;

// World x, z to picture pixels: +x right, +z up.
struct View {
    float scale, x0, y0;
    Point at(Vec3 p) const { return {x0 + p.x * scale, y0 - p.z * scale}; }
};

uint32_t argb(float r, float g, float b, float a = 1.0f) {
    auto c = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

uint32_t lighter(uint32_t colour, float amount) {
    const float r = float((colour >> 16) & 0xFF) / 255.0f, g = float((colour >> 8) & 0xFF) / 255.0f,
                b = float(colour & 0xFF) / 255.0f;
    return argb(r + (1.0f - r) * amount, g + (1.0f - g) * amount, b + (1.0f - b) * amount,
                float(colour >> 24) / 255.0f);
}

float hash(int a, int b, int salt) {
    uint32_t h = uint32_t(a) * 73856093u ^ uint32_t(b) * 19349663u ^ uint32_t(salt) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return float(h & 0xFFFF) / 65535.0f;
}

// The road as one closed band, `extra` pixels wider than it is (for its
// outline), `lift` lighter where it is highest, so decks and hills show.
void road(Canvas& c, const Centreline& line, const View& view, float extra, uint32_t colour, float lift) {
    const std::vector<Centreline::Frame> frames = line.frames(OUTLINE_STEP);
    float low = frames.front().position.y, high = low;
    for (const Centreline::Frame& f : frames) low = std::min(low, f.position.y), high = std::max(high, f.position.y);
    // Pieces of a few frames each, so the shade can follow the height; they overlap by a frame.
    const size_t piece = 6;
    for (size_t first = 0; first < frames.size(); first += piece) {
        std::vector<Point> left, right;
        float height = 0.0f;
        for (size_t k = first; k <= first + piece + 1; ++k) {
            const Centreline::Frame& f = frames[k % frames.size()];
            const float half = std::max(f.width * view.scale, MIN_ROAD) * 0.5f + extra * 0.5f;
            const Point p = view.at(f.position);
            // The road's right in the picture: world right with z turned to rows going down.
            left.push_back({p.x - f.right.x * half, p.y + f.right.z * half});
            right.push_back({p.x + f.right.x * half, p.y - f.right.z * half});
            height += f.position.y;
        }
        left.insert(left.end(), right.rbegin(), right.rend());
        const float level = high > low ? (height / float(piece + 2) - low) / (high - low) : 0.0f;
        c.fillPolygon(left, lighter(colour, lift * level));
    }
}

// The finish line across the road, chequered where there is room.
void finishLine(Canvas& c, const Centreline& line, const View& view) {
    const Centreline::Frame f = line.at(0.0f);
    const float half = std::max(f.width * view.scale, MIN_ROAD) * 0.5f + 1.0f;
    const Point p = view.at(f.position);
    const Point r{f.right.x, -f.right.z}, along{f.forward.x, -f.forward.z};
    const int squares = std::max(2, int(half));
    for (int i = 0; i < squares; ++i)
        for (int row = 0; row < 2; ++row) {
            const float a = -half + 2.0f * half * float(i) / float(squares), b = a + 2.0f * half / float(squares);
            const float u = float(row) - 1.0f, v = float(row);
            c.fillPolygon({{p.x + r.x * a + along.x * u, p.y + r.y * a + along.y * u},
                           {p.x + r.x * b + along.x * u, p.y + r.y * b + along.y * u},
                           {p.x + r.x * b + along.x * v, p.y + r.y * b + along.y * v},
                           {p.x + r.x * a + along.x * v, p.y + r.y * a + along.y * v}},
                          (i + row) % 2 ? BLACK : WHITE);
        }
}

// An arrowhead on the road a little after the line, pointing the way round.
void arrow(Canvas& c, const Centreline& line, const View& view, uint32_t colour) {
    const Centreline::Frame f = line.at(std::min(60.0f, line.length() * 0.08f));
    const Point p = view.at(f.position);
    const Point along{f.forward.x, -f.forward.z}, r{f.right.x, -f.right.z};
    const float size = 3.0f;
    c.fillTriangle(p.x + along.x * size, p.y + along.y * size, p.x - along.x * size + r.x * size,
                   p.y - along.y * size + r.y * size, p.x - along.x * size - r.x * size,
                   p.y - along.y * size - r.y * size, colour);
}

// How far a world point lies from the road's edge (negative on it).
float offRoad(const Centreline& line, float x, float z) {
    const Centreline::Nearest n = line.nearest(x, z);
    return n.distance - line.at(n.s).width * 0.5f;
}

// What each place looks like round its road: ground colours, the road's
// colour and what is scattered about (in world units, kept off the road).
struct Place {
    uint32_t top, bottom, road;
    void (*scatter)(Canvas&, const Centreline&, const View&);
};

// Concrete decks on pillars.
void pillars(Canvas& c, const Centreline& line, const View& view) {
    for (float x = -240.0f; x < 250.0f; x += 24.0f)
        for (float z = -240.0f; z < 250.0f; z += 24.0f)
            if (offRoad(line, x, z) > 3.0f) {
                const Point p = view.at({x, 0.0f, z});
                c.fillRect(int(p.x), int(p.y), 2, 2, 0xFF3C434C);
            }
}

// A polished floor in large tiles.
void floorTiles(Canvas& c, const Centreline&, const View& view) {
    for (int i = -10; i < 10; ++i)
        for (int k = -10; k < 10; ++k)
            if ((i + k) % 2 == 0) {
                const Point a = view.at({i * 25.0f, 0.0f, k * 25.0f});
                const Point b = view.at({(i + 1) * 25.0f, 0.0f, (k + 1) * 25.0f});
                c.shadeRect(int(a.x), int(b.y), int(b.x - a.x) + 1, int(a.y - b.y) + 1, 0x18FFFFFF);
            }
}

// Lawns with trees, and a pond.
void parkTrees(Canvas& c, const Centreline& line, const View& view) {
    for (int i = 0; i < 220; ++i) {
        const float x = -240.0f + 480.0f * hash(i, 1, 3), z = -240.0f + 480.0f * hash(i, 2, 3);
        if (offRoad(line, x, z) < 6.0f) continue;
        const Point p = view.at({x, 0.0f, z});
        c.fillDisc(p.x, p.y, std::max(1.2f, 4.0f * view.scale), 0xFF285A28);
    }
}

// Rows of parking bays with cars in them.
void parkedCars(Canvas& c, const Centreline& line, const View& view) {
    const uint32_t paints[4] = {0xFFC03030, 0xFF3050B0, 0xFFE0E0E0, 0xFF303030};
    for (float z = -235.0f; z < 240.0f; z += 26.0f) {
        const Point a = view.at({-WORLD, 0.0f, z}), b = view.at({WORLD, 0.0f, z});
        c.shadeRect(int(a.x), int(a.y), int(b.x - a.x), 1, 0x50FFFFFF);
        for (float x = -240.0f; x < 240.0f; x += 12.0f) {
            if (offRoad(line, x, z) < 6.0f || hash(int(x), int(z), 4) < 0.4f) continue;
            const Point p = view.at({x, 0.0f, z});
            c.fillRect(int(p.x), int(p.y) - 2, 2, 2, paints[int(hash(int(x), int(z), 5) * 3.99f)]);
        }
    }
}

// Houses with red or slate roofs in rows along the streets, two deep.
void houses(Canvas& c, const Centreline& line, const View& view) {
    const float size = std::max(3.0f, 9.0f * view.scale);
    for (float s = 0.0f; s < line.length(); s += 22.0f)
        for (float side : {-1.0f, 1.0f})
            for (float back : {18.0f, 44.0f}) {
                const Centreline::Frame f = line.at(s);
                const Vec3 p = f.across(side * (f.width * 0.5f + back));
                if (offRoad(line, p.x, p.z) < back - 2.0f || std::fabs(p.x) > WORLD || std::fabs(p.z) > WORLD) continue;
                const Point at = view.at(p);
                const int k = int(s) + int(side * back);
                c.fillRect(int(at.x - size * 0.5f), int(at.y - size * 0.5f), int(size), int(size),
                           hash(k, 1, 6) < 0.7f ? 0xFFB04830 : 0xFF68686E);
            }
}

// Fields in strips of crops.
void fields(Canvas& c, const Centreline&, const View& view) {
    const uint32_t crops[5] = {0xFFC8A848, 0xFFD8C840, 0xFF6A8A3A, 0xFF7A5A3A, 0xFF5A7A34};
    float x = -WORLD;
    for (int i = 0; x < WORLD; ++i) {
        const float w = 40.0f + 50.0f * hash(i, 0, 8);
        float z = -WORLD;
        for (int k = 0; z < WORLD; ++k) {
            const float h = 30.0f + 40.0f * hash(i, k, 9);
            const Point a = view.at({x, 0.0f, z + h}), b = view.at({x + w, 0.0f, z});
            c.fillRect(int(a.x), int(a.y), int(b.x - a.x) + 1, int(b.y - a.y) + 1, crops[int(hash(i, k, 10) * 4.99f)]);
            z += h;
        }
        x += w;
    }
}

const Place PLACES[6] = {
    {0xFF5E6872, 0xFF3E4650, 0xFF8A9098, pillars},    // multi-storey car park
    {0xFFB8A68A, 0xFF8E7C64, 0xFFE0D8C8, floorTiles}, // shopping centre
    {0xFF4E8A44, 0xFF3A6E34, 0xFFC8B488, parkTrees},  // park
    {0xFF6C7074, 0xFF54585C, 0xFF3A3E42, parkedCars}, // open car park
    {0xFF5E9450, 0xFF467A3C, 0xFF5A5E64, houses},     // housing estate
    {0xFF7A9A48, 0xFF5A7A34, 0xFF4A4E54, fields},     // country road
};

// The view that fits a lap into a picture with a margin, centred.
View fitted(const Centreline& line, int width, int height, float margin) {
    float x0 = 1e9f, x1 = -1e9f, z0 = 1e9f, z1 = -1e9f;
    for (const Centreline::Frame& f : line.frames(OUTLINE_STEP)) {
        const float reach = f.width * 0.5f;
        x0 = std::min(x0, f.position.x - reach), x1 = std::max(x1, f.position.x + reach);
        z0 = std::min(z0, f.position.z - reach), z1 = std::max(z1, f.position.z + reach);
    }
    const float scale =
        std::min((float(width) - 2.0f * margin) / (x1 - x0), (float(height) - 2.0f * margin) / (z1 - z0));
    return {scale, float(width) * 0.5f - (x0 + x1) * 0.5f * scale, float(height) * 0.5f + (z0 + z1) * 0.5f * scale};
}

void captionPlate(Canvas& c) { c.shadeRect(0, CAPTION_TOP, PICTURE_WIDTH, PICTURE_HEIGHT - CAPTION_TOP, 0xC0141C26); }

// A lap drawn into `c` in its place's colours through a view.
void paintTrack(Canvas& c, int track, const View& view, bool scattered) {
    const Place& place = PLACES[track - 1];
    const Centreline line(demoTracks()[size_t(track - 1)].centreline());
    if (scattered) place.scatter(c, line, view);
    road(c, line, view, 3.0f, 0xFF202020, 0.0f);
    road(c, line, view, 0.0f, place.road, HEIGHT_LIFT);
    finishLine(c, line, view);
    arrow(c, line, view, scenery::AMBER);
}

Canvas championship() {
    Canvas c(PICTURE_WIDTH, PICTURE_HEIGHT, 0xFF1E2A38);
    const int w = PICTURE_WIDTH / 3, h = CAPTION_TOP / 2;
    for (int t = 1; t <= 6; ++t) {
        Canvas tile(w, h);
        const Place& place = PLACES[t - 1];
        tile.fillGradient(place.top, place.bottom);
        const Centreline line(demoTracks()[size_t(t - 1)].centreline());
        const View view = fitted(line, w, h, 3.0f);
        road(tile, line, view, 0.0f, place.road, HEIGHT_LIFT);
        c.paste(tile, (t - 1) % 3 * w, (t - 1) / 3 * h);
    }
    for (int i = 1; i < 3; ++i) c.fillRect(i * w - 1, 0, 1, CAPTION_TOP, 0xFF1E2A38);
    c.fillRect(0, h - 1, PICTURE_WIDTH, 1, 0xFF1E2A38);
    c.frameRect(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, 2, scenery::AMBER);
    return c;
}

} // namespace

Canvas menuPicture(int track) {
    Canvas c(PICTURE_WIDTH, PICTURE_HEIGHT);
    const Place& place = PLACES[track - 1];
    c.fillGradient(place.top, place.bottom);
    const Centreline line(demoTracks()[size_t(track - 1)].centreline());
    paintTrack(c, track, fitted(line, PICTURE_WIDTH, CAPTION_TOP, 4.0f), true);
    captionPlate(c);
    return c;
}

Canvas minimap(int track) {
    // See-through, so the race shows under it; the road stands out on a dark
    // wash with rounded corners, rimmed in the menus' amber.
    Canvas c(MINIMAP_SIZE, MINIMAP_SIZE);
    const float edge = 3.0f, corner = MINIMAP_SIZE / 20.0f, far = MINIMAP_SIZE - edge;
    c.fillRoundedRect(edge, edge, far - edge, far - edge, corner, 0x58101820);
    std::vector<Point> rim;
    const Point centres[4] = {{far - corner, edge + corner}, {far - corner, far - corner}, {edge + corner, far - corner},
                              {edge + corner, edge + corner}};
    for (int k = 0; k < 4; ++k)
        for (int step = 0; step <= 8; ++step) {
            const float a = (k - 1 + step / 8.0f) * 1.5707963f;
            rim.push_back({centres[k].x + corner * std::cos(a), centres[k].y + corner * std::sin(a)});
        }
    rim.push_back(rim.front());
    c.drawPath(rim, 3.0f, 0xC0E8A020);
    const float scale = float(MINIMAP_SIZE) / (2.0f * WORLD);
    const View view{scale, WORLD * scale, WORLD * scale};
    const Centreline line(demoTracks()[size_t(track - 1)].centreline());
    road(c, line, view, 2.0f, 0xFF101010, 0.0f);
    road(c, line, view, 0.0f, 0xFFC8CCD0, HEIGHT_LIFT);
    finishLine(c, line, view);
    return c;
}

std::vector<ImagesetBuilder> imagesets() {
    ImagesetBuilder tracks("Tracks"), mini("Tracks_mini"), grey("Tracks_Greyscale");
    for (int t = 1; t <= 7; ++t) {
        const std::string name = t <= 6 ? "Track" + std::to_string(t) : "Championship";
        const Canvas picture = t <= 6 ? menuPicture(t) : championship();
        tracks.add(name, picture);
        mini.add(name, picture);
        grey.add(name, picture.greyscale());
    }
    std::vector<ImagesetBuilder> sets;
    sets.push_back(std::move(tracks));
    sets.push_back(std::move(mini));
    sets.push_back(std::move(grey));
    for (int t = 1; t <= 6; ++t) {
        ImagesetBuilder map("Minimap_Track0" + std::to_string(t));
        map.add("Minimap", minimap(t));
        sets.push_back(std::move(map));
    }
    return sets;
}

} // namespace trackPictures

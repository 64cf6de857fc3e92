#include "engine/scene/mesh/Mesh.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine/platform/Report.h"
#include "engine/platform/archive/HugePages.h"
#include "engine/render/RenderStateGuard.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ViewGuard.h"
#include "engine/render/ViewWindow.h"
#include "engine/scene/Bone.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/ReflectionCamera.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/materials/ShaderLibrary.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureStages.h"
#include "engine/scene/mesh/DynamicSurfaceBuffer.h"
#include "engine/scene/mesh/StaticSurfaceBuffer.h"
#include "engine/scene/mesh/WeightMap.h"
#include "engine/scene/physics/MeshCollisionBuilder.h"
#include "sys/gfx/Device.h"

namespace gfx = sys::gfx;

int g_reflectionDepth = 0;

namespace {

// p x m as a point (rows 0 to 2 and the translation).
Position3 transformPoint(const Position3& p, const Matrix4x3& m) {
    return {p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12], p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13],
            p[0] * m[2] + p[1] * m[6] + p[2] * m[10] + m[14]};
}
Position3 transformVector(const Position3& v, const Matrix4x3& m) {
    return {v[0] * m[0] + v[1] * m[4] + v[2] * m[8], v[0] * m[1] + v[1] * m[5] + v[2] * m[9],
            v[0] * m[2] + v[1] * m[6] + v[2] * m[10]};
}

// The numbers 0 to count - 1 grouped by key (below `keys`), each group in number order:
// group k is order[starts[k]] up to order[starts[k + 1]]. Two passes over one array
// instead of a list per key, which for a track's points were most of their normals' time.
struct Groups {
    std::vector<uint32_t> starts, order;
};
template <typename KeyOf>
Groups grouped(size_t count, size_t keys, KeyOf keyOf) {
    Groups groups{std::vector<uint32_t>(keys + 1, 0), std::vector<uint32_t>(count)};
    for (size_t i = 0; i < count; ++i) ++groups.starts[keyOf(i) + 1];
    for (size_t k = 1; k <= keys; ++k) groups.starts[k] += groups.starts[k - 1];
    std::vector<uint32_t> fill(groups.starts.begin(), groups.starts.end() - 1);
    for (size_t i = 0; i < count; ++i) groups.order[fill[keyOf(i)]++] = uint32_t(i);
    return groups;
}

// The sum of the fan's cross products (Newell's normal): every corner has its say, so a
// bent or notched outline still faces the way it is wound; a triangle gives (B - A) x (C - A).
Position3 outlineNormal(const std::vector<Position3>& points, const MeshPolygon& polygon) {
    const Position3 first = points[polygon.points[0]];
    Position3 normal = {0.0f, 0.0f, 0.0f};
    for (size_t i = 1; i + 1 < polygon.points.size(); ++i)
        normal += cross(points[polygon.points[i]] - first, points[polygon.points[i + 1]] - first);
    return normal;
}

// Inside when every barycentric coordinate is at least 0; edges count as inside.
bool pointInTriangle(const Position3& p, const Position3& a, const Position3& b, const Position3& c) {
    Position3 whole = cross(b - a, c - a);
    float area = length(whole);
    if (area == 0.0f) return false;
    const Position3 parts[3] = {cross(b - p, c - p), cross(p - a, c - a), cross(b - a, p - a)};
    for (const Position3& part : parts) {
        float coordinate = length(part) / area;
        if (dot(part, whole) < 0.0f) coordinate = -coordinate;
        if (coordinate < 0.0f) return false;
    }
    return true;
}

void setStates(gfx::Device& device, std::initializer_list<std::pair<uint32_t, uint32_t>> states) {
    for (const auto& state : states) device.setRenderState(state.first, state.second);
}

// A world plane as the shader path clips: through the inverse of the reflected view and projection.
void toClipSpace(float plane[4], const Matrix4x3& reflectedView, const Matrix4x3& projection) {
    Matrix4x3 clip, inverse;
    multiplyMatrix4x3By4x4(clip, reflectedView, projection);
    invertMatrix4x4(inverse, clip);
    float world4[4] = {plane[0], plane[1], plane[2], plane[3]};
    for (int j = 0; j < 4; ++j)
        plane[j] = world4[0] * inverse.at(j, 0) + world4[1] * inverse.at(j, 1) + world4[2] * inverse.at(j, 2) +
                   world4[3] * inverse.at(j, 3);
}

// The window's pixels in the device's viewport, a pixel wider all round for the rasteriser's rounding.
gfx::Rect scissorOf(const ViewWindow& window, const gfx::Device& device) {
    gfx::Viewport viewport{};
    device.getViewport(viewport);
    if (window.empty()) return {int32_t(viewport.x), int32_t(viewport.y), int32_t(viewport.x), int32_t(viewport.y)};
    const float width = float(viewport.width), height = float(viewport.height);
    auto across = [&](float x, float pixels) { return std::clamp(int32_t(x), 0, int32_t(pixels)); };
    const int32_t left = across(std::floor((window.left + 1.0f) * 0.5f * width) - 1.0f, width);
    const int32_t right = across(std::ceil((window.right + 1.0f) * 0.5f * width) + 1.0f, width);
    const int32_t top = across(std::floor((1.0f - window.top) * 0.5f * height) - 1.0f, height);
    const int32_t bottom = across(std::ceil((1.0f - window.bottom) * 0.5f * height) + 1.0f, height);
    return {int32_t(viewport.x) + left, int32_t(viewport.y) + top, int32_t(viewport.x) + right,
            int32_t(viewport.y) + bottom};
}

bool near(const float* a, const float* b, int count) {
    for (int i = 0; i < count; ++i)
        if (std::fabs(a[i] - b[i]) > 0.000001f) return false;
    return true;
}

// A track's records take tens of megabytes: in huge pages they come in with a
// fraction of the faults, which in a virtual machine cost more than filling them.
void bringInLarge(std::vector<MeshVertex>& records, size_t count) {
    if (records.capacity() >= count) return;
    std::vector<MeshVertex>().swap(records);
    records.reserve(count);
    adviseHugePages(records.data(), count * sizeof(MeshVertex));
}

} // namespace

Mesh::Mesh(Renderer* renderer, SceneItem* owner, const std::vector<Surface*>& surfaces, std::vector<Position3> points,
           std::vector<MeshPolygon> polygons, std::vector<Ref<WeightMap>> weightMaps)
    : BoundingBox(renderer, owner), m_meshRenderer(renderer), m_surfaces(surfaces), m_points(std::move(points)),
      m_polygons(std::move(polygons)), m_weightMaps(std::move(weightMaps)) {}

Mesh::Mesh(RenderView* view, SceneItem* owner) : BoundingBox(view, owner) {}

Mesh::~Mesh() {
    if (m_collisionBuilder && m_collisionObject) m_collisionBuilder->release(m_collisionObject);
    for (Bone* bone : m_bones) delete bone;
}

void Mesh::init(bool first) { prepare(first, false); }

void Mesh::ensureBounds() {
    if (m_mirrorPoints) return;
    computeBounds();
    if (!m_points.empty()) m_mirrorPoints = m_points.data();
}

const Position3* Mesh::getMirrorPoints() {
    ensureBounds();
    return m_mirrorPoints;
}

void Mesh::computeBounds() {
    if (m_points.empty()) {
        set({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f});
        return;
    }
    Position3 low = m_points.front(), high = m_points.front();
    for (const Position3& p : m_points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    set(low, high);
}

void Mesh::invalidate() {
    m_drawnThisFrame = false;
    size_t count = std::min<size_t>(m_bones.size(), MAX_BONES);
    for (size_t i = 0; i < count; ++i) m_bones[i]->invalidate();
}

void Mesh::createDeviceObjects() {
    for (auto& buffer : m_surfaceBuffers) buffer->createDeviceObjects();
    // Buffers made again after a reset hold nothing.
    m_uploadedPose = -1;
}

void Mesh::releaseDeviceObjects() {
    for (auto& buffer : m_surfaceBuffers) buffer->releaseDeviceObjects();
}

Surface* Mesh::surfaceAt(int32_t index) const {
    return index >= 0 && size_t(index) < m_surfaces.size() ? m_surfaces[index] : nullptr;
}

LW6Scene* Mesh::reflectionSceneOf(const Surface* surface) const {
    auto it = std::find(m_surfaces.begin(), m_surfaces.end(), surface);
    size_t index = size_t(it - m_surfaces.begin());
    return index < m_reflectionScenes.size() ? m_reflectionScenes[index] : nullptr;
}

WeightMap* Mesh::findWeightMap(const Bone& bone) const {
    for (WeightMap* map : m_weightMaps)
        if (map && map->m_name == bone.m_weightMapName) return map;
    return nullptr;
}

bool Mesh::prepare(bool first, bool keepBuildData) {
    if (m_prepared) return true;
    // Without a renderer a geom still needs the triangles: a headless race stands on its meshes.
    if (!m_meshRenderer) return keepBuildData && buildCollisionData();
    m_keepBuildData = keepBuildData || hasBones();
    m_cornerCount = 0;
    ensureBounds();
    buildPolygonLists();
    buildGeometry();
    m_prepared = true;
    for (size_t i = 0; i < m_surfaceBuffers.size(); ++i) {
        if (!hasBones()) {
            if (!m_surfaceBuffers[i]->create()) m_prepared = false;
            continue;
        }
        auto& buffer = static_cast<DynamicSurfaceBuffer&>(*m_surfaceBuffers[i]);
        const std::vector<uint32_t>& indices = m_buildData.groupIndexLists[i];
        uint32_t vertices = uint32_t(m_buildData.groupEndVertex[i] - m_buildData.groupFirstVertex[i]);
        if (!buffer.createBuffers(false, true, vertices, uint32_t(indices.size()))) m_prepared = false;
        buffer.updateIndices(indices.data(), uint32_t(indices.size()));
    }
    return m_prepared;
}

void Mesh::buildPolygonLists() {
    std::vector<MeshPolygon> kept;
    kept.reserve(m_polygons.size());
    for (size_t i = 0; i < m_polygons.size(); ++i) {
        MeshPolygon& polygon = m_polygons[i];
        if (polygon.vertexCount() < 3) continue;
        // A damaged file may name points or surfaces that do not exist: such a polygon is dropped.
        bool valid = surfaceAt(polygon.surface) != nullptr;
        for (uint32_t point : polygon.points) valid = valid && point < m_points.size();
        if (!valid) continue;
        polygon.mesh = this;
        polygon.number = int32_t(i);
        m_cornerCount += int32_t(polygon.vertexCount());
        kept.push_back(std::move(polygon));
    }
    m_polygons = std::move(kept);
}

Position3 Mesh::computeFaceNormal(const MeshPolygon& polygon) const { return outlineNormal(m_points, polygon); }

void Mesh::buildGeometry() {
    // A second run after a failed preparation starts from scratch.
    m_textureStages.clear();
    m_surfaceBuffers.clear();
    m_poses.clear();
    m_uploadedPose = -1;
    m_faceNormals.resize(m_polygons.size());
    for (size_t i = 0; i < m_polygons.size(); ++i) m_faceNormals[i] = normalised(computeFaceNormal(m_polygons[i]));
    triangulatePolygons();
    buildVertices();
    computeVertexNormals();
    for (Surface* surface : m_surfaces) {
        auto stages = std::make_unique<TextureStages>();
        if (surface) surface->buildTextureStages(*stages, int(m_meshRenderer->m_activeCaps.maxSimultaneousTextures));
        m_textureStages.push_back(std::move(stages));
    }
    MeshBuildData& data = m_buildData;
    int first = 0;
    for (size_t i = 0; i < m_polygons.size(); ++i) {
        const MeshPolygon& polygon = m_polygons[i];
        TextureStages& stages = *m_textureStages[polygon.surface];
        Normal3 normal = toNormal(m_faceNormals[i]);
        stages.computeTexCoords(data.vertices.data(), m_layerNumber, normal, polygon, first);
        m_surfaces[polygon.surface]->applyVertexColors(polygon, stages, m_layerNumber, data.vertices.data(), first);
        first += int(polygon.vertexCount());
    }
    weldVertices();
    createSurfaceBuffers();
    if (hasBones()) m_skinSlots = skinSlotCount();
    if (m_collisionBuilder) m_collisionObject = m_collisionBuilder->build(data);
    m_weightMaps.clear();
    if (!m_keepBuildData) data.clear();
    m_faceNormals.clear();
    m_cornerPoints.clear();
}

bool Mesh::buildCollisionData() {
    // Built once, and never over data already there: geoms keep pointers into the arrays.
    if (m_collisionDataBuilt || m_buildData.cornerCount > 0) return true;
    m_cornerCount = 0;
    ensureBounds();
    buildPolygonLists();
    m_faceNormals.resize(m_polygons.size());
    for (size_t i = 0; i < m_polygons.size(); ++i) m_faceNormals[i] = computeFaceNormal(m_polygons[i]);
    triangulatePolygons();
    buildVertices();
    m_faceNormals.clear();
    m_cornerPoints.clear();
    m_collisionDataBuilt = true;
    return true;
}

std::vector<std::array<uint32_t, 3>> Mesh::triangulate(const std::vector<Position3>& points,
                                                        const MeshPolygon& polygon) {
    uint32_t n = polygon.vertexCount();
    if (n == 3) return {{0, 1, 2}};
    if (n < 3) return {};
    auto at = [&](uint32_t corner) { return points[polygon.points[corner]]; };
    std::vector<uint32_t> prev(n), next(n);
    for (uint32_t i = 0; i < n; ++i) prev[i] = (i + n - 1) % n, next[i] = (i + 1) % n;

    const Position3 normal = outlineNormal(points, polygon);
    float nx = std::fabs(normal[0]), ny = std::fabs(normal[1]), nz = std::fabs(normal[2]);
    int dropped = (nx >= ny && nx >= nz) ? 0 : (ny >= nx && ny >= nz) ? 1 : 2;
    float sign = dropped == 0 ? (normal[0] > 0 ? 1.0f : -1.0f)
                              : dropped == 1 ? (normal[1] <= 0 ? 1.0f : -1.0f) : (normal[2] > 0 ? 1.0f : -1.0f);
    auto isConvex = [&](uint32_t node) {
        Position3 p = at(prev[node]), q = at(node), r = at(next[node]);
        float turn = dropped == 0   ? (r[2] - p[2]) * (q[1] - p[1]) - (r[1] - p[1]) * (q[2] - p[2])
                     : dropped == 1 ? (q[0] - p[0]) * (r[2] - p[2]) - (r[0] - p[0]) * (q[2] - p[2])
                                    : (q[0] - p[0]) * (r[1] - p[1]) - (r[0] - p[0]) * (q[1] - p[1]);
        return turn * sign >= 0.0f;
    };
    std::vector<uint32_t> reflex;
    for (uint32_t i = 0; i < n; ++i)
        if (!isConvex(i)) reflex.push_back(i);
    auto isEar = [&](uint32_t node) {
        if (reflex.empty()) return true;
        if (!isConvex(node)) return false;
        for (uint32_t r : reflex) {
            if (r == prev[node] || r == node || r == next[node]) continue;
            if (pointInTriangle(at(r), at(prev[node]), at(node), at(next[node]))) return false;
        }
        return true;
    };
    // A corner's bend changes when a neighbour goes; only a forced cut can make one reflex.
    auto recheck = [&](uint32_t node) {
        auto it = std::find(reflex.begin(), reflex.end(), node);
        const bool convex = isConvex(node);
        if (convex && it != reflex.end()) reflex.erase(it);
        if (!convex && it == reflex.end()) reflex.push_back(node);
    };

    std::vector<std::array<uint32_t, 3>> triangles;
    uint32_t head = 0, remaining = n;
    auto cut = [&](uint32_t corner) {
        const uint32_t before = prev[corner], after = next[corner];
        triangles.push_back({before, corner, after});
        next[before] = after;
        prev[after] = before;
        if (corner == head) head = after;
        --remaining;
        recheck(after);
        recheck(before);
    };
    // One walk round the outline cuts a convex polygon into the fan from corner 0.
    uint32_t node = 2;
    // Each turn cuts a corner or moves on; the bound only guards against a broken list.
    for (uint32_t turns = 0; node != head && turns < 4 * n; ++turns) {
        uint32_t candidate = prev[node];
        if (remaining > 3 && isEar(candidate)) {
            cut(candidate);
            if (prev[node] == head) node = next[node];
        } else {
            node = next[node];
        }
    }
    // Ears the walk passed by; where a crossing outline leaves none, a convex corner, else
    // any: every corner but two is cut, so no hole is left.
    for (uint32_t from = head; remaining > 3;) {
        uint32_t ear = n, convex = n, corner = from;
        for (uint32_t k = 0; k < remaining && ear == n; ++k, corner = next[corner]) {
            if (isEar(corner))
                ear = corner;
            else if (convex == n && isConvex(corner))
                convex = corner;
        }
        const uint32_t chosen = ear != n ? ear : convex != n ? convex : from;
        from = prev[chosen];
        cut(chosen);
    }
    triangles.push_back({prev[prev[head]], prev[head], head});
    return triangles;
}

void Mesh::triangulatePolygons() {
    MeshBuildData& data = m_buildData;
    data.corners.clear();
    data.triangleSurfaces.clear();
    uint32_t first = 0;
    for (const MeshPolygon& polygon : m_polygons) {
        Surface* surface = m_surfaces[polygon.surface];
        int32_t back = surface->m_backSurfaceTag;
        bool hasBack = surfaceAt(back) != nullptr;
        for (const auto& t : triangulate(m_points, polygon)) {
            data.corners.insert(data.corners.end(), {first + t[0], first + t[1], first + t[2]});
            data.triangleSurfaces.push_back(polygon.surface);
            if (!hasBack && !surface->m_doubleSided) continue;
            data.corners.insert(data.corners.end(), {first + t[2], first + t[1], first + t[0]});
            data.triangleSurfaces.push_back(hasBack ? back : polygon.surface);
        }
        first += polygon.vertexCount();
    }
    data.cornerCount = int32_t(data.corners.size());
}

size_t Mesh::slotBoneCount() const {
    size_t count = 0;
    while (count < m_bones.size() && m_bones[count]->m_owner == m_bones.front()->m_owner) ++count;
    return count;
}

void Mesh::buildVertices() {
    MeshBuildData& data = m_buildData;
    size_t boneCount = std::min<size_t>(slotBoneCount(), MAX_BONES);
    data.influenceCount = int32_t(std::min<size_t>(boneCount, MeshVertex::MAX_INFLUENCES));
    std::vector<WeightMap*> boneMaps(boneCount);
    for (size_t b = 0; b < boneCount; ++b) boneMaps[b] = findWeightMap(*m_bones[b]);
    std::vector<std::pair<double, uint16_t>> weights;
    weights.reserve(boneCount);
    bringInLarge(data.vertices, size_t(m_cornerCount));
    data.vertices.assign(size_t(m_cornerCount), MeshVertex{});
    m_cornerPoints.assign(size_t(m_cornerCount), 0);
    int32_t record = 0;
    for (size_t i = 0; i < m_polygons.size(); ++i) {
        for (uint32_t point : m_polygons[i].points) {
            MeshVertex& vertex = data.vertices[record];
            const Position3& p = m_points[point];
            vertex.position[0] = p.x, vertex.position[1] = p.y, vertex.position[2] = p.z;
            for (int c = 0; c < 3; ++c) vertex.normal[c] = m_faceNormals[i][c];
            vertex.polygon = int32_t(i);
            vertex.recordNumber = record;
            if (hasBones()) computeBoneWeights(vertex, point, boneMaps, weights);
            m_cornerPoints[record++] = point;
        }
    }
    data.vertexCount = m_cornerCount;
}

void Mesh::computeBoneWeights(MeshVertex& record, uint32_t point, const std::vector<WeightMap*>& boneMaps,
                              std::vector<std::pair<double, uint16_t>>& weights) {
    Position3 p = toPosition(record.position);
    float f = float(m_falloffType) - 1.0f;
    double exponent = std::pow(2.0, std::fabs(f));
    if (f < 0.0f) exponent = 1.0 / exponent;
    weights.clear();
    for (size_t b = 0; b < boneMaps.size(); ++b) {
        Bone& bone = *m_bones[b];
        if (!bone.m_restValid) bone.updateTransforms(0.0);
        const Matrix4x3& rest = bone.m_restMatrix;
        Position3 origin = {rest[12], rest[13], rest[14]}, direction = {rest[8], rest[9], rest[10]};
        float boneLength = bone.m_restLength;
        Position3 v = p - origin;
        double distance;
        if (dot(direction, v) < 0.0f || length(direction) == 0.0f) {
            distance = length(v);
        } else {
            Position3 w = p - (origin + direction * boneLength);
            distance = dot(direction, w) <= 0.0f ? length(cross(direction, v)) / length(direction) : length(w);
        }
        double strength = double(bone.m_scaleStrength ? boneLength : 1.0f) * bone.m_strength;
        double scaled = std::pow(distance, exponent);
        double weight = scaled <= strength * 2.938736052218037e-39 ? 3.4028235e38 : strength / scaled;
        if (bone.m_limitedRange) {
            // A range of 0 reaches nothing beyond the minimum range.
            weight = bone.m_maxRange > 0.0f ? (bone.m_maxRange - distance) / bone.m_maxRange : 0.0;
            if (distance > bone.m_maxRange) weight = 0.0;
            if (distance < bone.m_minRange) weight = strength;
        }
        if (boneMaps[b]) weight *= boneMaps[b]->weightAt(point);
        weights.push_back({weight, uint16_t(b)});
    }
    // Strongest first, equal weights in bone order: sorted by insertion, which for a rider's dozen
    // bones needs none of the buffer a standard stable sort takes every vertex.
    for (size_t i = 1; i < weights.size(); ++i) {
        const std::pair<double, uint16_t> weight = weights[i];
        size_t j = i;
        for (; j > 0 && weight.first > weights[j - 1].first; --j) weights[j] = weights[j - 1];
        weights[j] = weight;
    }
    size_t influences = size_t(m_buildData.influenceCount);
    // Summed in double: two weights of the float maximum would overflow a float sum.
    double sum = 0.0;
    for (size_t k = 0; k < influences; ++k) sum += weights[k].first;
    for (size_t k = 0; k < influences; ++k) {
        record.boneIndices[k] = weights[k].second;
        record.boneWeights[k] = sum > 0.0 ? float(weights[k].first / sum) : 0.0f;
    }
}

void Mesh::computeVertexNormals() {
    MeshBuildData& data = m_buildData;
    const Groups byPoint =
        grouped(size_t(data.vertexCount), m_points.size(), [this](size_t r) { return size_t(m_cornerPoints[r]); });
    const std::vector<uint32_t>& records = byPoint.order;
    for (size_t p = 0; p < m_points.size(); ++p) {
        const uint32_t first = byPoint.starts[p], end = byPoint.starts[p + 1];
        for (uint32_t i = first; i < end; ++i) {
            MeshVertex& vi = data.vertices[records[i]];
            const Position3& np = m_faceNormals[vi.polygon];
            float thresholdP = m_surfaces[m_polygons[vi.polygon].surface]->m_smoothingCosine;
            for (uint32_t j = i + 1; j < end; ++j) {
                MeshVertex& vj = data.vertices[records[j]];
                const Position3& nq = m_faceNormals[vj.polygon];
                float thresholdQ = m_surfaces[m_polygons[vj.polygon].surface]->m_smoothingCosine;
                float d = dot(np, nq);
                if (d >= thresholdP)
                    for (int c = 0; c < 3; ++c) vi.normal[c] += nq[c];
                if (d >= thresholdQ)
                    for (int c = 0; c < 3; ++c) vj.normal[c] += np[c];
            }
            vi.pointKey = int32_t(records[first]);
        }
    }
    for (MeshVertex& vertex : data.vertices) normalize(vertex.normal);
}

void Mesh::weldVertices() {
    MeshBuildData& data = m_buildData;
    const size_t keys = data.vertices.size();
    std::vector<MeshVertex> welded;
    std::vector<uint32_t> corners;
    std::vector<int32_t> triangleSurfaces;
    std::vector<int32_t> firstWelded(keys, -1), chainHead(keys, -1), chainTail(keys, -1), chainNext;
    std::vector<uint32_t> touched;
    // A track's mesh has millions of records: growing these by doubling was a sixth of its set-up.
    bringInLarge(welded, keys);
    chainNext.reserve(keys);
    corners.reserve(data.corners.size());
    triangleSurfaces.reserve(data.triangleSurfaces.size());
    // Each surface walks its own triangles in their order, not every triangle of the mesh.
    const Groups bySurface = grouped(data.triangleSurfaces.size(), m_surfaces.size(),
                                     [&data](size_t t) { return size_t(data.triangleSurfaces[t]); });
    data.groupSurfaces.clear(), data.groupFirstIndex.clear(), data.groupFirstVertex.clear();
    data.groupEndVertex.clear(), data.groupEndIndex.clear(), data.groupIndexLists.clear();
    for (size_t s = 0; s < m_surfaces.size(); ++s) {
        for (uint32_t key : touched) chainHead[key] = chainTail[key] = -1;
        touched.clear();
        int stageCount = std::clamp(m_textureStages[s]->count, 0, TextureStages::MAX_STAGES);
        int32_t firstVertex = int32_t(welded.size()), firstIndex = int32_t(corners.size());
        for (uint32_t i = bySurface.starts[s]; i < bySurface.starts[s + 1]; ++i) {
            const size_t t = bySurface.order[i];
            uint32_t index[3];
            for (int k = 0; k < 3; ++k) {
                const MeshVertex& record = data.vertices[data.corners[t * 3 + k]];
                uint32_t key = uint32_t(record.pointKey);
                int32_t w = chainHead[key];
                for (; w != -1; w = chainNext[w]) {
                    const MeshVertex& other = welded[w];
                    if (near(other.texCoords[0], record.texCoords[0], stageCount * 3) &&
                        near(other.normal, record.normal, 3) &&
                        std::memcmp(other.colour, record.colour, sizeof record.colour) == 0)
                        break;
                }
                if (w == -1) {
                    w = int32_t(welded.size());
                    welded.push_back(record);
                    chainNext.push_back(-1);
                    if (chainTail[key] == -1) {
                        chainHead[key] = w;
                        touched.push_back(key);
                    } else {
                        chainNext[chainTail[key]] = w;
                    }
                    chainTail[key] = w;
                    if (firstWelded[key] == -1) firstWelded[key] = w;
                    welded.back().pointKey = firstWelded[key];
                }
                index[k] = uint32_t(w);
            }
            if (index[0] == index[1] || index[1] == index[2] || index[0] == index[2]) continue;
            corners.insert(corners.end(), index, index + 3);
            triangleSurfaces.push_back(int32_t(s));
        }
        if (int32_t(corners.size()) == firstIndex) continue;
        data.groupSurfaces.push_back(int32_t(s));
        data.groupFirstIndex.push_back(firstIndex);
        data.groupFirstVertex.push_back(firstVertex);
        data.groupEndVertex.push_back(int32_t(welded.size()));
        data.groupEndIndex.push_back(int32_t(corners.size()));
        std::vector<uint32_t> list(corners.begin() + firstIndex, corners.end());
        for (uint32_t& entry : list) entry -= uint32_t(firstVertex);
        data.groupIndexLists.push_back(std::move(list));
    }
    data.vertices = std::move(welded);
    data.corners = std::move(corners);
    data.triangleSurfaces = std::move(triangleSurfaces);
    data.vertexCount = int32_t(data.vertices.size());
    data.cornerCount = int32_t(data.corners.size());
}

void Mesh::createSurfaceBuffers() {
    MeshBuildData& data = m_buildData;
    for (size_t g = 0; g < data.groupSurfaces.size(); ++g) {
        int32_t s = data.groupSurfaces[g];
        TextureStages* stages = m_textureStages[s].get();
        bool shaders = !m_meshRenderer->m_fixedFunction;
        uint32_t influences = shaders ? uint32_t(data.influenceCount) : 0;
        bool tangents = shaders && stages->channels[TextureStages::BUMP].count > 0;
        std::unique_ptr<SurfaceBuffer> buffer;
        if (hasBones())
            buffer = std::make_unique<DynamicSurfaceBuffer>(m_meshRenderer, m_surfaces[s], stages, influences, tangents);
        else
            buffer = std::make_unique<StaticSurfaceBuffer>(m_meshRenderer, m_surfaces[s], stages, influences, tangents);
        const std::vector<uint32_t>& indices = data.groupIndexLists[g];
        buffer->setIndices(indices.data(), uint32_t(indices.size()));
        buffer->setVertices(&data.vertices[data.groupFirstVertex[g]],
                            uint32_t(data.groupEndVertex[g] - data.groupFirstVertex[g]));
        m_surfaceBuffers.push_back(std::move(buffer));
    }
}

uint32_t Mesh::skinSlotCount() const {
    uint32_t slots = 0;
    for (const MeshVertex& vertex : m_buildData.vertices)
        for (int k = 0; k < MeshVertex::MAX_INFLUENCES; ++k)
            if (vertex.boneWeights[k] != 0.0f) slots = std::max(slots, uint32_t(vertex.boneIndices[k]) + 1);
    return std::min(slots, MAX_BONES);
}

size_t Mesh::skinnedPose(const SceneObject* owner) {
    const std::vector<Matrix4x3>& bones = m_meshRenderer->m_constants->m_bones;
    const size_t slots = std::min<size_t>(m_skinSlots, bones.size());
    size_t p = 0;
    while (p < m_poses.size() && m_poses[p].owner != owner) ++p;
    if (p == m_poses.size()) m_poses.push_back({owner, {}, m_buildData.vertices});
    SkinnedPose& pose = m_poses[p];
    if (pose.bones.size() == slots && std::equal(bones.begin(), bones.begin() + slots, pose.bones.begin(),
                                                 [](const Matrix4x3& a, const Matrix4x3& b) {
                                                     return std::memcmp(a.m, b.m, sizeof a.m) == 0;
                                                 }))
        return p;
    pose.bones.assign(bones.begin(), bones.begin() + slots);
    skinVertices(pose);
    if (m_uploadedPose == int32_t(p)) m_uploadedPose = -1;
    return p;
}

void Mesh::skinVertices(SkinnedPose& pose) const {
    const std::vector<Matrix4x3>& bones = pose.bones;
    size_t count = std::min(m_buildData.vertices.size(), pose.vertices.size());
    for (size_t r = 0; r < count; ++r) {
        const MeshVertex& source = m_buildData.vertices[r];
        MeshVertex& skinned = pose.vertices[r];
        Position3 p = toPosition(source.position);
        Position3 n = toPosition(source.normal);
        Position3 position = {0.0f, 0.0f, 0.0f}, normal = {0.0f, 0.0f, 0.0f};
        float total = 0.0f;
        for (int k = 0; k < MeshVertex::MAX_INFLUENCES; ++k) {
            float w = source.boneWeights[k];
            total += w;
            if (w == 0.0f || source.boneIndices[k] >= bones.size()) continue;
            const Matrix4x3& bone = bones[source.boneIndices[k]];
            Position3 q = transformPoint(p, bone), m = transformVector(n, bone);
            for (int c = 0; c < 3; ++c) position[c] += w * q[c], normal[c] += w * m[c];
        }
        if (total == 0.0f) position = p, normal = n;
        for (int c = 0; c < 3; ++c) skinned.position[c] = position[c], skinned.normal[c] = normal[c];
    }
}

void Mesh::draw(double time, SceneObject* object, SceneItem* viewer) {
    ++g_reflectionDepth;
    ++m_drawNesting;
    if (g_reflectionDepth <= 2 && m_prepared && m_meshRenderer) {
        MeshBuildData& data = m_buildData;
        const bool skinned = hasBones() && !data.vertices.empty();
        // The buffers are shared by every object drawing the mesh: they are
        // filled again only when another object's pose, or a moved one, is drawn.
        bool upload = false;
        size_t pose = 0;
        if (skinned) {
            pose = skinnedPose(object);
            upload = m_uploadedPose != int32_t(pose);
            m_uploadedPose = int32_t(pose);
        }
        for (size_t i = 0; i < m_surfaceBuffers.size(); ++i) {
            SurfaceBuffer& buffer = *m_surfaceBuffers[i];
            if (upload)
                static_cast<DynamicSurfaceBuffer&>(buffer).updateVertices(
                    &m_poses[pose].vertices[data.groupFirstVertex[i]],
                    uint32_t(data.groupEndVertex[i] - data.groupFirstVertex[i]));
            Surface* surface = buffer.getSurface();
            if (!surface->m_loaded) continue;
            float reflection = surface->m_reflectivity.evaluate(time);
            if (reflection == 0.0f || surface->m_reflectionMode != Surface::REFLECT_MIRROR || g_reflectionDepth > 1 ||
                !drawReflection(buffer, time, object, viewer))
                drawPlain(buffer, time);
        }
    }
    --m_drawNesting;
    --g_reflectionDepth;
}

void Mesh::drawPlain(SurfaceBuffer& buffer, double time) {
    Surface& surface = *buffer.getSurface();
    float transparency = surface.m_transparency.evaluate(time);
    if (transparency >= 0.999999f && !surface.findTextureLayer(TextureLayer::CHANNEL_TRAN, 1)) return;
    buffer.draw(m_meshRenderer->m_surfaceShader, time);
}

bool Mesh::drawReflection(SurfaceBuffer& buffer, double time, SceneObject* object, SceneItem* viewer) {
    Renderer& renderer = *m_meshRenderer;
    gfx::Device* device = renderer.m_currentDevice;
    Mesh* planeMesh = object && object->getFirstMesh() ? object->getFirstMesh() : this;
    const Position3* points = planeMesh->getMirrorPoints();
    // Fewer than three points give no plane: the surface is drawn as it is.
    if (!device || !object || !points || planeMesh->m_points.size() < 3) return false;
    const uint32_t depth = uint32_t(g_reflectionDepth);
    // The frame's own stencil comes back once the mirror is unmarked.
    RenderStateGuard stencil(*device, {gfx::RS_STENCILENABLE, gfx::RS_STENCILREF});
    markMirror(buffer, time, depth);
    {
        ViewGuard view(renderer);
        renderer.m_cullMode = (depth & 1) ? gfx::CULL_CW : gfx::CULL_CCW;
        drawMirrorImage(buffer, time, *object, viewer, points, view);
    }
    unmarkMirror(buffer, time, depth);
    return true;
}

void Mesh::markMirror(SurfaceBuffer& buffer, double time, uint32_t depth) {
    Renderer& renderer = *m_meshRenderer;
    gfx::Device& device = *renderer.m_currentDevice;
    setStates(device, {{gfx::RS_STENCILENABLE, 1}, {gfx::RS_STENCILFUNC, gfx::CMP_EQUAL}, {gfx::RS_STENCILREF, depth - 1},
            {gfx::RS_STENCILMASK, 0xFFFFFFFF}, {gfx::RS_STENCILWRITEMASK, 0xFFFFFFFF}, {gfx::RS_STENCILZFAIL, gfx::STENCILOP_KEEP},
            {gfx::RS_STENCILFAIL, gfx::STENCILOP_KEEP}, {gfx::RS_STENCILPASS, gfx::STENCILOP_INCR}, {gfx::RS_COLORWRITEENABLE, 0}});
    buffer.draw(renderer.m_surfaceShader, time);
    setStates(device, {{gfx::RS_COLORWRITEENABLE, renderer.m_colorWriteMask}, {gfx::RS_STENCILZFAIL, gfx::STENCILOP_KEEP},
            {gfx::RS_STENCILFAIL, gfx::STENCILOP_KEEP}, {gfx::RS_STENCILPASS, gfx::STENCILOP_KEEP}, {gfx::RS_STENCILFUNC, gfx::CMP_LESSEQUAL},
            {gfx::RS_STENCILREF, depth}, {gfx::RS_ZENABLE, 1}, {gfx::RS_ZWRITEENABLE, 1}, {gfx::RS_ZFUNC, gfx::CMP_ALWAYS}});
    // The fixed-function path has no shader to push the mirror's depth back: a
    // depth range at the far plane clears it, so the reflection can draw behind the mirror.
    gfx::Viewport viewport{}, farViewport{};
    device.getViewport(viewport);
    farViewport = viewport;
    farViewport.minZ = farViewport.maxZ = 1.0f;
    device.setViewport(farViewport);
    buffer.draw(renderer.m_opaqueShader, time);
    device.setViewport(viewport);
    setStates(device, {{gfx::RS_ZFUNC, gfx::CMP_LESSEQUAL}, {gfx::RS_STENCILFUNC, gfx::CMP_LESSEQUAL}});
}

void Mesh::drawMirrorImage(SurfaceBuffer& buffer, double time, SceneObject& object, SceneItem* viewer,
                           const Position3* points, const ViewGuard& view) {
    Renderer& renderer = *m_meshRenderer;
    gfx::Device* device = renderer.m_currentDevice;
    const Matrix4x3& savedView = view.savedView();
    const Matrix4x3& savedProjection = view.savedProjection();

    // The mirror plane through the object's origin, in world space.
    Matrix4x3 world;
    object.getMatrix(world, time, 0);
    const Position3 normal = normalised(transformVector(cross(points[0] - points[1], points[0] - points[2]), world));
    float d0 = -(normal[0] * world[12] + normal[1] * world[13] + normal[2] * world[14]);
    Matrix4x3 mirror = Matrix4x3::identity();
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) mirror.at(row, col) = (row == col ? 1.0f : 0.0f) - 2.0f * normal[row] * normal[col];
    for (int col = 0; col < 3; ++col) mirror.at(3, col) = -2.0f * d0 * normal[col];
    Matrix4x3 reflectedView;
    multiplyMatrix4x3(reflectedView, mirror, savedView);

    float plane[4] = {normal[0], normal[1], normal[2], d0};
    if (!renderer.m_fixedFunction) toClipSpace(plane, reflectedView, savedProjection);

    LW6Scene* scene = reflectionSceneOf(buffer.getSurface());
    if (!scene) {
        // Every frame would repeat it; once per mesh tells enough.
        if (!m_reportedMissingScene) reportError("reflection scene ist nicht zugeordnet!\n");
        m_reportedMissingScene = true;
        return;
    }
    ReflectionCamera camera = reflectionCamera(scene, world, mirror, savedView, reflectedView, viewer);
    SceneItem* savedItem = m_viewItem;
    m_viewItem = &camera;
    device->setClipPlane(0, plane);
    device->setRenderState(gfx::RS_CLIPPLANEENABLE, 1);
    {
        // The image shows only where the mirror lies on the screen: what the
        // passes inside would put beyond its outline is neither sent nor rasterised.
        Matrix4x3 worldView, toClip;
        multiplyMatrix4x3(worldView, world, savedView);
        multiplyMatrix4x3By4x4(toClip, worldView, savedProjection);
        float corners[8][4];
        projectCorners(toClip, corners);
        const ViewWindow outer = renderer.m_viewWindow;
        renderer.m_viewWindow = outer.around(corners);
        RenderStateGuard scissor(*device, {gfx::RS_SCISSORTESTENABLE});
        gfx::Rect savedScissor{};
        device->getScissorRect(savedScissor);
        device->setScissorRect(scissorOf(renderer.m_viewWindow, *device));
        device->setRenderState(gfx::RS_SCISSORTESTENABLE, 1);
        scene->render(&camera, time);
        device->setScissorRect(savedScissor);
        renderer.m_viewWindow = outer;
    }
    device->setRenderState(gfx::RS_CLIPPLANEENABLE, 0);
    m_viewItem = savedItem;
}

ReflectionCamera Mesh::reflectionCamera(LW6Scene* scene, const Matrix4x3& world, const Matrix4x3& mirror,
                                        const Matrix4x3& savedView, const Matrix4x3& reflectedView,
                                        SceneItem* viewer) const {
    // The bottom face of the box, carried into the reflected view (eye at the origin).
    const int cornerIndex[4] = {0, 1, 4, 5};
    Position3 q[4];
    for (int i = 0; i < 4; ++i)
        q[i] = transformPoint(transformPoint(transformPoint(m_corners[cornerIndex[i]], world), mirror), savedView);
    // Turned by the mirror itself, not by the depth's parity (which turned them
    // outward and culled every reflected object): the planes through the eye
    // face the mirror's centre, the mirror normal faces away from the eye.
    Position3 centre = {0.0f, 0.0f, 0.0f};
    for (const Position3& corner : q)
        for (int c = 0; c < 3; ++c) centre[c] += corner[c] * 0.25f;
    auto facing = [](const Position3& n, const Position3& towards) {
        const Position3 unit = normalised(n);
        return toNormal(dot(unit, towards) < 0.0f ? -unit : unit);
    };
    std::vector<Normal3> sidePlanes;
    for (const auto& pair : {std::make_pair(0, 2), std::make_pair(3, 1), std::make_pair(2, 3), std::make_pair(1, 0)})
        sidePlanes.push_back(facing(cross(q[pair.first], q[pair.second]), centre));
    Normal3 mirrorNormal = facing(cross(q[2] - q[0], q[1] - q[0]), q[0]);
    return ReflectionCamera(scene, reflectedView, {0.0f, 0.0f, 0.0f}, q[0], mirrorNormal,
                            std::move(sidePlanes), viewer);
}

void Mesh::unmarkMirror(SurfaceBuffer& buffer, double time, uint32_t depth) {
    Renderer& renderer = *m_meshRenderer;
    gfx::Device& device = *renderer.m_currentDevice;
    setStates(device, {{gfx::RS_STENCILFUNC, gfx::CMP_EQUAL}, {gfx::RS_STENCILREF, depth}, {gfx::RS_STENCILZFAIL, gfx::STENCILOP_KEEP},
            {gfx::RS_STENCILFAIL, gfx::STENCILOP_KEEP}, {gfx::RS_STENCILPASS, gfx::STENCILOP_DECR}});
    buffer.draw(renderer.m_surfaceShader, time);
    setStates(device, {{gfx::RS_STENCILZFAIL, gfx::STENCILOP_KEEP}, {gfx::RS_STENCILFAIL, gfx::STENCILOP_KEEP}, {gfx::RS_STENCILPASS, gfx::STENCILOP_KEEP},
            {gfx::RS_STENCILFUNC, gfx::CMP_LESSEQUAL}});
}

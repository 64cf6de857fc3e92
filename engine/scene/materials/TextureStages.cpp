#include "engine/scene/materials/TextureStages.h"

#include <cmath>

#include "engine/scene/mesh/MeshPolygon.h"
#include "engine/scene/mesh/MeshVertex.h"
#include "engine/scene/mesh/UVMap.h"
#include "sys/Pi.h"

constexpr uint32_t TextureStages::CHANNEL_IDS[TextureStages::CHANNELS];

namespace {

Position3 transform(const float* p, const Matrix4x3& m) {
    return {p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12], p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13],
            p[0] * m[2] + p[1] * m[6] + p[2] * m[10] + m[14]};
}

void setTriple(float* out, float u, float v, float w) {
    out[0] = u;
    out[1] = v;
    out[2] = w;
}

void planar(float* out, const Position3& p, int axis) {
    if (axis == TextureLayer::AXIS_X)
        setTriple(out, p.z, p.y, 0.0f);
    else if (axis == TextureLayer::AXIS_Y)
        setTriple(out, p.x, p.z, 0.0f);
    else
        setTriple(out, p.x, p.y, 0.0f);
}

// Longitude around the axis in turns.
float aroundAxis(const Position3& p, int axis) {
    if (axis == TextureLayer::AXIS_X) return std::atan2(p.z, p.y) / (2.0f * PI);
    if (axis == TextureLayer::AXIS_Y) return std::atan2(-p.x, p.z) / (2.0f * PI);
    return std::atan2(-p.x, p.y) / (2.0f * PI);
}

float alongAxis(const Position3& p, int axis) {
    return axis == TextureLayer::AXIS_X ? p.x : axis == TextureLayer::AXIS_Y ? p.y : p.z;
}

// Length of the two coordinates across the axis.
float acrossAxis(const Position3& p, int axis) {
    if (axis == TextureLayer::AXIS_X) return std::sqrt(p.y * p.y + p.z * p.z);
    if (axis == TextureLayer::AXIS_Y) return std::sqrt(p.x * p.x + p.z * p.z);
    return std::sqrt(p.x * p.x + p.y * p.y);
}

int cubicAxis(const Normal3& n) {
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ay > ax) return az > ay ? TextureLayer::AXIS_Z : TextureLayer::AXIS_Y;
    return az > ax ? TextureLayer::AXIS_Z : TextureLayer::AXIS_X;
}

int clampAxis(int axis) { return axis < 0 || axis > 2 ? TextureLayer::AXIS_Z : axis; }

// A wrap across the seam moves the later corner by a whole turn.
void unwrapSeam(MeshVertex* vertices, int stage, uint32_t corners) {
    for (uint32_t i = 0; i < corners; ++i) {
        float& u = vertices[i].texCoords[stage][0];
        const float d = u - vertices[(i + corners - 1) % corners].texCoords[stage][0];
        if (d < -0.5f)
            u += 1.0f;
        else if (d > 0.5f)
            u -= 1.0f;
    }
}

// The UV map's triple for each corner, per-polygon entries first; zeros without a map.
void uvTriples(MeshVertex* vertices, int stage, const TextureLayer& layer, int objectLayer,
               const MeshPolygon& polygon) {
    const UVMap* map = static_cast<const UVMap*>(layer.getUVMap(objectLayer));
    const DiscontinuousEntry* entry = nullptr;
    if (map && polygon.number >= 0 && size_t(polygon.number) < map->m_polygonEntries.size())
        entry = &map->m_polygonEntries[polygon.number];
    for (uint32_t i = 0; i < polygon.vertexCount(); ++i) {
        float* out = vertices[i].texCoords[stage];
        setTriple(out, 0.0f, 0.0f, 0.0f);
        if (!map) continue;
        const uint32_t point = polygon.points[i];
        if (size_t(point) * 3 + 3 <= map->m_values.size()) setTriple(out, map->m_values[point * 3], map->m_values[point * 3 + 1], map->m_values[point * 3 + 2]);
        if (!entry) continue;
        for (size_t k = 0; k < entry->points.size() && (k + 1) * 3 <= entry->values.size(); ++k)
            if (entry->points[k] == point)
                setTriple(out, entry->values[k * 3], entry->values[k * 3 + 1], entry->values[k * 3 + 2]);
    }
}

} // namespace

void TextureStages::computeTexCoords(MeshVertex* vertices, int objectLayer, const Normal3& faceNormal,
                                     const MeshPolygon& polygon, int firstVertex) const {
    MeshVertex* corner = vertices + firstVertex;
    const uint32_t corners = polygon.vertexCount();
    for (int s = 0; s < count && s < MAX_STAGES; ++s) {
        TextureLayer& layer = *layers[s];
        // Animated placements are projected per frame by the renderer; the
        // stage carries the raw position. Later stages are still projected.
        if (layer.hasAnimatedTransform()) {
            for (uint32_t i = 0; i < corners; ++i) {
                const float* p = corner[i].position;
                setTriple(corner[i].texCoords[s], p[0], p[1], p[2]);
            }
            continue;
        }
        const Matrix4x3& m = layer.getMatrix();
        const int axis = clampAxis(layer.m_axis);
        switch (layer.m_projection) {
        case TextureLayer::PROJECT_PLANAR:
        case TextureLayer::PROJECT_CUBIC: {
            const int planeAxis = layer.m_projection == TextureLayer::PROJECT_CUBIC ? cubicAxis(faceNormal) : axis;
            for (uint32_t i = 0; i < corners; ++i) planar(corner[i].texCoords[s], transform(corner[i].position, m), planeAxis);
            break;
        }
        case TextureLayer::PROJECT_CYLINDRICAL:
        case TextureLayer::PROJECT_SPHERICAL: {
            const bool spherical = layer.m_projection == TextureLayer::PROJECT_SPHERICAL;
            const float size = layer.m_size[axis].constant;
            for (uint32_t i = 0; i < corners; ++i) {
                const Position3 p = transform(corner[i].position, m);
                const float along = alongAxis(p, axis);
                float v;
                if (spherical)
                    v = std::atan2(along, acrossAxis(p, axis)) / PI + 0.5f;
                else
                    v = (size != 0.0f ? along / size : 0.0f) + 0.5f;
                setTriple(corner[i].texCoords[s], aroundAxis(p, axis), v, 0.0f);
            }
            unwrapSeam(corner, s, corners);
            for (uint32_t i = 0; i < corners; ++i) {
                corner[i].texCoords[s][0] *= layer.m_wrapWidth;
                if (spherical) corner[i].texCoords[s][1] *= layer.m_wrapHeight;
            }
            break;
        }
        case TextureLayer::PROJECT_UV:
            uvTriples(corner, s, layer, objectLayer, polygon);
            break;
        case TextureLayer::PROJECT_SOLID:
            for (uint32_t i = 0; i < corners; ++i) {
                const Position3 p = transform(corner[i].position, m);
                setTriple(corner[i].texCoords[s], p.x, p.y, p.z);
            }
            break;
        case TextureLayer::PROJECT_UV_MATRIX:
            uvTriples(corner, s, layer, objectLayer, polygon);
            for (uint32_t i = 0; i < corners; ++i) {
                float* uvw = corner[i].texCoords[s];
                const Position3 p = transform(uvw, m);
                setTriple(uvw, p.x, p.y, p.z);
            }
            break;
        default:
            // Front projection belongs to the renderer's screen mapping.
            for (uint32_t i = 0; i < corners; ++i) setTriple(corner[i].texCoords[s], 0.0f, 0.0f, 0.0f);
            break;
        }
    }
}

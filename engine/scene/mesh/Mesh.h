#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/platform/Ref.h"
#include "engine/scene/BoundingBox.h"
#include "engine/scene/mesh/MeshBuildData.h"
#include "engine/scene/mesh/MeshPolygon.h"
#include "engine/scene/mesh/MeshVertex.h"

class Bone;
class LW6Scene;
class MeshCollisionBuilder;
class ReflectionCamera;
class Renderer;
class Surface;
class SurfaceBuffer;
class ViewGuard;
struct TextureStages;
class WeightMap;

// 0 outside any mesh draw, 1 in a top-level draw, 2 inside a reflection.
extern int g_reflectionDepth;

// The renderable form of one object layer: built once into welded, per-surface
// vertex lists and surface buffers, drawn per frame with CPU skinning and
// planar mirrors.
class Mesh : public BoundingBox {
public:
    static constexpr uint32_t MAX_BONES = 1024;

    // Takes over points and polygons and one reference of each weight map.
    // `surfaces` is the object file's surface table, indexed by surface index.
    Mesh(Renderer* renderer, SceneItem* owner, const std::vector<Surface*>& surfaces, std::vector<Position3> points,
         std::vector<MeshPolygon> polygons, std::vector<Ref<WeightMap>> weightMaps);
    // An empty mesh without a renderer: it builds nothing and draws nothing.
    Mesh(RenderView* view, SceneItem* owner);
    ~Mesh() override;

    Mesh* getMesh() override { return this; }
    void init(bool first) override;
    // Bounds from the points, once; the points then serve as the mirror plane.
    void ensureBounds();
    void invalidate() override;
    void draw(double time, SceneObject* object, SceneItem* viewer) override;
    void createDeviceObjects() override;
    void releaseDeviceObjects() override;
    // Builds polygon lists, geometry and surface buffers once; geoms call it
    // with keepBuildData set before they read the arrays. True when every
    // surface buffer took its data.
    virtual bool prepare(bool first, bool keepBuildData);
    // The layer's points for the mirror plane; null until the bounds are made.
    const Position3* getMirrorPoints();

    WeightMap* findWeightMap(const Bone& bone) const;
    // Ear clipping across the plane the whole outline faces: n - 2 triangles as corner
    // numbers of the polygon, wound as the outline is.
    static std::vector<std::array<uint32_t, 3>> triangulate(const std::vector<Position3>& points,
                                                            const MeshPolygon& polygon);

    Renderer* m_meshRenderer = nullptr;
    std::vector<Surface*> m_surfaces;
    // The scene a mirror surface reflects, by surface index; the object pass
    // sets them (surfaces carry none of their own yet).
    std::vector<LW6Scene*> m_reflectionScenes;
    std::vector<Position3> m_points;
    std::vector<MeshPolygon> m_polygons;
    // Deformers from the scene file, owned; at most MAX_BONES are used.
    // Objects sharing the mesh each append their own.
    std::vector<Bone*> m_bones;
    // The object's "BoneFalloffType".
    int32_t m_falloffType = 0;
    // One per surface of the object file, indexed by surface index.
    std::vector<std::unique_ptr<TextureStages>> m_textureStages;
    // One per surface group, in group order.
    std::vector<std::unique_ptr<SurfaceBuffer>> m_surfaceBuffers;
    std::vector<Ref<WeightMap>> m_weightMaps;
    MeshBuildData m_buildData;
    bool m_keepBuildData = false;
    Position3 m_pivot = {0.0f, 0.0f, 0.0f};
    bool m_hasBlendedSurfaces = false;
    int32_t m_layerNumber = 0;
    // Sum of the vertex counts of the kept polygons.
    int32_t m_cornerCount = 0;
    bool m_prepared = false;
    bool m_collisionDataBuilt = false;
    int32_t m_drawNesting = 0;
    const Position3* m_mirrorPoints = nullptr;
    // Points at the reflection camera while a mirror renders its scene.
    SceneItem* m_viewItem = nullptr;
    // Set by the object loader when the scene keeps collision data.
    MeshCollisionBuilder* m_collisionBuilder = nullptr;
    void* m_collisionObject = nullptr;

private:
    void computeBounds();
    void buildPolygonLists();
    void buildGeometry();
    // Only the triangles and vertex positions, for geoms of a scene drawn by no renderer.
    bool buildCollisionData();
    Position3 computeFaceNormal(const MeshPolygon& polygon) const;
    void triangulatePolygons();
    void buildVertices();
    void computeVertexNormals();
    // `weights` is the caller's, reused from vertex to vertex.
    void computeBoneWeights(MeshVertex& record, uint32_t point, const std::vector<WeightMap*>& boneMaps,
                            std::vector<std::pair<double, uint16_t>>& weights);
    // The leading bones of one object: they name the skinning slots, which
    // every object sharing the mesh fills with its own bones.
    size_t slotBoneCount() const;
    void weldVertices();
    void createSurfaceBuffers();
    bool hasBones() const { return !m_bones.empty(); }
    Surface* surfaceAt(int32_t index) const;
    // One drawing object's skinned vertices and the bones that skinned them:
    // every pass of a frame (main view, mirror, shadow) reuses one skinning,
    // and an object whose bones stand still is not skinned again.
    struct SkinnedPose {
        const SceneObject* owner;
        std::vector<Matrix4x3> bones;
        std::vector<MeshVertex> vertices;
    };
    // The bone slots the vertices read: one past the highest weighted index.
    uint32_t skinSlotCount() const;
    // The owner's pose for the bones in the shader constants, skinned only when they changed; its index.
    size_t skinnedPose(const SceneObject* owner);
    void skinVertices(SkinnedPose& pose) const;
    void drawPlain(SurfaceBuffer& buffer, double time);
    // The stencil mirror with the surface's scene behind it; false when the
    // mesh gives no mirror plane and the surface is to be drawn plainly.
    bool drawReflection(SurfaceBuffer& buffer, double time, SceneObject* object, SceneItem* viewer);
    // Counts the mirror's pixels up in the stencil and clears their depth.
    void markMirror(SurfaceBuffer& buffer, double time, uint32_t depth);
    // The surface's scene seen across the mirror plane, clipped to the marked pixels.
    void drawMirrorImage(SurfaceBuffer& buffer, double time, SceneObject& object, SceneItem* viewer,
                         const Position3* points, const ViewGuard& view);
    // The reflected view's camera, bounded by the box's bottom face.
    ReflectionCamera reflectionCamera(LW6Scene* scene, const Matrix4x3& world, const Matrix4x3& mirror,
                                      const Matrix4x3& savedView, const Matrix4x3& reflectedView,
                                      SceneItem* viewer) const;
    // Draws the surface over the reflection and counts the stencil back down.
    void unmarkMirror(SurfaceBuffer& buffer, double time, uint32_t depth);
    LW6Scene* reflectionSceneOf(const Surface* surface) const;

    // Per polygon and per corner record, during the build only.
    std::vector<Position3> m_faceNormals;
    std::vector<uint32_t> m_cornerPoints;
    bool m_reportedMissingScene = false;
    uint32_t m_skinSlots = 0;
    std::vector<SkinnedPose> m_poses;
    // The pose the dynamic buffers hold, -1 for none.
    int32_t m_uploadedPose = -1;
};

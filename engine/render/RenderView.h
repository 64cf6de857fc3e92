#pragma once
#include <cstdint>
#include <vector>

#include "engine/platform/Math3D.h"

// One vertex of a debugging line: position and packed diffuse colour (16 bytes).
struct DebugLineVertex {
    Position3 position;
    uint32_t diffuse;
};

// The render system as the scene items see it: the viewing settings they read
// and write, and the drawing of their debugging aids. The renderer derives
// from it; the items hold it without knowing the device.
class RenderView {
public:
    virtual ~RenderView() = default;

    // A line list (vertex pairs) under `world` in a white material, depth
    // written, no blending or texturing; the device state is restored after.
    virtual void drawDebugLines(const Matrix4x3& world, const std::vector<DebugLineVertex>& lines) = 0;

    // Degrees: 2 atan(1 / 2.4) and 2 atan(1 / 3.2), so a zoom of 3.2 gives scales 2.4 and 3.2.
    float m_fieldOfViewX = 45.2397f;
    float m_fieldOfViewY = 34.7080f;
    float m_zoomTerm = 100.0f;
    float m_zoomReference = 100.0f;
    // The eye being drawn in stereo and split modes; -1 when none.
    int32_t m_currentEye = -1;
    float m_stereoFactors[2] = {1.0f, 4.0f};
    int32_t m_targetWidth = 512;
    int32_t m_targetHeight = 512;
    int32_t m_targetX = 0;
    int32_t m_targetY = 0;
    // The near distance of the last projection built, for the depth passes.
    float m_nearDistances[2] = {0.0f, 0.0f};
    // Objects with several levels of detail take coarser ones nearer by this many (0 or 10).
    int32_t m_lodBias = 0;
    // Render option 7: items draw their debugging aids.
    bool m_debugDrawing = false;
};

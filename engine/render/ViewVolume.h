#pragma once
#include "engine/platform/Math3D.h"
#include "engine/render/FacingBound.h"
#include "engine/render/ViewWindow.h"

class Renderer;

// What the current draw's world, view and projection can reach: a box wholly
// beyond one side of the clip volume gives no pixel, so its triangles need
// not be sent to the device.
class ViewVolume {
public:
    // The device's matrices on the fixed-function path, the shader values on
    // the shader path; a cylindrical view bends what the matrices say and sees everything.
    explicit ViewVolume(const Renderer& renderer);

    // False only when every corner of the box lies beyond the same side (of
    // the renderer's view window across, of the clip volume in depth).
    bool sees(const Position3& low, const Position3& high) const;
    // True when the device, culling back faces, would draw none of the run's triangles.
    bool seesOnlyBacks(const FacingBound& bound) const { return m_culling && bound.behindAll(m_eye); }

private:
    Matrix4x3 m_toClip;
    ViewWindow m_window;
    bool m_everything = false;
    // The eye in the draw's own space, signed so that the culled faces are those it lies behind.
    float m_eye[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    bool m_culling = false;
};

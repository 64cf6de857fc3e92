#include "engine/scene/Camera.h"

#include <cmath>

#include "engine/render/RenderView.h"
#include "sys/Pi.h"

namespace {

bool drawingOneOfTwoEyes(const RenderView* renderer) {
    return renderer && (renderer->m_currentEye == 0 || renderer->m_currentEye == 1);
}

} // namespace

Camera::Camera(ObjectContainer* container, int32_t index) : AxisViewingItem(container, KIND_CAMERA, index) {
    m_zoomFactor.constant = 3.2f;
}

Camera::~Camera() { m_zoomFactor.clearChannel(); }

Viewport Camera::getViewport() {
    if (m_renderer) {
        m_viewport.x = static_cast<uint32_t>(m_renderer->m_targetX);
        m_viewport.y = static_cast<uint32_t>(m_renderer->m_targetY);
        m_viewport.width = static_cast<uint32_t>(m_renderer->m_targetWidth);
        m_viewport.height = static_cast<uint32_t>(m_renderer->m_targetHeight);
    }
    m_viewport.minZ = 0.0f;
    m_viewport.maxZ = 1.0f;
    return m_viewport;
}

void Camera::invalidate() {
    SceneItem::invalidate();
    // The eye offset is rebuilt for each eye.
    if (drawingOneOfTwoEyes(m_renderer)) m_viewAxisValid = false;
}

void Camera::updateMatrix(double time) {
    AxisViewingItem::updateMatrix(time);
    if (m_offset.x == 0.0f && m_offset.y == 0.0f && m_offset.z == 0.0f) return;
    Matrix4x3 shift = Matrix4x3::identity();
    shift[12] = m_offset.x;
    shift[13] = m_offset.y;
    shift[14] = -m_offset.z;
    multiplyMatrix4x3(m_worldMatrix, shift, m_worldMatrix);
}

void Camera::lookAt(SceneItem* target, bool followHeading, bool followPitch) {
    m_target = target;
    m_headingController = followHeading ? CONTROL_TARGET : CONTROL_CHANNEL;
    m_pitchController = followPitch ? CONTROL_TARGET : CONTROL_CHANNEL;
    invalidate();
}

void Camera::adjustViewAxis(Matrix4x3& axis) {
    if (!drawingOneOfTwoEyes(m_renderer)) return;
    float side = m_renderer->m_currentEye == 0 ? -0.5f : 0.5f;
    Matrix4x3 offset = Matrix4x3::identity();
    offset[12] = m_renderer->m_stereoFactors[1] * m_renderer->m_stereoFactors[0] * m_eyeSeparation * side;
    multiplyMatrix4x3(axis, offset, axis);
}

void Camera::updateProjMatrix(double time) {
    float zoom = m_zoomFactor.evaluate(time);
    float xScale = 1.0f, yScale = 1.0f, e = 0.0f;
    if (m_renderer) {
        m_renderer->m_zoomTerm = zoom * 31.25f;
        float k = m_renderer->m_zoomTerm / m_renderer->m_zoomReference;
        xScale = static_cast<float>(k / std::tan(m_renderer->m_fieldOfViewX * PI_DOUBLE / 360.0));
        yScale = static_cast<float>(k / std::tan(m_renderer->m_fieldOfViewY * PI_DOUBLE / 360.0));
        int eye = m_renderer->m_currentEye;
        float shift = m_renderer->m_stereoFactors[0] * m_eyeSeparation * xScale;
        if (eye == 0) e = shift * -0.5f;
        else if (eye == 1) e = shift * 0.5f;
        else if (eye == 2) e = 1.0f;
        else if (eye == 3) e = -1.0f;
    }
    m_projMatrix = Matrix4x3{{xScale, 0, 0, 0, 0, yScale, 0, 0, e, 0, 1, 1, 0, 0, 0, 0}};
    m_projValid = true;
}

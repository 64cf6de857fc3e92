#include "engine/scene/AxisViewingItem.h"

Matrix4x3& AxisViewingItem::getMatrix(Matrix4x3& out, double time, int flag) {
    if (!m_worldValid) updateMatrix(time);
    if (!m_viewAxisValid) updateViewAxis();
    if (flag == 1)
        multiplyMatrix4x3(out, m_viewAxisMatrix, m_worldMatrix);
    else
        out = m_worldMatrix;
    return out;
}

Matrix4x3& AxisViewingItem::getInvMatrix(Matrix4x3& out, double time, int flag) {
    if (!m_invValid) updateInvMatrix(time);
    if (!m_viewAxisValid) updateViewAxis();
    if (flag == 1)
        multiplyMatrix4x3(out, m_invWorldMatrix, m_invViewAxisMatrix);
    else
        out = m_invWorldMatrix;
    return out;
}

void AxisViewingItem::updateViewAxis() {
    Matrix4x3 axis = Matrix4x3::identity();
    if (m_viewAxis == ALONG_X)
        axis = Matrix4x3{{0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}};
    else if (m_viewAxis == ALONG_Y)
        axis = Matrix4x3{{1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1}};
    adjustViewAxis(axis);
    m_viewAxisMatrix = axis;
    invertMatrix4x3(m_invViewAxisMatrix, axis);
    m_viewAxisValid = true;
}

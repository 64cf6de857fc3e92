#include "engine/scene/Bone.h"

#include <cmath>

#include "engine/render/RenderView.h"
#include "engine/scene/BoneBoundingBox.h"

namespace {

// Rz(bank) x Rx(pitch) x Ry(heading), angles stored as (pitch, heading, bank).
Matrix4x3 restRotation(const float angles[3]) {
    float sp = std::sin(angles[0]), cp = std::cos(angles[0]);
    float sh = std::sin(angles[1]), ch = std::cos(angles[1]);
    float sb = std::sin(angles[2]), cb = std::cos(angles[2]);
    Matrix4x3 x = Matrix4x3::identity(), y = Matrix4x3::identity(), z = Matrix4x3::identity();
    x.at(1, 1) = cp, x.at(1, 2) = sp, x.at(2, 1) = -sp, x.at(2, 2) = cp;
    y.at(0, 0) = ch, y.at(0, 2) = -sh, y.at(2, 0) = sh, y.at(2, 2) = ch;
    z.at(0, 0) = cb, z.at(0, 1) = sb, z.at(1, 0) = -sb, z.at(1, 1) = cb;
    Matrix4x3 out;
    multiplyMatrix4x3(out, z, x);
    multiplyMatrix4x3(out, out, y);
    return out;
}

} // namespace

Bone::Bone(ObjectContainer* scene, int32_t objectIndex, int32_t boneIndex)
    : ViewingItem(scene, KIND_BONE, (boneIndex << 16) + objectIndex),
      m_guide(std::make_unique<BoneBoundingBox>(m_renderer, this)) {}

Bone::~Bone() = default;

void Bone::updateTransforms(double time) {
    Matrix4x3 local = restRotation(m_restRotation);
    multiplyMatrix4x3(local, local, restRotation(m_pivotRotation));
    Matrix4x3 position = Matrix4x3::identity();
    position[12] = m_restPosition.x, position[13] = m_restPosition.y, position[14] = m_restPosition.z;
    multiplyMatrix4x3(local, local, position);
    m_walking = true;
    // A parent already on the walk closes a cycle: the chain is cut there.
    if (m_parentBone && !m_parentBone->m_walking) {
        if (!m_parentBone->m_restValid) m_parentBone->updateTransforms(time);
        multiplyMatrix4x3(m_restMatrix, local, m_parentBone->m_restMatrix);
    } else {
        m_restMatrix = local;
    }
    m_walking = false;
    m_restValid = true;
}

const Matrix4x3& Bone::animMatrix(double time) {
    if (m_animValid) return m_animMatrix;
    const Matrix4x3& local = localMatrix(time);
    m_walking = true;
    Bone* parent = m_parentBone && !m_parentBone->m_walking ? m_parentBone : nullptr;
    const Matrix4x3* parentAnim = parent ? &parent->animMatrix(time) : nullptr;
    m_walking = false;
    // A pose held over frames keeps its product: only a moved bone or parent makes it again.
    const AnimKey key{localGeneration(), parent, parent ? parent->m_animGeneration : 0};
    if (m_animGeneration == 0 || key.local != m_animKey.local || key.parent != m_animKey.parent ||
        key.parentGeneration != m_animKey.parentGeneration) {
        if (parentAnim)
            multiplyMatrix4x3(m_animMatrix, local, *parentAnim);
        else
            m_animMatrix = local;
        m_animKey = key;
        if (++m_animGeneration == 0) m_animGeneration = 1;
    }
    m_animValid = true;
    return m_animMatrix;
}

const Matrix4x3& Bone::skinningMatrix(double time) {
    if (m_skinningValid) return m_skinningMatrix;
    if (!m_invRestValid) {
        if (!m_restValid) updateTransforms(time);
        invertMatrix4x3(m_invRestMatrix, m_restMatrix);
        m_invRestValid = true;
        m_skinnedGeneration = 0;
    }
    const Matrix4x3& anim = animMatrix(time);
    if (m_skinnedGeneration != m_animGeneration) {
        multiplyMatrix4x3(m_skinningMatrix, m_invRestMatrix, anim);
        m_skinnedGeneration = m_animGeneration;
    }
    m_skinningValid = true;
    return m_skinningMatrix;
}

void Bone::invalidate() {
    SceneItem::invalidate();
    m_animValid = false;
    m_skinningValid = false;
}

void Bone::drawGuide(double time) {
    if (m_renderer && m_renderer->m_debugDrawing) m_guide->draw(time, nullptr, nullptr);
}

#include "engine/scene/SceneItem.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <ode/objects.h>

#include "engine/render/RenderView.h"
#include "engine/scene/ItemBoundingBox.h"
#include "engine/scene/ObjectContainer.h"

namespace {

Matrix4x3 rotationX(float a) {
    float c = std::cos(a), s = std::sin(a);
    return Matrix4x3{{1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1}};
}

Matrix4x3 rotationY(float a) {
    float c = std::cos(a), s = std::sin(a);
    return Matrix4x3{{c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}};
}

Matrix4x3 rotationZ(float a) {
    float c = std::cos(a), s = std::sin(a);
    return Matrix4x3{{c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Matrix4x3 translation(float x, float y, float z) {
    Matrix4x3 m = Matrix4x3::identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

float clampTo(float value, float low, float high) { return std::min(std::max(value, low), high); }

bool sameBits(const Matrix4x3& a, const Matrix4x3& b) { return std::memcmp(a.m, b.m, sizeof a.m) == 0; }

} // namespace

SceneItem::SceneItem(ObjectContainer* container, int32_t kind, int32_t index)
    : m_renderer(container ? container->m_owner : nullptr), m_kind(kind), m_container(container), m_index(index) {
    for (int i = SCALE_X; i <= SCALE_Z; ++i) m_channels[i].constant = 1.0f;
    dMassSetZero(&m_mass);
    m_boundingBox = std::make_unique<ItemBoundingBox>(m_renderer, nullptr);
}

SceneItem::~SceneItem() {
    for (int i = CHANNEL_COUNT - 1; i >= 0; --i) m_channels[i].clearChannel();
}

Matrix4x3& SceneItem::getMatrix(Matrix4x3& out, double time, int flag) {
    if (!m_worldValid) updateMatrix(time);
    out = m_worldMatrix;
    return out;
}

Matrix4x3& SceneItem::getInvMatrix(Matrix4x3& out, double time, int flag) {
    if (!m_invValid) updateInvMatrix(time);
    out = m_invWorldMatrix;
    return out;
}

void SceneItem::invalidate() { m_worldValid = m_invValid = m_projValid = m_depthRangeValid = false; }

void SceneItem::updateMatrix(double time) {
    Matrix4x3 world;
    if (m_poseMode == 1) {
        world = m_poseMatrix;
        if (m_parent) {
            Matrix4x3 parent;
            postMultiplyInPlace(world, m_parent->getMatrix(parent, time, 0));
        }
    } else if (m_body) {
        setPoseFromODE(dBodyGetRotation(m_body), dBodyGetPosition(m_body));
        Matrix4x3 scale;
        getScaleMatrix(scale, time);
        // A body at rest keeps its product.
        BodyInputs in{m_pivot, {scale[0], scale[5], scale[10]}, m_poseMatrix};
        if (!m_bodyWorldMade || std::memcmp(&in, &m_bodyInputs, sizeof in) != 0) {
            m_bodyWorld = translation(-m_pivot.x, -m_pivot.y, -m_pivot.z);
            postMultiplyInPlace(m_bodyWorld, scale);
            postMultiplyInPlace(m_bodyWorld, m_poseMatrix);
            m_bodyInputs = in;
            m_bodyWorldMade = true;
        }
        world = m_bodyWorld;
    } else {
        const Matrix4x3& local = localMatrix(time);
        world = local;
        if (m_parent) {
            Matrix4x3 parent;
            m_parent->getMatrix(parent, time, 0);
            if (m_composedGeneration != m_localGeneration || !sameBits(parent, m_composedParent)) {
                multiplyMatrix4x3(m_composedWorld, local, parent);
                m_composedParent = parent;
                m_composedGeneration = m_localGeneration;
            }
            world = m_composedWorld;
        }
    }
    m_worldMatrix = world;
    m_worldValid = true;
}

void SceneItem::updateInvMatrix(double time) {
    Matrix4x3 world;
    getMatrix(world, time, 0);
    if (!m_inverseMade || !sameBits(world, m_invertedWorld)) {
        invertMatrix4x3(m_lastInverse, world);
        m_invertedWorld = world;
        m_inverseMade = true;
    }
    m_invWorldMatrix = m_lastInverse;
    m_invValid = true;
}

Position3 SceneItem::evaluatePosition(double time) {
    return {m_channels[POS_X].evaluate(time), m_channels[POS_Y].evaluate(time), m_channels[POS_Z].evaluate(time)};
}

Position3 SceneItem::targetPoint(double time) {
    Matrix4x3 targetWorld;
    Position3 point = m_target->m_pivot;
    transformPoint4x3(point, m_target->getMatrix(targetWorld, time, 0));
    if (m_parent) {
        Matrix4x3 parentInverse;
        transformPoint4x3(point, m_parent->getInvMatrix(parentInverse, time, 0));
    }
    return point;
}

void SceneItem::computeAngles(float angles[3], double time) {
    if (m_matchGoalOrientation && m_goalItem) {
        m_goalItem->computeAngles(angles, time);
        return;
    }
    bool aimAtTarget = m_target && (m_headingController == CONTROL_TARGET || m_pitchController == CONTROL_TARGET);
    bool alignToPath = m_headingController == CONTROL_PATH || m_pitchController == CONTROL_PATH;
    float targetDelta[3] = {0, 0, 0};
    float pathDelta[3] = {0, 0, 0};
    Position3 here = evaluatePosition(time);
    if (aimAtTarget) {
        Position3 target = targetPoint(time);
        targetDelta[0] = target.x - here.x;
        targetDelta[1] = target.y - here.y;
        targetDelta[2] = target.z - here.z;
    }
    if (alignToPath) {
        double later = time + m_pathLookAhead;
        Position3 ahead = evaluatePosition(later);
        evaluatePosition(time);
        Position3 a = here, b = ahead;
        if (m_parent) {
            Matrix4x3 parentNow, parentLater;
            m_parent->getMatrix(parentNow, time, 0);
            m_parent->getMatrix(parentLater, later, 0);
            parentNow[12] = parentNow[13] = parentNow[14] = 0.0f;
            parentLater[12] = parentLater[13] = parentLater[14] = 0.0f;
            transformPoint4x3(a, parentNow);
            transformPoint4x3(b, parentLater);
        }
        pathDelta[0] = b.x - a.x;
        pathDelta[1] = b.y - a.y;
        pathDelta[2] = b.z - a.z;
    }
    auto headingOf = [](const float d[3]) { return std::atan2(d[0], d[2]); };
    auto pitchOf = [](const float d[3]) { return -std::atan2(d[1], std::sqrt(d[0] * d[0] + d[2] * d[2])); };

    if (m_headingController == CONTROL_TARGET && m_target)
        angles[1] = headingOf(targetDelta);
    else if (m_headingController == CONTROL_PATH)
        angles[1] = headingOf(pathDelta);
    else
        angles[1] = m_channels[HEADING].evaluate(time);

    if (m_pitchController == CONTROL_TARGET && m_target)
        angles[0] = pitchOf(targetDelta);
    else if (m_pitchController == CONTROL_PATH)
        angles[0] = pitchOf(pathDelta);
    else
        angles[0] = m_channels[PITCH].evaluate(time);

    angles[2] = m_channels[BANK].evaluate(time);
}

void SceneItem::applyControllers(float out[3], double time) {
    float angles[3];
    computeAngles(angles, time);
    out[0] = -angles[0];
    out[1] = angles[1];
    out[2] = -angles[2];
}

void SceneItem::rotationMatrix(Matrix4x3& out, double time) {
    float angles[3];
    computeAngles(angles, time);
    out = rotationMatrix(angles);
}

const Matrix4x3& SceneItem::rotationMatrix(const float angles[3]) {
    RotationInputs in;
    std::copy(angles, angles + 3, in.angles);
    std::copy(m_pivotRotation, m_pivotRotation + 3, in.pivotRotation);
    std::copy(m_rotationOrder, m_rotationOrder + 3, in.rotationOrder);
    if (m_rotationMade && std::memcmp(&in, &m_rotationInputs, sizeof in) == 0) return m_rotation;
    m_rotationInputs = in;
    m_rotationMade = true;
    Matrix4x3& out = m_rotation;
    auto axisRotation = [&](int32_t code) {
        if (code == AXIS_PITCH) return rotationX(angles[0]);
        if (code == AXIS_HEADING) return rotationY(angles[1]);
        if (code == AXIS_BANK) return rotationZ(angles[2]);
        return Matrix4x3::identity();
    };
    // A turn by no angle leaves the matrix as it is: most items have no
    // pivot rotation and many no pitch or bank, so those products are skipped.
    auto turn = [&out](float angle, Matrix4x3 (*rotation)(float)) {
        if (angle != 0.0f) postMultiplyInPlace(out, rotation(angle));
    };
    auto axisTurn = [&](int32_t code) {
        if (code == AXIS_PITCH) turn(angles[0], rotationX);
        if (code == AXIS_HEADING) turn(angles[1], rotationY);
        if (code == AXIS_BANK) turn(angles[2], rotationZ);
    };
    out = axisRotation(m_rotationOrder[2]);
    axisTurn(m_rotationOrder[1]);
    axisTurn(m_rotationOrder[0]);
    turn(m_pivotRotation[2], rotationZ);
    turn(m_pivotRotation[0], rotationX);
    turn(m_pivotRotation[1], rotationY);
    return m_rotation;
}

void SceneItem::getLocalMatrix(Matrix4x3& out, double time) { out = localMatrix(time); }

const Matrix4x3& SceneItem::localMatrix(double time) {
    // Read in the order the products always took them: scale, angles, position.
    LocalInputs in;
    for (int i = 0; i < 3; ++i) in.scale[i] = m_channels[SCALE_X + i].evaluate(time);
    float angles[3];
    computeAngles(angles, time);
    Position3 p = evaluatePosition(time);
    in.position[0] = p.x, in.position[1] = p.y, in.position[2] = p.z;
    in.pivot = m_pivot;
    const Matrix4x3& rotation = rotationMatrix(angles);
    in.rotation = m_rotationInputs;
    if (m_localGeneration != 0 && std::memcmp(&in, &m_localInputs, sizeof in) == 0) return m_localMatrix;

    Matrix4x3 scale = Matrix4x3::identity();
    scale[0] = in.scale[0], scale[5] = in.scale[1], scale[10] = in.scale[2];
    Matrix4x3& out = m_localMatrix;
    out = translation(-m_pivot.x, -m_pivot.y, -m_pivot.z);
    postMultiplyInPlace(out, scale);
    postMultiplyInPlace(out, rotation);
    postMultiplyInPlace(out, translation(p.x, p.y, p.z));
    m_localInputs = in;
    if (++m_localGeneration == 0) m_localGeneration = 1;
    return m_localMatrix;
}

void SceneItem::getWorldRotation(Matrix4x3& out, double time) {
    rotationMatrix(out, time);
    if (!m_parent) return;
    Matrix4x3 parent;
    m_parent->getWorldRotation(parent, time);
    postMultiplyInPlace(out, parent);
}

void SceneItem::getODERotation(dMatrix3 out, double time) {
    Matrix4x3 m;
    getWorldRotation(m, time);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) out[row * 4 + column] = m.at(column, row);
        out[row * 4 + 3] = 0.0;
    }
}

void SceneItem::setPoseFromODE(const dReal* rotation, const dReal* position) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m_poseMatrix.at(i, j) = static_cast<float>(rotation[j * 4 + i]);
        m_poseMatrix.at(i, 3) = 0.0f;
        m_poseMatrix.at(3, i) = static_cast<float>(position[i]);
    }
    m_poseMatrix.at(3, 3) = 1.0f;
}

void SceneItem::getPositionMatrix(Matrix4x3& out, double time) {
    Position3 p = evaluatePosition(time);
    out = translation(p.x, p.y, p.z);
}

void SceneItem::getScaleMatrix(Matrix4x3& out, double time) {
    out = Matrix4x3::identity();
    out[0] = m_channels[SCALE_X].evaluate(time);
    out[5] = m_channels[SCALE_Y].evaluate(time);
    out[10] = m_channels[SCALE_Z].evaluate(time);
}

void SceneItem::move(const Position3& delta) {
    float current[3] = {m_channels[POS_X].constant, m_channels[POS_Y].constant, m_channels[POS_Z].constant};
    float target[3] = {current[0] + delta.x, current[1] + delta.y, current[2] + delta.z};
    if (m_clampEnabled) {
        const float low[3] = {m_clampMin.x, m_clampMin.y, m_clampMin.z};
        const float high[3] = {m_clampMax.x, m_clampMax.y, m_clampMax.z};
        float kept = 0.0f, cut = 0.0f;
        for (int i = 0; i < 3; ++i) {
            float clamped = clampTo(target[i], low[i], high[i]);
            kept += (clamped - current[i]) * (clamped - current[i]);
            cut += (target[i] - clamped) * (target[i] - clamped);
            target[i] = clamped;
        }
        // Sliding along the box is fine; pushing mostly into it is not.
        if (3.0f * std::sqrt(cut) > std::sqrt(kept)) return;
    }
    for (int i = 0; i < 3; ++i) m_channels[POS_X + i].constant = target[i];
}

void SceneItem::setPosition(const Position3& position) {
    float p[3] = {position.x, position.y, position.z};
    if (m_clampEnabled) {
        p[0] = clampTo(p[0], m_clampMin.x, m_clampMax.x);
        p[1] = clampTo(p[1], m_clampMin.y, m_clampMax.y);
        p[2] = clampTo(p[2], m_clampMin.z, m_clampMax.z);
    }
    for (int i = 0; i < 3; ++i) m_channels[POS_X + i].constant = p[i];
    if (!m_body) return;
    Position3 at = evaluatePosition(0.0);
    if (m_parent) {
        Matrix4x3 parent;
        transformPoint4x3(at, m_parent->getMatrix(parent, 0.0, 1));
    }
    dBodySetPosition(m_body, at.x, at.y, at.z);
    dBodySetAngularVel(m_body, 0, 0, 0);
    dBodySetLinearVel(m_body, 0, 0, 0);
    dBodySetForce(m_body, 0, 0, 0);
    dBodySetTorque(m_body, 0, 0, 0);
}

void SceneItem::setRotation(const float angles[3], bool clamp) {
    float a[3] = {angles[0], angles[1], angles[2]};
    if (clamp) {
        if (m_angleLimits & LIMIT_HEADING) a[1] = clampTo(a[1], m_angleMin[1], m_angleMax[1]);
        if (m_angleLimits & LIMIT_PITCH) a[0] = clampTo(a[0], m_angleMin[0], m_angleMax[0]);
        if (m_angleLimits & LIMIT_BANK) a[2] = clampTo(a[2], m_angleMin[2], m_angleMax[2]);
    }
    m_channels[HEADING].constant = a[1];
    m_channels[PITCH].constant = -a[0];
    m_channels[BANK].constant = -a[2];
    if (!m_body) return;
    dMatrix3 rotation;
    getODERotation(rotation, 0.0);
    dBodySetRotation(m_body, rotation);
}

void SceneItem::copyTransform(SceneItem& source, double time) {
    for (int i = 0; i < CHANNEL_COUNT; ++i) m_channels[i].constant = source.m_channels[i].evaluate(time);
    m_pivot = source.m_pivot;
    std::copy(source.m_pivotRotation, source.m_pivotRotation + 3, m_pivotRotation);
    m_headingController = source.m_headingController;
    m_pitchController = source.m_pitchController;
    m_bankController = source.m_bankController;
    m_pathLookAhead = source.m_pathLookAhead;
    std::copy(source.m_rotationOrder, source.m_rotationOrder + 3, m_rotationOrder);
}

void SceneItem::updateHelpers(double time) {
    if (m_target && m_boundingBox) m_boundingBox->draw(time, nullptr, this);
    if (m_debugObject) m_debugObject->draw(time, nullptr, this);
}

const Matrix4x3& ViewingItem::getProjMatrix(double time, float nearDistance, float farDistance) {
    if (!m_projValid) updateProjMatrix(time);
    float n = std::max(m_nearDistance, nearDistance - 0.0001f);
    float f = std::min(farDistance, m_farLimit);
    float fPrime = std::max(n, f) + 0.0001f;
    if (m_renderer) m_renderer->m_nearDistances[0] = m_renderer->m_nearDistances[1] = n;
    m_projMatrix.at(2, 2) = fPrime / (fPrime - n);
    m_projMatrix.at(3, 2) = -m_projMatrix.at(2, 2) * n;
    m_depthRangeValid = true;
    return m_projMatrix;
}

bool ViewingItem::isPointOutside(const float p[4]) const {
    float w = p[3];
    return m_nearDistance > w || w > m_farLimit || -w > p[0] || p[0] > w || -w > p[1] || p[1] > w;
}

namespace {

typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t LaneMask __attribute__((vector_size(16)));

Lanes lanesOf(const float values[4]) {
    Lanes out;
    std::memcpy(&out, values, sizeof out);
    return out;
}

bool anyLane(LaneMask mask) { return (mask[0] | mask[1] | mask[2] | mask[3]) != 0; }

} // namespace

bool ViewingItem::isBoxOutside(const float corners[8][4]) const {
    // Every pass culls every object with this: four corners at a time, turned
    // into their x, y and w, against each of the six planes. Outside when no
    // corner is on the inner side of one of them.
    LaneMask nearSide{}, farSide{}, left{}, right{}, bottom{}, top{};
    const Lanes nearest = {m_nearDistance, m_nearDistance, m_nearDistance, m_nearDistance};
    const Lanes farthest = {m_farLimit, m_farLimit, m_farLimit, m_farLimit};
    for (int first = 0; first < 8; first += 4) {
        const Lanes c0 = lanesOf(corners[first]), c1 = lanesOf(corners[first + 1]);
        const Lanes c2 = lanesOf(corners[first + 2]), c3 = lanesOf(corners[first + 3]);
        const Lanes xy01 = __builtin_shuffle(c0, c1, LaneMask{0, 4, 1, 5});
        const Lanes xy23 = __builtin_shuffle(c2, c3, LaneMask{0, 4, 1, 5});
        const Lanes zw01 = __builtin_shuffle(c0, c1, LaneMask{2, 6, 3, 7});
        const Lanes zw23 = __builtin_shuffle(c2, c3, LaneMask{2, 6, 3, 7});
        const Lanes x = __builtin_shuffle(xy01, xy23, LaneMask{0, 1, 4, 5});
        const Lanes y = __builtin_shuffle(xy01, xy23, LaneMask{2, 3, 6, 7});
        const Lanes w = __builtin_shuffle(zw01, zw23, LaneMask{2, 3, 6, 7});
        nearSide |= w >= nearest;
        farSide |= farthest >= w;
        left |= x >= -w;
        right |= w >= x;
        bottom |= y >= -w;
        top |= w >= y;
    }
    return !(anyLane(nearSide) && anyLane(farSide) && anyLane(left) && anyLane(right) && anyLane(bottom) &&
             anyLane(top));
}

void ViewingItem::updateProjMatrix(double time) {
    m_projMatrix = Matrix4x3{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0}};
    m_projValid = true;
}

void transformPoint4x3(Position3& point, const Matrix4x3& m) {
    Position3 p = point;
    point.x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
    point.y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
    point.z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14];
}

void postMultiplyInPlace(Matrix4x3& a, const Matrix4x3& b) { multiplyMatrix4x3(a, a, b); }

#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include <ode/common.h>
#include <ode/mass.h>

#include "engine/platform/Math3D.h"
#include "engine/platform/animation/AnimatedValue.h"
#include "engine/scene/BoundingBox.h"
#include "engine/scene/Viewport.h"

class ObjectContainer;
class RenderView;

// Base of everything placed in a scene: nine animated channels, pivot,
// rotation controllers, parent and target, an optional body, and the cached
// world, inverse and projection matrices. Row vectors: p' = p x M, A x B applies A first.
class SceneItem {
public:
    enum Kind { KIND_NONE = 0, KIND_OBJECT = 1, KIND_LIGHT = 2, KIND_CAMERA = 3, KIND_BONE = 4,
                KIND_GEOM = 5, KIND_JOINT = 6 };
    enum Channel { POS_X, POS_Y, POS_Z, HEADING, PITCH, BANK, SCALE_X, SCALE_Y, SCALE_Z, CHANNEL_COUNT };
    enum Controller { CONTROL_CHANNEL = 0, CONTROL_TARGET = 1, CONTROL_PATH = 2 };
    enum Axis { AXIS_PITCH = 0, AXIS_HEADING = 1, AXIS_BANK = 2 };
    enum LimitFlag { LIMIT_PITCH = 1, LIMIT_HEADING = 2, LIMIT_BANK = 4 };

    SceneItem(ObjectContainer* container, int32_t kind, int32_t index);
    virtual ~SceneItem();
    SceneItem(const SceneItem&) = delete;
    SceneItem& operator=(const SceneItem&) = delete;

    virtual void releaseDeviceObjects() {}
    virtual void createDeviceObjects() {}
    // A distant light seen from: no local viewer.
    virtual bool isDistant() const { return false; }
    virtual Matrix4x3& getMatrix(Matrix4x3& out, double time, int flag);
    virtual Matrix4x3& getInvMatrix(Matrix4x3& out, double time, int flag);
    virtual const Matrix4x3& getProjMatrix(double time, float nearDistance, float farDistance) = 0;
    virtual bool isPointOutside(const float point[4]) const = 0;
    virtual bool isBoxOutside(const float corners[8][4]) const = 0;
    virtual Viewport getViewport() { return m_viewport; }
    virtual void invalidate();
    // Only the projection and depth range: the item stays where it is.
    void invalidateProjection() { m_projValid = m_depthRangeValid = false; }
    virtual void updateMatrix(double time);
    virtual void updateInvMatrix(double time);
    virtual void updateProjMatrix(double time) = 0;

    void setName(const std::string& name) { m_name = name; }
    // (-pitch, heading, -bank) at the time, the form setRotation takes.
    void applyControllers(float out[3], double time);
    // Channels, pivot and controllers, without parent and body.
    void getLocalMatrix(Matrix4x3& out, double time);
    // Rotation and pivot rotation of the item and all its parents only.
    void getWorldRotation(Matrix4x3& out, double time);
    // The world rotation as ODE's 3x4 (transposed, fourth column 0).
    void getODERotation(dMatrix3 out, double time);
    void setPoseFromODE(const dReal* rotation, const dReal* position);
    void getPositionMatrix(Matrix4x3& out, double time);
    void getScaleMatrix(Matrix4x3& out, double time);
    // Moves by delta; against the clamp box a move that is mostly cut off is dropped.
    void move(const Position3& delta);
    void setPosition(const Position3& position);
    void setRotation(const float angles[3], bool clamp);
    void copyTransform(SceneItem& source, double time);
    // Debugging aids: the target line, then the debug object.
    void updateHelpers(double time);

    int32_t getKind() const { return m_kind; }
    const std::string& getName() const { return m_name; }
    ObjectContainer* getContainer() const { return m_container; }
    int32_t getIndex() const { return m_index; }
    // The channel values at the time, stored into their constants.
    Position3 evaluatePosition(double time);

    RenderView* m_renderer;
    SceneItem* m_parent = nullptr;
    SceneItem* m_target = nullptr;
    AnimatedValue m_channels[CHANNEL_COUNT];
    Position3 m_pivot = {0.0f, 0.0f, 0.0f};
    // Pitch, heading, bank in radians.
    float m_pivotRotation[3] = {0.0f, 0.0f, 0.0f};
    // 1: the pose matrix is the local matrix.
    int32_t m_poseMode = 0;
    int32_t m_headingController = CONTROL_CHANNEL;
    int32_t m_pitchController = CONTROL_CHANNEL;
    int32_t m_bankController = CONTROL_CHANNEL;
    float m_pathLookAhead = 0.0f;
    // Applied third code first.
    int32_t m_rotationOrder[3] = {AXIS_HEADING, AXIS_PITCH, AXIS_BANK};
    dBodyID m_body = nullptr;
    dMass m_mass;
    SceneItem* m_goalItem = nullptr;
    bool m_matchGoalOrientation = false;
    Matrix4x3 m_worldMatrix = Matrix4x3::identity();
    Matrix4x3 m_invWorldMatrix = Matrix4x3::identity();
    Matrix4x3 m_projMatrix = Matrix4x3::identity();
    Matrix4x3 m_poseMatrix = Matrix4x3::identity();
    Viewport m_viewport;
    bool m_worldValid = false;
    bool m_invValid = false;
    bool m_projValid = false;
    bool m_depthRangeValid = false;
    // The depth span the last outermost pass saw from this item, which its
    // projection is fitted to. Kept apart from the near and far planes, which
    // cull: fitting those would cull everything beyond it next frame.
    bool m_fittedRange = false;
    float m_fittedNear = 0.0f;
    float m_fittedFar = 0.0f;
    float m_farLimit = 3.4028235e38f;
    // Drawn with the item when the renderer draws debugging aids; owned.
    std::unique_ptr<BoundingBox> m_debugObject;
    std::unique_ptr<BoundingBox> m_boundingBox;
    // Set by the race code; the item does not read it.
    uint32_t m_mask = 0x1FF;
    bool m_clampEnabled = false;
    Position3 m_clampMin = {0.0f, 0.0f, 0.0f};
    Position3 m_clampMax = {0.0f, 0.0f, 0.0f};
    uint32_t m_angleLimits = LIMIT_PITCH;
    float m_angleMin[3] = {-PI / 2.0f, 0.0f, 0.0f};
    float m_angleMax[3] = {PI / 2.0f, 0.0f, 0.0f};

    // Bumped whenever the local matrix is made afresh, so that what is built
    // on it can tell whether it still holds.
    uint32_t localGeneration() const { return m_localGeneration; }

protected:
    // The local matrix at the time. A frame draws an item in several passes
    // and most items never move: the products are made again only when the
    // channels, angles, pivot or rotation order give other bits.
    const Matrix4x3& localMatrix(double time);

    int32_t m_kind;

private:
    // What the rotation is made of; equal bits give an equal matrix.
    struct RotationInputs {
        float angles[3];
        float pivotRotation[3];
        int32_t rotationOrder[3];
    };
    // Everything the local matrix is made of.
    struct LocalInputs {
        float scale[3];
        float position[3];
        Position3 pivot;
        RotationInputs rotation;
    };
    // What the world matrix of an item with a body is made of.
    struct BodyInputs {
        Position3 pivot;
        float scale[3];
        Matrix4x3 pose;
    };

    // Pitch, heading, bank from the controllers (or the goal item).
    void computeAngles(float angles[3], double time);
    // World-space pivot of the target, brought into the parent's space.
    Position3 targetPoint(double time);
    // R(third) x R(second) x R(first) x pivot rotation.
    void rotationMatrix(Matrix4x3& out, double time);
    // Made again only when the angles, pivot rotation or order changed.
    const Matrix4x3& rotationMatrix(const float angles[3]);

    std::string m_name;
    ObjectContainer* m_container;
    int32_t m_index;

    RotationInputs m_rotationInputs{};
    Matrix4x3 m_rotation = Matrix4x3::identity();
    bool m_rotationMade = false;
    LocalInputs m_localInputs{};
    Matrix4x3 m_localMatrix = Matrix4x3::identity();
    // 0: never made.
    uint32_t m_localGeneration = 0;
    // The last local x parent product and what it was made of.
    Matrix4x3 m_composedWorld = Matrix4x3::identity();
    Matrix4x3 m_composedParent = Matrix4x3::identity();
    uint32_t m_composedGeneration = 0;
    // The last inverse and the world matrix it inverts.
    Matrix4x3 m_lastInverse = Matrix4x3::identity();
    Matrix4x3 m_invertedWorld = Matrix4x3::identity();
    bool m_inverseMade = false;
    BodyInputs m_bodyInputs{};
    Matrix4x3 m_bodyWorld = Matrix4x3::identity();
    bool m_bodyWorldMade = false;
};

// Objects, cameras and bones: the shared view tests and the unit perspective.
class ViewingItem : public SceneItem {
public:
    using SceneItem::SceneItem;

    const Matrix4x3& getProjMatrix(double time, float nearDistance, float farDistance) override;
    bool isPointOutside(const float point[4]) const override;
    bool isBoxOutside(const float corners[8][4]) const override;
    void updateProjMatrix(double time) override;

    float m_nearDistance = 0.01f;
};

// point := point x m (rows 0 to 2 and the translation).
void transformPoint4x3(Position3& point, const Matrix4x3& m);
// a := a x b.
void postMultiplyInPlace(Matrix4x3& a, const Matrix4x3& b);

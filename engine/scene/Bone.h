#pragma once
#include <memory>
#include <string>

#include "engine/scene/SceneItem.h"

class BoneBoundingBox;

// The scene item (kind 4) that deforms a skinned mesh. Its place in the
// mesh's bone list is its bone index and the slot of its skinning matrix.
class Bone : public ViewingItem {
public:
    // `objectIndex`: the owning object in the scene's list; the item index is (boneIndex << 16) + objectIndex.
    Bone(ObjectContainer* scene, int32_t objectIndex, int32_t boneIndex);
    ~Bone() override;

    // Rest matrix over the parent-bone chain; `time` only goes on to the parents.
    void updateTransforms(double time);
    // Object-space animated matrix at the time, once per frame.
    const Matrix4x3& animMatrix(double time);
    // Inverse rest times animated matrix: what the shader constants' bone slot
    // takes; once per frame however many passes draw the bone.
    const Matrix4x3& skinningMatrix(double time);
    // Keeps the rest matrices; only the animated one is made again.
    void invalidate() override;
    // The wire-frame guide at the time, when the renderer draws debugging aids.
    void drawGuide(double time);

    std::unique_ptr<BoneBoundingBox> m_guide;
    Position3 m_restPosition = {0.0f, 0.0f, 0.0f};
    // Pitch, heading, bank in radians.
    float m_restRotation[3] = {0.0f, 0.0f, 0.0f};
    float m_restLength = 1.0f;
    float m_strength = 1.0f;
    bool m_scaleStrength = false;
    bool m_limitedRange = false;
    float m_minRange = 0.0f;
    float m_maxRange = 1.0f;
    std::string m_weightMapName;
    Bone* m_parentBone = nullptr;
    // The scene object whose section added the bone (not owned): a mesh
    // shared by several objects, in one scene or in several, holds every one's bones.
    SceneItem* m_owner = nullptr;
    Matrix4x3 m_restMatrix = Matrix4x3::identity();
    Matrix4x3 m_invRestMatrix = Matrix4x3::identity();
    Matrix4x3 m_animMatrix = Matrix4x3::identity();
    bool m_restValid = false;
    bool m_invRestValid = false;
    bool m_animValid = false;
    Matrix4x3 m_skinningMatrix = Matrix4x3::identity();
    bool m_skinningValid = false;

private:
    // What the animated matrix was made of.
    struct AnimKey {
        uint32_t local;
        const Bone* parent;
        uint32_t parentGeneration;
    };

    // Set while the bone's chain is walked, so a parent cycle ends instead of recursing forever.
    bool m_walking = false;
    AnimKey m_animKey{0, nullptr, 0};
    // Bumped whenever the animated matrix is made afresh; 0: never made.
    uint32_t m_animGeneration = 0;
    // The animated matrix's generation the skinning matrix was made from.
    uint32_t m_skinnedGeneration = 0;
};

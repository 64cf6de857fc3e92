#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/Paint.h"
#include "tools/demodata/mopeds/Shape.h"
#include "tools/lightwave/LwsScene.h"

// How one of the five riders looks: size, build, helmet and clothes.
struct RiderBuild {
    enum Helmet { OPEN_FACE, FULL_FACE, MOTOCROSS, RACING, CLASSIC };
    // 1 to 5: whose jacket picture the figure wears.
    int rider = 1;
    float size = 1.0f;
    // Thickness of body and limbs.
    float girth = 1.0f;
    // The torso leans forward at least this much (radians); more when the bars are far.
    float lean = 0.08f;
    Helmet helmet = FULL_FACE;
    Paint jacket;
    Paint helmetPaint;
    Paint stripe;
    Paint trousers;
    Paint boots;
    Paint gloves;
};

// Rider 1 to 5.
RiderBuild riderBuild(int rider);

// A rider seated on a moped, in the moped's frame: a skinned figure on eleven
// bones, each bone with a weight map of its own name. The bones' rest
// directions are all zero, so a bone turns its part about its joint.
class RiderFigure {
public:
    enum Bone { PELVIS, SPINE, HEAD, UPPER_ARM_R, FOREARM_R, UPPER_ARM_L, FOREARM_L, THIGH_R, SHIN_R, THIGH_L, SHIN_L, BONES };

    RiderFigure(const RiderBuild& build, const MopedDesign& moped);

    static const char* boneName(int bone);

    // Layer 0 with the surface "dynamic_fahrer" among its others; the jacket
    // wears the rider's picture.
    Lwo2Object object() const;
    // The bones of the figure placed at `objectIndex` of a scene, parents first.
    std::vector<LwsBone> bones(uint32_t objectIndex) const;

private:
    void pose(const MopedDesign& moped);
    void body();
    void limb(int bone, Vec3 from, Vec3 to, float r0, float r1, int parentBone);
    void helmet();

    RiderBuild m_build;
    std::array<Vec3, BONES> m_joints{};
    std::array<Vec3, 2> m_hands{};
    std::array<Vec3, 2> m_feet{};
    Vec3 m_shoulderCentre{};
    Vec3 m_head{};
    Vec3 m_torsoUp{};
    Shape m_shape;
};

// Rider 1 to 5 seated on the moped that rider rides, built once.
const RiderFigure& riderFigure(int rider);

#include "tools/demodata/mopeds/RiderFigure.h"

#include <algorithm>

#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/PictureMapping.h"
#include "tools/demodata/mopeds/RiderLivery.h"
#include "tools/lightwave/LwsWriter.h"

namespace {

enum Surface : uint16_t { JACKET, HELMET, STRIPE, VISOR, SKIN, TROUSERS, BOOTS, GLOVES };

constexpr const char* BONE_NAMES[RiderFigure::BONES] = {
    "Becken",      "Ruecken",       "Kopf",           "Oberarm_R",      "Unterarm_R",    "Oberarm_L",
    "Unterarm_L",  "Oberschenkel_R", "Unterschenkel_R", "Oberschenkel_L", "Unterschenkel_L"};
constexpr int PARENTS[RiderFigure::BONES] = {-1, 0, 1, 1, 3, 1, 5, 0, 7, 0, 9};

Paint paint(std::array<float, 3> rgb, float specular = 0.2f, float gloss = 0.35f) {
    return Paint{rgb, 0.85f, specular, gloss};
}

// The middle joint of a two-part limb from `root` to `end`, bent towards `hint`.
Vec3 bend(Vec3 root, Vec3 end, float first, float second, Vec3 hint) {
    Vec3 way = end - root;
    float d = std::clamp(length(way), std::fabs(first - second) + 1e-3f, first + second - 1e-3f);
    Vec3 u = normalised(way);
    float along = (first * first - second * second + d * d) / (2.0f * d);
    float across = std::sqrt(std::max(first * first - along * along, 0.0f));
    Vec3 w = normalised(hint - u * dot(u, hint));
    return root + u * along + w * across;
}

Ring ringAround(Vec3 centre, Vec3 direction, Vec3 side, float halfWidth, float halfDepth, Weights weights) {
    Vec3 x = normalised(side - direction * dot(direction, side));
    Ring ring = superellipse(Frame{centre, x, cross(direction, x), direction}, halfWidth, halfDepth, 2.6f, 14);
    ring.weights = std::move(weights);
    return ring;
}

Weights only(int bone) { return {{BONE_NAMES[bone], 1.0f}}; }
Weights between(int a, int b) { return {{BONE_NAMES[a], 0.5f}, {BONE_NAMES[b], 0.5f}}; }

} // namespace

RiderBuild riderBuild(int rider) {
    RiderBuild b;
    b.rider = rider;
    b.boots = paint({0.1f, 0.09f, 0.08f}, 0.3f, 0.4f);
    b.gloves = paint({0.08f, 0.08f, 0.08f}, 0.3f, 0.4f);
    b.stripe = paint({0.1f, 0.1f, 0.1f}, 0.4f, 0.5f);
    switch (rider) {
    case 1: // slim, an open helmet, a brown leather jacket and jeans
        b.size = 0.97f;
        b.girth = 0.92f;
        b.helmet = RiderBuild::OPEN_FACE;
        b.helmetPaint = paint({0.93f, 0.93f, 0.9f}, 0.6f, 0.6f);
        b.stripe = paint({0.8f, 0.1f, 0.1f}, 0.5f, 0.5f);
        b.jacket = paint({0.45f, 0.27f, 0.14f}, 0.35f, 0.4f);
        b.trousers = paint({0.2f, 0.28f, 0.5f});
        b.boots = paint({0.3f, 0.18f, 0.1f}, 0.3f, 0.4f);
        b.gloves = paint({0.12f, 0.1f, 0.09f}, 0.3f, 0.4f);
        break;
    case 2: // medium, a silver full-face helmet, a teal jacket
        b.helmet = RiderBuild::FULL_FACE;
        b.helmetPaint = paint({0.72f, 0.74f, 0.78f}, 0.9f, 0.8f);
        b.jacket = paint({0.1f, 0.5f, 0.55f});
        b.trousers = paint({0.14f, 0.14f, 0.16f});
        b.boots = paint({0.9f, 0.9f, 0.88f});
        b.gloves = paint({0.1f, 0.5f, 0.55f});
        break;
    case 3: // big, a cream pudding-bowl helmet with goggles, tweed and a red scarf
        b.size = 1.08f;
        b.girth = 1.28f;
        b.helmet = RiderBuild::CLASSIC;
        b.helmetPaint = paint({0.9f, 0.85f, 0.7f}, 0.5f, 0.5f);
        b.stripe = paint({0.8f, 0.08f, 0.08f});
        b.jacket = paint({0.25f, 0.33f, 0.2f});
        b.trousers = paint({0.62f, 0.54f, 0.4f});
        // Green wellingtons and tan driving gloves.
        b.boots = paint({0.14f, 0.26f, 0.12f}, 0.5f, 0.6f);
        b.gloves = paint({0.7f, 0.52f, 0.32f});
        break;
    case 4: // athletic, a yellow motocross helmet with a peak, an orange jersey
        b.girth = 0.9f;
        b.lean = 0.15f;
        b.helmet = RiderBuild::MOTOCROSS;
        b.helmetPaint = paint({0.95f, 0.8f, 0.1f}, 0.7f, 0.6f);
        b.jacket = paint({0.95f, 0.45f, 0.1f});
        b.trousers = paint({0.25f, 0.25f, 0.28f});
        b.boots = paint({0.85f, 0.85f, 0.85f}, 0.4f, 0.5f);
        b.gloves = paint({0.95f, 0.8f, 0.1f});
        break;
    default: // crouched in red racing leathers, a black helmet with a white stripe
        b.lean = 0.55f;
        b.helmet = RiderBuild::RACING;
        b.helmetPaint = paint({0.08f, 0.08f, 0.09f}, 0.9f, 0.8f);
        b.stripe = paint({0.92f, 0.92f, 0.92f}, 0.6f, 0.6f);
        b.jacket = paint({0.75f, 0.08f, 0.08f}, 0.45f, 0.5f);
        b.trousers = paint({0.1f, 0.1f, 0.11f}, 0.4f, 0.5f);
        b.gloves = paint({0.92f, 0.92f, 0.92f}, 0.4f, 0.5f);
        break;
    }
    return b;
}

RiderFigure::RiderFigure(const RiderBuild& build, const MopedDesign& moped) : m_build(build) {
    pose(moped);
    body();
    helmet();
}

const char* RiderFigure::boneName(int bone) { return BONE_NAMES[bone]; }

void RiderFigure::pose(const MopedDesign& moped) {
    const float s = m_build.size, g = m_build.girth;
    const float upperArm = 0.26f * s, forearm = 0.25f * s, thigh = 0.37f * s, shin = 0.38f * s;
    const Vec3 hips = moped.seat;
    m_joints[PELVIS] = hips;
    m_joints[SPINE] = hips + Vec3{0.0f, 0.06f, -0.02f} * s;
    // Leans forward until the hands reach the grips with the elbows bent.
    Vec3 wrist[2];
    for (float lean = m_build.lean; lean < 1.0f; lean += 0.02f) {
        m_torsoUp = {0.0f, std::cos(lean), std::sin(lean)};
        m_shoulderCentre = m_joints[SPINE] + m_torsoUp * (0.4f * s);
        bool reached = true;
        for (int side = 0; side < 2; ++side) {
            float x = side ? -1.0f : 1.0f;
            Vec3 shoulder = m_shoulderCentre + Vec3{x * 0.165f * g * s, -0.03f * s, 0.0f};
            m_hands[side] = side ? mirrored(moped.grip) : moped.grip;
            wrist[side] = m_hands[side] - normalised(m_hands[side] - shoulder) * (0.055f * s);
            m_joints[side ? UPPER_ARM_L : UPPER_ARM_R] = shoulder;
            reached = reached && length(wrist[side] - shoulder) < 0.94f * (upperArm + forearm);
        }
        if (reached) break;
    }
    m_joints[HEAD] = m_shoulderCentre + m_torsoUp * (0.05f * s);
    m_head = m_joints[HEAD] + normalised(m_torsoUp + Vec3{0.0f, 1.5f, 0.0f}) * (0.13f * s) + Vec3{0.0f, 0.0f, 0.02f * s};
    for (int side = 0; side < 2; ++side) {
        float x = side ? -1.0f : 1.0f;
        int upper = side ? UPPER_ARM_L : UPPER_ARM_R, thighBone = side ? THIGH_L : THIGH_R;
        m_joints[upper + 1] = bend(m_joints[upper], wrist[side], upperArm, forearm, {x * 0.6f, -0.7f, -0.2f});
        m_joints[thighBone] = hips + Vec3{x * 0.085f * g, -0.02f, 0.02f} * s;
        m_feet[side] = side ? moped.leftFoot : moped.rightFoot;
        Vec3 ankle = m_feet[side] + Vec3{0.0f, 0.07f, -0.06f} * s;
        m_joints[thighBone + 1] = bend(m_joints[thighBone], ankle, thigh, shin, {x * 0.3f, 0.5f, 1.0f});
    }
}

void RiderFigure::limb(int bone, Vec3 from, Vec3 to, float r0, float r1, int parentBone) {
    std::vector<Ring> rings;
    const Vec3 d = normalised(to - from);
    const Vec3 side = Frame::along(from, d).x;
    for (int i = 0; i <= 4; ++i) {
        float t = float(i) / 4.0f;
        float r = r0 + (r1 - r0) * t;
        Ring ring = superellipse(Frame{lerp(from, to, t), side, cross(d, side), d}, r, r, 2.0f, 10);
        ring.weights = i == 0 ? between(parentBone, bone) : only(bone);
        rings.push_back(ring);
    }
    m_shape.loft(rings, true, true);
}

void RiderFigure::body() {
    const float s = m_build.size, g = m_build.girth;
    const Vec3 up = m_torsoUp, across{1.0f, 0.0f, 0.0f};
    const Vec3 hips = m_joints[PELVIS];
    m_shape.setSurface(TROUSERS);
    m_shape.loft({Ring{{hips - up * (0.08f * s)}, only(PELVIS), true},
                  ringAround(hips - up * (0.05f * s), up, across, 0.12f * g * s, 0.09f * g * s, only(PELVIS)),
                  ringAround(hips + up * (0.02f * s), up, across, 0.155f * g * s, 0.12f * g * s, only(PELVIS)),
                  ringAround(hips + up * (0.12f * s), up, across, 0.145f * g * s, 0.11f * g * s, between(PELVIS, SPINE))},
                 false, true);
    m_shape.setSurface(JACKET);
    struct Band {
        float at, width, depth;
        Weights weights;
    };
    const Band bands[] = {{0.07f, 0.152f, 0.116f, between(PELVIS, SPINE)}, {0.17f, 0.14f, 0.1f, only(SPINE)},
                          {0.31f, 0.165f, 0.12f, only(SPINE)},            {0.42f, 0.19f, 0.105f, only(SPINE)},
                          {0.47f, 0.14f, 0.085f, only(SPINE)},            {0.5f, 0.06f, 0.05f, only(SPINE)}};
    std::vector<Ring> torso;
    for (const Band& band : bands)
        torso.push_back(ringAround(hips + up * (band.at * s), up, across, band.width * g * s, band.depth * g * s, band.weights));
    m_shape.loft(torso, true, true);

    for (int side = 0; side < 2; ++side) {
        const int upper = side ? UPPER_ARM_L : UPPER_ARM_R, fore = upper + 1;
        const int thighBone = side ? THIGH_L : THIGH_R, shinBone = thighBone + 1;
        const Vec3 wrist = m_hands[side] - normalised(m_hands[side] - m_joints[fore]) * (0.055f * s);
        m_shape.setSurface(JACKET);
        limb(upper, m_joints[upper], m_joints[fore], 0.055f * g * s, 0.046f * g * s, SPINE);
        limb(fore, m_joints[fore], wrist, 0.046f * g * s, 0.036f * g * s, upper);
        m_shape.setWeights(between(upper, fore));
        m_shape.ellipsoid(Frame::at(m_joints[fore]), Vec3{0.047f, 0.047f, 0.047f} * (g * s), 10, 6);
        m_shape.setSurface(GLOVES);
        m_shape.setWeights(only(fore));
        m_shape.ellipsoid(Frame::along(m_hands[side], m_hands[side] - wrist), Vec3{0.04f, 0.045f, 0.055f} * s, 10, 6);

        const Vec3 knee = m_joints[shinBone];
        const Vec3 ankle = m_feet[side] + Vec3{0.0f, 0.07f, -0.06f} * s;
        m_shape.setSurface(TROUSERS);
        limb(thighBone, m_joints[thighBone], knee, 0.075f * g * s, 0.06f * g * s, PELVIS);
        limb(shinBone, knee, lerp(knee, ankle, 0.7f), 0.056f * g * s, 0.05f * g * s, thighBone);
        m_shape.setWeights(between(thighBone, shinBone));
        m_shape.ellipsoid(Frame::at(knee), Vec3{0.06f, 0.06f, 0.06f} * (g * s), 10, 6);
        m_shape.setSurface(BOOTS);
        m_shape.setWeights(only(shinBone));
        m_shape.rod(lerp(knee, ankle, 0.55f), ankle, 0.055f * s, 10);
        const Vec3 toe = normalised({0.0f, -0.25f, 1.0f});
        m_shape.ellipsoid(Frame::along(ankle + toe * (0.06f * s) + Vec3{0.0f, -0.035f, 0.0f} * s, toe),
                          Vec3{0.048f, 0.042f, 0.1f} * s, 10, 6);
    }
    m_shape.setSurface(SKIN);
    const Vec3 neck = normalised(m_head - m_joints[HEAD]);
    m_shape.loft({ringAround(m_joints[HEAD], neck, across, 0.045f * s, 0.045f * s, between(SPINE, HEAD)),
                  ringAround(m_head, neck, across, 0.042f * s, 0.042f * s, only(HEAD))},
                 true, true);
}

void RiderFigure::helmet() {
    const float s = m_build.size;
    const Vec3 c = m_head;
    auto at = [&](Vec3 offset) { return Frame::at(c + offset * s); };
    m_shape.setWeights(only(HEAD));
    const RiderBuild::Helmet kind = m_build.helmet;
    if (kind == RiderBuild::OPEN_FACE || kind == RiderBuild::CLASSIC) {
        m_shape.setSurface(SKIN);
        m_shape.ellipsoid(at({0.0f, 0.0f, 0.0f}), Vec3{0.095f, 0.11f, 0.1f} * s, 14, 10);
    }
    m_shape.setSurface(HELMET);
    switch (kind) {
    case RiderBuild::OPEN_FACE:
        m_shape.ellipsoid(at({0.0f, 0.04f, -0.025f}), Vec3{0.122f, 0.12f, 0.128f} * s, 18, 12);
        m_shape.setSurface(STRIPE);
        m_shape.ellipsoid(at({0.0f, 0.04f, -0.025f}), Vec3{0.03f, 0.122f, 0.13f} * s, 12, 10);
        m_shape.setSurface(HELMET);
        m_shape.box(at({0.0f, 0.1f, 0.1f}).pitched(-0.25f), Vec3{0.09f, 0.006f, 0.03f} * s);
        break;
    case RiderBuild::CLASSIC:
        m_shape.ellipsoid(at({0.0f, 0.055f, -0.01f}), Vec3{0.118f, 0.095f, 0.122f} * s, 18, 12);
        m_shape.setSurface(VISOR);
        for (float x : {-0.04f, 0.04f}) m_shape.ellipsoid(at({x, 0.075f, 0.1f}), Vec3{0.03f, 0.025f, 0.02f} * s, 10, 6);
        m_shape.setSurface(STRIPE);
        m_shape.setWeights(between(SPINE, HEAD));
        m_shape.torus(Frame::along(m_joints[HEAD] + m_torsoUp * (0.03f * s), m_torsoUp), 0.055f * s, 0.03f * s, 16, 8);
        break;
    default:
        m_shape.ellipsoid(at({0.0f, 0.01f, -0.01f}), Vec3{0.125f, 0.135f, 0.145f} * s, 18, 12);
        m_shape.setSurface(VISOR);
        m_shape.ellipsoid(at({0.0f, 0.015f, 0.085f}), Vec3{0.1f, 0.045f, 0.068f} * s, 14, 8);
        if (kind == RiderBuild::FULL_FACE) break;
        m_shape.setSurface(STRIPE);
        m_shape.ellipsoid(at({0.0f, 0.01f, -0.01f}), Vec3{0.035f, 0.137f, 0.147f} * s, 12, 10);
        if (kind == RiderBuild::MOTOCROSS) {
            m_shape.setSurface(HELMET);
            m_shape.ellipsoid(at({0.0f, -0.075f, 0.1f}), Vec3{0.06f, 0.045f, 0.075f} * s, 12, 8);
            m_shape.setSurface(STRIPE);
            m_shape.box(at({0.0f, 0.1f, 0.14f}).pitched(-0.3f), Vec3{0.09f, 0.006f, 0.06f} * s);
        } else {
            m_shape.box(at({0.0f, 0.1f, -0.12f}).pitched(0.35f), Vec3{0.06f, 0.012f, 0.03f} * s);
        }
        break;
    }
}

Lwo2Object RiderFigure::object() const {
    Lwo2Object object;
    object.tags = {"dynamic_fahrer", "helm", "helm_streifen", "visier", "haut", "hose", "stiefel", "handschuhe"};
    Paint visor{{0.1f, 0.12f, 0.16f}, 0.6f, 0.95f, 0.9f};
    Paint skin{{0.92f, 0.72f, 0.58f}, 0.85f, 0.1f, 0.3f};
    const Paint paints[] = {m_build.jacket,   m_build.helmetPaint, m_build.stripe, visor,
                            skin,             m_build.trousers,    m_build.boots,  m_build.gloves};
    for (size_t i = 0; i < object.tags.size(); ++i) object.surfaces.push_back(paints[i].surface(object.tags[i]));
    object.layers = {m_shape.withoutHiddenFaces(object.surfaces).layer(0, "fahrer", {0.0f, 0.0f, 0.0f})};
    // The jacket seen square to the torso: from behind on the picture's left
    // half, from ahead on its right; rows from the collar down to the waist.
    const Vec3 hips = m_joints[PELVIS], forward = cross({1.0f, 0.0f, 0.0f}, m_torsoUp);
    const float height = 0.5f * m_build.size, halfWidth = 0.2f * m_build.girth * m_build.size;
    PictureMapping::map(object.layers[0], JACKET, [&](Vec3 p, Vec3 normal, Vec3) -> std::array<float, 2> {
        const bool front = dot(normal, forward) > 0.2f;
        const float across = std::clamp(p[0] / halfWidth, -0.95f, 0.95f) * 0.25f;
        const float up = std::clamp(dot(p - hips, m_torsoUp) / height, 0.01f, 0.99f);
        return {front ? 0.75f - across : 0.25f + across, up};
    });
    PictureMapping::showPicture(object, JACKET, PictureMapping::addClip(object, RiderLivery::pictureName(m_build.rider)));
    return object;
}

std::vector<LwsBone> RiderFigure::bones(uint32_t objectIndex) const {
    std::vector<LwsBone> out;
    for (int b = 0; b < BONES; ++b) {
        LwsBone bone;
        bone.name = BONE_NAMES[b];
        const int parent = PARENTS[b];
        const Vec3 rest = parent < 0 ? m_joints[b] : m_joints[b] - m_joints[parent];
        bone.restPosition = toArray(rest);
        bone.restDirection = std::array<float, 3>{0.0f, 0.0f, 0.0f};
        bone.restLength = 0.2f * m_build.size;
        bone.weightMapName = BONE_NAMES[b];
        bone.item.motion = lwsStillMotion(toArray(rest));
        if (parent >= 0) bone.item.parentItem = lwsBoneId(uint32_t(parent), objectIndex);
        out.push_back(bone);
    }
    return out;
}

const RiderFigure& riderFigure(int rider) {
    static const std::vector<RiderFigure> figures = [] {
        std::vector<RiderFigure> out;
        for (int r = 1; r <= MopedNames::RIDERS; ++r)
            for (int model = 0; model < MopedNames::MODELS; ++model)
                if (MopedNames::RIDER_OF_MODEL[model] == r) out.emplace_back(riderBuild(r), mopedDesign(model));
        return out;
    }();
    return figures[size_t(rider - 1)];
}

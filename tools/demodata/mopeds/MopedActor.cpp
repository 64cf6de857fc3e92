#include "tools/demodata/mopeds/MopedActor.h"

#include <cmath>
#include <string>
#include <vector>

#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/lightwave/LwsWriter.h"

namespace {

using Bone = RiderFigure::Bone;
constexpr const char* MOPED = "Moped";
constexpr const char* RIDER = "Fahrer";

// (time, value) keys of a channel, and the channels of each actor item, in the order given.
using Keys = std::vector<std::pair<float, float>>;
using ItemKeys = std::vector<std::pair<std::string, Keys>>;

struct MotionBuilder {
    std::vector<std::pair<std::string, ItemKeys>> items;

    void hold(const std::string& item, const std::string& channel, float value) { keys(item, channel, {{0.0f, value}}); }
    void keys(const std::string& item, const std::string& channel, Keys k) {
        for (auto& [name, channels] : items)
            if (name == item) {
                channels.push_back({channel, std::move(k)});
                return;
            }
        items.push_back({item, {{channel, std::move(k)}}});
    }

    LwsActorMotion motion(const char* name, float seconds) const {
        LwsActorMotion m;
        m.name = name;
        m.range = {0.0f, seconds * 30.0f};
        for (const auto& [item, channels] : items) {
            LwsActorMotionItem entry{item, 1, {}};
            for (const auto& [channel, k] : channels) {
                LwsEnvelope envelope;
                for (const auto& [time, value] : k) envelope.keys.push_back(LwsKey{value, time, 0});
                entry.channels.push_back({item + "." + channel, 0, 1, envelope});
            }
            m.items.push_back(entry);
        }
        return m;
    }
};

// A point turned as an item with these angles turns it: bank, then pitch, then heading.
Vec3 turned(Vec3 v, float heading, float pitch, float bank) {
    float c = std::cos(bank), s = std::sin(bank);
    v = {v[0] * c - v[1] * s, v[0] * s + v[1] * c, v[2]};
    c = std::cos(pitch), s = std::sin(pitch);
    v = {v[0], v[1] * c - v[2] * s, v[1] * s + v[2] * c};
    c = std::cos(heading), s = std::sin(heading);
    return {v[0] * c + v[2] * s, v[1], -v[0] * s + v[2] * c};
}

// Leaning into a curve; `way` is +1 for left, -1 for right.
LwsActorMotion lean(const char* name, float way) {
    const bool left = way > 0.0f;
    MotionBuilder b;
    b.hold(MOPED, "Rotation.B", way * LEAN);
    b.hold(RIDER, "Rotation.B", way * LEAN);
    // Only a little more in the back: the arms ride on it and the hands stay on the grips.
    b.hold(RiderFigure::boneName(Bone::SPINE), "Rotation.B", way * 0.06f);
    b.hold(RiderFigure::boneName(Bone::SPINE), "Rotation.H", -way * 0.04f);
    b.hold(RiderFigure::boneName(Bone::HEAD), "Rotation.B", -way * 0.3f);
    b.hold(RiderFigure::boneName(Bone::HEAD), "Rotation.H", -way * 0.25f);
    // The inner knee goes out towards the curve.
    b.hold(RiderFigure::boneName(left ? Bone::THIGH_L : Bone::THIGH_R), "Rotation.H", -way * 0.35f);
    return b.motion(name, 1.0f);
}

LwsActorMotion crash(Vec3 hips) {
    MotionBuilder b;
    // The moped falls on its right side, slews round and slides a little.
    b.keys(MOPED, "Rotation.B", {{0.0f, 0.0f}, {0.2f, -0.35f}, {0.45f, -1.1f}, {0.65f, -1.42f}, {0.8f, -1.3f}, {CRASH_TIME, -1.36f}});
    b.keys(MOPED, "Rotation.H", {{0.0f, 0.0f}, {0.45f, 0.35f}, {0.8f, 0.6f}, {CRASH_TIME, 0.65f}});
    b.keys(MOPED, "Position.X", {{0.0f, 0.0f}, {0.65f, 0.15f}, {CRASH_TIME, 0.25f}});

    // The rider's hips fly forward over the bars and land on the back, head
    // towards the moped; the figure turns about the moped's origin, so its
    // position makes up for where the turn alone would carry the hips.
    struct Key {
        float time;
        Vec3 hips;
        float pitch, bank;
    };
    const Key flight[] = {{0.0f, hips, 0.0f, 0.0f},
                          {0.15f, hips + Vec3{0.0f, 0.15f, 0.25f}, 0.6f, 0.0f},
                          {0.35f, hips + Vec3{-0.05f, 0.45f, 0.7f}, 1.8f, 0.1f},
                          {0.55f, hips + Vec3{-0.15f, 0.4f, 0.95f}, 3.0f, 0.15f},
                          {0.75f, {-0.25f, 0.3f, hips[2] + 1.2f}, 4.1f, 0.2f},
                          {0.95f, {-0.32f, 0.14f, hips[2] + 1.3f}, 4.6f, 0.15f},
                          {CRASH_TIME, {-0.35f, 0.12f, hips[2] + 1.32f}, 4.71f, 0.1f}};
    Keys x, y, z, pitch, bank;
    for (const Key& k : flight) {
        const Vec3 at = k.hips - turned(hips, 0.0f, k.pitch, k.bank);
        x.push_back({k.time, at[0]});
        y.push_back({k.time, at[1]});
        z.push_back({k.time, at[2]});
        pitch.push_back({k.time, k.pitch});
        bank.push_back({k.time, k.bank});
    }
    b.keys(RIDER, "Position.X", x);
    b.keys(RIDER, "Position.Y", y);
    b.keys(RIDER, "Position.Z", z);
    b.keys(RIDER, "Rotation.P", pitch);
    b.keys(RIDER, "Rotation.B", bank);

    // Arms flung up, then spread out on the ground; legs straighten and
    // splay; the head tips back.
    auto limb = [&b](int bone, const char* channel, float flung, float sprawled) {
        b.keys(RiderFigure::boneName(bone), channel, {{0.0f, 0.0f}, {0.3f, flung}, {0.9f, sprawled}, {CRASH_TIME, sprawled}});
    };
    for (int side = 0; side < 2; ++side) {
        const float way = side ? 1.0f : -1.0f;
        const int upper = side ? Bone::UPPER_ARM_L : Bone::UPPER_ARM_R;
        const int thigh = side ? Bone::THIGH_L : Bone::THIGH_R;
        limb(upper, "Rotation.P", -1.4f, -0.9f);
        limb(upper, "Rotation.H", -way * 0.5f, -way * 1.78f);
        limb(upper + 1, "Rotation.P", -0.6f, -0.3f);
        limb(thigh, "Rotation.P", 0.7f, 1.35f);
        limb(thigh, "Rotation.H", -way * 0.2f, -way * 0.35f);
        limb(thigh + 1, "Rotation.P", -0.6f, -1.2f);
    }
    limb(Bone::SPINE, "Rotation.P", -0.3f, -0.15f);
    limb(Bone::HEAD, "Rotation.P", -0.4f, -0.25f);
    return b.motion(MopedNames::TRACK_CRASH, CRASH_TIME);
}

} // namespace

LwsMixer mopedActor(Vec3 hips, uint32_t bodyIndex, uint32_t riderIndex) {
    LwsActor actor;
    actor.name = MopedNames::ACTOR;
    actor.items = {{MOPED, lwsObjectId(bodyIndex)}, {RIDER, lwsObjectId(riderIndex)}};
    for (int bone = 0; bone < RiderFigure::BONES; ++bone)
        actor.items.push_back({RiderFigure::boneName(bone), lwsBoneId(uint32_t(bone), riderIndex)});
    actor.motions = {lean(MopedNames::TRACK_LEFT, 1.0f), lean(MopedNames::TRACK_RIGHT, -1.0f), crash(hips)};
    LwsMixer mixer;
    mixer.actors.push_back(actor);
    for (const LwsActorMotion& motion : actor.motions) mixer.trackMotions.push_back(motion.name);
    mixer.prefs = 0;
    return mixer;
}

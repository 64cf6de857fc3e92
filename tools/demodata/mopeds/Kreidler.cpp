// The sporty moped: a long flat tank, a racing seat with a tail hump, a small
// fairing with a screen round the lamp, low clip-on bars, cast wheels and an
// expansion-chamber exhaust.
#include "tools/demodata/mopeds/MopedDesign.h"

using namespace MopedParts;

namespace {

void frontEnd(Shape& s, const MopedDesign& d) {
    s.setSurface(BLACK);
    for (float side : {-1.0f, 1.0f}) {
        s.rod({side * 0.07f, 0.8f, 0.32f}, {side * 0.066f, 0.5f, 0.43f}, 0.02f, 10);
        s.setSurface(CHROME);
        s.rod({side * 0.066f, 0.52f, 0.42f}, {side * 0.06f, d.front.radius, d.frontZ}, 0.024f, 10);
        s.setSurface(BLACK);
    }
    s.box(Frame::along({0.0f, 0.79f, 0.325f}, {0.0f, -0.34f, 0.12f}, {0.0f, 0.0f, 1.0f}), {0.09f, 0.02f, 0.022f});
    // Clip-ons: short bars dropping out and forward from the fork tops.
    for (float side : {-1.0f, 1.0f}) {
        s.setSurface(CHROME);
        s.rod({side * 0.07f, 0.79f, 0.31f}, {side * 0.19f, 0.77f, 0.27f}, 0.012f, 8);
        s.setSurface(BLACK);
        s.rod({side * 0.17f, 0.774f, 0.276f}, {side * 0.25f, 0.765f, 0.255f}, 0.02f, 10);
    }
    // The fairing: a cowl widening back from the lamp and rising to carry the screen.
    s.setSurface(MAIN);
    std::vector<Ring> cowl;
    const float zs[] = {0.45f, 0.5f, 0.54f, 0.565f};
    const float ys[] = {0.87f, 0.855f, 0.84f, 0.83f};
    const float ws[] = {0.135f, 0.125f, 0.105f, 0.088f};
    const float hs[] = {0.125f, 0.115f, 0.1f, 0.086f};
    for (int i = 0; i < 4; ++i) cowl.push_back(superellipse(Frame::at({0.0f, ys[i], zs[i]}), ws[i], hs[i], 2.3f, s.steps(20)));
    s.loft(cowl, true, false);
    headlamp(s, Frame::at({0.0f, 0.83f, 0.54f}), 0.075f, 0.06f, BLACK);
    s.setSurface(SCREEN);
    slab(s, Frame::at({0.0f, 0.95f, 0.52f}).pitched(0.95f),
         {{-0.12f, 0.0f}, {0.12f, 0.0f}, {0.1f, 0.11f}, {0.05f, 0.15f}, {-0.05f, 0.15f}, {-0.1f, 0.11f}}, 0.004f);
    s.setSurface(MAIN);
    mudguard(s, d.frontCentre(), d.front.radius + 0.02f, 0.045f, -0.4f, 1.0f);
}

void tankSeatTail(Shape& s) {
    s.setSurface(MAIN);
    lofted(s, {{-0.06f, 0.62f, 0.0f, 0.0f},
               {-0.04f, 0.63f, 0.08f, 0.05f, 3.2f},
               {0.05f, 0.67f, 0.12f, 0.085f, 3.2f},
               {0.22f, 0.72f, 0.125f, 0.09f, 3.2f},
               {0.33f, 0.75f, 0.1f, 0.07f, 3.2f},
               {0.37f, 0.76f, 0.0f, 0.0f}},
           18);
    s.setSurface(CHROME);
    s.ellipsoid(Frame::at({0.0f, 0.81f, 0.16f}).pitched(PI * 0.5f), {0.03f, 0.03f, 0.012f}, 10, 4);
    s.setSurface(SEAT);
    lofted(s, {{-0.42f, 0.66f, 0.0f, 0.0f},
               {-0.4f, 0.665f, 0.08f, 0.035f, 3.5f},
               {-0.2f, 0.67f, 0.105f, 0.045f, 3.5f},
               {-0.07f, 0.665f, 0.09f, 0.04f, 3.5f},
               {-0.05f, 0.66f, 0.0f, 0.0f}},
           16);
    // The tail hump behind the seat, the lamp in its end.
    s.setSurface(MAIN);
    lofted(s, {{-0.7f, 0.66f, 0.0f, 0.0f},
               {-0.68f, 0.665f, 0.05f, 0.04f},
               {-0.55f, 0.69f, 0.09f, 0.07f},
               {-0.43f, 0.68f, 0.11f, 0.07f},
               {-0.38f, 0.66f, 0.08f, 0.05f},
               {-0.37f, 0.655f, 0.0f, 0.0f}},
           16);
    s.setSurface(TAIL_LAMP);
    s.ellipsoid(Frame::at({0.0f, 0.67f, -0.695f}), {0.04f, 0.025f, 0.018f}, 12, 6);
    // Number boards on the flanks.
    s.setSurface(WHITE);
    for (float side : {-1.0f, 1.0f}) {
        Frame board{{side * 0.1f, 0.53f, -0.22f}, {0.0f, 0.0f, side}, {0.0f, 1.0f, 0.0f}, {-side, 0.0f, 0.0f}};
        board.z = cross(board.x, board.y);
        s.ellipsoid(board, {0.11f, 0.08f, 0.01f}, 16, 4);
    }
}

void frameAndEngine(Shape& s, const MopedDesign& d) {
    s.setSurface(MAIN_METAL);
    s.tube(smoothPath({{0.0f, 0.79f, 0.34f}, {0.0f, 0.62f, 0.25f}, {0.0f, 0.42f, 0.12f}, {0.0f, 0.3f, -0.02f}}, 4), 0.03f, 10);
    pairedTube(s, smoothPath({{0.03f, 0.36f, -0.05f}, {0.08f, 0.52f, -0.25f}, {0.08f, 0.62f, -0.45f}}, 4), 0.016f, 8);
    pairedTube(s, {{0.05f, 0.27f, -0.08f}, {0.08f, d.rear.radius, d.rearZ}}, 0.018f, 8);
    for (float side : {-1.0f, 1.0f}) {
        s.setSurface(CHROME);
        s.rod({side * 0.09f, 0.3f, -0.46f}, {side * 0.09f, 0.62f, -0.36f}, 0.012f, 8);
        s.setSurface(MAIN_METAL);
        s.rod({side * 0.09f, 0.38f, -0.435f}, {side * 0.09f, 0.58f, -0.375f}, 0.024f, 10);
    }
    s.setSurface(MAIN);
    mudguard(s, d.rearCentre(), d.rear.radius + 0.025f, 0.05f, -1.5f, 0.2f);
    s.setSurface(ENGINE);
    lofted(s, {{-0.15f, 0.23f, 0.0f, 0.0f},
               {-0.14f, 0.23f, 0.075f, 0.07f, 3.0f},
               {0.07f, 0.23f, 0.085f, 0.09f, 3.0f},
               {0.09f, 0.23f, 0.0f, 0.0f}},
           14);
    Frame barrel = Frame::along({0.0f, 0.3f, 0.06f}, {0.0f, 0.55f, 0.83f});
    s.setSurface(BLACK);
    s.revolve(barrel, {{0.0f, 0.0f}, {0.048f, 0.0f}, {0.048f, 0.17f}, {0.0f, 0.19f}}, 14);
    for (int fin = 0; fin < 6; ++fin) {
        float h = 0.03f + 0.024f * float(fin);
        s.revolve(barrel, {{0.046f, h}, {0.082f, h}, {0.082f, h + 0.008f}, {0.046f, h + 0.008f}}, 14, true);
    }
    // The expansion chamber swells under the engine and rises to the tail.
    s.setSurface(BLACK);
    std::vector<Vec3> pipe = smoothPath({{0.0f, 0.36f, 0.2f}, {0.05f, 0.22f, 0.24f}, {0.09f, 0.13f, 0.08f},
                                         {0.12f, 0.16f, -0.18f}, {0.13f, 0.3f, -0.36f}},
                                        5);
    std::vector<float> radii;
    for (size_t i = 0; i < pipe.size(); ++i) {
        float t = float(i) / float(pipe.size() - 1);
        radii.push_back(0.016f + 0.034f * std::sin(t * PI) * std::sin(t * PI));
    }
    s.tube(pipe, radii, 12);
    s.setSurface(CHROME);
    s.revolve(Frame::along({0.13f, 0.3f, -0.36f}, {0.0f, 0.45f, -0.9f}),
              {{0.0f, 0.0f}, {0.028f, 0.01f}, {0.03f, 0.22f}, {0.02f, 0.24f}, {0.0f, 0.24f}}, 12);
    // Rear-set footrests.
    s.setSurface(BLACK);
    s.rod({-0.17f, 0.27f, -0.12f}, {0.17f, 0.27f, -0.12f}, 0.012f, 8);
}

} // namespace

MopedDesign kreidler(bool coarse) {
    MopedDesign d(coarse);
    d.front = {0.27f, 0.035f, Wheel::CAST, 5, MAIN_METAL};
    d.rear = d.front;
    d.rear.tyre = 0.04f;
    d.frontZ = 0.5f;
    d.rearZ = -0.48f;
    d.seat = {0.0f, 0.74f, -0.22f};
    d.grip = {0.215f, 0.77f, 0.265f};
    d.rightFoot = {0.16f, 0.29f, -0.11f};
    d.leftFoot = mirrored(d.rightFoot);
    frontEnd(d.body, d);
    tankSeatTail(d.body);
    frameAndEngine(d.body, d);
    return d;
}

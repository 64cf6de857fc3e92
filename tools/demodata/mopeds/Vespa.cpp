// The round classic scooter, the largest of the five: bulging side cowls
// over the engine, a broad curved leg shield with a horn grille, the lamp on
// the handlebar, a deep front mudguard and white-wall tyres.
#include "tools/demodata/mopeds/MopedDesign.h"

using namespace MopedParts;

namespace {

void rearBody(Shape& s) {
    s.setSurface(MAIN);
    lofted(s, {{-0.86f, 0.58f, 0.0f, 0.0f},
               {-0.84f, 0.58f, 0.06f, 0.05f},
               {-0.72f, 0.56f, 0.11f, 0.1f},
               {-0.4f, 0.54f, 0.12f, 0.12f},
               {-0.12f, 0.48f, 0.11f, 0.14f},
               {-0.05f, 0.45f, 0.09f, 0.12f},
               {-0.03f, 0.45f, 0.0f, 0.0f}},
           20);
    for (float side : {-1.0f, 1.0f})
        s.ellipsoid(Frame::at({side * 0.1f, 0.44f, -0.47f}), {0.15f, 0.15f, 0.3f}, 20, 12);
    s.setSurface(TAIL_LAMP);
    s.ellipsoid(Frame::at({0.0f, 0.6f, -0.86f}), {0.05f, 0.035f, 0.025f}, 14, 6);
    s.setSurface(CHROME);
    s.rod({-0.07f, 0.5f, -0.85f}, {0.07f, 0.5f, -0.85f}, 0.01f, 8);
    // A two-tone saddle with a chrome grab rail.
    s.setSurface(SEAT);
    lofted(s, {{-0.72f, 0.68f, 0.0f, 0.0f},
               {-0.7f, 0.685f, 0.09f, 0.04f, 3.2f},
               {-0.5f, 0.71f, 0.14f, 0.055f, 3.2f},
               {-0.3f, 0.7f, 0.15f, 0.055f, 3.2f},
               {-0.14f, 0.69f, 0.12f, 0.045f, 3.2f},
               {-0.11f, 0.685f, 0.0f, 0.0f}},
           18);
    s.setSurface(WHITE);
    s.box(Frame::at({0.0f, 0.68f, -0.42f}), {0.152f, 0.012f, 0.25f});
    s.setSurface(CHROME);
    s.tube(smoothPath({{-0.14f, 0.7f, -0.62f}, {-0.1f, 0.72f, -0.73f}, {0.1f, 0.72f, -0.73f}, {0.14f, 0.7f, -0.62f}}, 4),
           0.01f, 8);
}

void floorAndShield(Shape& s) {
    s.setSurface(MAIN);
    lofted(s, {{-0.12f, 0.2f, 0.0f, 0.0f},
               {-0.1f, 0.2f, 0.17f, 0.05f, 4.0f},
               {0.42f, 0.2f, 0.17f, 0.05f, 4.0f},
               {0.44f, 0.2f, 0.0f, 0.0f}},
           16);
    s.setSurface(BLACK);
    for (float x : {-0.12f, -0.06f, 0.0f, 0.06f, 0.12f}) s.box(Frame::at({x, 0.252f, 0.15f}), {0.012f, 0.004f, 0.23f});
    // A central tunnel joins the floor to the body under the seat.
    s.setSurface(MAIN);
    swept(s, {{0.0f, 0.22f, -0.03f}, {0.0f, 0.34f, -0.06f}, {0.0f, 0.47f, -0.12f}}, {0.1f, 0.1f, 0.12f},
          {0.06f, 0.07f, 0.09f}, {1.0f, 0.0f, 0.0f});
    std::vector<Vec3> shield =
        smoothPath({{0.0f, 0.17f, 0.45f}, {0.0f, 0.45f, 0.55f}, {0.0f, 0.75f, 0.56f}, {0.0f, 0.98f, 0.5f}}, 4);
    swept(s, shield, spread({0.24f, 0.25f, 0.2f, 0.07f}, shield.size()), spread({0.04f, 0.04f, 0.035f, 0.035f}, shield.size()),
          {1.0f, 0.0f, 0.0f}, 4.0f, 20);
    // The horn grille on the shield's face.
    s.setSurface(CHROME);
    Frame horn = Frame::along({0.0f, 0.79f, 0.6f}, {0.0f, 0.05f, 1.0f});
    s.ellipsoid(horn, {0.06f, 0.08f, 0.025f}, 16, 6);
    s.setSurface(BLACK);
    for (int bar = -2; bar <= 2; ++bar)
        s.box(Frame::at({0.0f, 0.79f + 0.025f * float(bar), 0.622f}), {0.045f - 0.008f * float(std::abs(bar)), 0.004f, 0.006f});
}

void frontEnd(Shape& s, const MopedDesign& d) {
    s.setSurface(MAIN);
    std::vector<Vec3> bar = smoothPath({{-0.22f, 0.99f, 0.5f}, {0.0f, 1.04f, 0.52f}, {0.22f, 0.99f, 0.5f}}, 4);
    swept(s, bar, spread({0.035f, 0.06f, 0.035f}, bar.size()), spread({0.04f, 0.075f, 0.04f}, bar.size()),
          {0.0f, 1.0f, 0.0f}, 3.0f);
    headlamp(s, Frame::at({0.0f, 1.06f, 0.58f}), 0.075f, 0.07f, MAIN);
    s.setSurface(CHROME);
    s.revolve(Frame::at({0.0f, 1.06f, 0.585f}), {{0.075f, 0.0f}, {0.085f, 0.0f}, {0.085f, 0.01f}, {0.075f, 0.01f}}, 20, true);
    s.setSurface(BLACK);
    for (float side : {-1.0f, 1.0f}) s.rod({side * 0.2f, 0.99f, 0.5f}, {side * 0.33f, 0.985f, 0.49f}, 0.022f, 10);
    mirror(s, {0.15f, 1.03f, 0.51f}, {0.25f, 1.18f, 0.47f}, 0.05f);
    s.setSurface(BLACK);
    s.rod({-0.06f, 0.9f, 0.54f}, {-0.08f, d.front.radius, d.frontZ}, 0.03f, 10);
    s.setSurface(MAIN);
    mudguard(s, d.frontCentre(), d.front.radius + 0.025f, 0.085f, -0.45f, 1.75f);
}

} // namespace

MopedDesign vespa(bool coarse) {
    MopedDesign d(coarse);
    d.front = {0.25f, 0.05f, Wheel::DISC, 0, ENGINE};
    d.front.whiteWall = true;
    d.rear = d.front;
    d.frontZ = 0.63f;
    d.rearZ = -0.6f;
    d.seat = {0.0f, 0.77f, -0.33f};
    d.grip = {0.28f, 0.987f, 0.495f};
    d.rightFoot = {0.11f, 0.27f, 0.16f};
    d.leftFoot = mirrored(d.rightFoot);
    rearBody(d.body);
    floorAndShield(d.body);
    frontEnd(d.body, d);
    return d;
}

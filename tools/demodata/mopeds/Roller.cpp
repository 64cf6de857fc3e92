// The modern scooter: a smooth rear body over the engine, a flat floor, a
// tall leg shield, the lamp in the bar cover, small cast wheels.
#include "tools/demodata/mopeds/MopedDesign.h"

using namespace MopedParts;

namespace {

void body(Shape& s) {
    s.setSurface(MAIN);
    lofted(s, {{-0.8f, 0.57f, 0.0f, 0.0f},
               {-0.78f, 0.57f, 0.07f, 0.05f, 3.0f},
               {-0.66f, 0.55f, 0.13f, 0.1f, 3.0f},
               {-0.45f, 0.53f, 0.16f, 0.12f, 3.0f},
               {-0.2f, 0.52f, 0.16f, 0.12f, 3.0f},
               {-0.06f, 0.52f, 0.13f, 0.11f, 3.0f},
               {-0.03f, 0.52f, 0.0f, 0.0f}},
           20);
    // The column under the seat's front rises from the floor into the body.
    swept(s, {{0.0f, 0.23f, -0.04f}, {0.0f, 0.36f, -0.07f}, {0.0f, 0.5f, -0.12f}}, {0.12f, 0.12f, 0.14f},
          {0.06f, 0.07f, 0.09f}, {1.0f, 0.0f, 0.0f});
    s.setSurface(TAIL_LAMP);
    s.ellipsoid(Frame::at({0.0f, 0.57f, -0.78f}), {0.07f, 0.03f, 0.03f}, 14, 6);
    s.setSurface(SEAT);
    lofted(s, {{-0.7f, 0.66f, 0.0f, 0.0f},
               {-0.68f, 0.665f, 0.08f, 0.04f, 3.5f},
               {-0.45f, 0.69f, 0.12f, 0.05f, 3.5f},
               {-0.3f, 0.675f, 0.13f, 0.045f, 3.5f},
               {-0.08f, 0.67f, 0.11f, 0.04f, 3.5f},
               {-0.05f, 0.665f, 0.0f, 0.0f}},
           18);
    // The floor, rubber on top of a painted rim.
    s.setSurface(MAIN);
    lofted(s, {{-0.14f, 0.22f, 0.0f, 0.0f},
               {-0.12f, 0.22f, 0.15f, 0.045f, 4.0f},
               {0.32f, 0.22f, 0.15f, 0.045f, 4.0f},
               {0.34f, 0.22f, 0.0f, 0.0f}},
           16);
    s.setSurface(BLACK);
    s.box(Frame::at({0.0f, 0.268f, 0.1f}), {0.13f, 0.004f, 0.2f});
    // The leg shield rises from the floor's nose to the bar cover.
    s.setSurface(MAIN);
    std::vector<Vec3> shield = smoothPath({{0.0f, 0.2f, 0.33f}, {0.0f, 0.5f, 0.39f}, {0.0f, 0.78f, 0.4f}, {0.0f, 0.9f, 0.36f}}, 4);
    swept(s, shield, spread({0.19f, 0.2f, 0.16f, 0.09f}, shield.size()), spread({0.06f, 0.05f, 0.045f, 0.04f}, shield.size()),
          {1.0f, 0.0f, 0.0f});
    // Engine case on the left of the rear wheel, silencer on the right.
    s.setSurface(ENGINE);
    lofted(s, {{-0.6f, 0.27f, 0.0f, 0.0f, 2.5f, -0.11f},
               {-0.57f, 0.27f, 0.04f, 0.07f, 2.5f, -0.11f},
               {-0.2f, 0.3f, 0.05f, 0.09f, 2.5f, -0.11f},
               {-0.06f, 0.3f, 0.05f, 0.08f, 2.5f, -0.11f},
               {-0.03f, 0.3f, 0.0f, 0.0f, 2.5f, -0.11f}},
           14);
    s.setSurface(BLACK);
    s.tube(smoothPath({{0.0f, 0.18f, -0.1f}, {0.08f, 0.17f, -0.25f}, {0.12f, 0.24f, -0.38f}}, 4), 0.018f, 8);
    s.revolve(Frame::along({0.12f, 0.24f, -0.38f}, {0.0f, 0.15f, -1.0f}),
              {{0.0f, 0.0f}, {0.045f, 0.02f}, {0.05f, 0.25f}, {0.0f, 0.27f}}, 14);
    s.setSurface(CHROME);
    s.rod({0.12f, 0.28f, -0.64f}, {0.12f, 0.285f, -0.68f}, 0.015f, 10);
}

void frontEnd(Shape& s, const MopedDesign& d) {
    s.setSurface(MAIN);
    std::vector<Vec3> cover = smoothPath({{-0.2f, 0.92f, 0.37f}, {0.0f, 0.95f, 0.39f}, {0.2f, 0.92f, 0.37f}}, 4);
    swept(s, cover, spread({0.04f, 0.07f, 0.04f}, cover.size()), spread({0.05f, 0.08f, 0.05f}, cover.size()),
          {0.0f, 1.0f, 0.0f}, 3.0f);
    headlamp(s, Frame::at({0.0f, 0.95f, 0.455f}), 0.05f, 0.03f, MAIN);
    s.setSurface(BLACK);
    for (float side : {-1.0f, 1.0f}) {
        s.rod({side * 0.19f, 0.925f, 0.37f}, {side * 0.31f, 0.93f, 0.35f}, 0.02f, 10);
    }
    mirror(s, {0.16f, 0.96f, 0.38f}, {0.22f, 1.1f, 0.36f}, 0.045f);
    mirror(s, {-0.16f, 0.96f, 0.38f}, {-0.22f, 1.1f, 0.36f}, 0.045f);
    s.setSurface(BLACK);
    s.rod({-0.05f, 0.88f, 0.4f}, {-0.07f, d.front.radius, d.frontZ}, 0.028f, 10);
    s.setSurface(MAIN);
    mudguard(s, d.frontCentre(), d.front.radius + 0.02f, 0.06f, -0.3f, 1.4f);
}

} // namespace

MopedDesign roller(bool coarse) {
    MopedDesign d(coarse);
    d.front = {0.21f, 0.045f, Wheel::CAST, 5, ENGINE};
    d.rear = d.front;
    d.frontZ = 0.54f;
    d.rearZ = -0.52f;
    d.seat = {0.0f, 0.75f, -0.27f};
    d.grip = {0.27f, 0.928f, 0.355f};
    d.rightFoot = {0.1f, 0.29f, 0.12f};
    d.leftFoot = mirrored(d.rightFoot);
    body(d.body);
    frontEnd(d.body, d);
    return d;
}

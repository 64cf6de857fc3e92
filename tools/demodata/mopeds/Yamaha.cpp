// The small enduro: tall and narrow, big knobbly spoked wheels, a high front
// mudguard under the bars, a long rear mudguard, a number plate and an
// upswept exhaust.
#include "tools/demodata/mopeds/MopedDesign.h"

using namespace MopedParts;

namespace {

void frontEnd(Shape& s, const MopedDesign& d) {
    for (float side : {-1.0f, 1.0f}) {
        s.setSurface(CHROME);
        s.rod({side * 0.075f, 0.98f, 0.29f}, {side * 0.072f, 0.6f, 0.4f}, 0.02f, 10);
        s.setSurface(BLACK);
        s.rod({side * 0.072f, 0.62f, 0.395f}, {side * 0.068f, d.front.radius + 0.04f, d.frontZ - 0.01f}, 0.03f, 10);
        s.rod({side * 0.068f, d.front.radius + 0.06f, d.frontZ - 0.016f}, {side * 0.066f, d.front.radius, d.frontZ}, 0.022f, 8);
    }
    s.setSurface(MAIN_METAL);
    for (float y : {0.97f, 0.83f})
        s.box(Frame::along({0.0f, y, 0.295f + (0.97f - y) * 0.3f}, {0.0f, -0.34f, 0.12f}, {0.0f, 0.0f, 1.0f}),
              {0.1f, 0.022f, 0.02f});
    s.setSurface(BLACK);
    handlebar(s, {{0.0f, 1.02f, 0.28f}, {0.12f, 1.035f, 0.27f}, {0.26f, 1.07f, 0.23f}, {0.34f, 1.08f, 0.2f}}, 0.014f);
    s.setSurface(BLACK);
    s.rod({-0.12f, 1.05f, 0.27f}, {0.12f, 1.05f, 0.27f}, 0.01f, 6);
    mirror(s, {0.2f, 1.06f, 0.25f}, {0.23f, 1.18f, 0.22f}, 0.035f);
    // The high mudguard hangs under the lower fork bridge.
    s.setSurface(MAIN);
    mudguard(s, {0.0f, 0.37f, 0.48f}, 0.42f, 0.06f, -0.55f, 0.95f);
    // Number plate with a small lamp.
    s.setSurface(WHITE);
    slab(s, Frame::at({0.0f, 0.86f, 0.41f}).pitched(-0.35f),
         {{-0.11f, -0.1f}, {0.11f, -0.1f}, {0.13f, 0.04f}, {0.08f, 0.12f}, {-0.08f, 0.12f}, {-0.13f, 0.04f}}, 0.008f);
    headlamp(s, Frame::at({0.0f, 0.84f, 0.426f}).pitched(-0.35f), 0.045f, 0.03f, BLACK);
}

void tankSeatRear(Shape& s) {
    s.setSurface(MAIN);
    lofted(s, {{-0.02f, 0.73f, 0.0f, 0.0f},
               {0.0f, 0.74f, 0.07f, 0.06f, 3.0f},
               {0.1f, 0.77f, 0.1f, 0.085f, 3.0f},
               {0.22f, 0.79f, 0.09f, 0.075f, 3.0f},
               {0.29f, 0.8f, 0.05f, 0.045f, 3.0f},
               {0.3f, 0.8f, 0.0f, 0.0f}},
           16);
    s.setSurface(MAIN_METAL);
    for (float side : {-1.0f, 1.0f}) {
        Frame shroud{{side * 0.095f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}};
        slab(s, shroud, {{0.02f, 0.82f}, {0.3f, 0.8f}, {0.3f, 0.68f}, {0.12f, 0.6f}, {0.0f, 0.66f}}, 0.008f);
    }
    s.setSurface(SEAT);
    lofted(s, {{-0.58f, 0.8f, 0.0f, 0.0f},
               {-0.56f, 0.8f, 0.06f, 0.025f, 4.0f},
               {-0.2f, 0.82f, 0.085f, 0.035f, 4.0f},
               {0.02f, 0.84f, 0.07f, 0.03f, 4.0f},
               {0.05f, 0.84f, 0.0f, 0.0f}},
           16);
    s.setSurface(MAIN);
    for (float side : {-1.0f, 1.0f}) {
        Frame panel{{side * 0.075f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}};
        slab(s, panel, {{-0.42f, 0.79f}, {-0.08f, 0.79f}, {-0.1f, 0.6f}, {-0.3f, 0.58f}}, 0.008f);
    }
    // The long rear mudguard rises behind the seat.
    std::vector<Vec3> guard = smoothPath({{0.0f, 0.78f, -0.5f}, {0.0f, 0.8f, -0.7f}, {0.0f, 0.84f, -0.86f}}, 4);
    swept(s, guard, spread({0.08f, 0.07f, 0.05f}, guard.size()), std::vector<float>(guard.size(), 0.012f),
          {1.0f, 0.0f, 0.0f}, 4.0f);
    s.setSurface(TAIL_LAMP);
    s.ellipsoid(Frame::at({0.0f, 0.83f, -0.8f}), {0.035f, 0.025f, 0.03f}, 12, 6);
}

void frameAndEngine(Shape& s, const MopedDesign& d) {
    s.setSurface(BLACK);
    s.rod({0.0f, 0.97f, 0.3f}, {0.0f, 0.74f, 0.37f}, 0.03f, 10);
    s.tube(smoothPath({{0.0f, 0.93f, 0.31f}, {0.0f, 0.72f, 0.1f}, {0.0f, 0.5f, -0.05f}, {0.0f, 0.28f, -0.1f}}, 4), 0.028f, 10);
    s.tube(smoothPath({{0.0f, 0.78f, 0.34f}, {0.0f, 0.45f, 0.26f}, {0.0f, 0.18f, 0.12f}, {0.0f, 0.14f, -0.1f}}, 4), 0.022f, 8);
    pairedTube(s, {{0.03f, 0.72f, 0.05f}, {0.07f, 0.76f, -0.5f}}, 0.014f, 8);
    s.setSurface(MAIN_METAL);
    pairedTube(s, {{0.05f, 0.3f, -0.1f}, {0.07f, d.rear.radius, d.rearZ}}, 0.02f, 8);
    for (float side : {-1.0f, 1.0f}) {
        s.setSurface(CHROME);
        s.rod({side * 0.085f, 0.32f, -0.4f}, {side * 0.085f, 0.74f, -0.3f}, 0.012f, 8);
        s.setSurface(MAIN_METAL);
        s.rod({side * 0.085f, 0.42f, -0.375f}, {side * 0.085f, 0.7f, -0.31f}, 0.022f, 10);
    }
    s.setSurface(ENGINE);
    lofted(s, {{-0.14f, 0.24f, 0.0f, 0.0f},
               {-0.13f, 0.24f, 0.075f, 0.07f, 3.0f},
               {0.07f, 0.24f, 0.08f, 0.085f, 3.0f},
               {0.09f, 0.24f, 0.0f, 0.0f}},
           14);
    s.box(Frame::at({0.0f, 0.13f, -0.02f}), {0.085f, 0.008f, 0.15f});
    Frame barrel = Frame::along({0.0f, 0.3f, 0.03f}, {0.0f, 0.9f, 0.43f});
    s.setSurface(BLACK);
    s.revolve(barrel, {{0.0f, 0.0f}, {0.046f, 0.0f}, {0.046f, 0.16f}, {0.0f, 0.18f}}, 14);
    for (int fin = 0; fin < 5; ++fin) {
        float h = 0.03f + 0.026f * float(fin);
        s.revolve(barrel, {{0.044f, h}, {0.076f, h}, {0.076f, h + 0.008f}, {0.044f, h + 0.008f}}, 14, true);
    }
    // The exhaust leaves the cylinder forwards and sweeps up the right side.
    s.tube(smoothPath({{0.0f, 0.4f, 0.12f}, {0.06f, 0.38f, 0.2f}, {0.11f, 0.5f, 0.1f}, {0.12f, 0.6f, -0.15f},
                       {0.13f, 0.66f, -0.35f}},
                      5),
           0.017f, 8);
    s.setSurface(CHROME);
    s.rod({0.135f, 0.56f, -0.02f}, {0.14f, 0.63f, -0.2f}, 0.026f, 10);
    s.setSurface(BLACK);
    s.revolve(Frame::along({0.13f, 0.66f, -0.35f}, {0.0f, 0.2f, -1.0f}),
              {{0.0f, 0.0f}, {0.035f, 0.01f}, {0.04f, 0.26f}, {0.025f, 0.28f}, {0.0f, 0.28f}}, 12);
    s.rod({-0.19f, 0.33f, -0.02f}, {0.19f, 0.33f, -0.02f}, 0.013f, 8);
}

} // namespace

MopedDesign yamaha(bool coarse) {
    MopedDesign d(coarse);
    d.front = {0.31f, 0.034f, Wheel::SPOKED, 28, CHROME};
    d.front.knobbly = true;
    d.rear = {0.29f, 0.042f, Wheel::SPOKED, 28, CHROME};
    d.rear.knobbly = true;
    d.frontZ = 0.5f;
    d.rearZ = -0.47f;
    d.seat = {0.0f, 0.92f, -0.2f};
    d.grip = {0.31f, 1.075f, 0.212f};
    d.rightFoot = {0.18f, 0.36f, -0.02f};
    d.leftFoot = mirrored(d.rightFoot);
    frontEnd(d.body, d);
    tankSeatRear(d.body);
    frameAndEngine(d.body, d);
    return d;
}

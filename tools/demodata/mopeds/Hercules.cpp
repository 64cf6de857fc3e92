// The classic moped: a tubular spine frame with the tank between the knees,
// a long flat seat, pedals on level cranks, spoked wheels and a carrier.
#include "tools/demodata/mopeds/MopedDesign.h"

using namespace MopedParts;

namespace {

void frame(Shape& s) {
    s.setSurface(MAIN_METAL);
    s.tube(smoothPath({{0.0f, 0.76f, 0.33f}, {0.0f, 0.66f, 0.2f}, {0.0f, 0.5f, 0.02f}, {0.0f, 0.36f, -0.06f}}, 4),
           0.03f, 10);
    s.rod({0.0f, 0.8f, 0.32f}, {0.0f, 0.58f, 0.39f}, 0.032f, 12);
    pairedTube(s, smoothPath({{0.03f, 0.38f, -0.06f}, {0.07f, 0.5f, -0.25f}, {0.08f, 0.6f, -0.42f}}, 4), 0.016f, 8);
    pairedTube(s, {{0.07f, 0.28f, -0.47f}, {0.08f, 0.6f, -0.4f}}, 0.014f, 8);
    pairedTube(s, {{0.04f, 0.26f, -0.1f}, {0.075f, 0.27f, -0.47f}}, 0.016f, 8);
    // Rear shocks: springs over chrome rods.
    for (float side : {-1.0f, 1.0f}) {
        s.setSurface(CHROME);
        s.rod({side * 0.085f, 0.3f, -0.45f}, {side * 0.088f, 0.6f, -0.35f}, 0.012f, 8);
        s.setSurface(MAIN_METAL);
        s.rod({side * 0.085f, 0.4f, -0.42f}, {side * 0.087f, 0.56f, -0.365f}, 0.022f, 10);
    }
}

void forkAndBars(Shape& s, const MopedDesign& d) {
    s.setSurface(MAIN_METAL);
    s.box(Frame::along({0.0f, 0.8f, 0.305f}, {0.0f, -0.34f, 0.12f}, {0.0f, 0.0f, 1.0f}), {0.085f, 0.02f, 0.02f});
    s.setSurface(CHROME);
    for (float side : {-1.0f, 1.0f}) {
        s.rod({side * 0.065f, 0.8f, 0.305f}, {side * 0.062f, 0.5f, 0.41f}, 0.019f, 10);
        s.rod({side * 0.062f, 0.52f, 0.40f}, {side * 0.058f, d.front.radius, d.frontZ}, 0.025f, 10);
    }
    handlebar(s, {{0.0f, 0.86f, 0.31f}, {0.1f, 0.88f, 0.3f}, {0.2f, 0.93f, 0.24f}, {0.28f, 0.94f, 0.18f}}, 0.013f);
    mirror(s, {0.19f, 0.93f, 0.25f}, {0.24f, 1.1f, 0.2f}, 0.04f);
    headlamp(s, Frame::at({0.0f, 0.82f, 0.39f}).pitched(-0.1f), 0.075f, 0.09f, CHROME);
    s.setSurface(MAIN);
    mudguard(s, d.frontCentre(), d.front.radius + 0.025f, 0.045f, -0.5f, 1.55f);
}

void tankAndSeat(Shape& s) {
    s.setSurface(MAIN);
    lofted(s, {{0.0f, 0.6f, 0.0f, 0.0f},
               {0.03f, 0.61f, 0.06f, 0.045f},
               {0.1f, 0.64f, 0.1f, 0.075f},
               {0.2f, 0.67f, 0.11f, 0.08f},
               {0.29f, 0.7f, 0.085f, 0.065f},
               {0.34f, 0.72f, 0.045f, 0.04f},
               {0.35f, 0.725f, 0.0f, 0.0f}},
           18);
    s.setSurface(CHROME);
    s.ellipsoid(Frame::at({0.0f, 0.76f, 0.2f}).pitched(PI * 0.5f), {0.025f, 0.025f, 0.012f}, 10, 4);
    s.setSurface(SEAT);
    lofted(s, {{-0.47f, 0.65f, 0.0f, 0.0f},
               {-0.46f, 0.65f, 0.07f, 0.035f, 3.0f},
               {-0.42f, 0.655f, 0.1f, 0.045f, 3.0f},
               {-0.12f, 0.66f, 0.11f, 0.05f, 3.0f},
               {-0.04f, 0.655f, 0.08f, 0.04f, 3.0f},
               {-0.02f, 0.65f, 0.0f, 0.0f}},
           16);
    s.setSurface(MAIN);
    for (float side : {-1.0f, 1.0f})
        slab(s, Frame{{side * 0.075f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}},
             {{-0.36f, 0.6f}, {-0.06f, 0.6f}, {-0.08f, 0.45f}, {-0.2f, 0.4f}}, 0.008f);
}

void rear(Shape& s, const MopedDesign& d) {
    s.setSurface(MAIN);
    mudguard(s, d.rearCentre(), d.rear.radius + 0.03f, 0.05f, -2.1f, 0.3f);
    s.setSurface(CHROME);
    pairedTube(s, {{0.07f, 0.62f, -0.4f}, {0.07f, 0.67f, -0.45f}, {0.07f, 0.67f, -0.7f}}, 0.009f, 6);
    for (float z : {-0.5f, -0.6f, -0.7f}) s.rod({-0.07f, 0.67f, z}, {0.07f, 0.67f, z}, 0.008f, 6);
    s.setSurface(TAIL_LAMP);
    s.ellipsoid(Frame::at({0.0f, 0.6f, -0.76f}), {0.04f, 0.025f, 0.02f}, 12, 6);
}

void engine(Shape& s) {
    s.setSurface(ENGINE);
    lofted(s, {{-0.14f, 0.22f, 0.0f, 0.0f},
               {-0.13f, 0.22f, 0.07f, 0.07f, 3.0f},
               {0.08f, 0.22f, 0.08f, 0.09f, 3.0f},
               {0.1f, 0.22f, 0.0f, 0.0f}},
           14);
    // The cylinder leans forward; cooling fins round it.
    Frame barrel = Frame::along({0.0f, 0.28f, 0.07f}, {0.0f, 0.8f, 0.6f});
    s.revolve(barrel, {{0.0f, 0.0f}, {0.045f, 0.0f}, {0.045f, 0.18f}, {0.0f, 0.2f}}, 14);
    for (int fin = 0; fin < 6; ++fin) {
        float h = 0.04f + 0.025f * float(fin);
        s.revolve(barrel, {{0.044f, h}, {0.075f, h}, {0.075f, h + 0.008f}, {0.044f, h + 0.008f}}, 14, true);
    }
    s.setSurface(CHROME);
    s.tube(smoothPath({{0.0f, 0.36f, 0.2f}, {0.04f, 0.25f, 0.26f}, {0.08f, 0.14f, 0.12f}, {0.11f, 0.17f, -0.18f}}, 5),
           0.016f, 8);
    s.revolve(Frame::along({0.115f, 0.19f, -0.18f}, {0.0f, 0.08f, -1.0f}),
              {{0.0f, 0.0f}, {0.035f, 0.02f}, {0.04f, 0.2f}, {0.025f, 0.3f}, {0.0f, 0.3f}}, 14);
    // Level cranks: the right pedal forward, the left one back.
    s.rod({-0.13f, 0.2f, -0.04f}, {0.13f, 0.2f, -0.04f}, 0.012f, 8);
    s.rod({0.12f, 0.2f, -0.04f}, {0.12f, 0.2f, 0.1f}, 0.01f, 6);
    s.rod({-0.12f, 0.2f, -0.04f}, {-0.12f, 0.2f, -0.18f}, 0.01f, 6);
    s.setSurface(BLACK);
    s.box(Frame::at({0.16f, 0.2f, 0.1f}), {0.04f, 0.012f, 0.03f});
    s.box(Frame::at({-0.16f, 0.2f, -0.18f}), {0.04f, 0.012f, 0.03f});
    s.setSurface(MAIN_METAL);
    slab(s, Frame{{-0.07f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}},
         {{-0.5f, 0.31f}, {-0.04f, 0.27f}, {-0.02f, 0.18f}, {-0.5f, 0.24f}}, 0.01f);
}

} // namespace

MopedDesign hercules(bool coarse) {
    MopedDesign d(coarse);
    d.front = {0.28f, 0.032f, Wheel::SPOKED, 24, CHROME};
    d.rear = d.front;
    d.frontZ = 0.48f;
    d.rearZ = -0.48f;
    d.seat = {0.0f, 0.74f, -0.18f};
    d.grip = {0.25f, 0.937f, 0.205f};
    d.rightFoot = {0.16f, 0.23f, 0.1f};
    d.leftFoot = {-0.16f, 0.23f, -0.18f};
    frame(d.body);
    forkAndBars(d.body, d);
    tankAndSeat(d.body);
    rear(d.body, d);
    engine(d.body);
    return d;
}

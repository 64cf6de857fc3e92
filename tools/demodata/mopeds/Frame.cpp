#include "tools/demodata/mopeds/Frame.h"

Frame Frame::along(Vec3 origin, Vec3 direction, Vec3 up) {
    Frame f;
    f.origin = origin;
    f.z = normalised(direction);
    Vec3 side = cross(up, f.z);
    // Straight up or down: any side will do.
    if (length(side) < 1e-6f) side = cross({0.0f, 0.0f, 1.0f}, f.z);
    f.x = normalised(side);
    f.y = cross(f.z, f.x);
    return f;
}

Frame Frame::pitched(float angle) const {
    Frame f = *this;
    float c = std::cos(angle), s = std::sin(angle);
    f.y = y * c - z * s;
    f.z = z * c + y * s;
    return f;
}

Frame Frame::rolled(float angle) const {
    Frame f = *this;
    float c = std::cos(angle), s = std::sin(angle);
    f.x = x * c + y * s;
    f.y = y * c - x * s;
    return f;
}

#pragma once

// The part of the viewport that can still show anything, in the device's
// normalised x and y (-1 to 1 across it): a mirror's image shows only within
// the mirror's own outline on the screen, so what lies wholly beyond it need
// not be sent.
struct ViewWindow {
    float left = -1.0f;
    float bottom = -1.0f;
    float right = 1.0f;
    float top = 1.0f;

    bool empty() const { return !(left < right && bottom < top); }
    bool whole() const { return left <= -1.0f && bottom <= -1.0f && right >= 1.0f && top >= 1.0f; }
    // False when every clip-space corner (x, y, z, w) lies beyond the same side.
    bool reaches(const float (*corners)[4], int count) const;
    // What the box's clip-space corners cover in front of the eye, within this window.
    ViewWindow around(const float corners[8][4]) const;
};

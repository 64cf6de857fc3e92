#pragma once

// Half a turn in radians: the float for the scene, the race and the models, the
// double where angles are worked in double (views, sound).
constexpr float PI = 3.14159265358979f;
constexpr double PI_DOUBLE = 3.14159265358979323846;

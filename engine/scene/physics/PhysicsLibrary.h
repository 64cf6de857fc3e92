#pragma once

// The physics library is started once per process, on first need, and closed at exit.
class PhysicsLibrary {
public:
    static void ensureStarted();
};

#include "engine/scene/physics/PhysicsLibrary.h"

#include <ode/odeinit.h>

namespace {

struct Session {
    Session() { dInitODE2(0); }
    ~Session() { dCloseODE(); }
};

} // namespace

void PhysicsLibrary::ensureStarted() { static Session session; }

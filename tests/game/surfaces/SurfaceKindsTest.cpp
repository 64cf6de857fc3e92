#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <ode/collision.h>

#include "engine/scene/LW6Scene.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "game/karts/VehicleClient.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "game/surfaces/ODEJointSurfaceBand.h"
#include "game/surfaces/ODEJointSurfaceCheck.h"
#include "game/surfaces/ODEJointSurfaceCollision.h"
#include "game/surfaces/ODEJointSurfaceCrusher.h"
#include "game/surfaces/ODEJointSurfaceExtra.h"
#include "game/surfaces/ODEJointSurfaceFall.h"
#include "game/surfaces/ODEJointSurfaceObstacle.h"
#include "game/surfaces/ODEJointSurfaceRay.h"
#include "game/surfaces/ODEJointSurfaceReset.h"
#include "game/surfaces/ODEJointSurfaceRocketWall.h"
#include "game/surfaces/ODEJointSurfaceRutsch.h"
#include "game/surfaces/ODEJointSurfaceSpeedup.h"
#include "game/surfaces/ODEJointSurfaceStampfer.h"
#include "game/surfaces/ODEJointSurfaceTrigger.h"
#include "game/surfaces/ODEJointSurfaceVehicle.h"
#include "game/surfaces/ODEJointSurfaceWind.h"
#include "net/NetControl.h"

#include "tests/game/ScriptedDriver.h"

namespace {

// Riders of the test race: two simulated karts, one driven from the
// network and an empty slot inside the vehicle count.
constexpr int32_t MASTER = 0;
constexpr int32_t CLIENT = 1;
constexpr int32_t OTHER_MASTER = 2;
constexpr int32_t EMPTY_SLOT = 3;
constexpr int32_t RIDERS = 4;
constexpr int32_t PROBE = 2;

// One row per kind: the surface numbers of the kart's side and of the other
// side, and whether only a simulated kart takes the contact.
struct KindCase {
    const char* name;
    std::function<std::unique_ptr<RaceSurface>(Race*)> make;
    int32_t kartKind;
    int32_t otherKind;
    bool simulatedOnly;
    int32_t answerCollisions;
};

template <class Kind>
std::unique_ptr<RaceSurface> make(Race* race) {
    return std::make_unique<Kind>(race);
}

const std::vector<KindCase>& kindCases() {
    static const std::vector<KindCase> cases = {
        {"Check", make<ODEJointSurfaceCheck>, 6, 19, false, 1},
        {"Ray", make<ODEJointSurfaceRay>, 5, 0, true, 1},
        {"Fall", make<ODEJointSurfaceFall>, 5, 8, true, 1},
        {"Collision", make<ODEJointSurfaceCollision>, 6, 1, true, 16},
        {"Vehicle", make<ODEJointSurfaceVehicle>, 6, 6, true, 16},
        {"Obstacle", make<ODEJointSurfaceObstacle>, 6, 12, false, 1},
        {"Extra", make<ODEJointSurfaceExtra>, 6, 13, false, 1},
        {"Speedup", make<ODEJointSurfaceSpeedup>, 6, 15, true, 1},
        {"Wind", make<ODEJointSurfaceWind>, 6, 20, true, 1},
        {"Stampfer", make<ODEJointSurfaceStampfer>, 6, 16, true, 1},
        {"Crusher", make<ODEJointSurfaceCrusher>, 6, 14, true, 1},
        {"RocketWall", make<ODEJointSurfaceRocketWall>, 18, 0, true, 1},
        {"Rutsch", make<ODEJointSurfaceRutsch>, 6, 21, true, 1},
        {"Band", make<ODEJointSurfaceBand>, 6, 22, true, 1},
        {"Trigger", make<ODEJointSurfaceTrigger>, 6, 23, false, 1},
        {"Reset", make<ODEJointSurfaceReset>, 6, 7, true, 1},
    };
    return cases;
}

// Everything a kind may write into a kart, as text, so a difference shows.
std::string footprint(Vehicle& kart) {
    std::ostringstream out;
    out << "line " << kart.m_crossedLine << " sectors " << kart.m_sectorMask << " pickUp " << kart.m_pickUp
        << " extra " << kart.m_extra.get() << " obstacle " << kart.m_obstacle << ' ' << kart.m_obstacleDepth;
    VehicleMaster* master = kart.asMaster();
    if (!master) return out.str();
    for (int k = 0; k < VehicleMaster::RAYS; ++k)
        out << " ray " << master->m_rayHeight[k] << ' ' << master->m_raySurface[k] << ' ' << master->m_rayOverFall[k]
            << ' ' << master->m_groundNormals[k].size();
    out << " wall " << master->m_wallDepth << " bump " << master->m_bumpDepth << ' ' << master->m_bumpOther
        << " wind " << master->m_windObject << " belt " << master->m_beltObject << " slippery " << master->m_slippery
        << " reset " << master->m_resetTouched << " speed " << master->m_curSpeed << " stamper " << master->m_stamperTimer << " crusher "
        << master->m_crusherTimer << " explosion " << master->m_explosionTimer;
    return out.str();
}

class SurfaceKinds : public ::testing::Test {
protected:
    SurfaceKinds() : m_previousRace(g_race) {
        g_race = &m_race;
        m_race.m_vehicleCount = RIDERS;
        m_race.m_vehicles[MASTER] = makeVehicle<VehicleMaster>(MASTER);
        m_race.m_vehicles[CLIENT] = makeVehicle<VehicleClient>(CLIENT);
        m_race.m_vehicles[OTHER_MASTER] = makeVehicle<VehicleMaster>(OTHER_MASTER);
    }
    ~SurfaceKinds() override {
        g_race = m_previousRace;
        for (auto& object : m_objects) dGeomDestroy(object->m_geom);
        for (dGeomID geom : m_bareGeoms) dGeomDestroy(geom);
    }

    template <class Kind>
    std::unique_ptr<Vehicle> makeVehicle(int32_t index) {
        return std::make_unique<Kind>("none", &m_scene, std::make_unique<ScriptedDriver>(), index,
                                      m_race.m_vehicleRecord, std::make_unique<VehicleSettings>(0, "none"), index,
                                      0.5f, 1.0f, m_net);
    }
    VehicleMaster& master(int32_t index) { return *m_race.m_vehicles[index]->asMaster(); }

    // A hand-made scene object carried by its geom, a small sphere unless given.
    ODEGeomObject& piece(int32_t kind, int32_t owner, dGeomID geom = nullptr) {
        m_objects.push_back(std::make_unique<ODEGeomObject>(&m_scene, 0));
        ODEGeomObject& object = *m_objects.back();
        object.m_surfaceKind = kind;
        object.m_ownerIndex = owner;
        object.m_geom = geom ? geom : dCreateSphere(nullptr, 0.5);
        dGeomSetData(object.m_geom, &object);
        return object;
    }
    // The kart's side of a case: a probe ray of the rider, its rocket or its body.
    ODEGeomObject& kartPiece(const KindCase& kind, int32_t rider) {
        return piece(kind.kartKind, kind.kartKind == 5 ? rider * VehicleMaster::RAYS + PROBE : rider);
    }
    ODEGeomObject& otherPiece(const KindCase& kind) {
        return piece(kind.otherKind, kind.otherKind == 6 ? OTHER_MASTER : -1);
    }
    dGeomID bareGeom() {
        m_bareGeoms.push_back(dCreateSphere(nullptr, 0.5));
        return m_bareGeoms.back();
    }

    static dContactGeom contact(dGeomID first, dGeomID second, Normal3 normal = {0.0f, 1.0f, 0.0f},
                                double depth = 0.25, Position3 pos = {1.0f, 2.0f, 3.0f}) {
        dContactGeom c{};
        c.pos[0] = pos.x, c.pos[1] = pos.y, c.pos[2] = pos.z;
        c.normal[0] = normal.x, c.normal[1] = normal.y, c.normal[2] = normal.z;
        c.depth = depth;
        c.g1 = first;
        c.g2 = second;
        return c;
    }

    std::string raceFootprint() {
        std::string all = "trigger " + std::to_string(m_race.m_triggerTimer);
        for (int32_t i = 0; i < RIDERS; ++i)
            if (m_race.m_vehicles[i]) all += " | " + footprint(*m_race.m_vehicles[i]);
        return all;
    }

    NetControl m_net;
    LW6Scene m_scene{static_cast<RenderView*>(nullptr)};
    Race m_race;
    Race* m_previousRace;
    std::vector<std::unique_ptr<ODEGeomObject>> m_objects;
    std::vector<dGeomID> m_bareGeoms;
};

TEST_F(SurfaceKinds, AnswerNeverMakesAJointAndKeepsTheDefaultSurface) {
    for (const KindCase& kind : kindCases()) {
        SCOPED_TRACE(kind.name);
        std::unique_ptr<RaceSurface> surface = kind.make(&m_race);
        EXPECT_EQ(surface->maxCollisions(), 16);
        surface->m_skipIfBodyDisabled = true;
        ODEGeomObject& other = otherPiece(kind);
        for (dGeomID kart : {kartPiece(kind, MASTER).m_geom, dGeomID(nullptr)}) {
            ODEJointSurface answer = surface->onContact(contact(kart, other.m_geom));
            EXPECT_FALSE(answer.m_makeContactJoints);
            EXPECT_EQ(answer.m_maxCollisions, kind.answerCollisions);
            EXPECT_TRUE(answer.m_skipIfBodyDisabled);
            EXPECT_EQ(answer.m_surface.mode, ODEJointSurface::DEFAULT_MODE);
        }
    }
}

// Owners outside the race, an empty slot, a negative ray owner (which would
// divide to rider 0 and a negative ray), geoms without objects and values
// that are not finite in float: none of them reaches a kart or the race.
TEST_F(SurfaceKinds, BrokenContactsChangeNothingWhereSoundOnesAct) {
    const double huge = 1.0e300;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const KindCase& kind : kindCases()) {
        SCOPED_TRACE(kind.name);
        std::unique_ptr<RaceSurface> surface = kind.make(&m_race);
        ODEGeomObject& kart = kartPiece(kind, MASTER);
        ODEGeomObject& other = otherPiece(kind);
        std::vector<dContactGeom> broken = {
            contact(kart.m_geom, bareGeom()),
            contact(bareGeom(), other.m_geom),
            contact(kart.m_geom, nullptr),
            contact(kart.m_geom, other.m_geom, {0.0f, 1.0f, 0.0f}, nan),
            contact(kart.m_geom, other.m_geom, {0.0f, 1.0f, 0.0f}, huge),
            contact(kart.m_geom, other.m_geom, {std::numeric_limits<float>::infinity(), 0.0f, 0.0f}),
            contact(kart.m_geom, other.m_geom),
            contact(kart.m_geom, other.m_geom),
        };
        broken[broken.size() - 2].normal[1] = nan;
        broken.back().pos[0] = huge;
        if (kind.name != std::string("Trigger")) {
            for (int32_t rider : {-1, EMPTY_SLOT, RIDERS, Race::MAX_VEHICLES, 1000})
                broken.push_back(contact(kartPiece(kind, rider).m_geom, other.m_geom));
            broken.push_back(contact(piece(kind.kartKind, -3).m_geom, other.m_geom));
        }
        const std::string before = raceFootprint();
        for (const dContactGeom& c : broken) surface->onContact(c);
        EXPECT_EQ(raceFootprint(), before);

        surface->onContact(contact(kart.m_geom, other.m_geom));
        EXPECT_NE(raceFootprint(), before);
        m_race.m_triggerTimer = 0.0f;
    }
}

TEST_F(SurfaceKinds, KartsDrivenFromTheNetworkOnlyCrossTheLineAndPickUp) {
    Vehicle& client = *m_race.m_vehicles[CLIENT];
    for (const KindCase& kind : kindCases()) {
        if (kind.name == std::string("Trigger")) continue;
        SCOPED_TRACE(kind.name);
        std::unique_ptr<RaceSurface> surface = kind.make(&m_race);
        ODEGeomObject& other = piece(kind.otherKind, kind.otherKind == 6 ? CLIENT : -1);
        // Both orders: the client as geom 1 and as geom 2.
        ODEGeomObject& kart = kartPiece(kind, CLIENT);
        const std::string before = raceFootprint();
        surface->onContact(contact(kart.m_geom, other.m_geom));
        surface->onContact(contact(other.m_geom, kart.m_geom));
        if (kind.simulatedOnly) {
            EXPECT_EQ(raceFootprint(), before);
        }
    }
    EXPECT_TRUE(client.m_crossedLine);
    EXPECT_EQ(client.m_sectorMask, 0xFFFFu);
    EXPECT_NE(client.m_pickUp, nullptr);
    EXPECT_NE(client.m_extra.get(), 0);
    EXPECT_NE(client.m_obstacle, nullptr);

    // A client bumping a simulated kart: only the simulated one learns of it.
    ODEJointSurfaceVehicle bump(&m_race);
    const std::string clientBefore = footprint(client);
    bump.onContact(contact(piece(6, CLIENT).m_geom, piece(6, MASTER).m_geom, {1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(footprint(client), clientBefore);
    EXPECT_EQ(master(MASTER).m_bumpOther, &client);
    EXPECT_EQ(master(MASTER).m_bumpNormal.x, -1.0f);
}

// `n` points from the other side toward the kart's side; the physics
// library hands it toward whichever geom comes first.
TEST_F(SurfaceKinds, StoredNormalsKeepTheirDirectionInEitherGeomOrder) {
    const Normal3 n = {0.0f, 0.6f, 0.8f};
    const Normal3 minusN = {-n.x, -n.y, -n.z};
    auto expectNormal = [](const Normal3& got, const Normal3& want) {
        EXPECT_FLOAT_EQ(got.x, want.x);
        EXPECT_FLOAT_EQ(got.y, want.y);
        EXPECT_FLOAT_EQ(got.z, want.z);
    };
    ODEJointSurfaceCollision wall(&m_race);
    ODEJointSurfaceObstacle obstacle(&m_race);
    ODEJointSurfaceRay ray(&m_race);
    ODEJointSurfaceFall fall(&m_race);
    ODEJointSurfaceVehicle bump(&m_race);
    VehicleMaster& kart = master(MASTER);
    VehicleMaster& otherKart = master(OTHER_MASTER);
    const Position3 at = {4.0f, 5.0f, 6.0f};

    for (bool kartFirst : {true, false}) {
        SCOPED_TRACE(kartFirst ? "kart is geom 1" : "kart is geom 2");
        const Normal3 given = kartFirst ? n : minusN;
        auto touch = [&](RaceSurface& surface, ODEGeomObject& kartSide, ODEGeomObject& otherSide, double depth) {
            dGeomID first = kartFirst ? kartSide.m_geom : otherSide.m_geom;
            dGeomID second = kartFirst ? otherSide.m_geom : kartSide.m_geom;
            surface.onContact(contact(first, second, given, depth, at));
        };

        touch(wall, piece(6, MASTER), piece(1, -1), 0.125);
        expectNormal(kart.m_wallNormal, n);
        EXPECT_EQ(kart.m_wallDepth, 0.125f);
        EXPECT_EQ(kart.m_wallPos.z, 6.0f);

        ODEGeomObject& block = piece(12, -1);
        touch(obstacle, piece(6, MASTER), block, 0.25);
        expectNormal(kart.m_obstacleNormal, minusN);
        EXPECT_EQ(kart.m_obstacle, &block);
        EXPECT_EQ(kart.m_obstacleDepth, 0.25f);

        const size_t history = kart.m_groundNormals[PROBE].size();
        touch(ray, piece(5, MASTER * VehicleMaster::RAYS + PROBE), piece(25, -1), 0.5);
        expectNormal(kart.m_groundNormals[PROBE].back(), n);
        EXPECT_EQ(kart.m_rayHeight[PROBE], 5.0f);
        EXPECT_EQ(kart.m_raySurface[PROBE], 25);
        kart.m_rayOverFall[PROBE] = false;
        touch(fall, piece(5, MASTER * VehicleMaster::RAYS + PROBE), piece(8, -1), 0.5);
        expectNormal(kart.m_groundNormals[PROBE].back(), n);
        EXPECT_EQ(kart.m_groundNormals[PROBE].size(), history + 2);
        EXPECT_TRUE(kart.m_rayOverFall[PROBE]);

        // The kart at the kart side, the other kart where the normal comes from.
        touch(bump, piece(6, MASTER), piece(6, OTHER_MASTER), 0.0625);
        expectNormal(kart.m_bumpNormal, n);
        expectNormal(otherKart.m_bumpNormal, minusN);
        EXPECT_EQ(kart.m_bumpOther, &otherKart);
        EXPECT_EQ(otherKart.m_bumpOther, &kart);
        EXPECT_EQ(otherKart.m_bumpDepth, 0.0625f);
    }
}

TEST_F(SurfaceKinds, TriggerStartsOnlyAStoppedTimer) {
    ODEJointSurfaceTrigger trigger(&m_race);
    const dContactGeom c = contact(piece(6, MASTER).m_geom, piece(23, -1).m_geom);
    trigger.onContact(c);
    EXPECT_EQ(m_race.m_triggerTimer, 2.0f);
    m_race.m_triggerTimer = 0.5f;
    trigger.onContact(c);
    EXPECT_EQ(m_race.m_triggerTimer, 0.5f);
}

// Real geoms through the physics library's own collider, in both orders:
// a kart sphere resting on a wall box, a probe ray hitting it from above,
// and two kart spheres side by side.
TEST_F(SurfaceKinds, RealCollisionsGiveTheSameNormalsInEitherOrder) {
    ODEJointSurfaceCollision wall(&m_race);
    ODEJointSurfaceRay ray(&m_race);
    ODEJointSurfaceVehicle bump(&m_race);
    VehicleMaster& kart = master(MASTER);
    VehicleMaster& otherKart = master(OTHER_MASTER);

    ODEGeomObject& body = piece(6, MASTER);
    ODEGeomObject& block = piece(1, -1, dCreateBox(nullptr, 4.0, 2.0, 4.0));
    dGeomSetPosition(block.m_geom, 0.0, -1.0, 0.0);
    dGeomSetPosition(body.m_geom, 0.0, 0.4, 0.0);
    ODEGeomObject& probe = piece(5, MASTER * VehicleMaster::RAYS + PROBE, dCreateRay(nullptr, 10.0));
    dGeomRaySet(probe.m_geom, 1.0, 3.0, 1.0, 0.0, -1.0, 0.0);
    ODEGeomObject& neighbour = piece(6, OTHER_MASTER);
    dGeomSetPosition(neighbour.m_geom, 0.8, 0.4, 0.0);

    auto collide = [](RaceSurface& surface, dGeomID first, dGeomID second) {
        dContactGeom contacts[16];
        const int found = dCollide(first, second, 16, contacts, sizeof(dContactGeom));
        EXPECT_GT(found, 0);
        for (int i = 0; i < found; ++i) surface.onContact(contacts[i]);
    };
    for (bool forward : {true, false}) {
        SCOPED_TRACE(forward ? "first order" : "swapped order");
        auto pair = [&](ODEGeomObject& a, ODEGeomObject& b, RaceSurface& surface) {
            forward ? collide(surface, a.m_geom, b.m_geom) : collide(surface, b.m_geom, a.m_geom);
        };
        kart.m_wallNormal = {0.0f, 0.0f, 0.0f};
        pair(body, block, wall);
        EXPECT_NEAR(kart.m_wallNormal.y, 1.0f, 1e-5f);
        EXPECT_NEAR(kart.m_wallDepth, 0.1f, 1e-5f);

        pair(probe, block, ray);
        EXPECT_NEAR(kart.m_groundNormals[PROBE].back().y, 1.0f, 1e-5f);
        EXPECT_NEAR(kart.m_rayHeight[PROBE], 0.0f, 1e-5f);

        pair(body, neighbour, bump);
        EXPECT_NEAR(kart.m_bumpNormal.x, -1.0f, 1e-5f);
        EXPECT_NEAR(otherKart.m_bumpNormal.x, 1.0f, 1e-5f);
        EXPECT_NEAR(kart.m_bumpDepth, 0.2f, 1e-5f);
    }
}

} // namespace

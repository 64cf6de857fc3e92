#include "engine/scene/loaders/ScenePluginReader.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <strings.h>

#include <ode/collision.h>
#include <ode/collision_space.h>
#include <ode/mass.h>

#include "engine/platform/Report.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/effects/FX_Collision.h"
#include "engine/scene/effects/FX_Gravity.h"
#include "engine/scene/effects/FX_Wind.h"
#include "engine/scene/effects/ParticleEmitter.h"
#include "engine/scene/loaders/SceneEnvelopeReader.h"
#include "engine/scene/loaders/SceneFileState.h"
#include "engine/scene/loaders/SceneFileTokens.h"
#include "engine/scene/loaders/SceneHyperVoxelReader.h"
#include "engine/scene/loaders/SceneObjectFiles.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "engine/scene/physics/ODEJointObject.h"

namespace {

constexpr float FRAMES_TO_SECONDS = 1.0f / 30.0f;

bool isNonZero(float v) { return std::isfinite(v) && v != 0.0f; }

// A surface kind or space number, which index the scene's 50 x 50 tables.
int32_t tableIndex(int32_t value, const char* key) {
    if (value >= 0 && value < LW6Scene::POLICY_TABLE_SIZE) return value;
    g_logStream << key << " " << value << " is out of range" << std::endl;
    return 0;
}

} // namespace

void ScenePluginReader::readPlugin() {
    SceneFileTokens& tokens = m_state.tokens;
    std::string handler = tokens.readString();
    if (handler == "ObjReplacementHandler") {
        readLevelsOfDetail(m_state.currentObject());
    } else if (handler == "MasterHandler") {
        readMaster();
    } else if (handler == "DisplacementHandler") {
        tokens.skip(2);
    } else if (handler == "CustomObjHandler") {
        readCustomObject();
    } else if (handler == "VolumetricHandler") {
        SceneHyperVoxelReader(m_state).read();
    }
}

void ScenePluginReader::readLevelsOfDetail(SceneObject* object) {
    SceneFileTokens& tokens = m_state.tokens;
    tokens.skip(3);
    int32_t count = tokens.readInt();
    for (int32_t i = 0; i < count && !tokens.atEnd(); ++i) {
        float distance = tokens.readFloat32();
        std::string name = SceneFileState::singleBackslashes(tokens.readString());
        if (name.empty() || !object) continue;
        if (Mesh* mesh = SceneObjectFiles::getObjectLayer(m_state.scene, m_state.fileSystem, name, 0))
            object->addLevelOfDetail(mesh, distance);
    }
}

void ScenePluginReader::readCustomObject() {
    SceneFileTokens& tokens = m_state.tokens;
    tokens.skip();
    std::string name = tokens.readString();
    SceneObject* object = m_state.currentObject();
    if (name == "MorvaneODEBody") readBody(object);
    else if (name == "MorvaneODEJoint") readJoint(object);
    else if (name == "MorvaneODEGeom") readGeom(object);
    else if (name == "FX_Emitter") readEmitter(object);
    else if (name == "FX_Gravity") readGravity(object);
    else if (name == "FX_Wind") readWind(object);
    else if (name == "FX_Collision") readCollision(object);
}

void ScenePluginReader::readBody(SceneObject* object) {
    SceneFileTokens& tokens = m_state.tokens;
    double mass = 1.0;
    int32_t massType = 0;
    float scale[3] = {1.0f, 1.0f, 1.0f};
    int32_t autoDisable = 0;
    for (std::string key = tokens.readString(); key != "}" && !tokens.atEnd(); key = tokens.readString()) {
        if (key == "MassType") massType = tokens.readInt();
        else if (key == "Mass") mass = tokens.readFloat();
        else if (key == "Scale") for (float& s : scale) s = tokens.readFloat32();
        else if (key == "AutoDisable") autoDisable = tokens.readInt();
    }
    if (!object) return;
    m_state.autoDisable[object->getIndex() - m_state.offset] = autoDisable;
    for (int i = 0; i < 3; ++i) scale[i] *= object->m_channels[SceneItem::SCALE_X + i].evaluate(0.0);
    // The physics library refuses a body a mass without weight or extent:
    // such an object stays without a body rather than stopping the game.
    bool valid = std::isfinite(mass) && mass > 0.0 && isNonZero(scale[0]);
    if (massType == 1) valid = valid && isNonZero(scale[1]) && isNonZero(scale[2]);
    if ((massType == 2 || massType == 3) && !std::isfinite(scale[1])) valid = false;
    if (!valid) {
        g_logStream << object->getName() << " has an invalid mass" << std::endl;
        return;
    }
    dMass& record = object->m_mass;
    switch (massType) {
    case 0: dMassSetSphereTotal(&record, mass, scale[0]); break;
    case 1: dMassSetBoxTotal(&record, mass, scale[0], scale[1], scale[2]); break;
    case 2: dMassSetCapsuleTotal(&record, mass, 3, scale[0], scale[1]); break;
    case 3: dMassSetCylinderTotal(&record, mass, 3, scale[0], scale[1]); break;
    default: break;
    }
}

void ScenePluginReader::readJoint(SceneObject* object) {
    SceneFileTokens& tokens = m_state.tokens;
    auto* joint = dynamic_cast<ODEJointObject*>(object);
    ODEJointObject dropped(nullptr, -1);
    if (!joint) joint = &dropped;
    tokens.skip(2);
    for (std::string key = tokens.readString(); key != "}" && !tokens.atEnd(); key = tokens.readString()) {
        if (key == "Type") joint->m_jointType = tokens.readInt();
        else if (key == "Body1") joint->m_body1Id = tokens.readHex();
        else if (key == "Body2") joint->m_body2Id = tokens.readHex();
        else if (key == "SpringForce") joint->m_springForce = tokens.readFloat32();
        else if (key == "DamperForce") joint->m_damperForce = tokens.readFloat32();
    }
}

void ScenePluginReader::readGeom(SceneObject* object) {
    SceneFileTokens& tokens = m_state.tokens;
    auto* geom = dynamic_cast<ODEGeomObject*>(object);
    ODEGeomObject dropped(nullptr, -1);
    if (!geom) geom = &dropped;
    tokens.skip(2);
    for (std::string key = tokens.readString(); key != "}" && !tokens.atEnd(); key = tokens.readString()) {
        if (key == "Type") geom->m_geomType = tokens.readInt();
        else if (key == "Surface") geom->m_surfaceKind = tableIndex(tokens.readInt(), "Surface");
        else if (key == "Space") geom->m_spaceIndex = tableIndex(tokens.readInt(), "Space");
        else if (key == "Scale") for (float& s : geom->m_scaleFactors) s = tokens.readFloat32();
        else if (key == "Transform")
            geom->m_transformItem = dynamic_cast<SceneObject*>(m_state.itemById(tokens.readHex()));
    }
}

void ScenePluginReader::readEmitter(SceneObject* object) {
    SceneFileTokens& tokens = m_state.tokens;
    auto emitter = std::make_unique<ParticleEmitter>(object);
    auto value = [&tokens](AnimatedValue& v, float factor = 1.0f) { v.constant = tokens.readFloat32() * factor; };
    tokens.skip(3);                                                          // p1-p3
    for (float& n : emitter->nozzleSize) n = tokens.readFloat32();           // p4-p6
    if (tokens.readString() != "p0") tokens.skip();                          // p7
    tokens.skip(3);                                                          // p8-p10
    emitter->maxParticles = tokens.readInt();                                // p11
    tokens.skip(2);                                                          // p12-p13
    for (AnimatedValue& v : emitter->velocity) value(v);                     // p14-p16
    emitter->velocityFactor = tokens.readFloat32();                          // p17
    tokens.skip(3);                                                          // p18-p20
    emitter->acceleration.x = tokens.readFloat32();                          // p21-p23
    emitter->acceleration.y = tokens.readFloat32();
    emitter->acceleration.z = tokens.readFloat32();
    tokens.skip(3);                                                          // p24-p26
    value(emitter->birthRate);                                               // p27
    emitter->nozzleShape = static_cast<int32_t>(tokens.readFloat());         // p28
    tokens.skip();                                                           // p29
    emitter->birthMode = static_cast<int32_t>(tokens.readFloat());           // p30
    value(emitter->lifetime, FRAMES_TO_SECONDS);                             // p31
    value(emitter->lifetimeVariation, FRAMES_TO_SECONDS);                    // p32
    value(emitter->radialSpeed);                                             // p33
    tokens.skip();                                                           // p34
    emitter->resetMode = tokens.readInt();                                   // p35
    tokens.skip(10);                                                         // p36-p45
    value(emitter->speedFactor);                                             // p46
    value(emitter->secondValue);                                             // p47
    value(emitter->speedFactorVariation);                                    // p48
    value(emitter->secondValueVariation);                                    // p49
    tokens.skip(3);                                                          // p50-p52
    value(emitter->thirdValue);                                              // p53
    value(emitter->thirdValueVariation);                                     // p54
    tokens.skip(2);                                                          // p55-p56
    emitter->maxSpeed = tokens.readFloat32();                                // p57
    tokens.skip(3);                                                          // p58-p60
    SceneEnvelopeReader envelopes(tokens);
    for (std::string key = tokens.readKeyword(); key != "EndPlugin" && !tokens.atEnd(); key = tokens.readKeyword()) {
        if (key == "VariantParameter") {
            tokens.skip(2);
            tokens.readKeyword();
            value(emitter->birthRate);
            tokens.skip();
            tokens.back();
            envelopes.readEnvelopeValue(emitter->birthRate, false);
            tokens.skip(3);
        }
        tokens.skip();
    }
    if (strcasecmp(tokens.peek(), "PluginEnabled") == 0 || !object) return;
    m_state.scene.m_emitters.push_back(std::move(emitter));
}

bool ScenePluginReader::effectorKept() {
    m_state.tokens.skip();
    return strcasecmp(m_state.tokens.peek(1), "PluginEnabled") != 0;
}

void ScenePluginReader::readGravity(SceneObject* object) {
    SceneFileTokens& tokens = m_state.tokens;
    auto gravity = std::make_unique<FX_Gravity>(object);
    tokens.skip(3);
    gravity->m_type = tokens.readInt();
    gravity->m_radius.constant = tokens.readFloat32();
    gravity->m_strength.constant = tokens.readFloat32();
    gravity->m_falloff = tokens.readInt();
    gravity->m_kind = tokens.readInt();
    if (tokens.readString() != "g0") tokens.skip();
    gravity->m_direction.x = tokens.readFloat32();
    gravity->m_direction.y = tokens.readFloat32();
    gravity->m_direction.z = tokens.readFloat32();
    if (effectorKept() && object) m_state.scene.m_effectors.push_back(std::move(gravity));
}

void ScenePluginReader::readWind(SceneObject* object) {
    SceneFileTokens& tokens = m_state.tokens;
    auto wind = std::make_unique<FX_Wind>(object);
    tokens.skip(3);
    wind->m_mode = tokens.readInt();
    wind->m_radius.constant = tokens.readFloat32();
    wind->m_strength.constant = tokens.readFloat32();
    wind->m_falloff = tokens.readInt();
    wind->m_extraInts[0] = tokens.readInt();
    wind->m_extraInts[1] = tokens.readInt();
    tokens.skip();
    for (AnimatedValue& d : wind->m_direction) d.constant = tokens.readFloat32();
    tokens.skip(2);
    for (float& v : wind->m_extraVector) v = tokens.readFloat32();
    for (float& v : wind->m_extraFloats) v = tokens.readFloat32();
    tokens.skip();
    wind->m_extraScale = tokens.readFloat32();
    for (float& v : wind->m_extraFalloff) v = tokens.readFloat32();
    if (effectorKept() && object) m_state.scene.m_effectors.push_back(std::move(wind));
}

void ScenePluginReader::readCollision(SceneObject* object) {
    SceneFileTokens& tokens = m_state.tokens;
    auto collision = std::make_unique<FX_Collision>(object);
    tokens.skip(3);
    collision->m_type = tokens.readInt();
    collision->m_radius.constant = tokens.readFloat32();
    collision->m_elasticity.constant = tokens.readFloat32();
    collision->m_mode = tokens.readInt();
    collision->m_flag = tokens.readInt() == 1;
    for (float& v : collision->m_extraFloats) v = tokens.readFloat32();
    if (tokens.readString() != "collision") tokens.skip();
    collision->m_scatter = tokens.readFloat32();
    collision->m_extraFloat = tokens.readFloat32();
    tokens.skip(6);
    if (object) m_state.scene.m_effectors.push_back(std::move(collision));
}

void ScenePluginReader::readMaster() {
    SceneFileTokens& tokens = m_state.tokens;
    tokens.skip();
    std::string name = tokens.readString();
    if (name == "MotionMixer") {
        m_state.mixerPosition = tokens.position();
        tokens.skipBlock();
        return;
    }
    if (name != "MorvaneODEMaster") return;
    for (std::string key = tokens.readString(); key != "}" && !tokens.atEnd(); key = tokens.readString()) {
        if (key == "Gravity") {
            tokens.skip(3);
        } else if (key == "Solver") {
            tokens.skip();
        } else if (key == "{") {
            std::string block = tokens.readString();
            if (block == "Space") readSpace();
            else tokens.skipBlock();
        }
    }
}

void ScenePluginReader::readSpace() {
    SceneFileTokens& tokens = m_state.tokens;
    std::string name;
    int32_t type = 0;
    int32_t parent = 0;
    for (std::string key = tokens.readString(); key != "}" && !tokens.atEnd(); key = tokens.readString()) {
        if (key == "Name") name = tokens.readString();
        else if (key == "Type") type = tokens.readInt();
        else if (key == "Parent") parent = tokens.readInt();
    }
    std::vector<LW6Scene::Space>& spaces = m_state.scene.m_spaces;
    // Only the first space is the root; every later one nests in it. A list
    // without its root, or a second root, would leave spaces nobody destroys.
    bool isRoot = name == "(default)";
    if (isRoot != spaces.empty() || (type != 0 && type != 1) ||
        spaces.size() >= static_cast<size_t>(LW6Scene::POLICY_TABLE_SIZE)) {
        g_logStream << "Space " << name << " refused" << std::endl;
        return;
    }
    dSpaceID parentSpace = isRoot ? nullptr : spaces.front().space;
    dSpaceID space = type == 0 ? dSimpleSpaceCreate(parentSpace) : dHashSpaceCreate(parentSpace);
    dGeomSetData(reinterpret_cast<dGeomID>(space), reinterpret_cast<void*>(static_cast<intptr_t>(spaces.size())));
    LW6Scene::Space record;
    record.space = space;
    record.name = name;
    record.words[0] = type;
    record.words[1] = parent;
    spaces.push_back(record);
}

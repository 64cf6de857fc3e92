#include "tools/lightwave/LwsWriter.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

std::string lwsFloat(float v) {
    char text[32];
    for (int precision = 6; precision <= 9; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(v));
        if (std::strtof(text, nullptr) == v) break;
    }
    return text;
}

std::string lwsId(uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", id);
    return text;
}

uint32_t lwsObjectId(uint32_t object) { return 0x10000000u + object; }
uint32_t lwsLightId(uint32_t light) { return 0x20000000u + light; }
uint32_t lwsCameraId(uint32_t camera) { return 0x30000000u + camera; }
uint32_t lwsBoneId(uint32_t bone, uint32_t object) { return 0x40000000u + (bone << 16) + (object & 0xFFFF); }

std::string lwsString(const std::string& text) {
    if (!text.empty() && text.find_first_of(" \t") == std::string::npos) return text;
    return "\"" + text + "\"";
}

namespace {

std::string floats(const std::array<float, 3>& v) {
    return lwsFloat(v[0]) + " " + lwsFloat(v[1]) + " " + lwsFloat(v[2]);
}

std::string doubleBackslashes(const std::string& name) {
    std::string out;
    for (char c : name) {
        out.push_back(c);
        if (c == '\\') out.push_back(c);
    }
    return out;
}

bool hasEnvelope(const std::array<LwsValue, 3>& v) {
    return v[0].envelope || v[1].envelope || v[2].envelope;
}

LwsEnvelope constantEnvelope(float v) { return LwsEnvelope{{LwsKey{v}}, 1, 1}; }

} // namespace

LwsMotion lwsStillMotion(std::array<float, 3> position, std::array<float, 3> rotation, std::array<float, 3> scale) {
    LwsMotion m;
    for (int i = 0; i < 9; ++i) {
        float v = i < 3 ? position[i] : i < 6 ? rotation[i - 3] : scale[i - 6];
        m.channels.push_back({i, constantEnvelope(v)});
    }
    return m;
}

void LwsWriter::line(const std::string& text) { m_out << std::string(m_depth * 2, ' ') << text << "\n"; }

void LwsWriter::lines(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) line(text);
}

void LwsWriter::open(const std::string& blockName) {
    line("{ " + blockName);
    ++m_depth;
}

void LwsWriter::close() {
    --m_depth;
    line("}");
}

void LwsWriter::envelope(const LwsEnvelope& e) {
    open("Envelope");
    line(std::to_string(e.keys.size()));
    for (const LwsKey& k : e.keys) {
        std::string text = "Key " + lwsFloat(k.value) + " " + lwsFloat(k.time) + " " + std::to_string(k.curve);
        for (float p : k.parameters) text += " " + lwsFloat(p);
        line(text);
    }
    line("Behaviors " + std::to_string(e.pre) + " " + std::to_string(e.post));
    close();
}

void LwsWriter::value(const std::string& keyword, const LwsValue& v) {
    if (!v.envelope) {
        line(keyword + " " + lwsFloat(v.constant));
        return;
    }
    line(keyword + " (envelope)");
    envelope(*v.envelope);
}

void LwsWriter::colorValues(const std::string& keyword, const std::array<LwsValue, 3>& v) {
    if (!hasEnvelope(v)) {
        line(keyword + " " + lwsFloat(v[0].constant) + " " + lwsFloat(v[1].constant) + " " + lwsFloat(v[2].constant));
        return;
    }
    // Once the first is enveloped the loader reads all three as "(envelope)" blocks.
    for (size_t i = 0; i < 3; ++i) {
        line((i == 0 ? keyword + " " : std::string()) + "(envelope)");
        envelope(v[i].envelope ? *v[i].envelope : constantEnvelope(v[i].constant));
    }
}

void LwsWriter::motion(const std::string& keyword, const LwsMotion& m) {
    line(keyword);
    line("NumChannels " + std::to_string(m.channels.size()));
    for (const LwsChannel& c : m.channels) {
        line("Channel " + std::to_string(c.index));
        envelope(c.envelope);
    }
}

void LwsWriter::clip(const std::string& keyword, const LwsClip& c) {
    if (!keyword.empty()) line(keyword);
    open("Clip");
    // The loader drops one token after a still name and after a sequence.
    if (c.still) line("Still " + lwsString(*c.still) + " 0");
    if (c.sequence) {
        std::string text = "Sequence";
        for (int n : c.sequence->numbers) text += " " + std::to_string(n);
        line(text + " " + lwsString(c.sequence->prefix) + " " + lwsString(c.sequence->suffix) + " 0");
    }
    if (c.flags) line("Flags " + lwsId(*c.flags));
    if (c.times) {
        std::string text = "Times";
        for (float t : *c.times) text += " " + lwsFloat(t);
        line(text);
    }
    if (c.negative) line("Negative " + std::to_string(*c.negative));
    lines(c.extraLines);
    close();
}

void LwsWriter::item(const std::string& motionKeyword, const LwsItem& i, bool motionAlways) {
    if (i.motion)
        motion(motionKeyword, *i.motion);
    else if (motionAlways)
        motion(motionKeyword, lwsStillMotion({0.0f, 0.0f, 0.0f}));
    if (i.hController) line("HController " + std::to_string(*i.hController));
    if (i.pController) line("PController " + std::to_string(*i.pController));
    if (i.bController) line("BController " + std::to_string(*i.bController));
    if (i.pathAlignLookAhead) line("PathAlignLookAhead " + lwsFloat(*i.pathAlignLookAhead));
    if (i.goalObject) line("GoalObject " + lwsId(*i.goalObject));
    if (i.matchGoalOrientation) line("MatchGoalOrientation " + std::to_string(*i.matchGoalOrientation));
    if (i.rotationOrder)
        line("zdm_RotationOrder " + std::to_string((*i.rotationOrder)[0]) + " " + std::to_string((*i.rotationOrder)[1]) +
             " " + std::to_string((*i.rotationOrder)[2]));
    if (i.pivotPosition) line("PivotPosition " + floats(*i.pivotPosition));
    if (i.pivotRotation) line("PivotRotation " + floats(*i.pivotRotation));
    if (i.parentItem) line("ParentItem " + lwsId(*i.parentItem));
    if (i.targetItem) line("TargetItem " + lwsId(*i.targetItem));
    if (i.viewAxis) line("zdm_ViewAxis " + std::to_string(*i.viewAxis));
    lines(i.extraLines);
}

void LwsWriter::object(const LwsObject& o) {
    if (o.nullName)
        line("AddNullObject " + lwsString(*o.nullName));
    else
        line("LoadObjectLayer " + std::to_string(o.layer) + " " + o.fileName);
    item("ObjectMotion", o.item, false);
    if (o.unseenByCamera) line("UnseenByCamera");
    if (o.unseenByRays) line("UnseenByRays");
    if (o.bumpDisplacement) line("BumpDisplacement");
    if (o.material) line("zdm_ObjectMaterial " + lwsString(o.material->surface) + " " + floats(o.material->parameters));
    if (o.unaffectedByFog) line("UnaffectedByFog " + std::to_string(*o.unaffectedByFog));
    if (o.matteColor) line("MatteColor " + floats(*o.matteColor));
    if (o.shadowOptions) line("ShadowOptions " + std::to_string(*o.shadowOptions));
    for (uint32_t id : o.excludeLights) line("ExcludeLight " + lwsId(id));
    if (o.sound) line("// sound " + lwsString(*o.sound));
    objectPlugins(o);
    // Bones come last: after "AddBone" every item keyword names the bone.
    if (o.boneFalloffType) line("BoneFalloffType " + std::to_string(*o.boneFalloffType));
    for (const LwsBone& b : o.bones) bone(b);
    line("");
}

void LwsWriter::objectPlugins(const LwsObject& o) {
    if (!o.levelsOfDetail.empty()) {
        line("Plugin ObjReplacementHandler 1 ObjectList 1 " + std::to_string(o.levelsOfDetail.size()));
        for (const LwsLevelOfDetail& lod : o.levelsOfDetail)
            line(lwsFloat(lod.distance) + " " + lwsString(doubleBackslashes(lod.fileName)));
        line("EndPlugin");
    }
    if (o.displacementHandler) {
        line("Plugin DisplacementHandler 1 Displacement");
        line("EndPlugin");
    }
    // The physics handlers open their data with "{ ID", the two tokens the loader drops.
    if (o.body) {
        line("Plugin CustomObjHandler 1 MorvaneODEBody");
        open("BODY");
        line("MassType " + std::to_string(o.body->massType));
        line("Mass " + lwsFloat(o.body->mass));
        line("Scale " + floats(o.body->scale));
        if (o.body->autoDisable) line("AutoDisable " + std::to_string(*o.body->autoDisable));
        close();
        line("EndPlugin");
    }
    if (o.joint) {
        line("Plugin CustomObjHandler 1 MorvaneODEJoint");
        open("JOIN");
        line("Type " + std::to_string(o.joint->type));
        line("Body1 " + lwsId(o.joint->body1));
        line("Body2 " + lwsId(o.joint->body2));
        if (o.joint->springForce) line("SpringForce " + lwsFloat(*o.joint->springForce));
        if (o.joint->damperForce) line("DamperForce " + lwsFloat(*o.joint->damperForce));
        close();
        line("EndPlugin");
    }
    if (o.geom) {
        line("Plugin CustomObjHandler 1 MorvaneODEGeom");
        open("GEOM");
        line("Type " + std::to_string(o.geom->type));
        line("Surface " + std::to_string(o.geom->surface));
        line("Space " + std::to_string(o.geom->space));
        line("Scale " + floats(o.geom->scale));
        if (o.geom->transform) line("Transform " + lwsId(*o.geom->transform));
        close();
        line("EndPlugin");
    }
    if (o.marker) {
        line("Plugin CustomObjHandler 1 " + lwsString(*o.marker));
        line("EndPlugin");
    }
    if (o.emitter) emitter(*o.emitter);
    for (const LwsGravity& g : o.gravities) {
        line("Plugin CustomObjHandler 1 FX_Gravity");
        line("{ 1 Gravity");
        line(std::to_string(g.i2) + " " + lwsFloat(g.a1) + " " + lwsFloat(g.a2) + " " + std::to_string(g.i3) + " " +
             std::to_string(g.i1));
        line("g0 " + floats(g.vec1));
        line("}");
        endPlugin(g.enabled);
    }
    for (const LwsWind& w : o.winds) {
        line("Plugin CustomObjHandler 1 FX_Wind");
        line("{ 1 Wind");
        line(std::to_string(w.i1) + " " + lwsFloat(w.a1) + " " + lwsFloat(w.a2) + " " + std::to_string(w.i4) + " " +
             std::to_string(w.i2) + " " + std::to_string(w.i3));
        line("Turbulence " + lwsFloat(w.a3) + " " + lwsFloat(w.a4) + " " + lwsFloat(w.a5));
        line("Direction Vector " + floats(w.vec1));
        line(lwsFloat(w.s1) + " " + lwsFloat(w.s2));
        line("Falloff " + lwsFloat(w.s3) + " " + lwsFloat(w.vec2[0]) + " " + lwsFloat(w.vec2[1]));
        line("}");
        endPlugin(w.enabled);
    }
    for (const LwsCollision& c : o.collisions) {
        line("Plugin CustomObjHandler 1 FX_Collision");
        line("{ 1 Collision");
        line(std::to_string(c.i1) + " " + lwsFloat(c.a1) + " " + lwsFloat(c.a2) + " " + std::to_string(c.i2) + " " +
             (c.flag ? "1" : "0"));
        line(lwsFloat(c.s1) + " " + lwsFloat(c.s2));
        line("collision " + lwsFloat(c.s3) + " " + lwsFloat(c.s4));
        line("0 0 0 0 0 0");
        line("}");
        line("EndPlugin");
    }
}

void LwsWriter::endPlugin(bool enabled) {
    line("EndPlugin");
    if (!enabled) line("PluginEnabled 0");
}

void LwsWriter::emitter(const LwsEmitter& e) {
    // Sixty fixed positions; the ones the loader drops carry neutral values.
    const auto& a = e.a;
    line("Plugin CustomObjHandler 1 FX_Emitter");
    line("Emitter 1 Generator");
    line(floats(e.vec1));
    line("p0 0 0 0");
    line(std::to_string(e.particleCount) + " 0 Particle");
    line(lwsFloat(a[3]) + " " + lwsFloat(a[4]) + " " + lwsFloat(a[5]) + " " + lwsFloat(e.s2));
    line("0 0 Motion");
    line(floats(e.vec2));
    line("0 Life 0");
    line(lwsFloat(a[0]) + " " + lwsFloat(static_cast<float>(e.i1)) + " 0 " + lwsFloat(static_cast<float>(e.i2)));
    line(lwsFloat(a[1] * 30.0f) + " " + lwsFloat(a[2] * 30.0f) + " " + lwsFloat(a[6]) + " 0 " + std::to_string(e.i3));
    line("0 0 0 0 0 0 0 0 0");
    line("Render");
    line(lwsFloat(a[7]) + " " + lwsFloat(a[9]) + " " + lwsFloat(a[8]) + " " + lwsFloat(a[10]));
    line("0 0 0");
    line(lwsFloat(a[11]) + " " + lwsFloat(a[12]) + " 0 0");
    line(lwsFloat(e.s1) + " 0 0 0");
    for (const LwsVariantParameter& v : e.variants) {
        // The loader re-reads the "1" as the envelope marker and, for an envelope
        // of two or more keys, stops one token early: two tokens follow the block.
        line("VariantParameter 0 0 " + lwsString(v.keyword) + " " + lwsFloat(v.value) + " 1");
        envelope(v.envelope);
        line(v.envelope.keys.size() > 1 ? "End 0" : "End 0 0");
    }
    for (const auto& [key, text] : e.keys) line(key + " " + text);
    endPlugin(e.enabled);
}

void LwsWriter::bone(const LwsBone& b) {
    line("AddBone");
    line("BoneName " + lwsString(b.name));
    if (b.restPosition) line("BoneRestPosition " + floats(*b.restPosition));
    if (b.restDirection) line("BoneRestDirection " + floats(*b.restDirection));
    if (b.restLength) line("BoneRestLength " + lwsFloat(*b.restLength));
    if (b.scaleStrength) line("ScaleBoneStrength " + std::to_string(*b.scaleStrength));
    if (b.strength) line("BoneStrength " + lwsFloat(*b.strength));
    if (b.weightMapName) line("BoneWeightMapName " + lwsString(*b.weightMapName));
    if (b.limitedRange) line("BoneLimitedRange " + std::to_string(*b.limitedRange));
    if (b.minRange) line("BoneMinRange " + lwsFloat(*b.minRange));
    if (b.maxRange) line("BoneMaxRange " + lwsFloat(*b.maxRange));
    item("BoneMotion", b.item, false);
}

void LwsWriter::light(const LwsLight& l) {
    line("AddLight");
    line("LightName " + lwsString(l.name));
    item("LightMotion", l.item, false);
    if (l.color) colorValues("LightColor", *l.color);
    if (l.intensity) value("LightIntensity", *l.intensity);
    if (l.range) value("LightRange", *l.range);
    if (l.falloffType) line("LightFalloffType " + std::to_string(*l.falloffType));
    line("LightType " + std::to_string(l.type));
    if (l.quality) line("LightQuality " + std::to_string(*l.quality));
    if (l.coneAngle) value("LightConeAngle", *l.coneAngle);
    if (l.edgeAngle) value("LightEdgeAngle", *l.edgeAngle);
    if (l.affectDiffuse) line("AffectDiffuse " + std::to_string(*l.affectDiffuse));
    if (l.affectSpecular) line("AffectSpecular " + std::to_string(*l.affectSpecular));
    if (l.affectOpenGL) line("AffectOpenGL " + std::to_string(*l.affectOpenGL));
    if (l.projectorImage) clip("LightProjImage", *l.projectorImage);
    if (l.shadowType) line("ShadowType " + std::to_string(*l.shadowType));
    if (l.shadowMapSize) line("ShadowMapSize " + std::to_string(*l.shadowMapSize));
    if (l.shadowFuzziness) line("ShadowFuzziness " + lwsFloat(*l.shadowFuzziness));
    if (l.lensFlare) line("LensFlare " + std::to_string(*l.lensFlare));
    if (l.flareIntensity) value("FlareIntensity", *l.flareIntensity);
    if (l.lensFlareOptions) line("LensFlareOptions " + std::to_string(*l.lensFlareOptions));
    if (l.flareNominalDistance) line("FlareNominalDistance " + lwsFloat(*l.flareNominalDistance));
    if (l.lensFlareFade) line("LensFlareFade " + std::to_string(*l.lensFlareFade));
    if (l.flareRotationAngle) value("FlareRotationAngle", *l.flareRotationAngle);
    line("");
}

void LwsWriter::camera(const LwsCamera& c) {
    line("AddCamera");
    line("CameraName " + lwsString(c.name));
    item("CameraMotion", c.item, true);
    if (c.zoomFactor) value("ZoomFactor", *c.zoomFactor);
    if (c.eyeSeparation) line("EyeSeparation " + lwsFloat(*c.eyeSeparation));
    if (c.envMinDistance) line("zdm_EnvMinDistance " + lwsFloat(*c.envMinDistance));
    if (c.envMaxDistance) line("zdm_EnvMaxDistance " + lwsFloat(*c.envMaxDistance));
    line("");
}

void LwsWriter::odeMaster(const LwsOdeMaster& m) {
    // Master data has no opening brace: the loader reads keys up to the "}" at its level.
    line("Plugin MasterHandler 1 MorvaneODEMaster");
    ++m_depth;
    if (m.gravity) line("Gravity " + floats(*m.gravity));
    if (m.solver) line("Solver " + std::to_string(*m.solver));
    for (const std::string& name : m.surfaces) {
        open("Surface");
        line("Name " + lwsString(name));
        close();
    }
    for (const LwsSpace& s : m.spaces) {
        open("Space");
        line("Name " + lwsString(s.name));
        line("Type " + std::to_string(s.type));
        line("Parent " + std::to_string(s.parent));
        close();
    }
    close();
    line("EndPlugin");
    line("");
}

void LwsWriter::mixer(const LwsMixer& m) {
    line("Plugin MasterHandler 1 MotionMixer");
    ++m_depth;
    for (const LwsActor& actor : m.actors) {
        open("Actor");
        line("AddActor " + lwsString(actor.name));
        line("ActorState " + std::to_string(actor.state));
        line("ActorPoseFrame " + lwsFloat(actor.poseFrame));
        open("ActorItems");
        for (const auto& [name, id] : actor.items) {
            line("ItemName " + lwsString(name));
            line("ItemAdd " + lwsId(id));
            line("ItemLock 0");
        }
        close();
        close();
        open("ActorMotions");
        for (const LwsActorMotion& motion : actor.motions) {
            open("AddMotion");
            line("MotionActor " + lwsString(actor.name));
            line("MotionName " + lwsString(motion.name));
            line("MotionRange " + lwsFloat(motion.range[0]) + " " + lwsFloat(motion.range[1]));
            line("MotionFrames");
            line("NumberOfItems " + std::to_string(motion.items.size()));
            for (const LwsActorMotionItem& it : motion.items) {
                open("Item");
                line("ItemName " + lwsString(it.name));
                line("ItemState " + std::to_string(it.state));
                line("ItemChannels");
                for (const LwsActorChannel& channel : it.channels) {
                    open("Channel");
                    line("ChannelName " + lwsString(channel.name));
                    line("ChannelType " + std::to_string(channel.type));
                    line("ChannelState " + std::to_string(channel.state));
                    envelope(channel.envelope);
                    close();
                }
                close();
            }
            close();
        }
        close();
    }
    if (!m.trackMotions.empty()) {
        open("ActorTracks");
        for (const std::string& name : m.trackMotions) {
            open("AddTrack");
            line("TrackState 1");
            open("TrackMotions");
            open("AddTrackMotion");
            line("TrackMotionName " + lwsString(name));
            line("TrackMotionState 1");
            line("TrackMotionInOut 0 0");
            line("TrackMotionStartFrame 0");
            line("TrackMotionEndFrame 30");
            line("TrackMotionScale 1");
            line("TrackMotionOffset 0");
            line("TrackMotionOffsetType 0");
            close();
            close();
            close();
        }
        open("TrackTransitions");
        close();
        close();
    }
    if (m.prefs) {
        open("Prefs");
        line(std::to_string(*m.prefs));
        close();
    }
    close();
    line("EndPlugin");
    line("");
}

void LwsWriter::hyperValue(const std::string& keyword, const LwsValue& v) {
    if (!v.envelope) {
        line(keyword + " " + lwsFloat(v.constant) + " 0");
        return;
    }
    // Marker 1, the channel, and the token the loader steps over after it.
    line(keyword + " " + lwsFloat(v.constant) + " 1");
    envelope(*v.envelope);
    line("0");
}

void LwsWriter::hyperTexture(const LwsHyperTexture& t) {
    open("TextureBlock");
    line("Texture " + t.kind);
    open("TextureMap");
    line("Center " + floats(t.center) + " 0");
    line("Size " + floats(t.size) + " 0");
    line("Rotation " + floats(t.rotation) + " 0");
    line("RefObject (none)");
    // A keyword with a value and a block the loader skips is one "{ Keyword" block.
    open("Coordinates");
    line("0");
    close();
    close();
    line("Projection " + std::to_string(t.projection));
    line("Axis " + std::to_string(t.axis));
    if (t.image) {
        LwsClip image;
        image.still = *t.image;
        clip("Image", image);
    }
    line("WrapOptions " + std::to_string(t.wrap[0]) + " " + std::to_string(t.wrap[1]));
    line("WidthWrap " + lwsFloat(t.widthWrap) + " 0");
    line("HeightWrap " + lwsFloat(t.heightWrap) + " 0");
    if (t.antialiasing) line("AntiAliasing 1 " + lwsFloat(*t.antialiasing));
    line("PixelBlending " + std::to_string(t.pixelBlending));
    open("TextureValue");
    line("0");
    close();
    line("Channel " + std::to_string(t.channel));
    if (t.opacity.envelope) {
        line("Opacity " + std::to_string(t.opacityType) + " " + lwsFloat(t.opacity.constant) + " 1");
        envelope(*t.opacity.envelope);
    } else {
        line("Opacity " + std::to_string(t.opacityType) + " " + lwsFloat(t.opacity.constant) + " 0");
    }
    line("Enable " + std::to_string(t.enable));
    line("Negative " + std::to_string(t.negative));
    close();
}

void LwsWriter::hyperVoxel(const LwsHyperVoxel& h) {
    line("Plugin VolumetricHandler 1 HyperVoxelsFilter");
    open("HyperVoxelData");
    line("HVFlags 0 0 0 0");
    open("HVObject");
    line("HVFlags " + lwsString(h.objectName) + " 1 0 0 " + std::to_string(h.type) + " 0 0 0");
    close();
    open("HVChannels");
    const std::pair<const char*, const std::optional<LwsValue>*> values[] = {
        {"Dissolve", &h.dissolve},         {"ParticleSize", &h.particleSize}, {"SizeVariation", &h.sizeVariation},
        {"VLuminosity", &h.luminosity},    {"VOpacity", &h.opacity},          {"VDensity", &h.density},
        {"NearClip", &h.nearClip},         {"StretchAmount", &h.stretchAmount},
        {"TextureAmplitude", &h.textureAmplitude}};
    for (const auto& [keyword, v] : values)
        if (*v) hyperValue(keyword, **v);
    if (h.color) {
        const auto& c = *h.color;
        bool animated = hasEnvelope(c);
        line("VColor " + lwsFloat(c[0].constant) + " " + lwsFloat(c[1].constant) + " " + lwsFloat(c[2].constant) +
             (animated ? " 3" : " 0"));
        if (animated) {
            for (const LwsValue& v : c) envelope(v.envelope ? *v.envelope : constantEnvelope(v.constant));
            line("0");
        }
    }
    const std::pair<const char*, const std::optional<int>*> ints[] = {{"BlendingMode", &h.blendingMode},
                                                                       {"BlendingGroup", &h.blendingGroup},
                                                                       {"StretchDirection", &h.stretchDirection},
                                                                       {"Slices", &h.slices}};
    for (const auto& [keyword, v] : ints)
        if (*v) line(std::string(keyword) + " " + std::to_string(**v));
    const std::pair<const char*, const std::optional<std::string>*> flags[] = {
        {"UseAllLights", &h.useAllLights}, {"AlignToPath", &h.alignToPath}, {"MaintainVolume", &h.maintainVolume}};
    for (const auto& [keyword, v] : flags)
        if (*v) line(std::string(keyword) + " " + lwsString(**v));
    lines(h.channelLines);
    close();
    if (!h.textures.empty()) {
        open("HVTextures");
        for (const LwsHyperTexture& t : h.textures) hyperTexture(t);
        close();
    }
    if (h.blendingGroups) line("HVBlendingGroups " + std::to_string(*h.blendingGroups) + " (none)");
    if (h.clip) {
        open("HVClip");
        line("0 0 0 0 0");
        clip("", *h.clip);
        close();
    }
    close();
    line("EndPlugin");
    line("");
}

std::string LwsWriter::write(const LwsScene& scene) {
    m_out.str("");
    m_depth = 0;
    line(scene.magic);
    line(std::to_string(scene.version));
    line("");
    if (scene.firstFrame) line("FirstFrame " + std::to_string(*scene.firstFrame));
    if (scene.lastFrame) line("LastFrame " + std::to_string(*scene.lastFrame));
    if (scene.previewFirstFrame) line("PreviewFirstFrame " + std::to_string(*scene.previewFirstFrame));
    if (scene.previewLastFrame) line("PreviewLastFrame " + std::to_string(*scene.previewLastFrame));
    if (scene.framesPerSecond) line("FramesPerSecond " + lwsFloat(*scene.framesPerSecond));
    line("");
    if (scene.odeMaster) odeMaster(*scene.odeMaster);
    if (scene.mixer) mixer(*scene.mixer);
    lines(scene.headerLines);
    for (const LwsObject& o : scene.objects) object(o);
    if (scene.ambientColor) colorValues("AmbientColor", *scene.ambientColor);
    if (scene.ambientIntensity) value("AmbientIntensity", *scene.ambientIntensity);
    if (scene.globalLightIntensity) value("GlobalLightIntensity", *scene.globalLightIntensity);
    if (scene.globalFlareIntensity) value("GlobalFlareIntensity", *scene.globalFlareIntensity);
    line("");
    for (const LwsLight& l : scene.lights) light(l);
    for (const LwsCamera& c : scene.cameras) camera(c);
    if (scene.backdropColor) line("BackdropColor " + floats(*scene.backdropColor));
    if (scene.backgroundImage) clip("BGImage", *scene.backgroundImage);
    if (scene.fogType) line("FogType " + std::to_string(*scene.fogType));
    if (scene.fogMinDistance) line("FogMinDistance " + lwsFloat(*scene.fogMinDistance));
    if (scene.fogMaxDistance) line("FogMaxDistance " + lwsFloat(*scene.fogMaxDistance));
    if (scene.fogColor) line("FogColor " + floats(*scene.fogColor));
    if (scene.backdropFog) line("BackdropFog " + std::to_string(*scene.backdropFog));
    if (scene.backdropWithoutFog) line("zdm_BackdropWithoutFog " + std::to_string(*scene.backdropWithoutFog));
    if (scene.gridNumber) line("GridNumber " + std::to_string(*scene.gridNumber));
    if (scene.gridSize) line("GridSize " + lwsFloat(*scene.gridSize));
    line("");
    for (const LwsHyperVoxel& h : scene.hyperVoxels) hyperVoxel(h);
    lines(scene.extraLines);
    return m_out.str();
}

bool LwsWriter::save(const LwsScene& scene, const std::string& path, std::string& error) {
    std::string text = write(scene);
    std::ofstream out(path, std::ios::binary);
    if (out) out << text;
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

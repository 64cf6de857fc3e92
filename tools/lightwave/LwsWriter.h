#pragma once
#include <sstream>
#include <string>

#include "tools/lightwave/LwsScene.h"

// Turns an LwsScene into scene-file text, in the order the loader needs:
// objects, then lights, then cameras, each item's keywords after its item line.
class LwsWriter {
public:
    std::string write(const LwsScene& scene);
    bool save(const LwsScene& scene, const std::string& path, std::string& error);

private:
    void line(const std::string& text);
    void lines(const std::vector<std::string>& texts);
    void envelope(const LwsEnvelope& e);
    void value(const std::string& keyword, const LwsValue& v);
    void colorValues(const std::string& keyword, const std::array<LwsValue, 3>& v);
    void motion(const std::string& keyword, const LwsMotion& m);
    void clip(const std::string& keyword, const LwsClip& c);
    void item(const std::string& motionKeyword, const LwsItem& i, bool motionAlways);
    void object(const LwsObject& o);
    void objectPlugins(const LwsObject& o);
    void bone(const LwsBone& b);
    void light(const LwsLight& l);
    void camera(const LwsCamera& c);
    void odeMaster(const LwsOdeMaster& m);
    void mixer(const LwsMixer& m);
    void emitter(const LwsEmitter& e);
    void endPlugin(bool enabled);
    void hyperVoxel(const LwsHyperVoxel& h);
    void hyperValue(const std::string& keyword, const LwsValue& v);
    void hyperTexture(const LwsHyperTexture& t);
    void open(const std::string& blockName);
    void close();

    std::ostringstream m_out;
    int m_depth = 0;
};

// Number and id forms of the file: shortest float that reads back the same,
// ids as eight hexadecimal digits, strings quoted when they hold blanks.
std::string lwsFloat(float v);
std::string lwsId(uint32_t id);
std::string lwsString(const std::string& text);

// LightWave item ids of this file's items, counted from 0.
uint32_t lwsObjectId(uint32_t object);
uint32_t lwsLightId(uint32_t light);
uint32_t lwsCameraId(uint32_t camera);
uint32_t lwsBoneId(uint32_t bone, uint32_t object);

#include "game/race/ComputerRiders.h"

#include <algorithm>

#include <ode/collision.h>

#include "engine/platform/Random.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "game/race/Race.h"
#include "game/race/RaceAssets.h"
#include "game/records/Config.h"
#include "game/records/TextTable.h"

namespace {

// Up to 30 bytes of the text, never cutting a character in two.
void copyName(char (&name)[Config::NAME_SIZE], const char* bytes) {
    size_t length = 0;
    for (size_t next = 0; bytes[next] != '\0';) {
        size_t end = next + 1;
        while ((static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) ++end;
        if (end > Config::NAME_SIZE - 1) break;
        length = next = end;
    }
    std::copy(bytes, bytes + length, name);
    std::fill(name + length, name + Config::NAME_SIZE, '\0');
}

int32_t firstFree(const bool (&taken)[RaceAssets::MODELS]) {
    for (int32_t model = 0; model < RaceAssets::MODELS; ++model)
        if (!taken[model]) return model;
    return 0;
}

} // namespace

void ComputerRiders::fill(Config& config, int32_t riders, const TextTable& texts) {
    bool taken[RaceAssets::MODELS] = {};
    for (int32_t i = 0; i < riders; ++i) {
        const Config::Player& rider = config.m_player[i].get();
        if (rider.colour != -1 && rider.model >= 0 && rider.model < RaceAssets::MODELS) taken[rider.model] = true;
    }
    for (int32_t i = 0; i < riders; ++i) {
        if (config.m_player[i].get().model != -1) continue;
        int32_t model = 0, colour = 0;
        int32_t draws = 0;
        do {
            model = Random::next() % RaceAssets::MODELS;
            colour = Random::next() % RaceAssets::COLOURS;
        } while (taken[model] && ++draws < MAX_DRAWS);
        if (taken[model]) model = firstFree(taken);
        taken[model] = true;
        Config::Player& rider = *config.m_player[i].modify();
        rider.model = model;
        rider.colour = colour;
        config.m_playerKind[i] = Race::COMPUTER;
    }
    for (int32_t i = 0; i < Config::RIDERS; ++i) {
        if (config.m_playerKind[i] != Race::COMPUTER) continue;
        NetValue<Config::Player>& record = config.m_player[i];
        record.setFlags(NetValueBase::FLAG_SEND);
        Config::Player& rider = *record.modify();
        const CEGUI::String& text = texts.getText(RaceAssets::nameText(rider.model));
        copyName(rider.name, rider.model == -1 ? "--" : reinterpret_cast<const char*>(text.c_str()));
    }
}

bool ComputerRiders::fileBody(SceneObject* body, LW6Scene& scene) {
    auto* node = dynamic_cast<ODEGeomObject*>(body);
    dSpaceID to = scene.getSpace(SPACE);
    if (!node || !node->m_geom || !to) return false;
    dGeomID filed = node->m_geomTransform ? node->m_geomTransform : node->m_geom;
    if (dSpaceID from = dGeomGetSpace(filed)) dSpaceRemove(from, filed);
    dSpaceAdd(to, filed);
    node->m_spaceIndex = SPACE;
    return true;
}

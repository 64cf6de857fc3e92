#include "engine/scene/loaders/SceneMixerReader.h"

#include <memory>

#include "engine/platform/animation/Envelope.h"
#include "engine/platform/animation/MotionMixer.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneItem.h"
#include "engine/scene/loaders/SceneEnvelopeReader.h"
#include "engine/scene/loaders/SceneFileState.h"
#include "engine/scene/loaders/SceneFileTokens.h"

namespace {

const char* const CHANNEL_NAMES[SceneItem::CHANNEL_COUNT] = {"Position.X", "Position.Y", "Position.Z",
                                                             "Rotation.H", "Rotation.P", "Rotation.B",
                                                             "Scale.X",    "Scale.Y",    "Scale.Z"};

// "Rider.Position.X" names the channel "Position.X".
std::string channelName(const std::string& name) {
    if (name.size() <= 2) return name;
    size_t dot = name.find_last_of('.', name.size() - 3);
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

int channelIndex(const std::string& name) {
    for (int i = 0; i < SceneItem::CHANNEL_COUNT; ++i)
        if (name == CHANNEL_NAMES[i]) return i;
    return -1;
}

} // namespace

void SceneMixerReader::readActors() {
    m_state.tokens.readBlock([this](const std::string& key, bool opened) {
        if (key == "Actor") readActor();
        else if (key == "ActorMotions") readMotions();
        // Track weights and offsets come from the race at run time: the
        // file's own tracks and preferences are stepped over.
        else if ((key == "ActorTracks" || key == "Prefs") && opened) m_state.tokens.skipBlock();
        else return false;
        return true;
    });
}

void SceneMixerReader::readActor() {
    SceneFileTokens& tokens = m_state.tokens;
    tokens.readBlock([this, &tokens](const std::string& key, bool) {
        if (key == "AddActor") {
            m_state.scene.m_actors.push_back(std::make_unique<Actor>(tokens.readString()));
            m_actor = m_state.scene.m_actors.back().get();
        } else if (key == "ActorState" || key == "ActorPoseFrame") {
            tokens.skip();
        } else if (key == "ActorItems") {
            readActorItems();
        } else {
            return false;
        }
        return true;
    });
}

void SceneMixerReader::readActorItems() {
    SceneFileTokens& tokens = m_state.tokens;
    std::string pending;
    tokens.readBlock([this, &tokens, &pending](const std::string& key, bool) {
        if (key == "ItemName") {
            pending = tokens.readString();
        } else if (key == "ItemAdd") {
            SceneItem* item = m_state.itemById(tokens.readHex());
            if (item && m_actor) m_actor->addChannel(pending, item);
        } else if (key == "ItemLock") {
            tokens.skip();
        } else {
            return false;
        }
        return true;
    });
}

void SceneMixerReader::readMotions() {
    m_state.tokens.readBlock([this](const std::string& key, bool) {
        if (key != "AddMotion") return false;
        readMotion();
        return true;
    });
}

void SceneMixerReader::readMotion() {
    SceneFileTokens& tokens = m_state.tokens;
    m_state.scene.m_actorTracks.push_back(std::make_unique<ActorTrack>());
    m_track = m_state.scene.m_actorTracks.back().get();
    if (m_actor) m_actor->m_tracks.push_back(m_track);
    tokens.readBlock([this, &tokens](const std::string& key, bool) {
        if (key == "MotionName") m_track->m_name = tokens.readString();
        else if (key == "MotionActor" || key == "NumberOfItems") tokens.skip();
        else if (key == "MotionRange") tokens.skip(2);
        else if (key == "Item") readMotionItem();
        else return key == "MotionFrames";
        return true;
    });
}

void SceneMixerReader::readMotionItem() {
    SceneFileTokens& tokens = m_state.tokens;
    m_item = nullptr;
    tokens.readBlock([this, &tokens](const std::string& key, bool) {
        if (key == "ItemName") {
            std::string name = tokens.readString();
            m_item = m_actor ? m_actor->findChannel(name) : nullptr;
        } else if (key == "ItemState") {
            tokens.skip();
        } else if (key == "Channel") {
            readChannel();
        } else {
            return key == "ItemChannels";
        }
        return true;
    });
}

void SceneMixerReader::readChannel() {
    SceneFileTokens& tokens = m_state.tokens;
    std::string name;
    std::unique_ptr<Envelope> envelope;
    tokens.readBlock([&](const std::string& key, bool opened) {
        if (key == "ChannelName") {
            name = channelName(tokens.readString());
        } else if (key == "ChannelType" || key == "ChannelState") {
            tokens.skip();
        } else if (key == "Envelope") {
            tokens.skip(opened ? -2 : -1);
            envelope.reset(SceneEnvelopeReader(tokens).readEnvelope(false));
            tokens.skip();
        } else {
            return false;
        }
        return true;
    });
    int index = channelIndex(name);
    // A motion of an item the actor does not have, or of a channel no item has, is dropped.
    if (!envelope || !m_item || !m_track || index < 0) return;
    AnimatedValue& value = m_item->m_channels[index];
    value.makeMotionMixer();
    MotionMixer* mixer = value.channel->asMotionMixer();
    mixer->addChannel(std::move(envelope));
    m_track->addMotionMixerEntry(mixer, static_cast<int>(mixer->getChannelCount()) - 1);
}

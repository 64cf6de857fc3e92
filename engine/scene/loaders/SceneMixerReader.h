#pragma once
#include <string>

class Actor;
class ActorTrack;
struct SceneFileState;
class SceneItem;

// The motion-mixer block: actors with their items, and each extra motion as
// an actor track whose envelopes join the items' channel mixers at weight 0.
class SceneMixerReader {
public:
    explicit SceneMixerReader(SceneFileState& state) : m_state(state) {}

    // At the token after the mixer's name.
    void readActors();

private:
    void readActor();
    void readActorItems();
    void readMotions();
    void readMotion();
    void readMotionItem();
    void readChannel();

    SceneFileState& m_state;
    Actor* m_actor = nullptr;
    ActorTrack* m_track = nullptr;
    SceneItem* m_item = nullptr;
};

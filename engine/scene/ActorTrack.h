#pragma once
#include <string>
#include <utility>
#include <vector>

class MotionMixer;

// One extra motion of an actor: the mixer members it added, one per channel
// envelope, so the race can weigh and shift the whole motion at once.
class ActorTrack {
public:
    explicit ActorTrack(const std::string& name = std::string()) : m_name(name) {}

    void addMotionMixerEntry(MotionMixer* mixer, int member) { m_entries.emplace_back(mixer, member); }
    void setIntensity(float weight);
    void setOffset(float offset);
    void setSpeed(float speed);

    std::string m_name;
    // Not owned: the mixers belong to the items' channels.
    std::vector<std::pair<MotionMixer*, int>> m_entries;
};

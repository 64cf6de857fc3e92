#pragma once
#include <string>
#include <utility>
#include <vector>

class ActorTrack;
class SceneItem;

// A named group of scene items of the motion mixer and the tracks of its
// extra motions. Items and tracks belong to the scene.
class Actor {
public:
    explicit Actor(const std::string& name) : m_name(name) {}

    void addChannel(const std::string& name, SceneItem* item) { m_items.emplace_back(name, item); }
    // The first item recorded under the name, or null.
    SceneItem* findChannel(const std::string& name) const;

    std::string m_name;
    std::vector<std::pair<std::string, SceneItem*>> m_items;
    std::vector<ActorTrack*> m_tracks;
};

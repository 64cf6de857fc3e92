#include "engine/scene/Actor.h"

SceneItem* Actor::findChannel(const std::string& name) const {
    for (const auto& [itemName, item] : m_items)
        if (itemName == name) return item;
    return nullptr;
}

#pragma once
#include <string>

#include "engine/platform/RefCounted.h"

// A named per-point map of an object layer (UV, colour, morph, weight),
// shared by the texture layers and meshes that hold a reference to it.
class VertexMap : public RefCounted {
public:
    explicit VertexMap(const std::string& name) : m_name(name) {}

    std::string m_name;
};

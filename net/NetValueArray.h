#pragma once
#include <array>
#include <cstddef>
#include <memory>

#include "net/NetValue.h"

// A fixed row of replicated values on one network client, element j at nid
// base + j, each under the row's name.
template <typename T, size_t N>
class NetValueArray {
public:
    explicit NetValueArray(NetControl& client) {
        for (auto& value : m_values) value = std::make_unique<NetValue<T>>(client);
    }

    void init(int32_t nidBase, const T& initial, const std::string& name) {
        for (size_t j = 0; j < N; ++j) {
            m_values[j]->init(nidBase + static_cast<int32_t>(j), initial);
            m_values[j]->setName(name);
        }
    }
    void setFlags(uint32_t flags) {
        for (auto& value : m_values) value->setFlags(flags);
    }
    NetValue<T>& operator[](size_t j) { return *m_values[j]; }
    const NetValue<T>& operator[](size_t j) const { return *m_values[j]; }
    static constexpr size_t size() { return N; }

private:
    std::array<std::unique_ptr<NetValue<T>>, N> m_values;
};

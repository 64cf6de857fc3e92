#pragma once
#include <cstdint>
#include <vector>

class Renderer;

// Named 32-bit values that the drawing code writes and the shaders read by
// name; the names are the shader parameter names.
class ShaderValueSet {
public:
    struct Record {
        const char* name;
        uint32_t count;
        std::vector<uint32_t> storage; // zero-filled at construction
    };

    explicit ShaderValueSet(Renderer* owner) : m_owner(owner) {}
    ShaderValueSet(const ShaderValueSet&) = delete;
    ShaderValueSet& operator=(const ShaderValueSet&) = delete;
    virtual ~ShaderValueSet() = default;

    const std::vector<Record>& records() const { return m_records; }
    const Record* find(const char* name) const;
    // Frees every record; the value pointers are not to be used afterwards.
    void clear();
    Renderer* getOwner() const { return m_owner; }

protected:
    // Appends a record; its storage never moves while the set lives.
    uint32_t* add(const char* name, uint32_t count);

private:
    std::vector<Record> m_records;
    Renderer* m_owner;
};

#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sys {

// Stand-in for a named shared memory block: a file of that name in the
// user's runtime folder, mapped into every copy that opens it. The first
// opener holds an exclusive lock on it, which dies with its process, so a
// crashed copy never keeps the next one out.
class InstanceBlock {
public:
    // Null, with the reason in `error`, when the folder, the file or the mapping cannot be had.
    static std::unique_ptr<InstanceBlock> open(const char* name, size_t size, std::string& error);
    // PLIMZOR_INSTANCE_DIR (made when missing), else $XDG_RUNTIME_DIR, else /tmp/plimzor2-<uid>.
    static std::string folder();
    // The folder PLIMZOR_INSTANCE_DIR asks for; empty when it asks for none.
    static std::string namedFolder();
    // The id an owner leaves for the others: the process id.
    static uint32_t currentId();

    ~InstanceBlock();
    InstanceBlock(const InstanceBlock&) = delete;
    InstanceBlock& operator=(const InstanceBlock&) = delete;

    // This opener holds the lock: no other copy had the block open.
    bool owner() const { return m_owner; }
    uint8_t* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    InstanceBlock(int file, uint8_t* data, size_t size, bool owner)
        : m_file(file), m_data(data), m_size(size), m_owner(owner) {}
    int m_file;
    uint8_t* m_data;
    size_t m_size;
    bool m_owner;
};

} // namespace sys

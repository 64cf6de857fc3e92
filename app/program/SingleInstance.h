#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace sys {
class InstanceBlock;
}

// Only one copy of the game runs. The first copy holds the shared block
// named by the game's id and leaves its id in it; a later copy leaves its
// command line there for the first one and ends before it makes anything.
class SingleInstance {
public:
    static constexpr const char* NAME = "{9C412CD6-3A6C-436b-B7DC-567B8D9E08C7}";
    static constexpr uint32_t BLOCK_SIZE = 2052;
    static constexpr uint32_t COMMAND_LINE_SIZE = 2048;

    SingleInstance();
    // Lets go of the block (a first copy's lock goes with it).
    ~SingleInstance();

    // Fills the record and the message id; the caller tests `refusal`, then
    // `first`. A copy that cannot map the block in the folder
    // PLIMZOR_INSTANCE_DIR names is refused; in the user's own folder it runs
    // unguarded as a first copy, logged.
    static void check(const char* name, SingleInstance& record, uint32_t& messageId, const std::string& commandLine);

    bool first = false;
    // Why this copy must not start; empty when it may.
    std::string refusal;
    std::unique_ptr<sys::InstanceBlock> view;
};

#include "app/program/SingleInstance.h"

#include <algorithm>
#include <cstring>

#include "engine/platform/Report.h"
#include "sys/instance/InstanceBlock.h"
#include "sys/window/Window.h"

static_assert(SingleInstance::BLOCK_SIZE == 4 + SingleInstance::COMMAND_LINE_SIZE);

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() = default;

void SingleInstance::check(const char* name, SingleInstance& record, uint32_t& messageId,
                           const std::string& commandLine) {
    messageId = sys::registerWindowMessage(name);
    std::string error;
    record.view = sys::InstanceBlock::open(name, BLOCK_SIZE, error);
    // Copies told to share a folder would run side by side on one home without it.
    if (!record.view && !sys::InstanceBlock::namedFolder().empty()) {
        record.refusal = "PLIMZOR_INSTANCE_DIR names no folder that keeps a second copy out: " + error;
        return;
    }
    // Without the block there is no telling who came first: better two copies than none.
    if (!record.view) {
        record.first = true;
        g_logStream << "single instance block unavailable, running unguarded" << std::endl;
        return;
    }
    record.first = record.view->owner();
    uint8_t* block = record.view->data();
    char* line = reinterpret_cast<char*>(block + 4);
    if (record.first) {
        uint32_t id = sys::InstanceBlock::currentId();
        for (int i = 0; i < 4; ++i) block[i] = uint8_t(id >> (8 * i));
        line[0] = '\0';
        return;
    }
    // The block is the whole hand-over: the first copy does nothing with it
    // beyond keeping it, so no message needs to cross to its process.
    size_t length = std::min(commandLine.size(), size_t(COMMAND_LINE_SIZE - 1));
    std::memcpy(line, commandLine.data(), length);
    line[length] = '\0';
}

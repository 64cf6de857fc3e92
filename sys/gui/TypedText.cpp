#include "sys/gui/TypedText.h"

#include <SDL.h>

#include <cstring>
#include <deque>

#include "sys/input/KeyCodes.h"
#include "sys/text/Utf8.h"
#include "sys/window/Window.h"

namespace sys {

namespace {

std::deque<TypedText::Entry>& queue() {
    static std::deque<TypedText::Entry> entries;
    return entries;
}

// SDL sends the key before the text it makes.
bool g_lastKeyOnKeypad = false;

bool isKeypad(SDL_Scancode code) {
    return (code >= SDL_SCANCODE_KP_DIVIDE && code <= SDL_SCANCODE_KP_PERIOD) || code == SDL_SCANCODE_KP_EQUALS ||
           (code >= SDL_SCANCODE_KP_00 && code <= SDL_SCANCODE_KP_HEXADECIMAL);
}

void tap(const void* sdlEvent) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
    if (event.type == SDL_KEYDOWN) {
        g_lastKeyOnKeypad = isKeypad(event.key.keysym.scancode);
        const uint8_t key = input::keyCodeFromScancode(event.key.keysym.scancode);
        if (key) TypedText::push(TypedText::Entry::press(key, (event.key.keysym.mod & KMOD_SHIFT) != 0));
        return;
    }
    if (event.type != SDL_TEXTINPUT) return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(event.text.text);
    const void* end = std::memchr(event.text.text, 0, SDL_TEXTINPUTEVENT_TEXT_SIZE);
    size_t size = end ? size_t(static_cast<const char*>(end) - event.text.text) : SDL_TEXTINPUTEVENT_TEXT_SIZE;
    for (size_t i = 0; i < size;) {
        size_t used = 1;
        uint32_t code = decodeUtf8(p + i, size - i, used);
        if (code) TypedText::push(TypedText::Entry::character(code, g_lastKeyOnKeypad));
        i += used;
    }
}

} // namespace

void TypedText::start() {
    addEventTap(&tap);
    SDL_StartTextInput();
}

void TypedText::stop() {
    removeEventTap(&tap);
    clear();
}

bool TypedText::pop(Entry& entry) {
    if (queue().empty()) return false;
    entry = queue().front();
    queue().pop_front();
    return true;
}

void TypedText::push(const Entry& entry) {
    if (queue().size() >= CAPACITY) queue().pop_front();
    queue().push_back(entry);
}

void TypedText::clear() { queue().clear(); }

} // namespace sys

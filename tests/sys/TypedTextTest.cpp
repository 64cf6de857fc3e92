#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

#include "sys/gui/TypedText.h"
#include "sys/window/Window.h"

namespace {

void pushText(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    SDL_PushEvent(&e);
}

// A key going down; a repeat is a held key's.
void pushKey(SDL_Scancode code, SDL_Keymod mod = KMOD_NONE, bool repeat = false) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = code;
    e.key.keysym.mod = uint16_t(mod);
    e.key.repeat = repeat;
    SDL_PushEvent(&e);
}

class TypedTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys::pumpMessages();
        sys::TypedText::start();
    }
    void TearDown() override { sys::TypedText::stop(); }
};

} // namespace

TEST_F(TypedTextTest, KeysAndTextInputComeInTheirOrderTheCharactersMarkedByTheKeyThatMadeThem) {
    pushKey(SDL_SCANCODE_A);
    pushText("\xD0\x96x\xE2\x82\xAC");
    pushKey(SDL_SCANCODE_KP_7, KMOD_LSHIFT);
    pushText("7");
    pushKey(SDL_SCANCODE_BACKSPACE, KMOD_NONE, true);
    sys::pumpMessages();
    using Entry = sys::TypedText::Entry;
    const Entry expected[] = {Entry::press(0x1E),        Entry::character(0x416), Entry::character('x'),
                              Entry::character(0x20AC),  Entry::press(0x47, true), Entry::character('7', true),
                              Entry::press(0x0E)};
    for (const Entry& wanted : expected) {
        Entry entry{};
        ASSERT_TRUE(sys::TypedText::pop(entry));
        EXPECT_EQ(entry.codePoint, wanted.codePoint);
        EXPECT_EQ(entry.fromKeypad, wanted.fromKeypad);
        EXPECT_EQ(entry.key, wanted.key);
        EXPECT_EQ(entry.shifted, wanted.shifted);
    }
    Entry none{};
    EXPECT_FALSE(sys::TypedText::pop(none));
}

TEST_F(TypedTextTest, BrokenSequencesAreSkippedAndAFullQueueDropsTheOldest) {
    pushText("\xD0" "a\xFF" "b");
    sys::pumpMessages();
    sys::TypedText::Entry entry{};
    ASSERT_TRUE(sys::TypedText::pop(entry));
    EXPECT_EQ(entry.codePoint, uint32_t('a'));
    ASSERT_TRUE(sys::TypedText::pop(entry));
    EXPECT_EQ(entry.codePoint, uint32_t('b'));

    for (uint32_t i = 0; i < sys::TypedText::CAPACITY + 5; ++i) sys::TypedText::push(sys::TypedText::Entry::character(0x100 + i));
    ASSERT_TRUE(sys::TypedText::pop(entry));
    EXPECT_EQ(entry.codePoint, 0x105u);
}

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

void pushKey(SDL_Scancode code) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = code;
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

TEST_F(TypedTextTest, TextInputBecomesCodePointsMarkedByTheKeyThatMadeThem) {
    pushKey(SDL_SCANCODE_A);
    pushText("\xD0\x96x\xE2\x82\xAC");
    pushKey(SDL_SCANCODE_KP_7);
    pushText("7");
    sys::pumpMessages();
    const uint32_t expected[] = {0x416, 'x', 0x20AC, '7'};
    for (uint32_t code : expected) {
        sys::TypedText::Entry entry{};
        ASSERT_TRUE(sys::TypedText::pop(entry));
        EXPECT_EQ(entry.codePoint, code);
        EXPECT_EQ(entry.fromKeypad, code == '7');
    }
    sys::TypedText::Entry none{};
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

    for (uint32_t i = 0; i < sys::TypedText::CAPACITY + 5; ++i) sys::TypedText::push({0x100 + i, false});
    ASSERT_TRUE(sys::TypedText::pop(entry));
    EXPECT_EQ(entry.codePoint, 0x105u);
}

#include <gtest/gtest.h>

#include "engine/platform/input/InputDevice.h"
#include "game/drivers/ControllerUser1.h"
#include "game/drivers/ControllerUser2.h"
#include "game/drivers/ControllerUserSingle.h"
#include "game/drivers/InputBindings.h"
#include "game/records/Config.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

// Every slot bound to its own key, 10 + slot, on the global device.
class UserControllers : public ReportCapture<3> {
protected:
    void SetUp() override {
        ReportCapture<3>::SetUp();
        for (int slot = 0; slot < Config::BINDINGS; ++slot) {
            m_config.m_bindingKind[slot] = Config::BINDING_KEY;
            m_config.m_bindingCode[slot] = 10 + slot;
        }
        g_input = &m_device;
    }
    void TearDown() override {
        g_input = nullptr;
        ReportCapture<3>::TearDown();
    }
    void hold(int slot) { m_device.m_keys[10 + slot] = 1; }
    void bind(int slot, int kind, int code) {
        m_config.m_bindingKind[slot] = kind;
        m_config.m_bindingCode[slot] = code;
    }
    int pressed(int slot) { return isBindingPressed(m_config, &m_device, slot); }

    ScratchFolder m_folder;
    Config m_config{nullptr, ""};
    InputDevice m_device;
    ControllerUserSingle m_single{&m_config};
    ControllerUser1 m_first{&m_config};
    ControllerUser2 m_second{&m_config};
};

TEST_F(UserControllers, OnePlayerAnswersBothKeySets) {
    hold(BIND_PLAYER2 + BIND_LEFT);
    hold(BIND_ACCELERATE);
    hold(BIND_PLAYER2 + BIND_EXTRA);
    EXPECT_EQ(m_single.steerLeft(), 1);
    EXPECT_EQ(m_single.accelerate(), 1);
    EXPECT_EQ(m_single.steerRight(), 0);
    EXPECT_EQ(m_single.brake(), 0);
    // The extra is the first player's only.
    EXPECT_FALSE(m_single.useExtra());

    EXPECT_EQ(m_first.steerLeft(), 0);
    EXPECT_EQ(m_first.accelerate(), 1);
    EXPECT_EQ(m_second.steerLeft(), 1);
    EXPECT_EQ(m_second.accelerate(), 0);
    EXPECT_TRUE(m_second.useExtra());
}

TEST_F(UserControllers, JoystickDrivesTheOnePlayerAndFirstSplitScreenKartOnly) {
    m_device.m_joyAxesNow[JOY_X] = 300;
    m_device.m_joyAxesNow[JOY_Y] = -1000;
    EXPECT_EQ(m_single.accelerate(), 1);
    EXPECT_EQ(m_first.accelerate(), 1);
    EXPECT_EQ(m_second.accelerate(), 0);
    EXPECT_EQ(m_single.steerRight(), 1);
    EXPECT_EQ(m_first.steerRight(), 1);
    EXPECT_EQ(m_second.steerRight(), 0);
    EXPECT_EQ(m_first.brake(), 0);

    m_device.m_joyButtons[2] = 1;
    EXPECT_EQ(m_single.brake(), 1);
    EXPECT_EQ(m_first.brake(), 1);
    EXPECT_EQ(m_second.brake(), 0);

    // Only the copy refilled each update counts: a pad pulled out stops steering.
    m_device.m_joyAxesNow[JOY_X] = 0;
    m_device.m_joyAxes[JOY_X] = 300;
    EXPECT_EQ(m_single.steerRight(), 0);
}

TEST_F(UserControllers, JoystickButton0FiresTheOnePlayersExtraAndIsTheFirstPlayersAction) {
    m_device.m_joyButtons[0] = 1;
    EXPECT_TRUE(m_single.useExtra());
    EXPECT_FALSE(m_single.action());
    EXPECT_TRUE(m_first.action());
    EXPECT_FALSE(m_first.useExtra());
    EXPECT_FALSE(m_second.action());
    EXPECT_FALSE(m_second.useExtra());
}

TEST_F(UserControllers, AxisBindingsCountEitherDirection) {
    bind(BIND_LEFT, 0, 0);
    EXPECT_EQ(pressed(BIND_LEFT), 0);
    m_device.m_mouseDX = -4;
    EXPECT_NE(pressed(BIND_LEFT), 0);
    m_device.m_mouseDX = 4;
    EXPECT_NE(pressed(BIND_LEFT), 0);
    EXPECT_EQ(m_first.steerLeft(), 1);

    // Kinds 5 to 8: x, y, z rotation and z of the current axis copy.
    const int axisOfKind[4] = {JOY_X, JOY_Y, JOY_RZ, JOY_Z};
    for (int kind = 5; kind <= 8; ++kind) {
        bind(BIND_BRAKE, kind, 0);
        m_device.m_joyAxesNow[axisOfKind[kind - 5]] = -1;
        EXPECT_NE(pressed(BIND_BRAKE), 0) << "kind " << kind;
        m_device.m_joyAxesNow[axisOfKind[kind - 5]] = 0;
        EXPECT_EQ(pressed(BIND_BRAKE), 0) << "kind " << kind;
    }
}

TEST_F(UserControllers, CodesOutsideTheirTablesAreNeverPressed) {
    // Every neighbour of the tables reads as pressed, so a read past one shows.
    m_device.m_mouseY = -1;
    m_device.m_buttons[2] = 1;
    m_device.m_keys[0] = 1;
    m_device.m_keys[255] = 1;
    m_device.m_lastKey = 0xFFFFFFFF;
    m_device.m_joyAxesNow[5] = -1;
    m_device.m_guiInput = 1;
    const int outside[][2] = {{3, -1}, {3, 3}, {4, -1}, {4, 256}, {9, -1}, {9, 20}, {10, 0}, {-1, 0}};
    for (const auto& binding : outside) {
        bind(BIND_ACTION, binding[0], binding[1]);
        EXPECT_EQ(pressed(BIND_ACTION), 0) << "kind " << binding[0] << " code " << binding[1];
    }
    EXPECT_EQ(pressed(-1), 0);
    EXPECT_EQ(pressed(Config::BINDINGS), 0);
    bind(BIND_ACTION, Config::BINDING_KEY, 255);
    EXPECT_EQ(isBindingPressed(m_config, nullptr, BIND_ACTION), 0);
}

TEST_F(UserControllers, JoystickButtonPastTheTwentyIsReportedAndNotPressed) {
    m_device.m_guiInput = 1;
    EXPECT_EQ(getJoystickButton(&m_device, -1), 0);
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(getJoystickButton(&m_device, 20), 0);
    EXPECT_EQ(lastError(), "button<20");
    m_device.m_joyButtons[19] = 1;
    EXPECT_EQ(getJoystickButton(&m_device, 19), 1);
}

} // namespace

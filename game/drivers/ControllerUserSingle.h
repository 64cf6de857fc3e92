#pragma once
#include "game/drivers/Controller.h"

class Config;

// The one player of a one-player race: both players' bindings and the
// joystick drive the kart; joystick button 0 fires the extra.
class ControllerUserSingle : public Controller {
public:
    explicit ControllerUserSingle(Config* config) : m_config(config) {}

    int steerLeft() override;
    int steerRight() override;
    int accelerate() override;
    int brake() override;
    bool action() override;
    bool useExtra() override;

    Config* m_config;
};

#pragma once
#include "game/drivers/Controller.h"

class Config;

// The first player of a split-screen race: the first binding set and the
// joystick; joystick button 0 answers the action query.
class ControllerUser1 : public Controller {
public:
    explicit ControllerUser1(Config* config) : m_config(config) {}

    int steerLeft() override;
    int steerRight() override;
    int accelerate() override;
    int brake() override;
    bool action() override;
    bool useExtra() override;

    Config* m_config;
};

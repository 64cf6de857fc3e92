#pragma once
#include "game/drivers/Controller.h"

class Config;

// The second player of a split-screen race: the second binding set only.
class ControllerUser2 : public Controller {
public:
    explicit ControllerUser2(Config* config) : m_config(config) {}

    int steerLeft() override;
    int steerRight() override;
    int accelerate() override;
    int brake() override;
    bool action() override;
    bool useExtra() override;

    Config* m_config;
};

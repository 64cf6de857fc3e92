#pragma once
#include <cstdint>

#include "game/drivers/Controller.h"

// The driver of a rider whose kart another machine moves: it presses nothing.
class ControllerNet : public Controller {
public:
    int steerLeft() override;
    int steerRight() override;
    int accelerate() override;
    int brake() override;
    bool action() override;
    bool useExtra() override;
    bool isRemote() const override;

    int32_t m_left = 0;
    int32_t m_right = 0;
    int32_t m_accelerate = 0;
    int32_t m_brake = 0;
    bool m_action = false;
    bool m_useExtra = false;
};

#include "sys/input/Joystick.h"

#include <SDL.h>

#include <cstring>

namespace sys::input {

std::unique_ptr<Joystick> Joystick::openFirst() {
    if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return nullptr;
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count && i < 16; ++i)
        if (SDL_Joystick* handle = SDL_JoystickOpen(i)) return std::unique_ptr<Joystick>(new Joystick(handle));
    return nullptr;
}

Joystick::~Joystick() { SDL_JoystickClose(static_cast<SDL_Joystick*>(m_handle)); }

int32_t Joystick::scaleAxis(int16_t raw) {
    int32_t value = raw < 0 ? int32_t(raw) * 1000 / 32768 : int32_t(raw) * 1000 / 32767;
    return value;
}

int32_t Joystick::poll() {
    SDL_JoystickUpdate();
    return SDL_JoystickGetAttached(static_cast<SDL_Joystick*>(m_handle)) ? INPUT_OK : INPUTERR_NOTACQUIRED;
}

int32_t Joystick::getState(JoystickState& state) const {
    SDL_Joystick* j = static_cast<SDL_Joystick*>(m_handle);
    if (!SDL_JoystickGetAttached(j)) return INPUTERR_NOTACQUIRED;
    std::memset(&state, 0, sizeof state);
    int axes = SDL_JoystickNumAxes(j);
    for (int i = 0; i < 6 && i < axes; ++i) state.axes[i] = scaleAxis(SDL_JoystickGetAxis(j, i));
    int buttons = SDL_JoystickNumButtons(j);
    for (int i = 0; i < 128 && i < buttons; ++i) state.buttons[i] = SDL_JoystickGetButton(j, i) ? 0x80 : 0;
    return INPUT_OK;
}

} // namespace sys::input

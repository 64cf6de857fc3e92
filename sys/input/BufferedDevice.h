#pragma once
#include <deque>
#include <memory>

#include "sys/input/InputTypes.h"

namespace sys {
class Window;
}

namespace sys::input {

// The keyboard or the mouse as a buffered device: events that reach the
// window while it has the focus queue up to be read; past BUFFER_SIZE only
// the motions merge.
class BufferedDevice {
public:
    enum Kind { KEYBOARD, MOUSE };
    static std::unique_ptr<BufferedDevice> create(Kind kind, Window& window);
    ~BufferedDevice();
    BufferedDevice(const BufferedDevice&) = delete;
    BufferedDevice& operator=(const BufferedDevice&) = delete;

    // Refused with OTHERAPPHASPRIO while another window has the focus.
    int32_t acquire();
    void unacquire() { m_acquired = false; }
    // Up to `count` records; fails (and drops the device's acquisition) once the focus was lost.
    int32_t getDeviceData(DeviceRecord* records, uint32_t& count);

private:
    BufferedDevice(Kind kind, Window& window);
    static void tap(const void* event);
    void take(const void* event);
    void push(uint32_t offset, uint32_t data);

    Kind m_kind;
    Window& m_window;
    bool m_acquired = false;
    std::deque<DeviceRecord> m_queue;
};

} // namespace sys::input

#pragma once
#include <cstdint>

class RenderDevice;

// Turns the chosen adapter into the lists the device creation picks from:
// formats, modes, multisample types and depth-stencil formats, each step
// redoing the ones after it, so a changed choice only redoes what follows.
class Setup {
public:
    explicit Setup(RenderDevice* device) : m_device(device) {}
    virtual ~Setup() = default;

    // The whole chain; false when the device has no adapter of the chosen index.
    virtual bool run(int unused);
    virtual void onFinished() {}
    virtual void updateAdapter();
    virtual void updateFormat();
    virtual void updateModes();
    virtual void updateMultisample();
    virtual void selectFormat(uint32_t format) {}
    virtual void enumerateFormats();
    virtual void enumerateModes();
    virtual void enumerateMultisampleTypes();
    virtual void enumerateDepthStencilFormats();

protected:
    uint32_t adapter() const;
    // The device type the lists are checked for: the reference device (2) or the hardware one (1).
    uint32_t deviceType() const;
    // A window must use the desktop's format; full screen uses the configured one.
    uint32_t adapterFormat() const;
    bool windowed() const;
    uint32_t backBufferFormat() const;

    RenderDevice* m_device;
};

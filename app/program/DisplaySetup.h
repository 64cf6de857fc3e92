#pragma once

class RenderDevice;

// Turns the chosen adapter into the lists the device creation picks from:
// formats, modes, multisample types and depth-stencil formats, each step
// redoing the ones after it.
class Setup {
public:
    explicit Setup(RenderDevice* device) : m_device(device) {}
    virtual ~Setup() = default;

    virtual bool run(int unused);
    virtual void onFinished() {}
    virtual void updateAdapter();
    virtual void updateFormat();
    virtual void updateModes();
    virtual void updateMultisample();
    virtual void selectFormat(unsigned format) {}
    virtual void enumerateFormats();
    virtual void enumerateModes();
    virtual void enumerateMultisampleTypes();
    virtual void enumerateDepthStencilFormats();

protected:
    RenderDevice* m_device;
};

#include "engine/platform/display/DisplaySetup.h"

#include "engine/platform/display/RenderDevice.h"

using namespace sys::gfx;

bool Setup::run(int) {
    if (adapter() >= m_device->m_adapters.size()) return false;
    updateAdapter();
    onFinished();
    return true;
}

void Setup::updateAdapter() {
    enumerateFormats();
    updateFormat();
}

void Setup::updateFormat() {
    selectFormat(m_device->m_settings->m_displayFormat);
    updateModes();
}

void Setup::updateModes() {
    enumerateModes();
    updateMultisample();
}

void Setup::updateMultisample() {
    enumerateMultisampleTypes();
    enumerateDepthStencilFormats();
}

void Setup::enumerateFormats() { m_device->listDisplayFormats(adapter()); }

void Setup::enumerateModes() { m_device->listTextureFormats(adapter(), deviceType(), adapterFormat(), windowed()); }

void Setup::enumerateMultisampleTypes() {
    m_device->listMultisampleTypes(adapter(), deviceType(), backBufferFormat(), windowed());
}

void Setup::enumerateDepthStencilFormats() {
    m_device->listDepthStencilFormats(adapter(), deviceType(), adapterFormat(), backBufferFormat());
}

uint32_t Setup::adapter() const { return m_device->m_settings->m_adapter; }

uint32_t Setup::deviceType() const { return m_device->m_settings->m_referenceDevice ? DEVTYPE_REF : DEVTYPE_HAL; }

uint32_t Setup::adapterFormat() const {
    const DisplaySettings& s = *m_device->m_settings;
    if (!s.m_windowed || adapter() >= m_device->m_adapters.size()) return s.m_displayFormat;
    return m_device->m_adapters[adapter()].m_currentMode.format;
}

bool Setup::windowed() const { return m_device->m_settings->m_windowed != 0; }

uint32_t Setup::backBufferFormat() const { return m_device->m_settings->m_backBufferFormat; }

#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sys/gfx/Adapter.h"
#include "sys/gfx/Device.h"
#include "sys/window/Window.h"

// A hidden-then-shown window with a GL device on it; tests skip without a display.
class GfxDeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_window = sys::Window::create("gfx test", 0, 0, m_width, m_height, nullptr);
        if (!m_window) GTEST_SKIP() << "no display: the 3D device test needs X (run under xvfb-run -a)";
        m_window->show(true);
        m_adapter = sys::gfx::Adapter::create();
        ASSERT_TRUE(m_adapter);
        sys::gfx::PresentParams params{};
        params.windowed = 1;
        params.backBufferFormat = sys::gfx::FMT_X8R8G8B8;
        params.enableAutoDepthStencil = 1;
        params.autoDepthStencilFormat = sys::gfx::FMT_D24S8;
        params.deviceWindow = m_window.get();
        ASSERT_EQ(m_adapter->createDevice(0, sys::gfx::DEVTYPE_HAL, m_window.get(), 0x44, &params, &m_device),
                  sys::gfx::GFX_OK);
    }
    void TearDown() override {
        delete m_device;
        m_device = nullptr;
    }
    // The back buffer's pixel (x, y from the top) as 0xRRGGBB.
    uint32_t pixel(int x, int y) { return pixels()[size_t(y) * size_t(m_width) + size_t(x)]; }
    // Every pixel of the back buffer, top row first, as 0xRRGGBB.
    std::vector<uint32_t> pixels() {
        std::vector<uint32_t> out(size_t(m_width) * size_t(m_height));
        sys::gfx::Surface* back = nullptr;
        m_device->getBackBuffer(0, 0, 0, &back);
        sys::gfx::LockedRect locked{};
        if (back->lockRect(locked, nullptr, sys::gfx::LOCK_READONLY) == sys::gfx::GFX_OK) {
            const auto* bits = static_cast<const uint32_t*>(locked.bits);
            for (int y = 0; y < m_height; ++y)
                for (int x = 0; x < m_width; ++x)
                    out[size_t(y) * size_t(m_width) + size_t(x)] = bits[y * (locked.pitch / 4) + x] & 0xFFFFFF;
            back->unlockRect();
        }
        back->release();
        return out;
    }

    int m_width = 64, m_height = 48;
    std::unique_ptr<sys::Window> m_window;
    std::unique_ptr<sys::gfx::Adapter> m_adapter;
    sys::gfx::Device* m_device = nullptr;
};

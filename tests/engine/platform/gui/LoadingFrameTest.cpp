#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <memory>

#include "engine/platform/display/DeviceList.h"
#include "engine/platform/gui/LoadingFrame.h"
#include "engine/platform/images/Texture.h"
#include "sys/gfx/RecordingDevice.h"
#include "sys/window/Window.h"

namespace {

// A background picture that counts how often it was asked for its texture.
class CountingPicture : public Texture {
public:
    explicit CountingPicture(DeviceList* owner) : Texture(owner, 0) {}
    std::unique_ptr<Texture> clone() override { return nullptr; }
    void load() override {}
    int32_t typeId() const override { return IMAGE; }
    sys::gfx::Texture* getTexture(double) override {
        ++m_asked;
        return nullptr;
    }
    int m_asked = 0;
};

class LoadingFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys::pumpMessages();
        sys::gfx::PresentParams params{};
        params.backBufferWidth = 800;
        params.backBufferHeight = 600;
        m_device = std::make_unique<sys::gfx::RecordingDevice>(params);
        m_renderer.m_devices = {m_device.get()};
        m_renderer.m_currentDevice = m_device.get();
        m_renderer.m_backBufferWidth = 800;
        m_renderer.m_backBufferHeight = 600;
        m_frame.m_renderer = &m_renderer;
        m_frame.m_barLeft = 0.1f;
        m_frame.m_barTop = 0.8f;
        m_frame.m_barRight = 0.9f;
        m_frame.m_barBottom = 0.85f;
        m_frame.m_barColour = 0xFF20A040;
    }
    int count(const std::string& prefix) const {
        const auto& calls = m_device->calls();
        return int(std::count_if(calls.begin(), calls.end(),
                                 [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
    }

    std::unique_ptr<sys::gfx::RecordingDevice> m_device;
    DeviceList m_renderer;
    LoadingFrame m_frame;
};

} // namespace

TEST_F(LoadingFrameTest, FullProgressShowsTheLastOfFourPictures) {
    std::vector<std::unique_ptr<CountingPicture>> pictures;
    for (int i = 0; i < 4; ++i) {
        pictures.push_back(std::make_unique<CountingPicture>(&m_renderer));
        m_frame.m_frames.push_back(pictures.back().get());
    }
    showLoadingProgress(&m_frame, 1.0f);
    EXPECT_EQ(pictures[3]->m_asked, 1);
    EXPECT_EQ(pictures[0]->m_asked + pictures[1]->m_asked + pictures[2]->m_asked, 0);
    // Background and the bar's two frames and filling, then one present.
    EXPECT_EQ(count("drawPrimitiveUP 6 2 28"), 4);
    EXPECT_EQ(count("present"), 1);
    EXPECT_EQ(count("clear"), 0);
}

TEST_F(LoadingFrameTest, EmptyPictureSlotClearsToBlack) {
    m_frame.m_frames = {nullptr, nullptr};
    m_frame.m_slanted = true;
    showLoadingProgress(&m_frame, 0.5f);
    EXPECT_EQ(count("clear 0 1 ff000000"), 1);
    // Only the slanted bar is drawn.
    EXPECT_EQ(count("drawPrimitiveUP 6 2 28"), 1);
    EXPECT_EQ(count("setRenderState 7 0"), 1);
}

TEST_F(LoadingFrameTest, QuitWaitingInTheQueueThrowsBeforeDrawing) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_THROW(showLoadingProgress(&m_frame, 0.2f), LoadingAbortedException);
    EXPECT_TRUE(m_device->calls().empty());
    // A frame without a renderer draws nothing but ends the load all the same.
    LoadingFrame pumpOnly;
    showLoadingProgress(&pumpOnly, 0.3f);
    SDL_PushEvent(&quit);
    EXPECT_THROW(showLoadingProgress(&pumpOnly, 0.4f), LoadingAbortedException);
}

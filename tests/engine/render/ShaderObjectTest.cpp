#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/render/PixelShader.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/render/VertexShader.h"
#include "tests/engine/render/RendererTestSupport.h"

namespace {

// A program that declares only the names it is given, and notes every call.
class FakeConstantTable : public ShaderConstantTable {
public:
    FakeConstantTable(std::vector<std::string> declared, std::vector<std::string>* log)
        : m_declared(std::move(declared)), m_log(log) {}
    sys::gfx::HResult setDefaults(sys::gfx::Device&) override {
        m_log->push_back("defaults");
        return sys::gfx::GFX_OK;
    }
    sys::gfx::HResult setValue(sys::gfx::Device&, const char* name, const void*, uint32_t bytes) override {
        for (const std::string& declared : m_declared)
            if (declared == name) {
                m_log->push_back(declared + " " + std::to_string(bytes));
                return sys::gfx::GFX_OK;
            }
        return sys::gfx::GFXERR_INVALIDCALL;
    }
    std::vector<std::string> samplerNames() const override { return {"ZIMG0", "CUBE0"}; }

    std::vector<std::string> m_declared;
    std::vector<std::string>* m_log;
};

class ShaderObjectTest : public ::testing::Test {
protected:
    void SetUp() override { m_renderer = std::make_unique<Renderer>(m_device.device()); }
    std::unique_ptr<ShaderConstantTable> table(std::vector<std::string> declared) {
        return std::make_unique<FakeConstantTable>(std::move(declared), &m_log);
    }
    RecordingRenderDevice m_device;
    std::unique_ptr<Renderer> m_renderer;
    std::vector<std::string> m_log;
    const uint32_t m_function[2] = {0xFFFE0200, 0x0000FFFF};
};

} // namespace

TEST_F(ShaderObjectTest, RefusedProgramLeavesNullShaderPerDevice) {
    VertexShader vertex(m_renderer.get(), m_function, table({}));
    ASSERT_EQ(vertex.m_shaders.size(), 1u);
    EXPECT_EQ(vertex.currentShader(), nullptr);
    EXPECT_FALSE(vertex.isComplete());
}

TEST_F(ShaderObjectTest, PixelShaderListsItsSamplersInOrder) {
    PixelShader pixel(m_renderer.get(), m_function, table({}));
    EXPECT_EQ(pixel.m_samplerNames, (std::vector<std::string>{"ZIMG0", "CUBE0"}));
}

TEST_F(ShaderObjectTest, UploadSetsDefaultsThenDeclaredConstantsAndSwitchesOnlyWhenSwitchFree) {
    VertexShader vertex(m_renderer.get(), m_function, table({"matBone", "numBoneWeights"}));
    uploadShaderConstants(vertex);
    EXPECT_EQ(m_log, (std::vector<std::string>{"defaults", "matBone " + std::to_string(
                                                               m_renderer->m_constants->find("matBone")->count * 4)}));
    m_log.clear();
    m_renderer->m_switchFree = true;
    uploadShaderConstants(vertex);
    ASSERT_EQ(m_log.size(), 3u);
    EXPECT_EQ(m_log[2], "numBoneWeights 4");
}

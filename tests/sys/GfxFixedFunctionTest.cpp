#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "tests/support/TempDir.h"
#include "tests/sys/GfxTestSupport.h"
#include "sys/Pi.h"
#include "sys/gfx/GlFixedFunction.h"
#include "sys/log/SystemLog.h"

using namespace sys::gfx;

namespace {

struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse, specular;
    float u, v;
};
constexpr uint32_t VERTEX_FVF = FVF_XYZ | FVF_NORMAL | FVF_DIFFUSE | FVF_SPECULAR | (1 << FVF_TEXCOUNT_SHIFT);

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

int channel(uint32_t rgb, int shift) { return int((rgb >> shift) & 0xFF); }

// A 320 x 240 device whose world units are pixels, y down, facing the camera along +z.
class GfxFixedFunction : public GfxDeviceFixture {
protected:
    GfxFixedFunction() {
        m_width = 320;
        m_height = 240;
    }
    void SetUp() override {
        GfxDeviceFixture::SetUp();
        if (!m_device) return;
        Matrix p{};
        p.m[0][0] = 2.0f / 320;
        p.m[1][1] = -2.0f / 240;
        p.m[2][2] = 1.0f / 100;
        p.m[3][0] = -1;
        p.m[3][1] = 1;
        p.m[3][3] = 1;
        m_device->setTransform(TS_PROJECTION, p);
        m_device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1, 0);
        m_device->setFVF(VERTEX_FVF);
    }
    void quad(float x0, float y0, float x1, float y1, float z, uint32_t diffuse, uint32_t specular = 0) {
        Vertex v[4] = {{x0, y0, z, 0, 0, -1, diffuse, specular, 0, 0}, {x1, y0, z, 0, 0, -1, diffuse, specular, 1, 0},
                       {x1, y1, z, 0, 0, -1, diffuse, specular, 1, 1}, {x0, y1, z, 0, 0, -1, diffuse, specular, 0, 1}};
        ASSERT_EQ(m_device->drawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof(Vertex)), GFX_OK);
    }
    // A square whose corners sit on the circle of `radius` around (x, y): every corner is lit alike.
    void ring(float x, float y, float radius, uint32_t diffuse) {
        float h = radius / std::sqrt(2.0f);
        quad(x - h, y - h, x + h, y + h, 50, diffuse);
    }
    // A picture whose texels take `colours` in turn, row by row.
    Texture* picture(uint32_t width, uint32_t height, std::initializer_list<uint32_t> colours) {
        Texture* t = nullptr;
        EXPECT_EQ(m_device->createTexture(width, height, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &t), GFX_OK);
        LockedRect r{};
        if (t->lockRect(0, r, nullptr, 0) == GFX_OK) {
            for (uint32_t i = 0; i < width * height; ++i)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(r.bits) + size_t(i / width) * r.pitch)[i % width] =
                    colours.begin()[i % colours.size()];
            t->unlockRect(0);
        }
        m_textures.push_back(t);
        return t;
    }
    Texture* solid(uint32_t argb) { return picture(4, 4, {argb}); }
    void unlitStages() {
        m_device->setRenderState(RS_LIGHTING, 0);
        for (uint32_t i = 0; i < 8; ++i) m_device->lightEnable(i, false);
    }
    void TearDown() override {
        for (Texture* t : m_textures) t->release();
        GfxDeviceFixture::TearDown();
    }
    void expectRgb(const std::vector<uint32_t>& image, int x, int y, int r, int g, int b, const char* what,
                   int tolerance = 3) {
        uint32_t p = image[size_t(y) * size_t(m_width) + size_t(x)];
        EXPECT_NEAR(channel(p, 16), r, tolerance) << what;
        EXPECT_NEAR(channel(p, 8), g, tolerance) << what;
        EXPECT_NEAR(channel(p, 0), b, tolerance) << what;
    }
    void savePng(const std::vector<uint32_t>& image) {
        std::vector<uint8_t> rgb(image.size() * 3);
        for (size_t i = 0; i < image.size(); ++i) {
            rgb[i * 3] = uint8_t(image[i] >> 16);
            rgb[i * 3 + 1] = uint8_t(image[i] >> 8);
            rgb[i * 3 + 2] = uint8_t(image[i]);
        }
        const char* png = std::getenv("PLIMZOR_GFX_PNG");
        std::string path = png ? png : m_dir.file("fixed-function.png");
        EXPECT_TRUE(stbi_write_png(path.c_str(), m_width, m_height, 3, rgb.data(), m_width * 3));
    }

    TempDir m_dir;
    std::vector<Texture*> m_textures;
};

Light lightAt(uint32_t type, ColorValue diffuse, Vector3 position, float range) {
    Light l{};
    l.type = type;
    l.diffuse = diffuse;
    l.position = position;
    l.direction = {0, 0, 1};
    l.range = range;
    l.attenuation0 = 1;
    return l;
}

std::vector<std::string> g_logged;

void keepLogged(const std::string& line) { g_logged.push_back(line); }

} // namespace

TEST_F(GfxFixedFunction, AShaderThatDoesNotCompileIsLoggedInTheDriversWords) {
    g_logged.clear();
    sys::setLogSink(keepLogged);
    const std::string vertex = "#version 120\nvoid main() { gl_Position = ftransform(); }\n";
    const std::string fragment = "#version 120\nvoid main() { gl_FragColor = vec4(unknownShade); }\n";
    EXPECT_EQ(GlFixedFunction::link(vertex, fragment), 0u);
    EXPECT_NE(GlFixedFunction::link(vertex, "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n"), 0u);
    sys::setLogSink(nullptr);
    ASSERT_EQ(g_logged.size(), 1u);
    const std::string& line = g_logged[0];
    const std::string told = "3D device: generated fragment shader does not compile: ";
    EXPECT_EQ(line.rfind(told, 0), 0u) << line;
    // Only the driver's words name the identifier: the line has no source.
    EXPECT_NE(line.find("unknownShade", told.size()), std::string::npos) << line;
}

TEST_F(GfxFixedFunction, LightsFollowRangeConesAndEveryMaterialSource) {
    Material m{};
    m.ambient = {1, 1, 1, 1};
    m.diffuse = {1, 1, 1, 1};
    m_device->setMaterial(m);
    m_device->setRenderState(RS_COLORVERTEX, 0);
    m_device->setRenderState(RS_AMBIENT, 0xFF200000);
    // Spot with a 40 degree inner and an 80 degree outer cone, falloff 2, 40 units above the surface.
    const float degree = PI / 180;
    Light spot = lightAt(LIGHT_SPOT, {0, 0, 1, 1}, {0, 0, 10}, 1000);
    spot.theta = 40 * degree;
    spot.phi = 80 * degree;
    spot.falloff = 2;
    const float angles[3] = {10, 30, 50};
    const float centres[3][2] = {{20, 20}, {60, 30}, {130, 45}};
    for (int i = 0; i < 3; ++i) {
        spot.position = {centres[i][0], centres[i][1], 10};
        m_device->setLight(0, spot);
        m_device->lightEnable(0, true);
        ring(centres[i][0], centres[i][1], 40 * std::tan(angles[i] * degree), 0xFFFFFFFF);
    }
    // A point light whose range ends just short of the surface, and one that reaches it.
    m_device->setRenderState(RS_AMBIENT, 0);
    const float ranges[2] = {50, 52};
    for (int i = 0; i < 2; ++i) {
        Light point = lightAt(LIGHT_POINT, {0, 1, 0, 1}, {200.0f + 40 * i, 30, 0}, ranges[i]);
        m_device->setLight(0, point);
        ring(200.0f + 40 * i, 30, 10, 0xFFFFFFFF);
    }
    // Diffuse and emissive follow the diffuse vertex colour, ambient the specular one.
    m.ambient = m.diffuse = {0, 0, 0, 1};
    m_device->setMaterial(m);
    m_device->setRenderState(RS_COLORVERTEX, 1);
    m_device->setRenderState(RS_DIFFUSEMATERIALSOURCE, MCS_COLOR1);
    m_device->setRenderState(RS_EMISSIVEMATERIALSOURCE, MCS_COLOR1);
    m_device->setRenderState(RS_AMBIENTMATERIALSOURCE, MCS_COLOR2);
    m_device->setRenderState(RS_AMBIENT, 0xFFFFFFFF);
    m_device->setLight(0, lightAt(LIGHT_DIRECTIONAL, {1, 1, 1, 1}, {0, 0, 0}, 0));
    quad(270, 10, 310, 50, 50, 0xFF408000, 0xFF000080);
    // Lit specular, a light from straight behind a viewer far off: read by a stage, then added by the state.
    m.specular = {0, 0.5f, 0, 1};
    m.power = 20;
    m_device->setMaterial(m);
    m_device->setRenderState(RS_COLORVERTEX, 0);
    m_device->setRenderState(RS_AMBIENT, 0);
    m_device->setRenderState(RS_LOCALVIEWER, 0);
    Light shiny = lightAt(LIGHT_DIRECTIONAL, {0, 0, 0, 1}, {0, 0, 0}, 0);
    shiny.specular = {1, 1, 1, 1};
    m_device->setLight(0, shiny);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_MULTIPLYADD);
    m_device->setTextureStageState(0, TSS_COLORARG0, TA_CURRENT);
    m_device->setTextureStageState(0, TSS_COLORARG1, TA_SPECULAR);
    m_device->setTextureStageState(0, TSS_COLORARG2, TA_TEXTURE);
    quad(10, 100, 50, 140, 50, 0xFFFFFFFF);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    m_device->setTextureStageState(0, TSS_COLORARG1, TA_DIFFUSE);
    m_device->setRenderState(RS_SPECULARENABLE, 1);
    quad(60, 100, 100, 140, 50, 0xFFFFFFFF);

    std::vector<uint32_t> image = pixels();
    savePng(image);
    // Lit from straight above the ring's corners: blue = 255 cos(angle) times the cone's share.
    float between = std::pow((std::cos(30 * degree) - std::cos(40 * degree)) / (std::cos(20 * degree) - std::cos(40 * degree)), 2.0f);
    expectRgb(image, 20, 20, 32, 0, int(255 * std::cos(10 * degree)), "spot inside the inner cone");
    expectRgb(image, 60, 30, 32, 0, int(255 * std::cos(30 * degree) * between), "spot between the cones");
    expectRgb(image, 130, 45, 32, 0, 0, "spot outside the outer cone");
    expectRgb(image, 200, 30, 0, 0, 0, "point light out of range");
    expectRgb(image, 240, 30, 0, int(255 * 50 / std::sqrt(2600.0f)), 0, "point light in range");
    expectRgb(image, 290, 30, 128, 255, 128, "three material sources from the vertex colours");
    expectRgb(image, 30, 120, 0, 128, 0, "lit specular read by a stage");
    expectRgb(image, 80, 120, 0, 128, 0, "lit specular added");
}

TEST_F(GfxFixedFunction, StagesReadSpecularAndTempThenScissorBiasClipPlanesAndScreenFog) {
    unlitStages();
    Texture* grey = solid(0xFF808080);
    Texture* orange = solid(0xFFFF8000);
    // Current plus specular times texture, as a specular-map stage does.
    m_device->setTexture(0, grey);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_MULTIPLYADD);
    m_device->setTextureStageState(0, TSS_COLORARG0, TA_CURRENT);
    m_device->setTextureStageState(0, TSS_COLORARG1, TA_SPECULAR);
    m_device->setTextureStageState(0, TSS_COLORARG2, TA_TEXTURE);
    quad(10, 10, 50, 50, 50, 0xFF800000, 0xFF00FF00);
    // The texture parked in the temp register while a later stage takes the diffuse colour.
    m_device->setTexture(0, orange);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    m_device->setTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
    m_device->setTextureStageState(0, TSS_RESULTARG, TA_TEMP);
    m_device->setTextureStageState(1, TSS_COLOROP, TOP_SELECTARG1);
    m_device->setTextureStageState(1, TSS_COLORARG1, TA_DIFFUSE);
    m_device->setTextureStageState(2, TSS_COLOROP, TOP_ADD);
    m_device->setTextureStageState(2, TSS_COLORARG1, TA_CURRENT);
    m_device->setTextureStageState(2, TSS_COLORARG2, TA_TEMP);
    quad(60, 10, 100, 50, 50, 0xFF0000FF);
    m_device->setTextureStageState(0, TSS_RESULTARG, TA_CURRENT);
    m_device->setTextureStageState(1, TSS_COLOROP, TOP_DISABLE);
    m_device->setTexture(0, nullptr);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    m_device->setTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);

    // Scissor: only the rectangle is drawn, and cleared.
    m_device->setScissorRect({120, 20, 140, 40});
    m_device->setRenderState(RS_SCISSORTESTENABLE, 1);
    quad(110, 10, 170, 50, 50, 0xFFFFFFFF);
    m_device->clear(0, nullptr, CLEAR_TARGET, 0xFF00FF00, 1, 0);
    m_device->setRenderState(RS_SCISSORTESTENABLE, 0);

    // Coplanar quads: a bias behind hides the second, a bias in front shows the third under LESS.
    quad(180, 10, 240, 50, 50, 0xFFFF0000);
    m_device->setRenderState(RS_DEPTHBIAS, bits(0.001f));
    quad(180, 10, 210, 50, 50, 0xFF00FF00);
    m_device->setRenderState(RS_DEPTHBIAS, bits(-0.001f));
    m_device->setRenderState(RS_ZFUNC, CMP_LESS);
    quad(210, 10, 240, 50, 50, 0xFF0000FF);
    m_device->setRenderState(RS_DEPTHBIAS, 0);
    m_device->setRenderState(RS_ZFUNC, CMP_LESSEQUAL);

    // A world-space clip plane keeping x >= 280.
    const float plane[4] = {1, 0, 0, -280};
    m_device->setClipPlane(0, plane);
    m_device->setRenderState(RS_CLIPPLANEENABLE, 1);
    quad(250, 10, 310, 50, 50, 0xFFFFFF00);
    m_device->setRenderState(RS_CLIPPLANEENABLE, 0);

    // Table fog on screen-space vertices by their w: halfway at w = 50.
    struct ScreenVertex {
        float x, y, z, rhw;
        uint32_t color;
    };
    ScreenVertex screen[4] = {{10, 100, 0.5f, 0.02f, 0xFFFFFFFF}, {50, 100, 0.5f, 0.02f, 0xFFFFFFFF},
                              {50, 140, 0.5f, 0.02f, 0xFFFFFFFF}, {10, 140, 0.5f, 0.02f, 0xFFFFFFFF}};
    m_device->setRenderState(RS_FOGENABLE, 1);
    m_device->setRenderState(RS_FOGTABLEMODE, FOG_LINEAR);
    m_device->setRenderState(RS_FOGCOLOR, 0xFFFF00FF);
    m_device->setRenderState(RS_FOGSTART, bits(0));
    m_device->setRenderState(RS_FOGEND, bits(100));
    m_device->setFVF(FVF_XYZRHW | FVF_DIFFUSE);
    m_device->drawPrimitiveUP(PT_TRIANGLEFAN, 2, screen, sizeof screen[0]);
    m_device->setRenderState(RS_FOGENABLE, 0);

    std::vector<uint32_t> image = pixels();
    savePng(image);
    expectRgb(image, 30, 30, 128, 128, 0, "specular stage argument");
    expectRgb(image, 80, 30, 255, 128, 255, "temp register");
    expectRgb(image, 130, 30, 0, 255, 0, "inside the scissor rectangle");
    expectRgb(image, 115, 15, 0, 0, 0, "outside the scissor rectangle");
    expectRgb(image, 195, 30, 255, 0, 0, "bias behind");
    expectRgb(image, 225, 30, 0, 0, 255, "bias in front");
    expectRgb(image, 260, 30, 0, 0, 0, "clipped by the plane");
    expectRgb(image, 300, 30, 255, 255, 0, "kept by the plane");
    expectRgb(image, 30, 120, 255, 128, 255, "table fog on screen-space vertices");
}

TEST_F(GfxFixedFunction, VolumeTextureSamplesTheSliceOfTheThirdCoordinate) {
    unlitStages();
    Texture* volume = nullptr;
    ASSERT_EQ(m_device->createVolumeTexture(2, 2, 2, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &volume), GFX_OK);
    LockedBox box{};
    ASSERT_EQ(volume->lockBox(0, box, nullptr, 0), GFX_OK);
    auto* texels = static_cast<uint32_t*>(box.bits);
    for (int i = 0; i < 4; ++i) {
        texels[i] = 0xFFFF0000;
        texels[box.slicePitch / 4 + i] = 0xFF0000FF;
    }
    volume->unlockBox(0);
    m_device->setTexture(0, volume);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    m_device->setFVF(FVF_XYZ | FVF_DIFFUSE | (1 << FVF_TEXCOUNT_SHIFT) | fvfTexCoordSize3(0));
    struct VolumeVertex {
        float x, y, z;
        uint32_t diffuse;
        float u, v, w;
    };
    for (int slice = 0; slice < 2; ++slice) {
        float x0 = 10.0f + 50 * slice, x1 = x0 + 40, w = 0.25f + 0.5f * slice;
        VolumeVertex v[4] = {{x0, 10, 50, 0xFFFFFFFF, 0, 0, w}, {x1, 10, 50, 0xFFFFFFFF, 1, 0, w},
                             {x1, 50, 50, 0xFFFFFFFF, 1, 1, w}, {x0, 50, 50, 0xFFFFFFFF, 0, 1, w}};
        ASSERT_EQ(m_device->drawPrimitiveUP(PT_TRIANGLEFAN, 2, v, sizeof v[0]), GFX_OK);
    }
    m_device->setTexture(0, nullptr);
    volume->release();
    std::vector<uint32_t> image = pixels();
    expectRgb(image, 30, 30, 255, 0, 0, "first slice");
    expectRgb(image, 80, 30, 0, 0, 255, "second slice");
}

TEST_F(GfxFixedFunction, GeneratedCoordinatesProjectAndReflectThroughTheTextureMatrix) {
    unlitStages();
    m_device->setTexture(0, picture(2, 1, {0xFFFF0000, 0xFF0000FF}));
    m_device->setSamplerState(0, SAMP_ADDRESSU, TADDRESS_CLAMP);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    // A projector: (x / 320, y / 240) divided by z / 100, so the blue half starts at x = 80 at depth 50.
    Matrix projector{};
    projector.m[0][0] = 1.0f / 320;
    projector.m[1][1] = 1.0f / 240;
    projector.m[2][2] = 1.0f / 100;
    m_device->setTransform(TS_TEXTURE0, projector);
    m_device->setTextureStageState(0, TSS_TEXCOORDINDEX, TSS_TCI_CAMERASPACEPOSITION);
    m_device->setTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT3 | TTFF_PROJECTED);
    quad(10, 10, 150, 50, 50, 0xFFFFFFFF);
    // The reflection of the view off a surface facing it points back along -z: u = -0.75 z.
    Matrix mirror{};
    mirror.m[2][0] = -0.75f;
    m_device->setTransform(TS_TEXTURE0, mirror);
    m_device->setRenderState(RS_LOCALVIEWER, 0);
    m_device->setTextureStageState(0, TSS_TEXCOORDINDEX, TSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    m_device->setTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT2);
    quad(160, 10, 200, 50, 50, 0xFFFFFFFF);
    m_device->setTexture(0, nullptr);

    std::vector<uint32_t> image = pixels();
    expectRgb(image, 40, 30, 255, 0, 0, "projected left of the split");
    expectRgb(image, 120, 30, 0, 0, 255, "projected right of the split");
    expectRgb(image, 180, 30, 0, 0, 255, "reflection vector");
}

TEST_F(GfxFixedFunction, EveryOperationArgumentAndCoordinateSourceBuildsAProgram) {
    Texture* grey = solid(0xFF808080);
    m_device->setTexture(0, grey);
    m_device->setTexture(1, grey);
    m_device->setRenderState(RS_SPECULARENABLE, 1);
    for (uint32_t type = LIGHT_POINT; type <= LIGHT_DIRECTIONAL; ++type) {
        m_device->setLight(type, lightAt(type, {1, 1, 1, 1}, {0, 0, 0}, 100));
        m_device->lightEnable(type, true);
    }
    const uint32_t args[] = {TA_DIFFUSE, TA_CURRENT | TA_COMPLEMENT, TA_TEXTURE | TA_ALPHAREPLICATE, TA_TFACTOR,
                             TA_SPECULAR, TA_TEMP, TA_CONSTANT};
    for (uint32_t op = TOP_DISABLE + 1; op <= TOP_LERP; ++op) {
        uint32_t stage = op == TOP_BUMPENVMAP || op == TOP_BUMPENVMAPLUMINANCE ? 0 : 1;
        m_device->setTextureStageState(1, TSS_COLOROP, TOP_SELECTARG1);
        m_device->setTextureStageState(stage, TSS_COLOROP, op);
        m_device->setTextureStageState(stage, TSS_ALPHAOP, op);
        m_device->setTextureStageState(stage, TSS_COLORARG0, args[op % 7]);
        m_device->setTextureStageState(stage, TSS_COLORARG1, args[(op + 1) % 7]);
        m_device->setTextureStageState(stage, TSS_COLORARG2, args[(op + 2) % 7]);
        m_device->setTextureStageState(stage, TSS_ALPHAARG1, args[(op + 3) % 7]);
        m_device->setTextureStageState(stage, TSS_ALPHAARG2, args[(op + 4) % 7]);
        m_device->setTextureStageState(1, TSS_TEXCOORDINDEX, (op % 5) << 16);
        m_device->setRenderState(RS_FOGENABLE, 1);
        m_device->setRenderState(RS_FOGTABLEMODE, op % 4);
        m_device->setTextureStageState(1, TSS_TEXTURETRANSFORMFLAGS, op % 2 ? TTFF_COUNT3 | TTFF_PROJECTED : TTFF_COUNT2);
        Vertex v[3] = {{0, 0, 50, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0}, {10, 0, 50, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0},
                       {0, 10, 50, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0}};
        EXPECT_EQ(m_device->drawPrimitiveUP(PT_TRIANGLELIST, 1, v, sizeof v[0]), GFX_OK) << "operation " << op;
        m_device->setTextureStageState(0, TSS_COLOROP, TOP_MODULATE);
    }
    m_device->setTexture(0, nullptr);
    m_device->setTexture(1, nullptr);
}

TEST_F(GfxFixedFunction, ProgramsDrawnAgainTakeEachDrawsValuesAndTextureMatrix) {
    m_device->setTexture(0, picture(2, 1, {0xFFFF0000, 0xFFFFFFFF}));
    m_device->setSamplerState(0, SAMP_ADDRESSU, TADDRESS_CLAMP);
    m_device->setTextureStageState(0, TSS_COLOROP, TOP_MODULATE);
    m_device->setTextureStageState(1, TSS_COLOROP, TOP_MODULATE);
    m_device->setTextureStageState(1, TSS_COLORARG1, TA_CURRENT);
    m_device->setTextureStageState(1, TSS_COLORARG2, TA_TFACTOR);
    m_device->setRenderState(RS_TEXTUREFACTOR, 0xFFFFFFFF);
    m_device->setRenderState(RS_COLORVERTEX, 0);
    m_device->setRenderState(RS_AMBIENT, 0);
    Material white{};
    white.diffuse = {1, 1, 1, 1};
    Material blue = white;
    blue.diffuse = {0, 0, 1, 1};
    m_device->lightEnable(0, true);
    // One program draws with a new material, then a new light; each quad is red left of its middle.
    m_device->setMaterial(white);
    m_device->setLight(0, lightAt(LIGHT_DIRECTIONAL, {1, 1, 1, 1}, {0, 0, 0}, 0));
    quad(10, 10, 50, 50, 50, 0xFFFFFFFF);
    m_device->setMaterial(blue);
    quad(60, 10, 100, 50, 50, 0xFFFFFFFF);
    m_device->setMaterial(white);
    m_device->setLight(0, lightAt(LIGHT_DIRECTIONAL, {0, 1, 0, 1}, {0, 0, 0}, 0));
    quad(110, 10, 150, 50, 50, 0xFFFFFFFF);
    // A matrix moving the coordinates half a picture on takes another program: all white.
    Matrix shift{};
    shift.m[0][0] = shift.m[1][1] = 1;
    shift.m[2][0] = 0.5f;
    m_device->setTransform(TS_TEXTURE0, shift);
    m_device->setTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT2);
    m_device->setLight(0, lightAt(LIGHT_DIRECTIONAL, {1, 1, 1, 1}, {0, 0, 0}, 0));
    quad(160, 10, 200, 50, 50, 0xFFFFFFFF);
    // Back on the first program, which last drew under the green light, then with a grey factor.
    m_device->setTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_DISABLE);
    quad(210, 10, 250, 50, 50, 0xFFFFFFFF);
    m_device->setRenderState(RS_TEXTUREFACTOR, 0xFF808080);
    quad(260, 10, 300, 50, 50, 0xFFFFFFFF);
    m_device->setTexture(0, nullptr);

    std::vector<uint32_t> image = pixels();
    expectRgb(image, 20, 30, 255, 0, 0, "first draw, left");
    expectRgb(image, 40, 30, 255, 255, 255, "first draw, right");
    expectRgb(image, 90, 30, 0, 0, 255, "new material");
    expectRgb(image, 140, 30, 0, 255, 0, "new light");
    expectRgb(image, 170, 30, 255, 255, 255, "moved coordinates");
    expectRgb(image, 220, 30, 255, 0, 0, "first program again, left");
    expectRgb(image, 240, 30, 255, 255, 255, "first program again, its light back to white");
    expectRgb(image, 290, 30, 128, 128, 128, "new factor");
}

#include "sys/gfx/GlFixedFunction.h"

#define GL_GLEXT_PROTOTYPES 1
#include <SDL_opengl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "sys/gfx/StateValues.h"
#include "sys/log/SystemLog.h"
#include "sys/Pi.h"

namespace sys::gfx {

namespace {

using Key = FixedFunctionKey;

void put(float* out, const ColorValue& c) {
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

// Row vectors times the view: where D3D lights a world-space light.
void toEye(const Matrix& view, const Vector3& v, float w, float out[4]) {
    for (int j = 0; j < 3; ++j) out[j] = v.x * view.m[0][j] + v.y * view.m[1][j] + v.z * view.m[2][j] + w * view.m[3][j];
    out[3] = w;
}

// The driver's words on a shader or program, without the line end it may close with.
std::string infoLog(GLuint name, bool program) {
    char log[2048] = "";
    if (program) glGetProgramInfoLog(name, sizeof log, nullptr, log);
    else glGetShaderInfoLog(name, sizeof log, nullptr, log);
    std::string text = log;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// 0 when it does not compile.
GLuint compile(GLenum type, const std::string& source) {
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    sys::writeLog(std::string("3D device: generated ") + (type == GL_VERTEX_SHADER ? "vertex" : "fragment") +
                  " shader does not compile: " + infoLog(shader, false));
    glDeleteShader(shader);
    return 0;
}

} // namespace

GlFixedFunction::~GlFixedFunction() {
    glUseProgram(0);
    for (auto& entry : m_programs)
        if (entry.second.name) glDeleteProgram(entry.second.name);
}

uint32_t GlFixedFunction::link(const std::string& vertexSource, const std::string& fragmentSource) {
    GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    GLuint program = 0;
    if (vertex && fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            sys::writeLog("3D device: generated program does not link: " + infoLog(program, true));
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vertex) glDeleteShader(vertex);
    if (fragment) glDeleteShader(fragment);
    return program;
}

GlFixedFunction::Program GlFixedFunction::build(const Key& key) {
    Program p{};
    const GLuint program = link(FixedFunctionSource::vertexShader(key), FixedFunctionSource::fragmentShader(key));
    if (!program) return p;
    p.name = program;
    p.light = glGetUniformLocation(program, "ffLight");
    p.material = glGetUniformLocation(program, "ffMaterial");
    p.ambient = glGetUniformLocation(program, "ffAmbient");
    p.factor = glGetUniformLocation(program, "ffFactor");
    p.constant = glGetUniformLocation(program, "ffConstant");
    p.bump = glGetUniformLocation(program, "ffBump");
    p.bumpLuminance = glGetUniformLocation(program, "ffBumpLuminance");
    glUseProgram(program);
    for (uint32_t i = 0; i < key.stageCount; ++i)
        glUniform1i(glGetUniformLocation(program, ("ffTexture" + std::to_string(i)).c_str()), GLint(i));
    return p;
}

void GlFixedFunction::load(Program& p, const Key& key, const DeviceState& state) {
    Loaded& held = p.loaded;
    // Whether `count` floats differ from what the program holds; it holds them from then on.
    auto changed = [&held](float* holds, const float* values, size_t count) {
        if (held.any && std::memcmp(holds, values, count * sizeof(float)) == 0) return false;
        std::memcpy(holds, values, count * sizeof(float));
        return true;
    };
    const uint32_t* rs = state.renderStates;
    if (key.lighting) {
        const Material& m = state.material;
        float material[5][4] = {};
        put(material[0], m.diffuse);
        put(material[1], m.ambient);
        put(material[2], m.specular);
        put(material[3], m.emissive);
        material[4][0] = m.power;
        if (changed(&held.material[0][0], &material[0][0], 5 * 4)) glUniform4fv(p.material, 5, &material[0][0]);
        float ambient[4];
        unpackColor(rs[RS_AMBIENT], ambient);
        if (changed(held.ambient, ambient, 4)) glUniform4fv(p.ambient, 1, ambient);
    }
    if (key.lightCount) {
        uint32_t active[Key::MAX_ACTIVE_LIGHTS];
        Key::activeLights(state, active);
        float lights[Key::MAX_ACTIVE_LIGHTS][FixedFunctionSource::LIGHT_VECTORS][4] = {};
        for (uint32_t i = 0; i < key.lightCount; ++i) {
            const Light& l = state.lights[active[i]];
            float(*v)[4] = lights[i];
            put(v[0], l.diffuse);
            put(v[1], l.specular);
            put(v[2], l.ambient);
            toEye(state.view, l.position, 1.0f, v[3]);
            toEye(state.view, l.direction, 0.0f, v[4]);
            float length = std::sqrt(v[4][0] * v[4][0] + v[4][1] * v[4][1] + v[4][2] * v[4][2]);
            for (int c = 0; c < 3 && length > 0; ++c) v[4][c] /= length;
            // No attenuation at all would divide by zero: take it as none.
            bool none = l.attenuation0 == 0 && l.attenuation1 == 0 && l.attenuation2 == 0;
            v[5][0] = none ? 1.0f : l.attenuation0;
            v[5][1] = l.attenuation1;
            v[5][2] = l.attenuation2;
            v[5][3] = l.range;
            float phi = std::clamp(l.phi, 0.0f, PI);
            v[6][0] = std::cos(std::clamp(l.theta, 0.0f, phi) * 0.5f);
            v[6][1] = std::cos(phi * 0.5f);
            v[6][2] = l.falloff;
        }
        uint32_t vectors = key.lightCount * FixedFunctionSource::LIGHT_VECTORS;
        if (changed(&held.lights[0][0], &lights[0][0][0], vectors * 4))
            glUniform4fv(p.light, GLsizei(vectors), &lights[0][0][0]);
    }
    if (p.factor >= 0) {
        float factor[4];
        unpackColor(rs[RS_TEXTUREFACTOR], factor);
        if (changed(held.factor, factor, 4)) glUniform4fv(p.factor, 1, factor);
    }
    // Most programs read none of the per-stage values.
    if (p.constant >= 0) {
        float constants[MAX_STAGES][4];
        for (uint32_t i = 0; i < MAX_STAGES; ++i) unpackColor(state.stageStates[i][TSS_CONSTANT], constants[i]);
        if (changed(&held.constants[0][0], &constants[0][0], MAX_STAGES * 4))
            glUniform4fv(p.constant, MAX_STAGES, &constants[0][0]);
    }
    if (p.bump >= 0 || p.bumpLuminance >= 0) {
        float bump[MAX_STAGES][4], luminance[MAX_STAGES][2];
        for (uint32_t i = 0; i < MAX_STAGES; ++i) {
            const uint32_t* ts = state.stageStates[i];
            bump[i][0] = stateFloat(ts[TSS_BUMPENVMAT00]);
            bump[i][1] = stateFloat(ts[TSS_BUMPENVMAT01]);
            bump[i][2] = stateFloat(ts[TSS_BUMPENVMAT10]);
            bump[i][3] = stateFloat(ts[TSS_BUMPENVMAT11]);
            luminance[i][0] = stateFloat(ts[TSS_BUMPENVLSCALE]);
            luminance[i][1] = stateFloat(ts[TSS_BUMPENVLOFFSET]);
        }
        if (p.bump >= 0 && changed(&held.bump[0][0], &bump[0][0], MAX_STAGES * 4))
            glUniform4fv(p.bump, MAX_STAGES, &bump[0][0]);
        if (p.bumpLuminance >= 0 && changed(&held.luminance[0][0], &luminance[0][0], MAX_STAGES * 2))
            glUniform2fv(p.bumpLuminance, MAX_STAGES, &luminance[0][0]);
    }
    held.any = true;
}

bool GlFixedFunction::use(const DeviceState& state, const std::vector<VertexElement>& layout, bool pretransformed) {
    Key key = Key::from(state, layout, pretransformed);
    auto found = m_programs.find(key);
    if (found == m_programs.end()) found = m_programs.emplace(key, build(key)).first;
    Program& program = found->second;
    glUseProgram(program.name);
    if (!program.name) return false;
    load(program, key, state);
    return true;
}

} // namespace sys::gfx

#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Renderer;
class ShaderCompiler;
class Surface;
class TextureLayer;
class TextureStages;
class VertexShader;
class PixelShader;
namespace sys::gfx {
class Texture;
}

// A shader object decides how one surface buffer is drawn: per-object states,
// the vertex and pixel shader pair (or the fixed-function pipeline) and the
// surface's textures. The base caches one compiled pair per combination of
// switch values. A surface buffer stores its stages record into m_stages,
// then calls setObjectState, activate and, when that is true, setupSurface.
class ShaderLibrary {
public:
    using SwitchKey = std::vector<int32_t>;
    using ShaderPair = std::pair<VertexShader*, PixelShader*>;

    explicit ShaderLibrary(Renderer* renderer);
    virtual ~ShaderLibrary();
    ShaderLibrary(const ShaderLibrary&) = delete;
    ShaderLibrary& operator=(const ShaderLibrary&) = delete;

    // False when the variant of the current switches has no compiled pair.
    virtual bool activate();
    // Binds the surface's textures to the pixel shader's samplers by name.
    virtual void setupSurface(Surface& surface, double time);
    // Blending, culling and the surface's shader values.
    virtual void setObjectState(Surface& surface, double time);
    virtual std::string vertexEntryPoint() const { return "vshader"; }
    virtual std::string pixelEntryPoint() const { return "pshader"; }

    // Deletes every compiled pair.
    void clear();
    // Looks up (or compiles once) the pair of the current switch values.
    bool findVariant();
    // The current switch values in record order; empty when switch-free.
    SwitchKey switchKey() const;

    Renderer* m_renderer;
    TextureStages* m_stages = nullptr;
    // Two nulls mark a failed compile, which is never retried.
    std::map<SwitchKey, ShaderPair> m_variants;
    std::string m_name = "<shader>";
    VertexShader* m_vertexShader = nullptr;
    PixelShader* m_pixelShader = nullptr;
    // Null in the game: without one every variant is a failed compile.
    std::unique_ptr<ShaderCompiler> m_compiler;

protected:
    struct Blend {
        bool transparent;
        float alpha;
        // Multiplies the surface colour.
        float factor;
    };
    // Mirror and opaque surfaces get their blend states here; a transparent
    // one (whose transparency layer is `mask`) leaves them to the caller.
    Blend decideBlend(Surface& surface, double time, TextureLayer* mask);
    bool compileVariant();

private:
    void setLayerValues(Surface& surface, double time);
    // Shows the compiler's messages at report level 2 and up.
    void showCompileErrors(const std::string& errors) const;
    void bindSampler(uint32_t sampler, const std::string& name, Surface& surface, double time);
    sys::gfx::Texture* bindShadowSampler(uint32_t sampler, const std::string& name, Surface& surface, double time);
};

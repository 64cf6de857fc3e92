#pragma once
#include <memory>

#include "engine/render/Renderer.h"

class SceneItem;

// The renderer with the scene's surface shaders and placement helper: they
// bind scene surfaces and objects, so they are made here, above the render
// layer, and handed to the renderer as the views it draws through.
class SceneRenderer : public Renderer {
public:
    explicit SceneRenderer(RenderDevice& renderDevice);
    ~SceneRenderer() override;

    // Turns `item` by the deltas (radians; pitch and bank grow with theirs).
    static void turnItemBy(SceneItem& item, float dHeading, float dPitch, float dBank, double time);

private:
    std::unique_ptr<ShaderLibrary> m_ownSurfaceShader;
    std::unique_ptr<ShaderLibrary> m_ownPlainShader;
    std::unique_ptr<ShaderLibrary> m_ownAdditiveShader;
    std::unique_ptr<ShaderLibrary> m_ownOpaqueShader;
    std::unique_ptr<PlacementHelper> m_ownPlacementHelper;
};

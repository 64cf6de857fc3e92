#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/render/Renderer.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/mesh/WeightMap.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/ReportCapture.h"

// A renderer on one recording device, surfaces made in code and meshes built from them.
class MeshFixture : public ReportCapture<3> {
protected:
    void SetUp() override {
        ReportCapture<3>::SetUp();
        m_renderer = std::make_unique<SceneRenderer>(m_device.device());
    }
    void TearDown() override {
        m_meshes.clear();
        m_renderer.reset();
        ReportCapture<3>::TearDown();
    }
    Surface& addSurface() {
        m_surfaces.push_back(std::make_unique<Surface>(nullptr, "surface" + std::to_string(m_surfaces.size())));
        m_surfaces.back()->m_loaded = true;
        return *m_surfaces.back();
    }
    static MeshPolygon polygon(std::vector<uint32_t> points, int32_t surface = 0) {
        MeshPolygon p;
        p.points = std::move(points);
        p.surface = surface;
        return p;
    }
    Mesh& makeMesh(std::vector<Position3> points, std::vector<MeshPolygon> polygons,
                   std::vector<Ref<WeightMap>> maps = {}) {
        std::vector<Surface*> table;
        for (auto& surface : m_surfaces) table.push_back(surface.get());
        m_meshes.push_back(std::make_unique<Mesh>(m_renderer.get(), nullptr, table, std::move(points),
                                                  std::move(polygons), std::move(maps)));
        return *m_meshes.back();
    }
    sys::gfx::RecordingDevice& recording() { return m_device.recording(); }

    RecordingRenderDevice m_device;
    std::unique_ptr<Renderer> m_renderer;
    std::vector<std::unique_ptr<Surface>> m_surfaces;
    std::vector<std::unique_ptr<Mesh>> m_meshes;
};

#include "tools/demodata/tracks/SurfaceFinish.h"

#include "tools/lightwave/Lwo2Writer.h"

namespace {

// Reflection options 0: the engine's planar mirror (3 would switch it off).
constexpr uint16_t MIRROR = 0;

} // namespace

std::string finishedObjectBytes(const MeshBuilder& mesh, const std::vector<SurfaceFinish>& finishes) {
    Lwo2Object object = mesh.object();
    for (const SurfaceFinish& finish : finishes)
        for (Lwo2Surface& surface : object.surfaces) {
            if (surface.name != finish.surface) continue;
            if (finish.reflection > 0.0f) {
                surface.values.push_back({"REFL", {finish.reflection, 0}});
                surface.reflectionOptions = MIRROR;
            }
            if (finish.transparency > 0.0f) surface.values.push_back({"TRAN", {finish.transparency, 0}});
        }
    Lwo2Writer writer;
    writer.writeObject(object);
    std::vector<uint8_t> data = writer.bytes();
    return std::string(data.begin(), data.end());
}

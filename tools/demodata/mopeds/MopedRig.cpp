#include "tools/demodata/mopeds/MopedRig.h"

#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/RiderFigure.h"
#include "tools/lightwave/LwsWriter.h"

namespace {

LwsObject layerObject(const std::string& file, int layer, Vec3 position, uint32_t parent) {
    LwsObject object;
    object.fileName = file;
    object.layer = layer + 1;
    object.item.motion = lwsStillMotion(toArray(position));
    object.item.parentItem = lwsObjectId(parent);
    return object;
}

} // namespace

PlacedMoped placeMoped(LwsScene& scene, int model, int colour, uint32_t parent, float farFrom) {
    const MopedDesign& design = mopedDesign(model);
    const std::string file = MopedNames::mopedObject(model, colour);
    PlacedMoped placed{};
    auto add = [&](LwsObject object) {
        if (farFrom > 0.0f && !object.fileName.empty())
            object.levelsOfDetail = {{farFrom, MopedNames::farMopedObject(model, colour, object.layer - 1)}};
        scene.objects.push_back(std::move(object));
        return uint32_t(scene.objects.size() - 1);
    };
    placed.body = add(layerObject(file, MopedNames::BODY_LAYER, {0.0f, 0.0f, 0.0f}, parent));
    add(layerObject(file, MopedNames::FRONT_WHEEL_LAYER, design.frontCentre(), placed.body));
    add(layerObject(file, MopedNames::REAR_WHEEL_LAYER, design.rearCentre(), placed.body));
    const int rider = MopedNames::RIDER_OF_MODEL[model];
    LwsObject figure = layerObject(MopedNames::riderObject(rider), 0, {0.0f, 0.0f, 0.0f}, parent);
    placed.rider = uint32_t(scene.objects.size());
    // The loader makes bones only after the falloff line; 0 lets distance count least.
    figure.boneFalloffType = 0;
    figure.bones = riderFigure(rider).bones(placed.rider);
    scene.objects.push_back(std::move(figure));
    return placed;
}

#include "tools/demodata/mopeds/MopedDesign.h"

#include "tools/demodata/mopeds/MopedNames.h"

Lwo2Object MopedDesign::object(int colour) const {
    Shape frontWheel, rearWheel;
    frontWheel.setCoarse(coarse);
    rearWheel.setCoarse(coarse);
    MopedParts::wheel(frontWheel, frontCentre(), front);
    MopedParts::wheel(rearWheel, rearCentre(), rear);
    Lwo2Object object;
    object.tags = MopedParts::tags();
    object.surfaces = MopedParts::surfaces(colour);
    const std::vector<Lwo2Surface>& s = object.surfaces;
    object.layers = {body.withoutHiddenFaces(s).layer(MopedNames::BODY_LAYER, "body", {0.0f, 0.0f, 0.0f}),
                     frontWheel.withoutHiddenFaces(s).layer(MopedNames::FRONT_WHEEL_LAYER, "front_wheel", frontCentre()),
                     rearWheel.withoutHiddenFaces(s).layer(MopedNames::REAR_WHEEL_LAYER, "rear_wheel", rearCentre())};
    return object;
}

const MopedDesign& mopedDesign(int model, bool coarse) {
    static const MopedDesign designs[MopedNames::MODELS] = {hercules(false), kreidler(false), roller(false), vespa(false),
                                                            yamaha(false)};
    static const MopedDesign far[MopedNames::MODELS] = {hercules(true), kreidler(true), roller(true), vespa(true), yamaha(true)};
    return coarse ? far[model] : designs[model];
}

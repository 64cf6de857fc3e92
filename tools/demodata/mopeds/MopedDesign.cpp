#include "tools/demodata/mopeds/MopedDesign.h"

#include "tools/demodata/mopeds/MopedNames.h"

Lwo2Object MopedDesign::object(int colour) const {
    Shape frontWheel, rearWheel;
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

const MopedDesign& mopedDesign(int model) {
    static const MopedDesign designs[MopedNames::MODELS] = {hercules(), kreidler(), roller(), vespa(), yamaha()};
    return designs[model];
}

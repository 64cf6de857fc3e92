#include "tools/demodata/mopeds/MopedDesign.h"

#include "tools/demodata/mopeds/MopedNames.h"

Lwo2Object MopedDesign::object(int colour) const {
    Shape frontWheel, rearWheel;
    MopedParts::wheel(frontWheel, frontCentre(), front);
    MopedParts::wheel(rearWheel, rearCentre(), rear);
    Lwo2Object object;
    object.tags = MopedParts::tags();
    object.layers = {body.layer(MopedNames::BODY_LAYER, "body", {0.0f, 0.0f, 0.0f}),
                     frontWheel.layer(MopedNames::FRONT_WHEEL_LAYER, "front_wheel", frontCentre()),
                     rearWheel.layer(MopedNames::REAR_WHEEL_LAYER, "rear_wheel", rearCentre())};
    object.surfaces = MopedParts::surfaces(colour);
    return object;
}

const MopedDesign& mopedDesign(int model) {
    static const MopedDesign designs[MopedNames::MODELS] = {hercules(), kreidler(), roller(), vespa(), yamaha()};
    return designs[model];
}

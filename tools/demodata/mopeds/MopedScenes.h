#pragma once
#include <vector>

#include "tools/demodata/mopeds/MopedFiles.h"
#include "tools/lightwave/LwsScene.h"

// The scene the race merges into a track for a rider on this model and
// colour: the control null, the collision body, the moped and its rider with
// the "moped" actor, one of each extra's objects and the explosion; then a
// light and a camera for viewing it alone (a merge reads objects only).
LwsScene raceScene(int model, int colour);

// The menu's preview of the model and colour: the moped with its rider on a
// turntable that goes round once every PREVIEW_TURN seconds for ever, lit,
// with one camera and no background image.
LwsScene previewScene(int model, int colour);
inline constexpr float PREVIEW_TURN = 12.0f;

// The twenty race scenes and the twenty previews.
std::vector<MopedFile> mopedSceneFiles();

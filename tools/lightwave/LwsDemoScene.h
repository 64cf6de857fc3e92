#pragma once
#include "tools/lightwave/LwsScene.h"

// A small scene that uses every block the loader reads: objects with a parent,
// bones, physics bodies, geoms and a joint, an emitter with effectors, one
// light of each type, two cameras, envelopes, an actor with a track and a
// hypervoxel object. It names the object file "objects/cube.lwo".
LwsScene lwsDemoScene();

#include "engine/scene/mesh/MeshBuildData.h"

void MeshBuildData::clear() {
    int32_t influences = influenceCount;
    *this = MeshBuildData();
    influenceCount = influences;
}

#include "engine/platform/archive/File.h"

File* g_fileSystem = nullptr;

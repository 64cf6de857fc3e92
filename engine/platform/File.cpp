#include "engine/platform/File.h"

File* g_fileSystem = nullptr;

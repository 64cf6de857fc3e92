#include "engine/platform/archive/SharedFile.h"

#include "engine/platform/archive/File.h"

TextureFileSource g_textureFileSource;

SharedFile::SharedFile(File& file) : m_file(file.clone()) {}

SharedFile::~SharedFile() = default;

void setTextureFileSource(File* file) {
    if (g_textureFileSource.m_holder) g_textureFileSource.m_holder->release();
    g_textureFileSource = {};
    if (!file) return;
    g_textureFileSource.m_holder = new SharedFile(*file);
    g_textureFileSource.m_file = file;
}

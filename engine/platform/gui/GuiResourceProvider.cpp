#include "engine/platform/gui/GuiResourceProvider.h"

#include <CEGUI/Exceptions.h>

#include <cstring>

#include "engine/platform/archive/File.h"

const char* const GuiResourceProvider::MENU_FOLDER = "D:\\Vantorik\\menu\\";

GuiResourceProvider::GuiResourceProvider(File& file) : m_file(file.clone()) {}

GuiResourceProvider::~GuiResourceProvider() = default;

void GuiResourceProvider::loadRawDataContainer(const CEGUI::String& filename, CEGUI::RawDataContainer& output,
                                               const CEGUI::String&) {
    CEGUI::String path = CEGUI::String(MENU_FOLDER) + filename;
    if (!m_file->open(path.c_str()))
        CEGUI_THROW(CEGUI::InvalidRequestException("GuiResourceProvider::loadRawDataContainer - Couldn't open " + path));
    const uint32_t size = m_file->getSize();
    auto* bytes = new CEGUI::uint8[size ? size : 1];
    const uint32_t read = m_file->readFully(bytes, size);
    m_file->close();
    if (read < size) {
        delete[] bytes;
        CEGUI_THROW(CEGUI::InvalidRequestException("GuiResourceProvider::loadRawDataContainer - Couldn't read " + path));
    }
    output.setData(bytes);
    output.setSize(size);
}

void GuiResourceProvider::unloadRawDataContainer(CEGUI::RawDataContainer& data) {
    if (!data.getDataPtr()) return;
    delete[] data.getDataPtr();
    data.setData(nullptr);
    data.setSize(0);
}

size_t GuiResourceProvider::getResourceGroupFileNames(std::vector<CEGUI::String>&, const CEGUI::String&,
                                                      const CEGUI::String&) {
    // The archive is opened by name only; the game never asks for a listing.
    return 0;
}

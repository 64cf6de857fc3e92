#pragma once
#include <CEGUI/ResourceProvider.h>
#include <memory>

class File;

// Hands the GUI library its scheme, imageset, look and font files through the
// engine's file layer, so they come from the data archive like every asset.
class GuiResourceProvider : public CEGUI::ResourceProvider {
public:
    // Keeps its own clone of the file source.
    explicit GuiResourceProvider(File& file);
    ~GuiResourceProvider() override;
    GuiResourceProvider(const GuiResourceProvider&) = delete;
    GuiResourceProvider& operator=(const GuiResourceProvider&) = delete;

    // Reads "D:\Vantorik\menu\" + filename; throws InvalidRequestException when it cannot.
    void loadRawDataContainer(const CEGUI::String& filename, CEGUI::RawDataContainer& output,
                              const CEGUI::String& resourceGroup) override;
    void unloadRawDataContainer(CEGUI::RawDataContainer& data) override;
    size_t getResourceGroupFileNames(std::vector<CEGUI::String>& out, const CEGUI::String& pattern,
                                     const CEGUI::String& resourceGroup) override;

    static const char* const MENU_FOLDER;

private:
    std::unique_ptr<File> m_file;
};

#include "tools/guidata/GuiData.h"

#include <future>

#include "tools/guidata/GuiImagesets.h"
#include "tools/guidata/QuillfenLook.h"
#include "tools/guidata/QuillfenScheme.h"

namespace {

const std::string MENU = "D:\\Vantorik\\menu\\";

struct MenuFont {
    const char* name;
    const char* trueType;
    int points;
};

// DejaVu Sans stands in for Verdana: same build, and it covers Latin-1 and Cyrillic.
const MenuFont FONTS[] = {
    {"VerdanaSmall", "DejaVuSans.ttf", 10},         {"VerdanaSmallItalic", "DejaVuSans-Oblique.ttf", 10},
    {"VerdanaMedium", "DejaVuSans.ttf", 12},        {"VerdanaMediumItalic", "DejaVuSans-Oblique.ttf", 12},
    {"VerdanaLarge", "DejaVuSans.ttf", 16},         {"VerdanaLargeItalic", "DejaVuSans-Oblique.ttf", 16},
};

std::string fontXml(const MenuFont& f) {
    // Sized for the 1024 x 768 layout and scaled with the screen's height, as the screens are.
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Font version=\"3\" name=\"" + std::string(f.name) +
           "\" filename=\"" + f.trueType + "\" type=\"FreeType\" size=\"" + std::to_string(f.points) +
           "\" nativeHorzRes=\"1024\" nativeVertRes=\"768\" autoScaled=\"vertical\" antiAlias=\"true\" />\n";
}

} // namespace

std::vector<GuiFile> guiDataFiles(const std::string& fontFolder) {
    std::vector<GuiFile> files;
    files.push_back({MENU + "Quillfen.scheme", quillfenSchemeXml()});
    files.push_back({MENU + "Quillfen.looknfeel", quillfenLookNFeelXml()});
    const TextPainter bold(readFontFile(fontFolder + "DejaVuSans-Bold.ttf"));
    const std::vector<ImagesetBuilder> sets = guiImagesets(bold);
    // The sheets are big: they are packed into PNG side by side.
    std::vector<std::future<std::string>> pngs;
    for (const ImagesetBuilder& set : sets)
        pngs.push_back(std::async(std::launch::async, [&set] { return set.sheet().encodePng(); }));
    for (size_t i = 0; i < sets.size(); ++i) {
        files.push_back({MENU + sets[i].name() + ".imageset", sets[i].imagesetXml()});
        files.push_back({MENU + sets[i].pictureFileName(), pngs[i].get()});
    }
    for (const char* trueType : {"DejaVuSans.ttf", "DejaVuSans-Oblique.ttf"})
        files.push_back({MENU + trueType, readFontFile(fontFolder + trueType)});
    for (const MenuFont& f : FONTS) files.push_back({MENU + f.name + ".font", fontXml(f)});
    return files;
}

#include "tools/demodata/texts/DemoTexts.h"

#include <algorithm>

#include "tools/demodata/texts/Credits.h"
#include "tools/demodata/texts/LocalisedText.h"
#include "tools/demodata/texts/TextTableXml.h"

namespace {

// In id order, so the file reads like the table it is.
std::string sortedTable(std::vector<LocalisedText> texts) {
    std::stable_sort(texts.begin(), texts.end(),
                     [](const LocalisedText& a, const LocalisedText& b) { return a.id < b.id; });
    return textTableXml(texts);
}

} // namespace

std::vector<GuiFile> demoTextFiles() {
    return {
        {"D:\\Vantorik\\menu\\Texts.xml", sortedTable(menuTexts())},
        {"D:\\Vantorik\\menu\\IngameTexts.xml", sortedTable(ingameTexts())},
        {"D:\\Vantorik\\menu\\Credits.txt", creditsText()},
    };
}

#pragma once
#include <string>
#include <vector>

// One widget type of the "Quillfen" scheme: the type the game creates, the
// library class it builds on and the window renderer drawing it. Its look has
// the type's own name.
struct GuiWidgetType {
    const char* windowType;
    const char* targetType;
    const char* renderer;
};

// Every type the scheme maps: the game's widgets and the parts they are built of.
const std::vector<GuiWidgetType>& quillfenWidgetTypes();

std::string quillfenSchemeXml();

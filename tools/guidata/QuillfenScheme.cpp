#include "tools/guidata/QuillfenScheme.h"

const std::vector<GuiWidgetType>& quillfenWidgetTypes() {
    static const std::vector<GuiWidgetType> types = {
        {"Quillfen/StaticImage", "DefaultWindow", "Core/StaticImage"},
        {"Quillfen/StaticText", "DefaultWindow", "Core/StaticText"},
        {"Quillfen/BlackWindow", "DefaultWindow", "Core/Default"},
        {"Quillfen/Button", "CEGUI/PushButton", "Core/Button"},
        {"Quillfen/ImageButton", "CEGUI/PushButton", "Core/Button"},
        {"Quillfen/RadioButton", "CEGUI/RadioButton", "Core/ToggleButton"},
        {"Quillfen/BigRadioButton", "CEGUI/RadioButton", "Core/ToggleButton"},
        {"Quillfen/Editbox", "CEGUI/Editbox", "Core/Editbox"},
        {"Quillfen/Slider", "CEGUI/Slider", "Core/Slider"},
        {"Quillfen/Combobox", "CEGUI/Combobox", "Core/Default"},
        {"Quillfen/FrameWindow", "CEGUI/FrameWindow", "Core/FrameWindow"},
        {"Quillfen/Titlebar", "CEGUI/Titlebar", "Core/Titlebar"},
        {"Quillfen/CloseButton", "CEGUI/PushButton", "Core/Button"},
        {"Quillfen/Thumb", "CEGUI/Thumb", "Core/Button"},
        {"Quillfen/SmallButton", "CEGUI/PushButton", "Core/Button"},
        {"Quillfen/ComboButton", "CEGUI/PushButton", "Core/Button"},
        {"Quillfen/VerticalScrollbar", "CEGUI/Scrollbar", "Core/Scrollbar"},
        {"Quillfen/HorizontalScrollbar", "CEGUI/Scrollbar", "Core/Scrollbar"},
        {"Quillfen/ComboDropList", "CEGUI/ComboDropList", "Core/Listbox"},
    };
    return types;
}

std::string quillfenSchemeXml() {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<GUIScheme version=\"5\" name=\"Quillfen\">\n"
                      "  <Imageset filename=\"Quillfen.imageset\" />\n"
                      "  <LookNFeel filename=\"Quillfen.looknfeel\" />\n"
                      "  <WindowRendererSet filename=\"CEGUICoreWindowRendererSet\" />\n";
    for (const GuiWidgetType& t : quillfenWidgetTypes())
        xml += "  <FalagardMapping windowType=\"" + std::string(t.windowType) + "\" targetType=\"" + t.targetType +
               "\" renderer=\"" + t.renderer + "\" lookNFeel=\"" + t.windowType + "\" />\n";
    return xml + "</GUIScheme>\n";
}

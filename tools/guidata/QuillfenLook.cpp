#include "tools/guidata/QuillfenLook.h"

#include "tools/guidata/LookBuilder.h"
#include "tools/guidata/MenuScenery.h"

namespace {

const uint32_t FRAME = 0xFFE8A020;    // amber edges
const uint32_t FILL = 0xFF34506E;     // control face
const uint32_t PUSHED = 0xFF1E3048;
const uint32_t GREYED = 0xFF5A5A5A;
const uint32_t PANEL = 0xE0182838;    // list backdrops
const uint32_t WINDOW = scenery::SLATE; // a frameless window: the inside of the framed one
const uint32_t WHITE = 0xFFFFFFFF;
const uint32_t DIM_TEXT = 0xFFA0A0A0;
const uint32_t GREYED_TEXT = 0xFF6E6E6E;
// Dark letters and rims on the amber buttons and the light boxes, in the button pictures' colours.
using scenery::INK;
const uint32_t AMBER_HOVER = scenery::AMBER_LIGHT;
const uint32_t AMBER_PUSHED = scenery::AMBER_DARK;
const uint32_t LIGHT_GREY = scenery::GREYED_FACE;
const uint32_t GREYED_EDGE = scenery::GREYED_RIM;
const uint32_t LIGHT = scenery::CREAM;

const float EDGE = 2.0f;      // frame thickness in pixels
const float TITLE = 28.0f;    // title bar height
const float BAR = 16.0f;      // scroll bar thickness
const float COMBO_EDIT = 40.0f;

// Parts drawn over the widget's frame, placed against the whole widget rather than its client area.
const LookBuilder::Properties NON_CLIENT = {{"NonClient", "true"}};
// A thumb is held in place unless its look lets the mouse drag it along its track.
const LookBuilder::Properties ACROSS = {{"HorzFree", "true"}};
const LookBuilder::Properties UP_AND_DOWN = {{"VertFree", "true"}};

LookArea strip(float left, float leftPx, float top, float topPx, float width, float widthPx, float height,
               float heightPx) {
    return {left, leftPx, top, topPx, width, widthPx, height, heightPx};
}

// Frame, backdrop and their states, shared by the static image and the static text.
void staticParts(LookBuilder& b) {
    b.beginSection("frame");
    b.outline(LookArea::whole(), EDGE, FRAME);
    b.endSection();
    b.beginSection("background_framed");
    b.imageFromProperty(LookArea::inset(EDGE), "BackgroundImage", "BackgroundColours");
    b.endSection();
    b.beginSection("background");
    b.imageFromProperty(LookArea::whole(), "BackgroundImage", "BackgroundColours");
    b.endSection();
    b.state("Enabled", {});
    b.state("Disabled", {});
    b.state("EnabledFrame", {{{"frame", ""}}});
    b.state("DisabledFrame", {{{"frame", ""}}});
    b.state("WithFrameEnabledBackground", {{{"background_framed", ""}}});
    b.state("WithFrameDisabledBackground", {{{"background_framed", ""}}});
    b.state("NoFrameEnabledBackground", {{{"background", ""}}});
    b.state("NoFrameDisabledBackground", {{{"background", ""}}});
}

void staticDefinitions(LookBuilder& b) {
    b.propertyDefinition("BackgroundImage", "Image", "Quillfen/GenericBrush");
    b.propertyDefinition("BackgroundColours", "ColourRect", colourRect(PANEL));
}

void staticImage(LookBuilder& b) {
    b.beginLook("Quillfen/StaticImage");
    staticDefinitions(b);
    staticParts(b);
    b.beginSection("image_framed");
    b.imageFromProperty(LookArea::inset(EDGE), "Image");
    b.endSection();
    b.beginSection("image");
    b.imageFromProperty(LookArea::whole(), "Image");
    b.endSection();
    b.state("WithFrameImage", {{{"image_framed", ""}}});
    b.state("NoFrameImage", {{{"image", ""}}});
    b.endLook();
}

void staticText(LookBuilder& b) {
    b.beginLook("Quillfen/StaticText");
    staticDefinitions(b);
    const char* scrolls[] = {"", "HScroll", "VScroll", "HVScroll"};
    for (int framed = 0; framed < 2; ++framed)
        for (int s = 0; s < 4; ++s) {
            const float pad = framed ? 4.0f : 0.0f;
            const float right = (s & 2) ? BAR : 0.0f, bottom = (s & 1) ? BAR : 0.0f;
            b.namedArea(std::string(framed ? "WithFrame" : "NoFrame") + "TextRenderArea" + scrolls[s],
                        strip(0, pad, 0, pad, 1, -2 * pad - right, 1, -2 * pad - bottom));
        }
    b.child("Quillfen/VerticalScrollbar", "__auto_vscrollbar__", strip(1, -BAR, 0, 0, 0, BAR, 1, -BAR), NON_CLIENT);
    b.child("Quillfen/HorizontalScrollbar", "__auto_hscrollbar__", strip(0, 0, 1, -BAR, 1, -BAR, 0, BAR), NON_CLIENT);
    staticParts(b);
    b.endLook();
}

void blackWindow(LookBuilder& b) {
    b.beginLook("Quillfen/BlackWindow");
    b.beginSection("main");
    b.fill(LookArea::whole(), 0xB0000000);
    b.endSection();
    b.state("Enabled", {{{"main", ""}}});
    b.state("Disabled", {{{"main", ""}}});
    b.endLook();
}

// The four states' faces of a button, in the order normal, hover, pushed, disabled.
const char* const BUTTON_STATES[] = {"normal", "hover", "pushed", "disabled"};

void labelColours(LookBuilder& b, uint32_t text, uint32_t disabledText) {
    b.propertyDefinition("NormalTextColour", "ColourRect", colourRect(text));
    b.propertyDefinition("HoverTextColour", "ColourRect", colourRect(text));
    b.propertyDefinition("PushedTextColour", "ColourRect", colourRect(text));
    b.propertyDefinition("DisabledTextColour", "ColourRect", colourRect(disabledText));
}

// The label (or a downward arrow of stepped bars) in the state's text colour over the state's face.
void buttonLabelAndStates(LookBuilder& b, bool label, bool arrow) {
    b.beginSection("label");
    if (label) b.text(LookArea::inset(4), "CentreAligned", "CentreAligned");
    for (int step = 0; arrow && step < 6; ++step) {
        const float width = 16.0f - 3.0f * float(step);
        b.fill(strip(0.5f, -width / 2, 0.5f, -5.0f + 2.0f * float(step), 0, width, 0, 2), INK);
    }
    b.endSection();
    b.state("Normal", {{{"normal", ""}, {"label", "NormalTextColour"}}});
    b.state("Hover", {{{"hover", ""}, {"label", "HoverTextColour"}}});
    b.state("Pushed", {{{"pushed", ""}, {"label", "PushedTextColour"}}});
    b.state("PushedOff", {{{"normal", ""}, {"label", "NormalTextColour"}}});
    b.state("Disabled", {{{"disabled", ""}, {"label", "DisabledTextColour"}}});
    b.endLook();
}

// A flat face with a dark edge in each state, in the amber of the text buttons:
// the slider thumbs and the small buttons of scroll bars and lists.
void flatButton(LookBuilder& b, const std::string& name, bool label, bool arrow = false) {
    b.beginLook(name);
    labelColours(b, INK, GREYED_TEXT);
    const uint32_t faces[] = {FRAME, AMBER_HOVER, AMBER_PUSHED, LIGHT_GREY};
    for (int i = 0; i < 4; ++i) {
        b.beginSection(BUTTON_STATES[i]);
        b.fill(LookArea::whole(), faces[i]);
        b.outline(LookArea::whole(), EDGE, i == 3 ? GREYED_EDGE : INK);
        b.endSection();
    }
    buttonLabelAndStates(b, label, arrow);
}

// The windows' and screens' text buttons: the menus' amber with a dark ring and dark letters.
void roundedButton(LookBuilder& b) {
    b.beginLook("Quillfen/Button");
    labelColours(b, INK, GREYED_TEXT);
    const char* const pictures[] = {"Quillfen/Button", "Quillfen/ButtonHover", "Quillfen/ButtonPushed",
                                    "Quillfen/ButtonDisabled"};
    for (int i = 0; i < 4; ++i) {
        b.beginSection(BUTTON_STATES[i]);
        b.frameImages(LookArea::whole(), pictures[i]);
        b.endSection();
    }
    buttonLabelAndStates(b, true, false);
}

// The game's picture buttons: each state shows the image its property names.
void imageButton(LookBuilder& b) {
    b.beginLook("Quillfen/ImageButton");
    const char* images[] = {"NormalImage", "HoverImage", "PushedImage", "DisabledImage"};
    for (const char* image : images) b.propertyDefinition(image, "Image", "");
    for (const char* image : images) {
        b.beginSection(image);
        b.imageFromProperty(LookArea::whole(), image);
        b.endSection();
    }
    b.state("Normal", {{{"NormalImage", ""}}});
    b.state("Hover", {{{"HoverImage", ""}}});
    b.state("Pushed", {{{"PushedImage", ""}}});
    b.state("PushedOff", {{{"NormalImage", ""}}});
    b.state("Disabled", {{{"DisabledImage", ""}}});
    b.endLook();
}

// A light square with a dark edge, like the edit boxes; selected ones carry an amber dot.
void radioButton(LookBuilder& b, const std::string& name, float edge) {
    b.beginLook(name);
    const std::pair<const char*, uint32_t> boxes[] = {
        {"box", LIGHT}, {"box_hover", AMBER_HOVER}, {"box_disabled", LIGHT_GREY}};
    for (const auto& [section, colour] : boxes) {
        b.beginSection(section);
        b.fill(LookArea::whole(), colour);
        b.outline(LookArea::whole(), edge, section == std::string("box_disabled") ? GREYED_EDGE : INK);
        b.endSection();
    }
    b.beginSection("dot");
    b.fill(strip(0.25f, 0, 0.25f, 0, 0.5f, 0, 0.5f, 0), FRAME);
    b.endSection();
    b.state("Normal", {{{"box", ""}}});
    b.state("Hover", {{{"box_hover", ""}}});
    b.state("Pushed", {{{"box_hover", ""}}});
    b.state("PushedOff", {{{"box", ""}}});
    b.state("Disabled", {{{"box_disabled", ""}}});
    b.state("SelectedNormal", {{{"box", ""}, {"dot", ""}}});
    b.state("SelectedHover", {{{"box_hover", ""}, {"dot", ""}}});
    b.state("SelectedPushed", {{{"box_hover", ""}, {"dot", ""}}});
    b.state("SelectedPushedOff", {{{"box", ""}, {"dot", ""}}});
    b.state("SelectedDisabled", {{{"box_disabled", ""}, {"dot", ""}}});
    b.endLook();
}

void editbox(LookBuilder& b) {
    b.beginLook("Quillfen/Editbox");
    b.propertyDefinition("NormalTextColour", "ColourRect", colourRect(INK));
    b.propertyDefinition("SelectedTextColour", "ColourRect", colourRect(INK));
    b.propertyDefinition("ActiveSelectionColour", "ColourRect", colourRect(AMBER_HOVER));
    b.propertyDefinition("InactiveSelectionColour", "ColourRect", colourRect(DIM_TEXT));
    b.namedArea("TextArea", LookArea::inset(6));
    b.beginSection("main");
    b.frameImages(LookArea::whole(), "Quillfen/Editbox");
    b.endSection();
    b.beginSection("disabled");
    b.frameImages(LookArea::whole(), "Quillfen/EditboxDisabled");
    b.endSection();
    b.beginSection("Caret");
    b.fill(strip(0, 0, 0, 0, 0, 2, 1, 0), INK);
    b.endSection();
    b.beginSection("selection");
    b.fill(LookArea::whole(), WHITE);
    b.endSection();
    b.state("Enabled", {{{"main", ""}}});
    b.state("ReadOnly", {{{"main", ""}}});
    b.state("Disabled", {{{"disabled", ""}}});
    b.state("ActiveSelection", {{{"selection", "ActiveSelectionColour"}}});
    b.state("InactiveSelection", {{{"selection", "InactiveSelectionColour"}}});
    b.endLook();
}

void slider(LookBuilder& b) {
    b.beginLook("Quillfen/Slider");
    b.namedArea("ThumbTrackArea", LookArea::whole());
    b.child("Quillfen/Thumb", "__auto_thumb__", strip(0, 0, 0, 0, 0, 16, 1, 0), ACROSS);
    const std::pair<const char*, uint32_t> tracks[] = {{"track", FRAME}, {"track_disabled", GREYED}};
    for (const auto& [section, colour] : tracks) {
        b.beginSection(section);
        b.fill(strip(0, 0, 0.5f, -3, 1, 0, 0, 6), colour);
        b.endSection();
    }
    b.state("Enabled", {{{"track", ""}}});
    b.state("Disabled", {{{"track_disabled", ""}}});
    b.endLook();
}

void scrollbar(LookBuilder& b, bool vertical) {
    b.beginLook(vertical ? "Quillfen/VerticalScrollbar" : "Quillfen/HorizontalScrollbar");
    if (vertical) b.property("VerticalScrollbar", "true");
    if (vertical) {
        b.namedArea("ThumbTrackArea", strip(0, 0, 0, BAR, 1, 0, 1, -2 * BAR));
        b.child("Quillfen/SmallButton", "__auto_decbtn__", strip(0, 0, 0, 0, 1, 0, 0, BAR));
        b.child("Quillfen/SmallButton", "__auto_incbtn__", strip(0, 0, 1, -BAR, 1, 0, 0, BAR));
        b.child("Quillfen/Thumb", "__auto_thumb__", strip(0, 0, 0, BAR, 1, 0, 0, 24), UP_AND_DOWN);
    } else {
        b.namedArea("ThumbTrackArea", strip(0, BAR, 0, 0, 1, -2 * BAR, 1, 0));
        b.child("Quillfen/SmallButton", "__auto_decbtn__", strip(0, 0, 0, 0, 0, BAR, 1, 0));
        b.child("Quillfen/SmallButton", "__auto_incbtn__", strip(1, -BAR, 0, 0, 0, BAR, 1, 0));
        b.child("Quillfen/Thumb", "__auto_thumb__", strip(0, BAR, 0, 0, 0, 24, 1, 0), ACROSS);
    }
    b.beginSection("track");
    b.fill(LookArea::whole(), PUSHED);
    b.endSection();
    b.state("Enabled", {{{"track", ""}}});
    b.state("Disabled", {{{"track", ""}}});
    b.endLook();
}

void comboDropList(LookBuilder& b) {
    b.beginLook("Quillfen/ComboDropList");
    const char* scrolls[] = {"", "HScroll", "VScroll", "HVScroll"};
    for (int s = 0; s < 4; ++s)
        b.namedArea(std::string("ItemRenderingArea") + scrolls[s],
                    strip(0, 3, 0, 3, 1, -6 - ((s & 2) ? BAR : 0), 1, -6 - ((s & 1) ? BAR : 0)));
    b.child("Quillfen/VerticalScrollbar", "__auto_vscrollbar__", strip(1, -BAR - EDGE, 0, EDGE, 0, BAR, 1, -2 * EDGE),
            NON_CLIENT);
    b.child("Quillfen/HorizontalScrollbar", "__auto_hscrollbar__",
            strip(0, EDGE, 1, -BAR - EDGE, 1, -2 * EDGE - BAR, 0, BAR), NON_CLIENT);
    b.beginSection("main");
    b.fill(LookArea::whole(), PANEL);
    b.outline(LookArea::whole(), EDGE, FRAME);
    b.endSection();
    b.state("Enabled", {{{"main", ""}}});
    b.state("Disabled", {{{"main", ""}}});
    b.endLook();
}

void combobox(LookBuilder& b) {
    b.beginLook("Quillfen/Combobox");
    b.child("Quillfen/Editbox", "__auto_editbox__", strip(0, 0, 0, 0, 1, -COMBO_EDIT, 0, COMBO_EDIT));
    b.child("Quillfen/ComboButton", "__auto_button__", strip(1, -COMBO_EDIT, 0, 0, 0, COMBO_EDIT, 0, COMBO_EDIT));
    b.child("Quillfen/ComboDropList", "__auto_droplist__", strip(0, 0, 0, COMBO_EDIT, 1, 0, 1, -COMBO_EDIT));
    b.state("Enabled", {});
    b.state("Disabled", {});
    b.endLook();
}

void titlebar(LookBuilder& b) {
    b.beginLook("Quillfen/Titlebar");
    const std::pair<const char*, uint32_t> bars[] = {{"active", FILL}, {"inactive", PUSHED}, {"disabled", GREYED}};
    for (const auto& [section, colour] : bars) {
        b.beginSection(section);
        b.fill(LookArea::whole(), colour);
        b.endSection();
    }
    b.beginSection("caption");
    b.text(strip(0, 8, 0, 0, 1, -40, 1, 0), "LeftAligned", "CentreAligned");
    b.endSection();
    b.state("Active", {{{"active", ""}, {"caption", ""}}});
    b.state("Inactive", {{{"inactive", ""}, {"caption", ""}}});
    b.state("Disabled", {{{"disabled", ""}, {"caption", ""}}});
    b.endLook();
}

void frameWindow(LookBuilder& b) {
    b.beginLook("Quillfen/FrameWindow");
    b.namedArea("ClientWithTitleWithFrame", strip(0, EDGE, 0, TITLE, 1, -2 * EDGE, 1, -TITLE - EDGE));
    b.namedArea("ClientWithTitleNoFrame", strip(0, 0, 0, TITLE, 1, 0, 1, -TITLE));
    b.namedArea("ClientNoTitleWithFrame", LookArea::inset(EDGE));
    b.namedArea("ClientNoTitleNoFrame", LookArea::whole());
    b.child("Quillfen/Titlebar", "__auto_titlebar__", strip(0, 0, 0, 0, 1, 0, 0, TITLE), NON_CLIENT);
    b.child("Quillfen/CloseButton", "__auto_closebutton__", strip(1, -TITLE + 4, 0, 4, 0, TITLE - 8, 0, TITLE - 8),
            {{"NonClient", "true"}, {"AlwaysOnTop", "true"}});
    // The in-race sheets keep their windows disabled: they look the same as enabled ones.
    b.beginSection("framed");
    b.frameImages(LookArea::whole(), "Quillfen/Window");
    b.endSection();
    b.beginSection("plain");
    b.fill(LookArea::whole(), WINDOW);
    b.endSection();
    for (const char* title : {"WithTitle", "NoTitle"}) {
        for (const char* activity : {"Active", "Inactive"}) {
            b.state(std::string(activity) + title + "WithFrame", {{{"framed", ""}}});
            b.state(std::string(activity) + title + "NoFrame", {{{"plain", ""}}});
        }
        b.state(std::string("Disabled") + title + "WithFrame", {{{"framed", ""}}});
        b.state(std::string("Disabled") + title + "NoFrame", {{{"plain", ""}}});
    }
    b.endLook();
}

} // namespace

std::string quillfenLookNFeelXml() {
    LookBuilder b;
    staticImage(b);
    staticText(b);
    blackWindow(b);
    roundedButton(b);
    flatButton(b, "Quillfen/CloseButton", false);
    flatButton(b, "Quillfen/Thumb", false);
    flatButton(b, "Quillfen/SmallButton", false);
    flatButton(b, "Quillfen/ComboButton", false, true);
    imageButton(b);
    radioButton(b, "Quillfen/RadioButton", EDGE);
    radioButton(b, "Quillfen/BigRadioButton", 2 * EDGE);
    editbox(b);
    slider(b);
    scrollbar(b, true);
    scrollbar(b, false);
    comboDropList(b);
    combobox(b);
    titlebar(b);
    frameWindow(b);
    return b.finish();
}

#include <set>
#include <string>
#include <vector>

#include "engine/platform/gui/GuiRegexMatcher.h"
#include "tests/tools/GuiDataSystem.h"

namespace {

const char* const GAME_WIDGETS[] = {"Quillfen/StaticImage", "Quillfen/StaticText",  "Quillfen/Button",
                                    "Quillfen/ImageButton", "Quillfen/FrameWindow", "Quillfen/Editbox",
                                    "Quillfen/Combobox",    "Quillfen/Slider",      "Quillfen/RadioButton",
                                    "Quillfen/BigRadioButton", "Quillfen/BlackWindow"};

} // namespace

TEST(GuiData, NamesEveryFileUnderTheMenuFolderOnce) {
    const std::vector<GuiFile>& files = menuDataFiles();
    std::set<std::string> names;
    for (const GuiFile& f : files) {
        EXPECT_EQ(f.archiveName.rfind("D:\\Vantorik\\menu\\", 0), 0u) << f.archiveName;
        EXPECT_FALSE(f.bytes.empty()) << f.archiveName;
        EXPECT_TRUE(names.insert(f.archiveName).second) << f.archiveName;
    }
    for (const char* name : {"Quillfen.scheme", "Quillfen.looknfeel", "Quillfen.imageset", "Quillfen.png",
                             "VerdanaSmall.font", "VerdanaLargeItalic.font", "DejaVuSans.ttf", "Flags.imageset"})
        EXPECT_EQ(names.count(std::string("D:\\Vantorik\\menu\\") + name), 1u) << name;
    EXPECT_THROW(guiDataFiles("/nonexistent/"), std::runtime_error);
}

TEST_F(GuiDataSystem, SchemeOffersEveryWidgetTypeTheGameCreates) {
    createFonts();
    for (const char* type : GAME_WIDGETS) {
        CEGUI::Window* w = nullptr;
        try {
            w = create(type, 10, 10, 200, 60);
        } catch (const CEGUI::Exception& e) {
            FAIL() << type << ": " << e.getMessage() << "\n" << m_logger->m_errors;
        }
        w->setText("Quillfen");
    }
    // Drawing every widget in every look's state must find its images and properties.
    CEGUI::System::getSingleton().renderAllGUIContexts();
    EXPECT_EQ(m_logger->m_errors, "");
}

TEST_F(GuiDataSystem, FontsCoverLatin1AndCyrillic) {
    createFonts();
    for (const char* name : MENU_FONTS) {
        CEGUI::Font& font = CEGUI::FontManager::getSingleton().get(name);
        for (CEGUI::utf32 cp = 0x20; cp <= 0xFF; ++cp) {
            if (cp >= 0x7F && cp < 0xA0) continue; // control codes have no glyphs
            EXPECT_TRUE(font.isCodepointAvailable(cp)) << name << " U+" << std::hex << cp;
        }
        for (CEGUI::utf32 cp = 0x400; cp <= 0x4FF; ++cp)
            EXPECT_TRUE(font.isCodepointAvailable(cp)) << name << " U+" << std::hex << cp;
        EXPECT_GT(font.getTextExtent(utf8("Соединение")), 0.0f) << name;
    }
    EXPECT_LT(CEGUI::FontManager::getSingleton().get("VerdanaSmall").getFontHeight(),
              CEGUI::FontManager::getSingleton().get("VerdanaLarge").getFontHeight());
    EXPECT_EQ(context().getDefaultFont()->getName(), "VerdanaSmall");
}

TEST_F(GuiDataSystem, MouseArrowIsTheDefaultCursor) {
    context().getMouseCursor().setDefaultImage("Quillfen/MouseArrow");
    ASSERT_NE(context().getMouseCursor().getDefaultImage(), nullptr);
    EXPECT_EQ(context().getMouseCursor().getDefaultImage()->getName(), "Quillfen/MouseArrow");
}

TEST_F(GuiDataSystem, StaticTextKeepsCyrillicAsCodePoints) {
    createFonts();
    CEGUI::Window* text = create("Quillfen/StaticText", 20, 20, 600, 30);
    text->setFont("VerdanaLarge");
    text->setText(utf8("Соединение потеряно"));
    const std::u32string expected = U"Соединение потеряно";
    const CEGUI::String& got = text->getText();
    ASSERT_EQ(got.length(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(got[i], CEGUI::utf32(expected[i])) << i;
    EXPECT_GT(text->getFont()->getTextExtent(got), 0.0f);
}

TEST_F(GuiDataSystem, PushButtonReportsAClickOfTheMouse) {
    createFonts();
    CEGUI::Window* button = create("Quillfen/Button", 100, 100, 200, 50);
    int clicks = 0;
    button->subscribeEvent(CEGUI::PushButton::EventClicked, [&clicks](const CEGUI::EventArgs&) {
        ++clicks;
        return true;
    });
    context().injectMousePosition(200, 125);
    context().injectMouseButtonDown(CEGUI::LeftButton);
    context().injectMouseButtonUp(CEGUI::LeftButton);
    EXPECT_EQ(clicks, 1);
    // Released away from the button it is no click.
    context().injectMouseButtonDown(CEGUI::LeftButton);
    context().injectMousePosition(600, 500);
    context().injectMouseButtonUp(CEGUI::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(GuiDataSystem, EditboxTakesOnlyWhatTheValidationAllows) {
    createFonts();
    auto* edit = static_cast<CEGUI::Editbox*>(create("Quillfen/Editbox", 30, 230, 440, 50));
    GuiRegexMatcher matcher;
    edit->setValidator(&matcher);
    edit->setValidationString("[-+._0-9a-zA-Z ]*");
    edit->setMaxTextLength(16);
    edit->setFont("VerdanaMediumItalic");
    edit->activate();
    for (char c : std::string("Ri der!1")) context().injectChar(CEGUI::utf32(c));
    context().injectChar(0x0416); // a Cyrillic letter is not in the name alphabet
    EXPECT_EQ(edit->getText(), "Ri der1");
    EXPECT_EQ(edit->getTextMatchState(), CEGUI::RegexMatcher::MS_VALID);
    edit->setValidator(nullptr);
}

TEST_F(GuiDataSystem, PictureButtonsAndScreensFindTheirImages) {
    for (const char* set : {"Flags", "main", "Tracks", "Tracks_Greyscale", "Countdown", "Minimap_Objects"})
        loadImageset(m_gui, CEGUI::String(set) + ".imageset");
    CEGUI::ImageManager& images = CEGUI::ImageManager::getSingleton();
    for (const char* name : {"Quillfen/OKButtonHover", "Quillfen/RoundedMiniButtonDisabled", "Quillfen/GenericBrush",
                             "Quillfen/TransparentBrush", "Quillfen/IconReady", "Flags/FlagRU_Hover", "main/Background",
                             "Tracks/Track6", "Tracks_Greyscale/Track1", "Countdown/Count4", "Minimap_Objects/Blue"})
        EXPECT_TRUE(images.isDefined(name)) << name;

    CEGUI::Window* button = create("Quillfen/ImageButton", 885, 629, 120, 120);
    button->setProperty("NormalImage", "Quillfen/OKButton");
    button->setProperty("HoverImage", "Quillfen/OKButtonHover");
    EXPECT_EQ(button->getProperty("HoverImage"), "Quillfen/OKButtonHover");
    CEGUI::Window* picture = create("Quillfen/StaticImage", 0, 0, 1024, 768);
    picture->setProperty("Image", "Flags/FlagDE_Normal");
    picture->setProperty("BackgroundEnabled", "true");
    picture->setProperty("BackgroundColours", "tl:FFFFFFFF tr:FFFFFFFF bl:FFFFFFFF br:FFFFFFFF");
    EXPECT_EQ(picture->getProperty("Image"), "Flags/FlagDE_Normal");
    CEGUI::System::getSingleton().renderAllGUIContexts();
    EXPECT_EQ(m_logger->m_errors, "");
}

TEST_F(GuiDataSystem, UnloadedImagesetLoadsAgainWithItsPicture) {
    CEGUI::ImageManager& images = CEGUI::ImageManager::getSingleton();
    CEGUI::Renderer& renderer = *CEGUI::System::getSingleton().getRenderer();
    loadImageset(m_gui, "LoadingScreen.imageset");
    loadImageset(m_gui, "LoadingScreen.imageset");
    EXPECT_TRUE(images.isDefined("LoadingScreen/Bar"));
    unloadImageset(m_gui, "LoadingScreen");
    EXPECT_FALSE(images.isDefined("LoadingScreen/Bar"));
    EXPECT_FALSE(renderer.isTextureDefined("LoadingScreen"));
    // The next race's load really loads: a remembered file would leave the images missing.
    loadImageset(m_gui, "LoadingScreen.imageset");
    EXPECT_TRUE(images.isDefined("LoadingScreen/Background"));
    EXPECT_TRUE(renderer.isTextureDefined("LoadingScreen"));
    unloadImageset(m_gui, "Countdown");
    EXPECT_EQ(m_logger->m_errors, "");
}

TEST_F(GuiDataSystem, ComboboxDropsItsListOfEntries) {
    createFonts();
    auto* combo = static_cast<CEGUI::Combobox*>(create("Quillfen/Combobox", 193, 525, 300, 210));
    combo->setReadOnly(true);
    combo->addItem(new CEGUI::ListboxTextItem("Windowed"));
    combo->addItem(new CEGUI::ListboxTextItem(utf8("Русский")));
    combo->showDropList();
    EXPECT_TRUE(combo->getDropList()->isVisible());
    EXPECT_EQ(combo->getItemCount(), 2u);
    combo->getEditbox()->setFont("VerdanaMediumItalic");
    combo->setText("800 x 600");
    EXPECT_EQ(combo->getEditbox()->getText(), "800 x 600");
    CEGUI::System::getSingleton().renderAllGUIContexts();
    EXPECT_EQ(m_logger->m_errors, "");
}

TEST_F(GuiDataSystem, FrameWindowTitleSitsOnTheFrameAndCanBeSwitchedOff) {
    createFonts();
    auto* frame = static_cast<CEGUI::FrameWindow*>(create("Quillfen/FrameWindow", 262, 184, 500, 300));
    const CEGUI::Rectf outer = frame->getUnclippedOuterRect().get();
    const CEGUI::Rectf title = frame->getTitlebar()->getUnclippedOuterRect().get();
    EXPECT_FLOAT_EQ(title.top(), outer.top());
    EXPECT_FLOAT_EQ(title.left(), outer.left());
    EXPECT_FLOAT_EQ(title.getWidth(), outer.getWidth());
    // Children are laid out below the title, inside the frame.
    CEGUI::Window* text = CEGUI::WindowManager::getSingleton().createWindow("Quillfen/StaticText");
    frame->addChild(text);
    EXPECT_GT(text->getUnclippedOuterRect().get().top(), title.bottom() - 1.0f);

    frame->setCloseButtonEnabled(false);
    frame->setTitleBarEnabled(false);
    frame->setSizingEnabled(false);
    frame->setDragMovingEnabled(false);
    EXPECT_FALSE(frame->getTitlebar()->isVisible());
    EXPECT_FALSE(frame->getCloseButton()->isVisible());
    CEGUI::System::getSingleton().renderAllGUIContexts();
    EXPECT_EQ(m_logger->m_errors, "");
}

TEST_F(GuiDataSystem, SliderAndRadioButtonsFollowTheMouse) {
    auto* slider = static_cast<CEGUI::Slider*>(create("Quillfen/Slider", 530, 225, 300, 36));
    slider->setMaxValue(100.0f);
    slider->setCurrentValue(0.0f);
    // A press on the track right of the thumb steps the value up.
    context().injectMousePosition(800, 243);
    context().injectMouseButtonDown(CEGUI::LeftButton);
    context().injectMouseButtonUp(CEGUI::LeftButton);
    EXPECT_GT(slider->getCurrentValue(), 0.0f);

    auto* low = static_cast<CEGUI::RadioButton*>(create("Quillfen/RadioButton", 213, 235, 38, 37));
    auto* high = static_cast<CEGUI::RadioButton*>(create("Quillfen/BigRadioButton", 213, 277, 45, 45));
    low->setGroupID(2);
    high->setGroupID(2);
    low->setSelected(true);
    context().injectMousePosition(230, 295);
    context().injectMouseButtonDown(CEGUI::LeftButton);
    context().injectMouseButtonUp(CEGUI::LeftButton);
    EXPECT_TRUE(high->isSelected());
    EXPECT_FALSE(low->isSelected());
}

TEST_F(GuiDataSystem, ThumbsOfSlidersAndScrollbarsAreDraggedAlongTheirTracks) {
    auto* slider = static_cast<CEGUI::Slider*>(create("Quillfen/Slider", 193, 440, 300, 40));
    slider->setMaxValue(100.0f);
    slider->setCurrentValue(70.0f);
    // The 16 pixel thumb travels 284 pixels: at 70 its middle is 199 + 8 pixels in.
    context().injectMousePosition(193 + 207, 460);
    context().injectMouseButtonDown(CEGUI::LeftButton);
    context().injectMousePosition(193 + 207 - 142, 470);
    context().injectMouseButtonUp(CEGUI::LeftButton);
    EXPECT_NEAR(slider->getCurrentValue(), 20.0f, 1.0f);

    auto* scrollbar = static_cast<CEGUI::Scrollbar*>(create("Quillfen/VerticalScrollbar", 600, 100, 20, 300));
    scrollbar->setDocumentSize(1000.0f);
    scrollbar->setPageSize(100.0f);
    scrollbar->setScrollPosition(0.0f);
    const CEGUI::Rectf thumb = scrollbar->getThumb()->getUnclippedOuterRect().get();
    context().injectMousePosition(thumb.getPosition().d_x + 10, thumb.getPosition().d_y + 10);
    context().injectMouseButtonDown(CEGUI::LeftButton);
    context().injectMousePosition(thumb.getPosition().d_x + 12, thumb.getPosition().d_y + 110);
    context().injectMouseButtonUp(CEGUI::LeftButton);
    EXPECT_GT(scrollbar->getScrollPosition(), 100.0f);
}

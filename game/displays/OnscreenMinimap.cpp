#include "game/displays/OnscreenDisplays.h"

#include <string>

#include <CEGUI/CEGUI.h>

#include "engine/platform/gui/GuiContext.h"
#include "game/displays/DisplayWindows.h"
#include "game/race/Race.h"
#include "game/records/Config.h"

namespace {

constexpr int32_t TRACKS = 6;
constexpr float MAP_SIZE = 512.0f;
constexpr float MARGIN = 10.0f;
// The dot pictures are 17 pixels, placed by half of 16.
constexpr float DOT_SIZE = 17.0f;
constexpr float DOT_HALF = 8.0f;
const char* const DOT_IMAGES[] = {"Minimap_Objects/Red", "Minimap_Objects/Green", "Minimap_Objects/Blue"};

CEGUI::String trackImageset(int32_t track) { return "Minimap_Track0" + CEGUI::String(std::to_string(track + 1)); }

} // namespace

void OnscreenDisplays::buildMinimap() {
    m_minimapScale = m_config && m_config->m_playMode == Race::SPLIT_SCREEN ? 0.5f : 0.7f;
    m_minimapWidth = MAP_SIZE * m_minimapScale;
    m_minimapHeight = MAP_SIZE * m_minimapScale;
    // A track without a map picture gets no map and no dots.
    if (m_trackIndex < 0 || m_trackIndex >= TRACKS) return;
    const int32_t views = viewCount();
    const float viewHeight = displayWindows::SCREEN_HEIGHT / float(views);
    for (int32_t v = 0; v < views; ++v) {
        m_views[v].minimapX = displayWindows::SCREEN_WIDTH - (m_minimapWidth + MARGIN);
        m_views[v].minimapY =
            displayWindows::SCREEN_HEIGHT - (float(views - v - 1) * viewHeight + m_minimapHeight + MARGIN);
        for (int32_t k = 0; k < MINIMAP_DOTS; ++k) m_views[v].dots[k].image = k < ROCKET_DOT ? RED : BLUE;
    }
    if (!m_root) return;

    loadImageset(*m_gui, trackImageset(m_trackIndex) + ".imageset");
    for (int32_t v = 0; v < views; ++v) {
        ViewWindows& w = m_viewWindows[v];
        w.minimap = displayWindows::image(m_root, m_views[v].minimapX, m_views[v].minimapY, m_minimapWidth,
                                          m_minimapHeight);
        displayWindows::setImage(w.minimap, trackImageset(m_trackIndex) + "/Minimap");
        w.minimap->setVisible(false);
    }
    // After the maps, so the dots draw over them.
    const float dotSize = DOT_SIZE * m_minimapScale;
    for (int32_t v = 0; v < views; ++v)
        for (int32_t k = 0; k < MINIMAP_DOTS; ++k) {
            CEGUI::Window* dot = displayWindows::image(m_root, 0, 0, dotSize, dotSize);
            displayWindows::setImage(dot, DOT_IMAGES[m_views[v].dots[k].image]);
            dot->setVisible(false);
            m_viewWindows[v].minimapDots[k] = dot;
        }
}

void OnscreenDisplays::showMinimap(int32_t view) {
    if (!usedView(view) || m_trackIndex < 0 || m_trackIndex >= TRACKS) return;
    m_views[view].minimapVisible = true;
    if (m_viewWindows[view].minimap) m_viewWindows[view].minimap->setVisible(true);
    for (int32_t k = 0; k < m_race.m_vehicleCount && k < ROCKET_DOT; ++k) {
        m_views[view].dots[k].visible = true;
        if (CEGUI::Window* dot = m_viewWindows[view].minimapDots[k]) dot->setVisible(true);
    }
}

void OnscreenDisplays::placeMinimapDot(int32_t dot, float x, float z) {
    if (dot < 0 || dot >= MINIMAP_DOTS) return;
    const float half = m_minimapScale * DOT_HALF;
    for (int32_t v = 0; v < viewCount(); ++v) {
        View& view = m_views[v];
        if (!view.minimapVisible) continue;
        // World +z is up on the map; positions off the map are not clamped.
        Dot& placed = view.dots[dot];
        placed.x = view.minimapX + (x - m_worldMinX) * m_minimapWidth / (m_worldMaxX - m_worldMinX) - half;
        placed.y = view.minimapY + m_minimapHeight - (z - m_worldMinZ) / (m_worldMaxZ - m_worldMinZ) * m_minimapHeight -
                   half;
        if (CEGUI::Window* window = m_viewWindows[v].minimapDots[dot]) displayWindows::place(window, placed.x, placed.y);
    }
}

void OnscreenDisplays::setMinimapDotVisible(int32_t dot, bool visible) {
    if (dot < 0 || dot >= MINIMAP_DOTS) return;
    for (int32_t v = 0; v < viewCount(); ++v) {
        // Without a map there is nothing to show a dot on.
        m_views[v].dots[dot].visible = visible && m_views[v].minimapVisible;
        if (CEGUI::Window* window = m_viewWindows[v].minimapDots[dot]) window->setVisible(m_views[v].dots[dot].visible);
    }
}

void OnscreenDisplays::setMinimapDotImage(int32_t view, int32_t dot, int32_t image) {
    if (!usedView(view) || dot < 0 || dot >= MINIMAP_DOTS || image < RED || image > BLUE) return;
    m_views[view].dots[dot].image = image;
    displayWindows::setImage(m_viewWindows[view].minimapDots[dot], DOT_IMAGES[image]);
}

#include "game/displays/OnscreenDisplays.h"

void OnscreenDisplays::buildMinimap() {}

void OnscreenDisplays::showMinimap(int32_t view) {
    if (usedView(view)) m_views[view].minimapVisible = true;
}

void OnscreenDisplays::placeMinimapDot(int32_t dot, float x, float z) {
    if (dot < 0 || dot >= MINIMAP_DOTS) return;
    for (View& view : m_views) {
        if (!view.minimapVisible) continue;
        view.dots[dot].x = x;
        view.dots[dot].y = z;
    }
}

void OnscreenDisplays::setMinimapDotVisible(int32_t dot, bool visible) {
    if (dot < 0 || dot >= MINIMAP_DOTS) return;
    for (View& view : m_views) view.dots[dot].visible = visible;
}

void OnscreenDisplays::setMinimapDotImage(int32_t view, int32_t dot, int32_t image) {
    if (usedView(view) && dot >= 0 && dot < MINIMAP_DOTS && image >= RED && image <= BLUE)
        m_views[view].dots[dot].image = image;
}

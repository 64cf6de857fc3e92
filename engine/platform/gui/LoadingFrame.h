#pragma once
#include <cstdint>
#include <vector>

class DeviceList;
class Texture;

// Thrown out of loading when the window is closed meanwhile.
class LoadingAbortedException {};

// What the loading progress draws: a background picture chosen by progress
// and a bar, straight onto the back buffer. Owned by whoever supplies it.
class LoadingFrame {
public:
    // Its current device, back-buffer size and stereo mode are drawn with;
    // without one the frame only pumps, for a caller that shows its own picture.
    DeviceList* m_renderer = nullptr;
    // Fractions of the screen's width and height.
    float m_barLeft = 0.0f;
    float m_barTop = 0.0f;
    float m_barRight = 0.0f;
    float m_barBottom = 0.0f;
    uint32_t m_barColour = 0xFFFFFFFF;
    // Not owned; an empty slot shows black.
    std::vector<Texture*> m_frames;
    // A slanted bar without a frame.
    bool m_slanted = false;
};

// Pumps the window messages, draws the frame for progress 0..1 and presents;
// throws LoadingAbortedException when the program was asked to quit. A null
// frame does nothing, one without a renderer only pumps.
void showLoadingProgress(LoadingFrame* frame, float progress);
// One pre-transformed quad in pixels, textured when a texture is given.
void drawScreenQuad(DeviceList& renderer, uint32_t colour, Texture* texture, float left, float top, float right,
                    float bottom);
// A quad whose top edge is drawn in by half a percent of the screen width on each side.
void drawSlantedBar(DeviceList& renderer, uint32_t colour, float left, float top, float right, float bottom);

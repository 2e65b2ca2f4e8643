#pragma once

#include <string>

#include "ui/UiTypes.h"

namespace q208 {

// An image draw as the skin describes it ("file='a.png' source='0,0,10,10' corner='2,2,2,2'").
// Rectangles in `source` and `corner` are in image pixels; `dest` is in client coordinates.
struct ImageDraw {
    std::string file;  // resolved path (resource path + skin-relative name)
    UiRect dest;       // where to draw, client coordinates
    UiRect source;     // part of the image; empty = the whole image
    UiRect corner;     // nine-patch margins (left, top, right, bottom); all 0 = plain stretch
    int fade = 255;    // overall opacity 0..255
    ARGB tint = 0;     // colour blended over the image's opaque pixels; 0 = none
    int tintIntensity = 0;  // 0..255, how strongly the tint replaces the image colour
    bool operator==(const ImageDraw&) const = default;
};

// The painting surface handed to CPaintManagerUI::Paint. The Qt backend implements it with
// QPainter on the window's backing store; the headless backend records the calls.
// All coordinates are client coordinates in device pixels. Colours are 0xAARRGGBB; an alpha
// of 0 means "nothing to draw" and callers skip such calls.
class IRenderTarget {
public:
    virtual ~IRenderTarget() = default;

    virtual void FillRect(const UiRect& rect, ARGB color) = 0;
    virtual void FillRoundRect(const UiRect& rect, int radius, ARGB color) = 0;
    // A frame of `width` pixels inside `rect`; radius > 0 rounds its corners.
    virtual void DrawBorder(const UiRect& rect, int width, int radius, ARGB color) = 0;
    // A missing or unreadable file draws nothing (the backend may cache decoded images).
    virtual void DrawImage(const ImageDraw& image) = 0;
    // `style` combines DT_* flags: horizontal and vertical alignment, DT_SINGLELINE,
    // DT_WORDBREAK and DT_END_ELLIPSIS. Text is UTF-8.
    virtual void DrawText(const UiRect& rect, const std::string& text, const FontDesc& font,
                          ARGB color, UINT style) = 0;
    // Clips further drawing to `rect` intersected with the current clip; pops restore.
    virtual void PushClip(const UiRect& rect) = 0;
    virtual void PopClip() = 0;
};

}  // namespace q208

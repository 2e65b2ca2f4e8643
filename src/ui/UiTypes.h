#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace q208 {

// Window-message vocabulary of the window layer. Parameters are pointer-sized, as the
// other parts of the program pass small records through them.
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
// Handle of a window of this process; 0 is "no window". Handles are never reused.
using HWND = uintptr_t;
// Colour as 0xAARRGGBB.
using ARGB = uint32_t;

struct UiPoint {
    int x = 0;
    int y = 0;
    bool operator==(const UiPoint&) const = default;
};

struct UiSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const UiSize&) const = default;
};

struct UiRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const UiRect&) const = default;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(UiPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    UiRect Intersect(const UiRect& o) const {
        UiRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        if (r.IsEmpty()) return {};
        return r;
    }
    bool Intersects(const UiRect& o) const { return !Intersect(o).IsEmpty(); }
    UiRect Union(const UiRect& o) const {
        if (IsEmpty()) return o;
        if (o.IsEmpty()) return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    UiRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    // Shrinks by the four margins of `by` (an inset or padding).
    UiRect Deflate(const UiRect& by) const { return {left + by.left, top + by.top, right - by.right, bottom - by.bottom}; }
    UiRect Normalized() const {
        return {left, top, std::max(left, right), std::max(top, bottom)};
    }
};

// A font as the skin describes it; the backend maps it onto a real font.
struct FontDesc {
    std::string face;
    int size = 12;  // pixel height at 96 DPI before scaling
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool operator==(const FontDesc&) const = default;
};

// Packs two signed 16-bit coordinates into an LPARAM, as pointer messages carry them.
constexpr LPARAM MakeLParam(int low, int high) {
    return static_cast<LPARAM>((static_cast<uint32_t>(static_cast<uint16_t>(low))) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16));
}
constexpr int LowSigned(LPARAM v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }
constexpr int HighSigned(LPARAM v) { return static_cast<int16_t>(static_cast<uint16_t>((v >> 16) & 0xFFFF)); }

}  // namespace q208

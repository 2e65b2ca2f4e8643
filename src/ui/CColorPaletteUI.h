#pragma once

#include "ui/CControlUI.h"

namespace q208 {

// A colour picker: a hue (left to right) and saturation (top to bottom) area over a
// brightness bar. Pressing or dragging in either part picks a colour and sends
// "colorchanged" for every change while the pointer moves and once more on release (wParam
// the colour as 0xFFRRGGBB); the arrow keys move hue (Left, Right) and saturation (Up,
// Down), Page Up and Page Down the brightness, each sending "colorchanged".
class CColorPaletteUI : public CControlUI {
public:
    CColorPaletteUI();

    std::string GetClass() const override { return "ColorPaletteUI"; }
    void* GetInterface(std::string_view name) override;

    // Always opaque: the alpha of `color` is ignored.
    ARGB GetSelectColor() const { return color_; }
    void SetSelectColor(ARGB color);
    int GetBarHeight() const;
    void SetBarHeight(int height);
    bool IsDragging() const { return drag_ != Part::None; }
    // The two parts as laid out now.
    UiRect AreaRect() const;
    UiRect BarRect() const;

    void DoEvent(TEventUI& event) override;
    void PaintStatusImage(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

protected:
    bool TakesKeyboardFocus() const override { return true; }

private:
    enum class Part { None, Area, Bar };
    void PickAt(UiPoint pt);
    void SetHsv(double hue, double saturation, double value);
    void Changed();

    double hue_ = 0;         // 0 .. 360
    double saturation_ = 1;  // 0 .. 1
    double value_ = 1;       // 0 .. 1
    ARGB color_ = 0xFFFF0000;
    Part drag_ = Part::None;
    int barHeight_ = 14;
    int gap_ = 6;
    int cell_ = 4;  // the gradient is painted in squares of this size (96 DPI)
};

// Colour conversions of the palette (hue 0..360, saturation and value 0..1).
ARGB HsvToArgb(double hue, double saturation, double value);
void ArgbToHsv(ARGB color, double& hue, double& saturation, double& value);

}  // namespace q208

#pragma once

#include "ui/CControlUI.h"

namespace q208 {

// A control that shows its text in a font, colour and alignment.
class CLabelUI : public CControlUI {
public:
    std::string GetClass() const override { return "LabelUI"; }
    AccessRole GetAccessRole() const override;
    void* GetInterface(std::string_view name) override;

    UINT GetTextStyle() const { return textStyle_; }
    void SetTextStyle(UINT style);
    ARGB GetTextColor() const { return textColor_; }
    void SetTextColor(ARGB color);
    ARGB GetDisabledTextColor() const { return disabledTextColor_; }
    void SetDisabledTextColor(ARGB color);
    int GetFont() const { return font_; }
    void SetFont(int id);
    UiRect GetTextPadding() const;
    void SetTextPadding(const UiRect& padding);
    bool IsAutoCalcWidth() const { return autoCalcWidth_; }
    void SetAutoCalcWidth(bool autoCalc);

    UiSize EstimateSize(UiSize available) override;
    void PaintText(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

protected:
    FontDesc CurrentFont() const;
    // Draws `text` inside the control with the label's style and the given colour.
    void DrawLabelText(IRenderTarget& target, const std::string& text, ARGB color);

private:
    UINT textStyle_ = DT_VCENTER | DT_SINGLELINE;
    ARGB textColor_ = 0xFF000000;
    ARGB disabledTextColor_ = 0xFFA7A6AA;
    int font_ = -1;
    UiRect textPadding_;
    bool autoCalcWidth_ = false;
};

}  // namespace q208

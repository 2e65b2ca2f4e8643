#pragma once

#include "ui/CProgressUI.h"

namespace q208 {

// A progress bar with a thumb, horizontal or (hor="false") vertical with the minimum at the
// bottom. Pressing sets the value at the pointer, dragging sends "movevaluechanged" for
// every change, releasing sends "valuechanged"; the wheel and the arrow keys move by the
// change step, Home and End to the ends, each sending "valuechanged". "ticks" draws that
// many intervals of marks along the bar; "showvalue" keeps a band ("valuesize" pixels) at
// the right end (above, when vertical) that shows the value.
class CSliderUI : public CProgressUI {
public:
    CSliderUI();

    std::string GetClass() const override { return "SliderUI"; }
    AccessRole GetAccessRole() const override { return AccessRole::Slider; }
    bool SetAccessValue(int value) override;
    void* GetInterface(std::string_view name) override;

    int GetChangeStep() const { return step_; }
    void SetChangeStep(int step) { step_ = std::max(1, step); }
    UiSize GetThumbSize() const;
    void SetThumbSize(UiSize size);
    bool SetThumbImage(std::string_view image);
    bool IsDragging() const { return captured_; }
    UiRect GetThumbRect() const;

    int GetTicks() const { return ticks_; }
    void SetTicks(int ticks);
    bool IsValueShown() const { return showValue_; }
    void SetShowValue(bool show);
    // Where the value band is (empty without "showvalue").
    UiRect ValueRect() const;

    void DoEvent(TEventUI& event) override;
    void PaintBkColor(IRenderTarget& target) override;
    void PaintStatusImage(IRenderTarget& target) override;
    void PaintText(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

protected:
    bool TakesKeyboardFocus() const override { return true; }
    UiRect BarRect() const override;

private:
    int ValueAt(UiPoint pt) const;
    void StepBy(int steps);
    void MoveTo(int value);
    void PaintTicks(IRenderTarget& target);

    int step_ = 1;
    UiSize thumbSize_{10, 10};
    ImageAttr thumbImage_;
    ARGB thumbColor_ = 0xFF606060;
    bool captured_ = false;
    int ticks_ = 0;
    ARGB tickColor_ = 0xFF6A717B;
    bool showValue_ = false;
    int valueSize_ = 36;
};

}  // namespace q208

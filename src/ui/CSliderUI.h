#pragma once

#include "ui/CProgressUI.h"

namespace q208 {

// A progress bar with a thumb. Pressing sets the value at the pointer, dragging sends
// "movevaluechanged" for every change, releasing sends "valuechanged"; the wheel and the
// arrow keys move by the change step and send "valuechanged".
class CSliderUI : public CProgressUI {
public:
    CSliderUI();

    std::string GetClass() const override { return "SliderUI"; }
    void* GetInterface(std::string_view name) override;

    int GetChangeStep() const { return step_; }
    void SetChangeStep(int step) { step_ = std::max(1, step); }
    UiSize GetThumbSize() const;
    void SetThumbSize(UiSize size);
    bool SetThumbImage(std::string_view image);
    bool IsDragging() const { return captured_; }
    UiRect GetThumbRect() const;

    void DoEvent(TEventUI& event) override;
    void PaintStatusImage(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

protected:
    bool TakesKeyboardFocus() const override { return true; }

private:
    int ValueAt(UiPoint pt) const;
    void StepBy(int steps);

    int step_ = 1;
    UiSize thumbSize_{10, 10};
    ImageAttr thumbImage_;
    ARGB thumbColor_ = 0xFF606060;
    bool captured_ = false;
};

}  // namespace q208

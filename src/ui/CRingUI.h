#pragma once

#include "ui/CLabelUI.h"

namespace q208 {

// A busy ring: dots on a circle, one of them bright, the brightness going round while the
// ring is shown. It runs a timer of its own only while it is painted, so a hidden ring
// costs nothing; its text, if any, is drawn in the middle.
class CRingUI : public CLabelUI {
public:
    static constexpr UINT kSpinTimer = 0x52494E47;

    CRingUI();

    std::string GetClass() const override { return "RingUI"; }
    void* GetInterface(std::string_view name) override;

    int GetPhase() const { return phase_; }
    bool IsSpinning() const { return spinning_; }
    int GetDotCount() const { return dots_; }

    void DoEvent(TEventUI& event) override;
    void DoPaint(IRenderTarget& target, const UiRect& rcPaint) override;
    void PaintStatusImage(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

private:
    void Spin(bool on);

    int dots_ = 10;
    int phase_ = 0;
    int intervalMs_ = 90;
    ARGB dotColor_ = 0xFFE0353B;
    bool spinning_ = false;
};

}  // namespace q208

#pragma once

#include "ui/CVerticalLayoutUI.h"

namespace q208 {

// The panel that holds a page's key buttons and selects them by dragging a rectangle over
// them. When a drag ends every key button inside (non-empty intersection) is selected and
// every other one deselected, and the panel sends "click_select_end".
class CSelectPanelUI : public CVerticalLayoutUI {
public:
    static constexpr const char* kClassName = "SelectPanel";
    static constexpr const char* kSelectEnd = "click_select_end";

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;
    void DoPaint(IRenderTarget& target, const UiRect& rcPaint) override;

    bool IsDragging() const { return dragging_; }
    // The normalised rectangle of the current (or last) drag.
    const UiRect& GetSelectionRect() const { return selection_; }

private:
    void OnButtonDown(const TEventUI& event);
    void OnButtonUp();
    void OnMouseMove(const TEventUI& event);
    void ApplySelection();

    UiPoint start_;
    UiPoint end_;
    bool dragging_ = false;
    bool pressed_ = false;
    UiRect selection_;
};

}  // namespace q208

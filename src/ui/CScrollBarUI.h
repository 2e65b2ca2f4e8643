#pragma once

#include "ui/CControlUI.h"

namespace q208 {

class CContainerUI;

// The scroll bar of a container: a track with a thumb. Dragging the thumb, clicking the
// track (a page) and the wheel move the owner's scroll position.
class CScrollBarUI : public CControlUI {
public:
    CScrollBarUI();

    std::string GetClass() const override { return "ScrollBarUI"; }
    void* GetInterface(std::string_view name) override;

    void SetOwner(CContainerUI* owner) { owner_ = owner; }
    CContainerUI* GetOwner() const { return owner_; }
    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal);
    int GetScrollRange() const { return range_; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return pos_; }
    // Clamps to 0..range; tells the owner unless `fromOwner`.
    void SetScrollPos(int pos, bool fromOwner = false);
    int GetLineSize() const { return Scaled(lineSize_); }
    void SetLineSize(int size) { lineSize_ = size; }
    int GetThickness() const { return Scaled(thickness_); }
    UiRect GetThumbRect() const;

    void SetPos(const UiRect& rc, bool needInvalidate = true) override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

    ARGB thumbColor = 0xFFA0A0A0;
    ARGB trackColor = 0x20000000;

private:
    int TrackLength() const;
    int ThumbLength() const;

    CContainerUI* owner_ = nullptr;
    bool horizontal_ = false;
    int range_ = 0;
    int pos_ = 0;
    int lineSize_ = 8;
    int thickness_ = 12;
    bool dragging_ = false;
    UiPoint dragStart_;
    int dragStartPos_ = 0;
};

}  // namespace q208

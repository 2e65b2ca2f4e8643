#include "ui/CScrollBarUI.h"

#include "ui/CContainerUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

CScrollBarUI::CScrollBarUI() { SetFixedWidth(thickness_); }

void* CScrollBarUI::GetInterface(std::string_view name) {
    return name == "ScrollBar" ? this : CControlUI::GetInterface(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
    horizontal_ = horizontal;
    if (horizontal) {
        SetFixedWidth(0);
        SetFixedHeight(thickness_);
    } else {
        SetFixedHeight(0);
        SetFixedWidth(thickness_);
    }
}

void CScrollBarUI::SetScrollRange(int range) {
    range_ = std::max(0, range);
    if (pos_ > range_) SetScrollPos(range_, true);
    Invalidate();
}

void CScrollBarUI::SetScrollPos(int pos, bool fromOwner) {
    pos = std::clamp(pos, 0, range_);
    if (pos == pos_) return;
    pos_ = pos;
    Invalidate();
    if (!fromOwner && owner_) {
        UiSize sp = owner_->GetScrollPos();
        if (horizontal_) {
            sp.cx = pos_;
        } else {
            sp.cy = pos_;
        }
        owner_->SetScrollPos(sp);
    }
}

int CScrollBarUI::TrackLength() const { return horizontal_ ? rcItem_.Width() : rcItem_.Height(); }

int CScrollBarUI::ThumbLength() const {
    const int track = TrackLength();
    if (track <= 0) return 0;
    // The thumb shows the visible share of the content, never shorter than the bar is thick.
    const int visible = track;
    const int len = static_cast<int>(static_cast<int64_t>(track) * visible / (visible + range_));
    return std::clamp(len, std::min(track, GetThickness()), track);
}

UiRect CScrollBarUI::GetThumbRect() const {
    const int track = TrackLength();
    const int thumb = ThumbLength();
    const int travel = track - thumb;
    const int offset = range_ > 0 ? static_cast<int>(static_cast<int64_t>(travel) * pos_ / range_) : 0;
    if (horizontal_) return {rcItem_.left + offset, rcItem_.top, rcItem_.left + offset + thumb, rcItem_.bottom};
    return {rcItem_.left, rcItem_.top + offset, rcItem_.right, rcItem_.top + offset + thumb};
}

void CScrollBarUI::SetPos(const UiRect& rc, bool needInvalidate) { CControlUI::SetPos(rc, needInvalidate); }

void CScrollBarUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
        const UiRect thumb = GetThumbRect();
        if (thumb.Contains(event.ptMouse)) {
            dragging_ = true;
            dragStart_ = event.ptMouse;
            dragStartPos_ = pos_;
        } else {
            const bool before = horizontal_ ? event.ptMouse.x < thumb.left : event.ptMouse.y < thumb.top;
            const int page = std::max(GetLineSize(), TrackLength());
            SetScrollPos(pos_ + (before ? -page : page));
        }
        return;
    }
    case UIEVENT_MOUSEMOVE:
        if (dragging_) {
            const int travel = TrackLength() - ThumbLength();
            if (travel > 0) {
                const int moved = horizontal_ ? event.ptMouse.x - dragStart_.x : event.ptMouse.y - dragStart_.y;
                SetScrollPos(dragStartPos_ + static_cast<int>(static_cast<int64_t>(moved) * range_ / travel));
            }
        }
        return;
    case UIEVENT_BUTTONUP:
        dragging_ = false;
        return;
    case UIEVENT_SCROLLWHEEL:
        if (owner_) owner_->DoEvent(event);
        return;
    default:
        CControlUI::DoEvent(event);
    }
}

void CScrollBarUI::PaintBkColor(IRenderTarget& target) {
    if (trackColor >> 24) target.FillRect(rcItem_, trackColor);
    if ((thumbColor >> 24) && range_ > 0) target.FillRect(GetThumbRect(), thumbColor);
}

AttrResult CScrollBarUI::SetAttribute(std::string_view name, std::string_view value) {
    using S = CScrollBarUI;
    static const AttrTable<S> table = {
        {"hor", [](S& s, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { s.SetHorizontal(b); }); }},
        {"linesize", [](S& s, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { s.SetLineSize(n); }); }},
        {"thumbcolor", [](S& s, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { s.thumbColor = c; }); }},
        {"trackcolor", [](S& s, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { s.trackColor = c; }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CControlUI::SetAttribute(name, value);
}

}  // namespace q208

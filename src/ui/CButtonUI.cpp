#include "ui/CButtonUI.h"

#include "ui/UiAttrTable.h"

namespace q208 {

void* CButtonUI::GetInterface(std::string_view name) {
    return name == "Button" ? this : CLabelUI::GetInterface(name);
}

bool CButtonUI::SetImage(ImageAttr& slot, std::string_view image) {
    if (!slot.Set(image)) return false;
    Invalidate();
    return true;
}

bool CButtonUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    SendNotify(DUI_MSGTYPE_CLICK);
    return true;
}

void CButtonUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && rcItem_.Contains(event.ptMouse)) {
            captured_ = true;
            pushed_ = true;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (captured_) {
            const bool inside = rcItem_.Contains(event.ptMouse);
            if (inside != pushed_) {
                pushed_ = inside;
                Invalidate();
            }
        }
        return;
    case UIEVENT_BUTTONUP:
        if (captured_) {
            captured_ = false;
            pushed_ = false;
            Invalidate();
            // A handler of "click" may destroy this button (or open a modal window).
            if (rcItem_.Contains(event.ptMouse)) Activate();
        }
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            hot_ = true;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        hot_ = false;
        Invalidate();
        return;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && IsEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::PaintBkColor(IRenderTarget& target) {
    ARGB color = 0;
    if (!IsEnabled()) color = disabledBkColor_;
    else if (pushed_) color = pushedBkColor_;
    else if (hot_) color = hotBkColor_;
    if ((color >> 24) == 0) {
        CLabelUI::PaintBkColor(target);
        return;
    }
    const UiSize round = GetBorderRound();
    if (round.cx > 0) {
        target.FillRoundRect(rcItem_, round.cx, color);
    } else {
        target.FillRect(rcItem_, color);
    }
}

void CButtonUI::PaintStatusImage(IRenderTarget& target) {
    const ImageAttr* image = &normalImage_;
    if (!IsEnabled() && !disabledImage_.desc.file.empty()) image = &disabledImage_;
    else if (pushed_ && !pushedImage_.desc.file.empty()) image = &pushedImage_;
    else if (hot_ && !hotImage_.desc.file.empty()) image = &hotImage_;
    if (!image->desc.file.empty()) DrawImage(target, image->desc);
    if (!foreImage_.desc.file.empty()) DrawImage(target, foreImage_.desc);
}

void CButtonUI::PaintText(IRenderTarget& target) {
    ARGB color = IsEnabled() ? GetTextColor() : GetDisabledTextColor();
    if (IsEnabled() && pushed_ && (pushedTextColor_ >> 24)) color = pushedTextColor_;
    else if (IsEnabled() && hot_ && (hotTextColor_ >> 24)) color = hotTextColor_;
    DrawLabelText(target, GetText(), color);
}

AttrResult CButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    using B = CButtonUI;
    static const AttrTable<B> table = {
        {"normalimage", [](B& b, std::string_view v) { return b.SetNormalImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"hotimage", [](B& b, std::string_view v) { return b.SetHotImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"pushedimage", [](B& b, std::string_view v) { return b.SetPushedImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"disabledimage", [](B& b, std::string_view v) { return b.SetDisabledImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"foreimage", [](B& b, std::string_view v) { return b.SetForeImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"hotbkcolor", [](B& b, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { b.SetHotBkColor(c); }); }},
        {"pushedbkcolor", [](B& b, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { b.SetPushedBkColor(c); }); }},
        {"disabledbkcolor", [](B& b, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { b.SetDisabledBkColor(c); }); }},
        {"hottextcolor", [](B& b, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { b.SetHotTextColor(c); }); }},
        {"pushedtextcolor", [](B& b, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { b.SetPushedTextColor(c); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CLabelUI::SetAttribute(name, value);
}

AccessRole CButtonUI::GetAccessRole() const { return AccessRole::PushButton; }

std::vector<std::string_view> CButtonUI::GetAccessActions() const { return {kAccessPress}; }

bool CButtonUI::DoAccessAction(std::string_view action) {
    return action == kAccessPress && IsEnabled() && Activate();
}

}  // namespace q208

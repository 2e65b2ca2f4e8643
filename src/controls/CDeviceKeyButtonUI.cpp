#include "controls/CDeviceKeyButtonUI.h"

#include <algorithm>
#include <cctype>

namespace q208 {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsHexColour(std::string_view value) {
    if (!value.empty() && value.front() == '#') value.remove_prefix(1);
    return !value.empty() && std::all_of(value.begin(), value.end(),
                                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

void* CDeviceKeyButtonUI::GetInterface(std::string_view name) {
    if (name == kInterfaceName) return static_cast<IDeviceKeyButton*>(this);
    return CButtonUI::GetInterface(name);
}

void CDeviceKeyButtonUI::DoEvent(TEventUI& event) {
    if (event.Type != UIEVENT_DBLCLICK) {
        CButtonUI::DoEvent(event);
        return;
    }
    if (!IsEnabled() || !rcItem_.Contains(event.ptMouse)) return;
    CButtonUI::DoEvent(event);  // pushed and captured, as a press
    auto alive = Lifetime();
    SendNotify(kDoubleClick);
    if (!alive.expired()) Invalidate();
}

AttrResult CDeviceKeyButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (EqualsNoCase(name, "lightimage")) {
        if (!lightImage_.Set(value)) return AttrResult::Malformed;
        Invalidate();
        return AttrResult::Applied;
    }
    if (EqualsNoCase(name, "keysetimage")) {
        if (!keySetImage_.Set(value)) return AttrResult::Malformed;
        Invalidate();
        return AttrResult::Applied;
    }
    if (EqualsNoCase(name, "gmnametextcolor")) {
        return IsHexColour(value) ? AttrResult::Applied : AttrResult::Malformed;
    }
    return CButtonUI::SetAttribute(name, value);
}

void CDeviceKeyButtonUI::PaintBkColor(IRenderTarget& target) { CButtonUI::PaintBkColor(target); }

void CDeviceKeyButtonUI::DrawTinted(IRenderTarget& target, const ImageAttr& image, uint32_t colour, int intensity,
                                    bool on) {
    if (IsImageEmpty(image.desc)) return;
    attr::ImageDesc desc = image.desc;
    if (on) {
        desc.tint = 0xFF000000u | (colour & 0x00FFFFFFu);
        desc.tintIntensity = std::clamp(intensity, 0, 255);
    }
    DrawImage(target, desc);
}

void CDeviceKeyButtonUI::PaintStatusImage(IRenderTarget& target) {
    CButtonUI::PaintStatusImage(target);
    if (lightOn_ && IsImageEmpty(lightImage_.desc)) {
        FillLight(target);
    } else if (lightOn_) {
        DrawTinted(target, lightImage_, lightColour_, lightIntensity_, lightOn_);
    }
    if (!keySetHidden_ && IsImageEmpty(keySetImage_.desc)) {
        FillKeySetMark(target);
    } else if (!keySetHidden_) {
        DrawTinted(target, keySetImage_, 0, 0, false);
    }
}

// Without a marker image a reassigned key shows a small corner mark.
void CDeviceKeyButtonUI::FillKeySetMark(IRenderTarget& target) {
    constexpr int kMarkSize = 6;
    constexpr ARGB kMarkColour = 0xFFD29922;
    const UiRect rc = GetPos();
    const int size = std::min({kMarkSize, rc.Width(), rc.Height()});
    target.FillRect({rc.right - size, rc.top, rc.right, rc.top + size}, kMarkColour);
}

// Without a light image the button shows the light as the key does: each component scaled
// by the intensity, so that full intensity shows the colour itself.
void CDeviceKeyButtonUI::FillLight(IRenderTarget& target) {
    const auto scaled = [&](int shift) {
        return ((lightColour_ >> shift & 0xFFu) * static_cast<uint32_t>(std::clamp(lightIntensity_, 0, 255)) + 127) / 255;
    };
    const ARGB colour = 0xFF000000u | scaled(16) << 16 | scaled(8) << 8 | scaled(0);
    target.FillRect(GetPos(), colour);
}

void CDeviceKeyButtonUI::SetSelected(bool selected) {
    if (selected_ != selected) selected_ = selected;
}

// The device pushes its colours every few milliseconds whether they changed or not; only
// a button whose light really changed is repainted, and only its own rectangle.
void CDeviceKeyButtonUI::SetKeyLight(uint32_t colour, int intensity, bool on) {
    if (lightColour_ == colour && lightIntensity_ == intensity && lightOn_ == on) return;
    lightColour_ = colour;
    lightIntensity_ = intensity;
    lightOn_ = on;
    Invalidate();
}

void CDeviceKeyButtonUI::SetKeySetImageHidden(bool hidden) {
    if (keySetHidden_ == hidden) return;
    keySetHidden_ = hidden;
    Invalidate();
}

void CDeviceKeyButtonUI::SetAssignmentText(std::string text) {
    if (text == assignment_) return;
    assignment_ = std::move(text);
    NotifyAccess(AccessEvent::NameChanged);
}

std::string CDeviceKeyButtonUI::GetAccessName() const {
    std::string name = CButtonUI::GetAccessName();
    if (assignment_.empty()) return name;
    return name.empty() ? assignment_ : name + " \u2014 " + assignment_;
}

AccessRole CDeviceKeyButtonUI::GetAccessRole() const {
    return IsMouseEnabled() ? CButtonUI::GetAccessRole() : AccessRole::Panel;
}

}  // namespace q208

#include "ui/CEditUI.h"

#include <charconv>

#include "ui/CPaintManagerUI.h"
#include "ui/CWindowWnd.h"
#include "ui/IWindowSurface.h"
#include "ui/UiAttrTable.h"

namespace q208 {

namespace {

// Splits UTF-8 text into characters (lead byte plus continuation bytes).
std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i + 1;
        while (j < text.size() && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80) ++j;
        out.push_back(text.substr(i, j - i));
        i = j;
    }
    return out;
}

}  // namespace

CEditUI::CEditUI() {
    SetTextPadding({4, 3, 4, 3});
    SetBkColor(0xFFFFFFFF);
}

void* CEditUI::GetInterface(std::string_view name) {
    return name == "Edit" ? this : CLabelUI::GetInterface(name);
}

void CEditUI::SetMaxChar(int maxChar) {
    maxChar_ = std::max(0, maxChar);
    const std::string kept = Filter(GetRawText());
    if (kept != GetRawText()) SetText(kept);
}

void CEditUI::SetNumberOnly(bool numberOnly) { numberOnly_ = numberOnly; }

void CEditUI::SetRange(long long minValue, long long maxValue) {
    if (minValue > maxValue) std::swap(minValue, maxValue);
    range_ = {minValue, maxValue};
}

std::string CEditUI::Filter(const std::string& text) const {
    std::string out;
    int count = 0;
    for (std::string_view ch : Characters(text)) {
        if (maxChar_ > 0 && count >= maxChar_) break;
        if (numberOnly_ && !(ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9')) continue;
        if (ch == "\n" || ch == "\r") continue;  // single line
        out.append(ch);
        ++count;
    }
    return out;
}

std::string CEditUI::ApplyEditedText(const std::string& text) {
    const std::string kept = Filter(text);
    if (kept != GetRawText()) {
        SetText(kept);
        SendNotify(DUI_MSGTYPE_TEXTCHANGED);
    }
    return kept;
}

void CEditUI::Commit() {
    if (!range_) return;
    const std::string& text = GetRawText();
    if (text.empty()) return;
    long long value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ptr != text.data() + text.size()) return;  // not a number: left as typed
    if (ec == std::errc::result_out_of_range) value = text[0] == '-' ? range_->first : range_->second;
    else if (ec != std::errc()) return;
    const long long clamped = std::clamp(value, range_->first, range_->second);
    const std::string result = std::to_string(clamped);
    if (result != text) {
        SetText(result);
        SendNotify(DUI_MSGTYPE_TEXTCHANGED);
    }
}

void CEditUI::BeginNativeEdit() {
    if (!manager_ || !manager_->GetWindow()) return;
    IWindowSurface* surface = manager_->GetWindow()->GetSurface();
    if (!surface) return;
    TextEditRequest request;
    request.rect = rcItem_.Deflate(GetTextPadding());
    request.text = GetRawText();
    request.font = CurrentFont();
    request.textColor = GetTextColor();
    request.maxChars = maxChar_;
    request.digitsOnly = numberOnly_;
    request.password = password_;
    surface->BeginTextEdit(request);
}

void CEditUI::EndNativeEdit() {
    if (!manager_ || !manager_->GetWindow()) return;
    if (IWindowSurface* surface = manager_->GetWindow()->GetSurface()) surface->EndTextEdit();
}

void CEditUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        CLabelUI::DoEvent(event);
        if (!readOnly_ && !captureOnly_) BeginNativeEdit();
        return;
    case UIEVENT_KILLFOCUS: {
        CLabelUI::DoEvent(event);
        EndNativeEdit();
        Commit();
        return;
    }
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return;  // the manager already gave the edit the focus
    case UIEVENT_CHAR:
        if (captureOnly_) return;
        if (!readOnly_ && IsEnabled()) ApplyEditedText(GetRawText() + event.text);
        return;
    case UIEVENT_KEYDOWN:
        if (captureOnly_) return;
        if (readOnly_ || !IsEnabled()) break;
        if (event.chKey == VK_BACK) {
            auto chars = Characters(GetRawText());
            if (!chars.empty()) {
                std::string text = GetRawText();
                text.resize(text.size() - chars.back().size());
                ApplyEditedText(text);
            }
            return;
        }
        if (event.chKey == VK_RETURN) {
            auto alive = Lifetime();
            Commit();
            if (!alive.expired()) SendNotify(DUI_MSGTYPE_RETURN);
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::PaintText(IRenderTarget& target) {
    std::string shown = GetText();
    if (password_) shown = std::string(Characters(shown).size(), '*');
    DrawLabelText(target, shown, IsEnabled() ? GetTextColor() : GetDisabledTextColor());
}

AttrResult CEditUI::SetAttribute(std::string_view name, std::string_view value) {
    using E = CEditUI;
    static const AttrTable<E> table = {
        {"maxchar", [](E& e, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { e.SetMaxChar(n); }); }},
        {"numberonly", [](E& e, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { e.SetNumberOnly(b); }); }},
        {"readonly", [](E& e, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { e.SetReadOnly(b); }); }},
        {"password", [](E& e, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { e.SetPasswordMode(b); }); }},
        {"captureonly", [](E& e, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { e.SetCaptureOnly(b); }); }},
        {"minvalue", [](E& e, std::string_view v) {
             return SetParsed(attr::Int(v), [&](int n) { e.SetRange(n, e.GetRange() ? e.GetRange()->second : n); });
         }},
        {"maxvalue", [](E& e, std::string_view v) {
             return SetParsed(attr::Int(v), [&](int n) { e.SetRange(e.GetRange() ? e.GetRange()->first : 0, n); });
         }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CLabelUI::SetAttribute(name, value);
}

}  // namespace q208

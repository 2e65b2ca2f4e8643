#include "ui/CRecordingRenderTarget.h"

#include <algorithm>

namespace q208 {

UiRect CRecordingRenderTarget::CurrentClip() const { return clips_.empty() ? UiRect{} : clips_.back(); }

void CRecordingRenderTarget::Record(Call call) {
    call.clip = CurrentClip();
    calls_.push_back(std::move(call));
}

namespace {
CRecordingRenderTarget::Call MakeCall(CRecordingRenderTarget::Kind kind, const UiRect& rect, ARGB color = 0) {
    CRecordingRenderTarget::Call call{};
    call.kind = kind;
    call.rect = rect;
    call.color = color;
    return call;
}
}  // namespace

void CRecordingRenderTarget::FillRect(const UiRect& rect, ARGB color) { Record(MakeCall(Kind::FillRect, rect, color)); }

void CRecordingRenderTarget::FillRoundRect(const UiRect& rect, int radius, ARGB color) {
    Call call = MakeCall(Kind::FillRoundRect, rect, color);
    call.radius = radius;
    Record(std::move(call));
}

void CRecordingRenderTarget::DrawBorder(const UiRect& rect, int width, int radius, ARGB color) {
    Call call = MakeCall(Kind::Border, rect, color);
    call.width = width;
    call.radius = radius;
    Record(std::move(call));
}

void CRecordingRenderTarget::DrawImage(const ImageDraw& image) {
    Call call = MakeCall(Kind::Image, image.dest);
    call.image = image;
    Record(std::move(call));
}

void CRecordingRenderTarget::DrawText(const UiRect& rect, const std::string& text, const FontDesc& font,
                                      ARGB color, UINT style) {
    Call call = MakeCall(Kind::Text, rect, color);
    call.style = style;
    call.text = text;
    call.font = font;
    Record(std::move(call));
}

void CRecordingRenderTarget::PushClip(const UiRect& rect) {
    const UiRect clip = clips_.empty() ? rect : clips_.back().Intersect(rect);
    Record(MakeCall(Kind::PushClip, rect));
    clips_.push_back(clip);
}

void CRecordingRenderTarget::PopClip() {
    if (!clips_.empty()) clips_.pop_back();
    Record(MakeCall(Kind::PopClip, {}));
}

size_t CRecordingRenderTarget::Count(Kind kind) const {
    return static_cast<size_t>(std::count_if(calls_.begin(), calls_.end(), [kind](const Call& c) { return c.kind == kind; }));
}

const CRecordingRenderTarget::Call* CRecordingRenderTarget::FindText(const std::string& text) const {
    auto it = std::find_if(calls_.begin(), calls_.end(),
                           [&](const Call& c) { return c.kind == Kind::Text && c.text == text; });
    return it == calls_.end() ? nullptr : &*it;
}

}  // namespace q208

#pragma once

#include <string>
#include <vector>

#include "ui/IRenderTarget.h"

namespace q208 {

// A render target that keeps every call, for tests and for counting work in benchmarks.
class CRecordingRenderTarget : public IRenderTarget {
public:
    enum class Kind { FillRect, FillRoundRect, Border, Image, Text, PushClip, PopClip };
    struct Call {
        Kind kind;
        UiRect rect;
        ARGB color = 0;
        int width = 0;
        int radius = 0;
        UINT style = 0;
        std::string text;
        FontDesc font;
        ImageDraw image;
        UiRect clip;  // the clip in force when the call was made
    };

    void FillRect(const UiRect& rect, ARGB color) override;
    void FillRoundRect(const UiRect& rect, int radius, ARGB color) override;
    void DrawBorder(const UiRect& rect, int width, int radius, ARGB color) override;
    void DrawImage(const ImageDraw& image) override;
    void DrawText(const UiRect& rect, const std::string& text, const FontDesc& font, ARGB color,
                  UINT style) override;
    void PushClip(const UiRect& rect) override;
    void PopClip() override;

    const std::vector<Call>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }
    size_t Count(Kind kind) const;
    // The first text call showing `text`, or null.
    const Call* FindText(const std::string& text) const;
    int ClipDepth() const { return static_cast<int>(clips_.size()); }

private:
    UiRect CurrentClip() const;
    void Record(Call call);

    std::vector<Call> calls_;
    std::vector<UiRect> clips_;
};

}  // namespace q208

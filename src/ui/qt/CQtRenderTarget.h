#pragma once

#include "ui/IRenderTarget.h"

class QPainter;

namespace q208 {

class CQtTextCache;

// Paints the window layer's drawing calls with a QPainter (a widget's backing store or an
// image for the render command). The painter must outlive the target; so must the text
// cache, when one is given (a window's own: its labels are laid out once, not per paint).
class CQtRenderTarget : public IRenderTarget {
public:
    explicit CQtRenderTarget(QPainter& painter, CQtTextCache* textCache = nullptr);
    ~CQtRenderTarget() override;

    void FillRect(const UiRect& rect, ARGB color) override;
    void FillRoundRect(const UiRect& rect, int radius, ARGB color) override;
    void DrawBorder(const UiRect& rect, int width, int radius, ARGB color) override;
    void DrawImage(const ImageDraw& image) override;
    void DrawText(const UiRect& rect, const std::string& text, const FontDesc& font, ARGB color, UINT style) override;
    void PushClip(const UiRect& rect) override;
    void PopClip() override;

private:
    QPainter& painter_;
    CQtTextCache* textCache_;
    int clipDepth_ = 0;
};

}  // namespace q208

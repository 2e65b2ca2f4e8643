#include "ui/CHeadlessSurface.h"

namespace q208 {

CHeadlessSurface::CHeadlessSurface(const SurfaceParams& params, IWindowEventSink& sink)
    : params_(params), sink_(sink), geometry_(params.geometry), title_(params.title) {}

void CHeadlessSurface::Show(bool show, bool /*activate*/) {
    const bool first = show && !shown_;
    shown_ = show;
    if (first) sink_.OnResized(geometry_.Width(), geometry_.Height());
}

void CHeadlessSurface::SetGeometry(const UiRect& screenRect) {
    const UiRect old = geometry_;
    geometry_ = screenRect.Normalized();
    if (old.left != geometry_.left || old.top != geometry_.top) sink_.OnMoved(geometry_.left, geometry_.top);
    if (old.Width() != geometry_.Width() || old.Height() != geometry_.Height())
        sink_.OnResized(geometry_.Width(), geometry_.Height());
}

void CHeadlessSurface::Invalidate(const UiRect& clientRect) { dirty_ = dirty_.Union(clientRect); }

void CHeadlessSurface::BeginTextEdit(const TextEditRequest& request) {
    lastTextEdit_ = request;
    textEditActive_ = true;
}

void CHeadlessSurface::PaintInto(IRenderTarget& target) {
    dirty_ = {};
    sink_.OnPaint(target, UiRect{0, 0, geometry_.Width(), geometry_.Height()});
}

}  // namespace q208

#pragma once

#include <string>
#include <vector>

#include "ui/IWindowSurface.h"

namespace q208 {

class IRenderTarget;

// A native window that does not exist: remembers geometry, visibility and requests, and
// lets a test paint the window into a recording target.
class CHeadlessSurface : public IWindowSurface {
public:
    CHeadlessSurface(const SurfaceParams& params, IWindowEventSink& sink);

    void Show(bool show, bool activate) override;
    bool IsShown() const override { return shown_; }
    void SetGeometry(const UiRect& screenRect) override;
    UiRect Geometry() const override { return geometry_; }
    void SetTitle(const std::string& title) override { title_ = title; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool IsEnabled() const override { return enabled_; }
    void SetModal(bool modal) override { modal_ = modal; }
    void BringToFront() override { ++raised_; }
    void Invalidate(const UiRect& clientRect) override;
    void CapturePointer(bool capture) override { captured_ = capture; }
    void SetToolTip(const std::string& text) override { toolTip_ = text; }
    void BeginTextEdit(const TextEditRequest& request) override;
    void EndTextEdit() override { textEditActive_ = false; }

    // Paints the whole client area into `target` through the window.
    void PaintInto(IRenderTarget& target);

    IWindowEventSink& Sink() { return sink_; }
    const SurfaceParams& Params() const { return params_; }
    const std::string& Title() const { return title_; }
    bool IsModal() const { return modal_; }
    bool IsCaptured() const { return captured_; }
    int RaiseCount() const { return raised_; }
    const UiRect& Dirty() const { return dirty_; }
    void ClearDirty() { dirty_ = {}; }
    bool IsTextEditActive() const { return textEditActive_; }
    const TextEditRequest& LastTextEdit() const { return lastTextEdit_; }
    const std::string& ToolTip() const { return toolTip_; }
    UiRect MonitorRect() const override { return monitor_; }
    // The monitor a test puts the window on (empty: the platform's work area).
    void SetMonitorRect(const UiRect& monitor) { monitor_ = monitor; }

private:
    SurfaceParams params_;
    IWindowEventSink& sink_;
    UiRect geometry_;
    std::string title_;
    std::string toolTip_;
    bool shown_ = false;
    bool enabled_ = true;
    bool modal_ = false;
    bool captured_ = false;
    bool textEditActive_ = false;
    int raised_ = 0;
    UiRect dirty_;
    UiRect monitor_;
    TextEditRequest lastTextEdit_;
};

}  // namespace q208

#pragma once

#include <memory>

#include <QPointer>

#include "ui/IWindowSurface.h"

#include <QLineEdit>

namespace q208 {

class CQtSurfaceWidget;

// A window of the layer as a frameless top-level QWidget (a Qt pop-up for menus and
// drop-downs), with a QLineEdit placed over a focused edit control.
class CQtSurface : public IWindowSurface {
public:
    CQtSurface(const SurfaceParams& params, IWindowEventSink& sink);
    ~CQtSurface() override;
    CQtSurface(const CQtSurface&) = delete;
    CQtSurface& operator=(const CQtSurface&) = delete;

    void Show(bool show, bool activate) override;
    bool IsShown() const override;
    void SetGeometry(const UiRect& screenRect) override;
    UiRect Geometry() const override;
    void SetTitle(const std::string& title) override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;
    void SetModal(bool modal) override;
    void BringToFront() override;
    void Invalidate(const UiRect& clientRect) override;
    void CapturePointer(bool capture) override;
    void SetToolTip(const std::string& text) override;
    void BeginTextEdit(const TextEditRequest& request) override;
    void EndTextEdit() override;
    void Minimize() override;
    void Maximize() override;
    void Restore() override;
    bool IsMinimized() const override;
    bool IsMaximized() const override;
    UiRect MonitorRect() const override;
    void BeginMove() override;
    void GrabKeyboard(bool grab) override;
    bool IsKeyboardGrabbed() const override;

    // For tests and the tray: the widget and the open text field (null when none).
    CQtSurfaceWidget* Widget() const { return widget_.get(); }
    QLineEdit* TextField() const { return textField_.data(); }

private:
    struct WidgetDeleter {
        void operator()(CQtSurfaceWidget* widget) const;
    };

    IWindowEventSink& sink_;
    std::unique_ptr<CQtSurfaceWidget, WidgetDeleter> widget_;
    QPointer<QLineEdit> textField_;
    bool sized_;
};

}  // namespace q208

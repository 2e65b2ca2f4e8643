#pragma once

#include <QWidget>

#include "ui/qt/CQtTextCache.h"

namespace q208 {

class IWindowEventSink;

// The QWidget of a surface: turns Qt's input, paint and window events into calls of the
// window's event sink. Detach() cuts it from the sink when the surface goes away while the
// widget still handles an event (it is then deleted later).
class CQtSurfaceWidget : public QWidget {
public:
    CQtSurfaceWidget(IWindowEventSink& sink, Qt::WindowFlags flags);

    void Detach() { sink_ = nullptr; }
    // The window this widget shows (null once detached).
    IWindowEventSink* Sink() const { return sink_; }
    // Reports screen and DPI changes of the window's monitor (needs the native window).
    void WatchScreens();
    // True while one of this widget's event handlers runs.
    bool InEvent() const { return eventDepth_ > 0; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Tab and Shift+Tab belong to the window layer (its own focus order), also while the
    // text field over an edit has Qt's focus.
    bool focusNextPrevChild(bool next) override;

private:
    void Pointer(QMouseEvent* event, int action);
    void Key(QKeyEvent* event, bool down);
    bool IsPopup() const { return windowType() == Qt::Popup; }
    // A pop-up that had the keyboard focus loses it to another window or the desktop.
    void OnFocusWindowChanged(QWindow* now);
    void OnScreenChanged(QScreen* screen);

    IWindowEventSink* sink_;
    int eventDepth_ = 0;
    CQtTextCache textCache_;
    bool hadFocus_ = false;
    int screenDpi_ = 0;
};

}  // namespace q208

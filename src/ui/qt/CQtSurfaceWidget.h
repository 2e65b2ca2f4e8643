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
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Pointer(QMouseEvent* event, int action);
    void Key(QKeyEvent* event, bool down);

    IWindowEventSink* sink_;
    int eventDepth_ = 0;
    CQtTextCache textCache_;
};

}  // namespace q208

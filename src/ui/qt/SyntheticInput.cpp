#include "ui/qt/SyntheticInput.h"

#include <algorithm>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include "ui/qt/CQtSurface.h"
#include "ui/qt/CQtSurfaceWidget.h"

namespace q208 {

namespace {

QWidget* WidgetOf(CWindowWnd& window) {
    auto* surface = dynamic_cast<CQtSurface*>(window.GetSurface());
    return surface ? surface->Widget() : nullptr;
}

struct KeyRow {
    UINT virtualKey;
    int qtKey;
};
constexpr KeyRow kKeys[] = {{VK_ESCAPE, Qt::Key_Escape}, {VK_RETURN, Qt::Key_Return}};

}  // namespace

bool SendClickTo(CWindowWnd& window, UiPoint client) {
    QPointer<QWidget> widget = WidgetOf(window);
    if (!widget) return false;
    const QPointF pos(client.x, client.y);
    const QPointF global = widget->mapToGlobal(pos);
    QMouseEvent move(QEvent::MouseMove, pos, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
    QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    if (widget) QCoreApplication::sendEvent(widget, &press);
    // The press may have closed the window: its widget is then deleted later or hidden.
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    if (widget && widget->isVisible()) QCoreApplication::sendEvent(widget, &release);
    return true;
}

bool SendKeyTo(CWindowWnd& window, UINT virtualKey) {
    QPointer<QWidget> widget = WidgetOf(window);
    const auto* row = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyRow& k) { return k.virtualKey == virtualKey; });
    if (!widget || row == std::end(kKeys)) return false;
    QKeyEvent press(QEvent::KeyPress, row->qtKey, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, row->qtKey, Qt::NoModifier);
    if (widget && widget->isVisible()) QCoreApplication::sendEvent(widget, &release);
    return true;
}

bool SendPhysicalKeyTo(CWindowWnd& window, unsigned evdevCode) {
    constexpr quint32 kNativeScanOffset = 8;
    QPointer<QWidget> widget = WidgetOf(window);
    if (!widget) return false;
    if (QWidget* grabber = QWidget::keyboardGrabber()) widget = grabber;
    const quint32 native = evdevCode + kNativeScanOffset;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, native, 0, 0);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, native, 0, 0);
    if (widget && widget->isVisible()) QCoreApplication::sendEvent(widget, &release);
    return true;
}

}  // namespace q208

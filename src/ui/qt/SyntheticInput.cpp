#include "ui/qt/SyntheticInput.h"

#include <algorithm>

#include <QApplication>
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
    const char* text;
};
constexpr KeyRow kKeys[] = {
    {VK_ESCAPE, Qt::Key_Escape, ""}, {VK_RETURN, Qt::Key_Return, "\r"}, {VK_SPACE, Qt::Key_Space, " "},
    {VK_TAB, Qt::Key_Tab, ""},       {VK_UP, Qt::Key_Up, ""},           {VK_DOWN, Qt::Key_Down, ""},
    {VK_LEFT, Qt::Key_Left, ""},     {VK_RIGHT, Qt::Key_Right, ""},     {VK_HOME, Qt::Key_Home, ""},
    {VK_END, Qt::Key_End, ""},       {VK_PRIOR, Qt::Key_PageUp, ""},    {VK_NEXT, Qt::Key_PageDown, ""},
};

bool SendKeyToWidget(QPointer<QWidget> widget, UINT virtualKey, bool shift);

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

bool SendKeyTo(CWindowWnd& window, UINT virtualKey, bool shift) {
    QPointer<QWidget> widget = WidgetOf(window);
    if (!widget) return false;
    // The desktop gives keys to the widget grabbing the keyboard, else the focused one:
    // the text field over an edit, say.
    if (QWidget* focused = widget->focusWidget(); focused && focused->isVisible()) widget = focused;
    if (QWidget* grabber = QWidget::keyboardGrabber()) widget = grabber;
    return SendKeyToWidget(widget, virtualKey, shift);
}

bool SendKeyToModalDialog(UINT virtualKey, bool shift) {
    return SendKeyToWidget(QApplication::activeModalWidget(), virtualKey, shift);
}

namespace {

bool SendKeyToWidget(QPointer<QWidget> widget, UINT virtualKey, bool shift) {
    const auto* row = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyRow& k) { return k.virtualKey == virtualKey; });
    if (!widget || row == std::end(kKeys)) return false;
    // Qt reports Shift+Tab as its own key.
    const int key = shift && row->qtKey == Qt::Key_Tab ? Qt::Key_Backtab : row->qtKey;
    const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
    const QString text = QString::fromLatin1(row->text);
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    if (widget && widget->isVisible()) QCoreApplication::sendEvent(widget, &release);
    return true;
}

}  // namespace

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

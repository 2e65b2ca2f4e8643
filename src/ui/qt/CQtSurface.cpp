#include "ui/qt/CQtSurface.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QWindow>

#include "ui/qt/CQtSurfaceWidget.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {

Qt::WindowFlags FlagsOf(const SurfaceParams& params) {
    // The layer draws the title bar itself.
    if (params.popup) return Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint;
    return Qt::Window | Qt::FramelessWindowHint;
}

QString TextFieldStyle(ARGB textColor) {
    const QColor c = qtconv::Color(textColor);
    return QStringLiteral("QLineEdit{border:0;padding:0;margin:0;background:transparent;color:%1;}")
        .arg(c.name(QColor::HexArgb));
}

}  // namespace

void CQtSurface::WidgetDeleter::operator()(CQtSurfaceWidget* widget) const {
    widget->Detach();
    widget->hide();
    // Deleting a widget from inside its own event handler is not allowed: later then.
    if (widget->InEvent()) {
        widget->deleteLater();
    } else {
        delete widget;
    }
}

CQtSurface::CQtSurface(const SurfaceParams& params, IWindowEventSink& sink)
    : sink_(sink), widget_(new CQtSurfaceWidget(sink, FlagsOf(params))), sized_(!params.geometry.IsEmpty()) {
    widget_->setWindowTitle(qtconv::Str(params.title));
    widget_->setObjectName(qtconv::Str(params.className));
    if (!params.geometry.IsEmpty()) {
        widget_->setGeometry(qtconv::Rect(params.geometry));
    } else {
        widget_->move(params.geometry.left, params.geometry.top);
    }
    widget_->winId();
    widget_->WatchScreens();
    if (auto* owner = dynamic_cast<CQtSurface*>(params.owner)) {
        // Transient parent only: a Qt parent would own (and delete) our widget.
        owner->widget_->winId();
        if (widget_->windowHandle() && owner->widget_->windowHandle()) {
            widget_->windowHandle()->setTransientParent(owner->widget_->windowHandle());
        }
    }
}

CQtSurface::~CQtSurface() {
    if (textField_) {
        textField_->disconnect();
        textField_->hide();
        textField_->deleteLater();
    }
}

void CQtSurface::Show(bool show, bool activate) {
    if (!show) {
        widget_->hide();
        return;
    }
    widget_->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    if (widget_->isMinimized()) widget_->showNormal();
    else widget_->show();
    if (activate) {
        widget_->raise();
        widget_->activateWindow();
    }
}

bool CQtSurface::IsShown() const { return widget_->isVisible(); }

void CQtSurface::SetGeometry(const UiRect& screenRect) {
    const UiRect old = Geometry();
    const UiRect rc = screenRect.Normalized();
    sized_ = true;
    widget_->setGeometry(qtconv::Rect(rc));
    // A hidden widget reports moves and resizes only when shown; the layer wants them now.
    if (!widget_->isVisible()) {
        if (old.left != rc.left || old.top != rc.top) sink_.OnMoved(rc.left, rc.top);
        if (old.Width() != rc.Width() || old.Height() != rc.Height()) sink_.OnResized(rc.Width(), rc.Height());
    }
}

UiRect CQtSurface::Geometry() const {
    const UiRect rc = qtconv::Rect(widget_->geometry());
    // Qt gives an unsized top-level a default size; the window layer expects none.
    return sized_ ? rc : UiRect{rc.left, rc.top, rc.left, rc.top};
}

void CQtSurface::SetTitle(const std::string& title) { widget_->setWindowTitle(qtconv::Str(title)); }

void CQtSurface::SetEnabled(bool enabled) { widget_->setEnabled(enabled); }

bool CQtSurface::IsEnabled() const { return widget_->isEnabled(); }

void CQtSurface::SetModal(bool modal) { widget_->setWindowModality(modal ? Qt::WindowModal : Qt::NonModal); }

void CQtSurface::BringToFront() {
    if (widget_->isMinimized()) widget_->showNormal();
    widget_->raise();
    widget_->activateWindow();
}

// A hidden or minimised window paints nothing: nobody sees it, and the window system
// shows it again with a whole repaint (see CQtSurfaceWidget::changeEvent).
void CQtSurface::Invalidate(const UiRect& clientRect) {
    if (clientRect.IsEmpty() || !widget_->isVisible() || widget_->isMinimized()) return;
    widget_->update(qtconv::Rect(clientRect));
}

// Qt keeps pointer events with the widget that took the press; nothing more is needed.
void CQtSurface::CapturePointer(bool) {}

void CQtSurface::SetToolTip(const std::string& text) { widget_->setToolTip(qtconv::Str(text)); }

void CQtSurface::BeginTextEdit(const TextEditRequest& request) {
    EndTextEdit();
    auto* field = new QLineEdit(widget_.get());  // owned by the widget
    textField_ = field;
    field->setFrame(false);
    field->setGeometry(qtconv::Rect(request.rect));
    field->setFont(qtconv::Font(request.font));
    field->setStyleSheet(TextFieldStyle(request.textColor));
    if (request.maxChars > 0) field->setMaxLength(request.maxChars);
    if (request.digitsOnly) {
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    }
    if (request.password) field->setEchoMode(QLineEdit::Password);
    field->setText(qtconv::Str(request.text));
    IWindowEventSink* sink = &sink_;
    QObject::connect(field, &QLineEdit::textEdited, field,
                     [sink](const QString& text) { sink->OnTextEdited(qtconv::Str(text), false); });
    QObject::connect(field, &QLineEdit::returnPressed, field,
                     [sink, field] { sink->OnTextEdited(qtconv::Str(field->text()), true); });
    field->show();
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void CQtSurface::EndTextEdit() {
    if (!textField_) return;
    QLineEdit* field = textField_.data();
    textField_.clear();
    field->disconnect();
    field->hide();
    // May be called from the field's own signal (Enter moved the focus).
    field->deleteLater();
    widget_->setFocus(Qt::OtherFocusReason);
}

void CQtSurface::Minimize() { widget_->showMinimized(); }

void CQtSurface::Maximize() { widget_->showMaximized(); }

void CQtSurface::Restore() { widget_->showNormal(); }

bool CQtSurface::IsMinimized() const { return widget_->isMinimized(); }

bool CQtSurface::IsMaximized() const { return widget_->isMaximized(); }

UiRect CQtSurface::MonitorRect() const {
    const QScreen* screen = widget_->screen();
    return screen ? qtconv::Rect(screen->geometry()) : UiRect{};
}

void CQtSurface::BeginMove() {
    if (QWindow* window = widget_->windowHandle()) window->startSystemMove();
}

// The surface widget itself takes the keys, so a native text field over an edit sees none.
void CQtSurface::GrabKeyboard(bool grab) {
    if (grab) {
        widget_->grabKeyboard();
    } else if (QWidget::keyboardGrabber() == widget_.get()) {
        widget_->releaseKeyboard();
    }
}

bool CQtSurface::IsKeyboardGrabbed() const { return QWidget::keyboardGrabber() == widget_.get(); }

}  // namespace q208

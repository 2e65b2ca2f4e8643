#include "ui/qt/CTrayIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "ui/CWindowWnd.h"
#include "ui/UiDefs.h"
#include "ui/UiMessaging.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {

constexpr ARGB kAccent = 0xFFE0353B;
constexpr int kIconSide = 32;

QIcon FlatIcon() {
    QPixmap pixmap(kIconSide, kIconSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(qtconv::Color(kAccent));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(2, 2, kIconSide - 4, kIconSide - 4), 6, 6);
    return QIcon(pixmap);
}

}  // namespace

CTrayIcon::CTrayIcon() = default;
CTrayIcon::~CTrayIcon() { DeleteTrayIcon(); }

bool CTrayIcon::IsTrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool CTrayIcon::CreateTrayIcon(HWND receiver, const std::string& iconFile, const std::string& toolTip, UINT message) {
    DeleteTrayIcon();
    receiver_ = receiver;
    message_ = message;
    QIcon icon(qtconv::Str(iconFile));
    if (iconFile.empty() || icon.isNull() || icon.availableSizes().isEmpty()) icon = FlatIcon();
    icon_ = std::make_unique<QSystemTrayIcon>(icon);
    icon_->setToolTip(qtconv::Str(toolTip));
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         switch (reason) {
                         case QSystemTrayIcon::Trigger: OnActivated(WM_LBUTTONUP); break;
                         case QSystemTrayIcon::Context: OnActivated(WM_RBUTTONUP); break;
                         case QSystemTrayIcon::DoubleClick: OnActivated(WM_LBUTTONDBLCLK); break;
                         default: break;
                         }
                     });
    if (IsTrayAvailable()) icon_->show();
    return true;
}

void CTrayIcon::DeleteTrayIcon() {
    if (!icon_) return;
    icon_->hide();
    icon_.reset();
}

void CTrayIcon::SetToolTipText(const std::string& text) {
    if (icon_) icon_->setToolTip(qtconv::Str(text));
}

std::string CTrayIcon::GetToolTipText() const { return icon_ ? qtconv::Str(icon_->toolTip()) : std::string(); }

void CTrayIcon::OnActivated(LPARAM pointerMessage) {
    if (receiver_) PostMessage(receiver_, message_, 0, pointerMessage);
}

void CTrayIcon::HideToTray(CWindowWnd& window) {
    if (IsTrayAvailable()) {
        window.ShowWindow(false, false);
    } else if (IWindowSurface* surface = window.GetSurface()) {
        surface->Minimize();  // a hidden window could not be brought back without a tray
    }
}

}  // namespace q208

#include "ui/qt/WindowSnapshot.h"

#include <QImage>
#include <QPainter>

#include "ui/CPaintManagerUI.h"
#include "ui/qt/CQtRenderTarget.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {
constexpr int kMaxSide = 16384;
}

namespace {

// The window's control tree at its client size, painted as the screen shows it.
std::optional<QImage> PaintWindow(CPaintManagerUI& manager, std::string* error) {
    const UiSize size = manager.GetClientSize();
    if (!manager.GetRoot() || size.cx <= 0 || size.cy <= 0 || size.cx > kMaxSide || size.cy > kMaxSide) {
        if (error) *error = "the window has nothing to paint";
        return std::nullopt;
    }
    manager.DoLayout();
    QImage image(size.cx, size.cy, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        CQtRenderTarget target(painter);
        manager.Paint(target, UiRect{0, 0, size.cx, size.cy});
    }
    return image;
}

}  // namespace

bool SaveWindowPng(CPaintManagerUI& manager, const std::string& file, std::string* error) {
    const std::optional<QImage> image = PaintWindow(manager, error);
    if (!image) return false;
    if (!image->save(qtconv::Str(file), "PNG")) {
        if (error) *error = "cannot write " + file;
        return false;
    }
    return true;
}

std::optional<uint32_t> MeanColourOf(CPaintManagerUI& manager, const UiRect& rect, std::string* error) {
    const std::optional<QImage> image = PaintWindow(manager, error);
    if (!image) return std::nullopt;
    const QRect area = QRect(rect.left, rect.top, rect.Width(), rect.Height()).intersected(image->rect());
    if (area.isEmpty()) {
        if (error) *error = "the control is not on the window";
        return std::nullopt;
    }
    uint64_t sum[3] = {};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image->pixel(x, y);
            sum[0] += static_cast<uint64_t>(qRed(pixel));
            sum[1] += static_cast<uint64_t>(qGreen(pixel));
            sum[2] += static_cast<uint64_t>(qBlue(pixel));
        }
    }
    const uint64_t count = static_cast<uint64_t>(area.width()) * static_cast<uint64_t>(area.height());
    return static_cast<uint32_t>(sum[0] / count << 16 | sum[1] / count << 8 | sum[2] / count);
}

}  // namespace q208

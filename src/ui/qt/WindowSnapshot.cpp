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

bool SaveWindowPng(CPaintManagerUI& manager, const std::string& file, std::string* error) {
    const UiSize size = manager.GetClientSize();
    if (!manager.GetRoot() || size.cx <= 0 || size.cy <= 0 || size.cx > kMaxSide || size.cy > kMaxSide) {
        if (error) *error = "the window has nothing to paint";
        return false;
    }
    manager.DoLayout();
    QImage image(size.cx, size.cy, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        CQtRenderTarget target(painter);
        manager.Paint(target, UiRect{0, 0, size.cx, size.cy});
    }
    if (!image.save(qtconv::Str(file), "PNG")) {
        if (error) *error = "cannot write " + file;
        return false;
    }
    return true;
}

}  // namespace q208

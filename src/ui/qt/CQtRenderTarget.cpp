#include "ui/qt/CQtRenderTarget.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QTextOption>

#include "ui/UiDefs.h"
#include "ui/qt/CQtImageCache.h"
#include "ui/qt/CQtTextCache.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {

QPainterPath RoundedPath(const UiRect& rect, int radius) {
    QPainterPath path;
    if (rect.IsEmpty()) return path;
    if (radius > 0) {
        path.addRoundedRect(QRectF(qtconv::Rect(rect)), radius, radius);
    } else {
        path.addRect(QRectF(qtconv::Rect(rect)));
    }
    return path;
}

Qt::Alignment AlignmentOf(UINT style) {
    Qt::Alignment align = Qt::AlignLeft;
    if (style & DT_CENTER) align = Qt::AlignHCenter;
    else if (style & DT_RIGHT) align = Qt::AlignRight;
    if (style & DT_VCENTER) align |= Qt::AlignVCenter;
    else if (style & DT_BOTTOM) align |= Qt::AlignBottom;
    else align |= Qt::AlignTop;
    return align;
}

// Draws `src` of `image` into `dst`, stretched, skipping empty pieces.
void DrawPiece(QPainter& painter, const QImage& image, const QRect& dst, const QRect& src) {
    if (dst.width() <= 0 || dst.height() <= 0 || src.width() <= 0 || src.height() <= 0) return;
    painter.drawImage(dst, image, src);
}

// Nine-patch: the corners keep their size, the edges stretch along one axis and the middle
// along both. Margins larger than the destination are cut down proportionally.
void DrawNinePatch(QPainter& painter, const QImage& image, const QRect& dst, const QRect& src, const UiRect& corner) {
    int l = corner.left, t = corner.top, r = corner.right, b = corner.bottom;
    l = std::min(l, src.width()); r = std::min(r, src.width() - l);
    t = std::min(t, src.height()); b = std::min(b, src.height() - t);
    const int dl = std::min(l, dst.width() / 2), dr = std::min(r, dst.width() - dl);
    const int dt = std::min(t, dst.height() / 2), db = std::min(b, dst.height() - dt);
    const int sx[4] = {src.left(), src.left() + l, src.left() + src.width() - r, src.left() + src.width()};
    const int sy[4] = {src.top(), src.top() + t, src.top() + src.height() - b, src.top() + src.height()};
    const int dx[4] = {dst.left(), dst.left() + dl, dst.left() + dst.width() - dr, dst.left() + dst.width()};
    const int dy[4] = {dst.top(), dst.top() + dt, dst.top() + dst.height() - db, dst.top() + dst.height()};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            DrawPiece(painter, image, QRect(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1)),
                      QRect(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1)));
        }
    }
}

}  // namespace

CQtRenderTarget::CQtRenderTarget(QPainter& painter, CQtTextCache* textCache)
    : painter_(painter), textCache_(textCache) {}

CQtRenderTarget::~CQtRenderTarget() {
    while (clipDepth_ > 0) PopClip();
}

void CQtRenderTarget::FillRect(const UiRect& rect, ARGB color) {
    if (rect.IsEmpty() || (color >> 24) == 0) return;
    painter_.fillRect(qtconv::Rect(rect), qtconv::Color(color));
}

void CQtRenderTarget::FillRoundRect(const UiRect& rect, int radius, ARGB color) {
    if (rect.IsEmpty() || (color >> 24) == 0) return;
    if (radius <= 0) return FillRect(rect, color);
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.fillPath(RoundedPath(rect, radius), qtconv::Color(color));
    painter_.restore();
}

void CQtRenderTarget::DrawBorder(const UiRect& rect, int width, int radius, ARGB color) {
    if (rect.IsEmpty() || width <= 0 || (color >> 24) == 0) return;
    const UiRect inner = rect.Deflate({width, width, width, width});
    QPainterPath frame = RoundedPath(rect, radius);
    frame.setFillRule(Qt::OddEvenFill);
    if (!inner.IsEmpty()) frame.addPath(RoundedPath(inner, std::max(0, radius - width)));
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, radius > 0);
    painter_.fillPath(frame, qtconv::Color(color));
    painter_.restore();
}

void CQtRenderTarget::DrawImage(const ImageDraw& draw) {
    if (draw.file.empty() || draw.dest.IsEmpty() || draw.fade <= 0) return;
    const QImage image = draw.tint != 0 && draw.tintIntensity > 0
                             ? CQtImageCache::Instance().GetTinted(draw.file, draw.tint, draw.tintIntensity)
                             : CQtImageCache::Instance().Get(draw.file);
    if (image.isNull()) return;
    QRect src = draw.source.IsEmpty() ? image.rect() : qtconv::Rect(draw.source).intersected(image.rect());
    if (src.isEmpty()) return;
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (draw.fade < 255) painter_.setOpacity(draw.fade / 255.0);
    const UiRect& c = draw.corner;
    if (c.left || c.top || c.right || c.bottom) {
        DrawNinePatch(painter_, image, qtconv::Rect(draw.dest), src, c);
    } else {
        painter_.drawImage(qtconv::Rect(draw.dest), image, src);
    }
    painter_.restore();
}

void CQtRenderTarget::DrawText(const UiRect& rect, const std::string& text, const FontDesc& font, ARGB color,
                               UINT style) {
    if (text.empty() || rect.IsEmpty() || (color >> 24) == 0) return;
    const QFont qfont = qtconv::Font(font);
    const QRect box = qtconv::Rect(rect);
    QString str = qtconv::Str(text);
    const bool wrap = (style & DT_WORDBREAK) && !(style & DT_SINGLELINE);
    if (!wrap) {
        str.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (style & DT_END_ELLIPSIS) str = QFontMetrics(qfont).elidedText(str, Qt::ElideRight, box.width());
    }
    painter_.save();
    painter_.setFont(qfont);
    painter_.setPen(qtconv::Color(color));
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setClipRect(box, Qt::IntersectClip);
    if (textCache_) {
        const CQtTextCache::Laid& laid = textCache_->Get(str, font, qfont, box.width(), box.height(), style);
        painter_.drawStaticText(QPointF(box.topLeft()) + laid.offset, laid.text);
    } else {
        painter_.drawText(box, static_cast<int>(AlignmentOf(style)) | (wrap ? Qt::TextWordWrap : 0), str);
    }
    painter_.restore();
}

void CQtRenderTarget::PushClip(const UiRect& rect) {
    painter_.save();
    ++clipDepth_;
    painter_.setClipRect(qtconv::Rect(rect.Normalized()), painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void CQtRenderTarget::PopClip() {
    if (clipDepth_ == 0) return;
    --clipDepth_;
    painter_.restore();
}

}  // namespace q208

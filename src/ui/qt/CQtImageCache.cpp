#include "ui/qt/CQtImageCache.h"

#include <QPainter>

#include "platform/Trace.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {

// Tinted variants are small in number (one per light colour in use); bound them anyway.
constexpr size_t kMaxTinted = 256;

QImage Load(const std::string& path) {
    QImage image(qtconv::Str(path));
    if (image.isNull()) {
        Trace("image %s cannot be read", path.c_str());
        return {};
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

CQtImageCache& CQtImageCache::Instance() {
    static CQtImageCache cache;
    return cache;
}

QImage CQtImageCache::Get(const std::string& path) {
    std::lock_guard lock(mutex_);
    auto it = images_.find(path);
    if (it == images_.end()) it = images_.emplace(path, Load(path)).first;
    return it->second;
}

QImage CQtImageCache::GetTinted(const std::string& path, ARGB tint, int intensity) {
    const QImage base = Get(path);
    if (base.isNull()) return base;
    intensity = std::clamp(intensity, 0, 255);
    const auto key = std::make_tuple(path, tint, intensity);
    std::lock_guard lock(mutex_);
    if (auto it = tinted_.find(key); it != tinted_.end()) return it->second;
    QImage tinted = base.copy();
    {
        QPainter painter(&tinted);
        // SourceAtop keeps the image's alpha: only its visible pixels take the colour.
        painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        painter.setOpacity(intensity / 255.0);
        QColor color = qtconv::Color(tint);
        color.setAlpha(255);
        painter.fillRect(tinted.rect(), color);
    }
    if (tinted_.size() >= kMaxTinted) tinted_.clear();
    tinted_.emplace(key, tinted);
    return tinted;
}

void CQtImageCache::Clear() {
    std::lock_guard lock(mutex_);
    images_.clear();
    tinted_.clear();
}

}  // namespace q208

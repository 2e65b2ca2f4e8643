#pragma once

#include <map>
#include <mutex>
#include <string>
#include <tuple>

#include <QImage>

#include "ui/UiTypes.h"

namespace q208 {

// Decoded skin images by path, and their tinted variants. A file that cannot be read is
// remembered as a null image so that it is not read again on every paint. UI thread only
// in practice; guarded anyway because the render command may paint from another thread.
class CQtImageCache {
public:
    static CQtImageCache& Instance();

    // The image of `path` (null when missing or unreadable).
    QImage Get(const std::string& path);
    // The image with `tint` laid over its opaque pixels at `intensity` (0..255).
    QImage GetTinted(const std::string& path, ARGB tint, int intensity);
    void Clear();

private:
    std::mutex mutex_;
    std::map<std::string, QImage> images_;
    std::map<std::tuple<std::string, ARGB, int>, QImage> tinted_;
};

}  // namespace q208

#pragma once

#include <string>
#include <unordered_map>

#include <QPointF>
#include <QStaticText>

#include "ui/UiTypes.h"

class QFont;

namespace q208 {

// Laid-out text of one window, so that a repaint does not shape every label again: the
// text, font, box size and drawing style give a QStaticText and where it sits in its box.
// Labels change rarely, so the cache only grows by what a window shows; past a bound it
// starts afresh. UI thread only (each window's widget owns one).
class CQtTextCache {
public:
    struct Laid {
        QStaticText text;
        QPointF offset;  // from the box's top left
    };

    static constexpr size_t kMaxEntries = 2048;

    // The laid-out `text` (already elided and with line ends as the style wants them).
    const Laid& Get(const QString& text, const FontDesc& desc, const QFont& font, int width, int height, UINT style);
    size_t Size() const { return entries_.size(); }
    void Clear() { entries_.clear(); }

private:
    static std::string KeyOf(const QString& text, const FontDesc& desc, int width, int height, UINT style);
    static Laid Lay(const QString& text, const QFont& font, int width, int height, UINT style);

    std::unordered_map<std::string, Laid> entries_;
};

}  // namespace q208

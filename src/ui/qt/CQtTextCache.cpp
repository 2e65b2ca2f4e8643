#include "ui/qt/CQtTextCache.h"

#include <QFont>
#include <QTextOption>
#include <QTransform>

#include "ui/UiDefs.h"

namespace q208 {

namespace {

bool Wraps(UINT style) { return (style & DT_WORDBREAK) && !(style & DT_SINGLELINE); }

// Where a piece of `size` starts in `room` for the style's alignment on one axis.
qreal Offset(qreal room, qreal size, bool centre, bool far) {
    if (centre) return (room - size) / 2;
    if (far) return room - size;
    return 0;
}

}  // namespace

std::string CQtTextCache::KeyOf(const QString& text, const FontDesc& desc, int width, int height, UINT style) {
    std::string key = text.toStdString();
    key += '\x1f';
    key += desc.face;
    key += '\x1f';
    key += std::to_string(desc.size) + ',' + std::to_string(int(desc.bold)) + std::to_string(int(desc.underline)) +
           std::to_string(int(desc.italic)) + ',' + std::to_string(width) + 'x' + std::to_string(height) + ',' +
           std::to_string(style);
    return key;
}

CQtTextCache::Laid CQtTextCache::Lay(const QString& text, const QFont& font, int width, int height, UINT style) {
    Laid laid;
    laid.text.setTextFormat(Qt::PlainText);
    laid.text.setPerformanceHint(QStaticText::AggressiveCaching);
    QTextOption option;
    if (Wraps(style)) {
        option.setWrapMode(QTextOption::WordWrap);
        option.setAlignment(style & DT_CENTER ? Qt::AlignHCenter : style & DT_RIGHT ? Qt::AlignRight : Qt::AlignLeft);
        laid.text.setTextWidth(width);
    } else {
        option.setWrapMode(QTextOption::NoWrap);
    }
    laid.text.setTextOption(option);
    laid.text.setText(text);
    laid.text.prepare(QTransform(), font);
    const QSizeF size = laid.text.size();
    // A wrapped text is aligned across its lines by the option; a single line is placed here.
    const qreal x = Wraps(style) ? 0 : Offset(width, size.width(), style & DT_CENTER, style & DT_RIGHT);
    const qreal y = Offset(height, size.height(), style & DT_VCENTER, style & DT_BOTTOM);
    laid.offset = {x, y};
    return laid;
}

const CQtTextCache::Laid& CQtTextCache::Get(const QString& text, const FontDesc& desc, const QFont& font, int width,
                                            int height, UINT style) {
    std::string key = KeyOf(text, desc, width, height, style);
    if (auto it = entries_.find(key); it != entries_.end()) return it->second;
    if (entries_.size() >= kMaxEntries) entries_.clear();
    return entries_.emplace(std::move(key), Lay(text, font, width, height, style)).first->second;
}

}  // namespace q208

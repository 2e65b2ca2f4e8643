#pragma once

#include <string>

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "ui/UiTypes.h"

namespace q208::qtconv {

// Conversions between the window layer's plain types and Qt's.

inline QColor Color(ARGB argb) {
    return QColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, (argb >> 24) & 0xFF);
}
inline ARGB Argb(const QColor& c) {
    return (static_cast<ARGB>(c.alpha()) << 24) | (static_cast<ARGB>(c.red()) << 16) |
           (static_cast<ARGB>(c.green()) << 8) | static_cast<ARGB>(c.blue());
}
inline QRect Rect(const UiRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
inline UiRect Rect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline QString Str(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string Str(const QString& s) { return s.toStdString(); }

// Font sizes of the skin are pixel heights.
inline QFont Font(const FontDesc& desc) {
    QFont font;
    if (!desc.face.empty()) font.setFamilies({Str(desc.face)});
    font.setPixelSize(desc.size > 0 ? desc.size : 12);
    font.setBold(desc.bold);
    font.setUnderline(desc.underline);
    font.setItalic(desc.italic);
    return font;
}

}  // namespace q208::qtconv

#include "ui/UiAttr.h"

#include <charconv>
#include <cctype>

namespace q208::attr {

namespace {

std::string_view Trim(std::string_view v) {
    while (!v.empty() && std::isspace(static_cast<unsigned char>(v.front()))) v.remove_prefix(1);
    while (!v.empty() && std::isspace(static_cast<unsigned char>(v.back()))) v.remove_suffix(1);
    return v;
}

std::optional<std::vector<int>> IntList(std::string_view v, size_t count) {
    std::vector<int> out;
    size_t start = 0;
    for (;;) {
        const size_t comma = v.find(',', start);
        auto part = Int(v.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (!part) return std::nullopt;
        out.push_back(*part);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (out.size() != count) return std::nullopt;
    return out;
}

}  // namespace

std::optional<bool> Bool(std::string_view v) {
    v = Trim(v);
    if (v == "true" || v == "1" || v == "TRUE" || v == "True") return true;
    if (v == "false" || v == "0" || v == "FALSE" || v == "False") return false;
    return std::nullopt;
}

std::optional<int> Int(std::string_view v) {
    v = Trim(v);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    int value = 0;
    auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (v.empty() || ec != std::errc() || ptr != v.data() + v.size()) return std::nullopt;
    return value;
}

std::optional<int> Number(std::string_view v) {
    v = Trim(v);
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        unsigned value = 0;
        auto [ptr, ec] = std::from_chars(v.data() + 2, v.data() + v.size(), value, 16);
        if (ec != std::errc() || ptr != v.data() + v.size()) return std::nullopt;
        return static_cast<int>(value);
    }
    return Int(v);
}

std::optional<UiSize> Size(std::string_view v) {
    auto list = IntList(v, 2);
    if (!list) return std::nullopt;
    return UiSize{(*list)[0], (*list)[1]};
}

std::optional<UiRect> Rect(std::string_view v) {
    auto list = IntList(v, 4);
    if (!list) return std::nullopt;
    return UiRect{(*list)[0], (*list)[1], (*list)[2], (*list)[3]};
}

std::optional<ARGB> Color(std::string_view v) {
    v = Trim(v);
    if (!v.empty() && v.front() == '#') {
        v.remove_prefix(1);
    } else if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        v.remove_prefix(2);
    } else {
        return std::nullopt;
    }
    if (v.size() != 6 && v.size() != 8) return std::nullopt;
    uint32_t value = 0;
    auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), value, 16);
    if (ec != std::errc() || ptr != v.data() + v.size()) return std::nullopt;
    if (v.size() == 6) value |= 0xFF000000u;  // no alpha given: opaque
    return value;
}

std::optional<std::vector<std::pair<std::string, std::string>>> List(std::string_view v) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < v.size() && std::isspace(static_cast<unsigned char>(v[i]))) ++i;
    };
    for (;;) {
        skipSpace();
        if (i >= v.size()) break;
        const size_t nameStart = i;
        while (i < v.size() && v[i] != '=' && !std::isspace(static_cast<unsigned char>(v[i]))) ++i;
        std::string name(v.substr(nameStart, i - nameStart));
        skipSpace();
        if (i >= v.size() || v[i] != '=' || name.empty()) return std::nullopt;
        ++i;
        skipSpace();
        if (i >= v.size() || (v[i] != '"' && v[i] != '\'')) return std::nullopt;
        const char quote = v[i++];
        const size_t end = v.find(quote, i);
        if (end == std::string_view::npos) return std::nullopt;
        out.emplace_back(std::move(name), std::string(v.substr(i, end - i)));
        i = end + 1;
    }
    return out;
}

std::optional<ImageDesc> Image(std::string_view v) {
    ImageDesc desc;
    const std::string_view trimmed = Trim(v);
    if (trimmed.empty()) return desc;  // empty: no image
    if (trimmed.find('=') == std::string_view::npos) {
        desc.file = std::string(trimmed);
        return desc;
    }
    auto pairs = List(trimmed);
    if (!pairs) return std::nullopt;
    for (const auto& [name, value] : *pairs) {
        if (name == "file" || name == "res") {
            desc.file = value;
        } else if (name == "source") {
            auto r = Rect(value);
            if (!r) return std::nullopt;
            desc.source = *r;
        } else if (name == "dest") {
            auto r = Rect(value);
            if (!r) return std::nullopt;
            desc.dest = *r;
            desc.hasDest = true;
        } else if (name == "corner") {
            auto r = Rect(value);
            if (!r) return std::nullopt;
            desc.corner = *r;
        } else if (name == "fade") {
            auto n = Int(value);
            if (!n || *n < 0 || *n > 255) return std::nullopt;
            desc.fade = *n;
        } else if (name == "tint") {
            auto c = Color(value);
            if (!c) return std::nullopt;
            desc.tint = *c;
        } else if (name == "intensity") {
            auto n = Int(value);
            if (!n || *n < 0 || *n > 255) return std::nullopt;
            desc.tintIntensity = *n;
        }
        // other keys (mask, hole, xtiled, ...) are accepted and ignored
    }
    return desc;
}

std::optional<UINT> HAlign(std::string_view v) {
    if (v == "left") return DT_LEFT;
    if (v == "center") return DT_CENTER;
    if (v == "right") return DT_RIGHT;
    return std::nullopt;
}

std::optional<UINT> VAlign(std::string_view v) {
    if (v == "top") return DT_TOP;
    if (v == "vcenter" || v == "center") return DT_VCENTER;
    if (v == "bottom") return DT_BOTTOM;
    return std::nullopt;
}

}  // namespace q208::attr

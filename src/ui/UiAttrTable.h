#pragma once

#include <optional>
#include <string_view>
#include <unordered_map>

#include "ui/UiAttr.h"

namespace q208 {

// Attribute name → setter, one table per control class; a class looks its own table up
// first and hands unknown names to its base class.
template <class T>
using AttrSetter = AttrResult (*)(T&, std::string_view);
template <class T>
using AttrTable = std::unordered_map<std::string_view, AttrSetter<T>>;

template <class T>
std::optional<AttrResult> ApplyAttr(const AttrTable<T>& table, T& self, std::string_view name, std::string_view value) {
    auto it = table.find(name);
    if (it == table.end()) return std::nullopt;
    return it->second(self, value);
}

// Applies a parsed value through `set`, or reports the value as malformed.
template <class V, class F>
AttrResult SetParsed(const std::optional<V>& value, F&& set) {
    if (!value) return AttrResult::Malformed;
    set(*value);
    return AttrResult::Applied;
}

}  // namespace q208

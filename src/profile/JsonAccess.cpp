#include "profile/JsonAccess.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

#include "platform/Trace.h"

namespace q208::json {

namespace {

const char* TypeName(const Json::Value& value) {
    switch (value.type()) {
    case Json::nullValue: return "null";
    case Json::intValue: return "int";
    case Json::uintValue: return "uint";
    case Json::realValue: return "real";
    case Json::stringValue: return "string";
    case Json::booleanValue: return "bool";
    case Json::arrayValue: return "array";
    case Json::objectValue: return "object";
    }
    return "?";
}

Json::Value& Scratch() {
    thread_local Json::Value scratch;
    scratch = Json::Value();
    return scratch;
}

const Json::Value& NullValue() {
    static const Json::Value null;
    return null;
}

}  // namespace

int ToInt(const Json::Value& value) {
    constexpr double kMin = std::numeric_limits<int>::min();
    constexpr double kMax = std::numeric_limits<int>::max();
    switch (value.type()) {
    case Json::nullValue: return 0;
    case Json::booleanValue: return value.asBool() ? 1 : 0;
    case Json::intValue:
    case Json::uintValue:
        if (value.isInt()) return value.asInt();
        break;
    case Json::realValue:
        if (value.asDouble() >= kMin && value.asDouble() <= kMax) return static_cast<int>(value.asDouble());
        break;
    default: break;
    }
    Trace("json: %s value is not convertible to Int, read as 0", TypeName(value));
    return 0;
}

bool ToBool(const Json::Value& value) {
    switch (value.type()) {
    case Json::nullValue: return false;
    case Json::booleanValue: return value.asBool();
    case Json::intValue: return value.asInt64() != 0;
    case Json::uintValue: return value.asUInt64() != 0;
    case Json::realValue: return value.asDouble() != 0.0;
    default: break;
    }
    Trace("json: %s value is not convertible to bool, read as false", TypeName(value));
    return false;
}

std::string ToString(const Json::Value& value) {
    if (value.isString()) return value.asString();
    if (value.isNull() || value.isArray() || value.isObject()) return {};
    return value.asString();  // numbers and booleans convert without throwing
}

Json::Value& Member(Json::Value& parent, const char* key) {
    if (parent.isNull() || parent.isObject()) return parent[key];
    Trace("json: member \"%s\" asked of a %s value; ignored", key, TypeName(parent));
    return Scratch();
}

Json::Value& Element(Json::Value& parent, int index) {
    if ((parent.isNull() || parent.isArray()) && index >= 0 && index <= kMaxElementIndex) {
        return parent[static_cast<Json::ArrayIndex>(index)];
    }
    Trace("json: element %d asked of a %s value; ignored", index, TypeName(parent));
    return Scratch();
}

Json::Value& WritableMember(Json::Value& parent, const char* key) {
    if (!parent.isNull() && !parent.isObject()) {
        Trace("json: a %s value stood where an object belongs; replaced to store \"%s\"", TypeName(parent), key);
        parent = Json::Value(Json::objectValue);
    }
    return parent[key];
}

Json::Value& WritableElement(Json::Value& parent, int index) {
    if (!IsElementIndex(index)) return Element(parent, index);
    if (!parent.isNull() && !parent.isArray()) {
        Trace("json: a %s value stood where an array belongs; replaced to store element %d", TypeName(parent), index);
        parent = Json::Value(Json::arrayValue);
    }
    return parent[static_cast<Json::ArrayIndex>(index)];
}

int ToIntOrText(const Json::Value& value) {
    if (!value.isString()) return ToInt(value);
    const std::string text = value.asString();
    long long number = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), number).ec != std::errc{}) {
        Trace("json: text \"%.40s\" is not a number, read as 0", text.c_str());
        return 0;
    }
    return static_cast<int>(std::clamp<long long>(number, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

const Json::Value& Find(const Json::Value& parent, const char* key) {
    if (!parent.isObject()) return NullValue();
    const Json::Value* found = parent.find(key, key + std::char_traits<char>::length(key));
    return found ? *found : NullValue();
}

const Json::Value& At(const Json::Value& parent, int index) {
    if (!parent.isArray() || index < 0 || static_cast<Json::ArrayIndex>(index) >= parent.size()) return NullValue();
    return parent[static_cast<Json::ArrayIndex>(index)];
}

}  // namespace q208::json

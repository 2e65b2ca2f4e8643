#pragma once

// Tables that tie record members to JSON keys, and the loops that read and write them.
// Used by the profile classes only.

#include <json/value.h>

#include <algorithm>
#include <limits>

#include "profile/JsonAccess.h"

namespace q208::fields {

enum class Kind { Integer, Boolean };

// One record member stored under "object"."key" of a section, or directly under "key" of
// the given value when object is null (list elements).
template <class Record, class T>
struct Field {
    const char* object;
    const char* key;
    T Record::*member;
    Kind kind = Kind::Integer;
};

// A stored number brought into the range of the record member: 300 in a byte field reads
// 255 and -1 reads 0, never a wrapped value.
template <class T>
T Clamped(int value) {
    return static_cast<T>(std::clamp<long long>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// Reads every field, each clamped to its member's range; a field whose object is null reads
// 0 (the object is still added to the section as null, and keys missing inside a present
// object are added as null).
template <class Record, class T, std::size_t N>
Record Read(Json::Value& section, const Field<Record, T> (&table)[N]) {
    Record record{};
    if (section.isNull()) return record;
    for (const auto& f : table) {
        Json::Value& object = f.object ? json::Member(section, f.object) : section;
        if (object.isNull()) continue;
        const Json::Value& value = json::Member(object, f.key);
        record.*f.member = f.kind == Kind::Boolean ? static_cast<T>(json::ToBool(value)) : Clamped<T>(json::ToInt(value));
    }
    return record;
}

// Writes every field in place as an integer (an object of the wrong type is replaced).
template <class Record, class T, std::size_t N>
void Write(Json::Value& section, const Field<Record, T> (&table)[N], const Record& record) {
    for (const auto& f : table) {
        Json::Value& object = f.object ? json::WritableMember(section, f.object) : section;
        json::WritableMember(object, f.key) = static_cast<int>(record.*f.member);
    }
}

// Builds a fresh object of the given fields (all of one object) and puts it in place of
// the old one.
template <class Record, class T, std::size_t N>
void Replace(Json::Value& section, const char* object, const Field<Record, T> (&table)[N], const Record& record) {
    Json::Value fresh(Json::objectValue);
    for (const auto& f : table) fresh[f.key] = static_cast<int>(record.*f.member);
    json::WritableMember(section, object) = std::move(fresh);
}

}  // namespace q208::fields

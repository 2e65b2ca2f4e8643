#pragma once

// Tables that tie record members to JSON keys, and the loops that read and write them.
// Used by the profile classes only.

#include <json/value.h>

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

// Reads every field; a field whose object is null reads 0 (the object is still added to the
// section as null, and keys missing inside a present object are added as null).
template <class Record, class T, std::size_t N>
Record Read(Json::Value& section, const Field<Record, T> (&table)[N]) {
    Record record{};
    if (section.isNull()) return record;
    for (const auto& f : table) {
        Json::Value& object = f.object ? json::Member(section, f.object) : section;
        if (object.isNull()) continue;
        const Json::Value& value = json::Member(object, f.key);
        record.*f.member = static_cast<T>(f.kind == Kind::Boolean ? json::ToBool(value) : json::ToInt(value));
    }
    return record;
}

// Writes every field in place as an integer.
template <class Record, class T, std::size_t N>
void Write(Json::Value& section, const Field<Record, T> (&table)[N], const Record& record) {
    for (const auto& f : table) {
        Json::Value& object = f.object ? json::Member(section, f.object) : section;
        json::Member(object, f.key) = static_cast<int>(record.*f.member);
    }
}

// Builds a fresh object of the given fields (all of one object) and puts it in place of
// the old one.
template <class Record, class T, std::size_t N>
void Replace(Json::Value& section, const char* object, const Field<Record, T> (&table)[N], const Record& record) {
    Json::Value fresh(Json::objectValue);
    for (const auto& f : table) fresh[f.key] = static_cast<int>(record.*f.member);
    json::Member(section, object) = std::move(fresh);
}

}  // namespace q208::fields

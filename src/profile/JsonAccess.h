#pragma once

// Conversions and member access on JSON values that never throw. Profile documents are
// user files: a key may hold a string where a number belongs, or an array where an object
// belongs, and none of that may take the program down.

#include <json/value.h>

#include <string>

namespace q208::json {

// Largest array position the creating access will extend an array to; positions come
// from files and device answers and must not make a huge array.
inline constexpr int kMaxElementIndex = 4095;

// Integer value: null reads 0, booleans 0/1, reals truncated; strings, arrays, objects and
// numbers outside the int range read 0 and leave a trace.
int ToInt(const Json::Value& value);
// Boolean value: null reads false, numbers are true when not 0; anything else reads
// false with a trace.
bool ToBool(const Json::Value& value);
// Text of a string (numbers and booleans in their JSON spelling); arrays and objects read
// empty.
std::string ToString(const Json::Value& value);

// Creating member access: a missing key is added as null, a null parent becomes an object.
// A parent of any other type is left alone; the access then lands on a scratch value whose
// writes go nowhere, and a trace says so.
Json::Value& Member(Json::Value& parent, const char* key);
// Creating element access, the array counterpart of Member: a null parent becomes an array,
// the array grows to index + 1. Negative or too large positions land on the scratch value.
Json::Value& Element(Json::Value& parent, int index);

// Creating access for a write: like Member and Element, but a parent of another type (a
// string where "KeyList" should be an array) is replaced, with a trace, so that the write
// lands in the document. Element still refuses positions outside 0 ... kMaxElementIndex
// (the scratch value); callers check positions first.
Json::Value& WritableMember(Json::Value& parent, const char* key);
Json::Value& WritableElement(Json::Value& parent, int index);
inline bool IsElementIndex(long long index) { return index >= 0 && index <= kMaxElementIndex; }

// Integer value that may also be stored as decimal text ("Delay": "120"): the number the
// text starts with, 0 when it starts with none, clamped to the int range. Otherwise as ToInt.
int ToIntOrText(const Json::Value& value);

// Read-only lookups that never add anything: null when absent or of the wrong type.
const Json::Value& Find(const Json::Value& parent, const char* key);
const Json::Value& At(const Json::Value& parent, int index);

}  // namespace q208::json

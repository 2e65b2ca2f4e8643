#pragma once

// Reading and writing whole profile documents: {"Device": [section, ...], ...}.

#include <json/value.h>

#include <filesystem>

namespace q208 {

// What reading a profile document came to.
struct ProfileDocumentRead {
    // The document when it can take sections (an object whose "Device" is an array or
    // absent); null otherwise.
    Json::Value document;
    // True when the file exists but could not be read, or held something else and could
    // not be moved aside: whatever it holds is the user's, so nothing may be written over it.
    bool locked = false;
};

// Reads the document at path. A file that is not a profile document is moved to
// "<path>.bad" (so nothing of it is lost) and reads as null, unless `mayMoveAside` is false
// (factory files); it is then locked like a file that could not be read. Either way the user
// hears of it once (FileNotices).
ProfileDocumentRead ReadProfileDocument(const std::filesystem::path& path, bool mayMoveAside = true);

// Moves "Device"[index] out of the document; null when absent or not an object.
Json::Value TakeSection(Json::Value& document, int index);

// A copy of "Device"[index]; null when absent or not an object.
Json::Value CopySection(const Json::Value& document, int index);

// Sets "Device"[index], keeping every other section and key of the document (a "Device"
// that is not an array is replaced). False, with nothing changed, when the index is outside
// 0 ... json::kMaxElementIndex or the document is not an object.
bool PutSection(Json::Value& document, int index, Json::Value section);

}  // namespace q208

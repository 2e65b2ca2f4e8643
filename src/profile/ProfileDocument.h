#pragma once

// Reading and writing whole profile documents: {"Device": [section, ...], ...}.

#include <json/value.h>

#include <filesystem>

namespace q208 {

// The document at path when it can take sections: an object whose "Device" is an array or
// absent; null when the file is missing. A file with any other content is copied to
// "<path>.bad" (so nothing of it is lost) and reads as null.
Json::Value ReadProfileDocument(const std::filesystem::path& path);

// Moves "Device"[index] out of the document; null when absent or not an object.
Json::Value TakeSection(Json::Value& document, int index);

// A copy of "Device"[index]; null when absent or not an object.
Json::Value CopySection(const Json::Value& document, int index);

// Sets "Device"[index], keeping every other section and key of the document.
void PutSection(Json::Value& document, int index, Json::Value section);

}  // namespace q208

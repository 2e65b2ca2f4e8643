#pragma once

// The JSON file routines every JSON document of the program goes through: profiles, the
// profile list, macro files, light files and configuration files.

#include <json/value.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace q208 {

// Files larger than this are refused: no document of ours comes near it, and reading an
// arbitrary large file whole would only waste memory.
inline constexpr std::uintmax_t kMaxJsonFileBytes = 32u << 20;

// The whole file as bytes; empty when the file is missing, not a regular file, too large
// or cannot be read completely.
std::string readjsonFile(const std::filesystem::path& path);

// The parsed document (comments allowed and kept). Missing, empty or unparsable files
// give a null value; nothing here throws.
Json::Value ReadJsonValue(const std::filesystem::path& path);

// Parses text the same way ReadJsonValue does; null when it is not valid JSON.
Json::Value ParseJsonText(std::string_view text);

// The document in styled form, ending in exactly one line end.
std::string StyledJsonText(const Json::Value& document);

// Writes the styled document to a temporary file in the target's folder and renames it
// over the target, so the target always holds either the old or the new document.
// Returns 0 on success and -1 on failure (the old file is left as it was).
int WriteJsonFile(const Json::Value& document, const std::filesystem::path& path);

// Moves a file the program cannot use out of the way, to "<name>.bad" or, when that name
// is taken (by anything, a link included), "<name>.bad.2", ".bad.3" and so on: an earlier
// copy is never overwritten and nothing is written through a link. The new path, or empty
// when the file could not be moved.
std::filesystem::path SetFileAside(const std::filesystem::path& path);

// Local time as "%d_%02d_%02d_%02d_%02d_%02d_%03d" (year ... millisecond): the
// identifier of a new profile or macro and the base of its file name.
std::string MakeTimeStampName();

// True when an identifier read from a file may become part of a file name: not empty,
// no path separator, no "..", no NUL byte and not overly long.
bool IsPlainIdentifier(std::string_view identifier);

}  // namespace q208

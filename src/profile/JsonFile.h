#pragma once

// The JSON file routines every JSON document of the program goes through: profiles, the
// profile list, macro files, light files and configuration files.

#include <json/value.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace q208 {

// Files larger than this are refused: no document of ours comes near it, and reading an
// arbitrary large file whole would only waste memory.
inline constexpr std::uintmax_t kMaxJsonFileBytes = 32u << 20;
// Deepest nesting of arrays and objects a document may have.
inline constexpr int kMaxJsonDepth = 1000;

// What a reader may accept; files of a kind that is always small get tighter limits.
struct JsonLimits {
    std::uintmax_t maxBytes = kMaxJsonFileBytes;
    int maxDepth = kMaxJsonDepth;
};

// How reading a file went. Only Missing and Invalid say anything about the content: a file
// that is Unreadable may hold anything and must be left as it is.
enum class JsonReadStatus {
    Ok,
    Missing,     // no such file, or an empty one: nothing there to lose
    Unreadable,  // exists but could not be read: access, I/O error, too large, not a regular file
    Invalid,     // read whole, but not JSON (or nested too deeply)
};

struct JsonReadResult {
    Json::Value value;  // null unless Ok
    JsonReadStatus status = JsonReadStatus::Missing;
    std::string reason;  // for Unreadable: why, as the system says it
};

// Reads and parses a file, telling apart what is missing, what could not be read and what
// is not JSON. Never throws.
JsonReadResult ReadJsonFile(const std::filesystem::path& path, const JsonLimits& limits = {});

// The whole file as bytes; empty when the file is missing, not a regular file, too large
// or cannot be read completely.
std::string readjsonFile(const std::filesystem::path& path);

// The parsed document (comments allowed and kept). Missing, empty, unreadable or unparsable
// files give a null value; nothing here throws.
Json::Value ReadJsonValue(const std::filesystem::path& path);

// Parses text the same way ReadJsonValue does (a leading UTF-8 byte-order mark is skipped);
// null when it is not valid JSON or nested deeper than `maxDepth`.
Json::Value ParseJsonText(std::string_view text, int maxDepth = kMaxJsonDepth);

// The document in styled form, ending in exactly one line end.
std::string StyledJsonText(const Json::Value& document);

// Writes the styled document to a temporary file in the target's folder and renames it
// over the target, so the target always holds either the old or the new document. The
// file keeps the mode of the regular file it replaces (new files, and files replacing a
// link or a special file: 0600). Temporary files that a killed writer left in the folder
// are removed. Returns 0 on success and -1 on failure (the old file is left as it was).
int WriteJsonFile(const Json::Value& document, const std::filesystem::path& path);

// Writes bytes to `path` the same way (temporary file, then rename). False on failure.
bool WriteFileAtomically(std::string_view bytes, const std::filesystem::path& path);

// Copies a regular file byte for byte (at most `maxBytes`) to `target` through a temporary
// file and a rename: the target is either left as it was or holds the whole copy. For
// profile export, macro import and export and shoot files. False, with a trace, on failure.
bool CopyFileSafely(const std::filesystem::path& source, const std::filesystem::path& target,
                    std::uintmax_t maxBytes = kMaxJsonFileBytes);

// Moves a file the program cannot use out of the way, to "<name>.bad" or, when that name
// is taken (by anything, a link included), "<name>.bad.2", ".bad.3" and so on: an earlier
// copy is never overwritten and nothing is written through a link. Where the file system
// cannot rename that way the file is copied to the free name (created exclusively, never
// through a link; a failed copy leaves nothing). The new path, or empty when the file
// could not be kept.
std::filesystem::path SetFileAside(const std::filesystem::path& path);

// Local time as "%d_%02d_%02d_%02d_%02d_%02d_%03d" (year ... millisecond): the
// identifier of a new profile or macro and the base of its file name. A process never gets
// the same name twice: within one millisecond the next call takes the next millisecond.
std::string MakeTimeStampName();

// True when an identifier read from a file may become part of a file name: not empty,
// no path separator, no "..", no NUL byte and not overly long.
bool IsPlainIdentifier(std::string_view identifier);

}  // namespace q208

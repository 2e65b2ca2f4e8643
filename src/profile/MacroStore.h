#pragma once

// The macros of one device: the index "macro.config" ({"MacroInfo": [{"MacroName", "Guid"}]},
// whose positions are the macro numbers key assignments play) and one event file
// "<Guid>.mac" per macro ({"MacroName", "Guid", "Events", "Version": 64}) in the device's
// profile folder. Every read and write of these files goes through here. UI thread (or a
// tool) only; nothing throws.

#include <json/value.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "profile/MacroEvent.h"
#include "profile/ProfileRecords.h"

namespace q208 {

enum class MacroResult {
    Done,
    AtLimit,      // 50 macros already
    NoMacro,      // no such index, or no usable identifier
    NameEmpty,    // a blank name
    NameTaken,    // another macro has this name (letter case aside)
    BadFile,      // an import that is missing, too large or not a JSON object
    WriteFailed,  // a file could not be written or copied
};

class MacroStore {
public:
    static constexpr int kMaxMacros = 50;
    static constexpr int kMaxEvents = 250;
    static constexpr int kMinSavedDelay = 10;
    static constexpr int kVersion = 64;
    static constexpr std::uintmax_t kMaxImportBytes = 4u << 20;
    static constexpr const char* kIndexFile = "macro.config";
    // The mouse pad and the headset keep their macro names here, in the same form.
    static constexpr const char* kPeripheralIndexFile = "qelin_macro.config";
    static constexpr const char* kExtension = ".mac";

    struct Entry {
        std::string name;
        std::string guid;
    };

    explicit MacroStore(std::filesystem::path folder, std::string indexFile = kIndexFile);

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path IndexPath() const { return folder_ / indexFile_; }

    // The index as it is on disk now (a missing or unusable file: no macros).
    std::vector<Entry> List() const;
    std::vector<std::string> Names() const;
    int Count() const { return static_cast<int>(List().size()); }
    // The macro's event file; empty when the index has no such macro or its identifier cannot
    // be a file name.
    std::filesystem::path EventFile(int index) const;

    // "macro_N" with the smallest N that no macro has; the entry is appended to the index.
    MacroResult Create(int* added = nullptr, std::string* name = nullptr);
    // Adds the file as a new macro named after the file (a clash becomes "2", "3", ...) and
    // copies it byte for byte as its event file.
    MacroResult Import(const std::filesystem::path& file, int* added = nullptr, std::string* name = nullptr);
    MacroResult Export(int index, const std::filesystem::path& target) const;
    // `name` is trimmed first.
    MacroResult Rename(int index, std::string_view name, std::string* newName = nullptr);
    // Removes the event file and the index entry; later macros move down one place.
    MacroResult Delete(int index);

    // The events of a macro in playing order (missing file: none).
    std::vector<Json::Value> LoadEvents(int index) const;
    std::vector<MacroEvent> LoadMacroEvents(int index) const;
    // Writes the event file with the index's name and identifier: at most 250 events, every
    // "Delay" as decimal text of at least 10. `trimmed` says whether events were dropped.
    MacroResult SaveEvents(int index, std::vector<Json::Value> events, bool* trimmed = nullptr);

    // The delay a save writes for the text of a delay cell: empty or below 10 gives 10,
    // above 65535 gives 65535.
    static int SavedDelay(std::string_view cell);
    static bool SameName(std::string_view a, std::string_view b);
    static std::string NewName(const std::vector<std::string>& names);
    // The name an import of `file` gets beside `names`.
    static std::string ImportName(const std::filesystem::path& file, const std::vector<std::string>& names);

    // Key assignments after macro `deleted` went away: one playing it goes back to the key's
    // factory assignment, one playing a later macro moves down one number. True when any
    // record changed.
    static bool RenumberAfterDelete(std::vector<KeyAssignmentRecord>& records, int deleted);
    static bool PlaysMacro(const KeyAssignmentHalf& half, int index);
    // Kind 0x70 (play modes 0 to 3) or 0x71 (a number of times); parameter 1 is the macro.
    static bool IsMacroAssignment(const KeyAssignmentHalf& half);

private:
    Json::Value ReadIndex() const;
    bool WriteIndex(const Json::Value& index) const;
    MacroResult Append(const std::string& name, std::string* guid, int* added);

    std::filesystem::path folder_;
    std::string indexFile_;
};

}  // namespace q208

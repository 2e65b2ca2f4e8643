#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include <json/value.h>

namespace q208 {

// What a profile operation came to. The failures carry the language key of the message the
// user is shown for them.
enum class ProfileResult {
    Done,
    LimitReached,  // 50 profiles already
    NameInUse,     // another profile has this name (letter case aside)
    BlankName,
    NoProfile,     // nothing selected, or the last profile cannot be deleted
    BadFile,       // an import file that is unreadable, too large or not a profile document
    Ignored,       // an import file that parses but lacks "profilename" or "profileUUID"
    WriteFailed,
};

// The language key shown for a refused operation; empty for Done and Ignored.
std::string_view ProfileResultMessageKey(ProfileResult result, bool import);

// A device's list of profiles, "ProfileList.ini" in its profile folder (a JSON document
// despite its name): "profilelist", the profiles in the order the user sees them, each with
// "profilename", "profileUUID", "profileislink" and "profilelinkmame", and
// "profileselect", the index of the selected one. Each profile is the document
// "<profileUUID>.Json" beside the list.
//
// Every operation re-reads the list before it changes it and writes it back at once (through
// a temporary file), so the file is always the latest state and a second reader (the
// command-line tool, the keyboard at start-up) sees what the panel shows. Names are UTF-8.
class ProfileList {
public:
    static constexpr const char* kFileName = "ProfileList.ini";
    static constexpr const char* kFirstProfileName = "profile1";
    static constexpr int kLimit = 50;
    // An import file larger than this is refused: no profile document comes near it.
    static constexpr std::uintmax_t kMaxImportBytes = 4u << 20;
    static constexpr int kHeadsetKind = 7;

    // `deviceKind` is the owner's kind code (1 keyboard, 2 mouse, 3 mouse pad, 7 headset);
    // it decides what a reset keeps.
    ProfileList(std::filesystem::path profileFolder, std::filesystem::path defaultDocument, int deviceKind = 1);

    // Reads the list. A missing or empty list is rebuilt with one profile "profile1" made
    // from the default document; a list file that cannot be parsed is kept aside as
    // "<name>.bad" first, so no list is lost. A list file that cannot be read at all is left
    // as it is and nothing is written (false). An identifier that could not be a file name is
    // replaced by a new one (traced). False when no list could be read or made.
    bool Load();
    // Reads the list without writing anything (no first profile, no repair): for a reader
    // while another program owns the list. False when the file holds no profiles.
    bool Peek();

    int Count() const;
    // "profileselect", kept within the list; -1 without profiles.
    int Selected() const;
    std::string NameAt(int index) const;
    std::string IdAt(int index) const;
    // The selected profile's identifier; empty without profiles.
    std::string SelectedId() const { return IdAt(Selected()); }
    // "<folder>/<id>.Json" of entry `index`; empty when out of range.
    std::filesystem::path DocumentPath(int index) const;
    std::filesystem::path ListPath() const { return folder_ / kFileName; }
    const std::filesystem::path& Folder() const { return folder_; }
    const Json::Value& Document() const { return list_; }
    // The index of the profile named `name` (letter case aside), -1 when none.
    int FindName(std::string_view name) const;

    // Each appends at the end and returns the new entry's index through `added`.
    // Create: "profile<N>" with the smallest free N, from the default document.
    ProfileResult Create(int* added = nullptr);
    // Copy of the selected profile named "<name> copy" (" copy" again while taken).
    ProfileResult Copy(int* added = nullptr);
    // Import of a profile document under `proposedName` ("(N)" appended while taken); the
    // name and identifier inside the file are replaced.
    ProfileResult Import(const std::filesystem::path& file, std::string proposedName, int* added = nullptr);

    ProfileResult Rename(std::string_view name);
    // Removes the selected profile and its document; the one before it becomes selected.
    ProfileResult Delete();
    // The selected profile's document becomes the default document again (a headset keeps
    // its custom equaliser names and bands).
    ProfileResult Reset();
    // Writes the selected profile's document to `target`; ".json" is added to a name
    // without extension.
    ProfileResult Export(std::filesystem::path target) const;
    ProfileResult Select(int index);

    // The name an import proposes for a file: its base name without the last extension; a
    // name that is only an extension (".json") stays whole.
    static std::string ImportName(std::string_view path);
    // True when `text` holds nothing but blanks.
    static bool IsBlank(std::string_view text);

private:
    // Re-reads the file; a file that has turned unreadable keeps the state last seen.
    void Refresh();
    bool KeepUnusableListAside();
    bool RepairIdentifiers();
    bool CreateFirstProfile();
    ProfileResult AppendEntry(const std::string& name, Json::Value document, int* added);
    std::string NewIdentifier() const;
    bool WriteList();
    Json::Value& Entries();
    const Json::Value& Entries() const;

    std::filesystem::path folder_;
    std::filesystem::path defaultDocument_;
    int kind_;
    Json::Value list_;
    bool listLocked_ = false;  // the file exists but could not be read: never written over
};

}  // namespace q208

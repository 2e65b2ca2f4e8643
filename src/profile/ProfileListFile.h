#pragma once

#include <filesystem>
#include <string>

#include <json/value.h>

namespace q208 {

// A device's list of profiles, "ProfileList.ini" in its profile folder (a JSON document
// despite its name): "profilelist", the profiles in the order the user sees them, each with
// "profilename", "profileUUID", "profileislink" and "profilelinkmame", and
// "profileselect", the index of the selected one.
class ProfileListFile {
public:
    static constexpr const char* kFileName = "ProfileList.ini";
    static constexpr const char* kFirstProfileName = "profile1";

    ProfileListFile(std::filesystem::path profileFolder, std::filesystem::path defaultDocument);

    // Reads the list. A missing, unreadable or empty list is rebuilt with one profile
    // "profile1", whose document is a copy of the default document; a list file that holds
    // profiles but cannot be parsed is kept as "<name>.bad" first, so no list is lost.
    // False when no list could be read or made.
    bool Load();

    // The identifier of the selected profile: "profileselect" when it names a profile with
    // a plain identifier, else the first such profile; empty when there is none.
    std::string SelectedId() const;
    const Json::Value& Document() const { return list_; }
    std::filesystem::path ListPath() const { return folder_ / kFileName; }

private:
    bool CreateFirstProfile();

    std::filesystem::path folder_;
    std::filesystem::path defaultDocument_;
    Json::Value list_;
};

}  // namespace q208

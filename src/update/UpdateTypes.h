#pragma once

#include <cstdint>
#include <string>

namespace q208 {

// One thing the update service is asked about: the program itself ("ALL") or the firmware
// of one attached device. A version of 0 means the device reported none; such an entry is
// never a target.
struct UpdateTarget {
    int32_t versionFormat = 0;  // non-zero: firmware, shown and sent in hexadecimal
    int32_t keyNumber = 0;
    int32_t version = 0;
    std::string keyName;
    std::string target;  // "ALL" for the program, else the device's target word
    std::string keyModel;
    std::string displayName;  // shown for a device (may be a "%{key}" language key)
    std::string versionText;  // the program's own version text ("0.1.0")

    bool IsSoftware() const { return target == kSoftwareTarget; }
    bool IsHex() const { return versionFormat != 0; }

    static constexpr const char* kSoftwareTarget = "ALL";
};

// Status codes of an update list item.
enum UpdateItemStatus : int32_t {
    kUpdateLess = 0,
    kUpdateNeeded = 1,
    kUpdateNeededToo = 2,
    kUpdateDownloadWait = 3,
    kUpdateDownloading = 4,
    kUpdateDownloaded = 5,
    kUpdateInstalling = 6,
    kUpdateCurrent = 7,
    kUpdateFailed = 8,
};

// The service's answer for one target.
struct UpdateInfo {
    int32_t status = kUpdateCurrent;
    int32_t deviceId = 0;
    std::string name;  // "name"; the raw answer text when nothing came back
    std::string currentVersion;
    std::string versionName;
    std::string newVersion;
    std::string path;       // where the new package is published
    std::string localFile;  // where a downloaded package would be kept
};

// "keyName_versionFormat_target_keyModel_keyNumber"; "NULL" for a target without version.
std::string ServiceKey(const UpdateTarget& target);
// The installed version as the list shows it: "V%04x" for firmware, else "V" + the version
// text, or "V%d" when there is none.
std::string CurrentVersionText(const UpdateTarget& target);
// The name shown for a target: "AP" for the program, else its display name.
std::string ItemName(const UpdateTarget& target);

}  // namespace q208

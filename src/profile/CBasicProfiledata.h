#pragma once

// The profile object of a device: the device's settings as one JSON section of a profile
// document, and the conversion between that JSON and the records the device code sends.
//
// A profile document is {"Device": [section 0, section 1, ...]}; a device object works on
// "Device"[section index]. Getters read the current section with creating access (a missing
// key is added as null and reads 0) and keep a copy of what they returned; setters change
// the section in memory only, Save writes it. Used from the UI thread only.

#include <json/value.h>

#include <filesystem>
#include <vector>

#include "profile/CachedDocument.h"
#include "profile/ProfileRecords.h"

namespace q208 {

class CBasicProfiledata {
public:
    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = delete;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = delete;

    // An empty path leaves the stored one.
    void SetPath(const std::filesystem::path& path);
    void SetDefaultPath(const std::filesystem::path& path);
    const std::filesystem::path& GetPath() const { return path_; }
    const std::filesystem::path& GetDefaultPath() const { return defaultPath_; }
    void SetLightConfigPath(const std::filesystem::path& path) { lightConfigPath_ = path; }
    const std::filesystem::path& GetLightConfigPath() const { return lightConfigPath_; }
    void SetSectionIndex(int index) { sectionIndex_ = index; }
    int GetSectionIndex() const { return sectionIndex_; }

    // Makes "Device"[index] of the document at path the current section. A document without
    // that section gets it from the default file and is written back, so a new profile file
    // starts as a copy of the factory section. A file that is not a profile document is kept
    // beside as "<name>.bad" before it is replaced; a file that cannot be read (or kept
    // aside) is never replaced: the factory section is used in memory and saves to that
    // file fail. The default file itself is never written or moved (a reset loads it as
    // the section). Returns the section.
    const Json::Value& LoadSection(const std::filesystem::path& path);
    // The same into the reference section (the profile shown by the reset dialog).
    const Json::Value& LoadReferenceSection(const std::filesystem::path& path);
    // Reads the light configuration document (custom light file names) and keeps it.
    const Json::Value& LoadLightConfig(const std::filesystem::path& path);

    const Json::Value& Section() const { return section_; }
    const Json::Value& ReferenceSection() const { return referenceSection_; }

    // Writes the current section to the profile path. All saves return true when the file
    // was written, and false when nothing was: no path, the factory file, a file that could
    // not be read, or a section index outside 0 ... 4095.
    virtual bool Save();
    // Puts section at "Device"[index] of the document at path, keeping its other sections.
    virtual bool SaveSection(const Json::Value& section, const std::filesystem::path& path);
    virtual bool SaveReferenceSection(const std::filesystem::path& path);
    virtual bool WriteDocument(const Json::Value& document, const std::filesystem::path& path);

    LightInfoRecord GetLightInfo();
    void SetLightInfo(const LightInfoRecord& info);  // replaces "LightInfo" with a new object
    // One entry per "LightList" element; a null element has present 0 and zero values.
    std::vector<LightListEntry> GetLightList();
    // The steps of the custom light file selected by "SelectItem" when it is at or above
    // builtInModeCount; empty otherwise (no file is opened then).
    std::vector<LightEffectStep> GetCustomLightEffects(int builtInModeCount);
    std::vector<KeyAssignmentRecord> GetKeyList();
    std::vector<KeyAssignmentRecord> GetReferenceKeyList();
    // Writes "Assignment" of element i from records[i]; "DefaultAssignment" stays. A
    // "KeyList" of the wrong type is replaced. False when the list is too long to store.
    bool SetKeyList(const std::vector<KeyAssignmentRecord>& records);
    AudioLightRecord GetAudioLightInfo();
    void SetAudioLightInfo(const AudioLightRecord& info);  // replaces "AudioLightInfo"

protected:
    Json::Value& CurrentSection() { return section_; }

private:
    bool IsDefaultPath(const std::filesystem::path& path) const;
    const Json::Value& LoadInto(Json::Value& target, const std::filesystem::path& path);
    Json::Value DefaultSection() const;
    std::vector<KeyAssignmentRecord> ReadKeyList(Json::Value& section) const;
    std::filesystem::path CustomLightFile(int slot) const;

    std::filesystem::path path_;
    std::filesystem::path defaultPath_;
    std::filesystem::path lightConfigPath_;
    Json::Value section_;
    Json::Value referenceSection_;
    Json::Value lightConfig_;
    CachedDocument document_;  // the document at the last path loaded from or saved to
    int sectionIndex_ = 0;

    LightInfoRecord lightInfo_;
    AudioLightRecord audioLight_;
    std::vector<LightListEntry> lightList_;
    std::vector<KeyAssignmentRecord> keyList_;
    std::vector<KeyAssignmentRecord> referenceKeyList_;
    std::vector<LightEffectStep> customSteps_;
};

}  // namespace q208

#include "profile/ProfileListFile.h"

#include <system_error>

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/ProfilePaths.h"

namespace q208 {

namespace {

constexpr const char* kList = "profilelist";
constexpr const char* kSelect = "profileselect";
constexpr const char* kName = "profilename";
constexpr const char* kId = "profileUUID";
constexpr const char* kIsLink = "profileislink";
constexpr const char* kLinkName = "profilelinkmame";

bool HasProfiles(const Json::Value& list) {
    return list.isObject() && list.isMember(kList) && list[kList].isArray() && !list[kList].empty();
}

std::string IdOf(const Json::Value& entry) {
    if (!entry.isObject() || !entry.isMember(kId) || !entry[kId].isString()) return {};
    std::string id = entry[kId].asString();
    return IsPlainIdentifier(id) ? id : std::string();
}

}  // namespace

ProfileListFile::ProfileListFile(std::filesystem::path profileFolder, std::filesystem::path defaultDocument)
    : folder_(std::move(profileFolder)), defaultDocument_(std::move(defaultDocument)) {}

bool ProfileListFile::Load() {
    list_ = ReadJsonValue(ListPath());
    if (HasProfiles(list_)) return true;
    std::error_code error;
    if (std::filesystem::file_size(ListPath(), error) > 0 && !error) {
        // Something is there that we cannot read as a list: keep it for the user.
        const std::filesystem::path kept = SetFileAside(ListPath());
        if (kept.empty()) {
            Trace("profile list: %s is not a profile list and cannot be moved aside\n", ListPath().string().c_str());
            return false;
        }
        Trace("profile list: %s is not a profile list; kept as %s\n", ListPath().string().c_str(), kept.string().c_str());
    }
    return CreateFirstProfile();
}

bool ProfileListFile::CreateFirstProfile() {
    const std::string id = MakeTimeStampName();
    Json::Value entry(Json::objectValue);
    entry[kName] = kFirstProfileName;
    entry[kId] = id;
    entry[kIsLink] = 0;
    entry[kLinkName] = "";
    Json::Value list(Json::objectValue);
    list[kList] = Json::Value(Json::arrayValue);
    list[kList].append(entry);
    list[kSelect] = 0;
    if (WriteJsonFile(list, ListPath()) != 0) {
        Trace("profile list: %s could not be written\n", ListPath().string().c_str());
        return false;
    }
    list_ = list;
    Json::Value document = ReadJsonValue(defaultDocument_);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    document[kName] = kFirstProfileName;
    document[kId] = id;
    if (WriteJsonFile(document, folder_ / (id + kProfileExtension)) != 0)
        Trace("profile list: the first profile's document could not be written\n");
    return true;
}

std::string ProfileListFile::SelectedId() const {
    if (!HasProfiles(list_)) return {};
    const Json::Value& profiles = list_[kList];
    const int selected = list_.isMember(kSelect) ? json::ToInt(list_[kSelect]) : 0;
    if (selected >= 0 && selected < static_cast<int>(profiles.size())) {
        if (std::string id = IdOf(profiles[static_cast<Json::ArrayIndex>(selected)]); !id.empty()) return id;
    }
    for (const Json::Value& entry : profiles) {
        if (std::string id = IdOf(entry); !id.empty()) return id;
    }
    return {};
}

}  // namespace q208

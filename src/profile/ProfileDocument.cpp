#include "profile/ProfileDocument.h"

#include <system_error>

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"

namespace q208 {
namespace fs = std::filesystem;

namespace {

constexpr const char* kDeviceKey = "Device";

bool CanHoldSections(const Json::Value& document) {
    if (document.isNull()) return true;
    if (!document.isObject()) return false;
    const Json::Value& devices = json::Find(document, kDeviceKey);
    return devices.isNull() || devices.isArray();
}

bool HasContent(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec) && !(fs::is_regular_file(path, ec) && fs::file_size(path, ec) == 0);
}

void SetAside(const fs::path& path) {
    const fs::path aside = SetFileAside(path);
    Trace("%s is not a profile document; %s\n", path.c_str(),
          aside.empty() ? "it could not be kept aside" : ("kept as " + aside.filename().string()).c_str());
}

}  // namespace

Json::Value ReadProfileDocument(const fs::path& path) {
    Json::Value document = ReadJsonValue(path);
    if (document.isNull() ? !HasContent(path) : CanHoldSections(document)) return document;
    SetAside(path);
    return Json::Value();
}

Json::Value TakeSection(Json::Value& document, int index) {
    Json::Value section;
    if (json::At(json::Find(document, kDeviceKey), index).isNull()) return section;
    section.swap(document[kDeviceKey][static_cast<Json::ArrayIndex>(index)]);
    if (!section.isObject()) {
        Trace("profile section %d is not an object; ignored", index);
        return Json::Value();
    }
    return section;
}

Json::Value CopySection(const Json::Value& document, int index) {
    const Json::Value& section = json::At(json::Find(document, kDeviceKey), index);
    if (section.isObject()) return section;
    if (!section.isNull()) Trace("profile section %d is not an object; ignored", index);
    return Json::Value();
}

void PutSection(Json::Value& document, int index, Json::Value section) {
    json::Element(json::Member(document, kDeviceKey), index) = std::move(section);
}

}  // namespace q208

#include "profile/ProfileDocument.h"

#include <system_error>

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/FileNotices.h"
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

}  // namespace

ProfileDocumentRead ReadProfileDocument(const fs::path& path, bool mayMoveAside) {
    ProfileDocumentRead read;
    JsonReadResult file = ReadJsonFile(path);
    switch (file.status) {
    case JsonReadStatus::Missing: return read;
    case JsonReadStatus::Unreadable:
        read.locked = true;
        FileNotices::Note({path, FileNoticeKind::Unreadable, file.reason});
        return read;
    case JsonReadStatus::Ok:
        if (CanHoldSections(file.value)) {
            read.document = std::move(file.value);
            return read;
        }
        break;
    case JsonReadStatus::Invalid: break;
    }
    const fs::path aside = mayMoveAside ? SetFileAside(path) : fs::path();
    Trace("%s is not a profile document; %s\n", path.c_str(),
          aside.empty() ? "it is left as it is" : ("kept as " + aside.filename().string()).c_str());
    if (aside.empty()) {
        read.locked = true;
        FileNotices::Note({path, FileNoticeKind::Unreadable, "not a profile document"});
    } else {
        FileNotices::Note({path, FileNoticeKind::KeptAside, aside.string()});
    }
    return read;
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

bool PutSection(Json::Value& document, int index, Json::Value section) {
    if (index < 0 || index > json::kMaxElementIndex || !(document.isNull() || document.isObject())) {
        Trace("profile section %d cannot be stored in this document", index);
        return false;
    }
    Json::Value& devices = document[kDeviceKey];
    if (!devices.isNull() && !devices.isArray()) {
        Trace("profile: \"Device\" is not an array; replaced");
        devices = Json::Value(Json::arrayValue);
    }
    devices[static_cast<Json::ArrayIndex>(index)] = std::move(section);
    return true;
}

}  // namespace q208

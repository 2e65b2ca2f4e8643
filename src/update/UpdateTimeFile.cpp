#include "update/UpdateTimeFile.h"

#include <cstdio>
#include <ctime>

#include "platform/Paths.h"
#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"

namespace q208 {

namespace {
constexpr const char* kObject = "updatelasttime";
constexpr const char* kValue = "value";
}  // namespace

std::string UpdateTimeFile::Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%d-%d-%d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

bool UpdateTimeFile::StoreToday() const { return Store(Today()); }

bool UpdateTimeFile::Store(const std::string& date) const {
    Json::Value document(Json::objectValue);
    json::Member(json::Member(document, kObject), kValue) = date;
    if (!EnsureFolder(file_.parent_path()) || WriteJsonFile(document, file_) != 0) {
        Trace("update: %s could not be written\n", file_.c_str());
        return false;
    }
    return true;
}

std::string UpdateTimeFile::Load() const {
    const Json::Value document = ReadJsonValue(file_);
    const Json::Value& value = json::Find(json::Find(document, kObject), kValue);
    return value.isString() ? value.asString() : std::string();
}

}  // namespace q208

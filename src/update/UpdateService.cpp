#include "update/UpdateService.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "platform/Trace.h"

#ifndef Q208_UPDATE_SERVICE
#define Q208_UPDATE_SERVICE ""
#endif

namespace q208 {

namespace {

std::string StringSetting(const Json::Value& document, const char* key) {
    const Json::Value& value = json::Find(document, key);
    return value.isString() ? value.asString() : std::string();
}

// The service writes versions as plain digits; a "0x" in front of a hexadecimal one is
// accepted, and anything after the digits is ignored.
uint64_t ParseVersion(std::string_view text, int base) {
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    (void)end;
    return error == std::errc() ? value : 0;
}

}  // namespace

std::string UpdateServiceSettings::BuiltInService() { return Q208_UPDATE_SERVICE; }

UpdateServiceSettings UpdateServiceSettings::Read(const std::filesystem::path& settingsFile) {
    const Json::Value document = ReadJsonValue(settingsFile);
    UpdateServiceSettings settings;
    settings.baseUrl = StringSetting(document, kServiceKey);
    if (settings.baseUrl.empty()) settings.baseUrl = BuiltInService();
    settings.caFile = StringSetting(document, kCaFileKey);
    if (!settings.baseUrl.empty() && !HttpClient::IsWebUrl(settings.baseUrl)) {
        Trace("update: %s \"%s\" is not an http or https URL; no update service is used\n", kServiceKey,
              settings.baseUrl.c_str());
        settings.baseUrl.clear();
    }
    return settings;
}

std::string UpdateServiceSettings::EndpointUrl() const {
    if (baseUrl.empty()) return {};
    return baseUrl + (baseUrl.back() == '/' ? "" : "/") + kEndpoint;
}

std::string UpdateQuery::Body(const std::string& key, int32_t version, int32_t versionFormat) {
    char number[16];
    if (versionFormat != 0) {
        std::snprintf(number, sizeof number, "%x", static_cast<unsigned>(version));
    } else {
        std::snprintf(number, sizeof number, "%d", version);
    }
    return "app_key=" + key + "&version=" + number;
}

UpdateInfo UpdateQuery::ReadAnswer(const HttpAnswer& answer, int32_t version, int32_t versionFormat) {
    UpdateInfo info;
    if (answer.text.empty() || answer.text == HttpAnswer::kNoLinkServer) {
        info.name = answer.text;
        return info;
    }
    const Json::Value document = answer.truncated ? Json::Value() : ParseJsonText(answer.text);
    if (!document.isObject()) {
        Trace("update: the service's answer is not a JSON object; the target counts as current\n");
        return info;
    }
    const bool hex = versionFormat != 0;
    info.path = json::ToString(json::Find(document, "path"));
    info.name = json::ToString(json::Find(document, "name"));
    info.versionName = json::ToString(json::Find(document, "version_name"));
    const std::string serverText = json::ToString(json::Find(document, "version"));
    info.deviceId = json::ToInt(json::Find(document, "device_id"));
    UpdateTarget installed;
    installed.versionFormat = versionFormat;
    installed.version = version;
    info.currentVersion = CurrentVersionText(installed);
    info.newVersion = hex ? "V" + serverText : info.versionName;
    const uint64_t server = ParseVersion(serverText, hex ? 16 : 10);
    info.status = static_cast<uint64_t>(static_cast<uint32_t>(version)) < server ? kUpdateNeeded : kUpdateCurrent;
    return info;
}

UpdateInfo UpdateQuery::Query(const std::string& key, int32_t version, int32_t versionFormat) const {
    const std::string text = Body(key, version, versionFormat);
    // The terminating zero byte goes with the body.
    const std::vector<char> body(text.c_str(), text.c_str() + text.size() + 1);
    HttpOptions options;
    options.caFile = settings_.caFile;
    options.stop = stop_;
    HttpAnswer answer;
    HttpClient::Request("POST", settings_.EndpointUrl(), body, answer, false, options);
    return ReadAnswer(answer, version, versionFormat);
}

}  // namespace q208

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "update/HttpClient.h"
#include "update/UpdateTypes.h"

namespace q208 {

class Event;

// Where the update service is and whom to trust for it: settings.json's "UpdateService"
// (the base URL, its path ending in "/api/") over the one built into the program, and
// "UpdateCaFile" (a PEM file of authorities used instead of the system's store).
struct UpdateServiceSettings {
    static constexpr const char* kServiceKey = "UpdateService";
    static constexpr const char* kCaFileKey = "UpdateCaFile";
    static constexpr const char* kEndpoint = "updates";

    std::string baseUrl;
    std::string caFile;

    // A value that is not an http or https URL counts as none (traced).
    static UpdateServiceSettings Read(const std::filesystem::path& settingsFile);
    static std::string BuiltInService();
    bool Configured() const { return !baseUrl.empty(); }
    // The base URL (a slash added when it lacks one) + "updates".
    std::string EndpointUrl() const;
};

// Asks the service about one target: a form-encoded POST answered by a small JSON object
// with "path", "name", "version_name", "version" and "device_id".
class UpdateQuery {
public:
    UpdateQuery(UpdateServiceSettings settings, const Event* stop) : settings_(std::move(settings)), stop_(stop) {}

    UpdateInfo Query(const std::string& key, int32_t version, int32_t versionFormat) const;

    // "app_key=KEY&version=V", the version in hexadecimal for firmware. The service has
    // always received it with its terminating zero byte, and counts it.
    static std::string Body(const std::string& key, int32_t version, int32_t versionFormat);
    // The answer read: nothing but `name` when no byte came back; empty strings and status
    // 7 when it is not a complete JSON object.
    static UpdateInfo ReadAnswer(const HttpAnswer& answer, int32_t version, int32_t versionFormat);

private:
    UpdateServiceSettings settings_;
    const Event* stop_;
};

}  // namespace q208

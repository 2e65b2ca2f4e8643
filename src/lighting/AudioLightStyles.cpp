#include "lighting/AudioLightStyles.h"

#include <json/value.h>

#include <algorithm>

#include "platform/Paths.h"
#include "platform/Trace.h"
#include "profile/JsonFile.h"

namespace q208 {

namespace {

constexpr const char* kDevice = "Device";
constexpr const char* kInfo = "AudioLightInfo";
constexpr const char* kStyleKey = "nAudioStyle";

std::string NameKey(int style) { return "nStyleName" + std::to_string(style + 1); }
std::string ChannelKey(char channel, int style) { return std::string("nStyle") + channel + std::to_string(style); }

uint8_t Channel(const Json::Value& info, char channel, int style) {
    const Json::Value& value = info[ChannelKey(channel, style)];
    if (!value.isNumeric()) return 0;
    return static_cast<uint8_t>(std::clamp(value.asInt64(), Json::Int64{0}, Json::Int64{255}));
}

}  // namespace

AudioLightInfo AudioLightInfo::FromJson(const Json::Value& info) {
    AudioLightInfo result;
    if (!info.isObject()) return result;
    const Json::Value& style = info[kStyleKey];
    if (style.isNumeric()) {
        const Json::Int64 value = style.asInt64();
        result.style = value >= 0 && value < kStyles ? static_cast<int>(value) : 0;
    }
    for (int i = 0; i < kStyles; ++i) {
        const Json::Value& name = info[NameKey(i)];
        if (name.isString()) result.names[i] = name.asString();
        result.colours[i] = {Channel(info, 'R', i), Channel(info, 'G', i), Channel(info, 'B', i)};
    }
    return result;
}

void AudioLightInfo::ToJson(Json::Value& info) const {
    info[kStyleKey] = style;
    for (int i = 0; i < kStyles; ++i) {
        info[NameKey(i)] = names[i];
        info[ChannelKey('R', i)] = colours[i].red;
        info[ChannelKey('G', i)] = colours[i].green;
        info[ChannelKey('B', i)] = colours[i].blue;
    }
}

AudioLightStyles::AudioLightStyles(std::filesystem::path userFolder, std::filesystem::path defaultFolder)
    : userFolder_(std::move(userFolder)), defaultFolder_(std::move(defaultFolder)) {}

AudioLightInfo AudioLightStyles::Load() const {
    Json::Value document = ReadJsonValue(UserFile());
    if (document.isNull()) document = ReadJsonValue(defaultFolder_ / kFileName);
    if (!document.isObject() || !document[kDevice].isObject()) return {};
    return AudioLightInfo::FromJson(document[kDevice][kInfo]);
}

bool AudioLightStyles::Save(const AudioLightInfo& info) const {
    Json::Value document = ReadJsonValue(UserFile());
    if (document.isNull()) document = ReadJsonValue(defaultFolder_ / kFileName);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    if (!document[kDevice].isObject()) document[kDevice] = Json::Value(Json::objectValue);
    info.ToJson(document[kDevice][kInfo]);
    if (!EnsureFolder(userFolder_) || WriteJsonFile(document, UserFile()) != 0) {
        Trace("audio lighting: %s could not be written\n", UserFile().c_str());
        return false;
    }
    return true;
}

}  // namespace q208

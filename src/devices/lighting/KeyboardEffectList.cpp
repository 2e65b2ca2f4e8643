#include "devices/lighting/KeyboardEffectList.h"

#include "platform/Paths.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"

namespace q208 {
namespace {

constexpr int kHostStreamedEffectCodes[] = {29, 30};

}  // namespace

std::filesystem::path KeyboardEffectList::DefaultFile() { return FindDataRoot().defaultData / kFileName; }

bool KeyboardEffectList::Load(const std::filesystem::path& file, int listIndex) {
    entries_.clear();
    areaNames_.clear();
    const Json::Value document = ReadJsonValue(file);
    const Json::Value& list = json::At(json::Find(document, "DefaultLightName"), listIndex);
    if (list.isArray()) {
        for (const Json::Value& item : list) {
            const Json::Value& visible = json::Find(item, "visible");
            entries_.push_back(Entry{json::ToString(json::Find(item, "LightName")),
                                     visible.isNull() ? true : json::ToBool(visible),
                                     json::ToInt(json::Find(item, "value"))});
        }
    }
    const Json::Value& areas = json::At(json::Find(document, "AreaLightName"), listIndex);
    if (areas.isArray()) {
        for (const Json::Value& item : areas) areaNames_.push_back(json::ToString(json::Find(item, "LightName")));
    }
    return !entries_.empty();
}

int KeyboardEffectList::DeviceCode(int number) const {
    if (number >= 0 && static_cast<size_t>(number) < entries_.size()) return entries_[number].code;
    return number;
}

uint8_t KeyboardEffectList::RecordCode(int number) const {
    const int code = DeviceCode(number);
    for (int streamed : kHostStreamedEffectCodes) {
        if (code == streamed) return kHostStreamedCode;
    }
    return static_cast<uint8_t>(code);
}

int KeyboardEffectList::NumberOf(uint8_t code, int current) const {
    if (code == kHostStreamedCode) return current;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].code == code) return static_cast<int>(i);
    }
    return code;
}

}  // namespace q208

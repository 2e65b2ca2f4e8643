#include "profile/CKeyboardProfiledata.h"

#include <algorithm>

#include "profile/JsonAccess.h"
#include "profile/RecordFields.h"

namespace q208 {
using fields::Field;

namespace {

using SystemField = Field<KeyboardSystemRecord, std::uint16_t>;
constexpr SystemField kSystemFields[] = {
    {"SystemStages", "Repeat", &KeyboardSystemRecord::repeat},
    {"SystemStages", "RepeatDelay", &KeyboardSystemRecord::repeatDelay},
    {"SystemStages", "Key6Flag", &KeyboardSystemRecord::key6Flag},
    {"SystemStages", "PollingRate", &KeyboardSystemRecord::pollingRate},
    {"SystemStages", "WFlag", &KeyboardSystemRecord::wFlag},
    {"SystemStages", "WinFlag", &KeyboardSystemRecord::winFlag},
};

using ColourField = Field<CustomLightColor, std::uint8_t>;
constexpr ColourField kColourFields[] = {
    {nullptr, "Red", &CustomLightColor::red},
    {nullptr, "Green", &CustomLightColor::green},
    {nullptr, "Blue", &CustomLightColor::blue},
    {nullptr, "Alpha", &CustomLightColor::alpha},
};

Json::Value ZeroColour() {
    Json::Value colour(Json::objectValue);
    for (const auto& f : kColourFields) colour[f.key] = 0;
    return colour;
}

}  // namespace

KeyboardSystemRecord CKeyboardProfiledata::GetSystemStages() {
    systemStages_ = fields::Read(CurrentSection(), kSystemFields);
    return systemStages_;
}

void CKeyboardProfiledata::SetSystemStages(const KeyboardSystemRecord& stages) {
    fields::Write(CurrentSection(), kSystemFields, stages);
}

int CKeyboardProfiledata::GetCustomLightModeGroupIndex() {
    if (CurrentSection().isNull()) return 0;
    const int group = json::ToInt(json::Member(json::Member(CurrentSection(), "CustomLightMode"), "CustomLightModeGroupIndex"));
    return std::clamp(group, 0, json::kMaxElementIndex);
}

void CKeyboardProfiledata::SetCustomLightModeGroupIndex(int group) {
    json::WritableMember(json::WritableMember(CurrentSection(), "CustomLightMode"), "CustomLightModeGroupIndex") = group;
}

std::vector<CustomLightColor> CKeyboardProfiledata::GetCustomLightColors(int group, int keyCount) {
    customColours_.assign(static_cast<std::size_t>(std::max(keyCount, 0)), CustomLightColor{});
    Json::Value& groups = json::Member(json::Member(CurrentSection(), "CustomLightMode"), "LightColorInfo");
    Json::Value& keys = json::Element(groups, group);
    for (int j = 0; j < keyCount; ++j) {
        Json::Value& key = json::Element(keys, j);
        if (key.isNull()) {
            key = ZeroColour();
        } else {
            customColours_[static_cast<std::size_t>(j)] = fields::Read(key, kColourFields);
        }
    }
    return customColours_;
}

bool CKeyboardProfiledata::SetCustomLightColors(int group, const std::vector<CustomLightColor>& colours) {
    if (!json::IsElementIndex(group) || (!colours.empty() && !json::IsElementIndex(static_cast<long long>(colours.size()) - 1))) {
        return false;
    }
    Json::Value& groups = json::WritableMember(json::WritableMember(CurrentSection(), "CustomLightMode"), "LightColorInfo");
    Json::Value& keys = json::WritableElement(groups, group);
    for (std::size_t j = 0; j < colours.size(); ++j) {
        fields::Write(json::WritableElement(keys, static_cast<int>(j)), kColourFields, colours[j]);
    }
    return true;
}

}  // namespace q208

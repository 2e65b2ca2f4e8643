#include "devices/base/KeyAssignmentText.h"

#include <cstdint>
#include <string_view>

#include "ui/CResourceManager.h"

namespace q208 {

namespace {

struct KindName {
    uint8_t kind;
    std::string_view nameKey;
    bool numbered;  // the first parameter is a macro number, shown from 1
};

constexpr KindName kKinds[] = {
    {0x00, "keyset_category_disabled", false}, {0x10, "keyset_category_mouse", false},
    {0x11, "keyset_category_move", false},     {0x12, "keyset_category_wheel", false},
    {0x13, "keyset_category_dpi", false},      {0x14, "keyset_category_fire", false},
    {0x20, "keyset_category_key", false},      {0x30, "keyset_category_media", false},
    {0x40, "keyset_category_system", false},   {0x70, "keyset_category_macro", true},
    {0x71, "keyset_category_macro", true},     {0x72, "keyset_category_gun", false},
    {0xB0, "keyset_category_combo", false},
};

bool Same(const KeyAssignmentHalf& a, const KeyAssignmentHalf& b) {
    return a.type == b.type && a.param1 == b.param1 && a.param2 == b.param2;
}

}  // namespace

std::string KeyAssignmentText(const KeyAssignmentHalf& now, const KeyAssignmentHalf& factory) {
    if (Same(now, factory)) return {};
    for (const KindName& entry : kKinds) {
        if (entry.kind != now.type) continue;
        std::string text = CResourceManager::GetInstance().GetText(entry.nameKey);
        if (text.empty()) text = std::string(entry.nameKey);
        if (entry.numbered) text += " " + std::to_string(now.param1 + 1);
        return text;
    }
    return {};  // the keyboard's own functions have no name of their own
}

}  // namespace q208

#include "devices/mouse/MouseButtonMap.h"

#include <algorithm>

namespace q208 {

const std::array<MouseButtonMap::Code, MouseButtonMap::kFunctionCount>& MouseButtonMap::DefaultCodes() {
    static const std::array<Code, kFunctionCount> codes = {{
        {0x10, 0x01, 0x00},  // left
        {0x10, 0x02, 0x00},  // right
        {0x10, 0x04, 0x00},  // middle
        {0x10, 0x10, 0x00},  // forward
        {0x10, 0x08, 0x00},  // back
        {0x13, 0x01, 0x00},  // DPI function 1
        {0x13, 0x02, 0x00},  // DPI function 2
        {0x13, 0x03, 0x00},  // DPI function 3
        {0xA0, 0x1B, 0x00},  // device function 0x1B
        {0x16, 0x90, 0x01},  // device function of kind 0x16
        {0x14, 0x78, 0x02},  // fire: 120 ms, 2 clicks
    }};
    return codes;
}

std::array<uint8_t, MouseButtonMap::kFunctionCount> MouseButtonMap::Unmapped() {
    std::array<uint8_t, kFunctionCount> map{};
    map.fill(kNoButton);
    return map;
}

void MouseButtonMap::Rebuild(std::span<const uint8_t> keyMap, int keyCount) {
    map_ = Unmapped();
    const size_t keys = std::min(static_cast<size_t>(std::max(keyCount, 0)), keyMap.size() / kCodeSize);
    for (size_t j = 0; j < kFunctionCount; ++j) {
        for (size_t key = 0; key < keys && key < kNoButton; ++key) {
            if (std::equal(DefaultCodes()[j].begin(), DefaultCodes()[j].end(), keyMap.begin() + key * kCodeSize)) {
                map_[j] = static_cast<uint8_t>(key);
                break;
            }
        }
    }
}

void MouseButtonMap::MapAssigned(std::span<const uint8_t> keyMap, int keyCount,
                                 std::span<const KeyAssignmentRecord> records) {
    const size_t keys = std::min(static_cast<size_t>(std::max(keyCount, 0)), keyMap.size() / kCodeSize);
    for (size_t j = 0; j < kFunctionCount && j < records.size(); ++j) {
        if (map_[j] != kNoButton) continue;
        const KeyAssignmentHalf& now = records[j].current;
        const Code code{now.type, now.param1, now.param2};
        size_t found = kNoButton;
        int matches = 0;
        for (size_t key = 0; key < keys && key < kNoButton; ++key) {
            const bool taken = std::find(map_.begin(), map_.end(), static_cast<uint8_t>(key)) != map_.end();
            if (!taken && std::equal(code.begin(), code.end(), keyMap.begin() + key * kCodeSize)) {
                found = key;
                ++matches;
            }
        }
        if (matches == 1) map_[j] = static_cast<uint8_t>(found);
    }
}

std::vector<int> MouseButtonMap::MacrosInUse(std::span<const KeyAssignmentRecord> records, int macroCount) const {
    std::vector<int> numbers;
    for (size_t j = 0; j < kFunctionCount && j < records.size(); ++j) {
        const KeyAssignmentHalf& half = records[j].current;
        if (!HasButton(j) || !IsMacro(half) || half.param1 >= macroCount) continue;
        if (std::find(numbers.begin(), numbers.end(), half.param1) == numbers.end()) numbers.push_back(half.param1);
    }
    return numbers;
}

std::vector<int> MouseButtonMap::Apply(std::span<const KeyAssignmentRecord> records, int macroCount,
                                       std::span<uint8_t> keyMap) const {
    const std::vector<int> order = MacrosInUse(records, macroCount);
    for (size_t j = 0; j < kFunctionCount && j < records.size(); ++j) {
        const size_t at = size_t{ButtonOf(j)} * kCodeSize;
        if (!HasButton(j) || at + kCodeSize > keyMap.size()) continue;
        KeyAssignmentHalf half = records[j].current;
        if (IsMacro(half)) {
            if (half.param1 < macroCount) {
                // The macro block holds the used macros in order of first use; the key map
                // points at their place in it.
                half.param1 = static_cast<uint8_t>(std::find(order.begin(), order.end(), half.param1) - order.begin());
            } else {
                half = records[j].defaults;
            }
        }
        keyMap[at] = half.type;
        keyMap[at + 1] = half.param1;
        keyMap[at + 2] = half.param2;
    }
    return order;
}

bool MouseButtonMap::DropStaleMacros(std::vector<KeyAssignmentRecord>& records, int macroCount) {
    bool replaced = false;
    for (KeyAssignmentRecord& record : records) {
        if (IsMacro(record.current) && record.current.param1 >= macroCount) {
            record.current = record.defaults;
            replaced = true;
        }
    }
    return replaced;
}

}  // namespace q208

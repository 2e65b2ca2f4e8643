#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "profile/ProfileRecords.h"

namespace q208 {

// The mouse's eleven button functions and where each sits in the mouse's key map. A mouse
// model has fewer buttons than functions; the function-to-button map tells which key index
// carries a function, found by the function's default code.
class MouseButtonMap {
public:
    static constexpr size_t kFunctionCount = 11;
    static constexpr uint8_t kNoButton = 0xAA;
    static constexpr size_t kCodeSize = 3;
    static constexpr uint8_t kMacroType = 0x70;        // 'p'
    static constexpr uint8_t kMacroRepeatType = 0x71;  // 'q'

    using Code = std::array<uint8_t, kCodeSize>;
    // The default code of each function: five buttons, three DPI functions, two device
    // functions and fire (interval 120, 2 clicks).
    static const std::array<Code, kFunctionCount>& DefaultCodes();

    static bool IsMacro(const KeyAssignmentHalf& half) {
        return half.type == kMacroType || half.type == kMacroRepeatType;
    }

    // Entry j: the first key index whose code is function j's default code, kNoButton when none.
    void Rebuild(std::span<const uint8_t> keyMap, int keyCount);
    // A function whose button was reassigned no longer has its default code in the key map:
    // its current assignment finds the button, when exactly one button without a function
    // holds that code.
    void MapAssigned(std::span<const uint8_t> keyMap, int keyCount, std::span<const KeyAssignmentRecord> records);
    uint8_t ButtonOf(size_t function) const { return function < kFunctionCount ? map_[function] : kNoButton; }
    bool HasButton(size_t function) const { return ButtonOf(function) != kNoButton; }
    const std::array<uint8_t, kFunctionCount>& Entries() const { return map_; }

    // Writes the assignments of the functions that have a button into the key map. Macro
    // numbers below `macroCount` are renumbered in order of first use (0, 1, …); a macro past
    // the list falls back to the function's default. Returns the original macro numbers in
    // their new order (what the macro block must hold).
    std::vector<int> Apply(std::span<const KeyAssignmentRecord> records, int macroCount,
                           std::span<uint8_t> keyMap) const;
    // The distinct macro numbers of the present buttons below `macroCount`, in order of first use.
    std::vector<int> MacrosInUse(std::span<const KeyAssignmentRecord> records, int macroCount) const;

    // Replaces every macro assignment whose number is not below `macroCount` by its default
    // half; true when one was replaced.
    static bool DropStaleMacros(std::vector<KeyAssignmentRecord>& records, int macroCount);

private:
    std::array<uint8_t, kFunctionCount> map_ = Unmapped();
    static std::array<uint8_t, kFunctionCount> Unmapped();
};

}  // namespace q208

#pragma once

#include <optional>
#include <string_view>

#include "editors/KeyAssignTables.h"
#include "profile/ProfileRecords.h"

namespace q208 {

// The logic of the key assignment panel without a toolkit: what the panel's controls show
// for an assignment, the assignment its controls describe, and a captured key. The panel
// moves values between its controls and a Form; q208ctl fills a Form from its arguments.
// Both therefore build the same bytes.
class KeyAssignment {
public:
    static constexpr int kNone = -1;
    static constexpr int kMinFireInterval = 10;

    // What the panel's controls hold. Indices are drop-down positions (kNone: no selection);
    // numbers are the values of the edits.
    struct Form {
        int category = kNone;  // KeyCategory, kNone when the assignment has no category
        int mouseButton = kNone, dpi = kNone, media = kNone, system = kNone, combo = kNone, gunKey = kNone;
        int moveDirection = 0, moveDelay = 0, moveSpeed = 0, moveCount = 0;
        int wheelDirection = 0, wheelDelay = 0, wheelSpeed = 0, wheelCount = 0;
        int fireInterval = kMinFireInterval, fireCount = 1;
        int modifierOption = kNone;  // 0 none, 1 … 4 left Ctrl, Shift, Alt, Windows
        std::string_view keyName;    // name key of the key shown; empty: no key
        int macro = kNone, macroMode = kNone, macroCycle = 1;
        bool macroCycleShown = false;
    };

    // Shows a key's current record (its default kept for category 0): the form to show.
    const Form& Show(const KeyAssignmentHalf& current, const KeyAssignmentHalf& defaults, int macroCount);
    // The record the form describes; also the record being edited. A macro category without
    // a valid macro (none selected, past the list, no macros) leaves the record unchanged.
    KeyAssignmentHalf Build(const Form& form, int macroCount);
    // A key from the input hook: the keyboard-key controls of `form` and the record being
    // edited follow it. False when the key is not a keyboard key of the key table.
    bool Capture(CapturedKey key, Form& form);
    // The same for a key of the key table by position (0 … 113: modifiers and plain keys).
    bool SelectKey(int position, Form& form);

    // The form a user sees after Build: the edits of the category rewritten with the values
    // the record holds (a count past its mask reads as what is stored).
    static void ShowStoredValues(const KeyAssignmentHalf& built, Form& form);

    const KeyAssignmentHalf& Editing() const { return editing_; }
    const KeyAssignmentHalf& Defaults() const { return defaults_; }
    const Form& Shown() const { return shown_; }

    // The modifier bit of a modifier option (0 for none and option 0).
    static uint8_t ModifierBitOf(int option);

private:
    static void ShowSwingBytes(uint8_t first, uint8_t second, int& delay, int& speed, int& count, int& direction,
                               bool signedCount);
    void ShowKeyboardKey(Form& form);
    void ShowMacro(Form& form, int macroCount);
    static std::optional<KeyFunction> TableEntry(KeyCategory category, const Form& form);

    KeyAssignmentHalf editing_{};
    KeyAssignmentHalf defaults_{};
    Form shown_{};
};

}  // namespace q208

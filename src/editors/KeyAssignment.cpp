#include "editors/KeyAssignment.h"

#include <algorithm>

namespace q208 {

namespace {

using namespace keykind;
using keytables::KeyTable;

constexpr uint8_t kNibble = 0x0F;
constexpr uint8_t kCountMask = 0x7F;
constexpr uint8_t kSecondDirection = 0x80;
constexpr int kSignedRange = 128;
// Byte 3 values of the keyboard-key kind: 1 … 8 single modifier bits of the left hand and
// the right hand's first; above 8 a right-hand or combined modifier, shown as a combination.
constexpr uint8_t kLastPlainModifier = 8;
constexpr int kLeftModifiers = 4;  // the options offer the four left-hand modifiers

int Category(KeyCategory category) { return static_cast<int>(category); }

uint8_t SwingByte(int delay, int speed) {
    return static_cast<uint8_t>(((delay & kNibble) << 4) | (speed & kNibble));
}

int SelectionOf(std::span<const KeyFunction> table, const KeyAssignmentHalf& record) {
    return keytables::FindEntry(table, record.param1, record.param2).value_or(KeyAssignment::kNone);
}

}  // namespace

uint8_t KeyAssignment::ModifierBitOf(int option) {
    return option >= 1 && option <= kLeftModifiers ? static_cast<uint8_t>(1u << (option - 1)) : 0;
}

void KeyAssignment::ShowSwingBytes(uint8_t first, uint8_t second, int& delay, int& speed, int& count, int& direction,
                                   bool signedCount) {
    delay = first >> 4;
    speed = first & kNibble;
    direction = (second & kSecondDirection) ? 1 : 0;
    count = second & kCountMask;
    if (signedCount && direction) count = kSignedRange - count;
}

void KeyAssignment::ShowKeyboardKey(Form& form) {
    const uint8_t modifiers = editing_.param1;
    if (modifiers == 0) {
        if (const auto key = keytables::FindPlainKey(editing_.param2)) {
            form.modifierOption = 0;
            form.keyName = KeyTable()[*key].nameKey;
        } else {
            form.modifierOption = kNone;
            form.keyName = {};
            editing_.param1 = editing_.param2 = 0;
        }
        return;
    }
    // A left-hand modifier shows as its option; another is dropped, as the options cannot
    // hold it.
    form.modifierOption = 0;
    for (int n = 0; n < kLeftModifiers; ++n) {
        if (KeyTable()[n].first == modifiers) form.modifierOption = n + 1;
    }
    if (form.modifierOption == 0) editing_.param1 = 0;
    const auto key = keytables::FindPlainKey(editing_.param2);
    form.keyName = key ? KeyTable()[*key].nameKey : std::string_view{};
}

void KeyAssignment::ShowMacro(Form& form, int macroCount) {
    const bool valid = editing_.param1 < macroCount;
    form.macro = valid ? editing_.param1 : kNone;
    if (editing_.type == kMacro) {
        form.macroMode = valid ? editing_.param2 : kNone;
        form.macroCycleShown = false;
    } else {
        form.macroMode = keytables::kRepeatMode;
        form.macroCycle = editing_.param2;
        form.macroCycleShown = valid;
    }
}

const KeyAssignment::Form& KeyAssignment::Show(const KeyAssignmentHalf& current, const KeyAssignmentHalf& defaults,
                                               int macroCount) {
    editing_ = current;
    defaults_ = defaults;
    Form form;
    switch (current.type) {
    case kDisabled: form.category = Category(KeyCategory::Disabled); break;
    case kMouseButton:
        form.category = Category(KeyCategory::MouseButton);
        form.mouseButton = SelectionOf(keytables::MouseButtons(), current);
        break;
    case kDpi:
        form.category = Category(KeyCategory::Dpi);
        form.dpi = SelectionOf(keytables::DpiFunctions(), current);
        break;
    case kMedia:
        form.category = Category(KeyCategory::Media);
        form.media = SelectionOf(keytables::MediaKeys(), current);
        break;
    case kSystem:
        form.category = Category(KeyCategory::System);
        form.system = SelectionOf(keytables::SystemKeys(), current);
        break;
    case kMouseMove:
        form.category = Category(KeyCategory::MouseMove);
        ShowSwingBytes(current.param1, current.param2, form.moveDelay, form.moveSpeed, form.moveCount,
                       form.moveDirection, false);
        break;
    case kMouseWheel:
        form.category = Category(KeyCategory::MouseWheel);
        ShowSwingBytes(current.param1, current.param2, form.wheelDelay, form.wheelSpeed, form.wheelCount,
                       form.wheelDirection, true);
        break;
    case kFire:
        form.category = Category(KeyCategory::Fire);
        form.fireInterval = current.param1;
        form.fireCount = current.param2;
        break;
    case kKeyboard:
        if (current.param1 > kLastPlainModifier) {
            form.category = Category(KeyCategory::Combo);
            form.combo = SelectionOf(keytables::ComboKeys(), current);
        } else {
            form.category = Category(KeyCategory::Keyboard);
            ShowKeyboardKey(form);
        }
        break;
    case kShownAsCombo:
        form.category = Category(KeyCategory::Combo);
        form.combo = SelectionOf(keytables::ComboKeys(), current);
        break;
    case kMacro:
    case kMacroRepeat:
        form.category = Category(KeyCategory::Macro);
        ShowMacro(form, macroCount);
        break;
    case kGunKey:
        form.category = Category(KeyCategory::GunKey);
        form.gunKey = current.param1 < keytables::kGunKeyPresets ? current.param1 : kNone;
        break;
    default: break;  // the keyboard's own function keys: nothing to edit
    }
    shown_ = form;
    return shown_;
}

std::optional<KeyFunction> KeyAssignment::TableEntry(KeyCategory category, const Form& form) {
    const std::span<const KeyFunction> table = keytables::CategoryTable(category);
    int index = kNone;
    switch (category) {
    case KeyCategory::MouseButton: index = form.mouseButton; break;
    case KeyCategory::Dpi: index = form.dpi; break;
    case KeyCategory::Media: index = form.media; break;
    case KeyCategory::System: index = form.system; break;
    case KeyCategory::Combo: index = form.combo; break;
    default: break;
    }
    if (index < 0 || index >= static_cast<int>(table.size())) return std::nullopt;
    return table[index];
}

KeyAssignmentHalf KeyAssignment::Build(const Form& form, int macroCount) {
    KeyAssignmentHalf record = editing_;
    const auto category = static_cast<KeyCategory>(form.category);
    switch (category) {
    case KeyCategory::MouseButton:
    case KeyCategory::Dpi:
    case KeyCategory::Media:
    case KeyCategory::System:
    case KeyCategory::Combo:
        // Without a selection there is nothing to build: the record stays as it was.
        if (const auto entry = TableEntry(category, form)) {
            record.type = entry->kind;
            record.param1 = entry->first;
            record.param2 = entry->second;
        }
        break;
    case KeyCategory::MouseMove:
        record.type = kMouseMove;
        record.param1 = SwingByte(form.moveDelay, form.moveSpeed);
        record.param2 = static_cast<uint8_t>((form.moveCount & kCountMask) | (form.moveDirection == 1 ? kSecondDirection : 0));
        break;
    case KeyCategory::MouseWheel:
        record.type = kMouseWheel;
        record.param1 = SwingByte(form.wheelDelay, form.wheelSpeed);
        record.param2 = form.wheelDirection == 1
                            ? static_cast<uint8_t>(kSecondDirection | static_cast<uint8_t>(kSignedRange - form.wheelCount))
                            : static_cast<uint8_t>(form.wheelCount & kCountMask);
        break;
    case KeyCategory::Fire:
        record.type = kFire;
        // The interval byte is never below 10, also when a large value wraps.
        record.param1 = static_cast<uint8_t>(form.fireInterval);
        if (form.fireInterval < kMinFireInterval || record.param1 < kMinFireInterval) record.param1 = kMinFireInterval;
        record.param2 = static_cast<uint8_t>(form.fireCount);
        break;
    case KeyCategory::Keyboard:
        record.type = kKeyboard;
        record.param1 = ModifierBitOf(form.modifierOption);
        if (form.keyName.empty()) record.param2 = 0;
        break;
    case KeyCategory::Macro:
        if (form.macro < 0 || form.macro >= macroCount) return editing_;
        record.param1 = static_cast<uint8_t>(form.macro);
        if (form.macroMode == keytables::kRepeatMode) {
            record.type = kMacroRepeat;
            record.param2 = static_cast<uint8_t>(form.macroCycle);
        } else {
            record.type = kMacro;
            record.param2 = static_cast<uint8_t>(std::max(form.macroMode, 0));
        }
        break;
    case KeyCategory::GunKey:
        record.type = kGunKey;
        record.param1 = static_cast<uint8_t>(std::clamp(form.gunKey, 0, keytables::kGunKeyPresets - 1));
        record.param2 = 0;
        break;
    default:
        record.type = defaults_.type;
        record.param1 = defaults_.param1;
        record.param2 = defaults_.param2;
        break;
    }
    record.spare = 0;
    editing_ = record;
    return record;
}

void KeyAssignment::ShowStoredValues(const KeyAssignmentHalf& built, Form& form) {
    switch (static_cast<KeyCategory>(form.category)) {
    case KeyCategory::MouseMove:
        if (built.type == kMouseMove)
            ShowSwingBytes(built.param1, built.param2, form.moveDelay, form.moveSpeed, form.moveCount,
                           form.moveDirection, false);
        break;
    case KeyCategory::MouseWheel:
        if (built.type == kMouseWheel)
            ShowSwingBytes(built.param1, built.param2, form.wheelDelay, form.wheelSpeed, form.wheelCount,
                           form.wheelDirection, true);
        break;
    case KeyCategory::Fire:
        if (built.type == kFire) {
            form.fireInterval = built.param1;
            form.fireCount = built.param2;
        }
        break;
    case KeyCategory::Macro:
        if (built.type == kMacroRepeat) form.macroCycle = built.param2;
        break;
    default: break;
    }
}

bool KeyAssignment::Capture(CapturedKey key, Form& form) {
    const auto position = keytables::FindCapturedKey(key);
    return position && SelectKey(*position, form);
}

bool KeyAssignment::SelectKey(int position, Form& form) {
    if (position < 0 || position >= static_cast<int>(KeyTable().size())) return false;
    const KeyFunction& row = KeyTable()[position];
    if (row.kind != kKeyboard || (position >= keytables::kModifierCount && row.first != 0)) return false;
    editing_.type = kKeyboard;
    if (position < keytables::kModifierCount) {
        // Left and right Ctrl, Shift, Alt and Windows share the options 1 … 4.
        const int n = position + 1;
        form.modifierOption = n % keytables::kModifierOptions + n / keytables::kModifierOptions;
        form.keyName = {};
        editing_.param1 = row.first;
        editing_.param2 = 0;
        return true;
    }
    if (form.modifierOption == kNone) form.modifierOption = 0;
    form.keyName = row.nameKey;
    editing_.param1 = ModifierBitOf(form.modifierOption);
    editing_.param2 = row.second;
    return true;
}

}  // namespace q208

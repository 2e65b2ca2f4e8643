#pragma once

#include <cstdint>
#include <optional>

namespace q208 {

// A key as the keyboard's set-1 scan code reports it: the code and whether it comes after
// the 0xE0 prefix (the extended keys: right Ctrl/Alt, the navigation block, arrows, the
// keypad's Enter and slash, the Windows keys, media keys). Key assignments and recorded
// macros store keys in this form.
struct ScanCode {
    uint16_t code = 0;
    bool extended = false;
    bool operator==(const ScanCode&) const = default;
};

// The scan code of a Linux input key code (linux/input-event-codes.h; an X11 key code is
// this plus 8). nullopt for keys without a set-1 code.
std::optional<ScanCode> ScanCodeFromEvdev(unsigned evdevCode);
// The input key code of a scan code (the inverse of the table); nullopt when unknown.
std::optional<unsigned> EvdevFromScanCode(ScanCode scan);

}  // namespace q208

#include "ui/ScanCodes.h"

#include <array>

namespace q208 {

namespace {

// Runs of consecutive input key codes with consecutive scan codes.
struct ScanRun {
    uint16_t firstEvdev;
    uint16_t lastEvdev;
    uint16_t firstScan;
    bool extended;
};

constexpr std::array kScanRuns = {
    // Esc .. keypad '.': the main block, function keys F1-F10, locks and keypad share
    // their numbering with set 1, except Num Lock below.
    ScanRun{1, 53, 0x01, false},
    ScanRun{54, 54, 0x36, true},   // right Shift: reported with the extended flag, as Windows does
    ScanRun{55, 68, 0x37, false},
    ScanRun{69, 69, 0x45, true},   // Num Lock: E0 45 as Windows reports it
    ScanRun{70, 83, 0x46, false},  // Scroll Lock, keypad
    ScanRun{85, 85, 0x76, false},  // Zenkaku/Hankaku
    ScanRun{86, 86, 0x56, false},  // the key left of Z on 102-key boards
    ScanRun{87, 88, 0x57, false},  // F11, F12
    ScanRun{89, 89, 0x73, false},  // Ro
    ScanRun{92, 92, 0x79, false},  // Henkan
    ScanRun{93, 93, 0x70, false},  // Katakana/Hiragana
    ScanRun{94, 94, 0x7B, false},  // Muhenkan
    ScanRun{96, 96, 0x1C, true},   // keypad Enter
    ScanRun{97, 97, 0x1D, true},   // right Ctrl
    ScanRun{98, 98, 0x35, true},   // keypad '/'
    ScanRun{99, 99, 0x37, true},   // Print Screen
    ScanRun{100, 100, 0x38, true}, // right Alt
    ScanRun{102, 104, 0x47, true}, // Home, Up, Page Up
    ScanRun{105, 105, 0x4B, true}, // Left
    ScanRun{106, 106, 0x4D, true}, // Right
    ScanRun{107, 109, 0x4F, true}, // End, Down, Page Down
    ScanRun{110, 111, 0x52, true}, // Insert, Delete
    ScanRun{113, 113, 0x20, true}, // Mute
    ScanRun{114, 114, 0x2E, true}, // Volume down
    ScanRun{115, 115, 0x30, true}, // Volume up
    ScanRun{116, 116, 0x5E, true}, // Power
    ScanRun{117, 117, 0x59, false},// keypad '='
    ScanRun{119, 119, 0x45, false},// Pause (E1 1D 45: reported without the E0 flag)
    ScanRun{121, 121, 0x7E, false},// keypad comma (the Brazilian keyboard's)
    ScanRun{122, 122, 0x72, false},// Hangul
    ScanRun{123, 123, 0x71, false},// Hanja
    ScanRun{124, 124, 0x7D, false},// Yen
    ScanRun{125, 127, 0x5B, true}, // left and right Windows key, Menu
    ScanRun{128, 128, 0x68, true}, // Stop
    ScanRun{140, 140, 0x21, true}, // Calculator
    ScanRun{142, 142, 0x5F, true}, // Sleep
    ScanRun{143, 143, 0x63, true}, // Wake
    ScanRun{155, 155, 0x6C, true}, // Mail
    ScanRun{156, 156, 0x66, true}, // Favourites
    ScanRun{157, 157, 0x6B, true}, // My Computer
    ScanRun{158, 158, 0x6A, true}, // Browser back
    ScanRun{159, 159, 0x69, true}, // Browser forward
    ScanRun{163, 163, 0x19, true}, // Next track
    ScanRun{164, 164, 0x22, true}, // Play/Pause
    ScanRun{165, 165, 0x10, true}, // Previous track
    ScanRun{166, 166, 0x24, true}, // Stop media
    ScanRun{172, 172, 0x32, true}, // Browser home
    ScanRun{173, 173, 0x67, true}, // Browser refresh
    ScanRun{183, 193, 0x64, false},// F13 .. F23
    ScanRun{194, 194, 0x76, false},// F24
    ScanRun{217, 217, 0x65, true}, // Browser search
    ScanRun{226, 226, 0x6D, true}, // Media select
};

}  // namespace

std::optional<ScanCode> ScanCodeFromEvdev(unsigned evdevCode) {
    for (const ScanRun& run : kScanRuns) {
        if (evdevCode >= run.firstEvdev && evdevCode <= run.lastEvdev) {
            return ScanCode{static_cast<uint16_t>(run.firstScan + (evdevCode - run.firstEvdev)), run.extended};
        }
    }
    return std::nullopt;
}

std::optional<unsigned> EvdevFromScanCode(ScanCode scan) {
    for (const ScanRun& run : kScanRuns) {
        const unsigned count = run.lastEvdev - run.firstEvdev;
        if (run.extended == scan.extended && scan.code >= run.firstScan && scan.code <= run.firstScan + count) {
            // F24 shares 0x76 with Zenkaku/Hankaku; the first run wins, as a keyboard sends one.
            return run.firstEvdev + (scan.code - run.firstScan);
        }
    }
    return std::nullopt;
}

}  // namespace q208

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Paths.h"
#include "platform/RegisteredMessageNames.h"

namespace q208::audio {

// The music recorder, a program of its own, is found by its endpoint (class and window
// name made from the product title) and by its presence lock in the runtime folder.
inline std::string RecorderClassName() { return std::string(kProductTitle) + "AudioRecord"; }
inline std::string RecorderWindowName() { return std::string(kProductTitle) + "AUDIORECORD"; }
inline std::string RecorderLockName() { return std::string(kProductTitle) + "AudioRecord"; }
// RuntimeFolder()/<lock name>.lock; empty when the runtime folder is unusable.
std::filesystem::path RecorderLockFile(const std::filesystem::path& runtimeFolder = RuntimeFolder());

// The command message the main window sends the recorder, and its wParam codes.
inline constexpr const char* kRecorderCommandName = kCompanionMessageNames[4];
enum RecorderCommand : uint64_t {
    kCommandConnect = 0,       // lParam: the main window; frames go to its endpoint
    kCommandStartSending = 1,  // third of the start sequence: frames flow
    kCommandStopSending = 2,   // first of the stop sequence
    kCommandArm = 3,           // second of the start sequence: capture wanted
    kCommandDisarm = 4,        // second of the stop sequence
    kCommandQuit = 5,          // third of the stop sequence: the recorder ends
    kCommandRed = 6,           // lParam 0 … 255, the colour slider's channels
    kCommandGreen = 7,
    kCommandBlue = 8,
};

// Data blocks: the recorder sends level frames and short records to the main window; the
// main window sends it the colour block.
inline constexpr uint64_t kLevelFrameKind = 1;
inline constexpr uint64_t kShortRecordKind = 2;
inline constexpr uint64_t kColourBlockKind = 10;
inline constexpr size_t kLevelFrameValues = 500;
inline constexpr size_t kShortRecordValues = 6;
// Red, green, blue as 32-bit values, then seven spare values (zero).
inline constexpr size_t kColourBlockBytes = 40;

// Exit codes of q208-audio-record.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitNoServer = 2;
inline constexpr int kExitServerLost = 3;
inline constexpr int kExitAlreadyRunning = 4;
inline constexpr int kExitNoEndpoint = 5;

}  // namespace q208::audio

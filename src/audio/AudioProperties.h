#pragma once

namespace q208::audioprop {

// Property names of the headset's devices (P playback, R recording).
inline constexpr const char* kEqEnable = "Enable_EQ_GFX";                 // P
inline constexpr const char* kEqSliderPrefix = "EQ_Slider";              // P, 1 … 10
inline constexpr const char* kSurround = "VirtualSurroundEffectControl";  // P
inline constexpr const char* kRoomEnable = "Enable_RFX_GFX";              // P
inline constexpr const char* kRoomEnvironment = "RFX_ENVIRONMENT";        // P
inline constexpr const char* kRoomSize = "RFX_ROOMSIZE";                  // P
inline constexpr const char* kNoiseCancel = "Enable_ENC_LFX";             // R
inline constexpr const char* kMicScalar = "VolumeScalarControl";          // R
inline constexpr const char* kMicDb = "VolumeControl";                    // R
inline constexpr const char* kMicMute = "MuteControl";                    // R
inline constexpr const char* kMonitorScalar = "AAVolumeScalarControl";    // R
inline constexpr const char* kMonitorDb = "AAVolumeControl";              // R
inline constexpr const char* kMonitorMute = "AAMuteControl";              // R
inline constexpr const char* kMaxVol = "GetMaxVol";
inline constexpr const char* kMinVol = "GetMinVol";
inline constexpr const char* kVolStep = "GetVolStep";
inline constexpr const char* kMonitorMaxVol = "GetAAMaxVol";
inline constexpr const char* kMonitorMinVol = "GetAAMinVol";
inline constexpr const char* kMonitorVolStep = "GetAAVolStep";
inline constexpr const char* kVoiceEnable = "Enable_MAGICVOICE";    // R
inline constexpr const char* kEchoEnable = "Enable_MICECHO";        // R
inline constexpr const char* kVoiceSelection = "MagicVoice_Selection";  // R, 0-based
inline constexpr const char* kSupportFeature = "GetSupportFeature";
inline constexpr int kEqBands = 10;

}  // namespace q208::audioprop

#include "devices/mouse/MouseSettingsBlock.h"

#include <algorithm>

namespace q208 {
namespace {

using B = MouseSettingsBlock;

// The nine bytes of a stage in block order: enabled, XY flag, X step, Y step, two bytes the
// host carries unchanged, red, green, blue.
void PutStage(uint8_t* at, const DpiStage& stage) {
    const uint8_t bytes[B::kStageSize] = {stage.active,  stage.xy,  stage.dpiX[0], stage.dpiX[1], stage.dpiY[0],
                                          stage.dpiY[1], stage.red, stage.green,   stage.blue};
    std::copy(std::begin(bytes), std::end(bytes), at);
}

DpiStage GetStage(const uint8_t* at) {
    DpiStage stage;
    stage.active = at[0];
    stage.xy = at[1];
    stage.dpiX[0] = at[2];
    stage.dpiX[1] = at[3];
    stage.dpiY[0] = at[4];
    stage.dpiY[1] = at[5];
    stage.red = at[6];
    stage.green = at[7];
    stage.blue = at[8];
    return stage;
}

}  // namespace

uint8_t MouseSettingsBlock::LedCodeOf(int modeIndex, const KeyboardEffectList& modes) {
    const int index = (modeIndex < 0 || modeIndex > kHighestModeIndex) ? 0 : modeIndex;
    return static_cast<uint8_t>(modes.DeviceCode(index));
}

MouseSettingsBlock::Bytes MouseSettingsBlock::Encode(const LightInfoRecord& light, const std::vector<DpiStage>& stages,
                                                     const MouseSettingsRecord& settings, int activeStage,
                                                     const KeyboardEffectList& modes, uint8_t value) {
    Bytes block{};
    block[kValue] = value;
    block[kLedMode] = LedCodeOf(light.selectItem, modes);
    block[kBrightness] = light.light;
    block[kInvertedSpeed] = static_cast<uint8_t>(kSpeedBase - light.speed);
    block[kDirection] = light.fx;
    block[kMulticolour] = light.multiColor;
    block[kRed] = light.red;
    block[kGreen] = light.green;
    block[kBlue] = light.blue;
    block[kInvertedPolling] = static_cast<uint8_t>(kPollingBase - settings.pollingIndex);
    block[kActiveStage] = static_cast<uint8_t>(activeStage);
    // Stages the profile does not have stay 0: the mouse skips a stage that is not enabled.
    for (size_t i = 0; i < kStageCount && i < stages.size(); ++i) PutStage(&block[kStages + i * kStageSize], stages[i]);
    block[kBleSleep1] = static_cast<uint8_t>(settings.bleSleep1);
    block[kBleSleep2] = static_cast<uint8_t>(settings.bleSleep2);
    block[kDeviceSleep1] = static_cast<uint8_t>(settings.deviceSleep1);
    block[kDeviceSleep2] = static_cast<uint8_t>(settings.deviceSleep2);
    block[kLogoMode] = static_cast<uint8_t>(settings.logoLedMode);
    return block;
}

uint16_t MouseSettingsBlock::PollingIndexOf(uint8_t invertedPolling) {
    return static_cast<uint8_t>(kPollingBase - invertedPolling);
}

uint16_t MouseSettingsBlock::ShownPollingOption(uint16_t pollingIndex) {
    return pollingIndex < kPollingOptions ? pollingIndex : 0;
}

MouseSettingsBlock::Decoded MouseSettingsBlock::Decode(const Bytes& block, const KeyboardEffectList& modes) {
    Decoded d;
    d.ledCode = block[kLedMode];
    const auto& entries = modes.Entries();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const KeyboardEffectList::Entry& e) { return e.code == d.ledCode; });
    d.light.selectItem = found == entries.end() ? d.ledCode : static_cast<uint8_t>(found - entries.begin());
    d.light.light = block[kBrightness];
    d.light.speed = static_cast<uint8_t>(kSpeedBase - block[kInvertedSpeed]);
    d.light.fx = block[kDirection];
    d.light.multiColor = block[kMulticolour];
    d.light.red = block[kRed];
    d.light.green = block[kGreen];
    d.light.blue = block[kBlue];
    d.pollingIndex = PollingIndexOf(block[kInvertedPolling]);
    d.bleSleep1 = block[kBleSleep1];
    d.bleSleep2 = block[kBleSleep2];
    d.deviceSleep1 = block[kDeviceSleep1];
    d.deviceSleep2 = block[kDeviceSleep2];
    d.logoMode = block[kLogoMode];
    d.activeStage = block[kActiveStage];
    for (size_t i = 0; i < kStageCount; ++i) d.stages[i] = GetStage(&block[kStages + i * kStageSize]);
    return d;
}

void MouseSettingsBlock::ApplyTo(const Decoded& decoded, MouseSettingsRecord& settings) {
    settings.pollingIndex = decoded.pollingIndex;
    settings.bleSleep1 = decoded.bleSleep1;
    settings.bleSleep2 = decoded.bleSleep2;
    settings.deviceSleep1 = decoded.deviceSleep1;
    settings.deviceSleep2 = decoded.deviceSleep2;
    settings.logoLedMode = decoded.logoMode;
}

}  // namespace q208

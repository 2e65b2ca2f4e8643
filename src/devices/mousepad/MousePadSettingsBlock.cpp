#include "devices/mousepad/MousePadSettingsBlock.h"

#include <algorithm>

namespace q208 {

using B = MousePadSettingsBlock;

uint8_t MousePadSettingsBlock::CodeOf(int modeIndex, const KeyboardEffectList& modes) {
    const int index = (modeIndex < 0 || modeIndex > kHighestModeIndex) ? 0 : modeIndex;
    return static_cast<uint8_t>(modes.DeviceCode(index));
}

B::Bytes MousePadSettingsBlock::FromDevice(const ReadBytes& read, uint8_t blockNumber,
                                           const KeyboardEffectList& modes) {
    Bytes block{};
    std::copy_n(read.begin(), kSize, block.begin());
    block[kBlockNumber] = blockNumber;
    const auto& entries = modes.Entries();
    const uint8_t code = read[kMode];
    const auto found =
        std::find_if(entries.begin(), entries.end(), [code](const KeyboardEffectList::Entry& e) { return e.code == code; });
    if (found != entries.end()) block[kMode] = static_cast<uint8_t>(found - entries.begin());
    block[kSpeed] = static_cast<uint8_t>(kSpeedBase - read[kSpeed]);
    return block;
}

B::Bytes MousePadSettingsBlock::ToDevice(const Bytes& block, const KeyboardEffectList& modes) {
    Bytes sent = block;
    sent[kMode] = CodeOf(block[kMode], modes);
    sent[kSpeed] = static_cast<uint8_t>(kSpeedBase - block[kSpeed]);
    return sent;
}

void MousePadSettingsBlock::TakeLight(const LightInfoRecord& light, Bytes& block) {
    block[kMode] = light.selectItem;
    block[kBrightness] = light.light;
    block[kSpeed] = light.speed;
    block[kMulticolour] = light.multiColor;
    block[kRed] = light.red;
    block[kGreen] = light.green;
    block[kBlue] = light.blue;
}

LightInfoRecord MousePadSettingsBlock::LightOf(const Bytes& block, LightInfoRecord base) {
    base.selectItem = block[kMode];
    base.light = block[kBrightness];
    base.speed = block[kSpeed];
    base.multiColor = block[kMulticolour];
    base.red = block[kRed];
    base.green = block[kGreen];
    base.blue = block[kBlue];
    return base;
}

}  // namespace q208

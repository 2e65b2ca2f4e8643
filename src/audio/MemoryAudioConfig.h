#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "audio/IAudioConfig.h"

namespace q208 {

// An audio server kept in memory: one playback and one recording device holding every
// property the headset uses, the voice effect included. Properties can be made to fail
// and the server to go away; every write is recorded. For tests of the headset's logic.
class MemoryAudioConfig : public IAudioConfig {
public:
    struct Write {
        int direction;
        std::string property;
        double value;
    };

    MemoryAudioConfig();

    int Init() override;
    int CreateDeviceList() override;
    int GetDeviceCount(int direction, int& count) override;
    int GetDeviceById(int direction, int index, AudioDeviceRecord& record) override;
    int PropertyControl(const AudioDeviceRecord& device, const std::string& property, AudioValue& value,
                        int direction) override;
    bool Connected() override { return up_; }
    uint64_t Generation() const override { return generation_; }
    bool OffersVoiceEffects() const override { return voice_; }

    // ---- test controls ----
    void Fail(const std::string& property) { failing_.insert(property); }
    void Heal(const std::string& property) { failing_.erase(property); }
    // Down: every call fails. Up again: a new generation with the properties reset.
    void SetUp(bool up);
    void SetVoiceEffects(bool offered) { voice_ = offered; }
    // The property's value on the device of `direction` (0 when never set).
    double Value(int direction, const std::string& property) const;
    void SetValue(int direction, const std::string& property, double value) { values_[{direction, property}] = value; }
    const std::vector<Write>& Writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }

private:
    void Reset();
    bool Known(const std::string& property) const;

    std::map<std::pair<int, std::string>, double> values_;
    std::set<std::string> failing_;
    std::vector<Write> writes_;
    bool up_ = true;
    bool voice_ = true;
    uint64_t generation_ = 1;
};

}  // namespace q208

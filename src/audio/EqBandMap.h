#pragma once

#include <array>
#include <span>

namespace q208 {

// The headset's ten equaliser bands (31 Hz … 16 kHz, an octave apart) spread over the
// fifteen bands of the multiband equaliser plugin the sound server runs: each plugin band
// takes the gain interpolated on a logarithmic frequency axis between the two nearest
// headset bands; below the first and above the last the end band's gain holds.
class EqBandMap {
public:
    static constexpr int kHeadsetBands = 10;
    static constexpr int kPluginBands = 15;
    static constexpr double kPluginMinDb = -70;
    static constexpr double kPluginMaxDb = 30;
    static const std::array<double, kHeadsetBands> kHeadsetHz;
    static const std::array<double, kPluginBands> kPluginHz;

    static std::array<double, kPluginBands> ToPlugin(std::span<const int, kHeadsetBands> gains);
};

}  // namespace q208

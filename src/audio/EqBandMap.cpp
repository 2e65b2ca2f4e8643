#include "audio/EqBandMap.h"

#include <algorithm>
#include <cmath>

namespace q208 {

const std::array<double, EqBandMap::kHeadsetBands> EqBandMap::kHeadsetHz{31,   62,   125,  250,  500,
                                                                         1000, 2000, 4000, 8000, 16000};
const std::array<double, EqBandMap::kPluginBands> EqBandMap::kPluginHz{
    50, 100, 156, 220, 311, 440, 622, 880, 1250, 1750, 2500, 3500, 5000, 10000, 20000};

std::array<double, EqBandMap::kPluginBands> EqBandMap::ToPlugin(std::span<const int, kHeadsetBands> gains) {
    std::array<double, kPluginBands> out{};
    for (int p = 0; p < kPluginBands; ++p) {
        const double hz = kPluginHz[p];
        double gain;
        if (hz <= kHeadsetHz.front()) {
            gain = gains[0];
        } else if (hz >= kHeadsetHz.back()) {
            gain = gains[kHeadsetBands - 1];
        } else {
            int upper = 1;
            while (kHeadsetHz[upper] < hz) ++upper;
            const double lo = std::log2(kHeadsetHz[upper - 1]);
            const double t = (std::log2(hz) - lo) / (std::log2(kHeadsetHz[upper]) - lo);
            gain = gains[upper - 1] + t * (gains[upper] - gains[upper - 1]);
        }
        out[p] = std::clamp(gain, kPluginMinDb, kPluginMaxDb);
    }
    return out;
}

}  // namespace q208

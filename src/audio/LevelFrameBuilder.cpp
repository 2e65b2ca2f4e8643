#include "audio/LevelFrameBuilder.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace q208::audio {

namespace {

constexpr int kSpectrumBins = LevelFrameBuilder::kFftSize / 2 + 1;
constexpr int kValues = static_cast<int>(kLevelFrameValues);

double EdgeHz(int edge) {
    const double ratio = LevelFrameBuilder::kHighestHz / LevelFrameBuilder::kLowestHz;
    return LevelFrameBuilder::kLowestHz * std::pow(ratio, static_cast<double>(edge) / kValues);
}

}  // namespace

// The transform's buffers and plan; FFTW wants its own aligned memory.
struct LevelFrameBuilder::Fft {
    float* input = nullptr;
    fftwf_complex* output = nullptr;
    fftwf_plan plan = nullptr;

    Fft() {
        input = fftwf_alloc_real(kFftSize);
        output = fftwf_alloc_complex(kSpectrumBins);
        plan = fftwf_plan_dft_r2c_1d(kFftSize, input, output, FFTW_ESTIMATE);
    }
    ~Fft() {
        if (plan) fftwf_destroy_plan(plan);
        fftwf_free(output);
        fftwf_free(input);
    }
    Fft(const Fft&) = delete;
    Fft& operator=(const Fft&) = delete;
};

LevelFrameBuilder::LevelFrameBuilder(int sampleRate)
    : sampleRate_(sampleRate > 0 ? sampleRate : 48000),
      history_(kFftSize, 0.0f),
      window_(kFftSize),
      fft_(std::make_unique<Fft>()) {
    for (int i = 0; i < kFftSize; ++i) {
        window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (kFftSize - 1)));
    }
    const double binHz = static_cast<double>(sampleRate_) / kFftSize;
    const int lastBin = kSpectrumBins - 1;
    bins_.reserve(kValues);
    for (int i = 0; i < kValues; ++i) {
        // Low bands are narrower than one spectrum bin: they take the bin nearest their middle.
        const int first = std::clamp(static_cast<int>(std::ceil(EdgeHz(i) / binHz)), 0, lastBin);
        const int last = std::clamp(static_cast<int>(std::ceil(EdgeHz(i + 1) / binHz)) - 1, 0, lastBin);
        if (first <= last) {
            bins_.emplace_back(first, last);
        } else {
            const int nearest = std::clamp(static_cast<int>(std::lround(CentreHz(i) / binHz)), 0, lastBin);
            bins_.emplace_back(nearest, nearest);
        }
    }
}

LevelFrameBuilder::~LevelFrameBuilder() = default;

void LevelFrameBuilder::Push(std::span<const float> samples) {
    for (float sample : samples) {
        history_[next_] = sample;
        next_ = (next_ + 1) % history_.size();
    }
}

LevelFrameBuilder::Frame LevelFrameBuilder::Build() {
    for (int i = 0; i < kFftSize; ++i) {
        fft_->input[i] = history_[(next_ + i) % history_.size()] * window_[i];
    }
    fftwf_execute(fft_->plan);
    // A full-scale sine under the Hann window peaks at N/4: that peak is 0 dB.
    const double reference = kFftSize / 4.0;
    Frame frame{};
    for (int i = 0; i < kValues; ++i) {
        float peak = 0.0f;
        for (int bin = bins_[i].first; bin <= bins_[i].second; ++bin) {
            const float re = fft_->output[bin][0];
            const float im = fft_->output[bin][1];
            peak = std::max(peak, re * re + im * im);
        }
        if (peak <= 0.0f) continue;
        const double db = 10.0 * std::log10(peak / (reference * reference));
        const double level = (db - kFloorDb) / -kFloorDb * kMaxLevel;
        frame[i] = static_cast<int32_t>(std::clamp(level, 0.0, static_cast<double>(kMaxLevel)));
    }
    return frame;
}

double LevelFrameBuilder::CentreHz(int index) { return std::sqrt(EdgeHz(index) * EdgeHz(index + 1)); }

int LevelFrameBuilder::IndexOfHz(double hz) {
    if (hz < kLowestHz || hz >= kHighestHz) return -1;
    const int index = static_cast<int>(std::floor(std::log(hz / kLowestHz) / std::log(kHighestHz / kLowestHz) * kValues));
    return std::clamp(index, 0, kValues - 1);
}

}  // namespace q208::audio

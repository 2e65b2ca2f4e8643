#include "devices/keyboard/KeyboardAnimator.h"

#include <algorithm>

namespace q208 {

namespace {

constexpr int kMusicEffect = 29;

}  // namespace

KeyboardAnimator::KeyboardAnimator(KeyColourBuffer& colours, LightRenderer::Clock clock,
                                   uint32_t countPeriodMs)
    : colours_(colours),
      countPeriodMs_(std::max<uint32_t>(countPeriodMs, 1)),
      ownMutex_(std::make_unique<std::mutex>()),
      ownRenderer_(std::make_unique<KeyboardRenderer>(std::move(clock))),
      mutex_(*ownMutex_),
      renderer_(*ownRenderer_) {}

KeyboardAnimator::KeyboardAnimator(KeyColourBuffer& colours, KeyboardRenderer& renderer, std::mutex& lock,
                                   uint32_t countPeriodMs)
    : colours_(colours), countPeriodMs_(std::max<uint32_t>(countPeriodMs, 1)), mutex_(lock), renderer_(renderer) {}

void KeyboardAnimator::SetLightState(const LightState& light) {
    std::lock_guard lock(mutex_);
    const bool changed = !haveEffect_ || light.effect != renderer_.Light().effect;
    renderer_.Light() = light;
    haveEffect_ = true;
    if (!changed && light.effect != 18) return;
    effect_ = FindKeyboardEffect(light.effect);
    counter_ = 0;
    pendingMs_ = 0;
    if (effect_)
        (renderer_.*(effect_->prepare))();
    else
        renderer_.PrepareShared();
}

LightState KeyboardAnimator::GetLightState() const {
    std::lock_guard lock(mutex_);
    return renderer_.Light();
}

void KeyboardAnimator::SetHostColour(Rgb colour) {
    std::lock_guard lock(mutex_);
    renderer_.SetHostColour(colour);
}

void KeyboardAnimator::SetOptionState(int first) {
    std::lock_guard lock(mutex_);
    renderer_.SetPattern(first);
}

bool KeyboardAnimator::InMusicMode() const {
    std::lock_guard lock(mutex_);
    return haveEffect_ && renderer_.Light().effect == kMusicEffect && renderer_.Pattern() == KeyboardRenderer::kMusicPattern;
}

void KeyboardAnimator::StartMusicWave(int row) {
    std::lock_guard lock(mutex_);
    renderer_.StartMusicWave(row);
}

void KeyboardAnimator::SetMusicColour(Rgb colour) {
    std::lock_guard lock(mutex_);
    renderer_.SetMusicColour(colour);
}

void KeyboardAnimator::RenderLocked() {
    colours_.Update([&](std::span<KeyColour> keys) { (renderer_.*(effect_->render))(keys); });
}

bool KeyboardAnimator::Step(uint32_t elapsedMs) {
    std::lock_guard lock(mutex_);
    if (!effect_) return false;
    pendingMs_ += elapsedMs;
    counter_ += pendingMs_ / countPeriodMs_;
    pendingMs_ %= countPeriodMs_;
    const uint32_t interval =
        static_cast<uint32_t>(EffectInterval(effect_->interval, renderer_.Light().speedLevel));
    if (counter_ < interval) return false;
    counter_ = 0;
    RenderLocked();
    return true;
}

uint32_t KeyboardAnimator::MsUntilDue() const {
    std::lock_guard lock(mutex_);
    if (!effect_) return 0;
    const uint32_t interval =
        static_cast<uint32_t>(EffectInterval(effect_->interval, renderer_.Light().speedLevel));
    if (counter_ >= interval) return 0;
    return (interval - counter_) * countPeriodMs_ - pendingMs_;
}

bool KeyboardAnimator::RenderNow() {
    std::lock_guard lock(mutex_);
    if (!effect_) return false;
    RenderLocked();
    return true;
}

void KeyboardAnimator::OnKeyEvent(int row, int kind) {
    std::lock_guard lock(mutex_);
    if (effect_ && effect_->keyHandler) (renderer_.*(effect_->keyHandler))(row, kind);
}

}  // namespace q208

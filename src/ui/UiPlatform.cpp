#include <mutex>

#include "ui/CHeadlessPlatform.h"
#include "ui/IUiPlatform.h"

namespace q208 {

namespace {
std::mutex& PlatformMutex() {
    static std::mutex m;
    return m;
}
std::shared_ptr<IUiPlatform>& PlatformSlot() {
    static std::shared_ptr<IUiPlatform> platform;
    return platform;
}
}  // namespace

IUiPlatform& UiPlatform() {
    std::lock_guard lock(PlatformMutex());
    auto& slot = PlatformSlot();
    if (!slot) slot = std::make_shared<CHeadlessPlatform>();
    return *slot;
}

void SetUiPlatform(std::shared_ptr<IUiPlatform> platform) {
    std::lock_guard lock(PlatformMutex());
    PlatformSlot() = std::move(platform);
}

}  // namespace q208

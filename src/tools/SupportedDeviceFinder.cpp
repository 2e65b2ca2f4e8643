#include "tools/SupportedDeviceFinder.h"

#include "device/CHidDevice.h"
#include "device/SupportedInterfaceMatcher.h"

namespace q208 {

std::vector<FoundInterface> SupportedDeviceFinder::Scan() {
    std::vector<FoundInterface> found;
    unopened_ = 0;
    const SupportedInterfaceMatcher matcher;
    CHidDevice device(bus_);
    device.EnumeratePaths();
    while (const char* path = device.NextPath()) {
        InterfaceCandidate candidate = SupportedInterfaceMatcher::FromPath(path);
        if (!matcher.QuickMatch(candidate)) continue;
        CHidDevice probe(bus_);
        if (!probe.Open(candidate.path, true, false, true, false)) {
            ++unopened_;
            continue;
        }
        SupportedInterfaceMatcher::CompleteFrom(probe, candidate);
        if (const auto slot = matcher.FullMatch(candidate)) found.push_back({*slot, candidate.path});
        probe.Close();
    }
    device.FreePaths();
    return found;
}

std::string SupportedDeviceFinder::PathOf(const std::vector<FoundInterface>& found, size_t slot) {
    for (const FoundInterface& entry : found) {
        if (entry.slot == slot) return entry.path;
    }
    return {};
}

}  // namespace q208

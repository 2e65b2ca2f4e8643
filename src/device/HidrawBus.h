#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device/HidBus.h"
#include "device/HidReportDescriptor.h"

namespace q208 {

// The machine's HID interfaces as the kernel's hidraw nodes show them. Both folders are
// parameters so that tests can stand a fake tree in for /sys and /dev.
class HidrawBus : public IHidBus {
public:
    explicit HidrawBus(std::string sysfsRoot = "/sys", std::string devFolder = "/dev");

    std::vector<std::string> EnumeratePaths() override;
    bool TryEnumeratePaths(std::vector<std::string>& out) override;
    bool Exists(const std::string& path) override;
    std::unique_ptr<IHidHandle> Open(const std::string& path, bool read, bool write) override;
    std::vector<uint8_t> ReportDescriptor(const std::string& path) override;
    bool Attributes(const std::string& path, HidAttributes& out) override;

private:
    struct Interface {
        std::string node;  // "hidrawN"
        HidAttributes attributes;
        int interfaceNumber = -1;
        std::vector<uint8_t> descriptorBytes;
        std::shared_ptr<const HidReportDescriptor> descriptor;
    };

    std::string ClassFolder() const;
    std::string DevNode(const std::string& node) const;
    // Everything about hidrawN, or nullopt (with a trace) when any of it is missing or bad.
    // The release number is read only when asked: listing does not need it.
    std::optional<Interface> Describe(const std::string& node, bool withVersion) const;
    std::vector<std::string> PathsOf(const Interface& itf) const;
    // The interface a path names, when the path is still one of its paths.
    std::optional<Interface> Resolve(const std::string& path, bool withVersion = false) const;

    // A bad interface is traced once, not on every detection pass.
    void TraceSkip(const std::string& node, const std::string& reason) const;
    void TraceOnce(const std::string& text) const;

    std::string sysfsRoot_;
    std::string devFolder_;
    mutable std::mutex tracedMutex_;
    mutable std::set<std::string> traced_;
};

}  // namespace q208

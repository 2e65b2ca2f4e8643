#include "device/HidrawBus.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "device/HidPath.h"
#include "device/HidrawHandle.h"
#include "device/UniqueFd.h"
#include "platform/Trace.h"

namespace q208 {
namespace {

constexpr std::string_view kNodePrefix = "hidraw";
constexpr size_t kMaxUeventBytes = 4096;

// Reads up to `limit` bytes; false when the file cannot be opened or read. `truncated`
// tells whether the file held more.
bool ReadSmallFile(int dirFd, const char* path, size_t limit, std::string& out, bool* truncated = nullptr) {
    UniqueFd fd(::openat(dirFd, path, O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) return false;
    out.resize(limit + 1);
    size_t used = 0;
    while (used < out.size()) {
        const ssize_t n = ::read(fd.Get(), out.data() + used, out.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        used += static_cast<size_t>(n);
        // sysfs and regular files hand over everything they have in one read.
        if (static_cast<size_t>(n) < out.size() - (used - static_cast<size_t>(n))) break;
    }
    if (truncated) *truncated = used > limit;
    out.resize(std::min(used, limit));
    return true;
}

std::string UeventValue(const std::string& uevent, std::string_view key) {
    size_t at = 0;
    while (at < uevent.size()) {
        size_t end = uevent.find('\n', at);
        if (end == std::string::npos) end = uevent.size();
        const std::string_view line(uevent.data() + at, end - at);
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=') {
            return std::string(line.substr(key.size() + 1));
        }
        at = end + 1;
    }
    return {};
}

// "0003:00004E5B:00007C13" → vendor 0x4E5B, product 0x7C13.
bool ParseHidId(const std::string& hidId, HidAttributes& attributes) {
    unsigned bus = 0, vendor = 0, product = 0;
    if (std::sscanf(hidId.c_str(), "%x:%x:%x", &bus, &vendor, &product) != 3) return false;
    attributes.vendorId = static_cast<uint16_t>(vendor);
    attributes.productId = static_cast<uint16_t>(product);
    return true;
}

// "usb-0000:00:14.0-1/input1" → 1; -1 without an "/input" suffix.
int InterfaceFromPhys(const std::string& phys) {
    const size_t at = phys.rfind("/input");
    if (at == std::string::npos) return -1;
    const char* digits = phys.c_str() + at + 6;
    if (*digits < '0' || *digits > '9') return -1;
    return static_cast<int>(std::strtol(digits, nullptr, 10)) & 0xFF;
}

bool ReadHexFile(int dirFd, const char* path, unsigned long& value) {
    std::string text;
    if (!ReadSmallFile(dirFd, path, 32, text) || text.empty()) return false;
    char* end = nullptr;
    value = std::strtoul(text.c_str(), &end, 16);
    return end != text.c_str();
}

// hidrawN with N decimal; -1 for anything else.
long NodeNumber(const char* name) {
    const std::string_view text(name);
    if (text.size() <= kNodePrefix.size() || text.substr(0, kNodePrefix.size()) != kNodePrefix) return -1;
    long number = 0;
    for (char c : text.substr(kNodePrefix.size())) {
        if (c < '0' || c > '9' || number > 100000000) return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

HidrawBus::HidrawBus(std::string sysfsRoot, std::string devFolder)
    : sysfsRoot_(std::move(sysfsRoot)), devFolder_(std::move(devFolder)) {}

void HidrawBus::TraceSkip(const std::string& node, const std::string& reason) const {
    TraceOnce("hidraw: " + node + " skipped: " + reason);
}

void HidrawBus::TraceOnce(const std::string& text) const {
    {
        std::lock_guard lock(tracedMutex_);
        if (!traced_.insert(text).second) return;
    }
    TraceText(text);
}

std::string HidrawBus::ClassFolder() const { return sysfsRoot_ + "/class/hidraw"; }

std::string HidrawBus::DevNode(const std::string& node) const { return devFolder_ + "/" + node; }

std::optional<HidrawBus::Interface> HidrawBus::Describe(const std::string& node, bool withVersion) const {
    // Every file is opened relative to the HID device folder, which saves resolving the
    // class link again for each of them.
    const std::string device = ClassFolder() + "/" + node + "/device";
    const UniqueFd dir(::open(device.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.Valid()) {
        TraceSkip(node, "no device folder");
        return std::nullopt;
    }
    Interface itf;
    itf.node = node;
    std::string uevent;
    if (!ReadSmallFile(dir.Get(), "uevent", kMaxUeventBytes, uevent)) {
        TraceSkip(node, "no uevent");
        return std::nullopt;
    }
    if (!ParseHidId(UeventValue(uevent, "HID_ID"), itf.attributes)) {
        TraceSkip(node, "no HID_ID in uevent");
        return std::nullopt;
    }
    // The HID device's parent is the USB interface, whose parent is the USB device with
    // the release number.
    unsigned long number = 0;
    if (ReadHexFile(dir.Get(), "../bInterfaceNumber", number)) {
        itf.interfaceNumber = static_cast<int>(number & 0xFF);
    } else {
        itf.interfaceNumber = InterfaceFromPhys(UeventValue(uevent, "HID_PHYS"));
    }
    if (withVersion && ReadHexFile(dir.Get(), "../../bcdDevice", number)) {
        itf.attributes.versionNumber = static_cast<uint16_t>(number);
    }
    std::string bytes;
    bool oversized = false;
    if (!ReadSmallFile(dir.Get(), "report_descriptor", HidReportDescriptor::kMaxDescriptorBytes, bytes,
                       &oversized)) {
        TraceSkip(node, "report descriptor unreadable");
        return std::nullopt;
    }
    if (oversized) {
        TraceSkip(node, "report descriptor longer than " +
                            std::to_string(HidReportDescriptor::kMaxDescriptorBytes) + " bytes");
        return std::nullopt;
    }
    itf.descriptorBytes.assign(bytes.begin(), bytes.end());
    std::string error;
    auto parsed = HidReportDescriptor::Parse(itf.descriptorBytes, &error);
    if (!parsed) {
        TraceSkip(node, "bad report descriptor (" + error + ")");
        return std::nullopt;
    }
    itf.descriptor = std::make_shared<const HidReportDescriptor>(std::move(*parsed));
    return itf;
}

std::vector<std::string> HidrawBus::PathsOf(const Interface& itf) const {
    std::vector<std::string> paths;
    const size_t count = itf.descriptor->Collections().size();
    for (size_t i = 0; i < count; ++i) {
        const int collection = count > 1 ? static_cast<int>(i + 1) : 0;
        paths.push_back(HidPath::Make(DevNode(itf.node), itf.attributes.vendorId,
                                      itf.attributes.productId, itf.interfaceNumber, collection));
    }
    return paths;
}

bool HidrawBus::TryEnumeratePaths(std::vector<std::string>& out) {
    out.clear();
    DIR* dir = ::opendir(ClassFolder().c_str());
    if (dir == nullptr) {
        TraceOnce("hidraw: cannot read " + ClassFolder() + ": " + std::strerror(errno));
        return false;
    }
    std::vector<std::pair<long, std::string>> nodes;
    while (const dirent* entry = ::readdir(dir)) {
        const long number = NodeNumber(entry->d_name);
        if (number >= 0) nodes.emplace_back(number, entry->d_name);
    }
    ::closedir(dir);
    std::sort(nodes.begin(), nodes.end());
    for (const auto& [number, node] : nodes) {
        const std::optional<Interface> itf = Describe(node, false);
        if (!itf) continue;
        for (std::string& path : PathsOf(*itf)) out.push_back(std::move(path));
    }
    return true;
}

std::vector<std::string> HidrawBus::EnumeratePaths() {
    std::vector<std::string> paths;
    TryEnumeratePaths(paths);
    return paths;
}

std::optional<HidrawBus::Interface> HidrawBus::Resolve(const std::string& path, bool withVersion) const {
    const std::string_view devNode = HidPath::Node(path);
    const std::string prefix = devFolder_ + "/";
    if (devNode.size() <= prefix.size() || devNode.substr(0, prefix.size()) != prefix) return std::nullopt;
    const std::string node(devNode.substr(prefix.size()));
    if (NodeNumber(node.c_str()) < 0) return std::nullopt;
    std::optional<Interface> itf = Describe(node, withVersion);
    if (!itf) return std::nullopt;
    const std::vector<std::string> paths = PathsOf(*itf);
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) return std::nullopt;
    return itf;
}

bool HidrawBus::Exists(const std::string& path) {
    const std::optional<Interface> itf = Resolve(path);
    return itf && ::access(DevNode(itf->node).c_str(), F_OK) == 0;
}

std::unique_ptr<IHidHandle> HidrawBus::Open(const std::string& path, bool read, bool write) {
    const std::optional<Interface> itf = Resolve(path);
    if (!itf) return nullptr;
    const int access = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    UniqueFd fd(::open(DevNode(itf->node).c_str(), access | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        const int error = errno;
        // Detection asks again on every pass; one line per node and reason is enough.
        const bool denied = error == EACCES || error == EPERM;
        TraceOnce("hidraw: cannot open " + DevNode(itf->node) + ": " + std::strerror(error) +
                  (denied ? " (the user needs read and write access to the node; the program asks again later)\n"
                          : "\n"));
        return nullptr;
    }
    return std::make_unique<HidrawHandle>(std::move(fd), itf->descriptor, HidPath::CollectionIndex(path));
}

std::vector<uint8_t> HidrawBus::ReportDescriptor(const std::string& path) {
    const std::optional<Interface> itf = Resolve(path);
    return itf ? itf->descriptorBytes : std::vector<uint8_t>{};
}

bool HidrawBus::Attributes(const std::string& path, HidAttributes& out) {
    const std::optional<Interface> itf = Resolve(path, true);
    if (!itf) return false;
    out = itf->attributes;
    return true;
}

}  // namespace q208

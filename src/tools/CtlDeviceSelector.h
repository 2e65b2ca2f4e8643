#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/CtlOptions.h"
#include "tools/SupportedDeviceFinder.h"

namespace q208 {

// Where a command goes: the device's name, the table slot whose path is opened, and how
// the channel reaches the device over it.
struct CtlDeviceTarget {
    std::string name;
    uint16_t kind = 0;    // DeviceKind of the device itself (a receiver's keyboard is 9)
    size_t slot = 0;
    std::string path;
    int linkType = 0;     // CDeviceChannel::LinkType
    uint32_t target = 0;  // receiver path: 0 the keyboard, 2 the mouse
};

// Picks the device a protocol command talks to from --device NAME, --slot N or, without
// either, the first primary interface found in table order.
class CtlDeviceSelector {
public:
    enum class Outcome { Selected, BadArguments, NotFound };

    // The names --device accepts, in the order the usage text lists them.
    static std::vector<std::string> DeviceNames();

    // The kind of device --device or --slot names (a receiver slot: its keyboard), before
    // anything is looked for; nullopt when neither is given or the name or slot is unknown.
    static std::optional<uint16_t> NamedKind(const CtlOptions& options);

    // On Selected `target` is filled; otherwise `message` says why.
    static Outcome Select(const CtlOptions& options, const std::vector<FoundInterface>& found,
                          CtlDeviceTarget& target, std::string& message);
};

}  // namespace q208

#include "tools/CtlDeviceSelector.h"

#include "device/CDeviceChannel.h"
#include "device/DeviceSlot.h"

namespace q208 {
namespace {

// Every device a command can address: the slot whose path carries its traffic, and the
// link type and target the channel needs. The devices behind the receiver go through the
// receiver's primary slot; the receiver byte 32 picks the keyboard (0) or the mouse (2).
struct Route {
    const char* name;
    uint16_t kind;
    size_t pathSlot;
    int linkType;
    uint32_t target;
};

constexpr uint32_t kTargetKeyboard = 0;
constexpr uint32_t kTargetMouse = 2;

constexpr Route kRoutes[] = {
    {"keyboard", kKindKeyboard, kSlotKeyboard, CDeviceChannel::kLinkWired, 0},
    {"mouse", kKindMouse, kSlotMouse, CDeviceChannel::kLinkWired, 0},
    {"mousepad", kKindMousePad, kSlotMousePad, CDeviceChannel::kLinkWired, 0},
    {"headset", kKindHeadset, kSlotHeadset, CDeviceChannel::kLinkWired, 0},
    {"receiver-keyboard", kKindReceiverKeyboard, kSlotReceiver, CDeviceChannel::kLinkReceiver, kTargetKeyboard},
    {"receiver-mouse", kKindReceiverMouse, kSlotReceiver, CDeviceChannel::kLinkReceiver, kTargetMouse},
};

const Route* RouteByName(const std::string& name) {
    for (const Route& route : kRoutes) {
        if (name == route.name) return &route;
    }
    return nullptr;
}

// The receiver's own slot talks to the keyboard behind it, as the first device it carries.
const Route* RouteByKind(uint16_t kind) {
    if (kind == kKindReceiver) kind = kKindReceiverKeyboard;
    for (const Route& route : kRoutes) {
        if (route.kind == kind) return &route;
    }
    return nullptr;
}

CtlDeviceSelector::Outcome Resolve(const Route& route, const std::vector<FoundInterface>& found,
                                   CtlDeviceTarget& target, std::string& message) {
    const std::string path = SupportedDeviceFinder::PathOf(found, route.pathSlot);
    if (path.empty()) {
        message = std::string("no ") + route.name + " found (slot " + std::to_string(route.pathSlot) + ")";
        return CtlDeviceSelector::Outcome::NotFound;
    }
    target = CtlDeviceTarget{route.name, route.kind, route.pathSlot, path, route.linkType, route.target};
    return CtlDeviceSelector::Outcome::Selected;
}

}  // namespace

std::vector<std::string> CtlDeviceSelector::DeviceNames() {
    std::vector<std::string> names;
    for (const Route& route : kRoutes) names.emplace_back(route.name);
    return names;
}

std::optional<uint16_t> CtlDeviceSelector::NamedKind(const CtlOptions& options) {
    const Route* route = nullptr;
    if (!options.device.empty()) {
        route = RouteByName(options.device);
    } else if (options.slot >= 0 && static_cast<size_t>(options.slot) < SupportedDeviceTable().size()) {
        route = RouteByKind(SupportedDeviceTable()[static_cast<size_t>(options.slot)].kind);
    }
    return route ? std::optional<uint16_t>(route->kind) : std::nullopt;
}

CtlDeviceSelector::Outcome CtlDeviceSelector::Select(const CtlOptions& options,
                                                     const std::vector<FoundInterface>& found,
                                                     CtlDeviceTarget& target, std::string& message) {
    const auto& table = SupportedDeviceTable();
    if (!options.device.empty() && options.slot >= 0) {
        message = "--device and --slot cannot be used together";
        return Outcome::BadArguments;
    }
    if (!options.device.empty()) {
        const Route* route = RouteByName(options.device);
        if (!route) {
            message = "unknown device '" + options.device + "'";
            return Outcome::BadArguments;
        }
        return Resolve(*route, found, target, message);
    }
    if (options.slot >= 0) {
        if (static_cast<size_t>(options.slot) >= table.size()) {
            message = "slot " + std::to_string(options.slot) + " does not exist (0 to " +
                      std::to_string(table.size() - 1) + ")";
            return Outcome::BadArguments;
        }
        const DeviceSlot& row = table[static_cast<size_t>(options.slot)];
        if (row.role != kRolePrimary) {
            message = "slot " + std::to_string(options.slot) + " is a secondary interface of the " +
                      DeviceKindName(row.kind) + "; commands go through its primary interface";
            return Outcome::BadArguments;
        }
        return Resolve(*RouteByKind(row.kind), found, target, message);
    }
    // The first primary interface found in table order.
    for (size_t slot = 0; slot < table.size(); ++slot) {
        if (table[slot].role != kRolePrimary || SupportedDeviceFinder::PathOf(found, slot).empty()) continue;
        if (const Route* route = RouteByKind(table[slot].kind)) return Resolve(*route, found, target, message);
    }
    message = "no supported device found";
    return Outcome::NotFound;
}

}  // namespace q208

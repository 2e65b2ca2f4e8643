#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace q208 {

// The udev rule that lets the logged-in user open the hidraw nodes of exactly the devices
// of the supported-interface table (TAG+="uaccess": logind grants the seat's user access,
// and takes it back at log-out), and a reader of rule files that tells whether a rule
// file grants that access to a device.
class UdevRule {
public:
    static constexpr const char* kFileName = "70-q208.rules";
    // The folders udev reads rules from, in its order of precedence.
    static constexpr const char* kRuleFolders[] = {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d",
                                                   "/lib/udev/rules.d"};

    struct DeviceId {
        uint16_t vendor = 0;
        uint16_t product = 0;
        bool operator==(const DeviceId&) const = default;
    };
    // The vendor and product pairs of the table, each once, in table order; the rows of
    // the devices behind the receiver (product 0) have no node of their own.
    static std::vector<DeviceId> DeviceIds();
    // The rule file for those ids.
    static std::string Text();

    // Whether the rules in `text` tag a hidraw node of a USB device with these ids for
    // the seat's user. Lines with matches this reader does not know never count.
    static bool GrantsAccess(std::string_view text, DeviceId device);
};

}  // namespace q208

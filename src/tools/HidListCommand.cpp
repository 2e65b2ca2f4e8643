#include "tools/HidListCommand.h"

#include <cstdio>
#include <ostream>

#include "device/HidPath.h"
#include "device/HidReportDescriptor.h"
#include "device/HidrawBus.h"
#include "tools/CtlBusSession.h"
#include "tools/CtlCommandTable.h"

namespace q208 {

int HidListCommand::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.simulate) {
        CtlBusSession session;
        std::string error;
        if (!session.Start(options, error, &out, &err)) {
            err << "q208ctl: " << error << '\n';
            return CtlCommandTable::kUsageError;
        }
        return List(*session.Bus(), session.Where(), out, err);
    }
    const std::string root = options.Value("--sysfs", "/sys");
    HidrawBus bus(root);
    return List(bus, root + "/class/hidraw", out, err);
}

int HidListCommand::List(IHidBus& bus, const std::string& where, std::ostream& out,
                         std::ostream& err) {
    std::vector<std::string> paths;
    if (!bus.TryEnumeratePaths(paths)) {
        err << "q208ctl: cannot read " << where << ": no such folder or no access\n";
        return 1;
    }
    if (paths.empty()) out << "no HID devices in " << where << '\n';
    for (const std::string& path : paths) {
        // The descriptor is readable without access to the node itself.
        const auto descriptor = HidReportDescriptor::Parse(bus.ReportDescriptor(path));
        const size_t index = HidPath::CollectionIndex(path);
        if (!descriptor || index >= descriptor->Collections().size()) continue;  // gone meanwhile
        const HidCaps& caps = descriptor->Collections()[index].Caps();
        char line[96];
        std::snprintf(line, sizeof line, " usage_page=0x%04x usage=0x%04x in=%u out=%u feature=%u",
                      caps.usagePage, caps.usage, caps.inputReportByteLength,
                      caps.outputReportByteLength, caps.featureReportByteLength);
        out << path << line << '\n';
    }
    return 0;
}

}  // namespace q208

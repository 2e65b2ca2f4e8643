#pragma once

#include <map>
#include <string>
#include <vector>

namespace q208 {

class ICtlDeviceHost;

// The command line of q208ctl once parsed: the options every command shares, the
// command's own valued options and its plain arguments.
struct CtlOptions {
    std::string command;
    bool simulate = false;
    std::string simulateList;  // --simulate=LIST; empty for the default set
    std::string simScript;     // --sim-script FILE
    bool trace = false;
    std::string device;        // --device NAME
    int slot = -1;             // --slot N
    bool direct = false;       // --direct: beside a running q208 instead of through it
    std::map<std::string, std::string> values;  // e.g. "--sysfs" → ROOT
    std::vector<std::string> arguments;
    // The command line as given, for the running q208 that executes a device command.
    std::vector<std::string> commandLine;
    // Set while the running q208 executes the command (see CtlRunningCopy).
    ICtlDeviceHost* host = nullptr;

    std::string Value(const std::string& option, const std::string& fallback = {}) const {
        auto it = values.find(option);
        return it == values.end() ? fallback : it->second;
    }
    bool Has(const std::string& option) const { return values.count(option) != 0; }
};

}  // namespace q208

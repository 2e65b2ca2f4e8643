#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl's commands by name. A command declares the valued options it takes beyond the
// common ones (--simulate[=LIST], --trace, --device NAME, --slot N); the table parses the
// command line, answers a bad one with its reason and a pointer to --help, and runs the
// handler.
class CtlCommandTable {
public:
    using Handler = std::function<int(const CtlOptions&, std::ostream& out, std::ostream& err)>;
    // A handler that finds its arguments wrong writes the reason to `err` and returns this;
    // Run then adds the pointer to --help and exits 1.
    static constexpr int kUsageError = -1;
    static constexpr const char* kHelpPointer = "Run 'q208ctl --help' for the full usage.";
    struct Command {
        std::string name;
        std::string synopsis;  // the options after the name, for the usage text
        std::string summary;
        std::vector<std::string> valueOptions;  // e.g. {"--sysfs"}
        Handler handler;
    };

    // The table with every command of q208ctl.
    static CtlCommandTable Standard();

    void Add(Command command);
    // Exit code: the handler's, 1 on a bad command line (the full usage only when there are
    // no arguments at all), 0 for --help. Device commands exit 2 when the device fails.
    // With `host` the running q208 executes the command for q208ctl (device commands use
    // its channels).
    int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            ICtlDeviceHost* host = nullptr) const;
    void PrintUsage(std::ostream& to) const;
    static void PrintHelpPointer(std::ostream& to);

private:
    const Command* Find(const std::string& name) const;
    // False (with the reason in `error`) when the line does not parse.
    bool Parse(const std::vector<std::string>& args, CtlOptions& options, std::string& error) const;

    std::vector<Command> commands_;
};

}  // namespace q208

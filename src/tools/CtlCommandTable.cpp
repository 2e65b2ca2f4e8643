#include "tools/CtlCommandTable.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "sim/SimControl.h"
#include "sim/SimVerbs.h"
#include "tools/AssignCommand.h"
#include "tools/DoctorCommand.h"
#include "tools/HidListCommand.h"
#include "tools/KeyboardCommands.h"
#include "tools/MacroCommands.h"
#include "tools/ProfileCommands.h"
#include "tools/MouseCommands.h"
#include "tools/HeadsetCommands.h"
#include "tools/MousePadCommands.h"
#include "tools/MusicCommand.h"
#include "tools/SyncCommand.h"
#include "tools/ProtocolCommands.h"
#include "tools/SendCommand.h"
#include "tools/ShootCommands.h"
#include "tools/SimCommand.h"

namespace q208 {
namespace {

constexpr const char* kCommonSynopsis =
    "[--simulate[=LIST]] [--sim-script FILE] [--trace] [--direct] [--device NAME] [--slot N]";

std::string SimVerbsSynopsis() {
    std::istringstream lines(sim::SimVerbs::Synopsis());
    std::string text;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("KIND:", 0) != 0) text += "  sim " + line + '\n';
    }
    for (const char* line : sim::kSimWindowVerbSynopsis) text += std::string("  sim ") + line + '\n';
    return text;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool ParseSlot(const std::string& text, int& slot) {
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    slot = std::atoi(text.c_str());
    return true;
}

}  // namespace

CtlCommandTable CtlCommandTable::Standard() {
    CtlCommandTable table;
    table.Add(Command{"hid-list", "[--sysfs ROOT]",
                      "list the HID top-level collections with their usage and report lengths",
                      {"--sysfs"}, HidListCommand::Run});
    ProtocolCommands::AddTo(table);
    table.Add(Command{"doctor", "[rule] [--sysfs ROOT] [--dev DIR] [--rules-root ROOT]",
                      "our devices' hidraw nodes, whether this user can open them, the udev rule, what to do; "
                      "'rule' prints the rule",
                      {"--sysfs", "--dev", "--rules-root"}, DoctorCommand::Run});
    table.Add(Command{"send", "NAME [WPARAM [LPARAM]]",
                      "send a registered message to the running program (numbers decimal or 0x hex)",
                      {}, SendCommand::Run});
    table.Add(Command{"sim", "plug|unplug|link|unlink|state|input|set|fault KIND [ARGUMENTS]",
                      "drive and observe the emulated devices of a q208 running with --simulate (see 'sim' below)",
                      {}, SimCommand::Run});
    KeyboardCommands::AddTo(table);
    ProfileCommands::AddTo(table);
    MouseCommands::AddTo(table);
    AssignCommand::AddTo(table);
    MousePadCommands::AddTo(table);
    ShootCommands::AddTo(table);
    MacroCommands::AddTo(table);
    HeadsetCommands::AddTo(table);
    MusicCommand::AddTo(table);
    SyncCommand::AddTo(table);
    return table;
}

void CtlCommandTable::Add(Command command) { commands_.push_back(std::move(command)); }

const CtlCommandTable::Command* CtlCommandTable::Find(const std::string& name) const {
    for (const Command& command : commands_) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

void CtlCommandTable::PrintUsage(std::ostream& to) const {
    to << "usage: q208ctl " << kCommonSynopsis << " COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const Command& command : commands_) {
        to << "  " << command.name;
        if (!command.synopsis.empty()) to << ' ' << command.synopsis;
        to << "\n      " << command.summary << '\n';
    }
    to << "\noptions:\n"
       << "  --simulate[=LIST]  emulated devices instead of the machine's; LIST is a comma list of\n"
       << "                     keyboard, mouse, mousepad, headset, receiver (the receiver with its\n"
       << "                     keyboard and mouse linked); default keyboard,receiver,mousepad,headset\n"
       << "  --sim-script FILE  with --simulate: emulator verbs, one a line, applied before the command;\n"
       << "                     '@N VERB' once the devices have received N reports, '@end VERB' after\n"
       << "                     the command; '#' starts a comment\n"
       << "  --trace            print every report on stderr as it crosses the channel:\n"
       << "                     '> ' and the 64 bytes sent, '< ' and the 64 bytes received, in hex\n"
       << "  --device NAME      the device to talk to: keyboard, mouse, mousepad, headset,\n"
       << "                     receiver-keyboard, receiver-mouse\n"
       << "  --slot N           the device of supported-interface slot N (0-12, see 'list')\n"
       << "  without --device and --slot: the first primary interface found in slot order\n"
       << "  --direct           open the device here even while q208 runs (device commands\n"
       << "                     otherwise go through the running q208, which owns the device)\n"
       << "\nexit codes: 0 done; 1 bad command line; 2 no device, the device failed\n"
       << "('error: OPERATION: result CODE (MEANING)' on stderr), or a running q208 that does not\n"
       << "answer; 3 no running q208 found (send, sim)\n"
       << "\nsim verbs (KIND: keyboard, receiver-keyboard, mouse, receiver-mouse, mousepad, headset, receiver):\n"
       << SimVerbsSynopsis();
}

bool CtlCommandTable::Parse(const std::vector<std::string>& args, CtlOptions& options,
                            std::string& error) const {
    const Command* command = nullptr;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto takeValue = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = "option " + arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--simulate") {
            options.simulate = true;
        } else if (StartsWith(arg, "--simulate=")) {
            options.simulate = true;
            options.simulateList = arg.substr(11);
        } else if (arg == "--sim-script") {
            if (!takeValue(options.simScript)) return false;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--direct") {
            options.direct = true;
        } else if (arg == "--device") {
            if (!takeValue(options.device)) return false;
        } else if (arg == "--slot") {
            std::string text;
            if (!takeValue(text)) return false;
            if (!ParseSlot(text, options.slot)) {
                error = "bad slot number '" + text + "'";
                return false;
            }
        } else if (StartsWith(arg, "-")) {
            if (!command || std::find(command->valueOptions.begin(), command->valueOptions.end(), arg) ==
                                command->valueOptions.end()) {
                error = "unknown option " + arg;
                return false;
            }
            if (!takeValue(options.values[arg])) return false;
        } else if (!command) {
            command = Find(arg);
            if (!command) {
                error = "unknown command '" + arg + "'";
                return false;
            }
            options.command = arg;
        } else {
            options.arguments.push_back(arg);
        }
    }
    if (!command) {
        error = "no command given";
        return false;
    }
    return true;
}

// A mistake gets its one-line reason and a pointer to the usage, which would bury it.
int CtlCommandTable::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         ICtlDeviceHost* host) const {
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        PrintUsage(out);
        return 0;
    }
    if (args.empty()) {
        PrintUsage(err);
        return 1;
    }
    CtlOptions options;
    std::string error;
    if (!Parse(args, options, error)) {
        err << "q208ctl: " << error << '\n';
        PrintHelpPointer(err);
        return 1;
    }
    options.commandLine = args;
    options.host = host;
    const int code = Find(options.command)->handler(options, out, err);
    if (code != kUsageError) return code;
    PrintHelpPointer(err);
    return 1;
}

void CtlCommandTable::PrintHelpPointer(std::ostream& to) { to << kHelpPointer << '\n'; }

}  // namespace q208

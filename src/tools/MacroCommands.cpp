#include "tools/MacroCommands.h"

#include <charconv>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "profile/MacroAssignments.h"
#include "profile/MacroStore.h"
#include "profile/ProfilePaths.h"
#include "tools/CtlMessageText.h"

namespace q208 {

namespace {

constexpr int kExitRefused = 2;

struct DeviceFolder {
    std::string_view device;
    const char* folder;
    int kind;
};
constexpr DeviceFolder kDeviceFolders[] = {
    {"keyboard", kKeyboardFolder, 1},
    {"receiver-keyboard", kKeyboardFolder, 1},
    {"mouse", kMouseFolder, 2},
    {"receiver-mouse", kMouseFolder, 2},
};

struct Context {
    MacroStore& store;
    const DeviceFolder& device;
    const std::vector<std::string>& args;  // after the verb
    std::ostream& out;
    std::ostream& err;
};

int Refuse(const Context& c, MacroResult result) {
    switch (result) {
        case MacroResult::AtLimit: c.err << CtlMessageText("message_text_30") << '\n'; break;
        case MacroResult::NameEmpty: c.err << CtlMessageText("macro_name_empty") << '\n'; break;
        case MacroResult::NameTaken: c.err << CtlMessageText("macro_name_taken") << '\n'; break;
        case MacroResult::BadFile: c.err << CtlMessageText("macro_import_bad") << '\n'; break;
        case MacroResult::NoMacro: c.err << "error: there is no such macro\n"; break;
        default: c.err << CtlMessageText("macro_write_failed") << " (" << c.store.Folder().string() << ")\n"; break;
    }
    return kExitRefused;
}

std::string Describe(const MacroStore& store, int index) {
    const auto entries = store.List();
    if (index < 0 || index >= static_cast<int>(entries.size())) return std::to_string(index);
    return std::to_string(index) + '\t' + entries[index].name + '\t' + entries[index].guid;
}

// A name (letter case aside) first, then an index.
int FindMacro(const Context& c, const std::string& name) {
    const auto entries = c.store.List();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (MacroStore::SameName(entries[i].name, name)) return static_cast<int>(i);
    }
    int index = -1;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), index);
    if (ec == std::errc{} && end == name.data() + name.size() && index >= 0 && index < static_cast<int>(entries.size()))
        return index;
    c.err << "error: there is no macro " << name << '\n';
    return -1;
}

int List(const Context& c) {
    const auto entries = c.store.List();
    for (size_t i = 0; i < entries.size(); ++i) c.out << Describe(c.store, static_cast<int>(i)) << '\n';
    return 0;
}

int Show(const Context& c) {
    const int index = FindMacro(c, c.args[0]);
    if (index < 0) return kExitRefused;
    c.out << Describe(c.store, index) << '\n';
    int row = 0;
    for (const MacroEvent& event : c.store.LoadMacroEvents(index)) {
        c.out << row++ << '\t' << (event.down ? "down" : "up") << "\ttype " << event.type << "\tbutton " << event.button
              << "\tdelay " << event.delay << '\n';
    }
    return 0;
}

int Create(const Context& c) {
    int added = -1;
    const MacroResult result = c.store.Create(&added);
    if (result != MacroResult::Done) return Refuse(c, result);
    c.out << "created " << Describe(c.store, added) << '\n';
    return 0;
}

int Import(const Context& c) {
    int added = -1;
    const MacroResult result = c.store.Import(c.args[0], &added);
    if (result != MacroResult::Done) return Refuse(c, result);
    c.out << "imported " << Describe(c.store, added) << '\n';
    return 0;
}

int Export(const Context& c) {
    const int index = FindMacro(c, c.args[0]);
    if (index < 0) return kExitRefused;
    if (const MacroResult result = c.store.Export(index, c.args[1]); result != MacroResult::Done) return Refuse(c, result);
    c.out << "exported " << Describe(c.store, index) << " to " << c.args[1] << '\n';
    return 0;
}

int Rename(const Context& c) {
    const int index = FindMacro(c, c.args[0]);
    if (index < 0) return kExitRefused;
    if (const MacroResult result = c.store.Rename(index, c.args[1]); result != MacroResult::Done) return Refuse(c, result);
    c.out << "renamed " << Describe(c.store, index) << '\n';
    return 0;
}

int Delete(const Context& c) {
    const int index = FindMacro(c, c.args[0]);
    if (index < 0) return kExitRefused;
    const std::string described = Describe(c.store, index);
    const MacroProfileChanges changes = MacroAssignments::RenumberDeviceProfiles(
        DeviceUserFolder(c.device.folder), DefaultProfileFile(c.device.folder), c.device.kind, index);
    if (!changes.failed.empty()) {
        c.err << CtlMessageText("macro_write_failed") << " (" << changes.failed.front().string() << ")\n";
        return kExitRefused;
    }
    if (const MacroResult result = c.store.Delete(index); result != MacroResult::Done) return Refuse(c, result);
    c.out << "deleted " << described << "; " << changes.changed.size() << " profile(s) renumbered\n";
    return 0;
}

struct Verb {
    std::string_view name;
    size_t arguments;
    bool whileRunning;  // reads only
    std::function<int(const Context&)> run;
};

const std::vector<Verb>& Verbs() {
    static const std::vector<Verb> verbs{
        {"list", 0, true, List},      {"show", 1, true, Show},       {"create", 0, false, Create},
        {"import", 1, false, Import}, {"export", 2, false, Export},  {"rename", 2, false, Rename},
        {"delete", 1, false, Delete},
    };
    return verbs;
}

int UsageError(std::ostream& err, const std::string& reason) {
    err << "q208ctl macro: " << reason << '\n';
    return CtlCommandTable::kUsageError;
}

}  // namespace

void MacroCommands::AddTo(CtlCommandTable& table) {
    table.Add({"macro", "list|show NAME|create|import FILE|export NAME FILE|rename OLD NEW|delete NAME",
               "the macros of --device (keyboard without it, or mouse); delete renumbers the macro keys of every "
               "profile; while q208 runs, only list and show",
               {},
               Run});
}

int MacroCommands::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.empty()) return UsageError(err, "which operation?");
    const std::string& verbName = options.arguments[0];
    const Verb* verb = nullptr;
    for (const Verb& candidate : Verbs()) {
        if (candidate.name == verbName) verb = &candidate;
    }
    if (!verb) return UsageError(err, "unknown operation '" + verbName + "'");
    if (options.arguments.size() != verb->arguments + 1)
        return UsageError(err, verbName + " takes " + std::to_string(verb->arguments) + " argument(s)");
    const std::string device = options.device.empty() ? "keyboard" : options.device;
    const DeviceFolder* folder = nullptr;
    for (const DeviceFolder& row : kDeviceFolders) {
        if (row.device == device) folder = &row;
    }
    if (!folder) return UsageError(err, "no macros for device '" + device + "' (keyboard or mouse)");
    if (!verb->whileRunning && FindWindow(kMainWindowClass, kMainWindowTitle).has_value()) {
        err << "error: q208 is running and keeps these macros; " << verbName
            << " it on q208's macro page, or quit q208 first\n";
        return kExitRefused;
    }
    MacroStore store(DeviceUserFolder(folder->folder));
    const std::vector<std::string> args(options.arguments.begin() + 1, options.arguments.end());
    return verb->run(Context{store, *folder, args, out, err});
}

}  // namespace q208

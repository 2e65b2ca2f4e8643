#include "tools/ProfileCommands.h"

#include <charconv>
#include <functional>
#include <ostream>
#include <string>

#include "device/DeviceResult.h"
#include "devices/keyboard/KeyboardKeyMapWriter.h"
#include "devices/keyboard/KeyboardLightingRecord.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "devices/lighting/KeyboardEffectList.h"
#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "profile/CKeyboardProfiledata.h"
#include "profile/ProfileList.h"
#include "profile/ProfilePaths.h"
#include "tools/CtlBusSession.h"
#include "tools/CtlDeviceSelector.h"
#include "tools/CtlDeviceSession.h"
#include "tools/CtlMessageText.h"
#include "tools/SupportedDeviceFinder.h"

namespace q208 {

namespace {

constexpr int kExitRefused = 2;
constexpr int kKeyboardKind = 1;
constexpr int kSendTimeoutMs = 5000;

// The profile folder and kind of each device name.
struct DeviceFolder {
    std::string_view device;
    const char* folder;
    int kind;
};
constexpr DeviceFolder kDeviceFolders[] = {
    {"keyboard", kKeyboardFolder, 1}, {"receiver-keyboard", kKeyboardFolder, 1}, {"mouse", kMouseFolder, 2},
    {"receiver-mouse", kMouseFolder, 2}, {"mousepad", kMousePadFolder, 3},     {"headset", kHeadsetFolder, 7},
};

struct Context {
    const CtlOptions& options;
    ProfileList& list;
    const std::string& argument;
    bool q208Running;
    std::ostream& out;
    std::ostream& err;
};

// A refusal in the user's language; failures without a message of their own in plain words.
int Refuse(const Context& c, ProfileResult result, bool import = false) {
    const std::string_view key = ProfileResultMessageKey(result, import);
    if (!key.empty()) {
        c.err << CtlMessageText(key) << '\n';
    } else if (result == ProfileResult::NoProfile) {
        c.err << "error: no profile to work on (the last profile cannot be deleted)\n";
    } else {
        c.err << "error: the profile files could not be written in " << c.list.Folder().string() << '\n';
    }
    return kExitRefused;
}

int Report(const Context& c, ProfileResult result, const std::string& done, bool import = false) {
    if (result != ProfileResult::Done) return Refuse(c, result, import);
    c.out << done << '\n';
    return 0;
}

std::string Describe(const ProfileList& list, int index) {
    return std::to_string(index) + '\t' + list.NameAt(index) + '\t' + list.IdAt(index);
}

int List(const Context& c) {
    for (int i = 0; i < c.list.Count(); ++i) {
        c.out << i << '\t' << (i == c.list.Selected() ? '*' : ' ') << '\t' << c.list.NameAt(i) << '\t' << c.list.IdAt(i)
              << '\n';
    }
    return 0;
}

int Create(const Context& c) {
    int added = -1;
    const ProfileResult result = c.list.Create(&added);
    return Report(c, result, result == ProfileResult::Done ? "created " + Describe(c.list, added) : "");
}

int Copy(const Context& c) {
    int added = -1;
    const ProfileResult result = c.list.Copy(&added);
    return Report(c, result, result == ProfileResult::Done ? "created " + Describe(c.list, added) : "");
}

// Each operation runs before its report is composed: the report shows the list after it.
int Rename(const Context& c) {
    const ProfileResult result = c.list.Rename(c.argument);
    return Report(c, result, "renamed " + Describe(c.list, c.list.Selected()));
}

int Delete(const Context& c) {
    const ProfileResult result = c.list.Delete();
    return Report(c, result, "deleted; selected " + Describe(c.list, c.list.Selected()));
}

int Reset(const Context& c) {
    const ProfileResult result = c.list.Reset();
    return Report(c, result, "reset " + Describe(c.list, c.list.Selected()));
}

int Import(const Context& c) {
    int added = -1;
    const ProfileResult result = c.list.Import(c.argument, ProfileList::ImportName(c.argument), &added);
    return Report(c, result, result == ProfileResult::Done ? "imported " + Describe(c.list, added) : "", true);
}

int Export(const Context& c) { return Report(c, c.list.Export(c.argument), "exported to " + c.argument); }

// The selected profile into an attached keyboard as the program writes it on a switch: the
// key map, then the lighting of the active entry. No keyboard: nothing to write.
int WriteToKeyboard(const Context& c) {
    CtlOptions options = c.options;
    if (options.device.empty() && options.slot < 0) options.device = "keyboard";
    CtlBusSession bus;
    std::string error;
    if (!bus.Start(options, error, &c.out, &c.err)) {
        c.err << "q208ctl: " << error << '\n';
        return kExitRefused;
    }
    SupportedDeviceFinder finder(bus.Bus());
    CtlDeviceTarget target;
    if (CtlDeviceSelector::Select(options, finder.Scan(), target, error) != CtlDeviceSelector::Outcome::Selected) {
        c.out << "no " << options.device << " attached; it takes the profile when q208 next switches to it\n";
        return 0;
    }
    CtlDeviceSession session(bus.Bus(), target, options.trace ? &c.err : nullptr);
    if (!session.Open()) {
        c.err << "error: open " << target.name << ": cannot open " << target.path << " for reading and writing\n";
        return kExitRefused;
    }
    CKeyboardProfiledata profile;
    profile.SetDefaultPath(DefaultProfileFile(kKeyboardFolder));
    profile.SetPath(c.list.DocumentPath(c.list.Selected()));
    profile.LoadSection(profile.GetPath());
    const auto failed = [&](const char* what, int result) {
        c.err << "error: " << what << ": result " << result << " (" << DescribeDeviceResult(result) << ")\n";
        return kExitRefused;
    };
    KeyboardMemory memory;
    if (const int r = memory.ReadAll(session.Commands(), session.Channel()); r != kResultOk) return failed("read key map", r);
    const auto keys = profile.GetKeyList();
    if (const int r = KeyboardKeyMapWriter::Write(session.Commands(), session.Channel(), memory, 0, keys); r != kResultOk)
        return failed("write key map", r);
    KeyboardLightingRecord::Bytes record{};
    uint8_t entry = 0;
    if (const int r = KeyboardLightingRecord::Read(session.Commands(), session.Channel(), record, entry); r != kResultOk)
        return failed("read lighting", r);
    KeyboardEffectList effects;
    effects.Load(KeyboardEffectList::DefaultFile(), KeyboardEffectList::kKeyboardListIndex);
    record = KeyboardLightingRecord::Encode(profile.GetLightInfo(), profile.GetSystemStages(), effects, entry);
    if (const int r = KeyboardLightingRecord::Write(session.Commands(), session.Channel(), entry, record); r != kResultOk)
        return failed("write lighting", r);
    c.out << "written to " << target.name << '\n';
    return 0;
}

int Select(const Context& c, int kind) {
    int index = -1;
    const auto [end, ec] = std::from_chars(c.argument.data(), c.argument.data() + c.argument.size(), index);
    if (ec != std::errc{} || end != c.argument.data() + c.argument.size() || index < 0 || index >= c.list.Count()) {
        c.err << "error: there is no profile " << c.argument << " (0 to " << c.list.Count() - 1 << ")\n";
        return kExitRefused;
    }
    if (c.q208Running) {
        // q208 selects it in its panel and switches the device, as for the user's choice.
        const auto window = FindWindow(kMainWindowClass, kMainWindowTitle);
        const SendResult sent = window ? SendMessageTo(*window, kProfileSelectMessageName, static_cast<uint64_t>(kind),
                                                       index, kSendTimeoutMs)
                                       : SendResult{};
        if (!sent.Delivered()) {
            c.err << "error: q208 did not take the selection: " << SendStatusText(sent.status) << '\n';
            return kExitRefused;
        }
        c.out << "selected " << Describe(c.list, index) << " in q208\n";
        return 0;
    }
    if (const ProfileResult result = c.list.Select(index); result != ProfileResult::Done) return Refuse(c, result);
    c.out << "selected " << Describe(c.list, index) << '\n';
    return kind == kKeyboardKind ? WriteToKeyboard(c) : 0;
}

struct Verb {
    std::string_view name;
    bool takesArgument;
    // Reads only, or goes through q208: allowed while q208 runs.
    bool whileRunning;
    std::function<int(const Context&, int kind)> run;
};

const std::vector<Verb>& Verbs() {
    const auto plain = [](int (*fn)(const Context&)) { return [fn](const Context& c, int) { return fn(c); }; };
    static const std::vector<Verb> verbs{
        {"list", false, true, plain(List)},       {"create", false, false, plain(Create)},
        {"copy", false, false, plain(Copy)},      {"rename", true, false, plain(Rename)},
        {"delete", false, false, plain(Delete)},  {"reset", false, false, plain(Reset)},
        {"import", true, false, plain(Import)},   {"export", true, false, plain(Export)},
        {"select", true, true, Select},
    };
    return verbs;
}

int UsageError(std::ostream& err, const std::string& reason) {
    err << "q208ctl profile: " << reason << '\n';
    return CtlCommandTable::kUsageError;
}

}  // namespace

void ProfileCommands::AddTo(CtlCommandTable& table) {
    table.Add({"profile", "list|create|copy|rename NAME|delete|reset|import FILE|export FILE|select INDEX",
               "the profiles of --device (keyboard without it) in the user data folder; select also writes an "
               "attached keyboard; while q208 runs, select goes through it and the changes are refused",
               {},
               Run});
}

int ProfileCommands::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.empty()) return UsageError(err, "which operation?");
    const std::string& verbName = options.arguments[0];
    const Verb* verb = nullptr;
    for (const Verb& candidate : Verbs()) {
        if (candidate.name == verbName) verb = &candidate;
    }
    if (!verb) return UsageError(err, "unknown operation '" + verbName + "'");
    if (options.arguments.size() != (verb->takesArgument ? 2u : 1u))
        return UsageError(err, verbName + (verb->takesArgument ? " takes one argument" : " takes no argument"));
    const std::string device = options.device.empty() ? "keyboard" : options.device;
    const DeviceFolder* folder = nullptr;
    for (const DeviceFolder& row : kDeviceFolders) {
        if (row.device == device) folder = &row;
    }
    if (!folder) return UsageError(err, "no profiles for device '" + device + "'");

    const bool running = FindWindow(kMainWindowClass, kMainWindowTitle).has_value();
    if (running && !verb->whileRunning) {
        err << "error: q208 is running and keeps this list; " << verbName
            << " it in q208's profile panel, or quit q208 first\n";
        return kExitRefused;
    }
    ProfileList list(DeviceUserFolder(folder->folder), DefaultProfileFile(folder->folder), folder->kind);
    // While q208 runs its panel owns the file: read it, never write it.
    if (!(running ? list.Peek() : list.Load())) {
        err << "error: no profile list in " << list.Folder().string() << '\n';
        return kExitRefused;
    }
    const std::string argument = verb->takesArgument ? options.arguments[1] : std::string();
    return verb->run(Context{options, list, argument, running, out, err}, folder->kind);
}

}  // namespace q208

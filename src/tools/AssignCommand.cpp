#include "tools/AssignCommand.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "device/DeviceResult.h"
#include "device/DeviceSlot.h"
#include "devices/keyboard/KeyboardKeyMapWriter.h"
#include "devices/keyboard/KeyboardLayout.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "devices/mouse/MouseController.h"
#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "profile/CKeyboardProfiledata.h"
#include "profile/CMouseProfiledata.h"
#include "profile/ProfileList.h"
#include "profile/ProfilePaths.h"
#include "tools/AssignArguments.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlDeviceSelector.h"
#include "tools/CtlDeviceSession.h"

namespace q208 {
namespace {

using namespace ctl;

constexpr const char* kDefaultDevice = "keyboard";
constexpr int kKeyMapBank = 0;

std::string CodeText(const KeyAssignmentHalf& half) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%02x,0x%02x,0x%02x", half.type, half.param1, half.param2);
    return text;
}

// The keyboard's key-table row of a key of the assignment key table: the row whose factory
// code is that key's function.
std::optional<int> KeyboardRowOf(const std::string& name) {
    const auto position = keytables::FindKeyByName(name);
    if (!position) return std::nullopt;
    const KeyFunction& key = keytables::KeyTable()[*position];
    const KeyCode code{key.kind, key.first, key.second};
    for (int row = 0; row < kKeyTableRows; ++row) {
        if (KeyboardKeyTable[row].hasKey && KeyboardKeyTable[row].code == code) return row;
    }
    return std::nullopt;
}

// Builds the record from the arguments over the key's current one; false with the reason.
bool BuildRecord(const std::vector<std::string>& arguments, const KeyAssignmentRecord& key, int macroCount,
                 KeyAssignmentHalf& record, std::ostream& err) {
    KeyAssignment model;
    model.Show(key.current, key.defaults, macroCount);
    KeyAssignment::Form form;
    std::string error;
    if (!AssignArguments::Parse(arguments, model, form, error)) {
        err << "q208ctl: " << error << '\n';
        return false;
    }
    if (form.category == static_cast<int>(KeyCategory::Macro) && form.macro >= macroCount) {
        err << "error: macro " << form.macro << " does not exist (" << macroCount << " macros in macro.config)\n";
        return false;
    }
    record = model.Build(form, macroCount);
    // The panel's first category builds the factory function; "disabled" is what it says.
    if (arguments[0] == "disabled") record.type = record.param1 = record.param2 = keykind::kDisabled;
    return true;
}

int AssignKeyboardKey(CtlDeviceSession& session, const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
    const auto row = KeyboardRowOf(args[0]);
    if (!row) {
        err << "error: the keyboard has no key named '" << args[0] << "'\n";
        return kExitFailed;
    }
    KeyboardMemory memory;
    if (const int r = memory.ReadAll(session.Commands(), session.Channel()); r != kResultOk)
        return DeviceFailure(err, "read key map", r);
    CKeyboardProfiledata profile;
    profile.SetDefaultPath(DefaultProfileFile(kKeyboardFolder));
    ProfileList list(DeviceUserFolder(kKeyboardFolder), DefaultProfileFile(kKeyboardFolder), kKindKeyboard);
    const std::filesystem::path path = list.Load() ? ProfileFile(kKeyboardFolder, list.SelectedId()) : std::filesystem::path();
    if (!path.empty()) profile.SetPath(path);
    profile.LoadSection(path.empty() ? profile.GetDefaultPath() : path);
    std::vector<KeyAssignmentRecord> keys = profile.GetKeyList();
    memory.MapAssignedRows(keys);
    const uint8_t deviceKey = memory.TableToKey(*row);
    if (deviceKey == kNoKey) {
        err << "error: key '" << args[0] << "' (row " << *row << ") is not on this keyboard\n";
        return kExitFailed;
    }
    if (*row >= static_cast<int>(keys.size())) {
        err << "error: the profile has no assignment for row " << *row << '\n';
        return kExitFailed;
    }
    KeyAssignmentHalf record;
    if (!BuildRecord({args.begin() + 1, args.end()}, keys[*row], MouseController::MacroCount(DeviceUserFolder(kKeyboardFolder)),
                     record, err))
        return kExitFailed;
    record.index = static_cast<uint16_t>(*row);
    keys[*row].current = record;
    profile.SetKeyList(keys);
    if (!path.empty() && !profile.Save()) {
        err << "error: the profile " << path.string() << " could not be saved\n";
        return kExitFailed;
    }
    if (const int r = KeyboardKeyMapWriter::Write(session.Commands(), session.Channel(), memory, kKeyMapBank, keys);
        r != kResultOk)
        return DeviceFailure(err, "write key map", r);
    out << "key " << args[0] << " (row " << *row << ", device key " << int(deviceKey) << ") = " << CodeText(record) << '\n';
    return 0;
}

int AssignMouseButton(CtlDeviceSession& session, const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
    const auto function = ParseNumber(args[0], 0, MouseButtonMap::kFunctionCount - 1);
    if (!function) {
        err << "error: a mouse button is its function number 0 … 10, got '" << args[0] << "'\n";
        return kExitFailed;
    }
    CMouseProfiledata profile;
    profile.SetDefaultPath(DefaultProfileFile(kMouseFolder));
    MouseController mouse(session.Channel(), profile);
    std::string profileId;
    const auto path = MouseController::SelectedProfile(profileId);
    if (!path.empty()) profile.SetPath(path);
    mouse.LoadProfile(path);
    if (const int r = mouse.ReadDevice(); r != kResultOk) return DeviceFailure(err, "read key map", r);
    if (!mouse.Memory().Buttons().HasButton(*function)) {
        err << "error: function " << *function << " has no button on this mouse\n";
        return kExitFailed;
    }
    KeyAssignmentRecord key;
    if (*function < static_cast<int>(mouse.Buttons().size())) {
        key = mouse.Buttons()[*function];
    } else {
        const auto& code = MouseButtonMap::DefaultCodes()[*function];
        key.current = key.defaults = {static_cast<uint16_t>(*function), code[0], code[1], code[2], 0};
    }
    const int macroCount = MouseController::MacroCount(DeviceUserFolder(kMouseFolder));
    KeyAssignmentHalf record;
    if (!BuildRecord({args.begin() + 1, args.end()}, key, macroCount, record, err)) return kExitFailed;
    mouse.SetButton(*function, {record.type, record.param1, record.param2});
    if (!path.empty() && !profile.Save()) {
        err << "error: the profile " << path.string() << " could not be saved\n";
        return kExitFailed;
    }
    if (const int r = mouse.WriteKeyMapToDevice(kKeyMapBank, macroCount); r != kResultOk)
        return DeviceFailure(err, "write key map", r);
    out << "button " << *function << " (device key " << int(mouse.Memory().Buttons().ButtonOf(*function))
        << ") = " << CodeText(record) << '\n';
    return 0;
}

}  // namespace

void AssignCommand::AddTo(CtlCommandTable& table) {
    table.Add({"assign", "KEY CATEGORY [ARGUMENTS]",
               "give a keyboard key (KEY a key name: A, F1, Esc, Num 1, …) or a mouse button function (0-10) a new "
               "function and store it in the profile; CATEGORY: disabled, mouse BUTTON, move DIR DELAY SPEED COUNT, "
               "wheel up|down DELAY SPEED COUNT, dpi 1-3, fire INTERVAL COUNT, key [ctrl+|shift+|alt+|win+]KEY, "
               "media NAME, system power|sleep|wake, macro INDEX MODE [TIMES], gun 0-3, combo NAME, default",
               {}, Run});
}

int AssignCommand::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() < 2) return UsageError(err, "assign takes KEY CATEGORY [ARGUMENTS]");
    // The arguments are checked before the device is opened: a mistake changes nothing.
    {
        KeyAssignment model;
        KeyAssignment::Form form;
        std::string error;
        if (!AssignArguments::Parse({options.arguments.begin() + 1, options.arguments.end()}, model, form, error))
            return UsageError(err, error);
    }
    // A running q208 holds the profile in memory and would write its own copy over ours.
    if (FindWindow(kMainWindowClass, kMainWindowTitle)) {
        err << "error: q208 is running and keeps the profile; assign the key on its page, or quit q208 first\n";
        return kExitFailed;
    }
    return RunOnDevice(options, out, err, kDefaultDevice, {"keyboard", "receiver-keyboard", "mouse", "receiver-mouse"},
                       [&](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
                           const uint16_t kind = session.Target().kind;
                           if (kind == kKindMouse || kind == kKindReceiverMouse)
                               return AssignMouseButton(session, options.arguments, out, err);
                           return AssignKeyboardKey(session, options.arguments, out, err);
                       });
}

}  // namespace q208

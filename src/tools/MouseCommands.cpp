#include "tools/MouseCommands.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "device/DeviceResult.h"
#include "devices/mouse/MouseController.h"
#include "profile/ProfilePaths.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlDeviceSession.h"

namespace q208 {
namespace {

using namespace ctl;

constexpr const char* kDefaultDevice = "mouse";

// A mouse, its profile and the logic the page uses, for one command.
struct MouseSession {
    CMouseProfiledata profile;
    MouseController controller;
    explicit MouseSession(CDeviceChannel& channel) : controller(channel, profile) {
        profile.SetDefaultPath(DefaultProfileFile(kMouseFolder));
        controller.LoadModes(KeyboardEffectList::DefaultFile());
    }
};

using MouseBody = std::function<int(MouseSession&, std::ostream& out, std::ostream& err)>;

int RunOnMouse(const CtlOptions& options, std::ostream& out, std::ostream& err, const MouseBody& body) {
    return RunOnDevice(options, out, err, kDefaultDevice, {"mouse", "receiver-mouse"},
                       [&body](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
                           MouseSession mouse(session.Channel());
                           return body(mouse, out, err);
                       });
}

void PrintBlock(std::ostream& out, MouseController& c) {
    const MouseSettingsBlock::Decoded d = MouseSettingsBlock::Decode(c.LastBlock(), c.Modes());
    const MouseSensor sensor = c.Sensor();
    out << "block " << int(c.BlockNumber()) << '\n'
        << "sensor 0x" << std::hex << sensor.code << std::dec << " step " << int(sensor.step) << " minimum "
        << sensor.minimum << '\n'
        << "mode " << int(d.light.selectItem) << " (code " << int(d.ledCode) << ")\n"
        << "brightness " << int(d.light.light) << '\n'
        << "speed " << int(d.light.speed) << '\n'
        << "direction " << int(d.light.fx) << '\n'
        << "multicolor " << int(d.light.multiColor) << '\n'
        << "rgb " << int(d.light.red) << ',' << int(d.light.green) << ',' << int(d.light.blue) << '\n'
        << "polling " << MouseSettingsBlock::ShownPollingOption(d.pollingIndex) << '\n'
        << "active-stage " << int(d.activeStage) << '\n';
    for (size_t i = 0; i < d.stages.size(); ++i) {
        const DpiStage& s = d.stages[i];
        out << "stage " << i << " on=" << int(s.active) << " step=" << int(s.dpiX[0])
            << " dpi=" << StepToDpi(sensor, s.dpiX[0]) << " rgb=" << int(s.red) << ',' << int(s.green) << ','
            << int(s.blue) << '\n';
    }
    out << "ble-sleep1 " << d.bleSleep1 << '\n'
        << "ble-sleep2 " << d.bleSleep2 << '\n'
        << "dev-sleep1 " << d.deviceSleep1 << '\n'
        << "dev-sleep2 " << d.deviceSleep2 << '\n'
        << "logo " << d.logoMode << '\n';
}

// Reads what the page reads on connecting (information block, settings block into the
// profile), applies the edit, saves the profile, writes the block and shows it read back.
using Edit = std::function<bool(MouseController&, std::ostream& err)>;
int EditSettings(const CtlOptions& options, std::ostream& out, std::ostream& err, const Edit& edit) {
    return RunOnMouse(options, out, err, [&edit](MouseSession& mouse, std::ostream& out, std::ostream& err) {
        MouseController& c = mouse.controller;
        std::string profileId;
        const auto path = MouseController::SelectedProfile(profileId);
        if (!path.empty()) mouse.profile.SetPath(path);
        c.LoadProfile(path);
        if (const int r = c.ReadInfo(); r != kResultOk) return DeviceFailure(err, "read information block", r);
        if (const int r = c.ReadSettingsFromDevice(); r != kResultOk) return DeviceFailure(err, "read settings", r);
        if (!edit(c, err)) return kExitFailed;
        if (!mouse.profile.GetPath().empty() && !mouse.profile.Save()) {
            err << "error: the profile " << mouse.profile.GetPath().string() << " could not be saved\n";
            return kExitFailed;
        }
        if (const int r = c.WriteSettingsToDevice(); r != kResultOk) return DeviceFailure(err, "write settings", r);
        if (const int r = c.ReadSettingsFromDevice(); r != kResultOk) return DeviceFailure(err, "read settings", r);
        PrintBlock(out, c);
        return 0;
    });
}

// "KEY=VALUE" into key and value; false without '='.
bool KeyValue(const std::string& argument, std::string& key, std::string& value) {
    const size_t equals = argument.find('=');
    if (equals == std::string::npos) return false;
    key = argument.substr(0, equals);
    value = argument.substr(equals + 1);
    return true;
}

int SingleNumber(const CtlOptions& options, std::ostream& err, const char* command, int high, int& value) {
    const auto number = options.arguments.size() == 1 ? ParseNumber(options.arguments[0], 0, high) : std::nullopt;
    if (!number) return UsageError(err, std::string(command) + " takes one number 0 … " + std::to_string(high));
    value = *number;
    return 0;
}

}  // namespace

void MouseCommands::AddTo(CtlCommandTable& table) {
    table.Add({"mouse", "", "show the mouse's active settings block, decoded", {}, Show});
    table.Add(
        {"set-dpi", "STAGE=DPI[,STAGE=DPI…]", "set DPI stages (0-6), converted with the mouse's sensor", {}, SetDpi});
    table.Add({"set-stage", "N", "make DPI stage N (0-6) the active one", {}, SetStage});
    table.Add({"set-polling", "N", "set the mouse's polling option N (0-4)", {}, SetPolling});
    table.Add(
        {"set-sleep", "[ble1=M] [ble2=M] [dev1=M] [dev2=M]", "set the mouse's sleep times in minutes", {}, SetSleep});
    table.Add({"set-logo", "N", "set the mouse's logo LED mode", {}, SetLogo});
    table.Add({"set-mouse-lighting",
               "[effect=N] [brightness=B] [speed=S] [direction=D] [multicolor=M] [rgb=R,G,B]",
               "change the mouse's lighting and write its settings block",
               {},
               SetLighting});
    table.Add({"set-button",
               "FUNCTION TYPE,P1,P2",
               "give mouse button function FUNCTION (0-10) the code TYPE,P1,P2",
               {},
               SetButton});
    table.Add({"buttons", "", "show the mouse's function-to-button map and the code of each button", {}, Buttons});
}

int MouseCommands::Show(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (!options.arguments.empty()) return UsageError(err, "mouse takes no arguments");
    return RunOnMouse(options, out, err, [](MouseSession& mouse, std::ostream& out, std::ostream& err) {
        MouseController& c = mouse.controller;
        if (const int r = c.ReadInfo(); r != kResultOk) return DeviceFailure(err, "read information block", r);
        if (const int r = c.ReadSettingsFromDevice(); r != kResultOk) return DeviceFailure(err, "read settings", r);
        PrintBlock(out, c);
        return 0;
    });
}

int MouseCommands::SetDpi(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    std::vector<std::pair<int, int>> changes;
    for (const std::string& argument : options.arguments) {
        for (const std::string& part : Split(argument, ',')) {
            std::string key, value;
            const auto stage =
                KeyValue(part, key, value) ? ParseNumber(key, 0, MouseController::kStageCount - 1) : std::nullopt;
            const auto dpi = stage ? ParseNumber(value, 0, kMaxDpiEdit) : std::nullopt;
            if (!dpi)
                return UsageError(err,
                                  "set-dpi takes STAGE=DPI with STAGE 0 … 6 and DPI 0 … 12800, got '" + part + "'");
            changes.emplace_back(*stage, *dpi);
        }
    }
    if (changes.empty()) return UsageError(err, "set-dpi needs at least one STAGE=DPI");
    return EditSettings(options, out, err, [&changes](MouseController& c, std::ostream&) {
        for (const auto& [stage, dpi] : changes) c.SetStageDpi(stage, dpi);
        return true;
    });
}

int MouseCommands::SetStage(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    int stage = 0;
    if (const int r = SingleNumber(options, err, "set-stage", MouseController::kStageCount - 1, stage); r != 0)
        return r;
    return EditSettings(options, out, err, [stage](MouseController& c, std::ostream&) { return c.SelectStage(stage); });
}

int MouseCommands::SetPolling(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    int option = 0;
    if (const int r = SingleNumber(options, err, "set-polling", MouseSettingsBlock::kPollingOptions - 1, option);
        r != 0)
        return r;
    return EditSettings(options, out, err,
                        [option](MouseController& c, std::ostream&) { return c.SetPolling(option); });
}

int MouseCommands::SetSleep(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    struct Key {
        const char* name;
        MouseController::Sleep which;
    };
    static const Key kKeys[] = {{"ble1", MouseController::Sleep::Ble1},
                                {"ble2", MouseController::Sleep::Ble2},
                                {"dev1", MouseController::Sleep::Device1},
                                {"dev2", MouseController::Sleep::Device2}};
    std::vector<std::pair<MouseController::Sleep, int>> changes;
    for (const std::string& argument : options.arguments) {
        std::string key, value;
        const Key* found = nullptr;
        if (KeyValue(argument, key, value)) {
            for (const Key& k : kKeys) found = key == k.name ? &k : found;
        }
        const auto minutes = found ? ParseNumber(value, 0, 255) : std::nullopt;
        if (!minutes)
            return UsageError(err, "set-sleep takes ble1=M ble2=M dev1=M dev2=M (M 0 … 255), got '" + argument + "'");
        changes.emplace_back(found->which, *minutes);
    }
    if (changes.empty()) return UsageError(err, "set-sleep needs at least one of ble1=M ble2=M dev1=M dev2=M");
    return EditSettings(options, out, err, [&changes](MouseController& c, std::ostream&) {
        for (const auto& [which, minutes] : changes) c.SetSleep(which, minutes);
        return true;
    });
}

int MouseCommands::SetLogo(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    int mode = 0;
    if (const int r = SingleNumber(options, err, "set-logo", 255, mode); r != 0) return r;
    return EditSettings(options, out, err, [mode](MouseController& c, std::ostream&) {
        c.SetLogo(mode);
        return true;
    });
}

int MouseCommands::SetLighting(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    LightingChange change;
    std::string error;
    if (options.arguments.empty()) return UsageError(err, "set-mouse-lighting needs at least one KEY=VALUE");
    if (!ParseLightingChange(options.arguments, change, error)) return UsageError(err, error);
    return EditSettings(options, out, err, [&change](MouseController& c, std::ostream&) {
        LightInfoRecord light = c.Light();
        Apply(change, light);
        c.SetLight(light);
        return true;
    });
}

int MouseCommands::SetButton(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() != 2) return UsageError(err, "set-button takes FUNCTION TYPE,P1,P2");
    const auto function = ParseNumber(options.arguments[0], 0, MouseButtonMap::kFunctionCount - 1);
    if (!function) return UsageError(err, "FUNCTION must be 0 … 10, got '" + options.arguments[0] + "'");
    const auto parts = Split(options.arguments[1], ',');
    MouseButtonMap::Code code{};
    for (size_t i = 0; i < code.size(); ++i) {
        const auto value = parts.size() == 3 ? ParseNumber(parts[i], 0, 255) : std::nullopt;
        if (!value)
            return UsageError(err, "the code is TYPE,P1,P2 with each 0 … 255, got '" + options.arguments[1] + "'");
        code[i] = static_cast<uint8_t>(*value);
    }
    return RunOnMouse(options, out, err, [&](MouseSession& mouse, std::ostream& out, std::ostream& err) {
        MouseController& c = mouse.controller;
        std::string profileId;
        const auto path = MouseController::SelectedProfile(profileId);
        if (!path.empty()) mouse.profile.SetPath(path);
        c.LoadProfile(path);
        if (const int r = c.ReadDevice(); r != kResultOk) return DeviceFailure(err, "read key map", r);
        if (!c.Memory().Buttons().HasButton(*function)) {
            err << "error: function " << *function << " has no button on this mouse\n";
            return kExitFailed;
        }
        const int key = c.Memory().Buttons().ButtonOf(*function);
        c.SetButton(*function, code);
        if (!mouse.profile.GetPath().empty()) mouse.profile.Save();
        const int macros = MouseController::MacroCount(DeviceUserFolder(kMouseFolder));
        if (const int r = c.WriteKeyMapToDevice(0, macros); r != kResultOk)
            return DeviceFailure(err, "write key map", r);
        // What the key map now holds: a macro past the macro list went back to the default.
        const auto written =
            c.Memory().KeyMap().subspan(size_t(key) * MouseButtonMap::kCodeSize, MouseButtonMap::kCodeSize);
        out << "function " << *function << " (button " << key << ") = " << int(written[0]) << ',' << int(written[1])
            << ',' << int(written[2]) << '\n';
        return 0;
    });
}

int MouseCommands::Buttons(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (!options.arguments.empty()) return UsageError(err, "buttons takes no arguments");
    return RunOnMouse(options, out, err, [](MouseSession& mouse, std::ostream& out, std::ostream& err) {
        MouseController& c = mouse.controller;
        if (const int r = c.ReadDevice(); r != kResultOk) return DeviceFailure(err, "read key map", r);
        const auto keyMap = c.Memory().KeyMap();
        for (size_t j = 0; j < MouseButtonMap::kFunctionCount; ++j) {
            out << "function " << j << ' ';
            if (!c.Memory().Buttons().HasButton(j)) {
                out << "none\n";
                continue;
            }
            const size_t key = c.Memory().Buttons().ButtonOf(j);
            out << "button " << key << " code " << int(keyMap[key * 3]) << ',' << int(keyMap[key * 3 + 1]) << ','
                << int(keyMap[key * 3 + 2]) << '\n';
        }
        return 0;
    });
}

}  // namespace q208

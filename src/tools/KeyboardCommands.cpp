#include "tools/KeyboardCommands.h"

#include <charconv>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "device/DeviceResult.h"
#include "devices/keyboard/EffectFrames.h"
#include "devices/lighting/KeyboardEffectList.h"
#include "devices/keyboard/KeyboardKeyMapWriter.h"
#include "devices/keyboard/KeyboardLightingRecord.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "tools/CtlBusSession.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlDeviceSelector.h"
#include "tools/CtlDeviceSession.h"
#include "tools/SupportedDeviceFinder.h"

namespace q208 {
namespace {

using namespace ctl;

constexpr const char* kDefaultDevice = "keyboard";

int RunOnKeyboard(const CtlOptions& options, std::ostream& out, std::ostream& err, const DeviceBody& body) {
    return RunOnDevice(options, out, err, kDefaultDevice, {"keyboard", "receiver-keyboard"}, body);
}

KeyboardEffectList LoadEffects() {
    KeyboardEffectList effects;
    effects.Load(KeyboardEffectList::DefaultFile(), KeyboardEffectList::kKeyboardListIndex);
    return effects;
}

void PrintLighting(std::ostream& out, uint8_t entry, const KeyboardLightingRecord::Bytes& record,
                   const LightInfoRecord& info, const KeyboardSystemRecord& system, const KeyboardEffectList& effects) {
    using R = KeyboardLightingRecord;
    out << "entry " << int(entry) << '\n' << "effect " << int(info.selectItem) << " (code " << int(record[R::kEffectCode]);
    if (info.selectItem < effects.Entries().size()) out << ", " << effects.Entries()[info.selectItem].name;
    out << ")\n"
        << "brightness " << int(info.light) << '\n'
        << "speed " << int(info.speed) << '\n'
        << "direction " << int(info.fx) << '\n'
        << "multicolor " << int(info.multiColor) << '\n'
        << "rgb " << int(info.red) << ',' << int(info.green) << ',' << int(info.blue) << '\n'
        << "submode " << int(info.zzccLedMode) << '\n'
        << "custom-slot " << int(info.customGroup) << '\n'
        << "w-flag " << system.wFlag << '\n'
        << "six-key-flag " << system.key6Flag << '\n'
        << "win-flag " << system.winFlag << '\n'
        << "polling-rate " << int(record[R::kPollingRate]) << '\n';
}

}  // namespace

void KeyboardCommands::AddTo(CtlCommandTable& table) {
    table.Add({"lighting", "", "show the keyboard's active lighting record, decoded", {}, Lighting});
    table.Add({"set-lighting", "[effect=N] [brightness=B] [speed=S] [direction=D] [multicolor=M] [rgb=R,G,B]",
               "change fields of the keyboard's active lighting record and write it", {}, SetLighting});
    table.Add({"set-key", "ROW TYPE,P1,P2",
               "write the function code TYPE,P1,P2 for key-table row ROW (0-169) into the keyboard's key map",
               {}, SetKey});
    table.Add({"effect-frames", "N COUNT [brightness=B] [speed=S] [direction=D] [multicolor=M] [rgb=R,G,B]",
               "render COUNT host steps of keyboard effect N: 'step K', then 170 lines 'row r,g,b,i' per step",
               {}, EffectFrames});
}

int KeyboardCommands::Lighting(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (!options.arguments.empty()) return UsageError(err, "lighting takes no arguments");
    return RunOnKeyboard(options, out, err, [](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
        KeyboardLightingRecord::Bytes record{};
        uint8_t entry = 0;
        const int r = KeyboardLightingRecord::Read(session.Commands(), session.Channel(), record, entry);
        if (r != kResultOk) return DeviceFailure(err, "read lighting", r);
        const KeyboardEffectList effects = LoadEffects();
        LightInfoRecord info;
        KeyboardSystemRecord system;
        KeyboardLightingRecord::Decode(record, effects, info, system);
        PrintLighting(out, entry, record, info, system, effects);
        return 0;
    });
}

int KeyboardCommands::SetLighting(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    LightingChange change;
    std::string error;
    if (options.arguments.empty()) return UsageError(err, "set-lighting needs at least one KEY=VALUE");
    if (!ParseLightingChange(options.arguments, change, error)) return UsageError(err, error);
    const KeyboardEffectList effects = LoadEffects();
    if (change.effect) {
        if (effects.Entries().empty()) {
            err << "error: no keyboard effect list in " << KeyboardEffectList::DefaultFile().string()
                << "; effect=N cannot be checked\n";
            return kExitFailed;
        }
        // The number is a position in the keyboard's own list; past it the device has no effect.
        if (*change.effect >= static_cast<int>(effects.Entries().size())) {
            return UsageError(err, "effect takes 0 … " + std::to_string(effects.Entries().size() - 1) +
                                       " (the keyboard's effects), got " + std::to_string(*change.effect));
        }
    }
    return RunOnKeyboard(options, out, err, [&](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
        KeyboardLightingRecord::Bytes record{};
        uint8_t entry = 0;
        if (const int r = KeyboardLightingRecord::Read(session.Commands(), session.Channel(), record, entry);
            r != kResultOk) {
            return DeviceFailure(err, "read lighting", r);
        }
        LightInfoRecord info;
        KeyboardSystemRecord system;
        KeyboardLightingRecord::Decode(record, effects, info, system);
        system.pollingRate = record[KeyboardLightingRecord::kPollingRate];
        Apply(change, info);
        const auto updated = KeyboardLightingRecord::Encode(info, system, effects, entry);
        if (const int r = KeyboardLightingRecord::Write(session.Commands(), session.Channel(), entry, updated);
            r != kResultOk) {
            return DeviceFailure(err, "write lighting", r);
        }
        PrintLighting(out, entry, updated, info, system, effects);
        return 0;
    });
}

int KeyboardCommands::SetKey(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() != 2) return UsageError(err, "set-key takes ROW TYPE,P1,P2");
    const auto row = ParseNumber(options.arguments[0], 0, kKeyTableRows - 1);
    if (!row) return UsageError(err, "ROW must be 0 … 169, got '" + options.arguments[0] + "'");
    const auto parts = Split(options.arguments[1], ',');
    std::array<uint8_t, 3> code{};
    for (size_t i = 0; i < code.size(); ++i) {
        const auto value = parts.size() == 3 ? ParseNumber(parts[i], 0, 255) : std::nullopt;
        if (!value) return UsageError(err, "the code is TYPE,P1,P2 with each 0 … 255, got '" + options.arguments[1] + "'");
        code[i] = static_cast<uint8_t>(*value);
    }
    return RunOnKeyboard(options, out, err, [&](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
        KeyboardMemory memory;
        if (const int r = memory.ReadAll(session.Commands(), session.Channel()); r != kResultOk) {
            return DeviceFailure(err, "read key map", r);
        }
        const uint8_t key = memory.TableToKey(*row);
        if (key == kNoKey) {
            err << "error: row " << *row << " has no key on this keyboard\n";
            return kExitFailed;
        }
        KeyAssignmentRecord assignment;
        assignment.current = {static_cast<uint16_t>(*row), code[0], code[1], code[2], 0};
        const KeyAssignmentRecord list[] = {assignment};
        if (const int r = KeyboardKeyMapWriter::Write(session.Commands(), session.Channel(), memory, 0, list);
            r != kResultOk) {
            return DeviceFailure(err, "write key map", r);
        }
        out << "row " << *row << " (device key " << int(key) << ") = " << int(code[0]) << ',' << int(code[1]) << ','
            << int(code[2]) << '\n';
        return 0;
    });
}

int KeyboardCommands::EffectFrames(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() < 2) return UsageError(err, "effect-frames takes N COUNT");
    const auto effect = ParseNumber(options.arguments[0], 0, 255);
    const auto count = ParseNumber(options.arguments[1], 0, kMaxEffectFrames);
    if (!effect || !count) {
        return UsageError(err, "N must be 0 … 255 and COUNT 0 … " + std::to_string(kMaxEffectFrames));
    }
    LightingChange change;
    std::string error;
    if (!ParseLightingChange({options.arguments.begin() + 2, options.arguments.end()}, change, error)) {
        return UsageError(err, error);
    }
    if (change.effect) return UsageError(err, "the effect is N, not effect=");
    LightInfoRecord info;
    info.light = 4;
    info.speed = 2;
    info.fx = 1;
    info.red = info.green = info.blue = 255;
    Apply(change, info);
    const auto frames = RenderEffectFrames(*effect, *count, KeyboardLightingRecord::ToLightState(info));
    if (!frames) {
        err << "error: effect " << *effect << " is not rendered on the host\n";
        return kExitFailed;
    }
    for (size_t step = 0; step < frames->size(); ++step) {
        out << "step " << step << '\n';
        const auto& keys = (*frames)[step];
        for (size_t row = 0; row < keys.size(); ++row) {
            out << row << ' ' << int(keys[row].red) << ',' << int(keys[row].green) << ',' << int(keys[row].blue) << ','
                << int(keys[row].intensity) << '\n';
        }
    }
    return 0;
}

}  // namespace q208

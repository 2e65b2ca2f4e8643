#include "tools/KeyboardCommands.h"

#include <charconv>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "device/DeviceResult.h"
#include "device/DeviceSlot.h"
#include "devices/keyboard/EffectFrames.h"
#include "devices/lighting/KeyboardEffectList.h"
#include "devices/keyboard/KeyboardKeyMapWriter.h"
#include "devices/keyboard/KeyboardLightingRecord.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "tools/CtlBusSession.h"
#include "tools/CtlDeviceSelector.h"
#include "tools/CtlDeviceSession.h"
#include "tools/SupportedDeviceFinder.h"

namespace q208 {
namespace {

constexpr int kExitFailed = 2;
constexpr const char* kDefaultDevice = "keyboard";

int UsageError(std::ostream& err, const std::string& reason) {
    err << "q208ctl: " << reason << '\n';
    return CtlCommandTable::kUsageError;
}

int DeviceFailure(std::ostream& err, const std::string& operation, int result) {
    err << "error: " << operation << ": result " << result << " (" << DescribeDeviceResult(result) << ")\n";
    return kExitFailed;
}

// A decimal or 0x-prefixed hexadecimal number within [low, high].
std::optional<int> ParseNumber(const std::string& text, int low, int high) {
    int base = 10;
    size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        start = 2;
    }
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data() + start, end, value, base);
    if (ec != std::errc{} || ptr != end || start == text.size() || value < low || value > high) return std::nullopt;
    return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1) {
        parts.push_back(text.substr(from, at - from));
    }
    parts.push_back(text.substr(from));
    return parts;
}

// The lighting fields a command line may set; unset fields keep their value.
struct LightingChange {
    std::optional<int> effect, brightness, speed, direction, multicolor;
    std::optional<std::array<int, 3>> rgb;
};

// KEY=VALUE arguments into a change; false with the reason in `error`.
bool ParseLightingChange(const std::vector<std::string>& arguments, LightingChange& change, std::string& error) {
    struct Field {
        const char* key;
        std::optional<int> LightingChange::*member;
        int high;
    };
    static const Field kFields[] = {{"effect", &LightingChange::effect, 255},
                                    {"brightness", &LightingChange::brightness, 4},
                                    {"speed", &LightingChange::speed, 4},
                                    {"direction", &LightingChange::direction, 1},
                                    {"multicolor", &LightingChange::multicolor, 1}};
    for (const std::string& argument : arguments) {
        const size_t equals = argument.find('=');
        const std::string key = argument.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
        if (key == "rgb") {
            const auto parts = Split(value, ',');
            std::array<int, 3> rgb{};
            for (size_t i = 0; parts.size() == 3 && i < 3; ++i) {
                const auto component = ParseNumber(parts[i], 0, 255);
                if (!component) break;
                rgb[i] = *component;
                if (i == 2) change.rgb = rgb;
            }
            if (!change.rgb) {
                error = "rgb takes R,G,B with each 0 … 255, got '" + value + "'";
                return false;
            }
            continue;
        }
        const Field* field = nullptr;
        for (const Field& candidate : kFields) {
            if (key == candidate.key) field = &candidate;
        }
        if (!field) {
            error = "unknown lighting field '" + argument + "' (effect, brightness, speed, direction, multicolor, rgb)";
            return false;
        }
        const auto number = ParseNumber(value, 0, field->high);
        if (!number) {
            error = key + " takes 0 … " + std::to_string(field->high) + ", got '" + value + "'";
            return false;
        }
        change.*(field->member) = number;
    }
    return true;
}

void Apply(const LightingChange& change, LightInfoRecord& info) {
    if (change.effect) info.selectItem = static_cast<uint8_t>(*change.effect);
    if (change.brightness) info.light = static_cast<uint8_t>(*change.brightness);
    if (change.speed) info.speed = static_cast<uint8_t>(*change.speed);
    if (change.direction) info.fx = static_cast<uint8_t>(*change.direction);
    if (change.multicolor) info.multiColor = static_cast<uint8_t>(*change.multicolor);
    if (change.rgb) {
        info.red = static_cast<uint8_t>((*change.rgb)[0]);
        info.green = static_cast<uint8_t>((*change.rgb)[1]);
        info.blue = static_cast<uint8_t>((*change.rgb)[2]);
    }
}

using DeviceBody = std::function<int(CtlDeviceSession& session, std::ostream& out, std::ostream& err)>;

bool IsKeyboardKind(uint16_t kind) { return kind == kKindKeyboard || kind == kKindReceiverKeyboard; }

// The keyboard's record layouts mean nothing to the other devices: a command for them is
// refused before anything is read or written.
int RunOnKeyboard(CtlOptions options, std::ostream& out, std::ostream& err, const DeviceBody& body) {
    if (const auto kind = CtlDeviceSelector::NamedKind(options); kind && !IsKeyboardKind(*kind)) {
        return UsageError(err, options.command + " works on the keyboard only (keyboard, receiver-keyboard); this "
                                                 "version has no such command for the " +
                                   DeviceKindName(*kind));
    }
    if (options.device.empty() && options.slot < 0) options.device = kDefaultDevice;
    CtlBusSession bus;
    std::string error;
    if (!bus.Start(options, error, &out, &err)) return UsageError(err, error);
    SupportedDeviceFinder finder(bus.Bus());
    CtlDeviceTarget target;
    switch (CtlDeviceSelector::Select(options, finder.Scan(), target, error)) {
        case CtlDeviceSelector::Outcome::BadArguments: return UsageError(err, error);
        case CtlDeviceSelector::Outcome::NotFound:
            err << "error: " << error << " on " << bus.Where() << '\n';
            return kExitFailed;
        case CtlDeviceSelector::Outcome::Selected: break;
    }
    CtlDeviceSession session(bus.Bus(), target, options.trace ? &err : nullptr);
    if (!session.Open()) {
        err << "error: open " << target.name << ": cannot open " << target.path << " for reading and writing\n";
        return kExitFailed;
    }
    return body(session, out, err);
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

#include "tools/SyncCommand.h"

#include <array>
#include <ostream>
#include <string_view>

#include "tools/CtlCommandTable.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlDeviceHost.h"
#include "tools/CtlRunningCopy.h"

namespace q208 {

namespace {

using Effect = LightSync::Effect;

struct ModeName {
    std::string_view name;
    Effect effect;
};
constexpr std::array kModes{ModeName{"breathing", Effect::Breathing}, ModeName{"static", Effect::Static},
                            ModeName{"flashing", Effect::Flashing}, ModeName{"spectrum", Effect::Spectrum},
                            ModeName{"dark", Effect::Off}};

// A decimal number 0 … max, nothing else.
std::optional<int> Number(std::string_view text, int max) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value <= max ? std::optional<int>(value) : std::nullopt;
}

bool ParseColour(std::string_view text, LightSync::Setting& s) {
    std::array<int, 3> rgb{};
    for (int i = 0; i < 3; ++i) {
        const size_t comma = i < 2 ? text.find(',') : text.size();
        if (comma == std::string_view::npos) return false;
        const auto value = Number(text.substr(0, comma), 255);
        if (!value) return false;
        rgb[static_cast<size_t>(i)] = *value;
        text = i < 2 ? text.substr(comma + 1) : std::string_view();
    }
    s.red = static_cast<uint8_t>(rgb[0]);
    s.green = static_cast<uint8_t>(rgb[1]);
    s.blue = static_cast<uint8_t>(rgb[2]);
    return true;
}

}  // namespace

void SyncCommand::AddTo(CtlCommandTable& table) {
    table.Add({"sync",
               "breathing|static|flashing|spectrum|dark [brightness=B] [speed=S] [colour=R,G,B] [multicolor=M] "
               "[direction=D] | off | status",
               "same-mode lighting on the running q208: every attached device shows the effect in step "
               "(B, S 0-4); 'off' ends it, 'status' lists the devices in it",
               {},
               Run});
}

std::optional<LightSync::Setting> SyncCommand::Parse(const std::vector<std::string>& arguments, std::string& error) {
    if (arguments.empty()) {
        error = "sync needs a mode, off or status";
        return std::nullopt;
    }
    LightSync::Setting s;
    bool known = false;
    for (const ModeName& mode : kModes) {
        if (arguments[0] == mode.name) {
            s.effect = mode.effect;
            known = true;
        }
    }
    if (!known) {
        error = "unknown sync mode '" + arguments[0] + "' (breathing, static, flashing, spectrum, dark, off, status)";
        return std::nullopt;
    }
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        const size_t eq = arg.find('=');
        const std::string key = arg.substr(0, eq);
        const std::string_view value = eq == std::string::npos ? std::string_view() : std::string_view(arg).substr(eq + 1);
        std::optional<int> number;
        if (key == "brightness" && (number = Number(value, 4))) {
            s.brightnessLevel = static_cast<uint8_t>(*number);
        } else if (key == "speed" && (number = Number(value, 4))) {
            s.speedLevel = static_cast<uint8_t>(*number);
        } else if (key == "multicolor" && (number = Number(value, 1))) {
            s.multicolour = static_cast<uint8_t>(*number);
        } else if (key == "direction" && (number = Number(value, 1))) {
            s.direction = static_cast<uint8_t>(*number);
        } else if ((key == "colour" || key == "color") && ParseColour(value, s)) {
        } else {
            error = "bad sync setting '" + arg + "' (brightness=0-4 speed=0-4 colour=R,G,B multicolor=0|1 direction=0|1)";
            return std::nullopt;
        }
    }
    return s;
}

int SyncCommand::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    const bool off = options.arguments.size() == 1 && options.arguments[0] == "off";
    const bool status = options.arguments.size() == 1 && options.arguments[0] == "status";
    std::optional<LightSync::Setting> setting;
    if (!off && !status) {
        std::string error;
        setting = Parse(options.arguments, error);
        if (!setting) return ctl::UsageError(err, error);
    }
    if (!options.host) {
        if (const auto forwarded = CtlRunningCopy::Forward(options, out, err)) return *forwarded;
        err << "error: sync: no running q208 (the program paints the synchronised colours)\n";
        return kExitNotRunning;
    }
    const bool done = status ? options.host->SyncStatus(out) : options.host->SyncLighting(setting, out);
    if (!done) {
        err << "error: sync: the running q208 has no synchronised lighting\n";
        return ctl::kExitFailed;
    }
    return 0;
}

}  // namespace q208

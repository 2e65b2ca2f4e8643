#include "tools/CtlDeviceCommand.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "device/DeviceResult.h"
#include "tools/CtlBusSession.h"
#include "tools/CtlCommandTable.h"
#include "tools/CtlDeviceSelector.h"
#include "tools/CtlDeviceSession.h"
#include "tools/CtlRunningCopy.h"
#include "tools/SupportedDeviceFinder.h"

namespace q208::ctl {

int UsageError(std::ostream& err, const std::string& reason) {
    err << "q208ctl: " << reason << '\n';
    return CtlCommandTable::kUsageError;
}

int DeviceFailure(std::ostream& err, const std::string& operation, int result) {
    err << "error: " << operation << ": result " << result << " (" << DescribeDeviceResult(result) << ")\n";
    return kExitFailed;
}

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

// "set-lighting works on the keyboard only (keyboard, receiver-keyboard), not the mousepad".
std::string Refusal(const std::string& command, std::initializer_list<std::string_view> accepted,
                    const std::string& device) {
    std::string names;
    for (std::string_view name : accepted) names += (names.empty() ? "" : ", ") + std::string(name);
    return command + " works on the " + std::string(*accepted.begin()) + " only (" + names + "), not the " + device;
}

int RunOnDevice(CtlOptions options, std::ostream& out, std::ostream& err, std::string_view defaultDevice,
                std::initializer_list<std::string_view> accepted, const DeviceBody& body) {
    // A device named for a command it has no such record for is refused before anything is
    // read or written, whether it is attached or not.
    if (!options.device.empty() && std::find(accepted.begin(), accepted.end(), options.device) == accepted.end()) {
        return UsageError(err, Refusal(options.command, accepted, options.device));
    }
    if (auto forwarded = CtlRunningCopy::Forward(options, out, err)) return *forwarded;
    if (options.device.empty() && options.slot < 0) options.device = std::string(defaultDevice);
    CtlBusSession bus;
    std::string error;
    if (!bus.Start(options, error, &out, &err)) return UsageError(err, error);
    SupportedDeviceFinder finder(bus.Bus());
    CtlDeviceTarget target;
    switch (CtlDeviceSelector::Select(options, finder.Scan(), target, error)) {
        case CtlDeviceSelector::Outcome::BadArguments:
            return UsageError(err, error);
        case CtlDeviceSelector::Outcome::NotFound:
            err << "error: " << error << " on " << bus.Where() << '\n';
            return kExitFailed;
        case CtlDeviceSelector::Outcome::Selected:
            break;
    }
    if (std::find(accepted.begin(), accepted.end(), target.name) == accepted.end()) {
        return UsageError(err, Refusal(options.command, accepted, target.name));
    }
    CtlDeviceSession session(bus.Bus(), target, options.trace ? &err : nullptr, options.host);
    if (!session.Open()) {
        err << "error: open " << target.name << ": cannot open " << target.path << " for reading and writing\n";
        return kExitFailed;
    }
    return body(session, out, err);
}

}  // namespace q208::ctl

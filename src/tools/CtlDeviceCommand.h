#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/ProfileRecords.h"
#include "tools/CtlOptions.h"

namespace q208 {

class CtlDeviceSession;

// What the device commands of q208ctl share: argument parsing, the lighting fields of
// set-lighting, and running a body on the one device the options select.
namespace ctl {

inline constexpr int kExitFailed = 2;

// Writes the reason and returns CtlCommandTable::kUsageError.
int UsageError(std::ostream& err, const std::string& reason);
// "error: OPERATION: result R (meaning)"; returns kExitFailed.
int DeviceFailure(std::ostream& err, const std::string& operation, int result);
// A decimal or 0x-prefixed hexadecimal number within [low, high].
std::optional<int> ParseNumber(const std::string& text, int low, int high);
std::vector<std::string> Split(const std::string& text, char separator);

// The lighting fields a command line may set; unset fields keep their value.
struct LightingChange {
    std::optional<int> effect, brightness, speed, direction, multicolor;
    std::optional<std::array<int, 3>> rgb;
};
// KEY=VALUE arguments (effect, brightness, speed, direction, multicolor, rgb=R,G,B) into a
// change; false with the reason in `error`.
bool ParseLightingChange(const std::vector<std::string>& arguments, LightingChange& change, std::string& error);
void Apply(const LightingChange& change, LightInfoRecord& info);

using DeviceBody = std::function<int(CtlDeviceSession& session, std::ostream& out, std::ostream& err)>;
// Selects the device (`defaultDevice` without --device or --slot), refuses one whose name
// is not among `accepted` (exit 1 with the reason), opens it and runs the body.
int RunOnDevice(CtlOptions options, std::ostream& out, std::ostream& err, std::string_view defaultDevice,
                std::initializer_list<std::string_view> accepted, const DeviceBody& body);

}  // namespace ctl
}  // namespace q208

#include "tools/MousePadCommands.h"

#include <ostream>
#include <string>

#include "device/DeviceResult.h"
#include "devices/mousepad/MousePadController.h"
#include "profile/ProfilePaths.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlDeviceSession.h"
#include "tools/HexText.h"

namespace q208 {
namespace {

using namespace ctl;
using Block = MousePadSettingsBlock;

constexpr const char* kDefaultDevice = "mousepad";

// A pad, its profile and the logic the page uses, for one command.
struct PadSession {
    CBasicProfiledata profile;
    MousePadController controller;
    explicit PadSession(CDeviceChannel& channel, const KeyboardEffectList& modes) : controller(channel, profile) {
        profile.SetDefaultPath(DefaultProfileFile(kMousePadFolder));
        controller.SetModes(modes);
    }
};

KeyboardEffectList LoadModes() {
    KeyboardEffectList modes;
    modes.Load(KeyboardEffectList::DefaultFile(), MousePadController::kListIndex);
    return modes;
}

using PadBody = std::function<int(PadSession&, std::ostream& out, std::ostream& err)>;

int RunOnPad(const CtlOptions& options, std::ostream& out, std::ostream& err, const KeyboardEffectList& modes,
             const PadBody& body) {
    return RunOnDevice(options, out, err, kDefaultDevice, {"mousepad"},
                       [&](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
                           PadSession pad(session.Channel(), modes);
                           return body(pad, out, err);
                       });
}

void PrintBlock(std::ostream& out, MousePadController& c) {
    const Block::Bytes& b = c.Block();
    const Block::ReadBytes& read = c.LastRead();
    const LightInfoRecord light = c.BlockLight();
    const auto& modes = c.Modes().Entries();
    out << "block " << int(c.BlockNumber()) << '\n' << "mode " << int(b[Block::kMode]) << " (code " << int(read[Block::kMode]);
    if (b[Block::kMode] < modes.size()) out << ", " << modes[b[Block::kMode]].name;
    out << ")\n"
        << "brightness " << int(b[Block::kBrightness]) << '\n'
        << "speed " << int(b[Block::kSpeed]) << " (byte " << int(read[Block::kSpeed]) << ")\n"
        << "direction " << int(light.fx) << " (profile only)\n"
        << "multicolor " << int(b[Block::kMulticolour]) << '\n'
        << "rgb " << int(b[Block::kRed]) << ',' << int(b[Block::kGreen]) << ',' << int(b[Block::kBlue]) << '\n'
        << "byte4 " << int(b[Block::kPadByte]) << '\n'
        << "carried " << HexText::Bytes(std::span<const uint8_t>(b).subspan(Block::kPadBytesFrom)) << '\n';
}

int ReadAndPrint(std::ostream& out, std::ostream& err, MousePadController& c) {
    if (const int r = c.ReadSettingsFromDevice(); r != kResultOk) return DeviceFailure(err, "read settings", r);
    PrintBlock(out, c);
    return 0;
}

}  // namespace

void MousePadCommands::AddTo(CtlCommandTable& table) {
    table.Add({"pad", "", "show the mouse pad's active settings block, decoded", {}, Show});
    table.Add({"set-pad-lighting",
               "[effect=N] [brightness=B] [speed=S] [direction=D] [multicolor=M] [rgb=R,G,B]",
               "change the mouse pad's lighting (N a position in the pad's mode list) and write its block",
               {},
               SetLighting});
}

int MousePadCommands::Show(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (!options.arguments.empty()) return UsageError(err, "pad takes no arguments");
    return RunOnPad(options, out, err, LoadModes(), [](PadSession& pad, std::ostream& out, std::ostream& err) {
        return ReadAndPrint(out, err, pad.controller);
    });
}

int MousePadCommands::SetLighting(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    LightingChange change;
    std::string error;
    if (options.arguments.empty()) return UsageError(err, "set-pad-lighting needs at least one KEY=VALUE");
    if (!ParseLightingChange(options.arguments, change, error)) return UsageError(err, error);
    const KeyboardEffectList modes = LoadModes();
    if (change.effect) {
        if (modes.Entries().empty()) {
            err << "error: no mouse pad mode list in " << KeyboardEffectList::DefaultFile().string()
                << "; effect=N cannot be checked\n";
            return kExitFailed;
        }
        if (*change.effect >= static_cast<int>(modes.Entries().size())) {
            return UsageError(err, "effect takes 0 … " + std::to_string(modes.Entries().size() - 1) +
                                       " (the mouse pad's modes), got " + std::to_string(*change.effect));
        }
    }
    return RunOnPad(options, out, err, modes, [&change](PadSession& pad, std::ostream& out, std::ostream& err) {
        MousePadController& c = pad.controller;
        std::string profileId;
        const auto path = MousePadController::SelectedProfile(profileId);
        if (!path.empty()) pad.profile.SetPath(path);
        c.LoadProfile(path);
        if (const int r = c.ReadSettingsFromDevice(); r != kResultOk) return DeviceFailure(err, "read settings", r);
        // The change goes over what the pad shows, as a change on the page does.
        LightInfoRecord light = c.BlockLight();
        Apply(change, light);
        c.SetLight(light);
        if (!pad.profile.GetPath().empty() && !pad.profile.Save()) {
            err << "error: the profile " << pad.profile.GetPath().string() << " could not be saved\n";
            return kExitFailed;
        }
        c.Initialize();
        if (const int r = c.WriteSettingsToDevice(); r != kResultOk) return DeviceFailure(err, "write settings", r);
        return ReadAndPrint(out, err, c);
    });
}

}  // namespace q208

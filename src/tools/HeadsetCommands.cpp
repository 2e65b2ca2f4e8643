#include "tools/HeadsetCommands.h"

#include <charconv>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <strings.h>

#include "audio/IAudioConfig.h"
#include "devices/headset/HeadsetAudioController.h"
#include "devices/mousepad/MousePadController.h"
#include "profile/CQv2907Profiledata.h"
#include "profile/ProfilePaths.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlDeviceHost.h"
#include "tools/CtlRunningCopy.h"

namespace q208 {
namespace {

using namespace ctl;
using Audio = HeadsetAudioController;
using Body = std::function<int(Audio&, std::ostream& out, std::ostream& err)>;

constexpr int kMinBand = -20;
constexpr int kMaxBand = 20;

std::optional<int> Number(std::string_view text, int min, int max) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
    return value;
}

// The headset's profile and audio settings for one command when no q208 runs.
struct Session {
    CQv2907Profiledata profile;
    std::unique_ptr<IAudioConfig> config = MakeDefaultAudioConfig();
    Audio audio{*config, profile, [this] {
                    if (!profile.GetPath().empty()) profile.Save();
                }};
};

void Print(std::ostream& out, const Audio& a) {
    const HeadsetSettingsRecord& s = a.Stages();
    out << "audio " << (a.Active() ? "active" : "inactive (no audio server or device)") << '\n';
    out << "eq preset " << (a.CustomMode() ? Audio::kCustomPreset : s.eqType) << '\n' << "bands";
    for (const int band : a.CurrentBands()) out << ' ' << band;
    out << '\n';
    for (size_t i = 0; i < a.CustomNames().size(); ++i)
        out << "custom " << i << ' ' << a.CustomNames()[i] << (static_cast<int>(i) == a.SelectedCustom() ? " (selected)" : "")
            << '\n';
    out << "mic level " << s.micInValue << " mute " << (a.MicMuted() ? 1 : 0);
    if (!a.MicDbText().empty()) out << " (" << a.MicDbText() << " dB)";
    out << '\n' << "monitor level " << s.micMonitorValue << " mute " << (a.MonitorMuted() ? 1 : 0);
    if (!a.MonitorDbText().empty()) out << " (" << a.MonitorDbText() << " dB)";
    out << '\n' << "voice " << (s.magicEnable ? "on" : "off") << " effect " << s.magicType
        << (a.OffersVoiceEffects() ? "" : " (this audio server offers no voice effects)") << '\n';
}

// Runs `body` on the running q208's headset page, or on a session of its own.
int Run(const CtlOptions& options, std::ostream& out, std::ostream& err, const Body& body) {
    if (auto forwarded = CtlRunningCopy::Forward(options, out, err)) return *forwarded;
    if (options.host) {
        Audio* audio = options.host->HeadsetAudio();
        if (!audio) {
            err << "error: the running q208 shows no headset\n";
            return kExitFailed;
        }
        const int code = body(*audio, out, err);
        options.host->HeadsetAudioChanged();
        return code;
    }
    Session session;
    std::string profileId;
    const auto path = MousePadController::SelectedProfile(profileId, kHeadsetFolder, kKindHeadset);
    session.profile.SetDefaultPath(DefaultProfileFile(kHeadsetFolder));
    if (!path.empty()) session.profile.SetPath(path);
    session.profile.LoadSection(path.empty() ? session.profile.GetDefaultPath() : path);
    session.audio.Start();
    session.audio.LoadFromProfile();
    return body(session.audio, out, err);
}

// The outcome of a change: the settings, or why the server did not take it.
int Outcome(const Audio& audio, std::ostream& out, std::ostream& err) {
    if (!audio.Active()) {
        err << "error: no audio server or headset device reachable; nothing was changed\n";
        return kExitFailed;
    }
    if (audio.LastWriteFailed()) {
        err << "error: the audio server did not take the change; it was not stored\n";
        return kExitFailed;
    }
    Print(out, audio);
    return 0;
}

struct Level {
    std::optional<int> level;
    std::optional<int> mute;
};

std::optional<Level> ParseLevel(const std::vector<std::string>& arguments, std::string& error) {
    Level change;
    for (const std::string& argument : arguments) {
        const auto eq = argument.find('=');
        const std::string key = argument.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : argument.substr(eq + 1);
        if (key == "level" && (change.level = Number(value, 0, 100))) continue;
        if (key == "mute" && (change.mute = Number(value, 0, 1))) continue;
        error = "expected level=0…100 or mute=0|1, got '" + argument + "'";
        return std::nullopt;
    }
    if (!change.level && !change.mute) {
        error = "give level=N, mute=0|1 or both";
        return std::nullopt;
    }
    return change;
}

int ChangeLevel(const CtlOptions& options, std::ostream& out, std::ostream& err, bool monitor) {
    std::string error;
    const auto change = ParseLevel(options.arguments, error);
    if (!change) return UsageError(err, error);
    return Run(options, out, err, [&](Audio& audio, std::ostream& out, std::ostream& err) {
        if (!audio.Active()) return Outcome(audio, out, err);
        if (change->mute) {
            monitor ? audio.SetMonitorMute(*change->mute != 0) : audio.SetMicMute(*change->mute != 0);
            if (audio.LastWriteFailed()) return Outcome(audio, out, err);
        }
        if (change->level) monitor ? audio.SetMonitorLevel(*change->level) : audio.SetMicLevel(*change->level);
        return Outcome(audio, out, err);
    });
}

}  // namespace

void HeadsetCommands::AddTo(CtlCommandTable& table) {
    table.Add({"headset", "", "show the headset's audio settings (equaliser, custom presets, microphone, monitoring, "
                              "voice effect)", {}, Show});
    table.Add({"eq", "PRESET|custom NAME|band B=V...",
               "choose equaliser preset 1 … 12, a custom preset by name, or move bands 1 … 10 to −20 … 20",
               {}, Eq});
    table.Add({"mic", "[level=N] [mute=0|1]", "set the headset microphone's level (0 … 100) and mute", {}, Mic});
    table.Add({"monitor", "[level=N] [mute=0|1]",
               "set the microphone monitoring's level (0 … 100) and mute (0 hears the microphone in the headset)",
               {}, Monitor});
}

int HeadsetCommands::Show(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (!options.arguments.empty()) return UsageError(err, "headset takes no arguments");
    return Run(options, out, err, [](Audio& audio, std::ostream& out, std::ostream&) {
        Print(out, audio);
        return 0;
    });
}

int HeadsetCommands::Eq(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    const auto& args = options.arguments;
    if (args.empty()) return UsageError(err, "eq needs PRESET, custom NAME or band B=V...");
    if (args[0] == "custom") {
        if (args.size() != 2) return UsageError(err, "eq custom takes one NAME");
        return Run(options, out, err, [&](Audio& audio, std::ostream& out, std::ostream& err) {
            const auto& names = audio.CustomNames();
            for (size_t i = 0; i < names.size(); ++i) {
                if (strcasecmp(names[i].c_str(), args[1].c_str()) != 0) continue;
                audio.ChooseCustomPreset(static_cast<int>(i));
                return Outcome(audio, out, err);
            }
            err << "error: no custom preset named '" << args[1] << "'\n";
            return kExitFailed;
        });
    }
    if (args[0] == "band") {
        std::vector<std::pair<int, int>> bands;
        for (size_t i = 1; i < args.size(); ++i) {
            const auto eq = args[i].find('=');
            const auto band = Number(std::string_view(args[i]).substr(0, eq), 1, Audio::kBands);
            const auto value = eq == std::string::npos ? std::nullopt
                                                       : Number(std::string_view(args[i]).substr(eq + 1), kMinBand, kMaxBand);
            if (!band || !value) return UsageError(err, "expected B=V with B 1 … 10 and V −20 … 20, got '" + args[i] + "'");
            bands.emplace_back(*band, *value);
        }
        if (bands.empty()) return UsageError(err, "eq band needs at least one B=V");
        return Run(options, out, err, [&](Audio& audio, std::ostream& out, std::ostream& err) {
            for (const auto& [band, value] : bands) {
                audio.MoveBand(band - 1, value);
                if (audio.LastWriteFailed()) break;
            }
            return Outcome(audio, out, err);
        });
    }
    const auto preset = Number(args[0], 1, Audio::kBuiltInPresets);
    if (!preset || args.size() != 1) return UsageError(err, "eq takes a preset 1 … 12, custom NAME or band B=V...");
    return Run(options, out, err, [&](Audio& audio, std::ostream& out, std::ostream& err) {
        audio.ChooseEqPreset(*preset);
        return Outcome(audio, out, err);
    });
}

int HeadsetCommands::Mic(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    return ChangeLevel(options, out, err, false);
}

int HeadsetCommands::Monitor(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    return ChangeLevel(options, out, err, true);
}

}  // namespace q208

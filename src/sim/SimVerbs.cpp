#include "sim/SimVerbs.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "sim/SimDeviceSet.h"
#include "sim/SimHexText.h"
#include "sim/SimKeyboard.h"
#include "sim/SimMouse.h"
#include "sim/SimReceiver.h"

namespace q208::sim {
namespace {

using Words = std::vector<std::string>;

SimVerbResult Done(std::string text = {}) { return {SimVerbs::kDone, std::move(text)}; }
SimVerbResult BadLine(std::string why) { return {SimVerbs::kBadLine, std::move(why)}; }
SimVerbResult Refused(std::string why) { return {SimVerbs::kRefused, std::move(why)}; }

// ---- kinds ----

// The devices as q208ctl's --device names them: a keyboard or mouse reached through the
// receiver is the same emulated device (one memory) as on its own cable.
struct Target {
    const char* name;
    SimDeviceKind kind;
    bool viaReceiver;
};
constexpr Target kTargets[] = {
    {"keyboard", SimDeviceKind::Keyboard, false},        {"receiver-keyboard", SimDeviceKind::Keyboard, true},
    {"mouse", SimDeviceKind::Mouse, false},              {"receiver-mouse", SimDeviceKind::Mouse, true},
    {"mousepad", SimDeviceKind::MousePad, false},        {"headset", SimDeviceKind::Headset, false},
    {"receiver", SimDeviceKind::Receiver, false},
};

template <typename Row, std::size_t N>
const Row* FindByName(const Row (&rows)[N], const std::string& name) {
    const auto it = std::find_if(std::begin(rows), std::end(rows), [&](const Row& row) { return name == row.name; });
    return it == std::end(rows) ? nullptr : it;
}

template <typename Row, std::size_t N>
std::string NamesOf(const Row (&rows)[N]) {
    std::string names;
    for (const Row& row : rows) names += (names.empty() ? "" : ", ") + std::string(row.name);
    return names;
}

std::optional<uint32_t> ParseNumber(const std::string& text, uint32_t maximum) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 10 ||
        digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (value > maximum) return std::nullopt;
    return static_cast<uint32_t>(value);
}

// What a verb works on.
struct Context {
    SimDeviceSet& devices;
    const Target& target;
    const Words& args;  // the words after KIND

    std::shared_ptr<SimFirmware> Firmware() const { return devices.Device(target.kind); }
    bool ReceiverPlugged() const { return devices.IsPlugged(SimDeviceKind::Receiver); }
    bool Linked() const { return ReceiverPlugged() && devices.Receiver()->IsLinked(target.kind); }
    // Whether the host can hear the device now: by its cable, or through a plugged receiver.
    bool Reachable() const {
        if (target.viaReceiver) return Linked();
        return devices.IsPlugged(target.kind) || Linked();
    }
};

// ---- state ----

void DescribeLink(const Context& c, std::ostream& out) {
    auto yesNo = [](bool value) { return value ? "yes" : "no"; };
    if (c.target.kind == SimDeviceKind::Receiver) {
        out << "plugged " << yesNo(c.ReceiverPlugged()) << "\nkeyboard-linked "
            << yesNo(c.devices.Receiver()->IsLinked(SimDeviceKind::Keyboard)) << "\nmouse-linked "
            << yesNo(c.devices.Receiver()->IsLinked(SimDeviceKind::Mouse)) << '\n';
        return;
    }
    out << "plugged " << yesNo(c.devices.IsPlugged(c.target.kind)) << '\n';
    if (c.target.kind == SimDeviceKind::Keyboard || c.target.kind == SimDeviceKind::Mouse) {
        out << "receiver-plugged " << yesNo(c.ReceiverPlugged()) << "\nlinked "
            << yesNo(c.devices.Receiver()->IsLinked(c.target.kind)) << '\n';
    }
}

// Counts first, then the ring in the --trace format: "> " what the host sent, "< " what the
// device sent.
void DescribeTraffic(const Context& c, std::ostream& out) {
    const SimTraffic& traffic = c.Firmware()->traffic();
    const auto counts = traffic.CommandCounts();
    for (std::size_t code = 0; code < counts.size(); ++code) {
        if (counts[code] != 0) {
            out << "count " << SimHexText::Hex(static_cast<unsigned>(code), 2).substr(2) << ' ' << counts[code] << '\n';
        }
    }
    for (const SimTraffic::Entry& entry : traffic.Recent()) {
        out << (entry.sent ? "< " : "> ") << SimHexText::Bytes(entry.bytes) << '\n';
    }
}

// The faults still to come; defined with the fault table.
void DescribeFaults(const Context& c, std::ostream& out);

struct AreaView {
    const char* name;
    std::array<SimArea, 2> areas;  // shown one after the other
    std::size_t areaCount;         // 0: a view of its own below
    void (*describe)(const Context&, std::ostream&);
};
constexpr AreaView kAreaViews[] = {
    {"info", {SimArea::Info}, 1, nullptr},
    {"keymap", {SimArea::KeyMap}, 1, nullptr},
    {"ledmap", {SimArea::LedMap}, 1, nullptr},
    {"config", {SimArea::Config}, 1, nullptr},
    {"macro", {SimArea::MacroData, SimArea::MacroBlock}, 2, nullptr},
    {"status", {SimArea::Status}, 1, nullptr},
    {"link", {}, 0, DescribeLink},
    {"traffic", {}, 0, DescribeTraffic},
    {"faults", {}, 0, DescribeFaults},
};

void Describe(const Context& c, const AreaView& view, std::ostream& out) {
    if (view.describe) {
        view.describe(c, out);
        return;
    }
    const auto firmware = c.Firmware();
    for (std::size_t i = 0; i < view.areaCount; ++i) firmware->DescribeArea(view.areas[i], out);
}

SimVerbResult State(const Context& c) {
    if (c.args.size() > 1) return BadLine("state: give at most one area (" + NamesOf(kAreaViews) + ")");
    std::ostringstream out;
    if (c.args.empty()) {
        for (const AreaView& view : kAreaViews) {
            out << '[' << view.name << "]\n";
            Describe(c, view, out);
        }
        return Done(out.str());
    }
    const AreaView* view = FindByName(kAreaViews, c.args[0]);
    if (!view) return BadLine("state: unknown area '" + c.args[0] + "' (" + NamesOf(kAreaViews) + ")");
    Describe(c, *view, out);
    return Done(out.str());
}

// ---- plug, link ----

SimVerbResult Plug(const Context& c, bool plug) {
    if (c.target.viaReceiver) return BadLine("plug and unplug take the device itself; use link or unlink");
    if (!c.args.empty()) return BadLine("plug and unplug take no more than the device");
    if (!plug) {
        return c.devices.Unplug(c.target.kind) ? Done() : Refused(std::string(c.target.name) + " is not plugged");
    }
    return c.devices.Plug(c.target.kind) ? Done() : Refused(std::string(c.target.name) + " is plugged already");
}

SimVerbResult Link(const Context& c, bool link) {
    if (!c.args.empty()) return BadLine("link and unlink take no more than the device");
    return c.devices.SetLinked(c.target.kind, link) ? Done()
                                                    : BadLine("only the keyboard and the mouse link to the receiver");
}

// ---- input ----

bool IsKeyboard(const Context& c) { return c.target.kind == SimDeviceKind::Keyboard; }
bool IsMouse(const Context& c) { return c.target.kind == SimDeviceKind::Mouse; }

SimVerbResult InputKey(const Context& c, const Words& a) {
    if (!IsKeyboard(c)) return BadLine("key: only the keyboard has keys");
    const auto row = ParseNumber(a[0], 255);
    const auto key = row ? SimKeyboard::DeviceKeyOfRow(static_cast<uint8_t>(*row)) : std::nullopt;
    if (!key) return BadLine("key: no key sits in key-table row '" + a[0] + "'");
    if (a[1] != "down" && a[1] != "up") return BadLine("key: give down or up");
    std::static_pointer_cast<SimKeyboard>(c.Firmware())->StrokeKey(*key, a[1] == "down");
    return Done();
}

SimVerbResult InputConsumer(const Context& c, const Words& a) {
    if (!IsKeyboard(c)) return BadLine("consumer: only the keyboard has media keys");
    const auto usage = ParseNumber(a[0], 0xFFFF);
    if (!usage) return BadLine("consumer: '" + a[0] + "' is not a 16-bit usage");
    std::static_pointer_cast<SimKeyboard>(c.Firmware())->StrokeConsumerKey(static_cast<uint16_t>(*usage));
    return Done();
}

template <uint16_t Code>
SimVerbResult InputFixedEvent(const Context& c, const Words&) {
    c.Firmware()->EmitEvent(Code);
    return Done();
}

SimVerbResult InputEvent(const Context& c, const Words& a) {
    const auto code = ParseNumber(a[0], 0xFFFF);
    if (!code) return BadLine("event: '" + a[0] + "' is not a 16-bit code");
    c.Firmware()->EmitEvent(static_cast<uint16_t>(*code));
    return Done();
}

SimVerbResult InputEntry(const Context& c, const Words& a) {
    const auto entry = ParseNumber(a[0], 0x0F);
    const auto sub = a.size() > 1 ? ParseNumber(a[1], 0x0F) : std::optional<uint32_t>(0);
    if (!entry || !sub) return BadLine("entry: give an entry 0-15 and optionally a sub-value 0-15");
    const auto firmware = c.Firmware();
    if (IsKeyboard(c)) {
        auto keyboard = std::static_pointer_cast<SimKeyboard>(firmware);
        if (*entry >= SimKeyboard::kLightingEntries) return BadLine("entry: the keyboard has entries 0-15");
        if (a.size() > 1) {
            keyboard->SwitchLightingEntry(static_cast<uint8_t>(*entry), static_cast<uint8_t>(*sub));
        } else {
            keyboard->SwitchLightingEntry(static_cast<uint8_t>(*entry));
        }
        return Done();
    }
    if (IsMouse(c)) {
        if (*entry >= SimMouse::kBlockCount || a.size() > 1) return BadLine("entry: the mouse has blocks 0-3");
        std::static_pointer_cast<SimMouse>(firmware)->SwitchSettingsBlock(static_cast<uint8_t>(*entry));
        return Done();
    }
    const std::array<uint8_t, 1> active = {static_cast<uint8_t>(*entry)};
    if (!firmware->Poke(SimArea::Config, 0, active)) return BadLine("entry: this device has no lighting entries");
    firmware->EmitEvent(static_cast<uint16_t>((a.size() > 1 ? 0x1100 | (*sub << 4) : 0x1000) | *entry));
    return Done();
}

SimVerbResult InputDpiStage(const Context& c, const Words& a) {
    if (!IsMouse(c)) return BadLine("dpi-stage: only the mouse has DPI stages");
    const auto stage = ParseNumber(a[0], SimMouse::kDpiStages - 1);
    if (!stage) return BadLine("dpi-stage: give a stage 0-6");
    auto mouse = std::static_pointer_cast<SimMouse>(c.Firmware());
    mouse->SwitchSettingsBlock(mouse->ActiveBlock(), static_cast<uint8_t>(*stage));
    return Done();
}

bool AnyDevice(const Context&) { return true; }

struct InputEventRow {
    const char* name;
    std::size_t minArgs, maxArgs;
    const char* synopsis;
    bool (*accepts)(const Context&);  // the devices that can send it
    SimVerbResult (*run)(const Context&, const Words&);
};
constexpr InputEventRow kInputEvents[] = {
    {"key", 2, 2, "key ROW down|up (keyboard)", IsKeyboard, InputKey},
    {"consumer", 1, 1, "consumer USAGE (keyboard)", IsKeyboard, InputConsumer},
    {"resync", 0, 0, "resync", AnyDevice, InputFixedEvent<0x0401>},
    {"resync-lighting", 0, 0, "resync-lighting", AnyDevice, InputFixedEvent<0x0402>},
    {"resync-auto", 0, 0, "resync-auto", AnyDevice, InputFixedEvent<0x0481>},
    {"entry", 1, 2, "entry N [SUB]", AnyDevice, InputEntry},
    {"dpi-stage", 1, 1, "dpi-stage N (mouse)", IsMouse, InputDpiStage},
    {"event", 1, 1, "event CODE", AnyDevice, InputEvent},
};

SimVerbResult Input(const Context& c) {
    if (c.args.empty()) return BadLine("input: give an event (" + NamesOf(kInputEvents) + ")");
    const InputEventRow* event = FindByName(kInputEvents, c.args[0]);
    if (!event) return BadLine("input: unknown event '" + c.args[0] + "' (" + NamesOf(kInputEvents) + ")");
    const Words rest(c.args.begin() + 1, c.args.end());
    if (rest.size() < event->minArgs || rest.size() > event->maxArgs) {
        return BadLine(std::string("input: ") + event->synopsis);
    }
    if (!event->accepts(c)) return BadLine(std::string("input: ") + c.target.name + " cannot send " + event->synopsis);
    if (!c.Reachable()) return Refused(std::string(c.target.name) + " is not plugged or linked; nobody would hear it");
    return event->run(c, rest);
}

// ---- set ----

enum class Block : uint8_t { Status, Info };
struct SettingRow {
    const char* name;
    Block block;
    std::size_t offset;
    std::size_t bytes;  // little-endian
    uint32_t maximum;
    bool mouseOnly;
};
// charging is not a byte of its own: see SetCharging.
constexpr SettingRow kSettings[] = {
    {"battery", Block::Status, 0, 1, 100, false},   {"charge-state", Block::Status, 1, 1, 2, false},
    {"wireless", Block::Status, 3, 1, 1, false},    {"value", Block::Status, 4, 1, 255, false},
    {"phone", Block::Status, 5, 1, 255, false},     {"sensor", Block::Info, 9, 2, 0xFFFF, true},
    {"dpi-step", Block::Info, 11, 1, 255, true},    {"dpi-min", Block::Info, 14, 2, 0xFFFF, true},
    {"charging", Block::Status, 1, 1, 1, false},
};

bool Poke(SimFirmware& firmware, const SettingRow& row, uint32_t value) {
    std::array<uint8_t, 2> bytes{static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
    return firmware.Poke(row.block == Block::Status ? SimArea::Status : SimArea::Info, row.offset,
                         std::span<const uint8_t>(bytes.data(), row.bytes));
}

// The charge byte holds three states: charging, and when not charging either on battery
// (a wireless device) or charged (one on its cable).
uint32_t ChargeStateFor(const SimFirmware& firmware, uint32_t charging) {
    if (charging) return 1;
    const std::vector<uint8_t> status = firmware.Status();
    return status.size() > 3 && status[3] != 0 ? 2 : 0;
}

SimVerbResult Set(const Context& c) {
    if (c.args.empty()) return BadLine("set: give NAME=VALUE (" + NamesOf(kSettings) + ")");
    const auto firmware = c.Firmware();
    for (const std::string& word : c.args) {
        const auto equals = word.find('=');
        const SettingRow* row = equals == std::string::npos ? nullptr : FindByName(kSettings, word.substr(0, equals));
        if (!row) return BadLine("set: unknown setting '" + word + "' (" + NamesOf(kSettings) + ")");
        auto value = ParseNumber(word.substr(equals + 1), row->maximum);
        if (!value) return BadLine("set: " + word + " is out of range (0-" + std::to_string(row->maximum) + ")");
        if (row->mouseOnly && !IsMouse(c)) return BadLine(std::string("set: only the mouse has ") + row->name);
        if (std::string_view(row->name) == "charging") value = ChargeStateFor(*firmware, *value);
        if (!Poke(*firmware, *row, *value)) return Refused(std::string("set: the device has no ") + row->name);
    }
    return Done();
}

// ---- fault ----

struct FaultRow {
    const char* name;
    FaultCounter SimFaults::*counter;
    std::atomic<int> SimFaults::*parameter;  // FAULT=VALUE sets it; null when it takes none
    int parameterMaximum;
    bool atReceiver;  // the receiver injects it, for the devices behind it
};
constexpr FaultRow kFaults[] = {
    {"stale", &SimFaults::staleAnswer, &SimFaults::staleAnswers, 8, false},
    {"no-answer", &SimFaults::noAnswer, nullptr, 0, false},
    {"status-ff", &SimFaults::statusRefused, nullptr, 0, false},
    {"status-fe", &SimFaults::statusBadChecksum, nullptr, 0, false},
    {"unreachable", &SimFaults::unreachableAnswer, nullptr, 0, false},
    {"slow", &SimFaults::slowAnswer, &SimFaults::slowAnswerMs, 60000, false},
    {"unplug", &SimFaults::unplugDuringTransfer, nullptr, 0, false},
    {"link-loss", &SimFaults::linkLoss, nullptr, 0, true},
};

SimFaults& FaultsFor(const Context& c, bool atReceiver) {
    return atReceiver ? c.devices.Receiver()->faults() : c.Firmware()->faults();
}

bool BehindReceiver(const Context& c) { return c.target.viaReceiver || c.target.kind == SimDeviceKind::Receiver; }

// "NAME COUNT" per fault the device can get (-1: until cleared).
void DescribeFaults(const Context& c, std::ostream& out) {
    for (const FaultRow& row : kFaults) {
        if (row.atReceiver && !BehindReceiver(c)) continue;
        out << row.name << ' ' << (FaultsFor(c, row.atReceiver).*(row.counter)).Remaining() << '\n';
    }
}

SimVerbResult ClearFaults(const Context& c) {
    c.Firmware()->faults().Clear();
    if (c.target.viaReceiver) c.devices.Receiver()->faults().linkLoss = 0;
    return Done();
}

SimVerbResult Fault(const Context& c) {
    if (c.args.empty() || c.args.size() > 2) return BadLine("fault: give FAULT [COUNT] or clear");
    if (c.args[0] == "clear") return c.args.size() == 1 ? ClearFaults(c) : BadLine("fault: clear takes no count");
    const std::string& faultText = c.args[0];
    const auto equals = faultText.find('=');
    const FaultRow* row = FindByName(kFaults, faultText.substr(0, equals));
    if (!row) return BadLine("fault: unknown fault '" + faultText + "' (" + NamesOf(kFaults) + ", clear)");
    std::optional<uint32_t> parameter;
    if (equals != std::string::npos) {
        parameter = row->parameter ? ParseNumber(faultText.substr(equals + 1), row->parameterMaximum) : std::nullopt;
        if (!parameter) return BadLine("fault: '" + faultText + "' takes no such value");
    }
    int count = 1;
    if (c.args.size() == 2) {
        const auto number = c.args[1] == "always" ? std::optional<uint32_t>(0) : ParseNumber(c.args[1], 1000000);
        if (!number) return BadLine("fault: COUNT is a number or always");
        count = c.args[1] == "always" ? FaultCounter::kAlways : static_cast<int>(*number);
    }
    if (row->atReceiver && !BehindReceiver(c)) return BadLine("fault: link-loss needs the receiver or a device behind it");
    SimFaults& faults = FaultsFor(c, row->atReceiver);
    if (parameter) (faults.*(row->parameter)).store(static_cast<int>(*parameter));
    faults.*(row->counter) = count;
    return Done();
}

// ---- verbs ----

struct VerbRow {
    const char* name;
    const char* synopsis;
    SimVerbResult (*run)(const Context&);
};
constexpr VerbRow kVerbs[] = {
    {"plug", "plug KIND", [](const Context& c) { return Plug(c, true); }},
    {"unplug", "unplug KIND", [](const Context& c) { return Plug(c, false); }},
    {"link", "link KIND", [](const Context& c) { return Link(c, true); }},
    {"unlink", "unlink KIND", [](const Context& c) { return Link(c, false); }},
    {"state", "state KIND [info|keymap|ledmap|config|macro|status|link|traffic|faults]", State},
    {"input", "input KIND key ROW down|up | consumer USAGE | resync | resync-lighting | resync-auto | "
              "entry N [SUB] | dpi-stage N | event CODE",
     Input},
    {"set", "set KIND battery=N charging=0|1 wireless=0|1 charge-state=N value=N phone=N sensor=0xNNNN "
            "dpi-min=N dpi-step=N",
     Set},
    {"fault", "fault KIND stale[=N]|no-answer|status-ff|status-fe|unreachable|slow[=MS]|unplug|link-loss "
              "[COUNT|always] | fault KIND clear",
     Fault},
};

}  // namespace

std::vector<std::string> SimVerbs::Split(std::string_view line) {
    std::istringstream in{std::string(line)};
    Words words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

SimVerbResult SimVerbs::Run(std::string_view line) { return Run(Split(line)); }

SimVerbResult SimVerbs::Run(const std::vector<std::string>& words) {
    if (words.empty()) return BadLine("give a verb (" + NamesOf(kVerbs) + ")");
    const VerbRow* verb = FindByName(kVerbs, words[0]);
    if (!verb) return BadLine("unknown verb '" + words[0] + "' (" + NamesOf(kVerbs) + ")");
    if (words.size() < 2) return BadLine(std::string("usage: ") + verb->synopsis);
    const Target* target = FindByName(kTargets, words[1]);
    if (!target) return BadLine("unknown device kind '" + words[1] + "' (" + NamesOf(kTargets) + ")");
    const Words args(words.begin() + 2, words.end());
    return verb->run(Context{devices_, *target, args});
}

std::string SimVerbs::Synopsis() {
    std::string text;
    for (const VerbRow& verb : kVerbs) text += std::string(verb.synopsis) + '\n';
    text += "KIND: " + NamesOf(kTargets) + '\n';
    return text;
}

}  // namespace q208::sim

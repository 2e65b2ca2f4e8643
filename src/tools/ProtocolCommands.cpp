#include "tools/ProtocolCommands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "device/DeviceResult.h"
#include "device/DeviceSlot.h"
#include "tools/CtlBusSession.h"
#include "tools/CtlDeviceSession.h"
#include "tools/CtlRunningCopy.h"
#include "tools/HexText.h"
#include "tools/SupportedDeviceFinder.h"

namespace q208 {
namespace {

// Information block bytes the tool decodes.
constexpr size_t kInfoKeyCount = 5;
constexpr size_t kInfoMacroUnits = 6;
constexpr uint32_t kMacroUnitBytes = 128;
constexpr uint32_t kKeyMapBytesPerKey = 3;

// Status block bytes.
constexpr size_t kStatusBattery = 0;
constexpr size_t kStatusCharge = 1;
constexpr size_t kStatusWireless = 3;
constexpr size_t kStatusForwarded = 4;
constexpr size_t kStatusPhone = 5;

// config OFFSET LENGTH limits: one command reads at most 4096 bytes of the 64 KiB area.
constexpr uint32_t kMaxConfigRead = 4096;
constexpr uint32_t kConfigAreaLimit = 0x10000;

// A device step that did not succeed: what was being done and its device result, or a
// fixed text when the failure is not a device result.
struct Failure {
    std::string operation;
    int result = kResultOk;
    std::string text;
};

int ReportFailure(std::ostream& err, const Failure& failure) {
    err << "error: " << failure.operation;
    if (failure.text.empty()) {
        err << ": result " << failure.result << " (" << DescribeDeviceResult(failure.result) << ")";
    } else {
        err << (failure.operation.empty() ? "" : ": ") << failure.text;
    }
    err << '\n';
    return ProtocolCommands::kExitFailed;
}

int UsageError(std::ostream& err, const std::string& reason) {
    err << "q208ctl: " << reason << '\n';
    return CtlCommandTable::kUsageError;
}

bool ExpectArguments(const CtlOptions& options, size_t count, std::ostream& err, int& exitCode) {
    if (options.arguments.size() == count) return true;
    exitCode = UsageError(err, options.command + " takes " + std::to_string(count) + " argument" +
                                   (count == 1 ? "" : "s") + ", got " + std::to_string(options.arguments.size()));
    return false;
}

std::string NotFoundHint(const SupportedDeviceFinder& finder) {
    if (finder.UnopenedCandidates() == 0) return {};
    return " (" + std::to_string(finder.UnopenedCandidates()) +
           " matching interface(s) could not be opened: check the access rights of /dev/hidraw*)";
}

using DeviceBody = std::function<int(CtlDeviceSession& session, std::ostream& out, std::ostream& err)>;

// Starts the bus, finds and selects the device, opens its channel and runs `body` on it.
int RunOnDevice(const CtlOptions& options, std::ostream& out, std::ostream& err, const DeviceBody& body) {
    if (auto forwarded = CtlRunningCopy::Forward(options, out, err)) return *forwarded;
    CtlBusSession bus;
    std::string error;
    if (!bus.Start(options, error, &out, &err)) return UsageError(err, error);
    SupportedDeviceFinder finder(bus.Bus());
    const std::vector<FoundInterface> found = finder.Scan();
    CtlDeviceTarget target;
    switch (CtlDeviceSelector::Select(options, found, target, error)) {
        case CtlDeviceSelector::Outcome::BadArguments: return UsageError(err, error);
        case CtlDeviceSelector::Outcome::NotFound:
            return ReportFailure(err, Failure{{}, kResultOk, error + " on " + bus.Where() + NotFoundHint(finder)});
        case CtlDeviceSelector::Outcome::Selected: break;
    }
    CtlDeviceSession session(bus.Bus(), target, options.trace ? &err : nullptr, options.host);
    if (!session.Open()) {
        return ReportFailure(err, Failure{"open " + target.name, kResultOk, "cannot open " + target.path + " for reading and writing"});
    }
    return body(session, out, err);
}

// BeginConfig, the reads, EndConfig. EndConfig also follows reads that failed once the
// session began, so the device is never left inside a configuration session.
std::optional<Failure> InConfigSession(CDeviceCommands& commands, const std::function<std::optional<Failure>()>& reads) {
    if (const int begin = commands.BeginConfig(); begin != kResultOk) return Failure{"begin configuration", begin, {}};
    std::optional<Failure> failure = reads();
    const int end = commands.EndConfig();
    if (!failure && end != kResultOk) failure = Failure{"end configuration", end, {}};
    return failure;
}

// The information block, then the channel's data size set from its key count.
std::optional<Failure> PrepareKeyArea(CDeviceCommands& commands, CDeviceChannel& channel) {
    std::array<uint8_t, CDeviceCommands::kDeviceInfoSize> info{};
    if (const int r = commands.ReadDeviceInfo(info); r != kResultOk) return Failure{"read device information", r, {}};
    const uint32_t keys = info[kInfoKeyCount];
    if (!channel.SetDataSize(keys * kKeyMapBytesPerKey)) {
        return Failure{"set data size", kResultOk,
                       "the key count " + std::to_string(keys) + " needs " + std::to_string(keys * kKeyMapBytesPerKey) +
                           " key-map bytes, more than the " + std::to_string(CDeviceChannel::kMaxDataSize) +
                           " a device holds"};
    }
    return std::nullopt;
}

// "k: hex …" for every device key index, `width` bytes per key.
void PrintPerKey(std::ostream& out, std::span<const uint8_t> bytes, size_t width) {
    if (bytes.empty()) out << "(no keys)\n";
    for (size_t key = 0; key * width < bytes.size(); ++key) {
        out << key << ": " << HexText::Bytes(bytes.subspan(key * width, width)) << '\n';
    }
}

// keymap and ledmap: the key area read inside a configuration session.
int ReadPerKeyArea(const CtlOptions& options, std::ostream& out, std::ostream& err, bool ledMap) {
    int exitCode = 0;
    if (!ExpectArguments(options, 0, err, exitCode)) return exitCode;
    return RunOnDevice(options, out, err, [ledMap](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
        CDeviceCommands& commands = session.Commands();
        std::vector<uint8_t> bytes;
        const auto failure = InConfigSession(commands, [&]() -> std::optional<Failure> {
            if (auto f = PrepareKeyArea(commands, session.Channel())) return f;
            const size_t size = session.Channel().DataSize();
            bytes.assign(ledMap ? size / kKeyMapBytesPerKey : size, 0);
            const int r = ledMap ? commands.ReadLedMap(bytes) : commands.ReadKeyMap(bytes);
            if (r != kResultOk) return Failure{ledMap ? "read LED map" : "read key map", r, {}};
            return std::nullopt;
        });
        if (failure) return ReportFailure(err, *failure);
        PrintPerKey(out, bytes, ledMap ? 1 : kKeyMapBytesPerKey);
        return 0;
    });
}

// Decimal, or hexadecimal after "0x".
bool ParseNumber(const std::string& text, uint32_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
    return ec == std::errc() && end == last && first != last;
}

struct Decoding {
    uint8_t value;
    const char* text;
};

constexpr Decoding kChargeStates[] = {{0, "charged"}, {1, "charging"}, {2, "on battery"}};
constexpr Decoding kLinkStates[] = {{0x00, "not linked"}, {kLinkUp, "linked"}};

std::string Decode(std::span<const Decoding> table, uint8_t value) {
    for (const Decoding& entry : table) {
        if (entry.value == value) return entry.text;
    }
    return "unknown (" + HexText::Byte(value) + ")";
}

std::string PhoneType(uint8_t value) {
    constexpr uint8_t kFirstPhoneType = 1, kLastPhoneType = 3;
    if (value >= kFirstPhoneType && value <= kLastPhoneType) return "type " + std::to_string(value);
    return "none";
}

}  // namespace

void ProtocolCommands::AddTo(CtlCommandTable& table) {
    table.Add({"list", "", "the supported interfaces found: slot, kind, role (primary/secondary), path", {}, List});
    table.Add({"info", "", "the 34-byte information block in hex, its key count and macro capacity", {}, Info});
    table.Add({"keymap", "", "the key map, one line per device key: 'k: type p1 p2' in hex", {}, KeyMap});
    table.Add({"ledmap", "", "the LED map, one line per device key: 'k: position' in hex", {}, LedMap});
    table.Add({"config", "OFFSET LENGTH",
               "hex dump of LENGTH (1-4096) bytes of the setting area from OFFSET (decimal or 0x hex)", {}, Config});
    table.Add({"status", "", "the 6-byte status block: battery, charge state, wireless, byte 4, phone type", {}, Status});
    table.Add({"link", "", "which devices behind the receiver are linked ('wired' on a cable)", {}, Link});
}

int ProtocolCommands::List(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    int exitCode = 0;
    if (!ExpectArguments(options, 0, err, exitCode)) return exitCode;
    CtlBusSession bus;
    std::string error;
    if (!bus.Start(options, error, &out, &err)) return UsageError(err, error);
    SupportedDeviceFinder finder(bus.Bus());
    std::vector<FoundInterface> found = finder.Scan();
    if (found.empty()) {
        return ReportFailure(err, Failure{{}, kResultOk,
                                   std::string("no supported device found on ") + bus.Where() + NotFoundHint(finder)});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const FoundInterface& a, const FoundInterface& b) { return a.slot < b.slot; });
    for (const FoundInterface& entry : found) {
        const DeviceSlot& row = SupportedDeviceTable()[entry.slot];
        char line[64];
        std::snprintf(line, sizeof line, "%2zu %-17s %-9s ", entry.slot, DeviceKindName(row.kind),
                      row.role == kRolePrimary ? "primary" : "secondary");
        out << line << entry.path << '\n';
    }
    return 0;
}

int ProtocolCommands::Info(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    int exitCode = 0;
    if (!ExpectArguments(options, 0, err, exitCode)) return exitCode;
    return RunOnDevice(options, out, err, [](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
        std::array<uint8_t, CDeviceCommands::kDeviceInfoSize> info{};
        if (const int r = session.Commands().ReadDeviceInfo(info); r != kResultOk) {
            return ReportFailure(err, Failure{"read device information", r, {}});
        }
        HexText::Dump(out, info, 0);
        out << "keys: " << unsigned{info[kInfoKeyCount]} << '\n'
            << "macro capacity: " << info[kInfoMacroUnits] * kMacroUnitBytes << " bytes\n";
        return 0;
    });
}

int ProtocolCommands::KeyMap(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    return ReadPerKeyArea(options, out, err, false);
}

int ProtocolCommands::LedMap(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    return ReadPerKeyArea(options, out, err, true);
}

int ProtocolCommands::Config(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    int exitCode = 0;
    if (!ExpectArguments(options, 2, err, exitCode)) return exitCode;
    uint32_t offset = 0, length = 0;
    if (!ParseNumber(options.arguments[0], offset) || !ParseNumber(options.arguments[1], length)) {
        return UsageError(err, "OFFSET and LENGTH must be decimal or 0x hexadecimal numbers");
    }
    if (length < 1 || length > kMaxConfigRead) {
        return UsageError(err, "LENGTH must be 1 to " + std::to_string(kMaxConfigRead));
    }
    if (offset >= kConfigAreaLimit || length > kConfigAreaLimit - offset) {
        return UsageError(err, "OFFSET + LENGTH must not pass 0x10000");
    }
    return RunOnDevice(options, out, err, [offset, length](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
        std::vector<uint8_t> bytes(length);
        if (const int r = session.Commands().ReadConfig(bytes, static_cast<uint16_t>(offset)); r != kResultOk) {
            return ReportFailure(err, Failure{"read setting area", r, {}});
        }
        HexText::Dump(out, bytes, offset);
        return 0;
    });
}

int ProtocolCommands::Status(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    int exitCode = 0;
    if (!ExpectArguments(options, 0, err, exitCode)) return exitCode;
    return RunOnDevice(options, out, err, [](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
        std::array<uint8_t, CDeviceCommands::kStatusSize> status{};
        if (const int r = session.Commands().ReadStatus(status, 0); r != kResultOk) {
            return ReportFailure(err, Failure{"read status", r, {}});
        }
        out << "status: " << HexText::Bytes(status) << '\n'
            << "battery: " << unsigned{status[kStatusBattery]} << "%\n"
            << "charge: " << Decode(kChargeStates, status[kStatusCharge]) << '\n'
            << "wireless: " << (status[kStatusWireless] ? "yes" : "no") << " (" << HexText::Byte(status[kStatusWireless])
            << ")\n"
            << "byte 4: " << HexText::Byte(status[kStatusForwarded]) << '\n'
            << "phone: " << PhoneType(status[kStatusPhone]) << '\n';
        return 0;
    });
}

int ProtocolCommands::Link(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    int exitCode = 0;
    if (!ExpectArguments(options, 0, err, exitCode)) return exitCode;
    return RunOnDevice(options, out, err, [](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
        if (!session.Channel().ViaReceiver()) {
            out << "wired: directly attached\n";
            return 0;
        }
        std::array<uint8_t, 2> link{};
        if (!session.Commands().QueryLink(link)) {
            // QueryLink reads a failed exchange as "nothing linked"; tell the two apart here.
            const std::vector<uint8_t>& answer = session.LastAnswer();
            if (session.AnswersRead() == 0) return ReportFailure(err, Failure{"query link", kResultNoAnswer, {}});
            if (answer.size() > report::kStatus && answer[report::kCommand] == static_cast<uint8_t>(Command::QueryLink)) {
                if (answer[report::kStatus] == kStatusFF) return ReportFailure(err, Failure{"query link", kResultStatusFF, {}});
                if (answer[report::kStatus] == kStatusFE) return ReportFailure(err, Failure{"query link", kResultStatusFE, {}});
            }
        }
        out << "keyboard: " << Decode(kLinkStates, link[0]) << '\n' << "mouse: " << Decode(kLinkStates, link[1]) << '\n';
        return 0;
    });
}

}  // namespace q208

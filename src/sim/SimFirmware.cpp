#include "sim/SimFirmware.h"

#include <algorithm>
#include <ostream>

#include "sim/SimHexText.h"
#include "sim/SimInfoBlock.h"

namespace q208::sim {
namespace {

// Reports queued for a glue that never drains them are dropped oldest first beyond this.
constexpr std::size_t kMaxPendingReports = 1024;

unsigned Le16(const std::vector<uint8_t>& bytes, std::size_t at) {
    return bytes[at] | static_cast<unsigned>(bytes[at + 1]) << 8;
}

void DescribeInfo(const std::vector<uint8_t>& info, std::ostream& out) {
    if (info.size() < SimInfoBlock::kSize) return;
    out << "firmware " << SimHexText::Hex(Le16(info, 0), 4) << "\nproduct " << SimHexText::Hex(Le16(info, 2), 4)
        << "\nkind " << int{info[4]} << "\nkeys " << int{info[5]} << "\nmacro-units " << int{info[6]}
        << "\nsensor " << SimHexText::Hex(Le16(info, 9), 4) << "\ndpi-step " << int{info[11]} << "\ndpi-min "
        << Le16(info, 14) << '\n';
}

constexpr const char* kChargeStates[] = {"charged", "charging", "on-battery"};

void DescribeStatus(const std::vector<uint8_t>& status, std::ostream& out) {
    if (status.size() < 6) return;
    out << "battery " << int{status[0]} << "\ncharge " << int{status[1]};
    if (status[1] < std::size(kChargeStates)) out << " (" << kChargeStates[status[1]] << ')';
    out << "\nwireless " << int{status[3]} << "\nvalue " << int{status[4]} << "\nphone " << int{status[5]} << '\n';
}

}  // namespace

void SimFirmware::DescribeArea(SimArea area, std::ostream& out) const {
    const std::vector<uint8_t> bytes = AreaBytes(area);
    if (bytes.empty()) return;
    if (area == SimArea::Info) DescribeInfo(bytes, out);
    if (area == SimArea::Status) DescribeStatus(bytes, out);
    if (area == SimArea::Config) DescribeConfig(out);
    SimHexText::Dump(out, bytes);
}

void SimFirmware::DescribeConfig(std::ostream&) const {}

const SimFirmware::CommandRule* SimFirmware::FindRule(uint8_t code) {
    static constexpr CommandRule kRules[] = {
        {Command::BeginConfig, Access::Control, SimArea::Info},
        {Command::EndConfig, Access::Control, SimArea::Info},
        {Command::ReadDeviceInfo, Access::Read, SimArea::Info},
        {Command::ReadConfig, Access::Read, SimArea::Config},
        {Command::WriteConfig, Access::Write, SimArea::Config},
        {Command::ReadKeyMap, Access::Read, SimArea::KeyMap},
        {Command::WriteKeyMap, Access::Write, SimArea::KeyMap},
        {Command::WriteLightFrame, Access::Write, SimArea::CustomSlots},
        {Command::StreamLightFrame, Access::Write, SimArea::LiveFrame},
        {Command::WriteMacroData, Access::Write, SimArea::MacroData},
        {Command::WriteMacroBlock, Access::Write, SimArea::MacroBlock},
        {Command::ReadStatus, Access::Read, SimArea::Status},
        {Command::ReadLedMap, Access::Read, SimArea::LedMap},
        {Command::EnableHostLighting, Access::Control, SimArea::Info},
        {Command::QueryLink, Access::Control, SimArea::Info},
    };
    for (const CommandRule& rule : kRules) {
        if (rule.code == code) {
            return &rule;
        }
    }
    return nullptr;
}

SimFirmware::SimFirmware(SimDeviceKind kind) : kind_(kind) {}

SimFirmware::~SimFirmware() = default;

std::vector<SimAnswer> SimFirmware::HandleOutputReport(std::span<const uint8_t> report) {
    if (report.size() != kReportSize || report[ReportByte::Id] != kVendorReportId) {
        return {};
    }
    Report request{};
    std::copy(report.begin(), report.end(), request.begin());
    {
        std::lock_guard lock(memoryMutex_);
        ++seen_[request[ReportByte::Command]];
    }
    traffic_.Received(request);
    std::vector<SimAnswer> answers = ApplyFaults(request);
    AddDecorations(request, answers);
    for (const SimAnswer& answer : answers) traffic_.Sent(answer.report);
    return answers;
}

std::vector<SimAnswer> SimFirmware::ApplyFaults(const Report& request) {
    if (faults_.unplugDuringTransfer.Take()) {
        RequestUnplug();
        return {};
    }
    if (faults_.noAnswer.Take()) {
        return {};
    }
    if (faults_.statusRefused.Take()) {
        return {SimAnswer{MakeAnswer(request, kStatusRefused)}};
    }
    if (faults_.statusBadChecksum.Take()) {
        return {SimAnswer{MakeAnswer(request, kStatusBadChecksum)}};
    }
    if (faults_.unreachableAnswer.Take()) {
        const bool stream = request[ReportByte::Command] == Command::StreamLightFrame;
        return {SimAnswer{MakeEcho(stream ? kUnreachableFast : kUnreachable)}};
    }
    return Respond(request);
}

void SimFirmware::AddDecorations(const Report& request, std::vector<SimAnswer>& answers) {
    if (answers.empty()) {
        return;
    }
    if (faults_.staleAnswer.Take()) {
        const int count = std::clamp(faults_.staleAnswers.load(), 1, 8);
        const Report stale = MakeEcho(StaleCommandFor(request[ReportByte::Command]));
        answers.insert(answers.begin(), static_cast<std::size_t>(count), SimAnswer{stale});
    }
    if (faults_.slowAnswer.Take()) {
        for (SimAnswer& answer : answers) {
            answer.delayMs += std::max(0, faults_.slowAnswerMs.load());
        }
    }
}

// A left-over answer of an earlier status poll, or of a BeginConfig when the request is
// itself a status read; never a code the host takes for "unreachable".
uint8_t SimFirmware::StaleCommandFor(uint8_t command) const {
    return command == Command::ReadStatus ? Command::BeginConfig : Command::ReadStatus;
}

std::vector<SimAnswer> SimFirmware::Respond(const Report& request) {
    if (!ChecksumMatches(request)) {
        return RejectChecksum(request);
    }
    const uint8_t code = request[ReportByte::Command];
    Report answer = MakeAnswer(request, kStatusOk);
    uint8_t status = kStatusRefused;
    if (const CommandRule* rule = FindRule(code)) {
        switch (rule->access) {
            case Access::Control:
                status = RunControl(code);
                if (code == Command::QueryLink) {
                    FillLinkState(answer);
                }
                break;
            case Access::Read:
                status = RunRead(rule->area, request, answer);
                break;
            case Access::Write:
                status = RunWrite(code, rule->area, request);
                break;
        }
    }
    answer[ReportByte::Status] = status;
    StoreChecksum(answer);
    return {SimAnswer{answer}};
}

std::vector<SimAnswer> SimFirmware::RejectChecksum(const Report& request) {
    ++badChecksums_;
    return {SimAnswer{MakeAnswer(request, kStatusBadChecksum)}};
}

uint8_t SimFirmware::RunControl(uint8_t code) {
    switch (code) {
        case Command::BeginConfig:
            configSession_.store(true);
            break;
        case Command::EndConfig:
            configSession_.store(false);
            break;
        case Command::EnableHostLighting:
            hostLighting_.store(true);
            break;
        default:
            break;
    }
    return kStatusOk;
}

uint8_t SimFirmware::RunRead(SimArea area, const Report& request, Report& answer) const {
    const std::size_t length = request[ReportByte::Length];
    const std::size_t offset = ReportOffset(request);
    std::lock_guard lock(memoryMutex_);
    const std::vector<uint8_t>& bytes = areas_[static_cast<std::size_t>(area)];
    if (bytes.empty() || length > kMaxPayload || offset + length > bytes.size()) {
        return kStatusRefused;
    }
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), length,
                answer.begin() + ReportByte::Data);
    return kStatusOk;
}

uint8_t SimFirmware::RunWrite(uint8_t code, SimArea area, const Report& request) {
    const std::size_t length = request[ReportByte::Length];
    const std::size_t offset = ReportOffset(request);
    std::lock_guard lock(memoryMutex_);
    std::vector<uint8_t>& bytes = areas_[static_cast<std::size_t>(area)];
    if (bytes.empty() || length > kMaxPayload || offset + length > bytes.size()) {
        return kStatusRefused;
    }
    std::copy_n(request.begin() + ReportByte::Data, length,
                bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    if (code == Command::StreamLightFrame && length > 0 && offset + length == bytes.size()) {
        ++liveFrames_;
    }
    return kStatusOk;
}

void SimFirmware::FillLinkState(Report& answer) const {
    answer[kKeyboardLinkByte] = kind_ == SimDeviceKind::Mouse ? kNotLinked : kLinked;
    answer[kMouseLinkByte] = kind_ == SimDeviceKind::Mouse ? kLinked : kNotLinked;
}

Report SimFirmware::MakeAnswer(const Report& request, uint8_t status) {
    Report answer{};
    answer[ReportByte::Id] = kVendorReportId;
    answer[ReportByte::Command] = request[ReportByte::Command];
    answer[ReportByte::Length] = request[ReportByte::Length];
    answer[ReportByte::OffsetLow] = request[ReportByte::OffsetLow];
    answer[ReportByte::OffsetHigh] = request[ReportByte::OffsetHigh];
    answer[ReportByte::Status] = status;
    StoreChecksum(answer);
    return answer;
}

Report SimFirmware::MakeEcho(uint8_t command) {
    Report answer{};
    answer[ReportByte::Id] = kVendorReportId;
    answer[ReportByte::Command] = command;
    StoreChecksum(answer);
    return answer;
}

void SimFirmware::DefineArea(SimArea area, std::vector<uint8_t> initial) {
    std::lock_guard lock(memoryMutex_);
    areas_[static_cast<std::size_t>(area)] = std::move(initial);
}

std::vector<uint8_t> SimFirmware::AreaBytes(SimArea area) const {
    std::lock_guard lock(memoryMutex_);
    return areas_[static_cast<std::size_t>(area)];
}

bool SimFirmware::Poke(SimArea area, std::size_t offset, std::span<const uint8_t> bytes) {
    std::lock_guard lock(memoryMutex_);
    std::vector<uint8_t>& memory = areas_[static_cast<std::size_t>(area)];
    if (offset > memory.size() || bytes.size() > memory.size() - offset) {
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), memory.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

uint32_t SimFirmware::CommandsSeen(uint8_t code) const {
    std::lock_guard lock(memoryMutex_);
    return seen_[code];
}

void SimFirmware::EmitEvent(uint16_t code) {
    Report report{};
    report[ReportByte::Id] = kVendorReportId;
    report[ReportByte::EventLow] = static_cast<uint8_t>(code & 0xFF);
    report[ReportByte::EventHigh] = static_cast<uint8_t>(code >> 8);
    QueueReport(report);
}

void SimFirmware::QueueReport(std::span<const uint8_t> report) {
    traffic_.Sent(report);
    {
        std::lock_guard forwardLock(forwardMutex_);
        if (forwarder_) {
            forwarder_(report);
            return;
        }
    }
    std::function<void()> notify;
    {
        std::lock_guard lock(reportsMutex_);
        if (pending_.size() >= kMaxPendingReports) {
            pending_.pop_front();
        }
        pending_.emplace_back(report.begin(), report.end());
        notify = reportsPending_;
    }
    if (notify) {
        notify();
    }
}

std::vector<std::vector<uint8_t>> SimFirmware::TakeSpontaneousInput() {
    std::lock_guard lock(reportsMutex_);
    std::vector<std::vector<uint8_t>> taken(pending_.begin(), pending_.end());
    pending_.clear();
    return taken;
}

std::vector<Report> SimFirmware::TakeSpontaneousReports() {
    std::vector<Report> vendor;
    for (const std::vector<uint8_t>& report : TakeSpontaneousInput()) {
        if (report.size() != kReportSize || report[ReportByte::Id] != kVendorReportId) continue;
        Report copy{};
        std::copy(report.begin(), report.end(), copy.begin());
        vendor.push_back(copy);
    }
    return vendor;
}

void SimFirmware::SetReportsPendingCallback(std::function<void()> callback) {
    std::lock_guard lock(reportsMutex_);
    reportsPending_ = std::move(callback);
}

void SimFirmware::SetForwarder(std::function<void(std::span<const uint8_t>)> forwarder) {
    std::lock_guard forwardLock(forwardMutex_);
    forwarder_ = std::move(forwarder);
}

void SimFirmware::SetUnplugHandler(std::function<void()> handler) {
    std::lock_guard lock(unplugMutex_);
    unplugHandler_ = std::move(handler);
}

void SimFirmware::RequestUnplug() {
    unplugRequested_.store(true);
    std::function<void()> handler;
    {
        std::lock_guard lock(unplugMutex_);
        handler = unplugHandler_;
    }
    if (handler) {
        handler();
    }
}

}  // namespace q208::sim

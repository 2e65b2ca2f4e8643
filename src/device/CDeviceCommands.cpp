#include "device/CDeviceCommands.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <thread>

#include "device/DeviceResult.h"
#include "platform/Trace.h"

namespace q208 {

const CDeviceCommands::CommandRule& CDeviceCommands::RuleOf(Command command) {
    static constexpr CommandRule kRules[] = {
        {Command::BeginConfig, LockKind::Command, Transfer::None, false, 0},
        {Command::EndConfig, LockKind::Command, Transfer::None, false, 0},
        {Command::ReadDeviceInfo, LockKind::Command, Transfer::Read, false, 0},
        {Command::ReadConfig, LockKind::Command, Transfer::Read, false, 0},
        {Command::WriteConfig, LockKind::Command, Transfer::Write, false, 0},
        {Command::ReadKeyMap, LockKind::Command, Transfer::Read, false, 0},
        {Command::WriteKeyMap, LockKind::Command, Transfer::Write, false, 0},
        {Command::WriteLightFrame, LockKind::Light, Transfer::Write, false, 0},
        {Command::StreamLightFrame, LockKind::Light, Transfer::Write, true, 0},
        {Command::WriteMacroData, LockKind::Command, Transfer::Write, false, 0},
        {Command::WriteMacroBlock, LockKind::None, Transfer::Write, false, kMacroBlockChunk},
        {Command::ReadStatus, LockKind::Command, Transfer::Read, false, 0},
        {Command::ReadLedMap, LockKind::Command, Transfer::Read, false, 0},
        {Command::EnableHostLighting, LockKind::Command, Transfer::None, false, 0},
        {Command::QueryLink, LockKind::Command, Transfer::None, false, 0},
    };
    for (const CommandRule& rule : kRules) {
        if (rule.command == command) return rule;
    }
    return kRules[0];  // unreachable: every command has a row
}

RecursiveLock* CDeviceCommands::LockFor(LockKind kind) {
    switch (kind) {
        case LockKind::Command: return &channel_.CommandLock();
        case LockKind::Light: return &channel_.LightLock();
        case LockKind::None: return nullptr;
    }
    return nullptr;
}

int CDeviceCommands::StatusResult(const Report& answer) {
    if (answer[report::kStatus] == kStatusFF) return kResultStatusFF;
    if (answer[report::kStatus] == kStatusFE) return kResultStatusFE;
    return kResultOk;
}

int CDeviceCommands::SendOne(const CommandRule& rule, const Report& request, Report& answer) {
    std::unique_lock<RecursiveLock> lock;
    if (RecursiveLock* mutex = LockFor(rule.lock)) lock = std::unique_lock<RecursiveLock>(*mutex);
    uint32_t bytes = 0;
    const int result = rule.fast ? channel_.TransactFast(request.data(), request.size(), answer.data(), answer.size(), &bytes)
                                 : channel_.Transact(request.data(), request.size(), answer.data(), answer.size(), &bytes);
    if (result != kResultOk) return result;
    // The channel hands over the last of two foreign answers with result 1; its status and
    // data belong to another command, so this command got no answer.
    if (answer[report::kCommand] != request[report::kCommand]) return kResultNoAnswer;
    return StatusResult(answer);
}

int CDeviceCommands::Single(Command command) {
    Report answer{};
    return SendOne(RuleOf(command), BuildCommandReport(command), answer);
}

int CDeviceCommands::Chunked(const CommandRule& rule, uint8_t* readOut, const uint8_t* writeData, size_t length,
                             uint32_t baseOffset) {
    // A fixed 56-byte chunk would put payload byte 24 at report byte 32, which the receiver
    // path overwrites with the target; through the receiver every command uses its chunk.
    const bool fixed = rule.fixedChunk != 0 && !channel_.ViaReceiver();
    const size_t chunk = fixed ? rule.fixedChunk : channel_.ChunkSize();
    if (rule.fast) droppedLightChunks_ = 0;
    for (size_t done = 0; done < length; done += chunk) {
        const auto n = static_cast<uint8_t>(std::min(chunk, length - done));
        const auto offset = static_cast<uint16_t>(baseOffset + done);
        if (rule.fast && channel_.IsBusy()) {
            // A live frame must never wait behind configuration traffic.
            TraceText("放弃灯光数据");
            ++droppedLightChunks_;
            continue;
        }
        std::span<const uint8_t> payload;
        if (writeData) payload = std::span<const uint8_t>(writeData + done, n);
        Report answer{};
        const int result = SendOne(rule, BuildCommandReport(rule.command, n, offset, payload), answer);
        if (result != kResultOk) return result;
        // Only an answer that echoes this chunk's command gets here (SendOne).
        if (readOut) std::copy_n(answer.begin() + report::kPayload, n, readOut + done);
    }
    return kResultOk;
}

int CDeviceCommands::BeginConfig() { return Single(Command::BeginConfig); }

int CDeviceCommands::EndConfig() {
    std::this_thread::sleep_for(std::chrono::milliseconds(kEndConfigDelayMs));
    return Single(Command::EndConfig);
}

int CDeviceCommands::ReadDeviceInfo(std::span<uint8_t, kDeviceInfoSize> info) {
    return Chunked(RuleOf(Command::ReadDeviceInfo), info.data(), nullptr, info.size(), 0);
}

int CDeviceCommands::ReadConfig(std::span<uint8_t> out, uint16_t offset) {
    return Chunked(RuleOf(Command::ReadConfig), out.data(), nullptr, out.size(), offset);
}

int CDeviceCommands::WriteConfig(std::span<const uint8_t> data, uint16_t offset) {
    return Chunked(RuleOf(Command::WriteConfig), nullptr, data.data(), data.size(), offset);
}

int CDeviceCommands::ReadKeyMap(std::span<uint8_t> out) {
    const size_t size = channel_.DataSize();
    if (out.size() < size) return kResultNoAnswer;
    return Chunked(RuleOf(Command::ReadKeyMap), out.data(), nullptr, size, 0);
}

int CDeviceCommands::WriteKeyMap(std::span<const uint8_t> data, int bank) {
    if (bank != 0) return kResultBadBank;
    const size_t size = channel_.DataSize();
    if (data.size() < size) return kResultNoAnswer;
    return Chunked(RuleOf(Command::WriteKeyMap), nullptr, data.data(), size, 0);
}

int CDeviceCommands::WriteLightFrame(std::span<const uint8_t> data, uint32_t slotIndex, uint32_t slotStride) {
    return Chunked(RuleOf(Command::WriteLightFrame), nullptr, data.data(), data.size(), slotIndex * slotStride);
}

int CDeviceCommands::StreamLightFrame(std::span<const uint8_t> data) {
    return Chunked(RuleOf(Command::StreamLightFrame), nullptr, data.data(), data.size(), 0);
}

int CDeviceCommands::WriteMacroData(std::span<const uint8_t> data) {
    return Chunked(RuleOf(Command::WriteMacroData), nullptr, data.data(), data.size(), 0);
}

int CDeviceCommands::WriteMacroBlock(std::span<const uint8_t> data) {
    return Chunked(RuleOf(Command::WriteMacroBlock), nullptr, data.data(), data.size(), 0);
}

int CDeviceCommands::ReadStatus(std::span<uint8_t> out, uint16_t offset) {
    const size_t length = std::min<size_t>(out.size(), channel_.ChunkSize());
    return Chunked(RuleOf(Command::ReadStatus), out.data(), nullptr, length, offset);
}

int CDeviceCommands::ReadLedMap(std::span<uint8_t> out) {
    const size_t size = channel_.DataSize() / 3;
    if (out.size() < size) return kResultNoAnswer;
    return Chunked(RuleOf(Command::ReadLedMap), out.data(), nullptr, size, 0);
}

int CDeviceCommands::EnableHostLighting() { return Single(Command::EnableHostLighting); }

bool CDeviceCommands::QueryLink() {
    uint8_t ignored[2] = {};
    return QueryLink(ignored);
}

bool CDeviceCommands::QueryLink(std::span<uint8_t, 2> linkOut) {
    if (!channel_.ViaReceiver()) return true;
    const CommandRule& rule = RuleOf(Command::QueryLink);
    Report answer{};
    uint32_t bytes = 0;
    const Report request = BuildCommandReport(Command::QueryLink);
    int result;
    {
        std::lock_guard lock(*LockFor(rule.lock));
        result = channel_.Transact(request.data(), request.size(), answer.data(), answer.size(), &bytes);
    }
    const uint8_t keyboard = answer[report::kPayload];
    const uint8_t mouse = answer[report::kPayload + 1];
    const bool anyLinked = keyboard == kLinkUp || mouse == kLinkUp;
    // A failed query reads as "nothing linked": the link bytes are only taken from an answer
    // that succeeded, so a broken answer never attaches a device.
    const bool answered = result == kResultOk && answer[report::kCommand] == request[report::kCommand];
    const bool linked = anyLinked && answered && StatusResult(answer) == kResultOk;
    if (linked) {
        linkOut[0] = keyboard;
        linkOut[1] = mouse;
    }
    return linked;
}

}  // namespace q208

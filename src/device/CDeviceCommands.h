#pragma once

#include <cstdint>
#include <span>

#include "device/CDeviceChannel.h"
#include "device/CommandReport.h"

namespace q208 {

// The vendor command set on one command channel. Every operation returns a device result
// (DeviceResult.h); chunked operations stop at the first chunk that does not succeed and
// return its result, leaving chunks already written in place. An answer that does not echo
// the command sent counts as no answer (0): nothing of it is copied or taken as a status.
class CDeviceCommands {
public:
    static constexpr size_t kDeviceInfoSize = 34;
    static constexpr size_t kStatusSize = 6;
    static constexpr uint32_t kEndConfigDelayMs = 10;
    static constexpr uint8_t kMacroBlockChunk = 56;

    explicit CDeviceCommands(CDeviceChannel& channel) : channel_(channel) {}

    int BeginConfig();
    int EndConfig();
    int ReadDeviceInfo(std::span<uint8_t, kDeviceInfoSize> info);
    int ReadConfig(std::span<uint8_t> out, uint16_t offset);
    int WriteConfig(std::span<const uint8_t> data, uint16_t offset);
    // Reads / writes the channel's data size bytes of the key map.
    int ReadKeyMap(std::span<uint8_t> out);
    int WriteKeyMap(std::span<const uint8_t> data, int bank);
    int WriteLightFrame(std::span<const uint8_t> data, uint32_t slotIndex, uint32_t slotStride);
    int StreamLightFrame(std::span<const uint8_t> data);
    int WriteMacroData(std::span<const uint8_t> data);
    // 56-byte chunks on the cable; through the receiver its 24-byte chunks.
    int WriteMacroBlock(std::span<const uint8_t> data);
    // One report, at most one chunk.
    int ReadStatus(std::span<uint8_t> out, uint16_t offset);
    // Reads the channel's data size ÷ 3 bytes: one LED position per key.
    int ReadLedMap(std::span<uint8_t> out);
    int EnableHostLighting();
    // True when the keyboard (linkOut[0]) or the mouse (linkOut[1]) behind the receiver is
    // linked; on the wired path true without sending. linkOut is written only when one is linked.
    bool QueryLink(std::span<uint8_t, 2> linkOut);
    bool QueryLink();

    // Chunks sent by the last StreamLightFrame that found the channel busy.
    uint32_t DroppedLightChunks() const { return droppedLightChunks_; }

private:
    enum class LockKind { Command, Light, None };
    enum class Transfer { None, Read, Write };
    struct CommandRule {
        Command command;
        LockKind lock;
        Transfer transfer;
        bool fast;            // TransactFast, dropping chunks while the channel is busy
        uint8_t fixedChunk;   // 0: the channel's chunk size
    };
    static const CommandRule& RuleOf(Command command);

    int Single(Command command);
    int Chunked(const CommandRule& rule, uint8_t* readOut, const uint8_t* writeData, size_t length, uint32_t baseOffset);
    int SendOne(const CommandRule& rule, const Report& request, Report& answer);
    RecursiveLock* LockFor(LockKind kind);
    static int StatusResult(const Report& answer);

    CDeviceChannel& channel_;
    uint32_t droppedLightChunks_ = 0;
};

}  // namespace q208

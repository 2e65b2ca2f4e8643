#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "device/CHidDevice.h"
#include "platform/RecursiveLock.h"

namespace q208 {

// The path over which one device object exchanges vendor reports with its device: the
// device's own vendor interface (wired) or the receiver's (wireless). Transact sends one
// 64-byte report and waits for the answer that echoes its command byte.
//
// Locks: the command set takes the command lock (or the light lock) around each
// transaction, then Transact takes the I/O lock; never the other way round. The I/O lock
// covers the drain of queued input, the write and the reads of one transaction.
//
// An answer is the input report whose byte 3 echoes the command. Reports queued before the
// write are drained on both paths and on the fast path; of the reports read after it, event
// reports (byte 3 = 0) are skipped, and after two answers to other commands the last one is
// returned with result 1: callers that use answer bytes check the echo (CDeviceCommands).
class CDeviceChannel {
public:
    enum LinkType : int { kLinkWired = 1, kLinkReceiver = 2 };
    static constexpr uint16_t kMaxDataSize = 512;
    static constexpr uint8_t kWiredChunk = 56;
    static constexpr uint8_t kReceiverChunk = 24;
    static constexpr int kWiredTimeoutMs = 1000;
    static constexpr int kReceiverTimeoutMs = 5000;
    static constexpr int kFastTimeoutMs = 500;

    // Traffic observer for diagnostics: sent is true for the report written, false for
    // every report read. Called with the I/O lock held; must not call back into the channel.
    using TrafficObserver = std::function<void(bool sent, std::span<const uint8_t> report)>;

    explicit CDeviceChannel(std::shared_ptr<IHidBus> bus = DefaultHidBus());
    ~CDeviceChannel();
    CDeviceChannel(const CDeviceChannel&) = delete;
    CDeviceChannel& operator=(const CDeviceChannel&) = delete;

    int Transact(const uint8_t* request, size_t requestLength, uint8_t* answer, size_t answerLength,
                 uint32_t* bytesRead);
    int TransactFast(const uint8_t* request, size_t requestLength, uint8_t* answer, size_t answerLength,
                     uint32_t* bytesRead);

    bool SetDataSize(uint32_t size);
    uint16_t DataSize() const { return dataSize_.load(); }
    void SetLinkType(int type);
    void SetTarget(uint32_t target) { target_ = target; }
    uint32_t Target() const { return target_.load(); }
    int IsOpen() const { return open_.load(); }
    void SetOpen(bool open) { open_ = open ? 1 : 0; }
    bool ViaReceiver() const { return viaReceiver_.load() != 0; }
    void SetViaReceiver(bool via) { viaReceiver_ = via ? 1 : 0; }
    uint8_t ChunkSize() const { return chunkSize_.load(); }
    bool IsBusy() const { return busy_.load() > 0; }
    bool LightingHold() const { return lightingHold_.load() != 0; }
    void SetLightingHold(bool hold) { lightingHold_ = hold ? 1 : 0; }

    // Opens one path's device (read + write, shared) under the I/O lock, sets the link type
    // and target, and marks the channel open. False when the open failed.
    bool OpenPath(const std::string& path, int linkType, uint32_t target);
    // Closes both devices under the I/O lock and marks the channel closed.
    void CloseAll();

    CHidDevice& WiredDevice() { return wired_; }
    CHidDevice& ReceiverDevice() { return receiver_; }
    RecursiveLock& IoLock() { return ioLock_; }
    RecursiveLock& ListenerLock() { return listenerLock_; }
    RecursiveLock& CommandLock() { return commandLock_; }
    RecursiveLock& LightLock() { return lightLock_; }

    void SetTrafficObserver(TrafficObserver observer);

private:
    struct PathTiming {
        int writeTimeoutMs;
        int readTimeoutMs;
        uint8_t unreachableEcho;
    };
    int TransactOn(const PathTiming& timing, const uint8_t* request, size_t requestLength, uint8_t* answer,
                   size_t answerLength, uint32_t* bytesRead);
    // Up to two answers after the write, I/O lock held; event reports between them are skipped.
    int ReadAnswer(CHidDevice& device, const PathTiming& timing, uint8_t command, uint8_t* answer,
                   size_t answerLength, uint32_t* bytesRead);
    void Observe(bool sent, const uint8_t* data, size_t length);

    std::atomic<uint16_t> dataSize_{kMaxDataSize};
    std::atomic<int> busy_{0};
    std::atomic<int> open_{0};
    std::atomic<int> lightingHold_{0};
    CHidDevice wired_;
    CHidDevice receiver_;
    RecursiveLock ioLock_;
    RecursiveLock listenerLock_;
    RecursiveLock commandLock_;
    RecursiveLock lightLock_;
    std::atomic<int> viaReceiver_{0};
    std::atomic<uint32_t> target_{0};
    std::atomic<uint8_t> chunkSize_{kReceiverChunk};
    TrafficObserver observer_;
};

}  // namespace q208

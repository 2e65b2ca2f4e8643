#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/HidBus.h"
#include "device/HidData.h"
#include "device/HidReportDescriptor.h"
#include "platform/Event.h"

namespace q208 {

// One HID interface (one top-level collection) of a bus: enumeration, open, reads and
// writes with a time-out that another thread can abort by closing, and input-report
// unpacking. Results follow the device layer's rule: bool or int, nothing throws.
class CHidDevice {
public:
    // What Open captures for one report type.
    struct ReportSet {
        std::vector<uint8_t> buffer;  // the type's report length, zeroed
        std::vector<HidData> data;    // one per button caps entry, one per value usage
        std::vector<HidButtonCaps> buttonCaps;
        std::vector<HidValueCaps> valueCaps;
    };

    explicit CHidDevice(std::shared_ptr<IHidBus> bus = DefaultHidBus());
    ~CHidDevice();
    CHidDevice(const CHidDevice&) = delete;
    CHidDevice& operator=(const CHidDevice&) = delete;

    // Lists every path present and puts the cursor on the first. A bus that cannot be
    // listed reads as one without interfaces: a device plugged later still shows up.
    bool EnumeratePaths();
    // The path at the cursor, then the cursor moves on; null past the end or without a
    // list. The text stays valid until the next EnumeratePaths or FreePaths.
    const char* NextPath();
    void FreePaths();
    uint32_t PathCount() const { return static_cast<uint32_t>(paths_.size()); }

    // `overlapped` and `exclusive` are kept for callers; every transfer here has a
    // time-out and the bus shares its nodes.
    bool Open(const std::string& path, bool wantRead, bool wantWrite, bool overlapped, bool exclusive);
    bool Reopen();
    // Wakes a read or write waiting on another thread, then frees what Open captured.
    void Close();
    bool IsOpen() const;

    // Nonzero when a report was transferred; 0 on failure, time-out or Close.
    // 0xFFFFFFFF waits without a time-out.
    int ReadReport(uint8_t* buf, uint32_t len, uint32_t* bytesOut, uint32_t timeoutMs);
    int WriteReport(const uint8_t* buf, uint32_t len, uint32_t* bytesOut, uint32_t timeoutMs);
    bool FlushQueue();
    bool PathExists(const std::string& path);

    const HidCaps& Caps() const { return caps_; }
    const HidAttributes& Attributes() const { return attributes_; }
    uint32_t InterfaceNumber() const { return interfaceNumber_; }
    uint32_t CollectionNumber() const { return collectionNumber_; }
    const std::string& DevicePath() const { return devicePath_; }
    bool IsReadPending() const { return readPending_.load(); }
    bool IsWritePending() const { return writePending_.load(); }
    bool WantRead() const { return wantRead_; }
    bool WantWrite() const { return wantWrite_; }
    bool Overlapped() const { return overlapped_; }
    bool Exclusive() const { return exclusive_; }

    // The parsed collection of the open path (what UnpackInputReport needs); null when closed.
    const HidTopLevelCollection* PreparsedData() const;
    ReportSet& Input() { return reports_[0]; }
    ReportSet& Output() { return reports_[1]; }
    ReportSet& Feature() { return reports_[2]; }
    const ReportSet& Input() const { return reports_[0]; }
    const ReportSet& Output() const { return reports_[1]; }
    const ReportSet& Feature() const { return reports_[2]; }

    // Fills the entries of `data` whose report id is byte 0 of `report`. False when a
    // value cannot be read out of the report.
    static bool UnpackInputReport(const uint8_t* report, uint32_t len, HidData* data,
                                  uint32_t count, const HidTopLevelCollection* preparsed);

private:
    bool CaptureInformation();
    void BuildReportSet(HidReportType type);
    void FreeInformation();

    std::shared_ptr<IHidBus> bus_;
    std::vector<std::string> paths_;
    bool havePaths_ = false;
    uint32_t cursor_ = 0;

    bool wantRead_ = false, wantWrite_ = false, overlapped_ = false, exclusive_ = false;
    std::string devicePath_;
    std::shared_ptr<const HidReportDescriptor> descriptor_;
    const HidTopLevelCollection* collection_ = nullptr;
    HidCaps caps_;
    HidAttributes attributes_;
    ReportSet reports_[kHidReportTypeCount];
    uint32_t interfaceNumber_ = 0, collectionNumber_ = 0;

    // The handle is shared with a transfer in flight, so Close on another thread never
    // pulls it from under a waiting read. Reads and writes have their own abort events
    // so that Close wakes both when both wait.
    mutable std::mutex handleMutex_;
    std::shared_ptr<IHidHandle> handle_;
    Event readAbort_{Event::ResetMode::Auto};
    Event writeAbort_{Event::ResetMode::Auto};
    std::atomic<bool> readPending_{false};
    std::atomic<bool> writePending_{false};
};

}  // namespace q208

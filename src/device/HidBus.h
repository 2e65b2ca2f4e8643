#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Event.h"

namespace q208 {

struct HidAttributes {
    uint16_t vendorId = 0, productId = 0, versionNumber = 0;
};

// Report capabilities of one top-level collection, with the caps counts a caller needs to
// size its arrays.
struct HidCaps {
    uint16_t usage = 0, usagePage = 0, inputReportByteLength = 0, outputReportByteLength = 0,
             featureReportByteLength = 0;
    uint16_t numberLinkCollectionNodes = 0;
    uint16_t numberInputButtonCaps = 0, numberInputValueCaps = 0, numberInputDataIndices = 0;
    uint16_t numberOutputButtonCaps = 0, numberOutputValueCaps = 0, numberOutputDataIndices = 0;
    uint16_t numberFeatureButtonCaps = 0, numberFeatureValueCaps = 0, numberFeatureDataIndices = 0;
};

// Results of IHidHandle::Read and Write besides a byte count.
inline constexpr int kHidIoTimeout = 0;
inline constexpr int kHidIoFailed = -1;
inline constexpr int kHidIoAborted = -2;

// One opened path (one top-level collection). One thread at a time reads and one at a
// time writes; Flush may run next to a read.
class IHidHandle {
public:
    virtual ~IHidHandle() = default;
    // One input report of this collection: byte 0 is the report id (0 when the device uses
    // none), then the report, zero-padded to the collection's input length when `len`
    // allows. Returns the bytes stored, 0 on time-out, -1 on failure or unplug, -2 when
    // `abort` (may be null) was signalled. A negative time-out waits forever.
    virtual int Read(uint8_t* buf, size_t len, int timeoutMs, const Event* abort) = 0;
    // One output report in the same layout; bytes written or 0 / -1 / -2 as for Read.
    virtual int Write(const uint8_t* buf, size_t len, int timeoutMs, const Event* abort) = 0;
    // Drops the input reports that have arrived and not been read.
    virtual void Flush() = 0;
};

class IHidBus {
public:
    virtual ~IHidBus() = default;
    // Every top-level-collection path present, in a stable order; empty when none. Never throws.
    virtual std::vector<std::string> EnumeratePaths() = 0;
    // As EnumeratePaths, but false when the bus itself could not be listed (a missing or
    // unreadable folder), which callers such as a listing tool report.
    virtual bool TryEnumeratePaths(std::vector<std::string>& out) {
        out = EnumeratePaths();
        return true;
    }
    virtual bool Exists(const std::string& path) = 0;
    // Null when the path is gone or cannot be opened with the asked access.
    virtual std::unique_ptr<IHidHandle> Open(const std::string& path, bool read, bool write) = 0;
    // The report descriptor of the interface the path belongs to; empty when unknown.
    virtual std::vector<uint8_t> ReportDescriptor(const std::string& path) = 0;
    virtual bool Attributes(const std::string& path, HidAttributes& out) = 0;
};

// The process default: hidraw on /sys and /dev until a caller switches it.
std::shared_ptr<IHidBus> DefaultHidBus();
void SetDefaultHidBus(std::shared_ptr<IHidBus> bus);

}  // namespace q208

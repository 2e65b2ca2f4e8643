#pragma once

#include <memory>
#include <vector>

#include "device/HidBus.h"
#include "device/HidReportDescriptor.h"
#include "device/HidrawWriter.h"
#include "device/UniqueFd.h"

namespace q208 {

// One top-level collection of an open hidraw node (or of anything that keeps report
// boundaries on a descriptor, such as a SOCK_SEQPACKET socket in tests). The node
// delivers the reports of every collection of the interface; this handle keeps its own.
// Writes go through a HidrawWriter, since the kernel's write does not honour a time-out.
class HidrawHandle : public IHidHandle {
public:
    HidrawHandle(UniqueFd fd, std::shared_ptr<const HidReportDescriptor> descriptor,
                 size_t collectionIndex);

    int Read(uint8_t* buf, size_t len, int timeoutMs, const Event* abort) override;
    int Write(const uint8_t* buf, size_t len, int timeoutMs, const Event* abort) override;
    void Flush() override;

private:
    enum class Ready { Yes, TimedOut, Aborted, Failed };
    Ready WaitFor(short events, uint64_t deadline, bool forever, const Event* abort) const;
    // Copies one raw report from the node into `buf` in the common layout; 0 when the
    // report belongs to another collection.
    int ToCommonLayout(const uint8_t* raw, size_t rawLength, uint8_t* buf, size_t len) const;

    // Shared with the writer, whose thread may outlive the handle inside a stalled write.
    std::shared_ptr<const UniqueFd> fd_;
    std::shared_ptr<const HidReportDescriptor> descriptor_;
    size_t collection_;
    std::vector<uint8_t> readBuffer_;
    HidrawWriter writer_;
};

}  // namespace q208

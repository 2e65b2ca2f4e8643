#include "device/HidrawHandle.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <thread>

#include "device/CHidDevice.h"
#include "device/HidPath.h"
#include "device/TestDescriptors.h"
#include "platform/TickCount.h"

using namespace q208;

namespace {

// A bus with one node whose far end the test holds: a SOCK_SEQPACKET pair keeps report
// boundaries as a hidraw node does.
class SocketBus : public IHidBus {
public:
    explicit SocketBus(std::vector<uint8_t> descriptor) : bytes_(std::move(descriptor)) {
        descriptor_ = std::make_shared<const HidReportDescriptor>(*HidReportDescriptor::Parse(bytes_));
    }

    std::string Path(int collection) const {
        return HidPath::Make("/dev/hidraw7", 0x4E5B, 0x7C13, 1,
                             descriptor_->Collections().size() > 1 ? collection : 0);
    }
    std::vector<std::string> EnumeratePaths() override { return {Path(1)}; }
    bool Exists(const std::string&) override { return true; }
    std::unique_ptr<IHidHandle> Open(const std::string& path, bool, bool) override {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) return nullptr;
        far_ = UniqueFd(fds[1]);
        return std::make_unique<HidrawHandle>(UniqueFd(fds[0]), descriptor_, HidPath::CollectionIndex(path));
    }
    std::vector<uint8_t> ReportDescriptor(const std::string&) override { return bytes_; }
    bool Attributes(const std::string&, HidAttributes& out) override {
        out = HidAttributes{0x4E5B, 0x7C13, 1};
        return true;
    }

    void Send(std::vector<uint8_t> raw) { ASSERT_EQ(::send(far_.Get(), raw.data(), raw.size(), 0), ssize_t(raw.size())); }
    std::vector<uint8_t> Receive() {
        std::vector<uint8_t> raw(128);
        const ssize_t n = ::recv(far_.Get(), raw.data(), raw.size(), MSG_DONTWAIT);
        raw.resize(n > 0 ? size_t(n) : 0);
        return raw;
    }
    void Unplug() { far_.Reset(); }

private:
    std::vector<uint8_t> bytes_;
    std::shared_ptr<const HidReportDescriptor> descriptor_;
    UniqueFd far_;
};

struct OpenDevice {
    std::shared_ptr<SocketBus> bus;
    std::unique_ptr<CHidDevice> device;
};

OpenDevice OpenOn(const std::vector<uint8_t>& descriptor, int collection) {
    OpenDevice d{std::make_shared<SocketBus>(descriptor), nullptr};
    d.device = std::make_unique<CHidDevice>(d.bus);
    EXPECT_TRUE(d.device->Open(d.bus->Path(collection), true, true, true, false));
    return d;
}

}  // namespace

TEST(HidrawHandle, ReadsOnlyItsOwnCollectionInCommonLayout) {
    OpenDevice d = OpenOn(test::kConsumerAndVendor, 2);
    d.bus->Send({3, 0xE9, 0x00});        // consumer report: not ours
    d.bus->Send({4, 0x11, 0x22, 0x33});  // short vendor report: padded to 64
    uint8_t buf[64];
    uint32_t got = 0;
    ASSERT_NE(d.device->ReadReport(buf, sizeof buf, &got, 1000), 0);
    EXPECT_EQ(got, 64u);
    EXPECT_EQ(buf[0], 4);
    EXPECT_EQ(buf[1], 0x11);
    EXPECT_EQ(buf[3], 0x33);
    EXPECT_EQ(buf[4], 0);
    EXPECT_FALSE(d.device->IsReadPending());
}

TEST(HidrawHandle, DeviceWithoutIdsGetsAZeroIdByteBothWays) {
    OpenDevice d = OpenOn(test::kVendorNoIds, 1);
    d.bus->Send({1, 2, 3, 4, 5, 6, 7, 8});
    uint8_t buf[9];
    uint32_t got = 0;
    ASSERT_NE(d.device->ReadReport(buf, sizeof buf, &got, 1000), 0);
    EXPECT_EQ(got, 9u);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[1], 1);
    EXPECT_EQ(buf[8], 8);
    // hidraw takes the 0 id byte in front of an unnumbered report and drops it itself.
    const uint8_t out[9] = {0, 9, 8, 7, 6, 5, 4, 3, 2};
    ASSERT_NE(d.device->WriteReport(out, sizeof out, &got, 1000), 0);
    EXPECT_EQ(got, 9u);
    EXPECT_EQ(d.bus->Receive(), std::vector<uint8_t>(out, out + 9));
}

TEST(HidrawHandle, SilentDeviceTimesOutAfterAboutTheTimeOut) {
    OpenDevice d = OpenOn(test::kConsumerAndVendor, 2);
    uint8_t buf[64];
    uint32_t got = 99;
    const uint64_t start = TickCount64();
    EXPECT_EQ(d.device->ReadReport(buf, sizeof buf, &got, 1000), 0);
    const uint64_t took = TickCount64() - start;
    EXPECT_GE(took, 990u);
    EXPECT_LT(took, 3000u);
    EXPECT_EQ(got, 0u);
    EXPECT_FALSE(d.device->IsReadPending());
}

TEST(HidrawHandle, CloseFromAnotherThreadWakesAPendingRead) {
    OpenDevice d = OpenOn(test::kConsumerAndVendor, 2);
    int result = -1;
    uint64_t took = 0;
    std::thread reader([&] {
        uint8_t buf[64];
        const uint64_t start = TickCount64();
        result = d.device->ReadReport(buf, sizeof buf, nullptr, 10000);
        took = TickCount64() - start;
    });
    while (!d.device->IsReadPending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    d.device->Close();
    reader.join();
    EXPECT_EQ(result, 0);
    EXPECT_LT(took, 2000u);
    EXPECT_FALSE(d.device->IsOpen());
    // A read after Close fails at once; a reopen reads again.
    uint8_t buf[64];
    EXPECT_EQ(d.device->ReadReport(buf, sizeof buf, nullptr, 5000), 0);
    ASSERT_TRUE(d.device->Reopen());
    d.bus->Send({4, 1});
    EXPECT_NE(d.device->ReadReport(buf, sizeof buf, nullptr, 1000), 0);
}

TEST(HidrawHandle, UnplugDuringAReadFailsIt) {
    OpenDevice d = OpenOn(test::kConsumerAndVendor, 2);
    int result = -1;
    std::thread reader([&] {
        uint8_t buf[64];
        result = d.device->ReadReport(buf, sizeof buf, nullptr, 10000);
    });
    while (!d.device->IsReadPending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const uint64_t start = TickCount64();
    d.bus->Unplug();
    reader.join();
    EXPECT_EQ(result, 0);
    EXPECT_LT(TickCount64() - start, 2000u);
    uint8_t out[64] = {4};
    EXPECT_EQ(d.device->WriteReport(out, sizeof out, nullptr, 100), 0);
}

TEST(HidrawHandle, FlushDropsWhatHasArrived) {
    OpenDevice d = OpenOn(test::kConsumerAndVendor, 2);
    d.bus->Send({4, 1});
    d.bus->Send({4, 2});
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(d.device->FlushQueue());
    uint8_t buf[64];
    EXPECT_EQ(d.device->ReadReport(buf, sizeof buf, nullptr, 0), 0);
    d.bus->Send({4, 3});
    ASSERT_NE(d.device->ReadReport(buf, sizeof buf, nullptr, 1000), 0);
    EXPECT_EQ(buf[1], 3);
}

namespace {

// A node whose write blocks although poll() calls it writable, as a hidraw write to a
// device that does not take the report does: a blocking stream socket whose far end
// reads nothing, given a report larger than its buffer.
struct StalledNode {
    StalledNode() {
        int fds[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
        const int small = 4096;
        setsockopt(fds[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
        near = UniqueFd(fds[0]);
        far = UniqueFd(fds[1]);
    }
    // Takes `bytes` bytes off the far end (the device finally accepts the report).
    size_t Drain(size_t bytes) {
        std::vector<uint8_t> chunk(65536);
        size_t got = 0;
        while (got < bytes) {
            const ssize_t n = ::recv(far.Get(), chunk.data(), std::min(chunk.size(), bytes - got), 0);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        return got;
    }
    UniqueFd near, far;
};

std::shared_ptr<const HidReportDescriptor> VendorDescriptor() {
    return std::make_shared<const HidReportDescriptor>(*HidReportDescriptor::Parse(test::kConsumerAndVendor));
}

}  // namespace

TEST(HidrawHandle, WriteTheNodeDoesNotTakeEndsAtItsTimeOutAndHoldsUpTheNextOne) {
    StalledNode node;
    HidrawHandle handle(std::move(node.near), VendorDescriptor(), 1);
    const std::vector<uint8_t> stuck(1 << 20, 4);
    uint8_t report[64] = {4, 0x01};

    uint64_t start = TickCount64();
    EXPECT_EQ(handle.Write(stuck.data(), stuck.size(), 200, nullptr), kHidIoTimeout);
    uint64_t took = TickCount64() - start;
    EXPECT_GE(took, 190u);
    EXPECT_LT(took, 2000u);

    // The stuck report is still in the kernel: the next write waits for it, within its own
    // time-out or until it is aborted, and sends nothing.
    EXPECT_EQ(handle.Write(report, sizeof report, 100, nullptr), kHidIoTimeout);
    Event abort(Event::ResetMode::Auto);
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        abort.Set();
    });
    start = TickCount64();
    EXPECT_EQ(handle.Write(report, sizeof report, 10000, &abort), kHidIoAborted);
    EXPECT_LT(TickCount64() - start, 2000u);
    closer.join();

    // The device takes the stuck report at last; the next one follows it alone.
    EXPECT_EQ(node.Drain(stuck.size()), stuck.size());
    EXPECT_EQ(handle.Write(report, sizeof report, 5000, nullptr), 64);
    ASSERT_EQ(node.Drain(64), 64u);
}

TEST(HidrawHandle, ClosingDuringAStalledWriteDoesNotWaitForTheKernel) {
    StalledNode node;
    auto handle = std::make_unique<HidrawHandle>(std::move(node.near), VendorDescriptor(), 1);
    const std::vector<uint8_t> stuck(1 << 20, 4);
    EXPECT_EQ(handle->Write(stuck.data(), stuck.size(), 100, nullptr), kHidIoTimeout);
    const uint64_t start = TickCount64();
    handle.reset();
    EXPECT_LT(TickCount64() - start, 500u);
    // The write finishes once the far end reads, and then the node is closed: end of file.
    EXPECT_EQ(node.Drain(stuck.size()), stuck.size());
    uint8_t byte = 0;
    EXPECT_EQ(::recv(node.far.Get(), &byte, 1, 0), 0);
}

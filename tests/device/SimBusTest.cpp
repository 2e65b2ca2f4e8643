#include "device/SimBus.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "device/CHidDevice.h"
#include "device/TestDescriptors.h"
#include "platform/TickCount.h"

using namespace q208;

namespace {

SimBus::InterfaceInfo KeyboardInterface() {
    return SimBus::InterfaceInfo{0x4E5B, 0x7C13, 0x0100, 1, test::kConsumerAndVendor};
}

std::vector<uint8_t> VendorReport(uint8_t first) {
    std::vector<uint8_t> report(64, 0);
    report[0] = 4;
    report[1] = first;
    return report;
}

}  // namespace

TEST(SimBus, PlugListsOnePathPerCollectionAndRefusesBadDescriptors) {
    SimBus bus;
    const int id = bus.Plug(KeyboardInterface(), nullptr);
    const std::string prefix = "sim:" + std::to_string(id) + "#vid_4e5b&pid_7c13&mi_01";
    EXPECT_EQ(bus.PathsOf(id), (std::vector<std::string>{prefix + "&col01", prefix + "&col02"}));
    const int single = bus.Plug({0x2A91, 0x3E48, 0, -1, test::kMouse}, nullptr);
    EXPECT_EQ(bus.PathsOf(single), std::vector<std::string>{"sim:" + std::to_string(single) + "#vid_2a91&pid_3e48"});
    EXPECT_EQ(bus.EnumeratePaths().size(), 3u);
    EXPECT_EQ(bus.Plug({1, 2, 0, 0, {0x05, 0x01, 0xA1}}, nullptr), -1);
    bus.Unplug(id);
    EXPECT_EQ(bus.EnumeratePaths().size(), 1u);
    EXPECT_FALSE(bus.Exists(prefix + "&col02"));
}

TEST(SimBus, WriteReachesTheHandlerWhichAnswersTheRightCollection) {
    SimBus bus;
    int seenId = 0;
    std::vector<uint8_t> seen;
    int id = 0;
    id = bus.Plug(KeyboardInterface(), [&](int from, std::span<const uint8_t> report) {
        seenId = from;
        seen.assign(report.begin(), report.end());
        std::vector<uint8_t> answer(report.begin(), report.end());
        answer[1] ^= 0xFF;
        bus.QueueInput(from, answer);
        const uint8_t consumer[3] = {3, 0xE9, 0};
        bus.QueueInput(from, consumer);
    });
    CHidDevice vendor(std::shared_ptr<SimBus>(&bus, [](SimBus*) {}));
    CHidDevice consumer(std::shared_ptr<SimBus>(&bus, [](SimBus*) {}));
    ASSERT_TRUE(vendor.Open(bus.PathsOf(id)[1], true, true, true, false));
    ASSERT_TRUE(consumer.Open(bus.PathsOf(id)[0], true, false, true, false));
    const std::vector<uint8_t> command = VendorReport(0x0F);
    uint32_t bytes = 0;
    ASSERT_NE(vendor.WriteReport(command.data(), 64, &bytes, 1000), 0);
    EXPECT_EQ(bytes, 64u);
    EXPECT_EQ(seenId, id);
    EXPECT_EQ(seen, command);

    uint8_t buf[64];
    ASSERT_NE(vendor.ReadReport(buf, 64, &bytes, 1000), 0);
    EXPECT_EQ(buf[1], 0xF0);
    ASSERT_NE(consumer.ReadReport(buf, 64, &bytes, 1000), 0);
    EXPECT_EQ(bytes, 3u);
    EXPECT_EQ(buf[0], 3);
    EXPECT_EQ(vendor.ReadReport(buf, 64, &bytes, 0), 0);
    EXPECT_FALSE(bus.QueueInput(id, std::vector<uint8_t>{9, 1}));  // no collection has id 9
}

TEST(SimBus, EveryHandleOfTheInterfaceGetsItsOwnCopyOfEveryReport) {
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug(KeyboardInterface(), nullptr);
    const std::string consumerPath = bus->PathsOf(id)[0], vendorPath = bus->PathsOf(id)[1];
    CHidDevice channel(bus), listener(bus), consumer(bus);
    ASSERT_TRUE(channel.Open(vendorPath, true, true, true, false));
    ASSERT_TRUE(listener.Open(vendorPath, true, false, true, false));
    ASSERT_TRUE(consumer.Open(consumerPath, true, false, true, false));
    const uint8_t volumeUp[3] = {3, 0xE9, 0};
    bus->QueueInput(id, volumeUp);
    bus->QueueInput(id, VendorReport(1));
    uint8_t buf[64];
    for (CHidDevice* vendor : {&channel, &listener}) {
        ASSERT_NE(vendor->ReadReport(buf, 64, nullptr, 100), 0);
        EXPECT_EQ(buf[0], 4) << "the consumer report before it is skipped";
        EXPECT_EQ(buf[1], 1);
        EXPECT_EQ(vendor->ReadReport(buf, 64, nullptr, 0), 0);
    }
    ASSERT_NE(consumer.ReadReport(buf, 64, nullptr, 100), 0);
    EXPECT_EQ(buf[0], 3);
    EXPECT_EQ(consumer.ReadReport(buf, 64, nullptr, 0), 0) << "the vendor report is skipped";

    // A flush empties one handle's ring, and a handle opened later sees only later reports.
    bus->QueueInput(id, VendorReport(2));
    CHidDevice late(bus);
    ASSERT_TRUE(late.Open(vendorPath, true, false, true, false));
    EXPECT_TRUE(channel.FlushQueue());
    EXPECT_EQ(channel.ReadReport(buf, 64, nullptr, 0), 0);
    EXPECT_EQ(late.ReadReport(buf, 64, nullptr, 0), 0);
    ASSERT_NE(listener.ReadReport(buf, 64, nullptr, 100), 0);
    EXPECT_EQ(buf[1], 2);
}

TEST(SimBus, FullRingKeepsTheOldestReportsAndDropsNewOnes) {
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug(KeyboardInterface(), nullptr);
    CHidDevice reader(bus), idle(bus);
    ASSERT_TRUE(reader.Open(bus->PathsOf(id)[1], true, false, true, false));
    ASSERT_TRUE(idle.Open(bus->PathsOf(id)[0], true, false, true, false));
    uint8_t buf[64];
    // The idle consumer handle's ring fills with vendor reports it never reads; the kernel
    // counts every report of the interface against it, not only its own collection's.
    for (int i = 0; i < 70; ++i) EXPECT_TRUE(bus->QueueInput(id, VendorReport(static_cast<uint8_t>(i))));
    for (size_t i = 0; i < SimBus::kHandleRingReports; ++i) {
        ASSERT_NE(reader.ReadReport(buf, 64, nullptr, 0), 0) << i;
        EXPECT_EQ(buf[1], i);
    }
    EXPECT_EQ(SimBus::kHandleRingReports, 63u) << "a hidraw reader keeps 63 reports (a ring of 64, one free)";
    EXPECT_EQ(reader.ReadReport(buf, 64, nullptr, 0), 0) << "reports 63 … 69 found the ring full";

    // Room again: the next report is kept.
    bus->QueueInput(id, VendorReport(99));
    ASSERT_NE(reader.ReadReport(buf, 64, nullptr, 0), 0);
    EXPECT_EQ(buf[1], 99);
    const uint8_t volumeUp[3] = {3, 0xE9, 0};
    bus->QueueInput(id, volumeUp);
    EXPECT_EQ(idle.ReadReport(buf, 64, nullptr, 50), 0) << "its full ring dropped the consumer report too";
}

TEST(SimBus, DelayedInputArrivesNotBeforeItsDelayAndSurvivesAFlush) {
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug(KeyboardInterface(), nullptr);
    CHidDevice device(bus);
    ASSERT_TRUE(device.Open(bus->PathsOf(id)[1], true, true, true, false));
    bus->QueueInput(id, VendorReport(1));
    bus->QueueInput(id, VendorReport(2), 80);
    EXPECT_TRUE(device.FlushQueue());  // drops the report that is there, not the one on its way
    uint8_t buf[64];
    const uint64_t start = TickCount64();
    ASSERT_NE(device.ReadReport(buf, 64, nullptr, 1000), 0);
    EXPECT_GE(TickCount64() - start, 70u);
    EXPECT_EQ(buf[1], 2);
}

TEST(SimBus, UnplugFailsPendingAndLaterIoEvenFromItsOwnHandler) {
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug(KeyboardInterface(), [&](int self, std::span<const uint8_t>) { bus->Unplug(self); });
    CHidDevice reader(bus), writer(bus);
    ASSERT_TRUE(reader.Open(bus->PathsOf(id)[1], true, false, true, false));
    ASSERT_TRUE(writer.Open(bus->PathsOf(id)[1], false, true, true, false));
    int result = -1;
    std::thread pending([&] {
        uint8_t buf[64];
        result = reader.ReadReport(buf, 64, nullptr, 10000);
    });
    while (!reader.IsReadPending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::vector<uint8_t> command = VendorReport(1);
    EXPECT_NE(writer.WriteReport(command.data(), 64, nullptr, 1000), 0);  // the handler unplugs
    pending.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(writer.WriteReport(command.data(), 64, nullptr, 1000), 0);
    EXPECT_FALSE(writer.PathExists(writer.DevicePath()));
    EXPECT_FALSE(writer.Reopen());
}

TEST(SimBus, ReportsHeldBeforeAnUnplugAreStillReadThenReadsFail) {
    // hidraw hands out what a reader's ring holds after the device went away: an answer
    // that came in just before an unplug is read; only then do reads fail.
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug(KeyboardInterface(), nullptr);
    CHidDevice reader(bus);
    ASSERT_TRUE(reader.Open(bus->PathsOf(id)[1], true, false, true, false));
    for (uint8_t i = 0; i < 3; ++i) ASSERT_TRUE(bus->QueueInput(id, VendorReport(i)));
    EXPECT_TRUE(bus->QueueInput(id, VendorReport(9), 200));  // still on its way: lost with the device
    bus->Unplug(id);
    uint8_t buf[64];
    for (uint8_t i = 0; i < 3; ++i) {
        ASSERT_NE(reader.ReadReport(buf, 64, nullptr, 0), 0) << int(i);
        EXPECT_EQ(buf[1], i);
    }
    const uint64_t start = TickCount64();
    EXPECT_EQ(reader.ReadReport(buf, 64, nullptr, 10000), 0);
    EXPECT_LT(TickCount64() - start, 5000u) << "an empty ring of a device that went away fails, not waits";
}

TEST(SimBus, AHandleOnTheWholeInterfaceReadsEveryCollectionInOrderWithItsOwnRing) {
    // What a bridge to another bus reads: the interface's reports as a raw hidraw node hands
    // them out, not one collection's.
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug(KeyboardInterface(), nullptr);
    const std::unique_ptr<IHidHandle> whole = bus->OpenInterface(id, 200);
    ASSERT_NE(whole, nullptr);
    const uint8_t volumeUp[3] = {3, 0xE9, 0};
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(i % 2 ? bus->QueueInput(id, VendorReport(static_cast<uint8_t>(i))) : bus->QueueInput(id, volumeUp));
    }
    uint8_t buf[64];
    for (int i = 0; i < 100; ++i) {
        const int n = whole->Read(buf, sizeof(buf), 0, nullptr);
        ASSERT_GT(n, 0) << i << ": a ring larger than a reader's keeps the whole burst";
        EXPECT_EQ(buf[0], i % 2 ? 4 : 3) << i;
        if (i % 2) {
            EXPECT_EQ(buf[1], i);
        }
    }
    EXPECT_EQ(whole->Read(buf, sizeof(buf), 0, nullptr), kHidIoTimeout);
    EXPECT_GT(whole->Write(VendorReport(1).data(), 64, 0, nullptr), 0);
    bus->Unplug(id);
    EXPECT_EQ(whole->Read(buf, sizeof(buf), 0, nullptr), kHidIoFailed);
    EXPECT_EQ(bus->OpenInterface(id, 200), nullptr);
}

TEST(CHidDevice, RefusesOverlongPathsAndParsesNumbersFromThePath) {
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug(KeyboardInterface(), nullptr);
    CHidDevice device(bus);
    EXPECT_FALSE(device.Open(bus->PathsOf(id)[1] + std::string(260, 'x'), true, true, true, false));
    EXPECT_FALSE(device.IsOpen());
    ASSERT_TRUE(device.Open(bus->PathsOf(id)[1], true, true, true, false));
    EXPECT_EQ(device.InterfaceNumber(), 1u);
    EXPECT_EQ(device.CollectionNumber(), 2u);
    EXPECT_EQ(device.Attributes().versionNumber, 0x0100);
    const int single = bus->Plug({0x4E5B, 0x7C11, 0, -1, test::kMouse}, nullptr);
    ASSERT_TRUE(device.Open(bus->PathsOf(single)[0], true, false, true, false));
    EXPECT_EQ(device.InterfaceNumber(), 0u);
    EXPECT_EQ(device.CollectionNumber(), 0u);
    device.Close();
    EXPECT_TRUE(device.Input().data.empty());
    EXPECT_EQ(device.Caps().inputReportByteLength, 0);
}

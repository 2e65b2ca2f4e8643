#include "device/HidrawBus.h"

#include <algorithm>

#include "platform/Trace.h"

#include <gtest/gtest.h>

#include "device/CHidDevice.h"
#include "device/FakeSysfs.h"
#include "device/TestDescriptors.h"

using namespace q208;
using q208::test::FakeSysfs;

namespace {

FakeSysfs::Node KeyboardNode(int number, int usbInterface) {
    FakeSysfs::Node node;
    node.number = number;
    node.usbInterface = usbInterface;
    node.descriptor = test::kConsumerAndVendor;
    return node;
}

}  // namespace

TEST(HidrawBus, NoNodesGiveAnEmptyListAndNextPathNullAtOnce) {
    FakeSysfs sysfs;
    CHidDevice device(std::make_shared<HidrawBus>(sysfs.Root(), sysfs.DevFolder()));
    EXPECT_EQ(device.NextPath(), nullptr);  // no list held yet
    ASSERT_TRUE(device.EnumeratePaths());
    EXPECT_EQ(device.PathCount(), 0u);
    EXPECT_EQ(device.NextPath(), nullptr);
}

TEST(HidrawBus, MissingClassFolderFailsTheBusButNotTheDetectionScan) {
    HidrawBus bus("/nonexistent-q208-root");
    std::vector<std::string> paths{"stale"};
    EXPECT_FALSE(bus.TryEnumeratePaths(paths));
    EXPECT_TRUE(paths.empty());
    CHidDevice device(std::make_shared<HidrawBus>("/nonexistent-q208-root"));
    EXPECT_TRUE(device.EnumeratePaths());
    EXPECT_EQ(device.PathCount(), 0u);
}

TEST(HidrawBus, ManyNodesAreKeptInNumericOrder) {
    FakeSysfs sysfs;
    for (int n : {11, 2, 0, 9, 10, 1, 3, 4, 5, 6, 7, 8}) {
        FakeSysfs::Node node = KeyboardNode(n, 1);
        node.descriptor = test::kBootKeyboard;
        sysfs.Add(node);
    }
    CHidDevice device(std::make_shared<HidrawBus>(sysfs.Root(), sysfs.DevFolder()));
    ASSERT_TRUE(device.EnumeratePaths());
    ASSERT_EQ(device.PathCount(), 12u);
    for (int n = 0; n < 12; ++n) {
        const char* path = device.NextPath();
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(std::string(path), sysfs.DevFolder() + "/hidraw" + std::to_string(n) +
                                         "#vid_4e5b&pid_7c13&mi_01");
    }
    EXPECT_EQ(device.NextPath(), nullptr);
}

TEST(HidrawBus, InterfaceNumberFromUsbInterfaceElsePhysElseNone) {
    FakeSysfs sysfs;
    sysfs.Add(KeyboardNode(0, 0x1A));  // bInterfaceNumber wins over HID_PHYS
    FakeSysfs::Node phys = KeyboardNode(1, -1);
    phys.phys = "usb-0000:00:14.0-3/input2";
    sysfs.Add(phys);
    FakeSysfs::Node bluetooth = KeyboardNode(2, -1);
    bluetooth.phys = "00:1a:7d:da:71:13";
    bluetooth.descriptor = test::kMouse;
    sysfs.Add(bluetooth);

    HidrawBus bus(sysfs.Root(), sysfs.DevFolder());
    const std::string dev = sysfs.DevFolder();
    const std::vector<std::string> expected = {
        dev + "/hidraw0#vid_4e5b&pid_7c13&mi_1a&col01", dev + "/hidraw0#vid_4e5b&pid_7c13&mi_1a&col02",
        dev + "/hidraw1#vid_4e5b&pid_7c13&mi_02&col01", dev + "/hidraw1#vid_4e5b&pid_7c13&mi_02&col02",
        dev + "/hidraw2#vid_4e5b&pid_7c13",
    };
    EXPECT_EQ(bus.EnumeratePaths(), expected);
    HidAttributes attributes;
    ASSERT_TRUE(bus.Attributes(expected[0], attributes));
    EXPECT_EQ(attributes.vendorId, 0x4E5B);
    EXPECT_EQ(attributes.productId, 0x7C13);
    EXPECT_EQ(attributes.versionNumber, 0x0105);
}

TEST(HidrawBus, BadInterfacesAreSkippedAndTheOthersListed) {
    FakeSysfs sysfs;
    FakeSysfs::Node noUevent = KeyboardNode(0, 1);
    noUevent.withUevent = false;
    sysfs.Add(noUevent);
    FakeSysfs::Node truncated = KeyboardNode(1, 1);
    truncated.descriptor.resize(truncated.descriptor.size() - 3);
    sysfs.Add(truncated);
    FakeSysfs::Node oversized = KeyboardNode(2, 1);
    oversized.descriptor.assign(5000, 0x00);
    sysfs.Add(oversized);
    sysfs.Add(KeyboardNode(3, 1));
    const std::string unreadable = sysfs.Add(KeyboardNode(4, 1));
    std::filesystem::remove(unreadable + "/report_descriptor");
    std::filesystem::create_directory(unreadable + "/report_descriptor");  // read() fails

    HidrawBus bus(sysfs.Root(), sysfs.DevFolder());
    const std::vector<std::string> paths = bus.EnumeratePaths();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_NE(paths[0].find("/hidraw3#"), std::string::npos);
}

TEST(HidrawBus, PathsOfRemovedNodesNoLongerExist) {
    FakeSysfs sysfs;
    sysfs.Add(KeyboardNode(5, 1));
    HidrawBus bus(sysfs.Root(), sysfs.DevFolder());
    const std::vector<std::string> paths = bus.EnumeratePaths();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_TRUE(bus.Exists(paths[1]));
    EXPECT_FALSE(bus.Exists(paths[1] + "0"));              // a collection it does not have
    EXPECT_FALSE(bus.Exists("/elsewhere/hidraw5#vid_4e5b"));  // another dev folder
    sysfs.Remove(5);
    EXPECT_FALSE(bus.Exists(paths[1]));
    EXPECT_EQ(bus.Open(paths[1], true, true), nullptr);
}

TEST(HidrawBus, ANodeThatWillNotOpenIsTracedOnceHoweverOftenDetectionAsks) {
    static std::vector<std::string> lines;
    lines.clear();
    SetTraceSink([](const std::string& line) { lines.push_back(line); });
    FakeSysfs sysfs;
    sysfs.Add(KeyboardNode(7, 1));
    // A folder in place of the device node: open() fails as it does for a node of another user.
    std::filesystem::remove(sysfs.DevFolder() + "/hidraw7");
    std::filesystem::create_directory(sysfs.DevFolder() + "/hidraw7");
    HidrawBus bus(sysfs.Root(), sysfs.DevFolder());
    const std::vector<std::string> paths = bus.EnumeratePaths();
    ASSERT_EQ(paths.size(), 2u);
    for (int pass = 0; pass < 20; ++pass) EXPECT_EQ(bus.Open(paths[1], true, true), nullptr);
    SetTraceSink(nullptr);
    const auto opens = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("cannot open") != std::string::npos;
    });
    EXPECT_EQ(opens, 1);
}

TEST(HidrawBus, OpenCapturesCapsOfTheCollectionAndItsNumbers) {
    FakeSysfs sysfs;
    sysfs.Add(KeyboardNode(0, 1));
    CHidDevice device(std::make_shared<HidrawBus>(sysfs.Root(), sysfs.DevFolder()));
    ASSERT_TRUE(device.EnumeratePaths());
    device.NextPath();
    const std::string vendorPath = device.NextPath();
    ASSERT_TRUE(device.Open(vendorPath, true, true, true, false));
    EXPECT_EQ(device.Caps().usagePage, 0xFF1C);
    EXPECT_EQ(device.Caps().usage, 0x92);
    EXPECT_EQ(device.Caps().inputReportByteLength, 64);
    EXPECT_EQ(device.InterfaceNumber(), 1u);
    EXPECT_EQ(device.CollectionNumber(), 2u);
    // No feature reports: an empty feature set, and the open still succeeds.
    EXPECT_TRUE(device.Feature().buffer.empty());
    EXPECT_TRUE(device.Feature().data.empty());
    EXPECT_EQ(device.Input().buffer.size(), 64u);
}

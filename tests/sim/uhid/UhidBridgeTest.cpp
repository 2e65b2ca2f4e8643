#include "sim/uhid/UhidBridge.h"

#include <gtest/gtest.h>

#include "sim/SimDeviceSet.h"

using namespace q208;
using namespace q208::sim;

TEST(UhidBridge, TheKernelIsToldTheIdsAndTheInterfaceNumberThroughPhys) {
    // uhid devices have no USB parent: the host's hidraw backend takes the interface number
    // from the "/inputN" end of HID_PHYS, and finds a device's node again by HID_UNIQ.
    SimBus::InterfaceInfo info{0x4E5B, 0x7C13, 0x0100, 1, {0x06, 0x1C, 0xFF}};
    const UhidIdentity identity = UhidBridge::IdentityOf(7, info);
    EXPECT_EQ(identity.phys, "q208-uhid/sim7/input1");
    EXPECT_EQ(identity.uniq, "sim7");
    EXPECT_EQ(identity.bus, 3);  // USB
    EXPECT_EQ(identity.vendor, 0x4E5Bu);
    EXPECT_EQ(identity.product, 0x7C13u);
    EXPECT_EQ(identity.version, 0x0100u);
    EXPECT_EQ(identity.reportDescriptor, info.reportDescriptor);
    EXPECT_NE(identity.name.find("4e5b:7c13"), std::string::npos);

    info.interfaceNumber = -1;  // no interface: no "&mi_" in the host's path either
    EXPECT_EQ(UhidBridge::IdentityOf(2, info).phys, "q208-uhid/sim2");
}

TEST(UhidBridge, WithoutAUhidNodeSyncFailsWithTheReasonAndMakesNothing) {
    auto bus = std::make_shared<SimBus>();
    UhidBridge bridge(bus, "/nonexistent/uhid", "/nonexistent/sys");
    std::string error;
    EXPECT_TRUE(bridge.Sync(error)) << "an empty bus needs no device";
    SimDeviceSet devices(bus);
    devices.Plug(SimDeviceKind::Headset);
    EXPECT_FALSE(bridge.Sync(error));
    EXPECT_NE(error.find("/nonexistent/uhid"), std::string::npos) << error;
    EXPECT_EQ(bridge.DeviceCount(), 0u);
    devices.Unplug(SimDeviceKind::Headset);
    error.clear();
    EXPECT_TRUE(bridge.Sync(error)) << error;
}

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "sim/SimHeadset.h"
#include "sim/SimMouse.h"
#include "sim/SimMousePad.h"
#include "sim/SimReceiver.h"
#include "sim/TestHost.h"

namespace q208::sim {
namespace {

using test::Pattern;
using test::TestHost;

TEST(SimMouseTest, InformationBlockPublishesKeyCountAndSensorFacts) {
    SimMouse mouse(SimMouseSensor{0x8925, 50, 50});
    TestHost host(mouse);
    const auto info = host.Read(Command::ReadDeviceInfo, 0, 34);
    ASSERT_TRUE(info);
    EXPECT_EQ((*info)[5], SimMouse::kButtonCount);
    EXPECT_EQ((*info)[9] | ((*info)[10] << 8), 0x8925);
    EXPECT_EQ((*info)[11], 50);
    EXPECT_EQ((*info)[14] | ((*info)[15] << 8), 50);
}

TEST(SimMouseTest, ButtonsCarryTheDefaultFunctionCodes) {
    SimMouse mouse;
    TestHost host(mouse);
    const auto map = host.Read(Command::ReadKeyMap, 0, 3 * SimMouse::kButtonCount);
    ASSERT_TRUE(map);
    // Functions 0 … 7 of the host's button table are present; fire (0x14) and 0x16 are not.
    const std::vector<std::vector<uint8_t>> functions = {
        {0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x10, 0x00},
        {0x10, 0x08, 0x00}, {0x13, 0x01, 0x00}, {0x13, 0x02, 0x00}, {0xA0, 0x1B, 0x00}};
    for (const auto& code : functions) {
        bool found = false;
        for (std::size_t k = 0; k < SimMouse::kButtonCount; ++k) {
            found = found || std::equal(code.begin(), code.end(), map->begin() + 3 * k);
        }
        EXPECT_TRUE(found) << int(code[0]) << " " << int(code[1]);
    }
    EXPECT_EQ((*map)[0], 0x10);
    EXPECT_EQ((*map)[1], 0x01);  // key 0 is the left button
}

TEST(SimMouseTest, SettingsBlockIsReadAtItsNumberTimes128AndWrittenBack) {
    auto shared = std::make_shared<SimMouse>();
    SimMouse& mouse = *shared;
    SimReceiver receiver(nullptr, shared);
    TestHost wired(mouse);
    TestHost wireless(receiver, kTargetMouse);

    EXPECT_EQ(wired.Read(Command::ReadConfig, 0, 1), std::vector<uint8_t>{0});
    const auto block = wireless.Read(Command::ReadConfig, 0, SimMouse::kBlockSize);
    ASSERT_TRUE(block);
    EXPECT_EQ(wireless.ReportsSent(), 4u);  // 24 + 24 + 24 + 15
    EXPECT_EQ(*block, mouse.SettingsBlock(0));
    EXPECT_LE((*block)[11], 3);            // polling option 0 … 3, inverted
    EXPECT_EQ((*block)[14], 1);            // stage 0 enabled
    EXPECT_EQ((*block)[16], (*block)[17]);  // same X and Y step
    EXPECT_EQ((*block)[14 + 9 * 6], 0);    // stage 6 switched off

    mouse.SwitchSettingsBlock(2, 3);
    EXPECT_EQ(mouse.ActiveBlock(), 2);
    EXPECT_EQ(mouse.SettingsBlock(2)[12], 3);
    const std::vector<Report> events = receiver.TakeSpontaneousReports();
    ASSERT_EQ(events.size(), 1u);  // linked: the event comes out of the receiver
    EXPECT_EQ(events[0][ReportByte::EventLow], 0x32);
    EXPECT_EQ(events[0][ReportByte::EventHigh], 0x11);

    const std::vector<uint8_t> written = Pattern(SimMouse::kBlockSize, 0x12);
    EXPECT_EQ(wired.Write(Command::WriteConfig, 2 * 128, written), kStatusOk);
    EXPECT_EQ(wired.ReportsSent(), 3u);  // the 1-byte read, then 56 + 31
    EXPECT_EQ(wireless.Read(Command::ReadConfig, 256, SimMouse::kBlockSize), written);
}

TEST(SimMouseTest, ShootBlockGoesInChunksOf56OnBothPaths) {
    auto mouse = std::make_shared<SimMouse>();
    SimReceiver receiver(nullptr, mouse);
    TestHost wired(*mouse);
    TestHost wireless(receiver, kTargetMouse);

    const std::vector<uint8_t> block = Pattern(2920, 0x21);
    EXPECT_EQ(wired.Write(Command::WriteMacroBlock, 0, block), kStatusOk);
    EXPECT_EQ(wired.ReportsSent(), 53u);
    const std::vector<uint8_t> stored = mouse->MacroBlock();
    EXPECT_EQ(std::vector<uint8_t>(stored.begin(), stored.begin() + 2920), block);

    // On the receiver path byte 32 carries the target, so a 56-byte chunk loses payload
    // byte 24. The checksum catches it: the chunk is refused, never stored altered.
    std::vector<uint8_t> chunk(56, 0);
    EXPECT_EQ(wireless.Write(Command::WriteMacroBlock, 0, chunk, 56), kStatusOk);
    EXPECT_EQ(mouse->MacroBlock()[24], 0);
    chunk[24] = 0x77;
    EXPECT_EQ(wireless.Write(Command::WriteMacroBlock, 56, chunk, 56), kStatusBadChecksum);
    EXPECT_EQ(mouse->MacroBlock()[56 + 24], block[56 + 24]);
}

template <typename Device>
struct LightingPeripheralTest : ::testing::Test {
    Device device;
};
using LightingPeripherals = ::testing::Types<SimMousePad, SimHeadset>;
TYPED_TEST_SUITE(LightingPeripheralTest, LightingPeripherals);

TYPED_TEST(LightingPeripheralTest, BlockIsReadAsTheHostReadsItAndWrittenAtATimes64) {
    TestHost host(this->device);
    EXPECT_EQ(host.Read(Command::ReadConfig, 0, 1), std::vector<uint8_t>{0});
    const auto read = host.Read(Command::ReadConfig, 0, 26);
    ASSERT_TRUE(read);
    EXPECT_EQ((*read)[1], 1);  // mode code
    EXPECT_LE((*read)[2], 4);  // brightness
    EXPECT_LE((*read)[3], 4);  // inverted speed

    const std::vector<uint8_t> block = Pattern(SimLightingPeripheral::kBlockSize, 0x05);
    EXPECT_EQ(host.Write(Command::WriteConfig, 0, block), kStatusOk);
    EXPECT_EQ(host.Read(Command::ReadConfig, 0, 21), block);
    EXPECT_EQ(host.Write(Command::WriteConfig, 64, block), kStatusOk);
    EXPECT_EQ(this->device.LightingBlockAt(64), block);
    EXPECT_EQ(host.Write(Command::WriteConfig, 4 * 64, block), kStatusRefused);
}

TEST(SimMousePadTest, StatusBlockNamesThePhoneType) {
    SimMousePad pad(2);
    TestHost host(pad);
    EXPECT_EQ(host.Read(Command::ReadStatus, 0, 6), (std::vector<uint8_t>{100, 0, 0, 0, 0, 2}));
    pad.SetPhoneType(3);
    EXPECT_EQ((*host.Read(Command::ReadStatus, 0, 6))[5], 3);
}

}  // namespace
}  // namespace q208::sim

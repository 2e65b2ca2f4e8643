// The fire-key gun files and the shoot block, against the emulated mouse on its cable and
// through the receiver.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "device/CDeviceChannel.h"
#include "device/DeviceResult.h"
#include "device/SimBus.h"
#include "devices/mouse/CVantorixMouseDevice.h"
#include "devices/mouse/MouseController.h"
#include "devices/mouse/ShootBlock.h"
#include "devices/mouse/ShootFile.h"
#include "profile/JsonFile.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimMouse.h"
#include "sim/SimReceiver.h"

namespace q208 {
namespace {

constexpr uint8_t kWriteMacroBlock = 0x17;
constexpr uint8_t kBeginConfig = 0x01;
constexpr uint32_t kMouseTarget = 2;

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class ShootFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("shoot-files-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path Factory(int gun) const {
        return ShootFile::PathOf(CVantorixMouseDevice::ShootFactoryFolder(), gun);
    }
    std::filesystem::path Work(int gun) const { return ShootFile::PathOf(folder_, gun); }

    std::filesystem::path folder_;
};

TEST_F(ShootFileTest, FactoryGunsHoldThirtyBulletsOfSixEvents) {
    for (int gun = 0; gun < ShootFile::kGunCount; ++gun) {
        const ShootFile::Loaded loaded = ShootFile::Load(Factory(gun));
        ASSERT_EQ(loaded.status, ShootFile::Status::Ok) << loaded.problem;
        EXPECT_EQ(ShootFile::EventCount(loaded.document), 180);
        // The vertical correction pulls down against the climb, with a pause between shots.
        const ShootFile::Bullet last = ShootFile::BulletOf(loaded.document, 29);
        EXPECT_FALSE(last.yUp);
        EXPECT_GT(last.y, 0);
        EXPECT_GT(last.delay, 0);
    }
}

TEST_F(ShootFileTest, StoringABulletRewritesItsSixEventsAndKeepsEverythingElse) {
    ASSERT_TRUE(CopyFileSafely(Factory(0), Work(0)));
    Json::Value before = ShootFile::Load(Work(0)).document;
    std::string problem;
    const ShootFile::Bullet bullet{true, 12, true, 300, 70000};
    ASSERT_TRUE(ShootFile::StoreBullet(Work(0), Factory(0), 4, bullet, problem)) << problem;

    const Json::Value after = ShootFile::Load(Work(0)).document;
    // Distances are one byte and delays 16 bits on the mouse: they are kept in range.
    EXPECT_EQ(ShootFile::BulletOf(after, 4), (ShootFile::Bullet{true, 12, true, 255, 65535}));
    const Json::Value& events = after["Events"];
    EXPECT_EQ(events[24]["Action"], "down");
    EXPECT_EQ(events[24]["Delay"], 10);
    EXPECT_EQ(events[25]["Action"], "up");
    EXPECT_EQ(events[26]["Type"], 4);
    EXPECT_EQ(events[26]["Delay"], 5);
    EXPECT_EQ(events[28]["Button"], 0);
    EXPECT_EQ(events[29]["Action"], "down");
    EXPECT_EQ(events[29]["Type"], 5);
    // The other bullets and the other members are as they were.
    for (int i : {0, 23, 30, 179}) EXPECT_EQ(events[i], before["Events"][i]) << i;
    EXPECT_EQ(after["Description"], before["Description"]);
    const std::string text = Bytes(Work(0));
    const size_t action = text.find("\"Action\"", text.find("\"Events\""));
    EXPECT_LT(action, text.find("\"Button\"", action));
    EXPECT_LT(text.find("\"Button\"", action), text.find("\"Delay\"", action));
    EXPECT_LT(text.find("\"Delay\"", action), text.find("\"Type\"", action));
}

TEST_F(ShootFileTest, FilesThatAreNotShootFilesAreRefusedAndLeftAlone) {
    WriteText(Work(0), "{ \"Events\": [ ");
    WriteText(Work(1), "{ \"Events\": [ {\"Action\":\"up\",\"Button\":3,\"Delay\":5,\"Type\":4} ] }");
    EXPECT_EQ(ShootFile::Load(Work(0)).status, ShootFile::Status::Invalid);
    const ShootFile::Loaded shortFile = ShootFile::Load(Work(1));
    EXPECT_EQ(shortFile.status, ShootFile::Status::TooShort);
    EXPECT_NE(shortFile.problem.find("1 of 180"), std::string::npos) << shortFile.problem;

    // Start-up creates only missing or empty files: a broken one stays for the user to see.
    const std::string broken = Bytes(Work(0));
    EXPECT_TRUE(ShootFile::EnsureWorkFile(Work(0), Factory(0)));
    EXPECT_EQ(Bytes(Work(0)), broken);
    WriteText(Work(2), "");
    EXPECT_TRUE(ShootFile::EnsureWorkFile(Work(2), Factory(2)));
    EXPECT_TRUE(ShootFile::EnsureWorkFile(Work(3), Factory(3)));
    EXPECT_EQ(Bytes(Work(2)), Bytes(Factory(2)));
    EXPECT_EQ(Bytes(Work(3)), Bytes(Factory(3)));

    // Importing one over a gun copies nothing.
    std::string problem;
    EXPECT_FALSE(ShootFile::CopyShootFile(Work(1), Work(3), problem));
    EXPECT_EQ(Bytes(Work(3)), Bytes(Factory(3)));

    // An edit of the broken gun sets the file aside and starts from the factory copy.
    ASSERT_TRUE(ShootFile::StoreBullet(Work(1), Factory(1), 0, {false, 2, false, 3, 50}, problem)) << problem;
    EXPECT_EQ(ShootFile::Load(Work(1)).status, ShootFile::Status::Ok);
    EXPECT_TRUE(std::filesystem::exists(Work(1).string() + ".bad"));
}

TEST_F(ShootFileTest, CopiesAreByteForByte) {
    // CR LF line ends, no final line end, a UTF-8 name: the copy is the same bytes.
    std::string text = Bytes(Factory(0));
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.replace(at, 1, "\r\n");
    text.insert(1, "\"MacroName\": \"Überschall\",");
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const std::filesystem::path source = folder_ / "mine.shoot";
    WriteText(source, text);
    std::string problem;
    ASSERT_TRUE(ShootFile::CopyShootFile(source, Work(0), problem)) << problem;
    EXPECT_EQ(Bytes(Work(0)), text);
}

// ---- the shoot block on the emulated mouse ----

struct ShootPath {
    const char* name;
    bool receiver;
    size_t reports;  // of 0x17 for the four factory guns
};

class ShootBlockTest : public ::testing::TestWithParam<ShootPath> {
protected:
    void SetUp() override {
        if (Receiver())
            devices_.PlugAll({sim::SimDeviceKind::Mouse, sim::SimDeviceKind::Receiver});
        else
            devices_.Plug(sim::SimDeviceKind::Mouse);
        ASSERT_TRUE(channel_.OpenPath(
            devices_.CommandPath(Receiver() ? sim::SimDeviceKind::Receiver : sim::SimDeviceKind::Mouse),
            Receiver() ? CDeviceChannel::kLinkReceiver : CDeviceChannel::kLinkWired, Receiver() ? kMouseTarget : 0));
        folder_ = std::filesystem::temp_directory_path() / ("shoot-block-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        for (int gun = 0; gun < ShootFile::kGunCount; ++gun)
            ASSERT_TRUE(ShootFile::EnsureWorkFile(ShootFile::PathOf(folder_, gun),
                                                  ShootFile::PathOf(CVantorixMouseDevice::ShootFactoryFolder(), gun)));
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    bool Receiver() const { return GetParam().receiver; }
    uint32_t Sent(uint8_t command) { return devices_.Mouse()->traffic().CommandCounts()[command]; }

    std::shared_ptr<SimBus> bus_ = std::make_shared<SimBus>();
    sim::SimDeviceSet devices_{bus_};
    CDeviceChannel channel_{bus_};
    CMouseProfiledata profile_;
    MouseController controller_{channel_, profile_};
    std::filesystem::path folder_;
};

TEST_P(ShootBlockTest, FourGunsOf180EventsGoAsOneBlockOf2920Bytes) {
    const ShootBlock::Upload upload = controller_.WriteShootToDevice(folder_);
    ASSERT_EQ(upload.result, kResultOk) << upload.problem;
    EXPECT_EQ(upload.bytes, 2920u);
    EXPECT_EQ(Sent(kWriteMacroBlock), GetParam().reports);

    const std::vector<uint8_t> stored = devices_.Mouse()->MacroBlock();
    const std::vector<uint8_t> expected = ShootBlock::FromFolder(folder_).block;
    ASSERT_EQ(expected.size(), 2920u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), stored.begin()));
    // Header, the offsets of the four records, the first record's head and first event.
    const std::vector<uint8_t> head(stored.begin(), stored.begin() + 32);
    EXPECT_EQ(head, (std::vector<uint8_t>{0xAA, 0x55, 0x68, 0x0B, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                          24, 0, 0xEC, 0x02, 0xC0, 0x05, 0x94, 0x08,  //
                                          180, 0, 0, 0, 10, 0, 0x81, 1}));
}

TEST_P(ShootBlockTest, ABlockTheMouseCannotHoldOrABrokenGunSendsNothing) {
    // Four guns of 300 events make 40 + 4 × 1200 bytes, more than the mouse's 4096.
    Json::Value big = ShootFile::Load(ShootFile::PathOf(folder_, 2)).document;
    Json::Value& events = big["Events"];
    while (events.size() < 300) events.append(events[0]);
    for (int gun = 0; gun < ShootFile::kGunCount; ++gun) ASSERT_EQ(WriteJsonFile(big, ShootFile::PathOf(folder_, gun)), 0);
    ShootBlock::Upload upload = controller_.WriteShootToDevice(folder_);
    EXPECT_NE(upload.problem.find("larger than the mouse's macro memory"), std::string::npos) << upload.problem;
    EXPECT_NE(upload.result, kResultOk);

    WriteText(ShootFile::PathOf(folder_, 1), "not json");
    upload = controller_.WriteShootToDevice(folder_);
    EXPECT_NE(upload.problem.find("ShootData_1.Shoot"), std::string::npos) << upload.problem;
    EXPECT_EQ(Sent(kWriteMacroBlock), 0u);
    EXPECT_EQ(Sent(kBeginConfig), 0u);
}

TEST_P(ShootBlockTest, AMouseThatIsNotLinkedGetsNothing) {
    if (!Receiver()) GTEST_SKIP() << "the cable is always linked";
    devices_.SetLinked(sim::SimDeviceKind::Mouse, false);
    const ShootBlock::Upload upload = controller_.WriteShootToDevice(folder_);
    EXPECT_EQ(upload.result, kResultUnreachable);
    EXPECT_EQ(Sent(kWriteMacroBlock), 0u);
}

// 2920 bytes: 53 chunks of 56 on the cable; the receiver path carries 24 per report.
INSTANTIATE_TEST_SUITE_P(Paths, ShootBlockTest,
                         ::testing::Values(ShootPath{"cable", false, 53}, ShootPath{"receiver", true, 122}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace q208

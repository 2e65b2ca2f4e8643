#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "sim/SimKeyboard.h"
#include "sim/SimReceiver.h"
#include "sim/TestHost.h"

namespace q208::sim {
namespace {

using test::TestHost;

// Writes and reads back its own lighting entries, one chunk each (24 bytes fit both paths);
// a chunk is never seen half written.
constexpr std::size_t kRecordBytes = 24;

void HammerEntries(SimFirmware& device, SimFirmware& path, bool viaReceiver, std::size_t firstEntry,
                   int rounds, std::atomic<int>& failures, std::atomic<int>* written = nullptr) {
    TestHost host = viaReceiver ? TestHost(path, kTargetKeyboard) : TestHost(device);
    for (int i = 0; i < rounds; ++i) {
        const uint16_t offset = static_cast<uint16_t>((firstEntry + i % 2) * SimKeyboard::kEntryStride);
        const std::vector<uint8_t> record(kRecordBytes, static_cast<uint8_t>(i));
        if (host.Write(Command::WriteConfig, offset, record) != kStatusOk ||
            host.Read(Command::ReadConfig, offset, record.size()) != record) {
            ++failures;
        } else if (written) {
            ++written[i % 2];
        }
    }
}

TEST(SimConcurrencyTest, SeveralHostThreadsEventsAndLinkChangesStayConsistent) {
    auto keyboard = std::make_shared<SimKeyboard>();
    SimReceiver receiver(keyboard, nullptr);
    constexpr int kRounds = 400;
    constexpr int kEvents = 300;
    std::atomic<int> failures{0};
    std::atomic<bool> emitting{true};
    std::atomic<std::size_t> eventsSeen{0};

    std::vector<std::thread> threads;
    // Entries 1 and 2 by cable, 5 and 6 through the receiver: how many writes of each took.
    std::atomic<int> wiredWrites[2] = {0, 0};
    std::atomic<int> receiverWrites[2] = {0, 0};
    threads.emplace_back([&] { HammerEntries(*keyboard, receiver, false, 1, kRounds, failures, wiredWrites); });
    threads.emplace_back([&] { HammerEntries(*keyboard, receiver, true, 5, kRounds, failures, receiverWrites); });
    threads.emplace_back([&] {
        TestHost host(*keyboard);
        const std::vector<uint8_t> frame(SimKeyboard::kLiveFrameSize, 0x3C);
        for (int i = 0; i < kRounds / 4; ++i) {
            if (host.Write(Command::StreamLightFrame, 0, frame) != kStatusOk) {
                ++failures;
            }
        }
    });
    threads.emplace_back([&] {
        for (int i = 0; i < kEvents; ++i) {
            keyboard->PressKey(static_cast<uint8_t>(i));
        }
        emitting = false;
    });
    threads.emplace_back([&] {
        for (int i = 0; emitting.load() || i < 2; ++i) {
            receiver.SetLinked(SimDeviceKind::Keyboard, i % 2 == 0);
            keyboard->faults().slowAnswer = i % 3 == 0 ? 1 : 0;
            eventsSeen += receiver.TakeSpontaneousReports().size();
            eventsSeen += keyboard->TakeSpontaneousReports().size();
            std::this_thread::yield();
        }
        receiver.SetLinked(SimDeviceKind::Keyboard, true);
    });
    for (std::thread& thread : threads) {
        thread.join();
    }
    eventsSeen += receiver.TakeSpontaneousReports().size();
    eventsSeen += keyboard->TakeSpontaneousReports().size();

    // While unlinked the receiver path answers "unreachable"; count those rounds apart.
    EXPECT_LE(failures.load(), kRounds);
    EXPECT_EQ(eventsSeen.load(), static_cast<std::size_t>(kEvents));
    EXPECT_EQ(keyboard->LiveFramesCompleted(), static_cast<uint32_t>(kRounds / 4));
    EXPECT_EQ(keyboard->LightFrame(), std::vector<uint8_t>(SimKeyboard::kLiveFrameSize, 0x3C));
    const std::vector<uint8_t> config = keyboard->Config();
    EXPECT_EQ(wiredWrites[0] + wiredWrites[1], kRounds) << "the cable never fails";
    // The link may have been down for every write of a receiver entry; only a written entry
    // can be checked for torn records.
    const std::pair<std::size_t, int> entries[] = {
        {1, wiredWrites[0]}, {2, wiredWrites[1]}, {5, receiverWrites[0]}, {6, receiverWrites[1]}};
    for (const auto& [entry, writes] : entries) {
        if (writes == 0) continue;
        const auto start = config.begin() + static_cast<std::ptrdiff_t>(entry * SimKeyboard::kEntryStride);
        EXPECT_TRUE(std::all_of(start, start + kRecordBytes, [&](uint8_t b) { return b == *start; }))
            << "entry " << entry << ": " << ::testing::PrintToString(std::vector<uint8_t>(start, start + kRecordBytes));
    }
}

TEST(SimConcurrencyTest, WiredThreadsNeverFailOnTheirOwnEntries) {
    SimKeyboard keyboard;
    std::atomic<int> failures{0};
    std::thread first([&] { HammerEntries(keyboard, keyboard, false, 1, 500, failures); });
    std::thread second([&] { HammerEntries(keyboard, keyboard, false, 5, 500, failures); });
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(keyboard.CommandsSeen(Command::WriteConfig), 1000u);
}

}  // namespace
}  // namespace q208::sim

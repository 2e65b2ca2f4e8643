#include "platform/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>

using q208::Event;
using q208::WorkerThread;

TEST(WorkerThread, StopsCooperatively) {
    WorkerThread worker("test");
    std::atomic<int> loops{0};
    ASSERT_TRUE(worker.Start([&](const Event& stop) {
        while (!stop.Wait(1)) ++loops;
    }));
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_FALSE(worker.Start([](const Event&) {}));
    EXPECT_EQ(worker.Stop(1000), WorkerThread::StopResult::Ended);
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(worker.Stop(1000), WorkerThread::StopResult::NotRunning);
}

TEST(WorkerThread, ReportsTimeOutAndDetachesAStuckWorker) {
    auto release = std::make_shared<Event>();
    WorkerThread worker("stuck");
    worker.Start([release](const Event&) { release->Wait(5000); });
    EXPECT_EQ(worker.Stop(20), WorkerThread::StopResult::TimedOut);
    release->Set();  // lets the detached thread finish before the process ends
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST(WorkerThread, CanBeRestartedAfterItEnded) {
    WorkerThread worker;
    std::atomic<int> runs{0};
    worker.Start([&](const Event&) { ++runs; });
    worker.Stop();
    worker.Start([&](const Event&) { ++runs; });
    worker.Stop();
    EXPECT_EQ(runs.load(), 2);
}

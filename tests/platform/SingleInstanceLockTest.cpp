#include "platform/SingleInstanceLock.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/RuntimeFolderFixture.h"

using namespace q208;

TEST(SingleInstanceLock, OnlyOneHolderAtATimeAndTheNextAfterRelease) {
    test::PrivateRuntimeFolder runtime;
    SingleInstanceLock first;
    EXPECT_EQ(first.LockFile(), runtime.Folder() / "q208.lock");
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire());  // again while held

    SingleInstanceLock second;
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.IsHeld());
    first.Release();
    EXPECT_TRUE(second.Acquire());
    {
        SingleInstanceLock third;
        EXPECT_FALSE(third.Acquire());
    }
    EXPECT_TRUE(second.IsHeld());
}

TEST(SingleInstanceLock, ALeftoverLockFileDoesNotBlockAndDestructionReleases) {
    test::PrivateRuntimeFolder runtime;
    std::ofstream(runtime.Folder() / "q208.lock") << "left by a crashed copy";
    {
        SingleInstanceLock first;
        EXPECT_TRUE(first.Acquire());
    }
    SingleInstanceLock next;
    EXPECT_TRUE(next.Acquire());
}

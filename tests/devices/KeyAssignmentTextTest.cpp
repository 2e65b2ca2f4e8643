#include <gtest/gtest.h>

#include "controls/CDeviceKeyButtonUI.h"
#include "devices/base/KeyAssignmentText.h"
#include "ui/CResourceManager.h"

namespace q208 {
namespace {

TEST(KeyAssignmentText, NamesWhatAReassignedKeyDoes) {
    CResourceManager::GetInstance().AddText("keyset_category_macro", "Macro");
    CResourceManager::GetInstance().AddText("keyset_category_media", "Multimedia");
    const KeyAssignmentHalf factory{0, 0x20, 0, 0x04, 0};
    EXPECT_EQ(KeyAssignmentText(factory, factory), "");  // the factory function needs no words
    EXPECT_EQ(KeyAssignmentText({0, 0x70, 0, 2, 0}, factory), "Macro 1");
    EXPECT_EQ(KeyAssignmentText({0, 0x71, 4, 3, 0}, factory), "Macro 5");
    EXPECT_EQ(KeyAssignmentText({0, 0x30, 0, 0xE9, 0}, factory), "Multimedia");
    EXPECT_EQ(KeyAssignmentText({0, 0xA0, 1, 1, 0}, factory), "");  // the keyboard's own functions

    // The key button reads as its key and its assignment; a light strip is no button.
    CDeviceKeyButtonUI key;
    key.SetText("A");
    EXPECT_EQ(key.GetAccessName(), "A");
    key.SetAssignmentText("Macro 1");
    EXPECT_EQ(key.GetAccessName(), "A \u2014 Macro 1");
    EXPECT_EQ(key.GetAccessRole(), AccessRole::PushButton);
    key.SetMouseEnabled(false);
    EXPECT_EQ(key.GetAccessRole(), AccessRole::Panel);
}

}  // namespace
}  // namespace q208

#include "profile/JsonAccess.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace json = q208::json;

TEST(JsonAccess, ConversionsNeverThrow) {
    EXPECT_EQ(json::ToInt(Json::Value()), 0);
    EXPECT_EQ(json::ToInt(Json::Value(true)), 1);
    EXPECT_EQ(json::ToInt(Json::Value(-7)), -7);
    EXPECT_EQ(json::ToInt(Json::Value(3.9)), 3);
    EXPECT_EQ(json::ToInt(Json::Value("12")), 0);
    EXPECT_EQ(json::ToInt(Json::Value(Json::arrayValue)), 0);
    EXPECT_EQ(json::ToInt(Json::Value(Json::objectValue)), 0);
    EXPECT_EQ(json::ToInt(Json::Value(Json::UInt64(1) << 40)), 0);
    EXPECT_EQ(json::ToInt(Json::Value(1e30)), 0);
    EXPECT_FALSE(json::ToBool(Json::Value("yes")));
    EXPECT_TRUE(json::ToBool(Json::Value(2)));
    EXPECT_EQ(json::ToString(Json::Value(Json::objectValue)), "");
    EXPECT_EQ(json::ToString(Json::Value(5)), "5");
}

TEST(JsonAccess, CreatingAccessAddsNullsButLeavesOtherTypesAlone) {
    Json::Value v;
    json::Member(json::Member(v, "a"), "b");
    EXPECT_TRUE(v["a"].isObject());
    EXPECT_TRUE(v["a"].isMember("b"));
    EXPECT_TRUE(v["a"]["b"].isNull());

    Json::Value list = Parse("[1, \"x\"]");
    json::Member(list, "key") = 5;  // an array has no members: the write goes nowhere
    EXPECT_EQ(list, Parse("[1, \"x\"]"));

    Json::Value number(3);
    json::Element(number, 0) = 1;
    EXPECT_EQ(number, Json::Value(3));

    Json::Value array(Json::arrayValue);
    json::Element(array, -1) = 1;
    json::Element(array, json::kMaxElementIndex + 1) = 1;
    EXPECT_EQ(array.size(), 0u);
    json::Element(array, 2) = 1;
    EXPECT_EQ(array.size(), 3u);
}

#include "profile/JsonFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <sstream>

#include "TempFolder.h"

using q208::ReadJsonValue;
using q208::WriteJsonFile;

TEST(JsonFile, WritesStyledTextWithOneLineEndAndReadsItBack) {
    TempFolder dir;
    Json::Value doc;
    doc["Device"][0]["LightInfo"]["Red"] = 255;
    doc["name"] = "配置 1";
    ASSERT_EQ(WriteJsonFile(doc, dir / "a.Json"), 0);
    const std::string text = ReadText(dir / "a.Json");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text[text.size() - 2], '\n');
    EXPECT_EQ(ReadJsonValue(dir / "a.Json"), doc);
    EXPECT_EQ(CountEntries(dir.Path()), 1) << "no temporary file may stay behind";
}

TEST(JsonFile, AcceptsComments) {
    TempFolder dir;
    WriteText(dir / "c.json", "// factory data\n{ \"a\": 1, /* inline */ \"b\": [2] }\n");
    const Json::Value v = ReadJsonValue(dir / "c.json");
    EXPECT_EQ(v["a"].asInt(), 1);
    EXPECT_EQ(v["b"][0].asInt(), 2);
}

TEST(JsonFile, UnusableFilesReadAsNull) {
    TempFolder dir;
    WriteText(dir / "empty.json", "");
    WriteText(dir / "half.json", "{ \"Device\": [ { \"LightInfo\": { \"Red\": 2");
    WriteText(dir / "deep.json", std::string(5000, '[') + std::string(5000, ']'));
    std::filesystem::create_directory(dir / "folder.json");
    EXPECT_TRUE(ReadJsonValue(dir / "missing.json").isNull());
    EXPECT_TRUE(ReadJsonValue(dir / "empty.json").isNull());
    EXPECT_TRUE(ReadJsonValue(dir / "half.json").isNull());
    EXPECT_TRUE(ReadJsonValue(dir / "deep.json").isNull());
    EXPECT_TRUE(ReadJsonValue(dir / "folder.json").isNull());
    EXPECT_EQ(q208::readjsonFile(dir / "folder.json"), "");
}

TEST(JsonFile, FailedWriteLeavesNoTraceAndReportsFailure) {
    TempFolder dir;
    std::filesystem::create_directory(dir / "target.Json");  // rename over a folder fails
    EXPECT_EQ(WriteJsonFile(Json::Value(1), dir / "target.Json"), -1);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "target.Json"));
    EXPECT_EQ(CountEntries(dir.Path()), 1);

    WriteText(dir / "file", "x");  // a file where a folder should be: no temporary file possible
    EXPECT_EQ(WriteJsonFile(Json::Value(1), dir / "file" / "p.Json"), -1);
    EXPECT_EQ(WriteJsonFile(Json::Value(1), dir / "no-such-folder" / "p.Json"), -1);
}

TEST(JsonFile, LastGoodFileSurvivesAWriteThatRunsOutOfSpace) {
    TempFolder dir;
    const auto path = dir / "profile.Json";
    Json::Value good;
    good["Device"][0]["LightInfo"]["Red"] = 1;
    ASSERT_EQ(WriteJsonFile(good, path), 0);

    Json::Value big;
    for (int i = 0; i < 5000; ++i) big["Device"][0]["KeyList"][i]["Assignment"] = i;
    // Limit the file size so the write fails half way, as on a full disk.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = WriteJsonFile(big, path);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadJsonValue(path), good);
    EXPECT_EQ(CountEntries(dir.Path()), 1);
}

TEST(JsonFile, ReadOnlyFolderKeepsTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TempFolder dir;
    const auto folder = dir / "ro";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(WriteJsonFile(Json::Value(1), folder / "p.Json"), 0);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(WriteJsonFile(Json::Value(2), folder / "p.Json"), -1);
    EXPECT_EQ(ReadJsonValue(folder / "p.Json"), Json::Value(1));
}

TEST(JsonFile, ReplacingKeepsTheFileMode) {
    TempFolder dir;
    const auto path = dir / "p.Json";
    ASSERT_EQ(WriteJsonFile(Json::Value(1), path), 0);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0644));
    std::filesystem::permissions(path, std::filesystem::perms(0600));
    ASSERT_EQ(WriteJsonFile(Json::Value(2), path), 0);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0600));
}

TEST(JsonFile, TimeStampNameHasTheIdentifierForm) {
    const std::string name = q208::MakeTimeStampName();
    std::vector<std::size_t> widths;
    std::istringstream parts(name);
    for (std::string part; std::getline(parts, part, '_');) {
        EXPECT_EQ(part.find_first_not_of("0123456789"), std::string::npos) << name;
        widths.push_back(part.size());
    }
    EXPECT_EQ(widths, (std::vector<std::size_t>{4, 2, 2, 2, 2, 2, 3})) << name;
    EXPECT_TRUE(q208::IsPlainIdentifier(name));
}

TEST(JsonFile, OnlyPlainIdentifiersBecomeFileNames) {
    EXPECT_TRUE(q208::IsPlainIdentifier("2024_01_31_12_00_00_123"));
    EXPECT_TRUE(q208::IsPlainIdentifier("my light.v2"));
    EXPECT_FALSE(q208::IsPlainIdentifier(""));
    EXPECT_FALSE(q208::IsPlainIdentifier("../../.bashrc"));
    EXPECT_FALSE(q208::IsPlainIdentifier(".."));
    EXPECT_FALSE(q208::IsPlainIdentifier("a/b"));
    EXPECT_FALSE(q208::IsPlainIdentifier("/etc/passwd"));
    EXPECT_FALSE(q208::IsPlainIdentifier("a\\b"));
    EXPECT_FALSE(q208::IsPlainIdentifier(std::string("a\0b", 3)));
    EXPECT_FALSE(q208::IsPlainIdentifier(std::string(300, 'a')));
}

#include "profile/JsonFile.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <sstream>

#include "TempFolder.h"
#include "Unprivileged.h"

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
    TempFolder dir;
    const auto folder = dir / "ro";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(WriteJsonFile(Json::Value(1), folder / "p.Json"), 0);
    GiveToUnprivileged(dir.Path());
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_TRUE(RunUnprivileged([&] { return WriteJsonFile(Json::Value(2), folder / "p.Json") == -1; }));
    EXPECT_EQ(ReadJsonValue(folder / "p.Json"), Json::Value(1));
    EXPECT_EQ(CountEntries(folder), 1);
}

TEST(JsonFile, ReadsTellMissingUnreadableAndInvalidApart) {
    using q208::JsonReadStatus;
    TempFolder dir;
    WriteText(dir / "empty.json", "");
    WriteText(dir / "bad.json", "{ nope");
    WriteText(dir / "bom.json", "\xEF\xBB\xBF{ \"a\": 1 }");
    WriteText(dir / "locked.json", "{ \"a\": 2 }");
    std::filesystem::permissions(dir / "locked.json", std::filesystem::perms::none);
    std::filesystem::create_directory(dir / "folder.json");
    {
        std::ofstream(dir / "huge.json") << "{}";
        std::filesystem::resize_file(dir / "huge.json", q208::kMaxJsonFileBytes + 1);  // sparse
    }
    EXPECT_EQ(q208::ReadJsonFile(dir / "missing.json").status, JsonReadStatus::Missing);
    EXPECT_EQ(q208::ReadJsonFile(dir / "empty.json").status, JsonReadStatus::Missing);
    EXPECT_EQ(q208::ReadJsonFile(dir / "bad.json").status, JsonReadStatus::Invalid);
    EXPECT_EQ(q208::ReadJsonFile(dir / "folder.json").status, JsonReadStatus::Unreadable);
    EXPECT_EQ(q208::ReadJsonFile(dir / "huge.json").status, JsonReadStatus::Unreadable);
    const q208::JsonReadResult bom = q208::ReadJsonFile(dir / "bom.json");
    EXPECT_EQ(bom.status, JsonReadStatus::Ok);
    EXPECT_EQ(bom.value["a"].asInt(), 1) << "a leading byte-order mark is accepted";
    GiveToUnprivileged(dir.Path());
    EXPECT_TRUE(RunUnprivileged([&] {
        const q208::JsonReadResult locked = q208::ReadJsonFile(dir / "locked.json");
        return locked.status == JsonReadStatus::Unreadable && !locked.reason.empty();
    }));
}

TEST(JsonFile, ReplacingKeepsTheModeOfRegularFilesOnly) {
    TempFolder dir;
    const auto path = dir / "p.Json";
    ASSERT_EQ(WriteJsonFile(Json::Value(1), path), 0);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0600)) << "a new profile is the user's alone";
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    ASSERT_EQ(WriteJsonFile(Json::Value(2), path), 0);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
    // A link to a device gives its mode to nobody, and is replaced by a regular file.
    std::filesystem::create_symlink("/dev/zero", dir / "z.Json");
    ASSERT_EQ(WriteJsonFile(Json::Value(3), dir / "z.Json"), 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / "z.Json")));
    EXPECT_EQ(std::filesystem::status(dir / "z.Json").permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0600));
    EXPECT_EQ(WriteJsonFile(Json::Value(4), ""), -1) << "an empty path is refused";
}

TEST(JsonFile, TemporariesOfAKilledWriterGoOnTheNextWriteButNotThoseInUse) {
    TempFolder dir;
    WriteText(dir / ".p.Json.tmp-a1b2c3", "{ half");
    WriteText(dir / ".other.Json.tmp-zzzzzz", "{ in use");
    WriteText(dir / "notes.tmp-aaaaaa", "mine");  // not a name of ours
    const int held = ::open((dir / ".other.Json.tmp-zzzzzz").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);  // a writer at work holds its file locked
    ASSERT_EQ(WriteJsonFile(Json::Value(1), dir / "p.Json"), 0);
    ::close(held);
    EXPECT_FALSE(std::filesystem::exists(dir / ".p.Json.tmp-a1b2c3"));
    EXPECT_TRUE(std::filesystem::exists(dir / ".other.Json.tmp-zzzzzz"));
    EXPECT_TRUE(std::filesystem::exists(dir / "notes.tmp-aaaaaa"));
}

TEST(JsonFile, AFullFileSystemKeepsTheOldFile) {
    TempFolder dir;
    const auto mountPoint = dir / "small";
    std::filesystem::create_directory(mountPoint);
    if (::mount("q208-test", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(errno);
    }
    const auto path = mountPoint / "profile.Json";
    Json::Value good;
    good["Device"][0]["LightInfo"]["Red"] = 1;
    const bool wrote = WriteJsonFile(good, path) == 0;
    Json::Value big;
    for (int i = 0; i < 8000; ++i) big["Device"][0]["KeyList"][i]["Assignment"] = i;
    const int result = WriteJsonFile(big, path);
    const Json::Value after = ReadJsonValue(path);
    const int entries = CountEntries(mountPoint);
    ::umount(mountPoint.c_str());
    EXPECT_TRUE(wrote);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(after, good);
    EXPECT_EQ(entries, 1) << "no temporary file stays on the full disk";
}

TEST(JsonFile, CopiesAreWholeOrNothing) {
    TempFolder dir;
    const std::string bytes = "{ \"kept\" : [1,2] }  // exactly as stored\n";
    WriteText(dir / "src.json", bytes);
    EXPECT_TRUE(q208::CopyFileSafely(dir / "src.json", dir / "dst.json"));
    EXPECT_EQ(ReadText(dir / "dst.json"), bytes);
    WriteText(dir / "old.json", "old");
    EXPECT_FALSE(q208::CopyFileSafely(dir / "missing.json", dir / "old.json"));
    EXPECT_FALSE(q208::CopyFileSafely(dir / "src.json", dir / "src.json" / "x"));
    EXPECT_EQ(ReadText(dir / "old.json"), "old");
    EXPECT_EQ(CountEntries(dir.Path()), 3);
}

TEST(JsonFile, TimeStampNamesNeverRepeatInAProcess) {
    std::set<std::string> names;
    for (int i = 0; i < 3000; ++i) names.insert(q208::MakeTimeStampName());
    EXPECT_EQ(names.size(), 3000u);
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

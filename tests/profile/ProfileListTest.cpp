#include "profile/ProfileList.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "TempFolder.h"
#include "Unprivileged.h"
#include "profile/JsonFile.h"

namespace q208 {
namespace {

class ProfileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        Json::Value factory(Json::objectValue);
        factory["Device"][0]["LightInfo"]["SelectItem"] = 3;
        ASSERT_EQ(WriteJsonFile(factory, defaults_), 0);
    }
    void WriteList(const std::string& text) { WriteText(folder_ / ProfileList::kFileName, text); }
    ProfileList List(int kind = 1) const { return ProfileList(folder_.Path(), defaults_, kind); }
    Json::Value Stored() const { return ReadJsonValue(folder_ / ProfileList::kFileName); }
    // A list of the given names, each with a document holding its name, the first selected.
    void WriteProfiles(const std::vector<std::string>& names) {
        Json::Value list(Json::objectValue);
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string id = "id_" + std::to_string(i);
            Json::Value entry;
            entry["profilename"] = names[i];
            entry["profileUUID"] = id;
            list["profilelist"].append(entry);
            Json::Value document;
            document["profilename"] = names[i];
            document["profileUUID"] = id;
            document["Device"][0]["LightInfo"]["SelectItem"] = static_cast<int>(i) + 10;
            ASSERT_EQ(WriteJsonFile(document, folder_ / (id + ".Json")), 0);
        }
        list["profileselect"] = 0;
        ASSERT_EQ(WriteJsonFile(list, folder_ / ProfileList::kFileName), 0);
    }
    std::vector<std::string> Names(const ProfileList& list) const {
        std::vector<std::string> names;
        for (int i = 0; i < list.Count(); ++i) names.push_back(list.NameAt(i));
        return names;
    }

    TempFolder folder_;
    std::filesystem::path defaults_ = folder_ / "Factory.Json";
};

TEST_F(ProfileListTest, FirstStartMakesProfile1FromTheFactoryDocument) {
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    const std::string id = list.SelectedId();
    ASSERT_TRUE(IsPlainIdentifier(id));
    const Json::Value stored = Stored();
    ASSERT_EQ(stored["profilelist"].size(), 1u);
    EXPECT_EQ(stored["profilelist"][0]["profilename"].asString(), "profile1");
    EXPECT_EQ(stored["profilelist"][0]["profileislink"].asInt(), 0);
    EXPECT_EQ(stored["profilelist"][0]["profilelinkmame"].asString(), "");
    EXPECT_EQ(stored["profileselect"].asInt(), 0);
    EXPECT_EQ(ReadText(list.ListPath()), StyledJsonText(stored)) << "styled, one line end";
    const Json::Value document = ReadJsonValue(folder_ / (id + ".Json"));
    EXPECT_EQ(document["profileUUID"].asString(), id);
    EXPECT_EQ(document["profilename"].asString(), "profile1");
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3) << "a copy of the factory document";

    ProfileList again = List();
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.SelectedId(), id) << "a second start takes the same profile";
}

TEST_F(ProfileListTest, TheStoredSelectionWinsAndOneOutOfRangeFallsBackToTheFirst) {
    WriteList(R"({"profilelist": [{"profileUUID": "a"}, {"profileUUID": "b"}], "profileselect": 1})");
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.SelectedId(), "b");

    WriteList(R"({"profilelist": [{"profileUUID": "a"}, {"profileUUID": "b"}], "profileselect": 7})");
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.SelectedId(), "a");
    EXPECT_EQ(Stored()["profileselect"].asInt(), 0) << "the repaired selection is stored";
}

TEST_F(ProfileListTest, AnIdentifierThatCouldBeAPathIsReplacedAndNeverUsed) {
    WriteList(R"({"profilelist": [{"profilename": "x", "profileUUID": "../escape"},
                                  {"profilename": "y", "profileUUID": "a/b"},
                                  {"profilename": "z", "profileUUID": ""},
                                  {"profilename": "w", "profileUUID": "b"},
                                  {"profilename": "v", "profileUUID": "b"}], "profileselect": 0})");
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.Count(), 5);
    std::set<std::string> ids;
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_TRUE(IsPlainIdentifier(list.IdAt(i))) << i;
        EXPECT_EQ(list.DocumentPath(i).parent_path(), folder_.Path());
        ids.insert(list.IdAt(i));
    }
    EXPECT_EQ(ids.size(), 5u) << "two entries never share a document";
    EXPECT_EQ(list.IdAt(3), "b");
    EXPECT_EQ(Stored()["profilelist"][0]["profileUUID"].asString(), list.IdAt(0)) << "the repair is stored";
    EXPECT_EQ(Names(list), (std::vector<std::string>{"x", "y", "z", "w", "v"}));
}

TEST_F(ProfileListTest, AListThatCannotBeReadIsKeptBesideTheNewOne) {
    WriteList("{ \"profilelist\": [ broken");
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    EXPECT_FALSE(list.SelectedId().empty());
    EXPECT_EQ(ReadText(folder_ / "ProfileList.ini.bad"), "{ \"profilelist\": [ broken");
}

TEST_F(ProfileListTest, AListBrokenWhileInUseIsKeptAsideAndTheKnownListWrittenAgain) {
    WriteProfiles({"A", "B"});
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    WriteList("{ garbage");
    ASSERT_EQ(list.Create(), ProfileResult::Done);
    EXPECT_EQ(ReadText(folder_ / "ProfileList.ini.bad"), "{ garbage");
    EXPECT_EQ(Stored()["profilelist"].size(), 3u) << "the user's profiles are still there";
}

TEST_F(ProfileListTest, NewNamesTakeTheFirstFreeNumberWhateverTheCase) {
    WriteProfiles({"profile1", "profile3"});
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    int added = -1;
    ASSERT_EQ(list.Create(&added), ProfileResult::Done);
    EXPECT_EQ(added, 2);
    EXPECT_EQ(list.NameAt(2), "profile2");
    EXPECT_EQ(list.Selected(), 0) << "a new profile is added, not switched to";
    const Json::Value document = ReadJsonValue(list.DocumentPath(2));
    EXPECT_EQ(document["profilename"].asString(), "profile2");
    EXPECT_EQ(document["profileUUID"].asString(), list.IdAt(2));
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3) << "from the factory document";

    WriteProfiles({"PROFILE1"});
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.Create(), ProfileResult::Done);
    EXPECT_EQ(list.NameAt(1), "profile2");
}

TEST_F(ProfileListTest, CopiesAreNamedCopyAgainWhileTakenAndCarryTheDocument) {
    WriteProfiles({"A", "a copy"});
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.Copy(), ProfileResult::Done);
    EXPECT_EQ(list.NameAt(2), "A copy copy");
    const Json::Value document = ReadJsonValue(list.DocumentPath(2));
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"].asInt(), 10) << "the selected profile's settings";
    EXPECT_EQ(document["profileUUID"].asString(), list.IdAt(2));
    EXPECT_NE(list.IdAt(2), list.IdAt(0));
}

TEST_F(ProfileListTest, FiftyProfilesAreTheLimitAndNothingChangesAtIt) {
    std::vector<std::string> names;
    for (int i = 0; i < ProfileList::kLimit; ++i) names.push_back("p" + std::to_string(i));
    WriteProfiles(names);
    const std::string before = ReadText(folder_ / ProfileList::kFileName);
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.Create(), ProfileResult::LimitReached);
    EXPECT_EQ(list.Copy(), ProfileResult::LimitReached);
    Json::Value importable;
    importable["profilename"] = "x";
    importable["profileUUID"] = "y";
    ASSERT_EQ(WriteJsonFile(importable, folder_ / "in.json"), 0);
    EXPECT_EQ(list.Import(folder_ / "in.json", "in"), ProfileResult::LimitReached);
    EXPECT_EQ(ReadText(folder_ / ProfileList::kFileName), before);
    EXPECT_EQ(ProfileResultMessageKey(ProfileResult::LimitReached, false), "message_text_30");
    EXPECT_EQ(ProfileResultMessageKey(ProfileResult::LimitReached, true), "message_text_34");
}

TEST_F(ProfileListTest, ImportsTakeTheFileNameAndReplaceNameAndIdentifier) {
    WriteProfiles({"My.set"});
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    Json::Value importable;
    importable["profilename"] = "inside";
    importable["profileUUID"] = "../../etc/passwd";
    importable["Device"][0]["LightInfo"]["SelectItem"] = 7;
    ASSERT_EQ(WriteJsonFile(importable, folder_ / "My.set.json"), 0);
    const std::string path = (folder_ / "My.set.json").string();
    EXPECT_EQ(ProfileList::ImportName(path), "My.set");
    EXPECT_EQ(ProfileList::ImportName("C:\\profiles\\.json"), ".json");
    EXPECT_EQ(ProfileList::ImportName("plain"), "plain");

    ASSERT_EQ(list.Import(path, ProfileList::ImportName(path)), ProfileResult::Done);
    ASSERT_EQ(list.Import(path, "My.set(1)"), ProfileResult::Done);
    ASSERT_EQ(list.Import(path, "My.set"), ProfileResult::Done);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"My.set", "My.set(1)", "My.set(1)(1)", "My.set(1)(2)"}));
    const Json::Value document = ReadJsonValue(list.DocumentPath(1));
    EXPECT_EQ(document["profilename"].asString(), "My.set(1)");
    EXPECT_EQ(document["profileUUID"].asString(), list.IdAt(1));
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"].asInt(), 7);
}

TEST_F(ProfileListTest, ImportRefusesFilesThatAreNoProfileAndIgnoresOnesWithoutIdentity) {
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    WriteText(folder_ / "array.json", "[1, 2]");
    WriteText(folder_ / "broken.json", "{ nope");
    WriteText(folder_ / "anonymous.json", R"({"profilename": "x"})");
    {
        std::ofstream huge(folder_ / "huge.json", std::ios::binary);
        huge << R"({"profilename": "x", "profileUUID": "y", "pad": ")";
        huge << std::string(ProfileList::kMaxImportBytes, 'a') << "\"}";
    }
    EXPECT_EQ(list.Import(folder_ / "array.json", "a"), ProfileResult::BadFile);
    EXPECT_EQ(list.Import(folder_ / "broken.json", "a"), ProfileResult::BadFile);
    EXPECT_EQ(list.Import(folder_ / "missing.json", "a"), ProfileResult::BadFile);
    EXPECT_EQ(list.Import(folder_ / "huge.json", "a"), ProfileResult::BadFile);
    EXPECT_EQ(list.Import(folder_ / "anonymous.json", "a"), ProfileResult::Ignored);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(ProfileResultMessageKey(ProfileResult::BadFile, true), "message_text_33");
}

TEST_F(ProfileListTest, RenameRefusesBlanksAndOtherProfilesNamesButNotItsOwnInCapitals) {
    WriteProfiles({"alpha", "beta"});
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.Rename("   "), ProfileResult::BlankName);
    EXPECT_EQ(list.Rename("BETA"), ProfileResult::NameInUse);
    EXPECT_EQ(list.Rename("ALPHA"), ProfileResult::Done);
    EXPECT_EQ(Stored()["profilelist"][0]["profilename"].asString(), "ALPHA");
    EXPECT_EQ(ReadJsonValue(list.DocumentPath(0))["profilename"].asString(), "ALPHA");
    EXPECT_EQ(list.Rename("Ünïcödé 名"), ProfileResult::Done);
    ProfileList reread = List();
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.NameAt(0), "Ünïcödé 名");
}

TEST_F(ProfileListTest, DeleteKeepsTheLastProfileAndSelectsTheOneBefore) {
    WriteProfiles({"only"});
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.Delete(), ProfileResult::NoProfile);
    EXPECT_EQ(list.Count(), 1);

    WriteProfiles({"a", "b", "c"});
    ASSERT_TRUE(list.Load());
    const std::filesystem::path first = list.DocumentPath(0);
    ASSERT_EQ(list.Delete(), ProfileResult::Done);
    EXPECT_EQ(Stored()["profileselect"].asInt(), 0);
    EXPECT_FALSE(std::filesystem::exists(first));

    WriteProfiles({"a", "b", "c"});
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.Select(2), ProfileResult::Done);
    ASSERT_EQ(list.Delete(), ProfileResult::Done);
    EXPECT_EQ(Stored()["profileselect"].asInt(), 1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ProfileListTest, ResetGivesTheFactoryDocumentButAHeadsetKeepsItsEqualiserPresets) {
    WriteProfiles({"a"});
    Json::Value edited = ReadJsonValue(folder_ / "id_0.Json");
    edited["Device"][0]["CustomEQNameInfo"][0]["Name"] = "mine";
    edited["Device"][0]["CustomEQHzValueInfo"][0][0]["value"] = 5;
    ASSERT_EQ(WriteJsonFile(edited, folder_ / "id_0.Json"), 0);

    ProfileList headset = List(ProfileList::kHeadsetKind);
    ASSERT_TRUE(headset.Load());
    ASSERT_EQ(headset.Reset(), ProfileResult::Done);
    Json::Value document = ReadJsonValue(folder_ / "id_0.Json");
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3);
    EXPECT_EQ(document["Device"][0]["CustomEQNameInfo"][0]["Name"].asString(), "mine");
    EXPECT_EQ(document["Device"][0]["CustomEQHzValueInfo"][0][0]["value"].asInt(), 5);

    ProfileList keyboard = List(1);
    ASSERT_TRUE(keyboard.Load());
    ASSERT_EQ(keyboard.Reset(), ProfileResult::Done);
    document = ReadJsonValue(folder_ / "id_0.Json");
    Json::Value expected = ReadJsonValue(defaults_);
    expected["profilename"] = "a";
    expected["profileUUID"] = "id_0";
    EXPECT_EQ(document, expected);
}

TEST_F(ProfileListTest, ExportWritesTheDocumentUnchangedAndNamesABareTarget) {
    WriteProfiles({"a"});
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.Export(folder_ / "out"), ProfileResult::Done);
    EXPECT_EQ(ReadJsonValue(folder_ / "out.json"), ReadJsonValue(folder_ / "id_0.Json"));
    ASSERT_EQ(list.Export(folder_ / "out.txt"), ProfileResult::Done);
    EXPECT_TRUE(std::filesystem::exists(folder_ / "out.txt"));
}

// As a user for whom the list and a profile document cannot be read: nothing is made in
// their place, and no operation writes over them.
TEST_F(ProfileListTest, UnreadableListAndDocumentsAreLeftAsTheyAre) {
    WriteProfiles({"a", "b"});
    const std::filesystem::path listFile = folder_ / ProfileList::kFileName;
    const std::string documentBytes = ReadText(folder_ / "id_0.Json");
    GiveToUnprivileged(folder_.Path());
    std::filesystem::permissions(folder_ / "id_0.Json", std::filesystem::perms::none);
    EXPECT_TRUE(RunUnprivileged([&] {
        ProfileList list = List();
        // The document cannot be read: no copy, no reset, the rename keeps it as it is.
        const bool documentKept = list.Load() && list.Copy() == ProfileResult::WriteFailed &&
                                  list.Reset() == ProfileResult::WriteFailed &&
                                  list.Rename("c") == ProfileResult::Done && list.Count() == 2;
        std::filesystem::permissions(listFile, std::filesystem::perms::none);
        ProfileList again = List();
        const bool listKept = !again.Load() && again.Count() == 0 && list.Create() == ProfileResult::WriteFailed;
        return documentKept && listKept;
    }));
    std::filesystem::permissions(listFile, std::filesystem::perms::owner_read);
    std::filesystem::permissions(folder_ / "id_0.Json", std::filesystem::perms::owner_read);
    EXPECT_EQ(ReadText(folder_ / "id_0.Json"), documentBytes);
    EXPECT_NE(ReadText(listFile).find("\"c\""), std::string::npos) << "the rename reached the list";
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) names += entry.path().filename().string() + " ";
    EXPECT_EQ(CountEntries(folder_.Path()), 4) << "factory, list and two documents; no copy, no .bad: " << names;
}

TEST_F(ProfileListTest, ExportCopiesTheStoredBytes) {
    WriteProfiles({"a"});
    const std::string stored = "// my notes\n{ \"profilename\": \"a\", \"profileUUID\": \"id_0\" }\n";
    WriteText(folder_ / "id_0.Json", stored);
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.Export(folder_ / "out.json"), ProfileResult::Done);
    EXPECT_EQ(ReadText(folder_ / "out.json"), stored);
}

TEST_F(ProfileListTest, ProfilesMadeInOneMillisecondGetDifferentIdentifiers) {
    ProfileList list = List();
    ASSERT_TRUE(list.Load());
    for (int i = 0; i < 5; ++i) ASSERT_EQ(list.Create(), ProfileResult::Done);
    std::set<std::string> ids;
    for (int i = 0; i < list.Count(); ++i) ids.insert(list.IdAt(i));
    EXPECT_EQ(ids.size(), 6u);
}

}  // namespace
}  // namespace q208

namespace q208 {
namespace {

TEST(SetFileAside, NeverOverwritesAnEarlierCopyNorWritesThroughALink) {
    TempFolder folder;
    const auto file = folder / "list.ini";
    const auto outside = folder / "outside";
    std::ofstream(outside) << "keep";
    std::filesystem::create_symlink(outside, folder / "list.ini.bad");
    std::ofstream(file) << "first";
    EXPECT_EQ(SetFileAside(file), folder / "list.ini.bad.2");
    std::ofstream(file) << "second";
    EXPECT_EQ(SetFileAside(file), folder / "list.ini.bad.3");
    EXPECT_FALSE(std::filesystem::exists(file));
    std::ifstream target(outside), first(folder / "list.ini.bad.2");
    std::string a, b;
    target >> a;
    first >> b;
    EXPECT_EQ(a, "keep");
    EXPECT_EQ(b, "first");
    EXPECT_TRUE(SetFileAside(folder / "missing").empty());
}

}  // namespace
}  // namespace q208

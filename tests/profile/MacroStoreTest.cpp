#include <gtest/gtest.h>

#include "TempFolder.h"
#include "profile/CBasicProfiledata.h"
#include "profile/JsonAccess.h"
#include "profile/MacroAssignments.h"
#include "profile/MacroStore.h"

namespace q208 {
namespace {

Json::Value Event(const char* action, int type, int button, Json::Value delay) {
    Json::Value event;
    event["Action"] = action;
    event["Type"] = type;
    event["Button"] = button;
    event["Delay"] = delay;
    return event;
}

TEST(MacroStore, NewNamesSkipTakenOnesWithoutRegardToCase) {
    TempFolder folder;
    MacroStore store(folder.Path());
    std::string name;
    ASSERT_EQ(store.Create(nullptr, &name), MacroResult::Done);
    EXPECT_EQ(name, "macro_1");
    ASSERT_EQ(store.Rename(0, "MACRO_2"), MacroResult::Done);
    ASSERT_EQ(store.Create(nullptr, &name), MacroResult::Done);
    ASSERT_EQ(store.Create(nullptr, &name), MacroResult::Done);
    EXPECT_EQ(name, "macro_3");
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"MACRO_2", "macro_1", "macro_3"}));
}

TEST(MacroStore, RenameTrimsAndRefusesBlankAndTakenNames) {
    TempFolder folder;
    MacroStore store(folder.Path());
    store.Create();
    store.Create();
    std::string renamed;
    EXPECT_EQ(store.Rename(0, "   "), MacroResult::NameEmpty);
    EXPECT_EQ(store.Rename(0, "Macro_2"), MacroResult::NameTaken);
    EXPECT_EQ(store.Rename(0, "macro_1"), MacroResult::NameTaken);  // its own name counts too
    EXPECT_EQ(store.Rename(0, "  Fire  ", &renamed), MacroResult::Done);
    EXPECT_EQ(renamed, "Fire");
    EXPECT_EQ(store.Names()[0], "Fire");
}

TEST(MacroStore, AtFiftyMacrosCreateAndImportAreRefused) {
    TempFolder folder;
    MacroStore store(folder.Path());
    for (int i = 0; i < MacroStore::kMaxMacros; ++i) ASSERT_EQ(store.Create(), MacroResult::Done);
    WriteText(folder / "x.mac", "{\"Events\": []}");
    EXPECT_EQ(store.Create(), MacroResult::AtLimit);
    EXPECT_EQ(store.Import(folder / "x.mac"), MacroResult::AtLimit);
    EXPECT_EQ(store.Count(), MacroStore::kMaxMacros);
}

TEST(MacroStore, ImportCopiesTheBytesAndNamesAClashByCounter) {
    TempFolder folder;
    TempFolder outside;
    MacroStore store(folder.Path());
    store.Create();
    store.Rename(0, "My");
    const std::string bytes = "{ \"MacroName\" : \"other\",\r\n \"Events\" : [ {\"Action\":\"down\",\"Type\":10,"
                              "\"Button\":4,\"Delay\":\"20\"} ] }\r\n";
    WriteText(outside / "My.mac", bytes);
    int added = -1;
    std::string name;
    ASSERT_EQ(store.Import(outside / "My.mac", &added, &name), MacroResult::Done);
    EXPECT_EQ(name, "2");
    EXPECT_EQ(added, 1);
    EXPECT_EQ(ReadText(store.EventFile(1)), bytes);
    ASSERT_EQ(store.Import(outside / "My.mac", nullptr, &name), MacroResult::Done);
    EXPECT_EQ(name, "3");
    ASSERT_EQ(store.LoadMacroEvents(1).size(), 1u);
    EXPECT_EQ(store.LoadMacroEvents(1)[0].delay, 20);
}

TEST(MacroStore, ImportRefusesWhatIsNotAMacroFile) {
    TempFolder folder;
    MacroStore store(folder.Path());
    WriteText(folder / "list.mac", "[1, 2]");
    WriteText(folder / "text.mac", "not json");
    WriteText(folder / "big.mac", "{\"a\": \"" + std::string(MacroStore::kMaxImportBytes, 'x') + "\"}");
    EXPECT_EQ(store.Import(folder / "list.mac"), MacroResult::BadFile);
    EXPECT_EQ(store.Import(folder / "text.mac"), MacroResult::BadFile);
    EXPECT_EQ(store.Import(folder / "big.mac"), MacroResult::BadFile);
    EXPECT_EQ(store.Import(folder / "missing.mac"), MacroResult::BadFile);
    EXPECT_EQ(store.Count(), 0);
}

TEST(MacroStore, IdentifiersThatAreNoPlainNamesNeverBecomeFiles) {
    TempFolder folder;
    WriteText(folder / "macro.config",
              R"({"MacroInfo": [{"MacroName": "bad", "Guid": "../../escape"}, {"MacroName": "ok", "Guid": "g1"}]})");
    MacroStore store(folder.Path());
    EXPECT_TRUE(store.EventFile(0).empty());
    EXPECT_EQ(store.SaveEvents(0, {Event("down", 10, 4, "5")}), MacroResult::NoMacro);
    EXPECT_EQ(store.EventFile(1), folder / "g1.mac");
    EXPECT_FALSE(std::filesystem::exists(folder.Path().parent_path() / "escape.mac"));
}

TEST(MacroStore, SaveNormalisesDelaysAndKeepsAtMost250Events) {
    TempFolder folder;
    MacroStore store(folder.Path());
    store.Create();
    std::vector<Json::Value> events{Event("down", 10, 4, ""), Event("up", 10, 4, "5"), Event("down", 9, 1, "12"),
                                    Event("up", 9, 1, 0), Event("down", 1, 1, "70000")};
    ASSERT_EQ(store.SaveEvents(0, events), MacroResult::Done);
    const Json::Value saved = ReadJsonValue(store.EventFile(0));
    EXPECT_EQ(saved["Version"].asInt(), 64);
    EXPECT_EQ(saved["MacroName"].asString(), "macro_1");
    const std::vector<std::string> delays{"10", "10", "12", "10", "65535"};
    ASSERT_EQ(saved["Events"].size(), delays.size());
    for (size_t i = 0; i < delays.size(); ++i) {
        EXPECT_TRUE(saved["Events"][static_cast<int>(i)]["Delay"].isString());
        EXPECT_EQ(saved["Events"][static_cast<int>(i)]["Delay"].asString(), delays[i]) << i;
    }
    bool trimmed = false;
    ASSERT_EQ(store.SaveEvents(0, std::vector<Json::Value>(260, Event("down", 10, 4, "10")), &trimmed), MacroResult::Done);
    EXPECT_TRUE(trimmed);
    EXPECT_EQ(store.LoadEvents(0).size(), 250u);
}

TEST(MacroStore, AFailedWriteIsReported) {
    TempFolder folder;
    MacroStore store(folder.Path() / "missing" / "folder");
    EXPECT_EQ(store.Create(), MacroResult::WriteFailed);
}

TEST(MacroStore, DeleteMovesLaterMacrosDownAndRemovesTheEventFile) {
    TempFolder folder;
    MacroStore store(folder.Path());
    for (int i = 0; i < 3; ++i) store.Create();
    store.SaveEvents(1, {Event("down", 10, 4, "10")});
    const std::filesystem::path file = store.EventFile(1);
    const std::string lastGuid = store.List()[2].guid;
    ASSERT_EQ(store.Delete(1), MacroResult::Done);
    EXPECT_FALSE(std::filesystem::exists(file));
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.List()[1].guid, lastGuid);
    EXPECT_EQ(store.Delete(5), MacroResult::NoMacro);
}

KeyAssignmentRecord MacroKey(uint16_t key, uint8_t type, uint8_t macro) {
    KeyAssignmentRecord record;
    record.current = {key, type, macro, 1, 0};
    record.defaults = {key, 0x20, 0, 0x04, 0};
    return record;
}

TEST(MacroStore, RenumberingAfterADeleteResetsPlayersAndLowersLaterOnes) {
    std::vector<KeyAssignmentRecord> records{MacroKey(0, 0x70, 0), MacroKey(1, 0x71, 1), MacroKey(2, 0x70, 2),
                                             MacroKey(3, 0x20, 2)};
    EXPECT_TRUE(MacroStore::RenumberAfterDelete(records, 1));
    EXPECT_EQ(records[0].current.param1, 0);
    EXPECT_EQ(records[1].current.type, 0x20);  // back to the key's factory function
    EXPECT_EQ(records[1].current.index, 1);
    EXPECT_EQ(records[2].current.param1, 1);
    EXPECT_EQ(records[3].current.param1, 2);  // not a macro key
    std::vector<KeyAssignmentRecord> untouched{MacroKey(0, 0x70, 0)};
    EXPECT_FALSE(MacroStore::RenumberAfterDelete(untouched, 3));
}

TEST(MacroStore, RenumberingReachesEveryProfileDocument) {
    TempFolder folder;
    const std::filesystem::path defaults = std::filesystem::path(Q208_DEFAULT_DATA_DIR) / "Keyboard.Json";
    std::vector<std::filesystem::path> paths{folder / "a.Json", folder / "b.Json"};
    for (size_t p = 0; p < paths.size(); ++p) {
        CBasicProfiledata profile;
        profile.SetDefaultPath(defaults);
        profile.SetPath(paths[p]);
        profile.LoadSection(paths[p]);
        auto records = profile.GetKeyList();
        ASSERT_GT(records.size(), 2u);
        records[2].current = {2, 0x70, static_cast<uint8_t>(p), 0, 0};
        profile.SetKeyList(records);
        ASSERT_TRUE(profile.Save());
    }
    const MacroProfileChanges changes = MacroAssignments::RenumberProfiles(paths, defaults, 0);
    EXPECT_EQ(changes.changed.size(), 2u);
    EXPECT_TRUE(changes.failed.empty());
    for (size_t p = 0; p < paths.size(); ++p) {
        CBasicProfiledata profile;
        profile.SetDefaultPath(defaults);
        profile.LoadSection(paths[p]);
        const KeyAssignmentHalf key = profile.GetKeyList()[2].current;
        if (p == 0) EXPECT_NE(key.type, 0x70);  // played the deleted macro 0
        else EXPECT_EQ(key.param1, 0);          // macro 1 is now macro 0
    }
}

}  // namespace
}  // namespace q208

#include <fstream>

#include "app/CSetWnd.h"
#include "app/LanguageSettings.h"
#include "app/ShellMessages.h"
#include "app/AppTestSupport.h"
#include "profile/JsonFile.h"
#include "ui/CComboUI.h"
#include "ui/UiMessaging.h"

namespace q208::test {
namespace {

class LanguageTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        settingsFile_ = folder_ / "config" / "settings.json";
        // Seven languages, so that the font rule can be seen on indexes 0, 2, 5, 6 and 15's absence.
        WriteConfig(R"({"Language":[
            {"Language_name":"cn","Language_file":"lan_cn.xml","Language_ID":2052,"Language_text":"language_chinese"},
            {"Language_name":"en","Language_file":"lan_en.xml","Language_ID":1033,"Language_text":"language_english"},
            {"Language_name":"tc","Language_file":"lan_cn.xml","Language_ID":1028,"Language_text":"language_chinese"},
            {"Language_name":"l3","Language_file":"lan_en.xml","Language_ID":3,"Language_text":"language_english"},
            {"Language_name":"l4","Language_file":"lan_en.xml","Language_ID":4,"Language_text":"language_english"},
            {"Language_name":"l5","Language_file":"lan_en.xml","Language_ID":5,"Language_text":"language_english"},
            {"Language_name":"l6","Language_file":"lan_en.xml","Language_ID":6,"Language_text":"language_english"}]})");
    }
    void WriteConfig(const std::string& text) { std::ofstream(folder_ / "Language.config") << text; }
    void WriteSettings(const std::string& text) {
        std::filesystem::create_directories(settingsFile_.parent_path());
        std::ofstream(settingsFile_) << text;
    }
    std::string FontFace() { return owner_->GetPaintManager().GetFont(3).face; }

    std::filesystem::path settingsFile_;
    std::unique_ptr<TestWindow> owner_ = nullptr;
};

TEST_F(LanguageTest, FontsFollowTheLanguageRule) {
    owner_ = Open(R"(<Window size="200,100"><Label name="root"/></Window>)");
    LanguageSettings language(folder_, settingsFile_);
    CPaintManagerUI& pm = owner_->GetPaintManager();

    language.Select(0, &pm);
    EXPECT_EQ(FontFace(), "汉仪菱心体简");
    language.Select(5, &pm);
    EXPECT_EQ(FontFace(), "Verdana Unicode MS");
    EXPECT_EQ(pm.GetFont(3).size, 30);
    EXPECT_TRUE(pm.GetFont(1).underline);
    EXPECT_TRUE(pm.GetFont(50).bold);
    EXPECT_EQ(pm.GetDefaultFontInfo().size, 14);

    // 5 → 6 keeps the fonts: a face set by hand survives.
    pm.AddFont(3, "Marker", 30, false, false, false, true);
    language.Select(6, &pm);
    EXPECT_EQ(FontFace(), "Marker");
    language.Select(2, &pm);
    EXPECT_EQ(FontFace(), "Noto Sans CJK TC Regular");
    EXPECT_EQ(language.AppliedIndex(), 2);

    EXPECT_EQ(LanguageSettings::FontForLanguage(15, 1), "Noto Sans Thai");
    EXPECT_EQ(LanguageSettings::FontForLanguage(1, -1), "Verdana Unicode MS");
}

TEST_F(LanguageTest, ApplyingLoadsTextsSavesTheIdAndTellsObserversEveryTime) {
    LanguageSettings language(folder_, settingsFile_);
    std::vector<std::pair<int, bool>> told;
    language.AddObserver([&](int index, bool changed) { told.emplace_back(index, changed); });

    language.Select(0, nullptr);
    EXPECT_EQ(CResourceManager::GetInstance().GetText("message_text_25"), "名称不能为空。");
    EXPECT_EQ(CResourceManager::GetInstance().GetLanguage(), "cn");
    EXPECT_EQ(ReadJsonValue(settingsFile_)["LANGUAGE"].asInt(), 2052);

    language.Select(1, nullptr);
    EXPECT_EQ(CResourceManager::GetInstance().GetText("message_text_25"), "The name cannot be blank.");
    EXPECT_EQ(ReadJsonValue(settingsFile_)["LANGUAGE"].asInt(), 1033);

    // The applied language again: nothing is reloaded or written, but observers hear of it.
    std::filesystem::remove(settingsFile_);
    language.Select(1, nullptr);
    EXPECT_FALSE(std::filesystem::exists(settingsFile_));
    EXPECT_EQ(told, (std::vector<std::pair<int, bool>>{{0, true}, {1, true}, {1, false}}));

    // A new program start finds the saved language.
    language.Select(0, nullptr);
    EXPECT_EQ(LanguageSettings(folder_, settingsFile_).SavedLanguageIndex(), 0);
    language.Select(6, nullptr);
    EXPECT_EQ(LanguageSettings(folder_, settingsFile_).SavedLanguageIndex(), 6);
}

TEST_F(LanguageTest, SavedLanguageDefaultsAndBadFiles) {
    LanguageSettings language(folder_, settingsFile_);
    EXPECT_EQ(language.SavedLanguageId(), 520);
    // 520 is nobody's id: a first start follows the desktop's language, else English.
    EXPECT_EQ(language.SavedLanguageIndex(), LanguageSettings::IndexForLocale(language.Entries(), LanguageSettings::SystemLocale()));
    const auto entries = language.Entries();
    EXPECT_EQ(LanguageSettings::IndexForLocale(entries, "zh_CN.UTF-8"), 0);
    EXPECT_EQ(LanguageSettings::IndexForLocale(entries, "zh_TW.UTF-8"), 2);
    EXPECT_EQ(LanguageSettings::IndexForLocale(entries, "en_GB.UTF-8"), 1);
    EXPECT_EQ(LanguageSettings::IndexForLocale(entries, "de_DE.UTF-8"), 1);
    EXPECT_EQ(LanguageSettings::IndexForLocale(entries, ""), 1);
    EXPECT_EQ(LanguageSettings::IndexForLocale({}, "en_US"), 0);

    WriteSettings(R"({"LANGUAGE": "english", "OTHER": 1})");
    EXPECT_EQ(language.SavedLanguageId(), 520);
    EXPECT_TRUE(Traced("not a number"));

    // Other settings survive a write.
    language.Select(1, nullptr);
    const Json::Value saved = ReadJsonValue(settingsFile_);
    EXPECT_EQ(saved["LANGUAGE"].asInt(), 1033);
    EXPECT_EQ(saved["OTHER"].asInt(), 1);

    // A settings file that is not JSON is left alone.
    WriteSettings("{ broken");
    language.Select(0, nullptr);
    EXPECT_EQ(readjsonFile(settingsFile_), "{ broken");
    EXPECT_TRUE(Traced("not valid JSON"));
}

// The settings file is the user's: one the program could not read is never replaced, it is
// written only when the language changed, and a link there stays a link.
TEST_F(LanguageTest, TheSettingsFileIsWrittenOnlyOnChangeAndNeverOverAnUnreadableOne) {
    LanguageSettings language(folder_, settingsFile_);
    WriteSettings(R"({"LANGUAGE": 1033})");
    const auto modified = [&] { return std::filesystem::status(settingsFile_).type() == std::filesystem::file_type::regular
                                        ? std::filesystem::last_write_time(settingsFile_) : std::filesystem::file_time_type{}; };
    const auto before = modified();
    const std::string text = readjsonFile(settingsFile_);
    language.Select(1, nullptr);
    EXPECT_EQ(readjsonFile(settingsFile_), text) << "the same language is not written again";
    EXPECT_EQ(modified(), before);

    // Too large to read: left as it is.
    std::filesystem::resize_file(settingsFile_, kMaxJsonFileBytes + 1);
    language.Select(0, nullptr);
    EXPECT_EQ(std::filesystem::file_size(settingsFile_), kMaxJsonFileBytes + 1);

    // A link to the user's own file: the file behind it takes the change.
    const std::filesystem::path real = folder_ / "dotfiles-settings.json";
    std::ofstream(real) << R"({"LANGUAGE": 2052, "OTHER": 5})";
    std::filesystem::remove(settingsFile_);
    std::filesystem::create_symlink(real, settingsFile_);
    language.Select(1, nullptr);
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(settingsFile_)));
    EXPECT_EQ(ReadJsonValue(real)["LANGUAGE"].asInt(), 1033);
    EXPECT_EQ(ReadJsonValue(real)["OTHER"].asInt(), 5);
}

TEST_F(LanguageTest, MissingOrMalformedConfigKeepsTheSkinsFonts) {
    owner_ = Open(R"(<Window size="200,100"><Label name="root"/></Window>)");
    owner_->GetPaintManager().AddFont(3, "Skin Font", 30, false, false, false, true);
    for (const char* config : {"", "{\"Language\": 5}", "not json at all"}) {
        WriteConfig(config);
        LanguageSettings language(folder_, settingsFile_);
        EXPECT_TRUE(language.Entries().empty());
        EXPECT_EQ(language.SavedLanguageIndex(), 0);
        language.Select(language.SavedLanguageIndex(), &owner_->GetPaintManager());
        EXPECT_EQ(language.AppliedIndex(), 0);
        EXPECT_EQ(FontFace(), "Skin Font");
        EXPECT_FALSE(std::filesystem::exists(settingsFile_));
    }
    EXPECT_TRUE(Traced("Language.config"));
}

TEST(LanguageConfig, ShippedConfigListsChineseFirstAndEnglish) {
    const auto entries = LanguageSettings::ReadLanguageConfig(FindDataRoot().defaultData / "Language.config");
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[0].file, "lan_cn.xml");  // index 0 goes with the Chinese display font
    EXPECT_EQ(entries[1].file, "lan_en.xml");
    for (const LanguageEntry& entry : entries) {
        EXPECT_TRUE(std::filesystem::exists(FindDataRoot().skin / entry.file)) << entry.file;
        EXPECT_FALSE(entry.text.empty());
    }
}

// The main window's side of the round trip: applies the language and answers.
class OwnerWindow : public TestWindow {
public:
    using TestWindow::TestWindow;
    std::vector<WPARAM> selected;
    HWND settings = 0;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override {
        if (uMsg == WM_LANGUAGE_SELECT) {
            selected.push_back(wParam);
            q208::SendMessage(settings, WM_LANGUAGE_SELECT, 0, 0);
            bHandled = true;
            return 0;
        }
        return TestWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
};

class CountingSetWnd : public CSetWnd {
public:
    using CSetWnd::CSetWnd;
    int applied = 0;
    CComboUI* List() { return static_cast<CComboUI*>(m_pm.FindControl(kLanguageList)); }

protected:
    void OnLanguageApplied() override { ++applied; }
};

TEST_F(LanguageTest, SettingsListRoundTrip) {
    OwnerWindow owner(R"(<Window size="600,400"><VerticalLayout name="root"/></Window>)");
    ASSERT_NE(owner.Create(0, "main"), 0u);
    CountingSetWnd settings(owner.GetHWND(), 1, folder_);
    ASSERT_NE(settings.Create(owner.GetHWND(), "settings"), 0u);
    owner.settings = settings.GetHWND();
    CPaintManagerUI::PumpMessages();

    CComboUI* list = settings.List();
    ASSERT_EQ(list->GetCount(), 7);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->GetItemAt(0)->GetText(), "简体中文");
    EXPECT_EQ(list->GetItemAt(1)->GetText(), "English");
    EXPECT_TRUE(owner.selected.empty());  // the initial selection raises nothing

    list->SelectItem(0);
    EXPECT_EQ(owner.selected, (std::vector<WPARAM>{0}));
    EXPECT_EQ(settings.SelectedLanguage(), 0);
    EXPECT_EQ(settings.applied, 1);

    // The settings window of the program loads its layout from the skin.
    EXPECT_TRUE(settings.SkinDiagnostics().empty());
}

TEST_F(LanguageTest, WithoutConfigTheListIsEmptyAndSendsNothing) {
    std::filesystem::remove(folder_ / "Language.config");
    OwnerWindow owner(R"(<Window size="600,400"><VerticalLayout name="root"/></Window>)");
    ASSERT_NE(owner.Create(0, "main"), 0u);
    CountingSetWnd settings(owner.GetHWND(), 0, folder_);
    ASSERT_NE(settings.Create(owner.GetHWND(), "settings"), 0u);
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(settings.LanguageCount(), 0);
    settings.List()->SelectItem(0);
    EXPECT_TRUE(owner.selected.empty());
}

}  // namespace
}  // namespace q208::test

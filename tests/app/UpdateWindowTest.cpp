// The settings window's update area over a local HTTPS service: the list after the check,
// ticks and the update button, what accepting does here, the progress message and the
// closing rule.
#include "app/AppTestSupport.h"
#include "app/CSetWnd.h"
#include "app/RegisteredMessages.h"
#include "app/ShellMessages.h"
#include "app/UpdateTargets.h"
#include "support/LocalUpdateServer.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiMessaging.h"
#include "update/CUpdateInfoListItemUI.h"
#include "update/UpdateTimeFile.h"

namespace q208::test {
namespace {

class Owner : public TestWindow {
public:
    using TestWindow::TestWindow;
    std::vector<UINT> received;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override {
        if (uMsg == WM_CLEAR_UPDATE_MARK) received.push_back(uMsg);
        return TestWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
};

class UpdateWindowTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(TestCertificates::Make(folder_ / "tls", certs_));
        server_ = std::make_unique<LocalUpdateServer>(folder_ / "server");
        ASSERT_TRUE(server_->Start(certs_.serverCert, certs_.serverKey));
        ASSERT_NE(owner_.Create(0, "main"), 0u);
        CUpdatePanel::ClearUpdateRequested();
    }
    void TearDown() override {
        settings_.reset();
        owner_.DestroyWindow();
        server_.reset();
        ShellTest::TearDown();
    }

    // The program and an attached keyboard (firmware 0x0103); a device without a version
    // is no target.
    CUpdatePanel::Context Context(bool withService = true) {
        CUpdatePanel::Context context;
        context.targets = UpdateTargetsFor({{0, 0x0103}, {1, 0}});
        if (withService) context.service = {server_->BaseUrl(), certs_.caFile.string()};
        context.userDataFolder = folder_ / "user";
        context.openUrl = [this](const std::string& url) {
            opened_.push_back(url);
            return true;
        };
        return context;
    }
    CUpdatePanel& Open(CUpdatePanel::Context context) {
        settings_ = std::make_unique<CSetWnd>(owner_.GetHWND(), 1, folder_, std::move(context));
        EXPECT_NE(settings_->Create(owner_.GetHWND(), "settings"), 0u);
        CUpdatePanel& panel = *settings_->UpdatePanel();
        for (int i = 0; i < 400 && (panel.CheckRunning() || panel.State() == kUpdateStateChecking); ++i) {
            CPaintManagerUI::PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        CPaintManagerUI::PumpMessages();
        return panel;
    }
    CControlUI* Find(const char* name) { return settings_->GetPaintManager().FindControl(name); }
    std::string Text(const char* name) { return Find(name)->GetText(); }

    Owner owner_{R"(<Window size="600,400"><VerticalLayout name="root"/></Window>)"};
    TestCertificates certs_;
    std::unique_ptr<LocalUpdateServer> server_;
    std::unique_ptr<CSetWnd> settings_;
    std::vector<std::string> opened_;
};

constexpr const char* kAnswers = R"({
    "Q208_0_ALL_LINUX_0": {"body": "{\"name\": \"AP\", \"version_name\": \"0.1.0\", \"version\": \"100\"}"},
    "Q208_1_KB_7C13_1": {"body": "{\"name\": \"Q208 Keyboard\", \"version_name\": \"1.04\", \"version\": \"0104\", \"path\": \"https://example.invalid/kb.bin\"}"}
})";

TEST_F(UpdateWindowTest, ANewerFirmwareIsTickedAndEnablesTheUpdateButton) {
    server_->SetAnswers(kAnswers);
    CUpdatePanel& panel = Open(Context());
    EXPECT_EQ(settings_->GetWindowRect().Width(), 630);
    EXPECT_EQ(settings_->GetWindowRect().Height(), 500);
    ASSERT_EQ(panel.ItemCount(), 2) << "the program and the keyboard; the mouse has no version";
    EXPECT_EQ(panel.State(), kUpdateStateHaveUpdate);
    EXPECT_EQ(Text(CUpdatePanel::kStatusText), "Updates are available.");
    EXPECT_FALSE(Find(CUpdatePanel::kRing)->IsVisible());
    EXPECT_TRUE(Find(CUpdatePanel::kImage)->IsVisible());

    CUpdateInfoListItemUI& program = *panel.ItemAt(0);
    EXPECT_EQ(program.Status(), kUpdateCurrent);
    EXPECT_FALSE(program.IsTicked());
    EXPECT_EQ(program.StatusText(), "Up to date");
    CUpdateInfoListItemUI& keyboard = *panel.ItemAt(1);
    EXPECT_EQ(keyboard.Status(), kUpdateNeeded);
    EXPECT_TRUE(keyboard.IsTicked());
    EXPECT_EQ(keyboard.StatusText(), "Update available");
    EXPECT_EQ(keyboard.NewVersionText(), "V0104");
    EXPECT_EQ(keyboard.Note(), "Not installed by this program");
    EXPECT_TRUE(Find(CUpdatePanel::kUpdateButton)->IsEnabled());

    // The tick decides whether the button can be used.
    ClickIn(*settings_, settings_->GetPaintManager().FindSubControlByName(&keyboard, CUpdateInfoListItemUI::kTickName));
    EXPECT_FALSE(keyboard.IsTicked());
    EXPECT_FALSE(Find(CUpdatePanel::kUpdateButton)->IsEnabled());
    ClickIn(*settings_, settings_->GetPaintManager().FindSubControlByName(&keyboard, CUpdateInfoListItemUI::kTickName));
    EXPECT_TRUE(Find(CUpdatePanel::kUpdateButton)->IsEnabled());

    // Accepting a firmware update downloads and runs nothing.
    ClickIn(*settings_, CUpdatePanel::kUpdateButton);
    auto* tabs = static_cast<CTabLayoutUI*>(Find(CUpdatePanel::kTabs));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    ClickIn(*settings_, CUpdatePanel::kOkButton);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(opened_.empty());
    EXPECT_FALSE(keyboard.IsTicked());
    EXPECT_EQ(keyboard.Status(), kUpdateNeeded);
    EXPECT_FALSE(Find(CUpdatePanel::kUpdateButton)->IsEnabled());
    EXPECT_TRUE(CUpdatePanel::UpdateRequested());
    EXPECT_TRUE(owner_.received.empty());

    // The notice goes away for good and the window keeps its size.
    ClickIn(*settings_, CUpdatePanel::kNoticeButton);
    EXPECT_FALSE(Find(CUpdatePanel::kNotice)->IsVisible());
    EXPECT_EQ(settings_->GetWindowRect().Width(), 630);
    EXPECT_EQ(settings_->GetWindowRect().Height(), 500);
}

TEST_F(UpdateWindowTest, AProgramUpdateOpensItsReleasePageOnlyWhenItIsAWebAddress) {
    for (const std::string page : {"https://example.invalid/releases/0.2.0", "file:///usr/bin/xterm"}) {
        server_->SetAnswers(R"({"*": {"body": "{\"name\": \"AP\", \"version_name\": \"0.2.0\", \"version\": \"200\", \"path\": \")" +
                            page + R"(\"}"}})");
        opened_.clear();
        CUpdatePanel& panel = Open(Context());
        CUpdateInfoListItemUI& program = *panel.ItemAt(0);
        EXPECT_EQ(program.NewVersionText(), "0.2.0") << "a decimal target shows the version name";
        EXPECT_EQ(program.Note(), "Install it with your package manager");
        ClickIn(*settings_, CUpdatePanel::kUpdateButton);
        ClickIn(*settings_, CUpdatePanel::kOkButton);
        if (page.starts_with("https")) {
            EXPECT_EQ(opened_, std::vector<std::string>{page});
            EXPECT_EQ(program.Note(), "The release page was opened in your browser");
        } else {
            EXPECT_TRUE(opened_.empty()) << "only a web address goes to the browser";
            EXPECT_EQ(program.Note(), "The release page could not be opened");
        }
        settings_->DestroyWindow();
    }
}

TEST_F(UpdateWindowTest, EverythingCurrentShowsTheLastCheckAndClearsTheMainWindowsMark) {
    server_->AnswerAll(R"({"name": "x", "version": "0"})");
    CUpdatePanel& panel = Open(Context());
    EXPECT_EQ(panel.State(), kUpdateStateAllCurrent);
    EXPECT_EQ(Text(CUpdatePanel::kStatusText), "Everything is up to date. Last check: " + UpdateTimeFile::Today());
    EXPECT_FALSE(Find(CUpdatePanel::kUpdateButton)->IsEnabled());
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(owner_.received, std::vector<UINT>{WM_CLEAR_UPDATE_MARK});
    EXPECT_EQ(UpdateTimeFile(folder_ / "user").Load(), UpdateTimeFile::Today());

    // The text with its date follows a language change.
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_cn.xml"));
    q208::SendMessage(settings_->GetHWND(), WM_LANGUAGE_SELECT, 0, 0);
    EXPECT_EQ(Text(CUpdatePanel::kStatusText), "已是最新版本。上次检查： " + UpdateTimeFile::Today());
}

TEST_F(UpdateWindowTest, WithoutAServiceOrWithTheServiceDownItSaysSo) {
    CUpdatePanel& none = Open(Context(false));
    EXPECT_EQ(none.State(), kUpdateStateUnreachable);
    EXPECT_EQ(Text(CUpdatePanel::kStatusText), "No update service is configured; nothing is checked.");
    EXPECT_EQ(none.ItemCount(), 2);
    EXPECT_TRUE(server_->Requests().empty()) << "nothing is sent";
    settings_->DestroyWindow();

    server_->Stop();
    CUpdatePanel& down = Open(Context());
    EXPECT_EQ(down.State(), kUpdateStateUnreachable);
    EXPECT_EQ(Text(CUpdatePanel::kStatusText), "The update service could not be reached.");
    EXPECT_EQ(down.ItemAt(1)->Info().currentVersion, "V0103");
    EXPECT_EQ(down.ItemAt(1)->Status(), kUpdateCurrent);
}

TEST_F(UpdateWindowTest, AnUpdatersProgressKeepsTheWindowOpenUntilTheItemIsDone) {
    server_->SetAnswers(kAnswers);
    CUpdatePanel& panel = Open(Context());
    CUpdateInfoListItemUI& keyboard = *panel.ItemAt(1);
    keyboard.SetStatus(kUpdateDownloading);  // an updater program took the item over
    const UINT progress = RegisteredMessages::Companion(0);
    q208::SendMessage(settings_->GetHWND(), progress, 4, 40);
    EXPECT_EQ(settings_->GetPaintManager().FindSubControlByName(&keyboard, CUpdateInfoListItemUI::kProgressName)->GetText(),
              "40%");
    ClickIn(*settings_, "closebtn");
    CPaintManagerUI::PumpMessages();
    ASSERT_TRUE(q208::IsWindow(settings_->GetHWND())) << "no closing while an item is being downloaded";

    q208::SendMessage(settings_->GetHWND(), progress, 1, 0);
    EXPECT_EQ(keyboard.Status(), kUpdateCurrent);
    EXPECT_EQ(keyboard.Info().currentVersion, "V0104");
    EXPECT_EQ(keyboard.NewVersionText(), "");
    EXPECT_EQ(panel.State(), kUpdateStateAllCurrent) << "no ticked item is left to do";
    ClickIn(*settings_, "closebtn");
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(q208::IsWindow(settings_->GetHWND()));
}

}  // namespace
}  // namespace q208::test

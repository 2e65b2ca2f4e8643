#include <fstream>
#include <set>

#include "app/CSkinFrame.h"
#include "app/IniFile.h"
#include "app/PowerNotifier.h"
#include "app/RegisteredMessages.h"
#include "app/AppTestSupport.h"
#include "platform/MessageEndpoint.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiMessaging.h"

namespace q208::test {
namespace {

class SkinTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        handle_ = SkinChangeSubject::Instance().Add([this](const SkinChangedParam& p) { seen_.push_back(p); });
    }
    void TearDown() override {
        SkinChangeSubject::Instance().Remove(handle_);
        ShellTest::TearDown();
    }
    std::unique_ptr<CSkinFrame> OpenFrame(CSkinFrame::FileChooser chooser = {}) {
        if (!chooser) chooser = [](HWND, const std::string&) -> std::optional<std::string> { return std::nullopt; };
        auto frame = std::make_unique<CSkinFrame>(SkinSettings(folder_), std::move(chooser));
        EXPECT_NE(frame->Create(0, "skin"), 0u);
        CPaintManagerUI::PumpMessages();
        return frame;
    }
    std::vector<CControlUI*> Buttons(CSkinFrame& frame, const std::string& name) {
        std::vector<CControlUI*> found;
        frame.GetPaintManager().GetRoot()->FindControl(
            [&](CControlUI* c) -> CControlUI* {
                if (c->GetName() == name) found.push_back(c);
                return nullptr;
            },
            UIFIND_ALL);
        return found;
    }

    int handle_ = 0;
    std::vector<SkinChangedParam> seen_;
};

TEST_F(SkinTest, PictureChoiceIsSavedAndAppliedOnTheNextStart) {
    auto frame = OpenFrame();
    EXPECT_TRUE(frame->SkinDiagnostics().empty());
    const auto pictures = Buttons(*frame, "skin_image_btn");
    ASSERT_GE(pictures.size(), 2u);
    ClickIn(*frame, pictures[1]);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_FALSE(seen_[0].colorFlag);
    EXPECT_EQ(seen_[0].image, pictures[1]->GetBkImage());

    IniFile ini;
    ASSERT_TRUE(ini.Load(folder_ / "main.ini"));
    EXPECT_EQ(ini.Get("SKINIMAGE", "FLAGS"), "1");
    EXPECT_EQ(ini.Get("SKINIMAGE", "IMAGE"), pictures[1]->GetBkImage());

    CControlUI root;
    root.SetBkColor(0xFF123456);
    EXPECT_TRUE(SkinSettings(folder_).ApplySaved(root));
    EXPECT_EQ(root.GetBkImage(), pictures[1]->GetBkImage());
    EXPECT_EQ(root.GetBkColor(), 0u);

    ClickIn(*frame, "skin_reset");
    EXPECT_EQ(SkinSettings(folder_).LoadSaved()->image, "common/background.png");
    ASSERT_TRUE(ini.Load(folder_ / "main.ini"));
    EXPECT_EQ(ini.Get("SKINIMAGE", "FLAGS"), "0");
}

TEST_F(SkinTest, APictureThatCannotBeReadIsRefusedAndNeverSaved) {
    auto frame = OpenFrame();
    const auto pictures = Buttons(*frame, "skin_image_btn");
    ASSERT_FALSE(pictures.empty());
    pictures[0]->SetBkImage("common/not_shipped.png");
    ClickIn(*frame, pictures[0]);
    EXPECT_TRUE(seen_.empty());
    EXPECT_FALSE(std::filesystem::exists(folder_ / "main.ini"));
    EXPECT_TRUE(Traced("cannot be read"));
}

TEST_F(SkinTest, ColourChoiceIsShownButNotSaved) {
    auto frame = OpenFrame();
    ClickIn(*frame, "skin_color");
    EXPECT_EQ(static_cast<CTabLayoutUI*>(frame->GetPaintManager().FindControl("skin_tab"))->GetCurSel(), 1);
    const auto colours = Buttons(*frame, "skin_color_btn");
    ASSERT_FALSE(colours.empty());
    ClickIn(*frame, colours[0]);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_TRUE(seen_[0].colorFlag);
    EXPECT_EQ(seen_[0].color, colours[0]->GetBkColor());
    EXPECT_FALSE(std::filesystem::exists(folder_ / "main.ini"));

    CControlUI root;
    root.SetBkImage("main/background_kb.png");
    ApplySkinToRoot(root, seen_[0]);
    EXPECT_EQ(root.GetBkColor(), colours[0]->GetBkColor());
    EXPECT_EQ(root.GetBkImage(), "");
}

TEST_F(SkinTest, CustomPictureMustBeAPng) {
    const auto png = folder_ / "mine.png";
    std::ofstream(png, std::ios::binary) << "\x89PNG\r\n\x1a\n and the rest";
    const auto fake = folder_ / "fake.png";
    std::ofstream(fake) << "just text";
    std::string offered = png.string();
    std::string filterSeen;
    auto frame = OpenFrame([&](HWND, const std::string& filter) -> std::optional<std::string> {
        filterSeen = filter;
        return offered;
    });
    ClickIn(*frame, "skin_Custom");
    // The frame closes first; the dialog comes afterwards, over the frame's owner.
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(frame->GetHWND()));
    EXPECT_EQ(filterSeen, "(*.png) | *.png |(*.*)|*.*||");
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].image, png.string());
    EXPECT_EQ(SkinSettings(folder_).LoadSaved()->image, png.string());

    offered = fake.string();
    frame = OpenFrame([&](HWND, const std::string&) -> std::optional<std::string> { return offered; });
    ClickIn(*frame, "skin_Custom");
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(seen_.size(), 1u);
    EXPECT_TRUE(Traced("not a PNG"));
    EXPECT_EQ(SkinSettings(folder_).LoadSaved()->image, png.string());
}

TEST_F(SkinTest, UnusableMainIniLeavesTheLayoutsBackground) {
    for (const char* text : {"[SKINIMAGE]\nFLAGS=7\nIMAGE=x.png\n", "[SKINIMAGE]\nFLAGS=1\n", "garbage\n\x01\x02",
                             "[OTHER]\nIMAGE=x.png\n"}) {
        std::ofstream(folder_ / "main.ini", std::ios::binary | std::ios::trunc) << text;
        CControlUI root;
        root.SetBkImage("main/background_kb.png");
        EXPECT_FALSE(SkinSettings(folder_).ApplySaved(root)) << text;
        EXPECT_EQ(root.GetBkImage(), "main/background_kb.png");
    }
    EXPECT_TRUE(Traced("unusable skin entry"));
    EXPECT_FALSE(SkinSettings(folder_ / "nowhere").LoadSaved());

    // Saving keeps the file's other sections, and a line end cannot add a line.
    std::ofstream(folder_ / "main.ini", std::ios::trunc) << "[OTHER]\nkey=value\n";
    ASSERT_TRUE(SkinSettings(folder_).Save(true, "a.png\nFLAGS=0"));
    IniFile ini;
    ASSERT_TRUE(ini.Load(folder_ / "main.ini"));
    EXPECT_EQ(ini.Get("other", "KEY"), "value");
    EXPECT_EQ(ini.Get("SKINIMAGE", "FLAGS"), "1");
}

TEST(RegisteredMessagesTest, EveryNameHasItsOwnNumberAndOnlyExternalOnesAreAccepted) {
    RegisteredMessages::RegisterAll();
    std::set<UINT> ids;
    for (const RegisteredMessageName& entry : kRegisteredMessageNames) {
        const UINT id = RegisteredMessages::IdOf(entry.name);
        EXPECT_GE(id, kFirstRegisteredMessage);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), kRegisteredMessageNames.size());
    EXPECT_EQ(RegisteredMessages::Companion(2), RegisterWindowMessage(kCompanionMessageNames[2]));
    EXPECT_EQ(RegisteredMessages::Companion(5), 0u);

    for (const char* name : {kProductMessageName, kCompanionMessageNames[0], kCompanionMessageNames[2],
                             kCompanionMessageNames[3], "Game_Start", "game_death"}) {
        EXPECT_TRUE(RegisteredMessages::IsAcceptedFromOtherPrograms(name)) << name;
    }
    // Our own broadcast reaches our own endpoint too, and is not acted upon.
    for (const char* name : {kCompanionMessageNames[1], kCompanionMessageNames[4], kHookKeyKbMacro, kMouseMove,
                             kAudioDeviceChange, "WM_SOMETHING_ELSE", ""}) {
        EXPECT_FALSE(RegisteredMessages::IsAcceptedFromOtherPrograms(name)) << name;
    }

    EndpointMessage message;
    message.name = "GAME_KILL";
    EXPECT_EQ(RegisteredMessages::MessageFromOtherProgram(message), RegisterWindowMessage("Game_Kill"));
    message.name = kHookKeySingleKey;
    EXPECT_FALSE(RegisteredMessages::MessageFromOtherProgram(message));
    message.isCopyData = true;
    message.name.clear();
    EXPECT_FALSE(RegisteredMessages::MessageFromOtherProgram(message));
}

class ManualSource : public PowerNotifier::Source {
public:
    std::function<void(PowerEvent)>* deliver;
    bool* stopped;
    ManualSource(std::function<void(PowerEvent)>* d, bool* s) : deliver(d), stopped(s) {}
    bool Start(std::function<void(PowerEvent)> d) override {
        *deliver = std::move(d);
        return true;
    }
    void Stop() override { *stopped = true; }
};

TEST(PowerNotifierTest, SuspendPausesUntilResume) {
    std::function<void(PowerEvent)> deliver;
    bool stopped = false;
    std::vector<PowerEvent> heard;
    {
        PowerNotifier power(std::make_unique<ManualSource>(&deliver, &stopped));
        EXPECT_TRUE(power.IsRunning());
        ASSERT_TRUE(power.Start([&](PowerEvent e) { heard.push_back(e); }));
        deliver(PowerEvent::Suspend);
        EXPECT_FALSE(power.IsRunning());
        deliver(PowerEvent::Resume);
        EXPECT_TRUE(power.IsRunning());
        power.Deliver(PowerEvent::Suspend);
        EXPECT_FALSE(power.IsRunning());
    }
    EXPECT_TRUE(stopped);
    EXPECT_EQ(heard, (std::vector<PowerEvent>{PowerEvent::Suspend, PowerEvent::Resume, PowerEvent::Suspend}));

    PowerNotifier system;
    EXPECT_TRUE(system.Start([](PowerEvent) {}));
    EXPECT_TRUE(system.IsRunning());
}

}  // namespace
}  // namespace q208::test

// The fire-key editor built from the skin's layout: selection, storing as the user types,
// reset and import, on gun files in a private folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "devices/mouse/CVantorixMouseDevice.h"
#include "editors/CShootControlUI.h"
#include "platform/Paths.h"
#include "profile/JsonFile.h"
#include "ui/CControlFactory.h"
#include "ui/CDialogBuilder.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/UiDefs.h"
#include "ui/UiNotify.h"

namespace q208 {
namespace {

class ShootControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        CControlFactory::GetInstance().RegistControl(CShootControlUI::kClassName,
                                                     [] { return std::make_unique<CShootControlUI>(); });
        const std::string saved = CPaintManagerUI::GetResourcePath();
        CPaintManagerUI::SetResourcePath(FindDataRoot().skin.string());
        root_ = CDialogBuilder().Create(CShootControlUI::kLayoutFile, nullptr, &pm_);
        CPaintManagerUI::SetResourcePath(saved);
        ASSERT_NE(root_, nullptr);
        panel_ = static_cast<CShootControlUI*>(root_->GetInterface(CShootControlUI::kClassName));
        ASSERT_NE(panel_, nullptr);
        work_ = std::filesystem::temp_directory_path() / ("shoot-panel-" + std::to_string(::getpid()));
        std::filesystem::remove_all(work_);
        std::filesystem::create_directories(work_);
        panel_->SetFolders(work_, CVantorixMouseDevice::ShootFactoryFolder());
        panel_->SetDialogs({[this] { return std::optional<std::string>(importPath_); }, {},
                            [this](const std::string& key, const std::string&) { messages_.push_back(key); }});
    }
    void TearDown() override { std::filesystem::remove_all(work_); }

    CControlUI* Part(const char* name) { return pm_.FindSubControlByName(root_.get(), name); }
    void Type(const char* edit, const std::string& text) {
        Part(edit)->SetText(text);
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_TEXTCHANGED;
        msg.pSender = Part(edit);
        panel_->OnNotify(msg, nullptr);
    }
    bool Checked(const char* name) { return static_cast<COptionUI*>(Part(name)->GetInterface("Option"))->IsSelected(); }

    CPaintManagerUI pm_;
    std::unique_ptr<CControlUI> root_;
    CShootControlUI* panel_ = nullptr;
    std::filesystem::path work_;
    std::string importPath_;
    std::vector<std::string> messages_;
};

TEST_F(ShootControlTest, StartupMakesTheGunFilesAndSelectionStaysInRange) {
    std::ofstream(panel_->WorkFile(1)) << "";  // empty: made again
    ASSERT_TRUE(panel_->Startup());
    for (int gun = 0; gun < ShootFile::kGunCount; ++gun)
        EXPECT_EQ(ShootFile::Load(panel_->WorkFile(gun)).status, ShootFile::Status::Ok) << gun;
    EXPECT_EQ(panel_->CurrentGun(), 0);
    EXPECT_EQ(panel_->CurrentBullet(), 0);

    panel_->SelectBullet(30);
    EXPECT_EQ(panel_->CurrentBullet(), 29);
    EXPECT_EQ(Part("bullet_select_index")->GetText(), "30");
    EXPECT_TRUE(Checked("bullet_op_29"));
    panel_->SelectBullet(-1);
    EXPECT_EQ(panel_->CurrentBullet(), 0);
    EXPECT_FALSE(Checked("bullet_op_29"));
    panel_->SelectGun(7);
    EXPECT_EQ(panel_->CurrentGun(), 3);
    EXPECT_TRUE(Checked("shoot_gun_op_3"));
    EXPECT_FALSE(Checked("shoot_gun_op_0"));
}

TEST_F(ShootControlTest, TypingStoresTheBulletAndAnEmptyEditStoresZeroKeepingTheDirection) {
    ASSERT_TRUE(panel_->Startup());
    panel_->SelectBullet(6);
    static_cast<COptionUI*>(Part("bullet_x_check")->GetInterface("Option"))->Selected(true, false);
    Type("bullet_x_eidt", "");
    Type("bullet_y_eidt", "8");
    Type("bullet_delay_eidt", "abc");  // not a number: 0
    const ShootFile::Bullet stored = ShootFile::BulletOf(ShootFile::Load(panel_->WorkFile(0)).document, 6);
    EXPECT_TRUE(stored.xLeft);
    EXPECT_EQ(stored.x, 0);
    EXPECT_EQ(stored.y, 8);
    EXPECT_EQ(stored.delay, 0);

    // Another gun shows its own bullet; coming back shows what was typed.
    panel_->SelectGun(1);
    EXPECT_NE(Part("bullet_y_eidt")->GetText(), "8");
    panel_->SelectGun(0);
    EXPECT_EQ(Part("bullet_y_eidt")->GetText(), "8");
    EXPECT_TRUE(Checked("bullet_x_check"));

    // Reset brings the factory copy back (only for a mouse; here through the operation).
    ASSERT_TRUE(panel_->Reset());
    EXPECT_EQ(ShootFile::Load(panel_->WorkFile(0)).document,
              ShootFile::Load(panel_->FactoryFile(0)).document);
}

TEST_F(ShootControlTest, ImportRefusesAFileThatIsNotAShootFileAndActsOnlyForAMouse) {
    ASSERT_TRUE(panel_->Startup());
    importPath_ = (work_ / "other.shoot").string();
    std::ofstream(importPath_) << "{ \"Events\": 5 }";
    const Json::Value before = ShootFile::Load(panel_->WorkFile(0)).document;

    TNotifyUI click;
    click.sType = DUI_MSGTYPE_CLICK;
    click.pSender = Part("shootdate_import_btn");
    EXPECT_TRUE(panel_->OnNotify(click, nullptr));  // no mouse shown: nothing happens
    EXPECT_TRUE(messages_.empty());

    EXPECT_FALSE(panel_->Import(importPath_));
    EXPECT_EQ(messages_, std::vector<std::string>{"shoot_import_refused"});
    EXPECT_EQ(ShootFile::Load(panel_->WorkFile(0)).document, before);
}

}  // namespace
}  // namespace q208

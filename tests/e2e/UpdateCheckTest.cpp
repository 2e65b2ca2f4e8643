// The update check as a user meets it: q208 --simulate with "UpdateService" pointing at a
// local HTTPS service, the settings window opened with a click, the list read back.
#include <filesystem>
#include <fstream>

#include "e2e/Q208E2eTest.h"
#include "platform/Paths.h"
#include "support/LocalUpdateServer.h"

namespace q208::e2e {
namespace {

using test::LocalUpdateServer;
using test::TestCertificates;

constexpr uint8_t kReadDeviceInfo = 0x03;

class UpdateCheck : public Q208E2eTest {
protected:
    void SetUp() override {
        Q208E2eTest::SetUp();
        ASSERT_TRUE(TestCertificates::Make(RuntimeFolder().parent_path() / "tls", certs_));
        server_ = std::make_unique<LocalUpdateServer>(RuntimeFolder().parent_path() / "service");
        ASSERT_TRUE(server_->Start(certs_.serverCert, certs_.serverKey));
    }
    void TearDown() override {
        server_.reset();
        Q208E2eTest::TearDown();
    }
    void WriteSettings(const std::string& json) {
        std::filesystem::create_directories(ConfigFolder() / kProductTitle);
        std::ofstream(ConfigFolder() / kProductTitle / "settings.json") << json;
    }
    std::string ServiceSettings(bool withCa = true) const {
        return R"({"UpdateService": ")" + server_->BaseUrl() + R"(")" +
               (withCa ? R"(, "UpdateCaFile": ")" + certs_.caFile.string() + R"(")" : std::string()) + "}";
    }
    // Starts q208 with the keyboard, waits until it was read, opens the settings window.
    void OpenSettings() {
        ASSERT_TRUE(StartQ208Simulating("keyboard"));
        ASSERT_TRUE(WaitForCommandCount("keyboard", kReadDeviceInfo, 1)) << Q208Log();
        ASSERT_TRUE(Contains(WaitForOutput({"sim", "window", "main"}, "shown 1"), "shown 1"));
        ASSERT_EQ(RunCtl({"sim", "click", "setbtn"}).exitCode, 0);
        ASSERT_TRUE(Contains(WaitForOutput({"sim", "window", "settings"}, "shown 1"), "settings 630x500"));
    }
    ProcessResult StatusAfterCheck(const std::string& expected) {
        return WaitForOutput({"sim", "text", "settings/Update_Status_text"}, expected);
    }
    std::string Text(const std::string& control) {
        const ProcessResult result = RunCtl({"sim", "text", "settings/" + control});
        return result.out;
    }

    TestCertificates certs_;
    std::unique_ptr<LocalUpdateServer> server_;
};

TEST_F(UpdateCheck, ANewerKeyboardFirmwareIsOfferedAndTheProgramIsCurrent) {
    server_->SetAnswers(R"({
        "Q208_0_ALL_LINUX_0": {"body": "{\"name\": \"AP\", \"version_name\": \"0.1.0\", \"version\": \"100\"}"},
        "Q208_1_KB_7C13_1": {"body": "{\"name\": \"Q208 Keyboard\", \"version_name\": \"1.04\", \"version\": \"0104\"}"}
    })");
    WriteSettings(ServiceSettings());
    OpenSettings();
    const ProcessResult status = StatusAfterCheck("Updates are available.");
    ASSERT_TRUE(Contains(status, "Updates are available.")) << Describe(status);
    EXPECT_EQ(Text("update_item_status_0"), "settings/update_item_status_0: Up to date\n");
    EXPECT_EQ(Text("update_item_current_0"), "settings/update_item_current_0: V0.1.0\n");
    EXPECT_EQ(Text("update_item_name_1"), "settings/update_item_name_1: Q208 Keyboard\n");
    EXPECT_EQ(Text("update_item_status_1"), "settings/update_item_status_1: Update available\n");
    EXPECT_EQ(Text("update_item_current_1"), "settings/update_item_current_1: V0103\n");
    EXPECT_EQ(Text("update_item_new_1"), "settings/update_item_new_1: V0104\n");
    // The enabled button is drawn in its own colour, the disabled one is not.
    const ProcessResult button = RunCtl({"sim", "probe", "settings/update_fw_and_ap"});
    EXPECT_EQ(button.exitCode, 0) << Describe(button);
    EXPECT_FALSE(Contains(button, "2a2f37")) << Describe(button);

    const auto requests = server_->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].path, "/api/updates");
    EXPECT_EQ(requests[1].body, std::string("app_key=Q208_1_KB_7C13_1&version=103") + '\0');
    EXPECT_EQ(requests[1].Header("Accept"), "application/prs.Qelin.v1+json");
    EXPECT_EQ(requests[1].Header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(UpdateCheck, WithoutAServiceTheWindowSaysSoAndSendsNothing) {
    OpenSettings();
    const ProcessResult status = StatusAfterCheck("No update service");
    EXPECT_TRUE(Contains(status, "No update service is configured; nothing is checked.")) << Describe(status);
    EXPECT_EQ(Text("update_item_status_1"), "settings/update_item_status_1: Up to date\n");
    EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(UpdateCheck, AServiceWhoseAuthorityIsUnknownCountsAsUnreachable) {
    server_->AnswerAll(R"({"name": "x", "version": "ffff"})");
    WriteSettings(ServiceSettings(false));  // the system's store does not know the test authority
    OpenSettings();
    const ProcessResult status = StatusAfterCheck("could not be reached");
    EXPECT_TRUE(Contains(status, "The update service could not be reached.")) << Describe(status);
    EXPECT_EQ(Text("update_item_new_1"), "settings/update_item_new_1: \n");
    EXPECT_TRUE(server_->Requests().empty());
}

}  // namespace
}  // namespace q208::e2e

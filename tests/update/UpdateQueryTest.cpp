// The service request over real TLS: a local server with certificates made for the test,
// the client trusting its authority through the same CA-file setting a user has.
#include <fstream>

#include "platform/Event.h"
#include "update/HttpClient.h"
#include "update/UpdateService.h"
#include "update/UpdateTestSupport.h"

namespace q208::test {
namespace {

class UpdateQueryTest : public UpdateServiceTest {
protected:
    UpdateServiceSettings Settings() const { return {server_->BaseUrl(), certs_.caFile.string()}; }
    UpdateInfo Ask(const std::string& key, int32_t version, int32_t format) const {
        return UpdateQuery(Settings(), nullptr).Query(key, version, format);
    }
};

constexpr const char* kNewerFirmware =
    R"({"path": "https://example.invalid/fw.bin", "name": "Keyboard firmware", "version_name": "1.04",
        "version": "0104", "device_id": 7})";

TEST_F(UpdateQueryTest, TheServiceReceivesTheFormBodyWithItsZeroByteAndTheProtocolsHeaders) {
    StartSecure();
    server_->AnswerAll(kNewerFirmware);
    Ask("Q208_1_KB_7C13_1", 0x0103, 1);
    Ask("Q208_0_ALL_LINUX_0", 100, 0);

    const auto requests = server_->Requests();
    ASSERT_EQ(requests.size(), 2u);
    const ReceivedRequest& firmware = requests[0];
    EXPECT_EQ(firmware.method, "POST");
    EXPECT_EQ(firmware.path, "/api/updates");
    const std::string expected = std::string("app_key=Q208_1_KB_7C13_1&version=103") + '\0';
    EXPECT_EQ(firmware.body, expected);
    EXPECT_EQ(firmware.Header("Content-Length"), std::to_string(expected.size()));
    EXPECT_EQ(firmware.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(firmware.Header("Accept"), "application/prs.Qelin.v1+json");
    EXPECT_EQ(firmware.Header("User-Agent"), "WinHTTP Client/1.0");
    EXPECT_EQ(firmware.Header("Expect"), "\x01missing");
    // A decimal target sends its version in decimal.
    EXPECT_EQ(requests[1].body, std::string("app_key=Q208_0_ALL_LINUX_0&version=100") + '\0');
}

TEST_F(UpdateQueryTest, AnswersGiveStatusAndVersionTextsByTheTargetsFormat) {
    StartSecure();
    server_->SetAnswers(R"({
        "newer": {"body": "{\"path\": \"https://example.invalid/fw\", \"name\": \"KB\", \"version_name\": \"1.04\", \"version\": \"0104\", \"device_id\": 7}"},
        "equal": {"body": "{\"name\": \"KB\", \"version_name\": \"1.03\", \"version\": \"0103\"}"},
        "older": {"body": "{\"name\": \"KB\", \"version\": \"00ff\"}"},
        "decimal": {"body": "{\"name\": \"AP\", \"version_name\": \"0.2.0 (spring)\", \"version\": \"200\", \"path\": \"https://example.invalid/r\"}"}
    })");
    const UpdateInfo newer = Ask("newer", 0x0103, 1);
    EXPECT_EQ(newer.status, kUpdateNeeded);
    EXPECT_EQ(newer.newVersion, "V0104");
    EXPECT_EQ(newer.currentVersion, "V0103");
    EXPECT_EQ(newer.path, "https://example.invalid/fw");
    EXPECT_EQ(newer.deviceId, 7);
    EXPECT_EQ(newer.versionName, "1.04");

    EXPECT_EQ(Ask("equal", 0x0103, 1).status, kUpdateCurrent);
    // 0x00ff is less than 0x0103 although "00ff" > "0103" as decimal text would not be.
    EXPECT_EQ(Ask("older", 0x0103, 1).status, kUpdateCurrent);

    const UpdateInfo decimal = Ask("decimal", 100, 0);
    EXPECT_EQ(decimal.status, kUpdateNeeded);
    EXPECT_EQ(decimal.newVersion, "0.2.0 (spring)") << "a decimal target shows the version name";
    EXPECT_EQ(Ask("decimal", 200, 0).status, kUpdateCurrent);
}

TEST_F(UpdateQueryTest, AnAnswerThatIsNotACompleteJsonObjectLeavesTheTargetCurrent) {
    StartSecure();
    for (const char* body : {"<html>502 Bad Gateway</html>", "[1, 2]", "{\"version\": "}) {
        server_->AnswerAll(body);
        const UpdateInfo info = Ask("k", 0x0103, 1);
        EXPECT_EQ(info.status, kUpdateCurrent) << body;
        EXPECT_TRUE(info.name.empty()) << body;
        EXPECT_TRUE(info.newVersion.empty()) << body;
    }
    // An answer longer than the buffer is cut at its bound and not read as a document,
    // even when its start is a valid one.
    server_->SetAnswers(R"({"*": {"body": "{\"name\": \"KB\", \"version\": \"ffff\"}                    ", "repeat": 6000}})");
    HttpAnswer answer;
    HttpOptions options;
    options.caFile = certs_.caFile.string();
    const std::string body = UpdateQuery::Body("k", 1, 1);
    const size_t bytes = HttpClient::Request("POST", Settings().EndpointUrl(),
                                             std::span<const char>(body.data(), body.size() + 1), answer, false, options);
    EXPECT_EQ(bytes, HttpAnswer::kMaxAnswerBytes);
    EXPECT_TRUE(answer.truncated);
    EXPECT_EQ(Ask("k", 0x0103, 1).status, kUpdateCurrent);
}

TEST_F(UpdateQueryTest, AServiceThatCannotBeReachedOrVerifiedIsNoLinkServer) {
    // Nobody listens on the port of a stopped server.
    StartSecure();
    const UpdateServiceSettings stopped = Settings();
    server_->Stop();
    EXPECT_EQ(UpdateQuery(stopped, nullptr).Query("k", 1, 1).name, HttpAnswer::kNoLinkServer);
    EXPECT_EQ(HttpClient::LastError(), HttpClient::kErrorCannotConnect);

    // A certificate from an authority the client does not trust, and one for another name.
    for (const auto& [cert, key] : {std::pair{certs_.strangerCert, certs_.strangerKey},
                                    std::pair{certs_.wrongNameCert, certs_.wrongNameKey}}) {
        ASSERT_TRUE(server_->Start(cert, key));
        server_->AnswerAll(kNewerFirmware);
        const UpdateInfo info = Ask("k", 0x0103, 1);
        EXPECT_EQ(info.name, HttpAnswer::kNoLinkServer) << cert;
        EXPECT_EQ(info.status, kUpdateCurrent);
        EXPECT_EQ(HttpClient::LastError(), HttpClient::kErrorSecureFailure) << cert;
        EXPECT_TRUE(server_->Requests().empty()) << "nothing reaches a server that was not verified";
    }
    // Without the CA file the system's store decides, and it does not know the test authority.
    ASSERT_TRUE(server_->Start(certs_.serverCert, certs_.serverKey));
    EXPECT_EQ(UpdateQuery({server_->BaseUrl(), ""}, nullptr).Query("k", 1, 1).name, HttpAnswer::kNoLinkServer);
}

TEST_F(UpdateQueryTest, OnlyGetAndPostToHttpAndHttpsAreSent) {
    ASSERT_TRUE(server_->Start());  // plain http
    server_->AnswerAll(R"({"name": "x", "version": "1"})");
    HttpAnswer answer;
    const std::string url = server_->BaseUrl() + "updates";
    EXPECT_EQ(HttpClient::Request("PUT", url, {}, answer, false), 0u);
    EXPECT_EQ(HttpClient::LastError(), HttpClient::kErrorInvalidParameter);
    EXPECT_EQ(HttpClient::Request("post", "", {}, answer, false), 0u);
    EXPECT_EQ(HttpClient::LastError(), HttpClient::kErrorPathNotFound);
    for (const char* other : {"file:///etc/passwd", "ftp://127.0.0.1/x", "gopher://127.0.0.1/"}) {
        EXPECT_EQ(HttpClient::Request("GET", other, {}, answer, false), 0u) << other;
        EXPECT_EQ(answer.text, HttpAnswer::kNoLinkServer) << other;
    }
    EXPECT_GT(HttpClient::Request("get", url, {}, answer, false), 0u);
    EXPECT_EQ(server_->Requests().back().method, "GET");

    // A redirect to another scheme is refused.
    server_->SetAnswers(R"({"*": {"status": 302, "location": "file:///etc/passwd"}})");
    EXPECT_EQ(HttpClient::Request("POST", url, {}, answer, false), 0u);
    EXPECT_EQ(answer.text, HttpAnswer::kNoLinkServer);
    EXPECT_EQ(HttpClient::LastError(), HttpClient::kErrorUnrecognizedScheme);
}

TEST_F(UpdateQueryTest, ASecureRequestIsNotRedirectedToPlainHttp) {
    LocalUpdateServer plain(folder_ / "plain");
    ASSERT_TRUE(plain.Start());
    plain.AnswerAll(R"({"name": "x", "version": "ffff"})");
    StartSecure();
    server_->SetAnswers(R"({"*": {"status": 302, "location": ")" + plain.BaseUrl() + R"(updates"}})");
    EXPECT_EQ(Ask("k", 1, 1).name, HttpAnswer::kNoLinkServer);
    EXPECT_TRUE(plain.Requests().empty());
}

TEST_F(UpdateQueryTest, TheDesktopsProxyFromTheEnvironmentCarriesTheRequest) {
    ASSERT_TRUE(server_->Start());  // a plain http server standing in for the proxy
    server_->AnswerAll(R"({"name": "x", "version": "ffff"})");
    const std::string proxy = "http://127.0.0.1:" + std::to_string(server_->Port());
    const char* saved = std::getenv("http_proxy");
    const std::string savedValue = saved ? saved : "";
    ::setenv("http_proxy", proxy.c_str(), 1);
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");
    const UpdateInfo info = UpdateQuery({"http://updates.example.invalid/api/", ""}, nullptr).Query("k", 1, 1);
    if (saved) ::setenv("http_proxy", savedValue.c_str(), 1); else ::unsetenv("http_proxy");
    EXPECT_EQ(info.status, kUpdateNeeded);
    ASSERT_EQ(server_->Requests().size(), 1u);
    EXPECT_EQ(server_->Requests()[0].path, "http://updates.example.invalid/api/updates");
}

TEST_F(UpdateQueryTest, AStopRequestEndsAWaitAtOnce) {
    StartSecure();
    Event stop;
    stop.Set();
    const UpdateInfo info = UpdateQuery(Settings(), &stop).Query("k", 1, 1);
    EXPECT_EQ(info.name, HttpAnswer::kNoLinkServer);
    EXPECT_EQ(HttpClient::LastError(), HttpClient::kErrorCancelled);
}

TEST(UpdateSettingsTest, TheServiceComesFromTheSettingsFileAndMustBeAWebAddress) {
    const auto file = std::filesystem::path(::testing::TempDir()) / "q208-update-settings.json";
    std::ofstream(file) << R"({"LANGUAGE": 1033, "UpdateService": "https://updates.example.invalid/api",
                             "UpdateCaFile": "/etc/q208/ca.pem"})";
    UpdateServiceSettings settings = UpdateServiceSettings::Read(file);
    EXPECT_EQ(settings.EndpointUrl(), "https://updates.example.invalid/api/updates");
    EXPECT_EQ(settings.caFile, "/etc/q208/ca.pem");

    std::ofstream(file) << R"({"UpdateService": "file:///tmp/api/"})";
    EXPECT_FALSE(UpdateServiceSettings::Read(file).Configured());
    std::ofstream(file) << R"({"UpdateService": 5})";
    EXPECT_EQ(UpdateServiceSettings::Read(file).Configured(), !UpdateServiceSettings::BuiltInService().empty());
    std::filesystem::remove(file);
}

TEST(UpdateKeyTest, TheServiceKeyJoinsTheTargetsParts) {
    UpdateTarget target{1, 3, 0x0103, "Q208", "KB", "7C13", "%{device_name_Keyboard}", ""};
    EXPECT_EQ(ServiceKey(target), "Q208_1_KB_7C13_3");
    EXPECT_EQ(CurrentVersionText(target), "V0103");
    target.version = 0;
    EXPECT_EQ(ServiceKey(target), "NULL");
    const UpdateTarget program{0, 0, 100, "Q208", "ALL", "LINUX", "AP", "0.1.0"};
    EXPECT_EQ(ItemName(program), "AP");
    EXPECT_EQ(CurrentVersionText(program), "V0.1.0");
}

}  // namespace
}  // namespace q208::test

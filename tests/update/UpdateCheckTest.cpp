// One check pass over the program and two firmware targets against the local service:
// what the list hears after every target, and the state the window ends in.
#include "platform/Event.h"
#include "update/UpdateCheck.h"
#include "update/UpdateService.h"
#include "update/UpdateTestSupport.h"
#include "update/UpdateTimeFile.h"

namespace q208::test {
namespace {

struct RecordingSink : IUpdateCheckSink {
    std::vector<int> states;
    std::vector<UpdateInfo> items;
    std::vector<std::pair<size_t, UpdateInfo>> updates;
    int finished = -1;
    void SetState(int state) override { states.push_back(state); }
    void AddItem(const UpdateInfo& item) override { items.push_back(item); }
    void UpdateItem(size_t index, const UpdateInfo& info) override { updates.emplace_back(index, info); }
    void Finish(int state) override { finished = state; }
};

const std::vector<UpdateTarget> kTargets = {
    {0, 0, 100, "Q208", "ALL", "LINUX", "AP", "0.1.0"},
    {1, 1, 0x0103, "Q208", "KB", "7C13", "%{device_name_Keyboard}", ""},
    {1, 2, 0x0210, "Q208", "MS", "7C11", "%{device_name_Mouse}", ""},
};

class UpdateCheckTest : public UpdateServiceTest {
protected:
    int Run(RecordingSink& sink, const Event* stop = nullptr) {
        const UpdateQuery query({server_->BaseUrl(), certs_.caFile.string()}, stop);
        return UpdateCheck::Run(kTargets, query, UpdateTimeFile(folder_ / "user"), sink, stop);
    }
    std::string LastCheck() const { return UpdateTimeFile(folder_ / "user").Load(); }
};

TEST_F(UpdateCheckTest, EachTargetIsShownCurrentThenUpdatedWithItsAnswer) {
    StartSecure();
    server_->SetAnswers(R"({
        "Q208_0_ALL_LINUX_0": {"body": "{\"name\": \"Q208 Configurator\", \"version_name\": \"0.2.0\", \"version\": \"200\", \"path\": \"https://example.invalid/releases\"}"},
        "Q208_1_KB_7C13_1": {"body": "{\"name\": \"Keyboard\", \"version_name\": \"1.03\", \"version\": \"0103\"}"},
        "Q208_1_MS_7C11_2": {"body": "Service temporarily unavailable"}
    })");
    RecordingSink sink;
    EXPECT_EQ(Run(sink), kUpdateStateHaveUpdate);
    EXPECT_EQ(sink.states, std::vector<int>{kUpdateStateChecking});
    ASSERT_EQ(sink.items.size(), 3u);
    EXPECT_EQ(sink.items[0].name, "AP");
    EXPECT_EQ(sink.items[1].name, "%{device_name_Keyboard}");
    EXPECT_EQ(sink.items[2].currentVersion, "V0210");
    for (const UpdateInfo& item : sink.items) EXPECT_EQ(item.status, kUpdateCurrent);

    ASSERT_EQ(sink.updates.size(), 3u);
    const UpdateInfo& program = sink.updates[0].second;
    EXPECT_EQ(program.status, kUpdateNeeded);
    EXPECT_EQ(program.name, "Q208 Configurator");
    EXPECT_EQ(program.currentVersion, "V0.1.0");
    EXPECT_EQ(program.newVersion, "0.2.0");
    EXPECT_EQ(program.path, "https://example.invalid/releases");
    const UpdateInfo& keyboard = sink.updates[1].second;
    EXPECT_EQ(keyboard.status, kUpdateCurrent);
    EXPECT_TRUE(keyboard.newVersion.empty()) << "a current target offers nothing";
    // Not JSON: the mouse keeps its own texts and is current.
    const UpdateInfo& mouse = sink.updates[2].second;
    EXPECT_EQ(mouse.status, kUpdateCurrent);
    EXPECT_EQ(mouse.name, "%{device_name_Mouse}");
    EXPECT_EQ(mouse.currentVersion, "V0210");
    EXPECT_EQ(sink.finished, kUpdateStateHaveUpdate);
    EXPECT_EQ(LastCheck(), UpdateTimeFile::Today());
}

TEST_F(UpdateCheckTest, EverythingCurrentEndsInStateFourAndUnreachableInStateTwo) {
    StartSecure();
    server_->AnswerAll(R"({"name": "x", "version": "0"})");
    RecordingSink current;
    EXPECT_EQ(Run(current), kUpdateStateAllCurrent);
    std::filesystem::remove(UpdateTimeFile(folder_ / "user").Path());

    server_->Stop();
    RecordingSink unreachable;
    EXPECT_EQ(Run(unreachable), kUpdateStateUnreachable);
    ASSERT_EQ(unreachable.updates.size(), 3u);
    for (const auto& [index, info] : unreachable.updates) {
        EXPECT_EQ(info.status, kUpdateCurrent);
        EXPECT_EQ(info.name, UpdateCheck::LocalItem(kTargets[index]).name) << "the target keeps its own texts";
        EXPECT_EQ(info.currentVersion, UpdateCheck::LocalItem(kTargets[index]).currentVersion);
    }
    EXPECT_TRUE(LastCheck().empty()) << "a check that reached nothing is not the last check";
}

TEST_F(UpdateCheckTest, OneUnverifiedTargetAmongAnsweredOnesIsNotStateTwo) {
    EXPECT_EQ(UpdateCheck::FinalState({UpdateCheck::LocalItem(kTargets[0]), UpdateCheck::LocalItem(kTargets[1])}, 1),
              kUpdateStateAllCurrent);
    EXPECT_EQ(UpdateCheck::FinalState({UpdateCheck::LocalItem(kTargets[0])}, 1), kUpdateStateUnreachable);
}

TEST_F(UpdateCheckTest, AStopEndsThePassWithoutAFinalState) {
    StartSecure();
    Event stop;
    stop.Set();
    RecordingSink sink;
    EXPECT_EQ(Run(sink, &stop), -1);
    EXPECT_EQ(sink.finished, -1);
    EXPECT_TRUE(server_->Requests().empty());
}

}  // namespace
}  // namespace q208::test

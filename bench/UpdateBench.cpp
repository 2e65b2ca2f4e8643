// The update check's costs: reading an answer, and one query over a fresh TLS connection
// to a local service (what each target of a check pays).
#include <benchmark/benchmark.h>

#include "support/LocalUpdateServer.h"
#include "update/UpdateService.h"

namespace {

using namespace q208;

void BM_ReadAnswer(benchmark::State& state) {
    HttpAnswer answer;
    answer.text = R"({"path": "https://example.invalid/fw.bin", "name": "Q208 Keyboard", "version_name": "1.04",
                      "version": "0104", "device_id": 7})";
    for (auto _ : state) benchmark::DoNotOptimize(UpdateQuery::ReadAnswer(answer, 0x0103, 1));
}
BENCHMARK(BM_ReadAnswer);

void BM_QueryOverTls(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "q208-update-bench";
    test::TestCertificates certs;
    test::LocalUpdateServer server(folder / "service");
    if (!test::TestCertificates::Make(folder / "tls", certs) || !server.Start(certs.serverCert, certs.serverKey)) {
        state.SkipWithError("no local service");
        return;
    }
    server.AnswerAll(R"({"name": "Q208 Keyboard", "version_name": "1.04", "version": "0104"})");
    const UpdateQuery query({server.BaseUrl(), certs.caFile.string()}, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(query.Query("Q208_1_KB_7C13_1", 0x0103, 1));
    server.Stop();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_QueryOverTls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

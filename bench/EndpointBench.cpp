// Round trip of one registered message and of one 2000-byte level frame through a message
// endpoint (connect, frame, handler, reply), and parsing a frame from memory.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/EndpointMessaging.h"
#include "platform/MessageEndpoint.h"

namespace {

struct BenchEndpoint {
    BenchEndpoint() {
        char pattern[] = "/tmp/q208bench-XXXXXX";
        folder = mkdtemp(pattern);
        q208::MessageEndpoint::Options options;
        options.folder = folder;
        endpoint = std::make_unique<q208::MessageEndpoint>(
            "BenchWnd", "Bench", [](const q208::EndpointMessage& m) { return static_cast<int64_t>(m.data.size()); },
            options);
        endpoint->Open();
        address = q208::EndpointAddress{endpoint->Path(), "BenchWnd", "Bench"};
    }
    ~BenchEndpoint() {
        endpoint.reset();
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
    std::unique_ptr<q208::MessageEndpoint> endpoint;
    q208::EndpointAddress address;
};

void BM_SendMessageRoundTrip(benchmark::State& state) {
    BenchEndpoint bench;
    for (auto _ : state) {
        if (!q208::SendMessageTo(bench.address, "Game_Start", 1, 2).Delivered()) state.SkipWithError("not delivered");
    }
}
BENCHMARK(BM_SendMessageRoundTrip);

void BM_SendLevelFrameRoundTrip(benchmark::State& state) {
    BenchEndpoint bench;
    const std::vector<uint8_t> level(2000, 0x40);
    for (auto _ : state) {
        if (!q208::SendCopyData(bench.address, 0, 1, level).Delivered()) state.SkipWithError("not delivered");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * level.size()));
}
BENCHMARK(BM_SendLevelFrameRoundTrip);

void BM_ParseLevelFrame(benchmark::State& state) {
    q208::MessageFrame frame;
    frame.kind = q208::FrameKind::CopyData;
    frame.data.assign(2000, 0x40);
    const std::vector<uint8_t> bytes = q208::EncodeFrame(frame);
    for (auto _ : state) benchmark::DoNotOptimize(q208::ParseFrame(bytes));
}
BENCHMARK(BM_ParseLevelFrame);

}  // namespace

BENCHMARK_MAIN();

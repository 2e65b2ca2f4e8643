// q208-uhid: the emulated devices as HID devices of the kernel, through /dev/uhid.
//
// Every interface of the emulated devices becomes a uhid device with the same ids and
// report descriptor, so the machine's hidraw backend (q208ctl and q208 without
// --simulate) meets them as it would meet the hardware. The devices are driven with the
// verbs of `q208ctl sim` (the emulator's endpoint is opened here), plus "after N VERB" and
// "repeat N VERB". Runs until SIGINT or SIGTERM; needs write access to /dev/uhid.

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "device/HidPath.h"
#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimEndpoint.h"
#include "sim/SimVerbs.h"
#include "sim/uhid/BridgeVerbs.h"
#include "sim/uhid/UhidBridge.h"

namespace {

using namespace q208;

constexpr int kSyncPeriodMs = 20;

void Usage(FILE* to) {
    std::fprintf(to,
                 "usage: q208-uhid [--devices LIST] [--uhid NODE]\n"
                 "  --devices LIST  comma list of keyboard, mouse, mousepad, headset, receiver;\n"
                 "                  the default set without it, none with an empty LIST\n"
                 "  --uhid NODE     the uhid node (default /dev/uhid)\n"
                 "Drive the devices with 'q208ctl sim VERB KIND ...'; besides the emulator's verbs:\n"
                 "  after N VERB ...   VERB once the devices have answered N more output reports\n"
                 "  repeat N VERB ...  VERB N times at once\n");
}

struct Options {
    bool devicesGiven = false;
    std::string devices;
    std::string uhidNode = "/dev/uhid";
};

// 0 to go on, else the exit code.
int ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            Usage(stdout);
            return -1;
        }
        if ((arg == "--devices" || arg == "--uhid") && i + 1 < argc) {
            (arg == "--devices" ? options.devices : options.uhidNode) = argv[++i];
            options.devicesGiven |= arg == "--devices";
            continue;
        }
        std::fprintf(stderr, "q208-uhid: unknown argument '%s'\n", argv[i]);
        Usage(stderr);
        return 1;
    }
    return 0;
}

// The bus id in a path "sim:N#..."; -1 for anything else.
int BusIdOf(const std::string& path) {
    const std::string_view node = HidPath::Node(path);
    constexpr std::string_view kPrefix = "sim:";
    if (node.substr(0, kPrefix.size()) != kPrefix) return -1;
    return std::atoi(std::string(node.substr(kPrefix.size())).c_str());
}

// A device the kernel did not take is taken off the emulator's bus again, so the emulator
// never shows a device the host cannot see. The kinds it unplugged.
std::string UnplugUnbridged(sim::SimDeviceSet& devices, const sim::UhidBridge& bridge) {
    const std::vector<int> missing = bridge.Unbridged();
    std::string kinds;
    for (const sim::SimDeviceKind kind : {sim::SimDeviceKind::Keyboard, sim::SimDeviceKind::Mouse,
                                          sim::SimDeviceKind::MousePad, sim::SimDeviceKind::Headset,
                                          sim::SimDeviceKind::Receiver}) {
        bool unbridged = false;
        for (const std::string& path : devices.PathsOf(kind)) {
            unbridged |= std::find(missing.begin(), missing.end(), BusIdOf(path)) != missing.end();
        }
        if (unbridged && devices.Unplug(kind)) kinds += std::string(kinds.empty() ? "" : ", ") + sim::SimDeviceSet::KindName(kind);
    }
    return kinds;
}

// Brings the kernel in line with the emulator after a verb; the reason when it could not.
std::optional<std::string> SyncAfterVerb(sim::SimDeviceSet& devices, sim::UhidBridge& bridge) {
    std::string why;
    if (bridge.Sync(why)) return std::nullopt;
    const std::string unplugged = UnplugUnbridged(devices, bridge);
    std::string ignored;
    bridge.Sync(ignored);
    return why + (unplugged.empty() ? "" : " (" + unplugged + " left unplugged)");
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int code = ParseOptions(argc, argv, options)) return code < 0 ? 0 : code;
    std::string error;
    const auto kinds = options.devicesGiven && options.devices.empty()
                           ? std::optional<std::vector<sim::SimDeviceKind>>(std::vector<sim::SimDeviceKind>{})
                           : sim::SimDeviceSet::ParseList(options.devices, &error);
    if (!kinds) {
        std::fprintf(stderr, "q208-uhid: %s\n", error.c_str());
        return 1;
    }

    // Signals are taken by the main loop only, so the threads started below block them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    auto bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices(bus);
    sim::BridgeVerbs verbs(devices);
    sim::UhidBridge bridge(bus, options.uhidNode);  // stops calling `verbs` before it goes
    bridge.SetAnsweredObserver([&verbs] { verbs.OnAnswered(); });

    devices.PlugAll(*kinds);
    if (!bridge.Sync(error)) {
        std::fprintf(stderr, "q208-uhid: %s\n", error.c_str());
        return 2;
    }

    // A verb and the Sync after it are one step: the main loop's Sync must not take the
    // verb's devices first and leave the verb a Sync with nothing to report.
    std::mutex stepMutex;
    auto endpoint = std::make_unique<SimEndpoint>(devices);
    endpoint->SetExtraVerbs([&](const std::string& line) {
        std::lock_guard step(stepMutex);
        sim::SimVerbResult result = verbs.Run(line);
        // A plug or unplug is answered once the kernel shows it.
        if (std::optional<std::string> why = SyncAfterVerb(devices, bridge); why && result.status == sim::SimVerbs::kDone) {
            result = {sim::SimVerbs::kRefused, *why};
        }
        return std::optional<sim::SimVerbResult>(std::move(result));
    });
    if (!endpoint->Open()) {
        std::fprintf(stderr, "q208-uhid: the emulator's endpoint could not be opened\n");
        return 2;
    }
    std::printf("q208-uhid: %zu interfaces on %s\n", bridge.DeviceCount(), options.uhidNode.c_str());
    std::fflush(stdout);

    const timespec period{0, kSyncPeriodMs * 1000000L};
    for (;;) {
        siginfo_t info;
        if (sigtimedwait(&stopSignals, &info, &period) > 0) break;
        // A device the kernel refuses here came from a verb on a device's own thread (a
        // re-plug in an "after" line): said once, and the emulator drops it too.
        std::lock_guard step(stepMutex);
        if (std::optional<std::string> why = SyncAfterVerb(devices, bridge)) {
            std::fprintf(stderr, "q208-uhid: %s\n", why->c_str());
        }
    }
    endpoint.reset();  // no verb comes in while the devices go
    bridge.Clear();
    return 0;
}

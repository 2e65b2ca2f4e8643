#include "app/CtlEndpoint.h"

#include <chrono>
#include <future>
#include <sstream>
#include <string>

#include "app/CMainWnd.h"
#include "app/LightSyncGroup.h"
#include <cstdio>
#include <ostream>
#include "devices/base/CDeviceOptionUI.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "devices/headset/CVantorixQV2907Device.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/Trace.h"
#include "tools/CtlCommandTable.h"
#include "tools/CtlDeviceHost.h"
#include "tools/CtlDeviceSelector.h"
#include "tools/CtlRemoteProtocol.h"
#include "ui/CMessageQueue.h"

namespace q208 {
namespace {

constexpr int kExitRefused = 2;
constexpr auto kWaitSlice = std::chrono::milliseconds(50);

EndpointReply Answer(int64_t result, std::string out, std::string err) {
    return EndpointReply{result, ctlremote::EncodeOutput(std::move(out), std::move(err), kDefaultMaxFrameDataBytes)};
}

// Whether the channel carries the target's traffic now: the same path, on the same side,
// and behind the receiver the same target byte.
bool Carries(CDeviceChannel& channel, const CtlDeviceTarget& target) {
    if (!channel.IsOpen()) return false;
    const bool viaReceiver = target.linkType == CDeviceChannel::kLinkReceiver;
    if (channel.ViaReceiver() != viaReceiver) return false;
    CHidDevice& device = viaReceiver ? channel.ReceiverDevice() : channel.WiredDevice();
    return device.IsOpen() && device.DevicePath() == target.path && (!viaReceiver || channel.Target() == target.target);
}

// The command channels of the main window's device objects, on the window's thread.
class WindowChannels : public ICtlDeviceHost {
public:
    explicit WindowChannels(CMainWnd& window) : window_(window) {}

    CDeviceChannel* CommandChannelFor(const CtlDeviceTarget& target) override {
        for (int i = 0; i < window_.OptionCount(); ++i) {
            const CDeviceOptionUI* option = window_.OptionAt(i);
            CVantorixUSBDevice* device = option ? option->GetDevice() : nullptr;
            if (device && Carries(device->CommandChannel(), target)) return &device->CommandChannel();
        }
        return nullptr;
    }

    HeadsetAudioController* HeadsetAudio() override { return Headset() ? &Headset()->Audio() : nullptr; }
    void HeadsetAudioChanged() override {
        if (CVantorixQV2907Device* headset = Headset()) headset->ShowAudio();
    }
    bool SetMusicMode(bool on) override { return window_.SetMusicMode(on); }
    bool SyncLighting(const std::optional<LightSync::Setting>& setting, std::ostream& out) override {
        LightSyncGroup& group = window_.LightSyncing();
        if (!setting) {
            group.End();
            out << "synchronised lighting ended\n";
            return true;
        }
        out << "synchronised devices " << group.Start(*setting) << '\n';
        return true;
    }

    bool SyncStatus(std::ostream& out) override {
        LightSyncGroup& group = window_.LightSyncing();
        // Read under the thread's lock: every line is of the same step.
        group.Thread().WithTargetsLocked([&] {
            for (CVantorixUSBDevice* device : group.Members()) {
                char word[16];
                std::snprintf(word, sizeof word, "%08x", device->GetKeyColour(0));
                out << "device " << device->GetKind() << ' ' << device->GetModelFolder() << " colour " << word << '\n';
            }
            out << "steps " << group.Thread().Steps() << '\n';
            return 0;
        });
        return true;
    }

private:
    CVantorixQV2907Device* Headset() {
        for (int i = 0; i < window_.OptionCount(); ++i) {
            const CDeviceOptionUI* option = window_.OptionAt(i);
            CVantorixUSBDevice* device = option ? option->GetDevice() : nullptr;
            void* headset = device ? device->GetInterface(CVantorixQV2907Device::kClassName) : nullptr;
            if (headset) return static_cast<CVantorixQV2907Device*>(headset);
        }
        return nullptr;
    }

    CMainWnd& window_;
};

}  // namespace

CtlEndpoint::CtlEndpoint(std::shared_ptr<CMessageQueue> windowQueue, std::shared_ptr<CMainWnd*> window)
    : queue_(std::move(windowQueue)),
      window_(std::move(window)),
      endpoint_(ctlremote::kCtlEndpointClass, kMainWindowTitle,
                MessageEndpoint::ReplyHandler([this](const EndpointMessage& message) { return Serve(message); })) {}

CtlEndpoint::~CtlEndpoint() { Close(); }

bool CtlEndpoint::Open() {
    if (endpoint_.Open()) return true;
    Trace("q208ctl commands: the command endpoint could not be opened\n");
    return false;
}

void CtlEndpoint::Close() {
    closing_ = true;
    endpoint_.Close();
}

EndpointReply CtlEndpoint::Serve(const EndpointMessage& message) {
    if (message.isCopyData && message.dwData == ctlremote::kCtlPingData) return EndpointReply{0};
    if (!message.isCopyData || message.dwData != ctlremote::kCtlRequestData) {
        return Answer(ctlremote::kBadRequest, {}, "the command endpoint takes q208ctl command lines only");
    }
    auto arguments = ctlremote::DecodeArguments(message.data);
    if (!arguments || arguments->empty()) return Answer(ctlremote::kBadRequest, {}, "not a command line");
    return RunOnWindowThread(std::move(*arguments));
}

EndpointReply CtlEndpoint::RunOnWindowThread(std::vector<std::string> arguments) {
    const auto queue = queue_.lock();
    if (!queue || closing_) return Answer(kExitRefused, {}, "error: q208 is closing\n");
    auto reply = std::make_shared<std::promise<EndpointReply>>();
    std::future<EndpointReply> done = reply->get_future();
    const std::string command = arguments.front();
    const bool posted = queue->PostTask([window = window_, arguments = std::move(arguments), reply] {
        if (!*window) {
            reply->set_value(Answer(kExitRefused, {}, "error: q208 is closing\n"));
            return;
        }
        WindowChannels host(**window);
        std::ostringstream out, err;
        const int code = CtlCommandTable::Standard().Run(arguments, out, err, &host);
        reply->set_value(Answer(code, out.str(), err.str()));
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWindowWaitMs);
    while (posted && done.wait_for(kWaitSlice) != std::future_status::ready) {
        if (closing_ || std::chrono::steady_clock::now() > deadline) {
            return Answer(kExitRefused, {}, "error: q208's window did not run the command in time\n");
        }
    }
    try {
        if (posted) {
            EndpointReply answer = done.get();
            Trace("q208ctl command '%s' -> %lld\n", command.c_str(), static_cast<long long>(answer.result));
            return answer;
        }
    } catch (const std::future_error&) {
        // The window's thread ended with the task still queued.
    }
    return Answer(kExitRefused, {}, "error: q208 is closing\n");
}

}  // namespace q208

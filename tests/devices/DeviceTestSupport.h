#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "device/CDeviceChannel.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "devices/base/IDeviceKeyButton.h"
#include "ui/CButtonUI.h"
#include "ui/CVerticalLayoutUI.h"

namespace q208::test {

// Stand-ins for the page controls, which live in a library above the devices.
class FakeSelectPanel : public CVerticalLayoutUI {
public:
    std::string GetClass() const override { return "SelectPanel"; }
};

class FakeKeyButton : public CButtonUI, public IDeviceKeyButton {
public:
    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override {
        return name == kInterfaceName ? static_cast<IDeviceKeyButton*>(this) : CButtonUI::GetInterface(name);
    }
    void SetKeyLight(uint32_t c, int i, bool o) override {
        colour = c;
        intensity = i;
        on = o;
    }
    void SetSelected(bool s) override { selected = s; }
    bool IsSelected() const override { return selected; }
    void SetKeySetImageHidden(bool h) override { hidden = h; }
    void SetAssignmentText(std::string text) override { assignment = std::move(text); }

    uint32_t colour = 0;
    int intensity = 0;
    bool on = false;
    bool selected = false;
    std::string assignment;
    bool hidden = true;
};

// Counts the command reports a channel writes, by command byte.
class CommandCounter {
public:
    static constexpr size_t kCommandByte = 3;

    explicit CommandCounter(CDeviceChannel& channel) : channel_(channel) {
        channel_.SetTrafficObserver([this](bool sent, std::span<const uint8_t> report) {
            if (!sent || report.size() <= kCommandByte) return;
            std::lock_guard lock(mutex_);
            ++counts_[report[kCommandByte]];
        });
    }
    ~CommandCounter() { channel_.SetTrafficObserver({}); }

    int Count(uint8_t command) const {
        std::lock_guard lock(mutex_);
        auto it = counts_.find(command);
        return it == counts_.end() ? 0 : it->second;
    }

private:
    CDeviceChannel& channel_;
    mutable std::mutex mutex_;
    std::map<uint8_t, int> counts_;
};

// A device that records which of its operations the entry's timers ran.
class RecordingDevice : public CVantorixUSBDevice {
public:
    using CVantorixUSBDevice::CVantorixUSBDevice;

    void ReadDevice() override { ++reads; }
    void RefreshFromDevice() override { ++refreshes; }
    void Reserved15() override { ++reserved15; }
    void Reserved16() override { ++reserved16; }
    void RefreshStatus() override { ++statusReads; }
    bool IsOnline() override { return online; }
    int KeepAliveMinutes() const override { return keepAliveMinutes; }
    void SendLightFrame() override {
        ++frames;
        CVantorixUSBDevice::SendLightFrame();
    }
    bool StreamsLightFrames() const override { return streams; }

    bool online = true;
    bool streams = true;  // takes host frames: the light-frame timer keeps its period
    int keepAliveMinutes = 1;
    int reads = 0, refreshes = 0, reserved15 = 0, reserved16 = 0, statusReads = 0, frames = 0;
};

}  // namespace q208::test

#include "app/LightSyncGroup.h"

#include "device/DeviceSlot.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "platform/Trace.h"
#include "ui/COptionUI.h"

namespace q208 {

struct LightSyncGroup::Member {
    CVantorixUSBDevice* device;
    std::weak_ptr<int> life;
    CVantorixUSBDevice* Get() const { return life.expired() ? nullptr : device; }
};

namespace {

// The order in which the devices are given the setting.
constexpr int kJoinOrder[] = {kKindKeyboard, kKindMouse, kKindMousePad, kKindHeadset};

LightInfoRecord WithSetting(LightInfoRecord light, const LightSync::Setting& s, int mode) {
    light.selectItem = static_cast<uint8_t>(mode);
    light.light = s.brightnessLevel;
    light.speed = s.speedLevel;
    light.fx = s.direction;
    light.multiColor = s.multicolour;
    light.red = s.red;
    light.green = s.green;
    light.blue = s.blue;
    return light;
}

}  // namespace

LightSyncGroup::LightSyncGroup() : thread_(std::make_unique<LightSyncThread>(sync_)) {}

LightSyncGroup::~LightSyncGroup() { StopThread(); }

void LightSyncGroup::Attach(CVantorixUSBDevice& device) {
    auto member = std::make_unique<Member>(Member{&device, device.Lifetime()});
    std::weak_ptr<int> life = member->life;
    CVantorixUSBDevice* raw = &device;
    // The thread asks under the target lock; the device's page outlives the thread, which
    // the window stops before its controls go.
    thread_->AddTarget(LightSyncThread::Target{
        raw,
        [raw, life] { return !life.expired() && raw->IsSynchronised() && raw->CommandChannel().IsOpen(); },
        [raw, life] {
            return [raw, life](uint32_t word) {
                if (!life.expired()) raw->PaintSyncColour(word);
            };
        }()});
    devices_.push_back(std::move(member));
}

bool LightSyncGroup::StartThread() { return thread_->IsRunning() || thread_->Start(); }

void LightSyncGroup::StopThread() { thread_->Stop(); }

bool LightSyncGroup::SameMode(CVantorixUSBDevice& pressed) {
    const LightInfoRecord light = pressed.GetPanelLight();
    const auto effect = LightSync::EffectOfMode(pressed.GetKind(), light.selectItem);
    if (!effect) {
        Trace("same mode: mode %d of device kind %d has no synchronised effect\n", light.selectItem, pressed.GetKind());
        return false;
    }
    LightSync::Setting s;
    s.effect = *effect;
    s.brightnessLevel = light.light;
    s.speedLevel = light.speed;
    s.direction = light.fx;
    s.multicolour = light.multiColor;
    s.red = light.red;
    s.green = light.green;
    s.blue = light.blue;
    Start(s);
    return true;
}

int LightSyncGroup::Start(const LightSync::Setting& setting) {
    sync_.Store(setting);
    int joined = 0;
    for (int kind : kJoinOrder) {
        for (const auto& member : devices_) {
            CVantorixUSBDevice* device = member->Get();
            if (!device || device->GetKind() != kind || !device->CommandChannel().IsOpen()) continue;
            const auto mode = LightSync::ModeOfEffect(kind, setting.effect);
            if (!mode) continue;
            device->SetSynchronised(true);
            device->ApplyPanelLight(WithSetting(device->GetPanelLight(), setting, *mode));
            Mark(*device, true);
            ++joined;
        }
    }
    StartThread();
    return joined;
}

void LightSyncGroup::Leave(CVantorixUSBDevice& device) {
    if (!device.IsSynchronised()) return;
    device.SetSynchronised(false);
    Mark(device, false);
}

void LightSyncGroup::End() {
    for (const auto& member : devices_) {
        if (CVantorixUSBDevice* device = member->Get()) Leave(*device);
    }
}

std::vector<CVantorixUSBDevice*> LightSyncGroup::Members() const {
    std::vector<CVantorixUSBDevice*> members;
    for (const auto& member : devices_) {
        if (CVantorixUSBDevice* device = member->Get(); device && device->IsSynchronised()) members.push_back(device);
    }
    return members;
}

void LightSyncGroup::Mark(CVantorixUSBDevice& device, bool on) {
    if (CDeviceOptionUI* option = device.GetOptionPanel()) {
        if (COptionUI* mark = option->SynchroOption()) mark->Selected(on, false);
    }
}

}  // namespace q208

#include "devices/mousepad/CVantorixMousePadDevice.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "device/CDeviceCommands.h"
#include "device/DeviceResult.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/base/IDevicePowerPanel.h"
#include "devices/lighting/LightInfoConversion.h"
#include "platform/Trace.h"
#include "profile/ProfilePaths.h"
#include "ui/CComboUI.h"
#include "ui/CLabelUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CMessageQueue.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CSliderUI.h"
#include "ui/UiDefs.h"
#include "ui/UiMessaging.h"
#include "ui/UiNotify.h"

namespace q208 {
namespace {

constexpr int kClosedWaitMs = 100;
constexpr int kMaxLevel = 4;
constexpr size_t kStatusSize = CDeviceCommands::kStatusSize;
constexpr size_t kStatusWireless = 3;
constexpr size_t kStatusForwarded = 4;
constexpr ARGB kOpaque = 0xFF000000;
constexpr ARGB kConnectedColour = 0xFF3FB950;
constexpr ARGB kFailedColour = 0xFFD29922;
constexpr ARGB kSwatchBorder = 0xFF3C434D;
constexpr ARGB kChosenSwatchBorder = 0xFFE6E8EB;
constexpr const char* kConnectedText = "page_connected";
constexpr const char* kWriteFailedText = "pad_write_failed";

// The number after a control name's prefix; -1 when the name is not the prefix and digits.
int IndexAfter(std::string_view name, std::string_view prefix, int count) {
    if (!name.starts_with(prefix)) return -1;
    int value = -1;
    const auto digits = name.substr(prefix.size());
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc{} || end != digits.data() + digits.size() || value < 0 || value >= count) return -1;
    return value;
}

uint32_t RgbOf(const LightInfoRecord& light) {
    return (uint32_t{light.red} << 16) | (uint32_t{light.green} << 8) | light.blue;
}

// The lighting as the two words the lighting editor exchanges with a device.
uint32_t FirstWord(const LightInfoRecord& l) {
    return l.selectItem | (uint32_t{l.light} << 8) | (uint32_t{l.speed} << 16) | (uint32_t{l.fx} << 24);
}
uint32_t SecondWord(const LightInfoRecord& l) {
    return l.multiColor | (uint32_t{l.red} << 8) | (uint32_t{l.green} << 16) | (uint32_t{l.blue} << 24);
}

}  // namespace

CVantorixMousePadDevice::CVantorixMousePadDevice(std::shared_ptr<IHidBus> bus, LightRenderer::Clock clock)
    : CVantorixMousePadDevice(std::move(bus), std::move(clock),
                              Variant{kKindMousePad, kMousePadFolder, kLedCount, MousePadController::kListIndex},
                              std::make_unique<CBasicProfiledata>()) {}

CVantorixMousePadDevice::CVantorixMousePadDevice(std::shared_ptr<IHidBus> bus, LightRenderer::Clock clock,
                                                 const Variant& variant, std::unique_ptr<CBasicProfiledata> profile)
    : CVantorixUSBDevice(std::move(bus), std::make_unique<MousePadRenderer>(std::move(clock)), variant.ledCount),
      variant_(variant),
      ownedProfile_(std::move(profile)),
      profile_(*ownedProfile_),
      controller_(CommandChannel(), profile_, variant.listIndex),
      listener_(ListenerChannel(), [this] {
          PostToUi([this] {
              if (CDeviceOptionUI* option = GetOptionPanel()) option->RequestRefresh(kResyncDelayMs);
          });
      }) {
    SetKind(variant.kind, 0);
    SetDisplayStrings({}, {}, variant.folder);
    profile_.SetDefaultPath(DefaultProfilePath());
    profile_.SetSectionIndex(0);
}

CVantorixMousePadDevice::~CVantorixMousePadDevice() {
    listener_.Detach(MousePadListener::kWiredKind);
    StopPreview();
}

void* CVantorixMousePadDevice::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CVantorixUSBDevice::GetInterface(name);
}

CControlUI* CVantorixMousePadDevice::Find(const std::string& name) const {
    return GetManager() ? GetManager()->FindSubControlByName(const_cast<CVantorixMousePadDevice*>(this), name)
                        : nullptr;
}

HWND CVantorixMousePadDevice::MainWindow() const {
    if (mainWindow_) return mainWindow_;
    return GetManager() ? GetManager()->GetPaintWindow() : 0;
}

// ---- listener and preview ----

bool CVantorixMousePadDevice::AttachListener(const std::string& path, int kind) {
    const bool attached = listener_.Attach(path, kind);
    if (!attached) Trace("mouse pad: listener %d not attached on %s\n", kind, path.c_str());
    return attached;
}

void CVantorixMousePadDevice::DetachListener(int kind) { listener_.Detach(kind); }

void CVantorixMousePadDevice::OnDeviceRemoved() {
    DetachListener(MousePadListener::kWiredKind);
    CommandChannel().CloseAll();
}

void CVantorixMousePadDevice::StartPreview() {
    if (preview_.IsRunning()) return;
    preview_.Start([this](const q208::Event& stop) { RunPreview(stop); });
}

void CVantorixMousePadDevice::StopPreview() { preview_.Stop(kPreviewStopMs, WorkerThread::AfterTimeOut::Join); }

// The preview sleeps until its next step is due. It looks again every 100 ms while the
// channel is closed, and rests while the page is not on screen (nobody sees it then) until
// the page is shown again.
void CVantorixMousePadDevice::RunPreview(const q208::Event& stop) {
    int waitMs = MousePadPreviewSchedule::WaitMs(previewSpeed_.load());
    while (!stop.Wait(waitMs)) {
        if (!CommandChannel().IsOpen()) {
            waitMs = kClosedWaitMs;
            continue;
        }
        if (!IsPageShown()) {
            if (RestPreview(stop, kPreviewRestMs)) break;
            waitMs = 0;
            continue;
        }
        PreviewStep(previewMode_.load());
        waitMs = MousePadPreviewSchedule::WaitMs(previewSpeed_.load());
    }
    Trace("MS灯光线程设定退出");
}

void CVantorixMousePadDevice::PreviewStep(int mode) {
    if (IsSynchronised()) return;  // the synchronisation thread paints the preview
    switch (mode) {
        case 0:
            RenderPad([](MousePadRenderer& r, std::span<KeyColour> k) { r.RenderWave(k); });
            break;
        case 1:
            RenderSpectrum();
            break;
        case 2:
            RenderBreathing();
            break;
        case 3:
            RenderStatic();
            break;
        case 4:
            RenderBlink();
            break;
        case 6:
            RenderPad([](MousePadRenderer& r, std::span<KeyColour> k) { r.RenderChase(k); });
            break;
        case 7:
            RenderPad([](MousePadRenderer& r, std::span<KeyColour> k) { r.RenderMirroredWave(k); });
            break;
        case 8:
            RenderOff();
            break;
        default:
            RenderStatic();
            break;  // modes without a preview of their own show the colour
    }
    ++previewSteps_;
}

// ---- reading the pad ----

void CVantorixMousePadDevice::ReadDevice() {
    if (controller_.Modes().Entries().empty()) BuildPage();
    if (CommandChannel().IsOpen()) {
        if (const int r = controller_.ReadInfo(); r != kResultOk)
            Trace("mouse pad: reading the information block failed (%d)\n", r);
    }
    LoadProfile();
    // The page shows what the pad shows; the profile stays as it is until the user changes it.
    ReadSettingsFromDevice();
    AfterLoad();
    StartPreview();
}

bool CVantorixMousePadDevice::ReadSettingsFromDevice() {
    if (!CommandChannel().IsOpen()) return false;
    const int r = controller_.ReadSettingsFromDevice();
    if (r != kResultOk) {
        Trace("mouse pad: reading the settings block failed (%d)\n", r);
        return false;
    }
    SyncLightState();
    return true;
}

void CVantorixMousePadDevice::RefreshFromDevice() {
    if (!ReadSettingsFromDevice()) return;
    if (const HWND hwnd = MainWindow()) PostMessage(hwnd, kBlockReadMessage, controller_.BlockNumber(), 0);
    AfterLoad();
}

void CVantorixMousePadDevice::RefreshStatus() {
    if (!CommandChannel().IsOpen()) return;
    CDeviceCommands commands(CommandChannel());
    std::array<uint8_t, kStatusSize> status{};
    if (const int r = commands.ReadStatus(status, 0); r != kResultOk) {
        Trace("mouse pad: reading the status failed (%d)\n", r);
        return;
    }
    status[kStatusWireless] = CommandChannel().ViaReceiver() ? 1 : 0;
    if (IDevicePowerPanel* panel = PowerPanel()) panel->ShowStatus(status.data(), status.size());
    if (const HWND hwnd = MainWindow()) PostMessage(hwnd, kPowerStatusMessage, status[kStatusForwarded], 0);
}

// ---- profile ----

void CVantorixMousePadDevice::UpdateProfilePaths() {
    const std::filesystem::path path = MousePadController::SelectedProfile(profileId_, variant_.folder, variant_.kind);
    if (!path.empty()) profile_.SetPath(path);
    profile_.SetLightConfigPath(LightConfigFile(GetModelFolder()));
}

std::string CVantorixMousePadDevice::GetProfileFilePath() const { return profile_.GetPath().string(); }

void CVantorixMousePadDevice::SaveProfile() {
    if (profile_.GetPath().empty()) return;  // no profile chosen yet: the factory file stays as it is
    if (!profile_.Save()) Trace("mouse pad: saving %s failed\n", profile_.GetPath().string().c_str());
}

bool CVantorixMousePadDevice::LoadProfile() {
    UpdateProfilePaths();
    if (!controller_.LoadProfile(profile_.GetPath()))
        Trace("mouse pad: no profile at %s\n", profile_.GetPath().string().c_str());
    Initialize();
    return true;
}

bool CVantorixMousePadDevice::Initialize() {
    controller_.Initialize();
    profile_.GetLightList();
    profile_.LoadLightConfig(profile_.GetLightConfigPath());
    profile_.GetCustomLightEffects(static_cast<int>(controller_.Modes().Entries().size()));
    SyncLightState();
    return true;
}

void CVantorixMousePadDevice::SyncLightState() { SetLightState(LightStateOf(controller_.BlockLight())); }

void CVantorixMousePadDevice::SetLightState(const LightState& light) {
    const int oldMode = previewMode_.exchange(light.effect);
    previewSpeed_ = light.speedLevel;
    CVantorixUSBDevice::SetLightState(light);
    if (oldMode != light.effect) RenderPad([](MousePadRenderer& r, std::span<KeyColour>) { r.Restart(); });
}

void CVantorixMousePadDevice::SetLightParams(uint32_t first, uint32_t second, uint32_t word1, uint32_t word2) {
    CVantorixUSBDevice::SetLightParams(first, second, word1, word2);
    // The profile keeps what the preview shows.
    LightInfoRecord info = profile_.GetLightInfo();
    StoreLightState(GetLightState(), info);
    profile_.SetLightInfo(info);
}

void CVantorixMousePadDevice::ApplyExtra() {
    profile_.LoadSection(profile_.GetDefaultPath());
    Initialize();
    SaveProfile();
    AfterLoad();
}

void CVantorixMousePadDevice::BuildPage() {
    macroNames_ = MousePadController::MacroNames(UserFolder());
    customLightNames_ = MousePadController::CustomLightNames(LightConfigFile(GetModelFolder()), variant_.listIndex);
    if (!controller_.LoadModes(KeyboardEffectList::DefaultFile()))
        Trace("mouse pad: no LED modes in %s\n", KeyboardEffectList::DefaultFile().string().c_str());
    FillEffectCombo();
}

// ---- writing ----

void CVantorixMousePadDevice::NoteWrite(int result) {
    const bool failed = result != kResultOk;
    if (failed) Trace("mouse pad: writing the settings block failed (%d)\n", result);
    if (failed == writeFailed_) return;
    writeFailed_ = failed;
    if (auto* label = dynamic_cast<CLabelUI*>(Find(kStatusLabel))) {
        label->SetText(CResourceManager::GetInstance().GetText(failed ? kWriteFailedText : kConnectedText));
        label->SetTextColor(failed ? kFailedColour : kConnectedColour);
    }
}

int CVantorixMousePadDevice::WriteLightingToDevice(uint8_t block) {
    const int r = controller_.WriteSettingsToDevice(block);
    NoteWrite(r);
    return r;
}

bool CVantorixMousePadDevice::WriteLightingToDevice() { return WriteLightingToDevice(0) == kResultOk; }

// Another profile was chosen (or reset): the pad takes its lighting.
bool CVantorixMousePadDevice::WriteProfileToDevice() {
    Initialize();
    return WriteLightingToDevice();
}

void CVantorixMousePadDevice::ApplyLight(const LightInfoRecord& light) {
    SetLightState(LightStateOf(light));
    const auto params = GetLightParams();
    SetLightParams(FirstWord(light), SecondWord(light), params[2], params[3]);
    SaveProfile();
    Initialize();
    WriteLightingToDevice(0);
    ShowLighting();
}

// ---- the page ----

void CVantorixMousePadDevice::BindPageControls() {
    CVantorixUSBDevice::BindPageControls();
    for (const char* name : {kBrightnessSlider, kSpeedSlider}) {
        if (auto* slider = dynamic_cast<CSliderUI*>(Find(name))) {
            slider->SetMinValue(0);
            slider->SetMaxValue(kMaxLevel);
        }
    }
    if (controller_.Modes().Entries().empty()) BuildPage();
    FillEffectCombo();
}

void CVantorixMousePadDevice::FillEffectCombo() {
    auto* combo = dynamic_cast<CComboUI*>(Find(kEffectCombo));
    if (!combo) return;
    std::vector<std::string> names;
    for (const auto& entry : controller_.Modes().Entries()) names.push_back(entry.name);
    if (names == comboNames_ && combo->GetCount() == static_cast<int>(names.size())) return;
    comboNames_ = names;
    combo->RemoveAll();
    for (const auto& entry : controller_.Modes().Entries()) {
        auto item = std::make_unique<CListLabelElementUI>();
        // A language key: the item reads in the language applied.
        item->SetText("%{" + entry.name + "}");
        item->SetUserData(entry.name);
        // An effect the pad does not offer keeps its place, so the positions stay the modes.
        item->SetVisible(entry.visible);
        combo->Add(std::move(item));
    }
}

void CVantorixMousePadDevice::AfterLoad() {
    BuildPage();
    ShowLighting();
    CVantorixUSBDevice::SendLightFrame();
    Invalidate();
    TellPageLoaded();
}

void CVantorixMousePadDevice::ShowLighting() {
    const LightInfoRecord light = controller_.BlockLight();
    if (auto* combo = dynamic_cast<CComboUI*>(Find(kEffectCombo))) {
        // A mode the list does not have (a code the pad reported that no entry carries)
        // shows no effect rather than another one.
        const int mode = light.selectItem < combo->GetCount() ? light.selectItem : -1;
        combo->SelectItem(mode, false, false);
    }
    if (auto* slider = dynamic_cast<CSliderUI*>(Find(kBrightnessSlider)))
        slider->SetValue(std::min<int>(light.light, kMaxLevel));
    if (auto* slider = dynamic_cast<CSliderUI*>(Find(kSpeedSlider)))
        slider->SetValue(std::min<int>(light.speed, kMaxLevel));
    if (auto* check = dynamic_cast<COptionUI*>(Find(kColourCycleCheck))) check->Selected(light.multiColor != 0, false);
    const uint32_t rgb = RgbOf(light);
    for (int i = 0; i < kColourOptions; ++i) {
        CControlUI* swatch = Find(kColourOptionPrefix + std::to_string(i));
        if (!swatch) continue;
        const bool chosen = (swatch->GetBkColor() & 0xFFFFFF) == rgb;
        swatch->SetBorderColor(chosen ? kChosenSwatchBorder : kSwatchBorder);
        swatch->SetBorderSize(chosen ? 2 : 1);
    }
    if (CControlUI* current = Find(kCurrentColour)) current->SetBkColor(kOpaque | rgb);
}

void CVantorixMousePadDevice::OnEffect(int mode) {
    if (mode < 0 || mode > 0xFF) return;
    LightInfoRecord light = controller_.BlockLight();
    light.selectItem = static_cast<uint8_t>(mode);
    ApplyLight(light);
}

void CVantorixMousePadDevice::OnBrightness(int level) {
    LightInfoRecord light = controller_.BlockLight();
    light.light = static_cast<uint8_t>(std::clamp(level, 0, kMaxLevel));
    ApplyLight(light);
}

void CVantorixMousePadDevice::OnSpeed(int level) {
    LightInfoRecord light = controller_.BlockLight();
    light.speed = static_cast<uint8_t>(std::clamp(level, 0, kMaxLevel));
    ApplyLight(light);
}

void CVantorixMousePadDevice::OnColourCycle(bool on) {
    LightInfoRecord light = controller_.BlockLight();
    light.multiColor = on ? 1 : 0;
    ApplyLight(light);
}

void CVantorixMousePadDevice::OnColour(uint32_t argb) {
    LightInfoRecord light = controller_.BlockLight();
    light.red = static_cast<uint8_t>(argb >> 16);
    light.green = static_cast<uint8_t>(argb >> 8);
    light.blue = static_cast<uint8_t>(argb);
    ApplyLight(light);
}

bool CVantorixMousePadDevice::OnPageNotify(TNotifyUI& msg) {
    if (!msg.pSender) return false;
    const std::string& name = msg.pSender->GetName();
    const std::string& type = msg.sType;
    if (type == DUI_MSGTYPE_ITEMSELECT && name == kEffectCombo) {
        if (auto* combo = dynamic_cast<CComboUI*>(msg.pSender)) OnEffect(combo->GetCurSel());
        return true;
    }
    if (type == DUI_MSGTYPE_VALUECHANGED && (name == kBrightnessSlider || name == kSpeedSlider)) {
        if (auto* slider = dynamic_cast<CSliderUI*>(msg.pSender)) {
            if (name == kBrightnessSlider)
                OnBrightness(slider->GetValue());
            else
                OnSpeed(slider->GetValue());
        }
        return true;
    }
    if (type == DUI_MSGTYPE_SELECTCHANGED && name == kColourCycleCheck) {
        auto* option = dynamic_cast<COptionUI*>(msg.pSender);
        OnColourCycle(option && option->IsSelected());
        return true;
    }
    if (type == DUI_MSGTYPE_CLICK && IndexAfter(name, kColourOptionPrefix, kColourOptions) >= 0) {
        OnColour(msg.pSender->GetBkColor());
        return true;
    }
    if (type == DUI_MSGTYPE_CLICK && name == kColourButton) {
        if (colourChooser_) {
            if (const auto colour = colourChooser_(kOpaque | RgbOf(controller_.BlockLight()))) OnColour(*colour);
        }
        return true;
    }
    return false;
}

}  // namespace q208

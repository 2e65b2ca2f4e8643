#include "devices/mouse/CVantorixMouseDevice.h"

#include <algorithm>
#include <charconv>
#include <random>

#include "device/DeviceResult.h"
#include "devices/lighting/LightInfoConversion.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/base/IDevicePowerPanel.h"
#include "platform/TickCount.h"
#include "platform/Trace.h"
#include "profile/ProfilePaths.h"
#include "ui/CComboUI.h"
#include "ui/CEditUI.h"
#include "ui/CLabelUI.h"
#include "ui/CMessageQueue.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CSliderUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiDefs.h"
#include "ui/UiMessaging.h"
#include "ui/UiNotify.h"

namespace q208 {
namespace {

constexpr UINT kResyncDelayMs = 50;
constexpr int kKeyMapBank = 0;
constexpr int kPassWaitMs = 1;
constexpr int kClosedWaitMs = 100;
constexpr int kReactiveMode = 7;
constexpr size_t kStatusSize = 6;
constexpr size_t kStatusWireless = 3;
constexpr size_t kStatusForwarded = 4;
// The selected stage's slider stands out by its fore colour; the others are grey.
constexpr ARGB kActiveSliderColour = 0xFF2F81F7;
constexpr ARGB kOtherSliderColour = 0xFF6E7681;
constexpr ARGB kOpaque = 0xFF000000;
constexpr ARGB kConnectedColour = 0xFF3FB950;
constexpr ARGB kAsleepColour = 0xFFD29922;

std::string Indexed(const char* prefix, int i) {
    return prefix + std::to_string(i);
}

// The number after a control name's prefix; -1 when the name does not have it.
int IndexAfter(std::string_view name, std::string_view prefix, int count) {
    if (!name.starts_with(prefix)) return -1;
    int value = -1;
    const auto digits = name.substr(prefix.size());
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc{} || end != digits.data() + digits.size() || value < 0 || value >= count) return -1;
    return value;
}

struct SleepCombo {
    const char* name;
    MouseController::Sleep which;
    uint16_t MouseSettingsRecord::*field;
};
constexpr SleepCombo kSleepCombos[] = {
    {"ble_sleep1_combo", MouseController::Sleep::Ble1, &MouseSettingsRecord::bleSleep1},
    {"ble_sleep2_combo", MouseController::Sleep::Ble2, &MouseSettingsRecord::bleSleep2},
    {"device_sleep1_combo", MouseController::Sleep::Device1, &MouseSettingsRecord::deviceSleep1},
    {"device_sleep2_combo", MouseController::Sleep::Device2, &MouseSettingsRecord::deviceSleep2},
};

struct SystemControl {
    const char* name;
    uint16_t MouseSettingsRecord::*field;
};
constexpr SystemControl kSystemSliders[] = {
    {"pointer_speed_slider", &MouseSettingsRecord::mouseSpeed},
    {"scroll_speed_slider", &MouseSettingsRecord::wheelLines},
    {"double_click_slider", &MouseSettingsRecord::doubleClickTime},
};
constexpr SystemControl kSystemChecks[] = {
    {"scrolls_page_check", &MouseSettingsRecord::scrollPage},
    {"pointer_precision_check", &MouseSettingsRecord::pointerPrecision},
};

}  // namespace

CVantorixMouseDevice::CVantorixMouseDevice(std::shared_ptr<IHidBus> bus, LightRenderer::Clock clock)
    : CVantorixUSBDevice(std::move(bus), std::make_unique<MouseRenderer>(std::move(clock)), kDefaultColourCount),
      controller_(CommandChannel(), profile_),
      listener_(ListenerChannel(), ListenerHandlers()) {
    SetKind(kKindMouse, 0);
    SetDisplayStrings({}, {}, kMouseFolder);
    profile_.SetDefaultPath(DefaultProfilePath());
    profile_.SetSectionIndex(0);
}

CVantorixMouseDevice::~CVantorixMouseDevice() {
    listener_.Detach(MouseListener::kWiredKind);
    listener_.Detach(MouseListener::kReceiverKind);
    StopPreview();
}

void* CVantorixMouseDevice::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CVantorixUSBDevice::GetInterface(name);
}

CControlUI* CVantorixMouseDevice::Find(const std::string& name) const {
    return GetManager() ? GetManager()->FindSubControlByName(const_cast<CVantorixMouseDevice*>(this), name) : nullptr;
}

// ---- listeners and threads ----

MouseListener::Handlers CVantorixMouseDevice::ListenerHandlers() {
    MouseListener::Handlers handlers;
    handlers.resync = [this] {
        PostToUi([this] {
            if (CDeviceOptionUI* option = GetOptionPanel()) option->RequestRefresh(kResyncDelayMs);
        });
    };
    handlers.click = [this] { StartReactivePreview(); };
    handlers.block = [this](const MouseListener::BlockChange& change) {
        PostToUi([this, change] {
            controller_.SetBlockNumber(change.block);
            if (change.activeStage) controller_.SetActiveStage(*change.activeStage);
            AfterLoad();
        });
    };
    return handlers;
}

bool CVantorixMouseDevice::AttachListener(const std::string& path, int kind) {
    const bool attached = listener_.Attach(path, kind);
    if (!attached) Trace("mouse: listener %d not attached on %s\n", kind, path.c_str());
    return attached;
}

void CVantorixMouseDevice::DetachListener(int kind) {
    listener_.Detach(kind);
}

void CVantorixMouseDevice::OnDeviceRemoved() {
    DetachListener(MouseListener::kWiredKind);
    DetachListener(MouseListener::kReceiverKind);
    CommandChannel().CloseAll();
}

void CVantorixMouseDevice::StartPreview() {
    if (preview_.IsRunning()) return;
    preview_.Start([this](const q208::Event& stop) { RunPreview(stop); });
}

void CVantorixMouseDevice::StopPreview() {
    preview_.Stop(kPreviewStopMs, WorkerThread::AfterTimeOut::Join);
}

// The preview sleeps until its next step is due. It looks again every 100 ms while the
// channel is closed, and rests while the page is not on screen (nobody sees it then) until
// the page is shown again.
void CVantorixMouseDevice::RunPreview(const q208::Event& stop) {
    MousePreviewSchedule schedule;
    int waitMs = kPassWaitMs;
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
        const int mode = previewMode_.load();
        const int speed = previewSpeed_.load();
        const uint32_t now = TickCount();
        if (schedule.Pass(now, mode, speed)) PreviewStep(mode);
        waitMs = schedule.WaitMs(now, mode, speed);
    }
    Trace("MS灯光线程设定退出");
}

void CVantorixMouseDevice::PreviewStep(int mode) {
    if (IsSynchronised()) return;  // the synchronisation thread paints the preview
    switch (mode) {
        case 0:
            RenderStatic();
            break;
        case 1:
            RenderBreathing();
            break;
        case 2:
            Render([](LightRenderer& r, std::span<KeyColour> k) { static_cast<MouseRenderer&>(r).RenderGroups(k); });
            break;
        case 3:
            RenderSpectrum();
            break;
        case 4:
            Render([](LightRenderer& r, std::span<KeyColour> k) { static_cast<MouseRenderer&>(r).RenderRing(k); });
            break;
        case 5:
            RenderBreathingCycle();
            break;
        case 6:
            RenderOff();
            break;
        case 7:
            Render([](LightRenderer& r, std::span<KeyColour> k) { static_cast<MouseRenderer&>(r).RenderReactive(k); });
            break;
        case 8:
            RenderBlinkCycle();
            break;
        case 10:
            RenderBlink();
            break;
        default:
            RenderStatic();
            break;  // modes without a preview of their own show the colour
    }
    ++previewSteps_;
}

void CVantorixMouseDevice::StartReactivePreview() {
    if (previewMode_.load() != kReactiveMode) return;
    std::random_device seed;
    std::minstd_rand random(seed());
    Render([&](LightRenderer& r, std::span<KeyColour>) {
        static_cast<MouseRenderer&>(r).StartReactive([&](int) { return static_cast<int>(random() % 192); });
    });
}

// ---- reading the mouse ----

void CVantorixMouseDevice::ReadDevice() {
    if (controller_.Modes().Entries().empty()) BuildPage();
    if (CommandChannel().IsOpen()) {
        if (const int r = controller_.ReadDevice(); r != kResultOk)
            Trace("mouse: reading the information block and key map failed (%d)\n", r);
        for (int i = 0; i < kStageCount; ++i) {
            if (auto* slider = dynamic_cast<CSliderUI*>(Find(Indexed("DPI_slider_", i)))) {
                slider->SetMinValue(0);
                slider->SetMaxValue(kMaxDpiStep);
            }
        }
    }
    LoadProfile();
    ReadSettingsFromDevice();
    AfterLoad();
    StartPreview();
}

bool CVantorixMouseDevice::ReadSettingsFromDevice() {
    if (!CommandChannel().IsOpen()) return false;
    const int r = controller_.ReadSettingsFromDevice();
    NoteWrite(r);
    if (r != kResultOk) {
        Trace("mouse: reading the settings block failed (%d)\n", r);
        return false;
    }
    SyncLightState();
    SaveProfile();
    return true;
}

void CVantorixMouseDevice::RefreshFromDevice() {
    ReadSettingsFromDevice();
    AfterLoad();
}

bool CVantorixMouseDevice::IsOnline() {
    if (!CommandChannel().IsOpen() || !CommandChannel().ViaReceiver()) return false;
    CDeviceCommands commands(CommandChannel());
    return MouseMemory::Reachable(commands, CommandChannel());
}

int CVantorixMouseDevice::KeepAliveMinutes() const {
    const MouseSettingsRecord& s = controller_.Settings();
    const int minutes = std::min(s.deviceSleep1, s.deviceSleep2);
    return std::max(minutes, 1);  // a sleep time of 0 still keeps the base period
}

void CVantorixMouseDevice::RefreshStatus() {
    if (statusHold_ || !CommandChannel().IsOpen()) return;
    CDeviceCommands commands(CommandChannel());
    const bool receiver = CommandChannel().ViaReceiver();
    if (!MouseMemory::Reachable(commands, CommandChannel())) return;
    std::array<uint8_t, kStatusSize> status{};
    if (commands.ReadStatus(status, 0) != kResultOk) return;
    status[kStatusWireless] = receiver ? 1 : 0;
    if (IDevicePowerPanel* panel = PowerPanel()) panel->ShowStatus(status.data(), status.size());
    if (const HWND hwnd = MainWindow()) PostMessage(hwnd, kPowerStatusMessage, status[kStatusForwarded], 0);
}

HWND CVantorixMouseDevice::MainWindow() const {
    if (mainWindow_) return mainWindow_;
    return GetManager() ? GetManager()->GetPaintWindow() : 0;
}

// ---- profile ----

void CVantorixMouseDevice::UpdateProfilePaths() {
    const std::filesystem::path path = MouseController::SelectedProfile(profileId_);
    if (!path.empty()) profile_.SetPath(path);
    profile_.SetLightConfigPath(LightConfigFile(GetModelFolder()));
}

std::string CVantorixMouseDevice::GetProfileFilePath() const {
    return profile_.GetPath().string();
}

void CVantorixMouseDevice::SaveProfile() {
    if (profile_.GetPath().empty()) return;  // no profile chosen yet: the factory file stays as it is
    if (!profile_.Save()) Trace("mouse: saving %s failed\n", profile_.GetPath().string().c_str());
}

bool CVantorixMouseDevice::LoadProfile() {
    UpdateProfilePaths();
    const bool loaded = controller_.LoadProfile(profile_.GetPath());
    if (!loaded) Trace("mouse: no profile at %s\n", profile_.GetPath().string().c_str());
    Initialize();
    return true;
}

bool CVantorixMouseDevice::Initialize() {
    profile_.GetLightList();
    profile_.LoadLightConfig(profile_.GetLightConfigPath());
    profile_.GetCustomLightEffects(static_cast<int>(controller_.Modes().Entries().size()));
    SyncLightState();
    return true;
}

void CVantorixMouseDevice::SyncLightState() {
    SetLightState(LightStateOf(profile_.GetLightInfo()));
}

void CVantorixMouseDevice::SetLightState(const LightState& light) {
    const int oldMode = previewMode_.exchange(light.effect);
    previewSpeed_ = light.speedLevel;
    CVantorixUSBDevice::SetLightState(light);
    if (oldMode != light.effect) {
        ClearKeyStates();
        Render([](LightRenderer& r, std::span<KeyColour>) { static_cast<MouseRenderer&>(r).ClearReactive(); });
    }
}

void CVantorixMouseDevice::ApplyExtra() {
    profile_.LoadSection(profile_.GetDefaultPath());
    controller_.TakeProfileRecords();
    Initialize();
    SaveProfile();
    AfterLoad();
}

void CVantorixMouseDevice::BuildPage() {
    macroNames_ = MouseController::MacroNames(UserFolder());
    if (!controller_.LoadModes(KeyboardEffectList::DefaultFile()))
        Trace("mouse: no LED modes in %s\n", KeyboardEffectList::DefaultFile().string().c_str());
}

std::vector<std::string> CVantorixMouseDevice::GetMacroList() {
    std::vector<std::string> list;
    for (const int number :
         controller_.Memory().Buttons().MacrosInUse(controller_.Buttons(), MouseController::MacroCount(UserFolder())))
        list.push_back(std::to_string(number));
    return list;
}

void CVantorixMouseDevice::ApplyLighting() {
    macroNames_ = MouseController::MacroNames(UserFolder());
    if (controller_.DropStaleMacros(static_cast<int>(macroNames_.size()))) AfterLoad();
}

// ---- writing ----

void CVantorixMouseDevice::NoteWrite(int result) {
    const bool asleep = result == kResultUnreachable;
    if (asleep == asleep_) return;
    asleep_ = asleep;
    // Behind the receiver a sleeping mouse hears nothing; the page says so rather than
    // showing values the mouse does not have.
    if (auto* label = dynamic_cast<CLabelUI*>(Find(kStatusLabel))) {
        label->SetText(CResourceManager::GetInstance().GetText(asleep ? "mouse_asleep" : "page_connected"));
        label->SetTextColor(asleep ? kAsleepColour : kConnectedColour);
    }
}

int CVantorixMouseDevice::WriteLightingToDevice(uint8_t block, uint8_t value) {
    if (!CommandChannel().IsOpen()) return kResultNoAnswer;
    const int r = controller_.WriteSettingsToDevice(block, value);
    NoteWrite(r);
    if (r != kResultOk) Trace("mouse: writing the settings block failed (%d)\n", r);
    return r;
}

bool CVantorixMouseDevice::WriteLightingToDevice() {
    return WriteLightingToDevice(0, 0) == kResultOk;
}

int CVantorixMouseDevice::WriteKeyMapToDevice(int bank, int macroCount) {
    if (!CommandChannel().IsOpen()) return kResultNoAnswer;
    const int r = controller_.WriteKeyMapToDevice(bank, macroCount);
    NoteWrite(r);
    if (r != kResultOk) Trace("mouse: writing the key map failed (%d)\n", r);
    return r;
}

bool CVantorixMouseDevice::WriteKeyMapToDevice() {
    return WriteKeyMapToDevice(kKeyMapBank, MouseController::MacroCount(UserFolder())) == kResultOk;
}

bool CVantorixMouseDevice::WriteProfileToDevice() {
    return WriteKeyMapToDevice();
}

bool CVantorixMouseDevice::WriteMacrosToDevice() {
    if (!CommandChannel().IsOpen()) return false;
    const int r = controller_.WriteMacrosToDevice(UserFolder());
    NoteWrite(r);
    if (r != kResultOk) Trace("mouse: writing the macros failed (%d)\n", r);
    return r == kResultOk;
}

std::filesystem::path CVantorixMouseDevice::ShootFactoryFolder() {
    return DefaultProfileFile(kMouseFolder).parent_path();
}

ShootBlock::Upload CVantorixMouseDevice::WriteShootToDevice() {
    ShootBlock::Upload upload = controller_.WriteShootToDevice(ShootWorkFolder());
    if (upload.problem.empty()) NoteWrite(upload.result);
    if (upload.result != kResultOk) Trace("mouse: writing the shoot block failed (%d)\n", upload.result);
    return upload;
}

void CVantorixMouseDevice::SaveAndWrite() {
    SaveProfile();
    WriteLightingToDevice(0, 0);
}

void CVantorixMouseDevice::SetLightParams(uint32_t first, uint32_t second, uint32_t word1, uint32_t word2) {
    CVantorixUSBDevice::SetLightParams(first, second, word1, word2);
    // The profile keeps what the preview shows.
    const LightState light = GetLightState();
    LightInfoRecord info = profile_.GetLightInfo();
    StoreLightState(light, info);
    profile_.SetLightInfo(info);
}

bool CVantorixMouseDevice::ApplyPanelLight(const LightInfoRecord& light) {
    profile_.SetLightInfo(light);
    SyncLightState();
    SaveProfile();
    WriteLightingToDevice();
    return true;
}

void CVantorixMouseDevice::SetFunctionMode(int mode) {
    CVantorixUSBDevice::SetFunctionMode(mode);
    if (CControlUI* hint = Find("device_tishi_info")) hint->SetVisible(false);
}

void CVantorixMouseDevice::SendLightFrame() {
    CVantorixUSBDevice::SendLightFrame();
}

// ---- the page ----

void CVantorixMouseDevice::BindPageControls() {
    CVantorixUSBDevice::BindPageControls();
    for (int i = 0; i < kStageCount; ++i) {
        if (auto* slider = dynamic_cast<CSliderUI*>(Find(Indexed("DPI_slider_", i)))) {
            slider->SetMinValue(0);
            slider->SetMaxValue(kMaxDpiStep);
        }
        if (auto* edit = dynamic_cast<CEditUI*>(Find(Indexed("DPI_edit_", i)))) edit->SetNumberOnly(true);
    }
    if (controller_.Modes().Entries().empty()) BuildPage();
}

void CVantorixMouseDevice::AfterLoad() {
    ShowStages();
    ShowSettings();
    ShowKeySetMarks();
    CVantorixUSBDevice::SendLightFrame();
    Invalidate();
    ++pageRefreshes_;
    TellPageLoaded();
}

void CVantorixMouseDevice::ShowStage(int i) {
    const auto& stages = controller_.Stages();
    const bool present = i < static_cast<int>(stages.size());
    const DpiStage stage = present ? stages[i] : DpiStage{};
    const bool active = i == controller_.ActiveStage();
    if (auto* slider = dynamic_cast<CSliderUI*>(Find(Indexed("DPI_slider_", i)))) {
        slider->SetValue(controller_.StageStep(i));
        slider->SetForeColor(active ? kActiveSliderColour : kOtherSliderColour);
    }
    if (CControlUI* edit = Find(Indexed("DPI_edit_", i))) edit->SetText(std::to_string(controller_.StageDpi(i)));
    if (auto* check = dynamic_cast<COptionUI*>(Find(Indexed("DPI_enable_check_", i))))
        check->Selected(stage.active != 0, false);
    if (auto* select = dynamic_cast<COptionUI*>(Find(Indexed("DPI_select_check_", i)))) select->Selected(active, false);
    if (CControlUI* row = Find(Indexed("DPI_layout_", i))) row->SetEnabled(stage.active != 0);
    if (CControlUI* swatch = Find(Indexed("DPI_color_option_", i)))
        swatch->SetBkColor(kOpaque | (uint32_t{stage.red} << 16) | (uint32_t{stage.green} << 8) | stage.blue);
}

void CVantorixMouseDevice::ShowEnableChecks() {
    const auto clickable = controller_.EnableClickable();
    for (int i = 0; i < kStageCount; ++i) {
        if (CControlUI* check = Find(Indexed("DPI_enable_check_", i))) check->SetEnabled(clickable[i]);
    }
}

void CVantorixMouseDevice::ShowStages() {
    for (int i = 0; i < kStageCount; ++i) ShowStage(i);
    ShowEnableChecks();
}

void CVantorixMouseDevice::SelectComboByData(const char* name, int value) {
    auto* combo = dynamic_cast<CComboUI*>(Find(name));
    if (!combo) return;
    const int index = combo->FindItemByUserData(std::to_string(value));
    if (index >= 0) combo->SelectItem(index, false, false);
}

void CVantorixMouseDevice::ShowSettings() {
    const MouseSettingsRecord& s = controller_.Settings();
    const int option = MouseSettingsBlock::ShownPollingOption(s.pollingIndex);
    if (auto* polling = dynamic_cast<COptionUI*>(Find(Indexed("polling_rate_option_", option))))
        polling->Selected(true, false);
    for (const SleepCombo& combo : kSleepCombos) SelectComboByData(combo.name, s.*(combo.field));
    if (auto* logo = dynamic_cast<CComboUI*>(Find("logo_led_mode_combo")))
        logo->SelectItem(std::min<int>(s.logoLedMode, logo->GetCount() - 1), false, false);
}

void CVantorixMouseDevice::OnStageSlider(int stage, int step) {
    controller_.SetStageStep(stage, step);
    ShowStage(stage);
    SaveAndWrite();
}

void CVantorixMouseDevice::OnStageEdit(int stage, const std::string& text) {
    const auto dpi = DpiOfEditText(text);
    if (!dpi) {
        ShowStage(stage);  // not a number: the edit shows the stage's DPI again
        return;
    }
    controller_.SetStageDpi(stage, *dpi);
    ShowStage(stage);
    SaveAndWrite();
}

void CVantorixMouseDevice::OnStageSelect(int stage) {
    // Every stage takes the step its slider shows, then the selected one becomes active.
    for (int i = 0; i < kStageCount && i < static_cast<int>(controller_.Stages().size()); ++i) {
        if (auto* slider = dynamic_cast<CSliderUI*>(Find(Indexed("DPI_slider_", i))))
            controller_.SetStageStep(i, slider->GetValue());
    }
    controller_.SelectStage(stage);
    ShowStages();
    SaveAndWrite();
}

void CVantorixMouseDevice::OnStageEnable(int stage, bool enabled) {
    if (!controller_.SetStageEnabled(stage, enabled)) {
        ShowStages();  // the check goes back: this stage cannot be switched off
        return;
    }
    ShowStages();
    SaveAndWrite();
}

void CVantorixMouseDevice::OnStageColour(int stage, uint32_t argb) {
    controller_.SetStageColour(stage, static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                               static_cast<uint8_t>(argb));
    ShowStage(stage);
    SaveAndWrite();
}

void CVantorixMouseDevice::OnPolling(int option) {
    if (!controller_.SetPolling(option)) return;
    SaveAndWrite();
}

void CVantorixMouseDevice::OnSleepCombo(MouseController::Sleep which, int minutes) {
    controller_.SetSleep(which, minutes);
    SaveAndWrite();
}

void CVantorixMouseDevice::OnLogo(int mode) {
    controller_.SetLogo(mode);
    SaveAndWrite();
}

bool CVantorixMouseDevice::StoreKeyAssignment(int index, const KeyAssignmentHalf& current) {
    if (!controller_.SetButton(index, {current.type, current.param1, current.param2})) return false;
    SaveProfile();
    return true;
}

bool CVantorixMouseDevice::OnPageNotify(TNotifyUI& msg) {
    if (!msg.pSender) return false;
    const std::string& name = msg.pSender->GetName();
    const std::string& type = msg.sType;
    int i = -1;
    if ((type == DUI_MSGTYPE_VALUECHANGED) && (i = IndexAfter(name, "DPI_slider_", kStageCount)) >= 0) {
        if (auto* slider = dynamic_cast<CSliderUI*>(msg.pSender)) OnStageSlider(i, slider->GetValue());
        return true;
    }
    if (type == DUI_MSGTYPE_VALUECHANGED) {
        auto* slider = dynamic_cast<CSliderUI*>(msg.pSender);
        for (const SystemControl& control : kSystemSliders) {
            if (name != control.name || !slider) continue;
            controller_.SetSystemValue(control.field, slider->GetValue());
            SaveProfile();
            return true;
        }
    }
    if ((type == DUI_MSGTYPE_KILLFOCUS || type == DUI_MSGTYPE_RETURN) &&
        (i = IndexAfter(name, "DPI_edit_", kStageCount)) >= 0) {
        OnStageEdit(i, msg.pSender->GetText());
        return true;
    }
    if (type == DUI_MSGTYPE_CLICK && (i = IndexAfter(name, "DPI_color_option_", kStageCount)) >= 0) {
        if (colourChooser_) {
            if (const auto colour = colourChooser_(msg.pSender->GetBkColor())) OnStageColour(i, *colour);
        }
        return true;
    }
    if (type == DUI_MSGTYPE_SELECTCHANGED) {
        auto* option = dynamic_cast<COptionUI*>(msg.pSender);
        const bool selected = option && option->IsSelected();
        if ((i = IndexAfter(name, "DPI_select_check_", kStageCount)) >= 0) {
            OnStageSelect(i);
            return true;
        }
        if ((i = IndexAfter(name, "DPI_enable_check_", kStageCount)) >= 0) {
            OnStageEnable(i, selected);
            return true;
        }
        if ((i = IndexAfter(name, "mouse_device_seting_option_", kSettingTabs)) >= 0) {
            // The settings rows and the fire-key editor share one place of the page.
            auto* tabs = dynamic_cast<CTabLayoutUI*>(Find("mouse_device_seting_tab"));
            if (selected && tabs) tabs->SelectItem(i, false);
            return true;
        }
        if ((i = IndexAfter(name, "polling_rate_option_", MouseSettingsBlock::kPollingOptions)) >= 0) {
            if (selected) OnPolling(i);
            return true;
        }
        for (const SystemControl& check : kSystemChecks) {
            if (name != check.name) continue;
            controller_.SetSystemValue(check.field, selected ? 1 : 0);
            SaveProfile();
            return true;
        }
    }
    if (type == DUI_MSGTYPE_ITEMSELECT) {
        auto* combo = dynamic_cast<CComboUI*>(msg.pSender);
        if (!combo) return false;
        for (const SleepCombo& sleep : kSleepCombos) {
            if (name != sleep.name) continue;
            const CControlUI* item = combo->GetCurSel() >= 0 ? combo->GetItemAt(combo->GetCurSel()) : nullptr;
            int minutes = 0;
            if (item)
                std::from_chars(item->GetUserData().data(), item->GetUserData().data() + item->GetUserData().size(),
                                minutes);
            OnSleepCombo(sleep.which, minutes);
            return true;
        }
        if (name == "logo_led_mode_combo") {
            OnLogo(std::max(combo->GetCurSel(), 0));
            return true;
        }
    }
    return false;
}

}  // namespace q208

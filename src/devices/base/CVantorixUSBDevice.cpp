#include "devices/base/CVantorixUSBDevice.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "device/CDeviceCommands.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/base/IDeviceKeyButton.h"
#include "devices/base/KeyAssignmentText.h"
#include "devices/base/IDevicePowerPanel.h"
#include "platform/Trace.h"
#include "devices/base/IDeviceProfilePanel.h"
#include "profile/ProfilePaths.h"
#include "ui/CComboUI.h"
#include "ui/CMessageQueue.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiDefs.h"

namespace q208 {

namespace {

constexpr const char* kSelectPanelClass = "SelectPanel";
constexpr const char* kKeyPrefix = "key_";
constexpr const char* kLightPrefix = "light_";
constexpr uint32_t kBoundLightColour = 0xFFFFFF;
constexpr int kBoundLightIntensity = 255;

// The switch selections of a function mode. -1 leaves the key switch as it is.
struct FunctionModeRule {
    int mode;
    bool keyboardOrMouseOnly;
    int functionSwitch;
    int keySwitch;
};
constexpr FunctionModeRule kFunctionModeRules[] = {
    {3, false, 1, -1}, {8, false, 1, -1}, {5, false, 2, -1}, {9, false, 4, -1}, {4, true, 3, -1},
};
// Modes that fall through to the key switch: mode → key switch selection (others: 0).
constexpr std::pair<int, int> kKeySwitchByMode[] = {{2, 1}, {6, 1}, {4, 2}, {7, 2}};

constexpr const char* kFunctionSwitch = "device_function_switch";
constexpr const char* kKeyFunctionSwitch = "device_key_function_switch";
constexpr const char* kPageTabPrefix = "device_page_tab_";

// n of "<prefix>n", when the name is exactly that.
std::optional<int> IndexAfter(const std::string& name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    int value = 0;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || value < 0) return std::nullopt;
    return value;
}

CContainerUI* AsContainer(CControlUI* control) {
    return control ? static_cast<CContainerUI*>(control->GetInterface("Container")) : nullptr;
}

CControlUI* FindByClass(CControlUI* root, std::string_view className) {
    CContainerUI* container = AsContainer(root);
    if (!container) return nullptr;
    for (int i = 0; i < container->GetCount(); ++i) {
        CControlUI* child = container->GetItemAt(i);
        if (child->GetClass() == className) return child;
        if (CControlUI* found = FindByClass(child, className)) return found;
    }
    return nullptr;
}

IDeviceKeyButton* AsKeyButton(CControlUI* control) {
    return control ? static_cast<IDeviceKeyButton*>(control->GetInterface(IDeviceKeyButton::kInterfaceName))
                   : nullptr;
}

uint32_t ColourValue(const KeyColour& entry) {
    return (uint32_t{entry.red} << 16) | (uint32_t{entry.green} << 8) | entry.blue;
}

}  // namespace

CVantorixUSBDevice::CVantorixUSBDevice(std::shared_ptr<IHidBus> bus, LightRenderer::Clock clock,
                                       size_t colourCount)
    : CVantorixUSBDevice(std::move(bus), std::make_unique<LightRenderer>(std::move(clock)), colourCount) {}

CVantorixUSBDevice::CVantorixUSBDevice(std::shared_ptr<IHidBus> bus, std::unique_ptr<LightRenderer> renderer,
                                       size_t colourCount)
    : commandChannel_(bus),
      listenerChannel_(bus),
      colours_(colourCount),
      uiQueue_(CMessageQueue::CurrentShared()),
      renderer_(std::move(renderer)) {
    colours_.SetChangeListener([this] { OnColoursChanged(); });
}

void CVantorixUSBDevice::OnColoursChanged() {
    if (coloursPosted_.exchange(true)) return;  // the UI thread has not taken the last one yet
    const bool posted = PostToUi([this] {
        coloursPosted_ = false;
        if (CDeviceOptionUI* option = GetOptionPanel()) option->OnColoursChanged();
    });
    if (!posted) coloursPosted_ = false;
}

bool CVantorixUSBDevice::PostToUi(std::function<void()> fn) {
    const auto queue = uiQueue_.lock();
    if (!queue) return false;
    queue->PostTask([life = Lifetime(), fn = std::move(fn)] {
        if (!life.expired()) fn();
    });
    return true;
}

CVantorixUSBDevice::~CVantorixUSBDevice() = default;

void* CVantorixUSBDevice::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    if (name == "INotifyUI") return static_cast<INotifyUI*>(this);
    return CHorizontalLayoutUI::GetInterface(name);
}

void CVantorixUSBDevice::Notify(TNotifyUI& msg) { LoopDispatch(msg); }

// ---- page controls ----

CControlUI* CVantorixUSBDevice::FindSelectPanel() const {
    return FindByClass(const_cast<CVantorixUSBDevice*>(this), kSelectPanelClass);
}

void CVantorixUSBDevice::SetButtonCounts(int keyCount, int lightCount) {
    keyCount_ = std::max(0, keyCount);
    lightCount_ = std::max(0, lightCount);
    keyButtons_.assign(static_cast<size_t>(keyCount_), nullptr);
    lightButtons_.assign(static_cast<size_t>(lightCount_), nullptr);
}

CControlUI* CVantorixUSBDevice::GetKeyButton(int index) const {
    return index >= 0 && index < static_cast<int>(keyButtons_.size()) ? keyButtons_[static_cast<size_t>(index)]
                                                                       : nullptr;
}

CControlUI* CVantorixUSBDevice::GetLightButton(int index) const {
    return index >= 0 && index < static_cast<int>(lightButtons_.size())
               ? lightButtons_[static_cast<size_t>(index)]
               : nullptr;
}

void CVantorixUSBDevice::BindPageControls() {
    BindProfilePanel();
    if (layoutName_.empty()) {
        keyCount_ = 0;
        lightCount_ = 0;
        keyButtons_.clear();
        lightButtons_.clear();
        keyFunctions_.clear();
        return;
    }
    std::fill(keyButtons_.begin(), keyButtons_.end(), nullptr);
    std::fill(lightButtons_.begin(), lightButtons_.end(), nullptr);
    shownGeneration_ = kNothingShown;  // the new buttons show the colours at the next frame
    CContainerUI* panel = AsContainer(FindSelectPanel());
    if (!panel) {
        Trace("%s: page has no SelectPanel\n", GetName().c_str());
        return;
    }
    for (int i = 0; i < panel->GetCount(); ++i) {
        CControlUI* child = panel->GetItemAt(i);
        if (child->GetClass() != IDeviceKeyButton::kClassName) continue;
        const std::string& name = child->GetName();
        if (auto n = IndexAfter(name, kKeyPrefix); n && *n < static_cast<int>(keyButtons_.size())) {
            keyButtons_[static_cast<size_t>(*n)] = child;
        } else if (auto m = IndexAfter(name, kLightPrefix); m && *m < static_cast<int>(lightButtons_.size())) {
            lightButtons_[static_cast<size_t>(*m)] = child;
            if (IDeviceKeyButton* button = AsKeyButton(child)) {
                button->SetKeyLight(kBoundLightColour, kBoundLightIntensity, true);
            }
        }
    }
}

bool CVantorixUSBDevice::Initialize() { return false; }

// ---- renderers ----

void CVantorixUSBDevice::RenderBreathing() {
    Render([](LightRenderer& r, std::span<KeyColour> keys) { r.RenderBreathing(keys); });
}
void CVantorixUSBDevice::RenderBreathingCycle() {
    Render([](LightRenderer& r, std::span<KeyColour> keys) { r.RenderBreathingCycle(keys); });
}
void CVantorixUSBDevice::RenderStatic() {
    Render([](LightRenderer& r, std::span<KeyColour> keys) { r.RenderStatic(keys); });
}
void CVantorixUSBDevice::RenderSpectrum() {
    Render([](LightRenderer& r, std::span<KeyColour> keys) { r.RenderSpectrum(keys); });
}
void CVantorixUSBDevice::RenderBlink() {
    Render([](LightRenderer& r, std::span<KeyColour> keys) { r.RenderBlink(keys); });
}
void CVantorixUSBDevice::RenderBlinkCycle() {
    Render([](LightRenderer& r, std::span<KeyColour> keys) { r.RenderBlinkCycle(keys); });
}
void CVantorixUSBDevice::RenderOff() {
    colours_.Update([](std::span<KeyColour> keys) { LightRenderer::RenderOff(keys); });
}

void CVantorixUSBDevice::SendLightFrame() {
    // The light-frame timer asks every few milliseconds; the buttons change only when the
    // colours did.
    const uint64_t generation = colours_.Generation();
    if (generation == shownGeneration_) return;
    shownGeneration_ = generation;
    colours_.Read([&](std::span<const KeyColour> keys) {
        const size_t count = std::min(keys.size(), lightButtons_.size());
        for (size_t i = 0; i < count; ++i) {
            if (IDeviceKeyButton* button = AsKeyButton(lightButtons_[i])) {
                button->SetKeyLight(ColourValue(keys[i]), keys[i].intensity, true);
            }
        }
        return 0;
    });
}

void CVantorixUSBDevice::SetKeyColour(int index, uint32_t value) {
    if (index >= 0) colours_.Set(static_cast<size_t>(index), KeyColour::FromPacked(value));
}

void CVantorixUSBDevice::PaintSyncColour(uint32_t word) {
    const KeyColour colour = KeyColour::FromPacked(word);
    const size_t count = std::min(colours_.Size(), static_cast<size_t>(std::max(lightCount_, 1)));
    colours_.Update([&](std::span<KeyColour> keys) { std::fill_n(keys.begin(), count, colour); });
}

uint32_t CVantorixUSBDevice::GetKeyColour(int index) const {
    return index >= 0 ? colours_.Get(static_cast<size_t>(index)).Packed() : 0;
}

LightState CVantorixUSBDevice::GetLightState() const {
    std::lock_guard lock(lightMutex_);
    return renderer_->Light();
}

void CVantorixUSBDevice::SetLightState(const LightState& light) {
    std::lock_guard lock(lightMutex_);
    renderer_->Light() = light;
}

AnimationState CVantorixUSBDevice::GetAnimationState() const {
    std::lock_guard lock(lightMutex_);
    return renderer_->Animation();
}

// ---- key states and ring ----

void CVantorixUSBDevice::SetKeyGroups(const std::map<int, int>& groups) { keyGroups_ = groups; }

uint8_t CVantorixUSBDevice::FadeStep(int key, int mode) {
    std::lock_guard lock(lightMutex_);
    return renderer_->KeyStates().FadeStep(key, mode);
}

void CVantorixUSBDevice::MarkRing() {
    std::lock_guard lock(lightMutex_);
    renderer_->KeyStates().MarkRing();
}

void CVantorixUSBDevice::RotateRing(bool up) {
    std::lock_guard lock(lightMutex_);
    renderer_->KeyStates().RotateRing(up);
}

void CVantorixUSBDevice::ClearKeyStates() {
    std::lock_guard lock(lightMutex_);
    renderer_->KeyStates().ClearKeyStates();
}

uint8_t CVantorixUSBDevice::KeyState(int key) const {
    std::lock_guard lock(lightMutex_);
    return renderer_->KeyStates().Level(key);
}

void CVantorixUSBDevice::SetKeyState(int key, uint8_t level) {
    std::lock_guard lock(lightMutex_);
    renderer_->KeyStates().SetLevel(key, level);
}

uint8_t CVantorixUSBDevice::RingByte(int position) const {
    std::lock_guard lock(lightMutex_);
    return renderer_->KeyStates().RingByte(position);
}

void CVantorixUSBDevice::SetRingByte(int position, uint8_t value) {
    std::lock_guard lock(lightMutex_);
    renderer_->KeyStates().SetRingByte(position, value);
}

// ---- function mode ----

bool CVantorixUSBDevice::OnPageTab(TNotifyUI& msg) {
    if (msg.sType != DUI_MSGTYPE_SELECTCHANGED || !msg.pSender) return false;
    const std::optional<int> page = IndexAfter(msg.pSender->GetName(), kPageTabPrefix);
    if (!page) return false;
    auto* option = static_cast<COptionUI*>(msg.pSender->GetInterface("Option"));
    if (option && option->IsSelected()) SelectSwitch(kFunctionSwitch, *page);
    return true;
}

void CVantorixUSBDevice::SelectSwitch(std::string_view name, int index) {
    if (!manager_) return;
    CControlUI* control = manager_->FindSubControlByName(this, name);
    if (!control) return;
    if (auto* tab = static_cast<CTabLayoutUI*>(control->GetInterface("TabLayout"))) {
        tab->SelectItem(index);
    } else if (auto* combo = static_cast<CComboUI*>(control->GetInterface("Combo"))) {
        combo->SelectItem(index);
    }
}

void CVantorixUSBDevice::SetFunctionMode(int mode) {
    functionMode_ = mode;
    const bool keyboardOrMouse = kind_ == kKindKeyboard || kind_ == kKindMouse;
    for (const auto& rule : kFunctionModeRules) {
        if (rule.mode == mode && (!rule.keyboardOrMouseOnly || keyboardOrMouse)) {
            SelectSwitch(kFunctionSwitch, rule.functionSwitch);
            return;
        }
    }
    int keySwitch = 0;
    for (const auto& [m, selection] : kKeySwitchByMode) {
        if (m == mode) keySwitch = selection;
    }
    SelectSwitch(kFunctionSwitch, 0);
    SelectSwitch(kKeyFunctionSwitch, keySwitch);
}

// ---- stored values ----

void CVantorixUSBDevice::SetLightParams(uint32_t first, uint32_t second, uint32_t word1, uint32_t word2) {
    std::lock_guard lock(lightMutex_);
    lightParams_ = {first, second, word1, word2};
    renderer_->Light().word1 = word1;
    renderer_->Light().word2 = word2;
}

std::array<uint32_t, 4> CVantorixUSBDevice::GetLightParams() const {
    std::lock_guard lock(lightMutex_);
    return lightParams_;
}

void CVantorixUSBDevice::SetOptionState(int first, int second, int third) {
    optionState_ = {first, second, third};
    if (CDeviceOptionUI* option = GetOptionPanel()) option->SetOptionState(first, second, third);
}

void CVantorixUSBDevice::GetOptionState(int& first, int& second, int& third) const {
    std::array<int, 3> state = optionState_;
    if (CDeviceOptionUI* option = GetOptionPanel()) state = option->GetOptionState();
    first = state[0];
    second = state[1];
    third = state[2];
}

void CVantorixUSBDevice::SetDisplayStrings(std::string first, std::string second, std::string modelFolder) {
    displayStrings_ = {std::move(first), std::move(second), std::move(modelFolder)};
}

void CVantorixUSBDevice::SetOptionPanel(CDeviceOptionUI* option) {
    option_ = {option, option ? option->Lifetime() : std::weak_ptr<int>()};
}

CDeviceOptionUI* CVantorixUSBDevice::GetOptionPanel() const { return option_.Get(); }

void CVantorixUSBDevice::SetPowerPanel(CControlUI* panel) {
    powerPanel_ = {panel, panel ? panel->Lifetime() : std::weak_ptr<int>()};
}

CControlUI* CVantorixUSBDevice::GetPowerPanel() const { return powerPanel_.Get(); }

IDevicePowerPanel* CVantorixUSBDevice::PowerPanel() const {
    CControlUI* panel = powerPanel_.Get();
    return panel ? static_cast<IDevicePowerPanel*>(panel->GetInterface(IDevicePowerPanel::kInterfaceName)) : nullptr;
}

void CVantorixUSBDevice::Configure(int keyCount, int lightCount, int wirelessCapable) {
    SetButtonCounts(keyCount, lightCount);
    SetWirelessCapable(wirelessCapable > 0);
}

void CVantorixUSBDevice::SetWirelessCapable(bool capable) {
    wirelessCapable_ = capable ? 1 : 0;
    if (IDevicePowerPanel* panel = PowerPanel()) panel->ShowPowerLayout(capable);
}

int CVantorixUSBDevice::SetHostLighting(int value) {
    hostLighting_ = value;
    if (value == 0 || kind_ != kKindKeyboard) return 1;
    CDeviceCommands commands(commandChannel_);
    const int result = commands.EnableHostLighting();
    if (result != 1) Trace("SetHostLighting: EnableHostLighting failed (%d)\n", result);
    return result;
}

// ---- profile paths ----

std::filesystem::path CVantorixUSBDevice::DefaultProfilePath() const { return DefaultProfileFile(GetModelFolder()); }

IDeviceProfilePanel* CVantorixUSBDevice::ProfilePanel() {
    IDeviceProfilePanel* found = nullptr;
    FindControl(
        [&found](CControlUI* control) -> CControlUI* {
            if (!found) found = static_cast<IDeviceProfilePanel*>(control->GetInterface(IDeviceProfilePanel::kInterfaceName));
            return found ? control : nullptr;
        },
        UIFIND_ALL);
    return found;
}

// The page's profile panel learns where this device keeps its profiles; the device then
// follows the profile the panel selects.
void CVantorixUSBDevice::BindProfilePanel() {
    IDeviceProfilePanel* panel = ProfilePanel();
    if (!panel) return;
    panel->SetProfilePaths(UserFolder(), DefaultProfilePath());
    panel->SetDeviceKind(GetKind());
    panel->LoadProfileList();
    panel->SelectOptionTab(1);
    if (const std::string id = panel->GetCurrentProfileUUID(); !id.empty()) SetProfileId(id);
}

std::filesystem::path CVantorixUSBDevice::UserFolder() const { return DeviceUserFolder(GetModelFolder()); }

void CVantorixUSBDevice::ShowKeySetMarks() {
    const std::vector<KeyAssignmentRecord> records = GetKeyAssignments();
    for (int key = 0; key < static_cast<int>(records.size()); ++key) {
        CControlUI* button = GetKeyButton(key);
        auto* keyButton = button ? static_cast<IDeviceKeyButton*>(button->GetInterface(IDeviceKeyButton::kInterfaceName))
                                 : nullptr;
        const KeyAssignmentHalf& now = records[key].current;
        const KeyAssignmentHalf& factory = records[key].defaults;
        if (!keyButton) continue;
        keyButton->SetKeySetImageHidden(now.type == factory.type && now.param1 == factory.param1 &&
                                        now.param2 == factory.param2);
        keyButton->SetAssignmentText(KeyAssignmentText(now, factory));
    }
}

}  // namespace q208

#include "devices/keyboard/CVantorixKeyboardDevice.h"

#include <algorithm>

#include "devices/keyboard/KeyboardMusicWaves.h"

#include "device/DeviceResult.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/base/IDevicePowerPanel.h"
#include "devices/keyboard/KeyboardKeyMapWriter.h"
#include "devices/base/MacroBlock.h"
#include "profile/MacroStore.h"
#include "devices/keyboard/KeyboardPowerStatus.h"
#include "platform/Trace.h"
#include "profile/ProfileList.h"
#include "profile/ProfilePaths.h"
#include "ui/CMessageQueue.h"
#include "ui/CPaintManagerUI.h"
#include "ui/UiMessaging.h"

namespace q208 {

namespace {

constexpr int kMusicEffect = 29;  // its music pattern follows the recorder's frames
constexpr UINT kResyncDelayMs = 50;
constexpr int kKeyMapBank = 0;
// The group FillCustomColours and PaintKey store into while the lighting panel offers its
// custom-mode drop-down (the panel reports group 0 then).
constexpr int kCustomStoreGroup = 0;
constexpr uint8_t kEntryChangeHighByte = 0x10;
constexpr uint8_t kEntryAndSubValueHighByte = 0x11;

}  // namespace

CVantorixKeyboardDevice::CVantorixKeyboardDevice(std::shared_ptr<IHidBus> bus, LightRenderer::Clock clock)
    : CVantorixUSBDevice(std::move(bus), std::make_unique<KeyboardRenderer>(std::move(clock)), kDefaultColourCount),
      commands_(CommandChannel()),
      animator_(KeyColours(), static_cast<KeyboardRenderer&>(SharedRenderer()), LightMutex()),
      sender_(commands_, KeyColours(), memory_),
      custom_(commands_, KeyColours(), memory_),
      listener_(ListenerChannel(), memory_, ListenerHandlers()),
      animation_(
          CommandChannel(), animator_, sender_, [this] { return IsPageShown(); },
          [this](const q208::Event& stop, int ms) { return RestPreview(stop, ms); }) {
    animation_.SetHostPainted([this] { return IsSynchronised(); });
    SetKind(kKindKeyboard, 0);
    SetDisplayStrings({}, {}, kKeyboardFolder);
    SetButtonCounts(kKeyTableRows, kKeyTableRows);
    profile_.SetDefaultPath(DefaultProfilePath());
}

CVantorixKeyboardDevice::~CVantorixKeyboardDevice() {
    // The threads use the members below them; stop them while everything still exists.
    listener_.Detach(KeyboardListener::kWiredKind);
    listener_.Detach(KeyboardListener::kReceiverKind);
    animation_.Stop();
}

void* CVantorixKeyboardDevice::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CVantorixUSBDevice::GetInterface(name);
}

// ---- threads and listeners ----

KeyboardListener::Handlers CVantorixKeyboardDevice::ListenerHandlers() {
    KeyboardListener::Handlers handlers;
    handlers.resync = [this](bool) {
        PostToUi([this] {
            if (CDeviceOptionUI* option = GetOptionPanel()) option->RequestRefresh(kResyncDelayMs);
        });
    };
    handlers.key = [this](int row, int kind) { animator_.OnKeyEvent(row, kind); };
    handlers.event = [this](uint16_t event) { OnListenerEvent(event); };
    return handlers;
}

void CVantorixKeyboardDevice::OnListenerEvent(uint16_t event) {
    if (!CommandChannel().IsOpen()) return;
    const uint8_t high = static_cast<uint8_t>(event >> 8);
    if (high != kEntryChangeHighByte && high != kEntryAndSubValueHighByte) return;
    const auto change = KeyboardListener::DecodeEntryChange(event);
    if (!change) return;
    activeEntry_ = change->entry;
    if (change->subValue) subValue_ = *change->subValue;
    // The keyboard now shows another entry: the page follows it (on the UI thread, which
    // owns the page and the command sequence).
    PostToUi([this] {
        ReadLightingSetting();
        AfterLoad();
    });
}

bool CVantorixKeyboardDevice::AttachListener(const std::string& path, int kind) {
    const bool attached = listener_.Attach(path, kind);
    if (!attached) Trace("keyboard: listener %d not attached on %s\n", kind, path.c_str());
    return attached;
}

void CVantorixKeyboardDevice::DetachListener(int kind) { listener_.Detach(kind); }

void CVantorixKeyboardDevice::OnDeviceRemoved() {
    DetachListener(KeyboardListener::kWiredKind);
    DetachListener(KeyboardListener::kReceiverKind);
    animation_.Stop();
    CommandChannel().CloseAll();
}

// ---- reading the keyboard ----

void CVantorixKeyboardDevice::ReadDevice() {
    if (effects_.Entries().empty()) BuildPage();
    if (CommandChannel().IsOpen()) {
        if (const int result = memory_.ReadAll(commands_, CommandChannel()); result != kResultOk)
            Trace("keyboard: reading the key map failed (%d)\n", result);
    }
    LoadProfile();
    memory_.MapAssignedRows(keyList_);
    ReadLightingSetting();
    AfterLoad();
    if (!animation_.IsRunning()) animation_.Start();
}

void CVantorixKeyboardDevice::RefreshFromDevice() {
    const bool resync = listener_.TakeResyncRequest();
    if (std::exchange(reloadPending_, false) || resync) LoadProfile();
    ReadLightingSetting();
    AfterLoad();
}

void CVantorixKeyboardDevice::ReadLightingSetting() {
    CommandChannel().SetLightingHold(false);
    LightInfoRecord info = profile_.GetLightInfo();
    if (CommandChannel().IsOpen()) {
        KeyboardLightingRecord::Bytes record{};
        uint8_t entry = 0;
        const int result = KeyboardLightingRecord::Read(commands_, CommandChannel(), record, entry);
        if (result == kResultOk) {
            recordCopy_ = record;
            activeEntry_ = entry;
            KeyboardSystemRecord system = profile_.GetSystemStages();
            KeyboardLightingRecord::Decode(record, effects_, info, system);
            profile_.SetLightInfo(info);
            profile_.SetSystemStages(system);
            SaveProfile();
        } else {
            Trace("keyboard: reading the lighting setting failed (%d)\n", result);
        }
    }
    ApplyLightState(KeyboardLightingRecord::ToLightState(info));
}

// The animator restarts the effect when its number changed; the light state it writes is the
// device's only one.
void CVantorixKeyboardDevice::ApplyLightState(const LightState& light) {
    if (!musicWanted_) {
        animator_.SetLightState(light);
        WakePreview();  // the animation thread may sleep on the old effect's interval
        return;
    }
    // In music mode a profile read or an edit changes what comes back afterwards; the
    // keyboard keeps following the music with the new brightness and colours.
    beforeMusic_ = light;
    LightState music = light;
    music.effect = kMusicEffect;
    animator_.SetLightState(music);
    WakePreview();
}

void CVantorixKeyboardDevice::SetLightState(const LightState& light) { ApplyLightState(light); }

void CVantorixKeyboardDevice::SetKeyboardLight(const LightState& light) { ApplyLightState(light); }

void CVantorixKeyboardDevice::SetOptionState(int first, int second, int third) {
    CVantorixUSBDevice::SetOptionState(first, second, third);
    animator_.SetOptionState(first);
}

void CVantorixKeyboardDevice::OnAudioFrame(std::span<const int32_t> bands, int /*count*/) {
    std::array<int32_t, KeyboardMusicWaves::kBands> kept{};
    std::copy_n(bands.begin(), std::min(bands.size(), kept.size()), kept.begin());
    if (!animator_.InMusicMode()) return;
    if (KeyboardMusicWaves::Accumulate(KeyboardMusicWaves::StepFor(kept))) {
        animator_.StartMusicWave(KeyboardMusicWaves::kWaveRow);
    }
}

void CVantorixKeyboardDevice::OnAudioRecord(std::span<const int32_t> record, int count) {
    const size_t n = std::min({static_cast<size_t>(std::max(count, 0)), record.size(), audioRecord_.size()});
    std::copy_n(record.begin(), n, audioRecord_.begin());
    const auto channel = [this](size_t i) { return static_cast<uint8_t>(std::clamp(audioRecord_[i], 0, 255)); };
    animator_.SetMusicColour({channel(0), channel(1), channel(2)});
}

void CVantorixKeyboardDevice::SetMusicMode(bool on) {
    if (on == musicWanted_) return;
    int first = 0, second = 0, third = 0;
    GetOptionState(first, second, third);
    if (on) {
        patternBeforeMusic_ = first;
        musicWanted_ = true;
        ApplyLightState(animator_.GetLightState());
        SetOptionState(KeyboardRenderer::kMusicPattern, second, third);
        return;
    }
    musicWanted_ = false;
    SetOptionState(patternBeforeMusic_ == KeyboardRenderer::kMusicPattern ? 0 : patternBeforeMusic_, second, third);
    if (beforeMusic_) animator_.SetLightState(*beforeMusic_);
    WakePreview();
    beforeMusic_.reset();
}

bool CVantorixKeyboardDevice::IsOnline() {
    return CommandChannel().IsOpen() && CommandChannel().ViaReceiver() && commands_.QueryLink();
}

void CVantorixKeyboardDevice::RefreshStatus() {
    IDevicePowerPanel* panel = PowerPanel();
    if (!CommandChannel().ViaReceiver()) {
        if (panel) panel->ShowWirelessLogo(false);
        return;
    }
    const auto block = KeyboardPowerStatus::Read(commands_, CommandChannel(), statusHold_);
    if (!block) return;
    if (panel) {
        panel->ShowWirelessLogo(true);
        panel->ShowStatus(block->data(), block->size());
    }
    if (const HWND hwnd = MainWindow())
        PostMessage(hwnd, kPowerStatusMessage, (*block)[KeyboardPowerStatus::kForwarded], 0);
}

HWND CVantorixKeyboardDevice::MainWindow() const {
    if (mainWindow_) return mainWindow_;
    return GetManager() ? GetManager()->GetPaintWindow() : 0;
}

// ---- profile ----

void CVantorixKeyboardDevice::UpdateProfilePaths() {
    if (profileId_.empty()) {
        // The profile the user selected last, or the first one made from the factory file.
        ProfileList list(UserFolder(), DefaultProfilePath(), GetKind());
        if (list.Load()) profileId_ = list.SelectedId();
    }
    const std::filesystem::path path = ProfileFile(GetModelFolder(), profileId_);
    if (!path.empty()) profile_.SetPath(path);
    // One keyboard model: its settings are section 0 of the profile document.
    profile_.SetSectionIndex(kProfileSection);
    profile_.SetLightConfigPath(LightConfigFile(GetModelFolder()));
}

std::string CVantorixKeyboardDevice::GetProfileFilePath() const { return profile_.GetPath().string(); }

void CVantorixKeyboardDevice::SaveProfile() {
    if (profile_.GetPath().empty()) return;  // no profile chosen yet: the factory file stays as it is
    if (!profile_.Save()) Trace("keyboard: saving %s failed\n", profile_.GetPath().string().c_str());
}

bool CVantorixKeyboardDevice::LoadProfile() {
    UpdateProfilePaths();
    const std::filesystem::path path = profile_.GetPath().empty() ? profile_.GetDefaultPath() : profile_.GetPath();
    const bool loaded = !profile_.LoadSection(path).isNull();
    if (!loaded) Trace("keyboard: no profile at %s\n", path.string().c_str());
    profile_.LoadLightConfig(profile_.GetLightConfigPath());
    Initialize();
    return loaded;
}

bool CVantorixKeyboardDevice::Initialize() {
    const LightInfoRecord info = profile_.GetLightInfo();
    const KeyboardSystemRecord system = profile_.GetSystemStages();
    recordCopy_ = KeyboardLightingRecord::Encode(info, system, effects_, static_cast<uint8_t>(activeEntry_.load()));
    ApplyLightState(KeyboardLightingRecord::ToLightState(info));
    keyList_ = profile_.GetKeyList();
    if (info.selectItem == kCustomEffect) {
        // The custom effect shows the profile's current custom group.
        const auto stored = profile_.GetCustomLightColors(profile_.GetCustomLightModeGroupIndex(), kKeyTableRows);
        KeyColours().Update([&](std::span<KeyColour> keys) {
            for (size_t row = 0; row < keys.size() && row < stored.size(); ++row)
                keys[row] = {stored[row].red, stored[row].green, stored[row].blue, stored[row].alpha};
        });
    }
    return true;
}

bool CVantorixKeyboardDevice::WriteProfileToDevice() {
    const bool keys = WriteKeyMapToDevice();
    const bool macros = AssignedMacroPlaces().empty() || WriteMacrosToDevice();  // no macros: nothing to send
    const bool lighting = WriteLightingToDevice();
    return keys && macros && lighting;
}

void CVantorixKeyboardDevice::AfterLoad() {
    CVantorixUSBDevice::SendLightFrame();  // the light buttons show the current colours
    ShowKeySetMarks();
    Invalidate();
    ++pageRefreshes_;
    TellPageLoaded();
}

void CVantorixKeyboardDevice::BuildPage() {
    if (!effects_.Load(KeyboardEffectList::DefaultFile(), GetLanguage()))
        Trace("keyboard: no effect list %d in %s\n", GetLanguage(), KeyboardEffectList::DefaultFile().string().c_str());
}

// ---- lighting ----

bool CVantorixKeyboardDevice::ApplyPanelLight(const LightInfoRecord& light) {
    profile_.SetLightInfo(light);
    SaveProfile();
    ApplyLightState(KeyboardLightingRecord::ToLightState(light));
    const auto entry = static_cast<uint8_t>(activeEntry_.load());
    const int result = WriteLightingToDevice(entry, entry);
    if (result != kResultOk) Trace("keyboard: writing the lighting failed (%d)\n", result);
    return true;
}

void CVantorixKeyboardDevice::SetSynchronised(bool synchronised) {
    CVantorixUSBDevice::SetSynchronised(synchronised);
    // Back to its own effect: the animator starts it afresh.
    if (!synchronised) ApplyLightState(KeyboardLightingRecord::ToLightState(profile_.GetLightInfo()));
}

void CVantorixKeyboardDevice::SendLightFrame() {
    CVantorixUSBDevice::SendLightFrame();
    if (IsSynchronised()) {
        sender_.Send(KeyboardFrameSender::kHostColourEffect);
        return;
    }
    // While the animation thread runs it streams the frames itself; one sender at a time.
    if (animation_.IsRunning()) return;
    sender_.Send(animator_.GetLightState().effect);
}

bool CVantorixKeyboardDevice::StreamsLightFrames() const {
    return !animation_.IsRunning() && KeyboardFrameSender::IsStreamed(animator_.GetLightState().effect);
}

int CVantorixKeyboardDevice::WriteLightingToDevice(uint8_t entry, uint8_t activeEntry) {
    return WriteLightingRecord(entry, KeyboardLightingRecord::Encode(profile_.GetLightInfo(), profile_.GetSystemStages(),
                                                                     effects_, activeEntry));
}

// The lighting the keyboard shows now (a game event may have changed it without touching
// the profile) over the rest of the profile's record.
bool CVantorixKeyboardDevice::WriteLightingToDevice() {
    const auto entry = static_cast<uint8_t>(activeEntry_.load());
    LightInfoRecord info = profile_.GetLightInfo();
    KeyboardLightingRecord::ApplyLightState(GetLightState(), info);
    return WriteLightingRecord(entry, KeyboardLightingRecord::Encode(info, profile_.GetSystemStages(), effects_, entry)) ==
           kResultOk;
}

int CVantorixKeyboardDevice::WriteLightingRecord(uint8_t entry, const KeyboardLightingRecord::Bytes& record) {
    if (!CommandChannel().IsOpen()) return kResultOk;
    const int result = KeyboardLightingRecord::Write(commands_, CommandChannel(), entry, record);
    if (result != kResultOk) Trace("keyboard: writing lighting entry %d failed (%d)\n", entry, result);
    return result;
}

std::optional<KeyboardCustomLighting::Store> CVantorixKeyboardDevice::CustomStore() {
    if (!GetManager() || !GetManager()->FindControl(kCustomModeSelect)) return std::nullopt;
    return KeyboardCustomLighting::Store{profile_, kCustomStoreGroup};
}

void CVantorixKeyboardDevice::FillCustomColours(bool bright) {
    custom_.FillCustomColours(bright, animator_.GetLightState(), CustomStore());
}

void CVantorixKeyboardDevice::ReloadCustomColours() { custom_.ReloadCustomColours(profile_, animator_.GetLightState()); }

void CVantorixKeyboardDevice::PaintKey(int row) { custom_.PaintKey(row, animator_.GetLightState(), CustomStore()); }

// ---- key map and macros ----

int CVantorixKeyboardDevice::WriteKeyMapToDevice(int bank, std::span<const KeyAssignmentRecord> assignments) {
    if (!CommandChannel().IsOpen()) return 0;
    const int result = KeyboardKeyMapWriter::Write(commands_, CommandChannel(), memory_, bank, assignments);
    if (result != kResultOk) Trace("keyboard: writing the key map failed (%d)\n", result);
    return result;
}

std::vector<KeyAssignmentRecord> CVantorixKeyboardDevice::GetKeyAssignments() { return profile_.GetKeyList(); }

bool CVantorixKeyboardDevice::StoreKeyAssignment(int index, const KeyAssignmentHalf& current) {
    keyList_ = profile_.GetKeyList();
    if (index < 0 || index >= static_cast<int>(keyList_.size())) return false;
    KeyAssignmentHalf& half = keyList_[index].current;
    half = current;
    half.index = static_cast<uint16_t>(index);
    half.spare = 0;
    profile_.SetKeyList(keyList_);
    SaveProfile();
    return true;
}

bool CVantorixKeyboardDevice::WriteKeyMapToDevice() {
    keyList_ = profile_.GetKeyList();
    return WriteKeyMapToDevice(kKeyMapBank, keyList_) == kResultOk;
}

int CVantorixKeyboardDevice::WriteMacrosToDevice(std::span<const int> macroNumbers) {
    macroNumbers_.assign(macroNumbers.begin(), macroNumbers.end());
    if (CommandChannel().IsOpen()) memory_.ReadInfo(commands_);  // the macro memory size
    const int result = MacroBlock::Write(commands_, CommandChannel(), memory_.MacroCapacity(), UserFolder(), macroNumbers);
    if (result != kResultOk) Trace("keyboard: writing macros failed (%d)\n", result);
    return result;
}

// The key map hands the keyboard the macro's number as it is in the index, so the block holds
// each assigned macro at the place of its number; the places of macros no key plays stay
// empty records.
std::vector<int> CVantorixKeyboardDevice::AssignedMacroPlaces() {
    const int count = MacroStore(UserFolder()).Count();
    std::vector<int> places;
    for (const KeyAssignmentRecord& record : profile_.GetKeyList()) {
        const KeyAssignmentHalf& half = record.current;
        if (!MacroStore::IsMacroAssignment(half) || half.param1 >= count) continue;
        if (places.size() <= half.param1) places.resize(half.param1 + 1, -1);
        places[half.param1] = half.param1;
    }
    return places;
}

bool CVantorixKeyboardDevice::WriteMacrosToDevice() {
    const std::vector<int> numbers = AssignedMacroPlaces();
    if (numbers.empty()) return false;
    return WriteMacrosToDevice(numbers) == kResultOk;
}

}  // namespace q208

#include "editors/CShootControlUI.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "device/DeviceResult.h"
#include "devices/mouse/CVantorixMouseDevice.h"
#include "platform/Trace.h"
#include "ui/COptionUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiDefs.h"
#include "ui/UiNotify.h"

namespace q208 {
namespace {

constexpr const char* kGunPrefix = "shoot_gun_op_";
constexpr const char* kBulletPrefix = "bullet_op_";
constexpr const char* kImport = "shootdate_import_btn";
constexpr const char* kExport = "shootdate_export_btn";
constexpr const char* kSave = "shootdate_save_btn";
constexpr const char* kReset = "shootdate_reset_btn";
constexpr const char* kPictures = "shoot_image_display_switch";
constexpr const char* kEditLayout = "bullet_edit_layout";
constexpr const char* kBulletIndex = "bullet_select_index";
constexpr const char* kPrevious = "bullet_selected_prev";
constexpr const char* kNext = "bullet_selected_next";
constexpr const char* kXCheck = "bullet_x_check";
constexpr const char* kYCheck = "bullet_y_check";
constexpr const char* kXEdit = "bullet_x_eidt";
constexpr const char* kYEdit = "bullet_y_eidt";
constexpr const char* kDelayEdit = "bullet_delay_eidt";
constexpr const char* kXText = "bullet_x_text";
constexpr const char* kYText = "bullet_y_text";
constexpr const char* kStatus = "shootdate_status_label";

// Every one of these must be in the layout for the editor to work.
constexpr std::array kRequired{"shoot_gun_op_0", kImport,   kExport,      kSave,   kReset,  kPictures,
                               kEditLayout,      kBulletIndex, kPrevious, kNext,   "bullet_op_0",
                               kXCheck,          kYCheck,  kXEdit,       kYEdit,  kDelayEdit};

// Decimal text; anything else (an empty edit included) is 0.
int ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size() ? value : 0;
}

std::string Text(const char* key) { return CResourceManager::GetInstance().GetText(key); }

// n for prefix + n with n below `count`, else -1.
int IndexAfter(std::string_view name, std::string_view prefix, int count) {
    if (!name.starts_with(prefix) || name.size() == prefix.size()) return -1;
    const std::string_view digits = name.substr(prefix.size());
    int n = -1;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return ec == std::errc{} && end == digits.data() + digits.size() && n >= 0 && n < count ? n : -1;
}

bool IsEdit(std::string_view name) { return name == kXEdit || name == kYEdit || name == kDelayEdit; }

}  // namespace

void* CShootControlUI::GetInterface(std::string_view name) {
    return name == kClassName ? this : CVerticalLayoutUI::GetInterface(name);
}

void CShootControlUI::SetFolders(std::filesystem::path work, std::filesystem::path factory) {
    workFolder_ = std::move(work);
    factoryFolder_ = std::move(factory);
}

CControlUI* CShootControlUI::Part(std::string_view name) const {
    return const_cast<CShootControlUI*>(this)->FindControl(
        [name](CControlUI* c) { return c->GetName() == name ? c : nullptr; }, UIFIND_ALL);
}

bool CShootControlUI::IsChecked(std::string_view name) const {
    CControlUI* c = Part(name);
    auto* option = c ? static_cast<COptionUI*>(c->GetInterface("Option")) : nullptr;
    return option && option->IsSelected();
}

void CShootControlUI::SetChecked(std::string_view name, bool checked) {
    CControlUI* c = Part(name);
    if (auto* option = c ? static_cast<COptionUI*>(c->GetInterface("Option")) : nullptr) option->Selected(checked, false);
}

int CShootControlUI::EditValue(std::string_view name) const {
    const CControlUI* edit = Part(name);
    return edit ? ParseInt(edit->GetText()) : 0;
}

void CShootControlUI::Inform(const std::string& key, const std::string& detail) const {
    Trace("shoot editor: %s\n", detail.c_str());
    if (dialogs_.inform) dialogs_.inform(key, detail);
}

bool CShootControlUI::Startup() {
    started_ = std::all_of(kRequired.begin(), kRequired.end(), [this](const char* name) { return Part(name); });
    if (!started_) {
        Trace("shoot editor: the layout lacks some of its controls; the editor stays off\n");
        return false;
    }
    for (int gun = 0; gun < ShootFile::kGunCount; ++gun) ShootFile::EnsureWorkFile(WorkFile(gun), FactoryFile(gun));
    currentBullet_ = -1;
    // The page is being built: a refused file is traced now and shown when the user acts.
    Dialogs dialogs = std::exchange(dialogs_, Dialogs{});
    SelectGun(0);
    dialogs_ = std::move(dialogs);
    return true;
}

void CShootControlUI::SelectOnly(std::string_view prefix, int count, int selected) {
    for (int i = 0; i < count; ++i) SetChecked(std::string(prefix) + std::to_string(i), i == selected);
}

void CShootControlUI::SelectGun(int gun) {
    currentGun_ = std::clamp(gun, 0, ShootFile::kGunCount - 1);
    SelectOnly(kGunPrefix, ShootFile::kGunCount, currentGun_);
    CControlUI* c = Part(kPictures);
    if (auto* pictures = c ? static_cast<CTabLayoutUI*>(c->GetInterface("TabLayout")) : nullptr)
        pictures->SelectItem(currentGun_, false);
    // The bullet shown belongs to the gun chosen now.
    SelectBullet(std::max(currentBullet_, 0));
}

void CShootControlUI::SelectBullet(int bullet) {
    currentBullet_ = std::clamp(bullet, 0, ShootFile::kBulletCount - 1);
    SelectOnly(kBulletPrefix, ShootFile::kBulletCount, currentBullet_);
    if (CControlUI* index = Part(kBulletIndex)) index->SetText(std::to_string(currentBullet_ + 1));
    LoadBullet();
}

void CShootControlUI::ShowDirections() {
    const bool left = IsChecked(kXCheck);
    const bool up = IsChecked(kYCheck);
    if (CControlUI* x = Part(kXText)) x->SetText(Text(left ? "mouse_move_to_left_text" : "mouse_move_to_right_text"));
    if (CControlUI* y = Part(kYText)) y->SetText(Text(up ? "mouse_move_to_up_text" : "mouse_move_to_down_text"));
}

bool CShootControlUI::LoadBullet() {
    if (currentBullet_ < 0) return false;
    const ShootFile::Loaded loaded = ShootFile::Load(WorkFile(currentGun_));
    const bool usable = loaded.status == ShootFile::Status::Ok;
    const ShootFile::Bullet bullet = usable ? ShootFile::BulletOf(loaded.document, currentBullet_) : ShootFile::Bullet{};
    loading_ = true;
    SetChecked(kXCheck, bullet.xLeft);
    SetChecked(kYCheck, bullet.yUp);
    if (CControlUI* x = Part(kXEdit)) x->SetText(usable ? std::to_string(bullet.x) : std::string());
    if (CControlUI* y = Part(kYEdit)) y->SetText(usable ? std::to_string(bullet.y) : std::string());
    if (CControlUI* d = Part(kDelayEdit)) d->SetText(usable ? std::to_string(bullet.delay) : std::string());
    loading_ = false;
    ShowDirections();
    if (!usable) Inform("shoot_file_refused", loaded.problem);
    return usable;
}

bool CShootControlUI::StoreBullet() {
    if (!started_ || loading_ || currentBullet_ < 0) return false;
    const ShootFile::Bullet bullet{IsChecked(kXCheck), EditValue(kXEdit), IsChecked(kYCheck), EditValue(kYEdit),
                                   EditValue(kDelayEdit)};
    std::string problem;
    if (!ShootFile::StoreBullet(WorkFile(currentGun_), FactoryFile(currentGun_), currentBullet_, bullet, problem)) {
        Inform("shoot_store_failed", problem);
        return false;
    }
    return true;
}

bool CShootControlUI::Reset() {
    std::string problem;
    if (!ShootFile::CopyShootFile(FactoryFile(currentGun_), WorkFile(currentGun_), problem)) {
        Inform("shoot_store_failed", problem);
        return false;
    }
    LoadBullet();
    return true;
}

bool CShootControlUI::Import(const std::filesystem::path& source) {
    std::string problem;
    if (!ShootFile::CopyShootFile(source, WorkFile(currentGun_), problem)) {
        Inform("shoot_import_refused", problem);
        return false;
    }
    LoadBullet();
    return true;
}

bool CShootControlUI::Export(const std::filesystem::path& target) {
    std::string problem;
    if (!ShootFile::CopyShootFile(WorkFile(currentGun_), target, problem)) {
        Inform("shoot_export_failed", problem);
        return false;
    }
    return true;
}

bool CShootControlUI::Save(CVantorixUSBDevice& device) {
    auto* mouse = static_cast<CVantorixMouseDevice*>(device.GetInterface(CVantorixMouseDevice::kClassName));
    if (!mouse) return false;
    const ShootBlock::Upload upload = mouse->WriteShootToDevice();
    if (!upload.problem.empty()) {
        Inform("shoot_upload_refused", upload.problem);
        return false;
    }
    const bool done = upload.result == kResultOk;
    if (CControlUI* status = Part(kStatus)) status->SetText(Text(done ? "shoot_upload_done" : "shoot_upload_failed"));
    return done;
}

bool CShootControlUI::OnNotify(TNotifyUI& msg, CVantorixUSBDevice* current) {
    if (!started_ || !msg.pSender) return false;
    const std::string& name = msg.pSender->GetName();
    const std::string& type = msg.sType;
    const bool isMouse = current && current->GetInterface(CVantorixMouseDevice::kClassName);
    if (type == DUI_MSGTYPE_SELECTCHANGED) {
        auto* option = static_cast<COptionUI*>(msg.pSender->GetInterface("Option"));
        const bool selected = option && option->IsSelected();
        int n = IndexAfter(name, kGunPrefix, ShootFile::kGunCount);
        if (n >= 0) {
            if (selected) SelectGun(n);
            return true;
        }
        if ((n = IndexAfter(name, kBulletPrefix, ShootFile::kBulletCount)) >= 0) {
            if (selected) SelectBullet(n);
            return true;
        }
        if (name == kXCheck || name == kYCheck) {
            ShowDirections();
            StoreBullet();
            return true;
        }
        return false;
    }
    if (IsEdit(name)) {
        if (type == DUI_MSGTYPE_TEXTCHANGED || type == DUI_MSGTYPE_KILLFOCUS) StoreBullet();
        return true;
    }
    if (type != DUI_MSGTYPE_CLICK) return false;
    if (name == kPrevious || name == kNext) {
        SelectBullet(currentBullet_ + (name == kNext ? 1 : -1));
        return true;
    }
    if (name != kImport && name != kExport && name != kReset && name != kSave) return false;
    if (!isMouse) return true;
    if (name == kReset) {
        Reset();
    } else if (name == kSave) {
        Save(*current);
    } else if (name == kImport) {
        if (const auto path = dialogs_.chooseImport ? dialogs_.chooseImport() : std::nullopt; path && !path->empty())
            Import(*path);
    } else if (const auto path = dialogs_.chooseExport ? dialogs_.chooseExport() : std::nullopt; path && !path->empty()) {
        Export(*path);
    }
    return true;
}

}  // namespace q208

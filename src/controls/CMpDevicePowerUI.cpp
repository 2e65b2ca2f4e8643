#include "controls/CMpDevicePowerUI.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "device/DeviceSlot.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CProgressUI.h"
#include "ui/UiDefs.h"

namespace q208 {

namespace {

struct ChargeImage {
    uint8_t state;
    const char* image;
};
// 0: charged, 1: charging, 2: on battery.
constexpr std::array kChargeImages{
    ChargeImage{0, "file='power/powered.png'"},
    ChargeImage{1, "file='power/powering.png'"},
    ChargeImage{2, "file='power/power.png'"},
};

struct PhoneType {
    uint8_t type;
    const char* toolTip;
    const char* image;
};
constexpr std::array kPhoneTypes{
    PhoneType{1, "Phone_type_iphone", "file='power/Phone_type_iphone.png'"},
    PhoneType{2, "Phone_type_samsung", "file='power/Phone_type_samsung.png'"},
    PhoneType{3, "Phone_type_other", "file='power/Phone_type_other.png'"},
};
constexpr PhoneType kNoPhone{0, "Phone_type_no_device", "file='power/Phone_type_no_device.png'"};

}  // namespace

void* CMpDevicePowerUI::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    if (name == kInterfaceName) return static_cast<IDevicePowerPanel*>(this);
    return CHorizontalLayoutUI::GetInterface(name);
}

bool CMpDevicePowerUI::Activate() {
    if (!CHorizontalLayoutUI::Activate()) return false;
    if (manager_) manager_->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED);
    return true;
}

CControlUI* CMpDevicePowerUI::Part(std::string_view name) const {
    // Looked up each time rather than cached: the panel's children may be rebuilt.
    return manager_ ? manager_->FindSubControlByName(const_cast<CMpDevicePowerUI*>(this), name) : nullptr;
}

void CMpDevicePowerUI::ShowStatus(const uint8_t* block, size_t length) {
    std::array<uint8_t, kBlockCapacity> status{};
    if (block) std::memcpy(status.data(), block, std::min(length, status.size()));

    CControlUI* value = Part(kValueName);
    CControlUI* logo = Part(kWirelessLogoName);
    CControlUI* bar = Part(kProgressName);
    CControlUI* charge = Part(kStatusName);
    CControlUI* phone = Part(kPhoneTypeName);
    if (!value || !logo || !bar || !charge || !phone) return;

    // The bar shows 100 - level; a level byte above 100 would give a negative width, so the
    // bar is kept within its range.
    const int level = status[kLevelByte];
    if (auto* progress = static_cast<CProgressUI*>(bar->GetInterface("Progress"))) {
        progress->SetValue(std::clamp(kMaxLevel - level, 0, kMaxLevel));
    }
    if (level <= kMaxLevel) {
        batteryLevel_ = level;
        value->SetText(std::to_string(batteryLevel_) + "%");
    }
    logo->SetVisible(status[kWirelessByte] != 0);
    ShowChargeState(status[kChargeByte], *bar, *charge);
    if (kind_ == kKindMousePad) ShowPhoneType(status[kPhoneTypeByte], *phone);
}

void CMpDevicePowerUI::ShowChargeState(uint8_t state, CControlUI& bar, CControlUI& status) {
    const auto it = std::find_if(kChargeImages.begin(), kChargeImages.end(),
                                 [state](const ChargeImage& row) { return row.state == state; });
    if (it == kChargeImages.end()) return;  // unknown states leave the display alone
    bar.SetVisible(true);
    status.SetBkImage(it->image);
}

void CMpDevicePowerUI::ShowPhoneType(uint8_t type, CControlUI& phone) {
    const auto it = std::find_if(kPhoneTypes.begin(), kPhoneTypes.end(),
                                 [type](const PhoneType& row) { return row.type == type; });
    const PhoneType& row = it == kPhoneTypes.end() ? kNoPhone : *it;
    phone.SetToolTip(row.toolTip);
    phone.SetBkImage(row.image);
}

void CMpDevicePowerUI::ShowPowerLayout(bool show) {
    if (CControlUI* layout = Part(kPowerLayoutName)) layout->SetVisible(show);
}

bool CMpDevicePowerUI::ShowWirelessLogo(bool show) {
    CControlUI* logo = Part(kWirelessLogoName);
    if (!logo) return false;
    logo->SetVisible(show);
    return true;
}

}  // namespace q208

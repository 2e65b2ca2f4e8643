#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "devices/base/IDevicePowerPanel.h"
#include "ui/CHorizontalLayoutUI.h"

namespace q208 {

// A device's power panel in the main window: battery level as a number and a bar, the
// charge state as an image, whether the device is on the wireless path and, for the mouse
// pad, the phone type the pad reports. Fed with the 6-byte status block of the device.
class CMpDevicePowerUI : public CHorizontalLayoutUI, public IDevicePowerPanel {
public:
    static constexpr const char* kClassName = "MpDevicePower";
    static constexpr const char* kLayoutFile = "XML/CustomControlXML/MpDevicePower.xml";

    static constexpr const char* kPowerLayoutName = "device_power_Layout";
    static constexpr const char* kValueName = "device_power_value";
    static constexpr const char* kWirelessLogoName = "device_wuxian_logo";
    static constexpr const char* kProgressName = "device_Power_progress";
    static constexpr const char* kStatusName = "device_power_status";
    static constexpr const char* kPhoneTypeName = "device_phone_type";

    // Bytes of the status block.
    static constexpr size_t kLevelByte = 0;
    static constexpr size_t kChargeByte = 1;
    static constexpr size_t kWirelessByte = 3;
    static constexpr size_t kPhoneTypeByte = 5;
    static constexpr size_t kBlockCapacity = 64;
    static constexpr int kMaxLevel = 100;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    // Tells the listeners that the panel became the shown one.
    bool Activate() override;

    void SetKindAndRole(int kind, int role) {
        kind_ = kind;
        role_ = role;
    }
    int GetKind() const { return kind_; }
    int GetRole() const { return role_; }
    int GetBatteryLevel() const { return batteryLevel_; }

    void ShowStatus(const uint8_t* block, size_t length) override;
    void ShowPowerLayout(bool show) override;
    bool ShowWirelessLogo(bool show) override;

private:
    CControlUI* Part(std::string_view name) const;
    void ShowChargeState(uint8_t state, CControlUI& bar, CControlUI& status);
    void ShowPhoneType(uint8_t type, CControlUI& phone);

    int batteryLevel_ = 0;
    int kind_ = 0;
    int role_ = 0;
};

}  // namespace q208

#include "devices/RegisterDeviceControls.h"

#include "devices/base/CDeviceOptionUI.h"
#include "devices/keyboard/CVantorixKeyboardDevice.h"
#include "devices/mouse/CVantorixMouseDevice.h"
#include "devices/headset/CVantorixQV2907Device.h"
#include "devices/mousepad/CVantorixMousePadDevice.h"
#include "headset_panels/CMagicControlUI.h"
#include "headset_panels/CVoice2907ControlUI.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "ui/CControlFactory.h"

namespace q208 {

void RegisterDeviceControls() {
    auto& factory = CControlFactory::GetInstance();
    factory.RegistControl(CVantorixUSBDevice::kClassName, [] { return std::make_unique<CVantorixUSBDevice>(); });
    factory.RegistControl(CVantorixKeyboardDevice::kClassName, [] { return std::make_unique<CVantorixKeyboardDevice>(); });
    factory.RegistControl(CVantorixMouseDevice::kClassName, [] { return std::make_unique<CVantorixMouseDevice>(); });
    factory.RegistControl(CVantorixMousePadDevice::kClassName,
                          [] { return std::make_unique<CVantorixMousePadDevice>(); });
    factory.RegistControl(CVantorixQV2907Device::kClassName,
                          [] { return std::make_unique<CVantorixQV2907Device>(); });
    factory.RegistControl(CMagicControlUI::kClassName, [] { return std::make_unique<CMagicControlUI>(); });
    factory.RegistControl(CVoice2907ControlUI::kClassName, [] { return std::make_unique<CVoice2907ControlUI>(); });
    factory.RegistControl(CDeviceOptionUI::kClassName, [] { return std::make_unique<CDeviceOptionUI>(); });
}

}  // namespace q208

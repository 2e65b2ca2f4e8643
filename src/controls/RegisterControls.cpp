#include "controls/RegisterControls.h"

#include "controls/CDeviceKeyButtonUI.h"
#include "controls/CSelectPanelUI.h"
#include "ui/CControlFactory.h"

namespace q208 {

void RegisterControls() {
    auto& factory = CControlFactory::GetInstance();
    factory.RegistControl(CSelectPanelUI::kClassName, [] { return std::make_unique<CSelectPanelUI>(); });
    factory.RegistControl(IDeviceKeyButton::kClassName, [] { return std::make_unique<CDeviceKeyButtonUI>(); });
}

}  // namespace q208

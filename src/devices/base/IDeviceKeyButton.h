#pragma once

#include <cstdint>
#include <string>

namespace q208 {

// What a device object needs of a key button on its page. The key button control (in the
// controls library) implements it and hands it out through GetInterface(kInterfaceName).
class IDeviceKeyButton {
public:
    static constexpr const char* kClassName = "DeviceKeyButton";
    static constexpr const char* kInterfaceName = "DeviceKeyButton";

    virtual ~IDeviceKeyButton() = default;

    // colour is 0x00RRGGBB; intensity 0 … 255. A button repaints itself only when they change.
    virtual void SetKeyLight(uint32_t colour, int intensity, bool on) = 0;
    virtual void SetSelected(bool selected) = 0;
    virtual bool IsSelected() const = 0;
    virtual void SetKeySetImageHidden(bool hidden) = 0;
    // What the key does when it no longer has its factory function (empty: it has it); a
    // button that does not show it may ignore it.
    virtual void SetAssignmentText(std::string /*text*/) {}
};

}  // namespace q208

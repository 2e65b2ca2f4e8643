#pragma once

#include "devices/base/IDeviceKeyButton.h"
#include "ui/CButtonUI.h"

namespace q208 {

// A key or LED position of a device page. It draws the key's light (the light image tinted
// with the colour and intensity the device gives it) and, for a reassigned key, a marker.
// A double click sends "dbclick".
class CDeviceKeyButtonUI : public CButtonUI, public IDeviceKeyButton {
public:
    static constexpr const char* kDoubleClick = "dbclick";
    static constexpr uint32_t kInitialLightColour = 255;
    static constexpr int kInitialLightIntensity = 200;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;
    void PaintBkColor(IRenderTarget& target) override;
    void PaintStatusImage(IRenderTarget& target) override;

    void SetSelected(bool selected) override;
    bool IsSelected() const override { return selected_; }
    void SetKeyLight(uint32_t colour, int intensity, bool on) override;
    void SetKeySetImageHidden(bool hidden) override;
    void SetAssignmentText(std::string text) override;
    // A key reads as its name and, when reassigned, what it does now ("A — Macro 1"); a light
    // strip, which takes no clicks, is part of the picture only.
    std::string GetAccessName() const override;
    AccessRole GetAccessRole() const override;

    bool IsKeySetImageHidden() const { return keySetHidden_; }
    bool IsLightOn() const { return lightOn_; }
    uint32_t GetLightColour() const { return lightColour_; }
    int GetLightIntensity() const { return lightIntensity_; }
    const std::string& GetLightImage() const { return lightImage_.raw; }
    const std::string& GetKeySetImage() const { return keySetImage_.raw; }

private:
    void FillLight(IRenderTarget& target);
    void FillKeySetMark(IRenderTarget& target);
    void DrawTinted(IRenderTarget& target, const ImageAttr& image, uint32_t colour, int intensity, bool on);

    ImageAttr lightImage_;
    ImageAttr keySetImage_;
    bool keySetHidden_ = true;
    bool lightOn_ = false;
    uint32_t lightColour_ = kInitialLightColour;
    int lightIntensity_ = kInitialLightIntensity;
    bool selected_ = false;
    std::string assignment_;
};

}  // namespace q208

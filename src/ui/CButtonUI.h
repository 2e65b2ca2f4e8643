#pragma once

#include "ui/CLabelUI.h"

namespace q208 {

// A label that reacts to the pointer: "click" when the button is released inside it.
class CButtonUI : public CLabelUI {
public:
    // Buttons centre their text unless the layout says otherwise.
    CButtonUI() { SetTextStyle(DT_SINGLELINE | DT_CENTER | DT_VCENTER); }
    std::string GetClass() const override { return "ButtonUI"; }
    AccessRole GetAccessRole() const override;
    std::vector<std::string_view> GetAccessActions() const override;
    bool DoAccessAction(std::string_view action) override;
    void* GetInterface(std::string_view name) override;

    bool Activate() override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(IRenderTarget& target) override;
    void PaintStatusImage(IRenderTarget& target) override;
    void PaintText(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

    bool IsHot() const { return hot_; }
    bool IsPushed() const { return pushed_; }
    const std::string& GetNormalImage() const { return normalImage_.raw; }
    bool SetNormalImage(std::string_view image) { return SetImage(normalImage_, image); }
    const std::string& GetHotImage() const { return hotImage_.raw; }
    bool SetHotImage(std::string_view image) { return SetImage(hotImage_, image); }
    const std::string& GetPushedImage() const { return pushedImage_.raw; }
    bool SetPushedImage(std::string_view image) { return SetImage(pushedImage_, image); }
    const std::string& GetDisabledImage() const { return disabledImage_.raw; }
    bool SetDisabledImage(std::string_view image) { return SetImage(disabledImage_, image); }
    bool SetForeImage(std::string_view image) { return SetImage(foreImage_, image); }
    void SetHotBkColor(ARGB c) { hotBkColor_ = c; Invalidate(); }
    void SetPushedBkColor(ARGB c) { pushedBkColor_ = c; Invalidate(); }
    void SetDisabledBkColor(ARGB c) { disabledBkColor_ = c; Invalidate(); }
    void SetHotTextColor(ARGB c) { hotTextColor_ = c; Invalidate(); }
    void SetPushedTextColor(ARGB c) { pushedTextColor_ = c; Invalidate(); }

protected:
    bool TakesKeyboardFocus() const override { return true; }
    bool SetImage(ImageAttr& slot, std::string_view image);
    bool captured_ = false;

private:
    bool hot_ = false;
    bool pushed_ = false;
    ImageAttr normalImage_, hotImage_, pushedImage_, disabledImage_, foreImage_;
    ARGB hotBkColor_ = 0, pushedBkColor_ = 0, disabledBkColor_ = 0;
    ARGB hotTextColor_ = 0, pushedTextColor_ = 0;
};

}  // namespace q208

#pragma once

#include "ui/CButtonUI.h"

namespace q208 {

// A check box or, with a group name, a radio button: selecting one option of a group
// clears the others of the same window. A click sends "click", then "selectchanged".
class COptionUI : public CButtonUI {
public:
    ~COptionUI() override;

    std::string GetClass() const override { return "OptionUI"; }
    AccessRole GetAccessRole() const override;
    std::vector<std::string_view> GetAccessActions() const override;
    bool DoAccessAction(std::string_view action) override;
    bool IsAccessCheckable() const override { return true; }
    bool IsAccessChecked() const override { return IsSelected(); }
    void* GetInterface(std::string_view name) override;

    const std::string& GetGroup() const { return group_; }
    void SetGroup(std::string group);
    bool IsSelected() const { return selected_; }
    // "selectchanged" for this option and for the group members it clears, when triggerEvent.
    virtual void Selected(bool selected, bool triggerEvent = true);

    bool Activate() override;
    void PaintBkColor(IRenderTarget& target) override;
    void PaintStatusImage(IRenderTarget& target) override;
    void PaintText(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

    bool SetSelectedImage(std::string_view image) { return SetImage(selectedImage_, image); }
    bool SetSelectedHotImage(std::string_view image) { return SetImage(selectedHotImage_, image); }
    void SetSelectedBkColor(ARGB c) { selectedBkColor_ = c; Invalidate(); }
    void SetSelectedTextColor(ARGB c) { selectedTextColor_ = c; Invalidate(); }

private:
    std::string group_;
    bool selected_ = false;
    ImageAttr selectedImage_, selectedHotImage_;
    ARGB selectedBkColor_ = 0;
    ARGB selectedTextColor_ = 0;
};

}  // namespace q208

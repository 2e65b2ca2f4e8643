#pragma once

#include "ui/CLabelUI.h"

namespace q208 {

// A bar filled to the share of its value between minimum and maximum, left to right
// (horizontal) or bottom to top.
class CProgressUI : public CLabelUI {
public:
    std::string GetClass() const override { return "ProgressUI"; }
    AccessRole GetAccessRole() const override { return AccessRole::ProgressBar; }
    std::optional<AccessValue> GetAccessValue() const override { return AccessValue{value_, min_, max_}; }
    void* GetInterface(std::string_view name) override;

    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal);
    int GetMinValue() const { return min_; }
    void SetMinValue(int value);
    int GetMaxValue() const { return max_; }
    void SetMaxValue(int value);
    int GetValue() const { return value_; }
    // Clamped to the range.
    virtual void SetValue(int value);
    bool SetForeImage(std::string_view image);
    void SetForeColor(ARGB color);

    void PaintStatusImage(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

protected:
    // The bar itself: the whole control, less what a derived class keeps beside it.
    virtual UiRect BarRect() const { return rcItem_; }
    // The filled part of the bar.
    UiRect ForeRect() const;

private:
    bool horizontal_ = true;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    ImageAttr foreImage_;
    ARGB foreColor_ = 0;
};

}  // namespace q208

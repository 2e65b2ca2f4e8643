#pragma once

#include "ui/CLabelUI.h"

namespace q208 {

// A label for running text: wraps at word boundaries and starts at the top.
class CTextUI : public CLabelUI {
public:
    CTextUI() { SetTextStyle(DT_WORDBREAK | DT_TOP); }
    std::string GetClass() const override { return "TextUI"; }
    void* GetInterface(std::string_view name) override {
        return name == "Text" ? this : CLabelUI::GetInterface(name);
    }
};

}  // namespace q208

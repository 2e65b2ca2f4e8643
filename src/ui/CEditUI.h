#pragma once

#include <optional>

#include "ui/CLabelUI.h"

namespace q208 {

// A single-line text field. While focused, the window's surface may place a native text
// field over it (its changes come back through ApplyEditedText); without one, typed
// characters and Backspace edit the text at its end. Limits: a maximum number of
// characters, digits only, and a numeric range applied when the edit loses focus or Enter
// is pressed. Sends "textchanged", "return", and (through the manager) "setfocus"/"killfocus".
class CEditUI : public CLabelUI {
public:
    CEditUI();

    std::string GetClass() const override { return "EditUI"; }
    AccessRole GetAccessRole() const override { return AccessRole::TextEntry; }
    bool IsAccessEditable() const override { return IsEnabled() && !IsReadOnly(); }
    void* GetInterface(std::string_view name) override;

    int GetMaxChar() const { return maxChar_; }
    void SetMaxChar(int maxChar);
    bool IsNumberOnly() const { return numberOnly_; }
    void SetNumberOnly(bool numberOnly);
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool IsPasswordMode() const { return password_; }
    void SetPasswordMode(bool password) { password_ = password; Invalidate(); }
    // A capture-only edit shows what the program puts into it: focusing it opens no native
    // text field and typed keys do not change it (the input hook takes them meanwhile).
    bool IsCaptureOnly() const { return captureOnly_; }
    void SetCaptureOnly(bool captureOnly) { captureOnly_ = captureOnly; }
    // Numeric range of the value; applied to a number when the edit is committed.
    void SetRange(long long minValue, long long maxValue);
    void ClearRange() { range_.reset(); }
    std::optional<std::pair<long long, long long>> GetRange() const { return range_; }

    // Text from a native field or the keyboard; limits are enforced, "textchanged" sent
    // when the text changed. Returns the text kept.
    std::string ApplyEditedText(const std::string& text);
    // Applies the range (and "textchanged" if that changed the text).
    void Commit();

    void DoEvent(TEventUI& event) override;
    void PaintText(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

protected:
    bool TakesKeyboardFocus() const override { return true; }

private:
    std::string Filter(const std::string& text) const;
    void BeginNativeEdit();
    void EndNativeEdit();

    int maxChar_ = 255;
    bool numberOnly_ = false;
    bool readOnly_ = false;
    bool password_ = false;
    bool captureOnly_ = false;
    std::optional<std::pair<long long, long long>> range_;
};

}  // namespace q208

#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "editors/KeyAssignment.h"
#include "ui/CHorizontalLayoutUI.h"

namespace q208 {

class CComboUI;
class CEditUI;

// The key assignment panel of the keyboard and mouse pages: the category drop-down, one
// page of controls per category, the key capture field and the panel's buttons. It shows
// and builds assignment records (KeyAssignment holds the logic); storing a record in the
// profile and writing it to the device are the key editor's (CKeyAssignEditor).
//
// The page element may name the categories its device offers ("categories", a comma list
// of category numbers); the others leave the drop-down.
//
// UI thread only.
class CKeySetControlUI : public CHorizontalLayoutUI {
public:
    static constexpr const char* kClassName = "KeySetControl";
    static constexpr const char* kSubLayoutName = "KeySetControlUI";
    static constexpr const char* kLayoutFile = "XML/CustomControlXML/KeySetControl.xml";
    static constexpr const char* kCaptureEdit = "keyset_keyboard_text_edit";
    static constexpr const char* kCategoryCombo = "keyset_function_combo";
    static constexpr const char* kMacroCombo = "keyset_macro_combo";
    static constexpr const char* kMacroModeCombo = "keyset_macro_over_combo";
    static constexpr const char* kModifierPrefix = "key_ComBox_check_";

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

    // ---- the panel's operations ----
    // Selects the category of `current` and fills its controls; the editor body hides when
    // the category is not offered (the keyboard's own function keys).
    void ShowAssignment(const KeyAssignmentHalf& current, const KeyAssignmentHalf& defaults);
    // The record of the selected category, also kept as the record being edited; the edits
    // are rewritten with the values it stores.
    KeyAssignmentHalf BuildAssignment();
    // A key from the input hook; false when it is not a keyboard key (nothing changes).
    bool CaptureKey(uint16_t scanCode, bool extended);
    void FillMacroList(const std::vector<std::string>& names);
    void SetKeyText(std::string_view nameKey);
    // The device kind of the page (1 keyboard, 2 mouse): only they capture keys.
    void SetDeviceKind(int kind) { deviceKind_ = kind; }
    // The name of the selected key beside the title (plain text or a "%{language key}").
    void SetTitle(const std::string& text);

    // ---- the panel's own controls, as the main window passes them on ----
    // The category drop-down turned its page; the play-mode drop-down shows the cycle edit.
    void OnSelectionChanged(std::string_view controlName);
    void OnModifierSelected(int option);

    bool IsEditorShown() const;
    int SelectedCategory() const;
    int MacroCount() const { return static_cast<int>(macroNames_.size()); }
    const KeyAssignment& Model() const { return model_; }

private:
    CControlUI* Part(std::string_view name) const;
    CComboUI* Combo(std::string_view name) const;
    CEditUI* Edit(std::string_view name) const;
    int EditValue(std::string_view name) const;
    void SetEditValue(std::string_view name, int value);
    int ComboSelection(std::string_view name) const;
    void SelectCombo(std::string_view name, int index);
    int SelectedModifier() const;
    void SelectModifier(int option);
    void ApplyCategories();
    void ShowCategory(int category);
    void ShowMacroCycle(bool shown);
    KeyAssignment::Form ReadForm() const;
    void WriteForm(const KeyAssignment::Form& form);

    KeyAssignment model_;
    std::set<int> offered_;
    bool categoriesGiven_ = false;
    std::vector<std::string> macroNames_;
    std::string keyName_;
    int deviceKind_ = 0;
};

}  // namespace q208

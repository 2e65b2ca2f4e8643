#include "editors/CKeySetControlUI.h"

#include <charconv>

#include "ui/CComboUI.h"
#include "ui/CEditUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/COptionUI.h"
#include "ui/CTabLayoutUI.h"

namespace q208 {

namespace {

constexpr const char* kEditorBody = "keyset_layout";
constexpr const char* kCategoryPages = "function_switch_tablayout";
constexpr const char* kMacroCycleLayout = "keyset_macro_cycle_layout";
constexpr const char* kMacroCycleEdit = "keyset_macro_cycle_edit";
constexpr const char* kKeyName = "keyset_key_name";
constexpr const char* kNameLabel = "text_test";
constexpr int kKeyboardKind = 1;
constexpr int kMouseKind = 2;

// The edits of the numeric categories and the form fields they hold.
struct EditField {
    const char* name;
    int KeyAssignment::Form::*field;
};
constexpr EditField kEdits[] = {
    {"keyset_mouseswing_delay_edit", &KeyAssignment::Form::moveDelay},
    {"keyset_mouseswing_speed_edit", &KeyAssignment::Form::moveSpeed},
    {"keyset_mouseswing_num_edit", &KeyAssignment::Form::moveCount},
    {"keyset_mousewheel_delay_edit", &KeyAssignment::Form::wheelDelay},
    {"keyset_mousewheel_speed_edit", &KeyAssignment::Form::wheelSpeed},
    {"keyset_mousewheel_num_edit", &KeyAssignment::Form::wheelCount},
    {"keyset_mousefire_interval_edit", &KeyAssignment::Form::fireInterval},
    {"keyset_mousefire_num_edit", &KeyAssignment::Form::fireCount},
    {kMacroCycleEdit, &KeyAssignment::Form::macroCycle},
};

// The drop-downs and the form fields of their selection.
constexpr EditField kCombos[] = {
    {"keyset_mousekey_combo", &KeyAssignment::Form::mouseButton},
    {"keyset_mousedpi_combo", &KeyAssignment::Form::dpi},
    {"keyset_media_combo", &KeyAssignment::Form::media},
    {"keyset_system_combo", &KeyAssignment::Form::system},
    {"keyset_combokey_combo", &KeyAssignment::Form::combo},
    {"keyset_gunkey_combo", &KeyAssignment::Form::gunKey},
    {"keyset_mouseswing_combo", &KeyAssignment::Form::moveDirection},
    {"keyset_mousewheel_combo", &KeyAssignment::Form::wheelDirection},
    {CKeySetControlUI::kMacroCombo, &KeyAssignment::Form::macro},
    {CKeySetControlUI::kMacroModeCombo, &KeyAssignment::Form::macroMode},
};

int ParseInt(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string LanguageText(std::string_view key) { return "%{" + std::string(key) + "}"; }

}  // namespace

void* CKeySetControlUI::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

AttrResult CKeySetControlUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name != "categories") return CHorizontalLayoutUI::SetAttribute(name, value);
    offered_.clear();
    categoriesGiven_ = true;
    size_t start = 0;
    while (start <= value.size()) {
        const size_t comma = std::min(value.find(',', start), value.size());
        const std::string_view part = value.substr(start, comma - start);
        int number = -1;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (ec != std::errc{} || end != part.data() + part.size() || number < 0 || number >= kKeyCategoryCount)
            return AttrResult::Malformed;
        offered_.insert(number);
        start = comma + 1;
    }
    ApplyCategories();
    return AttrResult::Applied;
}

// The drop-down keeps the items of the offered categories, in the layout's order.
void CKeySetControlUI::ApplyCategories() {
    CComboUI* combo = Combo(kCategoryCombo);
    if (!combo || !categoriesGiven_) return;
    for (int i = combo->GetCount() - 1; i >= 0; --i) {
        CControlUI* item = combo->GetItemAt(i);
        if (item && !offered_.contains(ParseInt(item->GetUserData()))) combo->RemoveAt(i);
    }
}

CControlUI* CKeySetControlUI::Part(std::string_view name) const {
    return const_cast<CKeySetControlUI*>(this)->FindControl(
        [name](CControlUI* c) { return c->GetName() == name ? c : nullptr; }, UIFIND_ALL);
}

CComboUI* CKeySetControlUI::Combo(std::string_view name) const {
    CControlUI* c = Part(name);
    return c ? static_cast<CComboUI*>(c->GetInterface("Combo")) : nullptr;
}

CEditUI* CKeySetControlUI::Edit(std::string_view name) const {
    CControlUI* c = Part(name);
    return c ? static_cast<CEditUI*>(c->GetInterface("Edit")) : nullptr;
}

int CKeySetControlUI::EditValue(std::string_view name) const {
    const CControlUI* edit = Part(name);
    return edit ? ParseInt(edit->GetText()) : 0;
}

void CKeySetControlUI::SetEditValue(std::string_view name, int value) {
    if (CControlUI* edit = Part(name)) edit->SetText(std::to_string(value));
}

int CKeySetControlUI::ComboSelection(std::string_view name) const {
    const CComboUI* combo = Combo(name);
    return combo ? combo->GetCurSel() : KeyAssignment::kNone;
}

void CKeySetControlUI::SelectCombo(std::string_view name, int index) {
    if (CComboUI* combo = Combo(name)) combo->SelectItem(index, false, false);
}

int CKeySetControlUI::SelectedModifier() const {
    for (int n = 0; n < keytables::kModifierOptions; ++n) {
        auto* option = static_cast<COptionUI*>(Part(kModifierPrefix + std::to_string(n)));
        if (option && option->GetInterface("Option") && option->IsSelected()) return n;
    }
    return KeyAssignment::kNone;
}

void CKeySetControlUI::SelectModifier(int option) {
    for (int n = 0; n < keytables::kModifierOptions; ++n) {
        CControlUI* control = Part(kModifierPrefix + std::to_string(n));
        if (auto* check = control ? static_cast<COptionUI*>(control->GetInterface("Option")) : nullptr)
            check->Selected(n == option, false);
    }
}

int CKeySetControlUI::SelectedCategory() const {
    const CComboUI* combo = Combo(kCategoryCombo);
    const CControlUI* item = combo && combo->GetCurSel() >= 0 ? combo->GetItemAt(combo->GetCurSel()) : nullptr;
    return item ? ParseInt(item->GetUserData()) : KeyAssignment::kNone;
}

bool CKeySetControlUI::IsEditorShown() const {
    const CControlUI* body = Part(kEditorBody);
    return body && body->IsVisible();
}

void CKeySetControlUI::ShowCategory(int category) {
    CComboUI* combo = Combo(kCategoryCombo);
    const int item = combo ? combo->FindItemByUserData(std::to_string(category)) : -1;
    if (CControlUI* body = Part(kEditorBody)) body->SetVisible(item >= 0);
    if (item < 0) return;
    combo->SelectItem(item, false, false);
    if (CControlUI* pages = Part(kCategoryPages)) {
        pages->SetVisible(true);  // hidden until a key is shown
        static_cast<CTabLayoutUI*>(pages)->SelectItem(category, false);
    }
}

void CKeySetControlUI::ShowMacroCycle(bool shown) {
    if (CControlUI* layout = Part(kMacroCycleLayout)) layout->SetVisible(shown);
}

KeyAssignment::Form CKeySetControlUI::ReadForm() const {
    KeyAssignment::Form form;
    form.category = SelectedCategory();
    for (const EditField& edit : kEdits) form.*edit.field = EditValue(edit.name);
    for (const EditField& combo : kCombos) form.*combo.field = ComboSelection(combo.name);
    if (form.moveDirection < 0) form.moveDirection = 0;
    if (form.wheelDirection < 0) form.wheelDirection = 0;
    form.modifierOption = SelectedModifier();
    const CControlUI* text = Part(kCaptureEdit);
    form.keyName = text && !text->GetText().empty() ? std::string_view(keyName_) : std::string_view{};
    return form;
}

void CKeySetControlUI::WriteForm(const KeyAssignment::Form& form) {
    for (const EditField& edit : kEdits) SetEditValue(edit.name, form.*edit.field);
    for (const EditField& combo : kCombos) SelectCombo(combo.name, form.*combo.field);
    SelectModifier(form.modifierOption);
    SetKeyText(form.keyName);
    ShowMacroCycle(form.macroCycleShown);
}

void CKeySetControlUI::ShowAssignment(const KeyAssignmentHalf& current, const KeyAssignmentHalf& defaults) {
    const KeyAssignment::Form& form = model_.Show(current, defaults, MacroCount());
    WriteForm(form);
    ShowCategory(form.category);
}

KeyAssignmentHalf CKeySetControlUI::BuildAssignment() {
    KeyAssignment::Form form = ReadForm();
    const KeyAssignmentHalf record = model_.Build(form, MacroCount());
    // The user sees what is stored: a value past its field's mask reads back as the device has it.
    KeyAssignment::ShowStoredValues(record, form);
    for (const EditField& edit : kEdits) SetEditValue(edit.name, form.*edit.field);
    return record;
}

bool CKeySetControlUI::CaptureKey(uint16_t scanCode, bool extended) {
    if (deviceKind_ != kKeyboardKind && deviceKind_ != kMouseKind) return false;
    if (scanCode > 0xFF) return false;
    KeyAssignment::Form form = ReadForm();
    if (!model_.Capture({static_cast<uint8_t>(scanCode), extended}, form)) return false;
    SelectModifier(form.modifierOption);
    SetKeyText(form.keyName);
    return true;
}

void CKeySetControlUI::FillMacroList(const std::vector<std::string>& names) {
    macroNames_ = names;
    CComboUI* combo = Combo(kMacroCombo);
    if (!combo) return;
    combo->RemoveAll();
    for (const std::string& name : names) {
        auto item = std::make_unique<CListLabelElementUI>();
        item->SetText(name);
        combo->Add(std::move(item));
    }
    combo->SelectItem(KeyAssignment::kNone, false, false);
}

void CKeySetControlUI::SetKeyText(std::string_view nameKey) {
    keyName_ = std::string(nameKey);
    CControlUI* label = Part(kNameLabel);
    std::string text;
    if (!nameKey.empty()) {
        if (label) {
            label->SetText(LanguageText(nameKey));
            text = label->GetText();
        } else {
            text = LanguageText(nameKey);
        }
    }
    if (CControlUI* edit = Part(kCaptureEdit)) edit->SetText(text);
}

void CKeySetControlUI::SetTitle(const std::string& text) {
    if (CControlUI* name = Part(kKeyName)) name->SetText(text);
}

void CKeySetControlUI::OnSelectionChanged(std::string_view controlName) {
    if (controlName == kCategoryCombo) {
        const int category = SelectedCategory();
        if (CControlUI* pages = Part(kCategoryPages); pages && category >= 0)
            static_cast<CTabLayoutUI*>(pages)->SelectItem(category, false);
    } else if (controlName == kMacroModeCombo) {
        ShowMacroCycle(ComboSelection(kMacroModeCombo) == keytables::kRepeatMode);
    }
}

void CKeySetControlUI::OnModifierSelected(int option) {
    // A modifier chosen by hand keeps the key captured last.
    if (option >= 0 && option < keytables::kModifierOptions) SelectModifier(option);
}

}  // namespace q208

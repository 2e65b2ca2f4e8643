#include "tools/AssignArguments.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "tools/CtlDeviceCommand.h"

namespace q208 {

namespace {

struct CategoryName {
    const char* name;
    KeyCategory category;
    size_t arguments;  // after the category; kOptional: one more may follow
};
constexpr std::array kCategories{
    CategoryName{"disabled", KeyCategory::Disabled, 0}, CategoryName{"default", KeyCategory::Disabled, 0},
    CategoryName{"mouse", KeyCategory::MouseButton, 1}, CategoryName{"move", KeyCategory::MouseMove, 4},
    CategoryName{"wheel", KeyCategory::MouseWheel, 4},  CategoryName{"dpi", KeyCategory::Dpi, 1},
    CategoryName{"fire", KeyCategory::Fire, 2},         CategoryName{"key", KeyCategory::Keyboard, 1},
    CategoryName{"media", KeyCategory::Media, 1},       CategoryName{"system", KeyCategory::System, 1},
    CategoryName{"macro", KeyCategory::Macro, 2},       CategoryName{"gun", KeyCategory::GunKey, 1},
    CategoryName{"combo", KeyCategory::Combo, 1},
};

// Modifier prefixes of `key` and their options.
struct ModifierName {
    const char* name;
    int option;
};
constexpr ModifierName kModifiers[] = {{"ctrl", 1}, {"shift", 2}, {"alt", 3}, {"win", 4}};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A table entry's short name: its language key after the category's prefix.
std::string ShortName(std::string_view nameKey) {
    const size_t last = nameKey.find('_', std::string_view("keyset_").size());
    return std::string(last == std::string_view::npos ? nameKey : nameKey.substr(last + 1));
}

std::optional<int> EntryByName(KeyCategory category, const std::string& name) {
    const auto table = keytables::CategoryTable(category);
    for (size_t i = 0; i < table.size(); ++i) {
        if (ShortName(table[i].nameKey) == Lower(name)) return static_cast<int>(i);
    }
    if (category == KeyCategory::Dpi) {
        if (const auto n = ctl::ParseNumber(name, 1, static_cast<int>(table.size()))) return *n - 1;
    }
    return std::nullopt;
}

bool Number(const std::string& text, int low, int high, int& into, const char* what, std::string& error) {
    const auto value = ctl::ParseNumber(text, low, high);
    if (!value) {
        error = std::string(what) + " must be " + std::to_string(low) + " … " + std::to_string(high) + ", got '" + text + "'";
        return false;
    }
    into = *value;
    return true;
}

bool ParseKey(const std::string& text, KeyAssignment& model, KeyAssignment::Form& form, std::string& error) {
    std::string name = text;
    form.modifierOption = 0;
    for (const ModifierName& modifier : kModifiers) {
        const std::string prefix = std::string(modifier.name) + "+";
        if (Lower(name).rfind(prefix, 0) == 0 && name.size() > prefix.size()) {
            form.modifierOption = modifier.option;
            name = name.substr(prefix.size());
            break;
        }
    }
    const auto position = keytables::FindKeyByName(name);
    if (!position || !model.SelectKey(*position, form)) {
        error = "'" + name + "' is no keyboard key of the key table (for example A, F1, Esc, Num 1, LCtrl)";
        return false;
    }
    return true;
}

bool ParseSwing(const std::vector<std::string>& a, bool wheel, KeyAssignment::Form& form, std::string& error) {
    int& direction = wheel ? form.wheelDirection : form.moveDirection;
    const std::string dir = Lower(a[1]);
    if (wheel && (dir == "up" || dir == "down")) {
        direction = dir == "down" ? 1 : 0;
    } else if (!Number(a[1], 0, 1, direction, wheel ? "the direction (up, down, 0, 1)" : "DIRECTION", error)) {
        return false;
    }
    return Number(a[2], 0, 15, wheel ? form.wheelDelay : form.moveDelay, "DELAY", error) &&
           Number(a[3], 0, 15, wheel ? form.wheelSpeed : form.moveSpeed, "SPEED", error) &&
           Number(a[4], 0, 127, wheel ? form.wheelCount : form.moveCount, "COUNT", error);
}

}  // namespace

std::string AssignArguments::NamesOf(KeyCategory category) {
    std::string names;
    for (const KeyFunction& entry : keytables::CategoryTable(category)) names += (names.empty() ? "" : ", ") + ShortName(entry.nameKey);
    return names;
}

bool AssignArguments::Parse(const std::vector<std::string>& a, KeyAssignment& model, KeyAssignment::Form& form,
                            std::string& error) {
    const auto it = std::find_if(kCategories.begin(), kCategories.end(),
                                 [&](const CategoryName& c) { return !a.empty() && Lower(a[0]) == c.name; });
    if (it == kCategories.end()) {
        error = "CATEGORY is one of disabled, mouse, move, wheel, dpi, fire, key, media, system, macro, gun, combo, default";
        return false;
    }
    const bool optionalTimes = it->category == KeyCategory::Macro && a.size() == it->arguments + 2;
    if (a.size() != it->arguments + 1 && !optionalTimes) {
        error = std::string(it->name) + " takes " + std::to_string(it->arguments) + " argument(s)";
        return false;
    }
    form.category = static_cast<int>(it->category);
    switch (it->category) {
    case KeyCategory::MouseButton:
    case KeyCategory::Dpi:
    case KeyCategory::Media:
    case KeyCategory::System:
    case KeyCategory::Combo: {
        const auto entry = EntryByName(it->category, a[1]);
        if (!entry) {
            error = "'" + a[1] + "' is not one of " + NamesOf(it->category);
            return false;
        }
        form.mouseButton = form.dpi = form.media = form.system = form.combo = *entry;
        return true;
    }
    case KeyCategory::MouseMove: return ParseSwing(a, false, form, error);
    case KeyCategory::MouseWheel: return ParseSwing(a, true, form, error);
    case KeyCategory::Fire:
        return Number(a[1], 0, 255, form.fireInterval, "INTERVAL", error) &&
               Number(a[2], 0, 255, form.fireCount, "COUNT", error);
    case KeyCategory::Keyboard: return ParseKey(a[1], model, form, error);
    case KeyCategory::Macro:
        if (!Number(a[1], 0, 255, form.macro, "INDEX", error) ||
            !Number(a[2], 0, keytables::kMacroModes - 1, form.macroMode, "MODE", error))
            return false;
        if (form.macroMode == keytables::kRepeatMode && !optionalTimes) {
            error = "mode 4 repeats the macro: give TIMES after it";
            return false;
        }
        return !optionalTimes || Number(a[3], 0, 255, form.macroCycle, "TIMES", error);
    case KeyCategory::GunKey: return Number(a[1], 0, keytables::kGunKeyPresets - 1, form.gunKey, "N", error);
    default: return true;
    }
}

}  // namespace q208

#include "app/LanguageSettings.h"

#include <json/value.h>

#include <algorithm>
#include <cstdlib>
#include <array>
#include <utility>

#include "platform/Paths.h"
#include "platform/Trace.h"
#include "profile/FileNotices.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"

namespace q208 {

namespace {

// Languages that bring their own display font, by position in Language.config.
struct LanguageFont {
    int index;
    const char* face;
};
constexpr std::array<LanguageFont, 3> kLanguageFonts{{
    {15, "Noto Sans Thai"},
    {0, "汉仪菱心体简"},
    {2, "Noto Sans CJK TC Regular"},
}};
constexpr const char* kLatinFont = "Verdana Unicode MS";

// The program's numbered fonts: id, size, underlined, bold.
struct FontSlot {
    int id;
    int size;
    bool underline;
    bool bold;
};
constexpr std::array<FontSlot, 12> kFontSlots{{
    {1, 14, true, false},
    {2, 18, false, false},
    {3, 30, false, false},
    {4, 16, false, false},
    {5, 20, false, false},
    {6, 22, false, false},
    {7, 14, false, false},
    {8, 12, false, false},
    {9, 11, false, false},
    {10, 10, false, false},
    {11, 28, false, false},
    {50, 18, false, true},
}};

const LanguageFont* OwnFont(int index) {
    const auto it = std::find_if(kLanguageFonts.begin(), kLanguageFonts.end(),
                                 [index](const LanguageFont& f) { return f.index == index; });
    return it == kLanguageFonts.end() ? nullptr : &*it;
}

}  // namespace

LanguageSettings::LanguageSettings(std::filesystem::path defaultDataFolder, std::filesystem::path settingsFile)
    : configFile_(std::move(defaultDataFolder) / kConfigFileName), settingsFile_(std::move(settingsFile)) {}

std::vector<LanguageEntry> LanguageSettings::ReadLanguageConfig(const std::filesystem::path& file) {
    const Json::Value document = ReadJsonValue(file);
    const Json::Value& list = json::Find(document, "Language");
    if (!list.isArray()) {
        Trace("Language.config missing or without a \"Language\" list: %s", file.c_str());
        return {};
    }
    std::vector<LanguageEntry> entries;
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const Json::Value& item = list[i];
        LanguageEntry entry;
        entry.name = json::ToString(json::Find(item, "Language_name"));
        entry.file = json::ToString(json::Find(item, "Language_file"));
        entry.text = json::ToString(json::Find(item, "Language_text"));
        entry.id = json::ToInt(json::Find(item, "Language_ID"));
        if (entry.file.empty()) {
            // Keeps the positions of the entries after it: they are the saved indexes.
            Trace("Language.config entry %u has no language file", i);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<LanguageEntry> LanguageSettings::Entries() const { return ReadLanguageConfig(configFile_); }

int LanguageSettings::SavedLanguageId() const {
    const Json::Value document = ReadSettings(settingsFile_).value;
    const Json::Value& value = json::Find(document, kSettingsKey);
    if (value.isNull()) return kDefaultLanguageId;
    if (!value.isIntegral()) {
        Trace("settings: \"LANGUAGE\" is not a number; using %d", kDefaultLanguageId);
        return kDefaultLanguageId;
    }
    return json::ToInt(value);
}

int LanguageSettings::SavedLanguageIndex() const {
    const int id = SavedLanguageId();
    const std::vector<LanguageEntry> entries = Entries();
    const auto it = std::find_if(entries.begin(), entries.end(), [id](const LanguageEntry& e) { return e.id == id; });
    if (it != entries.end()) return static_cast<int>(it - entries.begin());
    return IndexForLocale(entries, SystemLocale());
}

std::string LanguageSettings::SystemLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return value;
    }
    return {};
}

int LanguageSettings::IndexForLocale(const std::vector<LanguageEntry>& entries, const std::string& locale) {
    // A first start (no saved language) follows the desktop's language when the program has
    // it, else English: a language whose glyphs the desktop may lack is never forced on it.
    struct LocaleName {
        const char* prefix;
        const char* name;
    };
    static constexpr LocaleName kLocaleNames[] = {{"zh_TW", "tc"}, {"zh_HK", "tc"}, {"zh", "cn"}, {"en", "en"}};
    const auto indexOf = [&](const std::string& name) {
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const LanguageEntry& e) { return e.name == name; });
        return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
    };
    for (const LocaleName& entry : kLocaleNames) {
        if (locale.rfind(entry.prefix, 0) == 0) {
            if (const int index = indexOf(entry.name); index >= 0) return index;
            break;
        }
    }
    const int english = indexOf("en");
    return english >= 0 ? english : 0;
}

std::optional<std::string> LanguageSettings::FontForLanguage(int next, int applied) {
    if (const LanguageFont* own = OwnFont(next)) return own->face;
    // Leaving a language with its own font (or having none yet) returns to the Latin font.
    if (applied == -1 || OwnFont(applied)) return std::string(kLatinFont);
    return std::nullopt;
}

void LanguageSettings::ApplyFonts(CPaintManagerUI& manager, const std::string& face) {
    manager.RemoveAllFonts(true);
    manager.AddFont(0, face, 15, false, false, false, true);
    manager.SetDefaultFont(face, 14, false, false, false, true);
    for (const FontSlot& slot : kFontSlots) {
        manager.AddFont(slot.id, face, slot.size, slot.bold, slot.underline, false, true);
    }
}

void LanguageSettings::Select(int index, CPaintManagerUI* manager) {
    const bool changed = Apply(index, manager);
    // Copied: an observer may remove itself.
    const auto observers = observers_;
    for (const auto& [handle, observer] : observers) observer(index, changed);
}

bool LanguageSettings::Apply(int index, CPaintManagerUI* manager) {
    if (index == applied_) return false;
    if (index < 0) {
        Trace("language index %d refused", index);
        return false;
    }
    const std::vector<LanguageEntry> entries = Entries();
    if (static_cast<size_t>(index) >= entries.size()) {
        // Nothing to load: the skin's own texts and fonts stay.
        Trace("language %d is not in Language.config", index);
        applied_ = index;
        return true;
    }
    if (manager) {
        if (const auto face = FontForLanguage(index, applied_)) ApplyFonts(*manager, *face);
    }
    applied_ = index;
    const LanguageEntry& entry = entries[static_cast<size_t>(index)];
    CResourceManager& resources = CResourceManager::GetInstance();
    resources.SetLanguage(entry.name);
    if (!entry.file.empty() && !resources.LoadLanguage(entry.file)) {
        Trace("language file %s could not be loaded", entry.file.c_str());
    }
    resources.ReloadText();
    SaveLanguageId(entry.id);
    return true;
}

JsonReadResult LanguageSettings::ReadSettings(const std::filesystem::path& file) {
    JsonReadResult read = ReadJsonFile(file);
    if (read.status == JsonReadStatus::Unreadable) {
        FileNotices::Note({file, FileNoticeKind::Unreadable, read.reason});
    } else if (read.status == JsonReadStatus::Invalid) {
        FileNotices::Note({file, FileNoticeKind::Unreadable, "not valid JSON"});
    }
    return read;
}

// The file to write: the settings file itself, or the regular file a link there points to
// (a link the user made stays a link). Empty when the link leads nowhere usable.
std::filesystem::path LanguageSettings::WritableSettingsFile() const {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(settingsFile_, error))) return settingsFile_;
    const std::filesystem::path target = std::filesystem::canonical(settingsFile_, error);
    if (error || !std::filesystem::is_regular_file(target, error)) {
        Trace("settings file %s is a link to no regular file; the language is not saved", settingsFile_.c_str());
        return {};
    }
    return target;
}

void LanguageSettings::SaveLanguageId(int id) const {
    const std::filesystem::path file = WritableSettingsFile();
    if (file.empty()) return;
    const JsonReadResult read = ReadSettings(file);
    if (read.status == JsonReadStatus::Unreadable || read.status == JsonReadStatus::Invalid) {
        // A settings file the program could not read is left for the user, never replaced.
        Trace("settings file %s could not be read; the language is not saved", file.c_str());
        return;
    }
    Json::Value document = read.value;
    if (!document.isNull() && !document.isObject()) {
        Trace("settings file %s is not an object; the language is not saved", file.c_str());
        return;
    }
    const Json::Value& stored = json::Find(document, kSettingsKey);
    if (stored.isIntegral() && json::ToInt(stored) == id) return;  // nothing changed: nothing written
    json::Member(document, kSettingsKey) = id;
    EnsureFolder(file.parent_path());
    if (WriteJsonFile(document, file) == 0) Trace("写成功！");
}

int LanguageSettings::AddObserver(Observer observer) {
    const int handle = nextObserver_++;
    observers_.emplace_back(handle, std::move(observer));
    return handle;
}

void LanguageSettings::RemoveObserver(int handle) {
    std::erase_if(observers_, [handle](const auto& entry) { return entry.first == handle; });
}

}  // namespace q208

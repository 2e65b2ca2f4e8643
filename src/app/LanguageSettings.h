#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "profile/JsonFile.h"

namespace q208 {

class CPaintManagerUI;

// One language of Language.config.
struct LanguageEntry {
    std::string name;  // "Language_name": handed to the resource manager
    std::string file;  // "Language_file": the skin's language file
    std::string text;  // "Language_text": language key of the name shown in the settings list
    int id = 0;        // "Language_ID": what the settings file remembers
};

// The program's language: which one is saved, which one is applied, and the fonts that
// go with it. Observers hear of every selection, also of the language already applied,
// so that devices and child windows can refresh what they show.
class LanguageSettings {
public:
    static constexpr int kDefaultLanguageId = 520;
    static constexpr const char* kConfigFileName = "Language.config";
    static constexpr const char* kSettingsKey = "LANGUAGE";

    // `defaultDataFolder` holds Language.config; `settingsFile` keeps the choice.
    LanguageSettings(std::filesystem::path defaultDataFolder, std::filesystem::path settingsFile);

    // The entries of a Language.config; empty (traced) when the file is missing, malformed
    // or has no "Language" array. Entries without a file name are skipped.
    static std::vector<LanguageEntry> ReadLanguageConfig(const std::filesystem::path& file);
    std::vector<LanguageEntry> Entries() const;

    // The saved "LANGUAGE" value, 520 when absent or unreadable.
    int SavedLanguageId() const;
    // The entry for a first start (the saved id matches none): the desktop's language
    // (LC_ALL, LC_MESSAGES, LANG) when the program has it, else English, else entry 0.
    static int IndexForLocale(const std::vector<LanguageEntry>& entries, const std::string& locale);
    static std::string SystemLocale();
    // Position in Language.config of the saved language; IndexForLocale when none matches.
    int SavedLanguageIndex() const;
    int AppliedIndex() const { return applied_; }

    // The face every font of the program switches to when `next` replaces `applied`, or
    // nothing when the fonts stay.
    static std::optional<std::string> FontForLanguage(int next, int applied);
    // Replaces every font of the program with `face` in the program's sizes.
    static void ApplyFonts(CPaintManagerUI& manager, const std::string& face);

    // Applies language `index` (fonts through `manager`, which may be null) and tells the
    // observers. Nothing but the observers happens when it is already applied.
    void Select(int index, CPaintManagerUI* manager);

    using Observer = std::function<void(int index, bool changed)>;
    int AddObserver(Observer observer);
    void RemoveObserver(int handle);

private:
    // True when the language changed.
    bool Apply(int index, CPaintManagerUI* manager);
    // Writes only a changed id, never over a file it could not read.
    void SaveLanguageId(int id) const;
    std::filesystem::path WritableSettingsFile() const;
    static JsonReadResult ReadSettings(const std::filesystem::path& file);

    std::filesystem::path configFile_;
    std::filesystem::path settingsFile_;
    int applied_ = -1;
    int nextObserver_ = 1;
    std::vector<std::pair<int, Observer>> observers_;
};

}  // namespace q208

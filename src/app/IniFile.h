#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace q208 {

// A small settings file of "[section]" headers and "key=value" lines. Blank lines and
// lines starting with ';' or '#' are comments. Section and key names are compared
// without regard to case.
class IniFile {
public:
    // False when the file is missing or unreadable; lines that are neither a section, a
    // pair nor a comment are skipped with a trace (the rest is kept).
    bool Load(const std::filesystem::path& path);
    // Writes a temporary file beside the target and renames it over the target.
    bool Save(const std::filesystem::path& path) const;

    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);

private:
    static std::string Fold(const std::string& name);

    // Folded names → (name as written, pairs by folded key → (key as written, value)).
    struct Section {
        std::string name;
        std::map<std::string, std::pair<std::string, std::string>> values;
    };
    std::map<std::string, Section> sections_;
};

}  // namespace q208

#include "app/IniFile.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/Trace.h"
#include "profile/JsonFile.h"

namespace q208 {

namespace {

// Files of this kind hold a handful of lines; anything far larger is not ours.
constexpr std::uintmax_t kMaxIniBytes = 1u << 20;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string IniFile::Fold(const std::string& name) {
    std::string folded = name;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

bool IniFile::Load(const std::filesystem::path& path) {
    sections_.clear();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || !std::filesystem::is_regular_file(path, ec)) return false;
    if (size > kMaxIniBytes) {
        Trace("%s is too large to be a settings file; ignored", path.c_str());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    std::string current;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string text = Trim(line);
        if (text.empty() || text[0] == ';' || text[0] == '#') continue;
        if (text.front() == '[' && text.back() == ']') {
            const std::string name = Trim(text.substr(1, text.size() - 2));
            current = Fold(name);
            sections_[current].name = name;
            continue;
        }
        const auto eq = text.find('=');
        if (eq == std::string::npos || eq == 0 || current.empty()) {
            Trace("%s:%d: line skipped", path.c_str(), number);
            continue;
        }
        const std::string key = Trim(text.substr(0, eq));
        sections_[current].values[Fold(key)] = {key, Trim(text.substr(eq + 1))};
    }
    return true;
}

bool IniFile::Save(const std::filesystem::path& path) const {
    std::ostringstream out;
    for (const auto& [folded, section] : sections_) {
        out << '[' << section.name << "]\n";
        for (const auto& [key, entry] : section.values) out << entry.first << '=' << entry.second << '\n';
    }
    // Temporary file, flushed to disk, renamed over the old one: a kill or a full disk leaves
    // the old file whole.
    if (!WriteFileAtomically(out.str(), path)) {
        Trace("%s could not be written", path.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
    const auto s = sections_.find(Fold(section));
    if (s == sections_.end()) return std::nullopt;
    const auto v = s->second.values.find(Fold(key));
    if (v == s->second.values.end()) return std::nullopt;
    return v->second.second;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    // A line end in a value would split it into lines of its own.
    std::string clean = value;
    std::replace_if(clean.begin(), clean.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    Section& s = sections_[Fold(section)];
    if (s.name.empty()) s.name = section;
    auto& entry = s.values[Fold(key)];
    if (entry.first.empty()) entry.first = key;
    entry.second = clean;
}

}  // namespace q208
